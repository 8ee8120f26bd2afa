#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <QDate>
#include <QString>

class PropertyPage;
class PropertySheet;
class QDateEdit;
class QWidget;

// Helpers the appointment, task and recurrence pages share.

QString ToQString(const CString& text);
CString ToCString(const QString& text);

// The date part of a date-time (invalid QDate for an invalid value), and a date at 00:00.
QDate ToQDate(const CDateTime& date);
CDateTime FromQDate(const QDate& date);

// A date picker with the pages' range, 1 January 1990 to 31 December 2035.
QDateEdit* MakeDatePicker(QWidget* parent, int id);

// A rule's date text (the user's short date pattern) and its parse; false leaves out unchanged.
CString FormatRuleDate(const CDateTime& date);
bool ParseRuleDate(const CString& text, CDateTime& out);
// A rule's time text ("%I:%M %p") and its parse (hour and minute); false leaves them unchanged.
CString FormatRuleTime(const CDateTime& time);
bool ParseRuleTime(const CString& text, int& hour, int& minute);

// One quarter-hour step of a time spin: delta < 0 goes back. Times are counted in quarter-hour slots
// (hour x 4 + minute / 15); stepping past the first or last slot of the range wraps to the other end,
// and a time outside the range steps to the next slot of the range in the step's direction (round
// the clock: back from 03:00 is the last slot, on from 23:30 the first).
void StepQuarterHour(int& hour, int& minute, int delta, int firstSlot, int lastSlot);

// The quarter-hour slots the appointment sheet's time spins offer: a start from 05:00 to 22:45 and an
// end from 05:15 to 23:00.
constexpr int kFirstStartSlot = 5 * 4;
constexpr int kLastStartSlot = 22 * 4 + 3;
constexpr int kFirstEndSlot = 5 * 4 + 1;
constexpr int kLastEndSlot = 23 * 4;
// An appointment's start and end made whole: set times stay as they are, also outside the spins'
// range (only a spin moves a time into it); an unset start becomes the first start the spins offer
// on the day, and an unset end, or one not after the start, ends 15 minutes after the start.
void CompleteTimes(const CDateTime& day, CDateTime& start, CDateTime& end);

// Ticking Recurring shows the recurrence page as the second page and goes to it; clearing it removes
// the page and goes back to the first.
void ShowRecurrencePage(PropertySheet* sheet, PropertyPage* recurrencePage, bool show);

// The decimal value of an edit's text; text that is not a number gives 0.
int DecimalValue(const CString& text);
