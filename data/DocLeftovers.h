#pragma once

#include "platform/core/CString.h"

// What an interrupted password change or an interrupted commit over several files leaves beside a
// document, and how it is found and removed.

// The file a path leads to, symbolic links followed; the path itself when it cannot be resolved.
CString RealPathOf(const CString& path);

// The private folder (owner only) a password change writes the new copy of the document into, beside
// the document's real file: no one but the owner can reach the copy, whatever its mode.
CString ChangeFolderOf(const CString& realPath);
// The new copy inside that folder.
CString ChangeCopyIn(const CString& folder);
// Creates the change folder readable by its owner alone; fails when the name exists.
bool CreateChangeFolder(const CString& folder);
// Removes the change folder (or a copy left as a file by an earlier version) with all in it. A copy
// that cannot be removed is emptied, so no readable data stays behind. True when nothing is left.
bool RemoveChangeFolder(const CString& folder);

// Removes the leftovers of the document at path: those of a stopped password change, and master
// journals ("<path>-mj...") of a commit over several files that was stopped after making one. A
// master journal that still belongs to a live commit of another process, or that another file's
// journal may still need for its roll-back, is kept. The caller holds the document's write lock, so
// no password change and no commit writing the document is under way.
void RemoveDocumentLeftovers(const CString& path);
