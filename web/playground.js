// The playground: an editor whose text is translated as it is typed (in a
// worker, web/worker.js), the problem underlined, the result beside it, the
// language's syntax diagrams with the rule where the translation stopped.
// The state lives in the address: #kind=pure21&text=... (percent-encoded).
// The first translation is shown before the editor (web/editor.js) and the
// diagrams arrive: until then the text stands in a plain block. A short first
// text is translated in the page itself, while the worker starts.
import { makeHash, parseHash, shellCommand } from './address.js';
import { load } from './tessel.js';

// What the page asks of a translation: no trace unless asked, and less
// output than the editor allows (64 MiB), since the page shows it all.
const MAX_OUTPUT = 4 << 20;
const MAX_SHOWN = 200_000; // characters of a raw output shown
const MAX_ROWS = 1000; // commands shown
const TIME_LIMIT = 10000; // ms before a translation's worker is ended (a hung one: the slowest real texts take a second)
const DEFAULT_KIND = 'pure21';
// The first text, if no longer, is translated in the page itself: a worker
// takes longer to start than the translators take to load here. No text this
// short takes long (the parsers read it once and the output is limited: the
// slowest found, with its trace, took 60 ms); a longer one goes to the
// worker, as every later translation does.
const FIRST_IN_PAGE = 4096; // characters

const $ = (selector) => document.querySelector(selector);
// The module compiled by the page's head, or null.
const compiled = window.tesselStart?.module ?? Promise.resolve(null);

// ---- the worker: one translation at a time, the latest text first ----

class Translations {
  #worker = null;
  #running = null; // { request, resolve, reject, timer }
  #queue = [];
  #ready;
  onRestart = () => {};

  constructor() {
    this.#start();
  }

  // A worker, given the module the page compiled.
  #start() {
    const worker = (this.#worker = new Worker('worker.js', { type: 'module' }));
    compiled.then((module) => worker.postMessage({ module }));
    this.#ready = new Promise((resolve, reject) => {
      const receive = (data) => {
        if (data.ready === true) resolve(data);
        else if (data.ready === false) reject(new Error(data.error));
        else this.#answer(data);
      };
      this.#worker.onmessage = ({ data }) => receive(data);
      this.#worker.onerror = (e) => reject(new Error(e.message || 'the translators could not be loaded'));
    });
    this.#ready.catch(() => {});
  }

  get ready() {
    return this.#ready;
  }

  // A translation; kind "main" replaces a main one not started yet.
  request(kind, text, options, purpose = 'main') {
    return new Promise((resolve, reject) => {
      const entry = { request: { kind, text, options }, purpose, resolve, reject };
      const waiting = this.#queue.findIndex((e) => e.purpose === 'main' && purpose === 'main');
      if (waiting >= 0) {
        this.#queue[waiting].reject(Object.assign(new Error('replaced'), { replaced: true }));
        this.#queue[waiting] = entry;
      } else {
        this.#queue.push(entry);
      }
      this.#next();
    });
  }

  #next() {
    if (this.#running || this.#queue.length === 0) return;
    const entry = (this.#running = this.#queue.shift());
    entry.id = Math.random();
    entry.timer = setTimeout(() => this.#timeout(entry), TIME_LIMIT);
    this.#worker.postMessage({ id: entry.id, ...entry.request });
  }

  #answer(data) {
    const entry = this.#running;
    if (!entry || data.id !== entry.id) return;
    clearTimeout(entry.timer);
    this.#running = null;
    if (data.error) entry.reject(new Error(data.error));
    else entry.resolve({ result: data.result, ms: data.ms });
    this.#next();
  }

  // A translation that takes too long: its worker is ended, another started.
  #timeout(entry) {
    if (this.#running !== entry) return;
    this.#worker.terminate();
    this.#running = null;
    entry.reject(Object.assign(new Error('timeout'), { timeout: true }));
    this.#start();
    this.onRestart();
    this.#next();
  }
}

// ---- the page ----

const ui = {
  kind: $('#kind'),
  example: $('#example'),
  trace: $('#trace'),
  status: $('#status'),
  note: $('#note'),
  problems: $('#problems'),
  diagrams: $('#diagrams .list'),
  diagramsTitle: $('#diagrams h2'),
};

let languages = { kinds: {} };
let kind = DEFAULT_KIND;
let lastResult = null;
let completionCache = null;

// A note above the editor; its kind says which result may take it away
// (a translation's notes go with the next translation, a link's stays).
function note(text, kind = 'other') {
  ui.note.textContent = text ?? '';
  ui.note.hidden = !text;
  ui.note.dataset.kind = text ? kind : '';
}

