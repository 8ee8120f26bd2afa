#pragma once

#include <QString>

#include <functional>

class CUpdateUI;
class QAction;
class QMenu;
class QToolBar;
class QWidget;

// The two faces of one pane command: its toolbar button and its context-menu item.
struct PaneCommandActions {
    QAction* tool;
    QAction* item;
};

// Adds a command to the pane's toolbar and context menu: both actions carry the command id, take
// their enabled and checked states from the pane's update-UI table, and hand the id to the pane.
PaneCommandActions AddPaneCommand(QWidget* pane, QToolBar* toolBar, QMenu* menu, CUpdateUI& updateUI, int id,
                                  const QString& toolText, const QString& menuText,
                                  const std::function<void(int)>& onCommand);
