#include "data/DateTime.h"

#include "platform/core/CalendarMath.h"
#include "platform/core/DateFormat.h"
#include "platform/core/StringTable.h"

#include <cmath>
#include <cstring>
#include <locale.h>

namespace {

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME time;
    auto field = [](int value) {
        // Values a SYSTEMTIME cannot hold become ones the conversion rejects.
        return static_cast<uint16_t>(value >= 0 && value <= 0xFFFF ? value : 0xFFFF);
    };
    time.wYear = field(year);
    time.wMonth = field(month);
    time.wDay = field(day);
    time.wHour = field(hour);
    time.wMinute = field(minute);
    time.wSecond = field(second);
    return time;
}

} // namespace

CDateTime::CDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
}

CDateTime::CDateTime(const SYSTEMTIME& time) {
    SetFromSystemTime(time);
}

CDateTime::CDateTime(const FILETIME& utc) {
    SetFromFileTime(utc);
}

CDateTime::CDateTime(const struct tm& time) {
    SetFromTm(time);
}

CDateTime::CDateTime(const VARIANT& variant) {
    SetFromVariant(variant);
}

CDateTime::CDateTime(const char* text) {
    ParseDateTime(text);
}

CDateTime CDateTime::GetCurrentTime() {
    CDateTime now;
    now.SetFromSystemTime(GetLocalTime());
    return now;
}

bool CDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    return SetFromSystemTime(MakeSystemTime(year, month, day, hour, minute, second));
}

// On an invalid value the kept time of day is midnight, so setting the date of a fresh object works.
bool CDateTime::SetDate(int year, int month, int day) {
    SYSTEMTIME current;
    if (!GetAsSystemTime(current))
        current = SYSTEMTIME{};
    return SetDateTime(year, month, day, current.wHour, current.wMinute, current.wSecond);
}

// An invalid value has no date to keep: it stays invalid.
bool CDateTime::SetTime(int hour, int minute, int second) {
    SYSTEMTIME current;
    if (!GetAsSystemTime(current)) {
        SetNull();
        return false;
    }
    return SetDateTime(current.wYear, current.wMonth, current.wDay, hour, minute, second);
}

bool CDateTime::SetFromSystemTime(const SYSTEMTIME& time) {
    SYSTEMTIME copy = time;
    copy.wDayOfWeek = 0;
    copy.wMilliseconds = 0;
    double value = 0.0;
    m_value = SystemTimeToVariantTime(&copy, &value) ? value : kInvalid;
    if (!IsValid())
        m_value = kInvalid;
    return IsValid();
}

CDateTime& CDateTime::operator=(const SYSTEMTIME& time) {
    SetFromSystemTime(time);
    return *this;
}

bool CDateTime::SetFromTimeT(time_t time) {
    std::tm local{};
    if (!localtime_r(&time, &local)) {
        SetNull();
        return false;
    }
    return SetFromTm(local);
}

bool CDateTime::SetFromTm(const struct tm& time) {
    // Years and months beyond the calendar are refused before the offsets are added to them.
    if (time.tm_year < 100 - 1900 || time.tm_year > 9999 - 1900 || time.tm_mon < 0 || time.tm_mon > 11) {
        SetNull();
        return false;
    }
    return SetDateTime(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min,
                       time.tm_sec);
}

bool CDateTime::SetFromFileTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) {
        SetNull();
        return false;
    }
    return SetFromSystemTime(time);
}

bool CDateTime::SetFromVariant(const VARIANT& variant) {
    VARIANT date;
    if (variant.vt == VT_DATE)
        date = variant;
    else if (FAILED(VariantChangeType(&date, &variant, 0, VT_DATE)))
        date.date = kInvalid;
    m_value = date.date;
    if (!IsValid())
        m_value = kInvalid;
    return IsValid();
}

void CDateTime::SetRaw(uint32_t low, uint32_t high) {
    const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
    std::memcpy(&m_value, &bits, sizeof m_value);
}

bool CDateTime::ParseDateTime(const char* text) {
    return ParseDateTimeEx(text, 0, LOCALE_USER_DEFAULT);
}

bool CDateTime::ParseDateTimeEx(const char* text, uint32_t flags, LCID lcid) {
    double value = 0.0;
    m_value = text && SUCCEEDED(VarDateFromStr(text, lcid, flags, &value)) ? value : kInvalid;
    if (!IsValid())
        m_value = kInvalid;
    return IsValid();
}

