// Runs golden cases through the JavaScript module (the WebAssembly build):
// each must give the case's standard output, standard error, status and
// trace file byte for byte, and, when it fails, its diagnostic (the file
// "diagnostic", as the library writes it). Cases with arguments or another
// program are the programs' own.
//
//   node golden.mjs SITE_DIR CASES_DIR...   (CASES_DIR named after its kind)
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [site, ...roots] = process.argv.slice(2);
const { load, decode } = await import(pathToFileURL(join(site, 'tessel.js')));
const tessel = await load({ wasm: readFileSync(join(site, 'tessel.wasm')) });
const encoder = new TextEncoder();

const read = (file) => (existsSync(file) ? readFileSync(file) : Buffer.alloc(0));
const same = (a, b) => Buffer.compare(Buffer.from(a), Buffer.from(b)) === 0;

// The diagnostic's lines as the library's tests write them: "key value",
// bytes escaped, a list's items each after a blank.
function escape(bytes) {
  let s = '';
  for (const c of bytes) {
    if (c === 0x5c) s += '\\\\';
    else if (c === 0x0a) s += '\\n';
    else if (c === 0x0d) s += '\\r';
    else if (c === 0x09) s += '\\t';
    else if (c < 32 || c > 126) s += `\\x${c.toString(16).padStart(2, '0')}`;
    else s += String.fromCharCode(c);
  }
  return s;
}
// expecting's items are joined by commas, expected's by blanks.
function field(value, key) {
  if (Array.isArray(value)) return value.map((v, i) => (i && key === 'expecting' ? ', ' : ' ') + field(v).slice(1)).join('');
  if (value instanceof Uint8Array) return ` ${escape(value)}`;
  if (typeof value === 'boolean') return ` ${value ? 'yes' : 'no'}`;
  return ` ${value}`;
}
function diagnosticDiffers(expected, d) {
  if (!d) return expected.length ? 'no diagnostic' : null;
  if (!expected.length) return 'a diagnostic where none is expected';
  for (const line of expected.toString('latin1').split('\n').filter(Boolean)) {
    const key = line.match(/^[a-z_]+/)[0];
    if (!(key in d)) return `no field ${key}`;
    const actual = Buffer.from(key + field(d[key], key), 'latin1');
    const wanted = Buffer.from(line, 'latin1');
    if (!same(actual, wanted) && !same(encoder.encode(key + field(d[key], key)), wanted))
      return `${key}: ${key + field(d[key], key)}`;
  }
  return null;
}

const utf8 = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true });
const valid = (bytes) => { try { utf8.decode(bytes); return true; } catch { return false; } };

let cases = 0, failures = 0;
for (const root of roots) {
  const kind = basename(root);
  for (const name of readdirSync(root).sort()) {
    const dir = join(root, name);
    if (existsSync(join(dir, 'args')) || existsSync(join(dir, 'program'))) continue;
    cases++;
    const problems = [];
    const text = read(join(dir, 'stdin'));
    const r = tessel.translate(kind, new Uint8Array(text), { binary: true });
    const status = existsSync(join(dir, 'status')) ? Number(readFileSync(join(dir, 'status'), 'latin1')) : 0;
    const log = join(dir, 'files', 'log');
    if (!same(read(join(dir, 'stdout')), r.out)) problems.push('stdout differs');
    if (!same(read(join(dir, 'stderr')), r.err)) problems.push('stderr differs');
    if (status !== r.status) problems.push(`status ${r.status} instead of ${status}`);
    if ((existsSync(log) || kind !== 'ic3') && !same(read(log), r.trace)) problems.push('trace file differs');
    const problem = diagnosticDiffers(read(join(dir, 'diagnostic')), r.diagnostic);
    if (problem) problems.push(`diagnostic: ${problem}`);
    // The same text as a string: the results decoded, the token found between start and end.
    if (valid(text)) {
      const s = tessel.translate(kind, utf8.decode(text));
      if (s.out !== decode(r.out) || s.err !== decode(r.err)) problems.push('the results as strings differ');
      const d = s.diagnostic;
      if (d && valid(r.diagnostic.found) &&
          !same(encoder.encode(utf8.decode(text).slice(d.start, d.end)), r.diagnostic.found))
        problems.push(`start ${d.start} and end ${d.end} do not hold the token found`);
    }
    for (const p of problems) console.log(`FAIL ${dir}: ${p}`);
    if (problems.length) failures++;
  }
}
console.log(`${cases - failures} passed, ${failures} failed`);
process.exit(failures === 0 && cases > 0 ? 0 : 1);
