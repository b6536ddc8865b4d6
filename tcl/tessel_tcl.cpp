// The Tcl package tessel: the translators in the editor's own interpreter.
//
//   package require tessel
//   tessel::kinds
//   tessel::translate ?-trace BOOL? ?-maxoutput BYTES? ?-maxdepth N? KIND TEXT
//
// tessel::kinds lists the kinds, as tessel::kinds() does. tessel::translate
// returns a dict: status, offset, out, err, trace (byte arrays: the bytes the
// programs write), commands, the command lines of out as data, each a list
// of its words, the values raw, and diagnostic (an empty dict after a
// success, else offset, length, line, column, found, expected, message).
// Nothing is evaluated: no text can run a command. The text is taken as
// bytes; a character above U+00FF is an error. A translation costs at most
// -maxoutput bytes of output (0: no limit) and a parser stack of -maxdepth
// entries, by default the library's embedded ones (tessel::Options::embedded,
// 64 MiB and 100,000): the editor stays in charge of its time and memory.
//
// Built against Tcl's stubs; the library is linked in. Each interpreter's
// command keeps its own tessel::Translator (an interpreter lives in one
// thread), and the extension has no other state: it may be loaded into any
// number of interpreters in any threads, safe ones included.
#include <tcl.h>

#include <climits>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>
#include <tessel/translate_c.h>

#define TESSEL_TCL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

Tcl_Obj* byte_array(std::string_view bytes)
{
    return Tcl_NewByteArrayObj(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

bool is_pure_byte_array(Tcl_Obj* obj)
{
    // A value with no string form is its bytes. Tcl 8.6 has two internal
    // types under this name; both hold the bytes as they are.
    return obj->bytes == nullptr && obj->typePtr && std::strcmp(obj->typePtr->name, "bytearray") == 0;
}

// The bytes of obj: a byte array as it is; any other value character by
// character, each at most U+00FF. Its string form decides, never a byte
// array made from it, which drops the high bits of wider characters.
// Returns false with an error in interp otherwise. text may point into obj
// or into storage.
bool text_bytes(Tcl_Interp* interp, Tcl_Obj* obj, std::string& storage, std::string_view& text)
{
    int size = 0;
    if (is_pure_byte_array(obj)) {
        const unsigned char* bytes = Tcl_GetByteArrayFromObj(obj, &size);
        text = std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
        return true;
    }
    const char* utf = Tcl_GetStringFromObj(obj, &size);
    const char* end = utf + size;
    const char* p = utf;
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    if (p == end) {  // ASCII: the string is its bytes
        text = std::string_view(utf, static_cast<size_t>(size));
        return true;
    }
    storage.assign(utf, p);
    long index = p - utf;
    while (p < end) {
        Tcl_UniChar c = 0;
        p += Tcl_UtfToUniChar(p, &c);
        if (c > 0xFF) {
            Tcl_SetObjResult(interp, Tcl_ObjPrintf(
                "tessel::translate: the text is not bytes: character U+%04X at index %ld is above U+00FF "
                "(convert the text first, e.g. with encoding convertto utf-8)", static_cast<unsigned>(c), index));
            Tcl_SetErrorCode(interp, "TESSEL", "NOT_BYTES", nullptr);
            return false;
        }
        storage.push_back(static_cast<char>(c));
        ++index;
    }
    text = storage;
    return true;
}

Tcl_Obj* diagnostic_dict(const std::optional<tessel::Diagnostic>& diagnostic)
{
    Tcl_Obj* dict = Tcl_NewDictObj();
    if (!diagnostic)
        return dict;
    const tessel::Diagnostic& d = *diagnostic;
    Tcl_Obj* expected = Tcl_NewListObj(0, nullptr);
    for (const std::string& name : d.expected)
        Tcl_ListObjAppendElement(nullptr, expected, Tcl_NewStringObj(name.data(), static_cast<int>(name.size())));
    auto put = [dict](const char* key, Tcl_Obj* value) { Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), value); };
    put("offset", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(d.offset)));
    put("length", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(d.length)));
    put("line", Tcl_NewIntObj(d.line));
    put("column", Tcl_NewIntObj(d.column));
    put("found", byte_array(d.found));
    put("expected", expected);
    put("message", Tcl_NewStringObj(d.message.data(), static_cast<int>(d.message.size())));
    return dict;
}

// The result as a dict, or false with an error in interp when a part is
// longer than a Tcl value may be (the values of commands are parts of out).
bool set_result(Tcl_Interp* interp, const tessel::Result& r)
{
    for (const std::string* part : {&r.out, &r.err, &r.trace})
        if (part->size() > static_cast<size_t>(INT_MAX)) {
            Tcl_SetObjResult(interp, Tcl_ObjPrintf("tessel::translate: a result of %lu bytes is too long for a Tcl value",
                                                   static_cast<unsigned long>(part->size())));
            Tcl_SetErrorCode(interp, "TESSEL", "TOO_LONG", nullptr);
            return false;
        }
    Tcl_Obj* commands = Tcl_NewListObj(0, nullptr);
    std::vector<Tcl_Obj*> words;
    for (const tessel::Command& command : r.commands) {
        words.clear();
        for (const std::string& word : command)
            words.push_back(byte_array(word));
        Tcl_ListObjAppendElement(nullptr, commands, Tcl_NewListObj(static_cast<int>(words.size()), words.data()));
    }
    Tcl_Obj* dict = Tcl_NewDictObj();
    auto put = [dict](const char* key, Tcl_Obj* value) { Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), value); };
    put("status", Tcl_NewIntObj(r.status));
    put("offset", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(r.error_offset)));
    put("out", byte_array(r.out));
    put("err", byte_array(r.err));
    put("trace", byte_array(r.trace));
    put("commands", commands);
    put("diagnostic", diagnostic_dict(r.diagnostic));
    Tcl_SetObjResult(interp, dict);
    return true;
}

