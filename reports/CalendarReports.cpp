#include "reports/CalendarReports.h"

#include "reports/ReportDraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

using namespace report_draw;

namespace {
const char* const kMiniMonthNames[] = {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "June",
                                       "July", "Aug ", "Sept", "Oct ", "Nov ", "Dec "};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The month `offset` months after (month, year).
std::pair<int, int> MonthAfter(int month, int year, int offset) {
    const int index = (year * 12 + month - 1) + offset;
    return {index % 12 + 1, index / 12};
}

// A font of the face at the point size on the printer, the height truncated to whole pixels.
QFont FontAt(const QPrinter& printer, const char* face, int points, bool bold) {
    QFont font(QString::fromLatin1(face));
    const int height = static_cast<int>(ReadDeviceCaps(printer).logPixelsY * points / 72);
    font.setPixelSize(std::max(1, height));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QString ApptLine(const CAppt& appt) {
    return ShortTime(appt.m_StartTime) + ' ' + Text(appt.m_Desc) + '\n';
}
} // namespace

CMonthReport::CMonthReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts, int month,
                           int year)
    : CReport(printer), m_tasks(std::move(tasks)), m_appts(std::move(appts)), m_month(month), m_year(year) {
    m_pageCount = 1;
}

QString CMonthReport::DayText(int day) const {
    QString text;
    for (const CAppt& appt : m_appts) {
        if (appt.m_DateDue.GetDay() == day)
            text += ApptLine(appt);
    }
    for (const CTask& task : m_tasks) {
        if (task.m_DateDue.GetDay() == day)
            text += Text(task.m_Desc) + '\n';
    }
    return text;
}

bool CMonthReport::PrintPage(QPainter& dc, int) {
    m_dc = &dc;
    dc.save();
    if (PaperWidthInches(*m_printer) <= 6 && m_pointSize != 8)
        SetPointSize(8);
    DrawTitle();
    DrawGrid(QRect(QPoint(m_printRect.left, m_y), QPoint(m_printRect.right - 1, m_printRect.bottom - 1)));
    const int points = m_pointSize;
    SetPointSize(6);
    dc.setFont(m_normalFont);
    for (int day = 1; day <= m_dayCount; ++day)
        DrawWrapped(dc, m_dayRects[day - 1], DayText(day));
    SetPointSize(points);
    dc.restore();
    m_dc = nullptr;
    return true;
}

void CMonthReport::DrawTitle() {
    const int points = m_pointSize;
    // A week band of the grid holds the day number one line below its top and a line beside it.
    const int neededBand = 2 * m_lineHeight;
    SetPointSize(8);
    m_dc->setFont(m_boldFont);
    const int A = m_avgCharWidth;
    const int L = m_lineHeight;
    const int titleBottom = m_printRect.top + 8 * L + 2 * L;
    // The small calendars print where both fit side by side and leave the grid bands their room;
    // in a narrower or lower frame the month's own days take the whole frame.
    const bool calendars = 2 * MiniMonthWidth() + A <= m_printRect.Width() &&
                           (m_printRect.bottom - titleBottom) / 8 >= neededBand;
    if (calendars) {
        const auto [prevMonth, prevYear] = MonthAfter(m_month, m_year, -1);
        const auto [nextMonth, nextYear] = MonthAfter(m_month, m_year, 1);
        MiniMonth(*m_dc, m_printRect.left, m_printRect.top, A, L,
                  QString::fromLatin1(kMiniMonthNames[prevMonth - 1]), prevMonth, prevYear);
        MiniMonth(*m_dc, m_printRect.right - MiniMonthWidth(), m_printRect.top, A, L,
                  QString::fromLatin1(kMiniMonthNames[nextMonth - 1]), nextMonth, nextYear);
    }
    m_y = calendars ? titleBottom : m_printRect.top;
    SetPointSize(points);
    m_dc->setFont(m_normalFont);
}

