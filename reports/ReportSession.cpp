#include "reports/ReportSession.h"

#include "data/DbDoc.h"
#include "reports/AddressBookReport.h"
#include "reports/CalendarReports.h"
#include "reports/DailyReports.h"
#include "reports/EnvelopeReport.h"
#include "reports/PageSetupDlg.h"

#include <QCoreApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>

ReportRange DailyRange(const CDateTime& current) {
    ReportRange range;
    range.first = CDateTime(current.GetYear(), current.GetMonth(), current.GetDay());
    // The appointment read includes both bounds and every appointment is due at its day's
    // midnight, so the range ends one second before the next day to keep tomorrow's out.
    range.last = CDateTime(current.GetYear(), current.GetMonth(), current.GetDay(), 23, 59, 59);
    return range;
}

ReportRange WeeklyRange(const CDateTime& current) {
    ReportRange range;
    range.first = current - CDateTimeSpan(current.GetDayOfWeek() - 1, 0, 0, 0);
    range.last = range.first + CDateTimeSpan(6, 0, 0, 0);
    return range;
}

ReportRange MonthlyRange(const CDateTime& current) {
    const int hour = current.GetHour();
    const int minute = current.GetMinute();
    const int second = current.GetSecond();
    const CDateTime first(current.GetYear(), current.GetMonth(), 1, hour, minute, second);
    const int nextMonth = current.GetMonth() == 12 ? 1 : current.GetMonth() + 1;
    const int nextYear = current.GetMonth() == 12 ? current.GetYear() + 1 : current.GetYear();
    const CDateTime next(nextYear, nextMonth, 1, hour, minute, second);
    const int length = static_cast<int>((next - first).GetValue() + 0.5);
    ReportRange range;
    range.first = first;
    range.last = CDateTime(current.GetYear(), current.GetMonth(), length, hour, minute, second);
    return range;
}

std::unique_ptr<CReport> CreateReportOfKind(QPrinter* printer, const ReportInput& input) {
    switch (input.kind) {
    case kReportAddressBook:
        return std::make_unique<CAddressBookReport>(printer, input.persons);
    case kReportEnvelopes:
        return std::make_unique<CEnvelopeReport>(printer, input.user, input.persons,
                                                 input.businessNameInAddress,
                                                 input.businessNameInReturnAddress);
    case kReportDailyPlan:
        return std::make_unique<CDailyPlanReport>(printer, input.tasks, input.appts);
    case kReportDailyTasks:
        return std::make_unique<CDailyTasksReport>(printer, input.tasks);
    case kReportDailyAppts:
        return std::make_unique<CDailyApptsReport>(printer, input.appts);
    case kReportWeek:
        return std::make_unique<CWeekReport>(printer, input.tasks, input.appts, input.weekFirst,
                                             input.weekLast);
    case kReportMonth:
        return std::make_unique<CMonthReport>(printer, input.tasks, input.appts, input.month, input.year);
    default:
        return nullptr;
    }
}

namespace {
// The papers offered when the printer names none (a PDF printer, a queue without a driver).
std::vector<QPageSize> CommonPapers() {
    std::vector<QPageSize> papers;
    for (const QPageSize::PageSizeId id : {QPageSize::Letter, QPageSize::Legal, QPageSize::Executive,
                                           QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B5})
        papers.emplace_back(id);
    return papers;
}

// The printer's own paper of that size, or none when it has no such paper. A printer that names no
// papers takes any.
QPageSize PrinterPaperLike(const QString& printerName, const QPageSize& paper) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull() || info.supportedPageSizes().isEmpty())
        return paper;
    for (const QPageSize& offered : info.supportedPageSizes()) {
        if (offered.isEquivalentTo(paper))
            return offered;
    }
    return QPageSize();
}
} // namespace

CReportSession::CReportSession(const QString& printerName)
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (!printerName.isEmpty())
        m_printer->setPrinterName(printerName);
    TakePrinterPaper();
}

CReportSession::~CReportSession() = default;

bool CReportSession::ReopenPrinter(const QString& printerName) {
    if (printerName.isEmpty() || printerName == m_printer->printerName())
        return false;
    const QPageSize paper = m_printer->pageLayout().pageSize();
    const QPageLayout::Orientation orientation = m_printer->pageLayout().orientation();
    m_printer->setPrinterName(printerName);
    if (m_pageChosen)
        KeepPageOnNewPrinter(paper, orientation);
    else
        TakePrinterPaper();
    return true;
}

