#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

// Runs body and returns the message of the SqlException it throws ("" when it throws none).
template <typename Body> std::string ThrownMessage(Body body) {
    try {
        body();
    } catch (const SqlException& error) {
        return error.errorMessage();
    }
    return "";
}

template <typename Body> int ThrownCode(Body body) {
    try {
        body();
    } catch (const SqlException& error) {
        return error.errorCode();
    }
    return -1;
}

class SqlDbTest : public ::testing::Test {
protected:
    void CreateSample(const std::string& path, const char* key) {
        SqlDb db;
        db.Open(path.c_str());
        if (key) {
            EXPECT_EQ(db.Key(key, static_cast<int>(std::strlen(key))), 0);
        }
        db.ExecDml("create table T(a integer, b text)");
        db.ExecDml("insert into T values(1, 'one')");
        db.ExecDml("insert into T values(2, NULL)");
    }

    TempDir dir;
};

TEST(SqlExceptionTest, MessageCarriesCodeNameCodeAndDetail) {
    SqlException error(1000, "Database not open");
    EXPECT_EQ(error.errorCode(), 1000);
    EXPECT_STREQ(error.errorMessage(), "SQLDB_ERROR[1000]: Database not open");
    EXPECT_STREQ(SqlException(19, "x").errorMessage(), "SQLITE_CONSTRAINT[19]: x");
    EXPECT_STREQ(SqlException(26, "file is encrypted or is not a database").errorMessage(),
                 "UNKNOWN_ERROR[26]: file is encrypted or is not a database");
}

TEST(SqlExceptionTest, AbsentDetailCountsAsEmpty) {
    const char* none = nullptr;
    EXPECT_STREQ(SqlException(1, none).errorMessage(), "SQLITE_ERROR[1]: ");
}

TEST(SqlExceptionTest, CopyKeepsCodeAndMessage) {
    SqlException original(5, "busy");
    SqlException copy(original);
    EXPECT_EQ(copy.errorCode(), 5);
    EXPECT_STREQ(copy.errorMessage(), "SQLITE_BUSY[5]: busy");
    SqlException assigned(1, "other");
    assigned = original;
    EXPECT_STREQ(assigned.errorMessage(), "SQLITE_BUSY[5]: busy");
}

TEST(SqlExceptionTest, CodeNames) {
    const std::pair<int, const char*> names[] = {
        {0, "SQLITE_OK"},        {1, "SQLITE_ERROR"},     {2, "SQLITE_INTERNAL"},  {3, "SQLITE_PERM"},
        {4, "SQLITE_ABORT"},     {5, "SQLITE_BUSY"},      {6, "SQLITE_LOCKED"},    {7, "SQLITE_NOMEM"},
        {8, "SQLITE_READONLY"},  {9, "SQLITE_INTERRUPT"}, {10, "SQLITE_IOERR"},    {11, "SQLITE_CORRUPT"},
        {12, "SQLITE_NOTFOUND"}, {13, "SQLITE_FULL"},     {14, "SQLITE_CANTOPEN"}, {15, "SQLITE_PROTOCOL"},
        {16, "SQLITE_EMPTY"},    {17, "SQLITE_SCHEMA"},   {18, "SQLITE_TOOBIG"},   {19, "SQLITE_CONSTRAINT"},
        {20, "SQLITE_MISMATCH"}, {21, "SQLITE_MISUSE"},   {22, "SQLITE_NOLFS"},    {23, "SQLITE_AUTH"},
        {24, "SQLITE_FORMAT"},   {25, "SQLITE_RANGE"},    {100, "SQLITE_ROW"},     {101, "SQLITE_DONE"},
        {1000, "SQLDB_ERROR"},   {26, "UNKNOWN_ERROR"},   {-1, "UNKNOWN_ERROR"},   {999, "UNKNOWN_ERROR"},
    };
    for (const auto& [code, name] : names)
        EXPECT_STREQ(SqlException::CodeName(code), name) << code;
}

TEST(SqlBufferTest, FormatsWithSqliteQuoting) {
    SqlBuffer sql;
    EXPECT_EQ(static_cast<const char*>(sql), nullptr);
    sql.Format("insert into T values(%d, %Q, %Q, '%q')", 7, "O'Brien", static_cast<const char*>(nullptr),
               "a'b");
    EXPECT_STREQ(sql, "insert into T values(7, 'O''Brien', NULL, 'a''b')");
    EXPECT_STREQ(sql.Format("%s", "again"), "again");
    sql.Clear();
    EXPECT_EQ(static_cast<const char*>(sql), nullptr);
}

