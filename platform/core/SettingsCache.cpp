#include "platform/core/SettingsCache.h"

#include "platform/core/Registry.h"

#include <clocale>
#include <string>

namespace {

struct Observed {
    uint64_t storeChanges = 0;
    std::string timeLocale;
    uint64_t revision = 1;
};

} // namespace

void NotifySettingsChanged() {
    NoteSettingsStoreChange();
}

uint64_t SettingsRevision() {
    static Observed observed{SettingsStoreChanges(), "", 1};
    const char* locale = std::setlocale(LC_TIME, nullptr);
    const uint64_t changes = SettingsStoreChanges();
    if (changes != observed.storeChanges || observed.timeLocale != (locale ? locale : "")) {
        observed.storeChanges = changes;
        observed.timeLocale = locale ? locale : "";
        ++observed.revision;
    }
    return observed.revision;
}
