#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;
class QPrinter;

// Drawing primitives of the reports, in the painter's device pixels. A text's position is the top
// left corner of its line box, not its baseline.
namespace report_draw {

QString Text(const CString& text);
// Width and height of the text in the painter's current font.
int TextWidth(QPainter& dc, const QString& text);
int TextHeight(QPainter& dc);
// The text at its top left point.
void TextOut(QPainter& dc, int x, int y, const QString& text);
// The text at its top left point, nothing of it drawn outside the rectangle.
void TextOutClipped(QPainter& dc, const QRect& clip, int x, int y, const QString& text);
// The text wrapped at word breaks inside the rectangle; what does not fit is cut off at its edges.
void DrawWrapped(QPainter& dc, const QRect& rect, const QString& text);
void Line(QPainter& dc, int x1, int y1, int x2, int y2, int width = 0);

// The paper width in whole inches.
int PaperWidthInches(const QPrinter& printer);
// "High", "Medium", "Low", "Done"; a priority outside them prints its number.
QString PriorityWord(int priority);
// A time as "h:mm" with the A / P marker.
QString ShortTime(const CDateTime& time);
// A date in the user's short date form.
QString ShortDate(const CDateTime& date);

// Splits records of `linesPerRecord` lines into pages of the print rectangle from top to bottom:
// the first page keeps two lines for the title. Each page lists its record indexes.
std::vector<std::vector<int>> PaginateLines(int recordCount, int linesPerRecord, int lineHeight, int top,
                                            int bottom);

// Splits one-line records into pages whose lines all stay above the footer line: every page holds
// the title and the column heads above its records.
std::vector<std::vector<int>> PaginateRows(int recordCount, int lineHeight, int top, int bottom);

// A month's small calendar at (x0, y0), 21 average characters wide and 8 lines high, in the
// painter's font; `title` is the month name text, followed by a space and the year.
void MiniMonth(QPainter& dc, int x0, int y0, int avgCharWidth, int lineHeight, const QString& title,
               int month, int year);
// Days of the month.
int DaysInMonth(int month, int year);

} // namespace report_draw