TEST_F(SqlDbTest, UnkeyedRoundTrip) {
    std::string path = dir.File("plain.db");
    CreateSample(path, nullptr);
    SqlDb db;
    EXPECT_FALSE(db.IsOpen());
    db.Open(path.c_str());
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.ExecScalar("select count(*) from T"), 2);
    EXPECT_TRUE(db.TableExists("T"));
    EXPECT_FALSE(db.TableExists("Missing"));
    EXPECT_FALSE(db.TableExists("T' or '1'='1"));
    // A plain file is a plain SQLite file: its header is readable.
    std::ifstream file(path, std::ios::binary);
    char header[16] = {};
    file.read(header, 15);
    EXPECT_STREQ(header, "SQLite format 3");
}

TEST_F(SqlDbTest, ExecDmlReturnsChangedRowsAndLastRowId) {
    SqlDb db;
    db.Open(dir.File("changes.db").c_str());
    db.ExecDml("create table T(a integer)");
    EXPECT_EQ(db.ExecDml("insert into T values(1)"), 1);
    EXPECT_EQ(db.LastRowId(), 1);
    db.ExecDml("insert into T values(2)");
    db.ExecDml("insert into T values(3)");
    EXPECT_EQ(db.LastRowId(), 3);
    EXPECT_EQ(db.ExecDml("update T set a = a + 1 where a >= 2"), 2);
    EXPECT_EQ(db.ExecDml("delete from T"), 3);
}

TEST_F(SqlDbTest, KeyedFileNeedsItsKey) {
    std::string path = dir.File("keyed.db");
    CreateSample(path, "s3cret");

    SqlDb right;
    right.Open(path.c_str());
    EXPECT_EQ(right.Key("s3cret", 6), 0);
    EXPECT_EQ(right.ExecScalar("select count(*) from T"), 2);

    SqlDb wrong;
    wrong.Open(path.c_str());
    EXPECT_EQ(wrong.Key("other", 5), 0); // a wrong key shows only on the first statement
    EXPECT_EQ(ThrownCode([&] { wrong.GetTable("select * from T"); }), 26);
    EXPECT_EQ(ThrownMessage([&] { wrong.GetTable("select * from T"); }),
              "UNKNOWN_ERROR[26]: file is encrypted or is not a database");
    EXPECT_EQ(ThrownMessage([&] { wrong.ExecDml("update T set a = 0"); }),
              "UNKNOWN_ERROR[26]: file is encrypted or is not a database");

    SqlDb unkeyed;
    unkeyed.Open(path.c_str());
    EXPECT_EQ(ThrownCode([&] { unkeyed.ExecScalar("select count(*) from T"); }), 26);
}

TEST_F(SqlDbTest, RekeyBetweenKeys) {
    std::string path = dir.File("rekey.db");
    CreateSample(path, "first");
    {
        SqlDb db;
        db.Open(path.c_str());
        db.Key("first", 5);
        EXPECT_EQ(db.Rekey("second", 6), 0);
    }
    SqlDb db;
    db.Open(path.c_str());
    db.Key("second", 6);
    EXPECT_EQ(db.ExecScalar("select a from T where b = 'one'"), 1);
}

TEST_F(SqlDbTest, SyntaxErrorTexts) {
    SqlDb db;
    db.Open(dir.File("syntax.db").c_str());
    EXPECT_EQ(ThrownMessage([&] { db.ExecQuery("selec 1"); }), "SQLITE_ERROR[1]: ");
    EXPECT_EQ(ThrownMessage([&] { db.ExecDml("selec 1"); }), "SQLITE_ERROR[1]: near \"selec\": syntax error");
    EXPECT_EQ(ThrownMessage([&] { db.GetTable("select * from Missing"); }),
              "SQLITE_ERROR[1]: no such table: Missing");
    EXPECT_EQ(ThrownMessage([&] { db.CompileStatement("insert into Missing values(1)"); }),
              "SQLITE_ERROR[1]: ");
}

TEST_F(SqlDbTest, ConstraintFailureThrowsItsCode) {
    SqlDb db;
    db.Open(dir.File("constraint.db").c_str());
    db.ExecDml("create table T(a integer not null)");
    EXPECT_EQ(ThrownMessage([&] { db.ExecDml("insert into T values(NULL)"); }),
              "SQLITE_CONSTRAINT[19]: NOT NULL constraint failed: T.a");
}

