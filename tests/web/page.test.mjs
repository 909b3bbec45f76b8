// The web build in a real browser: Debian's chromium, headless, a landscape phone with a touch screen, and
// touch events only. Finds the canvas at 4 pixels a point, opens the first information page with a tap just
// beside its drawn button (controls take touches over a thumb's width), compares slot 1's face drawn by the
// page from the art's masters with the art library's, plays slot 1's game B with two fingers, pauses with a thumb in the
// margin beside the screen, sees the page ask the browser to keep its storage, reloads and finds the round
// paused with the same score and misses, finds it recorded in the statistics after another reload, sees a
// corrupted saved round in IndexedDB refused with one ERROR line while the page keeps working, and hides
// the page (another tab in front) during a round, which comes back paused when the page is shown again;
// asks a phone held upright to be turned and lets a tablet play upright; then presses M, the one key it
// presses, and finds sound off, and still off after a reload; last, a page without IndexedDB tells the
// player that results are not kept.
//
//   node tests/web/page.test.mjs      (build/web must hold the test build of the page, and build/debug or
//                                      build/release the native build it was made from, with artgen:
//                                      PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only)
//
// Each step prints "ok" or "not ok"; a failed step stops the steps after it, which count as failed. The
// last line is "web: N passed, N failed".
import {
  Fingers,
  kGameA,
  kGameB,
  kIdle,
  kIntroTap,
  kPause,
  kPaused,
  kPlaying,
  kSlotPicture,
  kStatistics,
  launch,
  root,
  open,
  phone,
  report,
  runSteps,
  serve,
  sleep,
  tablet,
  toSlot1 as openSlot1,
  until,
  check,
} from './support.mjs';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const kLeftDown = { x: 40, y: 202 };
const kRightUp = { x: 440, y: 118 };
const kAboveFirstInfo = { x: 45, y: 291 }; // the menu's first information button is drawn from 296 to 318
const kBesidePause = { x: -40, y: 28 }; // in the margin left of the screen, at PAUSE's height
const kBesideGameB = { x: 520, y: 60 }; // right of the screen, at GAME B's height

const steps = [];
const step = (name, run) => steps.push({ name, run });

const server = await serve();
const browser = await launch();
const page = await browser.newPage();
await page.setViewport(phone);
const consoleLines = [];
const pageErrors = [];
page.on('console', (m) => consoleLines.push(m.text()));
page.on('pageerror', (e) => pageErrors.push(String(e)));
// Mouse events that reach the page at all (touches must arrive as touches only), and the page's requests to
// keep its storage.
await page.evaluateOnNewDocument(() => {
  window.__mouseEvents = 0;
  for (const t of ['mousedown', 'mouseup', 'click']) window.addEventListener(t, () => window.__mouseEvents++, true);
  window.__keepAsked = 0;
  if (navigator.storage && navigator.storage.persist) {
    const persist = navigator.storage.persist.bind(navigator.storage);
    navigator.storage.persist = () => {
      window.__keepAsked += 1;
      return persist();
    };
  }
});
const fingers = await Fingers.on(page);
const errorLines = () => consoleLines.filter((l) => /^ERROR\b/.test(l));

// A tap, then what it must lead to.
async function tapUntil(point, what, test) {
  await fingers.tap(point);
  return until(page, what, test);
}

// Intro away, then slot 1's game on screen.
const toSlot1 = () => openSlot1(page, fingers);

let paused = null;

step('the page loads, keeps its saves in IndexedDB and draws its first frame', async () => {
  await open(page, server.url);
  check(await page.evaluate(() => window.plumbrick.savesKept()), 'IndexedDB is not used');
});

// The page scales the canvas with CSS. Its pixels are the screen's at a whole scale, with a pixel at least for
// each device pixel it covers: on this phone (3 device pixels a CSS pixel) 4 a point. (A canvas the browser's SDL had resized to the page would draw the screen small, and taps at the
// controls' places would miss them.)
step('the canvas has a pixel for each device pixel it covers, at 4 pixels a point', async () => {
  // It takes them in the pass after its first frame, drawn at 2.
  await page
    .waitForFunction(() => document.getElementById('canvas').width !== 960, { timeout: 10000, polling: 20 })
    .catch(() => {});
  const canvas = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    return { w: c.width, h: c.height, covers: c.getBoundingClientRect().width * window.devicePixelRatio };
  });
  check(canvas.w === 1920 && canvas.h === 1280, `the canvas has ${canvas.w} x ${canvas.h} pixels, not 1920 x 1280`);
  check(canvas.covers <= canvas.w, `the canvas covers ${canvas.covers} device pixels across with ${canvas.w}`);
});

