#include "reports/DailyReports.h"

#include "reports/ReportDraw.h"

#include <QPainter>

#include <algorithm>

using namespace report_draw;

namespace {
QString PageFooter(int page) {
    return QStringLiteral("Page %1").arg(page + 1);
}

const std::vector<int>* PageOf(const std::vector<std::vector<int>>& pages, int page) {
    return page >= 0 && page < static_cast<int>(pages.size()) ? &pages[static_cast<size_t>(page)] : nullptr;
}
} // namespace

CDailyPlanReport::CDailyPlanReport(QPrinter* printer, std::vector<CTask> tasks, std::vector<CAppt> appts)
    : CListReport(printer, QStringLiteral("DAILY PLAN"), true), m_tasks(std::move(tasks)),
      m_appts(std::move(appts)) {}

void CDailyPlanReport::Paginate() {
    ShrinkOnNarrowPaper();
    m_apptPages =
        PaginateRows(static_cast<int>(m_appts.size()), m_lineHeight, m_printRect.top, m_printRect.bottom);
    m_taskPages =
        PaginateRows(static_cast<int>(m_tasks.size()), m_lineHeight, m_printRect.top, m_printRect.bottom);
    m_pageCount = std::max(ApptPageCount(), TaskPageCount());
}

QString CDailyPlanReport::FooterText(int page) const {
    return PageFooter(page);
}

void CDailyPlanReport::DrawFrame() {
    CListReport::DrawFrame();
    Line(*m_dc, m_column2, m_printRect.top + 2 * m_lineHeight, m_column2, m_printRect.bottom - m_lineHeight);
}

void CDailyPlanReport::DrawHeads() {
    const int q = m_printRect.Width() / 4;
    const int xs = m_avgCharWidth / 2 + m_printRect.left;
    const int xt = m_avgCharWidth / 2 + m_column2;
    const int y = m_printRect.top + 2 * m_lineHeight;
    TextOut(*m_dc, xs, y, QStringLiteral("START"));
    TextOut(*m_dc, xs + q / 2, y, QStringLiteral("END"));
    TextOut(*m_dc, xs + q, y, QStringLiteral("APPOINTMENT"));
    TextOut(*m_dc, xt, y, QStringLiteral("TASK"));
    TextOut(*m_dc, xt + q, y, QStringLiteral("PRIORITY"));
    TextOut(*m_dc, xt + q + q / 2, y, QStringLiteral("DUE DATE"));
}

void CDailyPlanReport::DrawRecords(int page) {
    QPainter& dc = *m_dc;
    const int L = m_lineHeight;
    const int q = m_printRect.Width() / 4;
    const int xs = m_avgCharWidth / 2 + m_printRect.left;
    const int xt = m_avgCharWidth / 2 + m_column2;
    if (const auto* appts = PageOf(m_apptPages, page)) {
        for (int index : *appts) {
            const CAppt& appt = m_appts[static_cast<size_t>(index)];
            m_y += L;
            const QRect startClip(xs, m_y, q / 2 - m_avgCharWidth / 2, L);
            TextOutClipped(dc, startClip, xs, m_y, ShortTime(appt.m_StartTime));
            const QRect endClip(xs + q / 2, m_y, q / 2 - m_avgCharWidth / 2, L);
            TextOutClipped(dc, endClip, xs + q / 2, m_y, ShortTime(appt.m_EndTime));
            TextOutClipped(dc, QRect(QPoint(xs + q, m_y), QPoint(m_column2 - 1, m_y + L - 1)), xs + q, m_y,
                           Text(appt.m_Desc));
        }
    }
    m_y = m_printRect.top + 2 * L;
    if (const auto* tasks = PageOf(m_taskPages, page)) {
        for (int index : *tasks) {
            const CTask& task = m_tasks[static_cast<size_t>(index)];
            m_y += L;
            TextOutClipped(dc, QRect(QPoint(xt, m_y), QPoint(xt + q - m_avgCharWidth / 2 - 1, m_y + L - 1)),
                           xt, m_y, Text(task.m_Desc));
            TextOut(dc, xt + q, m_y, PriorityWord(task.m_Priority));
            TextOutClipped(dc, QRect(QPoint(xt + q + q / 2, m_y), QPoint(m_printRect.right - 1, m_y + L - 1)),
                           xt + q + q / 2, m_y, ShortDate(task.m_DateDue));
        }
    }
}

