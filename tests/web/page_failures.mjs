// The page's failures said well, in Debian's Chromium, each in a browser profile of its own: a file
// the site fails to send is named, with Retry, which starts the game once the file comes; without
// the web font the game starts with the browser's faces; without IndexedDB, or with IndexedDB
// failing, the game starts and the page says that settings will not be kept; a browser without
// WebAssembly is told so before anything large is downloaded.
//
//   node page_failures.mjs <page folder> [--chromium <path>]
//
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { STEP_MS, exit, lit, options, run, waitForCanvas, waitForTerminal, watch } from './browser.mjs';

const NOT_KEPT = 'Settings will not be kept';

// What each case does to the page before its own script runs.
const NO_INDEXED_DB = () => Object.defineProperty(window, 'indexedDB', { value: undefined });
const FAILING_INDEXED_DB = () => { IDBFactory.prototype.open = () => { throw new DOMException('refused', 'SecurityError'); }; };
const NO_WEBASSEMBLY = () => { delete window.WebAssembly; };

const CASES = [
  { name: 'the program blocked', block: 'cardbattle.wasm', says: 'cardbattle.wasm cannot be loaded', retry: true },
  { name: 'the pictures blocked', block: 'cardbattle.data', says: 'cardbattle.data cannot be loaded', retry: true },
  { name: 'the program\'s script blocked', block: 'cardbattle.js', says: 'cardbattle.js cannot be loaded', retry: true },
  { name: 'the terminal blocked', block: 'xterm/xterm.js', says: 'xterm/xterm.js cannot be loaded', retry: true },
  { name: 'the page\'s words blocked', block: 'language.js', says: 'language.js cannot be loaded / 无法载入 language.js', retry: true },
  { name: 'the web font blocked', block: 'fonts/cardbattle-text.woff2', plays: true },
  { name: 'no IndexedDB', before: NO_INDEXED_DB, plays: true, note: NOT_KEPT },
  { name: 'IndexedDB failing', before: FAILING_INDEXED_DB, plays: true, note: NOT_KEPT },
  { name: 'no WebAssembly', before: NO_WEBASSEMBLY, says: 'This browser cannot run the game', retry: false, nothingLarge: true },
];

const shown = (page) => page.evaluate(() => ({
  status: document.getElementById('loading').hidden ? '' : document.querySelector('#loading .status').textContent,
  retry: !document.querySelector('#loading .retry').hidden,
  note: document.getElementById('note').hidden ? '' : document.querySelector('#note .text').textContent,
}));

async function reachLobby(page) {
  await waitForTerminal(page, 'Game Launcher');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.cardbattlePage.framesShown() > 0, { timeout: STEP_MS, polling: 5 });
  await waitForCanvas(page, (s) => lit(s) > 0.9, 'the lobby');
}

async function tryCase(browser, served, url, problems, c) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  // The failure asked for is expected; anything else is a problem.
  watch(page, problems, (text) => !!c.block && text.includes(c.block));
  if (c.before) await page.evaluateOnNewDocument(c.before);
  if (c.block) served.block(c.block);
  served.files.clear();
  try {
    await page.goto(url, { waitUntil: 'load' });
    if (c.plays) {
      await reachLobby(page);
      const now = await shown(page);
      if (c.note && !now.note.includes(c.note)) throw new Error(`${c.name}: the page notes "${now.note}", not "${c.note}"`);
      if (!c.note && now.note) throw new Error(`${c.name}: the page notes "${now.note}"`);
      return `${c.name}: the game starts${c.note ? `, the page noting "${now.note}"` : ''}`;
    }
    await page.waitForFunction((text) => document.querySelector('#loading .status')?.textContent.includes(text),
      { timeout: STEP_MS, polling: 50 }, c.says)
      .catch(async () => { throw new Error(`${c.name}: the page says "${(await shown(page)).status}", not "${c.says}"`); });
    const now = await shown(page);
    if (now.retry !== c.retry) throw new Error(`${c.name}: Retry is ${now.retry ? '' : 'not '}offered`);
    if (c.nothingLarge && [...served.files.keys()].some((f) => /\.(wasm|data)$/.test(f))) {
      throw new Error(`${c.name}: downloaded ${[...served.files.keys()].join(', ')} before saying so`);
    }
    if (c.retry) {
      served.unblock(c.block);
      await Promise.all([page.waitForNavigation({ waitUntil: 'load' }), page.click('#loading .retry')]);
      await reachLobby(page);
    }
    return `${c.name}: "${now.status}"${c.retry ? ', Retry started the game once the file came' : ''}`;
  } finally {
    if (c.block) served.unblock(c.block);
    await context.close();
  }
}

const o = options(process.argv.slice(2));
exit(run(o, async ({ browser, served, url, problems }) => {
  for (const c of CASES) console.log(await tryCase(browser, served, url, problems, c));
}));
