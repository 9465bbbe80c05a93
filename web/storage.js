// The program's saved files (setting.ini) kept in the browser's storage: whenever a file of the
// saved folder that was open for writing is closed, the folder is written to storage, once at a
// time (a close that comes meanwhile is followed by one more). The program knows nothing of it: it
// writes its files as on any system.
'use strict';
(function (exports) {
  const WRITING = 3; // O_WRONLY | O_RDWR

  // fs: the program's file system (Emscripten's FS); save(done) writes the folder to storage and
  // calls done(error) when it has.
  function keepWrittenFiles(fs, folder, save) {
    const prefix = folder.endsWith('/') ? folder : folder + '/';
    let busy = false, again = false;
    function sync() {
      if (busy) {
        again = true;
        return;
      }
      busy = true;
      save((error) => {
        if (error) console.warn('cardbattle: the settings cannot be kept:', error);
        busy = false;
        if (again) {
          again = false;
          sync();
        }
      });
    }
    const close = fs.close;
    fs.close = function (stream) {
      const path = stream && stream.path;
      const written = stream && (stream.flags & WRITING) !== 0;
      const result = close.apply(this, arguments);
      if (written && typeof path === 'string' && path.startsWith(prefix)) sync();
      return result;
    };
  }

  exports.keepWrittenFiles = keepWrittenFiles;
})(typeof module === 'object' ? module.exports : (globalThis.cardbattle = globalThis.cardbattle || {}));
