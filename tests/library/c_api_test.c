/* The C interface, from C: a translation, its buffers, a failure, names,
   a kept translator and its options. */
#include <stdio.h>
#include <string.h>

#include <tessel/translate_c.h>

static int failures = 0;

static void check(int ok, const char* what)
{
    if (!ok) {
        printf("FAIL: %s\n", what);
        ++failures;
    }
}

int main(void)
{
    const char label[] = "3;a and not b;c.";
    tessel_result* r = tessel_translate(TESSEL_PURE21, label, sizeof label - 1);
    check(r != NULL, "a result");
    if (r) {
        check(r->status == 0 && r->error_offset == -1, "success");
        check(strstr(r->out, "set trigger \"a~and~not~b\"\n") != NULL, "the trigger line");
        check(r->out_size == strlen(r->out) && r->out[r->out_size] == '\0', "out's size and NUL");
        check(r->err_size == 0 && r->trace_size == 0, "nothing on err and trace");
        tessel_result_free(r);
    }

    const char bad[] = "x;\0;.";  /* a NUL byte inside the text */
    r = tessel_translate(TESSEL_DECL, bad, sizeof bad - 1);
    check(r != NULL && r->status == 1 && r->error_offset == 0, "a rejected declaration");
    if (r)
        check(strcmp(r->err, "Tessel intermediate code (Decl) Parser:syntax error") == 0, "its report");
    tessel_result_free(r);

    tessel_kind kind = TESSEL_PURE21;
    check(tessel_kind_from_name("ic3", &kind) == 1 && kind == TESSEL_IC3, "ic3 by name");
    check(tessel_kind_from_name("other", &kind) == 0, "an unknown name");
    check(tessel_kind_from_name("decl", NULL) == 1 && tessel_kind_from_name("Decl", NULL) == 0 &&
              tessel_kind_from_name(NULL, NULL) == 0, "whether a name is a kind's, without its kind");
    check(tessel_translate((tessel_kind)7, "", 0) == NULL, "an unknown kind");
    tessel_result_free(NULL);

    /* The kinds listed: each name leads back to its kind. */
    check(tessel_kind_count() >= 4, "the kinds counted");
    for (size_t i = 0; i < tessel_kind_count(); ++i) {
        const char* name = tessel_kind_name((tessel_kind)i);
        check(name != NULL && tessel_kind_title((tessel_kind)i) != NULL, "a kind's name and title");
        check(name && tessel_kind_from_name(name, &kind) == 1 && kind == (tessel_kind)i, "a kind by its name");
    }
    check(strcmp(tessel_kind_name(TESSEL_VALUED21), "valued21") == 0, "valued21's name");
    check(strcmp(tessel_kind_title(TESSEL_IC3), "Ic3") == 0, "ic3's title");
    check(tessel_kind_name((tessel_kind)tessel_kind_count()) == NULL && tessel_kind_name((tessel_kind)-1) == NULL &&
              tessel_kind_title((tessel_kind)-1) == NULL, "no name for a number that is no kind");

    /* The two sets of defaults. */
    tessel_options options;
    tessel_options_init(&options);
    check(options.trace == 1 && options.max_output == 0 && options.max_depth == 20000000, "the defaults");
    tessel_options_init_embedded(&options);
    check(options.trace == 1 && options.max_output == 67108864 && options.max_depth == 100000,
          "the embedded defaults");
    check(strlen(tessel_version()) >= 5, "a version");

    /* A kept translator gives, text after text, what the free function
       gives; its options set one by one. */
    static const struct {
        tessel_kind kind;
        const char* text;
        int trace, diagnostic;
        size_t max_output;
        long max_depth;
        int status;
        const char* in_err;
    } calls[] = {
        {TESSEL_PURE21, "3;a and not b;c.", 1, 1, 0, 20000000, 0, ""},
        {TESSEL_DECL, "input I : ;", 1, 1, 0, 20000000, 1, "syntax error"},
        {TESSEL_PURE21, "3;a and not b;c.", 0, 1, 0, 20000000, 0, ""},
        {TESSEL_VALUED21, ";a;;b.", 1, 0, 10, 20000000, 2, "output limit exceeded"},
        {TESSEL_PURE21, ";((((((((((a))))))))));.", 1, 1, 0, 200, 0, ""},
        {TESSEL_IC3, ":<main> m :<end>", 0, 0, 0, 100000, 1, "syntax error"},
    };
    tessel_translator* translator = tessel_translator_new();
    check(translator != NULL, "a translator");
    for (size_t i = 0; i < sizeof calls / sizeof calls[0]; ++i) {
        check(tessel_translator_set_trace(translator, calls[i].trace) && tessel_translator_set_diagnostic(translator, calls[i].diagnostic) &&
                  tessel_translator_set_max_output(translator, calls[i].max_output) &&
                  tessel_translator_set_max_depth(translator, calls[i].max_depth),
              "options set");
        size_t size = strlen(calls[i].text);
        tessel_result* kept = tessel_translator_translate(translator, calls[i].kind, calls[i].text, size);
        tessel_options options;
        tessel_options_init(&options);
        options.trace = calls[i].trace;
        options.max_output = calls[i].max_output;
        options.max_depth = calls[i].max_depth;
        tessel_result* alone = tessel_translate_with(calls[i].kind, calls[i].text, size, &options);
        check(kept && alone && kept->status == calls[i].status && strstr(kept->err, calls[i].in_err), "kept: status and report");
        check(kept && alone && kept->status == alone->status && kept->error_offset == alone->error_offset &&
                  kept->out_size == alone->out_size && memcmp(kept->out, alone->out, kept->out_size) == 0 &&
                  strcmp(kept->err, alone->err) == 0 && strcmp(kept->trace, alone->trace) == 0,
              "kept: the free function's result");
        check(kept && (kept->diagnostic != NULL) == (calls[i].diagnostic && calls[i].status != 0), "kept: the diagnostic switch");
        check(kept && (calls[i].status != 0 || (strstr(kept->out, "#debug:") != NULL) == (calls[i].trace != 0)),
              "kept: the trace switch");
        tessel_result_free(kept);
        tessel_result_free(alone);
    }
    /* A record of options at once; NULL is the defaults. */
    tessel_options embedded;
    tessel_options_init_embedded(&embedded);
    embedded.max_output = 10;
    check(tessel_translator_set_options(translator, &embedded), "a record set");
    r = tessel_translator_translate(translator, TESSEL_PURE21, label, sizeof label - 1);
    check(r && r->status == 2, "the record's output limit");
    tessel_result_free(r);
    check(tessel_translator_set_options(translator, NULL), "the defaults set");
    r = tessel_translator_translate(translator, TESSEL_PURE21, label, sizeof label - 1);
    check(r && r->status == 0 && strstr(r->out, "#debug:"), "the defaults: no limit, a trace");
    tessel_result_free(r);
    check(tessel_translator_translate(translator, (tessel_kind)-1, "", 0) == NULL, "an unknown kind (translator)");
    check(tessel_translator_translate(translator, TESSEL_PURE21, NULL, 3) == NULL, "no text");
    tessel_translator_free(translator);
    check(tessel_translator_translate(NULL, TESSEL_PURE21, "", 0) == NULL && !tessel_translator_set_trace(NULL, 0) &&
              !tessel_translator_set_options(NULL, NULL),
          "no translator");
    tessel_translator_free(NULL);

    printf("%s\n", failures ? "failed" : "all checks passed");
    return failures != 0;
}
