#include "convert/AboutDlg.h"
#include "convert/MainDialog.h"

#include "platform/qt/Controls.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void Type(QWidget* target, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override { dialog.show(); }
    void TearDown() override { StopAnsweringModals(); }

    template <typename T = QWidget> T* Control(int id) {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }

    QApplication& app = TestApp(); // before any widget
    ScriptedPrompt prompt;
    CMainDialog dialog;
};

TEST_F(MainDialogTest, StartsEmptyWithConvertDisabledAndNoStatus) {
    EXPECT_EQ(dialog.windowTitle(), "Pelmora Import Tool (Version 1 to Version 2)");
    EXPECT_EQ(Control<QPushButton>(1)->text(), "Cl&ose");
    EXPECT_TRUE(Control<QPushButton>(1)->isDefault());
    EXPECT_EQ(Control<QPushButton>(57664)->text(), "&About...");
    EXPECT_EQ(Control<QPushButton>(1001)->text(), "Browse...");
    EXPECT_EQ(Control<QPushButton>(1002)->text(), "&Convert");
    EXPECT_TRUE(Control<QLineEdit>(1000)->text().isEmpty());
    EXPECT_FALSE(Control<QPushButton>(1002)->isEnabled());
    EXPECT_FALSE(Control<QLabel>(1003)->isVisible());
    EXPECT_TRUE(Control<QLabel>(1003)->text().isEmpty());
    EXPECT_FALSE(Control<QProgressBar>(1004)->isVisible());
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    SaveScreenshot(&dialog, "pelmimp_main_dialog");
}

TEST_F(MainDialogTest, ConvertFollowsThePathText) {
    QLineEdit* edit = Control<QLineEdit>(1000);
    QPushButton* convert = Control<QPushButton>(1002);
    edit->setFocus();
    Type(edit, Qt::Key_A, "a");
    EXPECT_EQ(dialog.Path(), "a");
    EXPECT_TRUE(convert->isEnabled());
    Type(edit, Qt::Key_Backspace);
    EXPECT_EQ(dialog.Path(), "");
    EXPECT_FALSE(convert->isEnabled());
}

TEST_F(MainDialogTest, EscapeAndTheCloseCommandLeaveItOpen) {
    Type(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());

    Control<QPushButton>(1)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
}

TEST_F(MainDialogTest, BrowseOffersPgrFilesAndKeepsThePathWhenCancelled) {
    QLineEdit* edit = Control<QLineEdit>(1000);
    edit->setText("old.pgr");
    prompt.CancelFileDialog();
    Control<QPushButton>(1001)->click();
    EXPECT_EQ(edit->text(), "old.pgr");

    prompt.AnswerFileDialog("/data/Plans.pgr");
    Control<QPushButton>(1001)->click();
    EXPECT_EQ(edit->text(), "/data/Plans.pgr");
    EXPECT_EQ(dialog.Path(), "/data/Plans.pgr");

    ASSERT_EQ(prompt.Calls().size(), 2u);
    const FileDialogRequest& request = prompt.Calls()[1].fileDialog;
    EXPECT_EQ(prompt.Calls()[1].kind, ScriptedPrompt::Kind::OpenFileDialog);
    EXPECT_EQ(request.fileName, "old.pgr");
    EXPECT_EQ(request.defaultExt, "pgr");
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].first, "Pelmora (*.pgr)");
    EXPECT_EQ(request.filters[0].second, "*.pgr");
    EXPECT_EQ(request.flags, static_cast<unsigned>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(request.owner, static_cast<QWidget*>(&dialog));
}

TEST_F(MainDialogTest, ConvertRunsTheConversionAndHidesTheStatusAfterSuccess) {
    TempDir dir;
    const std::string path = dir.File("Plans.pgr");
    {
        std::ifstream in(std::string(PELM_FIXTURES_DIR) + "/convert/v18.xml", std::ios::binary);
        std::ofstream(path, std::ios::binary) << in.rdbuf();
    }
    Control<QLineEdit>(1000)->setText(QString::fromStdString(path));
    prompt.AnswerMessageBox(IDOK);
    Control<QPushButton>(1002)->click();

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Conversion Succeeded");
    EXPECT_EQ(prompt.MessageBoxes()[0].owner, static_cast<QWidget*>(&dialog));
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
    EXPECT_FALSE(Control<QLabel>(1003)->isVisible());
    EXPECT_FALSE(Control<QProgressBar>(1004)->isVisible());
    EXPECT_TRUE(std::filesystem::exists(path + ".ver1"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainDialogTest, StatusStaysAfterAFailedConversion) {
    TempDir dir;
    const std::string path = dir.File("broken.pgr");
    std::ofstream(path) << "<Pim Version='1'>";
    Control<QLineEdit>(1000)->setText(QString::fromStdString(path));
    prompt.AnswerMessageBox(IDOK);
    Control<QPushButton>(1002)->click();
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Loading File");
    EXPECT_TRUE(Control<QLabel>(1003)->isVisible());
    EXPECT_EQ(Control<QLabel>(1003)->text(), "Reading In Data File");
    EXPECT_FALSE(std::filesystem::exists(path + ".ver1"));
}

TEST_F(MainDialogTest, StatusAndBarAppearInPlaceWhileTheConversionRuns) {
    // The conversion never returns to the event loop: what it shows must be laid out at once.
    QPushButton* convert = Control<QPushButton>(1002);
    QLabel* status = Control<QLabel>(1003);
    QProgressBar* bar = Control<QProgressBar>(1004);
    dialog.ShowStatus(true);
    dialog.SetStatusText("Importing Address Book Entries");
    dialog.ShowProgress(true);
    dialog.SetProgressRange(4);
    dialog.SetProgressPos(3);
    EXPECT_GT(status->geometry().top(), convert->geometry().bottom());
    EXPECT_GT(bar->geometry().top(), status->geometry().bottom());
    EXPECT_TRUE(dialog.rect().contains(bar->geometry()));
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(bar->maximum(), 4);
    SaveScreenshot(&dialog, "pelmimp_main_dialog_converting");

    // Positions may wait for the bar's next step, but the phase's last record is shown at once.
    dialog.SetProgressRange(30000);
    for (int position = 0; position < 30000; ++position)
        dialog.SetProgressPos(position);
    EXPECT_EQ(bar->value(), 29999);

    // A phase without records shows an empty bar, not Qt's busy indicator of the range 0 to 0.
    dialog.SetProgressRange(0);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(MainDialogTest, AboutBoxEndsWithTheButtonsId) {
    AnswerNextModal([](QWidget* about) {
        EXPECT_EQ(about->windowTitle(), "About");
        const QList<QLabel*> text = about->findChildren<QLabel*>();
        bool named = false;
        for (QLabel* label : text)
            named = named || label->text().startsWith("Pelmora Import Tool v1.0");
        EXPECT_TRUE(named);
        QPushButton* ok = FindControl<QPushButton>(about, 1);
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    Control<QPushButton>(57664)->click();
    EXPECT_TRUE(dialog.isVisible());

    CAboutDlg about;
    about.show();
    SaveScreenshot(&about, "pelmimp_about");
    Type(&about, Qt::Key_Escape);
    EXPECT_EQ(about.result(), IDCANCEL);
}

} // namespace
