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

const QStringList kApptHeads = {QStringLiteral("START"), QStringLiteral("END"),
                                QStringLiteral("APPOINTMENT")};
const QStringList kTaskHeads = {QStringLiteral("TASK"), QStringLiteral("PRIORITY"),
                                QStringLiteral("DUE DATE")};

QStringList ApptLine(const CAppt& appt) {
    return {ShortTime(appt.m_StartTime), ShortTime(appt.m_EndTime), Text(appt.m_Desc)};
}

QStringList TaskLine(const CTask& task) {
    return {Text(task.m_Desc), PriorityWord(task.m_Priority), ShortDate(task.m_DateDue)};
}

// The width a column of the report needs for its head and every value of its records.
template <typename Record>
int ColumnNeed(QPainter& dc, const CReport& report, const QString& head, const std::vector<Record>& records,
               QStringList (*line)(const Record&), qsizetype column) {
    QStringList values;
    for (const Record& record : records)
        values << line(record).value(column);
    return std::max(WidestText(dc, report.BoldFont(), {head}), WidestText(dc, report.NormalFont(), values)) +
           report.AverageCharWidth() / 2;
}

// START, END and APPOINTMENT from the given starts to the end: the times print whole, the
// description takes what is left.
ColumnRow ApptRow(QPainter& dc, const CReport& report, const std::vector<CAppt>& appts,
                  std::vector<int> starts, int end) {
    ColumnRow row{std::move(starts), end, report.AverageCharWidth() / 2};
    row.Fit({ColumnNeed(dc, report, kApptHeads[0], appts, ApptLine, 0),
             ColumnNeed(dc, report, kApptHeads[1], appts, ApptLine, 1), 0},
            2);
    return row;
}

// TASK, PRIORITY and DUE DATE from the given starts to the end: priority and date print whole, the
// description takes what is left.
ColumnRow TaskRow(QPainter& dc, const CReport& report, const std::vector<CTask>& tasks,
                  std::vector<int> starts, int end) {
    ColumnRow row{std::move(starts), end, report.AverageCharWidth() / 2};
    row.Fit({0, ColumnNeed(dc, report, kTaskHeads[1], tasks, TaskLine, 1),
             ColumnNeed(dc, report, kTaskHeads[2], tasks, TaskLine, 2)},
            0);
    return row;
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

ColumnRow CDailyPlanReport::ApptColumns() const {
    const int q = m_printRect.Width() / 4;
    const int xs = m_avgCharWidth / 2 + m_printRect.left;
    return ApptRow(*m_dc, *this, m_appts, {xs, xs + q / 2, xs + q}, m_column2);
}

ColumnRow CDailyPlanReport::TaskColumns() const {
    const int q = m_printRect.Width() / 4;
    const int xt = m_avgCharWidth / 2 + m_column2;
    return TaskRow(*m_dc, *this, m_tasks, {xt, xt + q, xt + q + q / 2}, m_printRect.right);
}

void CDailyPlanReport::DrawHeads() {
    const int y = m_printRect.top + 2 * m_lineHeight;
    ApptColumns().Draw(*m_dc, y, kApptHeads);
    TaskColumns().Draw(*m_dc, y, kTaskHeads);
}

void CDailyPlanReport::DrawRecords(int page) {
    const int L = m_lineHeight;
    if (const auto* appts = PageOf(m_apptPages, page)) {
        const ColumnRow row = ApptColumns();
        for (int index : *appts) {
            m_y += L;
            row.Draw(*m_dc, m_y, ApptLine(m_appts[static_cast<size_t>(index)]));
        }
    }
    m_y = m_printRect.top + 2 * L;
    if (const auto* tasks = PageOf(m_taskPages, page)) {
        const ColumnRow row = TaskColumns();
        for (int index : *tasks) {
            m_y += L;
            row.Draw(*m_dc, m_y, TaskLine(m_tasks[static_cast<size_t>(index)]));
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

ColumnRow CDailyTasksReport::Columns() const {
    return TaskRow(*m_dc, *this, m_tasks, {m_column1, m_column2, m_column2 + (m_column2 - m_column1) / 2},
                   m_printRect.right);
}

void CDailyTasksReport::DrawHeads() {
    Columns().Draw(*m_dc, m_printRect.top + 2 * m_lineHeight, kTaskHeads);
}

void CDailyTasksReport::DrawRecords(int page) {
    const auto* tasks = PageOf(m_pages, page);
    if (!tasks)
        return;
    const ColumnRow row = Columns();
    for (int index : *tasks) {
        m_y += m_lineHeight;
        row.Draw(*m_dc, m_y, TaskLine(m_tasks[static_cast<size_t>(index)]));
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

ColumnRow CDailyApptsReport::Columns() const {
    // END a quarter of the print width from the page's origin; with a wide left margin that is
    // inside START, and fitting the times moves it right of them.
    const int end = m_printRect.Width() / 4 + m_avgCharWidth;
    return ApptRow(*m_dc, *this, m_appts, {m_column1, end, m_column2}, m_printRect.right);
}

void CDailyApptsReport::DrawHeads() {
    Columns().Draw(*m_dc, m_printRect.top + 2 * m_lineHeight, kApptHeads);
}

void CDailyApptsReport::DrawRecords(int page) {
    const auto* appts = PageOf(m_pages, page);
    if (!appts)
        return;
    const ColumnRow row = Columns();
    for (int index : *appts) {
        m_y += m_lineHeight;
        row.Draw(*m_dc, m_y, ApptLine(m_appts[static_cast<size_t>(index)]));
    }
}