CDailyTasksReport::CDailyTasksReport(QPrinter* printer, std::vector<CTask> tasks)
    : CListReport(printer, QStringLiteral("DAILY TASKS"), true), m_tasks(std::move(tasks)) {}

void CDailyTasksReport::Paginate() {
    ShrinkOnNarrowPaper();
    m_pages =
        PaginateRows(static_cast<int>(m_tasks.size()), m_lineHeight, m_printRect.top, m_printRect.bottom);
    m_pageCount = static_cast<int>(m_pages.size());
}

QString CDailyTasksReport::FooterText(int page) const {
    return PageFooter(page);
}

void CDailyTasksReport::DrawHeads() {
    const int y = m_printRect.top + 2 * m_lineHeight;
    TextOut(*m_dc, m_column1, y, QStringLiteral("TASK"));
    TextOut(*m_dc, m_column2, y, QStringLiteral("PRIORITY"));
    TextOut(*m_dc, m_column2 + (m_column2 - m_column1) / 2, y, QStringLiteral("DUE DATE"));
}

void CDailyTasksReport::DrawRecords(int page) {
    const auto* tasks = PageOf(m_pages, page);
    if (!tasks)
        return;
    const int L = m_lineHeight;
    const int due = m_column2 + (m_column2 - m_column1) / 2;
    for (int index : *tasks) {
        const CTask& task = m_tasks[static_cast<size_t>(index)];
        m_y += L;
        TextOutClipped(*m_dc,
                       QRect(QPoint(m_column1, m_y), QPoint(m_column2 - m_avgCharWidth / 2 - 1, m_y + L - 1)),
                       m_column1, m_y, Text(task.m_Desc));
        TextOut(*m_dc, m_column2, m_y, PriorityWord(task.m_Priority));
        TextOutClipped(*m_dc, QRect(QPoint(due, m_y), QPoint(m_printRect.right - 1, m_y + L - 1)), due, m_y,
                       ShortDate(task.m_DateDue));
    }
}

CDailyApptsReport::CDailyApptsReport(QPrinter* printer, std::vector<CAppt> appts)
    : CListReport(printer, QStringLiteral("DAILY APPOINTMENTS"), true), m_appts(std::move(appts)) {}

void CDailyApptsReport::Paginate() {
    ShrinkOnNarrowPaper();
    m_pages =
        PaginateRows(static_cast<int>(m_appts.size()), m_lineHeight, m_printRect.top, m_printRect.bottom);
    m_pageCount = static_cast<int>(m_pages.size());
}

QString CDailyApptsReport::FooterText(int page) const {
    return PageFooter(page);
}

void CDailyApptsReport::DrawHeads() {
    const int y = m_printRect.top + 2 * m_lineHeight;
    TextOut(*m_dc, m_column1, y, QStringLiteral("START"));
    TextOut(*m_dc, m_printRect.Width() / 4 + m_avgCharWidth, y, QStringLiteral("END"));
    TextOut(*m_dc, m_column2, y, QStringLiteral("APPOINTMENT"));
}

void CDailyApptsReport::DrawRecords(int page) {
    const auto* appts = PageOf(m_pages, page);
    if (!appts)
        return;
    const int L = m_lineHeight;
    const int end = m_printRect.Width() / 4 + m_avgCharWidth;
    for (int index : *appts) {
        const CAppt& appt = m_appts[static_cast<size_t>(index)];
        m_y += L;
        TextOut(*m_dc, m_column1, m_y, ShortTime(appt.m_StartTime));
        TextOut(*m_dc, end, m_y, ShortTime(appt.m_EndTime));
        TextOutClipped(*m_dc, QRect(QPoint(m_column2, m_y), QPoint(m_printRect.right - 1, m_y + L - 1)),
                       m_column2, m_y, Text(appt.m_Desc));
    }
}
