#include "reports/ReportSession.h"

#include "tests/support/PrivateCups.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>

#include <gtest/gtest.h>

// The Print dialog against a real print service, whose printers it lists: the private scheduler's
// queue is offered, printing to a file is not.

namespace {

class PrintDialogWithCups : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // libcups reads CUPS_SERVER once, so the scheduler comes up before anything asks for printers.
        if (PrivateCups::Installed()) {
            s_cups = new PrivateCups;
            s_started = s_cups->Start();
        }
    }
    static void TearDownTestSuite() {
        delete s_cups;
        s_cups = nullptr;
    }
    void SetUp() override {
        if (!PrivateCups::Installed())
            GTEST_SKIP() << "the CUPS scheduler (/usr/sbin/cupsd, Debian's cups-daemon) is not installed";
        ASSERT_TRUE(s_started) << s_cups->Failure();
        TestApp();
    }
    void TearDown() override { StopAnsweringModals(); }

    static inline PrivateCups* s_cups = nullptr;
    static inline bool s_started = false;
};

TEST_F(PrintDialogWithCups, TheQueueIsOfferedAndPrintingToAFileIsNot) {
    CReportSession session;
    ASSERT_EQ(session.Printer().printerName(), QString::fromLatin1(PrivateCups::kQueue));
    QStringList printers;
    bool rangeShown = true;
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
        for (auto* button : dialog->findChildren<QAbstractButton*>())
            rangeShown = rangeShown ||
                         (button->text().contains(QStringLiteral("Pages")) && button->isVisibleTo(dialog));
        dialog->reject();
    });
    EXPECT_FALSE(session.RunPrintDialog(nullptr));
    EXPECT_TRUE(printers.contains(QString::fromLatin1(PrivateCups::kQueue)))
        << printers.join('|').toStdString();
    for (const QString& printer : printers)
        EXPECT_FALSE(printer.contains(QStringLiteral("File"), Qt::CaseInsensitive)) << printer.toStdString();
    EXPECT_FALSE(rangeShown);
}

} // namespace
