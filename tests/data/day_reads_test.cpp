// The day's tasks and the due alarms are read through indexes; over rows of every awkward kind they
// give what the row-by-row rule gives.
#include "data/Schema.h"
#include "data/SqlTable.h"
#include "data/TaskRows.h"
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

std::vector<Listed> ById(std::vector<Listed> listed) {
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) { return a.id < b.id; });
    return listed;
}

// Rows as other programs and older files may hold them: dates in the user's short form, without a
// time, with an impossible day or hour, NULL; priorities as NULL, text, fractions, beyond 32 bits.
// Today is 15 March 2006.
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
};

class DayReads : public RecordsDocument {
protected:
    void SetUp() override {
        RecordsDocument::SetUp();
        FixToday(2006, 3, 15);
        for (const char* row : kTaskRows)
            g_db.ExecDml(
                (std::string("insert into Task(ID, DateDone, DateDue, Priority, RecrDtID, Desc) values") +
                 row)
                    .c_str());
        for (int day = 8; day <= 22; ++day)
            m_days.push_back(CDateTime(2006, 3, day).Format("%Y-%m-%d %H:%M:%S"));
    }

    std::vector<CString> m_days;
};

} // namespace

TEST_F(DayReads, TheDaysTasksEqualTheRowByRowRuleOnEveryKindOfRow) {
    ASSERT_EQ(Count("select count(*) from sqlite_master where name = 'TaskDoneIdx'"), 0);
    // The rule applied to the rows as they were stored.
    std::vector<std::vector<Listed>> expected;
    for (const CString& day : m_days) {
        std::vector<CTask> tasks;
        ASSERT_TRUE(g_doc.GetTasksForDayByRows(day, tasks));
        expected.push_back(ById(ListedOf(tasks)));
    }
    ASSERT_FALSE(expected[7].empty());

    for (size_t i = 0; i < m_days.size(); ++i) {
        std::vector<CTask> tasks;
        ASSERT_TRUE(g_doc.GetTasksForDay(m_days[i], tasks));
        const std::vector<Listed> listed = ListedOf(tasks);
        EXPECT_EQ(ById(listed), expected[i]) << m_days[i];
        // In due-date order, rows due alike in the order they were stored.
        EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
            return CDateTime::Fold(a.due) < CDateTime::Fold(b.due);
        })) << m_days[i];
    }
    EXPECT_EQ(Count("select count(*) from sqlite_master where name = 'TaskDoneIdx'"), 1);
    // Once in the stored form the rows give the rule's result by either way, in the same order.
    for (size_t i = 0; i < m_days.size(); ++i) {
        std::vector<CTask> byRows;
        std::vector<CTask> byIndex;
        ASSERT_TRUE(g_doc.GetTasksForDayByRows(m_days[i], byRows));
        ASSERT_TRUE(g_doc.GetTasksForDay(m_days[i], byIndex));
        EXPECT_EQ(ListedOf(byIndex), ListedOf(byRows)) << m_days[i];
        EXPECT_EQ(ById(ListedOf(byIndex)), expected[i]) << m_days[i];
    }
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(DayReads, TheStoredFormIsWhatTheProgramReads) {
    NormaliseTaskRows();
    SqlTable rows =
        g_db.GetTable("select ID, DateDue, DateDone, Priority, typeof(Priority) from Task where ID in "
                      "('E', 'F', 'H', 'I', 'J', 'L', 'M', 'N', 'O', 'P', 'Q', 'A') order by ID");
    std::vector<std::vector<std::string>> stored;
    for (int row = 0; row < rows.NumRows(); ++row) {
        rows.SetRow(row);
        stored.push_back({rows.GetStringField(0, "?"), rows.GetStringField(1, "?"),
                          rows.GetStringField(2, "?"), rows.GetStringField(3, "?"),
                          rows.GetStringField(4, "?")});
    }
    const std::vector<std::vector<std::string>> expected = {
        {"A", "2006-03-15 00:00:00", "", "0", "integer"},
        {"E", "2006-03-15 00:00:00", "", "2", "integer"},
        {"F", "2006-03-16 00:00:00", "", "1", "integer"},
        {"H", "", "", "0", "integer"},
        {"I", "", "", "1", "integer"},
        {"J", "", "", "2", "integer"},
        {"L", "2006-03-16 00:00:00", "", "0", "integer"},
        {"M", "2006-03-14 00:00:00", "", "0", "integer"},
        {"N", "2006-03-14 00:00:00", "", "2", "integer"},
        {"O", "2006-03-14 00:00:00", "", "2", "integer"},
        {"P", "2006-03-10 00:00:00", "2006-03-16 00:00:00", "3", "integer"},
        {"Q", "2006-03-16 00:00:00", "", "3", "integer"}};
    EXPECT_EQ(stored, expected);
}

TEST_F(DayReads, TheDaysTasksAreFoundThroughIndexes) {
    std::vector<CTask> tasks;
    ASSERT_TRUE(g_doc.GetTasksForDay(m_days[7], tasks));
    SqlTable plan = g_db.GetTable(
        "explain query plan select * from Task where rowid in (select rowid from Task where DateDue = "
        "'2006-03-15 00:00:00' union all select rowid from Task where Priority < 3 and (DateDue <= "
        "'2006-03-15 00:00:00' or length(DateDue) <> 19) union all select rowid from Task where Priority = 3 "
        "and DateDone = '2006-03-15 00:00:00') order by DateDue, rowid");
    std::string details;
    for (int row = 0; row < plan.NumRows(); ++row) {
        plan.SetRow(row);
        details += std::string(plan.GetStringField(3, "")) + "\n";
    }
    EXPECT_EQ(details.find("SCAN"), std::string::npos) << details;
    for (const char* index : {"TaskDueIdx", "TaskOpenIdx", "TaskDoneIdx"})
        EXPECT_NE(details.find(index), std::string::npos) << details;
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
