// Puts the playground together in <build>/site (scripts/web.sh build runs it
// after the WebAssembly build):
//   tessel.wasm, tessel-glue.js, tessel.js, tessel.d.ts   the module, for any page
//   index.html, playground.css, playground.js, worker.js  the playground (esbuild bundles),
//   editor-*.js      its editor (CodeMirror), loaded after the first translation
//   languages.json   each language's title, page, syntax diagrams and examples
//   sw.js            the service worker that keeps all of it for offline use
//
//   node web/build.mjs BUILD_DIR
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync }
  from 'node:fs';
import { tmpdir } from 'node:os';
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
                      chunkNames: 'editor-[hash]' });
await esbuild.build({ ...bundle, entryPoints: { worker: join(web, 'worker.js') }, plugins: [glue] });

// The languages: the reference's index (docs/languages/README.md) names each
// page and its translator.
const docs = join(top, 'docs', 'languages');
const languages = {};
const index = readFileSync(join(docs, 'README.md'), 'utf8');
for (const [, title, page, kind] of index.matchAll(/^\| \[([^\]]+)\]\(([a-z-]+\.md)\) \|.*?`([a-z0-9]+)-translator`/gm))
  languages[kind] = { title, page, examples: examples(join(docs, page), kind), diagrams: {} };

// The diagrams as the build drew them from the grammars, <kind>-<rule>.svg,
// their common style kept once.
const drawn = join(build, 'docs', 'reference', 'languages', 'diagrams');
const styles = new Set();
for (const file of readdirSync(drawn).filter((f) => f.endsWith('.svg')).sort()) {
  const [, kind, rule] = file.match(/^([a-z0-9]+)-(.+)\.svg$/);
  if (!languages[kind]) continue;
  let svg = readFileSync(join(drawn, file), 'utf8');
  svg = svg.replace(/<style>([\s\S]*?)<\/style>\s*/, (_, style) => {
    styles.add(style.trim());
    return '';
  });
  languages[kind].diagrams[rule] = svg.trim();
}
// In the order the reference's page shows them, any others after.
for (const language of Object.values(languages)) {
  const page = readFileSync(join(docs, language.page), 'utf8');
  const place = (rule) => {
    const at = page.indexOf(`-${rule}.svg)`);
    return at < 0 ? Infinity : at;
  };
  language.diagrams = Object.fromEntries(Object.entries(language.diagrams).sort(([a], [b]) => place(a) - place(b)));
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

// The texts of a page's examples: every "$ command" of its console blocks
// that runs <kind>-translator, run by bash with the translators standing in
// as functions that keep what they read (so printf's escapes and the
// here-documents give exactly the text the example translates). Each with
// the title of its section.
function examples(page, kind) {
  const found = [];
  let section = '', inside = false, command = null;
  const flush = () => {
    if (command && command.includes(`${kind}-translator`)) found.push({ section, command });
    command = null;
  };
  for (const line of readFileSync(page, 'utf8').split('\n')) {
    const heading = line.match(/^#{2,4} (.*)/);
    if (heading && !inside) section = heading[1];
    if (line === '```console') { inside = true; continue; }
    if (inside && line === '```') { flush(); inside = false; continue; }
    if (!inside) continue;
    if (line.startsWith('$ ')) { flush(); command = line.slice(2); }
    else if (command !== null && line.startsWith('> ')) command += '\n' + line.slice(2);
    else flush();
  }
  const work = mkdtempSync(join(tmpdir(), 'tessel-examples-'));
  try {
    return found.map(({ section, command }, n) => {
      const capture = join(work, `text.${n}`);
      const stand_ins = ['pure21', 'valued21', 'decl', 'ic3']
        .map((k) => `${k}-translator() { ${k === kind ? `cat > "${capture}"` : 'cat > /dev/null'}; }`).join('\n');
      execFileSync('bash', ['-c', `${stand_ins}\n${command}\ntrue`], { cwd: work, stdio: ['ignore', 'ignore', 'ignore'] });
      if (!existsSync(capture)) throw new Error(`build.mjs: the example read nothing: ${command}`);
      return { section, text: decodeText(readFileSync(capture)) };
    });
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
}

// UTF-8, or else one character per byte.
function decodeText(bytes) {
  try {
    return new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(bytes);
  } catch {
    return bytes.toString('latin1');
  }
}
