#include "platform/core/Registry.h"

#include <cctype>

namespace {

RegistryStore*& InstalledStore() {
    static RegistryStore* store = nullptr;
    return store;
}

} // namespace

RegistryStore& Registry() {
    static MemoryRegistry fallback;
    RegistryStore* store = InstalledStore();
    return store ? *store : fallback;
}

void SetRegistry(RegistryStore* store) {
    InstalledStore() = store;
    NoteSettingsStoreChange();
}

namespace {

uint64_t& StoreChanges() {
    static uint64_t changes = 0;
    return changes;
}

} // namespace

void NoteSettingsStoreChange() {
    ++StoreChanges();
}

uint64_t SettingsStoreChanges() {
    return StoreChanges();
}

std::string MemoryRegistry::Normalize(const char* key) {
    std::string result(key ? key : "");
    for (char& ch : result)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    while (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result;
}

bool MemoryRegistry::KeyExists(const char* key) const {
    return m_keys.count(Normalize(key)) != 0;
}

bool MemoryRegistry::CreateKey(const char* key) {
    const std::string path = Normalize(key);
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1))
        m_keys[path.substr(0, pos)];
    m_keys[path];
    NoteSettingsStoreChange();
    return true;
}

bool MemoryRegistry::DeleteKey(const char* key) {
    const std::string path = Normalize(key);
    const std::string prefix = path + '\\';
    bool found = false;
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it->first == path || it->first.compare(0, prefix.size(), prefix) == 0) {
            it = m_keys.erase(it);
            found = true;
            NoteSettingsStoreChange();
        } else {
            ++it;
        }
    }
    return found;
}

std::optional<uint32_t> MemoryRegistry::ReadDword(const char* key, const char* name) const {
    const auto k = m_keys.find(Normalize(key));
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(name ? name : "");
    if (v == k->second.end() || !std::holds_alternative<uint32_t>(v->second))
        return std::nullopt;
    return std::get<uint32_t>(v->second);
}

std::optional<CString> MemoryRegistry::ReadString(const char* key, const char* name) const {
    const auto k = m_keys.find(Normalize(key));
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(name ? name : "");
    if (v == k->second.end() || !std::holds_alternative<std::string>(v->second))
        return std::nullopt;
    return CString(std::get<std::string>(v->second));
}

bool MemoryRegistry::WriteDword(const char* key, const char* name, uint32_t value) {
    CreateKey(key);
    m_keys[Normalize(key)][name ? name : ""] = value;
    NoteSettingsStoreChange();
    return true;
}

bool MemoryRegistry::WriteString(const char* key, const char* name, const char* value) {
    CreateKey(key);
    m_keys[Normalize(key)][name ? name : ""] = std::string(value ? value : "");
    NoteSettingsStoreChange();
    return true;
}

bool MemoryRegistry::DeleteValue(const char* key, const char* name) {
    const auto k = m_keys.find(Normalize(key));
    NoteSettingsStoreChange();
    return k != m_keys.end() && k->second.erase(name ? name : "") != 0;
}