step('a tap just above the drawn first information button opens its page, and logs nothing', async () => {
  await until(page, 'the intro', (r) => r.screen === 'intro');
  await tapUntil(kIntroTap, 'the menu', (r) => r.screen === 'menu');
  await until(page, 'the menu at rest', (r) => r.screen === 'menu' && !r.animating);
  const lines = consoleLines.length;
  await tapUntil(kAboveFirstInfo, 'the information page', (r) => r.screen === 'info');
  check(consoleLines.length === lines, `console lines: ${JSON.stringify(consoleLines.slice(lines))}`);
});

step('a tap on the information page closes it and a tap on the first picture opens slot 1', async () => {
  await tapUntil(kIntroTap, 'the menu again', (r) => r.screen === 'menu');
  await tapUntil(kSlotPicture, "slot 1's game", (r) => r.screen === 'game' && r.slot === 1);
  await until(page, "slot 1's game in place", (r) => r.screen === 'game' && !r.animating);
});

// The score's digits show one by one as a round plays: the page draws them all ahead, when the face first shows
// its score, so that none is drawn while the round plays.
step("the score's digits that slot 1 does not show yet are drawn ahead of the round", async () => {
  await page.waitForFunction(() => window.Module.plumbrickArt.idle(), { timeout: 60000, polling: 20 });
  check((await report(page)).state !== kPlaying, 'a round plays already');
  check(await page.evaluate(() => window.Module.plumbrickArt.drawn('yolkfall_07_09', 4)), 'the digit 9 is not drawn');
});

// Past 2 pixels a point the page draws the pictures from the art's masters with the browser's own SVG renderer.
// Slot 1's face with one segment lit, at 4, against the same drawn by the build's art library (artgen, librsvg),
// over the segment's box: the share of pixels that differ by more than a tenth of full contrast stays small
// (the two renderers antialias alike, not identically), far below the built 2x pictures enlarged (soft edges);
// and the segment, drawn in its box, lies on its ghost: a pixel off, more differ.
step(
  "slot 1's face with a segment lit, drawn by the page at 4 pixels a point, is as sharp as the art library's",
  async () => {
    // The native build the page was made from (scripts/test takes the debug build's where there is one).
    const native = ['debug', 'release']
      .map((preset) => path.join(root, 'build', preset))
      .find((dir) => fs.existsSync(path.join(dir, 'tools/artgen/artgen')));
    check(native, 'no native build with artgen under build/');
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'plumbrick-art-'));
    const reference = path.join(scratch, 'lit.png');
    execFileSync(path.join(native, 'tools/artgen/artgen'), [
      'compose',
      path.join(native, 'resources/art/egg_faces.svg'),
      'yolkfall',
      reference,
      ...['--scale', '4', '--lit', '100'],
    ]);
    const png = fs.readFileSync(reference).toString('base64');
    fs.rmSync(scratch, { recursive: true, force: true });
    const share = await page.evaluate(async (png) => {
      const box = [176 * 4, 118 * 4, 64 * 4, 144 * 4]; // seg-100's, in pixels
      const fromPage = async (name) => {
        const p = await window.Module.plumbrickArt.draw(name, 4);
        return createImageBitmap(new ImageData(new Uint8ClampedArray(p.pixels), p.w, p.h));
      };
      const built = (name) =>
        createImageBitmap(new Blob([FS.readFile(`/resources/${name}@2x.png`)], { type: 'image/png' }));
      // The box's pixels with the face drawn whole and the segment at (x, y), both at scale s.
      const drawn = async (face, part, s, x = box[0], y = box[1]) => {
        const canvas = new OffscreenCanvas(1920, 1280);
        const ctx = canvas.getContext('2d', { willReadFrequently: true });
        ctx.drawImage(face, 0, 0, face.width * s, face.height * s);
        if (part) ctx.drawImage(part, x, y, part.width * s, part.height * s);
        return ctx.getImageData(box[0], box[1], box[2], box[3]).data;
      };
      const expected = await drawn(
        await createImageBitmap(await (await fetch('data:image/png;base64,' + png)).blob()),
        null,
        1,
      );
      const differing = (pixels) => pixels.filter((v, i) => Math.abs(v - expected[i]) > 25).length / pixels.length;
      const face = await fromPage('yolkfall_face'),
        part = await fromPage('yolkfall_100');
      return {
        page: differing(await drawn(face, part, 1)),
        offByOne: differing(await drawn(face, part, 1, box[0] + 1)),
        enlarged: differing(await drawn(await built('yolkfall_face'), await built('yolkfall_100'), 2)),
      };
    }, png);
    check(share.page < 0.01, `${share.page * 100} % of the box's pixels differ from the art library's`);
    check(share.offByOne > 10 * share.page, `a segment a pixel off its ghost does not show: ${JSON.stringify(share)}`);
    check(share.enlarged > 10 * share.page, `the built pictures enlarged are about as sharp: ${JSON.stringify(share)}`);
  },
);

