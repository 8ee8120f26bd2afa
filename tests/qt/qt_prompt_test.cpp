#include "platform/qt/QtPrompt.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class QtPromptTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    void TearDown() override { StopAnsweringModals(); }
    QtPrompt prompt;
};

struct BoxCase {
    unsigned flags;
    QString click;
    int expected;
};

TEST_F(QtPromptTest, EveryButtonAnswersWithItsResult) {
    const BoxCase cases[] = {
        {MB_OK, "OK", IDOK},
        {MB_OKCANCEL, "Cancel", IDCANCEL},
        {MB_YESNO, "Yes", IDYES},
        {MB_YESNO, "No", IDNO},
        {MB_YESNOCANCEL, "Cancel", IDCANCEL},
        {MB_RETRYCANCEL | MB_ICONERROR, "Retry", IDRETRY},
        {MB_ABORTRETRYIGNORE, "Ignore", IDIGNORE},
    };
    for (const BoxCase& c : cases) {
        AnswerNextModal(
            [&](QWidget* box) { EXPECT_TRUE(ClickButton(box, c.click)) << c.click.toStdString(); });
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.flags), c.expected) << c.click.toStdString();
    }
}

TEST_F(QtPromptTest, BoxShowsTextCaptionAndIcon) {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->accept();
    });
    MessageBoxA(nullptr, "You don't have a printer installed.", "No Printer", MB_ICONINFORMATION);
    EXPECT_EQ(text, "You don't have a printer installed.");
    EXPECT_EQ(title, "No Printer");
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST_F(QtPromptTest, BoxIsWideEnoughForItsWholeCaption) {
    struct CaptionCase {
        const char* text;
        const char* caption;
    };
    const CaptionCase cases[] = {
        {"Done", "Tables Successfully Imported"},
        {"x", "Error Adding Address Book Entry"},
        {"A long text that is much wider than its caption, as error texts of the database often are.",
         "Pelmora"},
    };
    for (const CaptionCase& c : cases) {
        int width = 0;
        AnswerNextModal([&](QWidget* w) {
            width = w->width();
            static_cast<QDialog*>(w)->accept();
        });
        MessageBoxA(nullptr, c.text, c.caption, MB_ICONINFORMATION);
        EXPECT_GE(width, QtPrompt::MinimumWidthForCaption(QString::fromUtf8(c.caption))) << c.caption;
        EXPECT_GT(QtPrompt::MinimumWidthForCaption(QString::fromUtf8(c.caption)),
                  QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromUtf8(c.caption)));
    }
}

TEST_F(QtPromptTest, MarkupInTheTextIsShownAsItIs) {
    QString shown;
    AnswerNextModal([&](QWidget* w) {
        for (QLabel* label : w->findChildren<QLabel*>())
            if (label->text().contains(QStringLiteral("plans")))
                shown = label->textFormat() == Qt::PlainText ? label->text() : QString();
        static_cast<QDialog*>(w)->accept();
    });
    MessageBoxA(nullptr, "Cannot open <b>plans</b>.pgr", "Pelmora", MB_ICONERROR);
    EXPECT_EQ(shown, "Cannot open <b>plans</b>.pgr");
}

TEST_F(QtPromptTest, EscapeAnswersCancelWhereThereIsOne) {
    AnswerNextModal([](QWidget* box) { static_cast<QDialog*>(box)->reject(); });
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL), IDCANCEL);
}

TEST_F(QtPromptTest, SecondDefaultButton) {
    AnswerNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        box->defaultButton()->click();
    });
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST_F(QtPromptTest, NameFilters) {
    EXPECT_EQ(QtPrompt::NameFilter("Pelmora Files (*.pgr)", "*.pgr"), "Pelmora Files (*.pgr)");
    EXPECT_EQ(QtPrompt::NameFilter("All Files (*.*)", "*.*"), "All Files (*)");
    EXPECT_EQ(QtPrompt::NameFilter("Text", "*.txt;*.csv"), "Text (*.txt *.csv)");
}

TEST_F(QtPromptTest, DefaultExtensionOnlyWhenMissing) {
    EXPECT_EQ(QtPrompt::WithDefaultExtension("/tmp/a", "pgr"), "/tmp/a.pgr");
    EXPECT_EQ(QtPrompt::WithDefaultExtension("/tmp/a.db", "pgr"), "/tmp/a.db");
    EXPECT_EQ(QtPrompt::WithDefaultExtension("/tmp/a", ""), "/tmp/a");
}

TEST_F(QtPromptTest, SaveDialogReturnsTheChosenPathWithExtension) {
    const QString dir = QDir::tempPath();
    FileDialogRequest request;
    request.fileName = (dir + "/Backup of x").toUtf8().toStdString();
    request.defaultExt = "pgr";
    request.filters = {{"Pelmora Files (*.pgr)", "*.pgr"}, {"All Files (*.*)", "*.*"}};
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    QStringList filters;
    AnswerNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(GetPrompt().GetSaveFileName(request));
    EXPECT_EQ(filters, QStringList({"Pelmora Files (*.pgr)", "All Files (*)"}));
    EXPECT_EQ(QString::fromUtf8(request.fileName.c_str()), dir + "/Backup of x.pgr");
}

TEST_F(QtPromptTest, CancelledFileDialogReturnsFalse) {
    FileDialogRequest request;
    AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(GetPrompt().GetOpenFileName(request));
}

TEST_F(QtPromptTest, CreateDbDialogGoesToTheRegisteredRunner) {
    CreateDbRequest request;
    EXPECT_FALSE(GetPrompt().RunCreateDbDialog(request));
    QtPrompt::SetCreateDbRunner([](CreateDbRequest& r) {
        r.path = "/tmp/x.pgr";
        return true;
    });
    EXPECT_TRUE(GetPrompt().RunCreateDbDialog(request));
    EXPECT_EQ(request.path, "/tmp/x.pgr");
    QtPrompt::SetCreateDbRunner(nullptr);
}

TEST_F(QtPromptTest, WaitCursorNests) {
    {
        WaitCursor outer;
        {
            WaitCursor inner;
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtPromptTest, BoxDuringLongWorkShowsTheArrow) {
    Qt::CursorShape shownWhileAsking = Qt::BlankCursor;
    AnswerNextModal([&](QWidget* box) {
        shownWhileAsking =
            QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::BlankCursor;
        static_cast<QDialog*>(box)->accept();
    });
    {
        WaitCursor busy;
        MessageBoxA(nullptr, "Conversion complete.", "pelmimp", MB_ICONINFORMATION);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(shownWhileAsking, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtPromptInstall, DestroyingReturnsToTheBuiltInPrompt) {
    Prompt* before = &GetPrompt();
    {
        QtPrompt prompt;
        EXPECT_EQ(&GetPrompt(), &prompt);
    }
    EXPECT_EQ(&GetPrompt(), before);
}

} // namespace
