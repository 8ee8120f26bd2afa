#include "reports/DailyReports.h"

#include "reports/ReportDraw.h"

#include <QPainter>
#include <QPrinter>

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

// The widths a column of the report needs for every value of its records and for its head.
template <typename Record>
std::pair<int, int> ColumnNeeds(const CReport& report, const QString& head,
                                const std::vector<Record>& records, QStringList (*line)(const Record&),
                                qsizetype column) {
    QStringList values;
    for (const Record& record : records)
        values << line(record).value(column);
    const int gap = report.AverageCharWidth() / 2;
    return {WidestText(report.GetDC(), report.NormalFont(), values) + gap,
            WidestText(report.GetDC(), report.BoldFont(), {head}) + gap};
}

// The smallest size of the column heads, 5 points: a point below the smallest the records print in.
int SmallestHead(const CReport& report) {
    return static_cast<int>(ReadDeviceCaps(*report.GetDC()).logPixelsY * 5 / 72);
}

// The row fitted to its values first and then to its heads; the description keeps room for ten
// average characters for the values and eight for the heads, so a short one prints whole. The row
// fits when every value prints whole and every head fits its column at 5 points or more.
ColumnRow FittedRow(const CReport& report, std::vector<int> starts, int end,
                    const std::vector<std::pair<int, int>>& needs, size_t flexible) {
    ColumnRow row{std::move(starts), end, report.AverageCharWidth() / 2};
    std::vector<int> values;
    std::vector<int> heads;
    for (size_t i = 0; i < needs.size(); ++i) {
        values.push_back(i == flexible ? 0 : needs[i].first);
        heads.push_back(i == flexible ? 0 : std::max(needs[i].first, needs[i].second));
    }
    const int A = report.AverageCharWidth();
    row.Fit(values, flexible, 10 * A);
    const bool valuesFit = row.fits;
    // The heads may narrow the description a little further, down to its own head.
    row.Fit(heads, flexible, std::max(needs[flexible].second, 8 * A));
    const double headScale =
        std::min(1.0, static_cast<double>(SmallestHead(report)) / std::max(1, report.BoldFont().pixelSize()));
    bool headsFit = true;
    for (size_t i = 0; i < needs.size(); ++i)
        headsFit = headsFit && (needs[i].second - row.gap) * headScale <= row.Room(i);
    row.fits = valuesFit && headsFit;
    return row;
}

// START, END and APPOINTMENT from the given starts to the end: the times print whole, the
// description takes what is left.
ColumnRow ApptRow(const CReport& report, const std::vector<CAppt>& appts, std::vector<int> starts, int end) {
    return FittedRow(report, std::move(starts), end,
                     {ColumnNeeds(report, kApptHeads[0], appts, ApptLine, 0),
                      ColumnNeeds(report, kApptHeads[1], appts, ApptLine, 1),
                      ColumnNeeds(report, kApptHeads[2], {}, ApptLine, 2)},
                     2);
}

// TASK, PRIORITY and DUE DATE from the given starts to the end: priority and date print whole, the
// description takes what is left.
ColumnRow TaskRow(const CReport& report, const std::vector<CTask>& tasks, std::vector<int> starts, int end) {
    return FittedRow(report, std::move(starts), end,
                     {ColumnNeeds(report, kTaskHeads[0], {}, TaskLine, 0),
                      ColumnNeeds(report, kTaskHeads[1], tasks, TaskLine, 1),
                      ColumnNeeds(report, kTaskHeads[2], tasks, TaskLine, 2)},
                     0);
}

void DrawHeadRow(QPainter& dc, const CReport& report, const ColumnRow& row, int y, const QStringList& heads) {
    report_draw::DrawHeads(dc, row, y, heads, report.BoldFont(), SmallestHead(report));
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
    return ApptRow(*this, m_appts, {xs, xs + q / 2, xs + q}, m_column2);
}

ColumnRow CDailyPlanReport::TaskColumns() const {
    const int q = m_printRect.Width() / 4;
    const int xt = m_avgCharWidth / 2 + m_column2;
    return TaskRow(*this, m_tasks, {xt, xt + q, xt + q + q / 2}, m_printRect.right);
}

void CDailyPlanReport::DrawHeads() {
    const int y = m_printRect.top + 2 * m_lineHeight;
    DrawHeadRow(*m_dc, *this, ApptColumns(), y, kApptHeads);
    DrawHeadRow(*m_dc, *this, TaskColumns(), y, kTaskHeads);
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
    return TaskRow(*this, m_tasks, {m_column1, m_column2, m_column2 + (m_column2 - m_column1) / 2},
                   m_printRect.right);
}

void CDailyTasksReport::DrawHeads() {
    DrawHeadRow(*m_dc, *this, Columns(), m_printRect.top + 2 * m_lineHeight, kTaskHeads);
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
    // END a quarter of the print width from the paper's left edge, wherever the printer's page
    // area starts; with a wide left margin that is inside START, and fitting the times moves it
    // right of them.
    const int end = m_printRect.Width() / 4 + m_avgCharWidth -
                    static_cast<int>(ReadDeviceCaps(*m_printer).physicalOffsetX);
    return ApptRow(*this, m_appts, {m_column1, end, m_column2}, m_printRect.right);
}

void CDailyApptsReport::DrawHeads() {
    DrawHeadRow(*m_dc, *this, Columns(), m_printRect.top + 2 * m_lineHeight, kApptHeads);
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
