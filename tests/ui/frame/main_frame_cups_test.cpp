#include "data/DbDoc.h"
#include "data/Schema.h"
#include "reports/ReportSession.h"
#include "tests/reports/report_pdf.h"
#include "tests/support/PrivateCups.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QCheckBox>
#include <QDialog>
#include <QPrintDialog>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The frame's Print command against a real print service: a private CUPS scheduler whose one queue,
// the default printer, writes every job it prints into a file.

namespace {

using namespace std::chrono_literals;

constexpr auto kJobTimeout = 30s;

class FramePrintingToCups : public PrivateCupsTest {
protected:
    void SetUp() override {
        PrivateCupsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(s_cups->Start()) << s_cups->Failure();
        CSplashDlg::s_timeoutMs = 1;
        // The printer comes from the system, here the private scheduler, not from a fixed name.
        SetPrinterSource(nullptr);
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->Create());
        m_printedBefore = s_cups->PrintedJobs().size();
    }

    void TearDown() override {
        StopAnsweringModals();
        m_frame.reset();
        g_doc.m_reportKind = 0;
        if (g_doc.IsOpen()) {
            g_doc.m_currentGroupId = CString();
            g_db.Close();
        }
        if (s_cups) {
            s_cups->Start();
            s_cups->Run({"cupsaccept", PrivateCups::kQueue});
            s_cups->Run({"cupsenable", PrivateCups::kQueue});
        }
    }

    // The frame's Print command with the print dialog confirmed as it opens.
    void PrintThroughTheDialog() {
        bool dialogShown = false;
        AnswerNextModal([&dialogShown](QWidget* dialog) {
            dialogShown = qobject_cast<QPrintDialog*>(dialog) != nullptr;
            static_cast<QDialog*>(dialog)->accept();
        });
        m_frame->OnCommand(ID_FILE_PRINT);
        EXPECT_TRUE(dialogShown);
    }

    // The pages of the report of the document's kind as the frame builds it on its printer.
    int ReportPageCount() {
        CReportSession& reports = m_frame->Reports();
        reports.CreateReport(g_doc);
        const int pages = reports.PageCount();
        reports.DeleteReport();
        return pages;
    }

    // A document whose address book holds that many persons, all in the current group.
    void OpenDocumentWithPersons(int count) {
        {
            ScriptedPrompt creation;
            creation.AnswerCreateDb(CString(m_dir.File("Printing")), CString());
            bool error = true;
            ASSERT_TRUE(g_doc.OnFileNew(error));
        }
        ScriptedPrompt quiet;
        for (int i = 0; i < count; ++i) {
            CPerson person;
            person.m_ID = QStringLiteral("P%1").arg(i).toUtf8().constData();
            person.m_FName = "Jane";
            person.m_LName = QStringLiteral("Person%1").arg(i, 2, 10, QChar('0')).toUtf8().constData();
            person.m_City = "Springfield";
            person.BuildDisplayName();
            ASSERT_TRUE(g_doc.InsertPerson(person, {}));
        }
        g_doc.m_currentGroupId = Schema::kGroupAllId;
    }

    // The next job the queue prints, or a failure with the scheduler's log.
    std::optional<PrivateCups::Job> NextPrintedJob() {
        auto job = s_cups->WaitForJob(m_printedBefore + 1, kJobTimeout);
        EXPECT_TRUE(job.has_value()) << "no job arrived in time; pending: " << s_cups->PendingJobs().size()
                                     << "\n"
                                     << s_cups->ErrorLog();
        return job;
    }

    FrameEnvironment env;
    TempDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
    size_t m_printedBefore = 0;
};

TEST_F(FramePrintingToCups, TheSchedulersQueueIsTheFramesPrinter) {
    EXPECT_EQ(m_frame->Reports().Printer().printerName(), QString::fromLatin1(PrivateCups::kQueue));
    EXPECT_EQ(m_frame->Reports().Printer().outputFormat(), QPrinter::NativeFormat);
}

TEST_F(FramePrintingToCups, PrintingOutsideThePreviewSendsOneJobAndDropsTheReport) {
    g_doc.m_reportKind = kReportMonth;
    const int pageCount = ReportPageCount();
    ASSERT_GT(pageCount, 0);
    ScriptedPrompt prompt;
    PrintThroughTheDialog();
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_EQ(m_frame->Reports().Report(), nullptr);
    const auto job = NextPrintedJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(PdfPages(QString::fromStdString(job->file)).size(), pageCount);
    EXPECT_EQ(s_cups->PrintedJobs().size(), m_printedBefore + 1);
}

