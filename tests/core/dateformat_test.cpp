#include "platform/core/DateFormat.h"
#include "platform/core/Registry.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr const char* kInternational = "Control Panel\\International";

SYSTEMTIME Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    return time;
}

std::string DateText(const SYSTEMTIME& time, const char* picture, uint32_t flags = 0) {
    char buffer[256];
    const int written = GetDateFormatA(LOCALE_USER_DEFAULT, flags, &time, picture, buffer, sizeof buffer);
    if (written == 0)
        return "<failed>";
    EXPECT_EQ(written, static_cast<int>(std::string(buffer).size()) + 1);
    return buffer;
}

std::string TimeText(const SYSTEMTIME& time, const char* picture, uint32_t flags = 0) {
    char buffer[256];
    const int written = GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &time, picture, buffer, sizeof buffer);
    if (written == 0)
        return "<failed>";
    EXPECT_EQ(written, static_cast<int>(std::string(buffer).size()) + 1);
    return buffer;
}

class UserPictureTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistry(&m_registry); }
    void TearDown() override { SetRegistry(nullptr); }
    MemoryRegistry m_registry;
};

} // namespace

TEST(GetDateFormatA, WritesEveryDatePicture) {
    const SYSTEMTIME sunday = Make(2006, 3, 5, 14, 7, 9);
    const struct {
        const char* picture;
        const char* expected;
    } cases[] = {
        {"d", "5"},
        {"dd", "05"},
        {"ddd", "Sun"},
        {"dddd", "Sunday"},
        {"ddddd", "Sunday"},
        {"M", "3"},
        {"MM", "03"},
        {"MMM", "Mar"},
        {"MMMM", "March"},
        {"y", "6"},
        {"yy", "06"},
        {"yyy", "2006"},
        {"yyyy", "2006"},
        {"M/d/yyyy", "3/5/2006"},
        {"MMM d, yyyy", "Mar 5, 2006"},
        {"dddd, MMMM dd, yyyy", "Sunday, March 05, 2006"},
        {"dd.MM.yyyy", "05.03.2006"},
        {"d 'de' MMMM", "5 de March"},
        {"'o''clock' d", "o'clock 5"},
        {"''d''", "'5'"},
        {"'dd MM yyyy'", "dd MM yyyy"},
        {"'unclosed d", "unclosed d"},
        {"gg yyyy", "A.D. 2006"},
        {"h:mm d", "h:mm 5"},
        {"", ""},
    };
    for (const auto& test : cases)
        EXPECT_EQ(DateText(sunday, test.picture), test.expected) << test.picture;
    EXPECT_EQ(DateText(Make(2010, 12, 31), "yy y ddd"), "10 10 Fri");
    EXPECT_EQ(DateText(Make(100, 1, 1), "dddd d/M/yyyy"), "Friday 1/1/100");
    EXPECT_EQ(DateText(Make(9999, 12, 31), "ddd yyyy"), "Fri 9999");
}

TEST(GetDateFormatA, AnswersLengthsAndFailuresAsWindowsDoes) {
    const SYSTEMTIME date = Make(2006, 3, 15);
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &date, "MMMM d", nullptr, 0), 9);
    char small[8] = "xxxxxxx";
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &date, "MMMM d", small, sizeof small), 0);
    char exact[9];
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &date, "MMMM d", exact, sizeof exact), 9);
    EXPECT_STREQ(exact, "March 15");
    const SYSTEMTIME february30 = Make(2006, 2, 30);
    char buffer[64];
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &february30, "d", buffer, sizeof buffer), 0);
    // A picture and a picture flag together are refused.
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, "d", buffer, sizeof buffer), 0);
}