void CMonthReport::DrawGrid(const QRect& grid) {
    QPainter& dc = *m_dc;
    m_grid = grid;
    const int points = m_pointSize;
    const int left = grid.left();
    const int top = grid.top();
    const int cw = grid.width() / 7;
    const int bh = grid.height() / 8;
    for (int i = 0; i <= 8; ++i)
        Line(dc, left, top + i * bh, left + 7 * cw, top + i * bh);
    for (int i = 0; i <= 7; ++i)
        Line(dc, left + i * cw, (i == 0 || i == 7) ? top : top + bh, left + i * cw, top + 8 * bh);

    const QString title =
        QStringLiteral("%1 %2").arg(QString::fromLatin1(kMonthNames[m_month - 1])).arg(m_year);
    int size = 6;
    SetPointSize(size);
    // The title grows until it is a third of the band high, but never wider than the grid.
    while (QFontMetrics(m_boldFont, dc.device()).height() < bh / 3 && size < 400) {
        SetPointSize(size + 2);
        if (QFontMetrics(m_boldFont, dc.device()).horizontalAdvance(title) > grid.width()) {
            SetPointSize(size);
            break;
        }
        size += 2;
    }
    dc.setFont(m_boldFont);
    TextOut(dc, (grid.width() - TextWidth(dc, title)) / 2 + left, top + bh - TextHeight(dc), title);
    SetPointSize(points);
    // Heads and day numbers are a line high: in bands lower than that they print smaller.
    while (m_lineHeight > bh && m_pointSize > 6)
        SetPointSize(m_pointSize - 1);
    dc.setFont(m_boldFont);

    const int A = m_avgCharWidth;
    const int L = m_lineHeight;
    static const char* const kHeads[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    // A head wider than its cell starts at the cell's left edge and ends in an ellipsis there.
    for (int i = 0; i < 7; ++i) {
        const int cellLeft = cw * i + left;
        TextOutFitted(dc, std::max(cellLeft, cellLeft + (cw - 3 * A) / 2), top + 2 * bh - L, cellLeft + cw,
                      QString::fromLatin1(kHeads[i]));
    }

    // The day number one line below its band's top and the day's text from half a line below it,
    // as far as the band is high enough; in a lower band the number moves up to stay in its own
    // week row, and the text box keeps at least one line of the day entries' size.
    const int entryLine = [&] {
        QFont entries = m_normalFont;
        entries.setPixelSize(std::max(1, static_cast<int>(ReadDeviceCaps(*m_printer).logPixelsY * 6 / 72)));
        return QFontMetrics(entries, dc.device()).height();
    }();
    const int numberOffset = std::clamp((bh - L) / 2, 0, L);
    const int textOffset = std::clamp((bh - entryLine) / 2, 0, L / 2);
    m_dayCount = DaysInMonth(m_month, m_year);
    int column = CDateTime(m_year, m_month, 1).GetDayOfWeek() - 1;
    int rowTop = top + 2 * bh;
    m_weekRows = 1;
    for (int day = 1; day <= m_dayCount; ++day) {
        const QString number = QString::number(day);
        const int width = TextWidth(dc, number);
        TextOut(dc, (column + 1) * cw + left - width - A, rowTop + numberOffset, number);
        const int cellLeft = cw * column + A + left;
        m_dayRects[day - 1] = QRect(QPoint(cellLeft, rowTop + textOffset),
                                    QPoint(cellLeft + cw - width - 2 * A - 1, rowTop + bh - textOffset - 1));
        column = (column + 1) % 7;
        if (column == 0 && day < m_dayCount) {
            rowTop += bh;
            ++m_weekRows;
        }
    }
    SetPointSize(points);
    dc.setFont(m_normalFont);
}

CWeekReport::CWeekReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts,
                         const CDateTime& firstDay, const CDateTime& lastDay)
    : CReport(printer), m_tasks(std::move(tasks)), m_appts(std::move(appts)), m_firstDay(firstDay),
      m_lastDay(lastDay) {
    m_pageCount = 2;
}

QString CWeekReport::PageTitle(int page) const {
    const CDateTime first = page == 0 ? m_firstDay : m_lastDay - CDateTimeSpan(2, 0, 0, 0);
    const CDateTime last = page == 0 ? m_firstDay + CDateTimeSpan(3, 0, 0, 0) : m_lastDay;
    const QString firstMonth = QString::fromLatin1(kMonthNames[first.GetMonth() - 1]);
    if (first.GetMonth() == last.GetMonth())
        return QStringLiteral("%1 %2 - %3").arg(firstMonth).arg(first.GetDay()).arg(last.GetDay());
    return QStringLiteral("%1 %2 - %3 %4")
        .arg(firstMonth)
        .arg(first.GetDay())
        .arg(QString::fromLatin1(kMonthNames[last.GetMonth() - 1]))
        .arg(last.GetDay());
}

