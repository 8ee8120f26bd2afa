#include "platform/core/OleAuto.h"

#include "platform/core/CalendarMath.h"

#include <cmath>
#include <ctime>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kTicksPerSecond = 10000000;
// Seconds from 1 January 1601 (the FILETIME epoch) to 1 January 1970.
constexpr int64_t kFileTimeEpochSeconds = 11644473600;

bool IsValidSystemTime(const SYSTEMTIME& time) {
    return time.wYear >= 100 && time.wYear <= 9999 && time.wMonth >= 1 && time.wMonth <= 12 &&
           calendar::IsValidDay(time.wYear, time.wMonth, time.wDay) && time.wHour <= 23 &&
           time.wMinute <= 59 && time.wSecond <= 59;
}

void FillSystemTime(int64_t daysSince1970, int64_t secondOfDay, SYSTEMTIME* time) {
    const calendar::CivilDate date = calendar::CivilFromDays(daysSince1970);
    time->wYear = static_cast<uint16_t>(date.year);
    time->wMonth = static_cast<uint16_t>(date.month);
    time->wDay = static_cast<uint16_t>(date.day);
    time->wDayOfWeek = static_cast<uint16_t>(calendar::DayOfWeek(date.year, date.month, date.day));
    time->wHour = static_cast<uint16_t>(secondOfDay / 3600);
    time->wMinute = static_cast<uint16_t>(secondOfDay / 60 % 60);
    time->wSecond = static_cast<uint16_t>(secondOfDay % 60);
    time->wMilliseconds = 0;
}

} // namespace

int SystemTimeToVariantTime(const SYSTEMTIME* time, double* date) {
    if (!time || !date || !IsValidSystemTime(*time))
        return 0;
    const int64_t days =
        calendar::DaysFromCivil(time->wYear, time->wMonth, time->wDay) - calendar::kOleEpochDays;
    const double fraction = (time->wHour * 3600.0 + time->wMinute * 60.0 + time->wSecond) / kSecondsPerDay;
    // Before the epoch the whole days count backwards while the time of day still runs forwards.
    *date = days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
    return 1;
}

int VariantTimeToSystemTime(double date, SYSTEMTIME* time) {
    if (!time || !std::isfinite(date) || date <= kMinOleDate - 1.0 || date >= kMaxOleDate + 1.0)
        return 0;
    const double wholeDays = std::trunc(date);
    const double fraction = std::fabs(date - wholeDays);
    int64_t days = static_cast<int64_t>(wholeDays);
    int64_t seconds = static_cast<int64_t>(std::floor(fraction * kSecondsPerDay + 0.5));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
    const int64_t daysSince1970 = days + calendar::kOleEpochDays;
    const calendar::CivilDate civil = calendar::CivilFromDays(daysSince1970);
    if (civil.year < 100 || civil.year > 9999)
        return 0;
    FillSystemTime(daysSince1970, seconds, time);
    return 1;
}

bool FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* time) {
    if (!fileTime || !time)
        return false;
    const uint64_t ticks = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
    if (ticks >= 0x8000000000000000ull)
        return false;
    const int64_t totalSeconds = static_cast<int64_t>(ticks / kTicksPerSecond);
    const int64_t days = totalSeconds / kSecondsPerDay;
    const int64_t daysSince1970 = days + calendar::DaysFromCivil(1601, 1, 1);
    FillSystemTime(daysSince1970, totalSeconds % kSecondsPerDay, time);
    time->wMilliseconds = static_cast<uint16_t>(ticks % kTicksPerSecond / 10000);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* fileTime) {
    if (!time || !fileTime || time->wYear < 1601 || time->wYear > 30827 || time->wMonth < 1 ||
        time->wMonth > 12 || !calendar::IsValidDay(time->wYear, time->wMonth, time->wDay) ||
        time->wHour > 23 || time->wMinute > 59 || time->wSecond > 59 || time->wMilliseconds > 999)
        return false;
    const int64_t days =
        calendar::DaysFromCivil(time->wYear, time->wMonth, time->wDay) - calendar::DaysFromCivil(1601, 1, 1);
    const int64_t seconds = days * kSecondsPerDay + time->wHour * 3600 + time->wMinute * 60 + time->wSecond;
    const uint64_t ticks =
        static_cast<uint64_t>(seconds) * kTicksPerSecond + static_cast<uint64_t>(time->wMilliseconds) * 10000;
    fileTime->dwLowDateTime = static_cast<uint32_t>(ticks & 0xFFFFFFFFu);
    fileTime->dwHighDateTime = static_cast<uint32_t>(ticks >> 32);
    return true;
}

