#include "reports/ReportDraw.h"

#include "reports/Report.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <algorithm>

namespace report_draw {

QString Text(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

int TextWidth(QPainter& dc, const QString& text) {
    return QFontMetrics(dc.font(), dc.device()).horizontalAdvance(text);
}

int TextHeight(QPainter& dc) {
    return QFontMetrics(dc.font(), dc.device()).height();
}

void TextOut(QPainter& dc, int x, int y, const QString& text) {
    dc.drawText(x, y + QFontMetrics(dc.font(), dc.device()).ascent(), text);
}

void TextOutClipped(QPainter& dc, const QRect& clip, int x, int y, const QString& text) {
    if (clip.isEmpty())
        return;
    dc.save();
    dc.setClipRect(clip, Qt::IntersectClip);
    TextOut(dc, x, y, text);
    dc.restore();
}

void DrawWrapped(QPainter& dc, const QRect& rect, const QString& text) {
    if (rect.isEmpty() || text.isEmpty())
        return;
    dc.save();
    dc.setClipRect(rect, Qt::IntersectClip);
    dc.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    dc.restore();
}

void Line(QPainter& dc, int x1, int y1, int x2, int y2, int width) {
    const QPen old = dc.pen();
    QPen pen(Qt::black);
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    dc.setPen(pen);
    dc.drawLine(x1, y1, x2, y2);
    dc.setPen(old);
}

int PaperWidthInches(const QPrinter& printer) {
    const DeviceCaps caps = ReadDeviceCaps(printer);
    if (caps.logPixelsX <= 0)
        return 0;
    return static_cast<int>(caps.physicalWidth) / static_cast<int>(caps.logPixelsX);
}

QString PriorityWord(int priority) {
    switch (priority) {
    case 0:
        return QStringLiteral("High");
    case 1:
        return QStringLiteral("Medium");
    case 2:
        return QStringLiteral("Low");
    case 3:
        return QStringLiteral("Done");
    default:
        return QString::number(priority);
    }
}

QString ShortTime(const CDateTime& time) {
    return Text(time.FormatTime("h':'mm t"));
}

QString ShortDate(const CDateTime& date) {
    return Text(date.FormatDate(nullptr));
}

std::vector<std::vector<int>> PaginateLines(int recordCount, int linesPerRecord, int lineHeight, int top,
                                            int bottom) {
    std::vector<std::vector<int>> pages;
    if (recordCount <= 0)
        return pages;
    pages.emplace_back();
    int y = top + 2 * lineHeight;
    for (int record = 0; record < recordCount; ++record) {
        y += linesPerRecord * lineHeight;
        // A page always takes at least one record, so a record taller than the page still prints.
        if (y >= bottom && !pages.back().empty()) {
            pages.emplace_back();
            y = top + linesPerRecord * lineHeight;
        }
        pages.back().push_back(record);
    }
    return pages;
}

std::vector<std::vector<int>> PaginateRows(int recordCount, int lineHeight, int top, int bottom) {
    std::vector<std::vector<int>> pages;
    if (recordCount <= 0 || lineHeight <= 0)
        return pages;
    // The records' lines start below the heads (two lines under the top) and end above the footer.
    const int perPage = std::max(1, (bottom - lineHeight - (top + 3 * lineHeight)) / lineHeight);
    for (int record = 0; record < recordCount; ++record) {
        if (record % perPage == 0)
            pages.emplace_back();
        pages.back().push_back(record);
    }
    return pages;
}

int DaysInMonth(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return kDays[(month - 1) % 12];
}

void MiniMonth(QPainter& dc, int x0, int y0, int avgCharWidth, int lineHeight, const QString& title,
               int month, int year) {
    const int cell = 3 * avgCharWidth;
    const int L = lineHeight;
    for (int i = 0; i <= 8; ++i)
        Line(dc, x0, y0 + i * L, x0 + 7 * cell, y0 + i * L);
    for (int i = 0; i <= 7; ++i)
        Line(dc, x0 + i * cell, (i == 0 || i == 7) ? y0 : y0 + L, x0 + i * cell, y0 + 8 * L);
    const QString head = QStringLiteral("%1 %2").arg(title).arg(year);
    TextOut(dc, (7 * cell - TextWidth(dc, head)) / 2 + x0, y0, head);
    static const char* const kDays = "SMTWTFS";
    for (int i = 0; i < 7; ++i)
        TextOut(dc, x0 + i * cell + (cell - avgCharWidth) / 2, y0 + L, QString(QChar(kDays[i])));
    int column = CDateTime(year, month, 1).GetDayOfWeek() - 1;
    int y = y0 + 2 * L;
    for (int day = 1; day <= DaysInMonth(month, year); ++day) {
        const QString number = QString::number(day);
        TextOut(dc, (cell - TextWidth(dc, number)) / 2 + x0 + column * cell, y, number);
        if (++column == 7) {
            column = 0;
            y += L;
        }
    }
}

} // namespace report_draw
