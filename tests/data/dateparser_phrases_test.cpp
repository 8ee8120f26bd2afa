#include "data/DateParser.h"

#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SYSTEMTIME Clock(int year, int month, int day, int hour, int minute = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    return time;
}

std::string Text(const CDateTime& date) {
    return date.IsValid() ? date.Format("%Y-%m-%d %H:%M").str() : "invalid";
}

struct Case {
    const char* text;
    const char* expected; // "YYYY-MM-DD HH:MM", or nullptr for no date
};

// Each phrase must give the same date whether the caller asks for a date only or a date or time.
class DatePhrases : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistry(&m_registry);
        m_registry.WriteString("Control Panel\\International", "sShortDate", "M/d/yyyy");
    }
    void TearDown() override {
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }
    static void Check(const SYSTEMTIME& now, std::initializer_list<Case> cases) {
        SetLocalTimeForTesting(now);
        for (const Case& c : cases) {
            for (int mode : {CDateParser::kDateOnly, CDateParser::kDateOrTime}) {
                CDateParser parser;
                const bool parsed = parser.Parse(c.text, mode);
                if (!c.expected) {
                    EXPECT_FALSE(parsed) << c.text << " mode " << mode << " gave " << Text(parser.GetDate());
                    EXPECT_FALSE(parser.GetDate().IsValid()) << c.text;
                    continue;
                }
                EXPECT_TRUE(parsed) << c.text << " mode " << mode;
                EXPECT_EQ(Text(parser.GetDate()), c.expected) << c.text << " mode " << mode;
            }
        }
    }
    MemoryRegistry m_registry;
};

} // namespace

