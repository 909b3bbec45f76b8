// The web build's figures in headless chromium (a benchmark: it prints, it does not judge):
//   - bytes the page downloads (every file, uncompressed, no cache);
//   - navigation to the first frame drawn (median of RUNS loads);
//   - the pace while a round of game A plays: 0.025 s ticks a second (a repeating timer in the run loop,
//     as a round's tick is), the browser's frame intervals from requestAnimationFrame timestamps, and the
//     program's own work per browser frame (its loop's timing), 50th/99th percentile and worst;
//   - CPU while the menu sits idle: the page's main-thread task time, and every chromium process's CPU
//     time (renderer, GPU, browser) from /proc, as a share of one core;
//   - on this phone (3 device pixels a CSS pixel: the canvas at 4 pixels a point; VIEWPORT=tablet for the
//     tablet, 2 device pixels a CSS pixel: 5 a point), how long slot 1's face
//     takes to have every picture drawn from the art's masters (the round is measured after), and the
//     program's memory at the end;
//   - the folder to publish (WEB_DIST, default build/web-dist, when it is there) served as a host serves it
//     (tests/web/host.mjs: precompressed, cached): the bytes a first visit transfers (the service worker's
//     filling included), what each file weighs on the wire, the bytes a second visit transfers, and the
//     navigation to the first frame on a second visit (median of RUNS).
//
//   node bench/web/bench.mjs     (after PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only, and the same with
//                                 --dist build/web-dist for the last figures; SECONDS=10 RUNS=5 by default)
import fs from 'node:fs';
import path from 'node:path';
import { host } from '../../tests/web/host.mjs';
import { Fingers, launch, open, phone, report, root, serve, sleep, tablet, until } from '../../tests/web/support.mjs';

const seconds = Number(process.env.SECONDS || 10);
// The phone by default; VIEWPORT=tablet for the tablet (2 device pixels a CSS pixel: the canvas at 5 a point);
// DPR=n for n device pixels a CSS pixel instead.
const screen = {
  ...(process.env.VIEWPORT === 'tablet' ? tablet : phone),
  ...(process.env.DPR ? { deviceScaleFactor: Number(process.env.DPR) } : {}),
};
const runs = Number(process.env.RUNS || 5);

const pct = (xs, p) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length ? s[Math.min(s.length - 1, Math.floor((p / 100) * s.length))] : NaN;
};
const fmt = (x, d = 2) => Number(x).toFixed(d);

