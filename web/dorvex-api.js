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

  // six numbers of f from at, as an array (a literal: a view, Array.from
  // or a loop costs more)
  const six = (f, at) => [f[at], f[at + 1], f[at + 2], f[at + 3], f[at + 4], f[at + 5]];
  // A value as the shortest text that reads back to it, NaN and the
  // infinities in the program's words (a NaN's sign, which a JavaScript
  // number does not keep, given apart).
  const text = (x, negative) => {
    if (Number.isNaN(x)) return negative ? '-NAN' : '+NAN';
    if (!Number.isFinite(x)) return x > 0 ? '+INF' : '-INF';
    return Object.is(x, -0) ? '-0' : String(x);
  };

  // The module's memory as doubles and as ints, made again only when the
  // memory has grown (a view costs as much as a small conversion).
  let heap = null, heapInts = null;
  const doubles = () => {
    if (heap === null || heap.buffer !== api.memory.buffer) {
      heap = new Float64Array(api.memory.buffer);
      heapInts = new Int32Array(api.memory.buffer);
    }
    return heap;
  };
  const R = (base + RESULT) / 8;  // the struct, as an index of doubles
  const F = (field) => (base + field) / 8;  // a field of it

  // The conversion of given (six doubles; their six s.u. or null) into the
  // struct at base + RESULT, in the module's memory: its first size bytes
  // (0.3's, the three descriptions alone, cost a fifth less).
  const WHOLE = RESULT_SIZE, THREE = at('dorvex_result.volume');
  function run(mode, convention, given, su, size) {
    const h = doubles();
    // (a typed array's set keeps a NaN's sign, which a number may not)
    if (given instanceof Float64Array) h.set(given, base / 8);
    else for (let k = 0; k < 6; ++k) h[base / 8 + k] = given[k];
    if (su !== null) h.set(su, SU / 8);
    api.dorvex_convert_sized(mode, convention, base, su === null ? 0 : SU,
      base + RESULT, size);
    return h;
  }

  // One conversion's result: the three descriptions and the domain errors
  // at once; the rest (the volumes, the report, the texts, the metric,
  // both conventions, the s.u.) made when first asked for, by converting
  // the same bits again: making them all each time would cost several
  // times the conversion. JSON has every one.
  let again;  // the struct of a conversion, made again (for reflections)
  class Conversion {
    #mode;
    #convention;
    #given;  // of our own, bit for bit what was converted
    #su;
    #report = null;
    #texts = null;
    #made = null;
    static { again = (c) => c.#again(); }
    constructor(mode, convention, given, su, h) {
      const ints = heapInts, at = (base + ERRORS) / 4;
      const domainErrors = [];
      for (let k = 0; k < ints[at]; ++k) {
        const e = at + 1 + ERROR_INTS * k;
        domainErrors.push({ name: names[ints[e] - 1], step: steps[ints[e + 1] - 1],
          call: ints[e + 2] });
      }
      this.form = six(h, R);
      this.direct = six(h, R + 6);
      // (a NaN's sign in convention 1 is the program's: division keeps it)
      this.recip = convention === 1 ? six(h, F(FIELD.recip_1)) : six(h, R + 12);
      this.domainErrors = domainErrors;
      this.convention = convention === 1 ? '1' : '2pi';
      this.#mode = mode;
      this.#convention = convention;
      this.#given = given;
      this.#su = su;
    }
    #again() {
      return run(this.#mode, this.#convention, this.#given, this.#su, WHOLE);
    }
    // the volumes, the metric, both conventions and the s.u., made at once
    #more() {
      if (this.#made === null) {
        const h = this.#again(), one = this.#convention === 1;
        this.#made = { volume: h[F(FIELD.volume)],
          recipVolume: h[F(one ? FIELD.recip_volume_1 : FIELD.recip_volume)],
          metric: six(h, F(FIELD.metric)),
          // the reciprocal cell in both conventions, the program's 2 pi apart
          recips: { '2pi': six(h, R + 12), 1: six(h, F(FIELD.recip_1)) },
          // standard uncertainties, 0 where none was given
          su: { form: six(h, F(FIELD.form_su)), direct: six(h, F(FIELD.direct_su)),
            recip: six(h, F(one ? FIELD.recip_1_su : FIELD.recip_su)),
            volume: h[F(FIELD.volume_su)],
            recipVolume: h[F(one ? FIELD.recip_volume_1_su : FIELD.recip_volume_su)] } };
      }
      return this.#made;
    }
    get volume() { return this.#more().volume; }
    get recipVolume() { return this.#more().recipVolume; }
    get metric() { return this.#more().metric; }
    get recips() { return this.#more().recips; }
    get su() { return this.#more().su; }
    get report() {
      if (this.#report === null) {
        this.#again();
        const n = api.dorvex_report(base + RESULT, base + REPORT, REPORT_MAX + 1);
        this.#report = decoder.decode(new Uint8Array(api.memory.buffer, base + REPORT, n));
      }
      return this.#report;
    }
    get texts() {
      if (this.#texts === null) {
        // bit k: value k is a NaN whose sign bit is set (the struct's
        // first 18 doubles, read as bytes)
        const values = [...this.form, ...this.direct, ...this.recip];
        let negative = 0;
        if (values.some(Number.isNaN)) {
          this.#again();
          const top = new Uint8Array(api.memory.buffer, base + RESULT, 8 * 18);
          for (let k = 0; k < 18; ++k)
            if (Number.isNaN(values[k]) && top[8 * k + 7] & 0x80) negative |= 1 << k;
        }
        const texts = (list, at) => list.map((x, k) => text(x, negative >> (at + k) & 1));
        this.#texts = { form: texts(this.form, 0), direct: texts(this.direct, 6),
          recip: texts(this.recip, 12) };
      }
      return this.#texts;
    }
    toJSON() {
      const { form, direct, recip, domainErrors, report, volume, recipVolume,
        metric, convention, recips, su } = this;
      return { form, direct, recip, domainErrors, report, volume, recipVolume,
        metric, convention, recips, su };
    }
  }

  // the six s.u. of an options object, as a Float64Array; null when none
  function suOf(options) {
    const su = options === undefined || options === null ? undefined : options.su;
    if (su === undefined || su === null) return null;
    const given = new Float64Array(6);
    putSix(given, 0, su, 'su');
    if (!given.every((x) => x >= 0 && Number.isFinite(x)))
      throw new RangeError('su must be six standard uncertainties of 0 or more');
    return given;
  }

  // One conversion: mode 1 a metric form A..F, 2 a direct cell, 3 a
  // reciprocal cell (angles in degrees) in the convention of options.
  function convert(mode, values, options) {
    checkMode(mode);
    const convention = conventionOf(options);
    const given = new Array(6);  // (an array is made faster than a view)
    putSix(given, 0, values, 'values');
    const su = suOf(options);
    return new Conversion(mode, convention, given, su,
      run(mode, convention, given, su, convention === 1 ? WHOLE : THREE));
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
    // the bits as read, copied (a typed array's set keeps a NaN's sign)
    const h = doubles();
    const given = h.slice(base / 8, base / 8 + 6), su = h.slice(SU / 8, SU / 8 + 6);
    return new Conversion(mode, convention, given, su,
      run(mode, convention, given, su, convention === 1 ? WHOLE : THREE));
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
    WHY, scratch, at, size, place, room, cString, decoder, again, Conversion });
  return { convert, convertTexts, convertMany, readNumber, version, ...more };
}
