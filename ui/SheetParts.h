#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <QDate>
#include <QString>

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

// The decimal value of an edit's text; text that is not a number gives 0.
int DecimalValue(const CString& text);
