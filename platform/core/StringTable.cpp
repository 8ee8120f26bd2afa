#include "platform/core/StringTable.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<uint32_t, std::string>& Table() {
    static std::map<uint32_t, std::string> table;
    return table;
}

} // namespace

void RegisterStringResource(uint32_t id, const char* text) {
    Table()[id] = text ? text : "";
}

int LoadStringResource(uint32_t id, char* buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    const auto found = Table().find(id);
    if (found == Table().end())
        return 0;
    const size_t length = std::min(found->second.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, found->second.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

CString LoadStringResourceText(uint32_t id) {
    const auto found = Table().find(id);
    return found == Table().end() ? CString() : CString(found->second);
}
