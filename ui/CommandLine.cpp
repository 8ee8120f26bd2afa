#include "ui/CommandLine.h"

#include <cctype>

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool IsOctal(char ch) {
    return ch >= '0' && ch <= '7';
}

char EscapedChar(char e) {
    switch (e) {
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'n':
        return 10;
    case 'r':
        return 13;
    case 't':
        return 9;
    case 'v':
        return 11;
    default:
        return e;
    }
}

} // namespace

bool NextCommandLineField(CString& line, CString& out, char quote, char delimiter) {
    line.Trim(" \t\n\v\f\r");
    if (line.IsEmpty())
        return false;
    const std::string& text = line.str();
    const size_t length = text.size();
    auto at = [&](size_t pos) { return pos < length ? text[pos] : '\0'; };

    if (text[0] == delimiter) {
        line = line.Mid(1);
        return true;
    }
    if (quote == '\0' || text[0] != quote) {
        const size_t end = delimiter == '\0' ? std::string::npos : text.find(delimiter);
        if (end == std::string::npos) {
            out += line;
            line.Empty();
        } else {
            out += CString(text.substr(0, end));
            line = CString(text.substr(end + 1));
        }
        return true;
    }

    size_t pos = 1;
    char c = at(pos++);
    while (true) {
        // pos is the position after c: c was the last character (or past the end), so the field ends
        // without it.
        if (pos >= length)
            break;
        if (c == '\n' || c == '\r')
            break;
        if (c == quote) {
            c = at(pos++);
            if (c == quote) {
                out += quote;
                c = at(pos++);
                continue;
            }
            // Past the end of the line this reads NUL, which is the command line's delimiter.
            if (c == delimiter)
                break;
            // A single quote character inside a field is dropped; c goes on as the next character.
        }
        if (c == '\\') {
            const char e = at(pos++);
            if (IsOctal(e)) {
                int value = e - '0';
                int digits = 1;
                char next = at(pos++);
                while (digits < 3 && IsOctal(next)) {
                    value = value * 8 + (next - '0');
                    ++digits;
                    next = at(pos++);
                }
                out += static_cast<char>(value % 256);
                c = next;
                continue;
            }
            c = EscapedChar(e);
        }
        out += c;
        c = at(pos++);
    }
    line = pos < length ? CString(text.substr(pos)) : CString();
    return true;
}

bool IsSwitchField(const CString& field) {
    return field.GetLength() >= 3 && field[0] == '/' && std::isalpha(static_cast<unsigned char>(field[1])) &&
           IsBlank(field[2]);
}