// A master the page cannot read: the picture is asked for, refused with one ERROR line naming it, and not
// asked for again (the program draws the built picture in its place).
step('a broken master is refused with one ERROR line, and its picture left to the built one', async () => {
  const errorsBefore = errorLines().length;
  const after = await page.evaluate(async () => {
    window.FS.writeFile('/resources/art/info_06.svg', '<svg xmlns="http://www.w3.org/2000/svg"><g');
    const art = window.Module.plumbrickArt;
    const first = art.take('info_06', 4);
    while (!art.idle()) await new Promise((resolve) => setTimeout(resolve, 20));
    return { first, has: art.has('info_06'), again: art.take('info_06', 4), idle: art.idle() };
  });
  const refused = errorLines().slice(errorsBefore);
  check(after.first === null, 'a picture was handed over before it was drawn');
  check(!after.has, 'the broken master still has its picture');
  check(after.again === null && after.idle, 'the picture was asked for again');
  check(refused.length === 1 && refused[0].includes('info_06'), `error lines: ${JSON.stringify(refused)}`);
});

step('a tap on GAME B starts a round of game B', async () => {
  await tapUntil(kGameB, 'a round of game B', (r) => r.state === kPlaying && r.type === 2);
});

step('two fingers hold a basket button each and the screen changes as the round plays', async () => {
  const before = await report(page);
  const shotBefore = await page.screenshot({ encoding: 'base64' });
  await fingers.press(1, kLeftDown);
  const first = await until(page, 'the left thumb', (r) => r.basket === 1, 2000);
  await fingers.press(2, kRightUp);
  const both = await until(page, 'the right thumb with the left held', (r) => r.basket === 3, 2000);
  const seen = new Set([JSON.stringify(before.lit), JSON.stringify(first.lit), JSON.stringify(both.lit)]);
  for (let i = 0; i < 15; ++i) {
    await sleep(200);
    seen.add(JSON.stringify((await report(page)).lit));
  }
  const shotAfter = await page.screenshot({ encoding: 'base64' });
  await fingers.lift(2);
  await fingers.lift(1);
  const after = await report(page);
  check(after.state === kPlaying, `the round stopped (state ${after.state})`);
  check(seen.size >= 3, `the lit segments changed only ${seen.size - 1} times`);
  check(shotBefore !== shotAfter, 'the screenshots are the same');
});

step("the round's sounds are decoded by the browser and played through its audio", async () => {
  const audio = await page.evaluate(() => {
    const a = window.Module.plumbrickAudio;
    return {
      decoded: a.buffers.filter((b) => b && b.duration > 0).length,
      sounds: a.buffers.length - 1,
      plays: a.plays,
    };
  });
  check(audio.sounds > 0, 'no sound was loaded');
  check(audio.decoded === audio.sounds, `${audio.decoded} of ${audio.sounds} sounds decoded`);
  check(audio.plays > 0, 'no sound played while the round played');
});

step("a thumb in the margin beside the screen, at PAUSE's height, pauses the round", async () => {
  paused = await tapUntil(kBesidePause, 'the paused round', (r) => r.state === kPaused);
  await sleep(300);
  const still = await report(page);
  check(still.score === paused.score && still.misses === paused.misses, 'the paused round went on');
});

