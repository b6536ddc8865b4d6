// The JavaScript module's promises beyond the golden cases: the decoding of
// bytes, the character positions of a diagnostic, the options and their
// checks, and the playground's address and shell command.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const top = process.env.TESSEL_TOP ?? new URL('../..', import.meta.url).pathname;
const site = process.env.TESSEL_SITE ?? join(top, 'build-web', 'site');
const bin = process.env.TESSEL_BIN ?? join(top, 'build', 'bin');
const { load, decode } = await import(pathToFileURL(join(site, 'tessel.js')));
const tessel = await load({ wasm: readFileSync(join(site, 'tessel.wasm')) });
const { makeHash, parseHash, shellCommand } = await import(pathToFileURL(join(top, 'web', 'address.js')));
// The kinds, as the build's list has them.
const kinds = readFileSync(join(top, 'runtime', 'kinds.list'), 'utf8').split('\n').filter((l) => l && !l.startsWith('#'));

test('bytes decode as UTF-8, any other byte as the character of its number', () => {
  const table = [
    [[0x61, 0x62], 'ab'],
    [[0xc3, 0xa9], 'é'],
    [[0xef, 0xbb, 0xbf, 0x61], '\ufeffa'], // a byte order mark is kept
    [[0xf0, 0x9f, 0x98, 0x80], '😀'],
    [[0xe9, 0x74, 0xe9], 'été'], // Latin-1
    [[0xc3], 'Ã'], // a sequence cut short
    [[0xc3, 0x41], 'ÃA'],
    [[0xc0, 0x80], '\u00c0\u0080'], // overlong
    [[0xed, 0xa0, 0x80], '\u00ed\u00a0\u0080'], // a surrogate
    [[0xf4, 0x90, 0x80, 0x80], '\u00f4\u0090\u0080\u0080'], // past U+10FFFF
    [[0x80, 0xe2, 0x82, 0xac], '\u0080€'],
  ];
  for (const [bytes, text] of table) assert.equal(decode(new Uint8Array(bytes)), text, JSON.stringify(bytes));
});

test('a long text that is not UTF-8 decodes whole', () => {
  const bytes = new Uint8Array(100_000).map((_, i) => (i % 3 ? 0x61 : 0xff));
  const text = decode(bytes);
  assert.equal(text.length, bytes.length);
  assert.equal(text.charCodeAt(99_999), 0xff);
});

test('start and end index the token in the JavaScript string', () => {
  // [kind, text, the token found]
  const table = [
    ['pure21', ';a;b,,.', ','],
    ['pure21', ';a;`été`,,.', ','],
    ['pure21', ';a;`😀😀`,,.', ','],
    ['pure21', ';a;`😀`, 1.', '1'],
    ['pure21', ';a and ;b.', ';'],
    ['pure21', '3;a;b', ''],
    ['decl', 'input Été;', 'É'],
  ];
  for (const [kind, text, found] of table) {
    const d = tessel.translate(kind, text).diagnostic;
    assert.ok(d, text);
    assert.equal(text.slice(d.start, d.end).slice(0, found.length || undefined), found, text);
    assert.equal(new TextEncoder().encode(text.slice(0, d.start)).length, d.offset, text);
  }
});

test('the text as bytes, the results as bytes', () => {
  const r = tessel.translate('pure21', new Uint8Array([0x3b, 0x61, 0x3b, 0x60, 0xe9, 0x60, 0x2e]), { binary: true });
  assert.equal(r.status, 0);
  assert.ok(r.out instanceof Uint8Array);
  assert.ok(r.commands.flat().every((w) => w instanceof Uint8Array));
  const effect = r.commands.find((c) => decode(c[1]) === 'effect');
  assert.deepEqual([...effect[2]], [0x7b, 0x60, 0xe9, 0x60, 0x7d]); // {`é`}, the byte as it is
});

