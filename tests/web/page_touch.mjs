// The game by touch alone, in Debian's Chromium with touch emulated: a phone held upright (390 x 844
// at 3x) and a tablet (1024 x 768 at 2x), each in a browser profile of its own. The terminal opens
// no on-screen keyboard; the phone is asked to turn (and can play upright); every button of the
// page is at least 44 CSS pixels; the strong opponent is chosen (on the phone by a tap on the
// launcher's opponent line, on the tablet by ?opponent=strong in the address); Start in the launcher
// is tapped, then the adventure button, then the end of every turn until the match is over; the end
// screen says to tap, a click of the mouse on it does nothing, and a tap goes back to the lobby. Not
// one keyboard event on the way. The longest task the page's main thread ran during the match is
// printed: the strong opponent gives the page its turn while it thinks.
//
//   node page_touch.mjs <page folder> [--screenshots <prefix>] [--chromium <path>]
//
// --screenshots saves each end screen (<prefix>-phone.png, <prefix>-tablet.png).
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { writeFileSync } from 'node:fs';
import {
  ADVENTURE_BUTTON, END_TURN_BUTTON, STEP_MS, canvasSamples, clickAt, differing, drawnText, exit, framesUntilStill, lit,
  options, run, sleep, tapAt, terminalPoint, terminalText, waitForCanvas, waitForTerminal, watch,
} from './browser.mjs';

const DEVICES = [
  { name: 'phone', viewport: { width: 390, height: 844, deviceScaleFactor: 3 }, frame: '1134 x 768', upright: true,
    address: '', tapOpponent: true },
  { name: 'tablet', viewport: { width: 1024, height: 768, deviceScaleFactor: 2 }, frame: '1512 x 1024', upright: false,
    address: '?opponent=strong', tapOpponent: false },
];
const OPPONENT_LINE = 'Opponent (O to change): ';
const TAP_PROMPT = '轻'; // drawn by the end screen's prompt on a touch screen, and by nothing else
const MATCH_MS = 10 * 60000;
const SMALLEST_TAP = 44; // CSS pixels

// Counts the keyboard's events on the page, and keeps its longest task, from before its own script
// runs (the browser reports only tasks over 50 ms).
const countKeys = () => {
  window.keyboardEvents = 0;
  for (const type of ['keydown', 'keyup', 'keypress']) window.addEventListener(type, () => window.keyboardEvents++, true);
  window.longestTask = 0;
  new PerformanceObserver((list) => {
    for (const task of list.getEntries()) window.longestTask = Math.max(window.longestTask, task.duration);
  }).observe({ type: 'longtask' });
};

// The opponent the launcher shows, once it shows one.
async function launcherOpponent(page) {
  const line = (await terminalText(page)).split('\n').find((l) => l.includes(OPPONENT_LINE));
  return line ? line.slice(line.indexOf(OPPONENT_LINE) + OPPONENT_LINE.length).trim() : null;
}

// Every button the page shows that is smaller than a fingertip.
const smallButtons = (page) => page.evaluate((least) => [...document.querySelectorAll('button')]
  .filter((b) => b.offsetParent !== null)
  .map((b) => [b.textContent.trim() || b.getAttribute('aria-label') || b.id, b.getBoundingClientRect()])
  .filter(([, box]) => box.width < least || box.height < least)
  .map(([name, box]) => `${name} ${box.width} x ${box.height}`), SMALLEST_TAP);

async function tapText(page, text) {
  const point = await terminalPoint(page, text);
  if (!point) throw new Error(`the terminal shows no "${text}"`);
  await page.touchscreen.tap(...point);
}

// Taps the end of the player's turn whenever the window stands still (the player's turn: the
// opponent's moves never stop), until the end screen shows.
async function playToTheEnd(page) {
  const started = Date.now();
  let turns = 0;
  for (;;) {
    await framesUntilStill(page, 0, 800, MATCH_MS);
    if ((await drawnText(page)).includes(TAP_PROMPT)) return turns;
    if (Date.now() - started > MATCH_MS) throw new Error(`the match did not end in ${MATCH_MS / 60000} minutes (${turns} turns)`);
    await tapAt(page, END_TURN_BUTTON);
    turns++;
    await sleep(300);
  }
}