step('the page asked the browser to keep its storage once a round was recorded', async () => {
  await page.waitForFunction(() => window.__keepAsked > 0, { timeout: 5000 }).catch(() => {});
  check((await page.evaluate(() => window.__keepAsked)) === 1, 'not asked exactly once');
});

step('after a reload slot 1 brings the round back paused with the same score and misses', async () => {
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null);
  const back = await toSlot1();
  check(back.state === kPaused, `state ${back.state}, not paused`);
  check(back.type === 2, `game type ${back.type}`);
  check(back.score === paused.score, `score ${back.score}, was ${paused.score}`);
  check(back.misses === paused.misses, `misses ${back.misses}, were ${paused.misses}`);
});

step("a thumb beside the screen at GAME B's height starts a round of game B, and PAUSE pauses it", async () => {
  await tapUntil(kBesideGameB, 'a new round of game B', (r) => r.state === kPlaying && r.score === 0);
  await tapUntil(kPause, 'the new round paused', (r) => r.state === kPaused);
});

step('after another reload the statistics list the recorded round', async () => {
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null);
  await toSlot1();
  const stats = await tapUntil(kStatistics, 'the statistics', (r) => r.screen === 'statistics');
  check(
    stats.labels.includes(String(paused.score)),
    `no row with score ${paused.score}: ${JSON.stringify(stats.labels)}`,
  );
  check(
    stats.labels.some((l) => /\d{2}/.test(l) && l !== String(paused.score)),
    'no row with a date',
  );
});

step('a corrupted saved round in IndexedDB is refused with one ERROR line and the page keeps working', async () => {
  await page.goto(server.url + 'blank', { waitUntil: 'load' });
  const planted = await page.evaluate(
    () =>
      new Promise((resolve, reject) => {
        const req = indexedDB.open('/data/plumbrick');
        req.onerror = () => reject(String(req.error));
        req.onsuccess = () => {
          const db = req.result;
          const store = db.transaction(['FILE_DATA'], 'readwrite').objectStore('FILE_DATA');
          const keys = store.getAllKeys();
          keys.onsuccess = () => {
            const state = keys.result.find((k) => String(k).endsWith('.state'));
            if (!state) return reject('no saved round in IndexedDB: ' + JSON.stringify(keys.result));
            const garbage = new TextEncoder().encode('bplist00 this is not a keyed archive at all');
            store.put({ timestamp: new Date(), mode: 0o100644, contents: garbage }, state);
            store.transaction.oncomplete = () => resolve(state);
          };
        };
      }),
  );
  const errorsBefore = errorLines().length;
  await open(page, server.url);
  const opened = await toSlot1();
  await sleep(300);
  const refused = errorLines().slice(errorsBefore);
  check(refused.length === 1, `${refused.length} ERROR lines for ${planted}: ${JSON.stringify(refused)}`);
  check(opened.state === kIdle, `the corrupted round was restored (state ${opened.state})`);
  await tapUntil(kGameA, 'a new round of game A', (r) => r.state === kPlaying && r.type === 1);
});

step(
  'hiding the page pauses and saves a playing round, and showing it again brings the round back paused',
  async () => {
    await until(page, 'the round of game A', (r) => r.state === kPlaying && r.type === 1);
    const other = await browser.newPage();
    await other.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'hidden');
    await sleep(300);
    const restarted = page.waitForNavigation({ waitUntil: 'load' });
    await other.close();
    await page.bringToFront();
    await restarted;
    await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null);
    const back = await toSlot1();
    check(back.state === kPaused, `state ${back.state}, not paused`);
    check(back.type === 1, `game type ${back.type}`);
  },
);

