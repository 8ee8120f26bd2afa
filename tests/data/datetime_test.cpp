#include "data/DateTime.h"

#include "platform/core/Registry.h"
#include "platform/core/StringTable.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace {

constexpr int kNoValue = static_cast<int>(0x80000000u);

double At(int hour, int minute = 0, int second = 0) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

} // namespace

TEST(CDateTime, DefaultIsInvalidAndGivesNoValues) {
    const CDateTime date;
    EXPECT_FALSE(date.IsValid());
    EXPECT_EQ(date.GetValue(), -657435.0);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "");
    EXPECT_EQ(date.FormatDate(nullptr), "");
    EXPECT_EQ(date.FormatTime(nullptr), "");
    EXPECT_EQ(date.FormatVariant(), "");
    for (int value : {date.GetYear(), date.GetMonth(), date.GetDay(), date.GetHour(), date.GetMinute(),
                      date.GetSecond(), date.GetDayOfWeek(), date.GetDayOfYear()})
        EXPECT_EQ(value, kNoValue);
    SYSTEMTIME time;
    EXPECT_FALSE(date.GetAsSystemTime(time));
    EXPECT_FALSE(date.IsLeapYear());
    EXPECT_FALSE(date.IsMidnight());
    EXPECT_FALSE(date.IsNoon());
    char buffer[130] = "junk";
    EXPECT_EQ(date.Format(buffer, "%Y"), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST(CDateTime, ValidRangeIsYear100ToTheLastDayOf9999) {
    EXPECT_TRUE(CDateTime::IsValidDate(-657434.0));
    EXPECT_TRUE(CDateTime::IsValidDate(2958465.0));
    EXPECT_FALSE(CDateTime::IsValidDate(-657434.5));
    EXPECT_FALSE(CDateTime::IsValidDate(2958465.5));
    CDateTime date;
    EXPECT_TRUE(date.SetDateTime(100, 1, 1, 0, 0, 0));
    EXPECT_EQ(date.GetValue(), -657434.0);
    EXPECT_TRUE(date.SetDateTime(9999, 12, 31, 0, 0, 0));
    EXPECT_EQ(date.GetValue(), 2958465.0);
    EXPECT_FALSE(date.SetDateTime(99, 12, 31, 0, 0, 0));
    EXPECT_FALSE(date.IsValid());
    EXPECT_EQ(date.GetValue(), CDateTime::kInvalid);
}

TEST(CDateTime, SetDateTimeFillsEveryGetter) {
    CDateTime date;
    ASSERT_TRUE(date.SetDateTime(2006, 3, 15, 10, 20, 30));
    EXPECT_DOUBLE_EQ(date.GetValue(), 38791.0 + At(10, 20, 30));
    EXPECT_EQ(date.GetYear(), 2006);
    EXPECT_EQ(date.GetMonth(), 3);
    EXPECT_EQ(date.GetDay(), 15);
    EXPECT_EQ(date.GetHour(), 10);
    EXPECT_EQ(date.GetMinute(), 20);
    EXPECT_EQ(date.GetSecond(), 30);
    EXPECT_EQ(date.GetDayOfWeek(), 4);
    EXPECT_EQ(date.GetDayOfYear(), 74);
    EXPECT_EQ(date.ToDays(), 38791);
    EXPECT_EQ(CDateTime(2006, 1, 1).GetDayOfWeek(), 1);
    EXPECT_EQ(CDateTime(2006, 1, 7).GetDayOfWeek(), 7);
}

TEST(CDateTime, RejectsImpossibleFields) {
    CDateTime date(2006, 3, 15);
    EXPECT_FALSE(date.SetDateTime(2006, 2, 29, 0, 0, 0));
    EXPECT_FALSE(date.IsValid());
    EXPECT_FALSE(CDateTime(2006, 13, 1).IsValid());
    EXPECT_FALSE(CDateTime(2006, 1, 1, 24, 0, 0).IsValid());
    EXPECT_FALSE(CDateTime(2006, 1, 1, 0, -1, 0).IsValid());
    EXPECT_FALSE(CDateTime(70000, 1, 1).IsValid());
}

TEST(CDateTime, GettersRoundToTheNearestSecond) {
    const CDateTime date(38791.0 + 86399.6 / 86400.0);
    EXPECT_EQ(date.GetDay(), 16);
    EXPECT_EQ(date.GetHour(), 0);
    EXPECT_EQ(date.GetSecond(), 0);
    EXPECT_EQ(CDateTime(38791.0 + 10.5 / 86400.0).GetSecond(), 11);
}

TEST(CDateTime, NegativeValuesReadTheirDayBackwardsAndTheTimeForwards) {
    const CDateTime date(-1.25);
    EXPECT_EQ(date.GetYear(), 1899);
    EXPECT_EQ(date.GetMonth(), 12);
    EXPECT_EQ(date.GetDay(), 29);
    EXPECT_EQ(date.GetHour(), 6);
    EXPECT_EQ(date.ToDays(), -1);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "1899-12-29 06:00:00");
    EXPECT_EQ(CDateTime(-1.75).Format("%Y-%m-%d %H:%M:%S"), "1899-12-29 18:00:00");
}

