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

#include <algorithm>
#include <climits>
#include <iterator>
#include <new>
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

// Memory that may be refused (null), where Tcl's usual allocation would
// end the process.
char* attempt(size_t bytes)
{
    return bytes < static_cast<size_t>(UINT_MAX) ? static_cast<char*>(attemptckalloc(static_cast<unsigned>(bytes)))
                                                 : nullptr;
}

// How the results are given: as strings (decoded from UTF-8), or with
// -binary as byte arrays, the bytes the programs write.
struct Form {
    bool binary = false;
    Tcl_Encoding utf8 = nullptr;
};

Tcl_Obj* byte_array(std::string_view bytes)
{
    return Tcl_NewByteArrayObj(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

// UTF-8 as a Tcl string: a byte that is not part of a UTF-8 character is
// the character of the same number. The string's storage is asked for in
// a way that may fail, so that no length of output can end the process:
// null when there is no memory for it.
Tcl_Obj* decoded(const Form& form, std::string_view bytes)
{
    // Tcl's own form takes at most two bytes for each (a byte above 0x7F
    // that starts no character, or NUL), with room for its end.
    const size_t room = 2 * bytes.size() + 16;
    if (room > static_cast<size_t>(INT_MAX))
        return nullptr;
    char* storage = attempt(room);
    if (!storage)
        return nullptr;
    int wrote = 0;
    Tcl_ExternalToUtf(nullptr, form.utf8, bytes.data(), static_cast<int>(bytes.size()),
                      TCL_ENCODING_START | TCL_ENCODING_END, nullptr, storage, static_cast<int>(room), nullptr, &wrote,
                      nullptr);
    storage[wrote] = '\0';
    Tcl_Obj* obj = Tcl_NewObj();
    Tcl_InvalidateStringRep(obj);
    obj->bytes = storage;
    obj->length = wrote;
    return obj;
}

// A part of the result as the caller asked for it (null: no memory).
Tcl_Obj* part(const Form& form, std::string_view bytes)
{
    if (!form.binary)
        return decoded(form, bytes);
    // A byte array takes its bytes from an allocation that may not fail:
    // make sure first that there is room.
    char* probe = attempt(bytes.size() + 16);
    if (!probe)
        return nullptr;
    ckfree(probe);
    return byte_array(bytes);
}

Tcl_Obj* text_obj(std::string_view text)
{
    return Tcl_NewStringObj(text.data(), static_cast<int>(text.size()));
}

bool is_pure_byte_array(Tcl_Obj* obj)
{
    // A value with no string form is its bytes. Tcl 8.6 has two internal
    // types under this name; both hold the bytes as they are.
    return obj->bytes == nullptr && obj->typePtr && std::strcmp(obj->typePtr->name, "bytearray") == 0;
}

// With -binary, the bytes of obj: a byte array as it is; any other value
// character by character, each at most U+00FF. Its string form decides,
// never a byte array made from it, which drops the high bits of wider
// characters. Returns false with an error in interp otherwise. text may
// point into obj or into storage.
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
                "(give -binary 0 to translate a string)", static_cast<unsigned>(c), index));
            Tcl_SetErrorCode(interp, "TESSEL", "NOT_BYTES", nullptr);
            return false;
        }
        storage.push_back(static_cast<char>(c));
        ++index;
    }
    text = storage;
    return true;
}

// The UTF-8 encoding of the string obj. text may point into obj or into
// storage.
void text_utf8(const Form& form, Tcl_Obj* obj, std::string& storage, std::string_view& text)
{
    int size = 0;
    const char* utf = Tcl_GetStringFromObj(obj, &size);
    const char* end = utf + size;
    const char* p = utf;
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    if (p == end) {  // ASCII: the string is its encoding
        text = std::string_view(utf, static_cast<size_t>(size));
        return;
    }
    // Tcl's own form differs from UTF-8 only in NUL (two bytes) and the
    // characters past U+FFFF (six): UTF-8 is never longer.
    storage.resize(static_cast<size_t>(size) + 16);
    int wrote = 0;
    Tcl_UtfToExternal(nullptr, form.utf8, utf, size, TCL_ENCODING_START | TCL_ENCODING_END, nullptr, storage.data(),
                      static_cast<int>(storage.size()), nullptr, &wrote, nullptr);
    storage.resize(static_cast<size_t>(wrote));
    text = storage;
}

