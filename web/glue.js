// The program's side of the page: what the browser's platform files call (src/platform/web/page.h),
// linked into the program with --js-library. Each call goes to Module.page, which the page sets
// (web/page.js) and the tests under Node stand in for. Bytes, pixels and glyph coverage cross as
// memory of the program's own.
mergeInto(LibraryManager.library, {
  $cardbattlePair: function (pointerA, pointerB, a, b) {
    HEAP32[pointerA >> 2] = a;
    HEAP32[pointerB >> 2] = b;
  },

  web_terminal_write: function (bytes, length) {
    Module.page.terminalWrite(HEAPU8.slice(bytes, bytes + length));
  },
  web_terminal_read: function (buffer, capacity) {
    var bytes = Module.page.terminalRead(capacity);
    HEAPU8.set(bytes, buffer);
    return bytes.length;
  },
  web_terminal_pending: function () {
    return Module.page.terminalPending();
  },
  web_terminal_discard: function () {
    Module.page.terminalDiscard();
  },
  web_terminal_size__deps: ['$cardbattlePair'],
  web_terminal_size: function (rows, cols) {
    var size = Module.page.terminalSize();
    cardbattlePair(rows, cols, size.rows, size.cols);
  },

  web_window_open: function (width, height, keepTerminal) {
    return Module.page.openWindow(width, height, keepTerminal !== 0) ? 1 : 0;
  },
  web_window_show: function (pixels, width, height, x, y, changedWidth, changedHeight) {
    var first = pixels >> 2;
    Module.page.show(HEAPU32.subarray(first, first + width * height), width, height, x, y, changedWidth, changedHeight);
  },
  web_window_client_size__deps: ['$cardbattlePair'],
  web_window_client_size: function (width, height) {
    var size = Module.page.clientSize();
    cardbattlePair(width, height, size.width, size.height);
  },
  web_desktop_size__deps: ['$cardbattlePair'],
  web_desktop_size: function (width, height) {
    var size = Module.page.desktopSize();
    cardbattlePair(width, height, size.width, size.height);
  },
  // The next event into int[4]: type, code, x, y.
  web_next_event: function (event) {
    var e = Module.page.nextEvent();
    if (!e) return 0;
    HEAP32.set(e, event >> 2);
    return 1;
  },
  web_touch_screen: function () {
    return Module.page.touchScreen() ? 1 : 0;
  },

  web_face_open: function (name, height, width, bold) {
    return Module.page.glyphs.openFace(UTF8ToString(name), height, width, bold !== 0);
  },
  web_face_metrics__deps: ['$cardbattlePair'],
  web_face_metrics: function (face, lineHeight, ascent) {
    var metrics = Module.page.glyphs.faceMetrics(face);
    cardbattlePair(lineHeight, ascent, metrics.lineHeight, metrics.ascent);
  },
  web_face_close: function (face) {
    Module.page.glyphs.closeFace(face);
  },
  web_glyph: function (face, codePoint, draw, box) {
    var g = Module.page.glyphs.glyph(face, codePoint, draw !== 0);
    HEAP32.set([g.box.left, g.box.top, g.box.width, g.box.rows], box >> 2);
    return g.advance;
  },
  web_glyph_coverage: function (coverage, capacity) {
    var bytes = Module.page.glyphs.lastCoverage();
    HEAPU8.set(bytes.length <= capacity ? bytes : bytes.subarray(0, capacity), coverage);
  },
});
