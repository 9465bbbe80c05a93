// What the tests of the page in Debian's Chromium share: a server for the page's folder on
// 127.0.0.1 (counting what it sends, sending the build's compressed copies as a static host does,
// and changing or failing files when a test asks), Chromium launched through puppeteer-core, a
// watch on everything that goes wrong in a page, and the game's window and terminal read and
// touched as a player would.
import { createHash } from 'node:crypto';
import { createServer } from 'node:http';
import { existsSync, mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.data': 'application/octet-stream',
  '.woff2': 'font/woff2', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};
export const STEP_MS = 30000;
// Places on the game's reference frame (1512 x 1024), scaled by the frame's height as the game does.
const REFERENCE_HEIGHT = 1024;
export const ADVENTURE_BUTTON = [970, 530];
export const END_TURN_BUTTON = [1221, 512];
const SAMPLES = 24; // the canvas compared on a grid of SAMPLES x SAMPLES points

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The command line every test takes: <page folder> [--chromium <path>] and its own options, which
// `own` reads (it gets the arguments and the index, and returns the index of the last it took).
export function options(argv, defaults = {}, own = () => -1) {
  const o = { folder: null, chromium: '/usr/bin/chromium', ...defaults };
  for (let i = 0; i < argv.length; i++) {
    const took = own(o, argv, i);
    if (took >= i) i = took;
    else if (argv[i] === '--chromium') o.chromium = argv[++i];
    else o.folder = resolve(argv[i]);
  }
  if (!o.folder || !existsSync(join(o.folder, 'index.html'))) throw new Error(`no page folder given (with an index.html): ${o.folder}`);
  return o;
}

// The folder on 127.0.0.1. served.bytes counts what went over the wire; a file with a compressed
// copy beside it (.br, .gz) is sent as that copy to a browser that takes it, and a browser that
// holds the file as it is gets "not modified", as static hosts do. served.change(path, bytes)
// sends other bytes for a file, served.block(path) cuts its requests off.
export function serve(folder) {
  const changed = new Map(), blocked = new Set();
  const served = {
    bytes: 0, files: new Map(),
    change: (path, bytes) => changed.set(path, Buffer.from(bytes)),
    block: (path) => blocked.add(path),
    unblock: (path) => blocked.delete(path),
  };
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/+/, '');
    const path = normalize(join(folder, name));
    const file = path.endsWith(sep) || name === '' ? join(path, 'index.html') : path;
    const relative = file.slice(folder.length + 1);
    if (blocked.has(relative)) {
      request.socket.destroy(); // no answer at all, as when a network or a filter blocks it
      return;
    }
    if (!file.startsWith(folder) || (!changed.has(relative) && (!existsSync(file) || !statSync(file).isFile()))) {
      response.writeHead(404).end();
      return;
    }
    const accepted = request.headers['accept-encoding'] || '';
    const headers = { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache' };
    let body = changed.get(relative);
    for (const [encoding, suffix] of [['br', '.br'], ['gzip', '.gz']]) {
      if (body || !accepted.includes(encoding) || !existsSync(file + suffix)) continue;
      body = readFileSync(file + suffix);
      headers['Content-Encoding'] = encoding;
      headers.Vary = 'Accept-Encoding';
    }
    body = body || readFileSync(file);
    headers.ETag = `"${createHash('sha256').update(body).digest('hex').slice(0, 16)}"`;
    if (request.headers['if-none-match'] === headers.ETag) {
      response.writeHead(304, { ETag: headers.ETag }).end();
      return;
    }
    served.bytes += body.length;
    served.files.set(relative, body.length);
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(body);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done({ server, served, url: `http://127.0.0.1:${server.address().port}/` })));
}

