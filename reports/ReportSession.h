#pragma once

#include "data/DateTime.h"
#include "data/Records.h"
#include "platform/core/CString.h"
#include "reports/PrintJob.h"
#include "reports/Report.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <functional>
#include <memory>
#include <vector>

class CDbDoc;
class QPrintDialog;
class QWidget;

// The report kinds of the document's report kind field.
enum ReportKind : int {
    kReportNone = 0,
    kReportAddressBook = 1,
    kReportEnvelopes = 2,
    kReportDailyPlan = 3,
    kReportDailyTasks = 4,
    kReportDailyAppts = 5,
    kReportWeek = 6,
    kReportMonth = 7,
};

// The first and last moment a report command reads, as "%Y-%m-%d %H:%M:%S".
struct ReportRange {
    CDateTime first;
    CDateTime last;
    CString FirstText() const { return first.Format("%Y-%m-%d %H:%M:%S"); }
    CString LastText() const { return last.Format("%Y-%m-%d %H:%M:%S"); }
};
// The day from 00:00:00 to 23:59:59.
ReportRange DailyRange(const CDateTime& current);
// Sunday to Saturday of the date's week, both at the date's time of day.
ReportRange WeeklyRange(const CDateTime& current);
// The first and the last day of the date's month, both at the date's time of day.
ReportRange MonthlyRange(const CDateTime& current);

// Everything a report is built from: copies of the frame's lists and the values of its kind.
struct ReportInput {
    int kind = kReportNone;
    std::vector<CPerson> persons;
    std::vector<CTask> tasks;
    std::vector<CAppt> appts;
    CUser user;
    bool businessNameInAddress = false;
    bool businessNameInReturnAddress = false;
    CDateTime weekFirst;
    CDateTime weekLast;
    int month = 0;
    int year = 0;
};

// Makes the report of input.kind on the printer; none for a kind this program has no report for.
using ReportFactory = std::function<std::unique_ptr<CReport>(QPrinter* printer, const ReportInput& input)>;
std::unique_ptr<CReport> CreateReportOfKind(QPrinter* printer, const ReportInput& input);

// The frame's printing state: the printer, the record lists the report commands fill, the margins
// and the report font, and the one report object, which it owns. It is the page callback of the
// print job and of the preview.
class CReportSession : public CPrintJobInfo {
public:
    // Opens the printer of that name (the system's default when empty) on its own default paper.
    explicit CReportSession(const QString& printerName = QString());
    ~CReportSession() override;

    // The printer with the page every report is laid out on and printed on: its paper and
    // orientation, the page origin on the paper's corner.
    QPrinter& Printer() { return *m_printer; }
    // Opens another printer: the paper chosen in Page Setup stays when that printer has it,
    // otherwise the printer's default paper is taken. True when another printer was opened, so a
    // report built before must be built again.
    bool ReopenPrinter(const QString& printerName);
    // The papers Page Setup offers: the printer's own, or the common sizes when it names none.
    std::vector<QPageSize> OfferedPapers() const;

    // Fill the lists for the daily, weekly and monthly reports and answer the kind to set. With no
    // open document the lists stay empty.
    int GatherDaily(CDbDoc& doc);
    int GatherWeekly(CDbDoc& doc);
    int GatherMonthly(CDbDoc& doc);

    // Builds the report of the document's kind on the printer: nothing for kind 0; the old report
    // is deleted first. True when a report exists afterwards.
    bool CreateReport(CDbDoc& doc);
    void DeleteReport() { m_report.reset(); }
    CReport* Report() const { return m_report.get(); }
    int PageCount() const { return m_report ? m_report->GetPageCount() : 0; }
    void SetFactory(ReportFactory factory) { m_factory = std::move(factory); }

    bool IsValidPage(unsigned page) override;
    // Shows "Page %d of %d" through the status callback and lets the report draw the page.
    bool PrintPage(unsigned page, QPainter& dc) override;
    // Prints every page of the report on the printer; false without a report or a started job.
    bool PrintAll();

    // Page Setup, opened on the printer's paper and orientation and the report margins; nothing
    // changes until OK, which puts the chosen paper and orientation on the printer and stores the
    // margins. True on OK.
    bool RunPageSetup(QWidget* owner);
    // The Print dialog with what the print job honours: the printer, copies and collation; no page
    // range, selection, current page, page set, reverse order, print to file or printer properties.
    // The page stays the one on the printer before (on another printer chosen there, as far as it
    // has that paper). pageChanged, when given, tells whether the printer, its resolution, paper or
    // orientation changed, so a report built before must be built again. True on Print.
    bool RunPrintDialog(QWidget* owner, bool* pageChanged = nullptr);
    // The font dialog, opened on the family the report face really resolves to at the report size.
    // On OK the size is taken, and the face unless the chosen family is the one the current face
    // already resolves to (so OK without a choice keeps "Times New Roman" as it is). True on OK.
    bool RunFontDialog(QWidget* owner);
    // The font the report font dialog opens with.
    QFont InitialReportFont() const;
    // Takes the font the dialog returned, as OK in RunFontDialog does.
    void TakeReportFont(const QFont& chosen);

    // Where the page callback reports the page it draws.
    std::function<void(const QString&)> m_statusText;

    std::vector<CPerson> m_persons;
    std::vector<CTask> m_tasks;
    std::vector<CAppt> m_appts;
    bool m_businessNameInAddress = false;
    bool m_businessNameInReturnAddress = false;
    // Thousandths of an inch.
    int m_marginLeft = 750, m_marginTop = 750, m_marginRight = 750, m_marginBottom = 750;
    int m_pointSize = 10;
    CString m_faceName = "Times New Roman";

private:
    // The printer's default paper, portrait.
    void TakePrinterPaper();
    // The paper and orientation on a printer just chosen, or its default paper when it lacks it.
    void KeepPageOnNewPrinter(const QPageSize& paper, QPageLayout::Orientation orientation);
    void PutPageOnPrinter(const QPageSize& paper, QPageLayout::Orientation orientation);

    // Whether Page Setup has chosen the paper (else it is the printer's default).
    bool m_pageChosen = false;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<CReport> m_report;
    ReportFactory m_factory = CreateReportOfKind;
};
