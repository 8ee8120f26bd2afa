#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

// The statement CDbDoc::GetTasksForDay runs once the day indexes exist: every task row that can be
// listed on the shown day (both at 00:00:00) when today is the given day, found through the indexes,
// in the order of the row-by-row rule. The rule itself is applied to the rows it gives.
CString TaskDayQuery(const CDateTime& shown, const CDateTime& today);
