// The page: a form that converts as you type, through the program's own
// conversion, number reading and report (dorvex-api.js, form.js); a
// picture of the cell (picture.js); its reflections (reflections.js); and
// the program's console dialogue, byte for byte (terminal.js, console.js).
// Here: what they share, the tabs, the address, and the start.
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
const exports = new WebAssembly.Instance(module, stubs).exports;
const api = dorvexApi(exports);

function copy(text, what, status) {
  navigator.clipboard.writeText(text).then(
    () => { status.textContent = `${what} copied.`; },
    () => { status.textContent = 'The browser did not allow copying.'; });
}

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
let form = null;
// The state lives in the address: a link gives the same view and values.
// Written once typing pauses (history.replaceState costs more than the
// conversion a keystroke makes), or at once when the page is left.
let writing = 0;
function remember() {
  clearTimeout(writing);
  writing = setTimeout(rememberNow, 250);
}
window.addEventListener('pagehide', () => rememberNow());
function rememberNow() {
  clearTimeout(writing);
  const p = new URLSearchParams();
  p.set('view', $('tab-console').getAttribute('aria-selected') === 'true' ? 'console' : 'form');
  p.set('mode', String(form.mode));
  if (form.convention === '1') p.set('convention', '1');
  for (const i of form.inputs) p.append('v', i.value);
  history.replaceState(null, '', '#' + p.toString());
}

const page = { $, api, program, copy, overflows, remember,
  words: dorvexWords(api, exports.dorvex_terminal_line_max()),
  draw: dorvexPicture($('picture')), run: dorvexTerminal(module) };
page.current = () => form.conversion;
const reflections = dorvexReflections(page);
page.converted = reflections.soon;
form = dorvexForm(page);
const dialogue = dorvexConsole(page);

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

function recall() {
  const p = new URLSearchParams(location.hash.slice(1));
  const m = Number(p.get('mode'));
  const v = p.getAll('v');
  form.set(m === 1 || m === 3 ? m : 2, v.length === 6 ? v : ['5', '6', '7', '80', '85', '95'],
    p.get('convention'));
  show(p.get('view') === 'console' ? tabs[1] : tabs[0], false);
}

recall();
form.update();
dialogue.restart();
// a link followed in the page's own tab
window.addEventListener('hashchange', () => {
  recall();
  form.update();
});
window.dorvexReadyAt = performance.now();
})();
