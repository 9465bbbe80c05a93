// The page around the game. It downloads the program with its progress shown, hosts the terminal
// the launcher runs in (xterm.js, 60 x 20) and the canvas that is the game's window, and carries
// bytes, input, frames, glyphs and saved files between them and the program (glue.js is the
// program's side of each; glyphs.js, storage.js and language.js are shared with the tests under
// Node). Around the game: the language switch, a full-screen button, a hint to turn a phone held
// upright, a note when settings cannot be kept, and the service worker that keeps the game for
// playing offline (sw.js). When anything fails the page says what, with Retry (index.html).
'use strict';
(() => {
  // A file the page needs could not be loaded: index.html has said which.
  if (window.cardbattleStop.stopped) return;

  const PROGRAM = document.currentScript.dataset.program;
  const PICTURES = PROGRAM + '.data'; // the pictures' package
  // The program's files as the build measured them, "name:bytes ...": the progress counts what has
  // arrived against them, however the server compresses it.
  const SIZES = new Map((document.currentScript.dataset.sizes || '').split(/\s+/).filter(Boolean)
    .map((entry) => [entry.slice(0, entry.lastIndexOf(':')), Number(entry.slice(entry.lastIndexOf(':') + 1))]));
  const COLUMNS = 60, ROWS = 20;
  const SAVE_FOLDER = '/play'; // the program's working folder, kept between visits (setting.ini)

  const root = document.documentElement;
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('window');
  const terminalBox = document.getElementById('terminal');
  const loading = document.getElementById('loading');
  const languageSwitch = document.getElementById('languages');
  const fullScreenButton = document.getElementById('full-screen');
  const note = document.getElementById('note');
  const turnPhone = document.getElementById('turn-phone');

  // ---- The language: the address's choice, given to the program; the page's words in it ----

  const language = cardbattle.addressLanguage(location.search);
  const opponent = cardbattle.addressOpponent(location.search);
  for (const choice of [language, opponent]) if (choice.complaint) console.warn(`cardbattle: ${choice.complaint}`);
  const words = cardbattle.wordsFor(language.code);
  root.lang = language.code === 'zh' ? 'zh-CN' : 'en';

  // The running launcher hears only its own L key: choosing here opens the page again with the
  // choice in the address, and the program starts with it.
  languageSwitch.setAttribute('aria-label', words.language);
  for (const button of languageSwitch.querySelectorAll('button')) {
    const code = button.dataset.lang;
    button.setAttribute('aria-pressed', String(code === language.code));
    button.addEventListener('click', () => {
      if (code !== language.code) location.assign(cardbattle.addressWith(location.href, code));
    });
  }

  // ---- Touch: a screen that takes it has no keyboard to count on ----

  let touchSeen = false;
  const touchScreen = () => touchSeen || navigator.maxTouchPoints > 0;
  const portrait = matchMedia('(orientation: portrait)');
  let uprightChosen = false;

  // On a touch screen the terminal's text box opens no on-screen keyboard (the launcher takes
  // taps), and a phone held upright is asked to turn.
  function fitTouch() {
    root.classList.toggle('touch', touchScreen());
    if (touchScreen()) terminal.textarea?.setAttribute('inputmode', 'none');
    turnPhone.hidden = !touchScreen() || !portrait.matches || uprightChosen;
  }
  turnPhone.querySelector('p').textContent = words.turnPhone;
  turnPhone.querySelector('button').textContent = words.playUpright;
  turnPhone.querySelector('button').addEventListener('click', () => {
    uprightChosen = true;
    fitTouch();
  });
  portrait.addEventListener('change', fitTouch);
  window.addEventListener('pointerdown', (e) => {
    if (e.pointerType === 'touch' && !touchSeen) {
      touchSeen = true;
      fitTouch();
    }
  }, true);

  // Full screen and back, as F11 does on the desktop (the browser wants it from a key or a tap),
  // held sideways where the browser lets the page choose.
  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (root.requestFullscreen) {
      root.requestFullscreen().then(() => screen.orientation?.lock?.('landscape')).catch(() => {});
    }
  }
  fullScreenButton.setAttribute('aria-label', words.fullScreen);
  fullScreenButton.title = words.fullScreen;
  fullScreenButton.addEventListener('click', toggleFullScreen);
  const fitFullScreenButton = () => { fullScreenButton.hidden = !document.fullscreenEnabled || !!document.fullscreenElement; };
  document.addEventListener('fullscreenchange', fitFullScreenButton);
  fitFullScreenButton();

  // A note at the foot of the page, until closed.
  function showNote(text) {
    note.querySelector('.text').textContent = text;
    note.hidden = false;
  }
  note.querySelector('.close').setAttribute('aria-label', words.close);
  note.querySelector('.close').addEventListener('click', () => { note.hidden = true; });

  // ---- Loading ----

  function showProgress(done, total, text) {
    const bar = loading.querySelector('.bar');
    const percent = total > 0 ? Math.min(100, Math.round(done * 100 / total)) : 0;
    bar.firstElementChild.style.width = percent + '%';
    bar.setAttribute('aria-valuenow', percent);
    loading.querySelector('.status').textContent = text;
  }

  const megabytes = (bytes) => (bytes / 1048576).toFixed(1);

  // A file that could not be had, named.
  const cannotLoad = (name, why) => new Error(`${words.cannotLoad(name)} (${why})`);

  // Fetches the files together, showing how much of their summed size has arrived.
  async function download(names) {
    const responses = await Promise.all(names.map(async (name) => {
      const response = await fetch(name).catch((error) => { throw cannotLoad(name, error.message); });
      if (!response.ok) throw cannotLoad(name, `${response.status} ${response.statusText}`.trim());
      return response;
    }));
    // A compressed answer's length is not the file's: the build's own measure is used where known.
    const sizes = responses.map((r, i) => SIZES.get(names[i]) ||
      (r.headers.get('Content-Encoding') ? 0 : Number(r.headers.get('Content-Length')) || 0));
    const total = sizes.reduce((a, b) => a + b, 0);
    let done = 0;
    return Promise.all(responses.map(async (response, i) => {
      const reader = response.body.getReader();
      const chunks = [];
      for (;;) {
        const { done: finished, value } = await reader.read().catch((error) => { throw cannotLoad(names[i], error.message); });
        if (finished) break;
        chunks.push(value);
        done += value.length;
        showProgress(done, total, words.loaded(megabytes(done), megabytes(total)));
      }
      const bytes = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
      chunks.reduce((at, c) => (bytes.set(c, at), at + c.length), 0);
      return bytes;
    }));
  }

  // Whether this browser runs WebAssembly with bulk memory, as the program needs: a module of a
  // few bytes that copies memory, checked before anything large is downloaded.
  const BULK_MEMORY_MODULE = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 4, 1, 96, 0, 0, 3, 2, 1, 0, 5, 3, 1, 0, 1,
    10, 14, 1, 12, 0, 65, 0, 65, 0, 65, 0, 252, 10, 0, 0, 11]);
  function webAssemblyRuns() {
    try {
      return typeof WebAssembly === 'object' && WebAssembly.validate(BULK_MEMORY_MODULE);
    } catch {
      return false;
    }
  }

  // ---- The terminal: a byte pipe to the program, as a tty is ----

  // The colours of an xterm, so the launcher looks as it does on the desktop.
  const XTERM_COLOURS = {
    background: '#000000', foreground: '#e5e5e5', cursor: '#e5e5e5',
    black: '#000000', red: '#cd0000', green: '#00cd00', yellow: '#cdcd00',
    blue: '#0000ee', magenta: '#cd00cd', cyan: '#00cdcd', white: '#e5e5e5',
    brightBlack: '#7f7f7f', brightRed: '#ff0000', brightGreen: '#00ff00', brightYellow: '#ffff00',
    brightBlue: '#5c5cff', brightMagenta: '#ff00ff', brightCyan: '#00ffff', brightWhite: '#ffffff',
  };
  const terminal = new Terminal({
    cols: COLUMNS, rows: ROWS, scrollback: 0, cursorBlink: false, theme: XTERM_COLOURS,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace, "cardbattle-text"',
  });
  const toProgram = [];  // bytes the program has yet to read: keys, mouse reports, answers
  const encoder = new TextEncoder();
  // The launcher's title: the tab keeps the game's name (index.html's), for the whole game.
  let terminalTitle = '';
  const titles = [];

  function sendToProgram(bytes) {
    for (const b of bytes) toProgram.push(b);
  }
  terminal.onData((text) => sendToProgram(encoder.encode(text)));
  terminal.onBinary((text) => sendToProgram(Array.from(text, (c) => c.charCodeAt(0) & 0xff)));
  terminal.onTitleChange((title) => { terminalTitle = title; });
  // Tab leaves the terminal for the language switch (the launcher has no use for it).
  terminal.attachCustomKeyEventHandler((e) => !(e.key === 'Tab' && !e.ctrlKey && !e.altKey && !e.metaKey));

  // Window operations (CSI ... t) that an xterm obeys and xterm.js leaves to its host: the size in
  // characters, asked for and reported, and the title saved and restored.
  terminal.parser.registerCsiHandler({ final: 't' }, (params) => {
    const [operation, first, second] = params.map((p) => (Array.isArray(p) ? p[0] : p));
    if (operation === 8) {
      const clamp = (value, low, high, otherwise) => (value > 0 ? Math.min(high, Math.max(low, value)) : otherwise);
      terminal.resize(clamp(second, 20, 200, terminal.cols), clamp(first, 5, 100, terminal.rows));
      fitTerminal();
    } else if (operation === 18) {
      sendToProgram(encoder.encode(`\x1b[8;${terminal.rows};${terminal.cols}t`));
    } else if (operation === 22) {
      titles.push(terminalTitle);
    } else if (operation === 23) {
      if (titles.length > 0) terminalTitle = titles.pop();
    } else {
      return false;
    }
    return true;
  });

  // The font as large as lets the whole terminal fit the page, within reason.
  function fitTerminal() {
    const size = Math.floor(Math.min(innerWidth / (terminal.cols * 0.62), innerHeight / (terminal.rows * 1.3)));
    const fontSize = Math.max(8, Math.min(22, stage.classList.contains('debug') ? Math.floor(size / 2) : size));
    if (terminal.options.fontSize !== fontSize) terminal.options.fontSize = fontSize;
  }

  // ---- The window: a canvas of the frame's pixels, scaled by the browser to its box ----

  const context = canvas.getContext('2d', { alpha: false });
  let frame = null; // { width, height, image, pixels }
  let framesShown = 0;
  const shownAt = []; // for tests: when the last frames were shown (ms on the page's clock)
  let showingMs = 0;  // for tests: the time spent showing them

  // The terminal steps aside (unless in debug mode) and the canvas takes the keyboard.
  function openWindow(width, height, keepTerminal) {
    if (!context) return false;
    canvas.width = width;
    canvas.height = height;
    context.fillStyle = '#000';
    context.fillRect(0, 0, width, height);
    const image = context.createImageData(width, height);
    frame = { width, height, image, pixels: new Uint32Array(image.data.buffer) };
    stage.classList.toggle('debug', keepTerminal);
    terminalBox.hidden = !keepTerminal;
    languageSwitch.hidden = true; // the game has begun in its language
    canvas.hidden = false;
    layout();
    canvas.focus();
    return true;
  }

  // Letterboxed: the largest box of the frame's shape that the page holds (beside or below the
  // terminal in debug mode, whichever leaves it larger). The browser scales the frame's pixels to
  // it, smoothly, with no work of the page's own.
  function layout() {
    fitTerminal();
    if (!frame) return;
    const debug = stage.classList.contains('debug');
    const term = debug ? terminalBox.getBoundingClientRect() : { width: 0, height: 0 };
    const fit = (width, height) => Math.min(width / frame.width, height / frame.height);
    const below = fit(innerWidth, innerHeight - term.height), beside = fit(innerWidth - term.width, innerHeight);
    stage.style.flexDirection = beside > below ? 'row' : 'column';
    const scale = Math.max(below, beside, 0.01);
    canvas.style.width = Math.max(1, Math.floor(frame.width * scale)) + 'px';
    canvas.style.height = Math.max(1, Math.floor(frame.height * scale)) + 'px';
  }

  // The part of a frame that changed (x, y, width, height), from 0x00RRGGBB pixels row after row as
  // the program's surface holds them: the rest of the canvas already shows the same.
  function show(source, width, height, x, y, changedWidth, changedHeight) {
    if (!frame || width !== frame.width || height !== frame.height) return;
    const started = performance.now();
    const out = frame.pixels;
    for (let row = y; row < y + changedHeight; row++) {
      for (let i = row * width + x, end = i + changedWidth; i < end; i++) {
        const p = source[i];
        out[i] = 0xff000000 | ((p & 0xff) << 16) | (p & 0xff00) | ((p >>> 16) & 0xff);
      }
    }
    context.putImageData(frame.image, 0, 0, x, y, changedWidth, changedHeight);
    framesShown++;
    const now = performance.now();
    showingMs += now - started;
    shownAt.push(now);
    if (shownAt.length > 4096) shownAt.splice(0, 1024);
  }

  // ---- Input for the window, in the order it happened, for the program to read at its polls ----

  // As src/platform/web/page.h numbers them.
  const EVENT = { MOVE: 1, BUTTON_DOWN: 2, BUTTON_UP: 3, KEY_DOWN: 4, KEY_UP: 5, FOCUS_LOST: 6, RESIZED: 7, TAPPED: 8 };
  const BUTTONS = [0x01, 0x04, 0x02]; // left, middle, right as virtual-key codes; a touch is a left click
  const SCROLLING_KEYS = new Set([0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28]);
  const events = [];
  const F11 = 0x7a;

  function queue(type, code, x = 0, y = 0) {
    if (frame) events.push([type, code, x, y]);
  }

  // Where the pointer is, in the canvas's pixels (the frame's).
  function clientPoint(e) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((e.clientX - box.left) * canvas.width / box.width),
      Math.floor((e.clientY - box.top) * canvas.height / box.height)];
  }

  canvas.addEventListener('pointermove', (e) => queue(EVENT.MOVE, 0, ...clientPoint(e)));
  canvas.addEventListener('pointerdown', (e) => {
    canvas.setPointerCapture(e.pointerId);
    canvas.focus();
    queue(EVENT.BUTTON_DOWN, BUTTONS[e.button] || BUTTONS[0], ...clientPoint(e));
    e.preventDefault();
  });
  // A touch is a click where it lands, and a tap besides (the end screen takes it as its key).
  canvas.addEventListener('pointerup', (e) => {
    queue(EVENT.BUTTON_UP, BUTTONS[e.button] || BUTTONS[0], ...clientPoint(e));
    if (e.pointerType === 'touch') queue(EVENT.TAPPED, 0);
  });
  canvas.addEventListener('pointercancel', (e) => queue(EVENT.BUTTON_UP, BUTTONS[e.button] || BUTTONS[0], ...clientPoint(e)));
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  // The browser may drop a canvas's pixels (short of memory): the program sends the next frame whole.
  canvas.addEventListener('contextrestored', () => queue(EVENT.RESIZED, 0));

  // Keys go to the window unless the terminal has them (in debug mode both are on the page).
  function keyEvent(type) {
    return (e) => {
      if (!frame || terminalBox.contains(e.target)) return;
      if (SCROLLING_KEYS.has(e.keyCode) || e.keyCode === F11) e.preventDefault();
      if (e.keyCode === F11 && type === EVENT.KEY_DOWN && !e.repeat) toggleFullScreen();
      if (!e.repeat) queue(type, e.keyCode);
    };
  }
  window.addEventListener('keydown', keyEvent(EVENT.KEY_DOWN));
  window.addEventListener('keyup', keyEvent(EVENT.KEY_UP));
  window.addEventListener('blur', () => queue(EVENT.FOCUS_LOST, 0));
  window.addEventListener('resize', layout);

  // ---- Glyphs, from the browser's text drawing (glyphs.js) ----

  const glyphSource = cardbattle.glyphSource((width, height) => {
    const c = document.createElement('canvas');
    c.width = width;
    c.height = height;
    return c;
  });
  const drawnCharacters = new Set(); // for tests: what the game has drawn, as code points
  const glyphs = {
    ...glyphSource,
    glyph: (id, codePoint, drawIt) => {
      if (drawIt) drawnCharacters.add(codePoint);
      return glyphSource.glyph(id, codePoint, drawIt);
    },
  };

  // ---- Saved files: the working folder lives in the browser's storage ----

  // What earlier visits saved is read before the program starts; what it writes is kept
  // (storage.js). Without the browser's storage (none, refused or failing) the game plays all the
  // same, the page saying that its settings will not be kept.
  function openStorage(module) {
    const fs = module.FS;
    fs.mkdir(SAVE_FOLDER);
    let storage = typeof indexedDB === 'object' && indexedDB !== null;
    if (storage) {
      try {
        fs.mount(fs.filesystems.IDBFS, {}, SAVE_FOLDER);
      } catch (error) {
        console.warn('cardbattle: the browser\'s storage cannot be used:', error);
        storage = false;
      }
    }
    fs.chdir(SAVE_FOLDER);
    if (!storage) {
      showNote(words.notKept);
      return;
    }
    module.addRunDependency('saved files');
    fs.syncfs(true, (error) => {
      if (error) {
        console.warn('cardbattle: what earlier visits saved cannot be read:', error);
        showNote(words.notKept);
      }
      module.removeRunDependency('saved files');
    });
    cardbattle.keepWrittenFiles(fs, SAVE_FOLDER, (done) => fs.syncfs(false, (error) => {
      if (error) showNote(words.notKept);
      done(error);
    }));
  }

  // ---- What the program's glue calls (and the end-to-end test reads) ----

  const page = {
    terminalWrite: (bytes) => terminal.write(bytes),
    terminalRead: (most) => Uint8Array.from(toProgram.splice(0, most)),
    terminalPending: () => toProgram.length,
    terminalDiscard: () => { toProgram.length = 0; },
    terminalSize: () => ({ cols: terminal.cols, rows: terminal.rows }),
    openWindow, show,
    clientSize: () => ({ width: canvas.width, height: canvas.height }),
    // The browser window in the screen's own pixels: a high-density screen takes a larger frame.
    desktopSize: () => ({ width: Math.floor(innerWidth * devicePixelRatio), height: Math.floor(innerHeight * devicePixelRatio) }),
    nextEvent: () => events.shift(),
    touchScreen,
    glyphs,
    // For tests: the terminal's text and title, the window's frame size, the frames shown and when,
    // the characters drawn.
    terminalText: () => {
      const lines = [];
      for (let y = 0; y < terminal.rows; y++) lines.push(terminal.buffer.active.getLine(y)?.translateToString(true) ?? '');
      return lines.join('\n');
    },
    terminalTitle: () => terminalTitle,
    frameSize: () => (frame ? { width: frame.width, height: frame.height } : null),
    framesShown: () => framesShown,
    shownAt: () => shownAt.slice(),
    showingMs: () => showingMs,
    drawnCharacters: () => [...drawnCharacters],
  };
  window.cardbattlePage = page;

  const stopped = (why, retry = true) => window.cardbattleStop(why, retry);

  async function start() {
    if (!webAssemblyRuns()) return stopped(words.noWebAssembly, false);
    showProgress(0, 0, words.loading);
    const [wasm, pictures] = await download([PROGRAM + '.wasm', PICTURES]);
    keepForOffline();
    showProgress(1, 1, words.starting);
    // Without the web font the browser's own faces draw the text.
    await document.fonts.load('16px "cardbattle-text"', '\u4e2d').catch((error) => {
      console.warn(`cardbattle: the web font cannot be loaded (${error.message}); the browser's faces stand in`);
    });
    if (window.cardbattleStop.stopped) return;
    terminal.open(terminalBox);
    fitTouch();
    window.Module = {
      page,
      arguments: cardbattle.programArguments(language.code, opponent.code),
      wasmBinary: wasm,
      getPreloadedPackage: () => pictures.buffer,
      preRun: [openStorage],
      print: (line) => console.log(line),
      printErr: (line) => console.warn(line),
      onRuntimeInitialized: () => {
        if (window.cardbattleStop.stopped) return;
        loading.hidden = true;
        terminalBox.hidden = false;
        layout();
        terminal.focus();
      },
      onAbort: (what) => stopped(words.stopped(what)),
      onExit: () => stopped(words.ended),
    };
    const program = document.createElement('script');
    program.src = PROGRAM + '.js';
    program.onerror = () => stopped(words.cannotLoad(PROGRAM + '.js'));
    document.body.appendChild(program);
  }

  fitTouch();
  start().catch((error) => {
    console.warn('cardbattle cannot start:', error);
    stopped(words.cannotStart(error.message));
    keepForOffline(); // a new version may be what mends it
  });

  // ---- Offline: the service worker (sw.js) keeps the game, and a new version takes over ----

  // Registered once the program's files are here, so that keeping them finds them fresh in the
  // browser's cache rather than downloading them a second time. A new version the browser found at
  // an earlier visit takes over now, and the page starts again with it.
  function keepForOffline() {
    if (!('serviceWorker' in navigator) || location.protocol === 'file:') return;
    const workers = navigator.serviceWorker;
    if (workers.controller) workers.addEventListener('controllerchange', () => location.reload(), { once: true });
    workers.register('sw.js').then((registration) => {
      if (registration.waiting && workers.controller) registration.waiting.postMessage('take over');
    }, (error) => console.warn('cardbattle: the game cannot be kept for playing offline:', error.message));
  }
})();