namespace {

uint64_t Ticks(const FILETIME& fileTime) {
    return (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

void SetTicks(FILETIME* fileTime, uint64_t ticks) {
    fileTime->dwLowDateTime = static_cast<uint32_t>(ticks & 0xFFFFFFFFu);
    fileTime->dwHighDateTime = static_cast<uint32_t>(ticks >> 32);
}

// The offset of local time from UTC in seconds at the given UTC instant.
bool UtcOffsetAt(int64_t unixSeconds, int64_t* offset) {
    const time_t instant = static_cast<time_t>(unixSeconds);
    std::tm local{};
    if (!localtime_r(&instant, &local))
        return false;
    *offset = local.tm_gmtoff;
    return true;
}

} // namespace

// The offset is the one in effect at that instant, so a summer date converts with summer time even
// when the conversion runs in winter.
bool FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    if (!utc || !local)
        return false;
    const uint64_t ticks = Ticks(*utc);
    int64_t offset = 0;
    if (!UtcOffsetAt(static_cast<int64_t>(ticks / kTicksPerSecond) - kFileTimeEpochSeconds, &offset))
        return false;
    const int64_t shifted = static_cast<int64_t>(ticks) + offset * kTicksPerSecond;
    if (shifted < 0)
        return false;
    SetTicks(local, static_cast<uint64_t>(shifted));
    return true;
}

bool LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc) {
    if (!local || !utc)
        return false;
    const uint64_t ticks = Ticks(*local);
    const int64_t localSeconds = static_cast<int64_t>(ticks / kTicksPerSecond) - kFileTimeEpochSeconds;
    int64_t offset = 0;
    // The offset at the local reading taken as UTC, refined once at the instant it points to.
    if (!UtcOffsetAt(localSeconds, &offset) || !UtcOffsetAt(localSeconds - offset, &offset))
        return false;
    const int64_t shifted = static_cast<int64_t>(ticks) - offset * kTicksPerSecond;
    if (shifted < 0)
        return false;
    SetTicks(utc, static_cast<uint64_t>(shifted));
    return true;
}

void VariantInit(VARIANT* variant) {
    if (variant)
        *variant = VARIANT{};
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, uint16_t /*flags*/, VARTYPE type) {
    if (!dest || !source)
        return E_INVALIDARG;
    VARIANT result;
    result.vt = type;
    double number = 0.0;
    switch (source->vt) {
    case VT_DATE:
        number = source->date;
        break;
    case VT_R8:
        number = source->dblVal;
        break;
    case VT_I4:
        number = source->lVal;
        break;
    case VT_BSTR:
        if (type == VT_BSTR) {
            result.bstrVal = source->bstrVal;
            *dest = result;
            return S_OK;
        }
        if (const HRESULT parsed = VarDateFromStr(source->bstrVal, LOCALE_USER_DEFAULT, 0, &number);
            FAILED(parsed))
            return parsed;
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    switch (type) {
    case VT_DATE:
        if (!std::isfinite(number) || number < kMinOleDate || number >= kMaxOleDate + 1.0)
            return DISP_E_OVERFLOW;
        result.date = number;
        break;
    case VT_R8:
        result.dblVal = number;
        break;
    case VT_I4: {
        const double rounded = std::nearbyint(number);
        if (!(rounded >= INT32_MIN && rounded <= INT32_MAX))
            return DISP_E_OVERFLOW;
        result.lVal = static_cast<int32_t>(rounded);
        break;
    }
    case VT_BSTR:
        if (source->vt == VT_DATE) {
            if (const HRESULT formatted = VarBstrFromDate(number, LOCALE_USER_DEFAULT, 0, &result.bstrVal);
                FAILED(formatted))
                return formatted;
        } else {
            result.bstrVal.Format("%.15g", number);
        }
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    *dest = result;
    return S_OK;
}
