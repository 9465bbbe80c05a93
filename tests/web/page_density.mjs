// The game sharp and on time on a high-density screen, in Debian's Chromium: a 1366 x 768 page at
// 1x and at 2x (each in a browser profile of its own). "The largest window that fits" is measured
// in the screen's own pixels: 1134 x 768 at 1x, 1512 x 1024 at 2x, as the saved setting.ini says
// too; the lobby at 2x is sharper than the 1x lobby stretched to 2x (what a 2x screen showed when
// the size was measured in the page's pixels). Prints how long the opening deal took at each
// density against the desktop's 5.5 s, with the frames shown and what showing them cost the page
// (figures to read, not to fail on: they move with the machine's load).
//
//   node page_density.mjs <page folder> [--screenshots <prefix>] [--chromium <path>]
//
// --screenshots saves the lobby at each density (<prefix>-1x.png, <prefix>-2x.png).
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import {
  ADVENTURE_BUTTON, STEP_MS, clickAt, exit, framesUntilStill, lit, options, run, savedSettings, sleep,
  waitForCanvas, waitForTerminal, watch,
} from './browser.mjs';

const { createCanvas, loadImage } = createRequire(import.meta.url)('@napi-rs/canvas');

const PAGE = { width: 1366, height: 768 };
const DESKTOP_DEAL_MS = 5500; // the opening deal on the desktop (8 cards, 152 frames), for comparison
const EXPECTED = {
  1: { frame: '1134 x 768', index: '1' },
  2: { frame: '1512 x 1024', index: '2' },
};

// How sharp a picture is: how steep its edges are, as the mean of the steepest 1 % of the
// differences between neighbouring pixels (across and down, in the screen's pixels). A picture
// stretched twice as large spreads each edge over twice the pixels.
async function sharpness(png, scale = 1) {
  const image = await loadImage(png);
  const width = Math.round(image.width * scale), height = Math.round(image.height * scale);
  const canvas = createCanvas(width, height);
  const context = canvas.getContext('2d');
  context.imageSmoothingEnabled = true;
  context.drawImage(image, 0, 0, width, height);
  const data = context.getImageData(0, 0, width, height).data;
  const steps = new Float64Array((width - 1) * (height - 1));
  for (let y = 0, i = 0; y + 1 < height; y++)
    for (let x = 0; x + 1 < width; x++, i++) {
      const at = (y * width + x) * 4;
      for (let c = 0; c < 3; c++) steps[i] += Math.abs(data[at + c] - data[at + 4 + c]) + Math.abs(data[at + c] - data[at + width * 4 + c]);
    }
  steps.sort();
  const steepest = steps.subarray(Math.floor(steps.length * 0.99));
  return steepest.reduce((a, b) => a + b, 0) / steepest.length;
}

// The lobby, the settings saved, the opening deal timed: at one density, in a profile of its own.
async function atDensity(browser, url, problems, ratio) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  watch(page, problems);
  await page.setViewport({ ...PAGE, deviceScaleFactor: ratio });
  await page.goto(url, { waitUntil: 'load' });
  await waitForTerminal(page, 'Game Launcher');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.cardbattlePage.framesShown() > 0, { timeout: STEP_MS, polling: 5 });
  await waitForCanvas(page, (s) => lit(s) > 0.9, 'the lobby');
  const frame = await page.evaluate(() => window.cardbattlePage.frameSize());
  const result = { ratio, frame: `${frame.width} x ${frame.height}`, settings: await savedSettings(page) };
  await page.mouse.move(5, 5);
  await sleep(500);
  result.lobby = await page.screenshot();

  const metrics = async () => (await page.metrics()).TaskDuration;
  const [showsBefore, showingBefore] = await page.evaluate(() => [window.cardbattlePage.framesShown(), window.cardbattlePage.showingMs()]);
  const busyBefore = await metrics();
  const clicked = await page.evaluate(() => performance.now());
  await clickAt(page, ADVENTURE_BUTTON);
  const times = await framesUntilStill(page, clicked, 1500);
  const busy = await metrics() - busyBefore;
  const [showsAfter, showingAfter] = await page.evaluate(() => [window.cardbattlePage.framesShown(), window.cardbattlePage.showingMs()]);
  result.dealFrames = times.length;
  result.dealMs = times.length > 1 ? times[times.length - 1] - times[0] : 0;
  result.showMs = (showingAfter - showingBefore) / Math.max(1, showsAfter - showsBefore);
  result.cpu = busy / ((times[times.length - 1] - clicked) / 1000);
  await context.close();
  return result;
}

const o = options(process.argv.slice(2), { screenshots: null }, (opts, argv, i) => {
  if (argv[i] !== '--screenshots') return -1;
  opts.screenshots = argv[i + 1];
  return i + 1;
});
exit(run(o, async ({ browser, url, problems }) => {
  const results = {};
  for (const ratio of [1, 2]) {
    const r = results[ratio] = await atDensity(browser, url, problems, ratio);
    if (o.screenshots) writeFileSync(`${o.screenshots}-${ratio}x.png`, r.lobby);
    console.log(`${PAGE.width} x ${PAGE.height} at ${ratio}x: the window ${r.frame}, setting.ini ${JSON.stringify(r.settings)}; ` +
      `the opening deal ${r.dealFrames} frames in ${Math.round(r.dealMs)} ms (the desktop's ${DESKTOP_DEAL_MS} ms), ` +
      `${r.showMs.toFixed(2)} ms to show a frame, ${(r.cpu * 100).toFixed(0)} % of a core meanwhile`);
    if (r.frame !== EXPECTED[ratio].frame) throw new Error(`at ${ratio}x the window opened at ${r.frame}, not ${EXPECTED[ratio].frame}`);
    if (r.settings.split('\n')[0] !== EXPECTED[ratio].index) throw new Error(`at ${ratio}x setting.ini says ${JSON.stringify(r.settings)}`);
  }
  const sharp2 = await sharpness(results[2].lobby);
  const stretched = await sharpness(results[1].lobby, 2);
  console.log(`sharpness of the lobby at 2x ${sharp2.toFixed(2)}, of the 1x lobby stretched to 2x ${stretched.toFixed(2)}`);
  if (sharp2 < stretched * 1.15) throw new Error('the lobby at 2x is no sharper than the 1x lobby stretched');
}, PAGE));