// The character index in the text of a byte offset into its bytes.
Tcl_WideInt char_index(const Form& form, std::string_view text, long offset)
{
    const std::string_view before = text.substr(0, static_cast<size_t>(std::max(0L, offset)));
    if (form.binary)
        return static_cast<Tcl_WideInt>(before.size());
    Tcl_Obj* prefix = decoded(form, before);
    if (!prefix)
        return static_cast<Tcl_WideInt>(before.size());
    Tcl_IncrRefCount(prefix);
    const int length = Tcl_GetCharLength(prefix);
    Tcl_DecrRefCount(prefix);
    return length;
}

Tcl_Obj* list_of(const std::vector<std::string>& words)
{
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (const std::string& word : words)
        Tcl_ListObjAppendElement(nullptr, list, text_obj(word));
    return list;
}

// The diagnostic as a dict; null when there is no memory for it.
Tcl_Obj* diagnostic_dict(const Form& form, std::string_view text, const std::optional<tessel::Diagnostic>& diagnostic)
{
    Tcl_Obj* dict = Tcl_NewDictObj();
    if (!diagnostic)
        return dict;
    const tessel::Diagnostic& d = *diagnostic;
    Tcl_Obj* found = part(form, d.found);
    Tcl_Obj* message = decoded(form, d.message);
    if (!found || !message) {
        for (Tcl_Obj* obj : {dict, found, message})
            if (obj) {
                Tcl_IncrRefCount(obj);
                Tcl_DecrRefCount(obj);
            }
        return nullptr;
    }
    auto put = [dict](const char* key, Tcl_Obj* value) { Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), value); };
    put("offset", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(d.offset)));
    put("length", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(d.length)));
    put("line", Tcl_NewIntObj(d.line));
    put("column", Tcl_NewIntObj(d.column));
    put("start", Tcl_NewWideIntObj(char_index(form, text, d.offset)));
    put("end", Tcl_NewWideIntObj(char_index(form, text, d.offset + d.length)));
    put("found", found);
    put("expected", list_of(d.expected));
    put("expecting", list_of(d.expecting));
    put("code", text_obj(d.code));
    put("incomplete", Tcl_NewBooleanObj(d.incomplete));
    put("rule", text_obj(d.rule));
    put("message", message);
    return dict;
}

void release(Tcl_Obj* obj)
{
    if (obj) {
        Tcl_IncrRefCount(obj);
        Tcl_DecrRefCount(obj);
    }
}

// The command lines as lists of their words; null when there is no memory
// for them.
Tcl_Obj* command_lists(const Form& form, const std::vector<tessel::Command>& commands)
{
    // Each word is a small value of its own: make sure first that there is
    // room for them all, since those values are taken from an allocation
    // that may not fail.
    size_t bytes = 0;
    for (const tessel::Command& command : commands)
        for (const std::string& word : command)
            bytes += 2 * word.size() + 96;
    if (bytes > 0) {
        char* probe = attempt(bytes);
        if (!probe)
            return nullptr;
        ckfree(probe);
    }
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    std::vector<Tcl_Obj*> words;
    for (const tessel::Command& command : commands) {
        words.clear();
        for (const std::string& word : command) {
            Tcl_Obj* w = part(form, word);
            if (!w) {
                for (Tcl_Obj* made : words)
                    release(made);
                release(list);
                return nullptr;
            }
            words.push_back(w);
        }
        Tcl_ListObjAppendElement(nullptr, list, Tcl_NewListObj(static_cast<int>(words.size()), words.data()));
    }
    return list;
}

// What a translation whose result does not fit in memory gives: no output,
// the report of memory running out.
tessel::Result out_of_memory(tessel::Kind kind, const tessel::Result& r, std::string_view text)
{
    tessel::Result lean;
    lean.status = 2;
    lean.error_offset = r.error_offset >= 0 ? r.error_offset : static_cast<long>(text.size());
    lean.err = tessel::error_report(kind, "memory exhausted");
    tessel::Diagnostic d;
    d.offset = lean.error_offset;
    d.code = std::string(tessel::kind_name(kind)) + ".out-of-memory";
    d.message = "The translation ran out of memory.";
    if (r.diagnostic) {
        d.line = r.diagnostic->line;
        d.column = r.diagnostic->column;
    }
    lean.diagnostic = std::move(d);
    return lean;
}

