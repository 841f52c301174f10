// The console dialogue in the page. The program is synchronous and a run
// costs microseconds, so each answer reruns it from the start over every
// line typed so far, under a small WASI layer that plays the terminal:
// descriptors 0, 1 and 2 are a console (so standard output is unbuffered),
// a read takes one typed line, and a read past the last line typed stops
// the run until the next one (or, after "End input", is the end of input).
'use strict';
(() => {

const screen = document.getElementById('screen');
const answer = document.getElementById('answer');
const status = document.getElementById('status');
const module = new WebAssembly.Module(
  Uint8Array.from(atob(DORVEX_WASM_BASE64), (c) => c.charCodeAt(0)));

let typed = [];     // the lines sent, each with its "\n"
let ended = false;  // "End input" or Ctrl-D: the next read finds the end

class NeedInput {}
class Exit {
  constructor(code) { this.code = code; }
}

// One run from the start: what it showed (program output and the echo of
// each line as it was read) and its exit status, or null if it waits.
function run() {
  const shown = [];  // [kind, text]: 'out' for the program, 'echo' for typing
  const decoder = new TextDecoder();
  let next = 0, pending = null, memory;
  const bytes = () => new Uint8Array(memory.buffer);
  const view = () => new DataView(memory.buffer);
  const iovecs = (iovs, n) => {
    const v = view(), out = [];
    for (let i = 0; i < n; ++i)
      out.push([v.getUint32(iovs + 8 * i, true), v.getUint32(iovs + 8 * i + 4, true)]);
    return out;
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
    fd_seek() { return 70; },       // ESPIPE
    fd_filestat_get() { return 52; },  // ENOSYS: asked only after a failed read
    poll_oneoff() { return 52; },   // ENOSYS: nothing here blocks
    proc_exit(code) { throw new Exit(code); },
    fd_write(fd, iovs, n, written) {
      let total = 0;
      for (const [p, len] of iovecs(iovs, n)) {
        shown.push(['out', decoder.decode(bytes().slice(p, p + len))]);
        total += len;
      }
      view().setUint32(written, total, true);
      return 0;
    },
    fd_read(fd, iovs, n, got) {
      if (pending === null) {  // a terminal hands over one line a read
        if (next === typed.length) {
          if (!ended) throw new NeedInput();
          view().setUint32(got, 0, true);
          return 0;
        }
        const line = typed[next++];
        shown.push(['echo', line]);
        pending = new TextEncoder().encode(line);
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
    return { shown, code: 0 };
  } catch (e) {
    if (e instanceof Exit) return { shown, code: e.code };
    if (e instanceof NeedInput) return { shown, code: null };
    throw e;
  }
}

function show() {
  const { shown, code } = run();
  screen.textContent = '';
  for (const [kind, text] of shown) {
    if (kind === 'out') {
      screen.append(text);
    } else {
      const span = document.createElement('span');
      span.className = 'echo';
      span.textContent = text;
      screen.append(span);
    }
  }
  const done = code !== null;
  answer.disabled = done;
  document.getElementById('enter').disabled = done;
  document.getElementById('end').disabled = done;
  status.textContent = done ? `dorvex ended with status ${code}` +
    (code === 1 ? ': the input ended before an answer was accepted.' : '.') : '';
  if (!done) answer.focus();
}

function send(line) {
  typed.push(line + '\n');
  answer.value = '';
  show();
}

function end() {
  if (answer.value) typed.push(answer.value);  // as Ctrl-D after some text
  answer.value = '';
  ended = true;
  show();
}

document.getElementById('line').addEventListener('submit', (e) => {
  e.preventDefault();
  send(answer.value);
});
answer.addEventListener('keydown', (e) => {
  if (e.ctrlKey && (e.key === 'd' || e.key === 'D')) {
    e.preventDefault();
    end();
  }
});
document.getElementById('end').addEventListener('click', end);
document.getElementById('again').addEventListener('click', () => {
  typed = [];
  ended = false;
  show();
});
document.getElementById('copy').addEventListener('click', () => {
  // the report, or all the program wrote if there is none yet
  const text = [...screen.childNodes]
    .filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.data).join('');
  const at = text.lastIndexOf('ABCDEF = ');
  navigator.clipboard.writeText(at < 0 ? text : text.slice(at))
    .then(() => { status.textContent = 'Report copied.'; },
          () => { status.textContent = 'The browser did not allow copying.'; });
});

show();
window.dorvexReadyAt = performance.now();
})();
