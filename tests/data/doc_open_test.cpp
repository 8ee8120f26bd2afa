#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

class DocOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, "");
        SetPasswordBuffer(g_openPassword, "");
    }
    void TearDown() override { g_db.Close(); }

    // A new document at dir/name.pgr with the password; nothing is left open.
    std::string Create(const char* name, const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = false;
        EXPECT_TRUE(g_doc.CreateDocument(dir.File(name).c_str(), error));
        g_db.Close();
        SetPasswordBuffer(g_openPassword, "");
        return dir.File(name) + ".pgr";
    }

    bool Open(const std::string& path, const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        return g_doc.OnOpenDocument(path.c_str());
    }

    TempDir dir;
    ScriptedPrompt prompt;
};

TEST_F(DocOpenTest, RightPasswordOpens) {
    std::string path = Create("Keyed", "right");
    ASSERT_TRUE(Open(path, "right"));
    EXPECT_TRUE(g_doc.IsOpen());
    EXPECT_STREQ(g_openPassword, "right");
    EXPECT_STREQ(g_typedPassword, "");
    EXPECT_EQ(g_dbPath, CString(path));
    EXPECT_STREQ(g_doc.GetPathName(), path.c_str());
    EXPECT_EQ(g_doc.m_schemaVersion, 20);
    EXPECT_TRUE(g_doc.m_created.IsValid());
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);
    EXPECT_EQ(prompt.Calls().size(), 0u);
}

TEST_F(DocOpenTest, WrongOrEmptyPasswordKeepsThePreviousDocument) {
    std::string first = Create("First", "one");
    std::string keyed = Create("Second", "two");
    ASSERT_TRUE(Open(first, "one"));
    for (const char* attempt : {"wrong", "", "twoo", "tw"}) {
        EXPECT_FALSE(Open(keyed, attempt)) << attempt;
        EXPECT_STREQ(g_openPassword, "one");
        EXPECT_EQ(g_dbPath, CString(first));
        EXPECT_STREQ(g_doc.GetPathName(), first.c_str());
        EXPECT_TRUE(g_doc.IsOpen());
        EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);
    }
    EXPECT_EQ(prompt.Calls().size(), 0u);
}

TEST_F(DocOpenTest, UnkeyedDocumentOpensWithEmptyPasswordOnly) {
    std::string path = Create("Plain", "");
    EXPECT_FALSE(Open(path, "something"));
    ASSERT_TRUE(Open(path, ""));
    EXPECT_STREQ(g_openPassword, "");
}

TEST_F(DocOpenTest, MissingFileOrNoDatabaseFails) {
    EXPECT_FALSE(Open(dir.File("missing.pgr"), ""));
    std::string text = dir.File("text.pgr");
    std::ofstream(text) << "this is no database, just some text that is long enough to fill a header";
    EXPECT_FALSE(Open(text, ""));
    SqlDb empty;
    empty.Open(dir.File("empty.pgr").c_str());
    empty.ExecDml("create table Other(a)");
    empty.Close();
    EXPECT_FALSE(Open(dir.File("empty.pgr"), ""));
}

TEST_F(DocOpenTest, OpeningStampsGlobalsS) {
    std::string path = Create("Stamp", "");
    {
        SqlDb db;
        db.Open(path.c_str());
        db.ExecDml("update Globals set C = '2001-02-03 04:05:06', S = '2002-03-04 05:06:07'");
    }
    ASSERT_TRUE(Open(path, ""));
    EXPECT_EQ(g_doc.m_created, CDateTime(2001, 2, 3, 4, 5, 6));
    EXPECT_EQ(g_doc.m_saved, CDateTime(2002, 3, 4, 5, 6, 7));
    SqlTable globals = g_db.GetTable("select C, S from Globals");
    EXPECT_STREQ(globals.GetStringField(0), "2001-02-03 04:05:06");
    EXPECT_STRNE(globals.GetStringField(1), "2002-03-04 05:06:07");
}

