// The JavaScript API against the golden transcripts: every record's request
// gives the record's report and domain reports, convertMany the same
// values; and the errors a caller can make.
//   DORVEX_NPM=<npm package dir> DORVEX_REQUESTS=<requests> node --test tests/js
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';

const { convert, convertMany } = await import(
  pathToFileURL(join(resolve(process.env.DORVEX_NPM), 'index.mjs')).href);

// name, mode, six values, domain error names, report (transcripts --requests)
function requests() {
  const bits = new DataView(new ArrayBuffer(8));
  return readFileSync(process.env.DORVEX_REQUESTS, 'ascii').split('\n')
    .filter(Boolean).map((line) => {
      const [name, mode, hex, errors, report] = line.split('\t');
      const values = hex.split(' ').map((h) => {
        bits.setBigUint64(0, BigInt('0x' + h));
        return bits.getFloat64(0);
      });
      return { name, mode: Number(mode), values,
        errors: errors ? errors.split(',') : [],
        report: report.replace(/\\(.)/g, (_, c) => (c === 'n' ? '\n' : c)) };
    });
}

test('every golden request', () => {
  const all = requests();
  assert.ok(all.length > 2000);
  for (const r of all) {
    const got = convert(r.mode, r.values);
    assert.equal(got.report, r.report, r.name);
    assert.deepEqual(got.domainErrors.map((e) => e.name), r.errors, r.name);
  }
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
