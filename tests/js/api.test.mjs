// The JavaScript API against the golden transcripts: every record's request
// gives the record's report and domain reports, convertMany the same
// values; and the errors a caller can make.
//   DORVEX_NPM=<npm package dir> DORVEX_REQUESTS=<requests> node --test tests/js
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';

const { convert, convertTexts, convertMany, readNumber, reflections, xrayLines,
  readValue, formatSu } = await import(
  pathToFileURL(join(resolve(process.env.DORVEX_NPM), 'index.mjs')).href);

// name, mode, six values (and as texts), domain error names, report
// (transcripts --requests)
function requests() {
  const bits = new DataView(new ArrayBuffer(8));
  return readFileSync(process.env.DORVEX_REQUESTS, 'ascii').split('\n')
    .filter(Boolean).map((line) => {
      const [name, mode, hex, errors, report] = line.split('\t');
      const values = hex.split(' ').map((h) => {
        bits.setBigUint64(0, BigInt('0x' + h));
        return bits.getFloat64(0);
      });
      // as typed: a NaN's sign from its bits, which a number does not keep
      const texts = values.map((x, k) => Number.isNaN(x)
        ? (hex.split(' ')[k][0] >= '8' ? '-NAN' : '+NAN')
        : Number.isFinite(x) ? (Object.is(x, -0) ? '-0' : String(x)) : x > 0 ? '+INF' : '-INF');
      return { name, mode: Number(mode), values, texts,
        errors: errors ? errors.split(',') : [],
        report: report.replace(/\\(.)/g, (_, c) => (c === 'n' ? '\n' : c)) };
    });
}

test('every golden request', () => {
  const all = requests();
  assert.ok(all.length > 2000);
  // every report read only after all conversions: each is made when read
  const results = all.map((r) => convert(r.mode, r.values));
  all.forEach((r, i) => {
    const got = results[i];
    assert.equal(got.report, r.report, r.name);
    assert.deepEqual(got.domainErrors.map((e) => `${e.name}:${e.step}:${e.call}`),
      r.errors, r.name);
    // JSON has what is made when read, as made
    const json = JSON.parse(JSON.stringify(got));
    assert.equal(json.report, r.report, r.name);
    assert.deepEqual(Object.keys(json), ['form', 'direct', 'recip', 'domainErrors',
      'report', 'volume', 'recipVolume', 'metric', 'convention', 'recips', 'su'], r.name);
  });
  for (const mode of [1, 2, 3]) {
    const rows = all.filter((r) => r.mode === mode);
    const many = convertMany(mode, rows.map((r) => r.values));
    rows.forEach((r, i) => {
      const one = convert(mode, r.values);
      for (const what of ['form', 'direct', 'recip'])
        assert.deepEqual(Array.from(many[what].subarray(6 * i, 6 * i + 6)),
          one[what], r.name);
      assert.equal(many.domainErrorCounts[i], one.domainErrors.length, r.name);
    });
  }
});

// The texts the API gives (and the page shows) are the shortest that the
// program reads back to the same double, whatever the text's length.
test('every value of every golden request reads back from its text', () => {
  for (const r of requests()) {
    const got = convertTexts(r.mode, r.texts);
    assert.equal(got.report, r.report, r.name);
    for (const what of ['form', 'direct', 'recip'])
      got.texts[what].forEach((t, k) => {
        const x = got[what][k];
        if (Number.isNaN(x)) assert.match(t, /^[+-]NAN$/, r.name);
        else assert.equal(readNumber(t).value, x, `${r.name}: ${t}`);
      });
  }
  const long = '0'.repeat(70000);
  for (const [text, value, used] of [
    [` 1${long}e-70000 tail`, 1, 70009], [`0.${long}1e70001`, 1, 70009],
    ['5e-324', 5e-324, 6], ['1e+308', 1e308, 6], ['-0', -0, 2],
  ])
    assert.deepEqual(readNumber(text), { value, used }, text.slice(0, 12));
  assert.equal(readNumber(' 80°'.slice(4)), null);
});

test('a bad call says what was expected', () => {
  for (const [call, error, says] of [
    [() => convert(4, [5, 6, 7, 80, 85, 95]), RangeError, 'mode must be 1'],
    [() => convert(2, [5, 6, 7, 80, 85]), RangeError, 'six numbers, not 5'],
    [() => convert(2, '5 6 7 80 85 95'), TypeError, 'not string'],
    [() => convert(2, [5, 6, 7, 80, '85', 95]), TypeError, 'values[4] must be a number'],
    [() => convertMany(2, [[5, 6, 7, 80, 85, 95], [5, 6]]), RangeError, 'rows[1] must hold six'],
    [() => convertMany(2, new Float64Array(7)), RangeError, '6 N numbers'],
  ])
    assert.throws(call, (e) => e instanceof error && e.message.includes(says), says);
});

