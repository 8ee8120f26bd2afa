#pragma once

#include <cstdint>

// Proleptic Gregorian calendar arithmetic shared by the date conversions and formatters.
namespace calendar {

inline constexpr bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline constexpr int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

inline constexpr bool IsValidDay(int year, int month, int day) {
    return day >= 1 && day <= DaysInMonth(year, month);
}

// Days from 1 January 1970 to the given date (negative before it).
inline constexpr int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int year;
    int month;
    int day;
};

// The date `days` days after 1 January 1970.
inline constexpr CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// 0 = Sunday .. 6 = Saturday (1 January 1970 was a Thursday).
inline constexpr int DayOfWeek(int year, int month, int day) {
    const int64_t days = DaysFromCivil(year, month, day);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

// 1..366
inline constexpr int DayOfYear(int year, int month, int day) {
    return static_cast<int>(DaysFromCivil(year, month, day) - DaysFromCivil(year, 1, 1)) + 1;
}

// Day number of 30 December 1899 (OLE date 0) counted from 1 January 1970.
inline constexpr int64_t kOleEpochDays = -25569;

} // namespace calendar
