#include "platform/core/FileOps.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Names in the folder other than the expected ones (leftover temporary files).
int EntryCount(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

// A folder on another file system than the temp folder, where renames across cannot happen.
class OtherFileSystemDir {
public:
    OtherFileSystemDir() {
        std::string pattern = "/dev/shm/pelmora-XXXXXX";
        struct stat shm, tmp;
        if (stat("/dev/shm", &shm) == 0 && stat(fs::temp_directory_path().c_str(), &tmp) == 0 &&
            shm.st_dev != tmp.st_dev && mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~OtherFileSystemDir() {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    bool Available() const { return !m_path.empty(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

TEST(FileOpsTest, AttributesOfFilesFoldersAndNothing) {
    TempDir dir;
    std::string file = dir.File("a.txt");
    Write(file, "x");
    EXPECT_EQ(GetFileAttributesA(file.c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA(dir.path().c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA(dir.File("missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastFileError(), ENOENT);
}

TEST(FileOpsTest, CopyCreatesAndOverwrites) {
    TempDir dir;
    std::string source = dir.File("source.pgr");
    std::string target = dir.File("target.pgr");
    Write(source, std::string(200000, 'a') + "end");
    ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), false));
    EXPECT_EQ(Read(target), Read(source));

    Write(source, "second");
    ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), false));
    EXPECT_EQ(Read(target), "second");
    EXPECT_EQ(EntryCount(dir.path()), 2);
}

TEST(FileOpsTest, CopyKeepsTheSourceMode) {
    TempDir dir;
    std::string source = dir.File("source");
    Write(source, "x");
    chmod(source.c_str(), 0600);
    ASSERT_TRUE(CopyFileA(source.c_str(), dir.File("copy").c_str(), false));
    struct stat info;
    ASSERT_EQ(stat(dir.File("copy").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(FileOpsTest, CopyOntoItselfKeepsTheData) {
    TempDir dir;
    std::string file = dir.File("same");
    Write(file, "data");
    EXPECT_TRUE(CopyFileA(file.c_str(), file.c_str(), false));
    EXPECT_EQ(Read(file), "data");
}

TEST(FileOpsTest, CopyFailIfExistsLeavesTargetAlone) {
    TempDir dir;
    std::string source = dir.File("source");
    std::string target = dir.File("target");
    Write(source, "new");
    Write(target, "old");
    EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), true));
    EXPECT_EQ(GetLastFileError(), EEXIST);
    EXPECT_EQ(Read(target), "old");
    EXPECT_TRUE(CopyFileA(source.c_str(), dir.File("fresh").c_str(), true));
    EXPECT_EQ(Read(dir.File("fresh")), "new");
    EXPECT_EQ(EntryCount(dir.path()), 3);
}

TEST(FileOpsTest, FailedCopiesLeaveNothingBehind) {
    TempDir dir;
    std::string source = dir.File("source");
    Write(source, "data");
    // Missing source.
    EXPECT_FALSE(CopyFileA(dir.File("missing").c_str(), dir.File("target").c_str(), false));
    EXPECT_EQ(GetLastFileError(), ENOENT);
    // A folder as source.
    EXPECT_FALSE(CopyFileA(dir.path().c_str(), dir.File("target").c_str(), false));
    EXPECT_EQ(GetLastFileError(), EISDIR);
    // A missing target folder.
    EXPECT_FALSE(CopyFileA(source.c_str(), dir.File("no/such/target").c_str(), false));
    // A folder in the target's place: the copy cannot take its name, and the folder stays.
    fs::create_directory(dir.File("folder"));
    EXPECT_FALSE(CopyFileA(source.c_str(), dir.File("folder").c_str(), false));
    EXPECT_TRUE(fs::is_directory(dir.File("folder")));
    EXPECT_EQ(EntryCount(dir.path()), 2);
}

TEST(FileOpsTest, DeleteRemovesFilesOnly) {
    TempDir dir;
    std::string file = dir.File("file");
    Write(file, "x");
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(GetLastFileError(), ENOENT);
    EXPECT_FALSE(DeleteFileA(dir.path().c_str()));
    EXPECT_TRUE(fs::is_directory(dir.path()));
}

TEST(FileOpsTest, ReplaceKeepsTheOldFileUnderTheBackupName) {
    TempDir dir;
    std::string replaced = dir.File("Plans.pgr");
    std::string replacement = dir.File("Plans.new");
    std::string backup = dir.File("Plans.pgr.ver1");
    Write(replaced, "version 1");
    Write(replacement, "version 2");
    ASSERT_TRUE(
        ReplaceFileA(replaced.c_str(), replacement.c_str(), backup.c_str(), REPLACEFILE_WRITE_THROUGH));
    EXPECT_EQ(Read(replaced), "version 2");
    EXPECT_EQ(Read(backup), "version 1");
    EXPECT_FALSE(fs::exists(replacement));
    EXPECT_EQ(EntryCount(dir.path()), 2);
}

TEST(FileOpsTest, ReplaceOverwritesAnOldBackup) {
    TempDir dir;
    std::string replaced = dir.File("doc");
    std::string replacement = dir.File("doc.new");
    std::string backup = dir.File("doc.bak");
    Write(replaced, "current");
    Write(replacement, "next");
    Write(backup, "stale");
    ASSERT_TRUE(ReplaceFileA(replaced.c_str(), replacement.c_str(), backup.c_str()));
    EXPECT_EQ(Read(replaced), "next");
    EXPECT_EQ(Read(backup), "current");
}

TEST(FileOpsTest, ReplaceWithoutBackupDropsTheOldData) {
    TempDir dir;
    std::string replaced = dir.File("doc");
    std::string replacement = dir.File("doc.new");
    Write(replaced, "current");
    Write(replacement, "next");
    ASSERT_TRUE(ReplaceFileA(replaced.c_str(), replacement.c_str(), nullptr));
    EXPECT_EQ(Read(replaced), "next");
    EXPECT_EQ(EntryCount(dir.path()), 1);
}

TEST(FileOpsTest, ReplaceWithAMissingFileChangesNothing) {
    TempDir dir;
    std::string replaced = dir.File("doc");
    std::string backup = dir.File("doc.bak");
    Write(replaced, "current");
    EXPECT_FALSE(ReplaceFileA(replaced.c_str(), dir.File("missing").c_str(), backup.c_str()));
    EXPECT_EQ(Read(replaced), "current");
    EXPECT_FALSE(fs::exists(backup));

    std::string replacement = dir.File("doc.new");
    Write(replacement, "next");
    EXPECT_FALSE(ReplaceFileA(dir.File("gone").c_str(), replacement.c_str(), backup.c_str()));
    EXPECT_EQ(Read(replacement), "next");
    EXPECT_FALSE(fs::exists(dir.File("gone")));
}

TEST(FileOpsTest, ReplacementOnAnotherFileSystemFailsWithoutLosingAFile) {
    TempDir dir;
    OtherFileSystemDir other;
    if (!other.Available())
        GTEST_SKIP() << "no second file system";
    std::string replaced = dir.File("doc");
    std::string replacement = other.File("doc.new");
    std::string backup = dir.File("doc.bak");
    Write(replaced, "current");
    Write(replacement, "next");
    EXPECT_FALSE(ReplaceFileA(replaced.c_str(), replacement.c_str(), backup.c_str()));
    EXPECT_EQ(GetLastFileError(), EXDEV);
    EXPECT_EQ(Read(replaced), "current");
    EXPECT_EQ(Read(replacement), "next");
}

TEST(FileOpsTest, BackupOnAnotherFileSystemFailsWithoutLosingAFile) {
    TempDir dir;
    OtherFileSystemDir other;
    if (!other.Available())
        GTEST_SKIP() << "no second file system";
    std::string replaced = dir.File("doc");
    std::string replacement = dir.File("doc.new");
    std::string backup = other.File("doc.bak");
    Write(replaced, "current");
    Write(replacement, "next");
    EXPECT_FALSE(ReplaceFileA(replaced.c_str(), replacement.c_str(), backup.c_str()));
    EXPECT_EQ(Read(replaced), "current");
    EXPECT_EQ(Read(replacement), "next");
    EXPECT_FALSE(fs::exists(backup));
}

} // namespace