void CReportSession::TakePrinterPaper() {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer->printerName());
    const QPageSize paper = !info.isNull() && info.defaultPageSize().isValid()
                                ? info.defaultPageSize()
                                : m_printer->pageLayout().pageSize();
    PutPageOnPrinter(paper, QPageLayout::Portrait);
}

void CReportSession::KeepPageOnNewPrinter(const QPageSize& paper, QPageLayout::Orientation orientation) {
    const QPageSize same = PrinterPaperLike(m_printer->printerName(), paper);
    if (same.isValid())
        PutPageOnPrinter(same, orientation);
    else
        TakePrinterPaper();
}

void CReportSession::PutPageOnPrinter(const QPageSize& paper, QPageLayout::Orientation orientation) {
    QPrinter& printer = *m_printer;
    if (paper.isValid())
        printer.setPageSize(paper);
    printer.setPageOrientation(orientation);
    // The report measures its rectangle from the paper's edges; with the page origin on the paper's
    // corner the printer's own margins can never move it between the layout and the job.
    printer.setFullPage(true);
}

std::vector<QPageSize> CReportSession::OfferedPapers() const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer->printerName());
    if (info.isNull() || info.supportedPageSizes().isEmpty())
        return CommonPapers();
    const QList<QPageSize> papers = info.supportedPageSizes();
    return {papers.begin(), papers.end()};
}

int CReportSession::GatherDaily(CDbDoc& doc) {
    m_tasks.clear();
    m_appts.clear();
    if (doc.IsOpen()) {
        const ReportRange range = DailyRange(doc.GetCurrentDate());
        doc.GetTasksForDay(range.FirstText(), m_tasks);
        doc.GetApptsInRange(m_appts, range.FirstText(), range.LastText());
    }
    return kReportDailyPlan;
}

int CReportSession::GatherWeekly(CDbDoc& doc) {
    m_tasks.clear();
    m_appts.clear();
    if (doc.IsOpen()) {
        const ReportRange range = WeeklyRange(doc.GetCurrentDate());
        std::vector<CTask> tasks;
        if (doc.GetTasksInRange(tasks, range.FirstText(), range.LastText()))
            m_tasks.insert(m_tasks.end(), tasks.begin(), tasks.end());
        std::vector<CAppt> appts;
        if (doc.GetApptsInRange(appts, range.FirstText(), range.LastText()))
            m_appts.insert(m_appts.end(), appts.begin(), appts.end());
    }
    return kReportWeek;
}

int CReportSession::GatherMonthly(CDbDoc& doc) {
    m_tasks.clear();
    m_appts.clear();
    if (doc.IsOpen()) {
        const ReportRange range = MonthlyRange(doc.GetCurrentDate());
        doc.GetTasksInRange(m_tasks, range.FirstText(), range.LastText());
        doc.GetApptsInRange(m_appts, range.FirstText(), range.LastText());
    }
    return kReportMonth;
}

bool CReportSession::CreateReport(CDbDoc& doc) {
    if (doc.m_reportKind == kReportNone)
        return m_report != nullptr;
    m_report.reset();
    ReportInput input;
    input.kind = doc.m_reportKind;
    switch (input.kind) {
    case kReportAddressBook:
        input.persons = m_persons;
        break;
    case kReportEnvelopes:
        if (doc.IsOpen())
            doc.LoadUser(input.user);
        input.persons = m_persons;
        input.businessNameInAddress = m_businessNameInAddress;
        input.businessNameInReturnAddress = m_businessNameInReturnAddress;
        break;
    case kReportWeek: {
        const ReportRange range = WeeklyRange(doc.GetCurrentDate());
        input.weekFirst = range.first;
        input.weekLast = range.last;
        input.tasks = m_tasks;
        input.appts = m_appts;
        break;
    }
    case kReportMonth:
        input.month = doc.GetCurrentDate().GetMonth();
        input.year = doc.GetCurrentDate().GetYear();
        input.tasks = m_tasks;
        input.appts = m_appts;
        break;
    default:
        input.tasks = m_tasks;
        input.appts = m_appts;
        break;
    }
    m_report = m_factory ? m_factory(m_printer.get(), input) : nullptr;
    if (!m_report)
        return false;
    QFont font(QString::fromUtf8(m_faceName.c_str()));
    font.setPointSize(m_pointSize > 0 ? m_pointSize : 10);
    font.setWeight(QFont::Normal);
    m_report->SetFont(font);
    m_report->SetMargins(m_marginLeft, m_marginTop, m_marginRight, m_marginBottom);
    return true;
}

