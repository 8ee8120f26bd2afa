// The parser's frame: construction, the held-date tests, the calendar operations, the user's date
// patterns, the text helpers of the phrase matchers, Parse and the time phrases.
#include "data/DateParser.h"

#include "platform/core/DateFormat.h"
#include "platform/core/Registry.h"
#include "platform/core/SettingsCache.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <locale.h>

namespace {

constexpr const char* kInternationalKey = "Control Panel\\International";
constexpr const char* kDefaultShortDate = "%m/%d/%Y";
constexpr const char* kDefaultLongDate = "%A %B %d, %Y";
// The registry value is read into a buffer of this size; the picture is cut before conversion.
constexpr size_t kRegistryBufferSize = 200;
constexpr size_t kMaxPictureLength = 197;

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

std::string TrimRightCopy(const char* text) {
    std::string result = text ? text : "";
    while (!result.empty() && IsBlank(result.back()))
        result.pop_back();
    return result;
}

std::string Upper(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

// Names of the C library's "C" locale, whatever locale the program has set for everything else, so
// that the names shown always agree with the names the phrases accept.
CString FormatInCLocale(const char* pattern, const struct tm& time) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char buffer[64] = {};
    if (cLocale)
        strftime_l(buffer, sizeof buffer, pattern, &time, cLocale);
    else
        std::strftime(buffer, sizeof buffer, pattern, &time);
    return CString(buffer);
}

CDateTimeSpan Days(int64_t days) {
    return CDateTimeSpan(static_cast<double>(days));
}

CDateTimeSpan Minutes(int64_t minutes) {
    return CDateTimeSpan(static_cast<double>(minutes) / 1440.0);
}

// A Windows date picture token and its strftime equivalent, longest first where they overlap.
struct PictureToken {
    const char* picture;
    const char* pattern;
};

constexpr PictureToken kPictureTokens[] = {
    {"dddd", "%A"}, {"MMMM", "%B"}, {"yyyy", "%Y"}, {"ddd", "%a"}, {"MMM", "%b"}, {"dd", "%d"},
    {"MM", "%m"},   {"yy", "%y"},   {"''", "'"},    {"hh", "%I"},  {"HH", "%H"},  {"mm", "%M"},
    {"ss", "%S"},   {"tt", "%p"},   {"h", "%#I"},   {"H", "%#H"},  {"m", "%#M"},  {"s", "%#S"},
    {"t", "%p"},    {"d", "%#d"},   {"M", "%#m"},   {"y", "%#y"},
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

CDateParser::CDateParser() {
    Abbreviations();
}

CDateParser::CDateParser(const CDateTime& date) : m_date(date) {
    Abbreviations();
}

CDateParser::CDateParser(const CDateParser& other) : m_date(other.m_date) {
    Abbreviations();
}

CDateParser& CDateParser::operator=(const CDateParser& other) {
    m_date = other.m_date;
    m_hourPolicy = other.m_hourPolicy;
    m_afternoonThreshold = other.m_afternoonThreshold;
    return *this;
}

const std::map<std::string, std::string>& CDateParser::Abbreviations() {
    static const std::map<std::string, std::string> map = {
        {"T", "TODAY"},
        {"N", "NOW"},
        {"Y", "YESTERDAY"},
        {"TM", "TOMORROW"},
        {"NW", "NEXT WEEK"},
        {"NM", "NEXT MONTH"},
        {"N1", "NEXT SUNDAY"},
        {"N2", "NEXT MONDAY"},
        {"N3", "NEXT TUESDAY"},
        {"N4", "NEXT WEDNESDAY"},
        {"N5", "NEXT THURSDAY"},
        {"N6", "NEXT FRIDAY"},
        {"N7", "NEXT SATURDAY"},
        {"LW", "LAST WEEK"},
        {"LM", "LAST MONTH"},
        {"L1", "LAST SUNDAY"},
        {"L2", "LAST MONDAY"},
        {"L3", "LAST TUESDAY"},
        {"L4", "LAST WEDNESDAY"},
        {"L5", "LAST THURSDAY"},
        {"L6", "LAST FRIDAY"},
        {"L7", "LAST SATURDAY"},
        {"DY", "DAY BEFORE YESTERDAY"},
        {"DT", "DAY AFTER TOMORROW"},
        {"X", "CHRISTMAS"},
        {"XE", "CHRISTMAS EVE"},
        {"E", "EASTER"},
        {"GF", "GOOD FRIDAY"},
        {"AW", "ASH WEDNESDAY"},
        {"H", "HALLOWEEN"},
        {"NY", "NEW YEARS"},
        {"NYE", "NEW YEARS EVE"},
        {"J4", "JULY 4TH"},
        {"MD", "MEMORIAL DAY"},
        {"LD", "LABOR DAY"},
        {"VD", "VETERANS DAY"},
        {"CD", "COLUMBUS DAY"},
        {"TH", "THANKSGIVING"},
        {"PD", "PRESIDENTS DAY"},
    };
    return map;
}

// ---------------------------------------------------------------------------------------------
// Held date and its tests

void CDateParser::SetDate(const CDateTime& date) {
    m_date.SetDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), date.GetHour(), date.GetMinute(),
                       date.GetSecond());
}