TEST(GetTimeFormatA, WritesEveryTimePicture) {
    const SYSTEMTIME afternoon = Make(2006, 3, 5, 14, 7, 9);
    const struct {
        const char* picture;
        const char* expected;
    } cases[] = {
        {"h", "2"},
        {"hh", "02"},
        {"H", "14"},
        {"HH", "14"},
        {"m", "7"},
        {"mm", "07"},
        {"s", "9"},
        {"ss", "09"},
        {"t", "P"},
        {"tt", "PM"},
        {"h:mm:ss tt", "2:07:09 PM"},
        {"HH:mm", "14:07"},
        {"hh 'h' mm", "02 h 07"},
        {"d h", "d 2"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(TimeText(afternoon, test.picture), test.expected) << test.picture;
    EXPECT_EQ(TimeText(Make(2006, 3, 5, 0, 5), "h:mm tt"), "12:05 AM");
    EXPECT_EQ(TimeText(Make(2006, 3, 5, 0, 5), "H:mm"), "0:05");
    EXPECT_EQ(TimeText(Make(2006, 3, 5, 12, 0), "h:mm tt"), "12:00 PM");
    EXPECT_EQ(TimeText(Make(2006, 3, 5, 9, 0), "hh:mm t"), "09:00 A");
    EXPECT_EQ(TimeText(afternoon, nullptr), "2:07:09 PM");
    EXPECT_EQ(TimeText(Make(2006, 3, 5, 24, 0), "h"), "<failed>");
}

TEST(GetTimeFormatA, FlagsDropPartsWithTheirSeparators) {
    const SYSTEMTIME afternoon = Make(2006, 3, 5, 14, 7, 9);
    EXPECT_EQ(TimeText(afternoon, "h:mm:ss tt", TIME_NOSECONDS), "2:07 PM");
    EXPECT_EQ(TimeText(afternoon, "h:mm:ss tt", TIME_NOMINUTESORSECONDS), "2 PM");
    EXPECT_EQ(TimeText(afternoon, "h:mm:ss tt", TIME_NOTIMEMARKER), "2:07:09");
    EXPECT_EQ(TimeText(afternoon, "h:mm:ss tt", TIME_FORCE24HOURFORMAT), "14:07:09");
    EXPECT_EQ(TimeText(afternoon, "tt h:mm", TIME_NOTIMEMARKER), "2:07");
    EXPECT_EQ(TimeText(afternoon, nullptr, TIME_NOSECONDS), "2:07 PM");
}

TEST(FormatPicture, GivesTextOrEmpty) {
    EXPECT_EQ(FormatDatePicture(Make(2006, 3, 15), "MMM d, yyyy"), "Mar 15, 2006");
    EXPECT_EQ(FormatDatePicture(Make(2006, 2, 29), "MMM d, yyyy"), "");
    EXPECT_EQ(FormatTimePicture(Make(2006, 3, 15, 23, 59, 59), "HH:mm:ss"), "23:59:59");
    EXPECT_EQ(FormatTimePicture(Make(2006, 3, 15, 23, 60), "HH:mm"), "");
}

TEST_F(UserPictureTest, DefaultsInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
    EXPECT_EQ(UserShortDatePicture(), "M/d/yyyy");
    EXPECT_EQ(UserLongDatePicture(), "dddd, MMMM dd, yyyy");
    EXPECT_EQ(UserTimePicture(), "h:mm:ss tt");
    const SYSTEMTIME date = Make(2006, 3, 5);
    EXPECT_EQ(DateText(date, nullptr), "3/5/2006");
    EXPECT_EQ(DateText(date, nullptr, DATE_SHORTDATE), "3/5/2006");
    EXPECT_EQ(DateText(date, nullptr, DATE_LONGDATE), "Sunday, March 05, 2006");
}

TEST_F(UserPictureTest, TheUtf8CLocaleIsNoUserLocale) {
    if (!std::setlocale(LC_TIME, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale";
    const CString shortDate = UserShortDatePicture();
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(shortDate, "M/d/yyyy");
}

TEST_F(UserPictureTest, WithoutRegionalSettingsFollowTheProcessLocale) {
    ScopedGermanLocale german(LC_TIME);
    if (!german.Active())
        GTEST_SKIP() << "no German locale can be made here";
    EXPECT_EQ(UserShortDatePicture(), "dd.MM.yyyy");
    EXPECT_EQ(UserLongDatePicture(), "dddd, d MMMM yyyy");
    const SYSTEMTIME date = Make(2006, 3, 5);
    EXPECT_EQ(DateText(date, nullptr), "05.03.2006");
    EXPECT_EQ(DateText(date, nullptr, DATE_LONGDATE), "Sunday, 5 March 2006");
    double value = 0;
    ASSERT_EQ(VarDateFromStr("4/3/2006", LOCALE_USER_DEFAULT, 0, &value), S_OK);
    EXPECT_EQ(value, 38780.0); // 4 March 2006
    m_registry.WriteString(kInternational, "sShortDate", "M/d/yyyy");
    EXPECT_EQ(UserShortDatePicture(), "M/d/yyyy");
}

TEST_F(UserPictureTest, ReadsTheRegionalSettings) {
    m_registry.WriteString(kInternational, "sShortDate", "dd.MM.yyyy");
    m_registry.WriteString(kInternational, "sLongDate", "dddd, d. MMMM yyyy");
    EXPECT_EQ(UserShortDatePicture(), "dd.MM.yyyy");
    EXPECT_EQ(UserLongDatePicture(), "dddd, d. MMMM yyyy");
    const SYSTEMTIME date = Make(2006, 3, 5);
    EXPECT_EQ(DateText(date, nullptr), "05.03.2006");
    EXPECT_EQ(DateText(date, nullptr, DATE_LONGDATE), "Sunday, 5. March 2006");
}

TEST_F(UserPictureTest, IgnoresValuesThatAreNoStrings) {
    m_registry.WriteDword(kInternational, "sShortDate", 7);
    m_registry.WriteDword(kInternational, "sLongDate", 7);
    EXPECT_EQ(UserShortDatePicture(), "M/d/yyyy");
    EXPECT_EQ(UserLongDatePicture(), "dddd, MMMM dd, yyyy");
}

TEST(DatePictureFromStrftime, TurnsLocalePatternsIntoPictures) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"%m/%d/%Y", "MM/dd/yyyy"},
        {"%d.%m.%Y", "dd.MM.yyyy"},
        {"%Y-%m-%d", "yyyy-MM-dd"},
        {"%d/%m/%y", "dd/MM/yy"},
        {"%e %B %Y", "d MMMM yyyy"},
        {"%-d.%-m.%Y", "d.M.yyyy"},
        {"%A %d de %B", "dddd dd' de 'MMMM"},
        {"%a %b %d", "ddd MMM dd"},
        {"%F", "yyyy-MM-dd"},
        {"%D", "MM/dd/yy"},
        {"it's %d", "'it''s 'dd"},
        {"%Ey/%Om/%Od", "yy/MM/dd"},
        {"100%% %d", "100% dd"},
        {"%", ""},
        {"", ""},
    };
    for (const auto& test : cases)
        EXPECT_EQ(DatePictureFromStrftime(test.pattern).str(), test.expected) << test.pattern;
}

TEST(Names, AreTheEnglishNamesOfTheCLocale) {
    EXPECT_STREQ(MonthName(1), "January");
    EXPECT_STREQ(MonthName(12), "December");
    EXPECT_STREQ(MonthAbbreviation(9), "Sep");
    EXPECT_STREQ(WeekdayName(0), "Sunday");
    EXPECT_STREQ(WeekdayAbbreviation(6), "Sat");
    EXPECT_STREQ(MonthName(0), "");
    EXPECT_STREQ(MonthName(13), "");
    EXPECT_STREQ(WeekdayName(7), "");
    EXPECT_STREQ(WeekdayName(-1), "");
}
