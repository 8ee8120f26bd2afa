#include "data/IdMaker.h"

#include "platform/core/Guid.h"

#include <cstdint>

// Writes "%08lX-%04X-%04X-%02X%02X%02X%02X%02X%02X" digit by digit: imports and the converter make
// one ID per record, and printf's format parsing cost more than making the GUID.
bool NewGuidString(char* buffer) {
    GUID guid;
    if (buffer == nullptr || FAILED(CoCreateGuid(&guid)))
        return false;
    char* out = buffer;
    auto hex = [&out](uint32_t value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            *out++ = "0123456789ABCDEF"[(value >> shift) & 0xFu];
    };
    hex(guid.Data1, 8);
    *out++ = '-';
    hex(guid.Data2, 4);
    *out++ = '-';
    hex(guid.Data3, 4);
    *out++ = '-';
    for (int i = 0; i < 6; ++i)
        hex(guid.Data4[i], 2);
    *out = '\0';
    return true;
}

bool NewGuidString(CString& id) {
    char buffer[kGuidStringLength + 1];
    if (!NewGuidString(buffer))
        return false;
    id = buffer;
    return true;
}

void XmlEscapeAppend(CString& target, const char* source, int length) {
    for (int i = 0; i < length && source != nullptr; ++i) {
        switch (source[i]) {
        case '"':
            target += "&quot;";
            break;
        case '&':
            target += "&amp;";
            break;
        case '\'':
            target += "&apos;";
            break;
        case '<':
            target += "&lt;";
            break;
        case '>':
            target += "&gt;";
            break;
        default:
            target += source[i];
            break;
        }
    }
}
