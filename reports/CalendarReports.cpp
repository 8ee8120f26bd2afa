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
    SetPointSize(8);
    m_dc->setFont(m_boldFont);
    const int A = m_avgCharWidth;
    const int L = m_lineHeight;
    const auto [prevMonth, prevYear] = MonthAfter(m_month, m_year, -1);
    const auto [nextMonth, nextYear] = MonthAfter(m_month, m_year, 1);
    MiniMonth(*m_dc, m_printRect.left, m_printRect.top, A, L,
              QString::fromLatin1(kMiniMonthNames[prevMonth - 1]), prevMonth, prevYear);
    MiniMonth(*m_dc, std::max(m_printRect.left, m_printRect.right - 21 * A), m_printRect.top, A, L,
              QString::fromLatin1(kMiniMonthNames[nextMonth - 1]), nextMonth, nextYear);
    m_y = m_printRect.top + 8 * L + 2 * L;
    SetPointSize(points);
    m_dc->setFont(m_normalFont);
}

void CMonthReport::DrawGrid(const QRect& grid) {
    QPainter& dc = *m_dc;
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

    m_dayCount = DaysInMonth(m_month, m_year);
    int column = CDateTime(m_year, m_month, 1).GetDayOfWeek() - 1;
    int y = top + 2 * bh + L;
    m_weekRows = 1;
    for (int day = 1; day <= m_dayCount; ++day) {
        const QString number = QString::number(day);
        const int width = TextWidth(dc, number);
        TextOut(dc, (column + 1) * cw + left - width - A, y, number);
        const int cellLeft = cw * column + A + left;
        const int cellTop = y - L / 2;
        m_dayRects[day - 1] =
            QRect(QPoint(cellLeft, cellTop), QPoint(cellLeft + cw - width - 2 * A - 1, cellTop + bh - L - 1));
        column = (column + 1) % 7;
        if (column == 0 && day < m_dayCount) {
            y += bh;
            ++m_weekRows;
        }
    }
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
    const int boxHeight = std::max(0, (band - 2 * L) / L * L);
    const int days = page == 0 ? 4 : 3;
    for (int i = 0; i < days; ++i) {
        const CDateTime day = m_firstDay + CDateTimeSpan(page == 0 ? i : 4 + i, 0, 0, 0);
        const int k = day.GetDayOfWeek() - (page == 0 ? 1 : 5);
        const int boxTop = y + 2 * L + k * band;
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

void CWeekReport::DrawTitle() {
    QPainter& dc = *m_dc;
    const QString title = PageTitle(m_page);
    const int points = m_pointSize;
    dc.save();
    dc.setFont(FontAt(*m_printer, "Times New Roman", 18, true));
    dc.setBackgroundMode(Qt::OpaqueMode);
    dc.setBackground(QColor(192, 192, 192));
    const QString fitted = Fitted(dc, title, m_printRect.Width());
    const int x = m_page == 0 ? m_printRect.left : m_printRect.right - TextWidth(dc, fitted);
    TextOut(dc, x, m_printRect.top, fitted);
    dc.restore();

    SetPointSize(8);
    dc.setFont(m_boldFont);
    const int A = m_avgCharWidth;
    const auto [firstMonth, secondMonth] = PageMonths(m_page);
    auto miniName = [](int month) { return QString::fromLatin1(kMiniMonthNames[month - 1]).trimmed(); };
    // Both small calendars stay inside the print rectangle, twelve pixels apart on either page.
    const int firstX =
        m_page == 0 ? std::max(m_printRect.left, m_printRect.right - 2 * 21 * A - 12) : m_printRect.left;
    const int secondX = m_page == 0 ? m_printRect.right - 21 * A : m_printRect.left + 21 * A + 12;
    MiniMonth(dc, firstX, m_printRect.top, A, m_lineHeight, miniName(firstMonth.first), firstMonth.first,
              firstMonth.second);
    MiniMonth(dc, secondX, m_printRect.top, A, m_lineHeight, miniName(secondMonth.first), secondMonth.first,
              secondMonth.second);
    m_y = m_printRect.top + 8 * m_lineHeight + 2 * m_lineHeight;
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
        if (bandIndex < 7) {
            const CDateTime day = m_firstDay + CDateTimeSpan(bandIndex, 0, 0, 0);
            dc.setFont(dayFont);
            const QString number = QString::number(day.GetDay());
            TextOut(dc, x, top + 6, number);
            x += TextWidth(dc, number) + 4;
            dc.setFont(yearDayFont);
            const QString yearDay = QStringLiteral("Day %1").arg(day.GetDayOfYear());
            TextOut(dc, right - TextWidth(dc, yearDay), top + 6, yearDay);
        }
        dc.setFont(nameFont);
        TextOutFitted(dc, x, top + 6, right, QString::fromLatin1(kBands[bandIndex]));
        const int lines = (band - 2 * L) / L - 1;
        for (int i = 0; i < lines; ++i) {
            const int y = top + 6 + 3 * L + i * L;
            Line(dc, left + A, y, left + W / 2 - A, y);
            Line(dc, left + W / 2 + A, y, right - A, y);
        }
    }
    Line(dc, left, m_printRect.bottom, right, m_printRect.bottom, 4);
    dc.setFont(m_normalFont);
}
