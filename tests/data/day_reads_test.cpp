// The day's tasks and the due alarms are read through indexes; over rows of every awkward kind they
// give what the row-by-row rule gives.
#include "data/Schema.h"
#include "data/SqlTable.h"
#include "data/TaskRows.h"
#include "platform/core/Progress.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Listed {
    std::string id;
    double due;
    double done;
    int priority;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> ListedOf(const std::vector<CTask>& tasks) {
    std::vector<Listed> listed;
    for (const CTask& task : tasks)
        listed.push_back(
            {task.m_ID.str(), task.m_DateDue.GetValue(), task.m_DateDone.GetValue(), task.m_Priority});
    return listed;
}

// Rows as the program, other programs, older files and imports hold them: dates in the stored form,
// in ISO without a time or with a 'T', in short forms, as a day number, with an impossible day,
// month or hour, before year 1000, NULL and empty; priorities as integers, NULL, text, fractions,
// beyond 32 bits. Today is 15 March 2006.
const char* const kTaskRows[] = {
    "('A', '', '2006-03-15 00:00:00', 0, '', 'stored, due today')",
    "('B', '', '2006-03-15 00:00:00', 1, 'R1', 'stored, due today, same due text')",
    "('C', '2006-03-15 00:00:00', '2006-03-10 00:00:00', 3, '', 'done today')",
    "('D', '2006-03-14 00:00:00', '2006-03-10 00:00:00', 3, '', 'done yesterday')",
    "('E', '', '3/15/2006', 2, '', 'short form, today')",
    "('F', '', '2006-03-16', 1, '', 'no time, tomorrow')",
    "('G', '', 'March 17, 2006', 0, 'R1', 'month name')",
    "('H', '', 'not a date', 0, '', 'garbage due')",
    "('I', '', NULL, 1, '', 'NULL due')",
    "('J', '', '2006-02-30 00:00:00', 2, '', 'impossible day')",
    "('K', '', '2006-03-15 24:00:00', 0, '', 'hour 24')",
    "('L', '', '2006-03-16 00:00:00', NULL, '', 'NULL priority')",
    "('M', '', '2006-03-14 00:00:00', 'abc', '', 'text priority')",
    "('N', '', '2006-03-14 00:00:00', 2.5, '', 'fractional priority')",
    "('O', '', '2006-03-14 00:00:00', 4294967298, '', 'priority beyond 32 bits')",
    "('P', '3/16/2006', '2006-03-10 00:00:00', 3, '', 'done in short form')",
    "('Q', NULL, '2006-03-16 00:00:00', 3, '', 'done, NULL completion')",
    "('R', '', '2006-03-14 23:59:59', 1, '', 'overdue by a second')",
    "('S', '', '2006-03-15 00:00:01', 1, '', 'a second after midnight')",
    "('T', '', '2006-03-16 00:00:00', 3.0, '', 'done as a real')",
    "('U', '2006-03-16 00:00:00', '2006-03-16 00:00:00', 3, '', 'done in the future')",
    "('V', '', '2006-03-20 00:00:00', -1, '', 'negative priority, next week')",
    "('W', '', '2006-03-20 00:00:00', 2, '', 'open, next week')",
    "('X', '2006-03-14 00:00:00', '', 3, '', 'done yesterday, no due date')",
    "('Y', '', '1850-06-01 08:00:00', 0, '', 'before 1899')",
    "('Z', '', '', 2.7, '', 'fractional priority, no due date')",
    "('a', '', '15/03/2006', 0, '', 'day-first short form')",
    "('b', '', '15.03.2006', 1, '', 'dotted short form')",
    "('c', '', '3/16/06', 1, '', 'two-digit year')",
    "('d', '2006-03-15', '2006-03-14', 3, '', 'done today, no time')",
    "('e', '', '2006-13-01 00:00:00', 0, '', 'month 13')",
    "('f', '', '0999-03-15 00:00:00', 0, '', 'year 999')",
    "('g', '', 38791, 0, '', 'due as a day number')",
    "('h', '', '2006-03-15 00:00:00 ', 0, '', 'trailing blank')",
    "('i', '', '2006-03-15T00:00:00', 1, '', 'ISO with T')",
    "('j', '', '1900-02-29 00:00:00', 0, '', '29 February 1900')",
    "('k', '', '2006-03-15 00:00:60', 0, '', 'second 60')",
    "('l', NULL, NULL, NULL, '', 'all NULL')",
    "('m', '', '2006-03-15 00:00:00', '1', '', 'priority as digits')",
    "('n', '', '2006-12-20', 1, '', 'no time, later this year')",
};

