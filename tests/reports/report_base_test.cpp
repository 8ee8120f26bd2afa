#include "reports/PersonPickerDlg.h"
#include "reports/PrintPreview.h"
#include "reports/Report.h"
#include "reports/ReportSession.h"

#include "data/Schema.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/data/records_document.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A report of numbered lines under a title, as many lines per page as the print rectangle holds.
class LinesReport : public CReport {
public:
    LinesReport(QPrinter* printer, int lines) : CReport(printer), m_lines(lines) {}

    bool PrintPage(QPainter& dc, int page) override {
        m_painter = &dc;
        drawnPages.push_back(page);
        m_y = m_printRect.top;
        DrawTitle();
        dc.setFont(m_normalFont);
        const int first = page * LinesPerPage();
        for (int line = first; line < std::min(m_lines, first + LinesPerPage()); ++line) {
            dc.drawText(m_column1, m_y + m_lineHeight, QStringLiteral("Line %1").arg(line + 1));
            m_y += m_lineHeight;
        }
        DrawFooter(page);
        DrawFrame();
        return true;
    }
    void DrawTitle() override {
        m_painter->setFont(m_boldFont);
        m_painter->drawText(m_column1, m_y + m_lineHeight, QStringLiteral("Test Report"));
        m_y += 2 * m_lineHeight;
    }
    void DrawFooter(int page) override {
        m_painter->setFont(m_normalFont);
        m_painter->drawText(m_column2, m_printRect.bottom - m_lineHeight / 2,
                            QStringLiteral("Page %1").arg(page + 1));
    }
    void DrawFrame() override {
        m_painter->drawRect(m_printRect.left, m_printRect.top, m_printRect.Width() - 1,
                            m_printRect.Height() - 1);
    }
    void Paginate() override {
        ++paginations;
        const int perPage = LinesPerPage();
        m_pageCount = perPage > 0 ? (m_lines + perPage - 1) / perPage : 0;
    }
    // Title (two lines) and footer (two lines) take four lines of every page.
    int LinesPerPage() const { return m_lineHeight > 0 ? m_printRect.Height() / m_lineHeight - 4 : 0; }

    std::vector<int> drawnPages;
    int paginations = 0;

private:
    int m_lines;
    QPainter* m_painter = nullptr;
};

// A PDF printer into a temp file at 300 dpi, US Letter.
void MakePdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::Letter));
}

int PdfPageCount(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = pdf.readAll();
    int count = 0;
    for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0; at = bytes.indexOf("/Type /Page", at + 1)) {
        if (bytes.mid(at, 12) != "/Type /Pages")
            ++count;
    }
    return count;
}

class ReportBase : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        MakePdf(m_session.Printer(), PdfPath());
        m_session.SetFactory([this](QPrinter* printer, const ReportInput& input) -> std::unique_ptr<CReport> {
            m_lastInput = input;
            if (input.kind != kReportDailyPlan)
                return nullptr;
            auto report = std::make_unique<LinesReport>(printer, m_lines);
            m_report = report.get();
            return report;
        });
        m_session.m_statusText = [this](const QString& text) { m_status.push_back(text); };
        m_savedKind = g_doc.m_reportKind;
    }
    void TearDown() override { g_doc.m_reportKind = m_savedKind; }

    QString PdfPath() const { return QString::fromUtf8(m_dir.File("report.pdf").c_str()); }

    // The application exists before the printer does.
    struct App {
        App() { TestApp(); }
    } m_app;
    TempDir m_dir;
    CReportSession m_session;
    LinesReport* m_report = nullptr;
    ReportInput m_lastInput;
    int m_lines = 100;
    std::vector<QString> m_status;
    int m_savedKind = 0;
};

