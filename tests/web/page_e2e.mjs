// The page in a real browser: Debian's Chromium, driven through the DevTools protocol
// (puppeteer-core). Serves a page folder on 127.0.0.1, opens it, waits for the launcher in the
// terminal, starts with Enter, waits for the window on the canvas, clicks the button where it is
// drawn and waits for the scene the click opens; then opens the page again and checks that the
// saved working folder came back. Fails on any error in the page's console, any uncaught
// exception and any request that fails. Prints the times and the bytes the page downloaded.
//
//   node page_e2e.mjs <page folder> [--screenshot <file.png>] [--chromium <path>]
//
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { createServer } from 'node:http';
import { existsSync, mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.data': 'application/octet-stream',
  '.woff2': 'font/woff2', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8', '.png': 'image/png',
};
const LOBBY = [0x20, 0x30, 0x50], BATTLE = [0x20, 0x50, 0x30]; // the probe's two scenes
const STEP_MS = 30000;

function options(argv) {
  const o = { folder: null, screenshot: null, chromium: '/usr/bin/chromium' };
  for (let i = 0; i < argv.length; i++) {
    if (argv[i] === '--screenshot') o.screenshot = argv[++i];
    else if (argv[i] === '--chromium') o.chromium = argv[++i];
    else o.folder = resolve(argv[i]);
  }
  if (!o.folder || !existsSync(join(o.folder, 'index.html'))) throw new Error(`no page folder given (with an index.html): ${o.folder}`);
  return o;
}

// The folder on 127.0.0.1, counting what it sends.
function serve(folder) {
  const served = { bytes: 0, files: [] };
  const server = createServer((request, response) => {
    const path = normalize(join(folder, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const file = path.endsWith(sep) ? join(path, 'index.html') : path;
    if (!file.startsWith(folder) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const body = readFileSync(file);
    served.bytes += body.length;
    served.files.push(file.slice(folder.length + 1));
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

const terminalText = (page) => page.evaluate(() => window.cardbattlePage?.terminalText() ?? '');

async function waitForTerminal(page, text) {
  await page.waitForFunction((t) => window.cardbattlePage?.terminalText().includes(t), { timeout: STEP_MS }, text)
    .catch(async () => { throw new Error(`the terminal never showed "${text}"; it shows:\n${await terminalText(page)}`); });
}

// The colour the canvas shows at a point of the frame.
function colourAt(page, fx, fy) {
  return page.evaluate((x, y) => {
    const canvas = document.getElementById('window');
    const frame = window.cardbattlePage.frameSize();
    const px = Math.floor((x + 0.5) * canvas.width / frame.width), py = Math.floor((y + 0.5) * canvas.height / frame.height);
    return Array.from(canvas.getContext('2d').getImageData(px, py, 1, 1).data.slice(0, 3));
  }, fx, fy);
}

async function waitForColour(page, fx, fy, colour, what) {
  const start = Date.now();
  for (;;) {
    const seen = await colourAt(page, fx, fy).catch(() => null);
    if (seen && seen.every((c, i) => Math.abs(c - colour[i]) <= 2)) return;
    if (Date.now() - start > STEP_MS) throw new Error(`${what} never showed: the canvas has ${JSON.stringify(seen)} at ${fx},${fy}`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

// A point of the frame in the page's CSS pixels.
function pagePoint(page, fx, fy) {
  return page.evaluate((x, y) => {
    const box = document.getElementById('window').getBoundingClientRect();
    const frame = window.cardbattlePage.frameSize();
    return [box.left + (x + 0.5) * box.width / frame.width, box.top + (y + 0.5) * box.height / frame.height];
  }, fx, fy);
}

// The share of a core the page's main thread (where the program runs) used while nobody did
// anything, measured over `ms`.
async function idleCpu(page, ms) {
  const busy = async () => (await page.metrics()).TaskDuration;
  const before = await busy();
  await new Promise((r) => setTimeout(r, ms));
  return (await busy() - before) / (ms / 1000);
}

async function play(page, url, o, report) {
  const opened = Date.now();
  await page.goto(url, { waitUntil: 'load' });
  await waitForTerminal(page, 'Page probe');
  report.launcherMs = Date.now() - opened;
  if (await page.title() !== 'Page probe') throw new Error(`the title is "${await page.title()}", not the one the program set`);
  const focused = await page.evaluate(() => document.activeElement?.classList.contains('xterm-helper-textarea'));
  if (!focused) throw new Error('the terminal does not have the focus when the launcher shows');
  report.visits = Number((await terminalText(page)).match(/visits here: (\d+)/)?.[1]);

  const pressed = Date.now();
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.cardbattlePage.frameSize() !== null, { timeout: STEP_MS });
  const frame = await page.evaluate(() => window.cardbattlePage.frameSize());
  await waitForColour(page, frame.width / 10, frame.height / 2, LOBBY, 'the first frame');
  report.windowMs = Date.now() - pressed;
  report.frame = `${frame.width} x ${frame.height}`;
  report.idleCpu = await idleCpu(page, 5000);
  if (await page.evaluate(() => !document.getElementById('terminal').hidden)) throw new Error('the terminal did not step aside');

  // The button's middle, where the probe draws it (two fifths across, three quarters down).
  const [x, y] = await pagePoint(page, frame.width / 2, frame.height * 3 / 4 + frame.height / 20);
  await page.mouse.click(x, y);
  await waitForColour(page, frame.width / 10, frame.height / 2, BATTLE, 'the scene the button opens');
  if (o.screenshot) await page.screenshot({ path: o.screenshot });
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
      '--disable-component-update', '--disable-sync', '--window-size=1280,900'],
    defaultViewport: { width: 1280, height: 900 },
  });
  const problems = [];
  const report = {};
  try {
    const page = await browser.newPage();
    watch(page, problems);
    await play(page, url, o, report);
    const firstVisit = { ...report, bytes: served.bytes };
    // Again in the same browser: the saved working folder must come back.
    await play(page, url, { ...o, screenshot: null }, report);
    if (report.visits !== firstVisit.visits + 1) throw new Error(`visits went from ${firstVisit.visits} to ${report.visits}: the saved folder did not come back`);
    console.log(`launcher shown ${firstVisit.launcherMs} ms after opening the page; first frame ${firstVisit.windowMs} ms after Enter ` +
      `(${firstVisit.frame}); ${(firstVisit.idleCpu * 100).toFixed(1)} % of a core while the window waited; ` +
      `downloaded ${firstVisit.bytes} bytes: ${[...new Set(served.files)].join(' ')}`);
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
