#include "reports/ReportSession.h"

#include "tests/support/PrivateCups.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>

#include <gtest/gtest.h>

// The Print dialog against a real print service, whose printers it lists: the private scheduler's
// queue is offered; printing to a file and the queue's Properties are not.

namespace {

class PrintDialogWithCups : public PrivateCupsTest {
protected:
    void SetUp() override {
        PrivateCupsTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            TestApp();
    }
    void TearDown() override { StopAnsweringModals(); }
};

TEST_F(PrintDialogWithCups, TheQueueIsOfferedAndNeitherPrintingToAFileNorItsProperties) {
    CReportSession session;
    ASSERT_EQ(session.Printer().printerName(), QString::fromLatin1(PrivateCups::kQueue));
    QStringList printers;
    bool rangeShown = true;
    // The queue's own paper choice would pass by Page Setup and the preview.
    bool propertiesShown = false;
    AnswerNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QPrintDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        for (auto* button : dialog->findChildren<QAbstractButton*>()) {
            if (button->text().contains(QStringLiteral("Options")))
                button->click();
        }
        QApplication::processEvents();
        if (auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("printers"))) {
            for (int i = 0; i < combo->count(); ++i)
                printers << combo->itemText(i);
        }
        rangeShown = false;
        for (auto* button : dialog->findChildren<QAbstractButton*>()) {
            rangeShown = rangeShown ||
                         (button->text().contains(QStringLiteral("Pages")) && button->isVisibleTo(dialog));
            propertiesShown =
                propertiesShown ||
                (button->text().remove('&') == QStringLiteral("Properties") && button->isVisibleTo(dialog));
        }
        dialog->reject();
    });
    EXPECT_FALSE(session.RunPrintDialog(nullptr));
    EXPECT_TRUE(printers.contains(QString::fromLatin1(PrivateCups::kQueue)))
        << printers.join('|').toStdString();
    for (const QString& printer : printers)
        EXPECT_FALSE(printer.contains(QStringLiteral("File"), Qt::CaseInsensitive)) << printer.toStdString();
    EXPECT_FALSE(rangeShown);
    EXPECT_FALSE(propertiesShown);
}

} // namespace
