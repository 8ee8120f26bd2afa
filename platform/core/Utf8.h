#pragma once

#include <string>
#include <string_view>

// Text from files other programs wrote becomes the UTF-8 that documents hold.

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// Whether the bytes are UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Windows-1252 (a superset of ISO-8859-1's printable characters) as UTF-8; the five bytes the code page
// leaves unassigned keep their C1 control value.
std::string Windows1252ToUtf8(std::string_view bytes);

// Valid UTF-8 as it is; anything else read as Windows-1252, which older programs wrote.
std::string Utf8OrWindows1252(std::string bytes);

// UTF-16 (without its byte-order mark) as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Whether the bytes are UTF-16: they start with its byte-order mark (either order) or, without
// one, the ASCII separators, qualifiers, line ends and digits near their start come with the zero
// byte of UTF-16 in one order, more often than they stand between ASCII text as in an 8-bit file.
// Letters outside Latin-1 count neither way. bigEndian tells the order.
bool IsUtf16Text(std::string_view bytes, bool& bigEndian);

// A text file's bytes with any Unicode form they declare resolved: UTF-16 (see IsUtf16Text) becomes
// UTF-8 and fromUtf16 is set; a UTF-8 byte-order mark is dropped. Other bytes come back unchanged.
std::string UnicodeTextToUtf8(std::string bytes, bool& fromUtf16);
