// The dorvex API over an instance of the program's WebAssembly module, by
// its C API exports: convert, convertTexts, convertMany, reflections,
// readNumber, xrayLines and version. A plain script, so that the page holds it as it stands and the
// npm package's index.mjs is built around it (web/embed.mjs): one source
// for both.
// eslint-disable-next-line no-unused-vars
function dorvexApi(api) {
  'use strict';
  // Memory of our own, past all the program's: one conversion's input,
  // result and report, a batch of rows, then a text to read, as long as
  // it comes (the memory grows for it). Sizes and offsets come from the
  // module itself.
  const decoder = new TextDecoder(), encoder = new TextEncoder();
  const scratch = api.memory.grow(1) * 65536;
  // a name of dorvex.h ("dorvex_result.volume"), asked of layout.cpp
  const layout = (ask, name) => {
    const bytes = encoder.encode(name + '\0');
    new Uint8Array(api.memory.buffer, scratch, bytes.length).set(bytes);
    return ask(scratch) >>> 0;
  };
  const size = (name) => layout(api.dorvex_layout_size, name);
  const at = (name) => layout(api.dorvex_layout_offset, name);
  const RESULT = 64, RESULT_SIZE = size('dorvex_result');
  const ERRORS = RESULT + at('dorvex_result.n_domain_errors');
  const ERROR_INTS = size('dorvex_domain_error') / 4;
  const FIELD = Object.fromEntries(['volume', 'recip_volume', 'recip_1',
    'recip_volume_1', 'metric', 'direct', 'form_su', 'direct_su', 'recip_su',
    'recip_1_su', 'volume_su', 'recip_volume_su', 'recip_volume_1_su', 'mode',
    'convention', 'given', 'given_su'].map((f) => [f, RESULT + at(`dorvex_result.${f}`)]));
  // scratch: the names asked of layout.cpp, then six s.u. and a pointer
  const SU = scratch + 1024, WHY = scratch + 1088;
  const REPORT = RESULT + RESULT_SIZE, REPORT_MAX = size('DORVEX_REPORT_MAX');
  const BATCH = (REPORT + REPORT_MAX + 1 + 63) & ~63;
  const ROWS = 1024, TEXT = BATCH + 212 * ROWS;  // 212 bytes a row
  const base = api.memory.grow(Math.ceil((TEXT + 4096) / 65536)) * 65536;
  const cString = (at) => {
    const bytes = new Uint8Array(api.memory.buffer, at);
    return decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
  };
  const names = [1, 2].map((f) => cString(api.dorvex_function_name(f)));
  const steps = [1, 2, 3].map((s) => cString(api.dorvex_step_name(s)));

  function checkMode(mode) {
    if (mode !== 1 && mode !== 2 && mode !== 3)
      throw new RangeError('mode must be 1 (metric form), 2 (direct cell) ' +
        `or 3 (reciprocal cell), not ${String(mode)}`);
  }

  // The reciprocal cell's convention of an options object: 0 for "2pi"
  // (the program's, the default), 1 for "1" (a* = 1/a).
  function conventionOf(options) {
    const c = options === undefined || options === null ? '2pi' : options.convention;
    if (c === undefined || c === '2pi') return 0;
    if (c === '1') return 1;
    throw new RangeError(`convention must be "2pi" or "1", not ${String(c)}`);
  }

  // values[0..5] into doubles at f[at..], each a number (NaN and
  // infinities as they are); what names them in a message. f is never the
  // module's memory: a getter may call us again, and its call would
  // overwrite what this one had put there.
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

  // n numbers of f from at, as an array (a loop: a view or Array.from a
  // call costs several times as much)
  const pick = (f, at, n) => {
    const out = new Array(n);
    for (let i = 0; i < n; ++i) out[i] = f[at + i];
    return out;
  };
  const six = (f, at) => pick(f, at, 6);
  // A value as the shortest text that reads back to it, NaN and the
  // infinities in the program's words (a NaN's sign, which a JavaScript
  // number does not keep, given apart).
  const text = (x, negative) => {
    if (Number.isNaN(x)) return negative ? '-NAN' : '+NAN';
    if (!Number.isFinite(x)) return x > 0 ? '+INF' : '-INF';
    return Object.is(x, -0) ? '-0' : String(x);
  };

  // One conversion's result. Its texts are made when first asked for:
  // they cost four times the rest (and an accessor on each object, rather
  // than on the prototype, would cost as much again).
  class Conversion {
    #negative;  // bit k: value k is a NaN whose sign bit is set
    #texts = null;
    constructor(form, direct, recip, negative, domainErrors, report, more) {
      Object.assign(this, { form, direct, recip, domainErrors, report }, more);
      this.#negative = negative;
    }
    get texts() {
      const texts = (values, at) =>
        values.map((x, k) => text(x, this.#negative >> (at + k) & 1));
      return this.#texts ??= { form: texts(this.form, 0),
        direct: texts(this.direct, 6), recip: texts(this.recip, 12) };
    }
  }

  // what reflections writes back of a conversion: its cell, its metric, and
  // what was given, with its s.u.
  const inputs = new WeakMap();

  // The conversion of the six doubles at base (their s.u. at SU when
  // withSu), as the result convert gives.
  function converted(mode, convention, withSu) {
    api.dorvex_convert_sized(mode, convention, base, withSu ? SU : 0, base + RESULT,
      RESULT_SIZE);
    const f = new Float64Array(api.memory.buffer, base + RESULT, RESULT_SIZE / 8);
    // the field's numbers, at its offset in the result
    const doubles = (field, n) => pick(f, (field - RESULT) / 8, n);
    const ints = new Int32Array(api.memory.buffer, base + ERRORS,
      1 + ERROR_INTS * 13);
    const domainErrors = [];
    for (let k = 0; k < ints[0]; ++k) {
      const e = ints.subarray(1 + ERROR_INTS * k);
      domainErrors.push({ name: names[e[0] - 1], step: steps[e[1] - 1], call: e[2] });
    }
    const n = api.dorvex_report(base + RESULT, base + REPORT, REPORT_MAX + 1);
    const top = new Uint8Array(api.memory.buffer, base + RESULT, 8 * 18);
    let negative = 0;
    for (let k = 0; k < 18; ++k)
      if (Number.isNaN(f[k]) && top[8 * k + 7] & 0x80) negative |= 1 << k;
    // (a NaN's sign in convention 1 is the program's: division keeps it)
    const one = convention === 1;
    const c = new Conversion(six(f, 0), six(f, 6),
      one ? doubles(FIELD.recip_1, 6) : six(f, 12), negative, domainErrors,
      decoder.decode(new Uint8Array(api.memory.buffer, base + REPORT, n)), {
        volume: doubles(FIELD.volume, 1)[0],
        recipVolume: doubles(one ? FIELD.recip_volume_1 : FIELD.recip_volume, 1)[0],
        metric: doubles(FIELD.metric, 6), convention: one ? '1' : '2pi',
        // the reciprocal cell in both conventions, the program's 2 pi apart
        recips: { '2pi': six(f, 12), 1: doubles(FIELD.recip_1, 6) },
        // standard uncertainties, 0 where none was given
        su: { form: doubles(FIELD.form_su, 6), direct: doubles(FIELD.direct_su, 6),
          recip: doubles(one ? FIELD.recip_1_su : FIELD.recip_su, 6),
          volume: doubles(FIELD.volume_su, 1)[0],
          recipVolume: doubles(one ? FIELD.recip_volume_1_su : FIELD.recip_volume_su, 1)[0] } });
    inputs.set(c, { mode, convention, given: doubles(FIELD.given, 6),
      givenSu: doubles(FIELD.given_su, 6) });
    return c;
  }

  // the six s.u. of an options object, at SU; false when none is given
  function putSu(options) {
    const su = options === undefined || options === null ? undefined : options.su;
    if (su === undefined || su === null) return false;
    const given = new Float64Array(6);
    putSix(given, 0, su, 'su');
    if (!given.every((x) => x >= 0 && Number.isFinite(x)))
      throw new RangeError('su must be six standard uncertainties of 0 or more');
    new Float64Array(api.memory.buffer, SU, 6).set(given);
    return true;
  }

  // One conversion: mode 1 a metric form A..F, 2 a direct cell, 3 a
  // reciprocal cell (angles in degrees) in the convention of options.
  function convert(mode, values, options) {
    checkMode(mode);
    const convention = conventionOf(options);
    const given = new Float64Array(6);
    putSix(given, 0, values, 'values');
    const withSu = putSu(options);
    new Float64Array(api.memory.buffer, base, 6).set(given);
    return converted(mode, convention, withSu);
  }

  // text as UTF-8 with a NUL after it, at base + TEXT; its bytes.
  // Room for n bytes at base + TEXT: the memory grows for them.
  function room(n) {
    const short = base + TEXT + n - api.memory.buffer.byteLength;
    if (short > 0) api.memory.grow(Math.ceil(short / 65536));
  }

  function place(text) {
    const bytes = encoder.encode(String(text));
    room(bytes.length + 1);
    const mem = new Uint8Array(api.memory.buffer, base + TEXT, bytes.length + 1);
    mem.set(bytes);
    mem[bytes.length] = 0;
    return bytes;
  }

  // One conversion of six texts, each read as the program reads an answer
  // straight into its memory (so that even a NaN's sign stays as typed);
  // null when one is not one number, blanks around it aside.
  function convertTexts(mode, texts, options) {
    checkMode(mode);
    const convention = conventionOf(options);
    if (texts === null || typeof texts !== 'object' || texts.length !== 6)
      throw new TypeError('texts must be six texts');
    const strings = Array.from({ length: 6 }, (_, k) => String(texts[k]));
    // each with its s.u., in CIF's notation, or none
    for (let k = 0; k < 6; ++k) {
      const bytes = place(strings[k]);
      const used = api.dorvex_read_value(base + TEXT, base + 8 * k, SU + 8 * k, 0) >>> 0;
      if (used === 0 || !/^[\t\n\v\f\r ]*$/.test(decoder.decode(bytes.subarray(used))))
        return null;
    }
    return converted(mode, convention, true);
  }

  // Many conversions: rows as six-number arrays, or one Float64Array of
  // 6 N numbers; the three descriptions as Float64Arrays of 6 N numbers,
  // row i at 6 i, and each row's count of domain errors.
  function convertMany(mode, rows, options) {
    checkMode(mode);
    const convention = conventionOf(options);
    const flat = rows instanceof Float64Array;
    if (!flat && !Array.isArray(rows))
      throw new TypeError('rows must be an array of six-number rows or a ' +
        `Float64Array, not ${typeof rows}`);
    if (flat && rows.length % 6 !== 0)
      throw new RangeError('a Float64Array of rows must hold 6 N numbers, ' +
        `not ${rows.length}`);
    const n = flat ? rows.length / 6 : rows.length;
    const given = flat ? rows : new Float64Array(6 * n);
    if (!flat) for (let i = 0; i < n; ++i) putSix(given, 6 * i, rows[i], `rows[${i}]`);
    const out = { form: new Float64Array(6 * n),
      direct: new Float64Array(6 * n), recip: new Float64Array(6 * n),
      domainErrorCounts: new Int32Array(n), volume: new Float64Array(n),
      recipVolume: new Float64Array(n) };
    for (let at = 0; at < n; at += ROWS) {
      const m = Math.min(ROWS, n - at);
      const p = base + BATCH, q = p + 48 * ROWS;
      const f = new Float64Array(api.memory.buffer, p, 24 * ROWS);
      f.set(given.subarray(6 * at, 6 * (at + m)));
      const v = q + 148 * ROWS, w = v + 8 * ROWS;
      api.dorvex_convert_many_as(mode, convention, m, p, q, q + 48 * ROWS,
        q + 96 * ROWS, v, w, q + 144 * ROWS);
      out.form.set(f.subarray(6 * ROWS, 6 * (ROWS + m)), 6 * at);
      out.direct.set(f.subarray(12 * ROWS, 12 * ROWS + 6 * m), 6 * at);
      out.recip.set(f.subarray(18 * ROWS, 18 * ROWS + 6 * m), 6 * at);
      out.domainErrorCounts.set(
        new Int32Array(api.memory.buffer, q + 144 * ROWS, m), at);
      out.volume.set(new Float64Array(api.memory.buffer, v, m), at);
      out.recipVolume.set(new Float64Array(api.memory.buffer, w, m), at);
    }
    return out;
  }

  // The first number of text as the program reads an answer: its value,
  // and how many characters the blanks before it and the number took (in
  // the text's own characters); null when no number stands there.
  function readNumber(text) {
    const bytes = place(text);
    const used = api.dorvex_read_number(base + TEXT, base) >>> 0;
    if (used === 0) return null;
    return { value: new Float64Array(api.memory.buffer, base, 1)[0],
      used: decoder.decode(bytes.subarray(0, used)).length };
  }

  const version = cString(api.dorvex_version());

  // the rest, over the same memory: reflections, s.u., X-ray lines
  const more = dorvexApiMore(api, { base, RESULT, RESULT_SIZE, FIELD, TEXT, SU,
    WHY, scratch, at, size, place, room, cString, decoder, inputs, Conversion });
  return { convert, convertTexts, convertMany, readNumber, version, ...more };
}