async function onDevice(browser, url, problems, device, screenshots) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  watch(page, problems);
  await page.evaluateOnNewDocument(countKeys);
  await page.setViewport({ ...device.viewport, isMobile: true, hasTouch: true });
  await page.goto(url + device.address, { waitUntil: 'load' });
  await waitForTerminal(page, 'Game Launcher');
  const inputMode = await page.evaluate(() => document.querySelector('.xterm-helper-textarea')?.getAttribute('inputmode'));
  if (inputMode !== 'none') throw new Error(`the terminal's text box has inputmode ${inputMode}: a phone would open its keyboard`);
  const hint = await page.evaluate(() => !document.getElementById('turn-phone').hidden && document.querySelector('#turn-phone p').textContent);
  if (device.upright !== !!hint) throw new Error(`held ${device.upright ? 'upright' : 'sideways'}, the page ${hint ? 'asks' : 'does not ask'} to turn it`);
  const small = await smallButtons(page);
  if (small.length) throw new Error(`buttons smaller than ${SMALLEST_TAP} CSS pixels: ${small.join(', ')}`);
  if (hint) {
    const button = await page.$('#turn-phone button');
    const box = await button.boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
    await page.waitForFunction(() => document.getElementById('turn-phone').hidden, { timeout: STEP_MS });
  }

  if (device.tapOpponent) await tapText(page, OPPONENT_LINE);
  for (const started = Date.now(); await launcherOpponent(page) !== 'Strong'; await sleep(100)) {
    if (Date.now() - started > STEP_MS) throw new Error(`the launcher shows the opponent ${await launcherOpponent(page)}, not Strong`);
  }
  await tapText(page, 'Start');
  await page.waitForFunction(() => window.cardbattlePage.framesShown() > 0, { timeout: STEP_MS, polling: 5 });
  const lobby = await waitForCanvas(page, (s) => lit(s) > 0.9, 'the lobby');
  const frame = await page.evaluate(() => window.cardbattlePage.frameSize());
  if (`${frame.width} x ${frame.height}` !== device.frame) throw new Error(`the window opened at ${frame.width} x ${frame.height}, not ${device.frame}`);
  await sleep(300);
  await tapAt(page, ADVENTURE_BUTTON);
  await waitForCanvas(page, (s) => differing(s, lobby) > 0.5, 'the battle screen');
  const started = Date.now();
  await page.evaluate(() => { window.longestTask = 0; });
  const turns = await playToTheEnd(page);
  const longest = Math.round(await page.evaluate(() => window.longestTask));
  const seconds = Math.round((Date.now() - started) / 1000);

  const end = await canvasSamples(page);
  if (screenshots) writeFileSync(`${screenshots}-${device.name}.png`, await page.screenshot());
  const shown = await page.evaluate(() => window.cardbattlePage.framesShown());
  await clickAt(page, [756, 512]);
  await sleep(1500);
  if (await page.evaluate(() => window.cardbattlePage.framesShown()) !== shown || differing(await canvasSamples(page), end) > 0) {
    throw new Error('a click of the mouse on the end screen changed the window');
  }
  await tapAt(page, [756, 512]);
  await waitForCanvas(page, (s) => differing(s, lobby) < 0.05, 'the lobby after the end screen', 10000);
  const keys = await page.evaluate(() => window.keyboardEvents);
  if (keys !== 0) throw new Error(`${keys} keyboard events reached the page`);
  console.log(`${device.name} (${device.viewport.width} x ${device.viewport.height} at ${device.viewport.deviceScaleFactor}x): ` +
    `the window ${device.frame}; against the strong opponent, ${turns} turns ended by tapping, the match over in ` +
    `${seconds} s, ${longest ? `the longest task ${longest} ms` : 'no task over 50 ms'}; ` +
    'a click on the end screen did nothing, a tap went back to the lobby; no keyboard event');
  await context.close();
}

const o = options(process.argv.slice(2), { screenshots: null }, (opts, argv, i) => {
  if (argv[i] !== '--screenshots') return -1;
  opts.screenshots = argv[i + 1];
  return i + 1;
});
exit(run(o, async ({ browser, url, problems }) => {
  for (const device of DEVICES) await onDevice(browser, url, problems, device, o.screenshots);
}));
