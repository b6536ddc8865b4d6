// The Tessel translators in JavaScript: the library compiled to WebAssembly.
//
//   import { load } from './tessel.js';
//   const tessel = await load();                  // a browser fetches tessel.wasm beside this file
//   const tessel = await load({ wasm: bytes });   // Node: the bytes of tessel.wasm
//   tessel.translate('pure21', ';a;b.')           // { status, out, err, trace, commands, diagnostic }
//
// The result has the shape of the Tcl package's dict (tessel.d.ts says what
// each field holds). After a load, the functions translate() and kinds() of
// this module use the instance loaded last.
import createTessel from './tessel-glue.js';

// The parser stack's least capacity (tessel::Options::least_depth).
const LEAST_DEPTH = 200;
const utf8 = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true });
const encoder = new TextEncoder();

// The bytes as a string: UTF-8 decoded, a byte that is not part of a UTF-8
// sequence becoming the character of the same number (as in Tcl).
export function decode(bytes) {
  try {
    return utf8.decode(bytes);
  } catch {
    return decodeLeniently(bytes);
  }
}

function decodeLeniently(b) {
  const points = [];
  let text = '';
  for (let i = 0; i < b.length; ) {
    const c = b[i];
    let n = 0, point = c, least = 0;
    if (c >= 0xc2 && c <= 0xdf) [n, point, least] = [1, c & 0x1f, 0x80];
    else if (c >= 0xe0 && c <= 0xef) [n, point, least] = [2, c & 0x0f, 0x800];
    else if (c >= 0xf0 && c <= 0xf4) [n, point, least] = [3, c & 0x07, 0x10000];
    let k = 1;
    for (; k <= n && i + k < b.length && (b[i + k] & 0xc0) === 0x80; k++) point = (point << 6) | (b[i + k] & 0x3f);
    if (n > 0 && (k <= n || point < least || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))) {
      point = c;
      k = 1;
    }
    points.push(point);
    i += n > 0 && k > n ? n + 1 : 1;
    if (points.length >= 8192) {
      text += String.fromCodePoint(...points);
      points.length = 0;
    }
  }
  return text + String.fromCodePoint(...points);
}

// The index in text (UTF-16 code units) of the character holding its UTF-8
// byte at offset (up: of the character after it when offset is inside one).
function indexOfByte(text, offset, up) {
  let bytes = 0;
  for (let i = 0; i < text.length; ) {
    if (bytes >= offset) return i;
    const c = text.charCodeAt(i);
    const pair = c >= 0xd800 && c <= 0xdbff && i + 1 < text.length &&
      (text.charCodeAt(i + 1) & 0xfc00) === 0xdc00;
    const size = c < 0x80 ? 1 : c < 0x800 ? 2 : pair ? 4 : 3;
    if (bytes + size > offset) return up ? i + (pair ? 2 : 1) : i;
    bytes += size;
    i += pair ? 2 : 1;
  }
  return text.length;
}

// The bytes as a string, short ASCII ones without a decoder's call.
function text(bytes) {
  if (bytes.length > 32) return decode(bytes);
  for (let i = 0; i < bytes.length; i++) if (bytes[i] >= 0x80) return decode(bytes);
  return String.fromCharCode.apply(null, bytes);
}

// Reads the result buffer (web/binding.cpp): tagged values, little-endian.
class Reader {
  constructor(heap, at, size, binary) {
    // Bytes handed out are views of one copy of the result: one buffer per
    // translation rather than one per word (the browser's collector counts them).
    this.bytes = binary ? heap.slice(at, at + size) : heap.subarray(at, at + size);
    this.view = new DataView(this.bytes.buffer, this.bytes.byteOffset, size);
    this.i = 0;
    this.binary = binary;
  }

  size() {
    const n = this.view.getUint32(this.i, true);
    this.i += 4;
    return n;
  }

  slice() {
    const n = this.size();
    this.i += n;
    return this.bytes.subarray(this.i - n, this.i);
  }

  value() {
    const tag = this.bytes[this.i++];
    switch (tag) {
      case 0x4e: // N
        return null;
      case 0x42: // B
        return this.bytes[this.i++] !== 0;
      case 0x49: { // I
        const value = this.view.getFloat64(this.i, true);
        this.i += 8;
        return value;
      }
      case 0x53: // S
        return text(this.slice());
      case 0x59: // Y
        return this.binary ? this.slice() : text(this.slice());
      case 0x4c: { // L
        const n = this.size();
        const list = new Array(n);
        for (let k = 0; k < n; k++) list[k] = this.value();
        return list;
      }
      case 0x52: { // R
        const record = {};
        while (this.bytes[this.i] !== 0x45) {
          const key = text(this.slice());
          record[key] = this.value();
        }
        this.i++;
        return record;
      }
      default:
        throw new Error(`tessel: unreadable result (tag ${tag} at ${this.i - 1})`);
    }
  }
}

