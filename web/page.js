// The page around the game. It downloads the program with its progress shown, hosts the terminal
// the launcher runs in (xterm.js, 60 x 20) and the canvas that is the game's window, and carries
// bytes, input, frames, glyphs and saved files between them and the program (glue.js is the
// program's side of each).
'use strict';
(() => {
  const PROGRAM = document.currentScript.dataset.program;
  const PRELOADED = document.currentScript.dataset.preloaded; // the pictures' package, if any
  const COLUMNS = 60, ROWS = 20;
  const SAVE_FOLDER = '/play'; // the program's working folder, kept between visits (setting.ini)

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('window');
  const terminalBox = document.getElementById('terminal');
  const loading = document.getElementById('loading');

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
        showProgress(done, total, `Loading ${megabytes(done)} of ${megabytes(total)} MB`);
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

  function openWindow(width, height, keepTerminal) {
    const frameCanvas = document.createElement('canvas');
    frameCanvas.width = width;
    frameCanvas.height = height;
    const frameContext = frameCanvas.getContext('2d', { alpha: false });
    const image = frameContext.createImageData(width, height);
    frame = { width, height, canvas: frameCanvas, context: frameContext, image, pixels: new Uint32Array(image.data.buffer) };
    stage.classList.toggle('debug', keepTerminal);
    terminalBox.hidden = !keepTerminal;
    canvas.hidden = false;
    layout();
    canvas.focus();
  }

  function closeWindow() {
    frame = null;
    canvas.hidden = true;
    stage.classList.remove('debug');
    terminalBox.hidden = false;
    layout();
    terminal.focus();
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
    context.imageSmoothingEnabled = true;
    context.imageSmoothingQuality = 'high';
    show();
  }

  function show() {
    if (frame) context.drawImage(frame.canvas, 0, 0, canvas.width, canvas.height);
  }

  // A frame of 0x00RRGGBB pixels, row after row, as the program's surface holds it.
  function present(source, width, height) {
    if (!frame || width !== frame.width || height !== frame.height) return;
    const out = frame.pixels;
    for (let i = 0; i < out.length; i++) {
      const p = source[i];
      out[i] = 0xff000000 | ((p & 0xff) << 16) | (p & 0xff00) | ((p >>> 16) & 0xff);
    }
    frame.context.putImageData(frame.image, 0, 0);
    show();
  }

  // ---- Input for the window, in the order it happened, for the program to read at its polls ----

  const EVENT = { MOVE: 1, BUTTON_DOWN: 2, BUTTON_UP: 3, KEY_DOWN: 4, KEY_UP: 5, FOCUS_LOST: 6 };
  const BUTTONS = [0x01, 0x04, 0x02]; // left, middle, right as virtual-key codes; a touch is a left click
  const SCROLLING_KEYS = new Set([0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28]);
  const events = [];

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

  // Keys go to the window unless the terminal has them (in debug mode both are on the page).
  function keyEvent(type) {
    return (e) => {
      if (!frame || terminalBox.contains(e.target)) return;
      if (SCROLLING_KEYS.has(e.keyCode)) e.preventDefault();
      if (!e.repeat) queue(type, e.keyCode);
    };
  }
  window.addEventListener('keydown', keyEvent(EVENT.KEY_DOWN));
  window.addEventListener('keyup', keyEvent(EVENT.KEY_UP));
  window.addEventListener('blur', () => queue(EVENT.FOCUS_LOST, 0));
  window.addEventListener('resize', layout);

  // ---- Glyphs, from the browser's text drawing ----

  // The shipped face's vertical metrics (font units), so that a height means what it means on the
  // desktop: the cell from ascent to descent.
  const FACE = { units: 2048, ascent: 1918, descent: 483 };
  const faces = [];
  const glyphCanvas = document.createElement('canvas');
  const glyphContext = glyphCanvas.getContext('2d', { willReadFrequently: true });

  function openFace(name, height, width, bold) {
    const em = height * FACE.units / (FACE.ascent + FACE.descent);
    const family = '"' + name.replace(/["\\]/g, '') + '"';
    faces.push({
      font: `${bold ? 'bold ' : ''}${em}px ${family}, "cardbattle-text", sans-serif`,
      stretch: width > 0 ? width * 2 / em : 1,
      lineHeight: height,
      ascent: Math.round(FACE.ascent * em / FACE.units),
    });
    return faces.length - 1;
  }

  // A glyph's advance and coverage (0..255), its box placed relative to the pen on the baseline.
  function glyph(faceIndex, codePoint) {
    const face = faces[faceIndex];
    const text = String.fromCodePoint(codePoint);
    glyphContext.setTransform(1, 0, 0, 1, 0, 0);
    glyphContext.font = face.font;
    const m = glyphContext.measureText(text);
    const left = Math.floor(-m.actualBoundingBoxLeft * face.stretch) - 1;
    const right = Math.ceil(m.actualBoundingBoxRight * face.stretch) + 1;
    const top = Math.ceil(m.actualBoundingBoxAscent) + 1;
    const bottom = Math.ceil(m.actualBoundingBoxDescent) + 1;
    const result = { advance: Math.round(m.width * face.stretch), left, top, width: right - left, rows: top + bottom };
    if (result.width <= 2 || result.rows <= 2) return { ...result, left: 0, top: 0, width: 0, rows: 0, coverage: new Uint8Array(0) };
    if (glyphCanvas.width < result.width || glyphCanvas.height < result.rows) {
      glyphCanvas.width = Math.max(glyphCanvas.width, result.width);
      glyphCanvas.height = Math.max(glyphCanvas.height, result.rows);
    }
    glyphContext.clearRect(0, 0, glyphCanvas.width, glyphCanvas.height);
    glyphContext.setTransform(face.stretch, 0, 0, 1, -left, top);
    glyphContext.font = face.font;
    glyphContext.fillStyle = '#fff';
    glyphContext.fillText(text, 0, 0);
    const rgba = glyphContext.getImageData(0, 0, result.width, result.rows).data;
    result.coverage = new Uint8Array(result.width * result.rows);
    for (let i = 0; i < result.coverage.length; i++) result.coverage[i] = rgba[i * 4 + 3];
    return result;
  }

  // ---- Saved files: the working folder lives in the browser's storage ----

  let storage = { busy: false, again: false };

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
  }

  // After the program has written a file; writes that come while one is under way follow it.
  function syncStorage() {
    if (storage.busy) {
      storage.again = true;
      return;
    }
    storage.busy = true;
    window.Module.FS.syncfs(false, (error) => {
      if (error) console.warn('cardbattle: the settings cannot be kept:', error);
      storage.busy = false;
      if (storage.again) {
        storage.again = false;
        syncStorage();
      }
    });
  }

  // ---- What the program's glue calls (and the end-to-end test reads) ----

  const page = {
    terminalWrite: (bytes) => terminal.write(bytes),
    terminalRead: (most) => Uint8Array.from(toProgram.splice(0, most)),
    terminalSize: () => ({ cols: terminal.cols, rows: terminal.rows }),
    openWindow, closeWindow, present,
    clientSize: () => ({ width: canvas.width, height: canvas.height }),
    desktopSize: () => ({ width: innerWidth, height: innerHeight }),
    nextEvent: () => events.shift(),
    syncStorage, openFace, glyph,
    faceMetrics: (index) => faces[index],
    // For tests: the terminal's text and the window's frame size.
    terminalText: () => {
      const lines = [];
      for (let y = 0; y < terminal.rows; y++) lines.push(terminal.buffer.active.getLine(y)?.translateToString(true) ?? '');
      return lines.join('\n');
    },
    frameSize: () => (frame ? { width: frame.width, height: frame.height } : null),
  };
  window.cardbattlePage = page;

  function stopped(why) {
    loading.hidden = false;
    showProgress(0, 0, why);
  }

  async function start() {
    showProgress(0, 0, 'Loading');
    const names = [PROGRAM + '.wasm'].concat(PRELOADED ? [PRELOADED] : []);
    const [wasm, pictures] = await download(names);
    showProgress(1, 1, 'Starting');
    await document.fonts.load('16px "cardbattle-text"', '\u4e2d');
    terminal.open(terminalBox);
    window.Module = {
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
      onAbort: (what) => stopped(`The game stopped: ${what}`),
      onExit: () => stopped('The game has ended. Reload the page to play again.'),
    };
    const program = document.createElement('script');
    program.src = PROGRAM + '.js';
    program.onerror = () => stopped(`${program.src} cannot be loaded`);
    document.body.appendChild(program);
  }

  start().catch((error) => {
    console.error('cardbattle cannot start:', error);
    stopped(`The game cannot start: ${error.message}`);
  });
})();
