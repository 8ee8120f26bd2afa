#include "exchange/FieldReader.h"

#include <algorithm>
#include <string>

namespace {

constexpr const char* kWhiteSpace = " \t\n\v\f\r";

bool IsOctalDigit(char ch) {
    return ch >= '0' && ch <= '7';
}

// The character a backslash followed by ch stands for (octal digits are handled by the caller).
char EscapedChar(char ch) {
    switch (ch) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return ch;
    }
}

} // namespace

bool CFieldReader::ClosesAfterBackslash(std::string_view line, size_t position) const {
    if (position >= line.size() || line[position] != m_quote)
        return false;
    const size_t after = position + 1;
    return after == line.size() || line[after] == m_delimiter || line[after] == '\r' || line[after] == '\n';
}

size_t CFieldReader::ClosingLength(std::string_view line, size_t position) const {
    // The quote, and the delimiter after it when there is one.
    return position + 1 < line.size() && line[position + 1] == m_delimiter ? 2 : 1;
}

bool CFieldReader::NextField(CString& line, CString& out) const {
    std::string_view rest(line.str());
    std::string field;
    const bool found = NextField(rest, field);
    if (found)
        out += CString(field);
    line = CString(std::string(rest));
    return found;
}

bool CFieldReader::NextField(std::string_view& line, std::string& out) const {
    const size_t start = out.size();
    if (!ReadField(line, out))
        return false;
    // A NUL ends the value, as it ends every text the document stores and the export writes; the
    // field is consumed whole all the same.
    const size_t nul = out.find('\0', start);
    if (nul != std::string::npos)
        out.resize(nul);
    return true;
}

bool CFieldReader::ReadField(std::string_view& line, std::string& out) const {
    // The delimiter is never trimmed: a tab or a space between two delimiters is an empty cell.
    auto isTrimmed = [this](char ch) {
        return ch != m_delimiter && std::char_traits<char>::find(kWhiteSpace, 6, ch) != nullptr;
    };
    while (!line.empty() && isTrimmed(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isTrimmed(line.back()))
        line.remove_suffix(1);
    if (line.empty())
        return false;

    const char first = line.front();
    if (first == m_delimiter) {
        line.remove_prefix(1);
        return true;
    }
    if (m_quote != 0 && first == m_quote) {
        ReadQuotedField(line, out);
        return true;
    }

    const size_t end = m_delimiter != 0 ? line.find(m_delimiter) : std::string_view::npos;
    if (end == std::string_view::npos) {
        out += line;
        line = {};
    } else {
        out += line.substr(0, end);
        line.remove_prefix(end + 1);
    }
    return true;
}

void CFieldReader::ReadQuotedField(std::string_view& line, std::string& out) const {
    const size_t length = line.size();
    // Reading at or beyond the end of the line yields NUL.
    auto at = [&](size_t index) { return index < length ? line[index] : '\0'; };

    // The characters that take more than appending: the quote character and the backslash.
    const char special[] = {m_quote, '\\'};
    const std::string_view specials(special, 2);

    size_t position = 1;
    char c = at(position++);
    for (;;) {
        // Ordinary characters before the next special one or the line's last character go in one
        // piece, as appending them one by one would.
        if (position < length && c != m_quote && c != '\\') {
            const size_t from = position - 1;
            const size_t to = std::min(line.find_first_of(specials, from), length - 1);
            out.append(line.substr(from, to - from));
            c = line[to];
            position = to + 1;
        }
        if (position >= length) {
            // c was the last character of the line (or lies beyond it). A closing quote ends the
            // field; any other last character is part of an unterminated field and is kept.
            if (position == length && c != m_quote)
                out += c;
            break;
        }
        if (c == m_quote) {
            c = at(position++);
            if (c == m_quote) {
                out += m_quote;
                c = at(position++);
                continue;
            }
            if (c == m_delimiter)
                break;
            // A single quote inside the field is dropped; c goes on as the next character.
        }
        if (c == '\\' && ClosesAfterBackslash(line, position)) {
            // A value that ends in a backslash (a Windows folder) before its closing quote.
            out += c;
            position += ClosingLength(line, position);
            break;
        }
        if (c == '\\') {
            const char escaped = at(position++);
            if (IsOctalDigit(escaped)) {
                int code = escaped - '0';
                int digits = 1;
                c = at(position++);
                while (digits < 3 && IsOctalDigit(c)) {
                    code = code * 8 + (c - '0');
                    ++digits;
                    c = at(position++);
                }
                // c is already the character after the run and becomes the current character.
                out += static_cast<char>(code % 256);
                continue;
            }
            c = EscapedChar(escaped);
        }
        out += c;
        c = at(position++);
    }
    line.remove_prefix(std::min(position, length));
}
