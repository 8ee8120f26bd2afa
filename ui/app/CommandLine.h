#pragma once

#include "platform/core/CString.h"

// The delimited-text field reader (CFieldReader) as the command line uses it: quote character '"',
// delimiter NUL. Removes the next field from the front of line and appends it to out; false when the
// line is empty after trimming white space (out untouched). An unquoted line is one plain field to its
// end; a quoted field takes backslash escapes, doubled quotes, and joins text after its closing quote.
bool NextCommandLineField(CString& line, CString& out, char quote = '"', char delimiter = '\0');

// Whether a field is a switch in front of a path: '/', one letter, then white space ("/x path").
bool IsSwitchField(const CString& field);
