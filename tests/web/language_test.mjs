// The page's language choice (web/language.js): what the address asks for, what the program is
// given, the address the switch opens, and the page's words in each language.
//
//   node language_test.mjs <folder of language.js>
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';

const folder = resolve(process.argv[2] ?? new URL('../../web', import.meta.url).pathname);
const language = createRequire(import.meta.url)(join(folder, 'language.js'));

test('the address chooses English or Chinese, and anything else is left out with a complaint', () => {
  const cases = [
    // search, code, complaint mentions
    ['', null, null],
    ['?debug=1', null, null],
    ['?lang=en', 'en', null],
    ['?lang=zh', 'zh', null],
    ['?lang=EN', 'en', null],
    ['?lang=+zh+', 'zh', null],
    ['?x=1&lang=en&y=2', 'en', null],
    ['?lang=en&lang=zh', 'en', null], // the first one, as the address reads
    ['?lang=fr', null, 'fr'],
    ['?lang=', null, '?lang='],
    ['?lang=english', null, 'english'],
    ['?lang=%3Cb%3E', null, '<b>'],
  ];
  for (const [search, code, mentions] of cases) {
    const got = language.addressLanguage(search);
    assert.equal(got.code, code, search);
    if (mentions === null) assert.equal(got.complaint, '', search);
    else assert.ok(got.complaint.includes(mentions) && got.complaint.includes('saved choice holds'), `${search}: ${got.complaint}`);
  }
});

test('the program is given --language and --opponent only when the address chose', () => {
  assert.deepEqual(language.programArguments(null), []);
  assert.deepEqual(language.programArguments('en'), ['--language=en']);
  assert.deepEqual(language.programArguments('zh'), ['--language=zh']);
  assert.deepEqual(language.programArguments(null, 'strong'), ['--opponent=strong']);
  assert.deepEqual(language.programArguments('en', 'standard'), ['--language=en', '--opponent=standard']);
});

test('the address chooses the opponent, and anything else is left out with a complaint', () => {
  for (const [search, code] of [['', null], ['?opponent=strong', 'strong'], ['?opponent=Standard', 'standard'],
    ['?lang=en&opponent=strong', 'strong'], ['?opponent=hard', null]]) {
    const got = language.addressOpponent(search);
    assert.equal(got.code, code, search);
    assert.equal(got.complaint === '', search !== '?opponent=hard', `${search}: ${got.complaint}`);
  }
});

test('the switch opens the same address with the language set, everything else kept', () => {
  const cases = [
    ['http://127.0.0.1:8000/', 'en', 'http://127.0.0.1:8000/?lang=en'],
    ['http://127.0.0.1:8000/index.html?debug=1', 'zh', 'http://127.0.0.1:8000/index.html?debug=1&lang=zh'],
    ['http://example.org/game/?lang=zh#top', 'en', 'http://example.org/game/?lang=en#top'],
    ['http://example.org/?lang=fr&lang=zh', 'en', 'http://example.org/?lang=en'],
  ];
  for (const [href, code, expected] of cases) assert.equal(language.addressWith(href, code), expected);
});

test('the page has every word in every language, English when none is chosen', () => {
  const english = language.wordsFor('en');
  for (const code of language.LANGUAGE_CODES) {
    const words = language.wordsFor(code);
    assert.deepEqual(Object.keys(words).sort(), Object.keys(english).sort(), code);
    for (const [key, word] of Object.entries(words)) {
      const text = typeof word === 'function' ? word('1.0', '2.0') : word;
      assert.ok(typeof text === 'string' && text.length > 0, `${code}.${key}`);
    }
  }
  assert.notEqual(language.wordsFor('zh').loading, english.loading);
  assert.equal(language.wordsFor(null), english);
  assert.equal(language.wordsFor('fr'), english);
  assert.match(language.wordsFor('zh').loaded('1.5', '3.9'), /1\.5.*3\.9/);
});
