#include "convert/TextEncoding.h"
#include "platform/core/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    std::string input;
    std::string expected;
};

TEST(TextEncoding, WindowsTextBecomesUtf8AndUtf8StaysAsItIs) {
    const std::vector<Case> cases = {
        {"", ""},
        {"plain ASCII", "plain ASCII"},
        {"M\xC3\xBCller", "M\xC3\xBCller"},                   // already UTF-8
        {"M\xFCller", "M\xC3\xBCller"},                       // Windows-1252 u-umlaut
        {"\x80 5", "\xE2\x82\xAC 5"},                         // euro sign
        {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"}, // curly quotes
        {"\x81", "\xC2\x81"},                                 // unassigned byte keeps its value
        {"\xE9", "\xC3\xA9"},                                 // a numeric reference to 233
        {"\xC3", "\xC3\x83"},                                 // a lone lead byte is no UTF-8
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                     // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},     // surrogate
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},             // four-byte UTF-8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(ToUtf8Text(CString(c.input)).str(), c.expected);
        EXPECT_TRUE(IsValidUtf8(c.expected));
    }
}

} // namespace