TEST_F(DocOpenTest, UnreadableCreationStampStillOpens) {
    std::string path = Create("BadStamp", "");
    {
        SqlDb db;
        db.Open(path.c_str());
        db.ExecDml("update Globals set C = 'not a date'");
    }
    ASSERT_TRUE(Open(path, ""));
    EXPECT_FALSE(g_doc.m_created.IsValid());
    EXPECT_TRUE(g_doc.m_saved.IsValid());
}

TEST_F(DocOpenTest, OpeningAddsMissingIndexes) {
    std::string path = Create("Older", "key");
    {
        SqlDb db;
        db.Open(path.c_str());
        db.Key("key", 3);
        db.ExecDml("drop index PrsnGrpPrsnIdx");
        db.ExecDml("drop index PrsnGrpGrpIdx");
        db.ExecDml("drop index PrsnIdIdx");
        db.ExecDml("drop index ApptIdIdx");
        db.ExecDml("drop index TaskIdIdx");
        db.ExecDml("insert into PersonPhGroup values('P1', '04E27641-0068-11da-BBFB-9C5F0D33683A')");
    }
    ASSERT_TRUE(Open(path, "key"));
    const char* indexes =
        "select name from sqlite_master where type = 'index' and name in "
        "('PrsnIdIdx', 'PrsnGrpGrpIdx', 'PrsnGrpPrsnIdx', 'ApptIdIdx', 'TaskIdIdx') order by name";
    SqlTable table = g_db.GetTable(indexes);
    ASSERT_EQ(table.NumRows(), 5);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PersonPhGroup where PersonID = 'P1'"), 1);

    // Each lookup searches an index instead of scanning its table.
    const std::pair<const char*, const char*> plans[] = {
        {"select * from Person where ID = 'x'", "PrsnIdIdx"},
        {"select * from Appt where ID = 'x'", "ApptIdIdx"},
        {"select * from Task where ID = 'x'", "TaskIdIdx"},
        {"select PersonID from PersonPhGroup where PhGroupID = 'x'", "PrsnGrpGrpIdx"},
        {"select PhGroupID from PersonPhGroup where PersonID = 'P1'", "PrsnGrpPrsnIdx"},
        {"select count(*) from PersonPhGroup where PersonID = 'P1' and PhGroupID = 'x'", "PrsnGrpGrpIdx"}};
    for (const auto& [query, index] : plans) {
        SqlTable plan = g_db.GetTable((std::string("explain query plan ") + query).c_str());
        plan.SetRow(0);
        EXPECT_NE(CString(plan.GetStringField(3)).Find(index), -1) << query << ": " << plan.GetStringField(3);
    }

    // Opening again with the indexes in place changes nothing.
    ASSERT_TRUE(Open(path, "key"));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from sqlite_master where type = 'index'"), 9);
}

TEST_F(DocOpenTest, FileOpenRunsTheDialogInOpenMode) {
    std::string path = Create("Dialog", "secret");
    prompt.AnswerCreateDb(path.c_str(), "secret");
    bool error = true;
    ASSERT_TRUE(g_doc.OnFileOpen(error));
    EXPECT_FALSE(error);
    ASSERT_EQ(prompt.Calls().size(), 1u);
    EXPECT_FALSE(prompt.Calls()[0].createDb.createMode);
    EXPECT_STREQ(g_openPassword, "secret");

    prompt.AnswerCreateDb(path.c_str(), "wrong");
    EXPECT_FALSE(g_doc.OnFileOpen(error));
    EXPECT_TRUE(error);
    EXPECT_STREQ(g_openPassword, "secret");

    prompt.CancelCreateDb();
    EXPECT_FALSE(g_doc.OnFileOpen(error));
    EXPECT_FALSE(error);
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
}

