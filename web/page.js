// The page around the game. It downloads the program with its progress shown, hosts the terminal
// the launcher runs in (xterm.js, 60 x 20) and the canvas that is the game's window, and carries
// bytes, input, frames, glyphs and saved files between them and the program (glue.js is the
// program's side of each; glyphs.js, storage.js and language.js are shared with the tests under
// Node). Its language switch opens the page again with the language in the address.
'use strict';
(() => {
  const PROGRAM = document.currentScript.dataset.program;
  const PICTURES = PROGRAM + '.data'; // the pictures' package
  const COLUMNS = 60, ROWS = 20;
  const SAVE_FOLDER = '/play'; // the program's working folder, kept between visits (setting.ini)

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('window');
  const terminalBox = document.getElementById('terminal');
  const loading = document.getElementById('loading');
  const languageSwitch = document.getElementById('languages');

  // ---- The language: the address's choice, given to the program; the page's words in it ----

  const language = cardbattle.addressLanguage(location.search);
  if (language.complaint) console.warn(`cardbattle: ${language.complaint}`);
  const words = cardbattle.wordsFor(language.code);
  document.documentElement.lang = language.code === 'zh' ? 'zh-CN' : 'en';

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

  // ---- Loading ----

  function showProgress(done, total, text) {
    const bar = loading.querySelector('.bar');
    const percent = total > 0 ? Math.min(100, Math.round(done * 100 / total)) : 0;
    bar.firstElementChild.style.width = percent + '%';
    bar.setAttribute('aria-valuenow', percent);
    loading.querySelector('.status').textContent = text;
  }

  const megabytes = (bytes) => (bytes / 1048576).toFixed(1);

  // Fetches the files together, showing how much of their summed size has arrived.
  async function download(names) {
    const responses = await Promise.all(names.map(async (name) => {
      const response = await fetch(name);
      if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
      return response;
    }));
    const sizes = responses.map((r) => Number(r.headers.get('Content-Length')) || 0);
    const total = sizes.reduce((a, b) => a + b, 0);
    let done = 0;
    return Promise.all(responses.map(async (response) => {
      const reader = response.body.getReader();
      const chunks = [];
      for (;;) {
        const { done: finished, value } = await reader.read();
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
  const titles = [];

  function sendToProgram(bytes) {
    for (const b of bytes) toProgram.push(b);
  }
  terminal.onData((text) => sendToProgram(encoder.encode(text)));
  terminal.onBinary((text) => sendToProgram(Array.from(text, (c) => c.charCodeAt(0) & 0xff)));
  terminal.onTitleChange((title) => { document.title = title || 'cardbattle'; });
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
      titles.push(document.title);
    } else if (operation === 23) {
      if (titles.length > 0) document.title = titles.pop();
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

  // ---- The window: a canvas whose box is the frame's, drawn in the screen's own pixels ----

  const context = canvas.getContext('2d', { alpha: false });
  let frame = null; // { width, height, canvas, context, image, pixels }
  let framesShown = 0;

  // The terminal steps aside (unless in debug mode) and the canvas takes the keyboard.
  function openWindow(width, height, keepTerminal) {
    const frameCanvas = document.createElement('canvas');
    frameCanvas.width = width;
    frameCanvas.height = height;
    const frameContext = frameCanvas.getContext('2d', { alpha: false });
    if (!context || !frameContext) return false;
    const image = frameContext.createImageData(width, height);
    frame = { width, height, canvas: frameCanvas, context: frameContext, image, pixels: new Uint32Array(image.data.buffer) };
    stage.classList.toggle('debug', keepTerminal);
    terminalBox.hidden = !keepTerminal;
    languageSwitch.hidden = true; // the game has begun in its language
    canvas.hidden = false;
    layout();
    canvas.focus();
    return true;
  }

  // Letterboxed: the largest box of the frame's shape that the page holds (beside or below the
  // terminal in debug mode, whichever leaves it larger), its backing store in device pixels so
  // that a high-density screen shows it sharp.
  function layout() {
    fitTerminal();
    if (!frame) return;
    const debug = stage.classList.contains('debug');
    const term = debug ? terminalBox.getBoundingClientRect() : { width: 0, height: 0 };
    const fit = (width, height) => Math.min(width / frame.width, height / frame.height);
    const below = fit(innerWidth, innerHeight - term.height), beside = fit(innerWidth - term.width, innerHeight);
    stage.style.flexDirection = beside > below ? 'row' : 'column';
    const scale = Math.max(below, beside, 0.01);
    const cssWidth = Math.max(1, Math.floor(frame.width * scale));
    const cssHeight = Math.max(1, Math.floor(frame.height * scale));
    canvas.style.width = cssWidth + 'px';
    canvas.style.height = cssHeight + 'px';
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.max(1, Math.round(cssWidth * ratio));
    canvas.height = Math.max(1, Math.round(cssHeight * ratio));
    // The program places the frame in the canvas's new size.
    events.push([EVENT.RESIZED, 0, 0, 0]);
  }

  // A frame of 0x00RRGGBB pixels, row after row, as the program's surface holds it, drawn where the
  // program placed it in the canvas (the shared letterbox rules), black around it.
  function show(source, width, height, at) {
    if (!frame || width !== frame.width || height !== frame.height) return;
    const out = frame.pixels;
    for (let i = 0; i < out.length; i++) {
      const p = source[i];
      out[i] = 0xff000000 | ((p & 0xff) << 16) | (p & 0xff00) | ((p >>> 16) & 0xff);
    }
    frame.context.putImageData(frame.image, 0, 0);
    context.imageSmoothingEnabled = true;
    context.imageSmoothingQuality = 'high';
    context.fillStyle = '#000';
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.drawImage(frame.canvas, at.x, at.y, at.width, at.height);
    framesShown++;
  }

  // ---- Input for the window, in the order it happened, for the program to read at its polls ----

  // As src/platform/web/page.h numbers them.
  const EVENT = { MOVE: 1, BUTTON_DOWN: 2, BUTTON_UP: 3, KEY_DOWN: 4, KEY_UP: 5, FOCUS_LOST: 6, RESIZED: 7 };
  const BUTTONS = [0x01, 0x04, 0x02]; // left, middle, right as virtual-key codes; a touch is a left click
  const SCROLLING_KEYS = new Set([0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28]);
  const events = [];
  const F11 = 0x7a;

  function queue(type, code, x = 0, y = 0) {
    if (frame) events.push([type, code, x, y]);
  }

  // Where the pointer is, in the canvas's device pixels (the window's client pixels).
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
  for (const type of ['pointerup', 'pointercancel']) {
    canvas.addEventListener(type, (e) => queue(EVENT.BUTTON_UP, BUTTONS[e.button] || BUTTONS[0], ...clientPoint(e)));
  }
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());

  // Full screen and back, as F11 does on the desktop (the browser wants it from a key or a click).
  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (document.documentElement.requestFullscreen) document.documentElement.requestFullscreen().catch(() => {});
  }

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
  // (storage.js).
  function openStorage(module) {
    const fs = module.FS;
    fs.mkdir(SAVE_FOLDER);
    fs.mount(fs.filesystems.IDBFS, {}, SAVE_FOLDER);
    fs.chdir(SAVE_FOLDER);
    module.addRunDependency('saved files');
    fs.syncfs(true, (error) => {
      if (error) console.warn('cardbattle: what earlier visits saved cannot be read:', error);
      module.removeRunDependency('saved files');
    });
    cardbattle.keepWrittenFiles(fs, SAVE_FOLDER, (done) => fs.syncfs(false, done));
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
    desktopSize: () => ({ width: innerWidth, height: innerHeight }),
    nextEvent: () => events.shift(),
    glyphs,
    // For tests: the terminal's text, the window's frame size, the characters drawn.
    terminalText: () => {
      const lines = [];
      for (let y = 0; y < terminal.rows; y++) lines.push(terminal.buffer.active.getLine(y)?.translateToString(true) ?? '');
      return lines.join('\n');
    },
    frameSize: () => (frame ? { width: frame.width, height: frame.height } : null),
    framesShown: () => framesShown,
    drawnCharacters: () => [...drawnCharacters],
  };
  window.cardbattlePage = page;

  function stopped(why) {
    loading.hidden = false;
    showProgress(0, 0, why);
  }

  async function start() {
    showProgress(0, 0, words.loading);
    const [wasm, pictures] = await download([PROGRAM + '.wasm', PICTURES]);
    showProgress(1, 1, words.starting);
    await document.fonts.load('16px "cardbattle-text"', '\u4e2d');
    terminal.open(terminalBox);
    window.Module = {
      page,
      arguments: cardbattle.programArguments(language.code),
      wasmBinary: wasm,
      getPreloadedPackage: () => pictures.buffer,
      preRun: [openStorage],
      print: (line) => console.log(line),
      printErr: (line) => console.warn(line),
      onRuntimeInitialized: () => {
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
    program.onerror = () => stopped(words.cannotLoad(program.src));
    document.body.appendChild(program);
  }

  start().catch((error) => {
    console.error('cardbattle cannot start:', error);
    stopped(words.cannotStart(error.message));
  });
})();
