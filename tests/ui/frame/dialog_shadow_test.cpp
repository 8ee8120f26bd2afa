#include "platform/qt/DropShadow.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/document/PasswordDlg.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

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
