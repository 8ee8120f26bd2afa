#include "data/DbDoc.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The statements of the file format, written out here once more so that a typing slip in either copy
// shows.
const char* const kGlobals = "create table Globals(\t\t\t\t\tVersion integer not null, \t\t\t\t\tC text not "
                             "null, \t\t\t\t\tS text not null)";
const char* const kUser =
    "CREATE TABLE User( ID TEXT NOT NULL, \t\t\t\t\tTitle TEXT DEFAULT '', \t\t\t\t\tFName TEXT DEFAULT '', "
    "\t\t\t\t\tLName TEXT DEFAULT '', \t\t\t\t\tCompany TEXT DEFAULT '', \t\t\t\t\tPosition TEXT DEFAULT '', "
    "\t\t\t\t\tAddr1 TEXT DEFAULT '', \t\t\t\t\tAddr2 TEXT DEFAULT '', \t\t\t\t\tCity TEXT DEFAULT '', "
    "\t\t\t\t\tState TEXT DEFAULT '', \t\t\t\t\tZip TEXT DEFAULT '', \t\t\t\t\tHmPhone TEXT DEFAULT '', "
    "\t\t\t\t\tWkPhone TEXT DEFAULT '', \t\t\t\t\tWkExt TEXT DEFAULT '', \t\t\t\t\tWkFax TEXT DEFAULT '', "
    "\t\t\t\t\tCelPhone TEXT DEFAULT '', \t\t\t\t\tPager TEXT DEFAULT '', \t\t\t\t\tEmail TEXT DEFAULT '', "
    "\t\t\t\t\tWebPage TEXT DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";
const char* const kPerson =
    "CREATE TABLE Person(ID TEXT NOT NULL, \t\t\t\t\tTitle TEXT DEFAULT '', \t\t\t\t\tFName TEXT DEFAULT '', "
    "\t\t\t\t\tLName TEXT DEFAULT '', \t\t\t\t\tAddr1 TEXT DEFAULT '', \t\t\t\t\tAddr2 TEXT DEFAULT '', "
    "\t\t\t\t\tCity TEXT DEFAULT '', \t\t\t\t\tState TEXT DEFAULT '', \t\t\t\t\tZip TEXT DEFAULT '', "
    "\t\t\t\t\tHmPhone TEXT DEFAULT '', \t\t\t\t\tHmFax TEXT DEFAULT '', \t\t\t\t\tCelPhone TEXT DEFAULT '', "
    "\t\t\t\t\tPager TEXT DEFAULT '', \t\t\t\t\tEmail TEXT DEFAULT '', \t\t\t\t\tWebPage TEXT DEFAULT '', "
    "\t\t\t\t\tCompany TEXT DEFAULT '', \t\t\t\t\tPosition TEXT DEFAULT '', \t\t\t\t\tWkAddr1 TEXT DEFAULT "
    "'', \t\t\t\t\tWkAddr2 TEXT DEFAULT '', \t\t\t\t\tWkCity TEXT DEFAULT '', \t\t\t\t\tWkState TEXT DEFAULT "
    "'', \t\t\t\t\tWkZip TEXT DEFAULT '', \t\t\t\t\tWkPhone TEXT DEFAULT '', \t\t\t\t\tWkExt TEXT DEFAULT "
    "'', \t\t\t\t\tWkFax TEXT DEFAULT '', \t\t\t\t\tWkCelPhone TEXT DEFAULT '', \t\t\t\t\tWkPager TEXT "
    "DEFAULT '', \t\t\t\t\tWkEmail TEXT DEFAULT '', \t\t\t\t\tWkWebPage TEXT DEFAULT '', \t\t\t\t\tNotes "
    "TEXT DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";