// A caller's getter or toString that calls the API again, while its own
// call is still reading its arguments: each call gets its own result.
test('a call from inside a call changes neither', () => {
  const cell = [5, 6, 7, 80, 85, 95], other = [3, 3, 5, 90, 90, 120];
  const want = convert(2, cell);
  const inner = (call) => {
    const values = [...cell];
    Object.defineProperty(values, 3, { get() { call(); return 80; } });
    return values;
  };
  const texts = (call) => cell.map((v, k) => k === 2 ? { toString() { call(); return '7'; } } : String(v));
  for (const [what, outer] of [
    ['convert in convert', () => convert(2, inner(() => convert(3, other)))],
    ['convertMany in convert', () => convert(2, inner(() => convertMany(3, [other, other])))],
    ['convertTexts in convertTexts', () => convertTexts(2, texts(() => convertTexts(3, other.map(String))))],
    ['readNumber in convertTexts', () => convertTexts(2, texts(() => readNumber('123.5')))],
    ['convert in convertMany', () => {
      const many = convertMany(2, [cell, inner(() => convert(3, other)), cell]);
      for (let i = 0; i < 3; ++i)
        assert.deepEqual(Array.from(many.form.subarray(6 * i, 6 * i + 6)), want.form, `row ${i}`);
      return want;
    }],
  ]) {
    const got = outer();
    assert.equal(got.report, want.report, what);
    assert.deepEqual(got.form, want.form, what);
  }
});

// The other convention, the volumes and the reflections, as the C API
// gives them (its tests hold them to gemmi).
test('convention 1, volumes and reflections', () => {
  const aStar = 0.17729867735186694;  // gemmi's a* of NaCl, 1/a
  const one = convert(3, [aStar, aStar, aStar, 90, 90, 90], { convention: '1' });
  assert.ok(Math.abs(one.direct[0] - 5.6402) < 1e-6);
  assert.equal(one.convention, '1');
  assert.ok(Math.abs(one.recipVolume * one.volume - 1) < 1e-15);
  const nacl = convert(2, [5.6402, 5.6402, 5.6402, 90, 90, 90]);
  assert.ok(Math.abs(nacl.volume - 179.4252304) < 1e-6);
  assert.ok(Math.abs(nacl.recipVolume * nacl.volume - 6.28318531 ** 3) < 1e-9);
  const list = reflections(nacl, 1, 'CuKa1');
  assert.equal(list.length, 369);
  const r111 = list.find((r) => r.h === 1 && r.k === 1 && r.l === 1);
  assert.ok(Math.abs(r111.twoTheta - 27.366) < 0.001, String(r111.twoTheta));
  assert.ok(list.every((r, i) => i === 0 || list[i - 1].d >= r.d));
  const far = reflections(nacl, 1, 10);  // 10 Å reaches d >= 5 only
  assert.ok(far.every((r) => (r.twoTheta === null) === (r.d < 5)));
  assert.ok(JSON.stringify(far).includes('"twoTheta":null'));
  assert.ok(reflections(nacl, 2).every((r) => r.twoTheta === null));
  assert.equal(xrayLines.CuKa1, 1.540562);
  const many = convertMany(3, [[aStar, aStar, aStar, 90, 90, 90]], { convention: '1' });
  assert.equal(many.volume[0], one.volume);
  assert.equal(many.recip[0], one.recip[0]);
  for (const [call, error, says] of [
    [() => convert(2, [5, 5, 5, 90, 90, 90], { convention: '2π' }), RangeError, 'convention must be "2pi" or "1"'],
    [() => reflections(nacl, 0), RangeError, 'dMin must be above 0'],
    [() => reflections(nacl, 1e-4), RangeError, 'too small for this cell'],
    [() => reflections(nacl, 1, 'CuKz'), RangeError, 'no X-ray line "CuKz"'],
    [() => reflections(convert(2, [5, 5, 5, 10, 10, 170]), 1), RangeError, 'no such cell'],
    [() => reflections({ direct: [], metric: [] }, 1), TypeError, 'a conversion'],
  ])
    assert.throws(call, (e) => e instanceof error && e.message.includes(says), says);
});

// Standard uncertainties as the C API gives them (the Python tests hold
// them to a Monte Carlo estimate): read, propagated, written.
test('standard uncertainties', () => {
  const c = convertTexts(2, ['5.6402(3)', '5.6402(3)', '5.6402(3)', '90', '90', '90']);
  assert.ok(Math.abs(c.su.volume - 0.0165299) < 1e-6, String(c.su.volume));
  assert.equal(formatSu(c.volume, c.su.volume), '179.425(17)');
  assert.deepEqual(c.su.direct, [0.0003, 0.0003, 0.0003, 0, 0, 0]);
  const same = convert(2, [5.6402, 5.6402, 5.6402, 90, 90, 90], { su: [3e-4, 3e-4, 3e-4, 0, 0, 0] });
  assert.equal(same.su.volume, c.su.volume);
  const r = reflections(c, 2, 'CuKa1');
  assert.equal(r[0].dSu, 0.0003);
  assert.deepEqual(readValue('1.5e3(12)'), { value: 1500, su: 1200, used: 9 });
  assert.deepEqual(readValue('5.6402('), { why: 'an s.u. needs digits in its parentheses' });
  assert.equal(readValue(' x'), null);
  assert.equal(convertTexts(2, ['5.6402(', '1', '1', '90', '90', '90']), null);
  assert.throws(() => convert(2, [1, 1, 1, 90, 90, 90], { su: [-1, 0, 0, 0, 0, 0] }), RangeError);
});
