// The page in headless Chromium, loaded from disk, in both views.
// - The console: the worked example and golden records typed answer by
//   answer, a retry with its reason beside the console, two lines pasted
//   at once, the end of input by the button and by Ctrl-D. What the page
//   shows of the program (everything but the echo of what was typed) must
//   equal the golden bytes.
// - The form: the worked example and the same golden records entered in
//   its fields must show the record's report byte for byte; a cell that
//   is no cell says so in plain words; CSV and JSON copies; a link gives
//   the same view and values.
// - At 375x740, 1280x800 and 200% zoom, in both views: no content clipped
//   by a hidden overflow, no page wider than the window, every value of
//   the report on screen, axe-core's WCAG 2.1 AA rules without a
//   violation; a screenshot of each into OUT-DIR.
// - Timings, reported, not asserted: ready after navigation; real keys
//   to the next frame as the browser's Event Timing measures them (what
//   INP measures: from the key's timestamp to the next paint after its
//   handlers), in the form and in the console after 5,000 refused answers.
// With NPM-DIR, the npm package's convert, imported in the browser as an
// ES module with no bundler (served over HTTP, as modules must be), gives
// the report too. REQUESTS is transcripts --requests's output.
//   node tests/web_test.mjs WEB-DIR GOLDEN-FILE OUT-DIR [NPM-DIR [REQUESTS]]
// Needs puppeteer-core and axe-core (npm ci --prefix tests/web) and
// /usr/bin/chromium.
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const [web, goldenFile, out, npm, requestsFile] =
  process.argv.slice(2).map((p) => resolve(p));
