// dorvex from JavaScript under Node against plain JavaScript doing the
// textbook conversion (Math.cos and Math.acos, the reciprocal cell and the
// metric form), on the same 10^5 cells in one run: convert one cell a
// call, and convertMany; medians of five runs after one to warm up.
//   node bench/js_bench.mjs <npm package dir>
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const dir = resolve(process.argv[2] ?? 'build/wasm/npm');
const { convert, convertMany } = await import(pathToFileURL(join(dir, 'index.mjs')).href);
const N = 100_000;
let seed = 13;
const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
const rows = Array.from({ length: N }, () => [2 + 118 * random(), 2 + 118 * random(),
  2 + 118 * random(), 60 + 60 * random(), 60 + 60 * random(), 60 + 60 * random()]);
const flat = new Float64Array(6 * N);
rows.forEach((r, i) => flat.set(r, 6 * i));

// The textbook: a direct cell to its reciprocal (Giacovazzo, Fundamentals
// of Crystallography, eqs. 2.14-2.16, with 2 pi) and metric form.
const rad = Math.PI / 180, tau = 2 * Math.PI;
function plain([a, b, c, al, be, ga]) {
  const ca = Math.cos(al * rad), cb = Math.cos(be * rad), cc = Math.cos(ga * rad);
  const sa = Math.sqrt(1 - ca * ca), sb = Math.sqrt(1 - cb * cb), sc = Math.sqrt(1 - cc * cc);
  const v = a * b * c * Math.sqrt(1 - ca * ca - cb * cb - cc * cc + 2 * ca * cb * cc);
  const ar = tau * b * c * sa / v, br = tau * a * c * sb / v, cr = tau * a * b * sc / v;
  const car = (cb * cc - ca) / (sb * sc), cbr = (cc * ca - cb) / (sc * sa),
    ccr = (ca * cb - cc) / (sa * sb);
  const q = 1 / (tau * tau);
  return { form: [ar * ar * q, br * br * q, cr * cr * q, 2 * br * cr * car * q,
    2 * ar * cr * cbr * q, 2 * ar * br * ccr * q],
  direct: [a, b, c, al, be, ga],
  recip: [ar, br, cr, Math.acos(car) / rad, Math.acos(cbr) / rad, Math.acos(ccr) / rad] };
}
function plainMany(given) {
  const n = given.length / 6, form = new Float64Array(6 * n),
    direct = new Float64Array(6 * n), recip = new Float64Array(6 * n);
  for (let i = 0; i < n; ++i) {
    const r = plain(given.subarray(6 * i, 6 * i + 6));
    form.set(r.form, 6 * i); direct.set(r.direct, 6 * i); recip.set(r.recip, 6 * i);
  }
  return { form, direct, recip };
}

function median(run) {
  const times = [];
  for (let i = 0; i < 6; ++i) {
    const t = performance.now();
    run();
    times.push(performance.now() - t);
  }
  return times.slice(1).sort((a, b) => a - b)[2] * 1e6 / N;
}
let sink = 0;
const one = median(() => { for (const r of rows) sink += convert(2, r).recip[3]; });
const onePlain = median(() => { for (const r of rows) sink += plain(r).recip[3]; });
const withReport = median(() => { for (const r of rows) sink += convert(2, r).report.length; });
const many = median(() => { sink += convertMany(2, flat).recip[3]; });
const manyRows = median(() => { sink += convertMany(2, rows).recip[3]; });
const manyPlain = median(() => { sink += plainMany(flat).recip[3]; });
const ns = (x) => `${x.toFixed(0)} ns`;
console.log(`convert, one cell a call: ${ns(one)} per cell, plain JavaScript ${ns(onePlain)}: ` +
  `${(one / onePlain).toFixed(2)}x; reading its report too: ${ns(withReport)}`);
console.log(`convertMany, one Float64Array: ${ns(many)} per cell, plain JavaScript ` +
  `${ns(manyPlain)}: ${(many / manyPlain).toFixed(2)}x; rows of arrays: ${ns(manyRows)}`);
if (Number.isNaN(sink)) console.log('(a NaN in the sums)');
