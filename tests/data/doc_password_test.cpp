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

TEST_F(DocPasswordTest, RefusedExportLeavesTheOldPasswordAndFile) {
    CreateOpen("");
    // A folder where the export would go makes the change fail before the document is touched.
    fs::create_directory(path + ".rekey");
    EXPECT_FALSE(g_doc.ChangePassword("new"));
    EXPECT_STREQ(g_openPassword, "");
    EXPECT_TRUE(IsPlainSqlite(path));
    EXPECT_EQ(PersonsReadableWith(path, ""), 2);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
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

} // namespace
