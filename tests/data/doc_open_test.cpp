#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

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

} // namespace
