#include "data/DbDoc.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/QtPrompt.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/document/CreateDbDlg.h"
#include "ui/document/MetafilePicture.h"
#include "ui/document/PasswordDlg.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include <gtest/gtest.h>

namespace {

struct FitCase {
    int mode;
    PictureRect expected;
};

TEST(FitPictureRect, EveryModeOfTheTable) {
    const PictureRect r{10, 20, 110, 220}; // 100 wide, 200 high
    const int w = 40, h = 60;
    const FitCase cases[] = {
        {1, {10, 20, 50, 80}},    {2, {40, 20, 80, 80}},    {3, {70, 20, 110, 80}},   {4, {10, 90, 50, 150}},
        {5, {40, 90, 80, 150}},   {6, {70, 90, 110, 150}},  {7, {10, 160, 50, 220}},  {8, {40, 160, 80, 220}},
        {9, {70, 160, 110, 220}}, {10, {10, 20, 110, 220}}, {11, {10, 45, 110, 195}}, {0, {10, 20, 110, 220}},
        {12, {10, 20, 110, 220}},
    };
    for (const FitCase& c : cases) {
        const PictureRect got = FitPictureRect(r, w, h, c.mode);
        EXPECT_EQ(got, c.expected) << "mode " << c.mode << ": " << got.left << "," << got.top << ","
                                   << got.right << "," << got.bottom;
    }
}

TEST(FitPictureRect, LargerPictureCentredIsClippedToTheRectangle) {
    const PictureRect r{0, 0, 100, 50};
    EXPECT_EQ(FitPictureRect(r, 300, 200, 5), r);
    // Mode 11 is not clipped and keeps proportions: a wide picture in a tall rectangle.
    EXPECT_EQ(FitPictureRect(PictureRect{0, 0, 100, 100}, 200, 100, 11), (PictureRect{0, 25, 100, 75}));
    EXPECT_EQ(FitPictureRect(PictureRect{0, 0, 100, 100}, 100, 200, 11), (PictureRect{25, 0, 75, 100}));
}

TEST(FitPictureRect, HalvingTruncatesTowardZero) {
    // (-5 + 0 - 2) / 2 = -3 (toward zero), not -4.
    EXPECT_EQ(FitPictureRect(PictureRect{-5, -5, 0, 0}, 2, 2, 5), (PictureRect{-3, -3, -1, -1}));
}

QByteArray PlaceableHeader(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch) {
    QByteArray data;
    auto word = [&](uint16_t v) {
        data.append(static_cast<char>(v & 0xFF));
        data.append(static_cast<char>(v >> 8));
    };
    word(0xCDD7);
    word(0x9AC6);
    word(0);
    word(static_cast<uint16_t>(left));
    word(static_cast<uint16_t>(top));
    word(static_cast<uint16_t>(right));
    word(static_cast<uint16_t>(bottom));
    word(unitsPerInch);
    word(0);
    word(0);
    word(0);
    return data;
}

QByteArray ProgramSvg() {
    InitPelmoraResources();
    QFile file(":/pelmora.svg");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(MetafilePicture, ProgramPictureLoadsWithoutHeaderAndFillsTheRectangle) {
    TestApp();
    CMetafilePicture picture;
    ASSERT_TRUE(picture.Load(156));
    EXPECT_EQ(picture.Header().key, 0u);
    const PictureRect r{0, 0, 300, 100};
    EXPECT_EQ(picture.TargetRect(r, 5), r);
    EXPECT_FALSE(picture.Load(157));
    EXPECT_FALSE(picture.IsLoaded());
}

TEST(MetafilePicture, PlaceableHeaderGivesTheNaturalSize) {
    TestApp();
    CMetafilePicture picture;
    // 1000 x 500 units at 1000 units per inch: 254 x 127.
    ASSERT_TRUE(picture.LoadData(PlaceableHeader(0, 0, 1000, 500, 1000) + ProgramSvg()));
    EXPECT_EQ(picture.Header().unitsPerInch, 1000);
    EXPECT_EQ(picture.TargetRect(PictureRect{0, 0, 1000, 1000}, 1), (PictureRect{0, 0, 254, 127}));
    EXPECT_EQ(picture.TargetRect(PictureRect{0, 0, 1000, 1000}, 10), (PictureRect{0, 0, 1000, 1000}));
    picture.Release();
    EXPECT_EQ(picture.Header().key, 0u);
    // Zero units per inch: the rectangle is used unchanged.
    ASSERT_TRUE(picture.LoadData(PlaceableHeader(0, 0, 1000, 500, 0) + ProgramSvg()));
    EXPECT_EQ(picture.TargetRect(PictureRect{0, 0, 1000, 1000}, 1), (PictureRect{0, 0, 1000, 1000}));
}

TEST(MetafilePicture, MalformedPicturesDoNotLoad) {
    TestApp();
    CMetafilePicture picture;
    EXPECT_FALSE(picture.LoadData(QByteArray()));
    EXPECT_FALSE(picture.LoadData(PlaceableHeader(0, 0, 10, 10, 1000).left(10)));
    QByteArray windowsMetafile = PlaceableHeader(0, 0, 10, 10, 1000);
    windowsMetafile +=
        QByteArray("\x01\x00\x09\x00\x00\x03\x20\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00", 18);
    EXPECT_FALSE(picture.LoadData(windowsMetafile));
    EXPECT_FALSE(picture.IsLoaded());
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetPasswordBuffer(g_openPassword, "");
        CSplashDlg::s_timeoutMs = 3000;
    }
    void TearDown() override {
        StopAnsweringModals();
        SetPasswordBuffer(g_openPassword, "");
    }
    ScriptedPrompt prompt;
};

QLineEdit* Edit(QWidget* dialog, int id) {
    return FindControl<QLineEdit>(dialog, id);
}

QPushButton* Button(QWidget* dialog, int id) {
    return FindControl<QPushButton>(dialog, id);
}

TEST_F(DialogTest, CreateModeRefusesDifferentPasswordsAndEmptiesBoth) {
    CCreateDbDlg dialog;
    dialog.m_createMode = true;
    int differentBoxes = 0;
    AnswerNextModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Create a New Database");
        EXPECT_TRUE(Edit(w, 1178)->isVisible());
        Edit(w, 1058)->setText("/tmp/plans.pgr");
        Edit(w, 1177)->setText("secret");
        Edit(w, 1178)->setText("secreT");
        Button(w, IDOK)->click();
        EXPECT_TRUE(w->isVisible());
        differentBoxes = static_cast<int>(prompt.MessageBoxes().size());
        EXPECT_EQ(Edit(w, 1177)->text(), "");
        EXPECT_EQ(Edit(w, 1178)->text(), "");
        SaveScreenshot(w, "create-db-dialog");
        Edit(w, 1177)->setText("secret");
        Edit(w, 1178)->setText("secret");
        Button(w, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(differentBoxes, 1);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "The second copy of the password doesn't match the first copy. Please re-enter them");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Different Passwords");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(dialog.m_path, "/tmp/plans.pgr");
    EXPECT_STREQ(dialog.m_password, "secret");
    EXPECT_STREQ(dialog.m_retypedPassword, "secret");
}

TEST_F(DialogTest, OpenModeHidesAndNeverComparesTheRetypeField) {
    CCreateDbDlg dialog;
    dialog.m_createMode = false;
    AnswerNextModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Open An Existing Database");
        EXPECT_FALSE(Edit(w, 1178)->isVisible());
        EXPECT_FALSE(FindControl<QLabel>(w, 1180)->isVisible());
        Edit(w, 1058)->setText("/tmp/plans.pgr");
        Edit(w, 1177)->setText("one");
        Edit(w, 1178)->setText("other");
        Button(w, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_STREQ(dialog.m_password, "one");
}

TEST_F(DialogTest, OkFollowsThePathOnceTouched) {
    CCreateDbDlg dialog;
    dialog.show();
    QPushButton* ok = Button(&dialog, IDOK);
    QLineEdit* path = Edit(&dialog, 1058);
    path->setText("x");
    EXPECT_TRUE(ok->isEnabled());
    path->setText("");
    EXPECT_FALSE(ok->isEnabled());
    path->setText("/tmp/a.pgr");
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(DialogTest, PasswordEditsTakeThirtyOneCharactersShownAsStars) {
    CCreateDbDlg dialog;
    dialog.show();
    QLineEdit* password = Edit(&dialog, 1177);
    EXPECT_EQ(password->maxLength(), 31);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), '*');
    const QString thirtyOne(31, 'p');
    password->setText(thirtyOne);
    EXPECT_EQ(password->text(), thirtyOne);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
    password->setFocus();
    QApplication::sendEvent(password, &key);
    EXPECT_EQ(password->text(), thirtyOne);
    Edit(&dialog, 1178)->setText(thirtyOne);
    Edit(&dialog, 1058)->setText("/tmp/a.pgr");
    Button(&dialog, IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::string(dialog.m_password), thirtyOne.toStdString());
}

TEST_F(DialogTest, PasswordEditsTakeNoMoreCharactersThanTheBufferHoldsWhole) {
    CCreateDbDlg dialog;
    dialog.m_createMode = false;
    dialog.show();
    QLineEdit* password = Edit(&dialog, 1177);
    password->setFocus();
    // Each of these takes two bytes: fifteen fill 30 of the 31 the password keeps.
    for (int i = 0; i < 20; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u00e4"));
        QApplication::sendEvent(password, &key);
    }
    const QString fifteen(15, QChar(0x00e4));
    EXPECT_EQ(password->text(), fifteen);
    Edit(&dialog, 1058)->setText("/tmp/a.pgr");
    Button(&dialog, IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::string(dialog.m_password), fifteen.toUtf8().toStdString());
}

TEST_F(DialogTest, CancelZeroesBothPasswords) {
    CCreateDbDlg dialog;
    std::strcpy(dialog.m_password, "keep");
    std::strcpy(dialog.m_retypedPassword, "keep");
    AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_STREQ(dialog.m_password, "");
    EXPECT_STREQ(dialog.m_retypedPassword, "");
}

TEST_F(DialogTest, BrowseProposesPgrFilesAndTakesTheChoice) {
    CCreateDbDlg dialog;
    dialog.show();
    prompt.AnswerFileDialog("/tmp/chosen.pgr");
    Button(&dialog, 1059)->click();
    ASSERT_EQ(prompt.Calls().size(), 1u);
    const FileDialogRequest& request = prompt.Calls()[0].fileDialog;
    EXPECT_EQ(request.defaultExt, "pgr");
    EXPECT_EQ(request.flags, static_cast<unsigned>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    ASSERT_FALSE(request.filters.empty());
    EXPECT_EQ(request.filters[0].first, "Pelmora files (*.pgr)");
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "/tmp/chosen.pgr");
}

TEST_F(DialogTest, HelpKeyShowsThePopupOfListedControlsOnly) {
    CCreateDbDlg dialog;
    dialog.show();
    ClearLastHelpRequest();
    EXPECT_FALSE(dialog.OnContextHelp(Edit(&dialog, 1177)));
    EXPECT_EQ(LastHelpRequest().popupTopic, 0);
    QLineEdit* path = Edit(&dialog, 1058);
    path->setFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(path, &f1);
    EXPECT_EQ(LastHelpRequest().popupTopic, 1500);
    EXPECT_TRUE(dialog.OnContextHelp(Button(&dialog, IDCANCEL)));
    EXPECT_EQ(LastHelpRequest().popupTopic, 1001);
    Button(&dialog, 57670)->click();
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC);
    EXPECT_EQ(LastHelpRequest().url.Find("::/html/dlgimpnative.htm>topic") > 0, true);
    if (HelpWindow())
        HelpWindow()->close();
}

