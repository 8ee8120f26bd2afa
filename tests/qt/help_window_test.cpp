#include "platform/qt/Help.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const char* const kPage = "%s\\%s::/html/dlgimpnative.htm>topic";

class HelpAboveDialogs : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    void TearDown() override { StopAnsweringModals(); }
};

// A dialog with a Help button, run modally over a main window as the program's dialogs are.
struct DialogOverWindow {
    QWidget main;
    QDialog* dialog = nullptr;
    DialogOverWindow() {
        main.resize(400, 300);
        main.show();
        dialog = new QDialog(&main);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(new QLineEdit(dialog));
        auto* help = new QPushButton(QStringLiteral("Help"), dialog);
        layout->addWidget(help);
        QObject::connect(help, &QPushButton::clicked, dialog,
                         [this] { HtmlHelpTopic(dialog, HelpPageAddress(kPage)); });
    }
};

TEST_F(HelpAboveDialogs, HelpFromAModalDialogIsTheActiveWindowAboveIt) {
    DialogOverWindow w;
    bool aboveDialog = false;
    bool active = false;
    bool takesInput = false;
    AnswerNextModal([&](QWidget* dialog) {
        dialog->findChild<QPushButton*>()->click();
        QWidget* help = HelpWindow();
        ASSERT_NE(help, nullptr);
        QApplication::processEvents();
        aboveDialog = help->isVisible() && help->parentWidget() == dialog && help->isWindow();
        active = QApplication::activeWindow() == help;
        // A window that the modal dialog blocks never gets the focus.
        auto* browser = help->findChild<QTextBrowser*>();
        browser->setFocus();
        QApplication::processEvents();
        takesInput = QApplication::focusWidget() == browser;
        static_cast<QDialog*>(dialog)->accept();
    });
    w.dialog->exec();
    EXPECT_TRUE(aboveDialog);
    EXPECT_TRUE(active);
    EXPECT_TRUE(takesInput);
    // The dialog closed: the help window stays open on its own.
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->parentWidget(), nullptr);
    delete w.dialog;
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    HelpWindow()->hide();
}

TEST_F(HelpAboveDialogs, HelpWithoutADialogIsAWindowOfItsOwn) {
    QWidget main;
    main.show();
    ASSERT_TRUE(HtmlHelpTopic(&main, HelpPageAddress("%s\\%s::/html/calendar.htm>topic")));
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->parentWidget(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    HelpWindow()->hide();
}

TEST_F(HelpAboveDialogs, EscapeClosesTheHelpWindowAndOnlyIt) {
    DialogOverWindow w;
    bool helpClosed = false;
    bool dialogStayed = false;
    AnswerNextModal([&](QWidget* dialog) {
        dialog->findChild<QPushButton*>()->click();
        QApplication::processEvents();
        auto* browser = HelpWindow()->findChild<QTextBrowser*>();
        browser->setFocus();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(browser, &escape);
        QApplication::processEvents();
        helpClosed = !HelpWindow()->isVisible();
        dialogStayed = dialog->isVisible();
        static_cast<QDialog*>(dialog)->accept();
    });
    w.dialog->exec();
    EXPECT_TRUE(helpClosed);
    EXPECT_TRUE(dialogStayed);
    delete w.dialog;
}

} // namespace
