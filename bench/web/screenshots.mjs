// Pictures of the page in headless chromium, played by touch, for README.md:
//   docs/screenshots/web-phone-menu.png      phone, landscape (844 x 390), the menu
//   docs/screenshots/web-phone-playing.png   phone, landscape, slot 1's game A being played
//   docs/screenshots/web-phone-portrait.png  phone held upright (390 x 844): turn the device
//   docs/screenshots/web-tablet-playing.png  tablet, landscape (1180 x 820), slot 2 being played
//   docs/screenshots/web-dpr3-shadow-on.png  phone at 3 device pixels a CSS pixel, slot 1 being played: a crop
//   docs/screenshots/web-dpr3-shadow-off.png the same with "display": { "shadow": false }
//
//   node bench/web/screenshots.mjs     (after PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only)
import path from 'node:path';
import { Fingers, launch, open, phone, root, serve, sleep, tablet, until } from '../../tests/web/support.mjs';

const out = path.join(root, 'docs/screenshots');
const kPanflipGameA = { x: 441, y: 56 };
const server = await serve();
const browser = await launch();

async function shoot(viewport, name, play, clip) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  await page.bringToFront();
  if (play) await open(page, server.url);
  else await page.goto(server.url, { waitUntil: 'load' }); // held upright the program waits: no frame
  const fingers = await Fingers.on(page);
  if (play) await play(page, fingers);
  else await sleep(1500);
  await page.screenshot({ path: path.join(out, name), clip: clip && (await clip(page)) });
  console.log(path.join('docs/screenshots', name));
  await page.close();
}

async function toMenu(page, fingers) {
  await until(page, 'the intro', (r) => r.screen === 'intro');
  await sleep(1200);
  await fingers.tap({ x: 240, y: 160 });
  await until(page, 'the menu', (r) => r.screen === 'menu');
  await sleep(600);
}

async function playSlot(page, fingers, swipes, button, minLit) {
  await toMenu(page, fingers);
  for (let i = 0; i < swipes; ++i) {
    await fingers.press(1, { x: 400, y: 147 });
    for (let x = 360; x >= 160; x -= 40) await fingers.move(1, { x, y: 147 });
    await fingers.lift(1);
    await sleep(600);
  }
  await fingers.tap({ x: 240, y: 147 });
  await until(page, 'a game', (r) => r.screen === 'game');
  await sleep(1500);
  await fingers.tap(button);
  // A moment with plenty lit.
  await sleep(3000);
  await until(page, 'a busy face', (r) => r.state === 1 && r.lit.length >= minLit, 15000);
}

// At 1 device pixel a CSS pixel, as before (the canvas at 2 pixels a point).
const flat = (viewport) => ({ ...viewport, deviceScaleFactor: 1 });
await shoot(flat(phone), 'web-phone-menu.png', toMenu);
await shoot(flat(phone), 'web-phone-playing.png', (page, f) => playSlot(page, f, 0, { x: 440, y: 28 }, 0));
await shoot(flat({ ...phone, width: 390, height: 844, isLandscape: false }), 'web-phone-portrait.png', null);
await shoot(flat(tablet), 'web-tablet-playing.png', (page, f) => playSlot(page, f, 1, kPanflipGameA, 9));

// At 3 device pixels a CSS pixel (the canvas at 4 pixels a point, its pictures drawn from the art's masters):
// the middle of slot 1's screen, once every picture is in; then without the segments' shadow (the settings
// written while the program has ended, so that it does not write its own over them, and the page reloaded;
// last, since the settings stay in the browser's profile).
const dense = { ...phone, deviceScaleFactor: 3 };
const middle = async (page) => {
  const r = await page.evaluate(() => {
    const b = document.getElementById('canvas').getBoundingClientRect();
    return [b.left, b.top, b.width, b.height];
  });
  return { x: r[0] + r[2] * 0.3, y: r[1] + r[3] * 0.3, width: r[2] * 0.4, height: r[3] * 0.35 };
};
const allDrawn = (page) => page.waitForFunction(() => window.Module.plumbrickArt.idle(), { timeout: 60000 });
const playDense = async (page, fingers) => {
  await playSlot(page, fingers, 0, { x: 440, y: 28 }, 8);
  await allDrawn(page);
};
await shoot(dense, 'web-dpr3-shadow-on.png', playDense, middle);
await shoot(
  dense,
  'web-dpr3-shadow-off.png',
  async (page, fingers) => {
    await page.evaluate(() => {
      window.Module._plumbrick_will_terminate();
      const file = '/config/plumbrick/settings.json';
      window.FS.writeFile(file, JSON.stringify({ display: { shadow: false } }));
      window.Module.plumbrick_saved(file);
    });
    await page.waitForNavigation({ waitUntil: 'load' });
    await page.waitForFunction(() => window.plumbrick && window.plumbrick.firstFrame !== null, { timeout: 15000 });
    await playDense(page, fingers);
  },
  middle,
);

await browser.close();
server.close();
