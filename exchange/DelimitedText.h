#pragma once

#include "platform/core/CString.h"

#include <string>
#include <string_view>

// The text of a delimited file as the imports read it.

// The file's bytes as UTF-8: a UTF-8 byte-order mark is dropped, UTF-16 with its byte-order mark
// (either byte order) is converted, and text that is not valid UTF-8 is read as Windows-1252.
std::string DecodeDelimitedText(std::string bytes);

// Cuts decoded text into records. A record ends at CR LF, LF or a lone CR, except inside a field that
// opens with the quote character: there line ends belong to the field, up to its closing quote.
class CRecordSplitter {
public:
    CRecordSplitter(std::string_view text, char quote, char delimiter);
    // The next record without its line end; false when the text is used up.
    bool Next(std::string& record);

private:
    std::string_view m_text;
    size_t m_position = 0;
    char m_quote;
    char m_delimiter;
};

// How reading a delimited file went.
enum class DelimitedFileResult { Ok, CannotOpen, ReadError };

// Reads the whole file at path; text is its decoded content.
DelimitedFileResult ReadDelimitedFile(const CString& path, std::string& text);

// The file's first line (at most 2047 characters), decoded.
DelimitedFileResult ReadDelimitedFirstLine(const CString& path, CString& line);
