#include "platform/core/Utf8.h"

#include <algorithm>
#include <array>
#include <string>
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

// How much of the start of a file is looked at for the NUL pattern of UTF-16.
constexpr size_t kLongestProbe = 4096;

bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

// The separators, qualifiers and line ends that delimited files and vCards are built of.
bool IsMarkup(unsigned char byte) {
    return byte != 0 &&
           std::char_traits<char>::find(",;|:\t \"'\r\n", 10, static_cast<char>(byte)) != nullptr;
}

// An ASCII byte of text as an 8-bit file holds it around its separators: printable, tab or line end.
bool IsAsciiText(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\r' || byte == '\n';
}

} // namespace

bool IsUtf16Text(std::string_view bytes, bool& bigEndian) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        bigEndian = bytes[0] == '\xFE';
        return true;
    }
    // Without a byte-order mark, the separators, qualifiers, line ends and digits tell: in UTF-16
    // each is a code unit with a zero high byte, in little-endian order (c, 0), in big-endian (0, c).
    // Letters outside Latin-1 have no zero byte and count neither way. Against that stand the
    // separators, qualifiers and line ends an 8-bit file shows between ASCII text: a stray NUL in an
    // 8-bit file does not make it UTF-16.
    const std::string_view probe = bytes.substr(0, std::min(bytes.size(), kLongestProbe) & ~size_t{1});
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(probe[i]); };
    size_t little = 0, big = 0, plain = 0;
    for (size_t i = 0; i < probe.size(); i += 2) {
        const unsigned char first = byteAt(i), second = byteAt(i + 1);
        if (second == 0 && (IsMarkup(first) || IsDigit(first)))
            ++little;
        else if (first == 0 && (IsMarkup(second) || IsDigit(second)))
            ++big;
    }
    for (size_t i = 0; i < probe.size(); ++i) {
        const bool textBefore = i == 0 || IsAsciiText(byteAt(i - 1));
        const bool textAfter = i + 1 == probe.size() || IsAsciiText(byteAt(i + 1));
        if (IsMarkup(byteAt(i)) && textBefore && textAfter)
            ++plain;
    }
    if (little > big && little > plain) {
        bigEndian = false;
        return true;
    }
    if (big > little && big > plain) {
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
