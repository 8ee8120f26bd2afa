#include "tests/data/records_document.h"
#include "ui/calendar/TaskSeries.h"
#include "ui/common/SheetParts.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// Every task of the document, in due-date order.
std::vector<CTask> AllTasks() {
    std::vector<CTask> tasks;
    g_doc.GetTasksInRange(tasks, "1900-01-01 00:00:00", "9999-12-31 00:00:00");
    std::stable_sort(tasks.begin(), tasks.end(),
                     [](const CTask& a, const CTask& b) { return a.m_DateDue < b.m_DateDue; });
    return tasks;
}

std::string DayText(const CDateTime& date) {
    return date.Format("%m-%d").c_str();
}

std::vector<std::string> Days(const std::vector<CTask>& tasks) {
    std::vector<std::string> days;
    for (const CTask& task : tasks)
        days.push_back(DayText(task.m_DateDue) + (task.m_RecrDtID.IsEmpty() ? "" : "*"));
    return days;
}

CRecurItem DailyRule(const CDateTime& start, int count, bool byDate) {
    CRecurItem rule;
    rule.SetDaily();
    rule.SetEveryXDays();
    rule.SetEveryXDayCount(1);
    rule.SetStartDate(FormatRuleDate(start).c_str());
    if (byDate) {
        CDateTime end = start;
        end += CDateTimeSpan(count - 1, 0, 0, 0);
        rule.SetEndByDate();
        rule.SetEndDate(FormatRuleDate(end).c_str());
    } else {
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(count);
    }
    return rule;
}

// A daily series from 2 March 2026 ("Water plants").
void AddSeries(int count, bool byDate) {
    CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2));
    entry.desc = "Water plants";
    entry.recurring = true;
    entry.rule = DailyRule(CDateTime(2026, 3, 2), count, byDate);
    ASSERT_TRUE(CTaskSeries::Add(entry));
}

class TaskSeriesTest : public RecordsDocument {
protected:
    // Every RecrDtID names a stored rule or is empty; every stored rule has tasks; no day holds two
    // tasks of the same text.
    static void ExpectConsistent() {
        EXPECT_EQ(Count("select count(*) from Task where coalesce(RecrDtID, '') <> '' and RecrDtID not in "
                        "(select ID from RecurringDate)"),
                  0);
        EXPECT_EQ(Count("select count(*) from RecurringDate where ID not in "
                        "(select RecrDtID from Task where RecrDtID is not null)"),
                  0);
        EXPECT_EQ(
            Count("select count(*) from (select 1 from Task group by DateDue, Desc having count(*) > 1)"), 0);
    }

    static CRecurItem OnlyRuleOf(const CTask& task) {
        CRecurItem rule;
        rule.SetID(task.m_RecrDtID.c_str());
        EXPECT_TRUE(g_doc.GetRecurringDate(rule));
        return rule;
    }
};

TEST_F(TaskSeriesTest, AddStoresOneTaskPerDateAndTheRule) {
    AddSeries(5, false);
    const std::vector<CTask> tasks = AllTasks();
    EXPECT_EQ(Days(tasks), (std::vector<std::string>{"03-02*", "03-03*", "03-04*", "03-05*", "03-06*"}));
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 1);
    for (const CTask& task : tasks) {
        EXPECT_EQ(task.m_Desc, CString("Water plants"));
        EXPECT_FALSE(task.m_DateDone.IsValid());
    }
    ExpectConsistent();
}

TEST_F(TaskSeriesTest, AddPlainTaskHasNoRule) {
    CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2, 15, 30, 0));
    entry.desc = "Call the plumber";
    entry.priority = kPriorityLow;
    ASSERT_TRUE(CTaskSeries::Add(entry));
    const std::vector<CTask> tasks = AllTasks();
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_TRUE(tasks[0].m_RecrDtID.IsEmpty());
    EXPECT_EQ(tasks[0].m_Priority, kPriorityLow);
    EXPECT_TRUE(tasks[0].m_DateDue.IsMidnight());
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
}

