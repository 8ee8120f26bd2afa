#pragma once

#include "platform/core/CString.h"

// The directory that holds the program file, without a trailing separator; every help address
// starts with it. Set once at start-up.
extern CString g_programDir;

// The directory part of a program path: everything before the last separator ('/' or '\\'), with
// one trailing separator dropped ("/usr/bin/pelmo" -> "/usr/bin", "C:\\pelmo.exe" -> "C:").
CString ProgramDirOf(const char* programPath);
