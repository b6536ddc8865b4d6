// The library's own promises: where a translation stopped, the streaming
// entry point against the in-memory one, translations side by side in
// threads, and the limits, all without a leak.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "diagnosis.h"
#include "golden_cases.h"
#include "language.h"
#include "text_streams.h"

using tessel::Kind;

namespace {

std::vector<GoldenCase> all_golden_cases()
{
    return load_all_golden_cases(TESSEL_SOURCE_DIR);
}

void expect_same(const tessel::Result& expected, const tessel::Result& actual, const std::string& what)
{
    EXPECT_EQ(expected.status, actual.status) << what;
    EXPECT_EQ(expected.error_offset, actual.error_offset) << what;
    EXPECT_EQ(expected.out, actual.out) << what;
    EXPECT_EQ(expected.err, actual.err) << what;
    EXPECT_EQ(expected.trace, actual.trace) << what;
}

}  // namespace

struct OffsetCase {
    Kind kind;
    std::string text;
    int status;
    long offset;
};

TEST(LibraryErrorOffset, TokenWhereTheTranslationStopped)
{
    const std::string name(20000, 'a');
    const OffsetCase cases[] = {
        {Kind::pure21, ";a;b.", 0, -1},
        {Kind::pure21, ";a;b.  trailing text", 0, -1},
        {Kind::pure21, ";a b;c.", 1, 3},          // syntax error at "b"
        {Kind::pure21, ";a;b", 1, 4},             // the text ends too early: its length
        {Kind::pure21, "", 1, 0},
        {Kind::pure21, ";a and $;", 1, 7},        // stray character
        {Kind::pure21, "2;;e.", 1, 4},            // "Trigger missing", seen at the period
        {Kind::pure21, ";" + name + " ;.", 2, 1}, // the token that overflows the buffer
        {Kind::valued21, ";;?x = @;.", 1, 7},     // unknown symbol
        {Kind::valued21, ";;;e", 1, 4},
        {Kind::decl, "  \"x;", 1, 2},             // stray first character
        {Kind::decl, "input I;", 0, -1},
        {Kind::decl, "input I : ;", 1, 10},
        {Kind::ic3, ":<main> m :<end>", 1, 10},
        {Kind::ic3, "% comment\n:{x", 1, 10},     // an unended verbatim text: its "{" is OTHER
    };
    for (const auto& c : cases) {
        tessel::Result r = tessel::translate(c.kind, c.text);
        EXPECT_EQ(c.status, r.status) << c.text.substr(0, 40);
        EXPECT_EQ(c.offset, r.error_offset) << c.text.substr(0, 40);
    }
}

// The streaming entry point gives what the in-memory one gives, whether the
// text arrives at once or one byte per read: the scanner's buffer
// boundaries change nothing.
TEST(LibraryStreams, SameResultsWhateverTheReads)
{
    for (const GoldenCase& c : all_golden_cases()) {
        tessel::Result whole = tessel::translate(c.kind, c.text);
        std::istringstream at_once(c.text);
        expect_same(whole, translate_stream(c.kind, at_once), c.path + " (stream)");
        expect_same(whole, translate_bytewise(c.kind, c.text), c.path + " (one byte per read)");
    }
}

// A stream that has ended or failed before the translation starts holds no
// text for it: the translation is that of the empty text, as when a second
// translation is asked of a stream the first one read to its end.
TEST(LibraryStreams, EndedOrFailedStreamGivesTheEmptyText)
{
    const tessel::Result empty = tessel::translate(Kind::decl, "");
    std::istringstream in("input I");
    EXPECT_EQ(1, translate_stream(Kind::decl, in).status);  // needs the text's end to fail
    ASSERT_TRUE(in.eof());
    expect_same(empty, translate_stream(Kind::decl, in), "stream at its end");
    std::istringstream failed("input I;");
    failed.setstate(std::ios::failbit);
    expect_same(empty, translate_stream(Kind::decl, failed), "failed stream");
}

// A Translator kept for text after text, of every kind, through every kind
// of failure (a scanner error cut short in the middle of a refill, a stack
// overflow, an action's error), gives exactly what a fresh translation gives.
TEST(LibraryTranslator, ReusedGivesWhatFreshGives)
{
    std::vector<std::pair<Kind, std::string>> texts;
    for (const GoldenCase& c : all_golden_cases())
        texts.emplace_back(c.kind, c.text);
    texts.emplace_back(Kind::pure21, ";" + std::string(20000, 'a') + ";b.");   // buffer overflow
    texts.emplace_back(Kind::ic3, ":{" + std::string(20000, 'x'));             // overflow inside a verbatim text
    texts.emplace_back(Kind::valued21, ";" + std::string(100000, '(') + "a");  // deep, then the end
    texts.emplace_back(Kind::pure21, "2;;e.");                                 // an action's error
    tessel::Translator first;
    first.translate(Kind::decl, "type T;");
    tessel::Translator second(std::move(first));  // what it holds moves with it
    tessel::Translator translator;
    translator = std::move(second);
    for (int round = 0; round < 2; ++round)
        for (const auto& [kind, text] : texts) {
            tessel::Result fresh = tessel::translate(kind, text);
            tessel::Result reused = round == 0 ? translator.translate(kind, text)
                                               : translator.translate(kind, text, tessel::Options{false});
            const std::string what = std::string(tessel::kind_name(kind)) + " " + text.substr(0, 40);
            expect_same(fresh, reused, what);
            if (round == 0)
                EXPECT_EQ(fresh.commands, reused.commands) << what;
            else
                EXPECT_TRUE(reused.commands.empty()) << what;
            EXPECT_TRUE(tessel::translate(kind, text, tessel::Options{false}).commands.empty()) << what;
            std::istringstream in(text);
            std::ostringstream out, err, trace;
            tessel::Outcome streamed = translator.translate(kind, in, out, err, trace);
            EXPECT_EQ(fresh.status, streamed.status) << what;
            EXPECT_EQ(fresh.out, out.str()) << what;
            EXPECT_EQ(fresh.err, err.str()) << what;
            EXPECT_EQ(fresh.trace, trace.str()) << what;
        }
}

