// The program's side of the page (page.js): what the browser backend calls, linked into the program
// with --js-library. Bytes, pixels and glyph coverage cross as memory of the program's own.
mergeInto(LibraryManager.library, {
  // The terminal: bytes written as a tty would take them (UTF-8, escape sequences), and the bytes
  // typed, reported or answered since the last read.
  web_terminal_write: function (bytes, length) {
    window.cardbattlePage.terminalWrite(HEAPU8.slice(bytes, bytes + length));
  },
  web_terminal_read: function (buffer, size) {
    var bytes = window.cardbattlePage.terminalRead(size);
    HEAPU8.set(bytes, buffer);
    return bytes.length;
  },
  web_terminal_size: function (columns, rows) {
    var size = window.cardbattlePage.terminalSize();
    HEAP32[columns >> 2] = size.cols;
    HEAP32[rows >> 2] = size.rows;
  },

  // The window: opened at the frame's size (the terminal kept beside it in debug mode), its frames
  // as 0x00RRGGBB pixels, and the size of its box in device pixels.
  web_window_open: function (width, height, keepTerminal) {
    window.cardbattlePage.openWindow(width, height, keepTerminal !== 0);
  },
  web_window_close: function () {
    window.cardbattlePage.closeWindow();
  },
  web_window_present: function (pixels, width, height) {
    window.cardbattlePage.present(HEAPU32.subarray(pixels >> 2, (pixels >> 2) + width * height), width, height);
  },
  web_window_client_size: function (width, height) {
    var size = window.cardbattlePage.clientSize();
    HEAP32[width >> 2] = size.width;
    HEAP32[height >> 2] = size.height;
  },
  // The browser window's size, which is all the desktop a page has.
  web_desktop_size: function (width, height) {
    var size = window.cardbattlePage.desktopSize();
    HEAP32[width >> 2] = size.width;
    HEAP32[height >> 2] = size.height;
  },

  // The next input event into int[4] (type, code, x, y); 0 when there is none.
  web_next_event: function (event) {
    var e = window.cardbattlePage.nextEvent();
    if (!e) return 0;
    HEAP32.set(e, event >> 2);
    return 1;
  },

  // After a file of the working folder is written: into the browser's storage with it.
  web_storage_sync: function () {
    window.cardbattlePage.syncStorage();
  },

  // Glyphs: a face by name (UTF-8), its metrics, and one glyph's coverage into `coverage` when it
  // holds `capacity` bytes; box[] receives left, top, width, rows. Returns the advance.
  web_face_open: function (name, height, width, bold) {
    return window.cardbattlePage.openFace(UTF8ToString(name), height, width, bold !== 0);
  },
  web_face_metrics: function (face, lineHeight, ascent) {
    var metrics = window.cardbattlePage.faceMetrics(face);
    HEAP32[lineHeight >> 2] = metrics.lineHeight;
    HEAP32[ascent >> 2] = metrics.ascent;
  },
  web_glyph: function (face, codePoint, coverage, capacity, box) {
    var g = window.cardbattlePage.glyph(face, codePoint);
    HEAP32.set([g.left, g.top, g.width, g.rows], box >> 2);
    if (g.coverage.length <= capacity) HEAPU8.set(g.coverage, coverage);
    return g.advance;
  },
});