function clip(text, limit = MAX_SHOWN) {
  return text.length <= limit ? text : `${text.slice(0, limit)}\n… (${text.length - limit} more characters not shown)`;
}

function showResult(result, ms) {
  lastResult = result;
  const d = result.diagnostic;
  // The underline, its message on hover.
  editor?.show(d);
  // The problems line.
  ui.problems.replaceChildren();
  if (d) {
    const where = document.createElement('a');
    where.href = '#';
    where.className = 'where';
    where.textContent = `Line ${d.line}, column ${d.column}`;
    where.title = 'Go to the problem (F8)';
    where.onclick = (e) => {
      e.preventDefault();
      goToProblem();
    };
    const message = document.createElement('span');
    message.className = 'message';
    message.textContent = d.message;
    ui.problems.append(where, ': ', message);
    if (d.code) {
      const code = document.createElement('code');
      code.className = 'code';
      code.textContent = d.code;
      ui.problems.append(' ', code);
    }
    if (d.expecting?.length) {
      const next = document.createElement('div');
      next.className = 'expecting';
      next.textContent = `${d.incomplete ? 'May come next' : 'Expected there'}: ${d.expecting.join(', ')}`;
      ui.problems.append(next);
    }
  } else if (result.status === 0) {
    const ok = document.createElement('span');
    ok.className = 'ok';
    ok.textContent = 'Translated without a problem.';
    ui.problems.append(ok);
  } else {
    const message = document.createElement('span');
    message.className = 'message';
    message.textContent = result.err || `status ${result.status}`;
    ui.problems.append(message);
  }
  // The stop at the output limit is said in words.
  if (result.status === 2 && /output limit exceeded/.test(result.err))
    note(`The translation stopped at the playground's output limit (${MAX_OUTPUT >> 20} MiB): this text makes more ` +
         'output than the page shows. The editor and tessel-batch allow 64 MiB, the programs any amount.',
         'translation');
  else if (ui.note.dataset.kind === 'translation') note(null);
  // The result.
  const rows = result.commands.slice(0, MAX_ROWS).map((words, n) => {
    const tr = document.createElement('tr');
    for (const cell of [String(n + 1), words[0], words.slice(1)]) {
      const td = document.createElement('td');
      if (Array.isArray(cell)) {
        for (const word of cell) {
          const w = document.createElement('span');
          w.className = word === '' ? 'word none' : 'word';
          w.textContent = word === '' ? 'empty' : word;
          td.append(w, ' ');
        }
      } else {
        td.textContent = cell;
      }
      tr.append(td);
    }
    return tr;
  });
  $('#panel-commands tbody').replaceChildren(...rows);
  const empty = $('#panel-commands .empty');
  empty.hidden = result.commands.length > 0 && result.commands.length <= MAX_ROWS;
  empty.textContent = result.commands.length > MAX_ROWS
    ? `… ${result.commands.length - MAX_ROWS} more commands not shown.` : 'No command.';
  $('#panel-out pre').textContent = clip(result.out);
  $('#panel-err pre').textContent = clip(result.err);
  $('#panel-trace pre').textContent = clip(result.trace);
  $('#tab-commands').textContent = `Commands (${result.commands.length})`;
  $('#tab-err').textContent = result.err ? 'Errors (1)' : 'Errors';
  ui.status.textContent = `status ${result.status} · ${ms < 0.1 ? 'under 0.1' : ms.toFixed(1)} ms`;
  ui.status.dataset.status = result.status;
  highlightRule(d?.rule);
}

function goToProblem() {
  editor?.goToProblem();
}

// ---- the diagrams ----

function showDiagrams() {
  const language = languages.kinds[kind];
  ui.diagramsTitle.textContent = language ? `Syntax: ${language.title}` : 'Syntax';
  ui.diagrams.replaceChildren();
  for (const [rule, svg] of Object.entries(language?.diagrams ?? {})) {
    const figure = document.createElement('figure');
    figure.id = `rule-${rule}`;
    figure.dataset.rule = rule;
    figure.innerHTML = svg;
    ui.diagrams.append(figure);
  }
  highlightRule(lastResult?.diagnostic?.rule);
}

// The diagram of the rule where a translation stopped: its own, or the
// first of those that show it (a small rule is drawn where it is used).
function highlightRule(rule) {
  for (const f of ui.diagrams.querySelectorAll('figure.current')) f.classList.remove('current');
  const shown = rule && (languages.kinds[kind]?.diagrams?.[rule] ? rule : languages.kinds[kind]?.rules?.[rule]?.[0]);
  const figure = shown && document.getElementById(`rule-${shown}`);
  if (figure) {
    figure.classList.add('current');
    figure.scrollIntoView({ block: 'nearest' });
  }
}

