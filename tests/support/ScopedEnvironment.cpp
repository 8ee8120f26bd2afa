#include "tests/support/ScopedEnvironment.h"

#include <clocale>
#include <cstdlib>
#include <ctime>

namespace {

constexpr const char* kGerman = "de_DE.UTF-8";

} // namespace

ScopedTimeZone::ScopedTimeZone(const char* rule) {
    if (const char* zone = std::getenv("TZ"))
        m_previous = zone;
    setenv("TZ", rule, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (m_previous)
        setenv("TZ", m_previous->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

ScopedGermanLocale::ScopedGermanLocale(int category) : m_category(category) {
    if (std::setlocale(m_category, kGerman)) {
        m_active = true;
        return;
    }
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + m_folder.File(kGerman) + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return;
    setenv("LOCPATH", m_folder.path().c_str(), 1);
    m_active = std::setlocale(m_category, kGerman) != nullptr;
}

ScopedGermanLocale::~ScopedGermanLocale() {
    std::setlocale(m_category, "C");
    unsetenv("LOCPATH");
}