bool CReportSession::IsValidPage(unsigned page) {
    return m_report && page < static_cast<unsigned>(m_report->GetPageCount());
}

bool CReportSession::PrintPage(unsigned page, QPainter& dc) {
    if (!IsValidPage(page))
        return false;
    if (m_statusText)
        m_statusText(QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_report->GetPageCount()));
    m_report->PrintPage(dc, static_cast<int>(page));
    return true;
}

bool CReportSession::PrintAll() {
    if (!m_report || m_report->GetPageCount() <= 0)
        return false;
    const unsigned last = static_cast<unsigned>(m_report->GetPageCount() - 1);
    return RunPrintJob(*m_printer, *this, 0, last,
                       QStringLiteral("%1 Document").arg(QStringLiteral("Pelmora")));
}

bool CReportSession::RunPageSetup(QWidget* owner) {
    const QPageLayout layout = m_printer->pageLayout();
    CPageSetupDlg dialog(OfferedPapers(), layout.pageSize(), layout.orientation(),
                         {m_marginLeft, m_marginTop, m_marginRight, m_marginBottom}, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    PutPageOnPrinter(dialog.Paper(), dialog.Orientation());
    const CPageSetupDlg::Margins& margins = dialog.PageMargins();
    m_marginLeft = margins.left;
    m_marginTop = margins.top;
    m_marginRight = margins.right;
    m_marginBottom = margins.bottom;
    m_pageChosen = true;
    return true;
}

namespace {
// Qt's print dialog without the choices the print job does not follow: it prints every page of the
// report, in order, so the print range (shown whatever the options say), the page set and the
// reverse order are hidden each time the dialog shows.
class ReportPrintDialog : public QPrintDialog {
public:
    using QPrintDialog::QPrintDialog;

    void setVisible(bool visible) override {
        QPrintDialog::setVisible(visible);
        if (!visible)
            return;
        for (const char* name : {"gbPrintRange", "pageSetLabel", "pageSetCombo", "reverse"}) {
            if (QWidget* control = findChild<QWidget*>(QString::fromLatin1(name)))
                control->hide();
        }
    }
};
} // namespace

bool CReportSession::RunPrintDialog(QWidget* owner, bool* pageChanged) {
    QPrinter& printer = *m_printer;
    const QString printerName = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    const int resolution = printer.resolution();
    ReportPrintDialog dialog(&printer, owner);
    // Only the options the print job honours; setMinMax would turn the page range back on. Without
    // PrintShowPageSize Qt hides the printer's Properties, whose page settings would pass by Page
    // Setup and the preview.
    dialog.setOptions(QAbstractPrintDialog::PrintCollateCopies);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The dialog puts the queue's default paper and margins on the printer whatever was chosen
    // before; the page stays the one Page Setup and the preview show, on another printer as far as
    // that printer has the paper.
    if (printer.printerName() == printerName)
        PutPageOnPrinter(layout.pageSize(), layout.orientation());
    else
        KeepPageOnNewPrinter(layout.pageSize(), layout.orientation());
    if (pageChanged) {
        const QPageLayout now = printer.pageLayout();
        *pageChanged = printer.printerName() != printerName || printer.resolution() != resolution ||
                       !now.pageSize().isEquivalentTo(layout.pageSize()) ||
                       now.orientation() != layout.orientation();
    }
    return accepted;
}

QFont CReportSession::InitialReportFont() const {
    QFont face(QString::fromUtf8(m_faceName.c_str()).left(31));
    QFont initial(QFontInfo(face).family());
    initial.setPointSize(m_pointSize > 0 ? m_pointSize : 10);
    initial.setWeight(QFont::Normal);
    return initial;
}

void CReportSession::TakeReportFont(const QFont& chosen) {
    m_pointSize = static_cast<int>(chosen.pointSizeF() * 10.0) / 10;
    if (chosen.family() != InitialReportFont().family())
        m_faceName = chosen.family().toUtf8().constData();
}

bool CReportSession::RunFontDialog(QWidget* owner) {
    QFontDialog dialog(InitialReportFont(), owner);
    dialog.setOption(QFontDialog::ScalableFonts);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TakeReportFont(dialog.selectedFont());
    return true;
}
