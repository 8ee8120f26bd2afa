#pragma once

#include "platform/core/CString.h"

#include <cstdint>

// The program's string table: texts addressed by numeric resource id. Code that owns texts registers
// them at start-up; the lookups read them back.
void RegisterStringResource(uint32_t id, const char* text);
// Copies the text of `id` into buffer (at most size - 1 bytes and a terminator); returns the number of
// bytes copied without the terminator, 0 when the id is unknown (buffer then holds "").
int LoadStringResource(uint32_t id, char* buffer, int size);
// The text of `id`, or "" when unknown.
CString LoadStringResourceText(uint32_t id);
