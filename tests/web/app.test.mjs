// The page as an app, in Debian's chromium (headless, a landscape phone, touches only), on the folder that
// `scripts/web --dist` writes, served under a sub-path by tests/web/host.mjs as a static host would: it is
// installable; after one visit it starts, plays and records a round offline; a new build published in place of
// the old one is fetched while a round plays on and runs from the next start, with the saved record kept; a cache
// missing a file or holding another build's is mended from the network, and offline the page says it needs
// one visit online instead of starting; a first visit shows the share downloaded, and a failed download says
// so with a button that tries again.
//
//   PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --dist build/web-dist && node tests/web/app.test.mjs
// The folder is the test build's: its steps play a round and read the statistics through the probes
// (window.plumbrick). What it tests of the page as an app (the loader, the service worker, the cache, the
// build's names) is the same in the page players get, which only lacks the probes.
// Environment: WEB_DIST (default build/web-dist), WEB_LINK (the link's output that the second build is made
// from, default build/web-wasm/web/link), NATIVE_PRESET (whose web-icons the second build takes, release).
//
// Each step prints "ok" or "not ok"; a failed step stops the steps after it, which count as failed. The
// last line is "web: N passed, N failed".
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { host } from './host.mjs';
import { Fingers, launch, phone, report, root, runSteps, until, check } from './support.mjs';
import { kGameA, kIntroTap, kPause, kPaused, kPlaying, kSlotPicture, kStatistics } from './support.mjs';

const dist = path.resolve(process.env.WEB_DIST || path.join(root, 'build/web-dist'));
const link = path.resolve(process.env.WEB_LINK || path.join(root, 'build/web-wasm/web/link'));
const icons = path.join(root, 'build', process.env.NATIVE_PRESET || 'release', 'web-icons');

// The basket's buttons by position: 0 left up, 1 left down, 2 right down, 3 right up.
const kBasket = [
  { x: 40, y: 118 },
  { x: 40, y: 202 },
  { x: 440, y: 202 },
  { x: 440, y: 118 },
];
// The position that catches the eggs of each deck's segments (500..504 deck 0, 600s 1, 800s 2, 700s 3).
const kDeckOfHundreds = { 5: 0, 6: 1, 8: 2, 7: 3 };
const kNeedsOnline = /needs one visit online/;

const steps = [];
const step = (name, run) => steps.push({ name, run });

// A second build: the same link with one more line in its script, finished as the build finishes a page.
function secondBuild() {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'plumbrick-build2-'));
  fs.cpSync(link, path.join(scratch, 'link'), { recursive: true });
  fs.appendFileSync(path.join(scratch, 'link/index.js'), '\n// the next build\n');
  execFileSync(
    'cmake',
    [
      `-DLINK=${scratch}/link`,
      `-DICONS=${icons}`,
      `-DSOURCE=${root}/web`,
      `-DOUT=${scratch}/web`,
      '-P',
      path.join(root, 'web/Finish.cmake'),
    ],
    { stdio: 'ignore' },
  );
  return path.join(scratch, 'web');
}

const server = await host(dist);
const browser = await launch();
const consoleLines = [];
const pageErrors = [];

// A page of the browser's own profile (Chromium installs nothing from a private one), or of a browser context
// of its own (its own service workers, caches and IndexedDB: a first visit).
async function visitor({ fresh = true, errors = true } = {}) {
  const context = fresh ? await browser.createBrowserContext() : browser.defaultBrowserContext();
  const page = await context.newPage();
  await page.setViewport(phone);
  page.on('console', (m) => consoleLines.push(m.text()));
  if (errors) page.on('pageerror', (e) => pageErrors.push(String(e)));
  return { context, page, fingers: await Fingers.on(page), client: await page.createCDPSession() };
}

// The network off: the page's (navigator.onLine false) and, since the page's setting may not reach its service
// worker, the host's too.
async function offline(v, off) {
  await v.page.setOfflineMode(off);
  server.cut(off ? /./ : null);
}

const started = (page) =>
  page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null, { timeout: 20000 });
const version = (page) => page.evaluate(() => window.plumbrickBuild.version);
// The service worker of this build holds all its files.
const kept = (page) =>
  page.waitForFunction(
    async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      return registration && registration.active && registration.active.state === 'activated';
    },
    { timeout: 20000 },
  );