void InsertTaskRows(SqlDb& db, const char* idPrefix) {
    for (const char* row : kTaskRows) {
        std::string values(row);
        values.insert(2, idPrefix);
        db.ExecDml(
            ("insert into Task(ID, DateDone, DateDue, Priority, RecrDtID, Desc) values" + values).c_str());
    }
}

// Every stored task row as its values' SQL literals and types, in storage order.
std::string StoredTaskRows() {
    std::string text;
    SqlQuery query =
        g_db.ExecQuery("select rowid, quote(ID), quote(DateDone), typeof(DateDone), quote(DateDue), "
                       "typeof(DateDue), quote(Priority), typeof(Priority), quote(Desc) from "
                       "Task order by rowid");
    for (; !query.Eof(); query.NextRow()) {
        for (int field = 0; field < query.NumFields(); ++field)
            text += std::string(query.GetStringField(field, "")) + "|";
        text += "\n";
    }
    return text;
}

bool TaskIndexExists(const char* name) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format("select count(*) from sqlite_master where name = '%q'", name)) != 0;
}

class DayReads : public RecordsDocument {
protected:
    void SetUp() override {
        RecordsDocument::SetUp();
        SetRegistry(&m_registry);
        FixToday(2006, 3, 15);
        InsertTaskRows(g_db, "");
        for (int day = 8; day <= 22; ++day)
            m_days.push_back(CDateTime(2006, 3, day).Format("%Y-%m-%d %H:%M:%S"));
        m_days.push_back(CDateTime(2006, 12, 20).Format("%Y-%m-%d %H:%M:%S"));
    }

    void TearDown() override {
        SetRegistry(nullptr);
        RecordsDocument::TearDown();
    }

    // The invariant of the day's list: on every day the list read through the indexes is the list
    // the rule gives row by row, in the same order, and reading it changes no stored text.
    void ExpectTheRowByRowRuleOnEveryDay(const char* stage) {
        const std::string stored = StoredTaskRows();
        for (const CString& day : m_days) {
            std::vector<CTask> byIndex;
            std::vector<CTask> byRows;
            ASSERT_TRUE(g_doc.GetTasksForDay(day, byIndex));
            ASSERT_TRUE(g_doc.GetTasksForDayByRows(day, byRows));
            EXPECT_EQ(ListedOf(byIndex), ListedOf(byRows)) << stage << ", " << day;
        }
        EXPECT_TRUE(TaskIndexExists(Schema::kTaskDayIndexName)) << stage;
        EXPECT_EQ(StoredTaskRows(), stored) << stage;
        EXPECT_EQ(Prompt().MessageBoxes().size(), 0u) << stage;
    }

    // A document file of its own with the given task rows, as another program leaves it.
    std::string OtherDocumentWith(const char* idPrefix) {
        const std::string path = m_dir.File("Other.pgr");
        SqlDb other;
        other.Open(path.c_str());
        for (const Schema::Statement& statement : Schema::CreateStatements())
            other.ExecDml(statement.sql);
        SqlBuffer globals;
        other.ExecDml(globals.Format(Schema::kInsertGlobals, Schema::kVersion));
        InsertTaskRows(other, idPrefix);
        return path;
    }

    MemoryRegistry m_registry;
    std::vector<CString> m_days;
};

} // namespace