TEST(CDateTime, DayOfYearAndLeapYearsOutsideTheCLibraryRange) {
    const struct {
        int year;
        int lastDay;
        bool leap;
    } cases[] = {{100, 365, false},  {1600, 366, true}, {1900, 365, false},
                 {2000, 366, true},  {2004, 366, true}, {2006, 365, false},
                 {2100, 365, false}, {2400, 366, true}, {9999, 365, false}};
    for (const auto& test : cases) {
        const CDateTime last(test.year, 12, 31);
        EXPECT_EQ(last.GetDayOfYear(), test.lastDay) << test.year;
        EXPECT_EQ(last.IsLeapYear(), test.leap) << test.year;
        EXPECT_EQ(CDateTime(test.year, 3, 1).GetDayOfYear(), test.leap ? 61 : 60) << test.year;
        EXPECT_EQ(CDateTime(test.year, 1, 1).GetDayOfYear(), 1) << test.year;
    }
    EXPECT_EQ(CDateTime(1600, 3, 1).GetDayOfWeek(), 4);
    EXPECT_EQ(CDateTime(9999, 12, 31).GetDayOfWeek(), 6);
    EXPECT_EQ(CDateTime(100, 1, 1).GetDayOfWeek(), 6);
}

TEST(CDateTime, SetDateAndSetTimeKeepTheOtherHalf) {
    CDateTime date(2006, 3, 15, 10, 20, 30);
    ASSERT_TRUE(date.SetDate(2007, 4, 16));
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2007-04-16 10:20:30");
    ASSERT_TRUE(date.SetTime(23, 59, 58));
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2007-04-16 23:59:58");
    EXPECT_FALSE(date.SetTime(24, 0, 0));
    EXPECT_FALSE(date.IsValid());
}

TEST(CDateTime, SetDateOfAnInvalidValueStartsFromMidnightAndSetTimeKeepsItInvalid) {
    CDateTime date;
    ASSERT_TRUE(date.SetDate(2006, 3, 15));
    EXPECT_EQ(date.GetValue(), 38791.0);
    CDateTime time;
    EXPECT_FALSE(time.SetTime(6, 0, 0));
    EXPECT_FALSE(time.IsValid());
    EXPECT_EQ(time.GetValue(), CDateTime::kInvalid);
}

TEST(CDateTime, SystemTimeInAndOutDropsMilliseconds) {
    SYSTEMTIME time;
    time.wYear = 2006;
    time.wMonth = 3;
    time.wDay = 15;
    time.wDayOfWeek = 0;
    time.wHour = 10;
    time.wMinute = 20;
    time.wSecond = 30;
    time.wMilliseconds = 900;
    CDateTime date;
    date = time;
    EXPECT_DOUBLE_EQ(date.GetValue(), 38791.0 + At(10, 20, 30));
    EXPECT_DOUBLE_EQ(CDateTime(time).GetValue(), date.GetValue());
    SYSTEMTIME back;
    ASSERT_TRUE(date.GetAsSystemTime(back));
    EXPECT_EQ(back.wDayOfWeek, 3);
    EXPECT_EQ(back.wMilliseconds, 0);
    EXPECT_EQ(back.wSecond, 30);
    time.wDay = 32;
    EXPECT_FALSE(date.SetFromSystemTime(time));
    EXPECT_FALSE(date.IsValid());
}