TEST_F(ReportBase, NewReportHasHalfInchMarginsTenPointTimesAndLineMetrics) {
    LinesReport report(&m_session.Printer(), 10);
    EXPECT_EQ(report.GetPageCount(), 0);
    EXPECT_DOUBLE_EQ(report.LeftMargin(), 0.5);
    EXPECT_DOUBLE_EQ(report.BottomMargin(), 0.5);
    EXPECT_EQ(report.PointSize(), 10);
    EXPECT_EQ(report.FaceName(), CString("Times New Roman"));
    // 10 points at 300 dpi, rounded: 41.67 -> 42 pixels.
    EXPECT_EQ(report.NormalFont().pixelSize(), 42);
    EXPECT_EQ(report.BoldFont().pixelSize(), 42);
    EXPECT_EQ(report.BoldFont().weight(), QFont::Bold);
    EXPECT_EQ(report.NormalFont().weight(), QFont::Normal);
    EXPECT_GE(report.LineHeight(), 42);
    EXPECT_GT(report.AverageCharWidth(), 0);
    EXPECT_EQ(report.MiniMonthHeight(), 8 * report.LineHeight());
    EXPECT_EQ(report.MiniMonthWidth(), 21 * report.AverageCharWidth());
    EXPECT_EQ(report.GetDC(), &m_session.Printer());
}

TEST_F(ReportBase, MarginsGiveThePrintRectangleFromThePaperEdgesAndTheColumns) {
    LinesReport report(&m_session.Printer(), 10);
    const DeviceCaps caps = ReadDeviceCaps(m_session.Printer());
    ASSERT_EQ(caps.logPixelsX, 300);
    ASSERT_EQ(caps.physicalWidth, 2550); // 8.5 inches
    ASSERT_EQ(caps.physicalHeight, 3300);
    report.SetMargins(750, 1000, 500, 250);
    const PrintRect rect = report.GetPrintRect();
    EXPECT_EQ(rect.left, static_cast<int>(0.75 * 300 - caps.physicalOffsetX));
    EXPECT_EQ(rect.top, static_cast<int>(1.0 * 300 - caps.physicalOffsetY));
    EXPECT_EQ(rect.right, static_cast<int>(2550 - 0.5 * 300 - caps.physicalOffsetX));
    EXPECT_EQ(rect.bottom, static_cast<int>(3300 - 0.25 * 300 - caps.physicalOffsetY));
    EXPECT_DOUBLE_EQ(report.LeftMargin(), 0.75);
    EXPECT_DOUBLE_EQ(report.TopMargin(), 1.0);
    EXPECT_EQ(report.Column1(), rect.left + report.AverageCharWidth());
    EXPECT_EQ(report.Column2(), report.Column1() + rect.Width() / 2);
    EXPECT_EQ(report.paginations, 1);
    EXPECT_GT(report.GetPageCount(), 0);
}

TEST_F(ReportBase, PrintRectangleIsRelativeToThePrintableArea) {
    // A page with its own margins moves the printable area's origin in from the paper edge (the
    // session puts the origin on the paper's corner; a printer may have it anywhere).
    m_session.Printer().setFullPage(false);
    m_session.Printer().setPageMargins(QMarginsF(0.25, 0.5, 0.25, 0.5), QPageLayout::Inch);
    LinesReport report(&m_session.Printer(), 10);
    const DeviceCaps caps = ReadDeviceCaps(m_session.Printer());
    EXPECT_EQ(caps.physicalOffsetX, 75);
    EXPECT_EQ(caps.physicalOffsetY, 150);
    report.SetMargins(750, 750, 750, 750);
    EXPECT_EQ(report.GetPrintRect(), (PrintRect{225 - 75, 225 - 150, 2550 - 225 - 75, 3300 - 225 - 150}));
}

