#include "ui/calendar/TaskSeries.h"

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "ui/common/SheetParts.h"

#include <algorithm>

namespace {

constexpr const char* kModifyFutureText = "Do you want to modify future occurrences of this task?";
constexpr const char* kModifyFutureCaption = "Modify Future Occurrences";
constexpr const char* kDeleteFutureText = "Do you want to delete future occurrences of this task?";
constexpr const char* kDeleteAllFutureText = "Do you want to delete all future occurrences of this task?";
constexpr const char* kDeleteFutureCaption = "Delete Future Occurrences";

CDateTime DayOf(const CDateTime& date) {
    return date.IsValid() ? CDateTime(date.GetYear(), date.GetMonth(), date.GetDay()) : date;
}

CDateTime DayAfter(const CDateTime& day, int days) {
    CDateTime result = day;
    result += CDateTimeSpan(days, 0, 0, 0);
    return result;
}

CString NewId() {
    CString id;
    NewGuidString(id);
    return id;
}

// The tasks of the rule in due-date order.
std::vector<CTask> SeriesTasks(const CString& ruleId) {
    std::vector<CTask> tasks;
    g_doc.GetTasksByRecurrence(tasks, ruleId.c_str());
    std::stable_sort(tasks.begin(), tasks.end(),
                     [](const CTask& a, const CTask& b) { return a.m_DateDue < b.m_DateDue; });
    return tasks;
}

// Splits the tasks into those due on or before day and those due after it.
void SplitAt(const std::vector<CTask>& tasks, const CDateTime& day, std::vector<CTask>& earlier,
             std::vector<CTask>& later) {
    for (const CTask& task : tasks)
        (DayOf(task.m_DateDue) > day ? later : earlier).push_back(task);
}

bool AnyLater(const std::vector<CTask>& tasks, const CDateTime& day, const CString& exceptId) {
    return std::any_of(tasks.begin(), tasks.end(), [&](const CTask& task) {
        return task.m_ID != exceptId && DayOf(task.m_DateDue) > day;
    });
}

// A counted or open-ended rule ends after count dates; a rule ending at a date ends on endDay.
void EndRule(CRecurItem& rule, int count, const CDateTime& endDay) {
    if (rule.IsEndByDate()) {
        rule.SetEndDate(FormatRuleDate(endDay).c_str());
    } else {
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(count);
    }
}

void MakePlain(CTask& task) {
    task.m_RecrDtID = CString();
    g_doc.UpdateTask(task);
}

CTask TaskOf(const CTaskEntry& entry, const CDateTime& due, const CString& ruleId) {
    CTask task;
    task.m_ID = NewId();
    task.m_Desc = entry.desc;
    task.m_Priority = entry.priority;
    task.m_DateDue = DayOf(due);
    task.m_DateDone.SetNull();
    task.m_RecrDtID = ruleId;
    return task;
}

} // namespace

CTaskEntry CTaskSeries::ForAdd(const CDateTime& day) {
    CTaskEntry entry;
    entry.dateDue = DayOf(day);
    entry.rule.SetStartDate(FormatRuleDate(entry.dateDue).c_str());
    return entry;
}

void CTaskSeries::InsertPlain(const CTaskEntry& entry) {
    g_doc.InsertTask(TaskOf(entry, entry.dateDue, CString()));
}

bool CTaskSeries::Add(const CTaskEntry& entry) {
    if (!entry.recurring) {
        InsertPlain(entry);
        return true;
    }
    CRecurItem rule = entry.rule;
    rule.SetID(NewId().c_str());
    CDateList dates;
    rule.GetDates(dates);
    // A rule that yields no date is not stored; the task the user typed is kept as a plain one.
    if (dates.empty()) {
        InsertPlain(entry);
        return true;
    }
    for (const CDateTime& date : dates)
        g_doc.InsertTask(TaskOf(entry, date, rule.GetID()));
    g_doc.InsertRecurringDate(rule);
    return true;
}

void CTaskSeries::InsertSeries(const CTaskEntry& entry, CRecurItem rule) {
    CDateList dates;
    rule.GetDates(dates);
    if (dates.size() >= 2) {
        rule.SetID(NewId().c_str());
        for (const CDateTime& date : dates)
            g_doc.InsertTask(TaskOf(entry, date, rule.GetID()));
        g_doc.InsertRecurringDate(rule);
    } else if (dates.size() == 1) {
        InsertPlain(entry);
    }
}

void CTaskSeries::StoreFor(std::vector<CTask>& tasks, CRecurItem& rule, bool insert) {
    if (tasks.size() == 1) {
        MakePlain(tasks.front());
        if (!insert)
            g_doc.DeleteRecurringDate(rule);
        return;
    }
    if (tasks.empty()) {
        if (!insert)
            g_doc.DeleteRecurringDate(rule);
        return;
    }
    for (CTask& task : tasks) {
        if (task.m_RecrDtID != rule.GetID()) {
            task.m_RecrDtID = rule.GetID();
            g_doc.UpdateTask(task);
        }
    }
    if (insert)
        g_doc.InsertRecurringDate(rule);
    else
        g_doc.UpdateRecurringDate(rule);
}