TEST(CDateTime, GetCurrentTimeReadsTheClock) {
    SYSTEMTIME now;
    now.wYear = 2011;
    now.wMonth = 6;
    now.wDay = 20;
    now.wHour = 9;
    now.wMinute = 15;
    now.wSecond = 42;
    now.wMilliseconds = 999;
    SetLocalTimeForTesting(now);
    const CDateTime date = CDateTime::GetCurrentTime();
    SetLocalTimeForTesting(std::nullopt);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2011-06-20 09:15:42");
    EXPECT_EQ(date.GetSecond(), 42);
}

TEST(CDateTime, SetRawJoinsTheTwoHalves) {
    const double value = 38791.5;
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    CDateTime date;
    date.SetRaw(static_cast<uint32_t>(bits & 0xFFFFFFFFu), static_cast<uint32_t>(bits >> 32));
    EXPECT_EQ(date.GetValue(), 38791.5);
    date.SetNull();
    EXPECT_FALSE(date.IsValid());
    CDateTimeSpan span;
    span.SetRaw(static_cast<uint32_t>(bits & 0xFFFFFFFFu), static_cast<uint32_t>(bits >> 32));
    EXPECT_EQ(span.GetValue(), 38791.5);
}

TEST(CDateTime, ParsesTextAndFailsToInvalid) {
    MemoryRegistry registry;
    SetRegistry(&registry);
    CDateTime date;
    EXPECT_TRUE(date.ParseDateTime("2006-03-15 10:20:30"));
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2006-03-15 10:20:30");
    EXPECT_TRUE(date.ParseDateTimeEx("3/15/2006 10:20:30", VAR_DATEVALUEONLY));
    EXPECT_EQ(date.GetValue(), 38791.0);
    EXPECT_TRUE(date.ParseDateTimeEx("3/15/2006 6:00 AM", VAR_TIMEVALUEONLY));
    EXPECT_DOUBLE_EQ(date.GetValue(), 0.25);
    EXPECT_FALSE(date.ParseDateTime("hello"));
    EXPECT_FALSE(date.IsValid());
    EXPECT_FALSE(date.ParseDateTime(nullptr));
    EXPECT_EQ(CDateTime("March 15, 2006").GetValue(), 38791.0);
    EXPECT_FALSE(CDateTime("2/30/2006").IsValid());
    registry.WriteString("Control Panel\\International", "sShortDate", "d/M/yyyy");
    EXPECT_EQ(CDateTime("4/3/2006").Format("%Y-%m-%d"), "2006-03-04");
    SetRegistry(nullptr);
}

TEST(CDateTime, FormatsWithStrftimePatterns) {
    const CDateTime date(2006, 3, 15, 10, 20, 30);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2006-03-15 10:20:30");
    EXPECT_EQ(date.Format("%B %d %Y"), "March 15 2006");
    EXPECT_EQ(date.Format("%I:%M %p"), "10:20 AM");
    EXPECT_EQ(date.Format("%A %a %b %j %w"), "Wednesday Wed Mar 074 3");
    EXPECT_EQ(CDateTime(1600, 3, 1).Format("%Y-%m-%d %A %j"), "1600-03-01 Wednesday 061");
    EXPECT_EQ(CDateTime(9999, 12, 31).Format("%Y-%m-%d %a %j"), "9999-12-31 Fri 365");
    EXPECT_EQ(date.Format(""), "");
    EXPECT_EQ(date.Format(nullptr), "");
}

