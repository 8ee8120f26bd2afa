#pragma once

#include "platform/core/Registry.h"

#include <QSettings>
#include <QString>

#include <memory>

// The settings store over QSettings (organisation "Quillex", application "Pelmora"; on Linux
// ~/.config/Quillex/Pelmora.conf). Key paths and value names are the registry's: the key
// "Software\\Quillex\\Pelmora\\Settings" is the settings group "Software/Quillex/Pelmora/Settings".
// Key and value names match case-insensitively, keeping the spelling first written.
//
// QSettings keeps no types in its text file, so values are tagged: a DWORD is stored as
// "dword:0000002a" (as a .reg file writes it) and a string that happens to begin with "dword:" or
// "sz:" is stored with an extra "sz:" in front. An empty key holds the marker value ".key".
//
// Constructing one installs it with SetRegistry; destroying it returns to the built-in store when it
// is still the installed one. QtRegistry::Install() installs a process-wide instance.
class QtRegistry : public RegistryStore {
public:
    // The user's settings file.
    QtRegistry();
    // A settings file at the given path (INI format), for tests and tools.
    explicit QtRegistry(const QString& iniPath);
    ~QtRegistry() override;
    QtRegistry(const QtRegistry&) = delete;
    QtRegistry& operator=(const QtRegistry&) = delete;

    static QtRegistry& Install();

    bool KeyExists(const char* key) const override;
    bool CreateKey(const char* key) override;
    bool DeleteKey(const char* key) override;
    std::optional<uint32_t> ReadDword(const char* key, const char* name) const override;
    std::optional<CString> ReadString(const char* key, const char* name) const override;
    bool WriteDword(const char* key, const char* name, uint32_t value) override;
    bool WriteString(const char* key, const char* name, const char* value) override;
    bool DeleteValue(const char* key, const char* name) override;

    QSettings& Settings() { return *m_settings; }

    // The stored text of a DWORD or string value, and back; exposed for tests.
    static QString EncodeDword(uint32_t value);
    static QString EncodeString(const QString& value);
    // Decodes a stored text: a DWORD, or a string when dword is null.
    static bool Decode(const QString& stored, std::optional<uint32_t>& dword, QString& text);

private:
    // The settings group of a key path with the existing spelling of every segment; empty for the root.
    QString ResolveGroup(const char* key) const;
    // The existing spelling of a value name in group, or the name as given.
    QString ResolveName(const QString& group, const char* name) const;
    std::optional<QString> ReadRaw(const char* key, const char* name) const;
    bool WriteRaw(const char* key, const char* name, const QString& stored);

    std::unique_ptr<QSettings> m_settings;
};