// A queue that refuses jobs and a scheduler that is gone both leave the report unprinted, and the
// user is told so instead of seeing nothing.
TEST_F(FramePrintingToCups, AJobThePrintServiceDoesNotTakeGivesAMessage) {
    struct Case {
        const char* name;
        std::function<void()> breakService;
    };
    const Case cases[] = {
        {"queue rejecting jobs",
         [] {
             ASSERT_TRUE(s_cups->Run({"cupsreject", PrivateCups::kQueue})) << s_cups->Output();
         }},
        {"scheduler stopped", [] { s_cups->Stop(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakService();
        g_doc.m_reportKind = kReportMonth;
        ScriptedPrompt prompt;
        prompt.AnswerMessageBox(IDOK);
        EXPECT_FALSE(m_frame->PrintReport());
        const auto boxes = prompt.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, CString("The report could not be printed on Pelmora_Test."));
        EXPECT_EQ(boxes[0].caption, CString("Print"));
        EXPECT_EQ(m_frame->Reports().Report(), nullptr);

        ASSERT_TRUE(s_cups->Start()) << s_cups->Failure();
        ASSERT_TRUE(s_cups->Run({"cupsaccept", PrivateCups::kQueue})) << s_cups->Output();
        EXPECT_TRUE(s_cups->PendingJobs().empty());
        EXPECT_EQ(s_cups->PrintedJobs().size(), m_printedBefore);
    }
    // The service is whole again and the next job goes through.
    ScriptedPrompt prompt;
    EXPECT_TRUE(m_frame->PrintReport());
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_TRUE(NextPrintedJob());
}

// A stopped queue still takes the job: it waits in the queue and prints once the queue runs again,
// as with any paused printer, so it is not a failure.
TEST_F(FramePrintingToCups, AJobForAStoppedQueueWaitsAndPrintsWhenTheQueueRunsAgain) {
    ASSERT_TRUE(s_cups->Run({"cupsdisable", PrivateCups::kQueue})) << s_cups->Output();
    g_doc.m_reportKind = kReportWeek;
    const int pageCount = ReportPageCount();
    ASSERT_GT(pageCount, 0);
    ScriptedPrompt prompt;
    PrintThroughTheDialog();
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_EQ(s_cups->PendingJobs().size(), 1u);
    EXPECT_EQ(s_cups->PrintedJobs().size(), m_printedBefore);

    ASSERT_TRUE(s_cups->Run({"cupsenable", PrivateCups::kQueue})) << s_cups->Output();
    const auto job = NextPrintedJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(PdfPages(QString::fromStdString(job->file)).size(), pageCount);
}

// Last: the document it opens is closed only at the database level, so the document stays marked open.
TEST_F(FramePrintingToCups, AReportPrintedFromThePreviewArrivesWithAllItsPages) {
    OpenDocumentWithPersons(40);
    AnswerNextModal([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("ctl1056"))->click();
        static_cast<QDialog*>(dialog)->accept();
    });
    m_frame->OnCommand(ID_REPORT_PHONEBOOK);
    ASSERT_TRUE(m_frame->m_previewMode);
    const int pageCount = m_frame->m_previewPageCount;
    ASSERT_GE(pageCount, 2);

    ScriptedPrompt prompt;
    PrintThroughTheDialog();
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    // The preview keeps its report after the job.
    EXPECT_NE(m_frame->Reports().Report(), nullptr);

    const auto job = NextPrintedJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->title, "Pelmora Document");
    const QStringList pages = PdfPages(QString::fromStdString(job->file));
    ASSERT_EQ(pages.size(), pageCount);
    for (int page = 0; page < pageCount; ++page) {
        EXPECT_TRUE(pages[page].contains(QStringLiteral("ADDRESS BOOK"))) << page;
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount)))
            << page;
    }
    EXPECT_TRUE(pages.front().contains(QStringLiteral("Jane Person00")));
    EXPECT_TRUE(pages.back().contains(QStringLiteral("Jane Person39")));
    m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
}

} // namespace
