// The game in a real browser: Debian's Chromium, driven through the DevTools protocol
// (puppeteer-core). Serves the page's folder on 127.0.0.1, opens it, waits for the launcher in the
// terminal, starts with Enter, waits for the lobby on the canvas, clicks the adventure button where
// it is drawn and waits for the battle screen, drawn in Chinese; then opens the page again and
// checks that the settings the launcher saved came back. Then in English: opened with ?lang=en, the
// battle is drawn with no character outside ASCII; opened again without ?lang, English holds, and
// the page's language switch, reached with Tab from the terminal, opens it again in Chinese. Fails
// on any error in the page's console, any uncaught exception and any request that fails. Prints
// the times, the bytes downloaded and the CPU of the waiting lobby.
//
//   node page_e2e.mjs <page folder> [--screenshot <file.png>] [--whole-match] [--chromium <path>]
//
// The screenshot is of the battle in Chinese; the one in English goes beside it (<file>-en.png).
// --whole-match then plays the match to its end (ending every turn until the opponent wins), back
// to the lobby with Space: minutes, so it is not part of the suite. The end screen is photographed
// beside the screenshot (<file>-end.png).
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { writeFileSync } from 'node:fs';
import {
  ADVENTURE_BUTTON, END_TURN_BUTTON, STEP_MS, canvasSamples, clickAt, differing, drawnText, exit, lit, options,
  run, sleep, terminalText, waitForCanvas, waitForTerminal, watch,
} from './browser.mjs';

const VIEWPORT = { width: 1280, height: 900 };
const LANGUAGE_LINE = 'Language (L to change): ';

// The share of a core the page's main thread (where the program runs) used while nobody did
// anything, measured over `ms`.
async function idleCpu(page, ms) {
  const busy = async () => (await page.metrics()).TaskDuration;
  const before = await busy();
  await sleep(ms);
  return (await busy() - before) / (ms / 1000);
}

// The language the launcher shows, 'Chinese' or 'English'.
async function launcherLanguage(page) {
  const line = (await terminalText(page)).split('\n').find((l) => l.includes(LANGUAGE_LINE));
  if (!line) throw new Error(`the launcher shows no language; it shows:\n${await terminalText(page)}`);
  return line.slice(line.indexOf(LANGUAGE_LINE) + LANGUAGE_LINE.length).trim();
}

// Opens the page (or follows it to `url`) and waits for the launcher, with the keyboard.
async function openLauncher(page, url, report, { navigate = () => page.goto(url, { waitUntil: 'load' }) } = {}) {
  const opened = Date.now();
  await navigate();
  await waitForTerminal(page, 'Game Launcher');
  report.launcherMs = Date.now() - opened;
  if (page.url() !== url) throw new Error(`the page is at ${page.url()}, not ${url}`);
  const focused = await page.evaluate(() => document.activeElement?.classList.contains('xterm-helper-textarea'));
  if (!focused) throw new Error('the terminal does not have the focus when the launcher shows');
  // The launcher's title is the terminal's; the tab keeps the game's name.
  if (await page.evaluate(() => window.cardbattlePage.terminalTitle()) !== 'Game Launcher') throw new Error('the launcher set no title');
  if (await page.title() !== 'cardbattle') throw new Error(`the title is "${await page.title()}", not the game's name`);
  if (await page.evaluate(() => document.getElementById('languages').hidden)) throw new Error('the language switch is not on the page');
  report.launcherLanguage = await launcherLanguage(page);
}

// From opening the page to the lobby on the canvas; returns the lobby's samples.
async function reachLobby(page, url, report) {
  await openLauncher(page, url, report);
  const pressed = Date.now();
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.cardbattlePage.framesShown() > 0, { timeout: STEP_MS, polling: 5 });
  const lobby = await waitForCanvas(page, (s) => lit(s) > 0.9, 'the lobby');
  report.lobbyMs = Date.now() - pressed;
  const frame = await page.evaluate(() => window.cardbattlePage.frameSize());
  report.frame = `${frame.width} x ${frame.height}`;
  if (await page.evaluate(() => !document.getElementById('terminal').hidden)) throw new Error('the terminal did not step aside');
  if (!await page.evaluate(() => document.activeElement === document.getElementById('window'))) throw new Error('the canvas did not take the focus');
  if (!await page.evaluate(() => document.getElementById('languages').hidden)) throw new Error('the language switch stayed over the game');
  return lobby;
}

// The adventure button, then the battle screen until the cards are dealt; a screenshot of it.
async function reachBattle(page, lobby, screenshot) {
  await clickAt(page, ADVENTURE_BUTTON);
  const battle = await waitForCanvas(page, (s) => differing(s, lobby) > 0.5, 'the battle screen');
  await sleep(7000); // the cards are dealt
  const dealt = await canvasSamples(page);
  if (differing(dealt, lobby) < 0.5) throw new Error('the battle screen did not stay');
  if (differing(dealt, battle) === 0) throw new Error('nothing moved on the battle screen while the cards were dealt');
  if (screenshot) await page.screenshot({ path: screenshot });
}

const CHINESE = /[\u4e00-\u9fff]/u;
const OUTSIDE_ASCII = /[^\x20-\x7e]/gu;

