#pragma once

#include "platform/core/CString.h"

// Length of an ID made by NewGuidString, without the terminator.
inline constexpr int kGuidStringLength = 31;

// Makes a new record ID: a fresh GUID written as "%08lX-%04X-%04X-%02X%02X%02X%02X%02X%02X" (the
// first 32-bit part, the two 16-bit parts and the first six of the eight final bytes), 31 upper-case
// hexadecimal characters in groups of 8, 4, 4 and 12. The buffer must hold at least 32 bytes.
// Returns false, leaving the buffer untouched, when no GUID could be made.
bool NewGuidString(char* buffer);

// The same into a text; the text is left untouched on failure.
bool NewGuidString(CString& id);

// Appends the first length characters of source to target with the five XML specials escaped.
void XmlEscapeAppend(CString& target, const char* source, int length);
