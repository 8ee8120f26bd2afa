#pragma once

#include "platform/core/CString.h"
#include "platform/core/HResult.h"
#include "platform/core/WinTime.h"

#include <cstdint>

// The OLE automation date: days since 30 December 1899 as a double, the time of day as the fraction.
// For a negative value the integer part counts days backwards while the fraction still runs forwards
// (-1.25 is 29 December 1899 at 06:00). Valid from -657434 (1 January 100) to 2958465 (31 December 9999).
using DATE = double;

inline constexpr double kMinOleDate = -657434.0;
inline constexpr double kMaxOleDate = 2958465.0;

// Locale ids: the callers pass the user's default locale.
using LCID = uint32_t;
inline constexpr LCID LOCALE_USER_DEFAULT = 1024;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 2048;

// Flags of VarDateFromStr / VarBstrFromDate.
inline constexpr uint32_t VAR_TIMEVALUEONLY = 0x00000001;
inline constexpr uint32_t VAR_DATEVALUEONLY = 0x00000002;

// SYSTEMTIME -> OLE date; the milliseconds are dropped. Nonzero on success, 0 when a field is out of
// range (year 100..9999, month 1..12, day valid in the month, hour 0..23, minute 0..59, second 0..59).
int SystemTimeToVariantTime(const SYSTEMTIME* time, double* date);
// OLE date -> SYSTEMTIME, rounded to the nearest second (half a second rounds up), with the day of week
// and zero milliseconds. Nonzero on success, 0 when the date is outside the valid range.
int VariantTimeToSystemTime(double date, SYSTEMTIME* time);

// FILETIME (100 ns since 1 January 1601) conversions. Local means the process's time zone (TZ).
bool FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
bool LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc);
bool FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* time);
bool SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* fileTime);

// Parses a date and/or time as the user types it (VarDate.cpp lists the accepted forms): numeric
// dates in the order of the user's short-date picture, month names, ISO "yyyy-mm-dd hh:mm:ss",
// times with AM/PM. A time alone gives 30 December 1899 at that time. Flags 0, VAR_DATEVALUEONLY (the
// time is dropped) or VAR_TIMEVALUEONLY (the date is dropped). S_OK on success, DISP_E_TYPEMISMATCH
// for text that is no date, DISP_E_OVERFLOW for a date outside the valid range.
HRESULT VarDateFromStr(const char* text, LCID lcid, uint32_t flags, double* date);

// The text of a date in the user's locale: the short date, then the time as "h:mm:ss tt"; the date
// alone at midnight, the time alone on 30 December 1899. VAR_DATEVALUEONLY / VAR_TIMEVALUEONLY give
// only that half. S_OK, or E_INVALIDARG for a date outside the valid range (text left empty).
HRESULT VarBstrFromDate(double date, LCID lcid, uint32_t flags, CString* text);

// A tiny VARIANT: the types our code exchanges.
using VARTYPE = uint16_t;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_NULL = 1;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_DATE = 7;
inline constexpr VARTYPE VT_BSTR = 8;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    int32_t lVal = 0;    // VT_I4
    double dblVal = 0.0; // VT_R8
    double date = 0.0;   // VT_DATE
    CString bstrVal;     // VT_BSTR (UTF-8 here)
};

void VariantInit(VARIANT* variant);
// Converts source into type (VT_DATE, VT_R8, VT_I4 or VT_BSTR) into dest (which may be source).
// Text converts to a date through VarDateFromStr and back through VarBstrFromDate.
// S_OK, DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW; dest is unchanged on failure.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, uint16_t flags, VARTYPE type);
