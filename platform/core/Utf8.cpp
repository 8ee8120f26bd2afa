#include "platform/core/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Code points of the Windows-1252 bytes 0x80 to 0x9F.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t code = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            code = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            code = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            code = byte & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80)
            out += ch;
        else if (byte < 0xA0)
            AppendUtf8(out, kWindows1252High[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string Utf8OrWindows1252(std::string bytes) {
    return IsValidUtf8(bytes) ? std::move(bytes) : Windows1252ToUtf8(bytes);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF)
            code = 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

namespace {

// The bytes of the first line (up to its line feed, in either byte order) looked at for zeros.
constexpr size_t kLongestProbe = 4096;

// Whether every byte at the positions of one parity is zero and some byte at the other is not.
bool ZerosAt(std::string_view line, size_t zeroParity) {
    bool text = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const bool zero = line[i] == '\0';
        if (i % 2 == zeroParity) {
            if (!zero)
                return false;
        } else if (!zero) {
            text = true;
        }
    }
    return text;
}

} // namespace

bool IsUtf16Text(std::string_view bytes, bool& bigEndian) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        bigEndian = bytes[0] == '\xFE';
        return true;
    }
    std::string_view line = bytes.substr(0, std::min(bytes.find('\n'), kLongestProbe));
    line = line.substr(0, line.size() - line.size() % 2);
    if (line.empty())
        return false;
    if (ZerosAt(line, 1)) {
        bigEndian = false;
        return true;
    }
    if (ZerosAt(line, 0)) {
        bigEndian = true;
        return true;
    }
    return false;
}

std::string UnicodeTextToUtf8(std::string bytes, bool& fromUtf16) {
    bool bigEndian = false;
    fromUtf16 = IsUtf16Text(bytes, bigEndian);
    const std::string_view view(bytes);
    if (fromUtf16) {
        const bool marked = view.substr(0, 2) == "\xFF\xFE" || view.substr(0, 2) == "\xFE\xFF";
        return Utf16ToUtf8(view.substr(marked ? 2 : 0), bigEndian);
    }
    if (view.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.erase(0, 3);
    return bytes;
}
