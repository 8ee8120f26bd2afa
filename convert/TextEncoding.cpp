#include "convert/TextEncoding.h"

#include <cstdint>

namespace {

// Code points of the Windows-1252 bytes 0x80 to 0x9F; the five unassigned bytes keep their C1 value.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(CString& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

bool IsValidUtf8(const char* text, int length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
        const unsigned char lead = bytes[i];
        int continuation = 0;
        uint32_t codePoint = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            continuation = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            continuation = 2;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuation = 3;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= continuation; ++k) {
            if (i + k >= length || (bytes[i + k] & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (bytes[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if ((continuation == 2 && codePoint < 0x800) || (continuation == 3 && codePoint < 0x10000) ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
            return false;
        i += continuation + 1;
    }
    return true;
}

CString ToUtf8Text(const CString& text) {
    CString converted;
    return Utf8Text(text, converted) == text.c_str() ? text : converted;
}

const char* Utf8Text(const CString& text, CString& converted) {
    if (IsValidUtf8(text.c_str(), text.GetLength()))
        return text.c_str();
    converted.Empty();
    for (int i = 0; i < text.GetLength(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            converted += static_cast<char>(byte);
        else if (byte < 0xA0)
            AppendUtf8(converted, kHighControls[byte - 0x80]);
        else
            AppendUtf8(converted, byte);
    }
    return converted.c_str();
}
