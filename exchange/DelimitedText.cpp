#include "exchange/DelimitedText.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

// Windows-1252 0x80-0x9F; the five unassigned bytes map to themselves as C1 controls.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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
        // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
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

std::string FromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80)
            out += ch;
        else if (byte < 0xA0)
            AppendUtf8(out, kCp1252High[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

} // namespace

std::string DecodeDelimitedText(std::string bytes) {
    const std::string_view view(bytes);
    if (view.substr(0, 2) == "\xFF\xFE")
        return FromUtf16(view.substr(2), false);
    if (view.substr(0, 2) == "\xFE\xFF")
        return FromUtf16(view.substr(2), true);
    if (view.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.erase(0, 3);
    if (IsValidUtf8(bytes))
        return bytes;
    return FromCp1252(bytes);
}

CRecordSplitter::CRecordSplitter(std::string_view text, char quote, char delimiter)
    : m_text(text), m_quote(quote), m_delimiter(delimiter) {}

bool CRecordSplitter::Next(std::string& record) {
    record.clear();
    if (m_position >= m_text.size())
        return false;
    const size_t start = m_position;
    bool inQuotes = false;
    // A quote opens a quoted field only where a field begins (white space before it allowed).
    bool atFieldStart = true;
    size_t i = m_position;
    for (; i < m_text.size(); ++i) {
        const char ch = m_text[i];
        if (inQuotes) {
            if (ch == m_quote) {
                if (i + 1 < m_text.size() && m_text[i + 1] == m_quote)
                    ++i;
                else
                    inQuotes = false;
            } else if (ch == '\\' && i + 1 < m_text.size()) {
                // An escaped character never closes the field.
                ++i;
            }
            continue;
        }
        if (ch == '\n' || ch == '\r')
            break;
        if (m_quote != 0 && ch == m_quote && atFieldStart) {
            inQuotes = true;
            atFieldStart = false;
        } else if (ch == m_delimiter) {
            atFieldStart = true;
        } else if (ch != ' ' && ch != '\t') {
            atFieldStart = false;
        }
    }
    record.assign(m_text.substr(start, i - start));
    if (i < m_text.size() && m_text[i] == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n')
        i += 2;
    else if (i < m_text.size())
        ++i;
    m_position = i;
    return true;
}

DelimitedFileResult ReadDelimitedFile(const CString& path, std::string& text) {
    std::ifstream stream(path.c_str(), std::ios::binary);
    if (!stream.is_open())
        return DelimitedFileResult::CannotOpen;
    // The size known up front is read in one go; whatever a file that grew meanwhile (or one that
    // cannot tell its size) holds beyond it is read in blocks.
    std::string bytes;
    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg();
    stream.seekg(0, std::ios::beg);
    stream.clear();
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        stream.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<size_t>(stream.gcount()));
    }
    std::array<char, 65536> block;
    while (stream) {
        stream.read(block.data(), static_cast<std::streamsize>(block.size()));
        bytes.append(block.data(), static_cast<size_t>(stream.gcount()));
    }
    if (stream.bad())
        return DelimitedFileResult::ReadError;
    text = DecodeDelimitedText(std::move(bytes));
    return DelimitedFileResult::Ok;
}

DelimitedFileResult ReadDelimitedFirstLine(const CString& path, CString& line) {
    std::ifstream stream(path.c_str(), std::ios::binary);
    if (!stream.is_open())
        return DelimitedFileResult::CannotOpen;
    // Enough bytes for 2047 characters in any of the encodings read.
    std::string bytes(2047 * 4 + 4, '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (stream.bad())
        return DelimitedFileResult::ReadError;
    bytes.resize(static_cast<size_t>(stream.gcount()));
    // The first line alone decides how it reads, not a character cut in two at the end of the chunk.
    const bool utf16 = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
    const size_t lineEnd = bytes.find_first_of("\r\n");
    if (!utf16 && lineEnd != std::string::npos)
        bytes.resize(lineEnd);
    std::string text = DecodeDelimitedText(std::move(bytes));
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    // At most 2047 characters, never cutting a character in two.
    size_t characters = 0, cut = 0;
    while (cut < text.size() && characters < 2047) {
        ++cut;
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            ++cut;
        ++characters;
    }
    text.resize(cut);
    line = CString(text);
    return DelimitedFileResult::Ok;
}