std::pair<std::pair<int, int>, std::pair<int, int>> CWeekReport::PageMonths(int page) const {
    const int offset = page == 0 ? -1 : 1;
    return {MonthAfter(m_firstDay.GetMonth(), m_firstDay.GetYear(), offset),
            MonthAfter(m_firstDay.GetMonth(), m_firstDay.GetYear(), offset + 1)};
}

bool CWeekReport::PrintPage(QPainter& dc, int page) {
    if (page < 0 || page > 1)
        return false;
    m_dc = &dc;
    m_page = page;
    dc.save();
    if (PaperWidthInches(*m_printer) <= 6 && m_pointSize != 8)
        SetPointSize(8);
    DrawTitle();
    DrawDays(page);
    dc.setFont(m_normalFont);
    const int L = m_lineHeight;
    const int A = m_avgCharWidth;
    const int W = m_printRect.Width();
    const int y = m_y + QFontMetrics(m_normalFont, dc.device()).leading();
    const int band = (m_printRect.bottom - y) / 4;
    const int entryOffset = EntryOffset();
    const int boxHeight = std::max(0, (band - entryOffset) / L * L);
    const int days = page == 0 ? 4 : 3;
    for (int i = 0; i < days; ++i) {
        const CDateTime day = m_firstDay + CDateTimeSpan(page == 0 ? i : 4 + i, 0, 0, 0);
        const int k = day.GetDayOfWeek() - (page == 0 ? 1 : 5);
        const int boxTop = y + entryOffset + k * band;
        QString appts;
        for (const CAppt& appt : m_appts) {
            if (appt.m_DateDue.GetDay() == day.GetDay())
                appts += ApptLine(appt);
        }
        QString tasks;
        for (const CTask& task : m_tasks) {
            if (task.m_DateDue.GetDay() == day.GetDay())
                tasks += Text(task.m_Desc) + '\n';
        }
        DrawWrapped(dc,
                    QRect(QPoint(m_printRect.left + A, boxTop),
                          QPoint(m_printRect.right - W / 2 - A - 1, boxTop + boxHeight - 1)),
                    appts, true);
        DrawWrapped(dc,
                    QRect(QPoint(m_printRect.left + A + W / 2, boxTop),
                          QPoint(m_printRect.right - A - 1, boxTop + boxHeight - 1)),
                    tasks, true);
    }
    dc.restore();
    m_dc = nullptr;
    return true;
}

int CWeekReport::EntryOffset() const {
    // The entries start two lines below the band's top, or below the day's number when that is taller.
    const int head = 6 + QFontMetrics(FontAt(*m_printer, "Times New Roman", 18, true), m_printer).height();
    return std::max(2 * m_lineHeight, head);
}