TEST_F(ReportBase, FontAndPointSizeRemakeBothFontsAndPaginateAgain) {
    // The page counts are compared in one family: which face the default font resolves to depends on
    // the fonts the machine has.
    LinesReport tenPoint(&m_session.Printer(), 200);
    tenPoint.SetMargins(750, 750, 750, 750);
    QFont tenPointFont(QStringLiteral("DejaVu Sans"));
    tenPointFont.setPointSize(10);
    tenPoint.SetFont(tenPointFont);
    const int tenPointPages = tenPoint.GetPageCount();

    LinesReport report(&m_session.Printer(), 200);
    report.SetMargins(750, 750, 750, 750);
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(12);
    report.SetFont(chosen);
    EXPECT_EQ(report.FaceName(), CString("DejaVu Sans"));
    EXPECT_EQ(report.PointSize(), 12);
    // 12 points at 300 dpi: exactly 50 pixels, bold and normal.
    EXPECT_EQ(report.NormalFont().pixelSize(), 50);
    EXPECT_EQ(report.BoldFont().pixelSize(), 50);
    EXPECT_EQ(report.BoldFont().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(report.paginations, 2);
    EXPECT_GT(report.GetPageCount(), tenPointPages);

    report.SetPointSize(7);
    // 7 points at 300 dpi truncated: 29.17 -> 29.
    EXPECT_EQ(report.NormalFont().pixelSize(), 29);
    EXPECT_EQ(report.paginations, 3);
    EXPECT_LT(report.GetPageCount(), tenPointPages);
}

TEST_F(ReportBase, ReportPrintsEveryPageToPdfThroughThePageCallback) {
    g_doc.m_reportKind = kReportDailyPlan;
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    ASSERT_NE(m_report, nullptr);
    const int pages = m_session.PageCount();
    ASSERT_GE(pages, 2);
    ASSERT_TRUE(m_session.PrintAll());
    EXPECT_EQ(PdfPageCount(PdfPath()), pages);
    std::vector<int> expected;
    for (int page = 0; page < pages; ++page)
        expected.push_back(page);
    EXPECT_EQ(m_report->drawnPages, expected);
    ASSERT_EQ(m_status.size(), static_cast<size_t>(pages));
    EXPECT_EQ(m_status.front(), QStringLiteral("Page 1 of %1").arg(pages));
    EXPECT_EQ(m_status.back(), QStringLiteral("Page %1 of %1").arg(pages));
}

TEST_F(ReportBase, ReportGetsTheSessionsFontAndMargins) {
    g_doc.m_reportKind = kReportDailyPlan;
    m_session.m_faceName = "DejaVu Serif";
    m_session.m_pointSize = 12;
    m_session.m_marginLeft = 1000;
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    EXPECT_EQ(m_report->FaceName(), CString("DejaVu Serif"));
    EXPECT_EQ(m_report->PointSize(), 12);
    EXPECT_DOUBLE_EQ(m_report->LeftMargin(), 1.0);
    EXPECT_DOUBLE_EQ(m_report->RightMargin(), 0.75);
}

TEST_F(ReportBase, PagesOutsideTheReportAreRefusedAndNothingIsDrawn) {
    g_doc.m_reportKind = kReportDailyPlan;
    m_lines = 5;
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    ASSERT_EQ(m_session.PageCount(), 1);
    EXPECT_TRUE(m_session.IsValidPage(0));
    EXPECT_FALSE(m_session.IsValidPage(1));
    EXPECT_FALSE(m_session.IsValidPage(static_cast<unsigned>(-1)));
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_FALSE(m_session.PrintPage(1, painter));
    EXPECT_TRUE(m_report->drawnPages.empty());
    EXPECT_TRUE(m_status.empty());
}

TEST_F(ReportBase, NoKindBuildsNothingAndUnknownKindsGiveNoReport) {
    g_doc.m_reportKind = kReportNone;
    EXPECT_FALSE(m_session.CreateReport(g_doc));
    EXPECT_EQ(m_session.Report(), nullptr);
    EXPECT_FALSE(m_session.PrintAll());
    EXPECT_FALSE(QFile::exists(PdfPath()));
    EXPECT_EQ(m_session.PageCount(), 0);

    for (int kind : {static_cast<int>(kReportNone), kReportMonth + 1}) {
        ReportInput input;
        input.kind = kind;
        EXPECT_EQ(CreateReportOfKind(&m_session.Printer(), input), nullptr) << kind;
    }
}

TEST_F(ReportBase, BuildingAgainReplacesTheReportAndKindZeroKeepsIt) {
    g_doc.m_reportKind = kReportDailyPlan;
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    EXPECT_EQ(m_session.Report(), m_report);
    g_doc.m_reportKind = kReportNone;
    EXPECT_TRUE(m_session.CreateReport(g_doc));
    EXPECT_EQ(m_session.Report(), m_report);
    m_session.DeleteReport();
    EXPECT_EQ(m_session.Report(), nullptr);
}

TEST_F(ReportBase, TheReportCopiesTheListsOfItsKind) {
    CTask task;
    task.m_Desc = "Call Jane";
    m_session.m_tasks = {task};
    CPerson person;
    person.m_ID = "P1";
    m_session.m_persons = {person};
    m_session.m_businessNameInAddress = true;
    g_doc.m_reportKind = kReportEnvelopes;
    EXPECT_FALSE(m_session.CreateReport(g_doc));
    EXPECT_EQ(m_lastInput.kind, kReportEnvelopes);
    ASSERT_EQ(m_lastInput.persons.size(), 1u);
    EXPECT_TRUE(m_lastInput.businessNameInAddress);
    EXPECT_FALSE(m_lastInput.businessNameInReturnAddress);
    EXPECT_TRUE(m_lastInput.tasks.empty());

    g_doc.m_reportKind = kReportMonth;
    g_doc.SetCurrentDate(CDateTime(2024, 2, 10, 9, 0, 0));
    m_session.CreateReport(g_doc);
    EXPECT_EQ(m_lastInput.month, 2);
    EXPECT_EQ(m_lastInput.year, 2024);
    ASSERT_EQ(m_lastInput.tasks.size(), 1u);
    EXPECT_EQ(m_lastInput.tasks[0].m_Desc, CString("Call Jane"));
}

struct RangeCase {
    CDateTime current;
    const char* first;
    const char* last;
};

TEST(ReportRanges, WeekRunsSundayToSaturdayAtTheCurrentTime) {
    const RangeCase cases[] = {
        {CDateTime(2026, 12, 9, 14, 30, 0), "2026-12-06 14:30:00", "2026-12-12 14:30:00"}, // a Wednesday
        {CDateTime(2026, 12, 6, 8, 0, 0), "2026-12-06 08:00:00", "2026-12-12 08:00:00"},   // a Sunday
        {CDateTime(2026, 12, 12, 0, 0, 0), "2026-12-06 00:00:00", "2026-12-12 00:00:00"},  // a Saturday
        {CDateTime(2026, 12, 31, 9, 0, 0), "2026-12-27 09:00:00", "2027-01-02 09:00:00"},  // across the year
    };
    for (const RangeCase& c : cases) {
        const ReportRange range = WeeklyRange(c.current);
        EXPECT_EQ(range.FirstText(), CString(c.first));
        EXPECT_EQ(range.LastText(), CString(c.last));
    }
}

TEST(ReportRanges, MonthRunsFromItsFirstToItsLastDay) {
    const RangeCase cases[] = {
        {CDateTime(2024, 2, 14, 10, 5, 0), "2024-02-01 10:05:00", "2024-02-29 10:05:00"}, // leap year
        {CDateTime(2026, 2, 14, 10, 5, 0), "2026-02-01 10:05:00", "2026-02-28 10:05:00"},
        {CDateTime(2026, 12, 31, 23, 0, 0), "2026-12-01 23:00:00", "2026-12-31 23:00:00"}, // December
        {CDateTime(2026, 4, 1, 0, 0, 0), "2026-04-01 00:00:00", "2026-04-30 00:00:00"},
    };
    for (const RangeCase& c : cases) {
        const ReportRange range = MonthlyRange(c.current);
        EXPECT_EQ(range.FirstText(), CString(c.first));
        EXPECT_EQ(range.LastText(), CString(c.last));
    }
}

TEST(ReportRanges, DayRunsFromItsMidnightToItsLastSecond) {
    const ReportRange range = DailyRange(CDateTime(2026, 12, 31, 15, 45, 10));
    EXPECT_EQ(range.FirstText(), CString("2026-12-31 00:00:00"));
    EXPECT_EQ(range.LastText(), CString("2026-12-31 23:59:59"));
}

TEST(ReportCommands, WithoutADocumentTheListsAreEmptiedAndTheKindIsAnswered) {
    ASSERT_FALSE(g_doc.IsOpen());
    TestApp();
    CReportSession session;
    session.m_tasks.resize(2);
    session.m_appts.resize(3);
    EXPECT_EQ(session.GatherDaily(g_doc), kReportDailyPlan);
    EXPECT_TRUE(session.m_tasks.empty());
    EXPECT_TRUE(session.m_appts.empty());
    session.m_tasks.resize(1);
    EXPECT_EQ(session.GatherWeekly(g_doc), kReportWeek);
    EXPECT_TRUE(session.m_tasks.empty());
    session.m_appts.resize(1);
    EXPECT_EQ(session.GatherMonthly(g_doc), kReportMonth);
    EXPECT_TRUE(session.m_appts.empty());
}

class Preview : public ReportBase {
protected:
    void SetUp() override {
        ReportBase::SetUp();
        g_doc.m_reportKind = kReportDailyPlan;
        ASSERT_TRUE(m_session.CreateReport(g_doc));
        m_preview.resize(400, 500);
        m_preview.SetPrintJob(&m_session.Printer(), &m_session, 0, m_session.PageCount() - 1);
        m_preview.show();
        QApplication::processEvents();
    }

    CPrintPreviewWindow m_preview;
};

TEST_F(Preview, PagesStepWithinTheRange) {
    const int last = m_session.PageCount() - 1;
    ASSERT_GE(last, 1);
    EXPECT_EQ(m_preview.GetPage(), 0);
    EXPECT_FALSE(m_preview.PrevPage());
    for (int page = 1; page <= last; ++page) {
        EXPECT_TRUE(m_preview.NextPage());
        EXPECT_EQ(m_preview.GetPage(), page);
    }
    EXPECT_FALSE(m_preview.NextPage());
    EXPECT_EQ(m_preview.GetPage(), last);
    EXPECT_TRUE(m_preview.PrevPage());
    EXPECT_EQ(m_preview.GetPage(), last - 1);
}

TEST_F(Preview, PaintingDrawsTheShownPageThroughTheCallback) {
    m_preview.NextPage();
    m_report->drawnPages.clear();
    m_status.clear();
    const QString path = SaveScreenshot(&m_preview, QStringLiteral("report_preview_page2"));
    EXPECT_FALSE(path.isEmpty());
    ASSERT_FALSE(m_report->drawnPages.empty());
    EXPECT_EQ(m_report->drawnPages.back(), 1);
    EXPECT_EQ(m_status.back(), QStringLiteral("Page 2 of %1").arg(m_session.PageCount()));
}

TEST(PreviewZoom, StepsInAndOut) {
    const int in[][2] = {{0, 200}, {200, 400}, {400, 800}, {800, 800}, {300, 300}};
    for (const auto& step : in)
        EXPECT_EQ(CPrintPreviewWindow::ZoomInStep(step[0]), step[1]) << step[0];
    const int out[][2] = {{800, 400}, {400, 200}, {200, 0}, {0, 0}, {300, 300}};
    for (const auto& step : out)
        EXPECT_EQ(CPrintPreviewWindow::ZoomOutStep(step[0]), step[1]) << step[0];
}

TEST_F(Preview, ZoomGrowsTheScrollAreaAndKeepsTheRelativePosition) {
    QScrollBar* horizontal = m_preview.horizontalScrollBar();
    QScrollBar* vertical = m_preview.verticalScrollBar();
    const QRect whole = m_preview.SheetRect();
    m_preview.SetZoom(200);
    EXPECT_EQ(m_preview.GetZoom(), 200);
    EXPECT_EQ(horizontal->maximum(), 200);
    EXPECT_EQ(horizontal->value(), 100);
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_GT(m_preview.SheetRect().width(), whole.width());
    vertical->setValue(50);
    m_preview.SetZoom(400);
    EXPECT_EQ(horizontal->value(), 200);
    EXPECT_EQ(vertical->value(), 100);
    m_preview.SetZoom(800);
    EXPECT_EQ(horizontal->value(), 400);
    EXPECT_EQ(vertical->value(), 200);
    QApplication::processEvents();
    SaveScreenshot(&m_preview, QStringLiteral("report_preview_zoom800"));
    m_preview.SetZoom(0);
    EXPECT_EQ(horizontal->maximum(), 0);
    EXPECT_EQ(horizontal->value(), 0);
    EXPECT_EQ(vertical->value(), 0);
    QApplication::processEvents();
    EXPECT_EQ(m_preview.SheetRect(), whole);
}

// The picker against a real document with three persons.
class PersonPicker : public RecordsDocument {
protected:
    void SetUp() override {
        RecordsDocument::SetUp();
        TestApp();
        Add("P1", "Jane", "Doe", "Acme");
        Add("P2", "Al", "Zorn", "");
        Add("P3", "Jane", "Doe", "");
        std::vector<CPerson> members;
        ASSERT_TRUE(g_doc.GetGroupMembers(members, 0, Schema::kGroupAllId));
        ASSERT_EQ(members.size(), 3u);
        m_offered = members;
    }

    void Add(const char* id, const char* first, const char* last, const char* company) {
        CPerson person;
        person.m_ID = id;
        person.m_FName = first;
        person.m_LName = last;
        person.m_Company = company;
        person.m_City = "Springfield";
        person.BuildDisplayName();
        ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    }

    static QListWidget* List(CPersonPickerDlg& dlg) { return FindControl<QListWidget>(&dlg, 1054); }
    static QPushButton* Ok(CPersonPickerDlg& dlg) { return FindControl<QPushButton>(&dlg, 1); }
    static QCheckBox* Box(CPersonPickerDlg& dlg, int id) { return FindControl<QCheckBox>(&dlg, id); }

    std::vector<CPerson> m_offered;
};

TEST_F(PersonPicker, EntriesShowNameAndCompanySortedByTheirText) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Phone Book", false);
    QListWidget* list = List(dlg);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Doe, Jane"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Doe, Jane (Acme)"));
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("Zorn, Al"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Phone Book"));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(PersonPicker, PhoneBookHidesTheReturnAddressBoxEnvelopesShowBoth) {
    CPersonPickerDlg phoneBook(g_doc, m_offered, "Phone Book", false);
    phoneBook.show();
    EXPECT_TRUE(Box(phoneBook, 1164)->isVisible());
    EXPECT_FALSE(Box(phoneBook, 1165)->isVisible());
    CPersonPickerDlg envelopes(g_doc, m_offered, "Envelopes", true);
    envelopes.show();
    EXPECT_TRUE(Box(envelopes, 1164)->isVisible());
    EXPECT_TRUE(Box(envelopes, 1165)->isVisible());
    EXPECT_EQ(Box(envelopes, 1165)->text(), QStringLiteral("Use business name in return address"));
}

