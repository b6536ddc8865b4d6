// The Tessel translators in JavaScript (tessel.js, over tessel.wasm).

/** A translator's name: "pure21", "valued21", "decl", "ic3" (kinds() lists them). */
export type Kind = string;

/** Text decoded from UTF-8 (a byte that is not UTF-8 becomes the character of the same number),
 *  or, with the option binary, the exact bytes. */
export type Text<Binary extends boolean> = Binary extends true ? Uint8Array : string;

export interface TranslateOptions<Binary extends boolean = false> {
  /** The trace: the "#debug:" lines of the labels' and declarations' output, ic3's trace file.
   *  Default true. */
  trace?: boolean;
  /** Bytes of out, err and trace together; a translation that would write more stops with
   *  status 2 and "output limit exceeded". 0: no limit. Default 64 MiB. */
  maxOutput?: number;
  /** The parser stack's capacity in entries, at least 200: a text nested deeper stops with status 2
   *  and "parser stack overflow". Default 100,000. */
  maxDepth?: number;
  /** out, err, trace, the commands' words and found as Uint8Array: the exact bytes. Default false. */
  binary?: Binary;
}

/** Where and why a translation stopped. */
export interface Diagnostic<Binary extends boolean = false> {
  /** The byte offset (in the text's UTF-8) of the token at which it stopped (after the last token
   *  when the text ended too early). */
  offset: number;
  /** That token's length in bytes (0 at the end of the text). */
  length: number;
  /** 1-based line. */
  line: number;
  /** 1-based display column. */
  column: number;
  /** The token in the JavaScript string: text.slice(start, end) (UTF-16 indices, end exclusive);
   *  byte offsets when the text was a Uint8Array. For an editor's underline. */
  start: number;
  end: number;
  /** The token's text ("" at the end of the text). */
  found: Text<Binary>;
  /** The grammar's names of the tokens allowed there (ID, SEMICOLON, ..., END), sorted. */
  expected: string[];
  /** What may come there, as a person reads it: a fixed text between backquotes ("`;`",
   *  "`and`"), insertable without them, or a class in words ("a name", "a number",
   *  "the end of the text"). */
  expecting: string[];
  /** A stable code per message, "<kind>.<what>" ("pure21.trigger-ends", "decl.too-long"). */
  code: string;
  /** True when the text is a correct beginning, stopped only by its end. */
  incomplete: boolean;
  /** The grammar's rule the parser was in ("trigger", "expr"), "" when unknown: the syntax
   *  diagram to show. */
  rule: string;
  /** One or two sentences for the person who typed the text. */
  message: string;
}

/** The result of a translation: what the program <kind>-translator writes for the same text on
 *  standard input, and the command lines as data. */
export interface Result<Binary extends boolean = false> {
  /** 0, 1 or 2, as the program's exit status. */
  status: number;
  /** -1 after a success, else the byte offset where it stopped. */
  offset: number;
  /** Standard output. */
  out: Text<Binary>;
  /** Standard error (the error report, no newline). */
  err: Text<Binary>;
  /** The trace file. */
  trace: Text<Binary>;
  /** The editor's command lines of out, each as its words, the values raw:
   *  ["set", NAME, VALUE], ["addElement", LIST, NAME], ["errorReport", MESSAGE], ["break"]. */
  commands: Text<Binary>[][];
  /** null after a success. */
  diagnostic: Diagnostic<Binary> | null;
}

export interface Tessel {
  /** The library's version, "MAJOR.MINOR.PATCH". */
  readonly version: string;
  kinds(): Kind[];
  /** Translates text (a string, translated as its UTF-8, or a Uint8Array, as it is).
   *  Throws TypeError for an unknown kind, RangeError for a limit that is not a whole number. */
  translate<Binary extends boolean = false>(kind: Kind, text: string | Uint8Array,
                                            options?: TranslateOptions<Binary>): Result<Binary>;
}

export interface LoadOptions {
  /** The bytes of tessel.wasm (Node: readFileSync), a compiled WebAssembly.Module, or its URL.
   *  Default: tessel.wasm beside tessel.js, fetched. */
  wasm?: BufferSource | WebAssembly.Module | URL | string;
}

/** Loads the module; translate() and kinds() below then use it. */
export function load(options?: LoadOptions): Promise<Tessel>;
export function translate<Binary extends boolean = false>(kind: Kind, text: string | Uint8Array,
                                                          options?: TranslateOptions<Binary>): Result<Binary>;
export function kinds(): Kind[];
/** Bytes as the results decode them. */
export function decode(bytes: Uint8Array): string;