struct DeleteCase {
    const char* name;
    int count;
    bool byDate;
    int index; // the occurrence deleted
    std::optional<int> answer;
    std::vector<std::string> days; // what is left; '*' marks tasks of a series
    int rules;
};

class TaskSeriesDelete : public TaskSeriesTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(TaskSeriesDelete, LeavesTheSeriesConsistent) {
    const DeleteCase& c = GetParam();
    AddSeries(c.count, c.byDate);
    if (c.answer)
        Prompt().AnswerMessageBox(*c.answer);
    ASSERT_TRUE(CTaskSeries::Delete(AllTasks()[c.index].m_ID));

    const std::vector<CTask> tasks = AllTasks();
    EXPECT_EQ(Days(tasks), c.days);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), c.rules);
    const std::vector<ScriptedPrompt::Call> boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), c.answer ? 1u : 0u);
    if (c.answer) {
        EXPECT_EQ(boxes[0].text, CString("Do you want to delete all future occurrences of this task?"));
        EXPECT_EQ(boxes[0].caption, CString("Delete Future Occurrences"));
        EXPECT_EQ(boxes[0].flags, unsigned(MB_YESNO | MB_ICONINFORMATION));
    }
    EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
    ExpectConsistent();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskSeriesDelete,
    testing::Values(
        DeleteCase{"LastOfCounted", 5, false, 4, std::nullopt, {"03-02*", "03-03*", "03-04*", "03-05*"}, 1},
        DeleteCase{"LastOfDated", 5, true, 4, std::nullopt, {"03-02*", "03-03*", "03-04*", "03-05*"}, 1},
        DeleteCase{"MiddleYes", 5, false, 2, IDYES, {"03-02*", "03-03*"}, 1},
        DeleteCase{"MiddleNoSplits", 5, false, 2, IDNO, {"03-02*", "03-03*", "03-05*", "03-06*"}, 2},
        DeleteCase{"MiddleNoDatedSplits", 5, true, 2, IDNO, {"03-02*", "03-03*", "03-05*", "03-06*"}, 2},
        DeleteCase{"NoLeavesOneLaterPlain", 5, false, 3, IDNO, {"03-02*", "03-03*", "03-04*", "03-06"}, 1},
        DeleteCase{"NoLeavesOneEarlierPlain", 5, false, 1, IDNO, {"03-02", "03-04*", "03-05*", "03-06*"}, 1},
        DeleteCase{"FirstYesLeavesNothing", 5, false, 0, IDYES, {}, 0},
        DeleteCase{"SecondOfTwo", 2, false, 1, std::nullopt, {"03-02"}, 0},
        DeleteCase{"FirstOfTwoNo", 2, false, 0, IDNO, {"03-03"}, 0},
        DeleteCase{"FirstOfTwoYes", 2, false, 0, IDYES, {}, 0}),
    [](const testing::TestParamInfo<DeleteCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(TaskSeriesTest, DeletingTheLastOccurrenceEndsTheRuleEarlier) {
    for (const bool byDate : {false, true}) {
        g_db.ExecDml("delete from Task");
        g_db.ExecDml("delete from RecurringDate");
        AddSeries(5, byDate);
        ASSERT_TRUE(CTaskSeries::Delete(AllTasks()[4].m_ID));
        const CRecurItem rule = OnlyRuleOf(AllTasks()[0]);
        if (byDate) {
            EXPECT_TRUE(rule.IsEndByDate());
            EXPECT_EQ(rule.GetEndDate(), FormatRuleDate(CDateTime(2026, 3, 5)));
        } else {
            EXPECT_TRUE(rule.IsEndAfterOccurences());
            EXPECT_EQ(rule.GetEndOccurences(), 4);
        }
    }
}

TEST_F(TaskSeriesTest, SplitRulesDescribeTheirParts) {
    AddSeries(5, true);
    Prompt().AnswerMessageBox(IDNO);
    ASSERT_TRUE(CTaskSeries::Delete(AllTasks()[2].m_ID));
    const std::vector<CTask> tasks = AllTasks();
    const CRecurItem first = OnlyRuleOf(tasks[0]);
    const CRecurItem second = OnlyRuleOf(tasks[3]);
    EXPECT_NE(first.GetID(), second.GetID());
    EXPECT_EQ(first.GetEndDate(), FormatRuleDate(CDateTime(2026, 3, 3)));
    EXPECT_EQ(second.GetStartDate(), FormatRuleDate(CDateTime(2026, 3, 5)));
    EXPECT_EQ(second.GetEndDate(), FormatRuleDate(CDateTime(2026, 3, 6)));
}

TEST_F(TaskSeriesTest, DeletingAPlainTaskAsksNothing) {
    CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2));
    entry.desc = "Once";
    ASSERT_TRUE(CTaskSeries::Add(entry));
    ASSERT_TRUE(CTaskSeries::Delete(AllTasks()[0].m_ID));
    EXPECT_TRUE(AllTasks().empty());
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
    EXPECT_FALSE(CTaskSeries::Delete(CString("missing")));
}

