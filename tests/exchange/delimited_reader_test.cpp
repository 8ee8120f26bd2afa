#include "exchange/FieldReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Every field the reader takes from the line, in order.
std::vector<std::string> Split(const char* text, char quote, char delimiter) {
    CFieldReader reader;
    reader.SetQuoteChar(quote);
    reader.SetDelimiter(delimiter);
    CString line(text);
    std::vector<std::string> fields;
    CString field;
    while (reader.NextField(line, field)) {
        fields.push_back(field.str());
        field.Empty();
    }
    return fields;
}

using Fields = std::vector<std::string>;

TEST(DelimitedReader, StartsWithoutQuoteOrDelimiter) {
    CFieldReader reader;
    EXPECT_EQ(reader.GetQuoteChar(), '\0');
    EXPECT_EQ(reader.GetDelimiter(), '\0');
}

TEST(DelimitedReader, EmptyOrBlankLineGivesNoFieldAndLeavesOutAlone) {
    CFieldReader reader;
    reader.SetDelimiter(',');
    CString line(" \t\r\n");
    CString out("kept");
    EXPECT_FALSE(reader.NextField(line, out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(line.IsEmpty());
}

TEST(DelimitedReader, QuotedTextWithCommaThenEmptyCellThenSecondText) {
    EXPECT_EQ(Split("\"Smith, John\",,\"Boss\"", '"', ','), (Fields{"Smith, John", "", "Boss"}));
}

TEST(DelimitedReader, OutIsAppendedTo) {
    CFieldReader reader;
    reader.SetDelimiter(',');
    CString line("b,c");
    CString out("a");
    ASSERT_TRUE(reader.NextField(line, out));
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(line, "c");
}

struct SplitCase {
    const char* name;
    const char* line;
    char quote;
    char delimiter;
    Fields expected;
};

class DelimitedReaderCases : public testing::TestWithParam<SplitCase> {};

TEST_P(DelimitedReaderCases, Splits) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(Split(c.line, c.quote, c.delimiter), c.expected) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DelimitedReaderCases,
    testing::Values(
        SplitCase{"PlainFields", "a,b,c", '"', ',', {"a", "b", "c"}},
        // White space at the ends of the line goes; white space before a delimiter stays.
        SplitCase{"PlainKeepsInnerBlanks", "  a ,b \r\n", '"', ',', {"a ", "b"}},
        SplitCase{"PlainLosesLeadingBlanksOfNextField", "a, b", '"', ',', {"a", "b"}},
        SplitCase{"PlainKnowsNoQuotes", "a\"b,c", '"', ',', {"a\"b", "c"}},
        SplitCase{"LeadingEmptyCell", ",b", '"', ',', {"", "b"}},
        SplitCase{"TrailingDelimiterGivesNoExtraCell", "a,", '"', ',', {"a"}},
        // With a blank or tab separator an empty cell between two separators is trimmed away.
        SplitCase{"TabKeepsEmptyCell", "a\t\tc", '"', '\t', {"a", "", "c"}},
        SplitCase{"SpaceKeepsEmptyCell", "a  c", '"', ' ', {"a", "", "c"}},
        SplitCase{"TabKeepsEmptyCellsAfterQuotedValue", "\"a\"\t\t\t\"d\"", '"', '\t', {"a", "", "", "d"}},
        SplitCase{"BlanksAroundCommaFieldsTrimmed", "  a,  \"b\"  ", '"', ',', {"a", "b"}},
        SplitCase{"DoubledQuoteReadsAsOne", "\"say \"\"hi\"\"\",x", '"', ',', {"say \"hi\"", "x"}},
        SplitCase{"SingleInnerQuoteDropped", "\"ab\"c\",x", '"', ',', {"abc", "x"}},
        SplitCase{"BackslashTIsTab", "\"a\\tb\"", '"', ',', {"a\tb"}},
        SplitCase{"WindowsPathLosesBackslashes", "\"C:\\temp\\new\"", '"', ',', {"C:\temp\new"}},
        SplitCase{"NamedEscapes", "\"\\a\\b\\f\\n\\r\\v\"", '"', ',', {"\a\b\f\n\r\v"}},
        SplitCase{"EscapedBackslashAndQuote", "\"a\\\\b\\\"c\",d", '"', ',', {"a\\b\"c", "d"}},
        SplitCase{"EscapedQuoteNeitherDoublesNorEnds", "\"a\\\"b\",c", '"', ',', {"a\"b", "c"}},
        SplitCase{"BackslashBeforeClosingQuoteAndDelimiter",
                  "\"C:\\Users\\\",next",
                  '"',
                  ',',
                  {"C:Users\\", "next"}},
        SplitCase{"BackslashBeforeClosingQuoteAtLineEnd", "a,\"C:\\Users\\\"", '"', ',', {"a", "C:Users\\"}},
        SplitCase{"DoubledBackslashBeforeClosingQuote", "\"dir\\\\\",x", '"', ',', {"dir\\", "x"}},
        SplitCase{"OctalThreeDigits", "\"\\101\\102\"", '"', ',', {"AB"}},
        SplitCase{"OctalShortRunKeepsNextChar", "\"\\7x\\12y\"", '"', ',', {"\ax\ny"}},
        SplitCase{"OctalModulo256", "\"\\777\"", '"', ',', {"\xff"}},
        SplitCase{"OctalAtLineEnd", "\"\\101", '"', ',', {"A"}},
        SplitCase{"EmptyQuoted", "\"\",b", '"', ',', {"", "b"}},
        SplitCase{"UnterminatedQuotedKeepsLastChar", "\"abc", '"', ',', {"abc"}},
        SplitCase{"QuotedFieldSpansLineBreaks", "\"ab\ncd\r\nef\",e", '"', ',', {"ab\ncd\r\nef", "e"}},
        SplitCase{"QuotedFieldSpansCrOnlyBreak", "\"ab\rcd\",e", '"', ',', {"ab\rcd", "e"}},
        SplitCase{"SingleQuoteQualifier", "'it''s',x", '\'', ',', {"it's", "x"}},
        SplitCase{"NoQuoteCharReadsQuotesPlainly", "\"a\",b", '\0', ',', {"\"a\"", "b"}},
        SplitCase{"PipeSeparator", "\"a|b\"|c", '"', '|', {"a|b", "c"}},
        // The command line: quoted arguments without a delimiter.
        SplitCase{"NulDelimiterTakesWholeLine", "a b,c", '"', '\0', {"a b,c"}},
        SplitCase{"NulDelimiterQuoted", "\"/tmp/My Plans.pgr\"", '"', '\0', {"/tmp/My Plans.pgr"}}),
    [](const testing::TestParamInfo<SplitCase>& param) { return std::string(param.param.name); });

TEST(DelimitedReader, LineKeepsWhatFollowsTheField) {
    CFieldReader reader;
    reader.SetQuoteChar('"');
    reader.SetDelimiter(',');
    CString line("\"a\",\"b\", c ");
    CString out;
    ASSERT_TRUE(reader.NextField(line, out));
    EXPECT_EQ(out, "a");
    // The line was trimmed before the field was taken.
    EXPECT_EQ(line, "\"b\", c");
}

TEST(DelimitedReader, EveryFieldShortensTheLineOnArbitraryInput) {
    // Lines made of the characters that steer the reader, so that every path through a quoted field,
    // an escape and a line end is taken; each field must consume at least one character.
    const std::string alphabet = "\"\\,;01789abntx \t\r\n'";
    std::mt19937 random(20061503);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const size_t length = random() % 24;
        for (size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        CFieldReader reader;
        reader.SetQuoteChar(round % 3 == 0 ? '\0' : '"');
        reader.SetDelimiter(round % 2 == 0 ? ',' : '\0');
        CString line(text);
        CString field;
        int before = line.GetLength();
        while (reader.NextField(line, field)) {
            ASSERT_LT(line.GetLength(), before) << text;
            before = line.GetLength();
            field.Empty();
        }
        EXPECT_TRUE(CString(line).Trim().IsEmpty()) << text;
    }
}

} // namespace