TEST_F(DayReads, TheDaysTasksAreTheRowByRowRulesWhateverTheRowsHistory) {
    ASSERT_FALSE(TaskIndexExists(Schema::kTaskDayIndexName));
    const std::string asWritten = StoredTaskRows();
    std::vector<CTask> today;
    ASSERT_TRUE(g_doc.GetTasksForDayByRows(m_days[7], today));
    ASSERT_GT(today.size(), 5u);

    ExpectTheRowByRowRuleOnEveryDay("first reads");
    m_registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    ExpectTheRowByRowRuleOnEveryDay("day-first short dates");
    m_registry.DeleteValue("Control Panel\\International", "sShortDate");

    // Another program writes rows of every form, and rewrites stored rows in other forms, after the
    // indexes exist.
    {
        SqlDb writer;
        writer.Open(g_dbPath.c_str());
        InsertTaskRows(writer, "late ");
        writer.ExecDml("update Task set DateDue = '2006-03-16' where ID = 'A'");
        writer.ExecDml("update Task set DateDue = '2006-12-20' where ID = 'W'");
        writer.ExecDml("update Task set Priority = 1.5 where ID = 'B'");
        writer.ExecDml("update Task set DateDone = '3/15/2006' where ID = 'D'");
    }
    ExpectTheRowByRowRuleOnEveryDay("rows written later by another program");

    const std::string other = OtherDocumentWith("merged ");
    ASSERT_EQ(g_doc.MergeTasks(other.c_str(), ""), static_cast<int>(std::size(kTaskRows)));
    ExpectTheRowByRowRuleOnEveryDay("merged rows");

    // The rows first written are stored as they were, but for the other program's changes.
    g_db.ExecDml("delete from Task where ID like 'late %' or ID like 'merged %'");
    g_db.ExecDml("update Task set DateDue = '2006-03-15 00:00:00' where ID = 'A'");
    g_db.ExecDml("update Task set DateDue = '2006-03-20 00:00:00' where ID = 'W'");
    g_db.ExecDml("update Task set Priority = 1 where ID = 'B'");
    g_db.ExecDml("update Task set DateDone = '2006-03-14 00:00:00' where ID = 'D'");
    EXPECT_EQ(StoredTaskRows(), asWritten);
}

TEST_F(DayReads, TheDaysTasksOfTheProgramsOwnRowsAreListedInDueOrder) {
    g_db.ExecDml("delete from Task");
    const struct {
        const char* id;
        CDateTime due;
        CDateTime done;
        int priority;
    } tasks[] = {{"late", CDateTime(2006, 3, 15), CDateTime(), 0},
                 {"overdue", CDateTime(2006, 3, 1), CDateTime(), 2},
                 {"undated", CDateTime(), CDateTime(), 1},
                 {"done", CDateTime(2006, 2, 1), CDateTime(2006, 3, 15), kPriorityDone},
                 {"old", CDateTime(1999, 12, 31), CDateTime(), 0}};
    for (const auto& item : tasks) {
        CTask task;
        task.m_ID = item.id;
        task.m_DateDue = item.due;
        task.m_DateDone = item.done;
        task.m_Priority = item.priority;
        ASSERT_TRUE(g_doc.InsertTask(task));
    }
    std::vector<CTask> listed;
    ASSERT_TRUE(g_doc.GetTasksForDay(m_days[7], listed));
    std::vector<std::string> ids;
    for (const CTask& task : listed)
        ids.push_back(task.m_ID.str());
    EXPECT_EQ(ids, (std::vector<std::string>{"undated", "old", "done", "overdue", "late"}));
}

TEST_F(DayReads, TheStoredFormIsExactlyTheTextThatReadsBackToItself) {
    g_db.ExecDml("delete from Task");
    std::vector<std::string> texts = {"",
                                      "2006-03-15",
                                      "2006-03-15T00:00:00",
                                      "2006-03-15 00:00:00 ",
                                      " 2006-03-15 00:00:00",
                                      "2006-3-15 00:00:00",
                                      "3/15/2006",
                                      "0999-12-31 23:59:59",
                                      "1000-01-01 00:00:00",
                                      "9999-12-31 23:59:59",
                                      "2006-00-10 00:00:00",
                                      "2006-10-00 00:00:00",
                                      "2006-13-01 00:00:00",
                                      "2006-03-15 23:60:00",
                                      "2006-03-15 24:00:00",
                                      "2006-03-15 12:00:60",
                                      "abcd-ef-gh ij:kl:mn",
                                      "2006-03-15 00:00:00.000",
                                      "garbage"};
    for (int year : {1000, 1600, 1700, 1899, 1900, 2000, 2004, 2006, 2100, 2400})
        for (int month = 1; month <= 12; ++month)
            for (int day : {1, 28, 29, 30, 31, 32}) {
                char text[32];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                              (month * 5) % 24, (day * 7) % 60, (year + month) % 60);
                texts.push_back(text);
            }
    g_db.ExecDml("begin");
    for (size_t i = 0; i < texts.size(); ++i) {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("insert into Task(ID, DateDue, DateDone, Priority) values('%d', '%q', '', 0)",
                                static_cast<int>(i), texts[i].c_str()));
    }
    g_db.ExecDml("commit");
    int stored = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        SqlBuffer sql;
        const bool odd = g_db.ExecScalar(sql.Format("select %s from Task where ID = '%d'",
                                                    Schema::kTaskOddRow, static_cast<int>(i))) != 0;
        CTask task;
        task.m_ID = std::to_string(i).c_str();
        ASSERT_TRUE(g_doc.GetTask(task));
        const bool readsBackToItself = task.m_DateDue.GetYear() >= 1000 && task.m_DateDue.GetYear() < 9999 &&
                                       task.m_DateDue.Format("%Y-%m-%d %H:%M:%S").str() == texts[i];
        EXPECT_EQ(!odd, texts[i].empty() || readsBackToItself) << '"' << texts[i] << '"';
        stored += odd ? 0 : 1;
    }
    EXPECT_GT(stored, 500);
}

