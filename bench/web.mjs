// The web build measured (bench/web.sh runs it): the sizes the playground
// sends, the time from navigation to its first translation in headless
// Chromium on 127.0.0.1, and the module's time per translation in the
// browser against the native library's on the same texts, in one run.
//
//   node bench/web.mjs SITE_DIR TESSEL_BENCH [RUNS]
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { cpus } from 'node:os';
import { join } from 'node:path';
import { launch, serve } from '../tests/web/browser.mjs';
import { gzipSync } from 'node:zlib';

const top = new URL('..', import.meta.url).pathname;
const [site, benchProgram, runsArg] = process.argv.slice(2);
const runs = Number(runsArg ?? 15);
const gz = (file) => gzipSync(readFileSync(join(site, file)), { level: 9 }).length;
const kb = (n) => `${(n / 1024).toFixed(1)} KB`;
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

const { origin, close } = await serve(site);
const browser = await launch();

// Navigation to the first translation shown, each run in a fresh context
// (nothing cached); the files fetched before it, gzipped.
const times = [];
let loaded = [];
for (let i = 0; i < runs; i++) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`${origin}/`);
  await page.waitForFunction(() => performance.getEntriesByName('first-translation').length > 0);
  // What the page asked for before its first translation was shown, and the
  // module, without which there is none.
  const [mark, files] = await page.evaluate(() => {
    const m = performance.getEntriesByName('first-translation')[0].startTime;
    return [m, performance.getEntriesByType('resource').filter((e) => e.startTime <= m)
      .map((e) => new URL(e.name).pathname.slice(1))];
  });
  times.push(mark);
  if (i === 0) loaded = [...new Set(['index.html', ...files, 'tessel.wasm'])];
  await page.waitForSelector('body[data-ready=true]');
  await context.close();
}

// Translations: the module in the page against the native library.
const texts = readdirSync(join(top, 'bench', 'inputs')).filter((f) => /^[a-z0-9]+\.txt$/.test(f)).sort();
const context = await browser.newContext();
const page = await context.newPage();
await page.goto(`${origin}/`);
await page.waitForSelector('body[data-ready=true]');
const rows = [];
// (The machine is shared: native and module take turns, five rounds, and
// each keeps its best.)
const rounds = 5, n = 5000;
for (const file of texts) {
  const kind = file.replace(/\.txt$/, '');
  const path = join(top, 'bench', 'inputs', file);
  const text = readFileSync(path, 'latin1');
  let native = Infinity, binary = Infinity, strings = Infinity;
  for (let round = 0; round < rounds; round++) {
    native = Math.min(native, Number(execFileSync(benchProgram, ['trace', kind, path, String(n)])
      .toString().match(/^([\d.]+) us with trace/)[1]));
    const web = await page.evaluate(async ([kind, text, n]) => {
      const { load } = await import('/tessel.js');
      const tessel = window.benchTessel ??= await load();
      const bytes = new Uint8Array([...text].map((c) => c.charCodeAt(0)));
      const best = (options) => {
        let b = Infinity;
        for (let run = 0; run < 5; run++) {
          const start = performance.now();
          for (let i = 0; i < n; i++) tessel.translate(kind, bytes, options);
          b = Math.min(b, ((performance.now() - start) / n) * 1000);
        }
        return b;
      };
      return { binary: best({ binary: true }), strings: best({}) };
    }, [kind, text, n]);
    binary = Math.min(binary, web.binary);
    strings = Math.min(strings, web.strings);
  }
  rows.push([`bench/inputs/${file}`, native, binary, strings]);
}
await browser.close();
close();

const wasm = gz('tessel.wasm');
const total = loaded.reduce((sum, f) => sum + gz(f), 0);
const cpu = cpus()[0].model.replace(/\s+/g, ' ');
console.log(`Machine: ${cpu}, ${cpus().length} cores; Chromium ${browser.version()}, Node ${process.version}.\n`);
console.log('| measure | figure | goal |');
console.log('|---|---|---|');
console.log(`| tessel.wasm, gzipped (-9) | ${kb(wasm)} (${kb(readFileSync(join(site, 'tessel.wasm')).length)} raw) | at most 110 KB |`);
console.log(`| everything loaded before the first translation, gzipped: ${loaded.join(', ')} | ${kb(total)} | at most 250 KB |`);
console.log(`| navigation to the first translation shown, median of ${runs} cold loads (min, max) | ` +
            `${median(times).toFixed(0)} ms (${Math.min(...times).toFixed(0)}, ${Math.max(...times).toFixed(0)}) | at most 300 ms |`);
console.log('\nTime per translation with the trace, a translator kept, the best of five rounds taken in turn, each the best of five runs of 5,000: the native library ' +
            '(tessel-bench trace) and the module in the page (bytes in and out, and strings in and out):\n');
console.log('| input | native | module, bytes | ratio | module, strings | ratio |');
console.log('|---|---|---|---|---|---|');
for (const [file, native, binary, strings] of rows)
  console.log(`| ${file} | ${native.toFixed(2)} us | ${binary.toFixed(2)} us | ${(binary / native).toFixed(2)} | ` +
              `${strings.toFixed(2)} us | ${(strings / native).toFixed(2)} |`);