const char* const kPrsnNmIdx = "CREATE INDEX PrsnNmIdx ON Person(LName, FName)";
const char* const kPrsnCoIdx = "CREATE INDEX PrsnCoIdx ON Person(Company)";
const char* const kAppt =
    "CREATE TABLE Appt(ID TEXT NOT NULL, \t\t\t\t\tAlarm INTEGER DEFAULT 0, \t\t\t\t\tAlarmTime TEXT DEFAULT "
    "'', \t\t\t\t\tDone INTEGER DEFAULT 0, \t\t\t\t\tDateDue TEXT DEFAULT '', \t\t\t\t\tStartTime TEXT "
    "DEFAULT '', \t\t\t\t\tEndTime TEXT DEFAULT '', \t\t\t\t\tRecrDtID TEXT DEFAULT '', \t\t\t\t\tDesc TEXT "
    "DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";
const char* const kApptDueDate = "CREATE INDEX ApptDueDate ON Appt(DateDue)";
const char* const kPhGroup =
    "CREATE TABLE PhGroup(ID TEXT NOT NULL, \t\t\t\t\tDesc TEXT NOT NULL DEFAULT '')";
const char* const kRowAll = "insert into PhGroup values('04E27641-0068-11da-BBFB-9C5F0D33683A', 'All')";
const char* const kRowYellow =
    "insert into PhGroup values('04E27642-0068-11da-BBFB-9C5F0D33683A', 'Yellow Pages')";
const char* const kRowWhite =
    "insert into PhGroup values('04E27643-0068-11da-BBFB-9C5F0D33683A', 'White Pages')";
const char* const kTask =
    "CREATE TABLE Task(ID TEXT NOT NULL, \t\t\t\t\tDateDone TEXT DEFAULT '', \t\t\t\t\tDateDue TEXT DEFAULT "
    "'', \t\t\t\t\tPriority INTEGER DEFAULT 0, \t\t\t\t\tRecrDtID TEXT DEFAULT '', \t\t\t\t\tDesc TEXT NOT "
    "NULL DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";
const char* const kTaskDueIdx = "CREATE INDEX TaskDueIdx ON Task(DateDue)";
const char* const kTaskIdIdx = "CREATE INDEX TaskIdIdx ON Task(ID)";
const char* const kApptIdIdx = "CREATE INDEX ApptIdIdx ON Appt(ID)";
const char* const kRecurringDate =
    "CREATE TABLE RecurringDate(ID TEXT NOT NULL, \t\t\tBasicMethod INTEGER DEFAULT 0, \t\t\tStartTime TEXT "
    "DEFAULT '', \t\t\tEndTime TEXT DEFAULT '', \t\t\tEndMethod INTEGER DEFAULT 0, \t\t\tStartDate TEXT "
    "DEFAULT '', \t\t\tEndDate TEXT DEFAULT '', \t\t\tEndOccurences INTEGER DEFAULT 0, \t\t\tDailyMethod "
    "INTEGER DEFAULT 0, \t\t\tEveryXDayCount INTEGER DEFAULT 0, \t\t\tEveryWeekCount INTEGER DEFAULT 0, "
    "\t\t\tWeeklySunday BOOL DEFAULT 0, \t\t\tWeeklyMonday BOOL DEFAULT 0, \t\t\tWeeklyTuesday BOOL DEFAULT "
    "0, \t\t\tWeeklyWednesday BOOL DEFAULT 0, \t\t\tWeeklyThursday BOOL DEFAULT 0, \t\t\tWeeklyFriday BOOL "
    "DEFAULT 0, \t\t\tWeeklySaturday BOOL DEFAULT 0, \t\t\tMonthlyMethod INTEGER DEFAULT 0, "
    "\t\t\tMonthlyCount1 INTEGER DEFAULT 0, \t\t\tMonthlyCount2 INTEGER DEFAULT 0, \t\t\tMonthlyTheOption "
    "INTEGER DEFAULT 0, \t\t\tMonthlyDayOption INTEGER DEFAULT 0, \t\t\tMonthlyCount3 INTEGER DEFAULT 0, "
    "\t\t\tMonthlyTheOption1 INTEGER DEFAULT 0, \t\t\tMonthlyDayOption1 INTEGER DEFAULT 0, "
    "\t\t\tMonthlyCount4 INTEGER DEFAULT 0, \t\t\tMonthlyMathOp INTEGER DEFAULT 0, \t\t\tMonthlyMathDays "
    "INTEGER DEFAULT 0, \t\t\tYearlyMethod INTEGER DEFAULT 0, \t\t\tYearlyMonth1 INTEGER DEFAULT 0, "
    "\t\t\tYearlyMonthDay INTEGER DEFAULT 0, \t\t\tYearlyTheOption INTEGER DEFAULT 0, \t\t\tYearlyDayOption "
    "INTEGER DEFAULT 0, \t\t\tYearlyMonth2 INTEGER DEFAULT 0, \t\t\tForceDateID TEXT DEFAULT '', "
    "\t\t\tBlackoutDatesID TEXT DEFAULT '', \t\t\tSkipDatesID TEXT DEFAULT '')";
