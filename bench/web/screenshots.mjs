// Pictures of the page in headless chromium, played by touch, for README.md:
//   docs/screenshots/web-phone-menu.png      phone, landscape (844 x 390), the menu
//   docs/screenshots/web-phone-playing.png   phone, landscape, slot 1's game A being played
//   docs/screenshots/web-phone-portrait.png  phone held upright (390 x 844): turn the device
//   docs/screenshots/web-tablet-playing.png  tablet, landscape (1180 x 820), slot 2 being played
//
//   node bench/web/screenshots.mjs     (after PLUMBRICK_WEB_TEST_PROBES=ON scripts/web --build-only)
import path from 'node:path';
import { Fingers, launch, open, phone, root, serve, sleep, tablet, until } from '../../tests/web/support.mjs';

const out = path.join(root, 'docs/screenshots');
const kPanflipGameA = { x: 441, y: 56 };
const server = await serve();
const browser = await launch();

async function shoot(viewport, name, play) {
  const page = await browser.newPage();
  await page.setViewport({ ...viewport, deviceScaleFactor: 1 });
  await page.bringToFront();
  if (play) await open(page, server.url);
  else await page.goto(server.url, { waitUntil: 'load' }); // held upright the program waits: no frame
  const fingers = await Fingers.on(page);
  if (play) await play(page, fingers);
  else await sleep(1500);
  await page.screenshot({ path: path.join(out, name) });
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

await shoot(phone, 'web-phone-menu.png', toMenu);
await shoot(phone, 'web-phone-playing.png', (page, f) => playSlot(page, f, 0, { x: 440, y: 28 }, 0));
await shoot({ ...phone, width: 390, height: 844, isLandscape: false }, 'web-phone-portrait.png', null);
await shoot(tablet, 'web-tablet-playing.png', (page, f) => playSlot(page, f, 1, kPanflipGameA, 9));

await browser.close();
server.close();
