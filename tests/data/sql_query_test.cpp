#include "data/SqlDb.h"
#include "data/SqlException.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

template <typename Body> std::string ThrownMessage(Body body) {
    try {
        body();
    } catch (const SqlException& error) {
        return error.errorMessage();
    }
    return "";
}

class SqlQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.Open(dir.File("query.db").c_str());
        db.ExecDml("create table T(id integer, name text, score real, data blob)");
        db.ExecDml("insert into T values(1, 'one', 1.5, x'00ff')");
        db.ExecDml("insert into T values(2, NULL, NULL, NULL)");
        db.ExecDml("insert into T values(3, 'three', 3.25, x'')");
    }

    TempDir dir;
    SqlDb db;
};

TEST_F(SqlQueryTest, StepsThroughRows) {
    SqlQuery query = db.ExecQuery("select id, name from T order by id");
    ASSERT_EQ(query.NumFields(), 2);
    std::string names;
    for (; !query.Eof(); query.NextRow())
        names += std::string(query.GetStringField(1, "-")) + ",";
    EXPECT_EQ(names, "one,-,three,");
}

TEST_F(SqlQueryTest, NoRowsIsEofAtOnce) {
    SqlQuery query = db.ExecQuery("select * from T where id = 99");
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.NumFields(), 4);
}

TEST_F(SqlQueryTest, FieldAccessByNumberAndName) {
    SqlQuery query = db.ExecQuery("select * from T where id = 1");
    EXPECT_EQ(query.FieldIndex("score"), 2);
    EXPECT_STREQ(query.FieldName(1), "name");
    EXPECT_STREQ(query.FieldDeclType(2), "real");
    EXPECT_EQ(query.FieldDataType(0), 1);
    EXPECT_EQ(query.FieldDataType(1), 3);
    EXPECT_STREQ(query.FieldValue(1), "one");
    EXPECT_STREQ(query.FieldValue("name"), "one");
    EXPECT_EQ(query.GetIntField("id"), 1);
    EXPECT_DOUBLE_EQ(query.GetFloatField(2), 1.5);
    EXPECT_FALSE(query.FieldIsNull("name"));
    int length = -1;
    const unsigned char* blob = query.GetBlobField("data", length);
    ASSERT_EQ(length, 2);
    EXPECT_EQ(blob[0], 0x00);
    EXPECT_EQ(blob[1], 0xff);
}

TEST_F(SqlQueryTest, NullColumnsGiveTheDefaults) {
    SqlQuery query = db.ExecQuery("select * from T where id = 2");
    const char* fallback = "fallback";
    EXPECT_EQ(query.GetStringField(1, fallback), fallback);
    EXPECT_STREQ(query.GetStringField(1, ""), "");
    EXPECT_EQ(query.GetStringField("name", fallback), fallback);
    EXPECT_EQ(query.GetIntField(2, -7), -7);
    EXPECT_DOUBLE_EQ(query.GetFloatField("score", 9.5), 9.5);
    EXPECT_TRUE(query.FieldIsNull(1));
    EXPECT_EQ(query.FieldDataType(3), 5);
}

TEST_F(SqlQueryTest, BadFieldsThrow) {
    SqlQuery query = db.ExecQuery("select id, name from T");
    EXPECT_EQ(ThrownMessage([&] { query.FieldValue(2); }),
              "SQLDB_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(ThrownMessage([&] { query.FieldValue(-1); }),
              "SQLDB_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(ThrownMessage([&] { query.FieldValue("Name"); }),
              "SQLDB_ERROR[1000]: Invalid field name requested");
    const char* none = nullptr;
    EXPECT_EQ(ThrownMessage([&] { query.FieldIndex(none); }),
              "SQLDB_ERROR[1000]: Invalid field name requested");
}