TEST(CDateTime, BufferFormatStaysWithinTheBuffer) {
    const CDateTime date(2006, 3, 15, 10, 20, 30);
    char buffer[130];
    EXPECT_EQ(date.Format(buffer, "%Y-%m-%d %H:%M:%S"), 19u);
    EXPECT_STREQ(buffer, "2006-03-15 10:20:30");
    char small[8] = "junk";
    EXPECT_EQ(date.Format(small, "%Y-%m-%d"), 0u);
    EXPECT_STREQ(small, "");
    const std::string longPattern(5000, 'x');
    EXPECT_EQ(date.Format(longPattern.c_str()), "");
}

TEST(CDateTime, FormatsWithTheUserPictures) {
    MemoryRegistry registry;
    SetRegistry(&registry);
    const CDateTime date(2006, 3, 5, 14, 7, 9);
    EXPECT_EQ(date.FormatDate(nullptr), "3/5/2006");
    EXPECT_EQ(date.FormatDate(nullptr, DATE_LONGDATE), "Sunday, March 05, 2006");
    EXPECT_EQ(date.FormatDate("MMM d, yyyy"), "Mar 5, 2006");
    EXPECT_EQ(date.FormatTime(nullptr), "2:07:09 PM");
    EXPECT_EQ(date.FormatTime(nullptr, TIME_NOSECONDS), "2:07 PM");
    EXPECT_EQ(date.FormatVariant(), "3/5/2006 2:07:09 PM");
    EXPECT_EQ(CDateTime(2006, 3, 5).FormatVariant(), "3/5/2006");
    EXPECT_EQ(CDateTime(0.75).FormatVariant(), "6:00:00 PM");
    char buffer[255];
    date.FormatDate(buffer, "dddd");
    EXPECT_STREQ(buffer, "Sunday");
    date.FormatTime(buffer, "HH:mm");
    EXPECT_STREQ(buffer, "14:07");
    char small[4] = "abc";
    date.FormatDate(small, "dddd");
    EXPECT_STREQ(small, "");
    registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    EXPECT_EQ(date.FormatDate(nullptr), "05.03.2006");
    EXPECT_EQ(date.FormatVariant(), "05.03.2006 2:07:09 PM");
    SetRegistry(nullptr);
}

TEST(CDateTime, FormatsWithAPatternFromTheStringTable) {
    RegisterStringResource(42001, "%B %d %Y");
    EXPECT_EQ(CDateTime(2006, 3, 15).FormatResource(42001), "March 15 2006");
    EXPECT_EQ(CDateTime(2006, 3, 15).FormatResource(42002), "");
    EXPECT_EQ(CDateTime().FormatResource(42001), "");
}

TEST(CDateTime, ComparesOnTheFoldedScale) {
    EXPECT_EQ(CDateTime::Fold(-1.25), -0.75);
    EXPECT_EQ(CDateTime::Unfold(-0.75), -1.25);
    EXPECT_EQ(CDateTime::Fold(2.5), 2.5);
    EXPECT_TRUE(CDateTime(-1.25) < CDateTime(-1.5));
    EXPECT_TRUE(CDateTime(-1.5) > CDateTime(-1.25));
    EXPECT_TRUE(CDateTime(-1.25) <= CDateTime(-1.5));
    EXPECT_FALSE(CDateTime(-1.25) >= CDateTime(-1.5));
    EXPECT_TRUE(CDateTime(-1.75) < CDateTime(0.0));
    EXPECT_TRUE(CDateTime(-2.0) < CDateTime(-1.99));
    // -0.5 and 0.5 are the same time of the same day, but not the same double.
    const CDateTime negative(-0.5);
    const CDateTime positive(0.5);
    EXPECT_FALSE(negative < positive);
    EXPECT_FALSE(negative > positive);
    EXPECT_TRUE(negative <= positive);
    EXPECT_TRUE(negative >= positive);
    EXPECT_FALSE(negative == positive);
    EXPECT_TRUE(negative != positive);
    EXPECT_TRUE(CDateTime(2006, 3, 15) == CDateTime(38791.0));
}

