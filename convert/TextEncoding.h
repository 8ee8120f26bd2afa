#pragma once

#include "platform/core/CString.h"

// Version-1 files were written in the Windows ANSI code page, while version-2 documents hold UTF-8.
// A text that is already valid UTF-8 stays as it is; any other is read as Windows-1252 and re-encoded,
// so names such as "M\xFCller" keep their letters instead of becoming invalid bytes.
CString ToUtf8Text(const CString& text);

// The same without a copy where none is needed: the text itself when it is valid UTF-8, else its
// conversion, kept in `converted` (valid until `converted` changes).
const char* Utf8Text(const CString& text, CString& converted);
