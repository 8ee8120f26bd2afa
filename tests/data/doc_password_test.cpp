#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"
#include "tests/support/FileStepFault.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What a separate connection with this key (none for "") can read of the document.
int PersonsReadableWith(const std::string& path, const char* key) {
    try {
        SqlDb db;
        db.Open(path.c_str());
        if (*key)
            db.Key(key, static_cast<int>(std::strlen(key)));
        return db.ExecScalar("select count(*) from Person");
    } catch (const SqlException&) {
        return -1;
    }
}

bool IsPlainSqlite(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string header(15, '\0');
    file.read(header.data(), 15);
    return header == "SQLite format 3";
}

// Every entry of the open document's catalogue, in order.
std::string Catalogue() {
    std::string entries;
    SqlQuery query = g_db.ExecQuery("select type, name, sql from sqlite_master order by type, name");
    for (; !query.Eof(); query.NextRow())
        entries += std::string(query.GetStringField(0)) + " " + query.GetStringField(1) + " " +
                   query.GetStringField(2) + "\n";
    return entries;
}

class DocPasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_db.Close();
        SetPasswordBuffer(g_openPassword, "");
        SetPasswordBuffer(g_typedPassword, "");
    }
    void TearDown() override { g_db.Close(); }

    // A new open document with two persons.
    void CreateOpen(const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = false;
        ASSERT_TRUE(g_doc.CreateDocument(path.c_str(), error));
        g_db.ExecDml("insert into Person(ID, LName) values('P1', 'Smith')");
        g_db.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    }

    // Only the document is left in the folder: no export, backup or journal.
    void ExpectOnlyTheDocument() {
        int entries = 0;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            EXPECT_EQ(entry.path().string(), path);
            ++entries;
        }
        EXPECT_EQ(entries, 1);
    }

    TempDir dir;
    std::string path = dir.File("Plans.pgr");
    ScriptedPrompt prompt;
};

TEST_F(DocPasswordTest, KeyedToAnotherKey) {
    CreateOpen("first");
    ASSERT_TRUE(g_doc.ChangePassword("second"));
    EXPECT_STREQ(g_openPassword, "second");
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    EXPECT_EQ(PersonsReadableWith(path, "second"), 2);
    EXPECT_EQ(PersonsReadableWith(path, "first"), -1);
    EXPECT_EQ(PersonsReadableWith(path, ""), -1);
    ExpectOnlyTheDocument();
}

TEST_F(DocPasswordTest, KeyedToNoneAndBack) {
    CreateOpen("first");
    ASSERT_TRUE(g_doc.ChangePassword(""));
    EXPECT_STREQ(g_openPassword, "");
    EXPECT_TRUE(IsPlainSqlite(path));
    EXPECT_EQ(PersonsReadableWith(path, ""), 2);
    EXPECT_EQ(PersonsReadableWith(path, "first"), -1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    ExpectOnlyTheDocument();

    ASSERT_TRUE(g_doc.ChangePassword("again"));
    EXPECT_STREQ(g_openPassword, "again");
    EXPECT_FALSE(IsPlainSqlite(path));
    EXPECT_EQ(PersonsReadableWith(path, "again"), 2);
    EXPECT_EQ(PersonsReadableWith(path, ""), -1);
    ExpectOnlyTheDocument();
}

TEST_F(DocPasswordTest, NoneToKeyedKeepsSchemaAndRows) {
    CreateOpen("");
    std::string schemaBefore = Catalogue();
    ASSERT_TRUE(g_doc.ChangePassword("it's \"quoted\""));
    EXPECT_STREQ(g_openPassword, "it's \"quoted\"");
    EXPECT_EQ(PersonsReadableWith(path, "it's \"quoted\""), 2);
    EXPECT_EQ(PersonsReadableWith(path, ""), -1);
    // The schema came along whole: triggers still work on the re-keyed file.
    g_db.ExecDml("update Globals set S = '2000-01-01 00:00:00'");
    g_db.ExecDml("delete from Person where ID = 'P1'");
    EXPECT_STRNE(g_db.GetTable("select S from Globals").GetStringField(0), "2000-01-01 00:00:00");
    EXPECT_EQ(Catalogue(), schemaBefore);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);
}