TEST_F(DayReads, TheFirstReadOfADaysTasksTellsThatItPreparesTheDocument) {
    std::vector<std::string> shown;
    SetProgressShower([&shown](const char* text) { shown.push_back(text ? text : "<cleared>"); });
    std::vector<CTask> tasks;
    ASSERT_TRUE(g_doc.GetTasksForDay(m_days[7], tasks));
    ASSERT_TRUE(g_doc.GetTasksForDay(m_days[8], tasks));
    SetProgressShower(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"Preparing the task lists of this document...", "<cleared>"}));
    EXPECT_EQ(Prompt().WaitCursorsShown(), 1);
    EXPECT_EQ(Prompt().WaitCursorDepth(), 0);
}

TEST_F(DayReads, TheDaysTasksAreFoundThroughIndexes) {
    std::vector<CTask> tasks;
    ASSERT_TRUE(g_doc.GetTasksForDay(m_days[7], tasks));
    const CDateTime today(2006, 3, 15);
    const struct {
        CDateTime shown;
        std::vector<const char*> indexes;
    } days[] = {{CDateTime(2006, 3, 14), {"TaskDoneIdx", "TaskOddIdx"}},
                {today, {"TaskDueIdx", "TaskOpenIdx", "TaskDoneIdx", "TaskOddIdx"}},
                {CDateTime(2006, 3, 16), {"TaskDueIdx", "TaskOddIdx"}}};
    for (const auto& day : days) {
        SqlTable plan = g_db.GetTable(CString("explain query plan ") + TaskDayQuery(day.shown, today));
        std::string details;
        for (int row = 0; row < plan.NumRows(); ++row) {
            plan.SetRow(row);
            const std::string detail = plan.GetStringField(3, "");
            // A scan reads only the entries of an index, never the table.
            if (detail.find("SCAN TABLE") != std::string::npos) {
                EXPECT_NE(detail.find("USING"), std::string::npos) << detail;
            }
            details += detail + "\n";
        }
        for (const char* index : day.indexes)
            EXPECT_NE(details.find(index), std::string::npos) << details;
    }
}

namespace {

// Appointments of 15 March 2006 and around it; now is 10:20:30 that day.
const char* const kApptRows[] = {
    "('A1', 1, '2006-03-15 09:00:00', '2006-03-15 00:00:00', '2006-03-15 09:30:00', 'past alarm')",
    "('A2', 1, '2006-03-15 10:20:30', '2006-03-15 00:00:00', '2006-03-15 10:30:00', 'alarm this second')",
    "('A3', 1, '2006-03-15 10:20:31', '2006-03-15 00:00:00', '2006-03-15 10:30:00', 'alarm a second ahead')",
    "('A4', 0, '2006-03-15 08:00:00', '2006-03-15 00:00:00', '2006-03-15 08:30:00', 'no alarm')",
    "('A5', NULL, '2006-03-15 08:00:00', '2006-03-15 00:00:00', '2006-03-15 08:15:00', 'NULL alarm')",
    "('A6', 'x', '2006-03-15 08:00:00', '2006-03-15 00:00:00', '2006-03-15 08:10:00', 'text alarm')",
    "('A7', 2, '3/15/2006 7:00 AM', '2006-03-15 00:00:00', '2006-03-15 07:30:00', 'alarm in short form')",
    "('A8', 1, '', '2006-03-15 00:00:00', '2006-03-15 07:00:00', 'no alarm time')",
    "('A9', 1, '2006-03-14 09:00:00', '2006-03-14 00:00:00', '2006-03-14 09:30:00', 'yesterday')",
    "('A10', 1, '2006-03-15 06:00:00', '2006-03-15 00:00:00', '2006-03-15 06:30:00', 'same ID, first')",
    "('A10', 1, '2006-03-15 06:00:00', '2006-03-15 00:00:00', '2006-03-15 06:30:00', 'same ID, second')",
    "('A11', 0.5, '2006-03-15 06:00:00', '2006-03-15 00:00:00', '2006-03-15 06:45:00', 'half alarm')",
    "('A12', 1, '2006-03-15 09:00:00', '2006-03-15 12:00:00', '2006-03-15 09:30:00', 'day at noon')",
};

// The check as it examined the day: each appointment the planner shows for the day, read again by
// its ID, the run of one ID once.
std::vector<CString> DueTheRowByRowWay(const char* day, const CDateTime& now) {
    std::vector<CAppt> shown;
    EXPECT_TRUE(g_doc.GetApptsInRange(shown, day, day));
    std::vector<CString> due;
    CString previous;
    for (const CAppt& item : shown) {
        if (item.m_ID == previous)
            continue;
        previous = item.m_ID;
        CAppt appt;
        appt.m_ID = item.m_ID;
        if (g_doc.GetAppt(appt) && appt.m_Alarm && appt.m_AlarmTime.IsValid() && now >= appt.m_AlarmTime)
            due.push_back(appt.m_ID + " " + appt.m_Desc);
    }
    return due;
}

} // namespace

