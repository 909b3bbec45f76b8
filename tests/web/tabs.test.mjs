// Two tabs of one browser: exactly one plays. The first tab plays and pauses a round; a second tab shows
// that Plumbrick is open elsewhere and has not started; its button brings the game there (the first tab
// steps back and shows the same note) with the paused round; a round recorded there, and one recorded in
// the first tab after it takes the game back, are both in the statistics of both tabs; a browser without
// Web Locks plays in every tab, with one console line.
//
//   node tests/web/tabs.test.mjs      (build/web must hold the test build of the page:
//                                      PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only)
//
// Prints "ok" or "not ok" for each step and ends with "web: N passed, N failed".
import {
  Fingers,
  kGameA,
  kGameB,
  kPause,
  kPaused,
  kPlaying,
  kStatistics,
  launch,
  open,
  phone,
  nothingFailed,
  runSteps,
  serve,
  tapUntil,
  toSlot1,
  check,
} from './support.mjs';

const server = await serve();
const browser = await launch();
const consoleLines = [];
const pageErrors = [];

async function newTab() {
  const page = await browser.newPage();
  await page.setViewport(phone);
  page.on('console', (m) => consoleLines.push(m.text()));
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  return { page, fingers: await Fingers.on(page) };
}

const started = (page) => page.evaluate(() => Boolean(window.plumbrick && window.plumbrick.firstFrame !== null));
async function untilNote(page, what) {
  await page
    .waitForFunction(() => getComputedStyle(document.getElementById('elsewhere')).display === 'flex', {
      timeout: 15000,
    })
    .catch(() => {
      throw new Error(`no note in ${what}`);
    });
}
async function untilStarted(page) {
  await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null, { timeout: 15000 });
}
// The tab's button brings the game there: the tab in front, its button pressed, the game started there.
async function playHere(tab) {
  await tab.page.bringToFront();
  await tab.page.click('#play-here');
  await untilStarted(tab.page);
}
// The rows of slot 1's statistics (a row's date label has a digit); slot 1 on screen, idle or paused.
async function statisticsRows(tab) {
  const stats = await tapUntil(tab.page, tab.fingers, kStatistics, 'the statistics', (r) => r.screen === 'statistics');
  return stats.labels.filter((l) => /\d{4}/.test(l)).length;
}

let first = null,
  second = null,
  paused = null,
  recorded = 0;
const steps = [];
const step = (name, run) => steps.push({ name, run });

step('the first tab plays and pauses a round of game A', async () => {
  first = await newTab();
  await open(first.page, server.url);
  await toSlot1(first.page, first.fingers);
  await tapUntil(first.page, first.fingers, kGameA, 'a round of game A', (r) => r.state === kPlaying);
  paused = await tapUntil(first.page, first.fingers, kPause, 'the paused round', (r) => r.state === kPaused);
  recorded += 1;
});

step('a second tab shows that Plumbrick is open elsewhere', async () => {
  second = await newTab();
  await second.page.goto(server.url, { waitUntil: 'load' });
  await untilNote(second.page, 'the second tab');
});

step('the waiting tab has not started the game', async () => {
  check(!(await started(second.page)), 'the second tab drew a frame');
});

step("the second tab's button brings the game there, and the first tab shows the note", async () => {
  await playHere(second);
  await untilNote(first.page, 'the first tab');
});

step('the game brought over holds the paused round', async () => {
  const back = await toSlot1(second.page, second.fingers);
  check(
    back.state === kPaused && back.score === paused.score,
    `state ${back.state} score ${back.score}; was paused with ${paused.score}`,
  );
});

step(
  'a round recorded in the second tab and one in the first, after it takes the game back, are both kept',
  async () => {
    await tapUntil(
      second.page,
      second.fingers,
      kGameB,
      'a round of game B',
      (r) => r.state === kPlaying && r.type === 2,
    );
    await tapUntil(second.page, second.fingers, kPause, 'the round of game B paused', (r) => r.state === kPaused);
    recorded += 1;
    await playHere(first);
    await untilNote(second.page, 'the second tab');
    await toSlot1(first.page, first.fingers);
    await tapUntil(first.page, first.fingers, kGameA, 'a round of game A', (r) => r.state === kPlaying && r.type === 1);
    await tapUntil(first.page, first.fingers, kPause, 'the round of game A paused', (r) => r.state === kPaused);
    recorded += 1;
  },
);

step('after a reload the first tab lists every round recorded in either tab', async () => {
  await first.page.evaluate(() => window.plumbrick.saved());
  await first.page.reload({ waitUntil: 'load' });
  await untilStarted(first.page);
  await toSlot1(first.page, first.fingers);
  const rows = await statisticsRows(first);
  check(rows === recorded, `${rows} rows, ${recorded} rounds recorded`);
});

step('brought back to the second tab, the game lists them there too', async () => {
  await second.page.bringToFront();
  await second.page.reload({ waitUntil: 'load' });
  await untilNote(second.page, 'the reloaded second tab');
  await playHere(second);
  await toSlot1(second.page, second.fingers);
  const rows = await statisticsRows(second);
  check(rows === recorded, `${rows} rows, ${recorded} rounds recorded`);
});

step('without Web Locks every tab plays, with one console line', async () => {
  await first.page.close();
  await second.page.close();
  const plain = [];
  for (let i = 0; i < 2; ++i) {
    const tab = await newTab();
    await tab.page.evaluateOnNewDocument(() => {
      delete Object.getPrototypeOf(navigator).locks;
    });
    const before = consoleLines.length;
    await open(tab.page, server.url);
    plain.push(consoleLines.slice(before).filter((l) => /no Web Locks/.test(l)).length);
  }
  check(
    plain.every((n) => n === 1),
    `console lines about the missing locks: ${plain.join(', ')}`,
  );
});

step('nothing failed in the pages', async () => nothingFailed(consoleLines, pageErrors));

const failed = await runSteps(steps, consoleLines);
await browser.close();
server.close();
process.exit(failed ? 1 : 0);
