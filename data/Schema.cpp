#include "data/Schema.h"

namespace Schema {

namespace {

constexpr const char* kGlobals =
    "create table Globals(\t\t\t\t\tVersion integer not null, \t\t\t\t\tC text not null, "
    "\t\t\t\t\tS text not null)";

constexpr const char* kUser =
    "CREATE TABLE User( ID TEXT NOT NULL, \t\t\t\t\tTitle TEXT DEFAULT '', \t\t\t\t\tFName TEXT DEFAULT '', "
    "\t\t\t\t\tLName TEXT DEFAULT '', \t\t\t\t\tCompany TEXT DEFAULT '', \t\t\t\t\tPosition TEXT DEFAULT '', "
    "\t\t\t\t\tAddr1 TEXT DEFAULT '', \t\t\t\t\tAddr2 TEXT DEFAULT '', \t\t\t\t\tCity TEXT DEFAULT '', "
    "\t\t\t\t\tState TEXT DEFAULT '', \t\t\t\t\tZip TEXT DEFAULT '', \t\t\t\t\tHmPhone TEXT DEFAULT '', "
    "\t\t\t\t\tWkPhone TEXT DEFAULT '', \t\t\t\t\tWkExt TEXT DEFAULT '', \t\t\t\t\tWkFax TEXT DEFAULT '', "
    "\t\t\t\t\tCelPhone TEXT DEFAULT '', \t\t\t\t\tPager TEXT DEFAULT '', \t\t\t\t\tEmail TEXT DEFAULT '', "
    "\t\t\t\t\tWebPage TEXT DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";

constexpr const char* kPerson =
    "CREATE TABLE Person(ID TEXT NOT NULL, \t\t\t\t\tTitle TEXT DEFAULT '', \t\t\t\t\tFName TEXT DEFAULT '', "
    "\t\t\t\t\tLName TEXT DEFAULT '', \t\t\t\t\tAddr1 TEXT DEFAULT '', \t\t\t\t\tAddr2 TEXT DEFAULT '', "
    "\t\t\t\t\tCity TEXT DEFAULT '', \t\t\t\t\tState TEXT DEFAULT '', \t\t\t\t\tZip TEXT DEFAULT '', "
    "\t\t\t\t\tHmPhone TEXT DEFAULT '', \t\t\t\t\tHmFax TEXT DEFAULT '', \t\t\t\t\tCelPhone TEXT DEFAULT '', "
    "\t\t\t\t\tPager TEXT DEFAULT '', \t\t\t\t\tEmail TEXT DEFAULT '', \t\t\t\t\tWebPage TEXT DEFAULT '', "
    "\t\t\t\t\tCompany TEXT DEFAULT '', \t\t\t\t\tPosition TEXT DEFAULT '', \t\t\t\t\tWkAddr1 TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tWkAddr2 TEXT DEFAULT '', \t\t\t\t\tWkCity TEXT DEFAULT '', \t\t\t\t\tWkState TEXT DEFAULT '', "
    "\t\t\t\t\tWkZip TEXT DEFAULT '', \t\t\t\t\tWkPhone TEXT DEFAULT '', \t\t\t\t\tWkExt TEXT DEFAULT '', "
    "\t\t\t\t\tWkFax TEXT DEFAULT '', \t\t\t\t\tWkCelPhone TEXT DEFAULT '', \t\t\t\t\tWkPager TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tWkEmail TEXT DEFAULT '', \t\t\t\t\tWkWebPage TEXT DEFAULT '', \t\t\t\t\tNotes TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";

constexpr const char* kPersonNameIndex = "CREATE INDEX PrsnNmIdx ON Person(LName, FName)";
constexpr const char* kPersonCompanyIndex = "CREATE INDEX PrsnCoIdx ON Person(Company)";

constexpr const char* kAppt =
    "CREATE TABLE Appt(ID TEXT NOT NULL, \t\t\t\t\tAlarm INTEGER DEFAULT 0, \t\t\t\t\tAlarmTime TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tDone INTEGER DEFAULT 0, \t\t\t\t\tDateDue TEXT DEFAULT '', \t\t\t\t\tStartTime TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tEndTime TEXT DEFAULT '', \t\t\t\t\tRecrDtID TEXT DEFAULT '', \t\t\t\t\tDesc TEXT DEFAULT '', "
    "\t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";

constexpr const char* kApptDueIndex = "CREATE INDEX ApptDueDate ON Appt(DateDue)";

constexpr const char* kPhGroup =
    "CREATE TABLE PhGroup(ID TEXT NOT NULL, \t\t\t\t\tDesc TEXT NOT NULL DEFAULT '')";

constexpr const char* kGroupAllRow =
    "insert into PhGroup values('04E27641-0068-11da-BBFB-9C5F0D33683A', 'All')";
constexpr const char* kGroupYellowPagesRow =
    "insert into PhGroup values('04E27642-0068-11da-BBFB-9C5F0D33683A', 'Yellow Pages')";
constexpr const char* kGroupWhitePagesRow =
    "insert into PhGroup values('04E27643-0068-11da-BBFB-9C5F0D33683A', 'White Pages')";

constexpr const char* kTask =
    "CREATE TABLE Task(ID TEXT NOT NULL, \t\t\t\t\tDateDone TEXT DEFAULT '', \t\t\t\t\tDateDue TEXT DEFAULT "
    "'', "
    "\t\t\t\t\tPriority INTEGER DEFAULT 0, \t\t\t\t\tRecrDtID TEXT DEFAULT '', "
    "\t\t\t\t\tDesc TEXT NOT NULL DEFAULT '', \t\t\t\t\tTmStamp TIMESTAMP DEFAULT CURRENT_TIMESTAMP)";

constexpr const char* kTaskDueIndex = "CREATE INDEX TaskDueIdx ON Task(DateDue)";

constexpr const char* kRecurringDate =
    "CREATE TABLE RecurringDate(ID TEXT NOT NULL, \t\t\tBasicMethod INTEGER DEFAULT 0, "
    "\t\t\tStartTime TEXT DEFAULT '', \t\t\tEndTime TEXT DEFAULT '', \t\t\tEndMethod INTEGER DEFAULT 0, "
    "\t\t\tStartDate TEXT DEFAULT '', \t\t\tEndDate TEXT DEFAULT '', \t\t\tEndOccurences INTEGER DEFAULT 0, "
    "\t\t\tDailyMethod INTEGER DEFAULT 0, \t\t\tEveryXDayCount INTEGER DEFAULT 0, "
    "\t\t\tEveryWeekCount INTEGER DEFAULT 0, \t\t\tWeeklySunday BOOL DEFAULT 0, "
    "\t\t\tWeeklyMonday BOOL DEFAULT 0, \t\t\tWeeklyTuesday BOOL DEFAULT 0, "
    "\t\t\tWeeklyWednesday BOOL DEFAULT 0, \t\t\tWeeklyThursday BOOL DEFAULT 0, "
    "\t\t\tWeeklyFriday BOOL DEFAULT 0, \t\t\tWeeklySaturday BOOL DEFAULT 0, "
    "\t\t\tMonthlyMethod INTEGER DEFAULT 0, \t\t\tMonthlyCount1 INTEGER DEFAULT 0, "
    "\t\t\tMonthlyCount2 INTEGER DEFAULT 0, \t\t\tMonthlyTheOption INTEGER DEFAULT 0, "
    "\t\t\tMonthlyDayOption INTEGER DEFAULT 0, \t\t\tMonthlyCount3 INTEGER DEFAULT 0, "
    "\t\t\tMonthlyTheOption1 INTEGER DEFAULT 0, \t\t\tMonthlyDayOption1 INTEGER DEFAULT 0, "
    "\t\t\tMonthlyCount4 INTEGER DEFAULT 0, \t\t\tMonthlyMathOp INTEGER DEFAULT 0, "
    "\t\t\tMonthlyMathDays INTEGER DEFAULT 0, \t\t\tYearlyMethod INTEGER DEFAULT 0, "
    "\t\t\tYearlyMonth1 INTEGER DEFAULT 0, \t\t\tYearlyMonthDay INTEGER DEFAULT 0, "
    "\t\t\tYearlyTheOption INTEGER DEFAULT 0, \t\t\tYearlyDayOption INTEGER DEFAULT 0, "
    "\t\t\tYearlyMonth2 INTEGER DEFAULT 0, \t\t\tForceDateID TEXT DEFAULT '', "
    "\t\t\tBlackoutDatesID TEXT DEFAULT '', \t\t\tSkipDatesID TEXT DEFAULT '')";

constexpr const char* kBlackoutDate =
    "create table BlackoutDate(ID text not null, \t\t\tDate text default '', \t\t\tRecrDtID text not null)";

constexpr const char* kForceDate =
    "create table ForceDate(ID text not null, \t\t\tDate text not null, \t\t\tRecrDtID text not null)";

constexpr const char* kSkipDate =
    "create table SkipDate(ID text not null, \t\t\tEnabled bool default 0, \t\t\tDateOption integer default "
    "0, "
    "\t\t\tSkipMethod integer default 0, \t\t\tDate text not null, \t\t\tRecrDtID text not null)";

constexpr const char* kPersonPhGroup =
    "create table PersonPhGroup(\t\t\t\t\tPersonID text not null, \t\t\t\t\tPhGroupID text not null)";

// The triggers of Person; the other tables' triggers replace "Person" throughout.
constexpr const char* kUpdateTrigger =
    "create trigger Person_Update after update on Person \t\t\t\t\tbegin \t\t\t\t\t\tupdate Person set "
    "TmStamp = "
    "CURRENT_TIMESTAMP \t\t\t\t\t\twhere ID = old.ID; \t\t\t\t\t\tupdate Globals set S = CURRENT_TIMESTAMP; "
    "\t\t\t\t\tend;";
constexpr const char* kInsertTrigger = "create trigger Person_Ins after insert on Person \t\t\t\t\tbegin "
                                       "\t\t\t\t\t\tupdate Globals set S = CURRENT_TIMESTAMP; \t\t\t\t\tend;";
constexpr const char* kDeleteTrigger = "create trigger Person_Del after delete on Person \t\t\t\t\tbegin "
                                       "\t\t\t\t\t\tupdate Globals set S = CURRENT_TIMESTAMP; \t\t\t\t\tend;";

void AddTriggers(std::vector<Statement>& statements, const char* table) {
    for (const CString& trigger : TriggerStatements(table))
        statements.push_back({StatementKind::Trigger, table, trigger});
}

std::vector<Statement> BuildCreateStatements() {
    std::vector<Statement> statements;
    statements.push_back({StatementKind::Table, "Globals", kGlobals});
    statements.push_back({StatementKind::Table, "User", kUser});
    AddTriggers(statements, "User");
    statements.push_back({StatementKind::Table, "Person", kPerson});
    statements.push_back({StatementKind::Index, "Person", kPersonNameIndex});
    statements.push_back({StatementKind::Index, "Person", kPersonCompanyIndex});
    statements.push_back({StatementKind::Index, "Person", kPersonIdIndex});
    AddTriggers(statements, "Person");
    statements.push_back({StatementKind::Table, "Appt", kAppt});
    statements.push_back({StatementKind::Index, "Appt", kApptDueIndex});
    statements.push_back({StatementKind::Index, "Appt", kApptIdIndex});
    AddTriggers(statements, "Appt");
    statements.push_back({StatementKind::Table, "PhGroup", kPhGroup});
    statements.push_back({StatementKind::Row, "PhGroup", kGroupAllRow});
    statements.push_back({StatementKind::Row, "PhGroup", kGroupYellowPagesRow});
    statements.push_back({StatementKind::Row, "PhGroup", kGroupWhitePagesRow});
    statements.push_back({StatementKind::Table, "Task", kTask});
    statements.push_back({StatementKind::Index, "Task", kTaskDueIndex});
    statements.push_back({StatementKind::Index, "Task", kTaskIdIndex});
    AddTriggers(statements, "Task");
    statements.push_back({StatementKind::Table, "RecurringDate", kRecurringDate});
    statements.push_back({StatementKind::Table, "BlackoutDate", kBlackoutDate});
    statements.push_back({StatementKind::Table, "ForceDate", kForceDate});
    statements.push_back({StatementKind::Table, "SkipDate", kSkipDate});
    statements.push_back({StatementKind::Table, "PersonPhGroup", kPersonPhGroup});
    statements.push_back({StatementKind::Index, "PersonPhGroup", kMembershipGroupIndex});
    statements.push_back({StatementKind::Index, "PersonPhGroup", kMembershipPersonIndex});
    return statements;
}

} // namespace

const std::vector<Statement>& CreateStatements() {
    static const std::vector<Statement> statements = BuildCreateStatements();
    return statements;
}

std::vector<CString> TriggerStatements(const char* table) {
    std::vector<CString> triggers;
    for (const char* text : {kUpdateTrigger, kInsertTrigger, kDeleteTrigger}) {
        CString trigger(text);
        trigger.Replace("Person", table);
        triggers.push_back(trigger);
    }
    return triggers;
}

} // namespace Schema