TEST(CDateTime, ArithmeticFoldsAndUnfolds) {
    const CDateTimeSpan quarterDay(0.25);
    const CDateTime epoch(0.0);
    const CDateTime before = CDateTimeAddSpan(epoch, -quarterDay);
    EXPECT_EQ(before.GetValue(), -1.75);
    EXPECT_EQ(before.Format("%Y-%m-%d %H:%M"), "1899-12-29 18:00");
    EXPECT_EQ(CDateTimeDiff(CDateTime(-1.25), epoch).GetValue(), -0.75);
    EXPECT_EQ(CDateTimeSubSpan(epoch, quarterDay).GetValue(), -1.75);
    EXPECT_EQ((before + CDateTimeSpan(0.5)).GetValue(), 0.25);
    // 29 December 06:00 minus 28 December 18:00.
    EXPECT_EQ((CDateTime(-1.25) - CDateTime(-2.75)).GetValue(), 0.5);
    EXPECT_DOUBLE_EQ((CDateTime(2006, 3, 15, 12, 0, 0) - CDateTime(2006, 3, 14)).GetValue(), 1.5);

    CDateTime date(2006, 3, 15);
    date += CDateTimeSpan(1, 2, 3, 4);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2006-03-16 02:03:04");
    date -= CDateTimeSpan(1, 2, 3, 4);
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "2006-03-15 00:00:00");
    date -= CDateTimeSpan(38792, 0, 0, 0);
    EXPECT_EQ(date.GetValue(), -1.0);
}

TEST(CDateTime, ArithmeticWithAnInvalidOperandIsInvalid) {
    const CDateTime valid(2006, 3, 15);
    EXPECT_FALSE(CDateTimeAddSpan(CDateTime(), CDateTimeSpan(1.0)).IsValid());
    EXPECT_FALSE(CDateTimeAddSpan(valid, CDateTimeSpan()).IsValid());
    EXPECT_FALSE(CDateTimeSubSpan(valid, CDateTimeSpan()).IsValid());
    EXPECT_FALSE(CDateTimeDiff(valid, CDateTime()).IsValid());
    EXPECT_FALSE(CDateTimeDiff(CDateTime(), valid).IsValid());
    CDateTime date = valid;
    date += CDateTimeSpan();
    EXPECT_FALSE(date.IsValid());
    // A result past the range is invalid too.
    EXPECT_FALSE((CDateTime(9999, 12, 31) + CDateTimeSpan(1.0)).IsValid());
}

TEST(CDateTimeSpan, PartsOfADay) {
    CDateTimeSpan span;
    EXPECT_FALSE(span.IsValid());
    EXPECT_EQ(span.GetValue(), -3615898.0);
    span.SetDateTimeSpan(0, 1, 30, 0);
    EXPECT_EQ(span.GetValue(), 0.0625);
    EXPECT_EQ(span.GetHours(), 1);
    EXPECT_EQ(span.GetMinutes(), 30);
    EXPECT_EQ(span.GetSeconds(), 0);
    EXPECT_EQ(span.GetTotalMinutes(), 90.0);
    const CDateTimeSpan longer(2, 3, 4, 5);
    EXPECT_EQ(longer.GetHours(), 3);
    EXPECT_EQ(longer.GetMinutes(), 4);
    EXPECT_EQ(longer.GetSeconds(), 5);
    const CDateTimeSpan negative = -CDateTimeSpan(0, 1, 30, 15);
    EXPECT_EQ(negative.GetHours(), -1);
    EXPECT_EQ(negative.GetMinutes(), -30);
    EXPECT_EQ(negative.GetSeconds(), -15);
}

TEST(CDateTimeSpan, EverySecondOfADayReadsBackExactly) {
    for (int hour = 0; hour < 24; ++hour)
        for (int minute = 0; minute < 60; ++minute)
            for (int second = 0; second < 60; second += 7) {
                const CDateTimeSpan span(0, hour, minute, second);
                ASSERT_EQ(span.GetHours(), hour);
                ASSERT_EQ(span.GetMinutes(), minute);
                ASSERT_EQ(span.GetSeconds(), second) << hour << ":" << minute;
            }
}

