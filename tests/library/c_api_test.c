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
    check(strlen(tessel_version()) >= 5, "a version");

    printf("%s\n", failures ? "failed" : "all checks passed");
    return failures != 0;
}
