// dorvex for JavaScript: convert, convertTexts, convertMany, reflections and
// readNumber give the dorvex program's values, report bytes, what follows
// from them and its number reading, from the same WebAssembly module as
// the dorvex command (its C API exports).
// An ES module for Node and for browsers, with no bundler.
const url = new URL('./dorvex.wasm', import.meta.url);
const code = url.protocol === 'file:'
  ? await (await import('node:fs/promises')).readFile(url)
  : await (await fetch(url)).arrayBuffer();
const module = await WebAssembly.compile(code);
// The module is a WASI command too; the API makes no system call, so each
// import only says that one was made.
const imports = {};
for (const { module: from, name } of WebAssembly.Module.imports(module))
  (imports[from] ??= {})[name] = () => {
    throw new Error(`dorvex: the API called ${from}.${name}`);
  };
const instance = await WebAssembly.instantiate(module, imports);

// @dorvex-api.js@ (web/embed.mjs puts web/dorvex-api.js and dorvex-api-more.js here)

const api = dorvexApi(instance.exports);
export const { convert, convertTexts, convertMany, reflections, readNumber,
  readValue, formatSu, xrayLines, version } = api;