TEST(CDateTimeSpan, ValidityAndArithmetic) {
    EXPECT_TRUE(CDateTimeSpan(3615897.0).IsValid());
    EXPECT_TRUE(CDateTimeSpan(-3615897.0).IsValid());
    EXPECT_FALSE(CDateTimeSpan(3615897.5).IsValid());
    EXPECT_EQ((CDateTimeSpan(1.5) + CDateTimeSpan(0.25)).GetValue(), 1.75);
    EXPECT_EQ((CDateTimeSpan(1.5) - CDateTimeSpan(0.25)).GetValue(), 1.25);
    EXPECT_EQ((-CDateTimeSpan(1.5)).GetValue(), -1.5);
    EXPECT_FALSE((CDateTimeSpan(1.5) + CDateTimeSpan()).IsValid());
    EXPECT_FALSE((CDateTimeSpan() - CDateTimeSpan(1.5)).IsValid());
    EXPECT_FALSE((-CDateTimeSpan()).IsValid());
    EXPECT_TRUE(CDateTimeSpan(0.5) == CDateTimeSpan(0, 12, 0, 0));
    CDateTimeSpan span(1.0);
    span.SetNull();
    EXPECT_FALSE(span.IsValid());
}

TEST(CDateTime, NoonAndMidnight) {
    EXPECT_TRUE(CDateTime(2006, 3, 15, 12, 0, 0).IsNoon());
    EXPECT_FALSE(CDateTime(2006, 3, 15, 12, 0, 1).IsNoon());
    EXPECT_TRUE(CDateTime(2006, 3, 15).IsMidnight());
    EXPECT_FALSE(CDateTime(2006, 3, 15, 0, 1, 0).IsMidnight());
    EXPECT_TRUE(CDateTime(-1.0).IsMidnight());
}

TEST(CDateTime, ConvertsToAndFromStructTm) {
    const CDateTime date(2006, 3, 15, 10, 20, 30);
    std::tm time{};
    ASSERT_TRUE(date.GetAsTm(time));
    EXPECT_EQ(time.tm_year, 106);
    EXPECT_EQ(time.tm_mon, 2);
    EXPECT_EQ(time.tm_mday, 15);
    EXPECT_EQ(time.tm_hour, 10);
    EXPECT_EQ(time.tm_min, 20);
    EXPECT_EQ(time.tm_sec, 30);
    EXPECT_EQ(time.tm_wday, 3);
    EXPECT_EQ(time.tm_yday, 73);
    EXPECT_EQ(time.tm_isdst, -1);
    EXPECT_EQ(CDateTime(time), date);
    std::tm bad{};
    bad.tm_year = 106;
    bad.tm_mon = 12;
    bad.tm_mday = 1;
    EXPECT_FALSE(CDateTime(bad).IsValid());
    EXPECT_FALSE(CDateTime().GetAsTm(time));
}

TEST(CDateTime, StructTmBeyondTheCalendarIsInvalid) {
    for (const auto& [year, month] : {std::pair{INT_MAX, 0}, std::pair{INT_MIN, 0}, std::pair{106, INT_MAX},
                                      std::pair{106, -1}, std::pair{-1801, 0}, std::pair{8100, 0}}) {
        std::tm time{};
        time.tm_year = year;
        time.tm_mon = month;
        time.tm_mday = 1;
        CDateTime date(2006, 1, 1);
        EXPECT_FALSE(date.SetFromTm(time)) << year << " " << month;
        EXPECT_FALSE(date.IsValid());
    }
    std::tm first{};
    first.tm_year = 100 - 1900;
    first.tm_mday = 1;
    EXPECT_EQ(CDateTime(first).GetValue(), -657434.0);
}

TEST(CDateTime, ToDaysOfAValueNoIntegerHolds) {
    CDateTime date;
    date.SetRaw(std::nan(""));
    EXPECT_EQ(date.ToDays(), INT64_MIN);
    date.SetRaw(1e300);
    EXPECT_EQ(date.ToDays(), INT64_MIN);
    date.SetRaw(-1e300);
    EXPECT_EQ(date.ToDays(), INT64_MIN);
    date.SetRaw(-1.75);
    EXPECT_EQ(date.ToDays(), -1);
    EXPECT_EQ(CDateTime().ToDays(), -657435);
}

