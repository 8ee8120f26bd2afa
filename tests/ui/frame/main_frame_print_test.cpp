#include "data/DbDoc.h"
#include "data/Schema.h"
#include "reports/PersonPickerDlg.h"
#include "reports/PrintPreview.h"
#include "reports/Report.h"
#include "reports/ReportSession.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

// The frame's report commands, preview and printing, with no document open.

namespace {

// One numbered line per record, a fixed number of lines per page.
class PagedReport : public CReport {
public:
    PagedReport(QPrinter* printer, int pages) : CReport(printer), m_pages(pages) {}
    bool PrintPage(QPainter& dc, int page) override {
        drawn.push_back(page);
        dc.setFont(m_boldFont);
        dc.drawText(m_column1, m_printRect.top + m_lineHeight, QStringLiteral("Page %1").arg(page + 1));
        return true;
    }
    void DrawTitle() override {}
    void DrawFooter(int) override {}
    void DrawFrame() override {}
    void Paginate() override { m_pageCount = m_pages; }

    std::vector<int> drawn;

private:
    int m_pages;
};

class FramePrinting : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        ASSERT_FALSE(g_doc.IsOpen());
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->Create());
        QPrinter& printer = m_frame->Reports().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromUtf8(m_dir.File("out.pdf").c_str()));
        printer.setResolution(300);
        m_frame->Reports().SetFactory(
            [this](QPrinter* p, const ReportInput& input) -> std::unique_ptr<CReport> {
                ++m_built;
                m_input = input;
                if (m_pages == 0)
                    return nullptr;
                auto report = std::make_unique<PagedReport>(p, m_pages);
                m_report = report.get();
                return report;
            });
    }
    void TearDown() override {
        StopAnsweringModals();
        m_frame.reset();
        g_doc.m_reportKind = 0;
    }

    QString StatusText() const {
        QLabel* label = m_frame->statusBar()->findChildren<QLabel*>().value(0);
        return label ? label->text() : QString();
    }

    FrameEnvironment env;
    TempDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
    int m_pages = 3;
    int m_built = 0;
    ReportInput m_input;
    PagedReport* m_report = nullptr;
};

TEST_F(FramePrinting, AReportCommandWithoutADocumentOpensThePreviewWithEmptyLists) {
    QWidget* before = m_frame->ClientView();
    m_frame->Reports().m_tasks.resize(2);
    EXPECT_TRUE(m_frame->OnCommand(ID_REPORT_WEEK));
    EXPECT_EQ(g_doc.m_reportKind, kReportWeek);
    EXPECT_TRUE(m_frame->m_previewMode);
    EXPECT_EQ(m_built, 1);
    EXPECT_TRUE(m_input.tasks.empty());
    EXPECT_TRUE(m_input.appts.empty());
    EXPECT_EQ(m_frame->ClientView(), static_cast<QWidget*>(m_frame->PreviewWindow()));
    EXPECT_FALSE(m_frame->menuBar()->isVisibleTo(m_frame.get()));
    EXPECT_FALSE(m_frame->MainToolBar()->isVisibleTo(m_frame.get()));
    EXPECT_TRUE(m_frame->PreviewToolBar()->isVisibleTo(m_frame.get()));
    EXPECT_FALSE(before->isVisibleTo(m_frame.get()));
    EXPECT_EQ(m_frame->m_previewPageCount, 3);

    EXPECT_TRUE(m_frame->OnCommand(ID_FILE_PRINT_CLOSE));
    EXPECT_FALSE(m_frame->m_previewMode);
    EXPECT_EQ(m_frame->ClientView(), before);
    EXPECT_TRUE(before->isVisibleTo(m_frame.get()));
    EXPECT_TRUE(m_frame->menuBar()->isVisibleTo(m_frame.get()));
    EXPECT_FALSE(m_frame->PreviewToolBar()->isVisibleTo(m_frame.get()));
    EXPECT_EQ(m_frame->Reports().Report(), nullptr);
    EXPECT_EQ(StatusText(), QStringLiteral("Ready"));
    // The kind stays for the next preview.
    EXPECT_EQ(g_doc.m_reportKind, kReportWeek);
}

