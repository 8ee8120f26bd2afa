#include "platform/core/OleAuto.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <utility>

namespace {

SYSTEMTIME Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millis = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    time.wMilliseconds = static_cast<uint16_t>(millis);
    return time;
}

double ToOle(const SYSTEMTIME& time) {
    double value = -1e9;
    EXPECT_NE(SystemTimeToVariantTime(&time, &value), 0);
    return value;
}

SYSTEMTIME FromOle(double value) {
    SYSTEMTIME time;
    EXPECT_NE(VariantTimeToSystemTime(value, &time), 0) << value;
    return time;
}

void ExpectFields(const SYSTEMTIME& time, int year, int month, int day, int hour, int minute, int second,
                  int dayOfWeek) {
    EXPECT_EQ(time.wYear, year);
    EXPECT_EQ(time.wMonth, month);
    EXPECT_EQ(time.wDay, day);
    EXPECT_EQ(time.wHour, hour);
    EXPECT_EQ(time.wMinute, minute);
    EXPECT_EQ(time.wSecond, second);
    EXPECT_EQ(time.wDayOfWeek, dayOfWeek);
    EXPECT_EQ(time.wMilliseconds, 0);
}

} // namespace

TEST(SystemTimeToVariantTime, CountsDaysFromTheEpochWithTheTimeAsFraction) {
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 31, 12)), 1.5);
    EXPECT_DOUBLE_EQ(ToOle(Make(1900, 3, 1)), 61.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(2006, 3, 15, 10, 20, 30)), 38791.0 + 37230.0 / 86400.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(1970, 1, 1)), 25569.0);
}

TEST(SystemTimeToVariantTime, NegativeDaysCountBackwardsWithTheTimeRunningForwards) {
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 29, 18)), -1.75);
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 28)), -2.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(1600, 3, 1)), -109511.0);
}

TEST(SystemTimeToVariantTime, DropsMillisecondsAndIgnoresTheDayOfWeek) {
    SYSTEMTIME time = Make(2006, 3, 15, 10, 20, 30, 999);
    time.wDayOfWeek = 6;
    EXPECT_DOUBLE_EQ(ToOle(time), 38791.0 + 37230.0 / 86400.0);
}

TEST(SystemTimeToVariantTime, CoversYear100ToYear9999) {
    EXPECT_DOUBLE_EQ(ToOle(Make(100, 1, 1)), -657434.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(9999, 12, 31)), 2958465.0);
}

TEST(SystemTimeToVariantTime, RejectsFieldsOutOfRange) {
    const SYSTEMTIME cases[] = {Make(99, 12, 31),           Make(10000, 1, 1),    Make(2006, 0, 1),
                                Make(2006, 13, 1),          Make(2006, 2, 29),    Make(2006, 4, 31),
                                Make(2006, 1, 0),           Make(2006, 1, 1, 24), Make(2006, 1, 1, 0, 60),
                                Make(2006, 1, 1, 0, 0, 60), Make(1900, 2, 29)};
    for (const SYSTEMTIME& time : cases) {
        double value = 123.0;
        EXPECT_EQ(SystemTimeToVariantTime(&time, &value), 0)
            << time.wYear << "-" << time.wMonth << "-" << time.wDay;
    }
    const SYSTEMTIME leap = Make(2000, 2, 29);
    double value = 0;
    EXPECT_NE(SystemTimeToVariantTime(&leap, &value), 0);
}

TEST(VariantTimeToSystemTime, ReadsDateTimeAndDayOfWeek) {
    ExpectFields(FromOle(0.0), 1899, 12, 30, 0, 0, 0, 6);
    ExpectFields(FromOle(38791.0 + 37230.0 / 86400.0), 2006, 3, 15, 10, 20, 30, 3);
    ExpectFields(FromOle(38718.0), 2006, 1, 1, 0, 0, 0, 0);
    ExpectFields(FromOle(-1.25), 1899, 12, 29, 6, 0, 0, 5);
    ExpectFields(FromOle(-1.75), 1899, 12, 29, 18, 0, 0, 5);
    // -0.5 lies on day 0: the fraction runs forwards from 30 December.
    ExpectFields(FromOle(-0.5), 1899, 12, 30, 12, 0, 0, 6);
    ExpectFields(FromOle(-657434.0), 100, 1, 1, 0, 0, 0, 5);
    ExpectFields(FromOle(2958465.0 + 86399.0 / 86400.0), 9999, 12, 31, 23, 59, 59, 5);
}

TEST(VariantTimeToSystemTime, RoundsToTheNearestSecondHalfUp) {
    const double second = 1.0 / 86400.0;
    ExpectFields(FromOle(38791.0 + 10.4 * second), 2006, 3, 15, 0, 0, 10, 3);
    ExpectFields(FromOle(38791.0 + 10.5 * second), 2006, 3, 15, 0, 0, 11, 3);
    // Rounding up past midnight moves to the next day, also before the epoch.
    ExpectFields(FromOle(38791.0 + 86399.6 * second), 2006, 3, 16, 0, 0, 0, 4);
    ExpectFields(FromOle(-2.0 - 86399.6 * second), 1899, 12, 29, 0, 0, 0, 5);
}

