#include "platform/qt/CommandStrings.h"
#include "platform/qt/Controls.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct CommandStringCase {
    int id;
    const char* prompt;
    const char* tip;
};

class CommandStrings : public ::testing::TestWithParam<CommandStringCase> {};

TEST_P(CommandStrings, SplitIntoPromptAndTip) {
    const CommandStringCase& c = GetParam();
    EXPECT_EQ(CommandPrompt(c.id), QString::fromUtf8(c.prompt));
    EXPECT_EQ(CommandTip(c.id), QString::fromUtf8(c.tip));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandStrings,
    ::testing::Values(CommandStringCase{32787, "Remove empty space and old tasks from file", "Compact"},
                      CommandStringCase{32790, "Add a new task", " Add task"},
                      CommandStringCase{32797, "Add an appointment", " Add appointment"},
                      CommandStringCase{32799, "Edit selected appointment", "Edit appointment"},
                      CommandStringCase{32793, "Mark selected task completed", "Mark complete"},
                      CommandStringCase{57616, "Open this database", ""},
                      CommandStringCase{57345, "Ready", ""}, CommandStringCase{12345, "", ""}));

TEST(CommandStringsLayer, EveryActionWithAnIdTakesItsPromptAndTip) {
    TestApp();
    QAction action(QStringLiteral("&Delete"));
    SetCommandId(&action, 32798);
    EXPECT_EQ(action.statusTip(), "Delete selected appointment");
    EXPECT_EQ(action.toolTip(), "Delete appointment");
    // Without a second part the tooltip stays the action's text.
    QAction* recent = MakeCommandAction(nullptr, 57620, QStringLiteral("&1 a.pgr"));
    EXPECT_EQ(recent->statusTip(), "Open this database");
    EXPECT_EQ(recent->toolTip(), "1 a.pgr");
    delete recent;
    EXPECT_EQ(IdleStatusText(), "Ready");
}

// Any window with a status bar shows the prompts of its menus and toolbars, with no code of its own.
TEST(CommandStringsLayer, AnyWindowShowsThePromptsOfItsMenusAndToolbars) {
    TestApp();
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Tasks"));
    QAction* add = MakeCommandAction(&window, 32790, QStringLiteral("&Add..."));
    menu->addAction(add);
    QToolBar* bar = window.addToolBar(QStringLiteral("Tasks"));
    bar->addAction(add);
    window.statusBar();
    window.show();

    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(add));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), " Add task");
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(window.statusBar()->currentMessage(), "Add a new task");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(window.statusBar()->currentMessage(), "");

    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    const QPoint centre = menu->actionGeometry(add).center();
    QMouseEvent move(QEvent::MouseMove, centre, menu->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(menu, &move);
    EXPECT_EQ(window.statusBar()->currentMessage(), "Add a new task");
    menu->hide();
    EXPECT_EQ(window.statusBar()->currentMessage(), "");
}

} // namespace