int64_t CDateTime::ToDays() const {
    // 2^63 as a double: every double below it and above its negative converts exactly after truncation.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(m_value > -kLimit && m_value < kLimit))
        return INT64_MIN;
    return static_cast<int64_t>(m_value);
}

bool CDateTime::GetAsSystemTime(SYSTEMTIME& time) const {
    return IsValid() && VariantTimeToSystemTime(m_value, &time) != 0;
}

bool CDateTime::GetAsTm(struct tm& time) const {
    SYSTEMTIME system;
    if (!GetAsSystemTime(system))
        return false;
    time = std::tm{};
    time.tm_sec = system.wSecond;
    time.tm_min = system.wMinute;
    time.tm_hour = system.wHour;
    time.tm_mday = system.wDay;
    time.tm_mon = system.wMonth - 1;
    time.tm_year = system.wYear - 1900;
    time.tm_wday = system.wDayOfWeek;
    time.tm_yday = calendar::DayOfYear(system.wYear, system.wMonth, system.wDay) - 1;
    time.tm_isdst = -1;
    return true;
}

time_t CDateTime::GetAsTimeT() const {
    std::tm time{};
    if (!GetAsTm(time))
        return static_cast<time_t>(-1);
    return std::mktime(&time);
}

bool CDateTime::GetAsVariant(VARIANT& variant) const {
    VariantInit(&variant);
    if (!IsValid())
        return false;
    variant.vt = VT_DATE;
    variant.date = m_value;
    return true;
}

int CDateTime::GetYear() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wYear : kNoValue;
}

int CDateTime::GetMonth() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wMonth : kNoValue;
}

int CDateTime::GetDay() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wDay : kNoValue;
}

int CDateTime::GetHour() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wHour : kNoValue;
}

int CDateTime::GetMinute() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wMinute : kNoValue;
}

int CDateTime::GetSecond() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wSecond : kNoValue;
}

int CDateTime::GetDayOfWeek() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? time.wDayOfWeek + 1 : kNoValue;
}

int CDateTime::GetDayOfYear() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) ? calendar::DayOfYear(time.wYear, time.wMonth, time.wDay) : kNoValue;
}

bool CDateTime::IsNoon() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) && time.wHour == 12 && time.wMinute == 0 && time.wSecond == 0;
}

bool CDateTime::IsMidnight() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) && time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0;
}

bool CDateTime::IsLeapYear() const {
    SYSTEMTIME time;
    return GetAsSystemTime(time) && calendar::IsLeapYear(time.wYear);
}

namespace {

// Patterns use the "%#d" form for numbers without leading zeros; the C library here spells that "%-d".
std::string WithUnpaddedNumbers(const char* pattern) {
    std::string result(pattern);
    for (size_t pos = 0; pos + 1 < result.size(); ++pos) {
        if (result[pos] != '%')
            continue;
        if (result[pos + 1] == '#' && pos + 2 < result.size() && std::strchr("dHIjmMSUwWyY", result[pos + 2]))
            result[pos + 1] = '-';
        ++pos; // the conversion character, so "%%" never starts a conversion
    }
    return result;
}

// The texts Format writes are read back by the date parser and stored in documents ("%B %d %Y",
// "%I:%M %p"), so month names and the AM/PM marker stay English whatever locale the process runs in.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
    return classic;
}

} // namespace

size_t CDateTime::Format(char* buffer, size_t size, const char* pattern) const {
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    std::tm time{};
    if (!pattern || !GetAsTm(time))
        return 0;
    const std::string glibcPattern = WithUnpaddedNumbers(pattern);
    const size_t length = strftime_l(buffer, size < kFormatLimit ? size : kFormatLimit, glibcPattern.c_str(),
                                     &time, ClassicLocale());
    if (length == 0)
        buffer[0] = '\0';
    return length;
}

CString CDateTime::Format(const char* pattern) const {
    char buffer[kFormatLimit];
    Format(buffer, sizeof buffer, pattern);
    return buffer;
}

void CDateTime::FormatDate(char* buffer, size_t size, const char* picture, uint32_t flags, LCID lcid) const {
    if (!buffer || size == 0)
        return;
    buffer[0] = '\0';
    SYSTEMTIME time;
    if (!GetAsSystemTime(time) ||
        GetDateFormatA(lcid, flags, &time, picture, buffer, static_cast<int>(size)) == 0)
        buffer[0] = '\0';
}