bool CTaskSeries::BeginEdit(const CString& taskId, CTask& task, CTaskEntry& entry) {
    task = CTask();
    task.m_ID = taskId;
    if (taskId.IsEmpty() || !g_doc.GetTask(task))
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
    CRecurItem old;
    old.SetID(task.m_RecrDtID.c_str());
    const bool inSeries = !task.m_RecrDtID.IsEmpty() && g_doc.GetRecurringDate(old);
    if (!inSeries) {
        g_doc.DeleteTask(task);
        if (entry.recurring)
            InsertSeries(entry, entry.rule);
        else
            InsertPlain(entry);
        return true;
    }

    const CDateTime day = DayOf(task.m_DateDue);
    const bool asks = AnyLater(SeriesTasks(old.GetID()), day, task.m_ID);
    g_doc.DeleteTask(task);
    int answer = IDNO;
    if (asks)
        answer = MessageBoxA(owner, entry.recurring ? kModifyFutureText : kDeleteFutureText,
                             entry.recurring ? kModifyFutureCaption : kDeleteFutureCaption,
                             MB_YESNO | MB_ICONINFORMATION);

    std::vector<CTask> earlier;
    std::vector<CTask> later;
    SplitAt(SeriesTasks(old.GetID()), day, earlier, later);
    CRecurItem before = old;
    before.SetID(NewId().c_str());
    EndRule(before, static_cast<int>(earlier.size()), DayAfter(day, -1));
    if (answer == IDYES) {
        for (const CTask& gone : later)
            g_doc.DeleteTask(gone);
        StoreFor(earlier, before, true);
    } else {
        CRecurItem after = old;
        after.SetID(NewId().c_str());
        if (old.IsEndByDate())
            after.SetStartDate(FormatRuleDate(DayAfter(day, 1)).c_str());
        else
            EndRule(after, static_cast<int>(later.size()), day);
        StoreFor(earlier, before, true);
        StoreFor(later, after, true);
    }

    // The replacement. The sheet shows the series' first date; unless the user moved it, the edited
    // occurrence keeps its own day. Occurrences kept above are not made a second time: a replacement
    // series runs from the edited day on and leaves out the days the kept occurrences hold.
    CTaskEntry replacement = entry;
    CDateTime shownStart;
    if (ParseRuleDate(old.GetStartDate(), shownStart) && DayOf(shownStart) == DayOf(entry.dateDue))
        replacement.dateDue = day;
    if (!entry.recurring) {
        InsertPlain(replacement);
    } else {
        std::vector<CTask> kept = earlier;
        if (answer != IDYES)
            kept.insert(kept.end(), later.begin(), later.end());
        CRecurItem rule = entry.rule;
        CDateList dates;
        rule.GetDates(dates);
        dates.erase(std::remove_if(dates.begin(), dates.end(),
                                   [&](const CDateTime& date) {
                                       return DayOf(date) < day ||
                                              std::any_of(kept.begin(), kept.end(), [&](const CTask& k) {
                                                  return DayOf(k.m_DateDue) == DayOf(date);
                                              });
                                   }),
                    dates.end());
        if (dates.size() >= 2) {
            rule.SetID(NewId().c_str());
            rule.SetStartDate(FormatRuleDate(DayOf(dates.front())).c_str());
            if (!rule.IsEndByDate()) {
                rule.SetEndAfterOccurences();
                rule.SetEndOccurences(static_cast<int>(dates.size()));
            }
            for (const CDateTime& date : dates)
                g_doc.InsertTask(TaskOf(entry, date, rule.GetID()));
            g_doc.InsertRecurringDate(rule);
        } else if (dates.size() == 1) {
            replacement.dateDue = DayOf(dates.front());
            InsertPlain(replacement);
        }
    }
    g_doc.DeleteRecurringDate(old);
    return true;
}

bool CTaskSeries::Delete(const CString& taskId) {
    CTask task;
    task.m_ID = taskId;
    if (taskId.IsEmpty() || !g_doc.GetTask(task))
        return false;
    g_doc.DeleteTask(task);
    if (task.m_RecrDtID.IsEmpty())
        return true;

    CRecurItem rule;
    rule.SetID(task.m_RecrDtID.c_str());
    std::vector<CTask> rest = SeriesTasks(rule.GetID());
    if (!g_doc.GetRecurringDate(rule)) {
        // Without its rule the rest of the series carries on as plain tasks.
        for (CTask& left : rest)
            MakePlain(left);
        return true;
    }
    const CDateTime day = DayOf(task.m_DateDue);
    std::vector<CTask> earlier;
    std::vector<CTask> later;
    SplitAt(rest, day, earlier, later);
    if (later.empty()) {
        EndRule(rule, static_cast<int>(earlier.size()), DayAfter(day, -1));
        StoreFor(earlier, rule, false);
        return true;
    }
    const int answer =
        MessageBoxA(nullptr, kDeleteAllFutureText, kDeleteFutureCaption, MB_YESNO | MB_ICONINFORMATION);
    if (answer == IDYES) {
        for (const CTask& gone : later)
            g_doc.DeleteTask(gone);
        EndRule(rule, static_cast<int>(earlier.size()), DayAfter(day, -1));
        StoreFor(earlier, rule, false);
        return true;
    }
    CRecurItem second = rule;
    second.SetID(NewId().c_str());
    if (rule.IsEndByDate()) {
        rule.SetEndDate(FormatRuleDate(DayAfter(day, -1)).c_str());
        second.SetStartDate(FormatRuleDate(DayAfter(day, 1)).c_str());
    } else {
        EndRule(rule, static_cast<int>(earlier.size()), day);
        EndRule(second, static_cast<int>(later.size()), day);
    }
    StoreFor(later, second, true);
    StoreFor(earlier, rule, false);
    return true;
}

bool CTaskSeries::Complete(const CString& taskId) {
    CTask task;
    task.m_ID = taskId;
    if (taskId.IsEmpty() || !g_doc.GetTask(task))
        return false;
    task.m_Priority = kPriorityDone;
    CDateTime today = CDateTime::GetCurrentTime();
    today.SetTime(0, 0, 0);
    task.m_DateDone = today;
    return g_doc.UpdateTask(task);
}
