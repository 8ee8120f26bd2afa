#pragma once

#include <cstdint>

// The file services the document and the conversion tool use, with the Windows names and results.
// Every write is complete on disk (file and folder synced) before a function reports success, and a
// failure never leaves a half-written target or loses a file.

constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x1u;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10u;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80u;

constexpr uint32_t REPLACEFILE_WRITE_THROUGH = 0x1u;

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_NORMAL (or READONLY when not writable) for
// anything else, INVALID_FILE_ATTRIBUTES when nothing is there.
uint32_t GetFileAttributesA(const char* path);

// Copies existing to target. With failIfExists an existing target makes it fail; otherwise the target
// is replaced. The data goes to a temporary file beside the target first, so the target is either
// untouched or the whole copy.
bool CopyFileA(const char* existing, const char* target, bool failIfExists);

// Removes a file (not a folder).
bool DeleteFileA(const char* path);

// Puts replacement in the place of replaced: afterwards the replaced name holds the replacement's
// data, the replacement name is gone and, when backup is given, the backup name holds the old data
// (an existing backup file is overwritten). On failure every file keeps or gets back its data under
// its own name. The flags are accepted for REPLACEFILE_WRITE_THROUGH; every replacement is synced.
bool ReplaceFileA(const char* replaced, const char* replacement, const char* backup,
                  uint32_t flags = REPLACEFILE_WRITE_THROUGH);

// The errno of the last failing function above (0 after a success).
int GetLastFileError();
