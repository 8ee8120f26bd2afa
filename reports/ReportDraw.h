#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

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
// The text at its top left point, ending before x = right: a text too long for that is cut and ends
// in an ellipsis, so nothing of it lies right of `right` (nothing at all when right <= x).
void TextOutFitted(QPainter& dc, int x, int y, int right, const QString& text);
// The text cut with an ellipsis to the width, as TextOutFitted draws it.
QString Fitted(QPainter& dc, const QString& text, int width);
// The text in lines broken at word boundaries (a word wider than the rectangle anywhere) from the
// rectangle's top, one line height apart (with the font's leading when asked). Only whole lines
// inside the rectangle are drawn; when text is left over, the last line drawn ends in an ellipsis.
void DrawWrapped(QPainter& dc, const QRect& rect, const QString& text, bool withLeading = false);
// A row of columns, as the daily reports lay out their heads and records: each text is drawn from
// its column's start and cut with an ellipsis `gap` before the next column's start (the last one
// before `end`).
struct ColumnRow {
    std::vector<int> starts;
    int end = 0;
    int gap = 0;

    // Widens each column to the width it needs (its widest head or value plus the gap; 0 for none),
    // taking the room from the free-text column `flexible`, down to half its width. Values of a
    // fixed form (times, priority words, dates) then print whole wherever the report's proportions
    // leave them too little room, and free text is what is cut first.
    void Fit(const std::vector<int>& needs, size_t flexible);
    // One text per column at y, in the painter's font.
    void Draw(QPainter& dc, int y, const QStringList& texts) const;
};
// The widest of the texts in the font on the painter's device.
int WidestText(QPainter& dc, const QFont& font, const QStringList& texts);

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
// every page starts its records two lines below the top, under the title, and a page takes a
// record only while the record ends above the bottom. Each page lists its record indexes.
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