TEST_F(PersonPicker, OkIsEnabledExactlyWhileEntriesAreSelected) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Phone Book", false);
    QListWidget* list = List(dlg);
    EXPECT_FALSE(Ok(dlg)->isEnabled());
    list->item(1)->setSelected(true);
    EXPECT_TRUE(Ok(dlg)->isEnabled());
    list->clearSelection();
    EXPECT_FALSE(Ok(dlg)->isEnabled());

    QCheckBox* all = Box(dlg, 1056);
    all->click();
    EXPECT_EQ(list->selectedItems().size(), 3);
    EXPECT_TRUE(Ok(dlg)->isEnabled());
    all->click();
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_FALSE(Ok(dlg)->isEnabled());
}

TEST_F(PersonPicker, OkReadsTheSelectedPersonsWholeInListOrderWithTheChecks) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Envelopes", true);
    QListWidget* list = List(dlg);
    list->item(2)->setSelected(true);
    list->item(0)->setSelected(true);
    Box(dlg, 1165)->setChecked(true);
    Ok(dlg)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(dlg.Chosen().size(), 2u);
    EXPECT_EQ(dlg.Chosen()[0].m_ID, CString("P3"));
    EXPECT_EQ(dlg.Chosen()[1].m_ID, CString("P2"));
    // The whole record, not just the listed fields.
    EXPECT_EQ(dlg.Chosen()[0].m_City, CString("Springfield"));
    EXPECT_FALSE(dlg.BusinessNameInAddress());
    EXPECT_TRUE(dlg.BusinessNameInReturnAddress());
}

