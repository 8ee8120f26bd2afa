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
// Each stores its change in one transaction or not at all (a failure is shown once as "Error Adding
// Task", "Error Updating Task" or "Error Deleting Task") and answers whether it was stored; what it
// does to a series is SeriesCore's. Questions go through the prompt seam before anything is written;
// the caller marks the document modified.
class CTaskSeries {
public:
    // The sheet's values for a new task due on day: no text, high priority, a fresh rule starting on
    // that day.
    static CTaskEntry ForAdd(const CDateTime& day);
    // Inserts the task or the series the sheet describes.
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
};
