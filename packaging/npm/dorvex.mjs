#!/usr/bin/env node
// dorvex under Node: the WebAssembly program on this process's standard
// input, output and error, exactly as the native program runs there.
import { readFileSync } from 'node:fs';

process.removeAllListeners('warning'); // no "experimental" notice on stderr
const { WASI } = await import('node:wasi');
const wasi = new WASI({ version: 'preview1', args: ['dorvex'], env: {},
  returnOnExit: true });
const program = new URL('dorvex.wasm', import.meta.url);
const module = await WebAssembly.compile(readFileSync(program));
const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
process.exitCode = wasi.start(instance);
