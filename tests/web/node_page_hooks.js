// What a test program under Node can do to the stand-in page (node_page.js): the player's input,
// the canvas's and the browser window's sizes, and what the program showed, typed and saved.
mergeInto(LibraryManager.library, {
  node_page_event: function (type, code, x, y) {
    Module.page.events.push([type, code, x, y]);
  },
  node_page_set_client_size: function (width, height) {
    Module.page.client = { width: width, height: height };
  },
  node_page_set_desktop_size: function (width, height) {
    Module.page.desktop = { width: width, height: height };
  },
  node_page_type: function (bytes, length) {
    for (var i = 0; i < length; i++) Module.page.toProgram.push(HEAPU8[bytes + i]);
  },
  node_page_terminal_pending: function () {
    return Module.page.toProgram.length;
  },
  // How many frames were sent; the part of the last one sent into int[4] (x, y, width, height)
  // and, when `pixel` is inside the frame, that pixel of it as the page received it.
  node_page_shown: function (part, pixelIndex, pixel) {
    var s = Module.page.shown;
    if (!s) return 0;
    HEAP32.set([s.part.x, s.part.y, s.part.width, s.part.height], part >> 2);
    if (pixelIndex >= 0 && pixelIndex < s.pixels.length) HEAPU32[pixel >> 2] = s.pixels[pixelIndex];
    return Module.page.shows;
  },
  node_page_window_opened: function (size) {
    var w = Module.page.windowOpened;
    if (!w) return 0;
    HEAP32.set([w.width, w.height, w.keepTerminal ? 1 : 0], size >> 2);
    return 1;
  },
  node_page_storage_saves: function () {
    return Module.page.storageSaves;
  },
});
