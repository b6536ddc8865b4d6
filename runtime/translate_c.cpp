// The C interface: the C++ entry point with its results copied into plain
// buffers. They are taken from operator new, as everything else of a
// translation (tessel_result_free gives them back).
#include <tessel/translate_c.h>
#include <tessel/translate.h>

#include <cstring>
#include <new>

#include "language.h"

namespace {

template <class T>
T* allocate(size_t count)
{
    return static_cast<T*>(::operator new(count * sizeof(T), std::nothrow));
}

// A copy of text in a new buffer with a NUL after it; false when out of memory.
bool copy_out(const std::string& text, char** buffer, size_t* size)
{
    *buffer = allocate<char>(text.size() + 1);
    if (!*buffer)
        return false;
    std::memcpy(*buffer, text.data(), text.size());
    (*buffer)[text.size()] = '\0';
    if (size)
        *size = text.size();
    return true;
}

void free_diagnostic(tessel_diagnostic* d)
{
    if (!d)
        return;
    ::operator delete(d->found);
    ::operator delete(d->message);
    ::operator delete(d->code);
    ::operator delete(d->rule);
    ::operator delete(static_cast<void*>(d->expected));
    ::operator delete(static_cast<void*>(d->expecting));
    ::operator delete(d);
}

// The names as an array of pointers ended by NULL, in one block with the
// names after it.
const char** copy_names(const std::vector<std::string>& names)
{
    size_t size = (names.size() + 1) * sizeof(char*);
    for (const std::string& name : names)
        size += name.size() + 1;
    auto** pointers = static_cast<const char**>(::operator new(size, std::nothrow));
    if (!pointers)
        return nullptr;
    char* text = reinterpret_cast<char*>(pointers + names.size() + 1);
    for (size_t i = 0; i < names.size(); ++i) {
        pointers[i] = text;
        std::memcpy(text, names[i].c_str(), names[i].size() + 1);
        text += names[i].size() + 1;
    }
    pointers[names.size()] = nullptr;
    return pointers;
}

// The diagnostic in plain buffers.
tessel_diagnostic* copy_diagnostic(const tessel::Diagnostic& diagnostic)
{
    auto* d = allocate<tessel_diagnostic>(1);
    if (!d)
        return nullptr;
    *d = tessel_diagnostic{diagnostic.offset, diagnostic.length, diagnostic.line, diagnostic.column,
                           nullptr, 0, nullptr, diagnostic.expected.size(), nullptr, nullptr, nullptr,
                           diagnostic.expecting.size(), diagnostic.incomplete ? 1 : 0, nullptr};
    d->expected = copy_names(diagnostic.expected);
    d->expecting = copy_names(diagnostic.expecting);
    if (!d->expected || !d->expecting || !copy_out(diagnostic.found, &d->found, &d->found_size) ||
        !copy_out(diagnostic.message, &d->message, nullptr) || !copy_out(diagnostic.code, &d->code, nullptr) ||
        !copy_out(diagnostic.rule, &d->rule, nullptr)) {
        free_diagnostic(d);
        return nullptr;
    }
    return d;
}

}  // namespace

namespace {

void set_options(tessel_options* options, const tessel::Options& defaults)
{
    options->trace = defaults.trace ? 1 : 0;
    options->max_output = defaults.max_output;
    options->max_depth = defaults.max_depth;
}

// The kind of a number, when it is one.
bool known(tessel_kind kind)
{
    // (A negative number is a large one as unsigned, whatever the enum's type.)
    return static_cast<unsigned long>(kind) < tessel::runtime::languages().size();
}

// The options of a record (the defaults for NULL), without commands, which
// the C interface does not give.
tessel::Options from_record(const tessel_options* options, tessel::Options o = tessel::Options())
{
    o.commands = false;
    if (options) {
        o.trace = options->trace != 0;
        o.max_output = options->max_output;
        o.max_depth = options->max_depth;
    }
    return o;
}

// The text translated by the translator, its result copied into plain
// buffers; NULL for a bad call or when memory runs out.
tessel_result* translate_into_c(tessel::Translator& translator, tessel_kind kind, const char* text, size_t size,
                                const tessel::Options& options)
{
    if (!known(kind) || (!text && size > 0))
        return nullptr;
    auto* result = allocate<tessel_result>(1);
    if (!result)
        return nullptr;
    *result = tessel_result{};
    try {
        tessel::Result r =
            translator.translate(static_cast<tessel::Kind>(kind), std::string_view(text ? text : "", size), options);
        result->status = r.status;
        result->error_offset = r.error_offset;
        if (copy_out(r.out, &result->out, &result->out_size) && copy_out(r.err, &result->err, &result->err_size) &&
            copy_out(r.trace, &result->trace, &result->trace_size) &&
            (!r.diagnostic || (result->diagnostic = copy_diagnostic(*r.diagnostic))))
            return result;
    } catch (...) {
        // Out of memory: nothing may cross into C.
    }
    tessel_result_free(result);
    return nullptr;
}

}  // namespace

