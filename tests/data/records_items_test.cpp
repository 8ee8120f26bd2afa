#include "data/DateParser.h"
#include "data/IdMaker.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"

#include <utility>
#include <vector>

namespace {

constexpr const char* kDbFormat = "%Y-%m-%d %H:%M:%S";

CString DbText(const CDateTime& value) {
    return value.Format(kDbFormat);
}

CTask Task(const char* id, const char* desc, int priority, const CDateTime& due,
           const CDateTime& done = CDateTime(), const char* rule = "") {
    CTask task;
    task.m_ID = id;
    task.m_Desc = desc;
    task.m_Priority = priority;
    task.m_DateDue = due;
    task.m_DateDone = done;
    task.m_RecrDtID = rule;
    return task;
}

CAppt Appt(const char* id, const char* desc, const CDateTime& day, int hour, const char* rule = "") {
    CAppt appt;
    appt.m_ID = id;
    appt.m_Desc = desc;
    appt.m_DateDue = day;
    appt.m_StartTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour, 0, 0);
    appt.m_EndTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour, 45, 0);
    appt.m_AlarmTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour - 1, 50, 0);
    appt.m_RecrDtID = rule;
    return appt;
}

std::vector<CString> Descs(const std::vector<CTask>& tasks) {
    std::vector<CString> descs;
    for (const CTask& task : tasks)
        descs.push_back(task.m_Desc);
    return descs;
}

std::vector<CString> Ids(const std::vector<CAppt>& appts) {
    std::vector<CString> ids;
    for (const CAppt& appt : appts)
        ids.push_back(appt.m_ID);
    return ids;
}

// A rule whose every field differs from its default and from the others.
CRecurItem FullRule(const char* id) {
    CRecurItem rule;
    rule.SetID(id);
    rule.SetBasicMethod(2);
    rule.SetStartTime("08:00 AM");
    rule.SetEndTime("05:30 PM");
    rule.SetEndMethod(1);
    rule.SetStartDate(CDateTime(2006, 3, 15).Format(CDateParser::GetShortDateFormat()));
    rule.SetEndDate(CDateTime(2006, 11, 29).Format(CDateParser::GetShortDateFormat()));
    rule.SetEndOccurences(12);
    rule.SetDailyMethod(1);
    rule.SetEveryXDayCount(3);
    rule.SetEveryWeekCount(4);
    rule.SetWeeklySunday(true);
    rule.SetWeeklyMonday(false);
    rule.SetWeeklyTuesday(true);
    rule.SetWeeklyWednesday(false);
    rule.SetWeeklyThursday(false);
    rule.SetWeeklyFriday(true);
    rule.SetWeeklySaturday(true);
    rule.SetMonthlyMethod(1);
    rule.SetMonthlyCount1(5);
    rule.SetMonthlyCount2(6);
    rule.SetMonthlyTheOption(4);
    rule.SetMonthlyDayOption(7);
    rule.SetMonthlyCount3(8);
    rule.SetMonthlyTheOption1(3);
    rule.SetMonthlyDayOption1(9);
    rule.SetMonthlyCount4(10);
    rule.SetMonthlyMathOp(1);
    rule.SetMonthlyMathDays(11);
    rule.SetYearlyMethod(1);
    rule.SetYearlyMonth1(12);
    rule.SetYearlyMonthDay(13);
    rule.SetYearlyTheOption(2);
    rule.SetYearlyDayOption(14);
    rule.SetYearlyMonth2(15);
    return rule;
}

