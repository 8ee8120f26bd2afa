#pragma once

#include "platform/core/CString.h"
#include "platform/core/DateFormat.h"
#include "platform/core/OleAuto.h"
#include "platform/core/WinTime.h"

#include <cstddef>
#include <cstdint>
#include <ctime>

class CDateTimeSpan;

// A point in local time held as an OLE automation date (see platform/core/OleAuto.h): whole days since
// 30 December 1899 with the time of day as the fraction; negative days count backwards while the
// fraction runs forwards. Invalid ("null") is -657435.0; valid from -657434 to 2958465.
class CDateTime {
public:
    static constexpr double kInvalid = -657435.0;
    static constexpr double kMinValid = -657434.0;
    static constexpr double kMaxValid = 2958465.0;
    // What every integer getter answers for an invalid date (0x80000000).
    static constexpr int kNoValue = INT32_MIN;
    // Size limit strftime gets in Format, and the buffer sizes of the picture and table formats.
    static constexpr size_t kFormatLimit = 4096;
    static constexpr size_t kPictureBufferSize = 255;
    static constexpr size_t kResourceBufferSize = 261;

    CDateTime() = default;
    explicit CDateTime(double value) : m_value(value) {}
    CDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    explicit CDateTime(const SYSTEMTIME& time);
    explicit CDateTime(const FILETIME& utc);
    explicit CDateTime(const struct tm& time);
    explicit CDateTime(const VARIANT& variant);
    // Parses through ParseDateTime; invalid when the text is no date.
    explicit CDateTime(const char* text);

    // The local time now (GetLocalTime), milliseconds dropped.
    static CDateTime GetCurrentTime();

    // Each answers whether the result is valid; a failed conversion leaves the value invalid.
    bool SetDateTime(int year, int month, int day, int hour, int minute, int second);
    bool SetDate(int year, int month, int day);     // keeps the hour, minute and second
    bool SetTime(int hour, int minute, int second); // keeps the year, month and day; fails when invalid
    bool SetFromSystemTime(const SYSTEMTIME& time);
    CDateTime& operator=(const SYSTEMTIME& time);
    bool SetFromTimeT(time_t time);              // through localtime
    bool SetFromTm(const struct tm& time);       // year, month, day, hour, minute, second of the tm
    bool SetFromFileTime(const FILETIME& utc);   // through FileTimeToLocalFileTime / FileTimeToSystemTime
    bool SetFromVariant(const VARIANT& variant); // VT_DATE, or changed to it with VariantChangeType

    void SetNull() { m_value = kInvalid; }
    // The double from its two 32-bit halves (low word first), or directly.
    void SetRaw(uint32_t low, uint32_t high);
    void SetRaw(double value) { m_value = value; }
    double GetValue() const { return m_value; }

    // ParseDateTimeEx with flags 0 and the user's default locale.
    bool ParseDateTime(const char* text);
    // VarDateFromStr with the flags (VAR_DATEVALUEONLY / VAR_TIMEVALUEONLY); invalid on failure.
    bool ParseDateTimeEx(const char* text, uint32_t flags, LCID lcid = LOCALE_USER_DEFAULT);

    int GetYear() const;
    int GetMonth() const;     // 1-12
    int GetDay() const;       // 1-31
    int GetHour() const;      // 0-23
    int GetMinute() const;    // 0-59
    int GetSecond() const;    // 0-59
    int GetDayOfWeek() const; // 1 = Sunday .. 7 = Saturday
    int GetDayOfYear() const; // 1-366

    bool IsValid() const { return IsValidDate(m_value); }
    static bool IsValidDate(double value) { return value >= kMinValid && value <= kMaxValid; }
    bool GetAsSystemTime(SYSTEMTIME& time) const;
    // The completed struct tm (day of week and of year computed, tm_isdst -1); false when invalid.
    bool GetAsTm(struct tm& time) const;
    // Through mktime (local time); (time_t)-1 when invalid or not representable.
    time_t GetAsTimeT() const;
    // A VT_DATE variant; false when invalid (variant then VT_EMPTY).
    bool GetAsVariant(VARIANT& variant) const;
    // The value truncated toward zero (the day number of a non-negative date); INT64_MIN for a value
    // no 64-bit integer holds (not a number, or beyond its range).
    int64_t ToDays() const;

    bool IsNoon() const;     // 12:00:00
    bool IsMidnight() const; // 00:00:00
    bool IsLeapYear() const; // of its own year; false when invalid