// An option's number, -1 for the default; least: its smallest value.
function limit(options, name, least, meaning) {
  const value = options[name];
  if (value === undefined) return -1;
  if (!Number.isSafeInteger(value) || value < least)
    throw new RangeError(`tessel: ${name} must be a whole number, ${meaning}, not ${value}`);
  return value;
}

// The translators of one loaded module.
class Tessel {
  #module;
  #session;
  #kinds;
  #names = new Map(); // kind: its name in the module's memory
  #input = { at: 0, size: 0 };
  #failure = null;

  constructor(module) {
    this.#module = module;
    this.#session = module._tessel_web_open();
    if (!this.#session) throw new Error('tessel: out of memory');
    const about = this.#read(module._tessel_web_about(this.#session), false);
    this.#kinds = about.kinds;
    this.version = about.version;
    for (const kind of this.#kinds) {
      const name = encoder.encode(kind + '\0');
      const at = module._malloc(name.length);
      if (!at) throw new Error('tessel: out of memory');
      module.HEAPU8.set(name, at);
      this.#names.set(kind, at);
    }
  }

  #read(pointer, binary) {
    return new Reader(this.#module.HEAPU8, pointer, this.#module._tessel_web_size(this.#session), binary).value();
  }

  // Room in the module's memory for the text: kept from call to call.
  #room(size) {
    if (size > this.#input.size) {
      const m = this.#module;
      const at = m._malloc(Math.max(size, 2 * this.#input.size));
      if (!at) throw new Error('tessel: out of memory for the text');
      m._free(this.#input.at);
      this.#input = { at, size: Math.max(size, 2 * this.#input.size) };
    }
    return this.#input.at;
  }

  kinds() {
    return [...this.#kinds];
  }

  translate(kind, text, options = {}) {
    if (this.#failure) throw new Error(`tessel: the module stopped (${this.#failure}); load it again`);
    if (!this.#kinds.includes(kind))
      throw new TypeError(`tessel: unknown kind ${JSON.stringify(kind)}: one of ${this.#kinds.join(', ')}`);
    const bytes = typeof text === 'string' ? encoder.encode(text) : text;
    if (!(bytes instanceof Uint8Array)) throw new TypeError('tessel: the text is a string or a Uint8Array');
    const maxOutput = limit(options, 'maxOutput', 0, '0 (no limit) or more');
    const maxDepth = limit(options, 'maxDepth', LEAST_DEPTH, `at least ${LEAST_DEPTH}`);
    const binary = options.binary === true;
    const m = this.#module;
    const at = this.#room(bytes.length);
    let result;
    try {
      m.HEAPU8.set(bytes, at);
      const pointer = m._tessel_web_translate(this.#session, this.#names.get(kind), at, bytes.length,
                                              options.trace === false ? 0 : 1, maxOutput, maxDepth);
      result = this.#read(pointer, binary);
    } catch (e) {
      // A trap (memory that cannot grow any more) leaves the module unusable.
      this.#failure = e instanceof Error ? e.message : String(e);
      throw new Error(`tessel: the translation stopped the module (${this.#failure}); load it again`);
    }
    const d = result.diagnostic;
    if (d) {
      if (typeof text === 'string') {
        d.start = indexOfByte(text, d.offset, false);
        d.end = Math.max(d.start, indexOfByte(text, d.offset + d.length, true));
      } else {
        d.start = d.offset;
        d.end = d.offset + d.length;
      }
    }
    return result;
  }
}

let current = null;

// Loads the module. opts.wasm: the bytes of tessel.wasm (an ArrayBuffer or a
// typed array), a compiled WebAssembly.Module, or its URL; by default
// tessel.wasm beside this file, fetched.
export async function load(opts = {}) {
  const source = opts.wasm ?? new URL('tessel.wasm', import.meta.url);
  // The loader waits for the instance for ever: a failure ends the wait here.
  let fail;
  const failure = new Promise((resolve, reject) => { fail = reject; });
  const module = await Promise.race([failure, createTessel({
    instantiateWasm(imports, receive) {
      instantiate(source, imports).then(({ instance, module }) => receive(instance, module), fail);
      return {};
    },
  })]);
  current = new Tessel(module);
  return current;
}

async function instantiate(source, imports) {
  if (source instanceof WebAssembly.Module)
    return { instance: await WebAssembly.instantiate(source, imports), module: source };
  if (source instanceof ArrayBuffer || ArrayBuffer.isView(source))
    return WebAssembly.instantiate(source, imports);
  const response = fetch(source, { credentials: 'same-origin' });
  if (WebAssembly.instantiateStreaming) {
    try {
      return await WebAssembly.instantiateStreaming(response, imports);
    } catch {
      // A server that sends tessel.wasm with another type: the bytes then.
    }
  }
  const r = await response;
  if (!r.ok) throw new Error(`tessel: cannot load ${source}: ${r.status} ${r.statusText}`);
  return WebAssembly.instantiate(await r.arrayBuffer(), imports);
}

function loaded() {
  if (!current) throw new Error('tessel: call load() first');
  return current;
}

export function translate(kind, text, options) {
  return loaded().translate(kind, text, options);
}

export function kinds() {
  return loaded().kinds();
}
