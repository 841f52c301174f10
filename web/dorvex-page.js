// The page: a form that converts as you type, through the program's own
// conversion, number reading and report (dorvex-api.js); a picture of the
// cell; and the program's console dialogue, byte for byte.
//
// The console runs the program itself under a small WASI layer that plays
// a terminal: descriptors 0, 1 and 2 are a console (so standard output is
// unbuffered), a read takes one typed line, and a read past the last line
// stops the run until the next one (or, after "End input", is the end of
// input). The program is synchronous and a browser cannot wait inside it,
// so each answer runs it again from the start; but a refused line changes
// nothing but a "? ", so a run is given only the lines that moved the
// dialogue on, and an answer costs the same after 5,000 refusals as after
// none.
'use strict';
(() => {

const $ = (id) => document.getElementById(id);

// Text the program wrote, appended to a box: each run of non-blanks in a
// span that does not break, so that a narrow box wraps lines only at
// blanks, never between a minus sign and its digits; the text itself is
// unchanged.
function program(box, text, kind) {
  const span = document.createElement('span');
  span.className = kind;
  for (const piece of text.split(/(\s+)/)) {
    if (!piece) continue;
    if (/\s/.test(piece)) {
      span.append(piece);
    } else {
      const word = document.createElement('span');
      word.className = 'w';
      word.textContent = piece;
      span.append(word);
    }
  }
  box.append(span);
}
// The .wasm, kept as base64 so that the page works from file://, where
// fetch cannot reach it. (A callback per character, as Uint8Array.from
// takes, cost 50 ms on a first load; a plain loop costs a few.)
function decoded(base64) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
  const text = atob(base64), bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes;
}
const module = new WebAssembly.Module(decoded(DORVEX_WASM_BASE64));
const stubs = {};
for (const { module: from, name } of WebAssembly.Module.imports(module))
  (stubs[from] ??= {})[name] = () => { throw new Error(`dorvex: ${name}`); };
const api = dorvexApi(new WebAssembly.Instance(module, stubs).exports);
const encoder = new TextEncoder(), decoder = new TextDecoder();

// ---------------------------------------------------------------- words

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
function whyNot(text) {
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
  if (encoder.encode(line).length >= 4095)
    return 'The line is longer than a terminal keeps (4,095 characters).';
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

// ---------------------------------------------------------------- the form

const form = $('cell'), fields = $('fields');
let conversion = null, mode = 2;

for (let k = 0; k < 6; ++k) {
  const field = document.createElement('div');
  field.className = 'field';
  field.innerHTML = `<label for="v${k}" id="name${k}"></label>` +
    `<input type="text" id="v${k}" inputmode="decimal" spellcheck="false" ` +
    `autocapitalize="off" aria-describedby="unit${k} why${k}">` +
    `<span class="unit" id="unit${k}"></span>` +
    `<p class="why" id="why${k}" aria-live="polite"></p>`;
  fields.append(field);
}
const inputs = [0, 1, 2, 3, 4, 5].map((k) => $(`v${k}`));

function relabel() {
  const m = modes[mode];
  $('fields-legend').textContent = m.legend;
  m.names.forEach((name, k) => {
    $(`name${k}`).textContent = name;
    $(`unit${k}`).textContent = m.units[k];
    $(`unit${k}`).setAttribute('aria-label', `in ${m.units[k]}`);
  });
}

function valuesTable(what) {
  const names = modes[described[what]].names, units = modes[described[what]].units;
  const title = { form: 'Metric form', direct: 'Direct cell', recip: 'Reciprocal cell' }[what];
  const rows = names.map((name, k) => `<tr><th scope="row">${name}</th>` +
    `<td class="value" id="${what}${k}"></td><td>${units[k]}</td></tr>` +
    `<tr class="trouble" id="${what}${k}-trouble" hidden><td colspan="3"></td></tr>`);
  return `<table><caption>${title}</caption>${rows.join('')}</table>`;
}
$('values').innerHTML = `<div class="values-group">${valuesTable('form')}` +
  `${valuesTable('direct')}${valuesTable('recip')}</div>`;

function update() {
  const texts = inputs.map((i) => i.value);
  let ok = true;
  texts.forEach((t, k) => {
    const why = whyNot(t);
    $(`why${k}`).textContent = why;
    inputs[k].setAttribute('aria-invalid', why ? 'true' : 'false');
    if (why) ok = false;
  });
  remember();
  if (!ok) {
    conversion = null;
    $('form-errors').textContent = 'The program would ask again (“? ”): ' +
      'each field needs one number.';
    for (const what of ['form', 'direct', 'recip'])
      for (let k = 0; k < 6; ++k) {
        $(`${what}${k}`).textContent = '';
        $(`${what}${k}-trouble`).hidden = true;
      }
    $('report').textContent = '';
    draw(null);
    overflows();
    return;
  }
  conversion = api.convertTexts(mode, texts);
  conversion.mode = mode;
  conversion.given = texts;
  const troubles = {};
  const said = conversion.domainErrors.map((e) => {
    const s = sayError(e, mode);
    (troubles[s.at.join()] ??= []).push(s.text);
    return s.text;
  });
  $('form-errors').textContent = said.length
    ? `${said.length} domain error${said.length > 1 ? 's' : ''}, as the ` +
      `program reports them: ${said.join(' ')}` : '';
  for (const what of ['form', 'direct', 'recip'])
    conversion.texts[what].forEach((t, k) => {
      $(`${what}${k}`).textContent = t;
      const trouble = troubles[[what, k].join()];
      $(`${what}${k}-trouble`).hidden = !trouble;
      $(`${what}${k}-trouble`).firstChild.textContent = trouble ? trouble.join(' ') : '';
    });
  $('report').textContent = '';
  program($('report'), conversion.report, 'out');
  draw(conversion);
  overflows();
}

// ---------------------------------------------------------------- the cell

const svg = (tag, attrs, text) => {
  const e = document.createElementNS('http://www.w3.org/2000/svg', tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
};

// The direct cell as a parallelepiped seen from above a corner, its edges
// a, b, c as arrows from the origin and the reciprocal axes a*, b*, c*
// dashed beside them; a sentence instead when no cell has these values.
function draw(c) {
  const box = $('picture');
  box.textContent = '';
  const d = c && c.direct;
  const rad = Math.PI / 180;
  const cos = d ? [3, 4, 5].map((k) => Math.cos(d[k] * rad)) : [];
  const w = d ? 1 + 2 * cos[0] * cos[1] * cos[2] - cos[0] ** 2 - cos[1] ** 2 - cos[2] ** 2 : NaN;
  if (!d || !d.every(Number.isFinite) || !(d[0] > 0 && d[1] > 0 && d[2] > 0) || !(w > 1e-12)) {
    const p = document.createElement('p');
    p.className = 'none';
    p.textContent = d ? 'No cell exists with these values: nothing to draw.'
      : 'No values yet: nothing to draw.';
    box.append(p);
    return;
  }
  const [a, b, cc] = d, [ca, cb, cg] = cos, sg = Math.sin(d[5] * rad);
  const A = [a, 0, 0], B = [b * cg, b * sg, 0];
  const cy = cc * (ca - cb * cg) / sg;
  const C = [cc * cb, cy, Math.sqrt(Math.max(cc * cc - (cc * cb) ** 2 - cy * cy, 0))];
  const add = (...v) => v.reduce((s, x) => s.map((y, i) => y + x[i]));
  const cross = (u, v) => [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
  const len = (u) => Math.hypot(...u);
  const az = 30 * rad, el = 20 * rad;
  const project = ([x, y, z]) => [-x * Math.sin(az) + y * Math.cos(az),
    -(z * Math.cos(el) - (x * Math.cos(az) + y * Math.sin(az)) * Math.sin(el))];
  const O = [0, 0, 0];
  const corners = [O, A, B, C, add(A, B), add(A, C), add(B, C), add(A, B, C)];
  const edges = [[0, 1], [0, 2], [0, 3], [1, 4], [1, 5], [2, 4], [2, 6], [3, 5],
    [3, 6], [4, 7], [5, 7], [6, 7]];
  const size = Math.max(...corners.map(len));
  const stars = [cross(B, C), cross(C, A), cross(A, B)];
  const longest = Math.max(...c.recip.slice(0, 3));
  const starAxes = stars.map((s, k) => s.map((x) => x / len(s) * 0.6 * size * c.recip[k] / longest));
  const points = [...corners, ...starAxes].map(project);
  const xs = points.map((p) => p[0]), ys = points.map((p) => p[1]);
  const pad = 0.12 * size;
  const x0 = Math.min(...xs) - pad, y0 = Math.min(...ys) - pad;
  const width = Math.max(...xs) - x0 + pad, height = Math.max(...ys) - y0 + pad;
  const s = svg('svg', { viewBox: `${x0} ${y0} ${width} ${height}`, role: 'img',
    'aria-labelledby': 'cell-title cell-desc' });
  const f = c.texts.direct, g = (k) => Math.round(d[k] * 100) / 100;
  s.append(svg('title', { id: 'cell-title' }, 'The direct cell and its reciprocal axes'));
  s.append(svg('desc', { id: 'cell-desc' }, `A parallelepiped with edges a = ${f[0]} Å, ` +
    `b = ${f[1]} Å and c = ${f[2]} Å, and angles α = ${g(3)}°, β = ${g(4)}° and ` +
    `γ = ${g(5)}°, drawn from one corner with a, b and c as arrows; beside them, ` +
    'dashed, the reciprocal axes a*, b* and c*, each at right angles to the two ' +
    'edges it is not named after, their lengths in proportion.'));
  const stroke = size / 150;
  const defs = svg('defs', {});
  for (const name of ['a', 'b', 'c', 'star']) {
    const m = svg('marker', { id: `arrow-${name}`, viewBox: '0 0 10 10', refX: 9,
      refY: 5, markerUnits: 'userSpaceOnUse', markerWidth: size / 22,
      markerHeight: size / 22, orient: 'auto-start-reverse' });
    m.append(svg('path', { d: 'M0 1L10 5L0 9z', fill: `var(--${name})` }));
    defs.append(m);
  }
  s.append(defs);
  const line = (p, q, attrs) => s.append(svg('line', { x1: p[0], y1: p[1], x2: q[0], y2: q[1],
    'stroke-width': stroke, ...attrs }));
  for (const [i, j] of edges)
    line(points[i], points[j], { stroke: 'var(--line)' });
  const label = (p, text, colour) => s.append(svg('text', { x: p[0], y: p[1],
    'font-size': size / 12, fill: colour, 'text-anchor': 'middle',
    'dominant-baseline': 'middle' }, text));
  const o = points[0];
  const out = (p, by) => [o[0] + (p[0] - o[0]) * by, o[1] + (p[1] - o[1]) * by];
  ['a', 'b', 'c'].forEach((name, k) => {
    line(o, points[1 + k], { stroke: `var(--${name})`, 'stroke-width': 2.5 * stroke,
      'marker-end': `url(#arrow-${name})` });
    label(out(points[1 + k], 1.12), name, `var(--${name})`);
  });
  ['a*', 'b*', 'c*'].forEach((name, k) => {
    const p = points[8 + k];
    line(o, p, { stroke: 'var(--star)', 'stroke-width': 1.5 * stroke,
      'stroke-dasharray': `${4 * stroke} ${3 * stroke}`, 'marker-end': 'url(#arrow-star)' });
    // beyond its tip, pushed off its direct axis where the two run close
    label(clear(out(p, 1.2), o, out(points[1 + k], 1.12), size / 9), name, 'var(--star)');
  });
  box.append(s);
}

// Point q moved at right angles off the segment from-to until it is gap
// away from it (a label that must not sit on a line).
function clear(q, from, to, gap) {
  const dx = to[0] - from[0], dy = to[1] - from[1], span = Math.hypot(dx, dy) || 1;
  const t = Math.max(0, Math.min(1, ((q[0] - from[0]) * dx + (q[1] - from[1]) * dy) / span ** 2));
  const nx = q[0] - from[0] - t * dx, ny = q[1] - from[1] - t * dy, far = Math.hypot(nx, ny);
  if (far >= gap) return q;
  const [ux, uy] = far > 1e-9 * span ? [nx / far, ny / far] : [-dy / span, dx / span];
  return [q[0] + ux * (gap - far), q[1] + uy * (gap - far)];
}

// ---------------------------------------------------------------- copying

function csv(c) {
  const rows = [['quantity', 'value', 'unit']];
  for (const what of ['form', 'direct', 'recip'])
    c.texts[what].forEach((t, k) => rows.push([asciiNames[what][k], t,
      modes[described[what]].units[k]]));
  return rows.map((r) => r.join(',')).join('\n') + '\n';
}

function json(c) {
  const numbers = (what) => Object.fromEntries(c[what].map((x, k) =>
    [asciiNames[what][k], Number.isFinite(x) && !Object.is(x, -0) ? x : c.texts[what][k]]));
  return JSON.stringify({ mode: c.mode, given: c.given, form: numbers('form'),
    direct: numbers('direct'), recip: numbers('recip'),
    domainErrors: c.domainErrors, report: c.report }, null, 2) + '\n';
}

function copy(text, what, status) {
  navigator.clipboard.writeText(text).then(
    () => { status.textContent = `${what} copied.`; },
    () => { status.textContent = 'The browser did not allow copying.'; });
}
$('copy-text').addEventListener('click', () => conversion
  ? copy(conversion.report, 'Report', $('form-status'))
  : ($('form-status').textContent = 'No report yet: every field needs a number.'));
$('copy-csv').addEventListener('click', () => conversion
  ? copy(csv(conversion), 'CSV', $('form-status'))
  : ($('form-status').textContent = 'No values yet: every field needs a number.'));
$('copy-json').addEventListener('click', () => conversion
  ? copy(json(conversion), 'JSON', $('form-status'))
  : ($('form-status').textContent = 'No values yet: every field needs a number.'));

// ---------------------------------------------------------------- the console

const screen = $('screen'), answer = $('answer'), status = $('status');
let accepted = [];  // the lines that moved the dialogue on, each with "\n"
let settled = '';   // what a run given just those lines writes
let shown = 0;      // entries of the screen's record already on the screen
let record = [];    // [kind, text]: 'out' for the program, 'echo' for typing
let code = null;    // the exit status, once the program ended

class NeedInput {}
class Exit {
  constructor(status) { this.status = status; }
}

// One run from the start over lines: all it wrote, and its exit status, or
// null if it waits for a further line (which, with end, is the end).
function run(lines, end) {
  let out = '', next = 0, pending = null, memory;
  const bytes = () => new Uint8Array(memory.buffer);
  const view = () => new DataView(memory.buffer);
  const iovecs = (iovs, n) => {
    const v = view(), list = [];
    for (let i = 0; i < n; ++i)
      list.push([v.getUint32(iovs + 8 * i, true), v.getUint32(iovs + 8 * i + 4, true)]);
    return list;
  };
  const wasi = {
    fd_fdstat_get(fd, at) {  // a character device with no seek: a console
      const v = view();
      v.setUint8(at, 2);
      v.setUint16(at + 2, 0, true);
      v.setBigUint64(at + 8, 0n, true);
      v.setBigUint64(at + 16, 0n, true);
      return 0;
    },
    fd_seek() { return 70; },          // ESPIPE
    fd_filestat_get() { return 52; },  // ENOSYS: asked only after a failed read
    poll_oneoff() { return 52; },      // ENOSYS: nothing here blocks
    proc_exit(status) { throw new Exit(status); },
    fd_write(fd, iovs, n, written) {
      let total = 0;
      for (const [p, len] of iovecs(iovs, n)) {
        out += decoder.decode(bytes().slice(p, p + len));
        total += len;
      }
      view().setUint32(written, total, true);
      return 0;
    },
    fd_read(fd, iovs, n, got) {
      if (pending === null) {  // a terminal hands over one line a read
        if (next === lines.length) {
          if (!end) throw new NeedInput();
          view().setUint32(got, 0, true);
          return 0;
        }
        pending = encoder.encode(lines[next++]);
      }
      let total = 0;
      for (const [p, len] of iovecs(iovs, n)) {
        const k = Math.min(len, pending.length - total);
        bytes().set(pending.subarray(total, total + k), p);
        total += k;
      }
      pending = total < pending.length ? pending.subarray(total) : null;
      view().setUint32(got, total, true);
      return 0;
    },
  };
  const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  try {
    instance.exports._start();
    return { out, status: 0 };
  } catch (e) {
    if (e instanceof Exit) return { out, status: e.status };
    if (e instanceof NeedInput) return { out, status: null };
    throw e;
  }
}

// What the record holds beyond what the screen shows, appended: an answer
// costs the same however long the screen has grown.
function paint() {
  for (; shown < record.length; ++shown) {
    const [kind, text] = record[shown];
    program(screen, text, kind);
    if (kind === 'out' && text.includes('ABCDEF = ')) $('copy').disabled = false;
  }
  const done = code !== null;
  answer.disabled = done;
  $('enter').disabled = done;
  $('end').disabled = done;
  status.textContent = done ? `dorvex ended with status ${code}` +
    (code === 1 ? ': the input ended before an answer was accepted.' : '.') : '';
  overflows();
}

function restart() {
  accepted = [];
  record = [];
  shown = 0;
  code = null;
  screen.textContent = '';
  $('why').textContent = '';
  $('copy').disabled = true;
  const first = run([], false);
  settled = first.out;
  record.push(['out', first.out]);
  code = first.status;
  paint();
}

// A line typed (line, with its "\n") or, with end, the end of input after
// what was typed of a line (line, perhaps empty).
function feed(line, end) {
  const lines = line ? [...accepted, line] : accepted;
  const got = run(lines, end);
  const fresh = got.out.slice(settled.length);
  if (line) record.push(['echo', line]);
  if (fresh) record.push(['out', fresh]);
  code = got.status;
  if (!end && code === null && fresh === '? ') {
    $('why').textContent = 'Refused: ' + whyRefused(line.slice(0, -1), accepted.length === 0);
  } else {
    $('why').textContent = '';
    accepted = lines;
    settled = got.out;
  }
  paint();
}

function send(text) {
  feed(text + '\n', false);
  answer.value = '';
  if (code === null) answer.focus();
}

function endInput() {
  const text = answer.value;
  answer.value = '';
  feed(text, true);
}

$('line').addEventListener('submit', (e) => {
  e.preventDefault();
  send(answer.value);
});
answer.addEventListener('keydown', (e) => {
  if (e.ctrlKey && (e.key === 'd' || e.key === 'D')) {
    e.preventDefault();
    endInput();
  }
});
// Several lines pasted: each complete one answered in turn, as a terminal
// would; what follows the last line break stays in the box.
answer.addEventListener('paste', (e) => {
  const text = e.clipboardData.getData('text');
  if (!/[\r\n]/.test(text)) return;
  e.preventDefault();
  const at = answer.selectionStart, to = answer.selectionEnd;
  const lines = (answer.value.slice(0, at) + text).split(/\r?\n|\r/);
  const rest = lines.pop() + answer.value.slice(to);
  for (const l of lines) if (code === null) send(l);
  answer.value = rest;
});
$('end').addEventListener('click', endInput);
$('again').addEventListener('click', restart);
$('copy').addEventListener('click', () => {
  const text = record.filter(([k]) => k === 'out').map(([, t]) => t).join('');
  const at = text.lastIndexOf('ABCDEF = ');
  if (at >= 0) copy(text.slice(at), 'Report', status);
});

// ---------------------------------------------------------------- the page

// A box of program text shows its cue when its lines are longer than it;
// measured once a frame, at the most, after the boxes change.
let measuring = false;
function overflows() {
  if (measuring) return;
  measuring = true;
  requestAnimationFrame(() => {
    measuring = false;
    for (const pre of document.querySelectorAll('.text'))
      pre.parentElement.classList.toggle('overflowing', pre.scrollWidth > pre.clientWidth + 1);
  });
}
new ResizeObserver(overflows).observe(document.body);

const tabs = [$('tab-form'), $('tab-console')];
function show(tab, focus) {
  for (const t of tabs) {
    const on = t === tab;
    t.setAttribute('aria-selected', String(on));
    t.tabIndex = on ? 0 : -1;
    $(t.getAttribute('aria-controls')).hidden = !on;
  }
  if (focus) tab.focus();
  remember();
  overflows();
}
tabs.forEach((t, i) => {
  t.addEventListener('click', () => show(t, false));
  t.addEventListener('keydown', (e) => {
    const to = { ArrowRight: i + 1, ArrowLeft: i - 1, Home: 0, End: tabs.length - 1 }[e.key];
    if (to === undefined) return;
    e.preventDefault();
    show(tabs[(to + tabs.length) % tabs.length], true);
  });
});

// The state lives in the address: a link gives the same view and values.
function remember() {
  const p = new URLSearchParams();
  p.set('view', $('tab-console').getAttribute('aria-selected') === 'true' ? 'console' : 'form');
  p.set('mode', String(mode));
  for (const i of inputs) p.append('v', i.value);
  history.replaceState(null, '', '#' + p.toString());
}

function recall() {
  const p = new URLSearchParams(location.hash.slice(1));
  const m = Number(p.get('mode'));
  mode = m === 1 || m === 3 ? m : 2;
  const v = p.getAll('v');
  const start = v.length === 6 ? v : ['5', '6', '7', '80', '85', '95'];
  inputs.forEach((input, k) => { input.value = start[k]; });
  form.querySelector(`input[name="mode"][value="${mode}"]`).checked = true;
  relabel();
  show(p.get('view') === 'console' ? tabs[1] : tabs[0], false);
}

form.addEventListener('input', (e) => {
  if (e.target.name === 'mode') {
    mode = Number(e.target.value);
    relabel();
  }
  update();
});
form.addEventListener('submit', (e) => e.preventDefault());

recall();
update();
restart();
// a link followed in the page's own tab
window.addEventListener('hashchange', () => {
  recall();
  update();
});
window.dorvexReadyAt = performance.now();
})();