TEST_F(PersonPicker, APersonDeletedMeanwhileIsLeftOut) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Phone Book", false);
    Box(dlg, 1056)->click();
    CPerson zorn;
    zorn.m_ID = "P2";
    ASSERT_TRUE(g_doc.DeletePerson(zorn));
    Ok(dlg)->click();
    ASSERT_EQ(dlg.Chosen().size(), 2u);
    EXPECT_EQ(dlg.Chosen()[0].m_ID, CString("P3"));
    EXPECT_EQ(dlg.Chosen()[1].m_ID, CString("P1"));
}

TEST_F(PersonPicker, CancelChoosesNobody) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Phone Book", false);
    Box(dlg, 1056)->click();
    FindControl<QPushButton>(&dlg, 2)->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.Chosen().empty());
}

TEST_F(PersonPicker, HelpOpensThePickersPage) {
    CPersonPickerDlg dlg(g_doc, m_offered, "Phone Book", false);
    ClearLastHelpRequest();
    FindControl<QPushButton>(&dlg, 1057)->click();
    EXPECT_EQ(LastHelpRequest().command, static_cast<unsigned>(HH_DISPLAY_TOPIC));
    EXPECT_TRUE(QString::fromUtf8(LastHelpRequest().url.c_str())
                    .endsWith(QStringLiteral("::/html/dlgpraddr.htm>topic")))
        << LastHelpRequest().url.c_str();
    if (QWidget* help = HelpWindow())
        help->close();
}

