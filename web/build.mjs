// Puts the playground together in <build>/site (scripts/web.sh build runs it
// after the WebAssembly build):
//   tessel.wasm, tessel-glue.js, tessel.js, tessel.d.ts   the module, for any page
//   index.html, playground.css, playground.js, worker.js  the playground (esbuild bundles),
//   editor-*.js      its editor (CodeMirror), loaded after the first translation
//   languages.json   each language's title, page, syntax diagrams and examples (from the
//                    reference's index)
//   sw.js            the service worker that keeps all of it for offline use
//
//   node web/build.mjs BUILD_DIR
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const web = dirname(fileURLToPath(import.meta.url));
const top = resolve(web, '..');
const build = resolve(process.argv[2] ?? join(top, 'build-web'));
const site = join(build, 'site');
rmSync(site, { recursive: true, force: true });
mkdirSync(site, { recursive: true });

// The module: the wrapper as written, the loader and the wasm as built.
copyFileSync(join(build, 'web', 'tessel-glue.wasm'), join(site, 'tessel.wasm'));
copyFileSync(join(build, 'web', 'tessel-glue.js'), join(site, 'tessel-glue.js'));
for (const file of ['tessel.js', 'tessel.d.ts', 'playground.css'])
  copyFileSync(join(web, file), join(site, file));

// The page's script and the worker, each one file.
const glue = {
  name: 'glue',
  setup(b) {
    b.onResolve({ filter: /\/tessel-glue\.js$/ }, () => ({ path: join(build, 'web', 'tessel-glue.js') }));
  },
};
// (The editor is a chunk of its own, which the page loads once its first
// translation is shown.)
const bundle = { bundle: true, minify: true, format: 'esm', target: 'es2022', outdir: site, logLevel: 'warning' };
await esbuild.build({ ...bundle, entryPoints: { playground: join(web, 'playground.js') }, splitting: true,
                      chunkNames: 'editor-[hash]', plugins: [glue] });
await esbuild.build({ ...bundle, entryPoints: { worker: join(web, 'worker.js') }, plugins: [glue] });

// The languages as the reference's index (<build>/docs/reference/reference.json,
// which the build writes with the reference's pages) has them: title, page,
// syntax diagrams in the page's order (their common style kept once), the
// diagrams that show each grammar rule, and the examples of all the pages.
const reference = join(build, 'docs', 'reference');
const index = JSON.parse(readFileSync(join(reference, 'reference.json'), 'utf8'));
const languages = {};
const styles = new Set();
for (const k of index.kinds) {
  const diagrams = {};
  for (const d of k.diagrams) {
    diagrams[d.rule] = readFileSync(join(reference, d.svg), 'utf8').replace(/<style>([\s\S]*?)<\/style>\s*/, (_, style) => {
      styles.add(style.trim());
      return '';
    }).trim();
  }
  // (A box's link names its rule's section: #anchor.)
  const anchors = Object.fromEntries(k.diagrams.map((d) => [d.anchor, d.rule]));
  languages[k.kind] = { title: k.title, page: k.page, diagrams, rules: k.rules, anchors,
                        examples: k.examples.map(({ section, title, text }) => ({ section, title, text })) };
}
if (styles.size > 1) throw new Error('build.mjs: the diagrams have different styles; keep each one');
writeFileSync(join(site, 'languages.json'),
  JSON.stringify({ diagramStyle: [...styles][0] ?? '', kinds: languages }));

// The page, with what the first translation needs of the languages: their
// titles and first examples (the rest, languages.json, comes after it).
const first = Object.fromEntries(Object.entries(languages).map(([kind, l]) => [kind,
  { title: l.title, examples: l.examples.slice(0, 1), diagrams: {} }]));
writeFileSync(join(site, 'index.html'), readFileSync(join(web, 'index.html'), 'utf8').replace('__LANGUAGES__',
  JSON.stringify({ kinds: first }).replaceAll('<', '\\u003c')));

// The service worker, with the list of what it keeps and a version that
// changes with any of it.
const assets = readdirSync(site).filter((f) => f !== 'sw.js').sort();
const hash = createHash('sha256');
for (const file of assets) hash.update(file).update(readFileSync(join(site, file)));
const version = hash.digest('hex').slice(0, 12);
writeFileSync(join(site, 'sw.js'), readFileSync(join(web, 'sw.js'), 'utf8')
  .replace('__VERSION__', version).replace('__ASSETS__', JSON.stringify(['./', ...assets])));
console.log(`playground in ${site} (${assets.length + 1} files, version ${version})`);
