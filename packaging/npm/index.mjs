// dorvex for JavaScript: convert and convertMany give the dorvex program's
// values and report bytes, from the same WebAssembly module as the dorvex
// command (its C API exports). An ES module for Node and for browsers,
// with no bundler.
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
const api = (await WebAssembly.instantiate(module, imports)).exports;

// Memory of our own, past all the program's: one conversion's input,
// result and report, then a batch of rows for convertMany.
const RESULT = 64, REPORT = 512, REPORT_MAX = 5880, BATCH = 8192;
const ROWS = 1024;  // rows a batch; 196 bytes each
const base = api.memory.grow(5) * 65536;
const names = [undefined, 'sqrt', 'acos'];
const steps = [undefined, 'form_to_recip', 'recipconv', 'angles'];
const decoder = new TextDecoder();

function checkMode(mode) {
  if (mode !== 1 && mode !== 2 && mode !== 3)
    throw new RangeError('mode must be 1 (metric form), 2 (direct cell) or ' +
      `3 (reciprocal cell), not ${String(mode)}`);
}

// values[0..5] into doubles at f[at..], each a number (NaN and infinities
// as they are); what names them in a message.
function putSix(f, at, values, what) {
  if (values === null || typeof values !== 'object' ||
      typeof values.length !== 'number')
    throw new TypeError(`${what} must be six numbers, not ${typeof values}`);
  if (values.length !== 6)
    throw new RangeError(`${what} must hold six numbers, not ${values.length}`);
  for (let k = 0; k < 6; ++k) {
    const v = values[k];
    if (typeof v !== 'number')
      throw new TypeError(`${what}[${k}] must be a number, not ${typeof v}`);
    f[at + k] = v;
  }
}

const six = (f, at) => Array.from(f.subarray(at, at + 6));

// One conversion: mode 1 a metric form A..F, 2 a direct cell, 3 a
// reciprocal cell (angles in degrees).
export function convert(mode, values) {
  checkMode(mode);
  const f = new Float64Array(api.memory.buffer, base, 64);
  putSix(f, 0, values, 'values');
  api.dorvex_convert(mode, base, base + RESULT);
  const r = RESULT / 8;
  const ints = new Int32Array(api.memory.buffer, base + RESULT + 144, 40);
  const domainErrors = [];
  for (let k = 0; k < ints[0]; ++k)
    domainErrors.push({ name: names[ints[1 + 3 * k]],
      step: steps[ints[2 + 3 * k]], call: ints[3 + 3 * k] });
  const n = api.dorvex_report(base + RESULT, base + REPORT, REPORT_MAX + 1);
  return {
    form: six(f, r), direct: six(f, r + 6), recip: six(f, r + 12),
    domainErrors,
    report: decoder.decode(new Uint8Array(api.memory.buffer, base + REPORT, n)),
  };
}

// Many conversions: rows as six-number arrays, or one Float64Array of
// 6 N numbers; the three descriptions as Float64Arrays of 6 N numbers, row
// i at 6 i, and each row's count of domain errors.
export function convertMany(mode, rows) {
  checkMode(mode);
  const flat = rows instanceof Float64Array;
  if (!flat && !Array.isArray(rows))
    throw new TypeError('rows must be an array of six-number rows or a ' +
      `Float64Array, not ${typeof rows}`);
  if (flat && rows.length % 6 !== 0)
    throw new RangeError(`a Float64Array of rows must hold 6 N numbers, not ${rows.length}`);
  const n = flat ? rows.length / 6 : rows.length;
  const out = { form: new Float64Array(6 * n), direct: new Float64Array(6 * n),
    recip: new Float64Array(6 * n), domainErrorCounts: new Int32Array(n) };
  for (let at = 0; at < n; at += ROWS) {
    const m = Math.min(ROWS, n - at);
    const p = base + BATCH, q = p + 48 * ROWS;
    const f = new Float64Array(api.memory.buffer, p, 24 * ROWS);
    if (flat) f.set(rows.subarray(6 * at, 6 * (at + m)));
    else for (let i = 0; i < m; ++i) putSix(f, 6 * i, rows[at + i], `rows[${at + i}]`);
    api.dorvex_convert_many(mode, m, p, q, q + 48 * ROWS, q + 96 * ROWS,
      q + 144 * ROWS);
    out.form.set(f.subarray(6 * ROWS, 6 * (ROWS + m)), 6 * at);
    out.direct.set(f.subarray(12 * ROWS, 12 * ROWS + 6 * m), 6 * at);
    out.recip.set(f.subarray(18 * ROWS, 18 * ROWS + 6 * m), 6 * at);
    out.domainErrorCounts.set(
      new Int32Array(api.memory.buffer, q + 144 * ROWS, m), at);
  }
  return out;
}

// The version of the library inside.
export const version = (() => {
  const bytes = new Uint8Array(api.memory.buffer, api.dorvex_version());
  return decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
})();
