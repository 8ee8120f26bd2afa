#pragma once

#include <cstdint>

// Brings the task rows above the given rowid into the stored form: DateDue and DateDone as
// "%Y-%m-%d %H:%M:%S" or '' (the text as the program reads it, written back), Priority as the integer
// the program reads. Rows already in that form are left alone. The day's tasks are found by their
// stored texts (CDbDoc::GetTasksForDay), so rows copied in from elsewhere go through this. Throws
// SqlException.
void NormaliseTaskRows(int64_t rowidAbove = 0);