TEST_F(DayReads, TheDueAlarmsEqualTheAppointmentByAppointmentCheck) {
    for (const char* row : kApptRows)
        g_db.ExecDml(
            (std::string("insert into Appt(ID, Alarm, AlarmTime, DateDue, StartTime, Desc) values") + row)
                .c_str());
    const CDateTime now = CDateTime::GetCurrentTime();
    for (const char* day : {"2006-03-15 00:00:00", "2006-03-14 00:00:00", "2006-03-16 00:00:00"}) {
        std::vector<CAppt> due;
        ASSERT_TRUE(g_doc.GetDueAlarms(day, now, due));
        std::vector<CString> texts;
        for (const CAppt& appt : due)
            texts.push_back(appt.m_ID + " " + appt.m_Desc);
        EXPECT_EQ(texts, DueTheRowByRowWay(day, now)) << day;
    }
    std::vector<CAppt> due;
    ASSERT_TRUE(g_doc.GetDueAlarms("2006-03-15 00:00:00", now, due));
    EXPECT_EQ(due.size(), 4u);
}

TEST_F(DayReads, AppointmentsAndTasksAreLookedUpByIndex) {
    for (const char* query : {"select * from Appt where ID = 'x'", "select * from Task where ID = 'x'"}) {
        SqlTable plan = g_db.GetTable((std::string("explain query plan ") + query).c_str());
        plan.SetRow(0);
        EXPECT_NE(std::string(plan.GetStringField(3, "")).find("USING INDEX"), std::string::npos) << query;
    }
}

TEST_F(DayReads, StoredDateTextsReadAsTheParserReadsThem) {
    g_db.ExecDml("delete from Task");
    std::vector<std::string> texts;
    for (int year : {1000, 1582, 1899, 1900, 1999, 2000, 2006, 2024, 2100, 9999})
        for (int step = 0; step < 40; ++step) {
            char text[32];
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, 1 + step % 12,
                          1 + (step * 7) % 31, (step * 5) % 24, (step * 13) % 60, (step * 29) % 60);
            texts.push_back(text);
        }
    texts.insert(texts.end(), {"2006-02-29 00:00:00", "2004-02-29 23:59:59", "1899-12-30 00:00:00",
                               "1899-12-29 06:00:00", "2006-03-15 24:00:00", "2006-03-15 10:60:00"});
    for (size_t i = 0; i < texts.size(); ++i)
        g_db.ExecDml(("insert into Task(ID, DateDue, DateDone) values('" + std::to_string(i) + "', '" +
                      texts[i] + "', '" + texts[i] + "')")
                         .c_str());
    for (size_t i = 0; i < texts.size(); ++i) {
        CTask task;
        task.m_ID = std::to_string(i).c_str();
        ASSERT_TRUE(g_doc.GetTask(task));
        CDateTime parsed;
        parsed.ParseDateTime(texts[i].c_str());
        EXPECT_EQ(task.m_DateDue.GetValue(), parsed.GetValue()) << texts[i];
        EXPECT_EQ(task.m_DateDone.GetValue(), parsed.GetValue()) << texts[i];
    }
}
