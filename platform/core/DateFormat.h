#pragma once

#include "platform/core/CString.h"
#include "platform/core/OleAuto.h"
#include "platform/core/WinTime.h"

#include <cstdint>

// Flags of GetDateFormatA.
inline constexpr uint32_t DATE_SHORTDATE = 0x00000001;
inline constexpr uint32_t DATE_LONGDATE = 0x00000002;
// Flags of GetTimeFormatA.
inline constexpr uint32_t TIME_NOMINUTESORSECONDS = 0x00000001;
inline constexpr uint32_t TIME_NOSECONDS = 0x00000002;
inline constexpr uint32_t TIME_NOTIMEMARKER = 0x00000004;
inline constexpr uint32_t TIME_FORCE24HOURFORMAT = 0x00000008;

// Formats the date of `time` with a Windows date picture (d, dd, ddd, dddd, M, MM, MMM, MMMM, y, yy,
// yyyy, 'literal', '' for a quote; English names). A null picture takes the user's short date picture,
// or the long one with DATE_LONGDATE. A null `time` means today. Writes at most `size` bytes and returns
// the length written including the terminator; size 0 returns the length needed; 0 on failure (bad
// date, buffer too small).
int GetDateFormatA(LCID lcid, uint32_t flags, const SYSTEMTIME* time, const char* picture, char* buffer,
                   int size);
// The same for the time with a Windows time picture (h, hh, H, HH, m, mm, s, ss, t, tt, literals);
// a null picture is the user's time picture "h:mm:ss tt". TIME_NOSECONDS and TIME_NOMINUTESORSECONDS
// drop the seconds (and minutes) with the separator before them, TIME_NOTIMEMARKER the AM/PM marker,
// TIME_FORCE24HOURFORMAT reads h as H. A null `time` means now.
int GetTimeFormatA(LCID lcid, uint32_t flags, const SYSTEMTIME* time, const char* picture, char* buffer,
                   int size);

// The same as text; empty on failure.
CString FormatDatePicture(const SYSTEMTIME& time, const char* picture, uint32_t flags = 0);
CString FormatTimePicture(const SYSTEMTIME& time, const char* picture, uint32_t flags = 0);

// The user's regional pictures: "sShortDate" / "sLongDate" of "Control Panel\\International" in the
// registry (string values only); when absent, derived from the C library's LC_TIME when that is a real
// user locale (not "C"/"POSIX"); otherwise "M/d/yyyy" and "dddd, MMMM dd, yyyy". Read once and again
// only after a settings change (platform/core/SettingsCache.h): every date read and written asks.
CString UserShortDatePicture();
CString UserLongDatePicture();
// The user's time picture: "h:mm:ss tt".
CString UserTimePicture();

// Turns a strftime date pattern (as nl_langinfo(D_FMT) gives) into a Windows date picture; conversions
// it cannot express are dropped. "%m/%d/%Y" -> "MM/dd/yyyy", "%d.%m.%Y" -> "dd.MM.yyyy".
CString DatePictureFromStrftime(const char* pattern);

// The English month (1..12) and weekday (0 Sunday..6) names and their three-letter abbreviations;
// "" out of range.
const char* MonthName(int month);
const char* MonthAbbreviation(int month);
const char* WeekdayName(int dayOfWeek);
const char* WeekdayAbbreviation(int dayOfWeek);
