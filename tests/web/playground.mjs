// The playground in a real browser (headless Chromium, driven by
// playwright-core), served from <build-web>/site on 127.0.0.1 as
// scripts/web.sh serve does: as a person uses it, by the keyboard.
//
//   node playground.mjs     (TESSEL_SITE: the site; TESSEL_BIN: the native programs;
//                            TESSEL_SCREENSHOTS: where to put the guide's pictures)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, serve } from './browser.mjs';

const top = process.env.TESSEL_TOP ?? new URL('../..', import.meta.url).pathname;
const site = process.env.TESSEL_SITE ?? join(top, 'build-web', 'site');
const bin = process.env.TESSEL_BIN ?? join(top, 'build', 'bin');
const pictures = process.env.TESSEL_SCREENSHOTS ?? join(site, '..');
const { load } = await import(pathToFileURL(join(site, 'tessel.js')));
const tessel = await load({ wasm: readFileSync(join(site, 'tessel.wasm')) });
const languages = JSON.parse(readFileSync(join(site, 'languages.json'), 'utf8'));

const { origin, close } = await serve(site);
const profile = mkdtempSync(join(tmpdir(), 'tessel-playground-'));
const browser = await launch();

let passed = 0, failed = 0;
const errors = [];
async function check(name, body) {
  const context = await browser.newContext({ viewport: { width: 1400, height: 900 } });
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  const page = await context.newPage();
  page.on('pageerror', (e) => errors.push(`${name}: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(`${name}: ${m.text()}`); });
  try {
    await body(page, context);
    passed++;
    console.log(`ok ${name}`);
  } catch (e) {
    failed++;
    console.log(`FAIL ${name}\n${e.stack}`);
  } finally {
    await context.close();
  }
}

const editorText = (page) => page.evaluate(() => window.playground.view.state.doc.toString());
const problem = (page) => page.locator('#problems').innerText();
async function open(page, hash = '') {
  await page.goto(`${origin}/${hash}`);
  await page.waitForSelector('body[data-ready=true]');
}
// Replaces the editor's text by typing it.
async function type(page, text) {
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+a');
  await page.keyboard.press('Delete');
  await page.keyboard.type(text);
}
// Waits until the page shows the translation of the editor's current text.
async function translated(page) {
  await page.waitForFunction(() => !/Loading/.test(document.querySelector('#problems').textContent));
  await page.waitForTimeout(50);
  await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('status'));
}

// What the program says of a text with -d: its "error:" line's message (and code).
function programMessage(kind, text) {
  const out = execFileSync('bash', ['-c', `${kind}-translator -d 2>&1 >/dev/null; true`],
                           { input: text, cwd: profile, env: { ...process.env, PATH: `${bin}:${process.env.PATH}` } });
  const line = out.toString().split('\n').find((l) => / error: /.test(l));
  assert.ok(line, `${kind}-translator -d wrote no error line: ${out}`);
  return line.replace(/^.*? error: /, '');
}

await check('the page opens with an example, translated', async (page) => {
  await open(page);
  assert.equal(await editorText(page), languages.kinds.pure21.examples[0].text);
  await translated(page);
  assert.match(await page.locator('#status').innerText(), /^status 0/);
  assert.match(await page.locator('#problems').innerText(), /without a problem/);
  assert.ok(await page.locator('#panel-commands tbody tr').count() > 3);
  assert.ok(await page.locator('#diagrams figure').count() >= 5);
  // A box that stands for another rule leads to that rule's diagram, on the page.
  await page.locator('#diagrams figure a').first().click();
  await page.waitForSelector('#diagrams figure.visited');
  assert.equal(new URL(page.url()).pathname, '/');
});

await check('a wrong label: underlined, the same message as the program, F8, then fixed', async (page) => {
  await open(page);
  const wrong = '3;a and ;c.';
  await type(page, wrong);
  await page.waitForSelector('.cm-lintRange-error');
  const message = programMessage('pure21', wrong);
  const d = tessel.translate('pure21', wrong).diagnostic;
  const shown = `${await page.locator('#problems .message').innerText()}` +
    (d.code ? ` [${await page.locator('#problems .code').innerText()}]` : '');
  assert.equal(shown, message);
  assert.match(await problem(page), /^Line 1, column 9: /);
  if (d.expecting) assert.match(await problem(page), new RegExp(d.expecting[0].replace(/[`()]/g, '.')));
  if (d.rule && languages.kinds.pure21.diagrams[d.rule])
    assert.equal(await page.locator('#diagrams figure.current').getAttribute('data-rule'), d.rule);
  // The message on hover.
  await page.locator('.cm-lintRange-error').hover();
  await page.waitForSelector('.cm-tooltip-lint');
  assert.ok((await page.locator('.cm-tooltip-lint').innerText()).includes(d.message));
  await page.mouse.move(0, 0);
  await page.screenshot({ path: join(pictures, 'playground.png') });
  // F8 selects the problem.
  await page.keyboard.press('Home');
  await page.keyboard.press('F8');
  const selection = await page.evaluate(() => window.playground.view.state.selection.main);
  assert.deepEqual([selection.from, selection.to], [d.start, d.end]);
  // Fixed: no problem, the commands.
  await page.keyboard.press('Escape');
  await page.keyboard.press('End');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.type('b');
  await page.waitForFunction(() => /without a problem/.test(document.querySelector('#problems').textContent));
  assert.equal(await editorText(page), '3;a and b;c.');
  assert.equal(await page.locator('.cm-lintRange-error').count(), 0);
  const rows = await page.locator('#panel-commands tbody tr').allInnerTexts();
  assert.ok(rows.some((r) => /set\s+trigger\s+a~and~b/.test(r)), rows.join('\n'));
  await page.waitForURL(/#kind=pure21&text=3%3Ba%20and%20b%3Bc\.$/);
});

