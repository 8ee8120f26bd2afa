#include "data/DbDoc.h"
#include "reports/PrintJob.h"
#include "reports/PrintPreview.h"
#include "reports/ReportSession.h"
#include "tests/reports/report_pdf.h"
#include "tests/support/PrivateCups.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QPrintDialog>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

// The printed page is the previewed page: the frame's own commands (report preview, Page Setup with
// OK or Cancel, Print) run against a private print service whose queue defaults to Letter, a paper
// a printer made without a queue does not start on, and every job must carry the paper,
// orientation, margins and word boxes of the preview it was printed from.

namespace {

using namespace std::chrono_literals;

// A Page Setup choice: paper, orientation and the margin on all four sides (thousandths of an inch).
struct Page {
    QPageSize::PageSizeId paper = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int margin = 750;
};

// One command of the user's.
struct Step {
    enum Kind { Report, PageSetupOk, PageSetupCancel, Print, ClosePreview, DefaultPrinter } kind;
    int command = 0;             // the report command, for Report
    Page page;                   // what is entered in Page Setup
    const char* queue = nullptr; // chosen in the Print dialog, or the new default printer
};

Step ReportCommand(int command) {
    return {Step::Report, command, {}};
}
Step SetupOk(Page page) {
    return {Step::PageSetupOk, 0, page};
}
Step SetupCancel(Page page) {
    return {Step::PageSetupCancel, 0, page};
}
Step PrintOn(const char* queue) {
    return {Step::Print, 0, {}, queue};
}
Step DefaultPrinterBecomes(const char* queue) {
    return {Step::DefaultPrinter, 0, {}, queue};
}
const Step kPrint{Step::Print, 0, {}};
const Step kClose{Step::ClosePreview, 0, {}};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    // The page every job of the sequence must be on.
    Page expected;
};

constexpr Page kQueueDefault{QPageSize::Letter, QPageLayout::Portrait, 750};

// A page of a PDF: its size in points and its words.
struct PdfPage {
    QSizeF size;
    std::vector<PdfWord> words;
};

std::vector<PdfPage> ReadPdf(const QString& file) {
    std::vector<PdfPage> pages;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return pages;
    static const QRegularExpression pageTag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = pageTag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        pages.push_back({QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()), {}});
    }
    const auto words = PdfWordBoxes(file);
    for (size_t page = 0; page < words.size() && page < pages.size(); ++page)
        pages[page].words = words[page];
    return pages;
}

// "" when both pages have the same words in the same boxes, else the first that differs.
std::string FirstDifference(const std::vector<PdfWord>& printed, const std::vector<PdfWord>& shown) {
    for (size_t i = 0; i < std::max(printed.size(), shown.size()); ++i) {
        const auto describe = [](const std::vector<PdfWord>& words, size_t index) {
            if (index >= words.size())
                return QStringLiteral("nothing");
            const QRectF& box = words[index].box;
            return QStringLiteral("\"%1\" at (%2, %3)-(%4, %5)")
                .arg(words[index].text)
                .arg(box.left())
                .arg(box.top())
                .arg(box.right())
                .arg(box.bottom());
        };
        const bool same = i < printed.size() && i < shown.size() && printed[i].text == shown[i].text &&
                          std::abs(printed[i].box.left() - shown[i].box.left()) < 0.01 &&
                          std::abs(printed[i].box.top() - shown[i].box.top()) < 0.01 &&
                          std::abs(printed[i].box.right() - shown[i].box.right()) < 0.01 &&
                          std::abs(printed[i].box.bottom() - shown[i].box.bottom()) < 0.01;
        if (!same)
            return QStringLiteral("word %1: printed %2, previewed %3")
                .arg(i)
                .arg(describe(printed, i), describe(shown, i))
                .toStdString();
    }
    return {};
}

// The paper of the page in points, turned for landscape.
QSizeF PaperPoints(const Page& page) {
    QSizeF size = QPageSize(page.paper).size(QPageSize::Point);
    if (page.orientation == QPageLayout::Landscape)
        size.transpose();
    return size;
}