// CPU seconds (user + system) of a process and its descendants, from /proc.
function cpuSeconds(rootPid) {
  const tick = 100; // USER_HZ on Linux
  const children = new Map();
  for (const d of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(d)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${d}/stat`, 'utf8');
      const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const ppid = Number(f[1]);
      if (!children.has(ppid)) children.set(ppid, []);
      children.get(ppid).push({ pid: Number(d), cpu: (Number(f[11]) + Number(f[12])) / tick });
    } catch {
      // gone meanwhile
    }
  }
  let total = 0;
  const own = (() => {
    const stat = fs.readFileSync(`/proc/${rootPid}/stat`, 'utf8');
    const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    return (Number(f[11]) + Number(f[12])) / tick;
  })();
  const walk = (pid) => {
    for (const c of children.get(pid) || []) {
      total += c.cpu;
      walk(c.pid);
    }
  };
  walk(rootPid);
  return own + total;
}

const server = await serve();
const browser = await launch();
const page = await browser.newPage();
await page.setViewport(screen);
const client = await page.createCDPSession();
await client.send('Network.setCacheDisabled', { cacheDisabled: true });
await client.send('Performance.enable');
const fingers = new Fingers(page, client);

// Download size and first frame.
const firstFrames = [];
let bytes = 0;
for (let i = 0; i < runs; ++i) {
  const before = server.stats.bytes;
  await open(page, server.url);
  firstFrames.push(await page.evaluate(() => window.plumbrick.firstFrame));
  if (i === 0) bytes = server.stats.bytes - before;
}
console.log(`bytes downloaded: ${bytes} (${fmt(bytes / 1048576)} MiB)`);
console.log(
  `navigation to first frame: median ${fmt(pct(firstFrames, 50), 0)} ms (${firstFrames.map((x) => fmt(x, 0)).join(', ')})`,
);

// Idle menu.
await until(page, 'the intro', (r) => r.screen === 'intro');
await fingers.tap({ x: 240, y: 160 });
await until(page, 'the menu', (r) => r.screen === 'menu' && !r.animating);
await page.waitForFunction(() => window.Module.plumbrickArt.idle(), { timeout: 60000, polling: 10 });
await sleep(1000);
const metric = async (name) => (await client.send('Performance.getMetrics')).metrics.find((m) => m.name === name).value;
const pid = browser.process().pid;
let task0 = await metric('TaskDuration'),
  cpu0 = cpuSeconds(pid),
  t0 = Date.now();
await sleep(seconds * 1000);
let wall = (Date.now() - t0) / 1000;
const idleTask = (await metric('TaskDuration')) - task0,
  idleCpu = cpuSeconds(pid) - cpu0;
console.log(
  `idle menu, ${fmt(wall, 1)} s: page main thread ${fmt((100 * idleTask) / wall)} % of a core; ` +
    `all chromium processes ${fmt((100 * idleCpu) / wall)} % of a core`,
);

// A round of game A. A round left alone ends when enough eggs have fallen, so the CPU is counted over windows
// of 5 s each begun with a round playing, and only those at whose end it still played.
// Past 2 pixels a point (this phone: 4) the page draws each picture of a screen from the art's masters when
// the screen first shows: the round is measured once they are all in.
const artIdle = () => page.waitForFunction(() => window.Module.plumbrickArt.idle(), { timeout: 60000, polling: 10 });
const tapped = Date.now();
await fingers.tap({ x: 240, y: 147 });
await until(page, "slot 1's game", (r) => r.screen === 'game' && r.slot === 1);
await until(page, "slot 1's game in place", (r) => r.screen === 'game' && !r.animating);
await sleep(300);
await until(page, "slot 1's game in place", (r) => r.screen === 'game' && !r.animating);
await artIdle();
const canvasWidth = await page.evaluate(() => document.getElementById('canvas').width);
console.log(
  `slot 1's face on a canvas of ${canvasWidth / 480} pixels a point: its pictures all in ${Date.now() - tapped} ms ` +
    'after the tap that opened it',
);
const playing = async () => {
  if ((await report(page)).state === 1) return;
  await fingers.tap({ x: 440, y: 28 });
  await until(page, 'a round', (r) => r.state === 1);
};
// The CPU first, with nothing of the benchmark's own meanwhile (its frame recorder makes the browser draw
// every frame; its tick counter is a timer of its own); then the browser's frames, the ticks and the work.
let playTask = 0,
  playCpu = 0,
  cpuWall = 0;
for (let tries = 0; cpuWall < seconds * 0.99 && tries < 4 * seconds; ++tries) {
  await playing();
  const task = await metric('TaskDuration'),
    cpu = cpuSeconds(pid),
    start = Date.now();
  await sleep(Math.min(5, seconds) * 1000);
  if ((await report(page)).state !== 1) continue;
  playTask += (await metric('TaskDuration')) - task;
  playCpu += cpuSeconds(pid) - cpu;
  cpuWall += (Date.now() - start) / 1000;
}
await playing();
const ticks0 = await page.evaluate(() => window.plumbrick.countTicks());
const passes0 = (await page.evaluate(() => window.plumbrick.frameWork())).passes;
t0 = Date.now();
await page.evaluate(() => {
  window.__frames = [];
  const record = (t) => {
    window.__frames.push(t);
    requestAnimationFrame(record);
  };
  requestAnimationFrame(record);
});
await sleep(Math.min(seconds, 5) * 1000);
const ticks = (await page.evaluate(() => window.plumbrick.countTicks())) - ticks0;
wall = (Date.now() - t0) / 1000;
const work = await page.evaluate(() => window.plumbrick.frameWork());
const frames = await page.evaluate(() => window.__frames);
const passes = work.passes - passes0;
const samples = work.work.slice(-Math.min(passes, work.work.length));
const intervals = frames.slice(1).map((t, i) => t - frames[i]);
const state = await report(page);
console.log(
  `playing, ${fmt(wall, 1)} s (round still playing: ${state.state === 1}): ${fmt(ticks / wall, 1)} ticks/s; ` +
    `${fmt(frames.length / wall, 1)} browser frames/s (interval p50 ${fmt(pct(intervals, 50))} ms, ` +
    `p99 ${fmt(pct(intervals, 99))} ms); program's work per frame p50 ${fmt(pct(samples, 50))} ms, ` +
    `p99 ${fmt(pct(samples, 99))} ms, worst ${fmt(Math.max(...samples))} ms over ${samples.length} frames`,
);
console.log(
  `playing, ${fmt(cpuWall, 1)} s: page main thread ${fmt((100 * playTask) / cpuWall)} % of a core; ` +
    `all chromium processes ${fmt((100 * playCpu) / cpuWall)} % of a core`,
);
console.log(
  `the program's memory after the intro, the menu and a round of slot 1: ` +
    `${fmt((await page.evaluate(() => window.HEAPU8.length)) / 1048576, 0)} MiB`,
);

// The folder to publish: a first visit and second visits.
const dist = path.resolve(process.env.WEB_DIST || path.join(root, 'build/web-dist'));
if (fs.existsSync(path.join(dist, 'sw.js'))) {
  const published = await host(dist);
  const context = await browser.createBrowserContext();
  let visit = await context.newPage();
  await visit.setViewport(screen);
  const before = published.state.bytes;
  await open(visit, published.url);
  await visit.waitForFunction(
    async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      return registration && registration.active && registration.active.state === 'activated';
    },
    { timeout: 30000 },
  );
  const first = published.state.bytes - before;
  console.log(
    `published folder, first visit: ${first} bytes transferred (${fmt(first / 1048576)} MiB), ` +
      `${published.state.requests} requests:`,
  );
  for (const line of published.state.log) console.log(`  ${line}`);
  const secondFrames = [];
  let second = 0;
  for (let i = 0; i < runs; ++i) {
    await visit.close();
    await sleep(1000); // a visit comes a while after the last one ended, not as its tab closes
    visit = await context.newPage();
    await visit.setViewport(screen);
    const at = published.state.bytes;
    await open(visit, published.url);
    secondFrames.push(await visit.evaluate(() => window.plumbrick.firstFrame));
    if (i === 0) second = published.state.bytes - at;
  }
  console.log(
    `published folder, second visit: ${second} bytes transferred; navigation to first frame: ` +
      `median ${fmt(pct(secondFrames, 50), 0)} ms (${secondFrames.map((x) => fmt(x, 0)).join(', ')})`,
  );
  await context.close();
  published.close();
} else {
  console.log(`no published folder in ${dist} (scripts/web --dist ${dist})`);
}

await browser.close();
server.close();