await check('a link opens its language, its text and its result', async (page) => {
  await open(page, '#kind=decl&text=output%20Speed%20%3A%20integer%3B');
  assert.equal(await page.locator('#kind').inputValue(), 'decl');
  assert.equal(await editorText(page), 'output Speed : integer;');
  await translated(page);
  const rows = await page.locator('#panel-commands tbody tr').allInnerTexts();
  assert.ok(rows.some((r) => /set\s+arg1\s+Speed/.test(r)), rows.join('\n'));
});

await check('a link that cannot be read opens the default example with a note', async (page) => {
  await open(page, '#kind=pure21&text=%E0%A4');
  assert.match(await page.locator('#note').innerText(), /could not be opened \(the text is not percent-encoded/);
  assert.equal(await editorText(page), languages.kinds.pure21.examples[0].text);
});

await check('every example of every menu translates as the module does', async (page) => {
  await open(page);
  for (const [kind, language] of Object.entries(languages.kinds)) {
    await page.locator('#kind').selectOption(kind);
    const options = await page.locator('#example option:not([value=""])').evaluateAll((os) => os.map((o) => o.value));
    assert.equal(options.length, language.examples.length, kind);
    for (const value of options) {
      const { text } = language.examples[Number(value)];
      await page.locator('#example').selectOption(value);
      await page.waitForFunction((t) => window.playground.view.state.doc.toString() === t,
                                 text);
      const r = tessel.translate(kind, text, { trace: false });
      await page.waitForFunction(([n, status]) => document.querySelector('#tab-commands').textContent ===
        `Commands (${n})` && document.querySelector('#status').dataset.status === String(status),
        [r.commands.length, r.status], { timeout: 5000 });
    }
  }
});

await check('completion offers what may come at the cursor', async (page) => {
  const d = tessel.translate('pure21', '3;a and ').diagnostic;
  if (!d.expecting) throw new Error('the diagnostic has no expecting: the library is older than the playground');
  await open(page);
  await type(page, '3;alarm and ');
  await page.keyboard.press('Control+Space');
  await page.waitForSelector('.cm-tooltip-autocomplete');
  const offered = await page.locator('.cm-tooltip-autocomplete li').allInnerTexts();
  assert.ok(offered.some((o) => o.startsWith('not')), offered.join(', '));
  assert.ok(offered.some((o) => o.startsWith('alarm')), offered.join(', '));
  await page.keyboard.type('no');
  await page.waitForFunction(() => document.querySelector('.cm-tooltip-autocomplete li[aria-selected]'));
  await page.keyboard.press('Enter');
  assert.equal(await editorText(page), '3;alarm and not');
});

await check('Share copies the link, "Copy as command" the shell command', async (page) => {
  await open(page, "#kind=pure21&text=3%3Ba%3B%60it's%60.");
  await page.locator('#share').click();
  await page.waitForFunction(() => /copied/.test(document.querySelector('#status').textContent));
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), page.url());
  await page.locator('#command').click();
  await page.waitForFunction(() => /Command copied/.test(document.querySelector('#status').textContent));
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
               "printf '%s' '3;a;`it'\\''s`.' | pure21-translator -d");
});

await check('a huge label does not freeze the page; the output limit is said', async (page) => {
  const dir = mkdtempSync(join(tmpdir(), 'tessel-labels-'));
  execFileSync('bash', [join(top, 'bench', 'gen-labels.sh'), dir, '8000']);
  const text = readFileSync(join(dir, 'valued21-wide'), 'latin1');
  rmSync(dir, { recursive: true, force: true });
  assert.ok(text.length > 200_000);
  await open(page, `#kind=valued21&text=${encodeURIComponent(text)}`);
  await page.waitForFunction(() => document.querySelector('#status').dataset.status === '0', null, { timeout: 20000 });
  await page.locator('#trace').check();
  await page.waitForFunction(() => /output limit/.test(document.querySelector('#note').textContent), null,
                             { timeout: 20000 });
  assert.equal(await page.evaluate(() => document.querySelector('#status').dataset.status), '2');
  assert.equal(await page.evaluate(() => 1 + 1), 2); // the page still answers
});

await check('a translation that does not end is stopped and the translator restarted', async (page, context) => {
  // The page's first request to its worker is lost, as if the worker hung
  // (the note it gets may go with the next translation: it is watched for).
  await context.addInitScript(() => {
    const post = Worker.prototype.postMessage;
    let dropped = false;
    Worker.prototype.postMessage = function (message, ...rest) {
      if (!dropped && message && message.kind) { dropped = true; return undefined; }
      return post.call(this, message, ...rest);
    };
    window.addEventListener('DOMContentLoaded', () => {
      const note = document.querySelector('#note');
      new MutationObserver(() => {
        if (/longer than 10 s/.test(note.textContent)) window.stoppedNote = note.textContent;
      }).observe(note, { childList: true, characterData: true, subtree: true });
    });
  });
  await open(page);
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.type(' ');
  await page.waitForFunction(() => window.stoppedNote, null, { timeout: 15000 });
  await type(page, ';a;b.');
  await page.waitForFunction(() => /without a problem/.test(document.querySelector('#problems').textContent));
});

await check('it works offline once loaded', async (page, context) => {
  await open(page);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await context.setOffline(true);
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await type(page, ';a;b.');
  await page.waitForFunction(() => /without a problem/.test(document.querySelector('#problems').textContent));
});

await browser.close();
close();
rmSync(profile, { recursive: true, force: true });
for (const e of errors) console.log(`page error: ${e}`);
console.log(`${passed} passed, ${failed + (errors.length ? 1 : 0)} failed`);
process.exit(failed === 0 && errors.length === 0 ? 0 : 1);
