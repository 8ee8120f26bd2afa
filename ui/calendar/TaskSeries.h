#pragma once

#include "data/DateTime.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"
#include "platform/core/Prompt.h"

#include <vector>

// What the task sheet shows and hands back: the task page's values and the rule the recurrence page
// edits.
struct CTaskEntry {
    CString desc;
    int priority = kPriorityHigh;
    CDateTime dateDue;
    bool recurring = false;
    CRecurItem rule;
};

// The task list's changes to the document, without a window: adding a single task or a series,
// deleting and editing one occurrence with the series split or shortened around it, and completing.
// After each operation every task's RecrDtID names a stored rule or is empty, and no stored rule is
// left without tasks. Questions go through the prompt seam; the caller marks the document modified.
class CTaskSeries {
public:
    // The sheet's values for a new task due on day: no text, high priority, a fresh rule starting on
    // that day.
    static CTaskEntry ForAdd(const CDateTime& day);
    // Inserts the task or the series the sheet describes. False when nothing was written.
    static bool Add(const CTaskEntry& entry);

    // Reads the task and the sheet's values for editing it: a task of a series shows its rule, and
    // the due date becomes the series' first date. False when the task cannot be read.
    static bool BeginEdit(const CString& taskId, CTask& task, CTaskEntry& entry);
    // Replaces the task (and with a series, the occurrences the answer names) by what the sheet
    // holds. owner is the window the question is asked over.
    static bool Edit(const CTask& task, const CTaskEntry& entry, WindowHandle owner);

    // Deletes the task; the rest of its series is shortened or split, asking about later occurrences.
    static bool Delete(const CString& taskId);

    // Marks the task done today (by the clock, not the shown day).
    static bool Complete(const CString& taskId);

private:
    // The rule's dates as tasks of the series, then the rule; a rule with one date leaves a plain task
    // due on the entry's date, a rule with none leaves nothing.
    static void InsertSeries(const CTaskEntry& entry, CRecurItem rule);
    static void InsertPlain(const CTaskEntry& entry);
    // Stores rule for the tasks (each updated to name it); one task becomes plain and no rule is
    // stored; no tasks store nothing.
    static void StoreFor(std::vector<CTask>& tasks, CRecurItem& rule, bool insert);
};
