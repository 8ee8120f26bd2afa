#pragma once

#include "tests/support/TempDir.h"

#include <optional>
#include <string>

// Sets the process time zone (a POSIX TZ rule, so no zone database is needed) and restores the
// previous one.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* rule = "CET-1CEST,M3.5.0,M10.5.0/3");
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_previous;
};

// Switches one locale category of the process to German (day-first dates, month names of its own, no
// AM/PM marker, a decimal comma). A system without the locale gets it compiled into a temp folder;
// Active() tells whether the switch took. Restores "C".
class ScopedGermanLocale {
public:
    explicit ScopedGermanLocale(int category);
    ~ScopedGermanLocale();
    ScopedGermanLocale(const ScopedGermanLocale&) = delete;
    ScopedGermanLocale& operator=(const ScopedGermanLocale&) = delete;

    bool Active() const { return m_active; }

private:
    int m_category;
    bool m_active = false;
    TempDir m_folder;
};