// A kept translator and its options.
struct tessel_translator {
    tessel::Translator translator;
    tessel::Options options = from_record(nullptr);
};

extern "C" void tessel_options_init(tessel_options* options)
{
    set_options(options, tessel::Options());
}

extern "C" void tessel_options_init_embedded(tessel_options* options)
{
    set_options(options, tessel::Options::embedded());
}

extern "C" tessel_result* tessel_translate_with(tessel_kind kind, const char* text, size_t size,
                                                const tessel_options* options)
{
    if (!known(kind))  // (before a translator is made for nothing)
        return nullptr;
    try {
        tessel::Translator translator;
        return translate_into_c(translator, kind, text, size, from_record(options));
    } catch (...) {
        return nullptr;  // out of memory for the translator
    }
}

extern "C" tessel_translator* tessel_translator_new(void)
{
    try {
        return new tessel_translator;
    } catch (...) {
        return nullptr;
    }
}

extern "C" void tessel_translator_free(tessel_translator* translator)
{
    delete translator;
}

extern "C" tessel_result* tessel_translator_translate(tessel_translator* translator, tessel_kind kind,
                                                      const char* text, size_t size)
{
    return translator ? translate_into_c(translator->translator, kind, text, size, translator->options) : nullptr;
}

namespace {

// Sets an option of the translator: 1, or 0 for a NULL translator.
template <class Set>
int set_option(tessel_translator* translator, Set set)
{
    if (!translator)
        return 0;
    set(translator->options);
    return 1;
}

}  // namespace

extern "C" int tessel_translator_set_trace(tessel_translator* translator, int trace)
{
    return set_option(translator, [=](tessel::Options& o) { o.trace = trace != 0; });
}

extern "C" int tessel_translator_set_max_output(tessel_translator* translator, size_t max_output)
{
    return set_option(translator, [=](tessel::Options& o) { o.max_output = max_output; });
}

extern "C" int tessel_translator_set_max_depth(tessel_translator* translator, long max_depth)
{
    return set_option(translator, [=](tessel::Options& o) { o.max_depth = max_depth; });
}

extern "C" int tessel_translator_set_diagnostic(tessel_translator* translator, int diagnostic)
{
    return set_option(translator, [=](tessel::Options& o) { o.diagnostic = diagnostic != 0; });
}

extern "C" int tessel_translator_set_options(tessel_translator* translator, const tessel_options* options)
{
    tessel_options defaults;
    tessel_options_init(&defaults);
    return set_option(translator, [&](tessel::Options& o) { o = from_record(options ? options : &defaults, o); });
}

extern "C" tessel_result* tessel_translate(tessel_kind kind, const char* text, size_t size)
{
    return tessel_translate_with(kind, text, size, nullptr);
}

extern "C" void tessel_result_free(tessel_result* result)
{
    if (!result)
        return;
    ::operator delete(result->out);
    ::operator delete(result->err);
    ::operator delete(result->trace);
    free_diagnostic(result->diagnostic);
    ::operator delete(result);
}

extern "C" size_t tessel_kind_count(void)
{
    return tessel::runtime::languages().size();
}

extern "C" const char* tessel_kind_name(tessel_kind kind)
{
    return known(kind) ? tessel::kind_name(static_cast<tessel::Kind>(kind)) : nullptr;
}

extern "C" const char* tessel_kind_title(tessel_kind kind)
{
    return known(kind) ? tessel::kind_title(static_cast<tessel::Kind>(kind)) : nullptr;
}

extern "C" int tessel_kind_from_name(const char* name, tessel_kind* kind)
{
    tessel::Kind k;
    if (!name || !tessel::kind_from_name(name, k))
        return 0;
    if (kind)
        *kind = static_cast<tessel_kind>(k);
    return 1;
}

extern "C" const char* tessel_version(void)
{
    return tessel::version();
}
