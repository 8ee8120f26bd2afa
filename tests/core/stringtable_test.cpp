#include "platform/core/StringTable.h"

#include <gtest/gtest.h>

TEST(StringTable, ReturnsRegisteredTextsAndEmptyForUnknownIds) {
    RegisterStringResource(41001, "%B %d %Y");
    EXPECT_EQ(LoadStringResourceText(41001), "%B %d %Y");
    EXPECT_EQ(LoadStringResourceText(41002), "");
    char buffer[16] = "junk";
    EXPECT_EQ(LoadStringResource(41002, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringResource(41001, buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "%B %d %Y");
    RegisterStringResource(41001, "%Y");
    EXPECT_EQ(LoadStringResourceText(41001), "%Y");
}

TEST(StringTable, CutsTextsToTheBuffer) {
    RegisterStringResource(41003, "0123456789");
    char buffer[5];
    EXPECT_EQ(LoadStringResource(41003, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "0123");
    EXPECT_EQ(LoadStringResource(41003, nullptr, 5), 0);
}