TEST_F(PersonPicker, SelectAllOnAnEmptyOfferChoosesNobody) {
    CPersonPickerDlg dlg(g_doc, {}, "Envelopes", true);
    EXPECT_EQ(List(dlg)->count(), 0);
    Box(dlg, 1056)->click();
    EXPECT_TRUE(Box(dlg, 1056)->isChecked());
    // Select All enables OK as it is checked, but OK then chooses nobody.
    Ok(dlg)->click();
    EXPECT_TRUE(dlg.Chosen().empty());
}

// Every text of a person, the display name included.
static std::vector<CString> AllFields(const CPerson& p) {
    return {p.m_ID,       p.m_Title,   p.m_FName,      p.m_LName,   p.m_DisplayName, p.m_Addr1,
            p.m_Addr2,    p.m_City,    p.m_State,      p.m_Zip,     p.m_HmPhone,     p.m_HmFax,
            p.m_CelPhone, p.m_Pager,   p.m_Email,      p.m_WebPage, p.m_Company,     p.m_Position,
            p.m_WkAddr1,  p.m_WkAddr2, p.m_WkCity,     p.m_WkState, p.m_WkZip,       p.m_WkPhone,
            p.m_WkExt,    p.m_WkFax,   p.m_WkCelPhone, p.m_WkPager, p.m_WkEmail,     p.m_WkWebPage,
            p.m_Notes};
}

