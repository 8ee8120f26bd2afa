#include "data/DocLeftovers.h"

#include "platform/core/FileOps.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Empties a regular file in place (a link is not followed): the last resort for a plain-text copy
// that cannot be removed.
void EmptyFile(const char* path) {
    const int fd = open(path, O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        close(fd);
}

bool IsRegularFile(const char* path) {
    struct stat info {};
    return lstat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Removes one file; a regular file that stays is emptied. True when it is gone.
bool RemoveFile(const char* path) {
    struct stat info {};
    if (lstat(path, &info) != 0)
        return true;
    if (DeleteFileA(path))
        return true;
    if (S_ISREG(info.st_mode))
        EmptyFile(path);
    return false;
}

// SQLite's names: a database's rollback journal is its path + "-journal", and a master journal of a
// commit over several files is the main database's path + "-mj" and random hex digits.
constexpr const char kJournalSuffix[] = "-journal";

std::vector<std::string> JournalsNamedIn(const fs::path& masterJournal) {
    std::ifstream file(masterJournal, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> names;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\0', start);
        if (end == std::string::npos)
            end = content.size();
        if (end > start)
            names.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Whether another process holds the write lock of the database file. The probe is on the byte that
// SQLite's reserved lock takes: every connection writing the file holds it until its commit ends.
// Closing a descriptor drops every lock this process holds on the file, so this is never asked of a
// file this process has locked (the document itself). A file that cannot be probed counts as locked.
bool WriteLockedElsewhere(const std::string& database) {
    constexpr off_t kReservedByte = 0x40000001;
    const int fd = open(database.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kReservedByte;
    lock.l_len = 1;
    const bool probed = fcntl(fd, F_GETLK, &lock) == 0;
    close(fd);
    return !probed || lock.l_type != F_UNLCK;
}

// A master journal lives from shortly before a commit over several files until that commit's
// decisive step, and all that time its connection holds the write lock of every database it names.
// So its commit is over when one named database is not write-locked: the document (whose write
// lock the caller holds), a missing file, or a file no other process has locked. It is still needed
// while a journal it names exists: that database's next open rolls the journal back only while the
// master journal is there (and then removes it itself). One that names nothing yet is live only for
// the moment between its creation and the writing of the names.
bool IsStaleMasterJournal(const fs::path& masterJournal, const fs::path& document) {
    const std::vector<std::string> journals = JournalsNamedIn(masterJournal);
    std::error_code error;
    if (journals.empty()) {
        const auto written = fs::last_write_time(masterJournal, error);
        return !error && fs::file_time_type::clock::now() - written > std::chrono::minutes(1);
    }
    bool commitOver = false;
    for (const std::string& journal : journals) {
        const size_t suffixLength = sizeof kJournalSuffix - 1;
        if (journal.size() <= suffixLength ||
            journal.compare(journal.size() - suffixLength, suffixLength, kJournalSuffix) != 0)
            return false;
        const std::string database = journal.substr(0, journal.size() - suffixLength);
        // The document's own journal was rolled back when the caller's connection first read it.
        if (fs::exists(database, error) && fs::equivalent(database, document, error)) {
            commitOver = true;
            continue;
        }
        if (fs::exists(fs::symlink_status(journal, error)))
            return false;
        if (!fs::exists(database, error) || !WriteLockedElsewhere(database))
            commitOver = true;
    }
    return commitOver;
}

// The master journals beside the file at path whose commits will never finish.
void RemoveStaleMasterJournals(const fs::path& path) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string prefix = path.filename().string() + "-mj";
    std::vector<fs::path> stale;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0 && name.size() > prefix.size() &&
            IsRegularFile(entry->path().c_str()) && IsStaleMasterJournal(entry->path(), path))
            stale.push_back(entry->path());
    }
    for (const fs::path& journal : stale)
        DeleteFileA(journal.c_str());
}

} // namespace

CString RealPathOf(const CString& path) {
    std::error_code error;
    const fs::path real = fs::canonical(path.c_str(), error);
    return error ? path : CString(real.string());
}

CString ChangeFolderOf(const CString& realPath) {
    return realPath + ".rekey";
}

CString ChangeCopyIn(const CString& folder) {
    return folder + "/copy";
}

bool CreateChangeFolder(const CString& folder) {
    if (!FileStep("create folder", folder))
        return false;
    if (mkdir(folder, 0700) != 0)
        return false;
    // The process's umask may only have taken bits away; the owner needs all three.
    return chmod(folder, 0700) == 0;
}

bool RemoveChangeFolder(const CString& folder) {
    struct stat info {};
    if (lstat(folder, &info) != 0)
        return true;
    if (!S_ISDIR(info.st_mode)) {
        // An earlier version wrote the copy beside the document as a file.
        const bool journalGone = RemoveFile(folder + kJournalSuffix);
        return RemoveFile(folder) && journalGone;
    }
    bool allGone = true;
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator entry(folder.c_str(), error), end; !error && entry != end;
         entry.increment(error))
        entries.push_back(entry->path());
    for (const fs::path& entry : entries) {
        if (fs::is_directory(fs::symlink_status(entry, error)))
            allGone = fs::remove_all(entry, error) != static_cast<std::uintmax_t>(-1) && !error && allGone;
        else
            allGone = RemoveFile(entry.c_str()) && allGone;
    }
    return allGone && rmdir(folder) == 0;
}

void RemoveDocumentLeftovers(const CString& path) {
    const CString realPath = RealPathOf(path);
    RemoveChangeFolder(ChangeFolderOf(realPath));
    // A change made the earliest way kept the old file under a second name.
    RemoveFile(realPath + ".rekey-old");

    // SQLite names a master journal after the main database's path as it was opened, which may be a
    // link to the real file.
    RemoveStaleMasterJournals(fs::path(path.c_str()));
    std::error_code error;
    const fs::path given = fs::absolute(path.c_str(), error);
    if (fs::path(realPath.c_str()) != given)
        RemoveStaleMasterJournals(fs::path(realPath.c_str()));
}
