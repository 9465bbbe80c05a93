// A stand-in for the page (web/page.js) under Node, for the browser build's test programs: a
// terminal that answers as xterm.js does, a canvas whose size and input the tests set, the page's
// own glyph drawing (web/glyphs.js) on @napi-rs/canvas with the shipped web font, and the page's
// own keeping of written files (web/storage.js) over the real file system. node_page_hooks.js
// lets a test reach it.
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
    shown: null, // { width, height, at, pixels }
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
    show(pixels, width, height, at) {
      page.shown = { width, height, at, pixels: Uint32Array.from(pixels) };
      page.shows++;
    },
    clientSize: () => page.client,
    desktopSize: () => page.desktop,
    nextEvent: () => page.events.shift(),
    glyphs: glyphSource((width, height) => createCanvas(width, height)),
  };
  Module.preRun = (Module.preRun || []).concat([() => {
    require(process.env.CARDBATTLE_WEB_STORAGE).keepWrittenFiles(FS, process.cwd() + '/web-saved', (done) => {
      page.storageSaves++;
      done(null);
    });
  }]);
  return page;
})();
