#pragma once

#include "platform/core/CString.h"

#include <string>
#include <string_view>

// Splits a line of delimited text into fields, one field per call. A quote character of 0 never
// matches, so a reader without one reads every field as a plain field.
class CFieldReader {
public:
    CFieldReader() = default;
    CFieldReader(const CFieldReader&) = default;
    CFieldReader& operator=(const CFieldReader&) = default;
    virtual ~CFieldReader() = default;

    void SetQuoteChar(char quote) { m_quote = quote; }
    void SetDelimiter(char delimiter) { m_delimiter = delimiter; }
    char GetQuoteChar() const { return m_quote; }
    char GetDelimiter() const { return m_delimiter; }

    // Removes the next field from the front of line (trimmed of white space at both ends first) and
    // appends its characters to out. False, with out untouched, when the trimmed line is empty.
    //
    // The delimiter itself is not trimmed, so a tab or space delimiter still separates empty cells.
    // A plain field runs up to the next delimiter, white space before it included, and knows no quotes
    // or escapes. A quoted field ends at a quote followed by the delimiter or at the end of the line;
    // line breaks inside it belong to it (a record may span lines); two quotes read as one, a single quote is
    // dropped, and a backslash starts an escape: \a \b \f \n \r \t \v, one to three octal digits, or any
    // other character for itself. A backslash before a quote that is followed by the delimiter or a
    // line end is no escape: the backslash is the value's last character and the quote closes it
    // (RFC 4180 writers leave `"C:\Users\"` so). A NUL in the field (raw or as the escape \0) ends
    // the value: what follows it up to the field's end is consumed and dropped.
    bool NextField(CString& line, CString& out) const;
    // The same on a view of the line's remaining characters, which moves past the field instead of
    // the line being shortened: a long record splits without copying its rest once per field.
    bool NextField(std::string_view& line, std::string& out) const;

private:
    bool ReadField(std::string_view& line, std::string& out) const;
    void ReadQuotedField(std::string_view& line, std::string& out) const;
    // Whether the quote at position (after a backslash) closes the field: the delimiter or a line
    // end follows it.
    bool ClosesAfterBackslash(std::string_view line, size_t position) const;
    // How many characters that closing quote takes from the line.
    size_t ClosingLength(std::string_view line, size_t position) const;

    char m_quote = 0;
    char m_delimiter = 0;
};