TEST_F(DocPasswordTest, EmptyToEmptyChangesNothing) {
    CreateOpen("");
    auto before = fs::last_write_time(path);
    ASSERT_TRUE(g_doc.ChangePassword(""));
    EXPECT_EQ(fs::last_write_time(path), before);
    EXPECT_EQ(PersonsReadableWith(path, ""), 2);
}

TEST_F(DocPasswordTest, ChangedDocumentReopensWithTheNewPassword) {
    CreateOpen("old");
    ASSERT_TRUE(g_doc.ChangePassword("new"));
    g_db.Close();
    SetPasswordBuffer(g_typedPassword, "old");
    EXPECT_FALSE(g_doc.OnOpenDocument(path.c_str()));
    SetPasswordBuffer(g_typedPassword, "new");
    EXPECT_TRUE(g_doc.OnOpenDocument(path.c_str()));
}

TEST_F(DocPasswordTest, LongPasswordIsCutBeforeTheChange) {
    CreateOpen("old");
    const char* typed = "0123456789012345678901234567890123456789";
    ASSERT_TRUE(g_doc.ChangePassword(typed));
    EXPECT_STREQ(g_openPassword, "0123456789012345678901234567890");
    EXPECT_EQ(PersonsReadableWith(path, "0123456789012345678901234567890"), 2);
}

TEST_F(DocPasswordTest, WhatAnEarlierStoppedChangeLeftIsClearedFirst) {
    CreateOpen("");
    // A change folder with a copy in it, and a copy written beside the document the earlier way.
    fs::create_directory(path + ".rekey");
    std::ofstream(path + ".rekey/copy") << "plain text";
    for (const char* password : {"new", ""}) {
        SCOPED_TRACE(password);
        ASSERT_TRUE(g_doc.ChangePassword(password));
        EXPECT_EQ(PersonsReadableWith(path, password), 2);
        ExpectOnlyTheDocument();
        std::ofstream(path + ".rekey") << "plain text";
    }
}

// Files may grow only to a few kilobytes while it lives, so the change cannot be written.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int);
};

TEST_F(DocPasswordTest, UnwritableRekeyKeepsTheOldKey) {
    CreateOpen("old");
    bool changed = true;
    {
        FileSizeLimit limit(2048);
        changed = g_doc.ChangePassword("new");
    }
    EXPECT_FALSE(changed);
    EXPECT_STREQ(g_openPassword, "old");
    EXPECT_EQ(PersonsReadableWith(path, "old"), 2);
    EXPECT_EQ(PersonsReadableWith(path, "new"), -1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    ExpectOnlyTheDocument();
}

TEST_F(DocPasswordTest, UnwritableExportKeepsThePlainFile) {
    CreateOpen("");
    bool changed = true;
    {
        FileSizeLimit limit(2048);
        changed = g_doc.ChangePassword("new");
    }
    EXPECT_FALSE(changed);
    EXPECT_STREQ(g_openPassword, "");
    EXPECT_TRUE(IsPlainSqlite(path));
    EXPECT_EQ(PersonsReadableWith(path, ""), 2);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    ExpectOnlyTheDocument();
}

TEST_F(DocPasswordTest, NothingOpenRefuses) {
    g_db.Close();
    EXPECT_FALSE(g_db.IsOpen());
    SetPasswordBuffer(g_openPassword, "");
    // g_doc may still think a document is open from an earlier test; with g_db closed it refuses.
    EXPECT_FALSE(g_doc.ChangePassword("new"));
}

// The files beside the document that carry its name: copies, backups, journals.
std::vector<std::string> LeftoversOf(const std::string& document) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(fs::path(document).parent_path())) {
        const std::string name = entry.path().string();
        if (name != document && name.rfind(document, 0) == 0)
            found.push_back(name);
    }
    return found;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::string IntegrityOf(SqlDb& db) {
    return db.GetTable("PRAGMA integrity_check").GetStringField(0);
}

struct Direction {
    const char* from;
    const char* to;
};
constexpr Direction kDirections[] = {{"", "new"}, {"old", ""}, {"old", "new"}};

} // namespace