struct EditCase {
    const char* name;
    int index;
    bool recurring; // "Recurring" still ticked on OK
    std::optional<int> answer;
    std::vector<std::string> days;
    int rules;
    std::vector<std::string> editedDays; // the days of the tasks with the new text
};

class TaskSeriesEdit : public TaskSeriesTest, public testing::WithParamInterface<EditCase> {};

TEST_P(TaskSeriesEdit, ReplacesTheOccurrence) {
    const EditCase& c = GetParam();
    AddSeries(5, false);
    CTask task;
    CTaskEntry entry;
    ASSERT_TRUE(CTaskSeries::BeginEdit(AllTasks()[c.index].m_ID, task, entry));
    EXPECT_TRUE(entry.recurring);
    EXPECT_EQ(DayText(entry.dateDue), "03-02"); // the series' first date
    entry.desc = "Water the garden";
    entry.priority = kPriorityMedium;
    entry.recurring = c.recurring;
    if (c.answer)
        Prompt().AnswerMessageBox(*c.answer);
    ASSERT_TRUE(CTaskSeries::Edit(task, entry, nullptr));

    const std::vector<CTask> tasks = AllTasks();
    EXPECT_EQ(Days(tasks), c.days);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), c.rules);
    std::vector<std::string> edited;
    for (const CTask& t : tasks)
        if (t.m_Desc == CString("Water the garden")) {
            edited.push_back(DayText(t.m_DateDue));
            EXPECT_EQ(t.m_Priority, kPriorityMedium);
            EXPECT_FALSE(t.m_DateDone.IsValid());
        }
    EXPECT_EQ(edited, c.editedDays);
    const std::vector<ScriptedPrompt::Call> boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), c.answer ? 1u : 0u);
    if (c.answer) {
        EXPECT_EQ(boxes[0].text,
                  CString(c.recurring ? "Do you want to modify future occurrences of this task?"
                                      : "Do you want to delete future occurrences of this task?"));
        EXPECT_EQ(boxes[0].caption,
                  CString(c.recurring ? "Modify Future Occurrences" : "Delete Future Occurrences"));
    }
    EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
    // The edited occurrence is changed where it is stored, not deleted and written anew.
    CTask stored;
    stored.m_ID = task.m_ID;
    ASSERT_TRUE(g_doc.GetTask(stored));
    EXPECT_EQ(stored.m_Desc, CString("Water the garden"));
    ExpectConsistent();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskSeriesEdit,
    testing::Values(
        EditCase{"LastAsksNothing",
                 4,
                 true,
                 std::nullopt,
                 {"03-02*", "03-03*", "03-04*", "03-05*", "03-06"},
                 1,
                 {"03-06"}},
        EditCase{"MiddleYesRestartsSeries",
                 2,
                 true,
                 IDYES,
                 {"03-02*", "03-03*", "03-04*", "03-05*", "03-06*"},
                 2,
                 {"03-04", "03-05", "03-06"}},
        EditCase{"MiddleNoChangesOnlyThisOne",
                 2,
                 true,
                 IDNO,
                 {"03-02*", "03-03*", "03-04", "03-05*", "03-06*"},
                 2,
                 {"03-04"}},
        EditCase{
            "MiddleUntickedYesDeletesLater", 2, false, IDYES, {"03-02*", "03-03*", "03-04"}, 1, {"03-04"}},
        EditCase{"MiddleUntickedNoKeepsLater",
                 2,
                 false,
                 IDNO,
                 {"03-02*", "03-03*", "03-04", "03-05*", "03-06*"},
                 2,
                 {"03-04"}},
        EditCase{"SecondNoLeavesFirstPlain",
                 1,
                 true,
                 IDNO,
                 {"03-02", "03-03", "03-04*", "03-05*", "03-06*"},
                 1,
                 {"03-03"}}),
    [](const testing::TestParamInfo<EditCase>& testCase) { return std::string(testCase.param.name); });