TEST(VariantTimeToSystemTime, RejectsDatesOutsideTheRange) {
    SYSTEMTIME time;
    EXPECT_EQ(VariantTimeToSystemTime(-657435.0, &time), 0);
    EXPECT_EQ(VariantTimeToSystemTime(2958466.0, &time), 0);
    EXPECT_EQ(VariantTimeToSystemTime(2958465.0 + 86399.7 / 86400.0, &time), 0);
    EXPECT_EQ(VariantTimeToSystemTime(1e300, &time), 0);
    EXPECT_EQ(VariantTimeToSystemTime(std::numeric_limits<double>::quiet_NaN(), &time), 0);
}

TEST(VariantTime, RoundTripsEveryDayAcrossTheRangeEdgesAndTheEpoch) {
    for (double day :
         {-657434.0, -657433.0, -109511.0, -3.0, -1.0, 0.0, 1.0, 60.0, 61.0, 38791.0, 2958464.0, 2958465.0}) {
        for (int seconds : {0, 1, 21600, 43200, 86399}) {
            const double fraction = seconds / 86400.0;
            const double value = day < 0 ? day - fraction : day + fraction;
            SYSTEMTIME time;
            ASSERT_NE(VariantTimeToSystemTime(value, &time), 0) << value;
            double back = 0;
            ASSERT_NE(SystemTimeToVariantTime(&time, &back), 0);
            EXPECT_NEAR(back, value, 1e-9) << value;
        }
    }
}

TEST(FileTime, ConvertsToSystemTimeAndBack) {
    // 1 January 1970 00:00:00.250 UTC
    FILETIME fileTime;
    const uint64_t ticks = 116444736000000000ull + 2500000ull;
    fileTime.dwLowDateTime = static_cast<uint32_t>(ticks & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<uint32_t>(ticks >> 32);
    SYSTEMTIME time;
    ASSERT_TRUE(FileTimeToSystemTime(&fileTime, &time));
    EXPECT_EQ(time.wYear, 1970);
    EXPECT_EQ(time.wMonth, 1);
    EXPECT_EQ(time.wDay, 1);
    EXPECT_EQ(time.wDayOfWeek, 4);
    EXPECT_EQ(time.wMilliseconds, 250);
    FILETIME back;
    ASSERT_TRUE(SystemTimeToFileTime(&time, &back));
    EXPECT_EQ(back.dwLowDateTime, fileTime.dwLowDateTime);
    EXPECT_EQ(back.dwHighDateTime, fileTime.dwHighDateTime);

    FILETIME origin;
    ASSERT_TRUE(FileTimeToSystemTime(&origin, &time));
    EXPECT_EQ(time.wYear, 1601);
    EXPECT_EQ(time.wDayOfWeek, 1);
}

TEST(FileTime, LocalTimeUsesTheOffsetInEffectOnThatDay) {
    // One hour ahead in winter, two in summer.
    const ScopedTimeZone zone;
    SYSTEMTIME winter = Make(2006, 1, 15, 12);
    SYSTEMTIME summer = Make(2006, 7, 15, 12);
    for (auto [utc, localHour] : {std::pair{winter, 13}, std::pair{summer, 14}}) {
        FILETIME fileTime;
        FILETIME local;
        SYSTEMTIME time;
        ASSERT_TRUE(SystemTimeToFileTime(&utc, &fileTime));
        ASSERT_TRUE(FileTimeToLocalFileTime(&fileTime, &local));
        ASSERT_TRUE(FileTimeToSystemTime(&local, &time));
        EXPECT_EQ(time.wHour, localHour);
        FILETIME back;
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(back.dwLowDateTime, fileTime.dwLowDateTime);
        EXPECT_EQ(back.dwHighDateTime, fileTime.dwHighDateTime);
    }
}

TEST(VariantChangeType, ConvertsNumbersAndTextToDates) {
    VARIANT source;
    VARIANT dest;
    source.vt = VT_R8;
    source.dblVal = -1.25;
    ASSERT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), S_OK);
    EXPECT_EQ(dest.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(dest.date, -1.25);

    source.vt = VT_I4;
    source.lVal = 38791;
    ASSERT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), S_OK);
    EXPECT_DOUBLE_EQ(dest.date, 38791.0);

    source.vt = VT_BSTR;
    source.bstrVal = "2006-03-15 12:00:00";
    ASSERT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), S_OK);
    EXPECT_DOUBLE_EQ(dest.date, 38791.5);

    VARIANT date;
    date.vt = VT_DATE;
    date.date = 38791.5;
    ASSERT_EQ(VariantChangeType(&dest, &date, 0, VT_BSTR), S_OK);
    EXPECT_EQ(dest.bstrVal, "3/15/2006 12:00:00 PM");
}

TEST(VariantChangeType, FailsAndLeavesTheTargetAlone) {
    VARIANT source;
    VARIANT dest;
    dest.vt = VT_I4;
    dest.lVal = 5;
    source.vt = VT_BSTR;
    source.bstrVal = "hello";
    EXPECT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), DISP_E_TYPEMISMATCH);
    source.vt = VT_R8;
    source.dblVal = 1e10;
    EXPECT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), DISP_E_OVERFLOW);
    source.vt = VT_EMPTY;
    EXPECT_EQ(VariantChangeType(&dest, &source, 0, VT_DATE), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(dest.vt, VT_I4);
    EXPECT_EQ(dest.lVal, 5);
}