void ExpectSameRule(const CRecurItem& read, const CRecurItem& written) {
    EXPECT_EQ(read.GetID(), written.GetID());
    EXPECT_EQ(read.GetBasicMethod(), written.GetBasicMethod());
    EXPECT_EQ(read.GetStartTime(), written.GetStartTime());
    EXPECT_EQ(read.GetEndTime(), written.GetEndTime());
    EXPECT_EQ(read.GetEndMethod(), written.GetEndMethod());
    EXPECT_EQ(read.GetStartDate(), written.GetStartDate());
    EXPECT_EQ(read.GetEndDate(), written.GetEndDate());
    EXPECT_EQ(read.GetEndOccurences(), written.GetEndOccurences());
    EXPECT_EQ(read.GetDailyMethod(), written.GetDailyMethod());
    EXPECT_EQ(read.GetEveryXDayCount(), written.GetEveryXDayCount());
    EXPECT_EQ(read.GetEveryWeekCount(), written.GetEveryWeekCount());
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(read.GetWeeklyDay(day), written.GetWeeklyDay(day)) << day;
    EXPECT_EQ(read.GetMonthlyMethod(), written.GetMonthlyMethod());
    EXPECT_EQ(read.GetMonthlyCount1(), written.GetMonthlyCount1());
    EXPECT_EQ(read.GetMonthlyCount2(), written.GetMonthlyCount2());
    EXPECT_EQ(read.GetMonthlyTheOption(), written.GetMonthlyTheOption());
    EXPECT_EQ(read.GetMonthlyDayOption(), written.GetMonthlyDayOption());
    EXPECT_EQ(read.GetMonthlyCount3(), written.GetMonthlyCount3());
    EXPECT_EQ(read.GetMonthlyTheOption1(), written.GetMonthlyTheOption1());
    EXPECT_EQ(read.GetMonthlyDayOption1(), written.GetMonthlyDayOption1());
    EXPECT_EQ(read.GetMonthlyCount4(), written.GetMonthlyCount4());
    EXPECT_EQ(read.GetMonthlyMathOp(), written.GetMonthlyMathOp());
    EXPECT_EQ(read.GetMonthlyMathDays(), written.GetMonthlyMathDays());
    EXPECT_EQ(read.GetYearlyMethod(), written.GetYearlyMethod());
    EXPECT_EQ(read.GetYearlyMonth1(), written.GetYearlyMonth1());
    EXPECT_EQ(read.GetYearlyMonthDay(), written.GetYearlyMonthDay());
    EXPECT_EQ(read.GetYearlyTheOption(), written.GetYearlyTheOption());
    EXPECT_EQ(read.GetYearlyDayOption(), written.GetYearlyDayOption());
    EXPECT_EQ(read.GetYearlyMonth2(), written.GetYearlyMonth2());
}

class Items : public RecordsDocument {};

} // namespace

// Owner

TEST_F(Items, LoadUserCreatesTheMissingOwnerRowOnce) {
    ASSERT_EQ(Count("select count(*) from User"), 0);
    CUser user;
    user.m_LName = "stale";
    ASSERT_TRUE(g_doc.LoadUser(user));
    EXPECT_EQ(user.m_ID.GetLength(), kGuidStringLength);
    EXPECT_TRUE(user.m_LName.IsEmpty());
    EXPECT_TRUE(user.m_WebPage.IsEmpty());
    EXPECT_EQ(Count("select count(*) from User"), 1);

    CUser again;
    ASSERT_TRUE(g_doc.LoadUser(again));
    EXPECT_EQ(again.m_ID, user.m_ID);
    EXPECT_EQ(Count("select count(*) from User"), 1);
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Items, SavedOwnerReadsBackEveryFieldInItsOwnColumn) {
    CUser user;
    ASSERT_TRUE(g_doc.LoadUser(user));
    const std::vector<std::pair<const char*, CString CUser::*>> columns = {
        {"Title", &CUser::m_Title},     {"FName", &CUser::m_FName},       {"LName", &CUser::m_LName},
        {"Company", &CUser::m_Company}, {"Position", &CUser::m_Position}, {"Addr1", &CUser::m_Addr1},
        {"Addr2", &CUser::m_Addr2},     {"City", &CUser::m_City},         {"State", &CUser::m_State},
        {"Zip", &CUser::m_Zip},         {"HmPhone", &CUser::m_HmPhone},   {"WkPhone", &CUser::m_WkPhone},
        {"WkExt", &CUser::m_WkExt},     {"WkFax", &CUser::m_WkFax},       {"CelPhone", &CUser::m_CelPhone},
        {"Pager", &CUser::m_Pager},     {"Email", &CUser::m_Email},       {"WebPage", &CUser::m_WebPage}};
    for (const auto& [column, field] : columns)
        user.*field = CString(column) + " 'o' \"q\"";
    ASSERT_TRUE(g_doc.SaveUser(user));
    EXPECT_TRUE(InAutocommit());

    CUser read;
    ASSERT_TRUE(g_doc.LoadUser(read));
    EXPECT_EQ(read.m_ID, user.m_ID);
    SqlQuery row = g_db.ExecQuery("select * from User");
    for (const auto& [column, field] : columns) {
        EXPECT_EQ(read.*field, user.*field) << column;
        EXPECT_STREQ(row.GetStringField(column, "?"), (user.*field).c_str()) << column;
    }
}

