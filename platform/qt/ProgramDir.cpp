#include "platform/qt/ProgramDir.h"

#include <algorithm>

CString g_programDir;

CString ProgramDirOf(const char* programPath) {
    const CString path(programPath ? programPath : "");
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    if (slash < 0)
        return CString();
    // The directory keeps its separator, which is then dropped: "/pelmo" gives "" as "C:\\x" gives "C:".
    CString directory = path.Left(slash + 1);
    if (!directory.IsEmpty() &&
        (directory[directory.GetLength() - 1] == '\\' || directory[directory.GetLength() - 1] == '/'))
        directory = directory.Left(directory.GetLength() - 1);
    return directory;
}