const char* const kBlackoutDate =
    "create table BlackoutDate(ID text not null, \t\t\tDate text default '', \t\t\tRecrDtID text not null)";
const char* const kForceDate =
    "create table ForceDate(ID text not null, \t\t\tDate text not null, \t\t\tRecrDtID text not null)";
const char* const kSkipDate =
    "create table SkipDate(ID text not null, \t\t\tEnabled bool default 0, \t\t\tDateOption integer default "
    "0, \t\t\tSkipMethod integer default 0, \t\t\tDate text not null, \t\t\tRecrDtID text not null)";
const char* const kPersonPhGroup =
    "create table PersonPhGroup(\t\t\t\t\tPersonID text not null, \t\t\t\t\tPhGroupID text not null)";
const char* const kPrsnGrpPrsnIdx = "CREATE INDEX PrsnGrpPrsnIdx ON PersonPhGroup(PersonID)";
const char* const kPrsnGrpGrpIdx = "CREATE INDEX PrsnGrpGrpIdx ON PersonPhGroup(PhGroupID, PersonID)";
const char* const kPrsnIdIdx = "CREATE INDEX PrsnIdIdx ON Person(ID)";
const char* const kPersonUpdateTrigger =
    "create trigger Person_Update after update on Person \t\t\t\t\tbegin \t\t\t\t\t\tupdate Person set "
    "TmStamp = CURRENT_TIMESTAMP \t\t\t\t\t\twhere ID = old.ID; \t\t\t\t\t\tupdate Globals set S = "
    "CURRENT_TIMESTAMP; \t\t\t\t\tend;";
const char* const kPersonInsTrigger = "create trigger Person_Ins after insert on Person \t\t\t\t\tbegin "
                                      "\t\t\t\t\t\tupdate Globals set S = CURRENT_TIMESTAMP; \t\t\t\t\tend;";
const char* const kPersonDelTrigger = "create trigger Person_Del after delete on Person \t\t\t\t\tbegin "
                                      "\t\t\t\t\t\tupdate Globals set S = CURRENT_TIMESTAMP; \t\t\t\t\tend;";
const char* const kInsertGlobals = "insert into Globals values('%d', CURRENT_TIMESTAMP, CURRENT_TIMESTAMP)";

CString Triggers(const char* text, const char* table) {
    CString trigger(text);
    trigger.Replace("Person", table);
    return trigger;
}

std::vector<CString> ExpectedStatements() {
    std::vector<CString> statements = {kGlobals, kUser};
    for (const char* table : {"User"})
        for (const char* trigger : {kPersonUpdateTrigger, kPersonInsTrigger, kPersonDelTrigger})
            statements.push_back(Triggers(trigger, table));
    statements.insert(statements.end(),
                      {kPerson, kPrsnNmIdx, kPrsnCoIdx, kPrsnIdIdx, kPersonUpdateTrigger, kPersonInsTrigger,
                       kPersonDelTrigger, kAppt, kApptDueDate, kApptIdIdx});
    for (const char* trigger : {kPersonUpdateTrigger, kPersonInsTrigger, kPersonDelTrigger})
        statements.push_back(Triggers(trigger, "Appt"));
    statements.insert(statements.end(),
                      {kPhGroup, kRowAll, kRowYellow, kRowWhite, kTask, kTaskDueIdx, kTaskIdIdx});
    for (const char* trigger : {kPersonUpdateTrigger, kPersonInsTrigger, kPersonDelTrigger})
        statements.push_back(Triggers(trigger, "Task"));
    statements.insert(statements.end(), {kRecurringDate, kBlackoutDate, kForceDate, kSkipDate, kPersonPhGroup,
                                         kPrsnGrpGrpIdx, kPrsnGrpPrsnIdx});
    return statements;
}

