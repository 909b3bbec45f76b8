// A round survives any end of the page. A round of game A plays on slot 1; at 30 moments chosen at random
// (from a fixed seed, so that every run chooses the same ones) the page is reloaded, closed, or its
// renderer killed with no event at all (a phone discarding a background tab), in turn. Each time, the page
// opened again brings the round back paused, at most 5 s of play older than it was at that moment; the
// round then plays on. A round about to be lost gives way to a new one first.
//
//   node tests/web/rounds.test.mjs      (build/web must hold the test build of the page:
//                                      PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only)
//
// Prints "ok" or "not ok" for each moment and ends with "web: N passed, N failed".
import {
  Fingers,
  kGameA,
  kPause,
  kPaused,
  kPlaying,
  launch,
  open,
  phone,
  report,
  runSteps,
  seeded,
  serve,
  nothingFailed,
  tapUntil,
  toSlot1,
  until,
  check,
} from './support.mjs';

const kMoments = 30;
const kSeed = 23051;
const kOlder = 5; // seconds of play a restored round may have lost
const kShortest = 0.2,
  kLongest = 6; // seconds of play before each moment
const ends = ['reloaded', 'closed', 'killed'];

const server = await serve();
const browser = await launch();
const consoleLines = [];
const pageErrors = [];
let page = null;
let fingers = null;

async function newPage() {
  page = await browser.newPage();
  await page.setViewport(phone);
  page.on('console', (m) => consoleLines.push(m.text()));
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  fingers = await Fingers.on(page);
}

// The page ends as `how` says; a new one (or the same, reloaded) is open afterwards.
async function endPage(how) {
  if (how === 'reloaded') {
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null, { timeout: 15000 });
    return;
  }
  if (how === 'closed') {
    await page.close();
  } else {
    const crashed = new Promise((resolve) => page.once('error', resolve));
    const cdp = await page.createCDPSession();
    cdp.send('Page.crash').catch(() => {}); // the renderer dies: no pagehide, no unload; never answers
    await crashed;
    await page.close();
  }
  await newPage();
  await open(page, server.url);
}

// A playing round of game A with at least two misses to spare (a new one otherwise).
async function playingRound() {
  const now = await report(page);
  if (now.state === kPaused) await tapUntil(page, fingers, kPause, 'the round playing on', (r) => r.state === kPlaying);
  const on = await report(page);
  if (on.state !== kPlaying || on.misses >= 2)
    return tapUntil(page, fingers, kGameA, 'a new round of game A', (r) => r.state === kPlaying && r.misses === 0);
  return on;
}

const random = seeded(kSeed);
const steps = [
  {
    name: 'slot 1 opens on a fresh page',
    run: async () => {
      await newPage();
      await open(page, server.url);
      await toSlot1(page, fingers);
    },
  },
];
for (let i = 0; i < kMoments; ++i) {
  const how = ends[i % ends.length];
  const play = kShortest + random() * (kLongest - kShortest);
  steps.push({
    name: `${how} after ${play.toFixed(1)} s of play, the page brings the round back paused at most ${kOlder} s older`,
    run: async () => {
      let moment = null;
      while (!moment) {
        const from = (await playingRound()).played;
        const last = await until(
          page,
          `${play.toFixed(1)} s of play`,
          (r) => r.state !== kPlaying || r.played >= from + play,
          (play + 8) * 1000,
        );
        if (last.state === kPlaying) moment = last; // else the round was lost meanwhile: another one
      }
      await endPage(how);
      const back = await toSlot1(page, fingers);
      check(back.state === kPaused, `state ${back.state}, not paused (${moment.played.toFixed(1)} s played)`);
      check(
        back.played >= moment.played - kOlder,
        `${back.played.toFixed(1)} s played, ${moment.played.toFixed(1)} s at the moment`,
      );
    },
  });
}
steps.push({
  name: 'nothing failed in the pages',
  run: async () => nothingFailed(consoleLines, pageErrors),
});

const failed = await runSteps(steps, consoleLines);
await browser.close();
server.close();
process.exit(failed ? 1 : 0);
