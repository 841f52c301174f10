// The dorvex API's second half, over the memory and layout dorvexApi has
// set up (m): the reflections of a conversion, numbers with their standard
// uncertainties, and the X-ray lines. A plain script, beside dorvex-api.js.
// eslint-disable-next-line no-unused-vars
function dorvexApiMore(api, m) {
  'use strict';
  const { base, RESULT, RESULT_SIZE, FIELD, TEXT, WHY, scratch, at, size,
    place, room, cString, decoder, again, Conversion } = m;
  const REFLECTION = size('dorvex_reflection');
  const [REFLECTION_H, REFLECTION_K, REFLECTION_L, REFLECTION_D, REFLECTION_D_SU,
    REFLECTION_2T_SU] = ['h', 'k', 'l', 'd', 'd_su', 'two_theta_su']
    .map((f) => at(`dorvex_reflection.${f}`));
  const REFLECTION_2T = at('dorvex_reflection.two_theta');

  // The characteristic X-ray lines: name -> wavelength in Å.
  const xrayLines = {};
  for (let i = 0, name; (name = api.dorvex_xray_line(i, scratch)) !== 0; ++i)
    xrayLines[cString(name)] = new Float64Array(api.memory.buffer, scratch, 1)[0];

  const statusSays = { [-6]: 'dMin must be above 0, and a wavelength too',
    [-7]: 'no such cell: its values are NaN',
    [-5]: 'dMin is too small for this cell: more than 50 million indices to search' };

  // Every reflection of a conversion with d >= dMin (Å), (0 0 0) left out
  // and one of each Friedel pair, by d descending: { h, k, l, d, twoTheta },
  // twoTheta in degrees for the wavelength (Å, or a name of xrayLines),
  // null where it cannot reach or none was given.
  function reflections(conversion, dMin, wavelength) {
    if (!(conversion instanceof Conversion))
      throw new TypeError('reflections takes a conversion that convert made');
    let lambda = NaN;
    if (typeof wavelength === 'string') {
      if (!(wavelength in xrayLines))
        throw new RangeError(`no X-ray line "${wavelength}"; the lines are ` +
          Object.keys(xrayLines).join(', '));
      lambda = xrayLines[wavelength];
    } else if (wavelength !== undefined && wavelength !== null) {
      lambda = Number(wavelength);
    }
    const d = Number(dMin);
    // the struct as the conversion made it: its cell, its metric, and what
    // was given, with its s.u.
    again(conversion);
    const n = api.dorvex_reflections(base + RESULT, d, lambda, 0, 0);
    if (n < 0) throw new RangeError(statusSays[n] ?? `status ${n}`);
    room(n * REFLECTION);
    api.dorvex_reflections(base + RESULT, d, lambda, base + TEXT, n);
    const bytes = new DataView(api.memory.buffer, base + TEXT, n * REFLECTION);
    const list = new Array(n);
    for (let i = 0; i < n; ++i) {
      const o = i * REFLECTION, t = bytes.getFloat64(o + REFLECTION_2T, true);
      list[i] = { h: bytes.getInt32(o + REFLECTION_H, true),
        k: bytes.getInt32(o + REFLECTION_K, true), l: bytes.getInt32(o + REFLECTION_L, true),
        d: bytes.getFloat64(o + REFLECTION_D, true),
        twoTheta: Number.isNaN(t) ? null : t,
        dSu: bytes.getFloat64(o + REFLECTION_D_SU, true),
        twoThetaSu: Number.isNaN(t) ? null : bytes.getFloat64(o + REFLECTION_2T_SU, true) };
    }
    return list;
  }

  // A number with its s.u. as CIF writes it: { value, su, used }; { why }
  // for a malformed s.u.; null when no number stands there.
  function readValue(text) {
    const bytes = place(text);
    const used = api.dorvex_read_value(base + TEXT, base, base + 8, WHY) >>> 0;
    if (used === 0) {
      const why = new Uint32Array(api.memory.buffer, WHY, 1)[0];
      return why ? { why: cString(why) } : null;
    }
    const [value, su] = new Float64Array(api.memory.buffer, base, 2);
    return { value, su, used: decoder.decode(bytes.subarray(0, used)).length };
  }

  // value(su) as crystallographers write it: "179.425(17)"; "" when there
  // is no s.u. to show.
  function formatSu(value, su) {
    const n = api.dorvex_format_su(Number(value), Number(su), base + TEXT, 80);
    return decoder.decode(new Uint8Array(api.memory.buffer, base + TEXT, Math.max(n, 0)));
  }

  return { reflections, readValue, formatSu, xrayLines };
}
