#include "data/IdMaker.h"

#include "platform/core/Guid.h"

#include <cstdio>

bool NewGuidString(char* buffer) {
    GUID guid;
    if (buffer == nullptr || FAILED(CoCreateGuid(&guid)))
        return false;
    std::snprintf(buffer, kGuidStringLength + 1, "%08lX-%04X-%04X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), static_cast<unsigned>(guid.Data4[0]),
                  static_cast<unsigned>(guid.Data4[1]), static_cast<unsigned>(guid.Data4[2]),
                  static_cast<unsigned>(guid.Data4[3]), static_cast<unsigned>(guid.Data4[4]),
                  static_cast<unsigned>(guid.Data4[5]));
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