TEST(CDateTime, ConvertsToAndFromTimeTInLocalTime) {
    const ScopedTimeZone zone;
    CDateTime date;
    ASSERT_TRUE(date.SetFromTimeT(0));
    EXPECT_EQ(date.Format("%Y-%m-%d %H:%M:%S"), "1970-01-01 01:00:00");
    EXPECT_EQ(date.GetAsTimeT(), 0);
    const CDateTime summer(2006, 7, 15, 14, 0, 0);
    EXPECT_EQ(summer.GetAsTimeT(), 1152964800);
    EXPECT_EQ(CDateTime().GetAsTimeT(), static_cast<time_t>(-1));
}

TEST(CDateTime, ConvertsFromUtcFileTimeToLocalTime) {
    const ScopedTimeZone zone;
    SYSTEMTIME utc;
    utc.wYear = 2006;
    utc.wMonth = 7;
    utc.wDay = 15;
    utc.wHour = 12;
    FILETIME fileTime;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &fileTime));
    EXPECT_EQ(CDateTime(fileTime).Format("%Y-%m-%d %H:%M:%S"), "2006-07-15 14:00:00");
    utc.wMonth = 1;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &fileTime));
    EXPECT_EQ(CDateTime(fileTime).Format("%Y-%m-%d %H:%M:%S"), "2006-01-15 13:00:00");
}

TEST(CDateTime, ConvertsToAndFromVariants) {
    MemoryRegistry registry;
    SetRegistry(&registry);
    VARIANT variant;
    variant.vt = VT_DATE;
    variant.date = -1.25;
    EXPECT_EQ(CDateTime(variant).GetValue(), -1.25);
    variant.vt = VT_BSTR;
    variant.bstrVal = "3/15/2006";
    EXPECT_EQ(CDateTime(variant).GetValue(), 38791.0);
    variant.bstrVal = "hello";
    EXPECT_FALSE(CDateTime(variant).IsValid());
    variant.vt = VT_R8;
    variant.dblVal = 38791.5;
    EXPECT_EQ(CDateTime(variant).GetValue(), 38791.5);
    variant.vt = VT_DATE;
    variant.date = 1e9;
    EXPECT_FALSE(CDateTime(variant).IsValid());

    VARIANT out;
    ASSERT_TRUE(CDateTime(38791.5).GetAsVariant(out));
    EXPECT_EQ(out.vt, VT_DATE);
    EXPECT_EQ(out.date, 38791.5);
    EXPECT_FALSE(CDateTime().GetAsVariant(out));
    EXPECT_EQ(out.vt, VT_EMPTY);
    SetRegistry(nullptr);
}

TEST(CDateTimeFormat, HashFlagDropsLeadingZeros) {
    const CDateTime date(2008, 2, 5, 7, 3, 9);
    EXPECT_EQ(date.Format("%#d.%#m.%Y %#H:%#M:%#S"), "5.2.2008 7:3:9");
    EXPECT_EQ(date.Format("%d.%m.%Y"), "05.02.2008");
    EXPECT_EQ(date.Format("100%%#d"), "100%#d");
}

TEST(CDateTimeFormat, NamesAndMarkerStayEnglishUnderAnotherProcessLocale) {
    ScopedGermanLocale german(LC_TIME);
    if (!german.Active())
        GTEST_SKIP() << "no German locale can be made here";
    const CDateTime date(2006, 3, 15, 14, 30, 0);
    EXPECT_EQ(date.Format("%B %d %Y"), "March 15 2006");
    EXPECT_EQ(date.Format("%I:%M %p"), "02:30 PM");
    EXPECT_EQ(date.Format("%A, %b %d"), "Wednesday, Mar 15");
    CDateTime back;
    ASSERT_TRUE(back.ParseDateTime(date.Format("%B %d %Y %I:%M %p")));
    EXPECT_EQ(back, date);
}