// The text SQLite keeps in sqlite_master for a CREATE statement: the leading words in capitals, and a
// trigger without its final semicolon.
CString AsStored(CString sql) {
    for (const char* words : {"create table ", "create index ", "create trigger "}) {
        CString start = sql.Left(static_cast<int>(std::string(words).size()));
        if (start.CompareNoCase(words) == 0) {
            CString upper(words);
            upper.MakeUpper();
            sql = upper + sql.Mid(start.GetLength());
        }
    }
    if (sql.Left(15) == "CREATE TRIGGER " && sql.Right(1) == ";")
        sql = sql.Left(sql.GetLength() - 1);
    return sql;
}

class DocSchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, "");
        SetPasswordBuffer(g_openPassword, "");
    }
    void TearDown() override { g_db.Close(); }

    std::string CreateDocument(const char* password = "") {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = true;
        std::string path = dir.File("Plans.pgr");
        EXPECT_TRUE(g_doc.CreateDocument(path.c_str(), error));
        EXPECT_FALSE(error);
        return path;
    }

    TempDir dir;
    ScriptedPrompt prompt;
};

TEST_F(DocSchemaTest, StatementsAreTheFileFormatInOrder) {
    std::vector<CString> expected = ExpectedStatements();
    const std::vector<Schema::Statement>& statements = Schema::CreateStatements();
    ASSERT_EQ(statements.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(statements[i].sql, expected[i]) << "statement " << i;
    EXPECT_STREQ(Schema::kInsertGlobals, kInsertGlobals);
}

TEST_F(DocSchemaTest, StatementKindsAndTables) {
    int tables = 0, indexes = 0, triggers = 0, rows = 0;
    for (const Schema::Statement& statement : Schema::CreateStatements()) {
        CString sql = statement.sql;
        switch (statement.kind) {
        case Schema::StatementKind::Table:
            ++tables;
            EXPECT_EQ(sql.Left(13).CompareNoCase("create table "), 0) << sql.c_str();
            break;
        case Schema::StatementKind::Index:
            ++indexes;
            EXPECT_EQ(sql.Left(13), "CREATE INDEX ") << sql.c_str();
            break;
        case Schema::StatementKind::Trigger:
            ++triggers;
            EXPECT_EQ(sql.Left(15), "create trigger ") << sql.c_str();
            break;
        case Schema::StatementKind::Row:
            ++rows;
            EXPECT_EQ(sql.Left(12), "insert into ") << sql.c_str();
            break;
        }
        EXPECT_NE(sql.Find(statement.table), -1) << sql.c_str();
    }
    EXPECT_EQ(tables, 11);
    EXPECT_EQ(indexes, 9);
    EXPECT_EQ(triggers, 12);
    EXPECT_EQ(rows, 3);
}

TEST_F(DocSchemaTest, NewDocumentCatalogueHoldsExactlyTheStatements) {
    std::string path = CreateDocument();
    SqlDb db;
    db.Open(path.c_str());
    SqlQuery query = db.ExecQuery("select sql from sqlite_master order by rowid");
    std::vector<CString> stored;
    for (; !query.Eof(); query.NextRow())
        stored.push_back(query.GetStringField(0));
    query.Finalize();

    std::vector<CString> expected;
    for (const CString& sql : ExpectedStatements())
        if (sql.Left(7) != "insert ")
            expected.push_back(AsStored(sql));
    ASSERT_EQ(stored.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(stored[i], expected[i]) << "entry " << i;
    // Spot-check the normalisation against what SQLite really keeps.
    EXPECT_EQ(stored[0].Left(21), "CREATE TABLE Globals(");
    EXPECT_EQ(stored[2].Right(4), CString("\tend"));
}

TEST_F(DocSchemaTest, NewDocumentHoldsOnlyTheStandardRows) {
    std::string path = CreateDocument();
    SqlDb db;
    db.Open(path.c_str());
    SqlTable groups = db.GetTable("select * from PhGroup order by ID");
    ASSERT_EQ(groups.NumRows(), 3);
    const char* ids[] = {Schema::kGroupAllId, Schema::kGroupYellowPagesId, Schema::kGroupWhitePagesId};
    const char* descs[] = {"All", "Yellow Pages", "White Pages"};
    for (int row = 0; row < 3; ++row) {
        groups.SetRow(row);
        EXPECT_STREQ(groups.GetStringField(0), ids[row]);
        EXPECT_STREQ(groups.GetStringField(1), descs[row]);
    }
    SqlTable globals = db.GetTable("select Version, typeof(Version), C, S from Globals");
    ASSERT_EQ(globals.NumRows(), 1);
    EXPECT_EQ(globals.GetIntField(0), 20);
    EXPECT_STREQ(globals.GetStringField(1), "integer");
    EXPECT_STREQ(globals.GetStringField(2), globals.GetStringField(3));
    EXPECT_EQ(std::string(globals.GetStringField(2)).size(), 19u);
    for (const char* table : {"User", "Person", "PersonPhGroup", "Appt", "Task", "RecurringDate",
                              "BlackoutDate", "ForceDate", "SkipDate"}) {
        SqlBuffer sql;
        sql.Format("select count(*) from %s", table);
        EXPECT_EQ(db.ExecScalar(sql), 0) << table;
    }
    EXPECT_EQ(db.GetTable("pragma table_info(RecurringDate)").NumRows(), 38);
    EXPECT_EQ(db.GetTable("pragma table_info(Person)").NumRows(), 31);
    EXPECT_EQ(prompt.Calls().size(), 0u);
}

TEST_F(DocSchemaTest, TriggersKeepTimeStampsCurrent) {
    std::string path = CreateDocument();
    SqlDb db;
    db.Open(path.c_str());
    db.ExecDml("update Globals set S = '2000-01-01 00:00:00'");
    db.ExecDml("insert into Task(ID, Desc, TmStamp) values('T1', 'task', '2000-01-01 00:00:00')");
    EXPECT_STRNE(db.GetTable("select S from Globals").GetStringField(0), "2000-01-01 00:00:00");
    db.ExecDml("update Globals set S = '2000-01-01 00:00:00'");
    db.ExecDml("update Task set Desc = 'changed' where ID = 'T1'");
    EXPECT_STRNE(db.GetTable("select TmStamp from Task").GetStringField(0), "2000-01-01 00:00:00");
    EXPECT_STRNE(db.GetTable("select S from Globals").GetStringField(0), "2000-01-01 00:00:00");
    db.ExecDml("update Globals set S = '2000-01-01 00:00:00'");
    db.ExecDml("delete from Task");
    EXPECT_STRNE(db.GetTable("select S from Globals").GetStringField(0), "2000-01-01 00:00:00");
}

TEST_F(DocSchemaTest, TriggerStatementsNameTheirTable) {
    std::vector<CString> triggers = Schema::TriggerStatements("Appt");
    ASSERT_EQ(triggers.size(), 3u);
    EXPECT_EQ(triggers[1],
              CString("create trigger Appt_Ins after insert on Appt \t\t\t\t\tbegin \t\t\t\t\t\tupdate "
                      "Globals set S = CURRENT_TIMESTAMP; \t\t\t\t\tend;"));
    EXPECT_EQ(triggers[0].Find("Person"), -1);
}

} // namespace
