/* The Tessel translators from C and other languages: plain buffers in, one
   result record out, released with tessel_result_free. Every call is
   independent and may run in any thread; a tessel_translator serves one
   thread at a time. */
#ifndef TESSEL_TRANSLATE_C_H
#define TESSEL_TRANSLATE_C_H

#include <stddef.h>

/* typedef enum tessel_kind { TESSEL_PURE21 = 0, TESSEL_VALUED21 = 1,
   TESSEL_DECL = 2, TESSEL_IC3 = 3 } tessel_kind, made by the build from its
   list of kinds. */
#include <tessel/kinds_c.h>

#if defined(__GNUC__)
#define TESSEL_C_API __attribute__((visibility("default")))
#else
#define TESSEL_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Where a failed translation stopped and why, for the person who typed the
   text: the offset and length in bytes of the token at which it stopped
   (length 0 at the end of the text, which is shown just after the last
   token), the line and display column of its first byte (1-based; one
   column per character, a tab to the next multiple of 8, a wide character
   two), its bytes (found, followed by a NUL byte that found_size does not
   count), after a syntax error the names of the tokens the grammar allows
   there (ID, SEMICOLON, ..., END for the end of the text; sorted), one or
   two sentences saying what is wrong (NUL-terminated); then the message's
   stable code ("pure21.trigger-ends"), the allowed tokens as a person reads
   them ("a name", "`;`"; expecting_count of them, then NULL), incomplete
   (1 when the text is a correct beginning that stopped only because it
   ended, or inside a text not closed yet) and the grammar rule the parser
   was in ("trigger"; "" when none). */
typedef struct tessel_diagnostic {
    long offset;
    long length;
    int line;
    int column;
    char* found;
    size_t found_size;
    const char** expected;
    size_t expected_count;
    char* message;
    char* code;
    const char** expecting;
    size_t expecting_count;
    int incomplete;
    char* rule;
} tessel_diagnostic;

/* What the program <kind>-translator gives for the text: its exit status,
   the offset of the token at which it stopped (-1 on success), and what it
   writes to standard output, standard error and its trace file. Each
   buffer is followed by a NUL byte that its size does not count (the bytes
   themselves may hold NUL). The diagnostic is NULL on success. */
typedef struct tessel_result {
    int status;
    long error_offset;
    char* out;
    size_t out_size;
    char* err;
    size_t err_size;
    char* trace;
    size_t trace_size;
    tessel_diagnostic* diagnostic;
} tessel_result;

/* What a translation may cost: set by tessel_options_init to the defaults
   (a trace, no output limit, a parser stack of 20,000,000 entries), then
   changed as needed. trace 0: no "#debug:" trace lines or records at all;
   max_output: the bytes of out, err and trace together (0: no limit), past
   which the translation stops with status 2 and the error report "output
   limit exceeded"; max_depth: the capacity of the parser's stack in entries,
   full at "parser stack overflow". */
typedef struct tessel_options {
    int trace;
    size_t max_output;
    long max_depth;
} tessel_options;

TESSEL_C_API void tessel_options_init(tessel_options* options);

/* The defaults for a program that translates on behalf of a person and must
   stay in charge of its memory: a trace, at most 64 MiB of output
   (max_output 67108864) and a parser stack of 100,000 entries. */
TESSEL_C_API void tessel_options_init_embedded(tessel_options* options);

/* Translates size bytes at text, with the default options. NULL when the
   kind is unknown or memory runs out even for the result; memory running
   out inside the translation gives a result with status 2 and the error
   report "memory exhausted". */
TESSEL_C_API tessel_result* tessel_translate(tessel_kind kind, const char* text, size_t size);

/* The same with options (NULL: the defaults). */
TESSEL_C_API tessel_result* tessel_translate_with(tessel_kind kind, const char* text, size_t size,
                                                  const tessel_options* options);

/* Releases a result (NULL is allowed). */
TESSEL_C_API void tessel_result_free(tessel_result* result);

/* A translator kept for text after text, as tessel::Translator in C++: it
   keeps what the last translation set up (its scanner's buffers, its spare
   values) for the next, a good part faster for many texts, with the same
   results. One thread at a time may use it; keep one per thread.

   Its options are set by functions, one per option, so that options can
   be added without changing any record a caller allocates: a new
   translator has the defaults of tessel_options_init and gives the
   diagnostic of a failed translation; each setter returns 1 when the
   option is set, 0 for a NULL translator. */
typedef struct tessel_translator tessel_translator;

/* A new translator, NULL when memory runs out; released with
   tessel_translator_free (NULL is allowed). */
TESSEL_C_API tessel_translator* tessel_translator_new(void);
TESSEL_C_API void tessel_translator_free(tessel_translator* translator);

/* Translates size bytes at text with the translator's options, as
   tessel_translate_with does: NULL for an unknown kind, a NULL translator,
   or when memory runs out even for the result. */
TESSEL_C_API tessel_result* tessel_translator_translate(tessel_translator* translator, tessel_kind kind,
                                                        const char* text, size_t size);

/* The options one by one: the trace (0: none), the output limit in bytes
   (0: none), the parser stack's capacity in entries (at least 200 count),
   the diagnostic of a failed translation (0: none, result.diagnostic stays
   NULL, which saves its making). */
TESSEL_C_API int tessel_translator_set_trace(tessel_translator* translator, int trace);
TESSEL_C_API int tessel_translator_set_max_output(tessel_translator* translator, size_t max_output);
TESSEL_C_API int tessel_translator_set_max_depth(tessel_translator* translator, long max_depth);
TESSEL_C_API int tessel_translator_set_diagnostic(tessel_translator* translator, int diagnostic);

/* The trace, output limit and stack capacity of an options record at once
   (tessel_options_init_embedded's, say); NULL: the defaults. */
TESSEL_C_API int tessel_translator_set_options(tessel_translator* translator, const tessel_options* options);

/* The kinds: 0 to tessel_kind_count() - 1, in the order of tessel_kind. */
TESSEL_C_API size_t tessel_kind_count(void);

/* The name of a kind ("pure21", as programs and the batch protocol name
   it) and its title ("Pure21", as the error reports show it); NULL for a
   number that is no kind. */
TESSEL_C_API const char* tessel_kind_name(tessel_kind kind);
TESSEL_C_API const char* tessel_kind_title(tessel_kind kind);

/* The kind of a name ("pure21", "valued21", "decl", "ic3") into *kind: 1
   when the name is one of them, else 0. With kind NULL it only tells
   whether the name is a kind's. */
TESSEL_C_API int tessel_kind_from_name(const char* name, tessel_kind* kind);

/* The library's version, "MAJOR.MINOR.PATCH". */
TESSEL_C_API const char* tessel_version(void);

#ifdef __cplusplus
}
#endif

#endif
