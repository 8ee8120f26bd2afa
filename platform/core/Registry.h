#pragma once

#include "platform/core/CString.h"

#include <cstdint>
#include <map>
#include <optional>
#include <variant>

// The per-user settings store, addressed like HKEY_CURRENT_USER: key paths with backslashes
// ("Software\\Quillex\\Pelmora\\Settings") holding named DWORD and string values.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    virtual bool KeyExists(const char* key) const = 0;
    // Creates the key (and its parents) when missing; false when the store refuses.
    virtual bool CreateKey(const char* key) = 0;
    virtual bool DeleteKey(const char* key) = 0;

    // A value of the other type reads as absent.
    virtual std::optional<uint32_t> ReadDword(const char* key, const char* name) const = 0;
    virtual std::optional<CString> ReadString(const char* key, const char* name) const = 0;
    // Writing creates the key when missing.
    virtual bool WriteDword(const char* key, const char* name, uint32_t value) = 0;
    virtual bool WriteString(const char* key, const char* name, const char* value) = 0;
    virtual bool DeleteValue(const char* key, const char* name) = 0;
};

// The store every part of the program uses; an in-memory store until a backend is installed.
RegistryStore& Registry();
// Installs a store (not owned); nullptr returns to the built-in in-memory store.
void SetRegistry(RegistryStore* store);

// Every store counts its changes here (and SetRegistry counts itself), so that values derived from
// the settings are read again after any change (platform/core/SettingsCache.h).
void NoteSettingsStoreChange();
uint64_t SettingsStoreChanges();

// A store held in memory: the default, and what tests install.
class MemoryRegistry : public RegistryStore {
public:
    bool KeyExists(const char* key) const override;
    bool CreateKey(const char* key) override;
    bool DeleteKey(const char* key) override;
    std::optional<uint32_t> ReadDword(const char* key, const char* name) const override;
    std::optional<CString> ReadString(const char* key, const char* name) const override;
    bool WriteDword(const char* key, const char* name, uint32_t value) override;
    bool WriteString(const char* key, const char* name, const char* value) override;
    bool DeleteValue(const char* key, const char* name) override;

private:
    using Value = std::variant<uint32_t, std::string>;
    // Key paths are compared case-insensitively, as the registry does.
    static std::string Normalize(const char* key);
    std::map<std::string, std::map<std::string, Value>> m_keys;
};