// "This and future" with another rule: the earlier tasks stay, the chosen and later ones follow the
// new rule from the chosen day on, and the series keeps its count of occurrences.
TEST_F(TaskSeriesTest, ThisAndFutureWithAnotherRuleReplacesOnlyFromTheChosenDay) {
    AddSeries(5, false);
    CTask task;
    CTaskEntry entry;
    ASSERT_TRUE(CTaskSeries::BeginEdit(AllTasks()[2].m_ID, task, entry));
    entry.desc = "Water the garden";
    entry.rule.SetEveryXDayCount(2);
    Prompt().AnswerMessageBox(IDYES);
    ASSERT_TRUE(CTaskSeries::Edit(task, entry, nullptr));
    const std::vector<CTask> tasks = AllTasks();
    EXPECT_EQ(Days(tasks),
              (std::vector<std::string>{"03-02*", "03-03*", "03-04*", "03-06*", "03-08*", "03-10*"}));
    EXPECT_EQ(tasks[1].m_Desc, CString("Water plants"));
    EXPECT_EQ(tasks[2].m_Desc, CString("Water the garden"));
    const CRecurItem later = OnlyRuleOf(tasks[2]);
    EXPECT_EQ(later.GetStartDate(), FormatRuleDate(CDateTime(2026, 3, 4)));
    EXPECT_EQ(later.GetEndOccurences(), 4);
    EXPECT_EQ(OnlyRuleOf(tasks[0]).GetEndOccurences(), 2);
    ExpectConsistent();
}

TEST_F(TaskSeriesTest, EditingAPlainTaskIntoASeries) {
    CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 3, 2));
    entry.desc = "Stretch";
    ASSERT_TRUE(CTaskSeries::Add(entry));
    CTask task;
    ASSERT_TRUE(CTaskSeries::BeginEdit(AllTasks()[0].m_ID, task, entry));
    EXPECT_FALSE(entry.recurring);
    EXPECT_EQ(entry.rule.GetStartDate(), FormatRuleDate(CDateTime(2026, 3, 2)));
    entry.recurring = true;
    entry.rule = DailyRule(CDateTime(2026, 3, 2), 3, false);
    ASSERT_TRUE(CTaskSeries::Edit(task, entry, nullptr));
    EXPECT_EQ(Days(AllTasks()), (std::vector<std::string>{"03-02*", "03-03*", "03-04*"}));
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
    ExpectConsistent();
}

TEST_F(TaskSeriesTest, CompleteUsesTodayByTheClock) {
    FixToday(2026, 3, 10, 17);
    g_doc.SetCurrentDate(CDateTime(2026, 3, 2));
    AddSeries(2, false);
    const CString id = AllTasks()[0].m_ID;
    ASSERT_TRUE(CTaskSeries::Complete(id));
    CTask task;
    task.m_ID = id;
    ASSERT_TRUE(g_doc.GetTask(task));
    EXPECT_EQ(task.m_Priority, kPriorityDone);
    EXPECT_EQ(task.m_DateDone, CDateTime(2026, 3, 10));
    EXPECT_FALSE(task.m_RecrDtID.IsEmpty());
    EXPECT_FALSE(CTaskSeries::Complete(CString("missing")));
}

} // namespace