    // strftime text of the date; "" when invalid or when the text exceeds the buffer.
    CString Format(const char* pattern) const;
    size_t Format(char* buffer, size_t size, const char* pattern) const;
    template <size_t N> size_t Format(char (&buffer)[N], const char* pattern) const {
        return Format(buffer, N, pattern);
    }
    // Windows date / time picture text (GetDateFormatA / GetTimeFormatA); a null picture takes the
    // user's picture for the flags. "" when invalid.
    CString FormatDate(const char* picture, uint32_t flags = 0, LCID lcid = LOCALE_USER_DEFAULT) const;
    CString FormatTime(const char* picture, uint32_t flags = 0, LCID lcid = LOCALE_USER_DEFAULT) const;
    void FormatDate(char* buffer, size_t size, const char* picture, uint32_t flags, LCID lcid) const;
    void FormatTime(char* buffer, size_t size, const char* picture, uint32_t flags, LCID lcid) const;
    template <size_t N>
    void FormatDate(char (&buffer)[N], const char* picture, uint32_t flags = 0,
                    LCID lcid = LOCALE_USER_DEFAULT) const {
        FormatDate(buffer, N < kPictureBufferSize ? N : kPictureBufferSize, picture, flags, lcid);
    }
    template <size_t N>
    void FormatTime(char (&buffer)[N], const char* picture, uint32_t flags = 0,
                    LCID lcid = LOCALE_USER_DEFAULT) const {
        FormatTime(buffer, N < kPictureBufferSize ? N : kPictureBufferSize, picture, flags, lcid);
    }
    // The VarBstrFromDate text ("3/15/2006 10:20:30 AM"); "" when invalid.
    CString FormatVariant(uint32_t flags = 0, LCID lcid = LOCALE_USER_DEFAULT) const;
    // strftime with the pattern registered in the string table under `id` (buffer of 261 bytes).
    CString FormatResource(uint32_t id) const;

    // Fold: the value on a linear time scale (v >= 0 stays, else 2 x ceil(v) - v); unfold reverses it.
    static double Fold(double value);
    static double Unfold(double value);

    // Comparisons fold both values first; equality is the exact equality of the doubles.
    friend bool operator<(const CDateTime& a, const CDateTime& b) {
        return Fold(a.m_value) < Fold(b.m_value);
    }
    friend bool operator>(const CDateTime& a, const CDateTime& b) {
        return Fold(a.m_value) > Fold(b.m_value);
    }
    friend bool operator<=(const CDateTime& a, const CDateTime& b) {
        return Fold(a.m_value) <= Fold(b.m_value);
    }
    friend bool operator>=(const CDateTime& a, const CDateTime& b) {
        return Fold(a.m_value) >= Fold(b.m_value);
    }
    friend bool operator==(const CDateTime& a, const CDateTime& b) { return a.m_value == b.m_value; }
    friend bool operator!=(const CDateTime& a, const CDateTime& b) { return a.m_value != b.m_value; }

    CDateTime& operator+=(const CDateTimeSpan& span);
    CDateTime& operator-=(const CDateTimeSpan& span);

private:
    double m_value = kInvalid;
};

// A signed distance in days (fraction = part of a day). Invalid is -3615898.0; valid within
// plus or minus 3615897 days.
class CDateTimeSpan {
public:
    static constexpr double kInvalid = -3615898.0;
    static constexpr double kMaxValid = 3615897.0;

    CDateTimeSpan() = default;
    explicit CDateTimeSpan(double days) : m_value(days) {}
    CDateTimeSpan(long days, int hours, int minutes, int seconds) {
        SetDateTimeSpan(days, hours, minutes, seconds);
    }

    // days + hours/24 + minutes/1440 + seconds/86400
    void SetDateTimeSpan(long days, int hours, int minutes, int seconds);
    void SetNull() { m_value = kInvalid; }
    void SetRaw(uint32_t low, uint32_t high);
    void SetRaw(double days) { m_value = days; }
    double GetValue() const { return m_value; }
    bool IsValid() const { return m_value >= -kMaxValid && m_value <= kMaxValid; }

    // Parts of the day (hours 0-23, minutes and seconds 0-59) of the span counted in whole milliseconds,
    // truncated toward zero and keeping the sign of a negative span; 0 when invalid.
    int GetHours() const;
    int GetMinutes() const;
    int GetSeconds() const;
    double GetTotalMinutes() const { return m_value * 24.0 * 60.0; }

    friend bool operator==(const CDateTimeSpan& a, const CDateTimeSpan& b) { return a.m_value == b.m_value; }
    friend bool operator!=(const CDateTimeSpan& a, const CDateTimeSpan& b) { return a.m_value != b.m_value; }
    friend bool operator<(const CDateTimeSpan& a, const CDateTimeSpan& b) { return a.m_value < b.m_value; }
    friend bool operator>(const CDateTimeSpan& a, const CDateTimeSpan& b) { return a.m_value > b.m_value; }

    // Invalid unless both operands are valid.
    CDateTimeSpan operator-() const;
    friend CDateTimeSpan operator+(const CDateTimeSpan& a, const CDateTimeSpan& b);
    friend CDateTimeSpan operator-(const CDateTimeSpan& a, const CDateTimeSpan& b);

private:
    double m_value = kInvalid;
};

// unfold(fold(date) + span); invalid unless both are valid.
CDateTime CDateTimeAddSpan(const CDateTime& date, const CDateTimeSpan& span);
// unfold(fold(date) - span); invalid unless both are valid.
CDateTime CDateTimeSubSpan(const CDateTime& date, const CDateTimeSpan& span);
// fold(a) - fold(b); invalid unless both are valid.
CDateTimeSpan CDateTimeDiff(const CDateTime& a, const CDateTime& b);

inline CDateTime operator+(const CDateTime& date, const CDateTimeSpan& span) {
    return CDateTimeAddSpan(date, span);
}
inline CDateTime operator-(const CDateTime& date, const CDateTimeSpan& span) {
    return CDateTimeSubSpan(date, span);
}
inline CDateTimeSpan operator-(const CDateTime& a, const CDateTime& b) {
    return CDateTimeDiff(a, b);
}
