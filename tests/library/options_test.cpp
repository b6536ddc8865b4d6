// What a translation can be asked to leave out or to stay within: no trace,
// an output limit, a parser stack of a given capacity; for every golden
// case, through both entry points, and at the limits' edges.
#include <gtest/gtest.h>

#include "golden_cases.h"
#include "text_streams.h"

using tessel::Kind;

namespace {

std::vector<GoldenCase> all_golden_cases()
{
    return load_all_golden_cases(TESSEL_SOURCE_DIR);
}

// 16383 as "16,383".
std::string grouped(size_t n)
{
    std::string digits = std::to_string(n);
    for (long i = static_cast<long>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

tessel::Options no_trace()
{
    tessel::Options o;
    o.trace = false;
    return o;
}

tessel::Options output_limit(size_t bytes)
{
    tessel::Options o;
    o.max_output = bytes;
    return o;
}

}  // namespace

// Without trace, the output is the traced output less its records, and
// everything else is the same: the commands, the report, the status, the
// diagnostic; the streaming form agrees.
TEST(LibraryOptions, NoTraceIsTheTraceLessItsRecords)
{
    tessel::Translator translator;
    for (const GoldenCase& c : all_golden_cases()) {
        const tessel::Result traced = tessel::translate(c.kind, c.text);
        for (const tessel::Result& r : {tessel::translate(c.kind, c.text, no_trace()),
                                        translator.translate(c.kind, c.text, no_trace())}) {
            EXPECT_EQ(without_records(traced.out), r.out) << c.path;
            EXPECT_EQ(c.trace_in_file ? variable_lines(traced.trace) : "", r.trace) << c.path;
            EXPECT_EQ(traced.err, r.err) << c.path;
            EXPECT_EQ(traced.status, r.status) << c.path;
            EXPECT_EQ(traced.error_offset, r.error_offset) << c.path;
            EXPECT_EQ(traced.commands, r.commands) << c.path;
            EXPECT_EQ(traced.diagnostic.has_value(), r.diagnostic.has_value()) << c.path;
            if (traced.diagnostic && r.diagnostic) {
                EXPECT_EQ(diagnostic_text(*traced.diagnostic), diagnostic_text(*r.diagnostic)) << c.path;
            }
        }
        std::istringstream in(c.text);
        std::ostringstream out, err, trace;
        tessel::translate(c.kind, in, out, err, trace, no_trace());
        EXPECT_EQ(without_records(traced.out), out.str()) << c.path;
    }
}

// A translation whose output is exactly the limit is what it is without
// one; a byte less and it stops there with status 2 and its report, having
// written no more than the limit before the report.
TEST(LibraryOptions, OutputLimitAtItsEdge)
{
    const std::string report = "Parser:output limit exceeded";
    for (const GoldenCase& c : all_golden_cases()) {
        const tessel::Result whole = tessel::translate(c.kind, c.text);
        if (whole.status != 0)
            continue;
        const size_t size = whole.out.size() + whole.err.size() + whole.trace.size();
        const tessel::Result exact = tessel::translate(c.kind, c.text, output_limit(size));
        EXPECT_EQ(whole.out, exact.out) << c.path;
        EXPECT_EQ(0, exact.status) << c.path;
        const tessel::Result less = tessel::translate(c.kind, c.text, output_limit(size - 1));
        EXPECT_EQ(2, less.status) << c.path;
        ASSERT_GE(less.err.size(), report.size()) << c.path;
        EXPECT_EQ(report, less.err.substr(less.err.size() - report.size())) << c.path;
        EXPECT_LE(less.out.size() + less.trace.size() + less.err.size() - tessel::error_report(c.kind, "output limit exceeded").size(),
                  size - 1)
            << c.path;
        EXPECT_EQ(0, whole.out.compare(0, less.out.size(), less.out)) << c.path << ": what was written is the start";
        ASSERT_TRUE(less.diagnostic) << c.path;
        EXPECT_NE(std::string::npos, less.diagnostic->message.find(grouped(size - 1) + " bytes"))
            << c.path << ": " << less.diagnostic->message;
        std::istringstream in(c.text);
        std::ostringstream out, err, trace;
        EXPECT_EQ(2, tessel::translate(c.kind, in, out, err, trace, output_limit(size - 1)).status) << c.path;
        EXPECT_EQ(less.out, out.str()) << c.path;
    }
}

// The parser's stack holds max_depth entries: the deepest nesting that fits
// is found for two capacities; one level more overflows; and the two differ
// by exactly the difference of the capacities (a level is an entry).
TEST(LibraryOptions, ParserStackAtItsEdge)
{
    auto nested = [](int levels) { return ";" + std::string(levels, '(') + "a" + std::string(levels, ')') + ";b."; };
    auto deepest = [&](long capacity) {
        tessel::Options o;
        o.max_depth = capacity;
        int fits = static_cast<int>(capacity);  // a level takes an entry: no deeper than that
        while (fits > 0 && tessel::translate(Kind::pure21, nested(fits), o).status != 0)
            --fits;
        const tessel::Result over = tessel::translate(Kind::pure21, nested(fits + 1), o);
        EXPECT_EQ(1, over.status);
        EXPECT_EQ("Tessel intermediate code (Pure21) Parser:parser stack overflow", over.err);
        EXPECT_TRUE(over.diagnostic && over.diagnostic->expected.empty());
        return fits;
    };
    const int small = deepest(300), large = deepest(1000);
    EXPECT_GT(small, 290);
    EXPECT_EQ(700, large - small);
    // The parser's first 200 entries are always there: a smaller capacity
    // counts as 200, and its diagnostic says so.
    const int first = deepest(200);
    tessel::Options tiny;
    tiny.max_depth = 50;
    EXPECT_EQ(0, tessel::translate(Kind::pure21, nested(first), tiny).status);
    const tessel::Result over = tessel::translate(Kind::pure21, nested(first + 1), tiny);
    EXPECT_EQ(1, over.status);
    ASSERT_TRUE(over.diagnostic);
    EXPECT_NE(std::string::npos, over.diagnostic->message.find("at most 200 entries")) << over.diagnostic->message;
}