// The change is stopped at every one of its file steps: by a failure, by an exception and by a kill.
// A failure or an exception leaves the document whole with the password the change reports and
// nothing beside it. After a kill, what is left is readable by the owner alone, the document has
// its permission bits, and the next open finds it whole with the old or the new password, every
// row there, and removes what the change left.
TEST_F(DocPasswordTest, StoppedAtEveryStepTheDocumentStaysWhole) {
    constexpr mode_t kShared = 0640;
    int run = 0;
    for (const Direction& direction : kDirections) {
        ++run;
        int steps = 0;
        {
            const std::string base = dir.File("count.pgr");
            path = base;
            CreateOpen(direction.from);
            const FileStepFault counting;
            ASSERT_TRUE(g_doc.ChangePassword(direction.to));
            steps = static_cast<int>(counting.Steps().size());
            g_db.Close();
            fs::remove(base);
        }
        for (int at = 1; at <= steps; ++at) {
            // Empty: the process is killed at the step.
            for (std::optional<FileStepFault::Action> action :
                 {std::optional(FileStepFault::Action::Fail), std::optional(FileStepFault::Action::Throw),
                  std::optional<FileStepFault::Action>()}) {
                const char* actionName = action == FileStepFault::Action::Fail    ? "fail"
                                         : action == FileStepFault::Action::Throw ? "throw"
                                                                                  : "kill";
                SCOPED_TRACE(std::string(direction.from) + " -> " + direction.to + " step " +
                             std::to_string(at) + " " + actionName);
                path =
                    dir.File("Plans" + std::to_string(run) + "-" + std::to_string(at) + actionName + ".pgr");
                CreateOpen(direction.from);
                ASSERT_EQ(chmod(path.c_str(), kShared), 0);
                if (action) {
                    bool changed = false;
                    bool thrown = false;
                    {
                        const FileStepFault fault(*action, at - 1);
                        try {
                            changed = g_doc.ChangePassword(direction.to);
                        } catch (const ThrownAtFileStep&) {
                            thrown = true;
                        }
                        ASSERT_GE(fault.Steps().size(), static_cast<size_t>(at));
                        SCOPED_TRACE(fault.Steps()[at - 1]);
                        EXPECT_EQ(thrown, action == FileStepFault::Action::Throw);
                        // A step after the rename has nothing left to undo: the change went through.
                        if (changed) {
                            EXPECT_STREQ(g_openPassword, direction.to);
                        }
                        EXPECT_TRUE(std::strcmp(g_openPassword, direction.from) == 0 ||
                                    std::strcmp(g_openPassword, direction.to) == 0);
                        EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
                        EXPECT_EQ(PersonsReadableWith(path, g_openPassword), 2);
                        EXPECT_EQ(LeftoversOf(path), std::vector<std::string>{});
                        EXPECT_EQ(ModeOf(path), kShared);
                    }
                    g_db.Close();
                    continue;
                }
                g_db.Close();
                const pid_t child = fork();
                if (child == 0) {
                    // Nothing of the test framework runs here: the child ends at the step or by _exit.
                    SetPasswordBuffer(g_typedPassword, direction.from);
                    if (!g_doc.OnOpenDocument(path.c_str()))
                        _exit(2);
                    KillAtFileStep(at - 1);
                    g_doc.ChangePassword(direction.to);
                    _exit(3);
                }
                int status = 0;
                waitpid(child, &status, 0);
                ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
                EXPECT_EQ(ModeOf(path), kShared);
                for (const std::string& leftover : LeftoversOf(path))
                    EXPECT_EQ(ModeOf(leftover) & 077, 0u) << leftover;

                SetPasswordBuffer(g_typedPassword, direction.from);
                bool opened = g_doc.OnOpenDocument(path.c_str());
                if (!opened) {
                    SetPasswordBuffer(g_typedPassword, direction.to);
                    opened = g_doc.OnOpenDocument(path.c_str());
                }
                ASSERT_TRUE(opened);
                EXPECT_EQ(IntegrityOf(g_db), "ok");
                EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
                EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);
                EXPECT_EQ(LeftoversOf(path), std::vector<std::string>{});
                g_db.Close();
            }
        }
    }
}

