#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

int PersonsIn(const std::string& path, const char* key) {
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

class DocFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_db.Close();
        SetPasswordBuffer(g_openPassword, "");
        SetPasswordBuffer(g_typedPassword, "");
    }
    void TearDown() override { g_db.Close(); }

    void CreateOpen(const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = false;
        ASSERT_TRUE(g_doc.CreateDocument(path.c_str(), error));
        g_db.ExecDml("insert into Person(ID, LName) values('P1', 'Smith')");
    }

    TempDir dir;
    std::string path = dir.File("Plans.pgr");
    ScriptedPrompt prompt;
};

TEST_F(DocFileTest, SaveCopyAsWorksOnTheCopyAfterwards) {
    CreateOpen("key");
    std::string copy = dir.File("Copy.pgr");
    prompt.AnswerFileDialog(copy.c_str());
    bool error = true;
    ASSERT_TRUE(g_doc.SaveCopyAs(error));
    EXPECT_FALSE(error);

    ASSERT_EQ(prompt.Calls().size(), 1u);
    const FileDialogRequest& request = prompt.Calls()[0].fileDialog;
    EXPECT_EQ(prompt.Calls()[0].kind, ScriptedPrompt::Kind::SaveFileDialog);
    EXPECT_EQ(request.fileName, CString(path));
    EXPECT_EQ(request.defaultExt, CString("pgr"));
    EXPECT_EQ(request.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].first, CString("Pelmora Files (*.pgr)"));
    EXPECT_EQ(request.filters[0].second, CString("*.pgr"));
    EXPECT_EQ(request.filters[1].first, CString("All Files (*.*)"));

    EXPECT_EQ(g_doc.GetTitle(), CString(copy));
    EXPECT_EQ(g_dbPath, CString(copy));
    g_db.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    EXPECT_EQ(PersonsIn(copy, "key"), 2);
    EXPECT_EQ(PersonsIn(path, "key"), 1);
}

TEST_F(DocFileTest, SaveCopyAsFailureStaysOnTheOriginal) {
    CreateOpen("");
    prompt.AnswerFileDialog(dir.File("missing/Copy.pgr").c_str());
    bool error = false;
    EXPECT_FALSE(g_doc.SaveCopyAs(error));
    EXPECT_TRUE(error);
    EXPECT_EQ(g_dbPath, CString(path));
    EXPECT_STREQ(g_doc.GetPathName(), path.c_str());
    g_db.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    EXPECT_EQ(PersonsIn(path, ""), 2);
}

TEST_F(DocFileTest, SaveCopyAsCancelled) {
    CreateOpen("");
    prompt.CancelFileDialog();
    bool error = true;
    EXPECT_FALSE(g_doc.OnFileSaveAs(error));
    EXPECT_FALSE(error);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 1);
}

TEST_F(DocFileTest, BackupLeavesTwoValidFiles) {
    CreateOpen("secret");
    std::string backup = dir.File("Backup.pgr");
    ASSERT_TRUE(g_doc.Backup(backup.c_str()));
    EXPECT_EQ(PersonsIn(backup, "secret"), 1);
    EXPECT_EQ(PersonsIn(backup, ""), -1);
    // The transaction was committed: the document is writable again and the backup stays as taken.
    g_db.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    EXPECT_EQ(PersonsIn(path, "secret"), 2);
    EXPECT_EQ(PersonsIn(backup, "secret"), 1);
    EXPECT_EQ(g_dbPath, CString(path));
}

TEST_F(DocFileTest, BackupFailures) {
    CreateOpen("");
    EXPECT_FALSE(g_doc.Backup(dir.File("missing/Backup.pgr").c_str()));
    EXPECT_FALSE(g_doc.Backup(path.c_str()));
    g_db.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    EXPECT_EQ(PersonsIn(path, ""), 2);
}

TEST_F(DocFileTest, BackupIsRefusedWhileAnotherConnectionWrites) {
    CreateOpen("");
    SqlDb writer;
    writer.Open(path.c_str());
    writer.ExecDml("begin exclusive");
    writer.ExecDml("insert into Person(ID, LName) values('P2', 'Jones')");
    g_db.SetBusyTimeout(50);
    EXPECT_FALSE(g_doc.Backup(dir.File("Backup.pgr").c_str()));
    g_db.SetBusyTimeout(SqlDb::kDefaultBusyTimeoutMs);
    writer.ExecDml("commit");
    EXPECT_FALSE(fs::exists(dir.File("Backup.pgr")));
    ASSERT_TRUE(g_doc.Backup(dir.File("Backup.pgr").c_str()));
    EXPECT_EQ(PersonsIn(dir.File("Backup.pgr"), ""), 2);
}

TEST_F(DocFileTest, CompactShrinksAfterDeletes) {
    CreateOpen("");
    g_db.ExecDml("begin exclusive");
    for (int i = 0; i < 1000; ++i) {
        SqlBuffer sql;
        sql.Format("insert into Person(ID, Notes) values('X%d', '%s')", i, std::string(500, 'n').c_str());
        g_db.ExecDml(sql);
    }
    g_db.ExecDml("commit");
    g_db.ExecDml("delete from Person where ID like 'X%'");
    auto before = fs::file_size(path);
    ASSERT_TRUE(g_doc.Compact());
    EXPECT_LT(fs::file_size(path), before / 4);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 1);
    EXPECT_EQ(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
}

TEST_F(DocFileTest, CompactFailsInsideATransaction) {
    CreateOpen("");
    g_db.ExecDml("begin");
    EXPECT_FALSE(g_doc.Compact());
    // The failed vacuum rolled the open transaction back.
    g_db.ExecDml("begin");
    g_db.ExecDml("commit");
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
}

} // namespace
