#include "data/DbDoc.h"
#include "reports/PageSetupDlg.h"
#include "reports/PrintPreview.h"
#include "reports/ReportSession.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QPrintDialog>
#include <QSpinBox>

#include <gtest/gtest.h>

// Page Setup, Print and Report Font as the session runs them for the frame.

namespace {

class ReportDialogs : public testing::Test {
protected:
    void SetUp() override {
        QPrinter& printer = m_session.Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfPath());
        printer.setResolution(300);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        // A printer's own unprintable edge, narrower than the report margins.
        printer.setPageMargins(QMarginsF(0.17, 0.17, 0.17, 0.17), QPageLayout::Inch);
        for (int i = 0; i < 12; ++i) {
            CPerson person;
            person.m_FName = "Jane";
            person.m_LName = QStringLiteral("Doe%1").arg(i).toUtf8().constData();
            person.m_Addr1 = "1 Main St";
            m_session.m_persons.push_back(person);
        }
        m_savedKind = g_doc.m_reportKind;
        g_doc.m_reportKind = kReportAddressBook;
    }
    void TearDown() override {
        StopAnsweringModals();
        g_doc.m_reportKind = m_savedKind;
    }

    QString PdfPath() const { return QString::fromUtf8(m_dir.File("report.pdf").c_str()); }

    // The words of the report printed on the session's printer.
    std::vector<std::vector<PdfWord>> Printout() {
        EXPECT_TRUE(m_session.PrintAll());
        return PdfWordBoxes(PdfPath());
    }

    struct App {
        App() { TestApp(); }
    } m_app;
    TempDir m_dir;
    CReportSession m_session;
    int m_savedKind = 0;
};

bool SameWords(const std::vector<std::vector<PdfWord>>& a, const std::vector<std::vector<PdfWord>>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t page = 0; page < a.size(); ++page) {
        if (a[page].size() != b[page].size())
            return false;
        for (size_t i = 0; i < a[page].size(); ++i) {
            if (a[page][i].text != b[page][i].text || a[page][i].box != b[page][i].box)
                return false;
        }
    }
    return true;
}

TEST_F(ReportDialogs, PageSetupCancelLeavesThePreviewAndThePrintoutAsTheyWere) {
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    CPrintPreviewWindow preview;
    preview.resize(510, 660);
    preview.SetPrintJob(&m_session.Printer(), &m_session, 0, m_session.PageCount() - 1);
    preview.show();
    QApplication::processEvents();
    const QImage before = preview.grab().toImage();
    const QPageLayout layoutBefore = m_session.Printer().pageLayout();
    const auto printedBefore = Printout();
    ASSERT_FALSE(printedBefore.empty());

    bool shown = false;
    AnswerNextModal([&shown](QWidget* dialog) {
        shown = dynamic_cast<CPageSetupDlg*>(dialog) != nullptr;
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_FALSE(m_session.RunPageSetup(&preview));
    EXPECT_TRUE(shown);
    QApplication::processEvents();
    const QImage after = preview.grab().toImage();
    EXPECT_TRUE(after == before)
        << "the preview changed: "
        << SaveScreenshot(&preview, QStringLiteral("page_setup_cancel")).toStdString();
    EXPECT_TRUE(m_session.Printer().pageLayout().isEquivalentTo(layoutBefore));
    EXPECT_EQ(m_session.Printer().pageLayout().orientation(), layoutBefore.orientation());
    EXPECT_EQ(m_session.m_marginLeft, 750);
    EXPECT_EQ(m_session.m_marginBottom, 750);
    EXPECT_TRUE(SameWords(Printout(), printedBefore));

    // OK without a change keeps the margins, and the report built again prints where it did.
    AnswerNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
    EXPECT_TRUE(m_session.RunPageSetup(&preview));
    EXPECT_EQ(m_session.m_marginLeft, 750);
    EXPECT_EQ(m_session.m_marginTop, 750);
    EXPECT_EQ(m_session.m_marginRight, 750);
    EXPECT_EQ(m_session.m_marginBottom, 750);
    EXPECT_EQ(m_session.Printer().pageLayout().pageSize().id(), QPageSize::Letter);
    ASSERT_TRUE(m_session.CreateReport(g_doc));
    const auto printedAfterOk = Printout();
    ASSERT_EQ(printedAfterOk.size(), printedBefore.size());
    for (size_t page = 0; page < printedBefore.size(); ++page) {
        ASSERT_EQ(printedAfterOk[page].size(), printedBefore[page].size());
        for (size_t i = 0; i < printedBefore[page].size(); ++i) {
            EXPECT_NEAR(printedAfterOk[page][i].box.left(), printedBefore[page][i].box.left(), 0.25);
            EXPECT_NEAR(printedAfterOk[page][i].box.top(), printedBefore[page][i].box.top(), 0.25);
        }
    }
}

// Margins that leave less than half an inch of the paper (turned as chosen) are refused with a
// message, and the dialog stays open with its values.
TEST_F(ReportDialogs, PageSetupRefusesMarginsThatLeaveTooLittleToPrintOn) {
    struct Case {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        double left, right, top, bottom;
        bool taken;
    };
    const Case cases[] = {
        {QPageSize::A5, QPageLayout::Portrait, 1.5, 1.5, 1.5, 1.5, true},
        {QPageSize::A5, QPageLayout::Portrait, 2.7, 2.7, 0.5, 0.5, false},
        {QPageSize::A5, QPageLayout::Landscape, 0.5, 0.5, 2.7, 2.7, false},
        {QPageSize::A5, QPageLayout::Landscape, 2.7, 2.7, 0.5, 0.5, true},
        {QPageSize::Letter, QPageLayout::Portrait, 0.5, 0.5, 5.0, 5.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.paper << " " << c.orientation << " " << c.left << " " << c.top);
        CPageSetupDlg dialog({QPageSize(QPageSize::Letter), QPageSize(QPageSize::A5)}, QPageSize(c.paper),
                             c.orientation, {});
        const auto box = [&dialog](const char* name) {
            return dialog.findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
        };
        box("leftMargin")->setValue(c.left);
        box("rightMargin")->setValue(c.right);
        box("topMargin")->setValue(c.top);
        box("bottomMargin")->setValue(c.bottom);
        ScriptedPrompt prompt;
        prompt.AnswerMessageBox(IDOK);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.taken);
        EXPECT_EQ(prompt.MessageBoxes().size(), c.taken ? 0u : 1u);
        if (c.taken) {
            EXPECT_EQ(dialog.PageMargins(),
                      (CPageSetupDlg::Margins{int(c.left * 1000), int(c.top * 1000), int(c.right * 1000),
                                              int(c.bottom * 1000)}));
            EXPECT_EQ(dialog.Paper().id(), c.paper);
            EXPECT_EQ(dialog.Orientation(), c.orientation);
        } else {
            EXPECT_EQ(dialog.PageMargins(), CPageSetupDlg::Margins{});
        }
    }
}

TEST_F(ReportDialogs, ThePrintDialogOffersOnlyWhatTheJobHonours) {
    bool checked = false;
    AnswerNextModal([&checked](QWidget* widget) {
        auto* dialog = qobject_cast<QPrintDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintCurrentPage));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintToFile));
        EXPECT_TRUE(dialog->testOption(QAbstractPrintDialog::PrintCollateCopies));
        // The options pane open, as the user sees it after "Options >>".
        for (auto* button : dialog->findChildren<QAbstractButton*>()) {
            if (button->text().contains(QStringLiteral("Options")))
                button->click();
        }
        QApplication::processEvents();
        const auto shows = [dialog](const QString& text) {
            for (auto* button : dialog->findChildren<QAbstractButton*>()) {
                if (button->text().remove('&') == text && button->isVisibleTo(dialog))
                    return true;
            }
            return false;
        };
        // Paper, orientation and margins come from Page Setup only, so no printer Properties.
        for (const char* text : {"Pages from", "Pages", "Current Page", "Selection", "Reverse", "Properties"})
            EXPECT_FALSE(shows(QString::fromLatin1(text))) << text;
        for (auto* combo : dialog->findChildren<QComboBox*>()) {
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_FALSE(combo->isVisibleTo(dialog) &&
                             combo->itemText(i).contains(QStringLiteral("Odd Pages")));
                EXPECT_FALSE(combo->isVisibleTo(dialog) &&
                             combo->itemText(i).contains(QStringLiteral("File"), Qt::CaseInsensitive));
            }
        }
        EXPECT_TRUE(shows(QStringLiteral("Collate")));
        bool copies = false;
        for (auto* spin : dialog->findChildren<QSpinBox*>())
            copies = copies || (spin->objectName() == QLatin1String("copies") && spin->isVisibleTo(dialog));
        EXPECT_TRUE(copies);
        checked = true;
        dialog->reject();
    });
    EXPECT_FALSE(m_session.RunPrintDialog(nullptr));
    EXPECT_TRUE(checked);
}

