#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "platform/core/Prompt.h"
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
#include <QCalendarWidget>
#include <QPrinter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Keys in the print preview act on the preview, never on the panes hidden behind it.

namespace {

class PagesReport : public CReport {
public:
    explicit PagesReport(QPrinter* printer) : CReport(printer) {}
    bool PrintPage(QPainter&, int) override { return true; }
    void DrawTitle() override {}
    void DrawFooter(int) override {}
    void DrawFrame() override {}
    void Paginate() override { m_pageCount = 3; }
};

class PreviewKeys : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Keys").c_str(), error));
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->Create());
        QPrinter& printer = m_frame->Reports().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromUtf8(m_dir.File("out.pdf").c_str()));
        m_frame->Reports().SetFactory([](QPrinter* p, const ReportInput&) -> std::unique_ptr<CReport> {
            return std::make_unique<PagesReport>(p);
        });
        g_doc.SetCurrentDate(CDateTime(2027, 1, 12));
        g_doc.UpdateAllViews(nullptr);
        m_frame->show();
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void TearDown() override {
        m_frame.reset();
        if (g_db.IsOpen())
            g_db.Close();
        g_doc.m_reportKind = 0;
    }

    // A key as the window system delivers it: to the window, which hands it to its focus widget.
    void Press(Qt::Key key) { QTest::keyClick(m_frame->windowHandle(), key); }

    FrameEnvironment env;
    ScriptedPrompt prompt;
    TempDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(PreviewKeys, KeysTurnPagesZoomAndCloseWithoutMovingTheHiddenCalendar) {
    QCalendarWidget* calendar = m_frame->ClientView()->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    calendar->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(calendar->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == calendar);
    QWidget* focusBefore = QApplication::focusWidget();

    ASSERT_TRUE(m_frame->OnCommand(ID_REPORT_WEEK));
    ASSERT_TRUE(m_frame->m_previewMode);
    CPrintPreviewWindow* preview = m_frame->PreviewWindow();
    EXPECT_EQ(QApplication::focusWidget(), preview);

    const struct {
        Qt::Key key;
        int page;
        int zoom;
    } steps[] = {
        {Qt::Key_PageDown, 1, 0},
        {Qt::Key_Right, 2, 0},
        {Qt::Key_Down, 2, 0},
        {Qt::Key_PageUp, 1, 0},
        {Qt::Key_Left, 0, 0},
        {Qt::Key_Plus, 0, 200},
        {Qt::Key_Plus, 0, 400},
        {Qt::Key_Minus, 0, 200},
        // Zoomed, the arrows scroll the page instead of turning it.
        {Qt::Key_Down, 0, 200},
        {Qt::Key_PageDown, 1, 200},
    };
    for (const auto& step : steps) {
        Press(step.key);
        EXPECT_EQ(preview->GetPage(), step.page) << QKeySequence(step.key).toString().toStdString();
        EXPECT_EQ(m_frame->m_previewPage, step.page);
        EXPECT_EQ(preview->GetZoom(), step.zoom) << QKeySequence(step.key).toString().toStdString();
    }
    EXPECT_EQ(g_doc.GetCurrentDate().Format("%Y-%m-%d"), "2027-01-12") << "the hidden calendar saw no key";
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 12));

    // Escape closes the preview as Close does, and the keyboard goes back where it was.
    Press(Qt::Key_Escape);
    EXPECT_FALSE(m_frame->m_previewMode);
    EXPECT_EQ(m_frame->Reports().Report(), nullptr);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), focusBefore);
    Press(Qt::Key_Right);
    EXPECT_EQ(g_doc.GetCurrentDate().Format("%Y-%m-%d"), "2027-01-13") << "the calendar has the keys again";
}

} // namespace
