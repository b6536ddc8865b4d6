/* The Tessel translators from C and other languages: plain buffers in, one
   result record out, released with tessel_result_free. Every call is
   independent and may run in any thread. */
#ifndef TESSEL_TRANSLATE_C_H
#define TESSEL_TRANSLATE_C_H

#include <stddef.h>

#if defined(__GNUC__)
#define TESSEL_C_API __attribute__((visibility("default")))
#else
#define TESSEL_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum tessel_kind {
    TESSEL_PURE21 = 0,
    TESSEL_VALUED21 = 1,
    TESSEL_DECL = 2,
    TESSEL_IC3 = 3
} tessel_kind;

/* What the program <kind>-translator gives for the text: its exit status,
   the offset of the token at which it stopped (-1 on success), and what it
   writes to standard output, standard error and its trace file. Each
   buffer is followed by a NUL byte that its size does not count (the bytes
   themselves may hold NUL). */
typedef struct tessel_result {
    int status;
    long error_offset;
    char* out;
    size_t out_size;
    char* err;
    size_t err_size;
    char* trace;
    size_t trace_size;
} tessel_result;

/* Translates size bytes at text. NULL when the kind is unknown or memory
   runs out. */
TESSEL_C_API tessel_result* tessel_translate(tessel_kind kind, const char* text, size_t size);

/* Releases a result (NULL is allowed). */
TESSEL_C_API void tessel_result_free(tessel_result* result);

/* "pure21", "valued21", "decl" or "ic3" into *kind: 1 when the name is one
   of them, else 0. */
TESSEL_C_API int tessel_kind_from_name(const char* name, tessel_kind* kind);

/* The library's version, "MAJOR.MINOR.PATCH". */
TESSEL_C_API const char* tessel_version(void);

#ifdef __cplusplus
}
#endif

#endif