TEST_F(ReportDialogs, TheFontDialogOpensOnTheFaceTheReportUsesAndOkWithoutAChoiceChangesNothing) {
    // The report's face names resolve, through the fonts the scripts install, to metric-compatible
    // families of the font list.
    const QStringList families = QFontDatabase::families();
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(),
              QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"));

    for (const char* face : {"Times New Roman", "Arial", "DejaVu Serif"}) {
        SCOPED_TRACE(face);
        m_session.m_faceName = face;
        m_session.m_pointSize = 12;
        const QString resolved = QFontInfo(QFont(QString::fromLatin1(face))).family();
        ASSERT_TRUE(families.contains(resolved)) << resolved.toStdString();
        QString opened;
        AnswerNextModal([&opened](QWidget* widget) {
            auto* dialog = qobject_cast<QFontDialog*>(widget);
            ASSERT_NE(dialog, nullptr);
            opened = dialog->currentFont().family();
            dialog->accept();
        });
        EXPECT_TRUE(m_session.RunFontDialog(nullptr));
        EXPECT_EQ(opened.toStdString(), resolved.toStdString());
        EXPECT_EQ(m_session.m_faceName, CString(face));
        EXPECT_EQ(m_session.m_pointSize, 12);
    }

    // A face chosen in the dialog is taken with its size.
    m_session.m_faceName = "Times New Roman";
    AnswerNextModal([](QWidget* widget) {
        auto* dialog = static_cast<QFontDialog*>(widget);
        QFont chosen(QStringLiteral("DejaVu Sans"));
        chosen.setPointSize(9);
        dialog->setCurrentFont(chosen);
        dialog->accept();
    });
    EXPECT_TRUE(m_session.RunFontDialog(nullptr));
    EXPECT_EQ(m_session.m_faceName, CString("DejaVu Sans"));
    EXPECT_EQ(m_session.m_pointSize, 9);

    AnswerNextModal([](QWidget* widget) { static_cast<QDialog*>(widget)->reject(); });
    EXPECT_FALSE(m_session.RunFontDialog(nullptr));
    EXPECT_EQ(m_session.m_faceName, CString("DejaVu Sans"));
}

} // namespace