// Texts of every kind, translated by four threads at once, each in its own
// order (two with a Translator of their own), give the results of one
// thread translating them in turn.
TEST(LibraryThreads, ConcurrentTranslationsMatchSequentialOnes)
{
    const std::vector<GoldenCase> golden = all_golden_cases();
    ASSERT_FALSE(golden.empty());
    const size_t per_thread = 10000;
    std::vector<std::pair<Kind, std::string>> texts;
    std::mt19937 random(12);
    for (size_t i = 0; i < per_thread; ++i) {
        const GoldenCase& c = golden[i % golden.size()];
        // Whole texts, and prefixes that end anywhere (inside a token too).
        size_t length = i < golden.size() ? c.text.size() : random() % (c.text.size() + 1);
        texts.emplace_back(c.kind, c.text.substr(0, length));
    }
    std::vector<tessel::Result> expected;
    for (const auto& [kind, text] : texts)
        expected.push_back(tessel::translate(kind, text));

    std::vector<size_t> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (size_t n = 0; n < 4; ++n)
        threads.emplace_back([&, n] {
            std::vector<size_t> order(texts.size());
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(n)));
            tessel::Translator translator;
            for (size_t i : order) {
                tessel::Result r = n % 2 ? translator.translate(texts[i].first, texts[i].second)
                                         : tessel::translate(texts[i].first, texts[i].second);
                const tessel::Result& e = expected[i];
                if (r.status != e.status || r.error_offset != e.error_offset || r.out != e.out ||
                    r.err != e.err || r.trace != e.trace || r.commands != e.commands)
                    ++mismatches[n];
            }
        });
    for (auto& t : threads)
        t.join();
    for (size_t n = 0; n < 4; ++n)
        EXPECT_EQ(0u, mismatches[n]) << "thread " << n;
}

// The parser's stack limit ends the translation like any error report, and
// the 20,000,000 entries it reached are released.
TEST(LibraryLimits, ParserStackOverflow)
{
    tessel::Result r = tessel::translate(Kind::pure21, ";" + std::string(20000000, '('));
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("Tessel intermediate code (Pure21) Parser:parser stack overflow", r.err);
    EXPECT_EQ("set loutput \"\"\nset linterf \"\"\nset lfunc   \"\"\n", r.out);
}

// A token too long for the scanner, in its language's words: the first
// characters tell what it is.
TEST(LibraryLimits, LongTokensInTheirLanguagesWords)
{
    const std::string x(20000, 'x');
    const std::string name = "This name is too long: a name may have at most 16,382 characters.";
    const std::string number = "This number is too long: a number may have at most 16,382 digits.";
    const std::string blanks =
        "This run of blanks and line breaks is too long: white space may run for at most 16,382 characters.";
    const std::string comment = "This comment is too long: a comment may have at most 16,382 characters.";
    const std::string backquoted = "This backquoted text is too long, or its closing backquote is missing: with its "
                                   "backquotes it may have at most 16,383 characters.";
    const std::string marked = "This text between exclamation marks is too long, or its closing mark is missing: "
                               "with its marks it may have at most 16,383 characters.";
    const struct {
        Kind kind;
        std::string text, message;
    } cases[] = {
        {Kind::pure21, ";" + x, name},
        {Kind::pure21, ";" + std::string(20000, '7'), number},
        {Kind::pure21, ";a" + std::string(20000, ' ') + ";b.", blanks},
        {Kind::pure21, ";a;`" + x + "`.", backquoted},
        {Kind::valued21, ";a;;b" + std::string(20000, '\n'), blanks},
        {Kind::valued21, "--" + x, comment},
        {Kind::valued21, ";a;;b,!" + x + "!.", marked},
        {Kind::valued21, ";a;;b,`" + x + "`.", backquoted},
        {Kind::decl, "%" + x, comment},
        {Kind::decl, "input " + x, name},
        {Kind::ic3, ":{" + x + "}", "This verbatim text is too long, or its closing brace is missing: from `:{` to `}` it "
                              "may have at most 16,383 characters."},
        {Kind::ic3, "% " + x, comment},
        {Kind::ic3, "!" + x + "!", marked},
        {Kind::ic3, std::string(20000, '1'), number},
        {Kind::ic3, std::string(20000, '\t'), blanks},
    };
    for (const auto& c : cases) {
        const tessel::Result r = tessel::translate(c.kind, c.text);
        ASSERT_TRUE(r.diagnostic) << c.text.substr(0, 8);
        EXPECT_EQ(2, r.status) << c.text.substr(0, 8);
        EXPECT_EQ(c.message, r.diagnostic->message) << tessel::kind_name(c.kind) << " " << c.text.substr(0, 8);
    }
    // A token of no kind the language describes.
    EXPECT_EQ("This token is too long: a token may have at most 16,382 characters.",
              tessel::runtime::too_long(tessel::runtime::language(Kind::decl), "`x"));
}