TEST_F(FramePrinting, DailyAndMonthlyCommandsSetTheirKinds) {
    m_frame->OnCommand(ID_REPORT_DAILY);
    EXPECT_EQ(g_doc.m_reportKind, kReportDailyPlan);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
    m_frame->OnCommand(ID_REPORT_MONTH);
    EXPECT_EQ(g_doc.m_reportKind, kReportMonth);
    EXPECT_EQ(m_input.kind, kReportMonth);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

TEST_F(FramePrinting, PreviewPagesThroughTheCommandsAndShowsThePageInTheStatusBar) {
    m_frame->show();
    m_frame->OnCommand(ID_REPORT_DAILY);
    CPrintPreviewWindow* preview = m_frame->PreviewWindow();
    EXPECT_EQ(preview->GetPage(), 0);
    m_frame->OnCommand(ID_NEXT_PANE);
    m_frame->OnCommand(ID_NEXT_PANE);
    m_frame->OnCommand(ID_NEXT_PANE);
    EXPECT_EQ(preview->GetPage(), 2);
    EXPECT_EQ(m_frame->m_previewPage, 2);
    m_frame->OnCommand(ID_PREV_PANE);
    EXPECT_EQ(m_frame->m_previewPage, 1);
    m_report->drawn.clear();
    preview->repaint();
    ASSERT_FALSE(m_report->drawn.empty());
    EXPECT_EQ(m_report->drawn.back(), 1);
    EXPECT_EQ(StatusText(), QStringLiteral("Page 2 of 3"));
    SaveScreenshot(m_frame.get(), QStringLiteral("frame_print_preview"));
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

TEST_F(FramePrinting, ZoomStepsEnableAndDisableTheZoomCommands) {
    m_frame->show();
    m_frame->OnCommand(ID_REPORT_DAILY);
    EXPECT_TRUE(m_frame->m_zoomInAllowed);
    EXPECT_FALSE(m_frame->m_zoomOutAllowed);
    const int in[] = {200, 400, 800};
    for (int zoom : in) {
        m_frame->OnCommand(ID_PREVIEW_ZOOM_IN);
        EXPECT_EQ(m_frame->PreviewWindow()->GetZoom(), zoom);
        EXPECT_TRUE(m_frame->m_zoomOutAllowed);
    }
    EXPECT_FALSE(m_frame->m_zoomInAllowed);
    const int out[] = {400, 200, 0};
    for (int zoom : out) {
        m_frame->OnCommand(ID_PREVIEW_ZOOM_OUT);
        EXPECT_EQ(m_frame->PreviewWindow()->GetZoom(), zoom);
        EXPECT_TRUE(m_frame->m_zoomInAllowed);
    }
    EXPECT_FALSE(m_frame->m_zoomOutAllowed);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

TEST_F(FramePrinting, PreviewWithoutABuiltReportShowsNoPages) {
    m_pages = 0;
    m_frame->OnCommand(ID_REPORT_WEEK);
    EXPECT_TRUE(m_frame->m_previewMode);
    EXPECT_EQ(m_frame->m_previewPageCount, 0);
    EXPECT_FALSE(m_frame->IsValidPage(0));
    EXPECT_FALSE(m_frame->PrintReport());
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
    EXPECT_FALSE(m_frame->m_previewMode);
}

TEST_F(FramePrinting, PrintingOutsideThePreviewBuildsTheReportAndDeletesItAfterTheJob) {
    g_doc.m_reportKind = kReportDailyPlan;
    ASSERT_TRUE(m_frame->PrintReport());
    EXPECT_EQ(m_built, 1);
    EXPECT_EQ(m_frame->Reports().Report(), nullptr);
    EXPECT_TRUE(QFile::exists(QString::fromUtf8(m_dir.File("out.pdf").c_str())));
}

TEST_F(FramePrinting, AJobThatCannotStartSaysSo) {
    g_doc.m_reportKind = kReportDailyPlan;
    const QString blocked = QString::fromUtf8(m_dir.File("no such folder/out.pdf").c_str());
    m_frame->Reports().Printer().setOutputFileName(blocked);
    ScriptedPrompt prompt;
    prompt.AnswerMessageBox(IDOK);
    EXPECT_FALSE(m_frame->PrintReport());
    const auto boxes = prompt.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(
        boxes[0].text,
        CString(QStringLiteral("The report could not be printed on %1.").arg(blocked).toUtf8().constData()));
    EXPECT_EQ(boxes[0].caption, CString("Print"));
    EXPECT_EQ(m_frame->Reports().Report(), nullptr);
}

TEST_F(FramePrinting, CancelInThePersonPickerChangesNothing) {
    g_doc.m_reportKind = kReportWeek;
    AnswerNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    m_frame->OnCommand(ID_REPORT_ENVELOPES);
    EXPECT_EQ(g_doc.m_reportKind, kReportWeek);
    EXPECT_FALSE(m_frame->m_previewMode);
    EXPECT_EQ(m_built, 0);
}

TEST_F(FramePrinting, ThePersonPickerOpensWithTheCommandsCaption) {
    QString caption;
    AnswerNextModal([&caption](QWidget* dialog) {
        caption = dialog->windowTitle();
        static_cast<QDialog*>(dialog)->reject();
    });
    m_frame->OnCommand(ID_REPORT_PHONEBOOK);
    EXPECT_EQ(caption, QStringLiteral("Phone Book"));
}

TEST_F(FramePrinting, TheChosenReportFontIsUsedByTheNextReportOnly) {
    m_frame->show();
    m_frame->OnCommand(ID_REPORT_DAILY);
    ASSERT_NE(m_report, nullptr);
    AnswerNextModal([](QWidget* dialog) {
        auto* fonts = qobject_cast<QFontDialog*>(dialog);
        ASSERT_NE(fonts, nullptr);
        QFont chosen(QStringLiteral("DejaVu Sans"));
        chosen.setPointSize(12);
        fonts->setCurrentFont(chosen);
        fonts->accept();
    });
    m_frame->OnCommand(ID_REPORT_FONT);
    EXPECT_EQ(m_frame->Reports().m_pointSize, 12);
    EXPECT_EQ(m_frame->Reports().m_faceName, CString("DejaVu Sans"));
    // The open preview keeps its fonts.
    EXPECT_EQ(m_report->PointSize(), 10);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
    m_frame->OnCommand(ID_REPORT_DAILY);
    EXPECT_EQ(m_report->PointSize(), 12);
    EXPECT_EQ(m_report->FaceName(), CString("DejaVu Sans"));
    EXPECT_EQ(m_report->BoldFont().pixelSize(), 50);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

TEST_F(FramePrinting, PageSetupInThePreviewBuildsTheReportAgainAndCancelChangesNothing) {
    m_frame->show();
    m_frame->OnCommand(ID_REPORT_DAILY);
    m_frame->OnCommand(ID_NEXT_PANE);
    ASSERT_EQ(m_built, 1);
    AnswerNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    m_frame->OnCommand(ID_FILE_PAGE_SETUP);
    EXPECT_EQ(m_built, 1);

    AnswerNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
    m_frame->OnCommand(ID_FILE_PAGE_SETUP);
    EXPECT_EQ(m_built, 2);
    EXPECT_EQ(m_frame->Reports().m_marginLeft, 750);
    EXPECT_EQ(m_frame->Reports().m_marginBottom, 750);
    // The preview stays on its page with the new report.
    EXPECT_EQ(m_frame->PreviewWindow()->GetPage(), 1);
    EXPECT_DOUBLE_EQ(m_report->LeftMargin(), 0.75);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

TEST_F(FramePrinting, CancelInThePrintDialogPrintsNothing) {
    g_doc.m_reportKind = kReportDailyPlan;
    AnswerNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    m_frame->OnCommand(ID_FILE_PRINT);
    EXPECT_EQ(m_built, 0);
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(m_dir.File("out.pdf").c_str())));
}

TEST_F(FramePrinting, EnvelopesTakeTheChosenPersonsOfTheCurrentGroupAndBothFlags) {
    {
        ScriptedPrompt creation;
        creation.AnswerCreateDb(CString(m_dir.File("Envelopes")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
    }
    ScriptedPrompt quiet;
    for (const char* id : {"P1", "P2"}) {
        CPerson person;
        person.m_ID = id;
        person.m_FName = "Jane";
        person.m_LName = id;
        person.BuildDisplayName();
        ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    }
    g_doc.m_currentGroupId = Schema::kGroupAllId;
    AnswerNextModal([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ctl1054"));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        list->item(1)->setSelected(true);
        dialog->findChild<QCheckBox*>(QStringLiteral("ctl1164"))->setChecked(true);
        static_cast<QDialog*>(dialog)->accept();
    });
    m_frame->OnCommand(ID_REPORT_ENVELOPES);
    EXPECT_EQ(g_doc.m_reportKind, kReportEnvelopes);
    EXPECT_TRUE(m_frame->m_previewMode);
    ASSERT_EQ(m_input.persons.size(), 1u);
    EXPECT_EQ(m_input.persons[0].m_ID, CString("P2"));
    EXPECT_TRUE(m_input.businessNameInAddress);
    EXPECT_FALSE(m_input.businessNameInReturnAddress);
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
    g_doc.m_currentGroupId = CString();
    g_db.Close();
}

} // namespace