// What the address book prints comes from the chosen persons: choosing all members of a group gives,
// in list order, each person exactly as it reads alone, over rows that tie in the list, rows with
// NULL columns, a second row sharing an ID and members of other groups.
TEST_F(PersonPicker, ChoosingAGroupReadsEveryPersonAsItReadsAlone) {
    const char* const friends = "0F0F0F0F-0000-1111-2222-333344445555";
    CPhGroup group;
    group.m_ID = friends;
    group.m_Desc = "Friends";
    ASSERT_TRUE(g_doc.InsertGroup(group));
    g_db.ExecDml("insert into Person(ID, FName, LName, Company, City, WkExt, Notes) values('F1', 'Jane', "
                 "'Doe', 'Acme', NULL, '12', NULL)");
    g_db.ExecDml("insert into Person(ID, FName, LName, Company) values('F2', 'Jane', 'Doe', 'Acme')");
    g_db.ExecDml(
        "insert into Person(ID, FName, LName, Addr2, Zip) values('F3', NULL, 'O''Hara', NULL, '02134')");
    g_db.ExecDml("insert into Person(ID, FName, LName) values('F3', 'Second', 'Row')");
    for (const char* id : {"F1", "F2", "F3", "P2"}) {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", id, friends));
    }
    for (int sortOrder : {0, 1}) {
        std::vector<CPerson> offered;
        ASSERT_TRUE(g_doc.GetGroupMembers(offered, sortOrder, friends));
        ASSERT_EQ(offered.size(), 5u) << "F3 has two rows";
        CPersonPickerDlg dlg(g_doc, offered, "Phone Book", false);
        Box(dlg, 1056)->click();
        std::vector<CPerson> expected;
        for (int row = 0; row < List(dlg)->count(); ++row) {
            CPerson person;
            person.m_ID = List(dlg)->item(row)->data(Qt::UserRole).toString().toUtf8().constData();
            ASSERT_TRUE(g_doc.GetPerson(person));
            expected.push_back(person);
        }
        Ok(dlg)->click();
        const std::vector<CPerson>& chosen = dlg.Chosen();
        ASSERT_EQ(chosen.size(), expected.size()) << sortOrder;
        for (size_t i = 0; i < chosen.size(); ++i) {
            EXPECT_EQ(AllFields(chosen[i]), AllFields(expected[i]))
                << "sort order " << sortOrder << ", entry " << i;
        }
        // Of F3's two rows both entries print the first, as a read of F3 alone gives it.
        EXPECT_EQ(std::count_if(chosen.begin(), chosen.end(),
                                [](const CPerson& p) {
                                    return p.m_ID == CString("F3") && p.m_LName == CString("O'Hara");
                                }),
                  2);
    }
}

