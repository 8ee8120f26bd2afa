#pragma once

#include "platform/core/CString.h"

#include <vector>

// The .pgr file format: every table, index, trigger and standard row, written by the main program
// when it creates a document and by the conversion tool. The texts are stored in the database's
// catalogue as they are, tabs included.
namespace Schema {

// Globals.Version of the documents this program writes.
constexpr int kVersion = 20;

// The three standard address-book groups.
constexpr const char* kGroupAllId = "04E27641-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kGroupYellowPagesId = "04E27642-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kGroupWhitePagesId = "04E27643-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kGroupAllDesc = "All";
constexpr const char* kGroupYellowPagesDesc = "Yellow Pages";
constexpr const char* kGroupWhitePagesDesc = "White Pages";

// The one Globals row; %d takes kVersion.
constexpr const char* kInsertGlobals =
    "insert into Globals values('%d', CURRENT_TIMESTAMP, CURRENT_TIMESTAMP)";

enum class StatementKind { Table, Index, Trigger, Row };

struct Statement {
    StatementKind kind;
    const char* table; // the table it belongs to
    CString sql;
};

// The indexes on the persons' IDs and the membership table. Without them every person lookup,
// insert, delete and group list scans the whole table; documents made before they existed get them
// when they are opened. The group index holds the person too, so that a group's members are read
// from the index alone. The membership person index is made last: where a lookup names both a
// person and a group, SQLite takes the index made last, and a person has few memberships while a
// group may have thousands.
constexpr const char* kPersonIdIndex = "CREATE INDEX PrsnIdIdx ON Person(ID)";
constexpr const char* kMembershipGroupIndex =
    "CREATE INDEX PrsnGrpGrpIdx ON PersonPhGroup(PhGroupID, PersonID)";
constexpr const char* kMembershipPersonIndex = "CREATE INDEX PrsnGrpPrsnIdx ON PersonPhGroup(PersonID)";
// Every appointment and task is read, changed and deleted by its ID as well.
constexpr const char* kApptIdIndex = "CREATE INDEX ApptIdIdx ON Appt(ID)";
constexpr const char* kTaskIdIndex = "CREATE INDEX TaskIdIdx ON Task(ID)";
constexpr const char* kAddMissingIndexes[] = {
    "CREATE INDEX IF NOT EXISTS PrsnIdIdx ON Person(ID)", "CREATE INDEX IF NOT EXISTS ApptIdIdx ON Appt(ID)",
    "CREATE INDEX IF NOT EXISTS TaskIdIdx ON Task(ID)",
    "CREATE INDEX IF NOT EXISTS PrsnGrpGrpIdx ON PersonPhGroup(PhGroupID, PersonID)",
    "CREATE INDEX IF NOT EXISTS PrsnGrpPrsnIdx ON PersonPhGroup(PersonID)"};

// A task row the day indexes cannot answer for: a DateDue or DateDone that is not '' and not a real
// date-time "YYYY-MM-DD HH:MM:SS" from year 1000 to 9998 (the only texts whose text order is their date
// order and whose equality is the equality of their dates), or a Priority that is not a 32-bit
// integer. Other programs and older files write such rows; they are listed by reading each of them.
// Built from deterministic functions only, so that it can select the rows of a partial index; the
// query that asks for such rows repeats the text exactly, as the index's rows are found only so.
#define PELM_STORED_DATE(c)                                                                                  \
    "(" c " glob '[1-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]' and " c       \
    " < '9999' and substr(" c ", 6, 2) between '01' and '12' and substr(" c ", 12, 2) <= '23' and substr(" c \
    ", 9, 2) between '01' and case substr(" c ", 6, 2) when '02' then case when substr(" c                   \
    ", 1, 4) % 4 = 0 and (substr(" c ", 1, 4) % 100 <> 0 or substr(" c ", 1, 4) % 400 = 0) then '29' "       \
    "else '28' end when '04' then '30' when '06' then '30' when '09' then '30' when '11' then '30' else "    \
    "'31' end)"
#define PELM_ODD_DATE(c) "(" c " is null or (" c " <> '' and not " PELM_STORED_DATE(c) "))"
#define PELM_TASK_ODD_ROW                                                                                    \
    "(" PELM_ODD_DATE("DateDue") " or " PELM_ODD_DATE("DateDone") " or typeof(Priority) <> 'integer' or "    \
                                                                  "Priority not between -2147483648 and "    \
                                                                  "2147483647)"
constexpr const char* kTaskOddRow = PELM_TASK_ODD_ROW;

// The indexes through which the day's tasks are found: the open tasks by priority and due date, the
// done ones by completion date, and the rows of kTaskOddRow, which every writer keeps up to date.
// They are made by the first read of a day's tasks (see CDbDoc::GetTasksForDay); the rows stay as
// they were written.
constexpr const char* kTaskDayIndexes[] = {
    "CREATE INDEX IF NOT EXISTS TaskOpenIdx ON Task(Priority, DateDue)",
    "CREATE INDEX IF NOT EXISTS TaskDoneIdx ON Task(DateDone)",
    "CREATE INDEX IF NOT EXISTS TaskOddIdx ON Task(DateDue) WHERE " PELM_TASK_ODD_ROW};
#undef PELM_TASK_ODD_ROW
#undef PELM_ODD_DATE
#undef PELM_STORED_DATE
// Made last: a document that has it has them all.
constexpr const char* kTaskDayIndexName = "TaskOddIdx";

// Every statement that builds a new document's schema and standard rows, in the order they run:
// Globals; User and its triggers; Person, its indexes and triggers; Appt, its indexes and triggers;
// PhGroup and its three rows; Task, its indexes and triggers; RecurringDate; BlackoutDate; ForceDate;
// SkipDate; PersonPhGroup and its indexes. The Globals row (kInsertGlobals) is not among them.
const std::vector<Statement>& CreateStatements();

// The update, insert and delete triggers of one of the tables User, Person, Appt and Task.
std::vector<CString> TriggerStatements(const char* table);

} // namespace Schema