test('the options: trace, output limit, parser depth, with the embedded defaults', () => {
  assert.match(tessel.translate('pure21', ';a;b.').out, /^#debug:/m);
  assert.doesNotMatch(tessel.translate('pure21', ';a;b.', { trace: false }).out, /#debug:/);
  const limited = tessel.translate('pure21', ';a;b.', { maxOutput: 20 });
  assert.equal(limited.status, 2);
  assert.match(limited.err, /output limit exceeded$/);
  const deep = `;${'('.repeat(300)}a${')'.repeat(300)};b.`;
  assert.equal(tessel.translate('pure21', deep, { trace: false }).status, 0);
  assert.match(tessel.translate('pure21', deep, { maxDepth: 200 }).err, /parser stack overflow$/);
  // Limits past what the module's types hold are as good as the largest.
  assert.equal(tessel.translate('pure21', deep, { trace: false, maxOutput: 2 ** 40, maxDepth: 2 ** 40 }).status, 0);
  // The default depth, 100,000, holds 30,000 parentheses and not 120,000.
  const nested = (n) => `;${'('.repeat(n)}a${')'.repeat(n)};b.`;
  assert.equal(tessel.translate('pure21', nested(30_000), { trace: false }).status, 0);
  assert.match(tessel.translate('pure21', nested(120_000), { trace: false }).err, /parser stack overflow$/);
});

test('wrong calls are refused with a reason', () => {
  const table = [
    [() => tessel.translate('pure', ';a;b.'), TypeError, new RegExp(`unknown kind "pure": one of ${kinds.join(', ')}$`)],
    [() => tessel.translate('pure21', 42), TypeError, /a string or a Uint8Array/],
    [() => tessel.translate('pure21', '', { maxOutput: -1 }), RangeError, /maxOutput/],
    [() => tessel.translate('pure21', '', { maxOutput: 1.5 }), RangeError, /maxOutput/],
    [() => tessel.translate('pure21', '', { maxDepth: 199 }), RangeError, /at least 200/],
  ];
  for (const [call, type, message] of table) assert.throws(call, (e) => e instanceof type && message.test(e.message));
  assert.deepEqual(tessel.kinds(), kinds);
  assert.match(tessel.version, /^\d+\.\d+\.\d+$/);
});

test("a scanner's fatal error ends its translation; the next starts afresh", () => {
  const overflow = "input buffer overflow, can't enlarge buffer because scanner uses REJECT\n";
  // [kind, text, status, err]
  const table = [
    ['pure21', `;${'a'.repeat(16382)};.`, 0, ''],
    ['pure21', `;${'a'.repeat(16383)};.`, 2, overflow],
    ['pure21', ';a;b.', 0, ''],
    ['ic3', `:{${'x'.repeat(20000)}`, 2, overflow],
    ['ic3', readFileSync(join(top, 'tests', 'golden', 'ic3', 'counter-chart', 'stdin'), 'latin1'), 0, ''],
  ];
  for (const [kind, text, status, err] of table) {
    const result = tessel.translate(kind, text);
    assert.deepEqual([result.status, result.err], [status, err], `${kind}, ${text.length} characters`);
  }
});

// The web build's scanners stand without the standard streams, whose
// locales (money, time, wide characters) were a third of the module.
test('the module carries no standard streams or locales', () => {
  const wasm = readFileSync(join(site, 'tessel.wasm')).toString('latin1');
  for (const name of ['moneypunct', 'time_get', '__stdinbuf', 'LC_MONETARY']) assert.ok(!wasm.includes(name), name);
});

test('two loaded modules translate independently', async () => {
  const other = await load({ wasm: new WebAssembly.Module(readFileSync(join(site, 'tessel.wasm'))) });
  assert.equal(other.translate('decl', 'input I;').status, 0);
  assert.equal(tessel.translate('decl', 'input;').status, 1);
});

test('an address opens what it holds; one that cannot be read says why', () => {
  const kinds = tessel.kinds();
  const table = [
    ['', null],
    ['#kind=decl&text=input%20I%3B', { kind: 'decl', text: 'input I;' }],
    ['#text=a%26b%3D&kind=pure21', { kind: 'pure21', text: 'a&b=' }],
    ['#kind=pure21&text=a+b', { kind: 'pure21', text: 'a+b' }],
    ['#kind=ic3', { kind: 'ic3', text: null }],
    ['#kind=pure21&text=%E0%A4', { error: 'the text is not percent-encoded correctly' }],
    ['#kind=cobol&text=x', { error: 'it names an unknown language, "cobol"' }],
    ['#text=x', { error: 'it names no language (kind=...)' }],
    ['#hello', { error: '"hello" is not a name=value pair' }],
  ];
  for (const [hash, state] of table) assert.deepEqual(parseHash(hash, kinds), state, hash);
  for (const text of ['', ";a;b.\n", "it's `x` & 100% #1 \u00e9 😀", ' \t\r\n']) {
    const hash = makeHash('valued21', text);
    assert.match(hash, /^#kind=valued21&text=[A-Za-z0-9%._~!*'()-]*$/);
    assert.deepEqual(parseHash(hash, kinds), { kind: 'valued21', text });
  }
});

test('the command a page copies translates the same text', { skip: !existsSync(join(bin, 'pure21-translator')) }, () => {
  for (const text of [';a;b.', "3;a and not b;c, `it's`.", ";a;`'\\n' \"$x\" \\`.", ';a;b\n,c.', ';a;b,,.']) {
    const command = shellCommand('pure21', text);
    const out = execFileSync('bash', ['-c', `${command} 2>/dev/null; true`],
                             { env: { ...process.env, PATH: `${bin}:${process.env.PATH}` }, cwd: '/tmp' });
    assert.equal(out.toString(), tessel.translate('pure21', text).out, command);
  }
});