TEST_F(Items, OwnerErrors) {
    g_db.ExecDml("drop table User");
    CUser user;
    EXPECT_FALSE(g_doc.LoadUser(user));
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Loading User Information");
    EXPECT_EQ(Prompt().MessageBoxes()[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(g_doc.SaveUser(user));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Prompt().MessageBoxes().size(), 1u) << "saving reports only its result";
}

// Tasks

TEST_F(Items, TaskRoundTripKeepsEveryField) {
    const CTask written = Task("T1", "Call O'Brien about \"it\"", kPriorityLow, CDateTime(2006, 3, 15),
                               CDateTime(2006, 3, 16), "R1");
    ASSERT_TRUE(g_doc.InsertTask(written));
    EXPECT_TRUE(InAutocommit());

    CTask read;
    read.m_ID = "T1";
    ASSERT_TRUE(g_doc.GetTask(read));
    EXPECT_EQ(read.m_Desc, written.m_Desc);
    EXPECT_EQ(read.m_Priority, kPriorityLow);
    EXPECT_EQ(read.m_DateDue, CDateTime(2006, 3, 15));
    EXPECT_EQ(read.m_DateDone, CDateTime(2006, 3, 16));
    EXPECT_EQ(read.m_RecrDtID, "R1");

    SqlQuery row = g_db.ExecQuery("select * from Task where ID = 'T1'");
    EXPECT_STREQ(row.GetStringField("DateDue"), "2006-03-15 00:00:00");
    EXPECT_STREQ(row.GetStringField("DateDone"), "2006-03-16 00:00:00");
    EXPECT_EQ(row.GetIntField("Priority"), kPriorityLow);
    EXPECT_STREQ(row.GetStringField("RecrDtID"), "R1");
    EXPECT_STREQ(row.GetStringField("Desc"), written.m_Desc.c_str());
}

TEST_F(Items, TaskUpdateAndUnsetCompletion) {
    ASSERT_TRUE(g_doc.InsertTask(Task("T1", "Old", kPriorityHigh, CDateTime(2006, 3, 15))));
    EXPECT_EQ(Count("select count(*) from Task where DateDone = ''"), 1);
    ASSERT_TRUE(g_doc.UpdateTask(
        Task("T1", "It's done", kPriorityDone, CDateTime(2006, 3, 17), CDateTime(2006, 3, 18))));
    CTask read;
    read.m_ID = "T1";
    ASSERT_TRUE(g_doc.GetTask(read));
    EXPECT_EQ(read.m_Desc, "It's done");
    EXPECT_EQ(read.m_Priority, kPriorityDone);
    EXPECT_EQ(read.m_DateDue, CDateTime(2006, 3, 17));
    EXPECT_EQ(read.m_DateDone, CDateTime(2006, 3, 18));

    ASSERT_TRUE(g_doc.UpdateTask(Task("T1", "Reopened", kPriorityMedium, CDateTime())));
    ASSERT_TRUE(g_doc.GetTask(read));
    EXPECT_FALSE(read.m_DateDue.IsValid());
    EXPECT_FALSE(read.m_DateDone.IsValid());
}

TEST_F(Items, MissingTaskAndAppointmentLeaveTheRecordUnchanged) {
    CTask task = Task("NOPE", "keep", kPriorityLow, CDateTime(2006, 1, 1));
    EXPECT_FALSE(g_doc.GetTask(task));
    EXPECT_EQ(task.m_Desc, "keep");
    EXPECT_EQ(task.m_Priority, kPriorityLow);
    CAppt appt = Appt("NOPE", "keep", CDateTime(2006, 1, 1), 9);
    EXPECT_FALSE(g_doc.GetAppt(appt));
    EXPECT_EQ(appt.m_Desc, "keep");
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

namespace {

// Today is Wednesday 15 March 2006; the table lists which tasks each day shows.
struct DayCase {
    const char* name;
    CDateTime day;
    std::vector<CString> listed;
};

class TasksForDay : public RecordsDocument, public testing::WithParamInterface<DayCase> {
protected:
    void SetUp() override {
        RecordsDocument::SetUp();
        FixToday(2006, 3, 15);
        const CDateTime today(2006, 3, 15);
        const CDateTime yesterday(2006, 3, 14);
        const CDateTime threeDaysAgo(2006, 3, 12);
        const CDateTime tomorrow(2006, 3, 16);
        const std::vector<CTask> tasks = {
            Task("1", "open, no due date", kPriorityMedium, CDateTime()),
            Task("2", "open, due 3 days ago", kPriorityHigh, threeDaysAgo),
            Task("3", "done yesterday, due 3 days ago", kPriorityDone, threeDaysAgo, yesterday),
            Task("4", "done today, due 3 days ago", kPriorityDone, threeDaysAgo, today),
            Task("5", "open, due yesterday", kPriorityLow, yesterday),
            Task("6", "done today, due today", kPriorityDone, today, today),
            Task("7", "open, due today", kPriorityLow, today),
            Task("8", "open, due today at 10:00", kPriorityHigh, CDateTime(2006, 3, 15, 10, 0, 0)),
            Task("9", "done today, due tomorrow", kPriorityDone, tomorrow, today),
            Task("10", "open, due tomorrow", kPriorityMedium, tomorrow),
            Task("11", "open with a completion date yesterday", kPriorityMedium, CDateTime(2006, 3, 20),
                 yesterday),
            Task("12", "done yesterday at noon", kPriorityDone, threeDaysAgo,
                 CDateTime(2006, 3, 14, 12, 0, 0)),
        };
        for (const CTask& task : tasks)
            ASSERT_TRUE(g_doc.InsertTask(task));
    }
};

} // namespace

TEST_P(TasksForDay, ListsTheDaysTasksInDueOrder) {
    std::vector<CTask> tasks;
    g_doc.GetTasksForDay(DbText(GetParam().day), tasks);
    EXPECT_EQ(Descs(tasks), GetParam().listed);
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Items, TasksForDay,
    testing::Values(
        DayCase{"Today",
                CDateTime(2006, 3, 15),
                {"open, no due date", "open, due 3 days ago", "done today, due 3 days ago",
                 "open, due yesterday", "done today, due today", "open, due today",
                 "done today, due tomorrow"}},
        DayCase{"Tomorrow", CDateTime(2006, 3, 16), {"done today, due tomorrow", "open, due tomorrow"}},
        DayCase{"Yesterday", CDateTime(2006, 3, 14), {"done yesterday, due 3 days ago"}},
        DayCase{"ThreeDaysAgo", CDateTime(2006, 3, 12), {}},
        DayCase{"NextWeek", CDateTime(2006, 3, 20), {"open with a completion date yesterday"}}),
    [](const testing::TestParamInfo<DayCase>& dayCase) { return std::string(dayCase.param.name); });

TEST_F(Items, TasksForDayAppendAndReportErrors) {
    FixToday(2006, 3, 15);
    ASSERT_TRUE(g_doc.InsertTask(Task("1", "due today", kPriorityHigh, CDateTime(2006, 3, 15))));
    std::vector<CTask> tasks = {Task("0", "kept", kPriorityHigh, CDateTime())};
    EXPECT_TRUE(g_doc.GetTasksForDay("2006-03-15 00:00:00", tasks));
    EXPECT_EQ(Descs(tasks), (std::vector<CString>{"kept", "due today"}));

    g_db.ExecDml("drop table Task");
    EXPECT_FALSE(g_doc.GetTasksForDay("2006-03-15 00:00:00", tasks));
    EXPECT_EQ(tasks.size(), 2u);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Retrieving Tasks");
    EXPECT_EQ(Prompt().MessageBoxes()[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Prompt().MessageBoxes()[0].owner, nullptr);
}

TEST_F(Items, TasksInRangeAreInclusiveAndCounted) {
    ASSERT_TRUE(g_doc.InsertTask(Task("1", "before", kPriorityHigh, CDateTime(2006, 3, 12))));
    ASSERT_TRUE(g_doc.InsertTask(Task("2", "last", kPriorityHigh, CDateTime(2006, 3, 19))));
    ASSERT_TRUE(g_doc.InsertTask(Task("3", "first", kPriorityHigh, CDateTime(2006, 3, 13))));
    ASSERT_TRUE(g_doc.InsertTask(Task("4", "after", kPriorityHigh, CDateTime(2006, 3, 20))));
    ASSERT_TRUE(g_doc.InsertTask(Task("5", "undated", kPriorityHigh, CDateTime())));
    std::vector<CTask> tasks;
    ASSERT_TRUE(g_doc.GetTasksInRange(tasks, "2006-03-13 00:00:00", "2006-03-19 00:00:00"));
    EXPECT_EQ(Descs(tasks), (std::vector<CString>{"first", "last"}));
    EXPECT_EQ(g_doc.m_listedTaskCount, 2);
}

TEST_F(Items, TasksOfASeriesAndCounts) {
    ASSERT_TRUE(
        g_doc.InsertTask(Task("1", "second", kPriorityHigh, CDateTime(2006, 3, 22), CDateTime(), "R")));
    ASSERT_TRUE(
        g_doc.InsertTask(Task("2", "first", kPriorityHigh, CDateTime(2006, 3, 15), CDateTime(), "R")));
    ASSERT_TRUE(g_doc.InsertTask(Task("3", "single", kPriorityHigh, CDateTime(2006, 3, 15))));
    std::vector<CTask> tasks;
    ASSERT_TRUE(g_doc.GetTasksByRecurrence(tasks, "R"));
    EXPECT_EQ(Descs(tasks), (std::vector<CString>{"first", "second"}));
    EXPECT_EQ(g_doc.GetTaskCount(), 3);
    EXPECT_EQ(g_doc.GetApptCount(), 0);
    EXPECT_TRUE(g_doc.HasTasks());
    EXPECT_FALSE(g_doc.HasAppts());
}

TEST_F(Items, CountsOfADocumentThatIsNotOpenAreZero) {
    ASSERT_TRUE(g_doc.InsertTask(Task("1", "x", kPriorityHigh, CDateTime(2006, 3, 15))));
    ASSERT_TRUE(g_doc.InsertAppt(Appt("1", "x", CDateTime(2006, 3, 15), 9)));
    // g_db holds a task and an appointment, but a document without an open file does not ask it.
    const CDbDoc closed;
    ASSERT_FALSE(closed.IsOpen());
    EXPECT_EQ(closed.GetTaskCount(), 0);
    EXPECT_EQ(closed.GetApptCount(), 0);
    EXPECT_EQ(g_doc.GetTaskCount(), 1);
    EXPECT_EQ(g_doc.GetApptCount(), 1);
    EXPECT_FALSE(closed.HasTasks());
    EXPECT_FALSE(closed.HasAppts());
    EXPECT_TRUE(g_doc.HasTasks());
    EXPECT_TRUE(g_doc.HasAppts());
    g_db.ExecDml("drop table Task");
    EXPECT_FALSE(g_doc.HasTasks()) << "an error answers false";
}

TEST_F(Items, DeletingTasksOfASeriesRemovesTheRuleWithTheLast) {
    ASSERT_TRUE(g_doc.InsertRecurringDate(FullRule("R")));
    ASSERT_TRUE(g_doc.InsertRecurringDate(FullRule("OTHER")));
    const CTask first = Task("1", "first", kPriorityHigh, CDateTime(2006, 3, 15), CDateTime(), "R");
    const CTask second = Task("2", "second", kPriorityHigh, CDateTime(2006, 3, 22), CDateTime(), "R");
    ASSERT_TRUE(g_doc.InsertTask(first));
    ASSERT_TRUE(g_doc.InsertTask(second));
    ASSERT_TRUE(g_doc.InsertTask(Task("3", "single", kPriorityHigh, CDateTime(2006, 3, 15))));

    ASSERT_TRUE(g_doc.DeleteTask(first));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from RecurringDate where ID = 'R'"), 1);
    ASSERT_TRUE(g_doc.DeleteTask(second));
    EXPECT_EQ(Count("select count(*) from RecurringDate where ID = 'R'"), 0);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 1);
    EXPECT_EQ(Count("select count(*) from Task"), 1);
}

TEST_F(Items, FailingRuleDeleteRollsTheTaskDeleteBack) {
    ASSERT_TRUE(g_doc.InsertTask(Task("1", "only", kPriorityHigh, CDateTime(2006, 3, 15), CDateTime(), "R")));
    g_db.ExecDml("drop table RecurringDate");
    EXPECT_FALSE(g_doc.DeleteTask(Task("1", "", kPriorityHigh, CDateTime(), CDateTime(), "R")));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from Task"), 1);
    g_db.ExecDml("begin");
    g_db.ExecDml("rollback");
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Items, FailingTaskWritesLeaveNoTransaction) {
    g_db.ExecDml("drop table Task");
    const CTask task = Task("1", "x", kPriorityHigh, CDateTime(2006, 3, 15));
    EXPECT_FALSE(g_doc.InsertTask(task));
    EXPECT_TRUE(InAutocommit());
    EXPECT_FALSE(g_doc.UpdateTask(task));
    EXPECT_FALSE(g_doc.DeleteTask(task));
    EXPECT_TRUE(InAutocommit());
    std::vector<CTask> tasks;
    EXPECT_FALSE(g_doc.GetTasksInRange(tasks, "", "9"));
    EXPECT_FALSE(g_doc.GetTasksByRecurrence(tasks, "R"));
    CTask read = task;
    EXPECT_FALSE(g_doc.GetTask(read));
    EXPECT_EQ(g_doc.GetTaskCount(), 0);
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

// Appointments

TEST_F(Items, AppointmentRoundTripKeepsEveryField) {
    CAppt written = Appt("A1", "Lunch at Joe's \"Diner\"", CDateTime(2006, 3, 15), 12, "R1");
    written.m_Alarm = true;
    written.m_Done = true;
    ASSERT_TRUE(g_doc.InsertAppt(written));

    CAppt read;
    read.m_ID = "A1";
    ASSERT_TRUE(g_doc.GetAppt(read));
    EXPECT_EQ(read.m_Desc, written.m_Desc);
    EXPECT_EQ(read.m_DateDue, CDateTime(2006, 3, 15));
    EXPECT_EQ(read.m_StartTime, CDateTime(2006, 3, 15, 12, 0, 0));
    EXPECT_EQ(read.m_EndTime, CDateTime(2006, 3, 15, 12, 45, 0));
    EXPECT_EQ(read.m_AlarmTime, CDateTime(2006, 3, 15, 11, 50, 0));
    EXPECT_TRUE(read.m_Alarm);
    EXPECT_TRUE(read.m_Done);
    EXPECT_EQ(read.m_RecrDtID, "R1");

    SqlQuery row = g_db.ExecQuery("select * from Appt where ID = 'A1'");
    EXPECT_EQ(row.GetIntField("Alarm"), 1);
    EXPECT_STREQ(row.GetStringField("AlarmTime"), "2006-03-15 11:50:00");
    EXPECT_EQ(row.GetIntField("Done"), 1);
    EXPECT_STREQ(row.GetStringField("DateDue"), "2006-03-15 00:00:00");
    EXPECT_STREQ(row.GetStringField("StartTime"), "2006-03-15 12:00:00");
    EXPECT_STREQ(row.GetStringField("EndTime"), "2006-03-15 12:45:00");
    EXPECT_STREQ(row.GetStringField("RecrDtID"), "R1");
    EXPECT_STREQ(row.GetStringField("Desc"), written.m_Desc.c_str());

    CAppt changed = Appt("A1", "Moved", CDateTime(2006, 3, 16), 9);
    ASSERT_TRUE(g_doc.UpdateAppt(changed));
    ASSERT_TRUE(g_doc.GetAppt(read));
    EXPECT_EQ(read.m_Desc, "Moved");
    EXPECT_EQ(read.m_StartTime, CDateTime(2006, 3, 16, 9, 0, 0));
    EXPECT_FALSE(read.m_Alarm);
    EXPECT_FALSE(read.m_Done);
    EXPECT_TRUE(read.m_RecrDtID.IsEmpty());
}

TEST_F(Items, AppointmentsOfADayByStartTime) {
    const CDateTime day(2006, 3, 15);
    ASSERT_TRUE(g_doc.InsertAppt(Appt("late", "late", day, 15)));
    ASSERT_TRUE(g_doc.InsertAppt(Appt("early", "early", day, 8)));
    ASSERT_TRUE(g_doc.InsertAppt(Appt("next", "next", CDateTime(2006, 3, 16), 7)));
    ASSERT_TRUE(g_doc.InsertAppt(Appt("before", "before", CDateTime(2006, 3, 14), 7)));
    std::vector<CAppt> appts;
    ASSERT_TRUE(g_doc.GetApptsInRange(appts, DbText(day), DbText(day)));
    EXPECT_EQ(Ids(appts), (std::vector<CString>{"early", "late"}));
    EXPECT_EQ(g_doc.m_listedApptCount, 2);

    appts.clear();
    ASSERT_TRUE(g_doc.GetApptsInRange(appts, DbText(day), DbText(CDateTime(2006, 3, 16))));
    EXPECT_EQ(Ids(appts), (std::vector<CString>{"early", "late", "next"}));
    EXPECT_EQ(g_doc.m_listedApptCount, 3);
    EXPECT_EQ(g_doc.GetApptCount(), 4);
}

TEST_F(Items, DeletingAppointmentsOfASeriesRemovesTheRuleWithTheLast) {
    ASSERT_TRUE(g_doc.InsertRecurringDate(FullRule("R")));
    const CAppt first = Appt("1", "first", CDateTime(2006, 3, 15), 9, "R");
    const CAppt second = Appt("2", "second", CDateTime(2006, 3, 22), 9, "R");
    ASSERT_TRUE(g_doc.InsertAppt(second));
    ASSERT_TRUE(g_doc.InsertAppt(first));
    std::vector<CAppt> series;
    ASSERT_TRUE(g_doc.GetApptsByRecurrence(series, "R"));
    EXPECT_EQ(Ids(series), (std::vector<CString>{"1", "2"}));

    ASSERT_TRUE(g_doc.DeleteAppt(first));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from RecurringDate where ID = 'R'"), 1);
    ASSERT_TRUE(g_doc.DeleteAppt(second));
    EXPECT_EQ(Count("select count(*) from RecurringDate where ID = 'R'"), 0);
    EXPECT_EQ(Count("select count(*) from Appt"), 0);
}

TEST_F(Items, FailingAppointmentStatementsLeaveNoTransaction) {
    ASSERT_TRUE(g_doc.InsertAppt(Appt("1", "only", CDateTime(2006, 3, 15), 9, "R")));
    g_db.ExecDml("drop table RecurringDate");
    EXPECT_FALSE(g_doc.DeleteAppt(Appt("1", "", CDateTime(2006, 3, 15), 9, "R")));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from Appt"), 1);

    g_db.ExecDml("drop table Appt");
    EXPECT_FALSE(g_doc.InsertAppt(Appt("2", "x", CDateTime(2006, 3, 15), 9)));
    EXPECT_FALSE(g_doc.UpdateAppt(Appt("1", "x", CDateTime(2006, 3, 15), 9)));
    std::vector<CAppt> appts;
    EXPECT_FALSE(g_doc.GetApptsInRange(appts, "", "9"));
    EXPECT_FALSE(g_doc.GetApptsByRecurrence(appts, "R"));
    EXPECT_EQ(g_doc.GetApptCount(), 0);
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

// Recurrence rules

TEST_F(Items, RuleRoundTripKeepsEveryFieldAndStoresDateTimes) {
    const CRecurItem written = FullRule("R1");
    ASSERT_TRUE(g_doc.InsertRecurringDate(written));

    SqlQuery row = g_db.ExecQuery("select * from RecurringDate where ID = 'R1'");
    ASSERT_FALSE(row.Eof());
    EXPECT_STREQ(row.GetStringField("StartTime"), "1899-12-30 08:00:00");
    EXPECT_STREQ(row.GetStringField("EndTime"), "1899-12-30 17:30:00");
    EXPECT_STREQ(row.GetStringField("StartDate"), "2006-03-15 00:00:00");
    EXPECT_STREQ(row.GetStringField("EndDate"), "2006-11-29 00:00:00");
    EXPECT_EQ(row.GetIntField("EndOccurences"), 12);
    EXPECT_EQ(row.GetIntField("WeeklySaturday"), 1);
    EXPECT_EQ(row.GetIntField("WeeklyMonday"), 0);
    EXPECT_EQ(row.GetIntField("MonthlyMathDays"), 11);
    EXPECT_EQ(row.GetIntField("YearlyMonth2"), 15);
    EXPECT_STREQ(row.GetStringField("ForceDateID", "?"), "");
    EXPECT_STREQ(row.GetStringField("BlackoutDatesID", "?"), "");
    EXPECT_STREQ(row.GetStringField("SkipDatesID", "?"), "");

    CRecurItem read;
    read.SetID("R1");
    ASSERT_TRUE(g_doc.GetRecurringDate(read));
    ExpectSameRule(read, written);
    EXPECT_EQ(read.GetStartTime(), "08:00 AM");
    EXPECT_EQ(read.GetEndTime(), "05:30 PM");
}

TEST_F(Items, RuleUpdateRewritesEveryField) {
    ASSERT_TRUE(g_doc.InsertRecurringDate(CRecurItem(FullRule("R1"))));
    CRecurItem changed;
    changed.SetID("R1");
    changed.SetStartTime("11:15 PM");
    changed.SetEndTime("11:45 PM");
    changed.SetStartDate(CDateTime(2007, 1, 2).Format(CDateParser::GetShortDateFormat()));
    changed.SetEndDate(CDateTime(2007, 2, 3).Format(CDateParser::GetShortDateFormat()));
    ASSERT_TRUE(g_doc.UpdateRecurringDate(changed));

    CRecurItem read;
    read.SetID("R1");
    ASSERT_TRUE(g_doc.GetRecurringDate(read));
    ExpectSameRule(read, changed);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 1);
}

TEST_F(Items, RuleDatesFollowTheUsersShortDatePattern) {
    MemoryRegistry registry;
    registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    SetRegistry(&registry);
    CRecurItem written = FullRule("R1");
    written.SetStartDate("15.03.2006");
    written.SetEndDate("29.11.2006");
    const bool inserted = g_doc.InsertRecurringDate(written);
    CRecurItem read;
    read.SetID("R1");
    const bool found = g_doc.GetRecurringDate(read);
    SetRegistry(nullptr);

    ASSERT_TRUE(inserted);
    ASSERT_TRUE(found);
    EXPECT_EQ(
        Count("select count(*) from RecurringDate where StartDate = '2006-03-15 00:00:00' and EndDate = "
              "'2006-11-29 00:00:00'"),
        1);
    EXPECT_EQ(read.GetStartDate(), "15.03.2006");
    EXPECT_EQ(read.GetEndDate(), "29.11.2006");
}

TEST_F(Items, EmptyRuleTextsStayEmpty) {
    g_db.ExecDml("insert into RecurringDate(ID, BasicMethod) values('R1', 1)");
    CRecurItem read;
    read.SetID("R1");
    ASSERT_TRUE(g_doc.GetRecurringDate(read));
    EXPECT_TRUE(read.GetStartTime().IsEmpty());
    EXPECT_TRUE(read.GetEndTime().IsEmpty());
    EXPECT_TRUE(read.GetStartDate().IsEmpty());
    EXPECT_TRUE(read.GetEndDate().IsEmpty());
    EXPECT_EQ(read.GetBasicMethod(), 1);
    EXPECT_EQ(read.GetEndOccurences(), 0);
}

TEST_F(Items, MissingRuleLeavesTheRecordUnchangedAndDeleteRemovesTheRow) {
    CRecurItem rule = FullRule("R1");
    EXPECT_FALSE(g_doc.GetRecurringDate(rule));
    ExpectSameRule(rule, FullRule("R1"));

    ASSERT_TRUE(g_doc.InsertRecurringDate(rule));
    ASSERT_TRUE(g_doc.InsertRecurringDate(FullRule("R2")));
    ASSERT_TRUE(g_doc.DeleteRecurringDate(rule));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from RecurringDate where ID = 'R1'"), 0);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 1);
}

TEST_F(Items, FailingRuleStatementsLeaveNoTransaction) {
    g_db.ExecDml("drop table RecurringDate");
    CRecurItem rule = FullRule("R1");
    EXPECT_FALSE(g_doc.InsertRecurringDate(rule));
    EXPECT_FALSE(g_doc.UpdateRecurringDate(rule));
    EXPECT_FALSE(g_doc.GetRecurringDate(rule));
    EXPECT_FALSE(g_doc.DeleteRecurringDate(rule));
    EXPECT_TRUE(InAutocommit());
    g_db.ExecDml("begin");
    g_db.ExecDml("commit");
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}
