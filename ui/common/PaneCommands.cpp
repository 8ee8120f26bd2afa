#include "ui/common/PaneCommands.h"

#include "platform/qt/Controls.h"
#include "platform/qt/UpdateUI.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

PaneCommandActions AddPaneCommand(QWidget* pane, QToolBar* toolBar, QMenu* menu, CUpdateUI& updateUI, int id,
                                  const QString& toolText, const QString& menuText,
                                  const std::function<void(int)>& onCommand) {
    const PaneCommandActions actions{MakeCommandAction(pane, id, toolText),
                                     MakeCommandAction(menu, id, menuText)};
    toolBar->addAction(actions.tool);
    menu->addAction(actions.item);
    updateUI.UIAddEntry(id, CUpdateUI::kMenu | CUpdateUI::kToolBar);
    updateUI.UIBind(actions.tool, id, CUpdateUI::kToolBar);
    updateUI.UIBind(actions.item, id, CUpdateUI::kMenu);
    for (QAction* action : {actions.tool, actions.item})
        QObject::connect(action, &QAction::triggered, pane, [onCommand, id] { onCommand(id); });
    return actions;
}