// What the page says when it does not start.
const failure = (page) =>
  page
    .waitForFunction(
      () => {
        const why = document.querySelector('#load.failed .why') || document.getElementById('offline');
        return why && why.textContent;
      },
      { timeout: 20000 },
    )
    .then((handle) => handle.jsonValue());

// A tap, repeated (up to five times, three seconds apart) until what it leads to is seen: these steps are about
// the page as an app, not about when a screen starts taking touches.
async function tapUntil(v, point, what, test) {
  for (let i = 1; ; ++i) {
    await v.fingers.tap(point);
    try {
      return await until(v.page, what, test, 3000);
    } catch (e) {
      if (i === 5) throw e;
    }
  }
}

async function toSlot1(v) {
  await until(v.page, 'the intro', (r) => r.screen === 'intro', 15000);
  await tapUntil(v, kIntroTap, 'the menu', (r) => r.screen === 'menu');
  await until(v.page, 'the menu at rest', (r) => r.screen === 'menu' && !r.animating);
  await tapUntil(v, kSlotPicture, "slot 1's game", (r) => r.screen === 'game' && r.slot === 1);
  return until(v.page, "slot 1's game at rest", (r) => r.screen === 'game' && !r.animating);
}

// Plays until an egg is caught: the basket goes where the egg nearest the bottom of its deck will fall.
async function catchAnEgg(v) {
  const end = Date.now() + 60000;
  while (Date.now() < end) {
    const r = await report(v.page);
    if (r.score > 0) return r;
    if (r.state !== kPlaying) throw new Error(`the round ended without a catch (state ${r.state})`);
    const eggs = r.lit.filter((tag) => tag >= 500 && tag < 900 && tag % 100 <= 4);
    if (eggs.length) {
      const lowest = eggs.reduce((a, b) => (b % 100 > a % 100 ? b : a));
      const deck = kDeckOfHundreds[Math.floor(lowest / 100)];
      if (r.basket !== deck) await v.fingers.tap(kBasket[deck]);
    }
  }
  throw new Error('no egg caught in a minute');
}

async function statistics(v) {
  const shown = await tapUntil(v, kStatistics, 'the statistics', (r) => r.screen === 'statistics');
  return shown.labels;
}

// Drops one file from the service worker's cache, or puts other bytes (base64) in its place.
async function spoil(page, file, bytes = null) {
  return page.evaluate(
    async (file, bytes) => {
      const name = (await caches.keys()).find((key) => key.startsWith('plumbrick '));
      const cache = await caches.open(name);
      const href = new URL(file, location.href).href;
      if (!bytes) return cache.delete(href);
      const other = Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0));
      await cache.put(href, new Response(other, { headers: { 'content-type': 'text/javascript' } }));
      return true;
    },
    file,
    bytes,
  );
}

const a = await visitor({ fresh: false });
const firstScript = fs.readdirSync(dist).find((f) => /^index\.[0-9a-f]{12}\.js$/.test(f));
let firstVersion = null;
let recorded = null;

step('the manifest is valid and the page installable (no installability errors)', async () => {
  await a.page.goto(server.url, { waitUntil: 'load' });
  await started(a.page);
  await kept(a.page);
  const { installabilityErrors } = await a.client.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
});

step('after one visit, offline, a reload starts the game, plays a round and records it', async () => {
  firstVersion = await version(a.page);
  await offline(a, true);
  await a.page.reload({ waitUntil: 'load' });
  await started(a.page);
  await toSlot1(a);
  await tapUntil(a, kGameA, 'a round of game A', (r) => r.state === kPlaying && r.type === 1);
  await catchAnEgg(a);
  recorded = String((await tapUntil(a, kPause, 'the round paused', (r) => r.state === kPaused)).score);
  await a.page.reload({ waitUntil: 'load' }); // the round is recorded as the page is left
  await started(a.page);
  await toSlot1(a);
  const labels = await statistics(a);
  check(labels.includes(recorded), `no row of ${recorded}: ${JSON.stringify(labels)}`);
});