// Wednesday 15 March 2006 at 10:00.
TEST_F(DatePhrases, OnWednesday15March2006) {
    Check(Clock(2006, 3, 15, 10),
          {
              // Digit dates.
              {"121506", "2006-12-15 00:00"},
              {"12152006", "2006-12-15 00:00"},
              // Fixed phrases.
              {"today", "2006-03-15 10:00"},
              {"now", "2006-03-15 10:00"},
              {"yesterday", "2006-03-14 10:00"},
              {"day before yesterday", "2006-03-13 10:00"},
              {"tomorrow", "2006-03-16 10:00"},
              {"TM", "2006-03-16 10:00"},
              {"day after tomorrow", "2006-03-17 10:00"},
              {"next week", "2006-03-22 10:00"},
              {"last week", "2006-03-08 10:00"},
              // Holidays of this year; some move on once past.
              {"christmas", "2006-12-25 10:00"},
              {"X", "2006-12-25 10:00"},
              {"x-mas", "2006-12-25 10:00"},
              {"x mass eve", "2006-12-24 10:00"},
              {"new years", "2007-01-01 10:00"},
              {"new years eve", "2006-12-31 10:00"},
              {"July 4th", "2006-07-04 10:00"},
              {"J4", "2006-07-04 10:00"},
              {"halloween", "2006-10-31 10:00"},
              {"easter", "2006-04-16 10:00"},
              {"good friday", "2006-04-14 10:00"},
              {"ash wednesday", "2006-03-01 10:00"},
              {"veterans day", "2006-11-11 10:00"},
              {"memorial day", "2006-05-29 00:00"},
              {"labor day", "2006-09-04 00:00"},
              {"columbus day", "2006-10-09 00:00"},
              {"thanksgiving", "2006-11-23 00:00"},
              {"TH", "2006-11-23 00:00"},
              {"president's day", "2007-02-19 00:00"},
              // Years.
              {"next year", "2007-03-15 10:00"},
              {"this past year", "2005-03-15 10:00"},
              // Last and next weekdays.
              {"last wednesday", "2006-03-08 10:00"},
              {"this past wednesday", "2006-03-08 10:00"},
              {"past monday", "2006-03-13 10:00"},
              {"L6", "2006-03-10 10:00"},
              {"wednesday", "2006-03-22 10:00"},
              {"next wednesday", "2006-03-22 10:00"},
              {"friday", "2006-03-17 10:00"},
              {"N3", "2006-03-21 10:00"},
              // Counted days, weeks, months and years.
              {"1 DAY AGO", "2006-03-14 10:00"},
              {"A DAY AGO", "2006-03-14 10:00"},
              {"DAYS FROM NOW", "2006-03-16 10:00"},
              {"5 DAYS FROM NOW", "2006-03-20 10:00"},
              {"2 WEEKS AGO", "2006-03-01 10:00"},
              {"3 WEEK FROM NOW", "2006-04-05 10:00"},
              {"TWO DAYS AGO", "2006-03-15 10:00"}, // a count that is no number reads as 0
              {"A MONTH AGO", "2006-02-15 10:00"},
              {"3 MONTHS FROM NOW", "2006-06-15 10:00"},
              {"ONE YEAR FROM NOW", "2007-03-15 10:00"},
              {"2 YEARS AGO", "2004-03-15 10:00"},
              // The Nth weekday of a month.
              {"2ND MONDAY IN MAY", "2006-05-08 00:00"},
              {"2ND MONDAY IN THE MONTH OF MAY", "2006-05-08 00:00"},
              {"second monday in may", "2006-05-08 00:00"},
              {"1ST MONDAY IN MARCH", "2007-03-05 00:00"},
              {"forth thursday in nov", "2006-11-23 00:00"},
              {"5TH MONDAY IN MAY", "2006-05-29 00:00"},
              {"5TH FRIDAY IN FEBRUARY", nullptr},
              {"2ND MONDAY IN SPRING", nullptr},
              // Relative to another date.
              {"10 DAYS BEFORE CHRISTMAS", "2006-12-15 10:00"},
              {"2 WEEKS AFTER TOMORROW", "2006-03-30 10:00"},
              {"3 DAYS FROM NEXT FRIDAY", "2006-03-20 10:00"},
              {"2 WEEKS AFTER NEXT CHRISTMAS", "2007-01-08 10:00"},
              {"1 MONTHS BEFORE EASTER", "2006-03-16 10:00"},
              {"2 YEARS AFTER 10 DAYS BEFORE CHRISTMAS", "2008-12-15 10:00"},
              {"3 DAYS BEFORE BLAH", nullptr},
              {"TWO DAYS BEFORE CHRISTMAS", "2006-12-25 10:00"}, // a count that is no number reads as 0
              {"A MONTHS AFTER EASTER", "2006-04-16 10:00"},
              // Date arithmetic.
              {"TODAY + 3", "2006-03-18 10:00"},
              {"TODAY+3", "2006-03-18 10:00"},
              {"T +3", "2006-03-18 10:00"},
              {"3 + TODAY", "2006-03-18 10:00"},
              {"CHRISTMAS - 2 WEEKS", "2006-12-11 10:00"},
              {"TOMORROW MINUS 1", "2006-03-15 10:00"},
              {"2 DAYS PLUS NEXT FRIDAY", "2006-03-19 10:00"},
              {"TODAY + TOMORROW", nullptr},
              // Weekdays ago and ahead.
              {"2 FRIDAYS AGO", "2006-03-03 10:00"},
              {"1 WEDNESDAYS AGO", "2006-03-08 10:00"},
              {"1 MONDAYS FROM TODAY", "2006-03-20 10:00"},
              {"3 SUNDAYS FROM NOW", "2006-04-02 10:00"},
              // Next or last holiday.
              {"next christmas", "2006-12-25 10:00"},
              {"last christmas", "2005-12-25 10:00"},
              {"this past easter", "2005-03-27 10:00"},
              {"next thanksgiving", "2006-11-23 00:00"},
              {"last thanksgiving", "2005-11-24 00:00"},
              {"next new years", "2007-01-01 10:00"},
              // A holiday of a given year.
              {"christmas 2010", "2010-12-25 10:00"},
              {"thanksgiving 2007", "2007-11-22 00:00"},
              {"easter 2008", "2008-03-23 10:00"},
              {"easter 1981", "1981-04-19 10:00"},
              // Counts from today.
              {"IN 3 DAYS", "2006-03-18 10:00"},
              {"3 DAYS", "2006-03-18 10:00"},
              {"2 WEEKS", "2006-03-29 10:00"},
              {"IN 2 MONTHS", "2006-05-15 10:00"},
              {"in 1 years", "2007-03-15 10:00"},
              // Not understood.
              {"NEXT MONTH", nullptr},
              {"LAST MONTH", nullptr},
              {"NEXT SPRING", nullptr},
              {"3 FORTNIGHTS", nullptr},
              {"99999999999 DAYS", nullptr},
              {"9999 YEARS FROM NOW", nullptr},
          });
}

// The weekday phrases on the weekday itself count a whole week.
TEST_F(DatePhrases, OnTheWeekdayItself) {
    Check(Clock(2006, 3, 17, 9, 30), // a Friday
          {
              {"last friday", "2006-03-10 09:30"},
              {"friday", "2006-03-24 09:30"},
              {"next friday", "2006-03-24 09:30"},
              {"saturday", "2006-03-18 09:30"},
              {"last saturday", "2006-03-11 09:30"},
          });
}

// A day of the month that the target month lacks becomes that month's last day.
TEST_F(DatePhrases, MonthsAndYearsOnTheLastDaysOfMonths) {
    Check(Clock(2006, 3, 31, 10), {
                                      {"1 MONTH AGO", "2006-02-28 10:00"},
                                      {"ONE MONTH FROM NOW", "2006-04-30 10:00"},
                                      {"2 MONTHS FROM NOW", "2006-05-31 10:00"},
                                      {"IN 3 MONTHS", "2006-06-30 10:00"},
                                      {"1 MONTHS AFTER TODAY", "2006-04-30 10:00"},
                                  });
    Check(Clock(2008, 2, 29, 10), {
                                      {"NEXT YEAR", "2009-02-28 10:00"},
                                      {"LAST YEAR", "2007-02-28 10:00"},
                                      {"A YEAR AGO", "2007-02-28 10:00"},
                                      {"4 YEARS FROM NOW", "2012-02-29 10:00"},
                                      {"1 YEARS BEFORE TODAY", "2007-02-28 10:00"},
                                  });
}

