/* The C interface, from C: a translation, its buffers, a failure, names. */
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

    printf("%s\n", failures ? "failed" : "all checks passed");
    return failures != 0;
}
