#pragma once

#include <cstdint>
#include <optional>
#include <utility>

// The user's regional values (the short and long date pictures and what they derive from) are read
// for every date the program reads or writes; reading them from the settings store each time costs
// more than the date itself. They are read once and again only after a change: a write through the
// settings store, another store installed, another LC_TIME locale, or the settings-change notice.

// The settings changed outside the program's own writes (the desktop's settings-change notice): every
// value kept with SettingsCached is read again at its next use.
void NotifySettingsChanged();

// A number that moves whenever a value read from the settings or the locale may have changed.
uint64_t SettingsRevision();

// One value derived from the settings, read again only when SettingsRevision moved.
template <class T> class SettingsCached {
public:
    template <class Read> const T& Get(Read&& read) {
        const uint64_t now = SettingsRevision();
        if (!m_value || m_revision != now) {
            m_value = std::forward<Read>(read)();
            m_revision = now;
        }
        return *m_value;
    }

private:
    std::optional<T> m_value;
    uint64_t m_revision = 0;
};