// A copy that cannot be removed when the change fails is emptied: no plain text stays behind.
TEST_F(DocPasswordTest, ACopyThatCannotBeRemovedIsEmptied) {
    CreateOpen("old");
    bool changed = true;
    {
        SetFileStepHookForTesting([](const char* step, const char*) {
            return std::strcmp(step, "verify") != 0 && std::strcmp(step, "delete") != 0;
        });
        changed = g_doc.ChangePassword("");
        SetFileStepHookForTesting(nullptr);
    }
    EXPECT_FALSE(changed);
    EXPECT_EQ(PersonsReadableWith(path, "old"), 2);
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.path() != path && entry.is_regular_file()) {
            EXPECT_EQ(entry.file_size(), 0u) << entry.path();
        }
    }
}

// Until the change holds the document's lock, the change folder may be another instance's, in the
// middle of its own change: a change that stops before it has the lock leaves it alone.
TEST_F(DocPasswordTest, AChangeWithoutTheLockLeavesTheFolderAlone) {
    CreateOpen("old");
    fs::create_directory(path + ".rekey");
    std::ofstream(path + ".rekey/copy") << "another change";
    bool changed = true;
    {
        SetFileStepHookForTesting(
            [](const char* step, const char*) { return std::strcmp(step, "lock") != 0; });
        changed = g_doc.ChangePassword("");
        SetFileStepHookForTesting(nullptr);
    }
    EXPECT_FALSE(changed);
    EXPECT_TRUE(fs::exists(path + ".rekey/copy"));
    EXPECT_EQ(PersonsReadableWith(path, "old"), 2);
}

TEST_F(DocPasswordTest, PermissionBitsAndOwnerAreKept) {
    int run = 0;
    for (const Direction& direction : kDirections) {
        ++run;
        for (mode_t mode : {0600, 0640, 0664}) {
            SCOPED_TRACE(std::string(direction.from) + " -> " + direction.to + " mode " +
                         std::to_string(mode));
            path = dir.File("Mode" + std::to_string(run) + "-" + std::to_string(mode) + ".pgr");
            CreateOpen(direction.from);
            ASSERT_EQ(chmod(path.c_str(), mode), 0);
            struct stat before {};
            stat(path.c_str(), &before);
            ASSERT_TRUE(g_doc.ChangePassword(direction.to));
            struct stat after {};
            stat(path.c_str(), &after);
            EXPECT_EQ(after.st_mode & 07777, mode);
            EXPECT_EQ(after.st_uid, before.st_uid);
            EXPECT_EQ(after.st_gid, before.st_gid);
            g_db.Close();
        }
    }
}

TEST_F(DocPasswordTest, ADocumentOpenedThroughALinkStaysALink) {
    fs::create_directory(dir.File("store"));
    const std::string real = dir.File("store/Real.pgr");
    const std::string link = dir.File("Plans.pgr");
    path = real;
    CreateOpen("");
    g_db.Close();
    fs::create_symlink(real, link);
    for (const char* password : {"new", "", "other"}) {
        SCOPED_TRACE(password);
        SetPasswordBuffer(g_typedPassword, g_openPassword);
        ASSERT_TRUE(g_doc.OnOpenDocument(link.c_str()));
        ASSERT_TRUE(g_doc.ChangePassword(password));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), fs::path(real));
        EXPECT_EQ(PersonsReadableWith(real, password), 2);
        EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
        g_db.Close();
    }
    EXPECT_FALSE(fs::exists(link + ".rekey"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("store")), fs::directory_iterator()), 1);
}

// Another instance writing while the change runs: it is held off until the new file has the
// document's name, and every row it was told was written is in the changed document.
TEST_F(DocPasswordTest, ASecondConnectionLosesNoCommittedWrite) {
    int run = 0;
    for (const Direction& direction : kDirections) {
        SCOPED_TRACE(std::string(direction.from) + " -> " + direction.to);
        path = dir.File("Shared" + std::to_string(++run) + ".pgr");
        CreateOpen(direction.from);
        SqlDb other;
        other.Open(path.c_str());
        if (*direction.from)
            other.Key(direction.from, static_cast<int>(std::strlen(direction.from)));
        other.SetBusyTimeout(0);
        std::vector<std::string> committed;
        int attempt = 0;
        auto write = [&]() {
            const std::string id = "B" + std::to_string(++attempt);
            try {
                other.ExecDml(("insert into Person(ID, LName) values('" + id + "', 'Other')").c_str());
                committed.push_back(id);
            } catch (const SqlException&) {
            }
        };
        write();
        bool changed = false;
        {
            SetFileStepHookForTesting([&](const char*, const char*) {
                write();
                return true;
            });
            changed = g_doc.ChangePassword(direction.to);
            SetFileStepHookForTesting(nullptr);
        }
        ASSERT_TRUE(changed);
        write();
        other.Close();
        ASSERT_FALSE(committed.empty());
        EXPECT_EQ(committed.front(), "B1");
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, direction.to);
        ASSERT_TRUE(g_doc.OnOpenDocument(path.c_str()));
        for (const std::string& id : committed)
            EXPECT_EQ(g_db.ExecScalar(("select count(*) from Person where ID = '" + id + "'").c_str()), 1)
                << id;
        EXPECT_EQ(IntegrityOf(g_db), "ok");
        g_db.Close();
    }
}

