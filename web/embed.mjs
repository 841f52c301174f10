// Makes the page's folder: the static files beside dorvex-wasm.js, which
// carries the program as base64 so that the page works from file:// too
// (a browser will not fetch a .wasm file there).
//   node web/embed.mjs PROGRAM.wasm OUT-DIR
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [program, out] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
mkdirSync(out, { recursive: true });
for (const f of ['index.html', 'dorvex.css', 'dorvex-page.js'])
  copyFileSync(join(here, f), join(out, f));
const base64 = readFileSync(program).toString('base64');
writeFileSync(join(out, 'dorvex-wasm.js'),
  `// The dorvex program (WebAssembly), made by web/embed.mjs.\nvar DORVEX_WASM_BASE64 = "${base64}";\n`);
