// dorvex from JavaScript under Node: convertMany on 10^5 cells and convert
// one cell at a time, medians of five runs after one to warm up.
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

function median(run) {
  const times = [];
  for (let i = 0; i < 6; ++i) {
    const t = performance.now();
    run();
    times.push(performance.now() - t);
  }
  return times.slice(1).sort((a, b) => a - b)[2];
}
const ns = (ms) => (ms * 1e6 / N).toFixed(0);
console.log(`convertMany, 10^5 rows of arrays: ${ns(median(() => convertMany(2, rows)))} ns per cell`);
console.log(`convertMany, one Float64Array: ${ns(median(() => convertMany(2, flat)))} ns per cell`);
console.log(`convert, one cell a call: ${ns(median(() => { for (const r of rows) convert(2, r); }))} ns per cell`);
