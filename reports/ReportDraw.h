#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

class QPaintDevice;
class QPainter;
class QPrinter;

// Drawing primitives of the reports, in the painter's device pixels. A text's position is the top
// left corner of its line box, not its baseline.
namespace report_draw {

// Follows what the helpers below draw: each line of text with its box, and each text the helpers
// fit to a room with what of it was drawn. Layout checks watch a whole report through it; nothing
// watches by default.
class TextWatcher {
public:
    virtual ~TextWatcher() = default;
    // A line of text drawn with its box (top left and the font's line box) in device pixels.
    virtual void Drawn(const QRect& box, const QString& text) = 0;
    // A text given to a fitting helper, and what of it was drawn (lines joined by '\n').
    virtual void Fitted(const QString& text, const QString& shown) = 0;
};
// Installs the watcher (nullptr for none); returns the one it replaces.
TextWatcher* WatchText(TextWatcher* watcher);

QString Text(const CString& text);
// Width and height of the text in the painter's current font.
int TextWidth(QPainter& dc, const QString& text);
int TextHeight(QPainter& dc);
// The text at its top left point.
void TextOut(QPainter& dc, int x, int y, const QString& text);
// The text at its top left point, ending before x = right: a text too long for that is cut and ends
// in an ellipsis, so nothing of it lies right of `right` (nothing at all when right <= x).
void TextOutFitted(QPainter& dc, int x, int y, int right, const QString& text);
// The text centred between left and right at y, cut with an ellipsis when wider than that.
void TextOutCentred(QPainter& dc, int left, int right, int y, const QString& text);
// The text ending at x = right, cut with an ellipsis at `left` when it is wider than that.
void TextOutRightAligned(QPainter& dc, int left, int right, int y, const QString& text);
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
    // Whether the last fitting left every column the width it needed.
    bool fits = true;

    // Widens each column to the width it needs (0 for none), taking the room from the free-text
    // column `flexible` while that keeps at least `keep` of its width. Fitting first to the values'
    // needs and then to the heads' lets values of a fixed form (times, priority words, dates) print
    // whole wherever the report's proportions leave them too little room, before a head is served,
    // and free text is what is cut first, while a short one still prints whole.
    void Fit(const std::vector<int>& needs, size_t flexible, int keep);
    // The room a text has in the column: its width less the gap.
    int Room(size_t column) const;
    // One text per column at y, in the painter's font.
    void Draw(QPainter& dc, int y, const QStringList& texts) const;
};
// The heads of the row in the bold font, made smaller (not below `smallest` pixels) until each fits
// its column; a head that still does not fit ends in an ellipsis.
void DrawHeads(QPainter& dc, const ColumnRow& row, int y, const QStringList& heads, QFont bold, int smallest);
// The widest of the texts in the font on the device.
int WidestText(QPaintDevice* device, const QFont& font, const QStringList& texts);

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
