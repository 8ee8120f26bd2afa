// The document's operations on the owner row, tasks, appointments and recurrence rules.

#include "data/DateParser.h"
#include "data/DbDoc.h"
#include "data/ExclusiveTransaction.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "data/TaskRows.h"
#include "platform/core/FileOps.h"
#include "platform/core/Progress.h"
#include "platform/core/Prompt.h"

#include <sqlcipher/sqlite3.h>

namespace {

// Whether an exists query answers true; false on error.
bool AnyRow(const char* existsQuery) {
    try {
        return g_db.ExecScalar(existsQuery) != 0;
    } catch (const SqlException&) {
        return false;
    }
}

// The text form of every date-time column; an invalid date-time gives ''.
constexpr const char* kDbDateTimeFormat = "%Y-%m-%d %H:%M:%S";
// Times of day inside a recurrence rule.
constexpr const char* kRuleTimeFormat = "%I:%M %p";
// Longest date text a rule keeps.
constexpr int kRuleDateTextLimit = 128;

CString DbText(const CDateTime& value) {
    return value.Format(kDbDateTimeFormat);
}

// The stored form "YYYY-MM-DD HH:MM:SS" of a real date from year 1000 on, read from its digits.
bool ReadStoredForm(const char* text, CDateTime& value) {
    static constexpr char kShape[] = "dddd-dd-dd dd:dd:dd";
    for (size_t i = 0; i < sizeof kShape - 1; ++i) {
        const char ch = text[i];
        if (kShape[i] == 'd' ? (ch < '0' || ch > '9') : ch != kShape[i])
            return false;
    }
    if (text[sizeof kShape - 1] != '\0')
        return false;
    auto number = [text](int at, int digits) {
        int result = 0;
        for (int i = 0; i < digits; ++i)
            result = result * 10 + (text[at + i] - '0');
        return result;
    };
    const int year = number(0, 4);
    return year >= 1000 &&
           value.SetDateTime(year, number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2));
}

// A date-time column as the parser reads it. Rows hold the stored form nearly always; it is read
// straight from its digits, to the same value, and every other text goes through the parser.
CDateTime ParseDbText(const char* text) {
    CDateTime value;
    if (text && ReadStoredForm(text, value))
        return value;
    value.ParseDateTime(text ? text : "");
    return value;
}

void ReadTask(SqlQuery& query, CTask& task) {
    task.m_ID = query.GetStringField(0, "");
    task.m_DateDone = ParseDbText(query.GetStringField(1, ""));
    task.m_DateDue = ParseDbText(query.GetStringField(2, ""));
    task.m_Priority = query.GetIntField(3, 0);
    task.m_RecrDtID = query.GetStringField(4, "");
    task.m_Desc = query.GetStringField(5, "");
}

void ReadAppt(SqlQuery& query, CAppt& appt) {
    appt.m_ID = query.GetStringField(0, "");
    appt.m_Alarm = query.GetIntField(1, 0) != 0;
    appt.m_AlarmTime = ParseDbText(query.GetStringField(2, ""));
    appt.m_Done = query.GetIntField(3, 0) != 0;
    appt.m_DateDue = ParseDbText(query.GetStringField(4, ""));
    appt.m_StartTime = ParseDbText(query.GetStringField(5, ""));
    appt.m_EndTime = ParseDbText(query.GetStringField(6, ""));
    appt.m_RecrDtID = query.GetStringField(7, "");
    appt.m_Desc = query.GetStringField(8, "");
}

void ReadTasks(const char* sql, std::vector<CTask>& tasks) {
    SqlQuery query = g_db.ExecQuery(sql);
    for (; !query.Eof(); query.NextRow()) {
        CTask task;
        ReadTask(query, task);
        tasks.push_back(task);
    }
}

void ReadAppts(const char* sql, std::vector<CAppt>& appts) {
    SqlQuery query = g_db.ExecQuery(sql);
    for (; !query.Eof(); query.NextRow()) {
        CAppt appt;
        ReadAppt(query, appt);
        appts.push_back(appt);
    }
}

// A rule text read from the database, shown in the given pattern ('' stays '').
CString RuleText(const char* dbText, const char* pattern) {
    CString text = ParseDbText(dbText).Format(pattern);
    return text.GetLength() > kRuleDateTextLimit ? text.Left(kRuleDateTextLimit) : text;
}

