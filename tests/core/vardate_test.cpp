#include "platform/core/OleAuto.h"
#include "platform/core/Registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr const char* kInternational = "Control Panel\\International";

double Ole(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    double value = 0;
    EXPECT_NE(SystemTimeToVariantTime(&time, &value), 0);
    return value;
}

double Clock(int hour, int minute, int second = 0) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

// The user's short-date picture comes from the installed store; "now" is fixed to 20 June 2011.
class VarDateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        SYSTEMTIME now;
        now.wYear = 2011;
        now.wMonth = 6;
        now.wDay = 20;
        now.wDayOfWeek = 1;
        now.wHour = 9;
        SetLocalTimeForTesting(now);
    }
    void TearDown() override {
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }
    void SetShortDate(const char* picture) {
        if (picture)
            m_registry.WriteString(kInternational, "sShortDate", picture);
        else
            m_registry.DeleteValue(kInternational, "sShortDate");
    }

    MemoryRegistry m_registry;
};

struct ParseCase {
    const char* text;
    uint32_t flags;
    const char* shortDate; // nullptr: no registry value, the default "M/d/yyyy"
    std::optional<double> expected;
};

} // namespace

TEST_F(VarDateTest, ParsesTheFormsUsersAndTheDatabaseWrite) {
    const ParseCase cases[] = {
        {"2006-03-15 10:20:30", 0, nullptr, Ole(2006, 3, 15, 10, 20, 30)},
        {"2006-3-5", 0, nullptr, Ole(2006, 3, 5)},
        {"2006/03/15", 0, "d/M/yyyy", Ole(2006, 3, 15)},
        {"3/15/2006", 0, nullptr, Ole(2006, 3, 15)},
        {"03/15/06", 0, nullptr, Ole(2006, 3, 15)},
        {"3-15-2006", 0, nullptr, Ole(2006, 3, 15)},
        {"3.15.2006", 0, nullptr, Ole(2006, 3, 15)},
        {"1/1/00", 0, nullptr, Ole(2000, 1, 1)},
        {"3/15/29", 0, nullptr, Ole(2029, 3, 15)},
        {"3/15/30", 0, nullptr, Ole(1930, 3, 15)},
        {"3/15/99", 0, nullptr, Ole(1999, 3, 15)},
        {"12/31/9999", 0, nullptr, Ole(9999, 12, 31)},
        {"1/1/100", 0, nullptr, Ole(100, 1, 1)},
        {"March 15, 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"15 March 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"Mar 15 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"mARCH 15 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"15-Mar-2006", 0, nullptr, Ole(2006, 3, 15)},
        {"Wednesday, March 15, 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"Wed Mar 15 2006", 0, nullptr, Ole(2006, 3, 15)},
        {"September 1 1752", 0, nullptr, Ole(1752, 9, 1)},
        {"10:20", 0, nullptr, Clock(10, 20)},
        {"10:20:30", 0, nullptr, Clock(10, 20, 30)},
        {"0:00", 0, nullptr, 0.0},
        {"23:59:59", 0, nullptr, Clock(23, 59, 59)},
        {"2:30 PM", 0, nullptr, Clock(14, 30)},
        {"2:30 pm", 0, nullptr, Clock(14, 30)},
        {"2:30PM", 0, nullptr, Clock(14, 30)},
        {"2 PM", 0, nullptr, Clock(14, 0)},
        {"9 AM", 0, nullptr, Clock(9, 0)},
        {"12:00 AM", 0, nullptr, 0.0},
        {"12:30 AM", 0, nullptr, Clock(0, 30)},
        {"12:00 PM", 0, nullptr, 0.5},
        {"3/15/2006 2:30 PM", 0, nullptr, Ole(2006, 3, 15, 14, 30)},
        {"March 15, 2006 10:20", 0, nullptr, Ole(2006, 3, 15, 10, 20)},
        {"10:20 AM 3/15/2006", 0, nullptr, Ole(2006, 3, 15, 10, 20)},
        {"12/29/1899 6:00", 0, nullptr, -1.25},
        {"12/29/1899 6:00 PM", 0, nullptr, -1.75},
        {"  3/15/2006  ", 0, nullptr, Ole(2006, 3, 15)},
        // The order of the short-date picture decides, unless only the swapped reading is a date.
        {"3/4/2006", 0, "M/d/yyyy", Ole(2006, 3, 4)},
        {"3/4/2006", 0, "d/M/yyyy", Ole(2006, 4, 3)},
        {"3/4/2006", 0, "dd.MM.yyyy", Ole(2006, 4, 3)},
        {"3/15/2006", 0, "d/M/yyyy", Ole(2006, 3, 15)},
        {"15/3/2006", 0, "M/d/yyyy", Ole(2006, 3, 15)},
        {"15.03.2006", 0, "dd.MM.yyyy", Ole(2006, 3, 15)},
        {"06/03/15", 0, "yy/MM/dd", Ole(2006, 3, 15)},
        {"3/15/2006", 0, "yyyy/MM/dd", Ole(2006, 3, 15)},
        {"15.3.2006", 0, "yyyy-MM-dd", Ole(2006, 3, 15)},
        {"3/4/2006", 0, "ddd M/d/yyyy", Ole(2006, 3, 4)},
        {"3/4/2006", 0, "dddd d.M.yyyy", Ole(2006, 4, 3)},
        {"'Day' d 'of' M yyyy", 0, nullptr, std::nullopt},
        {"4/3/2006", 0, "'Day' d 'of' M yyyy", Ole(2006, 3, 4)},
        // Blanks alone separate the parts of a numeric date, in the short-date order.
        {"1 2", 0, nullptr, Ole(2011, 1, 2)},
        {"1 2 3", 0, nullptr, Ole(2003, 1, 2)},
        {"2 3 14", 0, nullptr, Ole(2014, 2, 3)},
        {"2 3 30", 0, nullptr, Ole(1930, 2, 3)},
        {"2 3 99", 0, nullptr, Ole(1999, 2, 3)},
        {"1 2 3", 0, "d/M/yyyy", Ole(2003, 2, 1)},
        {"3 15 2006 10:20", 0, nullptr, Ole(2006, 3, 15, 10, 20)},
        {"2 30", 0, nullptr, Ole(1930, 2, 1)},
        {"30 2", 0, nullptr, Ole(1930, 2, 1)},
        {"2 29", 0, nullptr, std::nullopt},
        {"14 2 3", 0, nullptr, Ole(2014, 2, 3)},
        {"1 2 AM 3", 0, nullptr, std::nullopt},
        {"10.30.15", VAR_TIMEVALUEONLY, nullptr, Clock(10, 30, 15)},
        {"1.2.3 4 5", 0, nullptr, Ole(2011, 4, 5, 1, 2, 3)},
        // '.' between two numbers is the time separator, and always in a time field.
        {"10.30", 0, nullptr, Clock(10, 30)},
        {"0.40", 0, nullptr, Clock(0, 40)},
        {"2.5", VAR_TIMEVALUEONLY, nullptr, Clock(2, 5)},
        {"2.5", 0, nullptr, Clock(2, 5)},
        {"2.5", VAR_TIMEVALUEONLY, "dd.MM.yyyy", Clock(2, 5)},
        {"2.5", 0, "dd.MM.yyyy", Ole(2011, 5, 2)},
        {"10.30 PM", 0, nullptr, Clock(22, 30)},
        {"3/15/2006 10.30", 0, nullptr, Ole(2006, 3, 15, 10, 30)},
        {"10.60", 0, nullptr, std::nullopt},
        {"24.00", 0, nullptr, std::nullopt},
        // An hour past 12 is on the 24-hour clock whatever the marker says.
        {"13:00 AM", 0, nullptr, Clock(13, 0)},
        {"13:00 PM", 0, nullptr, Clock(13, 0)},
        {"23:15 PM", 0, nullptr, Clock(23, 15)},
        // No fractions of a second.
        {"10:20:30.250", 0, nullptr, std::nullopt},
        {"10:20:30.5 PM", 0, nullptr, std::nullopt},
        // No year: the current year.
        {"March 15", 0, nullptr, Ole(2011, 3, 15)},
        {"15 Mar", 0, nullptr, Ole(2011, 3, 15)},
        {"3/15", 0, nullptr, Ole(2011, 3, 15)},
        {"4/3", 0, "d/M/yyyy", Ole(2011, 3, 4)},
        {"2/29", 0, nullptr, std::nullopt},
        // A month with a year only is its first day.
        {"March 2006", 0, nullptr, Ole(2006, 3, 1)},
        {"3/2006", 0, nullptr, Ole(2006, 3, 1)},
        // The flags keep one half.
        {"3/15/2006 10:20:30", VAR_DATEVALUEONLY, nullptr, Ole(2006, 3, 15)},
        {"3/15/2006 10:20:30", VAR_TIMEVALUEONLY, nullptr, Clock(10, 20, 30)},
        {"10:20", VAR_DATEVALUEONLY, nullptr, 0.0},
        {"3/15/2006", VAR_TIMEVALUEONLY, nullptr, 0.0},
        {"12/29/1899 6:00", VAR_TIMEVALUEONLY, nullptr, 0.25},
        {"12/29/1899 6:00", VAR_DATEVALUEONLY, nullptr, -1.0},
        // Not dates.
        {"", 0, nullptr, std::nullopt},
        {"   ", 0, nullptr, std::nullopt},
        {"hello", 0, nullptr, std::nullopt},
        {"13/45/2006", 0, nullptr, std::nullopt},
        {"25:00", 0, nullptr, std::nullopt},
        {"10:60", 0, nullptr, std::nullopt},
        {"10:20:60", 0, nullptr, std::nullopt},
        {"2/30/2006", 0, nullptr, std::nullopt},
        {"2/29/2006", 0, nullptr, std::nullopt},
        {"3/15/2006 hello", 0, nullptr, std::nullopt},
        {"today", 0, nullptr, std::nullopt},
        {"830", 0, nullptr, std::nullopt},
        {"5", 0, nullptr, std::nullopt},
        {"March", 0, nullptr, std::nullopt},
        {"March 32 2006", 0, nullptr, std::nullopt},
        {"March April 2006", 0, nullptr, std::nullopt},
        {"3/15/2006/7", 0, nullptr, std::nullopt},
        {"3/15-2006", 0, nullptr, std::nullopt},
        {"1/1/10000", 0, nullptr, std::nullopt},
        {"1/1/0099", 0, nullptr, std::nullopt},
        {"3/15/2006 10:20 10:30", 0, nullptr, std::nullopt},
        {"10:20 #", 0, nullptr, std::nullopt},
        {"99999999999/1/1", 0, nullptr, std::nullopt},
    };
    for (const ParseCase& test : cases) {
        SetShortDate(test.shortDate);
        double value = -999.0;
        const HRESULT result = VarDateFromStr(test.text, LOCALE_USER_DEFAULT, test.flags, &value);
        SCOPED_TRACE(std::string("\"") + test.text + "\" picture " + (test.shortDate ? test.shortDate : "-"));
        if (test.expected) {
            ASSERT_EQ(result, S_OK);
            EXPECT_NEAR(value, *test.expected, 1e-9);
        } else {
            EXPECT_TRUE(FAILED(result));
        }
    }
}

TEST_F(VarDateTest, ReportsOverflowForYearsOutsideTheRange) {
    double value = 0;
    EXPECT_EQ(VarDateFromStr("1/1/0099", LOCALE_USER_DEFAULT, 0, &value), DISP_E_OVERFLOW);
    EXPECT_EQ(VarDateFromStr("hello", LOCALE_USER_DEFAULT, 0, &value), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VarDateFromStr(nullptr, LOCALE_USER_DEFAULT, 0, &value), E_INVALIDARG);
}

TEST_F(VarDateTest, WritesTheShortDateAndTheTimeWithMarker) {
    struct Case {
        double value;
        uint32_t flags;
        const char* shortDate;
        const char* expected;
    };
    const Case cases[] = {
        {Ole(2006, 3, 15, 10, 20, 30), 0, nullptr, "3/15/2006 10:20:30 AM"},
        {Ole(2006, 3, 15, 22, 5, 0), 0, nullptr, "3/15/2006 10:05:00 PM"},
        {Ole(2006, 3, 15, 12, 0, 0), 0, nullptr, "3/15/2006 12:00:00 PM"},
        {Ole(2006, 3, 15, 0, 0, 1), 0, nullptr, "3/15/2006 12:00:01 AM"},
        {Ole(2006, 3, 15), 0, nullptr, "3/15/2006"},
        {0.5, 0, nullptr, "12:00:00 PM"},
        {0.0, 0, nullptr, "12:00:00 AM"},
        {-0.25, 0, nullptr, "6:00:00 AM"},
        {-1.25, 0, nullptr, "12/29/1899 6:00:00 AM"},
        {-657434.0, 0, nullptr, "1/1/100"},
        {Ole(2006, 3, 15, 10, 20, 30), 0, "dd.MM.yyyy", "15.03.2006 10:20:30 AM"},
        {Ole(2006, 3, 15, 10, 20, 30), 0, "yyyy-MM-dd", "2006-03-15 10:20:30 AM"},
        {Ole(2006, 3, 15, 12), VAR_DATEVALUEONLY, nullptr, "3/15/2006"},
        {Ole(2006, 3, 15, 12), VAR_TIMEVALUEONLY, nullptr, "12:00:00 PM"},
        {Ole(2006, 3, 15), VAR_TIMEVALUEONLY, nullptr, "12:00:00 AM"},
        {0.5, VAR_DATEVALUEONLY, nullptr, "12/30/1899"},
        // Rounded to the second first.
        {Ole(2006, 3, 15) + 86399.6 / 86400.0, 0, nullptr, "3/16/2006"},
    };
    for (const Case& test : cases) {
        SetShortDate(test.shortDate);
        CString text = "old";
        ASSERT_EQ(VarBstrFromDate(test.value, LOCALE_USER_DEFAULT, test.flags, &text), S_OK) << test.value;
        EXPECT_EQ(text, test.expected) << test.value;
    }
}

TEST_F(VarDateTest, RefusesDatesOutsideTheRangeWithEmptyText) {
    CString text = "old";
    EXPECT_EQ(VarBstrFromDate(-657435.0, LOCALE_USER_DEFAULT, 0, &text), E_INVALIDARG);
    EXPECT_EQ(text, "");
    EXPECT_EQ(VarBstrFromDate(2958466.0, LOCALE_USER_DEFAULT, 0, &text), E_INVALIDARG);
}

TEST_F(VarDateTest, TextRoundTripsThroughParseAndFormat) {
    for (const char* picture : {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yy"}) {
        SetShortDate(picture);
        // A two-digit year reads back only within 1930..2029.
        const bool twoDigitYear = std::string(picture).find("yyyy") == std::string::npos;
        for (double value : {Ole(2006, 3, 4, 10, 20, 30), Ole(2029, 12, 31, 23, 59, 59), Ole(1930, 1, 1),
                             Clock(14, 30), -1.75}) {
            if (twoDigitYear && value == -1.75)
                continue;
            CString text;
            ASSERT_EQ(VarBstrFromDate(value, LOCALE_USER_DEFAULT, 0, &text), S_OK);
            double back = 0;
            ASSERT_EQ(VarDateFromStr(text, LOCALE_USER_DEFAULT, 0, &back), S_OK) << text.c_str();
            EXPECT_NEAR(back, value, 1e-9) << picture << " " << text.c_str();
        }
    }
}
