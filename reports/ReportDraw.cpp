#include "reports/ReportDraw.h"

#include "reports/Report.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>
#include <utility>

namespace report_draw {

namespace {
TextWatcher* g_watcher = nullptr;

// The text cut with an ellipsis to the width.
QString FitToWidth(QPainter& dc, const QString& text, int width) {
    if (width <= 0)
        return QString();
    const QFontMetrics metrics(dc.font(), dc.device());
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    return metrics.elidedText(text, Qt::ElideRight, width);
}

void WatchFitted(const QString& text, const QString& shown) {
    if (g_watcher)
        g_watcher->Fitted(text, shown);
}
} // namespace

TextWatcher* WatchText(TextWatcher* watcher) {
    return std::exchange(g_watcher, watcher);
}

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
    const QFontMetrics metrics(dc.font(), dc.device());
    dc.drawText(x, y + metrics.ascent(), text);
    if (g_watcher && !text.isEmpty())
        g_watcher->Drawn(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), text);
}

void TextOutFitted(QPainter& dc, int x, int y, int right, const QString& text) {
    const QString fitted = FitToWidth(dc, text, right - x);
    WatchFitted(text, fitted);
    if (!fitted.isEmpty())
        TextOut(dc, x, y, fitted);
}

void TextOutCentred(QPainter& dc, int left, int right, int y, const QString& text) {
    const QString fitted = FitToWidth(dc, text, right - left);
    WatchFitted(text, fitted);
    TextOut(dc, (right - left - TextWidth(dc, fitted)) / 2 + left, y, fitted);
}

void TextOutRightAligned(QPainter& dc, int left, int right, int y, const QString& text) {
    const QString fitted = FitToWidth(dc, text, right - left);
    WatchFitted(text, fitted);
    TextOut(dc, right - TextWidth(dc, fitted), y, fitted);
}

void DrawWrapped(QPainter& dc, const QRect& rect, const QString& text, bool withLeading) {
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(dc.font(), dc.device());
    const int lineHeight = metrics.height() + (withLeading ? metrics.leading() : 0);
    const int room = lineHeight > 0 && rect.width() > 0 ? rect.height() / lineHeight : 0;
    QStringList lines;
    bool leftOver = false;
    QStringList paragraphs = text.split(QChar('\n'));
    if (paragraphs.last().isEmpty())
        paragraphs.removeLast();
    for (const QString& paragraph : paragraphs) {
        QTextLayout layout(paragraph, dc.font(), dc.device());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, rect.width()));
            if (lines.size() == room) {
                leftOver = true;
                break;
            }
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (leftOver)
            break;
    }
    const QString ellipsis(QChar(0x2026));
    if (leftOver && !lines.isEmpty()) {
        // The ellipsis shows that the cell holds more than it prints.
        QString& last = lines.last();
        while (!last.isEmpty() && metrics.horizontalAdvance(last + ellipsis) > rect.width())
            last.chop(1);
        last = last.trimmed() + ellipsis;
    }
    QStringList shown;
    for (int i = 0; i < lines.size(); ++i) {
        shown << FitToWidth(dc, lines[i].trimmed(), rect.width());
        if (!shown.last().isEmpty())
            TextOut(dc, rect.left(), rect.top() + i * lineHeight, shown.last());
    }
    // A box too low for a single line still shows that it holds text: the ellipsis alone on the
    // box's line, at the box's left edge.
    if (lines.isEmpty()) {
        shown << ellipsis;
        TextOut(dc, rect.left(), rect.top(), ellipsis);
    }
    WatchFitted(text, shown.join(QChar('\n')));
}

void ColumnRow::Fit(const std::vector<int>& needs, size_t flexible, int keep) {
    const size_t n = starts.size();
    // A column never starts left of the one before it, so none leaves the row.
    for (size_t i = 1; i < n; ++i)
        starts[i] = std::max(starts[i], starts[i - 1]);
    const auto width = [this, n](size_t i) { return (i + 1 < n ? starts[i + 1] : end) - starts[i]; };
    int room = std::max(0, width(flexible) - keep);
    const auto widening = [&](size_t i) {
        const int take = std::clamp(needs[i] - width(i), 0, room);
        room -= take;
        return take;
    };
    for (size_t i = 0; i < flexible; ++i) {
        const int take = widening(i);
        for (size_t j = i + 1; j <= flexible; ++j)
            starts[j] += take;
    }
    for (size_t i = n; i-- > flexible + 1;) {
        const int take = widening(i);
        for (size_t j = flexible + 1; j <= i; ++j)
            starts[j] -= take;
    }
    fits = width(flexible) >= keep;
    for (size_t i = 0; i < n; ++i)
        fits = fits && (i == flexible || width(i) >= needs[i]);
}

int ColumnRow::Room(size_t column) const {
    return (column + 1 < starts.size() ? starts[column + 1] : end) - gap - starts[column];
}

void ColumnRow::Draw(QPainter& dc, int y, const QStringList& texts) const {
    for (size_t i = 0; i < starts.size() && i < static_cast<size_t>(texts.size()); ++i) {
        const int columnEnd = i + 1 < starts.size() ? starts[i + 1] : end;
        TextOutFitted(dc, starts[i], y, columnEnd - gap, texts[static_cast<qsizetype>(i)]);
    }
}

void DrawHeads(QPainter& dc, const ColumnRow& row, int y, const QStringList& heads, QFont bold,
               int smallest) {
    const auto fits = [&](const QFont& font) {
        const QFontMetrics metrics(font, dc.device());
        for (size_t i = 0; i < row.starts.size() && i < static_cast<size_t>(heads.size()); ++i) {
            if (metrics.horizontalAdvance(heads[static_cast<qsizetype>(i)]) > row.Room(i))
                return false;
        }
        return true;
    };
    while (!fits(bold) && bold.pixelSize() > smallest)
        bold.setPixelSize(bold.pixelSize() - 1);
    dc.save();
    dc.setFont(bold);
    row.Draw(dc, y, heads);
    dc.restore();
}

int WidestText(QPaintDevice* device, const QFont& font, const QStringList& texts) {
    const QFontMetrics metrics(font, device);
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
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
    // Every page draws its title and starts its records two lines below the top, so every page
    // counts those lines; counting them on the first page only let a later page take one record
    // more, printed over the footer.
    const int firstRecordTop = top + 2 * lineHeight;
    int y = firstRecordTop;
    for (int record = 0; record < recordCount; ++record) {
        y += linesPerRecord * lineHeight;
        // A page always takes at least one record, so a record taller than the page still prints.
        if (y >= bottom && !pages.back().empty()) {
            pages.emplace_back();
            y = firstRecordTop + linesPerRecord * lineHeight;
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
