// What the page says in words, and its CSV and JSON: names and units of
// the values, why a text is not one number, why the console refused a
// line, a domain error in plain words. No DOM: the tests run it in Node.
// api: dorvexApi's; lineMax: how many bytes of a line a terminal keeps.
// eslint-disable-next-line no-unused-vars
function dorvexWords(api, lineMax) {
  'use strict';
  const encoder = new TextEncoder();
  const modes = {
    1: { given: 'metric form', names: ['A', 'B', 'C', 'D', 'E', 'F'],
      units: ['Å⁻²', 'Å⁻²', 'Å⁻²', 'Å⁻²', 'Å⁻²', 'Å⁻²'], legend: 'The metric form' },
    2: { given: 'direct cell', names: ['a', 'b', 'c', 'α', 'β', 'γ'],
      units: ['Å', 'Å', 'Å', '°', '°', '°'], legend: 'The direct cell' },
    3: { given: 'reciprocal cell', names: ['a*', 'b*', 'c*', 'α*', 'β*', 'γ*'],
      units: ['Å⁻¹', 'Å⁻¹', 'Å⁻¹', '°', '°', '°'], legend: 'The reciprocal cell (2π)' },
  };
  const asciiNames = {
    form: ['A', 'B', 'C', 'D', 'E', 'F'],
    direct: ['a', 'b', 'c', 'alpha', 'beta', 'gamma'],
    recip: ['a*', 'b*', 'c*', 'alpha*', 'beta*', 'gamma*'],
  };
  const described = { form: 1, direct: 2, recip: 3 };

  // Why what follows a number (rest) keeps text from being one number.
  function whyAfter(number, rest) {
    const r = rest.trimStart();
    if (r[0] === ',')
      return 'A comma ends the number before it: write the decimal point as ' +
        `“.”, and give each number its own place (${number}).`;
    if (r[0] === '(')
      return 'An uncertainty in parentheses is no part of a number: type ' +
        `${number} for ${number}${r.slice(0, r.indexOf(')') + 1)}.`;
    if (r[0] === '°') return `The degree sign is not typed: type ${number}.`;
    if (/^[xX]/.test(r) && /^[+-]?0$/.test(number))
      return `Hexadecimal is not read: ${number}${r} is ${number}, then “${r}”.`;
    if (/^[A-Za-zÅåµ]/.test(r))
      return `Units are not typed: type ${number} (lengths in Å, angles in degrees).`;
    return `Only “${number}” is a number; “${r}” after it is not.`;
  }

  // Why text is not one number as the program reads it; '' when it is.
  // With su (the form's fields), a number may carry its s.u., 5.6402(3).
  function whyNot(text, su) {
    const withSu = su ? api.readValue(text) : null;
    if (withSu && withSu.why) return `“${text.trim()}”: ${withSu.why}.`;
    if (withSu && text.slice(withSu.used).trim() === '') return '';
    const got = api.readNumber(text);
    if (got && text.slice(got.used).trim() === '') return '';
    if (text.trim() === '') return 'Type a number.';
    if (got) return whyAfter(text.slice(0, got.used).trim(), text.slice(got.used));
    const t = text.trim();
    if (/^[+-]?(inf|nan)/i.test(t))
      return 'Infinity and NaN are written +INF, -INF, +NAN or -NAN: with a ' +
        'sign, in capitals.';
    return `“${t}” is not a number.`;
  }

  // Why a line the console refused was refused, before the menu's answer
  // (menu) or the six numbers'.
  function whyRefused(line, menu) {
    if (encoder.encode(line).length >= lineMax)
      return 'The line is longer than a terminal keeps ' +
        `(${String(lineMax).replace(/\B(?=(\d{3})+$)/g, ',')} characters).`;
    if (menu) {
      const n = /^\s*([+-]?\d+)/.exec(line);
      if (line.trim() === '') return 'An empty line: answer 1, 2 or 3.';
      return n ? `The answer must be 1, 2 or 3, not ${n[1]}.`
        : `“${line.trim()}” is not 1, 2 or 3.`;
    }
    let at = 0, last = 0, count = 0;
    for (let got; count < 6 && (got = api.readNumber(line.slice(at))); ++count) {
      last = at;
      at += got.used;
    }
    const rest = line.slice(at);
    if (rest.trim() === '')
      return count === 0 ? 'An empty line: type six numbers on one line.'
        : `Only ${count} number${count > 1 ? 's' : ''}: all six go on one line.`;
    if (count === 0) return whyNot(line);
    return `${count} number${count === 1 ? '' : 's'}, then “${rest.trim().split(/\s/)[0]}”: ` +
      whyAfter(line.slice(last, at).trim(), rest);
  }

  // A domain error in plain words, and the value it leaves without one.
  function sayError(e, mode) {
    const given = mode === 2 ? 'direct' : 'reciprocal';
    const other = mode === 2 ? 'recip' : 'direct';
    if (e.step === 'form_to_recip') {
      const c = 'ABC'[e.call], len = ['a*', 'b*', 'c*'][e.call];
      return { at: ['recip', e.call], text: `${c} is negative: its square ` +
        `root, and so ${len} = 2π√${c}, does not exist.` };
    }
    if (e.step === 'recipconv' && e.call === 0)
      return { at: [other, 0], text: `No cell has these ${given} angles: the ` +
        'squared volume of their cell with unit edges, 1 + 2 cos α cos β cos γ ' +
        '− cos²α − cos²β − cos²γ, is negative, so the lengths of the ' +
        `${other === 'recip' ? 'reciprocal' : 'direct'} cell do not exist.` };
    if (e.step === 'recipconv') {
      const angle = ['α', 'β', 'γ'][e.call - 1] + (mode === 2 ? '' : '*');
      return { at: [mode === 2 ? 'direct' : 'recip', 2 + e.call], text: `The ` +
        `cosine of ${angle} lies beyond ±1: its sine does not exist.` };
    }
    const which = ['α', 'α*', 'β', 'β*', 'γ', 'γ*'][e.call];
    return { at: [e.call % 2 ? 'recip' : 'direct', 3 + (e.call >> 1)],
      text: `${which} does not exist: its cosine lies outside [−1, 1], or is NaN.` };
  }

  // One row a value: quantity, its shortest text, its unit, and its s.u.
  // when any value has one.
  function csv(c) {
    const su = c.su && [...c.su.form, ...c.su.direct, ...c.su.recip].some((x) => x > 0);
    const rows = [['quantity', 'value', 'unit', ...(su ? ['su'] : [])]];
    for (const what of ['form', 'direct', 'recip'])
      c.texts[what].forEach((t, k) => rows.push([asciiNames[what][k], t,
        modes[described[what]].units[k], ...(su ? [String(c.su[what][k])] : [])]));
    return rows.map((r) => r.join(',')).join('\n') + '\n';
  }

  // Numbers as JSON numbers; what JSON has no number for (NaN, the
  // infinities, -0) as the program's text.
  function json(c) {
    const numbers = (what) => Object.fromEntries(c[what].map((x, k) =>
      [asciiNames[what][k], Number.isFinite(x) && !Object.is(x, -0) ? x : c.texts[what][k]]));
    return JSON.stringify({ mode: c.mode, given: c.given, form: numbers('form'),
      direct: numbers('direct'), recip: numbers('recip'), convention: c.convention,
      volume: c.volume, recipVolume: c.recipVolume, su: c.su,
      domainErrors: c.domainErrors, report: c.report }, null, 2) + '\n';
  }

  return { modes, described, whyNot, whyRefused, sayError, csv, json };
}
