// The page's parts that need no browser: its words (why a text is not a
// number, why a line was refused), its CSV and JSON, and its terminal,
// which runs the program's dialogue.
//   DORVEX_NPM=<npm package dir> node --test tests/js
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { test } from 'node:test';
import vm from 'node:vm';

const here = dirname(fileURLToPath(import.meta.url));
const npm = resolve(process.env.DORVEX_NPM);
const api = await import(pathToFileURL(join(npm, 'index.mjs')).href);
for (const f of ['words.js', 'terminal.js'])  // plain scripts, as the page has them
  vm.runInThisContext(readFileSync(join(here, '../../web', f), 'utf8'), { filename: f });
const module = new WebAssembly.Module(readFileSync(join(npm, 'dorvex.wasm')));
const stubs = {};
for (const { module: from, name } of WebAssembly.Module.imports(module))
  (stubs[from] ??= {})[name] = () => { throw new Error(name); };
const lineMax = new WebAssembly.Instance(module, stubs).exports.dorvex_terminal_line_max();
const words = globalThis.dorvexWords(api, lineMax);
const run = globalThis.dorvexTerminal(module);

test('why a field is not one number, and a field that is', () => {
  for (const [text, says] of [
    ['5', ''], ['5 ', ''], ['\t80 ', ''], ['-NAN', ''], ['1e999', ''],
    ['', 'Type a number.'], ['  ', 'Type a number.'],
    ['5,6', 'A comma ends the number'], ['5.6402(3)', 'type 5.6402 for 5.6402(3)'],
    ['80°', 'The degree sign is not typed: type 80.'],
    ['5 Å', 'Units are not typed: type 5'], ['0x1A', 'Hexadecimal is not read'],
    ['inf', 'Infinity and NaN are written +INF'], ['  x', '“x” is not a number.'],
    ['5 6', 'Only “5” is a number; “6” after it is not.'],
  ]) {
    const why = words.whyNot(text);
    assert.ok(says ? why.includes(says) : why === '', `${JSON.stringify(text)}: ${why}`);
  }
  // a field takes a standard uncertainty, and says what is wrong with one
  for (const [text, says] of [['5.6402(3)', ''], [' 107.33(12) ', ''],
    ['5.6402(', 'needs digits'], ['5.6402(-3)', 'takes no sign'], ['5.6402(3', 'must close']]) {
    const why = words.whyNot(text, true);
    assert.ok(says ? why.includes(says) : why === '', `${JSON.stringify(text)}: ${why}`);
  }
});

test('why the console refused a line', () => {
  for (const [line, menu, says] of [
    ['', true, 'An empty line: answer 1, 2 or 3.'], ['4', true, 'must be 1, 2 or 3, not 4'],
    ['x', true, '“x” is not 1, 2 or 3.'], ['', false, 'An empty line: type six numbers'],
    ['5 6 7', false, 'Only 3 numbers: all six go on one line.'],
    ['5,6,7,80,85,95', false, '1 number, then “,6,7,80,85,95”: A comma'],
    ['5 6 7 80 85 x', false, '5 numbers, then “x”'],
    ['2' + ' '.repeat(lineMax - 1), true, 'longer than a terminal keeps (4,095 characters)'],
  ])
    assert.ok(words.whyRefused(line, menu).includes(says), `${line.slice(0, 20)}: ${words.whyRefused(line, menu)}`);
});

test('the terminal runs the dialogue, and keeps a line one byte short of the limit', () => {
  const worked = readFileSync(join(here, '../worked_example.txt'), 'utf8');
  assert.deepEqual(run(['2\n', '5 6 7 80 85 95\n'], false), { out: worked, status: 0 });
  const menu = run([], false).out;
  for (const [length, refused] of [[lineMax - 1, false], [lineMax, true]]) {
    const got = run(['2'.padEnd(length, ' ') + '\n'], false);
    assert.equal(got.status, null);
    assert.equal(got.out.slice(menu.length) === '? ', refused, `${length} bytes`);
  }
  assert.deepEqual(run(['2\n'], true).status, 1);
});

test('every CSV row has its unit; a NaN keeps its sign and -0 its sign in CSV and JSON', () => {
  const units = { A: 'Å⁻²', B: 'Å⁻²', C: 'Å⁻²', D: 'Å⁻²', E: 'Å⁻²', F: 'Å⁻²',
    a: 'Å', b: 'Å', c: 'Å', alpha: '°', beta: '°', gamma: '°',
    'a*': 'Å⁻¹', 'b*': 'Å⁻¹', 'c*': 'Å⁻¹', 'alpha*': '°', 'beta*': '°', 'gamma*': '°' };
  const c = api.convertTexts(2, ['-NAN', '-0', '7', '90', '90', '90']);
  Object.assign(c, { mode: 2, given: ['-NAN', '-0', '7', '90', '90', '90'] });
  const rows = words.csv(c).trimEnd().split('\n').map((r) => r.split(','));
  assert.deepEqual(rows[0], ['quantity', 'value', 'unit']);
  assert.deepEqual(rows.slice(1).map(([q, , u]) => [q, u]), Object.entries(units));
  assert.deepEqual(rows[7], ['a', '-NAN', 'Å']);
  assert.deepEqual(rows[8], ['b', '-0', 'Å']);
  const j = JSON.parse(words.json(c));
  assert.equal(j.direct.a, '-NAN');
  assert.equal(j.direct.b, '-0');
  assert.equal(j.direct.c, 7);
  assert.deepEqual(c.texts.direct.slice(0, 2), ['-NAN', '-0']);
});

test('text after a number, or blanks then junk, is no number to the library', () => {
  const cell = ['5', '6', '7', '80', '85', '95'];
  for (const [k, text, ok] of [[0, '5x', false], [0, ' 5 ', true], [5, '95 x', false],
    [2, '  x', false], [3, '\t80\n', true]]) {
    const texts = [...cell];
    texts[k] = text;
    assert.equal(api.convertTexts(2, texts) !== null, ok, JSON.stringify(text));
  }
  assert.equal(api.readNumber('  x'), null);
  assert.deepEqual(api.readNumber(' 5x'), { value: 5, used: 2 });
});
