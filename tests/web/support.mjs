// What the page test and the page benchmark share: a static server for build/web, Debian's chromium
// driven by puppeteer-core, and touches sent as the DevTools protocol's touch events (no mouse at all).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
export const webDir = process.env.WEB_DIR || path.join(root, 'build/web');

const types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
};

// Serves `dir` on 127.0.0.1 at a free port; /blank is an empty page of the same origin. Counts bytes sent.
export async function serve(dir = webDir) {
  const stats = { bytes: 0, requests: 0 };
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    if (url.pathname === '/blank') {
      res.writeHead(200, { 'content-type': 'text/html' });
      res.end('<!doctype html><title>blank</title>');
      return;
    }
    const file = path.join(dir, path.normalize(url.pathname === '/' ? '/index.html' : url.pathname));
    if (!file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    const body = fs.readFileSync(file);
    stats.bytes += body.length;
    stats.requests += 1;
    res.writeHead(200, {
      'content-type': types[path.extname(file)] || 'application/octet-stream',
      'content-length': body.length,
      'cache-control': 'no-store',
    });
    res.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, stats, close: () => server.close() };
}

export async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-dev-shm-usage',
      '--mute-audio',
      '--no-first-run',
      '--disable-background-timer-throttling',
      '--disable-renderer-backgrounding',
      // Headless chromium starts a page of its own with every new tab: its address bar's suggestions popup
      // (a WebUI renderer, about half a second of CPU), which it never shows. On two cores it competes with the
      // page under test for them.
      '--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup',
    ],
  });
}

// A landscape phone (844 x 390 CSS pixels, 3 device pixels each) with a touch screen.
export const phone = {
  width: 844,
  height: 390,
  deviceScaleFactor: 3,
  isMobile: true,
  hasTouch: true,
  isLandscape: true,
};
export const tablet = {
  width: 1180,
  height: 820,
  deviceScaleFactor: 2,
  isMobile: true,
  hasTouch: true,
  isLandscape: true,
};

// Touches on the 480 x 320-point screen, wherever the page has put and scaled it.
export class Fingers {
  constructor(page, client) {
    this.page = page;
    this.client = client;
    this.down = new Map();
  }
  static async on(page) {
    return new Fingers(page, await page.createCDPSession());
  }
  async toPage(p) {
    const r = await this.page.evaluate(() => {
      const b = document.getElementById('canvas').getBoundingClientRect();
      return { x: b.left, y: b.top, w: b.width, h: b.height };
    });
    return { x: r.x + (p.x * r.w) / 480, y: r.y + (p.y * r.h) / 320 };
  }
  points() {
    return [...this.down.entries()].map(([id, q]) => ({ x: q.x, y: q.y, id, radiusX: 4, radiusY: 4, force: 1 }));
  }
  async press(id, p) {
    this.down.set(id, await this.toPage(p));
    await this.client.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: this.points() });
  }
  async move(id, p) {
    this.down.set(id, await this.toPage(p));
    await this.client.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: this.points() });
  }
  // A point missing from the list is lifted; the last one with a touchEnd of no points.
  async lift(id) {
    this.down.delete(id);
    const rest = this.points();
    await this.client.send(
      'Input.dispatchTouchEvent',
      rest.length ? { type: 'touchMove', touchPoints: rest } : { type: 'touchEnd', touchPoints: [] },
    );
  }
  async tap(p) {
    await this.press(99, p);
    await sleep(60);
    await this.lift(99);
  }
}

// A step's check: throws with what was expected when it does not hold.
export const check = (ok, what) => {
  if (!ok) throw new Error(what);
};

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export async function report(page) {
  return page.evaluate(() => window.plumbrick.report());
}

// Waits until `test(report)` holds; fails with the last report after `ms`.
export async function until(page, what, test, ms = 8000) {
  const end = Date.now() + ms;
  let last = null;
  while (Date.now() < end) {
    try {
      last = await report(page);
      if (test(last)) return last;
    } catch (e) {
      last = String(e);
    }
    await sleep(50);
  }
  throw new Error(`timed out waiting for ${what}; last report: ${JSON.stringify(last)}`);
}

// Loads the page and waits for its first frame.
export async function open(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null, { timeout: 15000 });
}

// Runs named steps in order, printing "ok" or "not ok" for each; a failed step stops the steps after it,
// which count as failed. Then the last lines of `consoleLines` when one failed, and "web: N passed, N failed".
// `more` prints what else helps after a failure. Returns the number failed.
export async function runSteps(steps, consoleLines = [], more = () => {}) {
  let passed = 0,
    failed = 0,
    stopped = false;
  const t0 = Date.now();
  for (const { name, run } of steps) {
    if (stopped) {
      console.log(`not ok - ${name} (not run)`);
      failed += 1;
      continue;
    }
    try {
      await run();
      console.log(`ok - ${name}`);
      passed += 1;
    } catch (e) {
      console.log(`not ok - ${name}: ${e.message}`);
      failed += 1;
      stopped = true;
    }
  }
  if (failed) {
    console.log('--- console of the page:');
    for (const line of consoleLines.slice(-40)) console.log('  ' + line);
    more();
  }
  console.log(`web: ${((Date.now() - t0) / 1000).toFixed(1)} s`);
  console.log(`web: ${passed} passed, ${failed} failed`);
  return failed;
}

// Throws when the pages logged an ERROR line or threw.
export function nothingFailed(consoleLines, pageErrors) {
  const errors = consoleLines.filter((l) => /^ERROR\b/.test(l));
  if (errors.length) throw new Error(`ERROR lines: ${errors.join('; ')}`);
  if (pageErrors.length) throw new Error(`page errors: ${pageErrors.join('; ')}`);
}

// A repeatable stream of numbers in [0, 1) from `seed` (mulberry32), for moments chosen at random that
// every run chooses alike.
export function seeded(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// The points the page tests tap, on the 480 x 320-point screen.
export const kIntroTap = { x: 240, y: 160 };
export const kSlotPicture = { x: 240, y: 147 }; // the middle of the menu's first page
export const kGameA = { x: 440, y: 28 };
export const kGameB = { x: 440, y: 60 };
export const kPause = { x: 40, y: 28 };
export const kStatistics = { x: 40, y: 60 };
export const kPlaying = 1,
  kPaused = 2,
  kIdle = 0;

// A tap, then what it must lead to.
export async function tapUntil(page, fingers, point, what, test) {
  await fingers.tap(point);
  return until(page, what, test);
}

// From a freshly loaded page: the intro away, the menu, then slot 1's game on screen and taking touches
// (its face faded in and its menu button in place).
export async function toSlot1(page, fingers) {
  await until(page, 'the intro', (r) => r.screen === 'intro');
  await tapUntil(page, fingers, kIntroTap, 'the menu', (r) => r.screen === 'menu');
  await until(page, 'the menu at rest', (r) => r.screen === 'menu' && !r.animating);
  await tapUntil(page, fingers, kSlotPicture, "slot 1's game", (r) => r.screen === 'game' && r.slot === 1);
  return until(page, "slot 1's game in place", (r) => r.screen === 'game' && !r.animating);
}