mkdirSync(out, { recursive: true });
const require = createRequire(new URL('web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

// Golden records whose answers can be typed (printable lines, no report on
// standard error, whose place a console changes) and that end in a report.
function typeable(file) {
  const unescape = (s) => s.replace(/\\(x[0-9a-f]{2}|.)/g, (_, c) =>
    c === 'n' ? '\n' : c === 'r' ? '\r' : c === 't' ? '\t' : c[0] === 'x' && c.length === 3
      ? String.fromCharCode(parseInt(c.slice(1), 16)) : c);
  const records = [];
  for (const block of file.split(/^@@ /m).slice(1)) {
    const lines = block.split('\n');
    const input = unescape(lines.find((l) => l.startsWith('< ')).slice(2));
    const output = lines.filter((l) => l.startsWith('> '))
      .map((l) => unescape(l.slice(2).replace(/\\c$/, ''))).join('');
    const status = lines.find((l) => l.startsWith('= '));
    if (status !== '= 0' || output.includes('DOMAIN') ||
        !/^[\x20-\x7e\n]*$/.test(input) || !input.endsWith('\n')) continue;
    const answers = input.slice(0, -1).split('\n');
    if (answers.some((a) => a.length > 200)) continue;
    records.push({ name: lines[0], answers, output });
  }
  return records;
}

// Each record's accepted request: name -> { mode, texts, report }, each
// value as a text the program reads back to the same double (a NaN's sign
// from its bits: a JavaScript array does not keep it).
function requests(file) {
  const bits = new DataView(new ArrayBuffer(8));
  const typed = (hex) => {
    bits.setBigUint64(0, BigInt('0x' + hex));
    const x = bits.getFloat64(0);
    if (Number.isNaN(x)) return hex[0] >= '8' ? '-NAN' : '+NAN';
    if (!Number.isFinite(x)) return x > 0 ? '+INF' : '-INF';
    return Object.is(x, -0) ? '-0' : String(x);
  };
  const all = new Map();
  for (const line of readFileSync(file, 'ascii').split('\n').filter(Boolean)) {
    const [name, mode, hex, , report] = line.split('\t');
    all.set(name, { mode: Number(mode), texts: hex.split(' ').map(typed),
      report: report.replace(/\\(.)/g, (_, c) => (c === 'n' ? '\n' : c)) });
  }
  return all;
}

let passed = 0, failed = 0;
function check(what, ok, detail = '') {
  if (ok) ++passed;
  else { ++failed; console.log(`FAILED: ${what}\n${detail}`); }
}

const profile = mkdtempSync(join(tmpdir(), 'dorvex-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  userDataDir: profile,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
    '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  page.on('pageerror', (e) => check('no error in the page', false, e.message));
  await page.setViewport({ width: 900, height: 700 });
  const url = 'file://' + join(web, 'index.html');
  await browser.defaultBrowserContext().overridePermissions(url,
    ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  // Ready: the form converted, the console's menu shown and its answer box
  // enabled, in ms from the start of navigation; the first load in a
  // running browser, then three more.
  const loads = [];
  // a running browser: a tab open, and the start-up's own work done
  await page.goto('about:blank');
  await new Promise((done) => setTimeout(done, 1500));
  for (let i = 0; i < 4; ++i) {
    await page.goto(url);
    loads.push(await page.evaluate(() => window.dorvexReadyAt));
  }
  console.log(`ready after ${loads.map((t) => t.toFixed(1)).join(', ')} ms ` +
    '(the first load in a running browser, then three more)');

  const worked = readFileSync(new URL('worked_example.txt', import.meta.url), 'utf8');
  const workedReport = worked.slice(worked.indexOf('ABCDEF = '));
  const menu = 'How do you want to start?  Enter 1 for ABCDEF; 2 for real lattice;\n' +
    '3 for recip. lattice: ';

  // Real keys pressed one at a time into the focused element of tab, each
  // from its timestamp to the next paint after its handlers, as Event
  // Timing gives it; the browser reports only those of 16 ms or more (to
  // 8 ms), so the others count as under 16. The median, and the median of
  // the time in the page's handlers (processingStart to processingEnd of
  // the key's events, summed).
  const keyToFrame = async (tab, keys) => {
    await tab.evaluate(() => {
      const slow = window.dorvexSlowKeys = new Map();
      window.dorvexKeyObserver = new PerformanceObserver((list) => {
        for (const e of list.getEntries()) {
          if (!e.interactionId || !e.name.startsWith('key')) continue;
          const k = slow.get(e.interactionId) ?? { d: 0, handlers: 0 };
          k.d = Math.max(k.d, e.duration);
          k.handlers += e.processingEnd - e.processingStart;
          slow.set(e.interactionId, k);
        }
      });
      window.dorvexKeyObserver.observe({ type: 'event', durationThreshold: 16 });
    });
    for (const key of keys) {
      await tab.keyboard.press(key);
      await tab.evaluate(() => new Promise((done) =>
        requestAnimationFrame(() => setTimeout(done, 0))));
    }
    await new Promise((done) => setTimeout(done, 300));
    const slow = await tab.evaluate(() => {
      window.dorvexKeyObserver.disconnect();
      return [...window.dorvexSlowKeys.values()];
    });
    const median = (list) => [...list, ...Array(keys.length - list.length).fill(0)]
      .sort((a, b) => a - b)[Math.floor(keys.length / 2)];
    const d = median(slow.map((k) => k.d));
    return `median ${d < 16 ? 'under 16' : d} ms over ${keys.length} keys ` +
      `(${slow.length} at 16 ms or more), ${median(slow.map((k) => k.handlers)).toFixed(1)} ms ` +
      'of it in the page\'s handlers';
  };
  // the same for an empty text box on an empty page: the browser's own
  const blank = await browser.newPage();
  await blank.setContent('<input id="i" aria-label="i">');
  await blank.focus('#i');
  console.log(`a key to the next frame, an empty text box on an empty page: ${
    await keyToFrame(blank, [...'.123456789', ...Array(10).fill('Backspace')])}`);
  await blank.close();

  // ---------------------------------------------------------- the console
  await page.click('#tab-console');
  const shown = () => page.evaluate(() => [...document.querySelectorAll('#screen .out')]
    .map((e) => e.textContent).join(''));
  const statusText = () => page.$eval('#status', (e) => e.textContent);
  const why = () => page.$eval('#why', (e) => e.textContent);
  const restart = () => page.click('#again');
  const type = async (answers) => {
    for (const a of answers) {
      await page.type('#answer', a);
      await page.keyboard.press('Enter');
    }
  };

  await restart();
  await type(['2', '5 6 7 80 85 95']);
  check('worked example', await shown() === worked, await shown());
  check('worked example: status 0', (await statusText()).includes('status 0'));
  await page.click('#copy');
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check('copy report', copied === workedReport, copied);

  const records = typeable(readFileSync(goldenFile, 'utf8')).slice(0, 24);
  check('at least 20 golden records to type', records.length >= 20);
  for (const r of records) {
    await restart();
    await type(r.answers);
    const got = await shown();
    check(`golden record "${r.name}"`, got === r.output, `--- want\n${r.output}--- got\n${got}`);
  }

  await restart();
  check('no report yet: nothing to copy', await page.$eval('#copy', (b) => b.disabled));
  await type(['x']);
  check('a refused answer gets "? " and waits', await shown() === menu + '? ' &&
    await statusText() === '');
  check('the reason beside the console', (await why()).includes('not 1, 2 or 3'), await why());
  await type(['2', '5,6,7,80,85,95']);
  check('a comma: "? " and the reason', (await shown()).endsWith('? ') &&
    (await why()).includes('comma'), await why());
  await type(['5 6 7 80 85 95']);
  check('then the report', await shown() === menu + '? ' + worked.slice(menu.length, -workedReport.length) +
    '? ' + workedReport, await shown());

  // two lines pasted at once, as at a terminal
  await restart();
  await page.focus('#answer');
  await page.evaluate(() => {
    const data = new DataTransfer();
    data.setData('text/plain', '2\n5 6 7 80 85 95\n');
    document.getElementById('answer').dispatchEvent(
      new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
  });
  check('two lines pasted: the report', await shown() === worked, await shown());

  await restart();
  await type(['2']);
  await page.click('#end');
  check('End input: status 1', await shown() === menu + 'Enter a b c alpha beta gamma:\n' &&
    (await statusText()).includes('status 1'), await statusText());
  await restart();
  await page.focus('#answer');
  await page.keyboard.down('Control');
  await page.keyboard.press('d');
  await page.keyboard.up('Control');
  // a console's last line is ended when the input ends
  check('Ctrl-D: status 1', await shown() === menu + '\n' &&
    (await statusText()).includes('status 1'), await statusText());

  // a right-to-left override typed stays inside its own echo
  check('an echo is isolated from what follows', await page.evaluate(() => {
    const e = document.createElement('span');
    e.className = 'echo';
    document.getElementById('screen').append(e);
    const isolated = getComputedStyle(e).unicodeBidi === 'isolate';
    e.remove();
    return isolated;
  }));

  // an answer after 5,000 refused ones, one frame at the most
  await restart();
  const enterAfter = await page.evaluate(() => {
    const answer = document.getElementById('answer');
    const form = document.getElementById('line');
    const enter = (text) => {
      answer.value = text;
      form.requestSubmit();
    };
    for (let i = 0; i < 5000; ++i) enter('x');
    const start = performance.now();
    enter('2');
    return performance.now() - start;
  });
  check('5,000 refusals then an answer', (await shown()).endsWith('? '.repeat(5000) +
    'Enter a b c alpha beta gamma:\n'));
  console.log(`an answer after 5,000 refused ones: ${enterAfter.toFixed(2)} ms`);
  await page.focus('#answer');
  const consoleKeys = await keyToFrame(page, Array(12).fill(['x', 'Enter']).flat());
  console.log(`a key to the next frame, the console after 5,000 refused answers: ${consoleKeys}`);

  // ---------------------------------------------------------- the form
  await page.click('#tab-form');
  const fill = (mode, texts) => page.evaluate((m, t) => {
    const radio = document.querySelector(`input[name="mode"][value="${m}"]`);
    radio.checked = true;
    radio.dispatchEvent(new Event('input', { bubbles: true }));
    t.forEach((text, k) => {
      const input = document.getElementById(`v${k}`);
      input.value = text;
      input.dispatchEvent(new Event('input', { bubbles: true }));
    });
  }, mode, texts);
  const report = () => page.$eval('#report', (e) => e.textContent);

  await fill(2, ['5', '6', '7', '80', '85', '95']);
  check('form: the worked example', await report() === workedReport, await report());
  check('form: full precision', await page.$eval('#recip0', (e) => e.textContent) ===
    '1.2683502884048223', await page.$eval('#recip0', (e) => e.textContent));
  if (requestsFile) {
    const all = requests(requestsFile);
    let n = 0;
    for (const r of records) {
      const q = all.get(r.name);
      if (!q) continue;
      await fill(q.mode, q.texts);
      ++n;
      check(`form: golden record "${r.name}"`, await report() === q.report,
        `--- want\n${q.report}--- got\n${await report()}`);
    }
    check('form: the golden records typed', n === records.length, `${n}`);
  }

  // a NaN keeps the sign typed, and -0 its sign, in the page's table
  await fill(2, ['-NAN', '-0', '7', '90', '90', '90 ']);
  const asTyped = await page.$$eval('#direct0, #direct1, #direct2', (e) => e.map((x) => x.textContent));
  check('form: -NAN and -0 shown as typed, a trailing blank taken',
    asTyped.join() === '-NAN,-0,7', asTyped.join());

  await fill(2, ['5', '5', '5', '10', '10', '170']);
  const errors = await page.$eval('#form-errors', (e) => e.textContent);
  check('form: a NaN cell says why in plain words',
    errors.includes('No cell has these direct angles') && errors.includes('α* does not exist'), errors);
  check('form: at the value it affects', await page.$eval('#recip3-trouble', (e) =>
    !e.hidden && e.textContent.includes('α* does not exist')));
  check('form: no cell drawn', (await page.$eval('#picture', (e) => e.textContent))
    .includes('No cell exists'));
  await fill(2, ['5,6', '6', '7', '80°', '85', 'inf']);
  const reasons = await page.evaluate(() => [0, 3, 5].map((k) =>
    document.getElementById(`why${k}`).textContent));
  check('form: the reasons a field is refused', reasons[0].includes('comma') &&
    reasons[1].includes('degree sign') && reasons[2].includes('+INF'), reasons.join('\n'));

  await fill(2, ['5', '6', '7', '80', '85', '95']);
  await page.click('#copy-csv');
  const csv = await page.evaluate(() => navigator.clipboard.readText());
  check('form: CSV', csv.startsWith('quantity,value,unit\nA,0.04074916250180696,') &&
    csv.includes('\nalpha*,100.52307982886806,°\n'), csv);
  await page.click('#copy-json');
  const json = JSON.parse(await page.evaluate(() => navigator.clipboard.readText()));
  check('form: JSON', json.mode === 2 && json.recip['a*'] === 1.2683502884048223 &&
    json.report === workedReport, JSON.stringify(json));

  // the reflections of NaCl with Cu K alpha1: (1 1 1) where Bragg puts it,
  // and the CSV's empty 2 theta where the wavelength cannot reach
  await fill(2, ['5.6402', '5.6402', '5.6402', '90', '90', '90']);
  await page.evaluate(() => {
    const d = document.getElementById('d-min');
    d.value = '1';
    d.dispatchEvent(new Event('input', { bubbles: true }));
  });
  const r111 = await page.$$eval('#reflections-body tr', (rows) => rows
    .map((r) => [...r.cells].map((c) => c.textContent))
    .find(([h, k, l]) => h === '1' && k === '1' && l === '1'));
  check('reflections: NaCl (1 1 1) at 27.366 degrees', r111 &&
    Math.abs(Number(r111[4]) - 27.366) < 0.001, String(r111));
  check('reflections: counted', (await page.$eval('#reflections-count', (e) => e.textContent))
    .startsWith('369 reflections'));
  await page.evaluate(() => {
    const w = document.getElementById('wavelength');
    w.value = 'other';
    w.dispatchEvent(new Event('input', { bubbles: true }));
    const l = document.getElementById('lambda');
    l.value = '10';
    l.dispatchEvent(new Event('input', { bubbles: true }));
  });
  await page.click('#copy-reflections');
  const listed = await page.evaluate(() => navigator.clipboard.readText());
  check('reflections: CSV, no 2 theta past the wavelength', listed.startsWith('h,k,l,d,two_theta\n') &&
    listed.split('\n').length === 371 && /\n1,1,1,3\.25637\d*,\n/.test(listed), listed.slice(0, 200));
  await page.evaluate(() => {
    const w = document.getElementById('wavelength');
    w.value = 'CuKa1';
    w.dispatchEvent(new Event('input', { bubbles: true }));
    const d = document.getElementById('d-min');
    d.value = '1.5';
    d.dispatchEvent(new Event('input', { bubbles: true }));
  });

  // values with their s.u., and what they give, as crystallographers write it
  await fill(2, ['5.6402(3)', '5.6402(3)', '5.6402(3)', '90', '90', '90']);
  check('form: standard uncertainties', await page.$eval('#volume', (e) => e.textContent) ===
    '179.425(17)' && await page.$eval('#direct0', (e) => e.textContent) === '5.6402(3)',
  await page.$eval('#volume', (e) => e.textContent));

  // the picture's labels: inside the drawing and apart from each other,
  // for cells of every crystal system, a needle and a plate
  const cells = [
    ['NaCl', 5.6402, 5.6402, 5.6402, 90, 90, 90], ['rutile', 4.5937, 4.5937, 2.9587, 90, 90, 90],
    ['forsterite', 4.7535, 10.1943, 5.9807, 90, 90, 90],
    ['quartz', 4.9134, 4.9134, 5.4052, 90, 90, 120], ['calcite', 4.9896, 4.9896, 17.061, 90, 90, 120],
    ['gypsum', 6.284, 15.2071, 5.6521, 90, 114.09, 90],
    ['CuSO4.5H2O', 6.1224, 10.7223, 5.9681, 82.35, 107.33, 102.6],
    ['lysozyme', 27.24, 31.87, 34.23, 88.52, 108.53, 111.89],
    ['a needle', 3, 3, 40, 90, 90, 90], ['a plate', 40, 40, 3, 90, 90, 90]];
  for (const [name, ...v] of cells) {
    await fill(2, v.map(String));
    const trouble = await page.evaluate(() => {
      const svg = document.querySelector('#picture svg');
      if (!svg) return ['no picture'];
      const [x0, y0, w, h] = svg.getAttribute('viewBox').split(' ').map(Number);
      const boxes = [...svg.querySelectorAll('text')].map((t) => ({ name: t.textContent, b: t.getBBox() }));
      const said = [];
      for (const { name: n, b } of boxes)
        if (b.x < x0 || b.y < y0 || b.x + b.width > x0 + w || b.y + b.height > y0 + h)
          said.push(`${n} outside`);
      for (let i = 0; i < boxes.length; ++i)
        for (let j = i + 1; j < boxes.length; ++j) {
          const p = boxes[i].b, q = boxes[j].b;
          if (p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height)
            said.push(`${boxes[i].name} meets ${boxes[j].name}`);
        }
      return boxes.length === 6 ? said : [...said, `${boxes.length} labels`];
    });
    check(`picture of ${name}: every label inside and apart`, trouble.length === 0, trouble.join('; '));
  }
  await fill(2, ['1e308', '1e308', '1e308', '90', '90', '90']);
  check('picture of a cell too large to draw: said', (await page.$eval('#picture',
    (e) => e.textContent)).includes('too large or too flat'));

  // another description to start from shows the same lattice in it
  const choose = (name, value) => page.evaluate((n, v) => {
    const radio = document.querySelector(`input[name="${n}"][value="${v}"]`);
    radio.checked = true;
    radio.dispatchEvent(new Event('input', { bubbles: true }));
  }, name, value);
  const fields = () => page.evaluate(() => [0, 1, 2, 3, 4, 5].map((k) =>
    document.getElementById(`v${k}`).value));
  await fill(2, ['5.6402', '5.6402', '5.6402', '90', '90', '90']);
  await choose('mode', '1');
  const asForm = await fields();
  // (to a part in 10^7: the program's form carries its single precision)
  check('form: a new start keeps the lattice', asForm[0] === '0.03143482049794643' &&
    Math.abs(await page.$eval('#direct0', (e) => Number(e.textContent)) / 5.6402 - 1) < 1e-6 &&
    await page.$eval('#form-errors', (e) => e.textContent) === '', asForm.join());
  await choose('mode', '3');
  await choose('convention', '1');
  const asRecip = await fields();
  check('form: the other convention keeps the lattice', Math.abs(asRecip[0] - 1 / 5.6402) < 1e-6 &&
    Math.abs(await page.$eval('#direct0', (e) => Number(e.textContent)) - 5.6402) < 1e-6, asRecip.join());
  check('form: the volumes', Math.abs(await page.$eval('#volume', (e) => Number(e.textContent)) /
    179.4252304 - 1) < 1e-6);
  await choose('convention', '2pi');
  await fill(2, ['5', '6', '7', '80', '85', '95']);

  // (the address is written once typing pauses)
  await page.waitForFunction(() => {
    const p = new URLSearchParams(location.hash.slice(1));
    return p.get('mode') === '2' && p.getAll('v').join(' ') === '5 6 7 80 85 95';
  });
  const link = await page.evaluate(() => location.href);
  const keystroke = await page.evaluate(() => {
    const input = document.getElementById('v5');
    const start = performance.now();
    input.value = '96';
    input.dispatchEvent(new Event('input', { bubbles: true }));
    return performance.now() - start;
  });
  console.log(`the form's update after a keystroke: ${keystroke.toFixed(2)} ms`);
  await page.focus('#v5');
  const formKeys = await keyToFrame(page, [...'.123456789', ...Array(10).fill('Backspace')]);
  console.log(`a key to the next frame, the form: ${formKeys}`);
  await page.goto(link.replace(/v=96/, 'v=95').replace('#', '?x#'));
  check('a link gives the same values', await report() === workedReport, await report());

  // ---------------------------------------------------------- every size
  // The mode-2 report in both views, each value on screen, nothing clipped.
  const sizes = [['375x740', 375, 740, 1], ['1280x800', 1280, 800, 1],
    ['200%', 640, 400, 2]];
  for (const [name, width, height, scale] of sizes) {
    await page.setViewport({ width, height, deviceScaleFactor: scale });
    for (const view of ['form', 'console']) {
      await page.goto(`${url}#view=${view}&mode=2&v=5&v=6&v=7&v=80&v=85&v=95`);
      if (view === 'console') await type(['2', '5 6 7 80 85 95']);
      const box = view === 'form' ? '#report' : '#screen';
      const seen = await page.evaluate((sel) => {
        const problems = [];
        for (const e of document.querySelectorAll('body *')) {
          const s = getComputedStyle(e);
          if (e.scrollWidth > e.clientWidth + 1 && ['hidden', 'clip'].includes(s.overflowX))
            problems.push(`clipped: ${e.tagName}#${e.id}.${e.className}`);
        }
        if (document.documentElement.scrollWidth > window.innerWidth)
          problems.push(`page ${document.documentElement.scrollWidth} px wide`);
        const pre = document.querySelector(sel), edge = pre.getBoundingClientRect();
        const words = [...pre.querySelectorAll('.out .w')];
        let values = 0;
        for (const w of words) values += (w.textContent.match(/\d\.\d/g) || []).length;
        if (sel === '#report') {
          // the form's report keeps every row whole, scrolling sideways
          const range = document.createRange();
          range.selectNodeContents(pre);
          const lines = new Set([...range.getClientRects()].map((r) => Math.round(r.top)));
          if (lines.size !== 6) problems.push(`the report on ${lines.size} lines, not 6`);
        } else {
          // the console's every value lies inside its box, none scrolled off
          for (const w of words) {
            const r = w.getBoundingClientRect();
            if (r.left < edge.left - 1 || r.right > edge.right + 1)
              problems.push(`"${w.textContent}" outside its box`);
          }
        }
        return { problems, values };
      }, box);
      if (view === 'form') {
        // the first screen shows a result; at 200% zoom, the last field and it
        const where = await page.evaluate(() => {
          document.getElementById('v5').scrollIntoView({ block: 'center' });
          const f = document.getElementById('v5').getBoundingClientRect();
          const r = document.getElementById('summary').getBoundingClientRect();
          window.scrollTo(0, 0);
          const first = document.getElementById('summary').getBoundingClientRect();
          return { first: first.bottom, field: f.top, result: r.bottom, height: innerHeight };
        });
        check(`form at ${name}: a result on the first screen, beside its fields`,
          (name !== '375x740' || where.first <= where.height) &&
          where.field >= 0 && where.result <= where.height, JSON.stringify(where));
      }
      check(`${view} at ${name}: ${view === 'form' ? 'every row whole' : 'every value shown'}, nothing clipped`,
        seen.problems.length === 0 && seen.values >= 18, seen.problems.join('\n'));
      await page.addScriptTag({ content: axeSource });
      const axe = await page.evaluate(async () => (await window.axe.run(document, {
        runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] },
      })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`));
      check(`${view} at ${name}: axe finds no violation`, axe.length === 0, axe.join('\n'));
      await page.screenshot({ path: join(out, `web-${view}-${name.replace('%', 'pc')}.png`),
        fullPage: true });
    }
  }
  await page.setViewport({ width: 900, height: 700 });

  // ---------------------------------------------------------- the npm API
  if (npm) {
    const types = { '.mjs': 'text/javascript', '.wasm': 'application/wasm' };
    const server = createServer((req, res) => {
      const file = join(npm, new URL(req.url, 'http://x').pathname);
      try {
        if (!file.startsWith(npm + '/')) throw new Error('outside');
        const body = readFileSync(file);
        res.writeHead(200, { 'content-type':
          types[file.slice(file.lastIndexOf('.'))] ?? 'text/plain' });
        res.end(body);
      } catch {
        res.writeHead(404);
        res.end();
      }
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    const origin = `http://127.0.0.1:${server.address().port}`;
    await page.goto(`${origin}/package.json`);
    const got = await page.evaluate(async (u) =>
      (await import(u)).convert(2, [5, 6, 7, 80, 85, 95]).report,
    `${origin}/index.mjs`);
    check("the npm package's convert in Chromium", got === workedReport, got);
    server.close();
  }
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(`browser: ${passed} passed, ${failed} failed`);
process.exitCode = failed ? 1 : 0;