void CDateTime::FormatTime(char* buffer, size_t size, const char* picture, uint32_t flags, LCID lcid) const {
    if (!buffer || size == 0)
        return;
    buffer[0] = '\0';
    SYSTEMTIME time;
    if (!GetAsSystemTime(time) ||
        GetTimeFormatA(lcid, flags, &time, picture, buffer, static_cast<int>(size)) == 0)
        buffer[0] = '\0';
}

CString CDateTime::FormatDate(const char* picture, uint32_t flags, LCID lcid) const {
    char buffer[kPictureBufferSize];
    FormatDate(buffer, sizeof buffer, picture, flags, lcid);
    return buffer;
}

CString CDateTime::FormatTime(const char* picture, uint32_t flags, LCID lcid) const {
    char buffer[kPictureBufferSize];
    FormatTime(buffer, sizeof buffer, picture, flags, lcid);
    return buffer;
}

CString CDateTime::FormatVariant(uint32_t flags, LCID lcid) const {
    CString text;
    if (!IsValid() || FAILED(VarBstrFromDate(m_value, lcid, flags, &text)))
        return {};
    return text;
}

CString CDateTime::FormatResource(uint32_t id) const {
    char pattern[kResourceBufferSize];
    if (LoadStringResource(id, pattern, sizeof pattern) == 0)
        return {};
    return Format(pattern);
}

double CDateTime::Fold(double value) {
    return value >= 0 ? value : 2 * std::ceil(value) - value;
}

double CDateTime::Unfold(double value) {
    return value >= 0 ? value : 2 * std::floor(value) - value;
}

CDateTime& CDateTime::operator+=(const CDateTimeSpan& span) {
    *this = CDateTimeAddSpan(*this, span);
    return *this;
}

CDateTime& CDateTime::operator-=(const CDateTimeSpan& span) {
    *this = CDateTimeSubSpan(*this, span);
    return *this;
}

CDateTime CDateTimeAddSpan(const CDateTime& date, const CDateTimeSpan& span) {
    CDateTime result;
    if (date.IsValid() && span.IsValid())
        result.SetRaw(CDateTime::Unfold(CDateTime::Fold(date.GetValue()) + span.GetValue()));
    return result;
}

CDateTime CDateTimeSubSpan(const CDateTime& date, const CDateTimeSpan& span) {
    CDateTime result;
    if (date.IsValid() && span.IsValid())
        result.SetRaw(CDateTime::Unfold(CDateTime::Fold(date.GetValue()) - span.GetValue()));
    return result;
}

CDateTimeSpan CDateTimeDiff(const CDateTime& a, const CDateTime& b) {
    CDateTimeSpan result;
    if (a.IsValid() && b.IsValid())
        result.SetRaw(CDateTime::Fold(a.GetValue()) - CDateTime::Fold(b.GetValue()));
    return result;
}

void CDateTimeSpan::SetDateTimeSpan(long days, int hours, int minutes, int seconds) {
    m_value = static_cast<double>(days) + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
}

void CDateTimeSpan::SetRaw(uint32_t low, uint32_t high) {
    const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
    std::memcpy(&m_value, &bits, sizeof m_value);
}

namespace {

// The span as whole milliseconds: the parts are read from it so that the binary fraction of a day
// (10 seconds is 0.000115740...) does not truncate one unit short.
int64_t Milliseconds(double days) {
    return std::llround(days * 86400000.0);
}

int SignedPart(double days, int64_t unit, int64_t modulo) {
    const int64_t milliseconds = Milliseconds(days);
    const int64_t magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
    const int part = static_cast<int>(magnitude / unit % modulo);
    return milliseconds < 0 ? -part : part;
}

} // namespace

int CDateTimeSpan::GetHours() const {
    return IsValid() ? SignedPart(m_value, 3600000, 24) : 0;
}

int CDateTimeSpan::GetMinutes() const {
    return IsValid() ? SignedPart(m_value, 60000, 60) : 0;
}

int CDateTimeSpan::GetSeconds() const {
    return IsValid() ? SignedPart(m_value, 1000, 60) : 0;
}

CDateTimeSpan CDateTimeSpan::operator-() const {
    CDateTimeSpan result;
    if (IsValid())
        result.m_value = -m_value;
    return result;
}

CDateTimeSpan operator+(const CDateTimeSpan& a, const CDateTimeSpan& b) {
    CDateTimeSpan result;
    if (a.IsValid() && b.IsValid())
        result.m_value = a.m_value + b.m_value;
    return result;
}

CDateTimeSpan operator-(const CDateTimeSpan& a, const CDateTimeSpan& b) {
    return a + -b;
}