// Ends the player's turns until the match is over (the opponent wins), then Space on the end
// screen, back to the lobby. The page is photographed before every Space: the last picture, taken
// just before the lobby came back, is the end screen's (saved to `endScreenshot`).
async function playToTheEnd(page, lobby, endScreenshot) {
  const started = Date.now();
  let turns = 0;
  let lastPicture = null;
  for (;;) {
    const before = await canvasSamples(page);
    if (differing(before, lobby) < 0.05) break; // back in the lobby
    if (Date.now() - started > 15 * 60000) throw new Error(`the match did not end in 15 minutes (${turns} turns)`);
    await clickAt(page, END_TURN_BUTTON);
    await sleep(300);
    lastPicture = await page.screenshot();
    await page.keyboard.press('Space');
    turns++;
    await sleep(1500);
  }
  if (endScreenshot && lastPicture) writeFileSync(endScreenshot, lastPicture);
  console.log(`the whole match: ${turns} turns ended, ${Math.round((Date.now() - started) / 1000)} s, back in the lobby` +
              (endScreenshot ? `; the end screen in ${endScreenshot}` : ''));
}

async function firstVisit(page, url, o, report) {
  const lobby = await reachLobby(page, url, report);
  if (report.launcherLanguage !== 'Chinese') throw new Error(`with no choice made the launcher shows ${report.launcherLanguage}`);
  // The largest window that fits the browser window (1280 x 900) is the middle one.
  if (report.frame !== '1134 x 768') throw new Error(`the window opened at ${report.frame}, not the largest that fits`);
  await page.mouse.move(10, 10);
  // The game's polling loop waits longer between polls once it has only polled for two seconds.
  report.startingCpu = await idleCpu(page, 3000);
  report.idleCpu = await idleCpu(page, 5000);

  await reachBattle(page, lobby, o.screenshot);
  if (!CHINESE.test(await drawnText(page))) throw new Error('the battle in Chinese drew no Chinese character');
  if (o.wholeMatch) await playToTheEnd(page, lobby, o.screenshot && o.screenshot.replace(/(\.png)?$/, '-end.png'));
}

// Opened with ?lang=en: the launcher says English and the battle is drawn in ASCII. Opened again
// without ?lang: English holds. The switch, reached from the terminal with Tab, opens the page in
// Chinese.
async function inEnglish(page, url, o) {
  const report = {};
  const lobby = await reachLobby(page, `${url}?lang=en`, report);
  if (report.launcherLanguage !== 'English') throw new Error(`with ?lang=en the launcher shows ${report.launcherLanguage}`);
  await reachBattle(page, lobby, o.screenshot && o.screenshot.replace(/(\.png)?$/, '-en.png'));
  const drawn = await drawnText(page);
  const foreign = drawn.match(OUTSIDE_ASCII);
  if (drawn.trim().length === 0) throw new Error('the battle in English drew no text');
  if (foreign) throw new Error(`the battle in English drew characters outside ASCII: ${[...new Set(foreign)].join('')}`);

  await openLauncher(page, url, report);
  if (report.launcherLanguage !== 'English') throw new Error(`without ?lang the launcher shows ${report.launcherLanguage}, not the saved English`);
  await page.keyboard.press('Tab');
  const reached = await page.evaluate(() => document.activeElement?.dataset.lang ?? document.activeElement?.className);
  if (reached !== 'zh') throw new Error(`Tab from the terminal reached ${reached}, not the switch's first button`);
  await openLauncher(page, `${url}?lang=zh`, report, {
    navigate: () => Promise.all([page.waitForNavigation({ waitUntil: 'load' }), page.keyboard.press('Enter')]),
  });
  if (report.launcherLanguage !== 'Chinese') throw new Error(`the switch to Chinese gave a launcher in ${report.launcherLanguage}`);
  const state = await page.evaluate(() => [document.documentElement.lang,
    [...document.querySelectorAll('#languages button')].map((b) => `${b.dataset.lang}:${b.getAttribute('aria-pressed')}`).join(' ')]);
  if (state.join(' ') !== 'zh-CN zh:true en:false') throw new Error(`the page in Chinese: lang, pressed buttons ${state.join(' ')}`);
}

const o = options(process.argv.slice(2), { screenshot: null, wholeMatch: false }, (opts, argv, i) => {
  if (argv[i] === '--screenshot') opts.screenshot = argv[i + 1];
  else if (argv[i] === '--whole-match') opts.wholeMatch = true;
  else return -1;
  return argv[i] === '--screenshot' ? i + 1 : i;
});
exit(run(o, async ({ browser, served, url, problems }) => {
  const page = await browser.newPage();
  watch(page, problems);
  const report = {};
  await firstVisit(page, url, o, report);
  const first = { ...report, bytes: served.bytes };
  const files = [...served.files].map(([name, bytes]) => `${name} ${bytes}`).join(', ');
  // Again in the same browser, smaller: the launcher offers the size saved at the first visit
  // (the largest that fits would now be the smallest), and opens it.
  await page.setViewport({ width: 900, height: 700 });
  await reachLobby(page, url, report);
  if (report.frame !== first.frame) throw new Error(`the second visit opened ${report.frame}, not the saved ${first.frame}`);
  await inEnglish(page, url, o);
  console.log(`launcher shown ${first.launcherMs} ms after opening the page; lobby drawn ${first.lobbyMs} ms after Enter ` +
    `(${first.frame}); ${(first.startingCpu * 100).toFixed(1)} % of a core in the lobby's first 3 s, ` +
    `${(first.idleCpu * 100).toFixed(1)} % in the next 5 s while it waited; ` +
    `sent ${first.bytes} bytes (compressed where the build made a copy): ${files}`);
}, VIEWPORT));