step('held upright the page asks to be turned and the round waits; turned back it plays on', async () => {
  await tapUntil(kPause, 'the round playing again', (r) => r.state === kPlaying); // the paused round plays on
  await page.setViewport({ ...phone, width: phone.height, height: phone.width, isLandscape: false });
  await sleep(200);
  const held = await page.evaluate(() => window.plumbrick.frameWork().passes);
  const asked = await page.evaluate(() => getComputedStyle(document.getElementById('turn')).display);
  await sleep(1500);
  check(asked === 'flex', `the request to turn the device is not shown (${asked})`);
  check((await page.evaluate(() => window.plumbrick.frameWork().passes)) === held, 'the program ran on');
  await page.setViewport(phone);
  const before = await page.evaluate(() => window.plumbrick.frameWork().passes);
  await sleep(500);
  check((await page.evaluate(() => window.plumbrick.frameWork().passes)) > before, 'the program did not run again');
  check((await report(page)).state === kPlaying, 'the round is not playing');
});

step('a tablet held upright, wide enough for the game at 700 CSS pixels, plays upright', async () => {
  await page.setViewport({ ...tablet, width: tablet.height, height: tablet.width, isLandscape: false });
  await page.waitForFunction(() => innerWidth < innerHeight);
  // The page fits the canvas on the resize event, which may come a moment after the new size.
  const canvasWidth = () => document.getElementById('canvas').getBoundingClientRect().width;
  await page
    .waitForFunction(() => document.getElementById('canvas').getBoundingClientRect().width >= 700, { timeout: 3000 })
    .catch(() => {});
  const width = await page.evaluate(canvasWidth);
  const asked = await page.evaluate(() => getComputedStyle(document.getElementById('turn')).display);
  const before = await page.evaluate(() => window.plumbrick.frameWork().passes);
  await page
    .waitForFunction((n) => window.plumbrick.frameWork().passes > n + 5, { timeout: 5000 }, before)
    .catch(() => {
      throw new Error('the program does not run upright');
    });
  check(asked === 'none', `the request to turn the device is shown (${asked})`);
  check(width >= 700, `the game is ${width} CSS pixels wide`);
});

// The tablet (2 device pixels a CSS pixel) shows the game at 4.9 device pixels a point: its canvas takes 5.
const canvasPixels = (want) =>
  page
    .waitForFunction((w) => document.getElementById('canvas').width === w, { timeout: 10000, polling: 50 }, want)
    .then(
      () => want,
      () => page.evaluate(() => document.getElementById('canvas').width),
    );
step('the canvas takes 5 pixels a point on the tablet, and 4 again back on the phone', async () => {
  const onTablet = await canvasPixels(2400);
  check(onTablet === 2400, `the canvas on the tablet is ${onTablet} pixels wide, not 2400`);
  await page.setViewport(phone);
  const onPhone = await canvasPixels(1920);
  check(onPhone === 1920, `the canvas back on the phone is ${onPhone} pixels wide, not 1920`);
});

step('M turns sound off with a notice, kept in the settings across a reload, apart from the saves', async () => {
  check((await page.evaluate(() => window.plumbrick.sound().muted)) === false, 'sound is off before M');
  await page.keyboard.press('m'); // the one key this test presses: the sound keys have no touch
  await until(page, 'the notice "Sound off"', (r) => r.notice === 'Sound off');
  check((await page.evaluate(() => window.plumbrick.sound().muted)) === true, 'sound is not off after M');
  await page.evaluate(() => window.plumbrick.saved());
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null);
  check((await page.evaluate(() => window.plumbrick.sound().muted)) === true, 'sound is on again after a reload');
  const saves = await page.evaluate(() => FS.readdir('/data/plumbrick'));
  check(!saves.includes('settings.json'), `the settings are in the save folder (${saves.join(', ')})`);
});

step('touches arrived as touches only, and nothing failed in the page', async () => {
  check((await page.evaluate(() => window.__mouseEvents)) === 0, 'mouse events reached the page');
  check(pageErrors.length === 0, `page errors: ${pageErrors.join('; ')}`);
});

step('where IndexedDB is missing, the player is told that results are not kept', async () => {
  const bare = await (await browser.createBrowserContext()).newPage(); // a browser of its own
  await bare.setViewport(phone);
  await bare.evaluateOnNewDocument(() => {
    Object.defineProperty(window, 'indexedDB', { get: () => undefined });
  });
  await open(bare, server.url);
  await until(bare, 'the notice', (r) => r.notice === 'Results are not kept in this browser');
  await bare.close();
});

const failed = await runSteps(steps, consoleLines);
await browser.close();
server.close();
process.exit(failed ? 1 : 0);
