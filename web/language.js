// The choices the page's address makes for the game, and the page's own words. The address
// chooses the language (?lang=en or ?lang=zh) and the opponent (?opponent=standard or strong); the
// program is given them as --language and --opponent, so the game's own rules apply: the choices
// are remembered in setting.ini. Without them the program is given nothing and the choices saved
// at an earlier visit hold. Shared with the tests under Node.
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

  // What the address may choose: its parameter, the codes, what a code names.
  const LANGUAGE = { parameter: 'lang', codes: CODES, naming: 'language of the game (en or zh)' };
  const OPPONENT = { parameter: 'opponent', codes: ['standard', 'strong'], naming: 'opponent (standard or strong)' };

  // A choice in the address: { code } with one of the codes or null for none, and a complaint when
  // the parameter names nothing the game has (it is then left out, as if not given).
  function addressChoice(search, choice) {
    const asked = new URLSearchParams(search).get(choice.parameter);
    if (asked === null) return { code: null, complaint: '' };
    const code = asked.trim().toLowerCase();
    if (choice.codes.includes(code)) return { code, complaint: '' };
    return { code: null, complaint: `?${choice.parameter}=${asked} names no ${choice.naming}: the saved choice holds` };
  }
  const addressLanguage = (search) => addressChoice(search, LANGUAGE);
  const addressOpponent = (search) => addressChoice(search, OPPONENT);

  // The program's arguments for the choices made (none without one).
  const programArguments = (language, opponent = null) => [
    ...(language ? [`--language=${language}`] : []),
    ...(opponent ? [`--opponent=${opponent}`] : []),
  ];

  // The address that opens the page again with `code` chosen, everything else kept.
  function addressWith(href, code) {
    const url = new URL(href);
    url.searchParams.set('lang', code);
    return url.href;
  }

  // The page's words: in the language chosen, English otherwise (as the launcher is).
  const wordsFor = (code) => WORDS[code] || WORDS.en;

  Object.assign(exports, {
    LANGUAGE_CODES: CODES, addressLanguage, addressOpponent, programArguments, addressWith, wordsFor,
  });
})(typeof module === 'object' ? module.exports : (globalThis.cardbattle = globalThis.cardbattle || {}));
