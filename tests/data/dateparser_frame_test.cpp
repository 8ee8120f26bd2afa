#include "data/DateParser.h"

#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

SYSTEMTIME Clock(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    return time;
}

std::string Text(const CDateTime& date) {
    return date.IsValid() ? date.Format("%Y-%m-%d %H:%M:%S").str() : "invalid";
}

// Wednesday 15 March 2006 at 10:00, an empty registry and en-US short dates.
class DateParserFrame : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
        SetLocalTimeForTesting(Clock(2006, 3, 15, 10));
    }
    void TearDown() override {
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }
    MemoryRegistry m_registry;
};

} // namespace

TEST_F(DateParserFrame, SystemParserComesFirst) {
    CDateParser parser;
    ASSERT_TRUE(parser.Parse("3/20/2006", CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-20 00:00:00");
    ASSERT_TRUE(parser.Parse("3/20/2006 2:15 PM", CDateParser::kDateOrTime));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-20 14:15:00");
    // Time only: the date part is dropped, leaving the day of a bare time.
    ASSERT_TRUE(parser.Parse("3/20/2006 2:15 PM", CDateParser::kTimeOnly));
    EXPECT_EQ(Text(parser.GetDate()), "1899-12-30 14:15:00");
}

TEST_F(DateParserFrame, DateOnlyRefusesTheZeroDate) {
    CDateParser parser;
    EXPECT_FALSE(parser.Parse("12/30/1899", CDateParser::kDateOnly));
    EXPECT_FALSE(parser.GetDate().IsValid());
    // A bare time is the zero date to the date-only parse, and no date phrase either.
    EXPECT_FALSE(parser.Parse("10:30", CDateParser::kDateOnly));
    EXPECT_TRUE(parser.Parse("12/30/1899", CDateParser::kDateOrTime));
}

TEST_F(DateParserFrame, TextNobodyUnderstandsFailsWithAnInvalidDate) {
    for (const char* text : {"", "   ", "BLAH", "NEXT MONTH", "LAST MONTH", "NM", "LM", "TX", "O'CLOCK",
                             "59 MINUTES TILL 5", "NEXT BLAH", "TODAY +", "+ 3", "christmas 50"}) {
        for (int mode : {0, 1, 2}) {
            CDateParser parser(CDateTime(2006, 1, 1));
            EXPECT_FALSE(parser.Parse(text, mode)) << text << " mode " << mode;
            EXPECT_FALSE(parser.GetDate().IsValid()) << text << " mode " << mode;
        }
    }
    CDateParser parser;
    EXPECT_FALSE(parser.Parse(nullptr, 0));
    EXPECT_FALSE(parser.Parse("today", 3));
    EXPECT_FALSE(parser.Parse("today", -1));
}

// Numbers typed into a date or time field, read as the platform's parser reads them (today is
// 15 March 2006, so a date without a year is in 2006).
TEST_F(DateParserFrame, TypedNumbersReadAsThePlatformReadsThem) {
    struct Case {
        const char* text;
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        // Dotted numbers are a time: h.m and h.m.s.
        {"10.30", CDateParser::kTimeOnly, "1899-12-30 10:30:00"},
        {"10.30.15", CDateParser::kTimeOnly, "1899-12-30 10:30:15"},
        {"10.30.15", CDateParser::kDateOrTime, "1899-12-30 10:30:15"},
        {"1.5.2", CDateParser::kDateOrTime, "1899-12-30 01:05:02"},
        {"1.5.2", CDateParser::kTimeOnly, "1899-12-30 01:05:02"},
        {"10.61.15", CDateParser::kTimeOnly, "invalid"},
        {"3.15.2006", CDateParser::kDateOrTime, "2006-03-15 00:00:00"},
        // A dotted time, then month and day of this year.
        {"1.2.3 4 5", CDateParser::kDateOrTime, "2006-04-05 01:02:03"},
        // A time between the numbers of a date is no form the platform takes.
        {"1 2 am 3", CDateParser::kDateOrTime, "invalid"},
        {"1 2 3 2 am", CDateParser::kDateOrTime, "2003-01-02 02:00:00"},
        // Three numbers that are no month, day and year: year, month, day.
        {"14 2 3", CDateParser::kDateOrTime, "2014-02-03 00:00:00"},
        {"1 2 3", CDateParser::kDateOrTime, "2003-01-02 00:00:00"},
        {"15 3 2006", CDateParser::kDateOrTime, "2006-03-15 00:00:00"},
        // Two numbers that are no month and day: the one that can be no day is the year, the day 1.
        {"30 2", CDateParser::kDateOnly, "1930-02-01 00:00:00"},
        {"2 30", CDateParser::kDateOnly, "1930-02-01 00:00:00"},
        {"2 30", CDateParser::kDateOrTime, "1930-02-01 00:00:00"},
        {"2 29", CDateParser::kDateOnly, "invalid"},
        {"13 14", CDateParser::kDateOnly, "invalid"},
        {"3 15", CDateParser::kDateOnly, "2006-03-15 00:00:00"},
    };
    for (const Case& c : cases) {
        CDateParser parser;
        parser.Parse(c.text, c.mode);
        EXPECT_EQ(Text(parser.GetDate()), c.expected) << c.text << " mode " << c.mode;
    }
    // Where dates are written with dots, a date field reads them as a date; a time field still as a
    // time.
    m_registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    CDateParser parser;
    parser.Parse("1.5.2", CDateParser::kDateOrTime);
    EXPECT_EQ(Text(parser.GetDate()), "2002-05-01 00:00:00");
    parser.Parse("1.5.2", CDateParser::kTimeOnly);
    EXPECT_EQ(Text(parser.GetDate()), "1899-12-30 01:05:02");
}

TEST_F(DateParserFrame, AmPmMarkersAreNormalized) {
    struct Case {
        const char* text;
        const char* normalized;
    };
    const Case cases[] = {
        {"2:30 p.m.", "2:30 PM "}, {"2:30 P.M", "2:30 PM "}, {"9:15 a.m.", "9:15 AM "},
        {"9:15 a m", "9:15 AM "},  {"9:15am.", "9:15 AM "},  {"11 p m today", "11 PM TODAY"},
        {"2:30 pm", "2:30 PM"},    {"a m", "A M"}, // a marker at the first character stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDateParser::NormalizeAmPm(c.text), c.normalized) << c.text;

    CDateParser parser;
    ASSERT_TRUE(parser.Parse("2:30 p.m.", CDateParser::kTimeOnly));
    EXPECT_EQ(parser.GetDate().GetHour(), 14);
    EXPECT_EQ(parser.GetDate().GetMinute(), 30);
}

TEST_F(DateParserFrame, TimePhrasesAndHourPolicies) {
    struct Case {
        int policy;
        int threshold;
        const char* text;
        const char* expected; // "HH:MM", or nullptr when the text is no time
    };
    const Case cases[] = {
        // Policy 0: an hour below 7 is in the afternoon.
        {0, 7, "630", "18:30"},
        {0, 7, "830", "08:30"},
        {0, 7, "0630", "18:30"},
        {0, 7, "5", "17:00"},
        {0, 7, "7", "07:00"},
        {0, 7, "2500", "23:00"},
        {0, 7, "12", "12:00"},
        // Policy 1: an hour below the current hour (10) is in the afternoon.
        {1, 7, "930", "21:30"},
        {1, 7, "1030", "10:30"},
        {1, 7, "0930", "21:30"},
        {1, 7, "9", "21:00"},
        {1, 7, "11", "11:00"},
        // Policy 2: below the afternoon threshold, except four digits.
        {2, 7, "630", "18:30"},
        {2, 7, "830", "08:30"},
        {2, 9, "830", "20:30"},
        {2, 7, "0630", "06:30"},
        {2, 7, "5", "17:00"},
        {2, 7, "8", "08:00"},
        // Policy 3: as typed.
        {3, 7, "0630", "06:30"},
        {3, 7, "630", "06:30"},
        // Digits whose minutes are no minutes are no time.
        {0, 7, "599", nullptr},
        // Named and counted times.
        {0, 7, "noon", "12:00"},
        {0, 7, "midnight", "00:00"},
        {0, 7, "3 O'CLOCK", "15:00"},
        {0, 7, "9 OCLOCK", "09:00"},
        {3, 7, "4 O CLOCK", "16:00"}, // o'clock ignores the hour policy
        {0, 7, "12OCLOCK", "12:00"},
        // A word where the hour stands reads as 0, which is before 7 and so noon.
        {0, 7, "THREE O'CLOCK", "12:00"},
        {3, 7, "ELEVEN OCLOCK", "12:00"},
        {0, 7, "10 MINUTES TILL 5", "16:50"},
        {0, 7, "10 TIL 5", "16:50"},
        {0, 7, "5 MINUTES UNTIL NOON", "11:55"},
        {0, 7, "15 PAST 3", "15:15"},
        {0, 7, "20 MINUTES AFTER 830", "08:50"},
        {0, 7, "HALF PAST 3", "15:30"},
        {0, 7, "59 MINUTES TILL 5", nullptr},
        {0, 7, "0 MINUTES TILL 5", nullptr},
        {0, 7, "10 MINUTES BEFORE 5", nullptr},
        {0, 7, "O'CLOCK", nullptr},
        {0, 7, "HALF PAST", nullptr},
    };
    for (const Case& c : cases) {
        CDateParser parser;
        parser.SetHourPolicy(c.policy);
        parser.SetAfternoonThreshold(c.threshold);
        const bool parsed = parser.Parse(c.text, CDateParser::kTimeOnly);
        if (!c.expected) {
            EXPECT_FALSE(parsed) << c.text;
            continue;
        }
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parser.GetDate().Format("%H:%M"), c.expected) << c.text << " policy " << c.policy;
    }
}

TEST_F(DateParserFrame, TimesCountedFromNowKeepTodaysDate) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"5 MINUTES FROM NOW", "2006-03-15 10:05:00"},
        {"2 HOURS FROM NOW", "2006-03-15 12:00:00"},
        {"30 MINUTES AGO", "2006-03-15 09:30:00"},
        {"11 HOURS AGO", "2006-03-14 23:00:00"},
        {"now", "2006-03-15 10:00:00"},
        {"N", "2006-03-15 10:00:00"},
        // A count that is no number reads as 0.
        {"TWO MINUTES FROM NOW", "2006-03-15 10:00:00"},
        {"SOME HOURS AGO", "2006-03-15 10:00:00"},
    };
    for (const Case& c : cases) {
        for (int mode : {CDateParser::kTimeOnly, CDateParser::kDateOrTime}) {
            CDateParser parser;
            ASSERT_TRUE(parser.Parse(c.text, mode)) << c.text;
            EXPECT_EQ(Text(parser.GetDate()), c.expected) << c.text << " mode " << mode;
        }
    }
}

