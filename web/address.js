// The playground's state in its address, #kind=pure21&text=... (each value
// percent-encoded), and the shell command that does what the page does.

// The state a link gives: { kind, text } or { error }; null when it has none.
export function parseHash(hash, kinds) {
  if (!hash || hash === '#') return null;
  const fields = {};
  for (const part of hash.replace(/^#/, '').split('&')) {
    const at = part.indexOf('=');
    if (at < 0) return { error: `"${part.slice(0, 40)}" is not a name=value pair` };
    try {
      fields[part.slice(0, at)] = decodeURIComponent(part.slice(at + 1));
    } catch {
      return { error: `the ${part.slice(0, at) || 'value'} is not percent-encoded correctly` };
    }
  }
  if (!('kind' in fields)) return { error: 'it names no language (kind=...)' };
  if (!kinds.includes(fields.kind)) return { error: `it names an unknown language, "${fields.kind.slice(0, 40)}"` };
  if (!('text' in fields)) return { kind: fields.kind, text: null };
  return { kind: fields.kind, text: fields.text };
}

export function makeHash(kind, text) {
  return `#kind=${encodeURIComponent(kind)}&text=${encodeURIComponent(text)}`;
}

// The shell command that translates text as the page does.
export function shellCommand(kind, text) {
  return `printf '%s' '${text.replaceAll("'", "'\\''")}' | ${kind}-translator -d`;
}
