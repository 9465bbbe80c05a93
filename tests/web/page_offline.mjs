// The game installable and kept for playing offline, in Debian's Chromium: the browser's own
// installability check (the DevTools protocol's) finds nothing missing; once the first visit has
// kept the game, the page reloaded with the network cut reaches the lobby; a new build on the site
// replaces the kept one (its cache only, the old one removed) from the visit after the one that
// finds it.
//
//   node page_offline.mjs <page folder> [--chromium <path>]
//
// Exit status 0 when everything went as it should, 1 with the reason otherwise, 77 when there is
// no Chromium to run.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { STEP_MS, exit, lit, options, run, waitForCanvas, waitForTerminal, watch } from './browser.mjs';

const ANOTHER_BUILD = '/* another build */';

// The file list of the build's service worker.
function keptFiles(folder) {
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  const list = worker.slice(worker.indexOf('const FILES'), worker.indexOf('];', worker.indexOf('const FILES')));
  return [...list.matchAll(/'([^']+)'/g)].map((m) => m[1]);
}

// The caches the page's origin has, each with how many files it keeps.
const caches = (page) => page.evaluate(async () => Promise.all((await window.caches.keys())
  .map(async (name) => [name, (await (await window.caches.open(name)).keys()).length])));

async function waitForKept(page, files) {
  await page.waitForFunction(async (count) => {
    const names = await window.caches.keys();
    return names.length === 1 && (await (await window.caches.open(names[0])).keys()).length === count;
  }, { timeout: STEP_MS, polling: 100 }, files.length)
    .catch(async () => { throw new Error(`the game was not kept: caches ${JSON.stringify(await caches(page))}, ${files.length} files expected`); });
}

// Resolves once the page's main frame has started `count` more documents.
function navigations(page, count) {
  return new Promise((resolve, reject) => {
    const seen = (frame) => {
      if (frame !== page.mainFrame() || --count > 0) return;
      page.off('framenavigated', seen);
      clearTimeout(late);
      resolve();
    };
    const late = setTimeout(() => reject(new Error(`the page did not start again (${count} more starts awaited)`)), STEP_MS);
    page.on('framenavigated', seen);
  });
}

async function reachLobby(page) {
  await waitForTerminal(page, 'Game Launcher');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.cardbattlePage.framesShown() > 0, { timeout: STEP_MS, polling: 5 });
  await waitForCanvas(page, (s) => lit(s) > 0.9, 'the lobby');
}

const o = options(process.argv.slice(2));
exit(run(o, async ({ browser, served, url, problems }) => {
  const files = keptFiles(o.folder);
  const page = await browser.newPage();
  // While a new version takes over, the page starts twice and the second start cuts short what the
  // first was fetching: that, and only then, is no fault.
  let takingOver = false;
  watch(page, problems, (text) => takingOver && text.endsWith('net::ERR_ABORTED'));
  await page.goto(url, { waitUntil: 'load' });
  await waitForTerminal(page, 'Game Launcher');
  await waitForKept(page, files);

  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  if (installabilityErrors.length) throw new Error(`not installable: ${JSON.stringify(installabilityErrors)}`);
  const { errors } = await cdp.send('Page.getAppManifest');
  if (errors.length) throw new Error(`the manifest: ${JSON.stringify(errors)}`);

  await page.setOfflineMode(true);
  await page.reload({ waitUntil: 'load' });
  await reachLobby(page);
  await page.setOfflineMode(false);
  console.log(`installable; ${files.length} files kept (${(await caches(page))[0][0]}); reloaded offline, the lobby came`);

  // A new build: another page.css, and so another service worker.
  const worker = readFileSync(join(o.folder, 'sw.js'), 'utf8');
  served.change('page.css', readFileSync(join(o.folder, 'page.css'), 'utf8') + ANOTHER_BUILD);
  served.change('sw.js', worker.replace(/const VERSION = '[^']*'/, "const VERSION = 'another'"));
  const sent = served.bytes;
  await page.reload({ waitUntil: 'load' }); // finds it: installed, waiting
  await page.waitForFunction(async () => !!(await navigator.serviceWorker.getRegistration())?.waiting, { timeout: STEP_MS, polling: 100 });
  takingOver = true;
  const restarted = navigations(page, 2); // the reload, then the start under the new version
  await page.reload({ waitUntil: 'load' });
  await restarted;
  await page.waitForFunction(() => document.readyState === 'complete', { timeout: STEP_MS, polling: 50 });
  takingOver = false;
  await waitForKept(page, files);
  const kept = await caches(page);
  if (kept[0][0] !== 'cardbattle-another') throw new Error(`after a new build the caches are ${JSON.stringify(kept)}`);
  const css = await page.evaluate(async () => (await fetch('page.css')).text());
  if (!css.includes(ANOTHER_BUILD)) throw new Error('the new build\'s page.css is not the one the page gets');
  await reachLobby(page);
  console.log(`a new build replaced the kept one (${kept[0][0]}, the old cache removed; ${served.bytes - sent} bytes fetched for it)`);
}));