// The report commands' reads against a real document.
class ReportGathering : public RecordsDocument {
protected:
    void AddAppt(const char* id, int year, int month, int day) {
        CAppt appt;
        appt.m_ID = id;
        appt.m_Desc = id;
        appt.m_DateDue = CDateTime(year, month, day);
        appt.m_StartTime = CDateTime(year, month, day, 9, 0, 0);
        appt.m_EndTime = CDateTime(year, month, day, 10, 0, 0);
        appt.m_AlarmTime = appt.m_StartTime;
        ASSERT_TRUE(g_doc.InsertAppt(appt));
    }
    void AddTask(const char* id, int year, int month, int day) {
        CTask task;
        task.m_ID = id;
        task.m_Desc = id;
        task.m_DateDue = CDateTime(year, month, day);
        ASSERT_TRUE(g_doc.InsertTask(task));
    }
    static std::vector<CString> Ids(const std::vector<CAppt>& appts) {
        std::vector<CString> ids;
        for (const CAppt& appt : appts)
            ids.push_back(appt.m_ID);
        return ids;
    }
    static std::vector<CString> Ids(const std::vector<CTask>& tasks) {
        std::vector<CString> ids;
        for (const CTask& task : tasks)
            ids.push_back(task.m_ID);
        return ids;
    }
};

TEST_F(ReportGathering, TheWeeklyPlanOfAWednesdayRunsFromSundayToSaturday) {
    TestApp();
    for (const auto& [id, day] : std::vector<std::pair<const char*, int>>{
             {"Sat05", 5}, {"Sun06", 6}, {"Wed09", 9}, {"Sat12", 12}, {"Sun13", 13}}) {
        AddAppt(id, 2026, 12, day);
        AddTask(id, 2026, 12, day);
    }
    g_doc.SetCurrentDate(CDateTime(2026, 12, 9));
    CReportSession session;
    EXPECT_EQ(session.GatherWeekly(g_doc), kReportWeek);
    EXPECT_EQ(Ids(session.m_appts), (std::vector<CString>{"Sun06", "Wed09", "Sat12"}));
    EXPECT_EQ(Ids(session.m_tasks), (std::vector<CString>{"Sun06", "Wed09", "Sat12"}));
}

TEST_F(ReportGathering, TheMonthlyPlanOfALeapFebruaryIncludesThe29th) {
    TestApp();
    AddAppt("Jan31", 2024, 1, 31);
    AddAppt("Feb01", 2024, 2, 1);
    AddAppt("Feb29", 2024, 2, 29);
    AddAppt("Mar01", 2024, 3, 1);
    g_doc.SetCurrentDate(CDateTime(2024, 2, 10));
    CReportSession session;
    EXPECT_EQ(session.GatherMonthly(g_doc), kReportMonth);
    EXPECT_EQ(Ids(session.m_appts), (std::vector<CString>{"Feb01", "Feb29"}));
}

TEST_F(ReportGathering, TheDailyPlanTakesOnlyTheDaysAppointments) {
    TestApp();
    AddAppt("Day", 2026, 12, 9);
    AddAppt("Next", 2026, 12, 10);
    AddAppt("After", 2026, 12, 11);
    g_doc.SetCurrentDate(CDateTime(2026, 12, 9, 15, 0, 0));
    CReportSession session;
    EXPECT_EQ(session.GatherDaily(g_doc), kReportDailyPlan);
    // The next day's appointments are due at the next midnight and stay out.
    EXPECT_EQ(Ids(session.m_appts), (std::vector<CString>{"Day"}));
}

} // namespace
