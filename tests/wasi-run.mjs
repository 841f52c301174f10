// Runs a WASI program under Node on this process's descriptors 0, 1 and 2,
// with its arguments and the whole file system; exits with its status.
//   node tests/wasi-run.mjs PROGRAM.wasm [ARG...]
import { readFileSync } from 'node:fs';

process.removeAllListeners('warning'); // no "experimental" notice on stderr
const { WASI } = await import('node:wasi');
const [program, ...args] = process.argv.slice(2);
const wasi = new WASI({
  version: 'preview1',
  args: [program, ...args],
  env: {},
  preopens: { '/': '/' },
  returnOnExit: true,
});
const module = await WebAssembly.compile(readFileSync(program));
const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
process.exitCode = wasi.start(instance);