TEST_F(SqlDbTest, ExecScalarWithoutRowThrows) {
    SqlDb db;
    db.Open(dir.File("scalar.db").c_str());
    db.ExecDml("create table T(a integer)");
    EXPECT_EQ(ThrownMessage([&] { db.ExecScalar("select a from T"); }),
              "SQLDB_ERROR[1000]: Invalid scalar query");
    db.ExecDml("insert into T values(42)");
    EXPECT_EQ(db.ExecScalar("select a from T"), 42);
    EXPECT_EQ(db.ExecScalar("select 'x'"), 0);
    EXPECT_EQ(db.ExecScalar("select NULL"), 0);
}

TEST_F(SqlDbTest, ClosedDatabaseRefusesStatements) {
    SqlDb db;
    db.Close(); // closing a database that is not open does nothing
    EXPECT_FALSE(db.IsOpen());
    const char* notOpen = "SQLDB_ERROR[1000]: Database not open";
    EXPECT_EQ(ThrownMessage([&] { db.ExecDml("select 1"); }), notOpen);
    EXPECT_EQ(ThrownMessage([&] { db.ExecQuery("select 1"); }), notOpen);
    EXPECT_EQ(ThrownMessage([&] { db.ExecScalar("select 1"); }), notOpen);
    EXPECT_EQ(ThrownMessage([&] { db.GetTable("select 1"); }), notOpen);
    EXPECT_EQ(ThrownMessage([&] { db.CompileStatement("select 1"); }), notOpen);
    db.Open(dir.File("closed.db").c_str());
    db.Close();
    db.Close();
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqlDbTest, CloseWithALiveQueryReleasesOnceTheQueryEnds) {
    std::string path = dir.File("live.db");
    CreateSample(path, nullptr);
    SqlDb db;
    db.Open(path.c_str());
    SqlQuery query = db.ExecQuery("select a from T order by a");
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(query.GetIntField(0), 1);
    query.NextRow();
    EXPECT_EQ(query.GetIntField(0), 2);
    query.Finalize();
    // The connection is gone: another one may take the file exclusively.
    SqlDb other;
    other.Open(path.c_str());
    other.SetBusyTimeout(0);
    other.ExecDml("begin exclusive");
    other.ExecDml("commit");
}

TEST_F(SqlDbTest, FailedStepAfterCloseReportsTheError) {
    SqlDb db;
    db.Open(dir.File("zombie.db").c_str());
    // The second row overflows, so its step fails after the connection was closed; finalizing that
    // last statement frees the connection.
    SqlQuery query =
        db.ExecQuery("select abs(x) from (select 1 as x union all select -9223372036854775807 - 1)");
    EXPECT_EQ(query.GetIntField(0), 1);
    db.Close();
    // A closed connection no longer tells the step's own text, only its code.
    EXPECT_EQ(ThrownCode([&] { query.NextRow(); }), 1);
    EXPECT_EQ(ThrownMessage([&] { query.Eof(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqlDbTest, OpeningAgainReleasesThePreviousConnection) {
    std::string first = dir.File("first.db");
    CreateSample(first, nullptr);
    SqlDb db;
    db.Open(first.c_str());
    db.ExecDml("begin exclusive");
    db.Open(dir.File("second.db").c_str());
    EXPECT_EQ(db.ExecScalar("select count(*) from sqlite_master"), 0);
    // The first file's lock went with its connection.
    SqlDb other;
    other.Open(first.c_str());
    other.SetBusyTimeout(0);
    EXPECT_EQ(other.ExecDml("insert into T values(3, 'three')"), 1);
}

TEST_F(SqlDbTest, OpenFailureThrowsCantOpen) {
    SqlDb db;
    EXPECT_EQ(ThrownMessage([&] { db.Open(dir.File("missing/folder/x.db").c_str()); }),
              "SQLITE_CANTOPEN[14]: unable to open database file");
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqlDbTest, EmptyQueryTextThrows) {
    SqlDb db;
    db.Open(dir.File("empty.db").c_str());
    EXPECT_EQ(ThrownMessage([&] { db.ExecQuery("  "); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqlDbTest, BusyTimeoutWaitsThenFailsWithBusy) {
    std::string path = dir.File("busy.db");
    SqlDb holder;
    holder.Open(path.c_str());
    holder.ExecDml("create table T(a)");
    holder.ExecDml("begin exclusive");
    SqlDb waiter;
    waiter.Open(path.c_str());
    waiter.SetBusyTimeout(50);
    EXPECT_EQ(ThrownCode([&] { waiter.ExecDml("insert into T values(1)"); }), 5);
    holder.ExecDml("commit");
    EXPECT_EQ(waiter.ExecDml("insert into T values(1)"), 1);
}

} // namespace
