// The language the page asks the game for, and the page's own words in it. The address chooses
// (?lang=en or ?lang=zh) and the program is given it as --language, so the game's own rules apply:
// the choice is remembered in setting.ini. Without ?lang the program is given nothing and the
// choice saved at an earlier visit holds. Shared with the tests under Node.
'use strict';
(function (exports) {
  const CODES = ['zh', 'en'];

  // The page's words; the launcher's own are English whatever the choice.
  const WORDS = {
    en: {
      loading: 'Loading',
      loaded: (done, total) => `Loading ${done} of ${total} MB`,
      starting: 'Starting',
      stopped: (what) => `The game stopped: ${what}`,
      ended: 'The game has ended. Reload the page to play again.',
      cannotStart: (what) => `The game cannot start: ${what}`,
      cannotLoad: (what) => `${what} cannot be loaded`,
      retry: 'Retry',
      noWebAssembly: 'This browser cannot run the game: it needs WebAssembly with bulk memory ' +
        '(Chrome or Edge 75, Firefox 79, Safari 15 or later).',
      notKept: 'Settings will not be kept: this browser does not let the page store them.',
      close: 'Close',
      language: 'Language of the game',
      fullScreen: 'Full screen',
      turnPhone: 'Turn your phone or tablet sideways: the game is wider than it is tall.',
      playUpright: 'Play upright',
    },
    zh: {
      loading: '正在载入',
      loaded: (done, total) => `正在载入 ${done} / ${total} MB`,
      starting: '正在启动',
      stopped: (what) => `游戏停止了：${what}`,
      ended: '游戏已结束。重新载入页面即可再玩。',
      cannotStart: (what) => `游戏无法启动：${what}`,
      cannotLoad: (what) => `无法载入 ${what}`,
      retry: '重试',
      noWebAssembly: '这个浏览器无法运行游戏：需要支持批量内存的 WebAssembly（Chrome 或 Edge 75、Firefox 79、Safari 15 及以上）。',
      notKept: '设置不会被保存：这个浏览器不允许页面保存它们。',
      close: '关闭',
      language: '游戏的语言',
      fullScreen: '全屏',
      turnPhone: '请把手机或平板横过来：游戏的画面是横的。',
      playUpright: '竖着玩',
    },
  };

  // The choice in the address: { code } with 'en', 'zh' or null for none, and a complaint when
  // ?lang names no language the game has (it is then left out, as if not given).
  function addressLanguage(search) {
    const asked = new URLSearchParams(search).get('lang');
    if (asked === null) return { code: null, complaint: '' };
    const code = asked.trim().toLowerCase();
    if (CODES.includes(code)) return { code, complaint: '' };
    return { code: null, complaint: `?lang=${asked} names no language of the game (en or zh): the saved choice holds` };
  }

  // The program's arguments for a choice (none without one).
  const programArguments = (code) => (code ? [`--language=${code}`] : []);

  // The address that opens the page again with `code` chosen, everything else kept.
  function addressWith(href, code) {
    const url = new URL(href);
    url.searchParams.set('lang', code);
    return url.href;
  }

  // The page's words: in the language chosen, English otherwise (as the launcher is).
  const wordsFor = (code) => WORDS[code] || WORDS.en;

  Object.assign(exports, { LANGUAGE_CODES: CODES, addressLanguage, programArguments, addressWith, wordsFor });
})(typeof module === 'object' ? module.exports : (globalThis.cardbattle = globalThis.cardbattle || {}));
