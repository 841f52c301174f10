// One whole dialogue (the worked example) under Node, after start-up: the
// module compiled once, then each run instantiated and started afresh on
// a file as standard input. Prints the median of 21 runs; fails past 5 ms.
//   node bench/wasm_dialogue.mjs PROGRAM.wasm
import { closeSync, mkdtempSync, openSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

process.removeAllListeners('warning');
const { WASI } = await import('node:wasi');
const module = await WebAssembly.compile(readFileSync(process.argv[2]));
const dir = mkdtempSync(join(tmpdir(), 'dorvex-bench-'));
writeFileSync(join(dir, 'in'), '2\n5 6 7 80 85 95\n');
const times = [];
for (let i = 0; i < 21; ++i) {
  const stdin = openSync(join(dir, 'in'), 'r'), stdout = openSync(join(dir, 'out'), 'w');
  const t0 = performance.now();
  const wasi = new WASI({ version: 'preview1', args: ['dorvex'], env: {},
    stdin, stdout, returnOnExit: true });
  const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
  const code = wasi.start(instance);
  times.push(performance.now() - t0);
  closeSync(stdin);
  closeSync(stdout);
  if (code !== 0) throw new Error(`status ${code}`);
}
rmSync(dir, { recursive: true, force: true });
const median = times.sort((a, b) => a - b)[10];
console.log(`speed: one dialogue under Node ${median.toFixed(3)} ms after start-up (median of 21)`);
process.exitCode = median <= 5 ? 0 : 1;