TEST_F(SqlQueryTest, AssignmentTransfersTheStatement) {
    SqlQuery target = db.ExecQuery("select id from T where id = 3");
    SqlQuery source = db.ExecQuery("select id from T where id = 1");
    target = source;
    EXPECT_EQ(target.GetIntField(0), 1);
    EXPECT_EQ(ThrownMessage([&] { source.Eof(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    EXPECT_EQ(ThrownMessage([&] { source.NextRow(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    SqlQuery copy(target);
    EXPECT_EQ(copy.GetIntField(0), 1);
    EXPECT_EQ(ThrownMessage([&] { target.NumFields(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    // The target's old statement was finalized: the schema can change without "database is locked".
    copy.Finalize();
    db.ExecDml("drop table T");
}

TEST_F(SqlQueryTest, FinalizeReleasesAndForgets) {
    SqlQuery query = db.ExecQuery("select id from T");
    query.Finalize();
    query.Finalize();
    EXPECT_EQ(ThrownMessage([&] { query.GetIntField(0); }),
              "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqlQueryTest, FailedStepLeavesNoStatement) {
    db.ExecDml("create table U(a integer not null)");
    db.ExecDml("create trigger U_fail before insert on U begin select raise(ABORT, 'refused'); end");
    EXPECT_EQ(ThrownMessage([&] { db.ExecQuery("insert into U values(1)"); }),
              "SQLITE_CONSTRAINT[19]: refused");
    // Nothing is left open: the table can be dropped.
    db.ExecDml("drop table U");
}

TEST_F(SqlQueryTest, TableRowZeroIsTheFirstDataRow) {
    SqlTable table = db.GetTable("select id, name from T order by id");
    ASSERT_EQ(table.NumFields(), 2);
    ASSERT_EQ(table.NumRows(), 3);
    EXPECT_STREQ(table.FieldName(0), "id");
    EXPECT_STREQ(table.FieldValue(1), "one"); // row 0 before any SetRow
    table.SetRow(0);
    EXPECT_STREQ(table.FieldValue(0), "1");
    table.SetRow(2);
    EXPECT_STREQ(table.FieldValue("name"), "three");
    EXPECT_EQ(table.GetIntField("id"), 3);
    table.SetRow(1);
    EXPECT_TRUE(table.FieldIsNull(1));
    EXPECT_STREQ(table.GetStringField("name", "none"), "none");
    EXPECT_EQ(table.GetIntField(1, -3), -3);
    EXPECT_DOUBLE_EQ(table.GetFloatField(1, 0.5), 0.5);
}

TEST_F(SqlQueryTest, TableChecks) {
    SqlTable table = db.GetTable("select id, score from T order by id");
    EXPECT_EQ(ThrownMessage([&] { table.SetRow(3); }), "SQLDB_ERROR[1000]: Invalid row index requested");
    EXPECT_EQ(ThrownMessage([&] { table.SetRow(-1); }), "SQLDB_ERROR[1000]: Invalid row index requested");
    EXPECT_EQ(ThrownMessage([&] { table.FieldValue(2); }),
              "SQLDB_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(ThrownMessage([&] { table.FieldValue("nope"); }),
              "SQLDB_ERROR[1000]: Invalid field name requested");
    table.SetRow(2);
    EXPECT_DOUBLE_EQ(table.GetFloatField("score"), 3.25);

    SqlTable moved(table);
    EXPECT_EQ(moved.NumRows(), 3);
    EXPECT_EQ(ThrownMessage([&] { table.NumRows(); }), "SQLDB_ERROR[1000]: Null Results pointer");
    SqlTable other = db.GetTable("select 1");
    other = moved;
    EXPECT_EQ(other.NumFields(), 2);
    EXPECT_EQ(ThrownMessage([&] { moved.NumFields(); }), "SQLDB_ERROR[1000]: Null Results pointer");
}

TEST_F(SqlQueryTest, TableNumbersIgnoreTheNumericLocale) {
    double score = 0, padded = 0, trailing = 0;
    {
        const ScopedGermanLocale german(LC_NUMERIC);
        if (!german.Active())
            GTEST_SKIP() << "no locale with a decimal comma can be made here";
        SqlTable table = db.GetTable("select score, ' +2.5e1', '-0.125x' from T order by id");
        table.SetRow(2);
        score = table.GetFloatField(0);
        padded = table.GetFloatField(1);
        trailing = table.GetFloatField(2);
    }
    EXPECT_DOUBLE_EQ(score, 3.25);
    EXPECT_DOUBLE_EQ(padded, 25.0);
    EXPECT_DOUBLE_EQ(trailing, -0.125);
}

TEST_F(SqlQueryTest, EmptyTableHasNoRowToRead) {
    SqlTable table = db.GetTable("select id, name from T where id = 0");
    EXPECT_EQ(table.NumRows(), 0);
    EXPECT_EQ(ThrownMessage([&] { table.SetRow(0); }), "SQLDB_ERROR[1000]: Invalid row index requested");
    // SQLite hands back no column names for an empty result, so no field can be read.
    EXPECT_EQ(ThrownMessage([&] { table.FieldValue(0); }),
              "SQLDB_ERROR[1000]: Invalid field index requested");
}

TEST_F(SqlQueryTest, EmptyTableWithColumnNamesHasNoRowToRead) {
    db.ExecDml("PRAGMA empty_result_callbacks = 1");
    SqlTable table = db.GetTable("select id, name from T where id = 0");
    EXPECT_EQ(table.NumRows(), 0);
    ASSERT_EQ(table.NumFields(), 2);
    EXPECT_STREQ(table.FieldName(1), "name");
    EXPECT_EQ(ThrownMessage([&] { table.FieldValue(0); }), "SQLDB_ERROR[1000]: Invalid row index requested");
    EXPECT_EQ(ThrownMessage([&] { table.GetStringField("name"); }),
              "SQLDB_ERROR[1000]: Invalid row index requested");
}

TEST_F(SqlQueryTest, CompiledStatementBindsAndRuns) {
    SqlStatement insert = db.CompileStatement("insert into T values(?, ?, ?, ?)");
    insert.BindInt(1, 10);
    insert.BindText(2, "ten");
    insert.BindDouble(3, 10.5);
    const unsigned char bytes[] = {1, 2, 3};
    insert.BindBlob(4, bytes, 3);
    EXPECT_EQ(insert.ExecDml(), 1);
    insert.BindInt(1, 11);
    insert.BindNull(2);
    insert.BindNull(3);
    insert.BindNull(4);
    EXPECT_EQ(insert.ExecDml(), 1);
    insert.Finalize();
    EXPECT_EQ(db.ExecScalar("select count(*) from T where id >= 10"), 2);
    EXPECT_EQ(db.ExecScalar("select length(data) from T where id = 10"), 3);
    EXPECT_EQ(db.ExecScalar("select count(*) from T where id = 11 and name is null"), 1);
    EXPECT_EQ(ThrownMessage([&] { insert.ExecDml(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqlQueryTest, CompiledStatementErrors) {
    SqlStatement select = db.CompileStatement("select name from T where id = ?");
    EXPECT_EQ(ThrownMessage([&] { select.BindInt(5, 1); }), "SQLITE_RANGE[25]: Error binding int param");
    EXPECT_EQ(ThrownMessage([&] { select.BindText(0, "x"); }),
              "SQLITE_RANGE[25]: Error binding string param");
    EXPECT_EQ(ThrownMessage([&] { select.BindDouble(2, 1.0); }),
              "SQLITE_RANGE[25]: Error binding double param");
    EXPECT_EQ(ThrownMessage([&] { select.BindBlob(2, nullptr, 0); }),
              "SQLITE_RANGE[25]: Error binding blob param");
    EXPECT_EQ(ThrownMessage([&] { select.BindNull(2); }), "SQLITE_RANGE[25]: Error binding NULL param");

    db.ExecDml("create table U(a integer not null)");
    SqlStatement insert = db.CompileStatement("insert into U values(?)");
    insert.BindNull(1);
    EXPECT_EQ(ThrownMessage([&] { insert.ExecDml(); }),
              "SQLITE_CONSTRAINT[19]: NOT NULL constraint failed: U.a");
    insert.BindInt(1, 4); // the failed run was reset: the statement is usable again
    EXPECT_EQ(insert.ExecDml(), 1);
}

TEST_F(SqlQueryTest, CompiledQueryBorrowsTheStatement) {
    SqlStatement select = db.CompileStatement("select name from T where id = ?");
    select.BindInt(1, 3);
    {
        SqlQuery query = select.ExecQuery();
        ASSERT_FALSE(query.Eof());
        EXPECT_STREQ(query.GetStringField(0), "three");
    } // the query's end leaves the statement to its owner
    select.Reset();
    select.BindInt(1, 1);
    SqlQuery again = select.ExecQuery();
    EXPECT_STREQ(again.GetStringField(0), "one");
    again.NextRow();
    EXPECT_TRUE(again.Eof());
    select.Reset();
    select.BindInt(1, 42);
    EXPECT_TRUE(select.ExecQuery().Eof());
}

TEST_F(SqlQueryTest, FailedStepOfABorrowedStatementLeavesItToItsOwner) {
    db.ExecDml("create table N(x integer)");
    db.ExecDml("insert into N values(1)");
    db.ExecDml("insert into N values(-9223372036854775808)");
    SqlStatement select = db.CompileStatement("select abs(x) from N order by rowid");
    SqlQuery query = select.ExecQuery();
    EXPECT_EQ(query.GetIntField(0), 1);
    EXPECT_EQ(ThrownMessage([&] { query.NextRow(); }), "SQLITE_ERROR[1]: integer overflow");
    EXPECT_EQ(ThrownMessage([&] { query.Eof(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    // The statement was reset, not finalized: it runs again.
    SqlQuery again = select.ExecQuery();
    EXPECT_EQ(again.GetIntField(0), 1);
}

TEST_F(SqlQueryTest, FailedStepOfAnOwnedStatementFinalizesIt) {
    db.ExecDml("create table N(x integer)");
    db.ExecDml("insert into N values(1)");
    db.ExecDml("insert into N values(-9223372036854775808)");
    SqlQuery query = db.ExecQuery("select abs(x) from N order by rowid");
    EXPECT_EQ(query.GetIntField(0), 1);
    EXPECT_EQ(ThrownMessage([&] { query.NextRow(); }), "SQLITE_ERROR[1]: integer overflow");
    EXPECT_EQ(ThrownMessage([&] { query.Eof(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    db.ExecDml("drop table N");
}

TEST_F(SqlQueryTest, StatementOwnershipTransfers) {
    SqlStatement first = db.CompileStatement("select 1");
    SqlStatement second(first);
    EXPECT_EQ(ThrownMessage([&] { first.ExecDml(); }), "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    SqlStatement third;
    third = second;
    EXPECT_FALSE(third.ExecQuery().Eof());
    EXPECT_EQ(ThrownMessage([&] { second.Reset(), second.ExecQuery(); }),
              "SQLDB_ERROR[1000]: Null Virtual Machine pointer");
    SqlStatement unbound;
    EXPECT_EQ(ThrownMessage([&] { unbound.ExecDml(); }), "SQLDB_ERROR[1000]: Database not open");
}

} // namespace
