#pragma once

#include <cstdint>
#include <optional>

// The Windows time records, with the Windows field meanings.
struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;     // 1-12
    uint16_t wDayOfWeek = 0; // 0 = Sunday .. 6 = Saturday
    uint16_t wDay = 0;       // 1-31
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// 100-nanosecond intervals since 1 January 1601 (UTC unless said otherwise), split in two halves.
struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

// The local time now, from the system clock unless a test has fixed it.
SYSTEMTIME GetLocalTime();

// Fixes the clock that GetLocalTime reads (tests only); std::nullopt returns to the system clock.
void SetLocalTimeForTesting(std::optional<SYSTEMTIME> fixed);