// A box that stands for another rule leads to that rule's diagram.
ui.diagrams.addEventListener('click', (e) => {
  const link = e.target.closest('a');
  if (!link) return;
  e.preventDefault();
  // (The link names the rule's section in the reference's page: page.html#anchor.)
  const href = link.getAttribute('href') ?? link.getAttribute('xlink:href') ?? '';
  const rule = languages.kinds[kind]?.anchors?.[href.replace(/^.*#/, '')];
  const figure = document.getElementById(`rule-${rule}`);
  if (figure) {
    figure.scrollIntoView({ block: 'start', behavior: 'smooth' });
    figure.classList.add('visited');
    setTimeout(() => figure.classList.remove('visited'), 1200);
  }
});

// ---- languages and examples ----

function fillKinds(kinds) {
  ui.kind.replaceChildren(...kinds.map((k) => {
    const option = document.createElement('option');
    option.value = k;
    option.textContent = languages.kinds[k]?.title ? `${languages.kinds[k].title} (${k})` : k;
    return option;
  }));
  ui.kind.value = kind;
}

function fillExamples() {
  const groups = new Map();
  (languages.kinds[kind]?.examples ?? []).forEach((example, n) => {
    if (!groups.has(example.section)) groups.set(example.section, []);
    const option = document.createElement('option');
    option.value = String(n);
    // (The reference's title of an example: "<section>: <the text in a few words>".)
    const words = example.title.startsWith(`${example.section}: `)
      ? example.title.slice(example.section.length + 2) : example.title;
    option.textContent = words || '(empty text)';
    groups.get(example.section).push(option);
  });
  const placeholder = document.createElement('option');
  placeholder.value = '';
  placeholder.textContent = 'Choose an example…';
  ui.example.replaceChildren(placeholder, ...[...groups].map(([section, options]) => {
    const group = document.createElement('optgroup');
    group.label = section || languages.kinds[kind].title;
    group.append(...options);
    return group;
  }));
}

function examplesOf(k) {
  return languages.kinds[k]?.examples ?? [];
}

// The text: the editor's once it is there, before that the plain block's.
let plainText = '';
function currentText() {
  return editor ? editor.text() : plainText;
}
function setText(text) {
  if (editor) {
    editor.setText(text);
  } else {
    plainText = text;
    $('#editor').textContent = text;
    translateNow();
  }
}

function setKind(k) {
  kind = k;
  ui.kind.value = k;
  completionCache = null;
  fillExamples();
  showDiagrams();
}

// ---- translating as one types ----

let pendingHash = null;

// The translators in the page, for the first text only (the worker is given
// the same compiled module).
let inPage = null;
function translateInPage(kind, text, options) {
  inPage ??= compiled.then((module) => load(module ? { wasm: module } : {}));
  return inPage.then((tessel) => {
    const begin = performance.now();
    const result = tessel.translate(kind, text, options);
    return { result, ms: performance.now() - begin };
  });
}

// The worker, started once the first translation is shown (or at once for
// a long first text).
let translations = null;
function worker() {
  if (!translations) {
    translations = new Translations();
    translations.onRestart = () => { ui.status.textContent = 'restarted'; };
  }
  return translations;
}

function translateNow() {
  const text = currentText();
  const asked = kind;
  const options = { trace: ui.trace.checked, maxOutput: MAX_OUTPUT };
  const first = !translations && text.length <= FIRST_IN_PAGE;
  (first ? translateInPage(kind, text, options) : worker().request(kind, text, options)).then(
    ({ result, ms }) => {
      if (asked === kind && text === currentText()) {
        showResult(result, ms);
        if (!performance.getEntriesByName('first-translation').length) performance.mark('first-translation');
        firstShown();
      }
    },
    (e) => {
      if (e.replaced) return;
      firstShown(); // the editor comes all the same
      if (e.timeout) {
        note(`The translation took longer than ${TIME_LIMIT / 1000} s and was stopped; the translator was restarted.`,
             'translation');
        ui.status.textContent = 'stopped';
        return;
      }
      ui.status.textContent = `error: ${e.message}`;
    });
  // The address follows the text (a little later: a long text makes a long address).
  clearTimeout(pendingHash);
  pendingHash = setTimeout(() => {
    history.replaceState(null, '', makeHash(kind, currentText()));
  }, 250);
}

// ---- start ----

// The editor, once loaded; the text's changes translated at once.
let editor = null;
let typing = null;

// What may come at the end of a prefix of the text: its diagnostic.
async function whatMayCome(prefix) {
  try {
    if (completionCache?.prefix !== prefix || completionCache.kind !== kind)
      completionCache = { prefix, kind, answer: await worker().request(kind, prefix,
        { trace: false, maxOutput: MAX_OUTPUT }, 'complete') };
    return completionCache.answer.result.diagnostic;
  } catch {
    return null;
  }
}

async function loadEditor() {
  const { createEditor } = await import('./editor.js');
  const parent = $('#editor');
  parent.replaceChildren();
  parent.classList.remove('plain');
  editor = createEditor({
    parent, text: plainText, whatMayCome,
    onChange() {
      clearTimeout(typing);
      typing = setTimeout(translateNow, 0);
    },
  });
  // For scripts and tests: the editor (a CodeMirror EditorView).
  window.playground = { view: editor.view };
  if (lastResult) editor.show(lastResult.diagnostic);
}

ui.kind.addEventListener('change', () => {
  const text = currentText();
  const wasExample = text.trim() === '' || examplesOf(kind).some((e) => e.text === text);
  setKind(ui.kind.value);
  if (wasExample) setText(examplesOf(kind)[0]?.text ?? '');
  else translateNow();
});
ui.example.addEventListener('change', () => {
  const example = examplesOf(kind)[Number(ui.example.value)];
  if (example) setText(example.text);
  ui.example.value = '';
  editor?.focus();
});
ui.trace.addEventListener('change', translateNow);

async function copy(text, what) {
  try {
    await navigator.clipboard.writeText(text);
    ui.status.textContent = `${what} copied`;
  } catch {
    // No clipboard (an insecure page, a refusal): the text to copy by hand.
    window.prompt(`Copy the ${what.toLowerCase()}:`, text);
  }
}
$('#share').addEventListener('click', () => {
  const url = new URL(location.href);
  url.hash = makeHash(kind, currentText());
  history.replaceState(null, '', url.hash);
  copy(url.href, 'Link');
});
$('#command').addEventListener('click', () => {
  const text = currentText();
  if (text.includes('\0')) note('The text holds a NUL character, which a shell argument cannot: the command leaves ' +
                                'the text at its first NUL.');
  copy(shellCommand(kind, text), 'Command');
});

// Tabs: arrows move between them, as in any tab list.
const tabs = [...document.querySelectorAll('[role=tab]')];
function selectTab(tab) {
  for (const t of tabs) {
    const selected = t === tab;
    t.setAttribute('aria-selected', String(selected));
    t.tabIndex = selected ? 0 : -1;
    document.getElementById(t.getAttribute('aria-controls')).hidden = !selected;
  }
}
for (const tab of tabs) {
  tab.addEventListener('click', () => selectTab(tab));
  tab.addEventListener('keydown', (e) => {
    const step = { ArrowRight: 1, ArrowLeft: -1 }[e.key];
    if (!step) return;
    const next = tabs[(tabs.indexOf(tab) + step + tabs.length) % tabs.length];
    selectTab(next);
    next.focus();
  });
}

// A link's state, or the default example (with a note for a link that
// cannot be read).
function openFromAddress() {
  const kinds = Object.keys(languages.kinds);
  const state = parseHash(location.hash, kinds);
  if (state?.error) {
    note(`This link could not be opened (${state.error}); here is an example instead.`, 'link');
  }
  const chosen = state && !state.error ? state : { kind: DEFAULT_KIND, text: null };
  setKind(chosen.kind);
  const text = chosen.text ?? examplesOf(chosen.kind)[0]?.text ?? '';
  if (text === currentText()) translateNow();
  else setText(text);
}

window.addEventListener('hashchange', () => {
  if (location.hash !== makeHash(kind, currentText())) openFromAddress();
});

// The languages' titles and first examples come with the page; their
// diagrams and other examples once the first translation is shown.
languages = JSON.parse($('#first-languages').textContent);
let firstShown = null;
const shown = new Promise((resolve) => { firstShown = resolve; });
(async () => {
  try {
    // (The kinds of the languages the page came with, until the translators
    // say theirs.)
    fillKinds(Object.keys(languages.kinds));
    openFromAddress();
    await shown;
    inPage = null;
    const ready = worker().ready;
    await loadEditor();
    languages = await (await fetch('languages.json')).json();
    const style = document.createElement('style');
    style.textContent = languages.diagramStyle; // (its rules are scoped to .syntax-diagram)
    document.head.append(style);
    fillKinds((await ready).kinds);
    setKind(kind);
    document.body.dataset.ready = 'true';
  } catch (e) {
    ui.status.textContent = 'The translators could not be loaded.';
    note(`The translators could not be loaded: ${e.message}`);
  }
})();

if ('serviceWorker' in navigator && location.protocol !== 'file:')
  navigator.serviceWorker.register('sw.js').catch(() => {});
