#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool ReadableWith(const std::string& path, const char* key) {
    try {
        SqlDb db;
        db.Open(path.c_str());
        if (*key)
            db.Key(key, static_cast<int>(std::strlen(key)));
        return db.ExecScalar("select count(*) from PhGroup") == 3;
    } catch (const SqlException&) {
        return false;
    }
}

class DocCreateTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, "");
        SetPasswordBuffer(g_openPassword, "");
    }
    void TearDown() override { g_db.Close(); }

    TempDir dir;
    ScriptedPrompt prompt;
};

TEST_F(DocCreateTest, ExtensionIsAppendedUnlessExactlyPgr) {
    const std::pair<const char*, const char*> cases[] = {
        {"Plans", "Plans.pgr"},
        {"Plans.PGR", "Plans.PGR.pgr"},
        {"Other.pgr", "Other.pgr"},
        {"My.Plans", "My.Plans.pgr"},
    };
    for (const auto& [typed, created] : cases) {
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(dir.File(typed).c_str(), error)) << typed;
        EXPECT_FALSE(error);
        EXPECT_TRUE(fs::exists(dir.File(created))) << created;
        EXPECT_EQ(g_dbPath, CString(dir.File(created)));
        EXPECT_STREQ(g_doc.GetPathName(), dir.File(created).c_str());
    }
    EXPECT_FALSE(fs::exists(dir.File("Plans")));
    EXPECT_EQ(prompt.Calls().size(), 0u);
}

TEST_F(DocCreateTest, NewDocumentIsOpenAndKeyed) {
    SetPasswordBuffer(g_typedPassword, "pass word");
    bool error = true;
    ASSERT_TRUE(g_doc.CreateDocument(dir.File("Keyed").c_str(), error));
    EXPECT_TRUE(g_doc.IsOpen());
    EXPECT_STREQ(g_openPassword, "pass word");
    EXPECT_STREQ(g_typedPassword, "");
    EXPECT_EQ(g_doc.m_schemaVersion, 20);
    EXPECT_TRUE(g_doc.m_created.IsValid());
    EXPECT_EQ(g_doc.m_created, g_doc.m_saved);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);

    std::string path = dir.File("Keyed.pgr");
    EXPECT_TRUE(ReadableWith(path, "pass word"));
    EXPECT_FALSE(ReadableWith(path, ""));
    EXPECT_FALSE(ReadableWith(path, "pass"));
    EXPECT_NE(Read(path).substr(0, 15), "SQLite format 3");
}

TEST_F(DocCreateTest, UnkeyedDocumentIsPlainSqlite) {
    bool error = true;
    ASSERT_TRUE(g_doc.CreateDocument(dir.File("Plain").c_str(), error));
    std::string path = dir.File("Plain.pgr");
    EXPECT_TRUE(ReadableWith(path, ""));
    EXPECT_EQ(Read(path).substr(0, 15), "SQLite format 3");
}