void CWeekReport::DrawTitle() {
    QPainter& dc = *m_dc;
    const QString title = PageTitle(m_page);
    const int points = m_pointSize;
    const int entryOffset = EntryOffset();
    const int entryLine = m_lineHeight;
    SetPointSize(8);
    const int A = m_avgCharWidth;
    const int L = m_lineHeight;
    const int calendarWidth = MiniMonthWidth();
    const int left = m_printRect.left;
    const int right = m_printRect.right;
    const int top = m_printRect.top;
    // The title and the two small calendars share the width: the title grows smaller down to 10
    // points beside them, then beside one, and the calendars are left out when even that does not
    // fit or when the day bands below them would not hold two lines of entries.
    const bool roomBelow = (m_printRect.bottom - (top + 10 * L)) / 4 >= entryOffset + 2 * entryLine;
    int calendars = roomBelow ? 2 : 0;
    QFont titleFont = FontAt(*m_printer, "Times New Roman", 18, true);
    for (; calendars > 0; --calendars) {
        const int room = m_printRect.Width() - calendars * calendarWidth - (calendars == 2 ? 12 : 0) - A;
        int size = 18;
        while (size > 10 && QFontMetrics(FontAt(*m_printer, "Times New Roman", size, true), m_printer)
                                    .horizontalAdvance(title) > room)
            --size;
        titleFont = FontAt(*m_printer, "Times New Roman", size, true);
        if (QFontMetrics(titleFont, m_printer).horizontalAdvance(title) <= room)
            break;
    }
    if (calendars == 0)
        titleFont = FontAt(*m_printer, "Times New Roman", 18, true);

    dc.save();
    dc.setFont(titleFont);
    dc.setBackgroundMode(Qt::OpaqueMode);
    dc.setBackground(QColor(192, 192, 192));
    if (m_page == 0)
        TextOutFitted(dc, left, top, right, title);
    else
        TextOutRightAligned(dc, left, right, top, title);
    const int titleHeight = TextHeight(dc);
    dc.restore();

    dc.setFont(m_boldFont);
    const auto [firstMonth, secondMonth] = PageMonths(m_page);
    auto miniMonth = [&](int x, std::pair<int, int> month) {
        MiniMonth(dc, x, top, A, L, QString::fromLatin1(kMiniMonthNames[month.first - 1]).trimmed(),
                  month.first, month.second);
    };
    // Page 0 keeps the month of its days when only one calendar fits, page 1 the month after it.
    if (m_page == 0) {
        if (calendars == 2)
            miniMonth(right - 2 * calendarWidth - 12, firstMonth);
        if (calendars >= 1)
            miniMonth(right - calendarWidth, secondMonth);
    } else {
        if (calendars >= 1)
            miniMonth(left, firstMonth);
        if (calendars == 2)
            miniMonth(left + calendarWidth + 12, secondMonth);
    }
    m_y = top + std::max(titleHeight, calendars > 0 ? 8 * L : 0) + 2 * L;
    SetPointSize(points);
}

void CWeekReport::DrawDays(int page) {
    QPainter& dc = *m_dc;
    static const char* const kBands[] = {"SUNDAY",   "MONDAY", "TUESDAY",  "WEDNESDAY",
                                         "THURSDAY", "FRIDAY", "SATURDAY", "NOTES"};
    const int L = m_lineHeight;
    const int A = m_avgCharWidth;
    const int W = m_printRect.Width();
    const int left = m_printRect.left;
    const int right = m_printRect.right;
    const int band = (m_printRect.bottom - m_y) / 4;
    const QFont dayFont = FontAt(*m_printer, "Times New Roman", 18, true);
    const QFont nameFont = FontAt(*m_printer, "Times New Roman", 10, true);
    const QFont yearDayFont = FontAt(*m_printer, "Times New Roman", 8, false);
    for (int k = 0; k < 4; ++k) {
        const int top = m_y + k * band;
        const int bandIndex = page == 0 ? k : 4 + k;
        Line(dc, left, top, right, top, 4);
        int x = left;
        int nameRight = right;
        if (bandIndex < 7) {
            const CDateTime day = m_firstDay + CDateTimeSpan(bandIndex, 0, 0, 0);
            dc.setFont(dayFont);
            const QString number = QString::number(day.GetDay());
            TextOut(dc, x, top + 6, number);
            x += TextWidth(dc, number) + 4;
            dc.setFont(yearDayFont);
            const QString yearDay = QStringLiteral("Day %1").arg(day.GetDayOfYear());
            nameRight = right - TextWidth(dc, yearDay) - A;
            TextOut(dc, right - TextWidth(dc, yearDay), top + 6, yearDay);
        }
        dc.setFont(nameFont);
        TextOutFitted(dc, x, top + 6, nameRight, QString::fromLatin1(kBands[bandIndex]));
        // The writing lines run under the entries' lines, which start below the day's head.
        const int entryOffset = EntryOffset();
        const int lines = (band - entryOffset) / L - 1;
        for (int i = 0; i < lines; ++i) {
            const int y = top + 6 + entryOffset + L + i * L;
            Line(dc, left + A, y, left + W / 2 - A, y);
            Line(dc, left + W / 2 + A, y, right - A, y);
        }
    }
    Line(dc, left, m_printRect.bottom, right, m_printRect.bottom, 4);
    dc.setFont(m_normalFont);
}