// Holidays that are past (or today, for the ones at midnight) move to next year.
TEST_F(DatePhrases, HolidaysOnceTheyArePast) {
    Check(Clock(2006, 4, 20, 10), {
                                      {"easter", "2007-04-08 10:00"},
                                      {"good friday", "2007-04-06 10:00"},
                                      {"christmas", "2006-12-25 10:00"},
                                  });
    Check(Clock(2006, 7, 5, 10), {
                                     {"July 4th", "2007-07-04 10:00"},
                                     {"halloween", "2006-10-31 10:00"},
                                 });
    Check(Clock(2006, 11, 23, 10), // Thanksgiving itself
          {
              {"thanksgiving", "2007-11-22 00:00"},
              {"veterans day", "2007-11-11 10:00"},
              {"christmas eve", "2006-12-24 10:00"},
          });
    Check(Clock(2006, 5, 30, 10), {
                                      {"memorial day", "2007-05-28 00:00"},
                                  });
    // May 2009 has four Mondays, May 2010 five: the last Monday of next May either way.
    Check(Clock(2009, 6, 1, 10), {
                                     {"memorial day", "2010-05-31 00:00"},
                                 });
    Check(Clock(2009, 4, 1, 10), {
                                     {"memorial day", "2009-05-25 00:00"},
                                 });
    Check(Clock(2006, 12, 31, 10), {
                                       {"new years eve", "2006-12-31 10:00"},
                                       {"last new years eve", "2005-12-31 10:00"},
                                       {"next new years eve", "2007-12-31 10:00"},
                                   });
}

TEST_F(DatePhrases, DigitDatesFollowTheUsersDayOrder) {
    m_registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    Check(Clock(2006, 3, 15, 10), {
                                      {"150306", "2006-03-15 00:00"},
                                      {"15032006", "2006-03-15 00:00"},
                                  });
}

// Digits and dashes that the system refuses as a date are no sum of days either; real dates and
// counts off a date still are.
TEST_F(DatePhrases, DashedNumbersThatAreNoDates) {
    Check(Clock(2006, 3, 15, 10), {
                                      {"2023-02-29", nullptr},
                                      {"31-02-2024", nullptr},
                                      {"13-25", nullptr},
                                      {"555-1234", nullptr},
                                      {"1-800-555-1234", nullptr},
                                      {"NOON - 2", nullptr},
                                      {"2024-02-29", "2024-02-29 00:00"},
                                      {"TODAY - 2", "2006-03-13 10:00"},
                                      {"TODAY-2", "2006-03-13 10:00"},
                                      {"CHRISTMAS - 2 WEEKS", "2006-12-11 10:00"},
                                  });
    // Nor a time of day when the field takes either.
    SetLocalTimeForTesting(Clock(2006, 3, 15, 10));
    CDateParser parser;
    EXPECT_FALSE(parser.Parse("555-1234", CDateParser::kTimeOnly));
    EXPECT_TRUE(parser.Parse("830", CDateParser::kTimeOnly));
}

TEST_F(DatePhrases, OverLongTextsAreRefusedUpFront) {
    SetLocalTimeForTesting(Clock(2006, 3, 15, 10));
    // The length counts from the first to the last character that is no blank.
    const std::string padded = "TOMORROW" + std::string(CDateParser::kMaxPhraseLength - 9, ' ') + "X";
    const std::string tooLong = padded + "X";
    const std::string megabyte = "1 DAYS AFTER " + std::string(1 << 20, 'X');
    for (int mode : {CDateParser::kDateOrTime, CDateParser::kTimeOnly, CDateParser::kDateOnly}) {
        CDateParser parser;
        EXPECT_FALSE(parser.Parse(tooLong.c_str(), mode)) << mode;
        EXPECT_FALSE(parser.GetDate().IsValid());
        EXPECT_FALSE(parser.Parse(megabyte.c_str(), mode)) << mode;
    }
    const std::string blanks(CDateParser::kMaxPhraseLength, ' ');
    for (const std::string& text : {"TODAY" + std::string(252, ' '), blanks + "TOMORROW" + blanks,
                                    "TOMORROW" + std::string(CDateParser::kMaxPhraseLength - 8, ' ')}) {
        CDateParser parser;
        EXPECT_TRUE(parser.Parse(text.c_str(), CDateParser::kDateOnly)) << text.size();
    }
    CDateParser parser;
    EXPECT_TRUE(parser.Parse((blanks + "TOMORROW" + blanks).c_str(), CDateParser::kDateOnly));
    EXPECT_EQ(Text(parser.GetDate()), "2006-03-16 10:00");
}