// A rule text written as a database date-time; a time alone keeps the date of day 0.
CString RuleDbText(const CString& text) {
    return DbText(ParseDbText(text));
}

// Every write of a task, appointment or rule passes here first, named by what it does: the file-step
// test seam can make it fail as a full disk would, or stop the process there.
int Write(const char* step, const char* sql) {
    if (!FileStep(step, g_dbPath.c_str()))
        throw SqlException(SQLITE_IOERR, "disk I/O error");
    return g_db.ExecDml(sql);
}

} // namespace

// Owner

bool CDbDoc::LoadUser(CUser& user) {
    try {
        if (g_db.ExecScalar("select count(*) from User") == 0) {
            char id[kGuidStringLength + 1] = {};
            if (!NewGuidString(id))
                throw SqlException(SqlException::kWrapperError, "Cannot make a record ID");
            SqlBuffer sql;
            g_db.ExecDml(sql.Format("insert into User(ID) values('%q')", id));
        }
        SqlTable table = g_db.GetTable("select * from User");
        table.SetRow(0);
        user.m_ID = table.GetStringField(0, "");
        user.m_Title = table.GetStringField(1, "");
        user.m_FName = table.GetStringField(2, "");
        user.m_LName = table.GetStringField(3, "");
        user.m_Company = table.GetStringField(4, "");
        user.m_Position = table.GetStringField(5, "");
        user.m_Addr1 = table.GetStringField(6, "");
        user.m_Addr2 = table.GetStringField(7, "");
        user.m_City = table.GetStringField(8, "");
        user.m_State = table.GetStringField(9, "");
        user.m_Zip = table.GetStringField(10, "");
        user.m_HmPhone = table.GetStringField(11, "");
        user.m_WkPhone = table.GetStringField(12, "");
        user.m_WkExt = table.GetStringField(13, "");
        user.m_WkFax = table.GetStringField(14, "");
        user.m_CelPhone = table.GetStringField(15, "");
        user.m_Pager = table.GetStringField(16, "");
        user.m_Email = table.GetStringField(17, "");
        user.m_WebPage = table.GetStringField(18, "");
        return true;
    } catch (const SqlException& error) {
        MessageBoxA(nullptr, error.errorMessage(), "Error Loading User Information", MB_OK | MB_ICONERROR);
        return false;
    }
}