bool CDateParser::IsDayTypeOf(const CDateTime& date, int kind) {
    const int dayOfWeek = date.GetDayOfWeek();
    const bool weekend = dayOfWeek == 1 || dayOfWeek == 7;
    switch (kind) {
    case kAnyDay:
        return true;
    case kWeekday:
        return !weekend;
    case kWeekendDay:
        return weekend;
    default:
        return kind >= kSundayKind && kind <= kSundayKind + 6 && dayOfWeek == kind - kSundayKind + 1;
    }
}

bool CDateParser::IsDayType(int kind) const {
    return IsDayTypeOf(m_date, kind);
}

bool CDateParser::IsWeekend() const {
    return IsSunday() || IsSaturday();
}

bool CDateParser::IsWeekday() const {
    return !IsWeekend();
}

bool CDateParser::IsLeapYear() const {
    return IsLeapYearOf(m_date.GetYear());
}

bool CDateParser::IsLeapYearOf(int year) const {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

void CDateParser::SetAfternoonThreshold(int threshold) {
    if (threshold >= 1 && threshold <= 11)
        m_afternoonThreshold = threshold;
}

void CDateParser::SetHourPolicy(int policy) {
    if (policy >= 0 && policy <= 3)
        m_hourPolicy = policy;
}

// ---------------------------------------------------------------------------------------------
// Calendar operations

int CDateParser::DaysInMonth(int month, int year) {
    switch (month) {
    case 2:
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    default:
        return 0;
    }
}

bool CDateParser::FindDayOfType(int month, int year, int ordinal, int kind) {
    if (ordinal >= 0 && ordinal < kLastOrdinal)
        return FindNthDayOfType(month, year, ordinal + 1, kind);
    if (ordinal == kLastOrdinal)
        return FindLastDayOfType(month, year, kind);
    return true;
}

// The scan stays inside the month: a month without an Nth day of the kind (or an unknown kind)
// leaves the held date invalid instead of running on into later months.
bool CDateParser::FindNthDayOfType(int month, int year, int n, int kind) {
    m_date.SetNull();
    int found = 0;
    for (int day = 1; day <= DaysInMonth(month, year); ++day) {
        const CDateTime date(year, month, day);
        if (!date.IsValid())
            break;
        if (IsDayTypeOf(date, kind) && ++found == n) {
            m_date = date;
            break;
        }
    }
    return true;
}

bool CDateParser::FindLastDayOfType(int month, int year, int kind) {
    m_date.SetNull();
    for (int day = DaysInMonth(month, year); day >= 1; --day) {
        const CDateTime date(year, month, day);
        if (!date.IsValid())
            break;
        if (IsDayTypeOf(date, kind)) {
            m_date = date;
            break;
        }
    }
    return true;
}

bool CDateParser::ReturnTrue(int /*option*/, int /*year*/) {
    return true;
}

CDateTime CDateParser::NthWeekdayDate(int n, int dayOfWeek, int month, int year) {
    int found = 0;
    for (int day = 1; day <= DaysInMonth(month, year); ++day) {
        const CDateTime date(year, month, day);
        if (!date.IsValid())
            break;
        if (date.GetDayOfWeek() == dayOfWeek && ++found == n)
            return date;
    }
    return CDateTime();
}

CDateTime CDateParser::LastWeekdayDate(int dayOfWeek, int month, int year) {
    for (int day = DaysInMonth(month, year); day >= 1; --day) {
        const CDateTime date(year, month, day);
        if (!date.IsValid())
            break;
        if (date.GetDayOfWeek() == dayOfWeek)
            return date;
    }
    return CDateTime();
}

bool CDateParser::NthWeekdayOfMonth(int n, int dayOfWeek, int month, int year) {
    const CDateTime found = NthWeekdayDate(n, dayOfWeek, month, year);
    if (found.IsValid())
        m_date = found;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Names and date patterns

CString CDateParser::GetMonthName(int month) {
    if (month < 1 || month > 12)
        return CString();
    struct tm time = {};
    time.tm_year = 100;
    time.tm_mon = month - 1;
    time.tm_mday = 1;
    return FormatInCLocale("%B", time);
}

CString CDateParser::GetWeekdayName(int dayOfWeek) {
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return CString();
    // 1 January 2000 was a Saturday: the first day of 2000 with that day of week.
    struct tm time = {};
    time.tm_year = 100;
    time.tm_mday = dayOfWeek == 7 ? 1 : dayOfWeek + 1;
    time.tm_wday = dayOfWeek - 1;
    return FormatInCLocale("%A", time);
}

namespace {

// True when LC_TIME names a real user locale rather than the portable "C" one (or its UTF-8 form):
// the system's date routines then take the locale's date picture where the registry has none.
bool HasUserTimeLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name && std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0 &&
           std::strncmp(name, "C.", 2) != 0;
}

// A registry picture converted to a pattern; an empty value counts as missing, since an empty pattern
// would show and store every date as empty text. Without a registry picture the pattern follows the
// picture the system's date parser and formatter use (the locale's, see platform/core/DateFormat.h),
// so that a date written with the short pattern reads back with day and month in their places; with
// neither the default pattern is used.
CString DatePatternFromRegistry(const char* valueName, CString (*userPicture)(), const char* fallback) {
    std::optional<CString> picture = Registry().ReadString(kInternationalKey, valueName);
    if (!picture || picture->IsEmpty()) {
        if (!HasUserTimeLocale())
            return fallback;
        picture = userPicture();
    }
    const std::string text = picture->str().substr(0, kRegistryBufferSize - 1);
    const CString pattern = CDateParser::ConvertDatePicture(text.c_str());
    return pattern.IsEmpty() ? CString(fallback) : pattern;
}

} // namespace

CString CDateParser::GetShortDateFormat() {
    static SettingsCached<CString> pattern;
    return pattern.Get(
        [] { return DatePatternFromRegistry("sShortDate", UserShortDatePicture, kDefaultShortDate); });
}

CString CDateParser::GetLongDateFormat() {
    static SettingsCached<CString> pattern;
    return pattern.Get(
        [] { return DatePatternFromRegistry("sLongDate", UserLongDatePicture, kDefaultLongDate); });
}

// A "%" of the picture is written as "%%" so that it reaches the date text as itself.
CString CDateParser::ConvertDatePicture(const char* picture) {
    const std::string text = std::string(picture ? picture : "").substr(0, kMaxPictureLength);
    std::string result;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, 2, "''") == 0) {
            result += '\'';
            pos += 2;
            continue;
        }
        if (text[pos] == '\'') {
            const size_t close = text.find('\'', pos + 1);
            const std::string literal =
                text.substr(pos + 1, close == std::string::npos ? std::string::npos : close - pos - 1);
            for (char ch : literal)
                result += ch == '%' ? std::string("%%") : std::string(1, ch);
            pos = close == std::string::npos ? text.size() : close + 1;
            continue;
        }
        bool replaced = false;
        for (const PictureToken& token : kPictureTokens) {
            const size_t length = std::strlen(token.picture);
            if (text.compare(pos, length, token.picture) == 0) {
                result += token.pattern;
                pos += length;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            result += text[pos] == '%' ? std::string("%%") : std::string(1, text[pos]);
            ++pos;
        }
    }
    return CString(result);
}

