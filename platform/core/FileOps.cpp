#include "platform/core/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int g_lastError = 0;
FileStepHook g_stepHook;

bool Fail(int error) {
    g_lastError = error ? error : EIO;
    return false;
}

bool Succeed() {
    g_lastError = 0;
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Makes a rename or removal in the folder durable.
bool SyncFolder(const std::string& path) {
    if (!FileStep("sync folder", path.c_str()))
        return false;
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

bool SyncFile(const char* path) {
    if (!FileStep("sync", path)) {
        errno = EIO;
        return false;
    }
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

bool IsRegularFile(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

bool WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Copies the whole source into fd; false with errno set on a read or write error.
bool CopyData(int source, int fd) {
    char buffer[65536];
    for (;;) {
        ssize_t got = read(source, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(fd, buffer, got))
            return false;
    }
}

// A new, empty, uniquely named file beside path; its name goes into tempPath.
int CreateTempBeside(const std::string& path, std::string& tempPath) {
    std::string pattern = path + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        tempPath = name.data();
    return fd;
}

} // namespace

uint32_t GetFileAttributesA(const char* path) {
    struct stat info;
    if (!path || stat(path, &info) != 0) {
        Fail(errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    Succeed();
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return access(path, W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

bool CopyFileA(const char* existing, const char* target, bool failIfExists) {
    if (!existing || !target)
        return Fail(EINVAL);
    int source = open(existing, O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return Fail(errno);
    struct stat info;
    if (fstat(source, &info) != 0) {
        int error = errno;
        close(source);
        return Fail(error);
    }
    if (!S_ISREG(info.st_mode)) {
        close(source);
        return Fail(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    if (failIfExists && access(target, F_OK) == 0) {
        close(source);
        return Fail(EEXIST);
    }

    std::string tempPath;
    int fd = CreateTempBeside(target, tempPath);
    if (fd < 0) {
        int error = errno;
        close(source);
        return Fail(error);
    }
    bool copied = CopyData(source, fd) && fchmod(fd, info.st_mode & 07777) == 0 && fsync(fd) == 0;
    int error = errno;
    close(source);
    if (close(fd) != 0 && copied) {
        copied = false;
        error = errno;
    }
    if (copied && !FileStep("copy", target)) {
        copied = false;
        error = EIO;
    }
    if (copied) {
        // link() refuses an existing name, so a target that appeared meanwhile is not overwritten.
        if (failIfExists) {
            copied = link(tempPath.c_str(), target) == 0;
            error = errno;
            unlink(tempPath.c_str());
        } else {
            copied = rename(tempPath.c_str(), target) == 0;
            error = errno;
        }
    }
    if (!copied) {
        unlink(tempPath.c_str());
        return Fail(error);
    }
    SyncFolder(target);
    return Succeed();
}

bool DeleteFileA(const char* path) {
    if (!path)
        return Fail(EINVAL);
    struct stat info;
    if (lstat(path, &info) != 0)
        return Fail(errno);
    if (S_ISDIR(info.st_mode))
        return Fail(EISDIR);
    if (!FileStep("delete", path))
        return Fail(EIO);
    if (unlink(path) != 0)
        return Fail(errno);
    SyncFolder(path);
    return Succeed();
}

bool ReplaceFileA(const char* replaced, const char* replacement, const char* backup, uint32_t) {
    if (!replaced || !replacement)
        return Fail(EINVAL);
    if (!IsRegularFile(replaced) || !IsRegularFile(replacement))
        return Fail(ENOENT);
    if (!SyncFile(replacement))
        return Fail(errno);

    bool hasBackup = backup && *backup;
    // Where the old data sits while the replacement moves in: the backup name itself, or a
    // temporary name that is removed at the end.
    std::string keptOld;
    bool keptByLink = false;
    if (hasBackup) {
        keptOld = backup;
        // A hard link keeps the old data under both names, so the replaced name is never missing.
        std::string linkPath;
        int fd = CreateTempBeside(keptOld, linkPath);
        if (fd >= 0) {
            close(fd);
            unlink(linkPath.c_str());
            if (link(replaced, linkPath.c_str()) == 0) {
                if (rename(linkPath.c_str(), backup) == 0)
                    keptByLink = true;
                else
                    unlink(linkPath.c_str());
            }
        }
        if (!keptByLink) {
            // No hard links on this file system: move the old file to the backup name instead.
            if (rename(replaced, backup) != 0)
                return Fail(errno);
        }
        SyncFolder(keptOld);
    }

    const bool stepped = FileStep("rename", replaced);
    if (!stepped || rename(replacement, replaced) != 0) {
        int error = stepped ? errno : EIO;
        if (hasBackup && !keptByLink) {
            // Put the old file back under its own name.
            rename(backup, replaced);
            SyncFolder(replaced);
        }
        return Fail(error);
    }
    SyncFolder(replaced);
    return Succeed();
}

bool CreatePrivateFile(const char* path) {
    if (!path)
        return Fail(EINVAL);
    if (!FileStep("create", path))
        return Fail(EIO);
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(errno);
    close(fd);
    return Succeed();
}

bool GetFileAccess(const char* path, FileAccess& access) {
    struct stat info;
    if (!path || stat(path, &info) != 0)
        return Fail(path ? errno : EINVAL);
    access = {info.st_uid, info.st_gid, static_cast<uint32_t>(info.st_mode & 07777)};
    return Succeed();
}

bool SetFileOwner(const char* path, const FileAccess& access) {
    struct stat info;
    if (!path || stat(path, &info) != 0)
        return Fail(path ? errno : EINVAL);
    if (!FileStep("chown", path))
        return Fail(EIO);
    if ((info.st_uid != access.owner || info.st_gid != access.group) &&
        chown(path, access.owner, access.group) != 0)
        return Fail(errno);
    return Succeed();
}

bool SetFileMode(const char* path, const FileAccess& access) {
    if (!path)
        return Fail(EINVAL);
    if (!FileStep("chmod", path))
        return Fail(EIO);
    if (chmod(path, access.mode) != 0)
        return Fail(errno);
    return Succeed();
}

void SetFileStepHookForTesting(FileStepHook hook) {
    g_stepHook = std::move(hook);
}

bool FileStep(const char* step, const char* path) {
    return !g_stepHook || g_stepHook(step, path ? path : "");
}

int GetLastFileError() {
    return g_lastError;
}