// Another process changes the password of a document large enough to take a while and is killed
// at moments spread over the change and a little beyond (through the rekey, the export and the
// swap). The document
// then opens with the old or the new password, whichever is typed first, and is whole; nothing the
// change left is readable by others, and the open removes it.
TEST_F(DocPasswordTest, KilledAtAnyMomentTheDocumentOpensWholeWithTheOldOrTheNewPassword) {
    constexpr int kPersons = 10000;
    int run = 0;
    for (const Direction& direction : kDirections) {
        ++run;
        SCOPED_TRACE(std::string(direction.from) + " -> " + direction.to);
        const std::string original = dir.File("Large" + std::to_string(run) + ".pgr");
        path = original;
        CreateOpen(direction.from);
        SqlBuffer sql;
        g_db.ExecDml(
            sql.Format("insert into Person(ID, LName, Notes) with recursive n(i) as (select 1 union all "
                       "select i + 1 from n where i < %d) select 'M' || i, 'Name ' || i, "
                       "hex(randomblob(60)) from n",
                       kPersons));
        g_db.Close();

        path = dir.File("Timed" + std::to_string(run) + ".pgr");
        fs::copy_file(original, path);
        SetPasswordBuffer(g_typedPassword, direction.from);
        ASSERT_TRUE(g_doc.OnOpenDocument(path.c_str()));
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(g_doc.ChangePassword(direction.to));
        const auto duration = std::chrono::steady_clock::now() - started;
        g_db.Close();

        for (int moment = 0; moment < 10; ++moment) {
            const auto delay = duration * moment * 3 / 20;
            SCOPED_TRACE(
                "killed after " +
                std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(delay).count()) + " us");
            path = dir.File("Killed" + std::to_string(run) + "-" + std::to_string(moment) + ".pgr");
            fs::copy_file(original, path);
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            const pid_t child = fork();
            if (child == 0) {
                // Nothing of the test framework runs here: the child ends by the kill or by _exit.
                SetPasswordBuffer(g_typedPassword, direction.from);
                if (!g_doc.OnOpenDocument(path.c_str()))
                    _exit(2);
                const char go = 1;
                if (write(ready[1], &go, 1) != 1)
                    _exit(3);
                _exit(g_doc.ChangePassword(direction.to) ? 0 : 4);
            }
            close(ready[1]);
            char go = 0;
            ASSERT_EQ(read(ready[0], &go, 1), 1);
            close(ready[0]);
            std::this_thread::sleep_for(delay);
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;

            for (const std::string& leftover : LeftoversOf(path)) {
                if (leftover != path + "-journal") {
                    EXPECT_EQ(ModeOf(leftover) & 077, 0u) << leftover;
                }
            }
            // Half the runs try the new password first.
            const bool newFirst = moment % 2 == 1;
            const char* first = newFirst ? direction.to : direction.from;
            const char* second = newFirst ? direction.from : direction.to;
            SetPasswordBuffer(g_typedPassword, first);
            bool opened = g_doc.OnOpenDocument(path.c_str());
            if (!opened) {
                SetPasswordBuffer(g_typedPassword, second);
                opened = g_doc.OnOpenDocument(path.c_str());
            }
            ASSERT_TRUE(opened);
            EXPECT_EQ(IntegrityOf(g_db), "ok");
            EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), kPersons + 2);
            EXPECT_EQ(LeftoversOf(path), std::vector<std::string>{});
            g_db.Close();
        }
    }
}