// Another process holds a write lock on the file until told to let go, at most for `longest`: the
// child opens the file, begins an immediate transaction with one write and reports that it holds
// the lock.
class LockingProcess {
public:
    LockingProcess(const std::string& path, std::chrono::milliseconds longest) {
        int ready[2];
        int release[2];
        if (pipe(ready) != 0 || pipe(release) != 0)
            return;
        m_child = fork();
        if (m_child == 0) {
            close(ready[0]);
            close(release[1]);
            try {
                SqlDb db;
                db.Open(path.c_str());
                db.ExecDml("begin immediate");
                db.ExecDml("insert into Globals values(0, 'writer', 'writer')");
                const char held = 1;
                if (write(ready[1], &held, 1) != 1)
                    _exit(3);
                pollfd told{release[0], POLLIN, 0};
                poll(&told, 1, static_cast<int>(longest.count()));
                db.ExecDml("commit");
            } catch (const SqlException&) {
                _exit(2);
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        m_release = release[1];
        char held = 0;
        m_holding = read(ready[0], &held, 1) == 1;
        close(ready[0]);
    }
    ~LockingProcess() { Wait(); }
    LockingProcess(const LockingProcess&) = delete;
    LockingProcess& operator=(const LockingProcess&) = delete;
    bool Holding() const { return m_holding; }
    // The child's exit status once it let go of the lock and ended.
    int Wait() {
        if (m_child > 0) {
            close(m_release);
            waitpid(m_child, &m_status, 0);
            m_child = -1;
        }
        return m_status;
    }

private:
    pid_t m_child = -1;
    int m_release = -1;
    int m_status = -1;
    bool m_holding = false;
};

// A writer that started before the open's own write: the open waits for it as every statement does
// and then opens, with the writer's row in the file.
TEST_F(DocOpenTest, OpenWaitsForAnotherProcessWriting) {
    const std::string path = Create("Shared", "");
    // Not told to let go: the lock goes while the open waits for it.
    LockingProcess writer(path, std::chrono::milliseconds(1500));
    ASSERT_TRUE(writer.Holding());
    EXPECT_TRUE(Open(path, ""));
    EXPECT_EQ(g_doc.GetLastOpenFailure(), CDbDoc::OpenFailure::None);
    EXPECT_EQ(writer.Wait(), 0);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Globals where C = 'writer'"), 1);
}

TEST_F(DocOpenTest, AWrongPasswordIsToldApartFromABusyFile) {
    const std::string path = Create("Keyed", "right");
    EXPECT_FALSE(Open(path, "wrong"));
    EXPECT_EQ(g_doc.GetLastOpenFailure(), CDbDoc::OpenFailure::Unreadable);
    EXPECT_FALSE(Open(dir.File("missing.pgr"), ""));
    EXPECT_EQ(g_doc.GetLastOpenFailure(), CDbDoc::OpenFailure::Unreadable);
    EXPECT_TRUE(Open(path, "right"));
    EXPECT_EQ(g_doc.GetLastOpenFailure(), CDbDoc::OpenFailure::None);
}

// Each case makes its document as an unprivileged user, takes the write permission away and opens
// it. The result is the failure the open gave, or a number from 90 on when the case could not be
// set up.
enum class Refused { Nothing, FileWrites, FolderWrites };

int OpenWithoutWritePermission(Refused refused, const char* password, const char* typed) {
    return RunAsUnprivilegedUser([&](const std::string& folder) {
        const std::string base = folder + "/Doc";
        const std::string path = base + ".pgr";
        SetPasswordBuffer(g_typedPassword, password);
        bool error = false;
        if (!g_doc.CreateDocument(base.c_str(), error))
            return 92;
        g_db.Close();
        if (refused == Refused::FileWrites)
            chmod(path.c_str(), 0444);
        if (refused == Refused::FolderWrites)
            chmod(folder.c_str(), 0555);
        const bool writable = access((refused == Refused::FolderWrites ? folder : path).c_str(), W_OK) == 0;
        if (writable != (refused == Refused::Nothing))
            return 93;
        SetPasswordBuffer(g_typedPassword, typed);
        const bool opened = g_doc.OnOpenDocument(path.c_str());
        g_db.Close();
        if (opened != (g_doc.GetLastOpenFailure() == CDbDoc::OpenFailure::None))
            return 94;
        return static_cast<int>(g_doc.GetLastOpenFailure());
    });
}

TEST_F(DocOpenTest, ADocumentThatMayNotBeWrittenIsToldApartFromAWrongPassword) {
    const struct {
        Refused refused;
        const char* password;
        const char* typed;
        CDbDoc::OpenFailure failure;
    } cases[] = {
        {Refused::Nothing, "right", "right", CDbDoc::OpenFailure::None},
        {Refused::FileWrites, "right", "right", CDbDoc::OpenFailure::ReadOnly},
        {Refused::FileWrites, "", "", CDbDoc::OpenFailure::ReadOnly},
        {Refused::FolderWrites, "right", "right", CDbDoc::OpenFailure::ReadOnly},
        {Refused::FileWrites, "right", "wrong", CDbDoc::OpenFailure::Unreadable},
        {Refused::FileWrites, "", "typed", CDbDoc::OpenFailure::Unreadable},
        {Refused::FolderWrites, "right", "wrong", CDbDoc::OpenFailure::Unreadable},
        {Refused::Nothing, "right", "wrong", CDbDoc::OpenFailure::Unreadable},
    };
    for (const auto& item : cases)
        EXPECT_EQ(OpenWithoutWritePermission(item.refused, item.password, item.typed),
                  static_cast<int>(item.failure))
            << static_cast<int>(item.refused) << " " << item.password << "/" << item.typed;
}

// Writes a master journal beside the document naming the journals of these databases, as SQLite
// writes one for a commit over several files.
std::string WriteMasterJournal(const std::string& document, const char* suffix,
                               const std::vector<std::string>& databases) {
    const std::string journal = document + "-mj" + suffix;
    std::ofstream file(journal, std::ios::binary);
    for (const std::string& database : databases) {
        const std::string name = database + "-journal";
        file.write(name.c_str(), static_cast<std::streamsize>(name.size() + 1));
    }
    return journal;
}

// A master journal whose commit will never finish is removed at open; one whose commit another
// process still runs (it holds the write lock of every file the journal names) is kept.
TEST_F(DocOpenTest, StaleMasterJournalsAreRemovedLiveOnesKept) {
    namespace fs = std::filesystem;
    const std::string path = Create("Plans", "");
    const std::string other = Create("Other", "");
    const std::string missing = dir.File("Gone.pgr");

    const std::string namingTheDocument = WriteMasterJournal(path, "0A1B2C93D", {path, other});
    const std::string namingAMissingFile = WriteMasterJournal(path, "1A1B2C93D", {missing});
    const std::string namingAnIdleFile = WriteMasterJournal(path, "2A1B2C93D", {other});
    // Another file's journal that may point at it: that file's next open rolls it back with it.
    const std::string third = dir.File("Third.pgr");
    std::ofstream(third + "-journal") << "journal";
    const std::string stillNeeded = WriteMasterJournal(path, "6A1B2C93D", {path, third});
    const std::string emptyAndOld = WriteMasterJournal(path, "3A1B2C93D", {});
    fs::last_write_time(emptyAndOld, fs::file_time_type::clock::now() - std::chrono::hours(1));
    // Just made by a commit that has not written the names yet.
    const std::string emptyAndNew = WriteMasterJournal(path, "4A1B2C93D", {});
    ASSERT_TRUE(Open(path, ""));
    EXPECT_FALSE(fs::exists(namingTheDocument));
    EXPECT_FALSE(fs::exists(namingAMissingFile));
    EXPECT_FALSE(fs::exists(namingAnIdleFile));
    EXPECT_FALSE(fs::exists(emptyAndOld));
    EXPECT_TRUE(fs::exists(emptyAndNew));
    EXPECT_TRUE(fs::exists(stillNeeded));
    g_db.Close();
    fs::remove(emptyAndNew);

    const std::string live = WriteMasterJournal(path, "5A1B2C93D", {other});
    {
        LockingProcess committing(other, std::chrono::minutes(2));
        ASSERT_TRUE(committing.Holding());
        ASSERT_TRUE(Open(path, ""));
        EXPECT_TRUE(fs::exists(live));
        g_db.Close();
    }
    ASSERT_TRUE(Open(path, ""));
    EXPECT_FALSE(fs::exists(live));
}

} // namespace
