#include "platform/qt/Controls.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PhoneBookFrame.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class StatusPromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        ASSERT_TRUE(frame.Create());
        frame.show();
    }

    QString Message() { return frame.statusBar()->currentMessage(); }
    QLabel* DefaultPane() { return frame.statusBar()->findChild<QLabel*>(); }

    void Hover(QToolBar* bar, int id) {
        QAction* action = nullptr;
        for (QAction* candidate : bar->actions())
            if (CommandIdOf(candidate) == id)
                action = candidate;
        ASSERT_NE(action, nullptr);
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(button, &enter);
    }
    void Leave(QToolBar* bar) {
        for (QAction* action : bar->actions())
            if (QWidget* button = bar->widgetForAction(action)) {
                QEvent leave(QEvent::Leave);
                QApplication::sendEvent(button, &leave);
            }
    }
    void HoverMenuItem(QMenu* menu, int id) {
        QAction* action = nullptr;
        for (QAction* candidate : menu->actions())
            if (CommandIdOf(candidate) == id)
                action = candidate;
        ASSERT_NE(action, nullptr);
        const QPoint centre = menu->actionGeometry(action).center();
        QMouseEvent move(QEvent::MouseMove, centre, menu->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(menu, &move);
    }
    QMenu* TopMenu(int position) { return frame.menuBar()->actions().at(position)->menu(); }

    FrameEnvironment env;
    ScriptedPrompt prompt;
    CMainFrame frame;
};

TEST_F(StatusPromptTest, IdleTextIsReady) {
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(DefaultPane()->text(), "Ready");
}

struct MenuCase {
    int position;
    int id;
    const char* prompt;
};

TEST_F(StatusPromptTest, HoveredMenuItemsShowTheirPromptUntilTheMenuCloses) {
    const MenuCase cases[] = {
        {0, ID_FILE_COMPACT, "Remove empty space and old tasks from file"},
        {0, ID_FILE_NEW, "Create a new database"},
        {1, ID_EDIT_GROUPS, "Add, rename and delete the address book groups"},
        {2, ID_VIEW_DAYPLAN, "Show the day plan"},
        {4, ID_REPORT_WEEK, "Print the plan of the current week"},
        {5, ID_HELP_FINDER, "List the help topics"},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.id);
        QMenu* menu = TopMenu(c.position);
        menu->popup(frame.mapToGlobal(QPoint(0, 0)));
        HoverMenuItem(menu, c.id);
        EXPECT_EQ(Message(), QString::fromUtf8(c.prompt));
        menu->hide();
        EXPECT_EQ(Message(), "");
        EXPECT_TRUE(DefaultPane()->isVisibleTo(frame.statusBar()));
        EXPECT_EQ(DefaultPane()->text(), "Ready");
    }
}

TEST_F(StatusPromptTest, ToolbarButtonsShowTheirPromptAndKeepTheTipAfterTheNewline) {
    auto* toolbar = frame.findChild<QToolBar*>(QStringLiteral("toolbar128"));
    ASSERT_NE(toolbar, nullptr);
    Hover(toolbar, ID_FILE_OPEN);
    EXPECT_EQ(Message(), "Open an existing database");
    Leave(toolbar);
    EXPECT_EQ(Message(), "");
    Hover(toolbar, ID_CONTEXT_HELP);
    EXPECT_EQ(Message(), "Display help for a clicked button, menu or window");
    Leave(toolbar);
    EXPECT_EQ(frame.Action(ID_FILE_NEW)->toolTip(), "New");
    EXPECT_EQ(frame.Action(ID_FILE_OPEN)->toolTip(), "Open");
}

TEST_F(StatusPromptTest, PaneToolbarsShowTheirPrompts) {
    frame.OnCommand(ID_VIEW_ADDRESS_BOOK);
    auto* toolbar = frame.AddressBookView()->findChild<QToolBar*>(QStringLiteral("toolBar211"));
    ASSERT_NE(toolbar, nullptr);
    Hover(toolbar, 32775);
    EXPECT_EQ(Message(), "Add a new name to the phone book");
    Leave(toolbar);
    EXPECT_EQ(Message(), "");
    for (QAction* action : toolbar->actions()) {
        if (CommandIdOf(action) == 32777) {
            EXPECT_EQ(action->toolTip(), "Edit name");
        }
    }
}

} // namespace
