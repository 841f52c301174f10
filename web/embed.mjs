// Makes the page and the npm package's API module from the sources: the
// page is one file, index.html, with its style, its scripts and the
// program (as base64) inside, so that it works from file:// (where a
// browser will not fetch a .wasm file), can be saved or mailed as it is,
// and loads with no further request; index.mjs wraps the same
// dorvex-api.js as the page runs.
//   node web/embed.mjs PROGRAM.wasm WEB-DIR NPM-DIR
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [program, web, npm] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const source = (f) => readFileSync(join(here, f), 'utf8').trimEnd();
const files = {
  'dorvex.css': source('dorvex.css'),
  'dorvex-wasm.js': '// The dorvex program (WebAssembly), made by web/embed.mjs.\n' +
    `var DORVEX_WASM_BASE64 = "${readFileSync(program).toString('base64')}";`,
  'dorvex-api.js': source('dorvex-api.js'),
  'dorvex-api-more.js': source('dorvex-api-more.js'),
  'words.js': source('words.js'),
  'terminal.js': source('terminal.js'),
  'picture.js': source('picture.js'),
  'form.js': source('form.js'),
  'console.js': source('console.js'),
  'reflections.js': source('reflections.js'),
  'dorvex-page.js': source('dorvex-page.js'),
};
// The page carries its scripts and style without comments, blank lines or
// indentation: no string or template of ours spans a line, so a line's
// leading blanks and a line that is a comment are never content.
const compact = (text, css) => (css ? text.replace(/\/\*[^]*?\*\//g, '') : text)
  .split('\n').map((line) => line.trimStart())
  .filter((line) => line !== '' && !line.startsWith('//')).join('\n');
let page = source('index.html');
for (const [name, full] of Object.entries(files)) {
  const css = name.endsWith('.css');
  const text = compact(full, css);
  const tag = css ? `<link rel="stylesheet" href="${name}">` : `<script src="${name}"></script>`;
  if (!page.includes(tag) || /<\/(script|style)/i.test(text))
    throw new Error(`cannot put ${name} inside index.html`);
  page = page.replace(tag, () => css ? `<style>\n${text}\n</style>` : `<script>\n${text}\n</script>`);
}
mkdirSync(web, { recursive: true });
writeFileSync(join(web, 'index.html'), page + '\n');

const marker = /^\/\/ @dorvex-api\.js@.*$/m;
const index = readFileSync(join(here, '../packaging/npm/index.mjs'), 'utf8');
if (!marker.test(index)) throw new Error('index.mjs has no place for the API');
mkdirSync(npm, { recursive: true });
writeFileSync(join(npm, 'index.mjs'), index.replace(marker,
  () => `${files['dorvex-api.js']}\n\n${files['dorvex-api-more.js']}`));
