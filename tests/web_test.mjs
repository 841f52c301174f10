// The page in headless Chromium, loaded from disk: the worked example and
// golden records typed answer by answer, a retry, the end of input by the
// button and by Ctrl-D. What the page shows of the program (everything but
// the echo of what was typed) must equal the golden bytes. Also measures
// how soon the page is ready, and takes a screenshot. With NPM-DIR, the
// npm package's convert, imported in the browser as an ES module with no
// bundler (served over HTTP, as modules must be), gives the report too.
//   node tests/web_test.mjs WEB-DIR GOLDEN-FILE OUT-DIR [NPM-DIR]
// Needs puppeteer-core (npm ci --prefix tests/web) and /usr/bin/chromium.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const [web, goldenFile, out, npm] = process.argv.slice(2).map((p) => resolve(p));
const require = createRequire(new URL('web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');

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
  await page.setViewport({ width: 900, height: 700 });
  // Ready: the menu shown and the answer box enabled, in ms from the start
  // of navigation. The first load also starts the browser's own machinery;
  // the check takes the median of three loads after it.
  const url = 'file://' + join(web, 'index.html');
  const loads = [];
  for (let i = 0; i < 4; ++i) {
    await page.goto(url);
    loads.push(await page.evaluate(() => window.dorvexReadyAt));
  }
  const median = [...loads.slice(1)].sort((a, b) => a - b)[1];
  console.log(`ready after ${loads.map((t) => t.toFixed(1)).join(', ')} ms ` +
    `(first load, then three more; median ${median.toFixed(1)} ms)`);
  check('ready within 200 ms', median <= 200, `${median} ms`);

  const shown = () => page.evaluate(() => [...document.getElementById('screen').childNodes]
    .filter((n) => n.nodeType === Node.TEXT_NODE).map((n) => n.data).join(''));
  const statusText = () => page.$eval('#status', (e) => e.textContent);
  const restart = () => page.click('#again');
  const type = async (answers) => {
    for (const a of answers) {
      await page.type('#answer', a);
      await page.keyboard.press('Enter');
    }
  };

  const worked = readFileSync(new URL('worked_example.txt', import.meta.url), 'utf8');
  await restart();
  await type(['2', '5 6 7 80 85 95']);
  check('worked example', await shown() === worked, await shown());
  check('worked example: status 0', (await statusText()).includes('status 0'));
  await page.screenshot({ path: join(out, 'web.png') });
  await browser.defaultBrowserContext().overridePermissions(url,
    ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  await page.click('#copy');
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check('copy report', copied === worked.slice(worked.indexOf('ABCDEF = ')), copied);

  const records = typeable(readFileSync(goldenFile, 'utf8')).slice(0, 24);
  check('at least 20 golden records to type', records.length >= 20);
  for (const r of records) {
    await restart();
    await type(r.answers);
    const got = await shown();
    check(`golden record "${r.name}"`, got === r.output, `--- want\n${r.output}--- got\n${got}`);
  }

  const menu = 'How do you want to start?  Enter 1 for ABCDEF; 2 for real lattice;\n' +
    '3 for recip. lattice: ';
  await restart();
  await type(['x']);
  check('a refused answer gets "? " and waits', await shown() === menu + '? ' &&
    await statusText() === '');
  await type(['2', '5 6 7 80 85 95']);
  check('then the report', await shown() === menu + '? ' + worked.slice(menu.length));

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
    const report = await page.evaluate(async (url) =>
      (await import(url)).convert(2, [5, 6, 7, 80, 85, 95]).report,
    `${origin}/index.mjs`);
    check("the npm package's convert in Chromium",
      report === worked.slice(worked.indexOf('ABCDEF = ')), report);
    server.close();
  }
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(`browser: ${passed} passed, ${failed} failed`);
process.exitCode = failed ? 1 : 0;
