#include "platform/core/WinTime.h"

#include <chrono>
#include <ctime>

namespace {

std::optional<SYSTEMTIME>& FixedClock() {
    static std::optional<SYSTEMTIME> fixed;
    return fixed;
}

} // namespace

SYSTEMTIME GetLocalTime() {
    if (FixedClock())
        return *FixedClock();
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    SYSTEMTIME result;
    result.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    result.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    result.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    result.wDay = static_cast<uint16_t>(local.tm_mday);
    result.wHour = static_cast<uint16_t>(local.tm_hour);
    result.wMinute = static_cast<uint16_t>(local.tm_min);
    result.wSecond = static_cast<uint16_t>(local.tm_sec < 60 ? local.tm_sec : 59);
    result.wMilliseconds = static_cast<uint16_t>(millis);
    return result;
}

void SetLocalTimeForTesting(std::optional<SYSTEMTIME> fixed) {
    FixedClock() = fixed;
}