// The result as a dict, or null when it does not fit in memory.
Tcl_Obj* result_dict(const Form& form, const tessel::Result& r, std::string_view text)
{
    for (const std::string* p : {&r.out, &r.err, &r.trace})
        if (p->size() > static_cast<size_t>(INT_MAX) / 2)
            return nullptr;
    Tcl_Obj* parts[] = {part(form, r.out), part(form, r.err), part(form, r.trace), command_lists(form, r.commands),
                        diagnostic_dict(form, text, r.diagnostic)};
    if (std::any_of(std::begin(parts), std::end(parts), [](Tcl_Obj* p) { return p == nullptr; })) {
        for (Tcl_Obj* p : parts)
            release(p);
        return nullptr;
    }
    Tcl_Obj* dict = Tcl_NewDictObj();
    auto put = [dict](const char* key, Tcl_Obj* value) { Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), value); };
    put("status", Tcl_NewIntObj(r.status));
    put("offset", Tcl_NewWideIntObj(static_cast<Tcl_WideInt>(r.error_offset)));
    put("out", parts[0]);
    put("err", parts[1]);
    put("trace", parts[2]);
    put("commands", parts[3]);
    put("diagnostic", parts[4]);
    return dict;
}

// The options before KIND TEXT into options; false with an error in interp.
bool parse_options(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[], tessel::Options& options, Form& form)
{
    static const char* const names[] = {"-trace", "-maxoutput", "-maxdepth", "-binary", nullptr};
    enum { trace, maxoutput, maxdepth, binary };
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
        case binary:
            if (Tcl_GetBooleanFromObj(interp, objv[i + 1], &flag) != TCL_OK)
                return false;
            (which == trace ? options.trace : form.binary) = flag != 0;
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

// What an interpreter's command keeps: its translator, and the encoding
// its texts and results go through.
struct Command {
    tessel::Translator translator;
    Tcl_Encoding utf8 = Tcl_GetEncoding(nullptr, "utf-8");
    ~Command() { Tcl_FreeEncoding(utf8); }
};

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
        Tcl_WrongNumArgs(interp, 1, objv,
                         "?-trace bool? ?-maxoutput bytes? ?-maxdepth entries? ?-binary bool? kind text");
        return TCL_ERROR;
    }
    auto* command = static_cast<Command*>(data);
    tessel::Options options = tessel::Options::embedded();
    Form form;
    form.utf8 = command->utf8;
    if (!parse_options(interp, objc - 2, objv, options, form))
        return TCL_ERROR;
    tessel::Kind kind;
    if (!kind_of(interp, objv[objc - 2], kind))
        return TCL_ERROR;
    try {
        std::string storage;
        std::string_view text;
        if (!form.binary)
            text_utf8(form, objv[objc - 1], storage, text);
        else if (!text_bytes(interp, objv[objc - 1], storage, text))
            return TCL_ERROR;
        tessel::Result result = command->translator.translate(kind, text, options);
        Tcl_Obj* dict = result_dict(form, result, text);
        if (!dict) {
            // No room for the result: it is given up, as memory running out
            // inside the translation would have ended it.
            result = out_of_memory(kind, result, text);
            dict = result_dict(form, result, text);
        }
        if (!dict)
            throw std::bad_alloc();
        Tcl_SetObjResult(interp, dict);
        return TCL_OK;
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
    Tcl_CreateObjCommand(interp, "::tessel::translate", translate_command, new Command,
                         [](ClientData data) { delete static_cast<Command*>(data); });
    return Tcl_PkgProvideEx(interp, "tessel", tessel::version(), nullptr);
}

// The command reads no file, starts no process and evaluates nothing: a
// safe interpreter gets it as it is.
TESSEL_TCL_EXPORT int Tessel_SafeInit(Tcl_Interp* interp)
{
    return Tessel_Init(interp);
}
