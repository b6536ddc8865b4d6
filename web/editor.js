// The playground's editor (CodeMirror 6), loaded once the first translation
// is shown: the text, the problem underlined with its message on hover, F8
// to it, and completion from the parser.
import { autocompletion, completionKeymap } from '@codemirror/autocomplete';
import { defaultKeymap, history as undoHistory, historyKeymap } from '@codemirror/commands';
import { forEachDiagnostic, lintGutter, lintKeymap, setDiagnostics } from '@codemirror/lint';
import { EditorState } from '@codemirror/state';
import { drawSelection, EditorView, highlightActiveLine, keymap, lineNumbers } from '@codemirror/view';

// An editor in parent holding text. onChange(): the text changed.
// whatMayCome(prefix): the diagnostic of the text prefix, or null.
export function createEditor({ parent, text, onChange, whatMayCome }) {
  // What may come at the cursor: the text up to the start of the word there
  // is translated; its diagnostic says what may come next, fixed texts as
  // they are written, and for a name the names of the text.
  async function complete(context) {
    const word = context.matchBefore(/[A-Za-z0-9_]*/);
    if (!context.explicit && word.from === word.to) return null;
    const prefix = context.state.sliceDoc(0, word.from);
    const d = await whatMayCome(prefix);
    if (!d || d.start < prefix.trimEnd().length) return null;
    const fixed = d.expecting.filter((e) => /^`.+`$/.test(e)).map((e) => e.slice(1, -1));
    const options = fixed.map((label) => ({ label, type: 'keyword', detail: 'fixed' }));
    if (d.expecting.includes('a name')) {
      const typed = context.state.sliceDoc(word.from, word.to);
      for (const name of new Set(context.state.doc.toString().match(/[A-Za-z][A-Za-z0-9_]*/g) ?? []))
        if (!fixed.includes(name) && name !== typed) options.push({ label: name, type: 'variable', detail: 'name' });
    }
    return options.length ? { from: word.from, options, validFor: /^[A-Za-z0-9_]*$/ } : null;
  }

  const view = new EditorView({
    parent,
    state: EditorState.create({
      doc: text,
      extensions: [
        lineNumbers(), undoHistory(), drawSelection(), highlightActiveLine(), lintGutter(),
        autocompletion({ override: [complete], activateOnTyping: true }),
        keymap.of([...completionKeymap, ...lintKeymap, ...historyKeymap, ...defaultKeymap]),
        EditorView.lineWrapping,
        EditorView.contentAttributes.of({ 'aria-label': 'Text to translate', spellcheck: 'false' }),
        EditorView.updateListener.of((update) => { if (update.docChanged) onChange(); }),
      ],
    }),
  });

  return {
    view,
    text: () => view.state.doc.toString(),
    setText(text) {
      view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text } });
    },
    // The problem of a translation (a diagnostic, or null) underlined.
    show(d) {
      const length = view.state.doc.length;
      const diagnostics = d ? [{
        from: Math.min(d.start, length), to: Math.min(d.end, length), severity: 'error',
        message: d.message + (d.code ? ` [${d.code}]` : ''),
      }] : [];
      view.dispatch(setDiagnostics(view.state, diagnostics));
    },
    goToProblem() {
      let target = null;
      forEachDiagnostic(view.state, (d) => { target ??= d; });
      if (!target) return;
      view.dispatch({ selection: { anchor: target.from, head: target.to }, scrollIntoView: true });
      view.focus();
    },
    focus: () => view.focus(),
  };
}
