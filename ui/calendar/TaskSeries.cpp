#include "ui/calendar/TaskSeries.h"

#include "data/DbDoc.h"
#include "ui/calendar/SeriesCore.h"
#include "ui/common/SheetParts.h"

namespace {

constexpr const char* kModifyFutureText = "Do you want to modify future occurrences of this task?";
constexpr const char* kModifyFutureCaption = "Modify Future Occurrences";
constexpr const char* kDeleteFutureText = "Do you want to delete future occurrences of this task?";
constexpr const char* kDeleteAllFutureText = "Do you want to delete all future occurrences of this task?";
constexpr const char* kDeleteFutureCaption = "Delete Future Occurrences";
constexpr const char* kAddFailed = "Error Adding Task";
constexpr const char* kUpdateFailed = "Error Updating Task";
constexpr const char* kDeleteFailed = "Error Deleting Task";

// Fills a task with the sheet's values, due on a day. A task written anew has no completion date;
// one changed in place keeps its completion date while it stays done.
std::function<void(CTask&, const CDateTime&)> EntryFiller(const CTaskEntry& entry) {
    return [&entry](CTask& task, const CDateTime& day) {
        task.m_Desc = entry.desc;
        task.m_DateDue = DayOf(day);
        if (task.m_ID.IsEmpty() || entry.priority != kPriorityDone)
            task.m_DateDone.SetNull();
        task.m_Priority = entry.priority;
    };
}

// The task stored under the ID, read inside a change; false when it is gone.
bool Reread(const CString& taskId, CTask& task) {
    task = CTask();
    task.m_ID = taskId;
    return !taskId.IsEmpty() && g_doc.GetTask(task);
}

} // namespace

CTaskEntry CTaskSeries::ForAdd(const CDateTime& day) {
    CTaskEntry entry;
    entry.dateDue = DayOf(day);
    entry.rule.SetStartDate(FormatRuleDate(entry.dateDue).c_str());
    return entry;
}

bool CTaskSeries::Add(const CTaskEntry& entry) {
    return RunSeriesChange(kAddFailed, [&] {
        CDateList dates;
        if (entry.recurring)
            entry.rule.GetDates(dates);
        // A rule that yields no date is not stored; the task the user typed is kept as a plain one.
        InsertSeries<CTask>(entry.rule, dates, EntryFiller(entry), 1, false, entry.dateDue);
        return true;
    });
}

bool CTaskSeries::BeginEdit(const CString& taskId, CTask& task, CTaskEntry& entry) {
    if (!Reread(taskId, task))
        return false;
    entry = ForAdd(task.m_DateDue);
    entry.desc = task.m_Desc;
    entry.priority = task.m_Priority;
    if (task.m_RecrDtID.IsEmpty())
        return true;
    CRecurItem rule;
    rule.SetID(task.m_RecrDtID.c_str());
    if (!g_doc.GetRecurringDate(rule))
        return true;
    entry.recurring = true;
    entry.rule = rule;
    CDateTime start;
    if (ParseRuleDate(rule.GetStartDate(), start))
        entry.dateDue = DayOf(start);
    return true;
}

bool CTaskSeries::Edit(const CTask& task, const CTaskEntry& entry, WindowHandle owner) {
    // A task whose rule cannot be read (left by an earlier version or a merge) is edited as a plain
    // one, and stored as one: no other task changes.
    CRecurItem stored;
    stored.SetID(task.m_RecrDtID.c_str());
    if (task.m_RecrDtID.IsEmpty() || !g_doc.GetRecurringDate(stored)) {
        return RunSeriesChange(kUpdateFailed, [&] {
            CTask chosen;
            if (!Reread(task.m_ID, chosen))
                return false;
            if (entry.recurring) {
                SeriesRows<CTask>::Remove(chosen);
                CDateList dates;
                entry.rule.GetDates(dates);
                InsertSeries<CTask>(entry.rule, dates, EntryFiller(entry), 2, false, entry.dateDue);
            } else {
                EntryFiller(entry)(chosen, entry.dateDue);
                chosen.m_RecrDtID = CString();
                SeriesRows<CTask>::Update(chosen);
            }
            return true;
        });
    }

    SeriesEdit<CTask> edit;
    edit.keepsRecurring = entry.recurring;
    edit.rule = entry.rule;
    // The sheet shows the series' first date; the occurrence keeps its own unless the user moved it.
    CDateTime shownStart;
    if (!ParseRuleDate(stored.GetStartDate(), shownStart) || DayOf(shownStart) != DayOf(entry.dateDue))
        edit.movedTo = DayOf(entry.dateDue);
    edit.fill = EntryFiller(entry);
    // With nothing after it, the occurrence alone is "this and future": a changed rule applies to it.
    edit.future = true;
    if (HasLaterRows(task))
        edit.future = MessageBoxA(owner, entry.recurring ? kModifyFutureText : kDeleteFutureText,
                                  entry.recurring ? kModifyFutureCaption : kDeleteFutureCaption,
                                  MB_YESNO | MB_ICONINFORMATION) == IDYES;
    return RunSeriesChange(kUpdateFailed, [&] {
        CTask chosen;
        if (!Reread(task.m_ID, chosen))
            return false;
        if (chosen.m_RecrDtID.IsEmpty()) {
            edit.fill(chosen, DayOf(chosen.m_DateDue));
            SeriesRows<CTask>::Update(chosen);
        } else {
            EditInSeries(chosen, edit);
        }
        return true;
    });
}

bool CTaskSeries::Delete(const CString& taskId) {
    CTask task;
    if (!Reread(taskId, task))
        return false;
    const bool future = HasLaterRows(task) && MessageBoxA(nullptr, kDeleteAllFutureText, kDeleteFutureCaption,
                                                          MB_YESNO | MB_ICONINFORMATION) == IDYES;
    return RunSeriesChange(kDeleteFailed, [&] {
        CTask chosen;
        if (!Reread(taskId, chosen))
            return false;
        DeleteFromSeries(chosen, future);
        return true;
    });
}

bool CTaskSeries::Complete(const CString& taskId) {
    return RunSeriesChange(kUpdateFailed, [&] {
        CTask task;
        if (!Reread(taskId, task))
            return false;
        task.m_Priority = kPriorityDone;
        CDateTime today = CDateTime::GetCurrentTime();
        today.SetTime(0, 0, 0);
        task.m_DateDone = today;
        SeriesRows<CTask>::Update(task);
        return true;
    });
}