step('a new build published is fetched in the background while a round plays on', async () => {
  await offline(a, false);
  await a.page.reload({ waitUntil: 'load' });
  await started(a.page);
  await toSlot1(a);
  await tapUntil(a, kGameA, 'a round of game A', (r) => r.state === kPlaying);
  await a.page.evaluate(() => {
    window.sameDocument = true;
  });
  server.serve(secondBuild());
  await a.page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
  // The new build's worker in place: the old build's cache is gone.
  await a.page.waitForFunction(
    async (old) => {
      const keys = await caches.keys();
      return keys.length === 1 && !keys[0].endsWith(' ' + old);
    },
    { timeout: 60000, polling: 200 },
    firstVersion,
  );
  const now = await report(a.page);
  check(
    now.state === kPlaying && (await a.page.evaluate(() => window.sameDocument === true)),
    `the round was cut short (state ${now.state})`,
  );
});

step('the new build takes over at the next start, and the record made before is still listed', async () => {
  await a.page.reload({ waitUntil: 'load' });
  await started(a.page);
  check((await version(a.page)) !== firstVersion, 'the first build started again');
  await toSlot1(a);
  const labels = await statistics(a);
  check(labels.includes(recorded), `no row of ${recorded}: ${JSON.stringify(labels)}`);
});

let files = null;
step('a cache missing the .wasm, offline, says that one visit online is needed and starts nothing', async () => {
  await kept(a.page);
  files = await a.page.evaluate(() => window.plumbrickBuild.files);
  await a.client.send('Network.clearBrowserCache');
  await spoil(a.page, files['index.wasm']);
  await offline(a, true);
  await a.page.reload({ waitUntil: 'load' });
  check(kNeedsOnline.test(await failure(a.page)), 'no word of the network');
  check(await a.page.evaluate(() => !window.plumbrick || window.plumbrick.firstFrame === null), 'the game started');
});

step('a cache holding the script of another build, offline, says the same and starts nothing', async () => {
  await offline(a, false);
  await a.page.reload({ waitUntil: 'load' });
  await started(a.page);
  await a.client.send('Network.clearBrowserCache');
  await spoil(a.page, files['index.js'], fs.readFileSync(path.join(dist, firstScript)).toString('base64'));
  await offline(a, true);
  await a.page.reload({ waitUntil: 'load' });
  check(kNeedsOnline.test(await failure(a.page)), 'no word of the network');
  check(await a.page.evaluate(() => !window.plumbrick || window.plumbrick.firstFrame === null), 'the game started');
});

step('online, the same cache is mended from the network and this build starts', async () => {
  await offline(a, false);
  await a.page.reload({ waitUntil: 'load' });
  await started(a.page);
  const script = await a.page.evaluate((name) => fetch(name).then((r) => r.text()), files['index.js']);
  check(script.endsWith('// the next build\n'), "the script served is not the second build's");
});

step('a first visit shows the share downloaded on a bar', async () => {
  const v = await visitor();
  // A slow line: the download takes seconds, and the bar is seen part way.
  await v.client.send('Network.emulateNetworkConditions', {
    offline: false,
    latency: 20,
    downloadThroughput: 1000000,
    uploadThroughput: 1000000,
  });
  await v.page.goto(server.url, { waitUntil: 'domcontentloaded' });
  const part = await v.page
    .waitForFunction(
      () => {
        const share = window.plumbrickLoading && window.plumbrickLoading.share();
        const fill = document.querySelector('#load .fill');
        return (
          share > 0.2 &&
          share < 0.9 &&
          fill && {
            share,
            width: fill.getBoundingClientRect().width / fill.parentElement.getBoundingClientRect().width,
          }
        );
      },
      { timeout: 30000, polling: 50 },
    )
    .then((h) => h.jsonValue());
  check(Math.abs(part.width - part.share) < 0.1, `the bar shows ${part.width} for ${part.share}`);
  await v.context.close();
});

step('a download that fails says so, and its button tries again and starts the game', async () => {
  const v = await visitor({ errors: false }); // the failed download's error is the point
  server.cut(/\.data$/);
  await v.page.goto(server.url, { waitUntil: 'load' });
  check(/download stopped/.test(await failure(v.page)), 'no word of the failed download');
  server.cut(null);
  await v.page.click('#load button');
  await started(v.page);
  await v.context.close();
});

step('nothing failed in the pages', async () => {
  check(pageErrors.length === 0, `page errors: ${pageErrors.join('; ')}`);
});

const failed = await runSteps(steps, consoleLines, () => {
  console.log('--- requests:');
  for (const line of server.state.log.slice(-40)) console.log('  ' + line);
});
await browser.close();
server.close();
process.exit(failed ? 1 : 0);