bool CDbDoc::SaveUser(const CUser& user) {
    try {
        SqlBuffer sql;
        sql.Format(
            "update User set \t\t\tTitle = %Q, FName = %Q, LName = %Q, Company = %Q, Position = %Q, "
            "\t\t\tAddr1 = %Q, Addr2 = %Q, City = %Q, State = %Q, Zip = %Q, \t\t\tHmPhone = %Q, WkPhone "
            "= %Q, WkExt = %Q, WkFax = %Q, \t\t\tCelPhone = %Q, Pager = %Q, Email = %Q, WebPage = %Q "
            "\t\t\twhere ID = '%q'",
            user.m_Title.c_str(), user.m_FName.c_str(), user.m_LName.c_str(), user.m_Company.c_str(),
            user.m_Position.c_str(), user.m_Addr1.c_str(), user.m_Addr2.c_str(), user.m_City.c_str(),
            user.m_State.c_str(), user.m_Zip.c_str(), user.m_HmPhone.c_str(), user.m_WkPhone.c_str(),
            user.m_WkExt.c_str(), user.m_WkFax.c_str(), user.m_CelPhone.c_str(), user.m_Pager.c_str(),
            user.m_Email.c_str(), user.m_WebPage.c_str(), user.m_ID.c_str());
        ExclusiveTransaction transaction(g_db);
        g_db.ExecDml(sql);
        transaction.Commit();
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

// Tasks

bool CDbDoc::GetTask(CTask& task) {
    try {
        SqlBuffer sql;
        if (g_db.ExecScalar(sql.Format("select count(*) from Task where ID = '%q'", task.m_ID.c_str())) == 0)
            return false;
        SqlQuery query =
            g_db.ExecQuery(sql.Format("select * from Task where ID = '%q' limit 1", task.m_ID.c_str()));
        if (query.Eof())
            return false;
        ReadTask(query, task);
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::InsertTask(const CTask& task) {
    try {
        SqlBuffer sql;
        sql.Format(
            "insert into Task(ID, DateDue, DateDone, Priority, \t\t\tDesc, RecrDtID) values('%q', '%q', "
            "'%q', %d, %Q, '%q')",
            task.m_ID.c_str(), DbText(task.m_DateDue).c_str(), DbText(task.m_DateDone).c_str(),
            task.m_Priority, task.m_Desc.c_str(), task.m_RecrDtID.c_str());
        ExclusiveTransaction transaction(g_db);
        Write("insert task", sql);
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::UpdateTask(const CTask& task) {
    try {
        SqlBuffer sql;
        Write("update task",
              sql.Format("update Task set DateDue = '%q', DateDone = '%q', \t\t\tPriority = %d, Desc = "
                         "%Q, RecrDtID = '%q' \t\t\twhere ID = '%q'",
                         DbText(task.m_DateDue).c_str(), DbText(task.m_DateDone).c_str(), task.m_Priority,
                         task.m_Desc.c_str(), task.m_RecrDtID.c_str(), task.m_ID.c_str()));
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::DeleteTask(const CTask& task) {
    try {
        ExclusiveTransaction transaction(g_db);
        SqlBuffer sql;
        Write("delete task", sql.Format("delete from Task where ID = '%q'", task.m_ID.c_str()));
        // The rule goes with the last task of its series.
        if (g_db.ExecScalar(
                sql.Format("select count(*) from Task where RecrDtID = '%q'", task.m_RecrDtID.c_str())) == 0)
            Write("delete rule",
                  sql.Format("delete from RecurringDate where ID = '%q'", task.m_RecrDtID.c_str()));
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

namespace {

// The rule of the day's list, for one task: due on the shown day when that is today or later, open
// and due by today (or without a due date) on today, done on the shown day when that is not after
// today.
bool ListedOnDay(const CTask& task, const CDateTime& shown, const CDateTime& today) {
    const bool dueThatDay = task.m_DateDue == shown && shown >= today;
    const bool openOnToday = task.m_DateDue <= today && shown == today && task.m_Priority < kPriorityDone;
    const bool doneThatDay = task.m_DateDone == shown && shown <= today && task.m_Priority == kPriorityDone;
    return dueThatDay || openOnToday || doneThatDay;
}

// Appends the task rows of the query that are listed on the shown day.
void AppendListedOnDay(SqlQuery& query, const CDateTime& shown, const CDateTime& today,
                       std::vector<CTask>& tasks) {
    for (; !query.Eof(); query.NextRow()) {
        CTask task;
        ReadTask(query, task);
        if (ListedOnDay(task, shown, today))
            tasks.push_back(task);
    }
}

bool TaskDayIndexesExist() {
    SqlBuffer sql;
    return g_db.ExecScalar(
               sql.Format("select count(*) from sqlite_master where type = 'index' and name = '%q'",
                          Schema::kTaskDayIndexName)) != 0;
}

// The indexes the day's tasks are found through, made once per document; on a large document this
// takes seconds, which the main window tells of. False when they cannot be made (the file is
// read-only, say): the rows are then read one by one.
bool EnsureTaskDayIndexes() {
    if (TaskDayIndexesExist())
        return true;
    try {
        BusyNotice notice("Preparing the task lists of this document...");
        ExclusiveTransaction transaction(g_db);
        for (const char* index : Schema::kTaskDayIndexes)
            g_db.ExecDml(index);
        transaction.Commit();
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

} // namespace

CString TaskDayQuery(const CDateTime& shown, const CDateTime& today) {
    // A row in its stored form is on the day by one of the three parts of the rule, each a range of
    // the stored texts that an index answers; only the parts that can hold rows on this day are asked
    // for. Every other row may be on any day and is read as well. The rule then decides on each row
    // found, as it does on every row in GetTasksForDayByRows.
    const CString shownText = DbText(shown);
    const CString todayText = DbText(today);
    std::vector<CString> parts;
    SqlBuffer part;
    if (shown >= today)
        parts.push_back(part.Format("select rowid from Task where DateDue = '%q'", shownText.c_str()));
    if (shown == today)
        parts.push_back(part.Format("select rowid from Task where Priority < %d and DateDue <= '%q'",
                                    kPriorityDone, todayText.c_str()));
    if (shown <= today)
        parts.push_back(part.Format("select rowid from Task where Priority = %d and DateDone = '%q'",
                                    kPriorityDone, shownText.c_str()));
    parts.push_back(CString("select rowid from Task where ") + Schema::kTaskOddRow);
    // Each part searches its own index; the rowid list holds a row found twice once. The order is
    // that of the row-by-row rule.
    CString sql("select * from Task where rowid in (");
    for (size_t i = 0; i < parts.size(); ++i)
        sql += (i ? " union all " : "") + parts[i];
    sql += ") order by DateDue, rowid";
    return sql;
}

bool CDbDoc::GetTasksForDay(const char* day, std::vector<CTask>& tasks) {
    const CDateTime shown = ParseDbText(day);
    CDateTime today = CDateTime::GetCurrentTime();
    today.SetTime(0, 0, 0);
    // A day the stored texts cannot name is left to the rule applied row by row.
    if (!shown.IsValid() || shown.GetYear() < 1000)
        return GetTasksForDayByRows(day, tasks);
    try {
        if (!EnsureTaskDayIndexes())
            return GetTasksForDayByRows(day, tasks);
        SqlQuery query = g_db.ExecQuery(TaskDayQuery(shown, today));
        AppendListedOnDay(query, shown, today, tasks);
        return true;
    } catch (const SqlException& error) {
        MessageBoxA(nullptr, error.errorMessage(), "Error Retrieving Tasks", MB_OK | MB_ICONERROR);
        return false;
    }
}

bool CDbDoc::GetTasksForDayByRows(const char* day, std::vector<CTask>& tasks) {
    const CDateTime shown = ParseDbText(day);
    CDateTime today = CDateTime::GetCurrentTime();
    today.SetTime(0, 0, 0);
    try {
        SqlQuery query = g_db.ExecQuery("select * from Task order by DateDue");
        AppendListedOnDay(query, shown, today, tasks);
        return true;
    } catch (const SqlException& error) {
        MessageBoxA(nullptr, error.errorMessage(), "Error Retrieving Tasks", MB_OK | MB_ICONERROR);
        return false;
    }
}

bool CDbDoc::GetTasksInRange(std::vector<CTask>& tasks, const char* from, const char* to) {
    try {
        SqlBuffer sql;
        ReadTasks(
            sql.Format("select * from Task where DateDue >= '%q' \t\t\tand DateDue <= '%q' order by DateDue",
                       from ? from : "", to ? to : ""),
            tasks);
        m_listedTaskCount = static_cast<int>(tasks.size());
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::GetTasksByRecurrence(std::vector<CTask>& tasks, const char* ruleId) {
    try {
        SqlBuffer sql;
        ReadTasks(sql.Format("select * from Task \t\t\twhere RecrDtID= '%q' order by DateDue",
                             ruleId ? ruleId : ""),
                  tasks);
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

int CDbDoc::GetTaskCount() const {
    if (!IsOpen())
        return 0;
    try {
        return g_db.ExecScalar("select count(*) from Task");
    } catch (const SqlException&) {
        return 0;
    }
}

// Appointments

bool CDbDoc::GetApptsInRange(std::vector<CAppt>& appts, const char* from, const char* to) {
    try {
        SqlBuffer sql;
        ReadAppts(
            sql.Format("select * from Appt where DateDue >= '%q' \t\t\tand DateDue <= '%q' order by DateDue, "
                       "StartTime",
                       from ? from : "", to ? to : ""),
            appts);
        m_listedApptCount = static_cast<int>(appts.size());
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::GetApptsByRecurrence(std::vector<CAppt>& appts, const char* ruleId) {
    try {
        SqlBuffer sql;
        ReadAppts(sql.Format("select * from Appt where RecrDtID = '%q' \t\t\torder by DateDue, StartTime",
                             ruleId ? ruleId : ""),
                  appts);
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::GetAppt(CAppt& appt) {
    try {
        SqlBuffer sql;
        if (g_db.ExecScalar(sql.Format("select count(*) from Appt where ID = '%q'", appt.m_ID.c_str())) == 0)
            return false;
        SqlQuery query =
            g_db.ExecQuery(sql.Format("select * from Appt where ID = '%q' limit 1", appt.m_ID.c_str()));
        if (query.Eof())
            return false;
        ReadAppt(query, appt);
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::GetDueAlarms(const char* day, const CDateTime& now, std::vector<CAppt>& appts) {
    try {
        // The rows the day planner shows for the day, narrowed to those with an alarm; a row whose
        // Alarm does not read as set is passed over below, as the check does.
        SqlBuffer sql;
        std::vector<CAppt> withAlarm;
        ReadAppts(sql.Format("select * from Appt where DateDue >= '%q' and DateDue <= '%q' and Alarm <> 0 "
                             "order by DateDue, StartTime",
                             day ? day : "", day ? day : ""),
                  withAlarm);
        CString previous;
        for (size_t i = 0; i < withAlarm.size(); ++i) {
            const CAppt& appt = withAlarm[i];
            if (i > 0 && appt.m_ID == previous)
                continue;
            previous = appt.m_ID;
            if (appt.m_Alarm && appt.m_AlarmTime.IsValid() && now >= appt.m_AlarmTime)
                appts.push_back(appt);
        }
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::InsertAppt(const CAppt& appt) {
    try {
        SqlBuffer sql;
        Write("insert appointment",
              sql.Format("insert into Appt(ID, Alarm, AlarmTime, \t\t\tDone, DateDue, StartTime, EndTime, "
                         "\t\t\tRecrDtID, Desc) values('%q', %d, '%q', %d, \t\t\t'%q', '%q', '%q', '%q', %Q)",
                         appt.m_ID.c_str(), appt.m_Alarm ? 1 : 0, DbText(appt.m_AlarmTime).c_str(),
                         appt.m_Done ? 1 : 0, DbText(appt.m_DateDue).c_str(),
                         DbText(appt.m_StartTime).c_str(), DbText(appt.m_EndTime).c_str(),
                         appt.m_RecrDtID.c_str(), appt.m_Desc.c_str()));
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::UpdateAppt(const CAppt& appt) {
    try {
        SqlBuffer sql;
        Write("update appointment",
              sql.Format("update Appt set Alarm = %d, AlarmTime = '%q', \t\t\tDone = %d, DateDue = '%q', "
                         "StartTime = '%q', \t\t\tEndTime = '%q', RecrDtID = '%q', Desc = %Q \t\t\twhere ID "
                         "= '%q'",
                         appt.m_Alarm ? 1 : 0, DbText(appt.m_AlarmTime).c_str(), appt.m_Done ? 1 : 0,
                         DbText(appt.m_DateDue).c_str(), DbText(appt.m_StartTime).c_str(),
                         DbText(appt.m_EndTime).c_str(), appt.m_RecrDtID.c_str(), appt.m_Desc.c_str(),
                         appt.m_ID.c_str()));
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::DeleteAppt(const CAppt& appt) {
    try {
        ExclusiveTransaction transaction(g_db);
        SqlBuffer sql;
        Write("delete appointment", sql.Format("delete from Appt where ID = '%q'", appt.m_ID.c_str()));
        // The rule goes with the last appointment of its series.
        if (g_db.ExecScalar(
                sql.Format("select count(*) from Appt where RecrDtID = '%q'", appt.m_RecrDtID.c_str())) == 0)
            Write("delete rule",
                  sql.Format("delete from RecurringDate where ID = '%q'", appt.m_RecrDtID.c_str()));
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

int CDbDoc::GetApptCount() const {
    if (!IsOpen())
        return 0;
    try {
        return g_db.ExecScalar("select count(*) from Appt");
    } catch (const SqlException&) {
        return 0;
    }
}

bool CDbDoc::HasTasks() const {
    return IsOpen() && AnyRow("select exists(select 1 from Task)");
}

bool CDbDoc::HasAppts() const {
    return IsOpen() && AnyRow("select exists(select 1 from Appt)");
}

// Recurrence rules

bool CDbDoc::GetRecurringDate(CRecurItem& rule) {
    try {
        SqlBuffer sql;
        const CString id = rule.GetID();
        if (g_db.ExecScalar(sql.Format("select count(*) from RecurringDate where ID = '%q'", id.c_str())) ==
            0)
            return false;
        SqlQuery query =
            g_db.ExecQuery(sql.Format("select * from RecurringDate where ID = '%q' limit 1", id.c_str()));
        if (query.Eof())
            return false;
        const CString shortDate = CDateParser::GetShortDateFormat();
        CRecurItem read(rule);
        read.SetID(query.GetStringField(0, ""));
        read.SetBasicMethod(query.GetIntField(1, 0));
        read.SetStartTime(RuleText(query.GetStringField(2, ""), kRuleTimeFormat));
        read.SetEndTime(RuleText(query.GetStringField(3, ""), kRuleTimeFormat));
        read.SetEndMethod(query.GetIntField(4, 0));
        read.SetStartDate(RuleText(query.GetStringField(5, ""), shortDate));
        read.SetEndDate(RuleText(query.GetStringField(6, ""), shortDate));
        read.SetEndOccurences(query.GetIntField(7, 0));
        read.SetDailyMethod(query.GetIntField(8, 0));
        read.SetEveryXDayCount(query.GetIntField(9, 0));
        read.SetEveryWeekCount(query.GetIntField(10, 0));
        read.SetWeeklySunday(query.GetIntField(11, 0) != 0);
        read.SetWeeklyMonday(query.GetIntField(12, 0) != 0);
        read.SetWeeklyTuesday(query.GetIntField(13, 0) != 0);
        read.SetWeeklyWednesday(query.GetIntField(14, 0) != 0);
        read.SetWeeklyThursday(query.GetIntField(15, 0) != 0);
        read.SetWeeklyFriday(query.GetIntField(16, 0) != 0);
        read.SetWeeklySaturday(query.GetIntField(17, 0) != 0);
        read.SetMonthlyMethod(query.GetIntField(18, 0));
        read.SetMonthlyCount1(query.GetIntField(19, 0));
        read.SetMonthlyCount2(query.GetIntField(20, 0));
        read.SetMonthlyTheOption(query.GetIntField(21, 0));
        read.SetMonthlyDayOption(query.GetIntField(22, 0));
        read.SetMonthlyCount3(query.GetIntField(23, 0));
        read.SetMonthlyTheOption1(query.GetIntField(24, 0));
        read.SetMonthlyDayOption1(query.GetIntField(25, 0));
        read.SetMonthlyCount4(query.GetIntField(26, 0));
        read.SetMonthlyMathOp(query.GetIntField(27, 0));
        read.SetMonthlyMathDays(query.GetIntField(28, 0));
        read.SetYearlyMethod(query.GetIntField(29, 0));
        read.SetYearlyMonth1(query.GetIntField(30, 0));
        read.SetYearlyMonthDay(query.GetIntField(31, 0));
        read.SetYearlyTheOption(query.GetIntField(32, 0));
        read.SetYearlyDayOption(query.GetIntField(33, 0));
        read.SetYearlyMonth2(query.GetIntField(34, 0));
        rule = read;
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::InsertRecurringDate(const CRecurItem& rule) {
    try {
        SqlBuffer sql;
        sql.Format(
            "insert into RecurringDate(ID, \t\tBasicMethod, StartTime, EndTime, \t\tEndMethod, StartDate, "
            "EndDate, "
            "\t\tEndOccurences, DailyMethod, \t\tEveryXDayCount, EveryWeekCount, \t\tWeeklySunday, "
            "WeeklyMonday, "
            "\t\tWeeklyTuesday, WeeklyWednesday, \t\tWeeklyThursday, WeeklyFriday, \t\tWeeklySaturday, "
            "MonthlyMethod, \t\tMonthlyCount1, MonthlyCount2, \t\tMonthlyTheOption, MonthlyDayOption, "
            "\t\tMonthlyCount3, MonthlyTheOption1, \t\tMonthlyDayOption1, MonthlyCount4, \t\tMonthlyMathOp, "
            "MonthlyMathDays, \t\tYearlyMethod, YearlyMonth1, \t\tYearlyMonthDay, YearlyTheOption, "
            "\t\tYearlyDayOption, YearlyMonth2) \t\tvalues('%q', \t\t%d, '%q', '%q', %d, '%q', '%q', %d, %d, "
            "\t\t%d, %d, \t\t%d, %d, %d, %d, %d, %d, %d, \t\t%d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, "
            "\t\t%d, "
            "%d, %d, %d, %d, %d)",
            rule.GetID().c_str(), rule.GetBasicMethod(), RuleDbText(rule.GetStartTime()).c_str(),
            RuleDbText(rule.GetEndTime()).c_str(), rule.GetEndMethod(),
            RuleDbText(rule.GetStartDate()).c_str(), RuleDbText(rule.GetEndDate()).c_str(),
            rule.GetEndOccurences(), rule.GetDailyMethod(), rule.GetEveryXDayCount(),
            rule.GetEveryWeekCount(), rule.GetWeeklySunday() ? 1 : 0, rule.GetWeeklyMonday() ? 1 : 0,
            rule.GetWeeklyTuesday() ? 1 : 0, rule.GetWeeklyWednesday() ? 1 : 0,
            rule.GetWeeklyThursday() ? 1 : 0, rule.GetWeeklyFriday() ? 1 : 0,
            rule.GetWeeklySaturday() ? 1 : 0, rule.GetMonthlyMethod(), rule.GetMonthlyCount1(),
            rule.GetMonthlyCount2(), rule.GetMonthlyTheOption(), rule.GetMonthlyDayOption(),
            rule.GetMonthlyCount3(), rule.GetMonthlyTheOption1(), rule.GetMonthlyDayOption1(),
            rule.GetMonthlyCount4(), rule.GetMonthlyMathOp(), rule.GetMonthlyMathDays(),
            rule.GetYearlyMethod(), rule.GetYearlyMonth1(), rule.GetYearlyMonthDay(),
            rule.GetYearlyTheOption(), rule.GetYearlyDayOption(), rule.GetYearlyMonth2());
        Write("insert rule", sql);
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::UpdateRecurringDate(const CRecurItem& rule) {
    try {
        SqlBuffer sql;
        sql.Format(
            "update RecurringDate set BasicMethod = %d, \t\t\tStartTime = '%q', EndTime = '%q', EndMethod = "
            "%d, "
            "\t\t\tStartDate = '%q', EndDate = '%q', EndOccurences = %d, \t\t\tDailyMethod = %d, "
            "EveryXDayCount = "
            "%d, EveryWeekCount = %d, \t\t\tWeeklySunday = %d, WeeklyMonday = %d, \t\t\tWeeklyTuesday = %d, "
            "WeeklyWednesday = %d, \t\t\tWeeklyThursday = %d, WeeklyFriday = %d, \t\t\tWeeklySaturday = %d, "
            "MonthlyMethod = %d, \t\t\tMonthlyCount1 = %d, MonthlyCount2 = %d, \t\t\tMonthlyTheOption = %d, "
            "MonthlyDayOption = %d, \t\t\tMonthlyCount3 = %d, MonthlyTheOption1 = %d, "
            "\t\t\tMonthlyDayOption1 = "
            "%d, MonthlyCount4 = %d, \t\t\tMonthlyMathOp = %d, MonthlyMathDays = %d, \t\t\tYearlyMethod = "
            "%d, "
            "YearlyMonth1 = %d, \t\t\tYearlyMonthDay = %d, YearlyTheOption = %d, \t\t\tYearlyDayOption = %d, "
            "YearlyMonth2 = %d \t\t\twhere ID = '%q'",
            rule.GetBasicMethod(), RuleDbText(rule.GetStartTime()).c_str(),
            RuleDbText(rule.GetEndTime()).c_str(), rule.GetEndMethod(),
            RuleDbText(rule.GetStartDate()).c_str(), RuleDbText(rule.GetEndDate()).c_str(),
            rule.GetEndOccurences(), rule.GetDailyMethod(), rule.GetEveryXDayCount(),
            rule.GetEveryWeekCount(), rule.GetWeeklySunday() ? 1 : 0, rule.GetWeeklyMonday() ? 1 : 0,
            rule.GetWeeklyTuesday() ? 1 : 0, rule.GetWeeklyWednesday() ? 1 : 0,
            rule.GetWeeklyThursday() ? 1 : 0, rule.GetWeeklyFriday() ? 1 : 0,
            rule.GetWeeklySaturday() ? 1 : 0, rule.GetMonthlyMethod(), rule.GetMonthlyCount1(),
            rule.GetMonthlyCount2(), rule.GetMonthlyTheOption(), rule.GetMonthlyDayOption(),
            rule.GetMonthlyCount3(), rule.GetMonthlyTheOption1(), rule.GetMonthlyDayOption1(),
            rule.GetMonthlyCount4(), rule.GetMonthlyMathOp(), rule.GetMonthlyMathDays(),
            rule.GetYearlyMethod(), rule.GetYearlyMonth1(), rule.GetYearlyMonthDay(),
            rule.GetYearlyTheOption(), rule.GetYearlyDayOption(), rule.GetYearlyMonth2(),
            rule.GetID().c_str());
        Write("update rule", sql);
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::DeleteRecurringDate(const CRecurItem& rule) {
    try {
        ExclusiveTransaction transaction(g_db);
        SqlBuffer sql;
        Write("delete rule", sql.Format("delete from RecurringDate where ID = '%q'", rule.GetID().c_str()));
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        return RecordFailed(error);
    }
}

bool CDbDoc::RecordFailed(const SqlException& error) {
    m_lastRecordError = error.errorMessage();
    return false;
}
