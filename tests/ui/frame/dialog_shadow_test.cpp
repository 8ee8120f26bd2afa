#include "platform/qt/DropShadow.h"
#include "platform/qt/Help.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/document/PasswordDlg.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CShadowWnd*> StripsOf(QWidget* owner) {
    std::vector<CShadowWnd*> strips;
    for (QWidget* child : owner->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (auto* strip = dynamic_cast<CShadowWnd*>(child))
            strips.push_back(strip);
    return strips;
}

// Runs the event loop until done() holds or a few seconds have passed; answers done().
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

bool StripsBeside(QWidget* owner) {
    const std::vector<CShadowWnd*> strips = StripsOf(owner);
    if (strips.size() != 2)
        return false;
    const QRect window = owner->frameGeometry();
    for (CShadowWnd* strip : strips)
        if (strip->geometry() != ShadowStripRect(window, ShadowStrip::Right) &&
            strip->geometry() != ShadowStripRect(window, ShadowStrip::Bottom))
            return false;
    return true;
}

class DialogShadowTest : public ::testing::Test {
protected:
    DialogShadowTest() { TestApp(); }
    void SetUp() override {
        DropShadow::OverrideWindowSystemShadows(false);
        owner = std::make_unique<QWidget>();
        owner->setGeometry(0, 0, 800, 600);
        owner->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        StopAnsweringModals();
        if (HelpWindow())
            HelpWindow()->hide();
        DropShadow::OverrideWindowSystemShadows(std::nullopt);
        owner.reset();
    }
    std::unique_ptr<QWidget> owner;
};

// Strips left where a dialog was would shade nothing and stay on the screen: they follow the dialog
// once it has come to rest.
TEST_F(DialogShadowTest, TheStripsFollowAMovedDialog) {
    CPasswordDlg dialog(owner.get());
    dialog.m_path = "/tmp/some.pgr";
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return StripsBeside(&dialog); }));
    const QRect before = StripsOf(&dialog)[0]->geometry();
    dialog.move(dialog.pos() + QPoint(60, 40));
    EXPECT_TRUE(WaitFor([&] {
        for (CShadowWnd* strip : StripsOf(&dialog))
            if (strip->geometry() == before)
                return false;
        return true;
    })) << "no strip stays where the dialog was";
    ASSERT_TRUE(WaitFor([&] { return StripsBeside(&dialog); }));
    EXPECT_EQ(StripsOf(&dialog)[0]->geometry().topLeft() - before.topLeft(), QPoint(60, 40));
    dialog.hide();
}

// The help window opened from a dialog comes above it: the dialog's strips, kept above other windows,
// go while the help window is active and come back when the dialog is active again.
TEST_F(DialogShadowTest, AHelpWindowAboveADialogIsNotShadedByIt) {
    CPasswordDlg dialog;
    dialog.m_path = "/tmp/some.pgr";
    bool stripsAtFirst = false;
    bool stripsGoneUnderHelp = false;
    bool helpClosedOnEscape = false;
    bool stripsBack = false;
    AnswerNextModal([&](QWidget* modal) {
        stripsAtFirst = WaitFor([&] { return StripsBeside(modal); });
        QPushButton* help = nullptr;
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            if (button->text().remove(QLatin1Char('&')) == QStringLiteral("Help"))
                help = button;
        ASSERT_NE(help, nullptr);
        help->click();
        QWidget* window = HelpWindow();
        ASSERT_NE(window, nullptr);
        // Laid across the dialog's right edge, where its strip was.
        window->move(modal->frameGeometry().right() - 200, modal->frameGeometry().top() + 30);
        stripsGoneUnderHelp = WaitFor([&] { return window->isActiveWindow() && StripsOf(modal).empty(); });
        QApplication::processEvents();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect shown = owner->frameGeometry().united(window->frameGeometry());
            QDir().mkpath(QStringLiteral(PELM_ARTIFACTS_DIR));
            screen->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height())
                .save(QStringLiteral(PELM_ARTIFACTS_DIR "/help_window_above_dialog.png"));
        }
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window->findChild<QTextBrowser*>(), &escape);
        helpClosedOnEscape = !window->isVisible() && modal->isVisible();
        modal->activateWindow();
        stripsBack = WaitFor([&] { return StripsBeside(modal); });
        ClickButton(modal, "Cancel");
    });
    dialog.DoModal(owner.get());
    EXPECT_TRUE(stripsAtFirst);
    EXPECT_TRUE(stripsGoneUnderHelp);
    EXPECT_TRUE(helpClosedOnEscape);
    EXPECT_TRUE(stripsBack);
}

TEST(DialogShadow, AModalDialogsStripsSitBehindItAndGoWithIt) {
    TestApp();
    DropShadow::OverrideWindowSystemShadows(false);
    QWidget owner;
    owner.setGeometry(0, 0, 700, 500);
    owner.show();
    QApplication::processEvents();
    CPasswordDlg dialog;
    dialog.m_path = "/tmp/some.pgr";
    std::vector<QPointer<CShadowWnd>> seen;
    QRect window;
    AnswerNextModal([&](QWidget* modal) {
        QElapsedTimer timer;
        timer.start();
        while (StripsOf(modal).size() < 2 && timer.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        window = modal->frameGeometry();
        for (CShadowWnd* strip : StripsOf(modal)) {
            seen.emplace_back(strip);
            EXPECT_TRUE(strip->geometry() == ShadowStripRect(window, ShadowStrip::Right) ||
                        strip->geometry() == ShadowStripRect(window, ShadowStrip::Bottom))
                << "right of and below the dialog";
            EXPECT_TRUE(strip->isVisible());
            EXPECT_NE(QApplication::focusWidget(), strip);
        }
        EXPECT_EQ(QApplication::activeModalWidget(), modal);
        ClickButton(modal, "Cancel");
    });
    dialog.DoModal(&owner);
    ASSERT_EQ(seen.size(), 2u);
    QApplication::processEvents();
    for (const QPointer<CShadowWnd>& strip : seen)
        EXPECT_TRUE(strip.isNull()) << "no strip stays once the dialog has closed";
    EXPECT_FALSE(window.isEmpty());
    DropShadow::OverrideWindowSystemShadows(std::nullopt);
}

} // namespace