TEST_F(DialogTest, PasswordEnterModeShowsOnlyThePassword) {
    CPasswordDlg dialog;
    dialog.m_path = "/tmp/plans.pgr";
    AnswerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Enter the password for the database shown");
        EXPECT_EQ(Edit(w, 1058)->text(), "/tmp/plans.pgr");
        for (int id : {1178, 1179})
            EXPECT_FALSE(Edit(w, id)->isVisible()) << id;
        for (int id : {1180, 1183})
            EXPECT_FALSE(FindControl<QLabel>(w, id)->isVisible()) << id;
        Edit(w, 1177)->setText("pw");
        SaveScreenshot(w, "password-dialog");
        Button(w, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_STREQ(dialog.m_password, "pw");
}

TEST_F(DialogTest, PasswordChangeModeRefusesDifferentNewPasswords) {
    SetPasswordBuffer(g_openPassword, "old");
    CPasswordDlg dialog;
    dialog.m_changeMode = true;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Change the password for the database shown");
    Edit(&dialog, 1177)->setText("old");
    Edit(&dialog, 1178)->setText("new1");
    Edit(&dialog, 1179)->setText("new2");
    Button(&dialog, IDOK)->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "The second copy of the new password doesn't match the first copy. Please re-enter them");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Different Passwords");
    EXPECT_STREQ(dialog.m_newPassword, "");
    EXPECT_STREQ(dialog.m_retypedNewPassword, "");
    EXPECT_EQ(Edit(&dialog, 1178)->text(), "");
    EXPECT_STREQ(dialog.m_password, "old");
    Edit(&dialog, 1178)->setText("new");
    Edit(&dialog, 1179)->setText("new");
    Button(&dialog, IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_STREQ(dialog.m_newPassword, "new");
}

TEST_F(DialogTest, ChangeModeWithAProtectedDocumentNeedsTheCurrentPassword) {
    SetPasswordBuffer(g_openPassword, "open");
    CPasswordDlg dialog;
    dialog.m_changeMode = true;
    dialog.show();
    Edit(&dialog, 1177)->setText("x");
    EXPECT_TRUE(Button(&dialog, IDOK)->isEnabled());
    Edit(&dialog, 1177)->setText("");
    EXPECT_FALSE(Button(&dialog, IDOK)->isEnabled());
    // Without a password on the open document, or in enter mode, OK stays enabled.
    SetPasswordBuffer(g_openPassword, "");
    Edit(&dialog, 1177)->setText("y");
    Edit(&dialog, 1177)->setText("");
    EXPECT_TRUE(Button(&dialog, IDOK)->isEnabled());
}

TEST_F(DialogTest, PasswordCancelEmptiesOnlyTheNewPasswords) {
    CPasswordDlg dialog;
    dialog.m_changeMode = true;
    dialog.show();
    Edit(&dialog, 1177)->setText("typed");
    Edit(&dialog, 1178)->setText("n");
    Edit(&dialog, 1179)->setText("n");
    FindControl<QPushButton>(&dialog, IDCANCEL)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_STREQ(dialog.m_password, "typed");
    EXPECT_STREQ(dialog.m_newPassword, "");
    EXPECT_STREQ(dialog.m_retypedNewPassword, "");
}

TEST_F(DialogTest, SplashClosesByItselfOnClickAndOnKeys) {
    CSplashDlg::s_timeoutMs = 50;
    {
        CSplashDlg splash;
        EXPECT_EQ(splash.DoModal(), 0); // the timer ends it
    }
    CSplashDlg::s_timeoutMs = 60000;
    {
        CSplashDlg splash;
        AnswerNextModal([](QWidget* w) {
            EXPECT_EQ(FindControl<QLabel>(w, 1099)->text(), "Version 2.0");
            EXPECT_EQ(w->palette().color(QPalette::Window), QColor(218, 165, 32));
            SaveScreenshot(w, "splash");
            QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)),
                              Qt::RightButton, Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(w, &click);
        });
        EXPECT_EQ(splash.DoModal(), 0);
    }
    const std::pair<int, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_X, Qt::AltModifier}};
    for (const auto& [keyCode, modifiers] : keys) {
        CSplashDlg splash;
        AnswerNextModal([keyCode = keyCode, modifiers = modifiers](QWidget* w) {
            QKeyEvent key(QEvent::KeyPress, keyCode, modifiers);
            QApplication::sendEvent(w, &key);
        });
        EXPECT_EQ(splash.DoModal(), 0) << keyCode;
    }
}

TEST_F(DialogTest, AboutShowsTheProgramAndEndsWithOk) {
    CAboutDlg about;
    AnswerNextModal([](QWidget* w) {
        EXPECT_EQ(FindControl<QLabel>(w, 1097)->text(), "Pelmora");
        EXPECT_TRUE(FindControl<QLabel>(w, 1097)->font().italic());
        SaveScreenshot(w, "about");
        Button(w, IDOK)->click();
    });
    EXPECT_EQ(about.DoModal(), IDOK);
}

TEST(CreateDbThroughThePrompt, TheRegisteredDialogAnswersTheDocument) {
    TestApp();
    QtPrompt qtPrompt;
    RegisterCreateDbDialog();
    AnswerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Open An Existing Database");
        Edit(w, 1058)->setText("/tmp/doc.pgr");
        Edit(w, 1177)->setText("pw");
        Button(w, IDOK)->click();
    });
    CreateDbRequest request;
    request.createMode = false;
    ASSERT_TRUE(GetPrompt().RunCreateDbDialog(request));
    EXPECT_EQ(request.path, "/tmp/doc.pgr");
    EXPECT_EQ(request.password, "pw");
    QtPrompt::SetCreateDbRunner(nullptr);
    StopAnsweringModals();
}

} // namespace
