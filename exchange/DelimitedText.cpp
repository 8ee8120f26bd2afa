#include "exchange/DelimitedText.h"

#include "platform/core/Utf8.h"

#include <array>
#include <fstream>
#include <iterator>
#include <utility>

std::string DecodeDelimitedText(std::string bytes) {
    bool fromUtf16 = false;
    std::string text = UnicodeTextToUtf8(std::move(bytes), fromUtf16);
    return fromUtf16 ? text : Utf8OrWindows1252(std::move(text));
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
                // An escaped character never closes the field, except a quote that the delimiter
                // or a line end follows: there the backslash ends the value and the quote closes it.
                const size_t after = i + 2;
                const bool closes =
                    m_text[i + 1] == m_quote && (after == m_text.size() || m_text[after] == m_delimiter ||
                                                 m_text[after] == '\r' || m_text[after] == '\n');
                if (!closes)
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
    bool bigEndian = false;
    const bool utf16 = IsUtf16Text(bytes, bigEndian);
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
