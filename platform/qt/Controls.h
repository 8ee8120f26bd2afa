#pragma once

#include <QAction>
#include <QString>
#include <QWidget>

// Every control carries its numeric id as its object name "ctl<id>", so help lookups and tests find
// it; every menu and toolbar action carries its command id in the property "commandId".

void SetControlId(QWidget* control, int id);
// The id of a control named "ctl<id>", else 0.
int ControlIdOf(const QObject* control);
QString ControlName(int id);

// The descendant of parent whose id is id, or null.
template <typename T = QWidget> T* FindControl(const QWidget* parent, int id) {
    return parent ? parent->findChild<T*>(ControlName(id)) : nullptr;
}

// An action with the command id (also its object name "cmd<id>").
QAction* MakeCommandAction(QObject* parent, int id, const QString& text);
void SetCommandId(QAction* action, int id);
// The command id of an action, 0 for none.
int CommandIdOf(const QAction* action);