// The options before KIND TEXT into options; false with an error in interp.
bool parse_options(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[], tessel::Options& options)
{
    static const char* const names[] = {"-trace", "-maxoutput", "-maxdepth", nullptr};
    enum { trace, maxoutput, maxdepth };
    for (int i = 1; i < objc; i += 2) {
        int which = 0;
        if (Tcl_GetIndexFromObj(interp, objv[i], names, "option", 0, &which) != TCL_OK)
            return false;
        if (i + 1 == objc) {
            Tcl_SetObjResult(interp, Tcl_ObjPrintf("tessel::translate: %s needs a value", names[which]));
            return false;
        }
        Tcl_WideInt number = 0;
        int flag = 0;
        switch (which) {
        case trace:
            if (Tcl_GetBooleanFromObj(interp, objv[i + 1], &flag) != TCL_OK)
                return false;
            options.trace = flag != 0;
            break;
        case maxoutput:
        case maxdepth:
            if (Tcl_GetWideIntFromObj(interp, objv[i + 1], &number) != TCL_OK)
                return false;
            if (which == maxdepth && number < tessel::Options::least_depth) {
                Tcl_SetObjResult(interp, Tcl_ObjPrintf("tessel::translate: %s must be at least %ld", names[which],
                                                       tessel::Options::least_depth));
                return false;
            }
            if (number < 0) {
                Tcl_SetObjResult(interp, Tcl_ObjPrintf("tessel::translate: %s must be 0 (no limit) or more", names[which]));
                return false;
            }
            if (which == maxoutput)
                options.max_output = static_cast<size_t>(number);
            else
                options.max_depth = static_cast<long>(number);
            break;
        }
    }
    return true;
}

// The kind named by obj, or false with Tcl's own error for a name that is
// not in a table ("bad kind ...: must be ...", TCL LOOKUP INDEX).
bool kind_of(Tcl_Interp* interp, Tcl_Obj* obj, tessel::Kind& kind)
{
    const char* name = Tcl_GetString(obj);
    if (tessel::kind_from_name(name, kind))
        return true;
    // (The C interface's list, which takes no memory of the library's.)
    const size_t count = tessel_kind_count();
    Tcl_Obj* message = Tcl_ObjPrintf("bad kind \"%s\": must be ", name);
    for (size_t i = 0; i < count; ++i) {
        const char* separator = i == 0 ? "" : count == 2 ? " or " : i + 1 == count ? ", or " : ", ";
        Tcl_AppendStringsToObj(message, separator, tessel_kind_name(static_cast<tessel_kind>(i)), nullptr);
    }
    Tcl_SetObjResult(interp, message);
    Tcl_SetErrorCode(interp, "TCL", "LOOKUP", "INDEX", "kind", name, nullptr);
    return false;
}

int kinds_command(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc != 1) {
        Tcl_WrongNumArgs(interp, 1, objv, nullptr);
        return TCL_ERROR;
    }
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (size_t i = 0; i < tessel_kind_count(); ++i)
        Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(tessel_kind_name(static_cast<tessel_kind>(i)), -1));
    Tcl_SetObjResult(interp, list);
    return TCL_OK;
}

int translate_command(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc < 3 || objc % 2 == 0) {
        Tcl_WrongNumArgs(interp, 1, objv, "?-trace bool? ?-maxoutput bytes? ?-maxdepth entries? kind text");
        return TCL_ERROR;
    }
    tessel::Options options = tessel::Options::embedded();
    if (!parse_options(interp, objc - 2, objv, options))
        return TCL_ERROR;
    tessel::Kind kind;
    if (!kind_of(interp, objv[objc - 2], kind))
        return TCL_ERROR;
    std::string storage;
    std::string_view text;
    if (!text_bytes(interp, objv[objc - 1], storage, text))
        return TCL_ERROR;
    try {
        tessel::Result result = static_cast<tessel::Translator*>(data)->translate(kind, text, options);
        return set_result(interp, result) ? TCL_OK : TCL_ERROR;
    } catch (const std::exception& e) {
        // Out of memory even for the result: no exception may cross into Tcl.
        Tcl_SetObjResult(interp, Tcl_ObjPrintf("tessel::translate: %s", e.what()));
        Tcl_SetErrorCode(interp, "TESSEL", "NO_MEMORY", nullptr);
        return TCL_ERROR;
    }
}

}  // namespace

TESSEL_TCL_EXPORT int Tessel_Init(Tcl_Interp* interp)
{
    if (!Tcl_InitStubs(interp, "8.6", 0))
        return TCL_ERROR;
    Tcl_CreateObjCommand(interp, "::tessel::kinds", kinds_command, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::tessel::translate", translate_command, new tessel::Translator,
                         [](ClientData data) { delete static_cast<tessel::Translator*>(data); });
    return Tcl_PkgProvideEx(interp, "tessel", tessel::version(), nullptr);
}

// The command reads no file, starts no process and evaluates nothing: a
// safe interpreter gets it as it is.
TESSEL_TCL_EXPORT int Tessel_SafeInit(Tcl_Interp* interp)
{
    return Tessel_Init(interp);
}