class PrintFlow : public PrivateCupsTest {
protected:
    void SetUp() override {
        PrivateCupsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CSplashDlg::s_timeoutMs = 1;
        SetPrinterSource(nullptr);
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->Create());
        m_frame->resize(700, 800);
        m_frame->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        StopAnsweringModals();
        m_frame.reset();
        g_doc.m_reportKind = 0;
    }

    CReportSession& Reports() { return m_frame->Reports(); }

    QImage PreviewImage() {
        QApplication::processEvents();
        return m_frame->PreviewWindow()->grab().toImage();
    }

    // The preview as the user sees it, written out: its report's pages drawn on a PDF page of the
    // printer's paper, orientation, origin and resolution.
    std::vector<PdfPage> PreviewPages(const std::string& name) {
        const QPrinter& printer = Reports().Printer();
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        const QString file = QString::fromStdString(m_dir.File(name + ".pdf"));
        pdf.setOutputFileName(file);
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setFullPage(printer.fullPage());
        EXPECT_TRUE(RunPrintJob(pdf, *m_frame, 0, static_cast<unsigned>(m_frame->m_previewPageCount - 1),
                                QStringLiteral("preview")));
        return ReadPdf(file);
    }

    // Page Setup, checked to open on the page the preview shows and to leave the preview alone
    // while it is open; the page entered, then OK or Cancel.
    void RunPageSetup(const Step& step) {
        const QPageLayout shown = Reports().Printer().pageLayout();
        const int marginShown = Reports().m_marginLeft;
        const QImage previewBefore = m_frame->m_previewMode ? PreviewImage() : QImage();
        bool answered = false;
        AnswerNextModal([&](QWidget* dialog) {
            answered = true;
            auto* paper = dialog->findChild<QComboBox*>(QStringLiteral("paper"));
            auto* landscape = dialog->findChild<QRadioButton*>(QStringLiteral("landscape"));
            auto* portrait = dialog->findChild<QRadioButton*>(QStringLiteral("portrait"));
            const auto margins = dialog->findChildren<QDoubleSpinBox*>();
            ASSERT_TRUE(paper && landscape && portrait);
            ASSERT_EQ(margins.size(), 4);
            EXPECT_EQ(paper->currentData().toInt(), static_cast<int>(shown.pageSize().id()));
            EXPECT_EQ(landscape->isChecked(), shown.orientation() == QPageLayout::Landscape);
            for (QDoubleSpinBox* margin : margins)
                EXPECT_NEAR(margin->value(), marginShown / 1000.0, 1e-9)
                    << margin->objectName().toStdString();
            if (m_frame->m_previewMode) {
                EXPECT_TRUE(PreviewImage() == previewBefore)
                    << "the preview changed while Page Setup was open";
            }

            const int index = paper->findData(static_cast<int>(step.page.paper));
            ASSERT_GE(index, 0) << QPageSize(step.page.paper).name().toStdString();
            paper->setCurrentIndex(index);
            (step.page.orientation == QPageLayout::Landscape ? landscape : portrait)->setChecked(true);
            for (QDoubleSpinBox* margin : margins)
                margin->setValue(step.page.margin / 1000.0);
            if (step.kind == Step::PageSetupOk)
                static_cast<QDialog*>(dialog)->accept();
            else
                static_cast<QDialog*>(dialog)->reject();
        });
        m_frame->OnCommand(ID_FILE_PAGE_SETUP);
        EXPECT_TRUE(answered);
        if (step.kind == Step::PageSetupCancel && m_frame->m_previewMode) {
            EXPECT_TRUE(PreviewImage() == previewBefore) << "Cancel changed the preview";
        }
    }

    // The preview's sheet has the paper's shape and its report is laid out on that paper.
    void ExpectPreviewOn(const Page& expected) {
        const QRect sheet = m_frame->PreviewWindow()->SheetRect();
        const QSizeF paper = PaperPoints(expected);
        EXPECT_NEAR(double(sheet.width()) / sheet.height(), paper.width() / paper.height(), 0.01);
        const CReport* report = Reports().Report();
        EXPECT_NE(report, nullptr);
        if (report) {
            // The report is laid out on this paper: its rectangle lies at the margin from each edge.
            const DeviceCaps caps = ReadDeviceCaps(Reports().Printer());
            const double toPoints = 72.0 / caps.logPixelsX;
            const PrintRect rect = report->GetPrintRect();
            const double margin = expected.margin * 72.0 / 1000.0;
            EXPECT_NEAR((rect.left + caps.physicalOffsetX) * toPoints, margin, 0.1);
            EXPECT_NEAR((rect.top + caps.physicalOffsetY) * toPoints, margin, 0.1);
            EXPECT_NEAR((rect.right + caps.physicalOffsetX) * toPoints, paper.width() - margin, 0.1);
            EXPECT_NEAR((rect.bottom + caps.physicalOffsetY) * toPoints, paper.height() - margin, 0.1);
        }
    }

    // The preview's pages written out (opened for the moment when it is closed), checked to be on
    // the expected page when one is given.
    std::vector<PdfPage> PreviewOn(const Page* expected, const std::string& name) {
        const bool inPreview = m_frame->m_previewMode;
        if (!inPreview)
            m_frame->OnCommand(ID_FILE_PRINT_PREVIEW);
        EXPECT_TRUE(m_frame->m_previewMode);
        const std::vector<PdfPage> pages = PreviewPages(name);
        if (expected)
            ExpectPreviewOn(*expected);
        if (!inPreview)
            m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
        return pages;
    }

    // Print with the dialog confirmed (on the queue given, else the one it opens on). The job must
    // equal the preview as it shows afterwards, both on the expected page; on the same printer the
    // preview is the one shown before.
    void PrintAndCompare(const Page& expected, const char* queue) {
        const int number = ++m_jobs;
        const std::vector<PdfPage> before =
            PreviewOn(queue ? nullptr : &expected, "before" + std::to_string(number));
        AnswerNextModal([queue](QWidget* dialog) {
            ASSERT_NE(qobject_cast<QPrintDialog*>(dialog), nullptr);
            if (queue) {
                auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
                ASSERT_NE(printers, nullptr);
                const int index = printers->findText(QString::fromLatin1(queue));
                ASSERT_GE(index, 0) << queue;
                printers->setCurrentIndex(index);
            }
            static_cast<QDialog*>(dialog)->accept();
        });
        const size_t printedBefore = s_cups->PrintedJobs().size();
        m_frame->OnCommand(ID_FILE_PRINT);
        const auto job = s_cups->WaitForJob(printedBefore + 1, 30s);
        ASSERT_TRUE(job) << s_cups->ErrorLog();
        KeepArtifact(QString::fromStdString(job->file), QStringLiteral("print_flow_job%1.pdf").arg(number));
        if (queue) {
            EXPECT_EQ(Reports().Printer().printerName(), QString::fromLatin1(queue));
        }
        const std::vector<PdfPage> preview = PreviewOn(&expected, "after" + std::to_string(number));
        if (!queue) {
            ASSERT_EQ(before.size(), preview.size());
            for (size_t page = 0; page < preview.size(); ++page)
                EXPECT_EQ(FirstDifference(before[page].words, preview[page].words), "") << "page " << page;
        }
        const QSizeF paper = PaperPoints(expected);
        // The queue is asked for the paper; the orientation is the PDF page's own shape.
        const QString options = QString::fromStdString(job->options);
        EXPECT_TRUE(options.split(' ').contains(QStringLiteral("media=") + QPageSize(expected.paper).key()))
            << job->options;
        const std::vector<PdfPage> printed = ReadPdf(QString::fromStdString(job->file));
        ASSERT_EQ(printed.size(), preview.size());
        ASSERT_FALSE(printed.empty());
        // The printout's frame lies at the margin from the paper's edges.
        double left = paper.width();
        for (const PdfWord& word : printed[0].words)
            left = std::min(left, word.box.left());
        EXPECT_GE(left, expected.margin * 72.0 / 1000.0);
        for (size_t page = 0; page < printed.size(); ++page) {
            SCOPED_TRACE(page);
            EXPECT_NEAR(printed[page].size.width(), paper.width(), 0.5);
            EXPECT_NEAR(printed[page].size.height(), paper.height(), 0.5);
            EXPECT_NEAR(preview[page].size.width(), paper.width(), 0.5);
            EXPECT_NEAR(preview[page].size.height(), paper.height(), 0.5);
            ASSERT_FALSE(printed[page].words.empty());
            EXPECT_EQ(FirstDifference(printed[page].words, preview[page].words), "");
        }
    }

    void Run(const Sequence& sequence) {
        for (const Step& step : sequence.steps) {
            switch (step.kind) {
            case Step::Report:
                m_frame->OnCommand(step.command);
                ASSERT_TRUE(m_frame->m_previewMode);
                ASSERT_GT(m_frame->m_previewPageCount, 0);
                break;
            case Step::PageSetupOk:
            case Step::PageSetupCancel:
                RunPageSetup(step);
                break;
            case Step::Print:
                PrintAndCompare(sequence.expected, step.queue);
                break;
            case Step::DefaultPrinter:
                m_printers.SetName(QString::fromLatin1(step.queue));
                SetPrinterSource(&m_printers);
                m_frame->OnSettingChange();
                break;
            case Step::ClosePreview:
                m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
                break;
            }
            if (HasFatalFailure())
                return;
        }
    }

    FrameEnvironment env;
    FixedPrinterSource m_printers{QString()};
    TempDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
    int m_jobs = 0;
};