// Chromium with a profile of its own, removed by close().
export async function launch(chromium, viewport = { width: 1280, height: 900 }) {
  const profile = mkdtempSync(join(tmpdir(), 'cardbattle-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--window-size=${viewport.width},${viewport.height}`],
    defaultViewport: viewport,
  });
  const close = async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

// Runs a test's steps with a served folder and a browser: exit status 0 when they went as they
// should, 1 with the reasons otherwise, 77 when there is no Chromium to run.
export async function run(o, steps, viewport) {
  if (!existsSync(o.chromium)) {
    console.log(`no Chromium at ${o.chromium}: skipped`);
    return 77;
  }
  const { server, served, url } = await serve(o.folder);
  const { browser, close } = await launch(o.chromium, viewport);
  const problems = [];
  try {
    await steps({ browser, served, url, problems });
  } catch (error) {
    problems.push(error.stack || error.message);
  } finally {
    await close();
    server.close();
  }
  for (const p of problems) console.error(p);
  return problems.length === 0 ? 0 : 1;
}

export function exit(status) {
  status.then((code) => process.exit(code), (error) => {
    console.error(error.stack || error.message);
    process.exit(1);
  });
}

// Everything that goes wrong in the page, as it happens (less what `expected` accepts: a test
// that fails a file on purpose expects its failure).
export function watch(page, problems, expected = () => false) {
  const add = (text) => {
    if (!expected(text)) problems.push(text);
  };
  page.on('console', (message) => {
    if (message.type() === 'error') add(`console error: ${message.text()} ${message.location()?.url ?? ''}`);
  });
  page.on('pageerror', (error) => add(`uncaught: ${error.message}`));
  page.on('requestfailed', (request) => add(`request failed: ${request.url()} ${request.failure()?.errorText}`));
  page.on('response', (response) => {
    if (response.status() >= 400) add(`${response.status()} for ${response.url()}`);
  });
}

export const terminalText = (page) => page.evaluate(() => window.cardbattlePage?.terminalText() ?? '');

export async function waitForTerminal(page, text) {
  await page.waitForFunction((t) => window.cardbattlePage?.terminalText().includes(t), { timeout: STEP_MS, polling: 20 }, text)
    .catch(async () => { throw new Error(`the terminal never showed "${text}"; it shows:\n${await terminalText(page)}`); });
}

// The middle of a text the terminal shows, in the page's CSS pixels.
export async function terminalPoint(page, text) {
  return page.evaluate((t) => {
    const lines = window.cardbattlePage.terminalText().split('\n');
    const row = lines.findIndex((l) => l.includes(t));
    if (row < 0) return null;
    const col = lines[row].indexOf(t) + t.length / 2;
    const box = document.querySelector('#terminal .xterm-screen').getBoundingClientRect();
    const cols = window.cardbattlePage.terminalSize().cols;
    return [box.left + col * box.width / cols, box.top + (row + 0.5) * box.height / lines.length];
  }, text);
}

// The canvas on a grid of points: [r, g, b] each.
export function canvasSamples(page) {
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

export const differing = (a, b) => a.filter((p, i) => p.some((c, k) => Math.abs(c - b[i][k]) > 24)).length / a.length;
export const lit = (samples) => samples.filter((p) => p.some((c) => c > 16)).length / samples.length;

// Waits until the canvas shows something that `accept` takes, polling.
export async function waitForCanvas(page, accept, what, ms = STEP_MS) {
  const start = Date.now();
  for (;;) {
    const samples = await canvasSamples(page);
    if (accept(samples)) return samples;
    if (Date.now() - start > ms) throw new Error(`${what} never showed on the canvas`);
    await sleep(20);
  }
}

// A point of the reference frame, in the page's CSS pixels.
export function pagePoint(page, [rx, ry]) {
  return page.evaluate((x, y, reference) => {
    const box = document.getElementById('window').getBoundingClientRect();
    const frame = window.cardbattlePage.frameSize();
    const scale = frame.height / reference;
    return [box.left + (x * scale + 0.5) * box.width / frame.width, box.top + (y * scale + 0.5) * box.height / frame.height];
  }, rx, ry, REFERENCE_HEIGHT);
}

export async function clickAt(page, reference) {
  const [x, y] = await pagePoint(page, reference);
  await page.mouse.move(x, y);
  await sleep(100);
  await page.mouse.click(x, y);
}

export async function tapAt(page, reference) {
  const [x, y] = await pagePoint(page, reference);
  await page.touchscreen.tap(x, y);
}

// The characters the game has drawn on this page so far, as a string.
export const drawnText = async (page) => String.fromCodePoint(...await page.evaluate(() => window.cardbattlePage.drawnCharacters()));

// The saved settings, as the program's file system has them.
export const savedSettings = (page) => page.evaluate(() => window.Module.FS.readFile('/play/setting.ini', { encoding: 'utf8' }));

// Waits until the window has shown no new frame for `stillMs`; the times of the frames shown since
// `since` (ms on the page's clock).
export async function framesUntilStill(page, since, stillMs = 1500, ms = STEP_MS) {
  const start = Date.now();
  for (;;) {
    const [times, now] = await page.evaluate(() => [window.cardbattlePage.shownAt(), performance.now()]);
    const last = times.length ? times[times.length - 1] : since;
    if (now - last > stillMs && last >= since) return times.filter((t) => t >= since);
    if (Date.now() - start > ms) throw new Error(`the window never stood still for ${stillMs} ms`);
    await sleep(100);
  }
}
