#!/usr/bin/env node
// dorvex under Node: the WebAssembly program on this process's standard
// input, output and error, exactly as the native program runs there.
// Status 1 means the end of input and nothing else: when Node cannot run
// the program at all (out of memory, say), the status is 2, as for any
// other failure, with one line that says why.
import { readFileSync, writeSync } from 'node:fs';

process.removeAllListeners('warning'); // no "experimental" notice on stderr
try {
  const { WASI } = await import('node:wasi');
  // the arguments too, which this build refuses in one line: it is the
  // dialogue alone
  const wasi = new WASI({ version: 'preview1',
    args: ['dorvex', ...process.argv.slice(2)], env: {}, returnOnExit: true });
  const program = new URL('dorvex.wasm', import.meta.url);
  const module = await WebAssembly.compile(readFileSync(program));
  const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
  process.exitCode = wasi.start(instance);
} catch (e) {
  try {
    writeSync(2, `dorvex: cannot run the program: ${e.message}\n`);
  } catch {
    // standard error is gone too: the status alone says it
  }
  process.exitCode = 2;
}