TEST_F(PrintFlow, EveryJobIsThePageItsPreviewShows) {
    // The queue's default paper is not the one a printer starts on by itself.
    ASSERT_NE(QPrinter(QPrinter::HighResolution).pageLayout().pageSize().id(), kQueueDefault.paper);
    const Page a5Wide{QPageSize::A5, QPageLayout::Portrait, 1500};
    const Page a4Landscape{QPageSize::A4, QPageLayout::Landscape, 500};
    const Page letterLandscape{QPageSize::Letter, QPageLayout::Landscape, 1500};
    const Page a5Landscape{QPageSize::A5, QPageLayout::Landscape, 500};
    const Page a4Portrait{QPageSize::A4, QPageLayout::Portrait, 1500};
    const Sequence sequences[] = {
        {"the first printout", {ReportCommand(ID_REPORT_WEEK), kPrint}, kQueueDefault},
        {"Page Setup OK, then Print in the same preview",
         {ReportCommand(ID_REPORT_WEEK), SetupOk(a5Wide), kPrint},
         a5Wide},
        {"landscape, narrow margins",
         {ReportCommand(ID_REPORT_MONTH), SetupOk(a4Landscape), kPrint},
         a4Landscape},
        {"Cancel after OK keeps the OK",
         {ReportCommand(ID_REPORT_WEEK), SetupOk(letterLandscape), SetupCancel(a5Wide), kPrint, kPrint},
         letterLandscape},
        {"the choice holds for the next report",
         {ReportCommand(ID_REPORT_MONTH), SetupOk(a5Landscape), kClose, ReportCommand(ID_REPORT_WEEK),
          kPrint},
         a5Landscape},
        {"Page Setup and Print outside the preview",
         {ReportCommand(ID_REPORT_WEEK), kClose, SetupCancel(a5Landscape), SetupOk(a4Portrait), kPrint,
          ReportCommand(ID_REPORT_MONTH), kPrint},
         a4Portrait},
        {"the Print dialog chooses a printer that lacks the paper",
         {ReportCommand(ID_REPORT_WEEK), SetupOk(a5Wide), PrintOn(PrivateCups::kOtherQueue)},
         {QPageSize::A4, QPageLayout::Portrait, 1500}},
        {"the Print dialog chooses a printer that has the paper",
         {ReportCommand(ID_REPORT_MONTH), SetupOk(letterLandscape), PrintOn(PrivateCups::kOtherQueue),
          kPrint},
         letterLandscape},
        {"the default printer changes under the preview",
         {ReportCommand(ID_REPORT_WEEK), DefaultPrinterBecomes(PrivateCups::kOtherQueue), kPrint},
         {QPageSize::A4, QPageLayout::Portrait, 750}},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        // Each sequence starts as the program does, on the default queue's own paper.
        m_frame.reset();
        SetPrinterSource(nullptr);
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->Create());
        m_frame->resize(700, 800);
        m_frame->show();
        g_doc.m_reportKind = 0;
        Run(sequence);
        if (m_frame->m_previewMode)
            m_frame->OnCommand(ID_FILE_PRINT_CLOSE);
    }
}

} // namespace