TEST_F(DateParserFrame, AbbreviationsExpandWordByWord) {
    EXPECT_EQ(CDateParser::Abbreviations().size(), 39u);
    EXPECT_EQ(CDateParser::ExpandAbbreviations("T"), "TODAY");
    EXPECT_EQ(CDateParser::ExpandAbbreviations("N3, TM+2"), "NEXT TUESDAY, TOMORROW+2");
    EXPECT_EQ(CDateParser::ExpandAbbreviations("TX"), "TX");
    EXPECT_EQ(CDateParser::ExpandAbbreviations("t"), "t"); // keys compare exactly; Parse upper-cases first
    EXPECT_EQ(CDateParser::LookupAbbreviation("NYE"), "NEW YEARS EVE");

    CDateParser parser;
    ASSERT_TRUE(parser.Parse("T", CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-15 10:00:00");
    ASSERT_TRUE(parser.Parse("t", CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-15 10:00:00");
    ASSERT_TRUE(parser.Parse("  dt  ", CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-17 10:00:00");
    EXPECT_FALSE(parser.Parse("TX", CDateParser::kDateOnly));
}

TEST_F(DateParserFrame, HolidaysOfAYear) {
    struct Case {
        const char* name;
        int year;
        const char* expected;
    };
    const Case cases[] = {
        {"easter", 2006, "2006-04-16 10:00:00"},
        {"Easter Sunday", 2008, "2008-03-23 10:00:00"},
        {"good friday", 2006, "2006-04-14 10:00:00"},
        {"ash wednesday", 2006, "2006-03-01 10:00:00"},
        // Years where the short Gauss rule is off by a week.
        {"easter", 1981, "1981-04-19 10:00:00"},
        {"easter", 2049, "2049-04-18 10:00:00"},
        {"easter", 1954, "1954-04-18 10:00:00"},
        {"easter", 2019, "2019-04-21 10:00:00"},
        {"memorial day", 2006, "2006-05-29 00:00:00"},
        {"memorial day", 2007, "2007-05-28 00:00:00"},
        {"memorial day", 2010, "2010-05-31 00:00:00"},
        {"thanksgiving", 2006, "2006-11-23 00:00:00"},
        {"THANKSGIVING DAY", 2007, "2007-11-22 00:00:00"},
        {"labor day", 2006, "2006-09-04 00:00:00"},
        {"columbus day", 2006, "2006-10-09 00:00:00"},
        {"Washington's Birthday", 2006, "2006-02-20 00:00:00"},
        {"christmas", 2010, "2010-12-25 10:00:00"},
        {"x-mas", 2006, "2006-12-25 10:00:00"},
        {"CHRISTMAS-MAS", 2006, "2006-12-25 10:00:00"}, // "x-mas" after abbreviation expansion
        {"xmas eve", 2006, "2006-12-24 10:00:00"},
        {"new years", 2006, "2006-01-01 10:00:00"},
        {"new years eve", 2006, "2006-12-31 10:00:00"},
        {"halloween", 2006, "2006-10-31 10:00:00"},
        {"4th of July", 2006, "2006-07-04 10:00:00"},
        {"veteran day", 2006, "2006-11-11 10:00:00"},
    };
    for (const Case& c : cases) {
        CDateParser parser;
        ASSERT_TRUE(parser.GetHolidayDate(c.name, c.year)) << c.name << " " << c.year;
        EXPECT_EQ(Text(parser.GetDate()), c.expected) << c.name << " " << c.year;
    }
    CDateParser parser;
    EXPECT_FALSE(parser.GetHolidayDate("groundhog day", 2006));
    EXPECT_FALSE(parser.GetHolidayDate("christmas", 99));
    EXPECT_FALSE(parser.GetHolidayDate("christmas", 10000));
    EXPECT_FALSE(parser.GetHolidayDate(nullptr, 2006));
}

TEST_F(DateParserFrame, EasterDates) {
    struct Case {
        int year;
        int month;
        int day;
    };
    for (const Case& c : {Case{2006, 4, 16}, Case{2008, 3, 23}, Case{2011, 4, 24}, Case{2000, 4, 23},
                          Case{1818, 3, 22}, Case{2285, 3, 22}, Case{2038, 4, 25}}) {
        int month = 0;
        int day = 0;
        CDateParser::GetEasterDate(c.year, month, day);
        EXPECT_EQ(month, c.month) << c.year;
        EXPECT_EQ(day, c.day) << c.year;
    }
}

TEST_F(DateParserFrame, CalendarOperations) {
    EXPECT_EQ(CDateParser::DaysInMonth(2, 1900), 28);
    EXPECT_EQ(CDateParser::DaysInMonth(2, 2000), 29);
    EXPECT_EQ(CDateParser::DaysInMonth(2, 2006), 28);
    EXPECT_EQ(CDateParser::DaysInMonth(4, 2006), 30);
    EXPECT_EQ(CDateParser::DaysInMonth(12, 2006), 31);
    EXPECT_EQ(CDateParser::DaysInMonth(0, 2006), 0);
    EXPECT_EQ(CDateParser::DaysInMonth(13, 2006), 0);

    struct Case {
        int month;
        int year;
        int ordinal;
        int kind;
        const char* expected;
    };
    const Case cases[] = {
        {5, 2006, 4, 1, "2006-05-31 00:00:00"},  // last weekday of May
        {10, 2006, 1, 2, "2006-10-07 00:00:00"}, // second weekend day of October
        {2, 2006, 0, 3, "2006-02-05 00:00:00"},  // first Sunday
        {2, 2006, 3, 9, "2006-02-25 00:00:00"},  // fourth Saturday
        {2, 2006, 4, 0, "2006-02-28 00:00:00"},  // last day
        {3, 2006, 2, 0, "2006-03-03 00:00:00"},  // third day
        {12, 2006, 4, 2, "2006-12-31 00:00:00"}, // last weekend day
        {3, 2006, 0, 12, "invalid"},             // no such kind
        {13, 2006, 0, 1, "invalid"},             // no such month
    };
    for (const Case& c : cases) {
        CDateParser parser;
        EXPECT_TRUE(parser.FindDayOfType(c.month, c.year, c.ordinal, c.kind));
        EXPECT_EQ(Text(parser.GetDate()), c.expected) << c.month << "/" << c.year << " " << c.ordinal;
    }

    // An ordinal outside 0..4 leaves the held date as it was.
    CDateParser parser(CDateTime(2006, 7, 1, 9, 0, 0));
    EXPECT_TRUE(parser.FindDayOfType(5, 2006, 5, 1));
    EXPECT_EQ(Text(parser.GetDate()), "2006-07-01 09:00:00");

    // The fifth Monday of a month that has four leaves the held date unchanged.
    EXPECT_TRUE(parser.NthWeekdayOfMonth(5, 2, 6, 2006));
    EXPECT_EQ(Text(parser.GetDate()), "2006-07-01 09:00:00");
    EXPECT_TRUE(parser.NthWeekdayOfMonth(5, 2, 5, 2006));
    EXPECT_EQ(Text(parser.GetDate()), "2006-05-29 00:00:00");

    EXPECT_TRUE(parser.ReturnTrue(3, 2006));
    EXPECT_EQ(Text(parser.GetDate()), "2006-05-29 00:00:00");
}

TEST_F(DateParserFrame, DayAndMonthTests) {
    CDateParser parser(CDateTime(2006, 3, 18)); // a Saturday
    EXPECT_TRUE(parser.IsSaturday());
    EXPECT_TRUE(parser.IsWeekend());
    EXPECT_FALSE(parser.IsWeekday());
    EXPECT_TRUE(parser.IsMarch());
    EXPECT_FALSE(parser.IsApril());
    EXPECT_TRUE(parser.IsDayType(0));
    EXPECT_TRUE(parser.IsDayType(2));
    EXPECT_FALSE(parser.IsDayType(1));
    EXPECT_TRUE(parser.IsDayType(9));
    EXPECT_FALSE(parser.IsDayType(3));
    EXPECT_FALSE(parser.IsDayType(10));
    EXPECT_FALSE(parser.IsDayType(-1));
    EXPECT_FALSE(parser.IsLeapYear());

    parser.SetDate(CDateTime(2008, 2, 29, 13, 45, 10));
    EXPECT_EQ(Text(parser.GetDate()), "2008-02-29 13:45:10");
    EXPECT_TRUE(parser.IsFriday());
    EXPECT_TRUE(parser.IsWeekday());
    EXPECT_TRUE(parser.IsDayType(1));
    EXPECT_TRUE(parser.IsDayType(8));
    EXPECT_TRUE(parser.IsFebruary());
    EXPECT_TRUE(parser.IsLeapYear());
    EXPECT_TRUE(parser.IsLeapYearOf(2000));
    EXPECT_FALSE(parser.IsLeapYearOf(1900));
    EXPECT_TRUE(parser.IsLeapYearOf(2004));
    EXPECT_FALSE(parser.IsLeapYearOf(2006));
}

TEST_F(DateParserFrame, PolicyThresholdAndCopies) {
    CDateParser parser(CDateTime(2006, 3, 15));
    EXPECT_EQ(parser.GetHourPolicy(), 0);
    EXPECT_EQ(parser.GetAfternoonThreshold(), 7);
    parser.SetHourPolicy(3);
    parser.SetHourPolicy(4);
    parser.SetHourPolicy(-1);
    EXPECT_EQ(parser.GetHourPolicy(), 3);
    parser.SetAfternoonThreshold(11);
    parser.SetAfternoonThreshold(0);
    parser.SetAfternoonThreshold(12);
    EXPECT_EQ(parser.GetAfternoonThreshold(), 11);

    const CDateParser copy(parser);
    EXPECT_EQ(copy.GetDate(), parser.GetDate());
    EXPECT_EQ(copy.GetHourPolicy(), 0);
    EXPECT_EQ(copy.GetAfternoonThreshold(), 7);

    CDateParser assigned;
    assigned = parser;
    EXPECT_EQ(assigned.GetDate(), parser.GetDate());
    EXPECT_EQ(assigned.GetHourPolicy(), 3);
    EXPECT_EQ(assigned.GetAfternoonThreshold(), 11);
}

TEST_F(DateParserFrame, DatePicturesBecomeStrftimePatterns) {
    struct Case {
        const char* picture;
        const char* pattern;
    };
    const Case cases[] = {
        {"dd.MM.yyyy", "%d.%m.%Y"},     {"d 'de' MMMM", "%#d de %B"},
        {"M/d/yyyy", "%#m/%#d/%Y"},     {"dddd, MMMM dd, yyyy", "%A, %B %d, %Y"},
        {"ddd MMM yy", "%a %b %y"},     {"y", "%#y"},
        {"h:mm:ss tt", "%#I:%M:%S %p"}, {"HH:mm H h t s m", "%H:%M %#H %#I %p %#S %#M"},
        {"yyyy''MM", "%Y'%m"},          {"'it''s' d", "its %#d"}, // inside a literal the next quote closes it
        {"'open d", "open d"},                                    // an unclosed literal runs to the end
        {"100% d", "100%% %#d"},        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDateParser::ConvertDatePicture(c.picture), c.pattern) << c.picture;
    EXPECT_EQ(CDateParser::ConvertDatePicture(nullptr), "");
    // The picture is cut to 197 characters first.
    const std::string longPicture = std::string(196, 'x') + "dd";
    EXPECT_EQ(CDateParser::ConvertDatePicture(longPicture.c_str()), std::string(196, 'x') + "%#d");
}

TEST_F(DateParserFrame, UserDatePatternsComeFromTheRegistry) {
    const char* key = "Control Panel\\International";
    m_registry.DeleteValue(key, "sShortDate");
    EXPECT_EQ(CDateParser::GetShortDateFormat(), "%m/%d/%Y");
    EXPECT_EQ(CDateParser::GetLongDateFormat(), "%A %B %d, %Y");

    m_registry.WriteString(key, "sShortDate", "dd.MM.yyyy");
    m_registry.WriteString(key, "sLongDate", "dddd, d. MMMM yyyy");
    EXPECT_EQ(CDateParser::GetShortDateFormat(), "%d.%m.%Y");
    EXPECT_EQ(CDateParser::GetLongDateFormat(), "%A, %#d. %B %Y");

    // Values that are not text, or empty, keep the defaults.
    m_registry.DeleteValue(key, "sShortDate");
    m_registry.WriteDword(key, "sShortDate", 7);
    m_registry.WriteString(key, "sLongDate", "");
    EXPECT_EQ(CDateParser::GetShortDateFormat(), "%m/%d/%Y");
    EXPECT_EQ(CDateParser::GetLongDateFormat(), "%A %B %d, %Y");
}

// A date written with the short pattern reads back as the same date, whatever the picture.
TEST_F(DateParserFrame, ShortDatesReadBackAsWritten) {
    const char* key = "Control Panel\\International";
    for (const char* picture : {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yyyy", ""}) {
        m_registry.WriteString(key, "sShortDate", picture);
        const CString text = CDateTime(2006, 3, 4).Format(CDateParser::GetShortDateFormat());
        CDateParser parser;
        ASSERT_TRUE(parser.Parse(text, CDateParser::kDateOrTime)) << picture << ": " << text.str();
        EXPECT_EQ(Text(parser.GetDate()), "2006-03-04 00:00:00") << picture << ": " << text.str();
    }
}

// Without a registry picture the system's date routines follow the locale's LC_TIME (as the program's
// Qt start-up sets it from the environment); the patterns must follow it too, or a day before the
// 13th would read back with day and month swapped. The locale is compiled into a temp folder.
TEST_F(DateParserFrame, PatternsFollowTheLocaleWithoutARegistryPicture) {
    CString pattern, longPattern, text;
    CDateParser parser;
    bool parsed = false;
    {
        const ScopedGermanLocale german(LC_TIME);
        if (!german.Active())
            GTEST_SKIP() << "no German locale can be made here";
        m_registry.DeleteValue("Control Panel\\International", "sShortDate");
        pattern = CDateParser::GetShortDateFormat();
        longPattern = CDateParser::GetLongDateFormat();
        text = CDateTime(2006, 3, 4).Format(pattern);
        parsed = parser.Parse(text, CDateParser::kDateOrTime);
    }

    EXPECT_EQ(pattern, "%d.%m.%Y");
    EXPECT_EQ(longPattern, "%A, %#d %B %Y");
    ASSERT_TRUE(parsed) << text.str();
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-04 00:00:00") << text.str();
}

TEST_F(DateParserFrame, NamesAgreeWithWhatThePhrasesAccept) {
    EXPECT_EQ(CDateParser::GetMonthName(1), "January");
    EXPECT_EQ(CDateParser::GetMonthName(12), "December");
    EXPECT_EQ(CDateParser::GetMonthName(0), "");
    EXPECT_EQ(CDateParser::GetWeekdayName(1), "Sunday");
    EXPECT_EQ(CDateParser::GetWeekdayName(7), "Saturday");
    EXPECT_EQ(CDateParser::GetWeekdayName(8), "");
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(CDateParser::MonthFromName(CDateParser::GetMonthName(month)), month);
    for (int dayOfWeek = 1; dayOfWeek <= 7; ++dayOfWeek) {
        CDateParser parser;
        ASSERT_TRUE(parser.Parse("next " + CDateParser::GetWeekdayName(dayOfWeek), CDateParser::kDateOnly));
        EXPECT_EQ(parser.GetDate().GetDayOfWeek(), dayOfWeek);
    }
}

TEST_F(DateParserFrame, TextHelpers) {
    EXPECT_EQ(CDateParser::Normalize("  next  week \t", false), "next  week");
    EXPECT_EQ(CDateParser::Normalize(" next week ", true), "NEXT WEEK");
    EXPECT_EQ(CDateParser::CollapseBlanks("A   B  C D"), "A B C D");
    EXPECT_TRUE(CDateParser::EqualsNoCase("Easter  ", "EASTER"));
    EXPECT_FALSE(CDateParser::EqualsNoCase(" EASTER", "EASTER"));
    EXPECT_TRUE(CDateParser::StartsWith("HALF PAST 3", "half past "));
    EXPECT_FALSE(CDateParser::StartsWith("HAL", "HALF PAST "));
    EXPECT_TRUE(CDateParser::EndsWith("2 WEEKS AGO", "weeks ago"));
    EXPECT_FALSE(CDateParser::EndsWith("AGO", " DAYS AGO"));
    EXPECT_TRUE(CDateParser::IsNumber("0630"));
    EXPECT_TRUE(CDateParser::IsNumber("12-15"));
    EXPECT_FALSE(CDateParser::IsNumber(""));
    EXPECT_FALSE(CDateParser::IsNumber("2ND"));
    EXPECT_EQ(CDateParser::ToInt("TWO"), 0);
    EXPECT_EQ(CDateParser::ToInt("42 DAYS"), 42);
    EXPECT_EQ(CDateParser::ToInt("99999999999"), 2147483647);
    EXPECT_EQ(CDateParser::IntToText(-12), "-12");
    EXPECT_TRUE(CDateParser::FirstWordIsNumber("3 DAYS"));
    EXPECT_FALSE(CDateParser::FirstWordIsNumber("3"));
    EXPECT_FALSE(CDateParser::FirstWordIsNumber("THREE DAYS"));
    EXPECT_TRUE(CDateParser::LastWordIsNumber("EASTER 2008"));
    EXPECT_FALSE(CDateParser::LastWordIsNumber("EASTER SUNDAY"));
    EXPECT_TRUE(CDateParser::IsZeroDate(CDateTime(0.75)));
    EXPECT_FALSE(CDateParser::IsZeroDate(CDateTime(1.0)));
    EXPECT_EQ(CDateParser::MonthFromName("MAY"), 5);
    EXPECT_EQ(CDateParser::MonthFromName("sep"), 9);
    EXPECT_EQ(CDateParser::MonthFromName("SEPT"), 0);
    EXPECT_EQ(CDateParser::MonthFromName("December"), 12);
    EXPECT_EQ(CDateParser::MonthFromName("MONTH"), 0);
}

TEST_F(DateParserFrame, MonthsBackAndAheadClampToTheMonthsLastDay) {
    struct Case {
        CDateTime from;
        int months;
        const char* expected;
    };
    const Case cases[] = {
        {CDateTime(2006, 3, 31, 8, 30, 0), -1, "2006-02-28 08:30:00"},
        {CDateTime(2008, 3, 31, 8, 30, 0), -1, "2008-02-29 08:30:00"},
        {CDateTime(2008, 1, 30, 8, 30, 0), 1, "2008-02-29 08:30:00"},
        {CDateTime(2006, 1, 31), 1, "2006-02-28 00:00:00"},
        {CDateTime(2006, 5, 31), 1, "2006-06-30 00:00:00"},
        {CDateTime(2008, 2, 29), 12, "2009-02-28 00:00:00"},
        {CDateTime(2008, 2, 29), -12, "2007-02-28 00:00:00"},
        {CDateTime(2006, 3, 15, 10, 0, 0), 3, "2006-06-15 10:00:00"},
        {CDateTime(2006, 3, 15, 10, 0, 0), -24, "2004-03-15 10:00:00"},
        {CDateTime(2006, 11, 15), 14, "2008-01-15 00:00:00"},
        {CDateTime(9999, 12, 1), 1, "invalid"},
        {CDateTime(100, 1, 1), -1, "invalid"},
        {CDateTime(), 1, "invalid"},
    };
    for (const Case& c : cases) {
        CDateTime out;
        const bool moved = c.months < 0 ? CDateParser::MonthsBack(c.from, -c.months, out)
                                        : CDateParser::MonthsAhead(c.from, c.months, out);
        EXPECT_EQ(moved, out.IsValid());
        EXPECT_EQ(Text(out), c.expected) << Text(c.from) << " " << c.months;
    }
}

TEST_F(DateParserFrame, WeekdaysCountedFromToday) {
    CDateTime out;
    ASSERT_TRUE(CDateParser::NthWeekdayBefore(1, 4, out)); // Wednesday: a week ago, not today
    EXPECT_EQ(Text(out), "2006-03-08 10:00:00");
    ASSERT_TRUE(CDateParser::NthWeekdayAfter(2, 5, out));
    EXPECT_EQ(Text(out), "2006-03-23 10:00:00");
    EXPECT_FALSE(CDateParser::NthWeekdayBefore(30, 2, out)); // beyond 200 days
    EXPECT_FALSE(out.IsValid());
    EXPECT_FALSE(CDateParser::NthWeekdayAfter(0, 2, out));
    EXPECT_FALSE(CDateParser::NthWeekdayAfter(1, 8, out));

    ASSERT_TRUE(CDateParser::NthWeekdayInMonthAhead(2, 2, 5, out));
    EXPECT_EQ(Text(out), "2006-05-08 00:00:00");
    ASSERT_TRUE(CDateParser::NthWeekdayInMonthAhead(1, 2, 3, out)); // 6 March 2006 is past
    EXPECT_EQ(Text(out), "2007-03-05 00:00:00");
    EXPECT_FALSE(CDateParser::NthWeekdayInMonthAhead(5, 6, 2, out));
    EXPECT_FALSE(CDateParser::NthWeekdayInMonthAhead(1, 2, 13, out));
}

TEST_F(DateParserFrame, DeepNestingFailsInsteadOfRecursingWithoutBound) {
    std::string text = "TODAY";
    for (int i = 0; i < 2000; ++i)
        text = "1 DAYS AFTER " + text;
    CDateParser parser;
    EXPECT_FALSE(parser.Parse(text.c_str(), CDateParser::kDateOnly));
    std::string sum = "TODAY";
    for (int i = 0; i < 2000; ++i)
        sum += " + 1";
    EXPECT_FALSE(parser.Parse(sum.c_str(), CDateParser::kDateOrTime));
    // A few levels are fine.
    EXPECT_TRUE(parser.Parse("1 DAYS AFTER 1 DAYS AFTER TODAY", CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-17 10:00:00");
}
