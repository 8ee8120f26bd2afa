#pragma once

#include <cstdint>
#include <functional>

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

// Creates a new, empty file readable and writable by its owner only; fails when the name exists.
bool CreatePrivateFile(const char* path);

// The owner and permission bits of a file.
struct FileAccess {
    uint32_t owner = 0;
    uint32_t group = 0;
    uint32_t mode = 0;
};
bool GetFileAccess(const char* path, FileAccess& access);
// Gives path that owner and group; fails when they cannot be given.
bool SetFileOwner(const char* path, const FileAccess& access);
// Gives path those permission bits.
bool SetFileMode(const char* path, const FileAccess& access);

// The errno of the last failing function above (0 after a success).
int GetLastFileError();

// Fault injection for tests. Every step that changes a file on disk, in the functions above and in
// the callers that compose their own file replacements (through FileStep), first asks the hook;
// false makes the step fail as the system would (EIO), and a hook may throw to stop the caller in
// the middle, as a crash would. No hook: every step goes ahead.
using FileStepHook = std::function<bool(const char* step, const char* path)>;
void SetFileStepHookForTesting(FileStepHook hook);
bool FileStep(const char* step, const char* path);
