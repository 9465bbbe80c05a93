// A stand-in for the page (web/page.js) under Node, for the browser build's test programs: a
// terminal that answers as xterm.js does, a canvas whose size and input the tests set, the page's
// own glyph drawing (web/glyphs.js) on @napi-rs/canvas with the face the web font is cut from, and
// the page's own keeping of written files (web/storage.js) over the real file system.
// node_page_hooks.js lets a test reach it.
Module.page = (function () {
  const { createCanvas, GlobalFonts } = require('@napi-rs/canvas');
  const { glyphSource } = require(process.env.CARDBATTLE_WEB_GLYPHS);
  if (!GlobalFonts.registerFromPath(process.env.CARDBATTLE_WEB_FONT, 'cardbattle-text')) {
    throw new Error('cannot load the web font ' + process.env.CARDBATTLE_WEB_FONT);
  }
  const CURSOR_QUERY = '\x1b[6n';
  const page = {
    toProgram: [],
    written: [],
    terminalRows: 24,
    terminalCols: 80,
    events: [],
    windowOpened: null, // { width, height, keepTerminal }
    client: { width: 0, height: 0 },
    desktop: { width: 1920, height: 1080 },
    shown: null, // { width, height, part: { x, y, width, height }, pixels }: the last frame sent
    shows: 0,
    storageSaves: 0,

    terminalWrite(bytes) {
      const text = Buffer.from(bytes).toString('latin1');
      page.written.push(text);
      // xterm.js answers where its cursor is; the stand-in says the top left.
      if (text.includes(CURSOR_QUERY)) page.toProgram.push(...Buffer.from('\x1b[1;1R'));
    },
    terminalRead: (most) => Uint8Array.from(page.toProgram.splice(0, most)),
    terminalPending: () => page.toProgram.length,
    terminalDiscard: () => { page.toProgram.length = 0; },
    terminalSize: () => ({ rows: page.terminalRows, cols: page.terminalCols }),

    openWindow(width, height, keepTerminal) {
      page.windowOpened = { width, height, keepTerminal };
      page.client = { width, height };
      return true;
    },
    show(pixels, width, height, x, y, changedWidth, changedHeight) {
      page.shown = { width, height, part: { x, y, width: changedWidth, height: changedHeight }, pixels: Uint32Array.from(pixels) };
      page.shows++;
    },
    clientSize: () => page.client,
    desktopSize: () => page.desktop,
    nextEvent: () => page.events.shift(),
    touchScreen: () => false,
    glyphs: glyphSource((width, height) => createCanvas(width, height)),
  };
  // The tests capture standard output and error as GoogleTest does everywhere, by dup() and dup2()
  // of descriptors 1 and 2. Over the machine's own files (NODERAWFS) a copy is the same path opened
  // again: so the standard streams get theirs, such a reopening neither creates nor empties the
  // file, and the process's own descriptors 0 to 2 are never closed.
  Module.onRuntimeInitialized = () => {
    const O_WRONLY = 1, O_CREAT = 64, O_EXCL = 128, O_TRUNC = 512, O_APPEND = 1024;
    ['/dev/stdin', '/dev/stdout', '/dev/stderr'].forEach((path, fd) => {
      if (FS.streams[fd]) Object.assign(FS.streams[fd], { path, flags: fd === 0 ? 0 : O_WRONLY | O_APPEND });
    });
    const close = FS.close, open = FS.open;
    FS.close = function (stream) {
      if (stream && stream.nfd !== undefined && stream.nfd <= 2) {
        FS.closeStream(stream.fd);
        stream.fd = null;
        return;
      }
      return close.apply(this, arguments);
    };
    FS.open = function (path, flags, mode, suggestFD) {
      const again = suggestFD != null && typeof flags === 'number';
      const stream = open.apply(this, [path, again ? flags & ~(O_CREAT | O_EXCL | O_TRUNC) : flags].concat([].slice.call(arguments, 2)));
      // A standard stream may be a pipe, which takes no writes at a position.
      if (typeof path === 'string' && path.startsWith('/dev/std')) stream.seekable = false;
      return stream;
    };
  };
  Module.preRun = (Module.preRun || []).concat([() => {
    require(process.env.CARDBATTLE_WEB_STORAGE).keepWrittenFiles(FS, process.cwd() + '/web-saved', (done) => {
      page.storageSaves++;
      done(null);
    });
  }]);
  return page;
})();
