#include "platform/core/CString.h"

#include <gtest/gtest.h>

TEST(CString, SlicesClampToTheText) {
    const CString text("Pelmora");
    EXPECT_EQ(text.Left(3), "Pel");
    EXPECT_EQ(text.Left(99), "Pelmora");
    EXPECT_EQ(text.Right(4), "mora");
    EXPECT_EQ(text.Right(-1), "");
    EXPECT_EQ(text.Mid(3), "mora");
    EXPECT_EQ(text.Mid(3, 2), "mo");
    EXPECT_EQ(text.Mid(99, 2), "");
}

TEST(CString, FindsAndReplaces) {
    CString text("a.b.c");
    EXPECT_EQ(text.Find('.'), 1);
    EXPECT_EQ(text.Find('.', 2), 3);
    EXPECT_EQ(text.Find("c"), 4);
    EXPECT_EQ(text.Find("x"), -1);
    EXPECT_EQ(text.ReverseFind('.'), 3);
    EXPECT_EQ(text.Replace(".", ".."), 2);
    EXPECT_EQ(text, "a..b..c");
    EXPECT_EQ(text.Remove('.'), 4);
    EXPECT_EQ(text, "abc");
}

TEST(CString, TrimsCasesAndCompares) {
    CString text("  Mixed Case \t");
    text.Trim();
    EXPECT_EQ(text, "Mixed Case");
    EXPECT_EQ(CString(text).MakeUpper(), "MIXED CASE");
    EXPECT_EQ(text.CompareNoCase("mixed case"), 0);
    EXPECT_LT(text.Compare("Nixed"), 0);
    CString dotted("..x..");
    EXPECT_EQ(dotted.Trim("."), "x");
}

TEST(CString, FormatsLongTexts) {
    CString text;
    const std::string longWord(5000, 'w');
    text.Format("%s-%d", longWord.c_str(), 42);
    EXPECT_EQ(text.GetLength(), 5003);
    EXPECT_EQ(text.Right(3), "-42");
    text.AppendFormat("%c", '!');
    EXPECT_EQ(text.Right(1), "!");
}

TEST(CString, NullTextsReadAsEmpty) {
    const CString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_STREQ(static_cast<const char*>(fromNull), "");
}