TEST_F(DocCreateTest, OverwriteQuestionNamesTheFinalPath) {
    std::string existing = dir.File("Plans.pgr");
    std::ofstream(existing) << "keep me";
    prompt.AnswerMessageBox(IDNO);
    bool error = true;
    EXPECT_FALSE(g_doc.CreateDocument(dir.File("Plans").c_str(), error));
    EXPECT_FALSE(error);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
    EXPECT_EQ(box.text, CString(existing + " already exists. Do you want to overwrite it?"));
    EXPECT_EQ(box.caption, CString("File Exists"));
    EXPECT_EQ(box.flags, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(Read(existing), "keep me");
}

TEST_F(DocCreateTest, OverwriteYesReplacesTheFile) {
    std::string existing = dir.File("Plans.pgr");
    std::ofstream(existing) << "old contents";
    prompt.AnswerMessageBox(IDYES);
    bool error = true;
    ASSERT_TRUE(g_doc.CreateDocument(existing.c_str(), error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(ReadableWith(existing, ""));
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
}

TEST_F(DocCreateTest, FileNewTakesPathAndPasswordFromTheDialog) {
    prompt.AnswerCreateDb(dir.File("FromDialog").c_str(), "pw", "pw");
    bool error = true;
    ASSERT_TRUE(g_doc.OnFileNew(error));
    EXPECT_FALSE(error);
    ASSERT_EQ(prompt.Calls().size(), 1u);
    EXPECT_EQ(prompt.Calls()[0].kind, ScriptedPrompt::Kind::CreateDbDialog);
    EXPECT_TRUE(prompt.Calls()[0].createDb.createMode);
    EXPECT_TRUE(ReadableWith(dir.File("FromDialog.pgr"), "pw"));
    EXPECT_STREQ(g_openPassword, "pw");
}

TEST_F(DocCreateTest, FileNewCancelledDoesNothing) {
    prompt.CancelCreateDb();
    bool error = true;
    EXPECT_FALSE(g_doc.OnFileNew(error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(DocCreateTest, PasswordIsCutAt31Characters) {
    prompt.AnswerCreateDb(dir.File("Long").c_str(), "0123456789012345678901234567890123456789");
    bool error = true;
    ASSERT_TRUE(g_doc.OnFileNew(error));
    EXPECT_STREQ(g_openPassword, "0123456789012345678901234567890");
    EXPECT_TRUE(ReadableWith(dir.File("Long.pgr"), "0123456789012345678901234567890"));
}

TEST_F(DocCreateTest, FailureToOpenReportsAndLeavesNoFile) {
    bool error = false;
    EXPECT_FALSE(g_doc.CreateDocument(dir.File("missing/Plans").c_str(), error));
    EXPECT_TRUE(error);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, CString("Error Creating Database"));
    EXPECT_EQ(prompt.MessageBoxes()[0].text, CString("SQLITE_CANTOPEN[14]: unable to open database file"));
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_OK));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The file may grow only to a few kilobytes: the commit of the new schema cannot be written.
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

TEST_F(DocCreateTest, FailureInsideTheTransactionLeavesNoFile) {
    bool error = false;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(g_doc.CreateDocument(dir.File("Full").c_str(), error));
    }
    EXPECT_TRUE(error);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, CString("Error Creating Database"));
    EXPECT_EQ(prompt.MessageBoxes()[0].text, CString("SQLITE_IOERR[10]: disk I/O error"))
        << prompt.MessageBoxes()[0].text.c_str();
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(DocCreateTest, FailureOverAnExistingDatabaseLeavesNoFile) {
    // The user agreed to overwrite, but the name is a folder that cannot be deleted or opened.
    fs::create_directory(dir.File("Folder.pgr"));
    prompt.AnswerMessageBox(IDYES);
    bool error = false;
    EXPECT_FALSE(g_doc.CreateDocument(dir.File("Folder").c_str(), error));
    EXPECT_TRUE(error);
    ASSERT_EQ(prompt.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompt.MessageBoxes()[1].caption, CString("Error Creating Database"));
    EXPECT_TRUE(fs::is_directory(dir.File("Folder.pgr")));
}

TEST_F(DocCreateTest, FailedOverwriteOfTheOpenDocumentLeavesNoneOpen) {
    bool error = false;
    ASSERT_TRUE(g_doc.CreateDocument(dir.File("Plans").c_str(), error));
    prompt.AnswerMessageBox(IDYES);
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(g_doc.CreateDocument(dir.File("Plans").c_str(), error));
    }
    EXPECT_TRUE(error);
    EXPECT_FALSE(fs::exists(dir.File("Plans.pgr")));
    // Nothing may be written into the deleted file as if it were still the document.
    EXPECT_FALSE(g_doc.IsOpen());
    EXPECT_FALSE(g_db.IsOpen());
}

TEST_F(DocCreateTest, FailedCreateKeepsThePreviousDocumentOpen) {
    bool error = false;
    ASSERT_TRUE(g_doc.CreateDocument(dir.File("First").c_str(), error));
    EXPECT_FALSE(g_doc.CreateDocument(dir.File("missing/Second").c_str(), error));
    EXPECT_TRUE(g_doc.IsOpen());
    EXPECT_EQ(g_dbPath, CString(dir.File("First.pgr")));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup"), 3);
}

} // namespace
