// The C interface: the C++ entry point with its results copied into plain
// buffers.
#include <tessel/translate_c.h>
#include <tessel/translate.h>

#include <cstdlib>
#include <cstring>

namespace {

// A copy of text in a new buffer with a NUL after it; false when out of memory.
bool copy_out(const std::string& text, char** buffer, size_t* size)
{
    *buffer = static_cast<char*>(std::malloc(text.size() + 1));
    if (!*buffer)
        return false;
    std::memcpy(*buffer, text.data(), text.size());
    (*buffer)[text.size()] = '\0';
    *size = text.size();
    return true;
}

}  // namespace

extern "C" tessel_result* tessel_translate(tessel_kind kind, const char* text, size_t size)
{
    if (kind < TESSEL_PURE21 || kind > TESSEL_IC3 || (!text && size > 0))
        return nullptr;
    auto* result = static_cast<tessel_result*>(std::calloc(1, sizeof(tessel_result)));
    if (!result)
        return nullptr;
    try {
        tessel::Result r = tessel::translate(static_cast<tessel::Kind>(kind),
                                             std::string_view(text ? text : "", size));
        result->status = r.status;
        result->error_offset = r.error_offset;
        if (copy_out(r.out, &result->out, &result->out_size) &&
            copy_out(r.err, &result->err, &result->err_size) &&
            copy_out(r.trace, &result->trace, &result->trace_size))
            return result;
    } catch (...) {
        // Out of memory: nothing may cross into C.
    }
    tessel_result_free(result);
    return nullptr;
}

extern "C" void tessel_result_free(tessel_result* result)
{
    if (!result)
        return;
    std::free(result->out);
    std::free(result->err);
    std::free(result->trace);
    std::free(result);
}

extern "C" int tessel_kind_from_name(const char* name, tessel_kind* kind)
{
    tessel::Kind k;
    if (!name || !tessel::kind_from_name(name, k))
        return 0;
    *kind = static_cast<tessel_kind>(k);
    return 1;
}

extern "C" const char* tessel_version(void)
{
    return tessel::version();
}