// ---------------------------------------------------------------------------------------------
// Text helpers

CString CDateParser::Normalize(const char* text, bool upper) {
    std::string result = TrimRightCopy(text);
    size_t first = 0;
    while (first < result.size() && IsBlank(result[first]))
        ++first;
    result.erase(0, first);
    return CString(upper ? Upper(std::move(result)) : result);
}

CString CDateParser::CollapseBlanks(const char* text) {
    std::string result;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == ' ' && !result.empty() && result.back() == ' ')
            continue;
        result += *p;
    }
    return CString(result);
}

CString CDateParser::ExpandAbbreviations(const char* text) {
    std::string result;
    const char* p = text ? text : "";
    while (*p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) {
            const char* start = p;
            while (std::isalnum(static_cast<unsigned char>(*p)))
                ++p;
            result += LookupAbbreviation(CString(std::string(start, p))).str();
        } else {
            result += *p++;
        }
    }
    return CString(result);
}

CString CDateParser::LookupAbbreviation(const CString& word) {
    const auto& map = Abbreviations();
    const auto found = map.find(word.str());
    return found == map.end() ? word : CString(found->second);
}

namespace {

// The length of the text without its trailing blanks.
size_t TrimmedRightLength(const char* text, size_t length) {
    while (length > 0 && IsBlank(text[length - 1]))
        --length;
    return length;
}

// Two ranges equal without regard to case once both are trimmed on the right; nothing is copied,
// so the phrase matchers stay linear in the length of what was typed.
bool RangesEqualNoCase(const char* a, size_t aLength, const char* b, size_t bLength) {
    aLength = TrimmedRightLength(a, aLength);
    bLength = TrimmedRightLength(b, bLength);
    if (aLength != bLength)
        return false;
    for (size_t i = 0; i < aLength; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

bool CDateParser::EqualsNoCase(const char* a, const char* b) {
    a = a ? a : "";
    b = b ? b : "";
    return RangesEqualNoCase(a, std::strlen(a), b, std::strlen(b));
}

bool CDateParser::StartsWith(const char* text, const char* prefix) {
    text = text ? text : "";
    prefix = prefix ? prefix : "";
    const size_t length = std::strlen(prefix);
    return RangesEqualNoCase(text, strnlen(text, length), prefix, length);
}

bool CDateParser::EndsWith(const char* text, const char* suffix) {
    text = text ? text : "";
    suffix = suffix ? suffix : "";
    const size_t whole = std::strlen(text);
    const size_t length = std::strlen(suffix);
    const size_t from = whole > length ? whole - length : 0;
    return RangesEqualNoCase(text + from, whole - from, suffix, length);
}

bool CDateParser::IsNumber(const char* text) {
    if (!text || !*text)
        return false;
    for (const char* p = text; *p; ++p)
        if (!std::isdigit(static_cast<unsigned char>(*p)) && *p != '-')
            return false;
    return true;
}

// atoi, with a count too large for an int held at the int's limit instead of overflowing.
int CDateParser::ToInt(const char* text) {
    if (!text)
        return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

CString CDateParser::IntToText(int n) {
    return CString(std::to_string(n));
}

bool CDateParser::FirstWordIsNumber(const char* text) {
    const std::string whole = text ? text : "";
    const size_t space = whole.find(' ');
    if (space == std::string::npos)
        return false;
    return IsNumber(Normalize(whole.substr(0, space).c_str(), false));
}

bool CDateParser::LastWordIsNumber(const char* text) {
    const std::string whole = text ? text : "";
    const size_t space = whole.rfind(' ');
    return IsNumber(Normalize(whole.substr(space == std::string::npos ? 0 : space + 1).c_str(), false));
}

bool CDateParser::IsZeroDate(const CDateTime& date) {
    return date.GetYear() == 1899 && date.GetMonth() == 12 && date.GetDay() == 30;
}

int CDateParser::MonthFromName(const char* word) {
    static const char* const kMonths[] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                          "MAY",       "JUNE",     "JULY",     "AUGUST",
                                          "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
    for (int month = 1; month <= 12; ++month) {
        const std::string name = kMonths[month - 1];
        if (EqualsNoCase(word, name.c_str()) || EqualsNoCase(word, name.substr(0, 3).c_str()))
            return month;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Date helpers of the phrases

bool CDateParser::NthWeekdayInMonthAhead(int n, int dayOfWeek, int month, CDateTime& out) {
    const CDateTime now = CDateTime::GetCurrentTime();
    out = NthWeekdayDate(n, dayOfWeek, month, now.GetYear());
    if (out.IsValid() && out < now)
        out = NthWeekdayDate(n, dayOfWeek, month, now.GetYear() + 1);
    return out.IsValid();
}

namespace {

constexpr int kWeekdayScanDays = 200;

bool NthWeekdayFrom(int n, int dayOfWeek, int step, CDateTime& out) {
    out.SetNull();
    if (n < 1)
        return false;
    CDateTime date = CDateTime::GetCurrentTime();
    int found = 0;
    for (int i = 0; i < kWeekdayScanDays; ++i) {
        date += Days(step);
        if (!date.IsValid())
            return false;
        if (date.GetDayOfWeek() == dayOfWeek && ++found == n) {
            out = date;
            return true;
        }
    }
    return false;
}

// The date moved by a signed number of calendar months; a day the target month lacks becomes the
// month's last day (31 March one month back is 28 or 29 February), so the result always lies in the
// month asked for.
bool ShiftMonths(const CDateTime& date, int64_t months, CDateTime& out) {
    out.SetNull();
    if (!date.IsValid())
        return false;
    const int64_t index = static_cast<int64_t>(date.GetYear()) * 12 + (date.GetMonth() - 1) + months;
    if (index < 100 * 12 || index > 9999 * 12 + 11)
        return false;
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    const int day = std::min(date.GetDay(), CDateParser::DaysInMonth(month, year));
    return out.SetDateTime(year, month, day, date.GetHour(), date.GetMinute(), date.GetSecond());
}

} // namespace

bool CDateParser::NthWeekdayBefore(int n, int dayOfWeek, CDateTime& out) {
    return NthWeekdayFrom(n, dayOfWeek, -1, out);
}

bool CDateParser::NthWeekdayAfter(int n, int dayOfWeek, CDateTime& out) {
    return NthWeekdayFrom(n, dayOfWeek, 1, out);
}

bool CDateParser::MonthsBack(const CDateTime& date, int n, CDateTime& out) {
    return ShiftMonths(date, -static_cast<int64_t>(n), out);
}

bool CDateParser::MonthsAhead(const CDateTime& date, int n, CDateTime& out) {
    return ShiftMonths(date, n, out);
}

// ---------------------------------------------------------------------------------------------
// Parse

CString CDateParser::NormalizeAmPm(const char* text) {
    static const char* const kMarkers[] = {"A.M.", "A M", "A.M", "A M.", "AM.",
                                           "P.M.", "P M", "P.M", "P M.", "PM."};
    const std::string upper = Upper(text ? text : "");
    for (const char* marker : kMarkers) {
        const size_t at = upper.find(marker, 1);
        if (at == std::string::npos)
            continue;
        const std::string before = TrimRightCopy(upper.substr(0, at).c_str());
        std::string after = upper.substr(at + std::strlen(marker));
        size_t first = 0;
        while (first < after.size() && IsBlank(after[first]))
            ++first;
        after.erase(0, first);
        return CString(before + (marker[0] == 'A' ? " AM " : " PM ") + after);
    }
    return CString(upper);
}

bool CDateParser::Parse(const char* text, int mode, LCID locale) {
    m_date.SetNull();
    if (!text || mode < kDateOrTime || mode > kDateOnly)
        return false;
    const CString prepared = mode == kDateOnly ? CString(text) : NormalizeAmPm(text);
    const uint32_t flags = mode == kTimeOnly ? VAR_TIMEVALUEONLY : mode == kDateOnly ? VAR_DATEVALUEONLY : 0;

    CDateTime result;
    result.ParseDateTimeEx(prepared, flags, locale);
    if (result.IsValid() && !(mode == kDateOnly && IsZeroDate(result))) {
        SetDate(result);
        return m_date.IsValid();
    }

    // No field takes a phrase this long; refusing it keeps a pasted page from costing seconds. Blanks
    // around the phrase do not count.
    const CString trimmed = Normalize(prepared, true);
    if (trimmed.GetLength() > kMaxPhraseLength) {
        m_date.SetNull();
        return false;
    }
    const CString phrase = ExpandAbbreviations(CollapseBlanks(trimmed));
    bool found = false;
    if (mode == kDateOnly)
        found = ParseDatePhrase(phrase, result);
    else if (mode == kTimeOnly)
        found = ParseTimePhrase(phrase, result);
    else
        found = ParsePhrase(phrase, result);
    if (found && result.IsValid()) {
        SetDate(result);
        return m_date.IsValid();
    }
    m_date.SetNull();
    return false;
}

bool CDateParser::ParsePhrase(const CString& text, CDateTime& out) const {
    CDateTime date;
    if (ParseDatePhrase(text, date)) {
        out = date;
        return true;
    }
    return ParseTimePhrase(text, out);
}

// ---------------------------------------------------------------------------------------------
// Time phrases

namespace {

// A bare hour and its two-digit minutes as a time of day (on 30 December 1899).
bool TimeOfDay(int hour, const std::string& minutes, CDateTime& out) {
    if (hour > 23)
        hour = 23;
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%s", hour, minutes.c_str());
    return out.ParseDateTimeEx(text, VAR_TIMEVALUEONLY, LOCALE_USER_DEFAULT);
}

} // namespace

bool CDateParser::ParseClockDigits(const CString& text, CDateTime& out) const {
    const std::string digits = text.str();
    const size_t length = digits.size();
    int hour = 0;
    std::string minutes = "00";
    if (length == 3) {
        hour = ToInt(digits.substr(0, 1).c_str());
        minutes = digits.substr(1);
    } else if (length == 4) {
        hour = ToInt(digits.substr(0, 2).c_str());
        minutes = digits.substr(2);
    } else {
        hour = ToInt(digits.c_str());
    }
    const int currentHour = CDateTime::GetCurrentTime().GetHour();
    switch (m_hourPolicy) {
    case 0:
        if (hour < 7)
            hour += 12;
        break;
    case 1:
        if (hour < currentHour && hour < 12)
            hour += 12;
        break;
    case 2:
        if (length != 4 && hour < m_afternoonThreshold && hour < 12)
            hour += 12;
        break;
    default:
        break;
    }
    return TimeOfDay(hour, minutes, out);
}

bool CDateParser::ParseTimePhrase(const CString& text, CDateTime& out) const {
    DepthGuard guard(m_phraseDepth);
    if (guard.TooDeep() || text.GetLength() > kMaxPhraseLength)
        return false;
    return ParseTimePhraseForms(Normalize(text, true), out);
}

bool CDateParser::ParseTimePhraseForms(const CString& text, CDateTime& out) const {
    const CDateTime now = CDateTime::GetCurrentTime();
    out = now;
    if (EqualsNoCase(text, "NOW"))
        return true;
    if (EqualsNoCase(text, "NOON"))
        return out.ParseDateTimeEx("12:00 PM", 0, LOCALE_USER_DEFAULT);
    if (EqualsNoCase(text, "MIDNIGHT"))
        return out.ParseDateTimeEx("12:00 AM", 0, LOCALE_USER_DEFAULT);
    // Clock digits are digits only: a dashed number ("555-1234") is no time of day.
    if (IsNumber(text) && text.Find('-') == -1)
        return ParseClockDigits(text, out);

    // The hour or count is read from the text before the first blank as atoi reads it, so a word
    // there counts as 0 ("THREE O'CLOCK" is 12:00, "TWO MINUTES FROM NOW" is now), as the date
    // phrases read their counts.
    const std::string whole = text.str();
    const size_t space = whole.find(' ');
    const int firstNumber = ToInt(whole.substr(0, space).c_str());
    for (const char* clock : {"OCLOCK", "O'CLOCK", "O CLOCK"}) {
        const size_t at = whole.find(clock);
        if (at != std::string::npos && at >= 2)
            return TimeOfDay(firstNumber < 7 ? firstNumber + 12 : firstNumber, "00", out);
    }

    if (EndsWith(text, "MINUTES FROM NOW"))
        return (out = now + Minutes(firstNumber)).IsValid();
    if (EndsWith(text, "HOURS FROM NOW"))
        return (out = now + Minutes(static_cast<int64_t>(firstNumber) * 60)).IsValid();
    if (EndsWith(text, "MINUTES AGO"))
        return (out = now - Minutes(firstNumber)).IsValid();
    if (EndsWith(text, "HOURS AGO"))
        return (out = now - Minutes(static_cast<int64_t>(firstNumber) * 60)).IsValid();

    if (FirstWordIsNumber(text)) {
        if (firstNumber <= 0 || firstNumber >= 59)
            return false;
        const CString rest = Normalize(whole.substr(space + 1).c_str(), false);
        struct Relation {
            const char* prefix;
            int sign;
        };
        static const Relation kRelations[] = {
            {"MINUTES TILL ", -1},  {"TILL ", -1},         {"TIL ", -1},
            {"MINUTES UNTIL ", -1}, {"UNTIL ", -1},        {"MINUTES PAST ", 1},
            {"PAST ", 1},           {"MINUTES AFTER ", 1}, {"AFTER ", 1},
        };
        for (const Relation& relation : kRelations) {
            if (!StartsWith(rest, relation.prefix))
                continue;
            CDateTime base;
            if (!ParseTimePhrase(rest.Mid(static_cast<int>(std::strlen(relation.prefix))), base))
                return false;
            out = base + Minutes(relation.sign * firstNumber);
            return out.IsValid();
        }
        return false;
    }

    if (StartsWith(text, "HALF PAST ")) {
        CDateTime base;
        if (!ParseTimePhrase(text.Mid(10), base))
            return false;
        out = base + Minutes(30);
        return out.IsValid();
    }
    return false;
}
