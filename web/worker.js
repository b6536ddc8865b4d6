// The playground's translations, away from the page: a text that takes long
// or writes much never freezes it (the page ends a worker that takes too
// long and starts another). Messages:
//   in, first: { module }   the compiled tessel.wasm, or null to fetch it here
//   in:  { id, kind, text, options }   out: { id, result, ms } or { id, error }
//   out, once loaded: { ready: true, kinds, version } or { ready: false, error }
import { load } from './tessel.js';

let given;
const module = new Promise((resolve) => { given = resolve; });
const loading = module.then((m) => load({ wasm: m ?? new URL('tessel.wasm', import.meta.url) })).then(
  (tessel) => {
    postMessage({ ready: true, kinds: tessel.kinds(), version: tessel.version });
    return tessel;
  },
  (e) => {
    postMessage({ ready: false, error: String(e?.message ?? e) });
    throw e;
  });

onmessage = async ({ data }) => {
  if ('module' in data) {
    given(data.module);
    return;
  }
  const { id, kind, text, options } = data;
  try {
    const tessel = await loading;
    const start = performance.now();
    const result = tessel.translate(kind, text, options);
    postMessage({ id, result, ms: performance.now() - start });
  } catch (e) {
    postMessage({ id, error: String(e?.message ?? e) });
  }
};
