// The console: the program's dialogue, byte for byte, with the answers
// echoed between. Each answer runs the program again from the start over
// the lines typed so far (the program is synchronous, and a browser cannot
// wait inside it); a refused line changes nothing but a "? ", so a run is
// given only the lines that moved the dialogue on, and an answer costs the
// same after 5,000 refusals as after none.
// page: what the page shares ($, run, words, program, copy, overflows).
// eslint-disable-next-line no-unused-vars
function dorvexConsole(page) {
  'use strict';
  const { $, run, words } = page;
  const screen = $('screen'), answer = $('answer'), status = $('status');
  let accepted = [];  // the lines that moved the dialogue on, each with "\n"
  let settled = '';   // what a run given just those lines writes
  let shown = 0;      // entries of the screen's record already on the screen
  let record = [];    // [kind, text]: 'out' for the program, 'echo' for typing
  let code = null;    // the exit status, once the program ended

  // What the record holds beyond what the screen shows, appended: an
  // answer costs the same however long the screen has grown. The screen
  // is cut into blocks of lines, each laid out apart: a browser lays out a
  // block's lines all again when one is added, so one growing block would
  // make each answer slower than the last.
  let block = null, inBlock = 0;
  function paint() {
    for (; shown < record.length; ++shown) {
      const [kind, text] = record[shown];
      if (block === null) {
        block = document.createElement('span');
        block.className = 'block';
        screen.append(block);
      }
      page.program(block, text, kind);
      // a new block only where a line ends
      if (++inBlock >= 64 && text.endsWith('\n')) {
        block = null;
        inBlock = 0;
      }
      if (kind === 'out' && text.includes('ABCDEF = ')) $('copy').disabled = false;
    }
    const done = code !== null;
    answer.disabled = done;
    $('enter').disabled = done;
    $('end').disabled = done;
    status.textContent = done ? `The program has ended (exit status ${code}): ` +
      (code === 0 ? 'its report is above.'
        : code === 1 ? 'the input ended before an answer was accepted.'
          : 'it could not read or write.') : '';
    page.overflows();
  }

  function restart() {
    accepted = [];
    record = [];
    shown = 0;
    code = null;
    screen.textContent = '';
    block = null;
    inBlock = 0;
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
      $('why').textContent = 'Refused: ' +
        words.whyRefused(line.slice(0, -1), accepted.length === 0);
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
    if (at >= 0) page.copy(text.slice(at), 'Report', status);
  });

  return { restart };
}
