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
import { createServer } from 'node:http';
import { existsSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.data': 'application/octet-stream',
  '.woff2': 'font/woff2', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8', '.png': 'image/png',
};
const STEP_MS = 30000;
const VIEWPORT = { width: 1280, height: 900 };
// Places on the game's reference frame (1512 x 1024), scaled by the frame's height as the game does.
const REFERENCE_HEIGHT = 1024;
const ADVENTURE_BUTTON = [970, 530];
const END_TURN_BUTTON = [1221, 512];
const SAMPLES = 24; // the canvas compared on a grid of SAMPLES x SAMPLES points
const LANGUAGE_LINE = 'Language (L to change): ';

function options(argv) {
  const o = { folder: null, screenshot: null, chromium: '/usr/bin/chromium', wholeMatch: false };
  for (let i = 0; i < argv.length; i++) {
    if (argv[i] === '--screenshot') o.screenshot = argv[++i];
    else if (argv[i] === '--chromium') o.chromium = argv[++i];
    else if (argv[i] === '--whole-match') o.wholeMatch = true;
    else o.folder = resolve(argv[i]);
  }
  if (!o.folder || !existsSync(join(o.folder, 'index.html'))) throw new Error(`no page folder given (with an index.html): ${o.folder}`);
  return o;
}

// The folder on 127.0.0.1, counting what it sends.
function serve(folder) {
  const served = { bytes: 0, files: new Map() };
  const server = createServer((request, response) => {
    const path = normalize(join(folder, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const file = path.endsWith(sep) ? join(path, 'index.html') : path;
    if (!file.startsWith(folder) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const body = readFileSync(file);
    served.bytes += body.length;
    served.files.set(file.slice(folder.length + 1), body.length);
    response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream', 'Content-Length': body.length });
    response.end(body);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done({ server, served, url: `http://127.0.0.1:${server.address().port}/` })));
}

// Everything that goes wrong in the page, as it happens.
function watch(page, problems) {
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()} ${request.failure()?.errorText}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`${response.status()} for ${response.url()}`);
  });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const terminalText = (page) => page.evaluate(() => window.cardbattlePage?.terminalText() ?? '');

async function waitForTerminal(page, text) {
  await page.waitForFunction((t) => window.cardbattlePage?.terminalText().includes(t), { timeout: STEP_MS, polling: 20 }, text)
    .catch(async () => { throw new Error(`the terminal never showed "${text}"; it shows:\n${await terminalText(page)}`); });
}

// The canvas on a grid of points: [r, g, b] each.
function canvasSamples(page) {
  return page.evaluate((n) => {
    const canvas = document.getElementById('window');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const out = [];
    for (let j = 0; j < n; j++)
      for (let i = 0; i < n; i++) {
        const x = Math.floor((i + 0.5) * canvas.width / n), y = Math.floor((j + 0.5) * canvas.height / n);
        const at = (y * canvas.width + x) * 4;
        out.push([data[at], data[at + 1], data[at + 2]]);
      }
    return out;
  }, SAMPLES);
}

const differing = (a, b) => a.filter((p, i) => p.some((c, k) => Math.abs(c - b[i][k]) > 24)).length / a.length;
const lit = (samples) => samples.filter((p) => p.some((c) => c > 16)).length / samples.length;

// Waits until the canvas shows something that `accept` takes, polling.
async function waitForCanvas(page, accept, what) {
  const start = Date.now();
  for (;;) {
    const samples = await canvasSamples(page);
    if (accept(samples)) return samples;
    if (Date.now() - start > STEP_MS) throw new Error(`${what} never showed on the canvas`);
    await sleep(20);
  }
}

// A point of the reference frame, in the page's CSS pixels.
function pagePoint(page, [rx, ry]) {
  return page.evaluate((x, y, reference) => {
    const box = document.getElementById('window').getBoundingClientRect();
    const frame = window.cardbattlePage.frameSize();
    const scale = frame.height / reference;
    return [box.left + (x * scale + 0.5) * box.width / frame.width, box.top + (y * scale + 0.5) * box.height / frame.height];
  }, rx, ry, REFERENCE_HEIGHT);
}

async function clickAt(page, reference) {
  const [x, y] = await pagePoint(page, reference);
  await page.mouse.move(x, y);
  await sleep(100);
  await page.mouse.click(x, y);
}

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
  if (await page.title() !== 'Game Launcher') throw new Error(`the title is "${await page.title()}", not the launcher's`);
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

// The characters the game has drawn on this page so far, as a string.
const drawnText = async (page) => String.fromCodePoint(...await page.evaluate(() => window.cardbattlePage.drawnCharacters()));
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

async function main() {
  const o = options(process.argv.slice(2));
  if (!existsSync(o.chromium)) {
    console.log(`no Chromium at ${o.chromium}: skipped`);
    return 77;
  }
  const { server, served, url } = await serve(o.folder);
  const profile = mkdtempSync(join(tmpdir(), 'cardbattle-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: o.chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--window-size=${VIEWPORT.width},${VIEWPORT.height}`],
    defaultViewport: VIEWPORT,
  });
  const problems = [];
  const report = {};
  try {
    const page = await browser.newPage();
    watch(page, problems);
    await firstVisit(page, url, o, report);
    const first = { ...report, bytes: served.bytes };
    // Again in the same browser, smaller: the launcher offers the size saved at the first visit
    // (the largest that fits would now be the smallest), and opens it.
    await page.setViewport({ width: 900, height: 700 });
    await reachLobby(page, url, report);
    if (report.frame !== first.frame) throw new Error(`the second visit opened ${report.frame}, not the saved ${first.frame}`);
    await inEnglish(page, url, o);
    const files = [...served.files].map(([name, bytes]) => `${name} ${bytes}`).join(', ');
    console.log(`launcher shown ${first.launcherMs} ms after opening the page; lobby drawn ${first.lobbyMs} ms after Enter ` +
      `(${first.frame}); ${(first.startingCpu * 100).toFixed(1)} % of a core in the lobby's first 3 s, ` +
      `${(first.idleCpu * 100).toFixed(1)} % in the next 5 s while it waited; ` +
      `downloaded ${first.bytes} bytes: ${files}`);
  } catch (error) {
    problems.push(error.message);
  } finally {
    await browser.close();
    server.close();
    rmSync(profile, { recursive: true, force: true });
  }
  for (const p of problems) console.error(p);
  return problems.length === 0 ? 0 : 1;
}

main().then((status) => process.exit(status), (error) => {
  console.error(error.message);
  process.exit(1);
});
