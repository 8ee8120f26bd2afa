#include "exchange/FieldReader.h"

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

bool CFieldReader::NextField(CString& line, CString& out) const {
    // The delimiter is never trimmed: a tab or a space between two delimiters is an empty cell.
    std::string whiteSpace = kWhiteSpace;
    if (const size_t at = whiteSpace.find(m_delimiter); m_delimiter != 0 && at != std::string::npos)
        whiteSpace.erase(at, 1);
    line.Trim(whiteSpace.c_str());
    if (line.IsEmpty())
        return false;

    const char first = line[0];
    if (first == m_delimiter) {
        line.Delete(0);
        return true;
    }
    if (m_quote != 0 && first == m_quote) {
        ReadQuotedField(line, out);
        return true;
    }

    const int end = line.Find(m_delimiter);
    if (end < 0) {
        out += line;
        line.Empty();
    } else {
        out += line.Left(end);
        line = line.Mid(end + 1);
    }
    return true;
}

void CFieldReader::ReadQuotedField(CString& line, CString& out) const {
    const std::string& text = line.str();
    const size_t length = text.size();
    // Reading at or beyond the end of the line yields NUL.
    auto at = [&](size_t index) { return index < length ? text[index] : '\0'; };

    std::string field;
    size_t position = 1;
    char c = at(position++);
    for (;;) {
        if (position >= length) {
            // c was the last character of the line (or lies beyond it). A closing quote ends the
            // field; any other last character is part of an unterminated field and is kept.
            if (position == length && c != m_quote)
                field += c;
            break;
        }
        if (c == m_quote) {
            c = at(position++);
            if (c == m_quote) {
                field += m_quote;
                c = at(position++);
                continue;
            }
            if (c == m_delimiter)
                break;
            // A single quote inside the field is dropped; c goes on as the next character.
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
                field += static_cast<char>(code % 256);
                continue;
            }
            c = EscapedChar(escaped);
        }
        field += c;
        c = at(position++);
    }
    out += CString(field);
    line = position < length ? line.Mid(static_cast<int>(position)) : CString();
}