// A token of 16,383 characters overflows the scanner's buffer when the
// scanner needs one more character to end it; a closing backquote ends a
// token without that look-ahead.
TEST(LibraryLimits, ScannerBuffer)
{
    const std::string overflow = "input buffer overflow, can't enlarge buffer because scanner uses REJECT\n";
    tessel::Result name = tessel::translate(Kind::pure21, ";" + std::string(16383, 'a') + ";.");
    EXPECT_EQ(2, name.status);
    EXPECT_EQ(overflow, name.err);
    tessel::Result inline_text = tessel::translate(Kind::pure21, ";a;`" + std::string(16381, 'x') + "`.");
    EXPECT_EQ(0, inline_text.status) << inline_text.err;
    tessel::Result longer = tessel::translate(Kind::pure21, ";a;`" + std::string(16382, 'x') + "`.");
    EXPECT_EQ(2, longer.status);
    EXPECT_EQ(overflow, longer.err);
}

// A grammar changed without its messages (or its hints): a syntax error
// still says whether the text may not stop or the token may not stand
// there, and what may come.
TEST(LibraryDiagnostics, SituationWithoutItsMessage)
{
    using namespace tessel::runtime;
    const Language& pure21 = language(Kind::pure21);
    static const unsigned short nothing[] = {Hints::end};
    static const Hints::Tried tried[] = {{0, nothing}};
    const Messages no_messages{nullptr, 0};
    const Hints no_hints{nullptr, tried};
    const Language bare{pure21.name,     pure21.title,        pure21.usage_name,  pure21.translate,
                        pure21.automaton, no_messages,         no_hints,           pure21.trace_in_file,
                        pure21.examples,  pure21.long_tokens};
    const struct {
        std::string text, message;
    } cases[] = {
        {"3;a and ;c.", "This cannot stand here. Expected: a name, `not`, `pre`, `(`."},
        {"3;a and", "The text cannot end here. Expected: a name, `not`, `pre`, `(`."},
    };
    for (const auto& c : cases) {
        Resources resources;
        std::string out, err, trace;
        TextInput in(c.text);
        Output o(out), e(err), t(trace);
        const tessel::Options options;
        const Ending ending = bare.translate(bare, Streams{in, o, e, t}, options, nullptr, resources);
        recent_places(bare, resources);
        const tessel::Diagnostic d = diagnose(bare, ending, resources, c.text, options);
        EXPECT_EQ("pure21.syntax-error", d.code) << c.text;
        EXPECT_EQ(c.message, d.message) << c.text;
    }
}

TEST(LibraryNames, KindsAndReports)
{
    Kind kind;
    ASSERT_TRUE(tessel::kind_from_name("valued21", kind));
    EXPECT_EQ(Kind::valued21, kind);
    EXPECT_FALSE(tessel::kind_from_name("Valued21", kind));
    EXPECT_FALSE(tessel::kind_from_name("", kind));
    EXPECT_STREQ("ic3", tessel::kind_name(Kind::ic3));
    EXPECT_EQ("Tessel intermediate code (Decl) Parser:x", tessel::error_report(Kind::decl, "x"));
}

// The list of kinds: in the order of Kind, each found again by its name.
TEST(LibraryNames, KindsListed)
{
    const std::vector<Kind> all = tessel::kinds();
    const std::vector<std::string> first = {"pure21", "valued21", "decl", "ic3"};
    ASSERT_GE(all.size(), first.size());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i), static_cast<int>(all[i]));
        if (i < first.size()) {
            EXPECT_EQ(first[i], tessel::kind_name(all[i]));
        }
        Kind kind;
        ASSERT_TRUE(tessel::kind_from_name(tessel::kind_name(all[i]), kind));
        EXPECT_EQ(all[i], kind);
        EXPECT_NE("", std::string(tessel::kind_title(all[i])));
    }
}

TEST(LibraryOptions, EmbeddedDefaults)
{
    const tessel::Options embedded = tessel::Options::embedded(), plain;
    EXPECT_EQ(std::size_t{64} << 20, embedded.max_output);
    EXPECT_EQ(100000, embedded.max_depth);
    EXPECT_EQ(plain.trace, embedded.trace);
    EXPECT_EQ(plain.diagnostic, embedded.diagnostic);
    EXPECT_EQ(plain.commands, embedded.commands);
}
