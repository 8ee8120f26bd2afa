#include "platform/qt/Controls.h"

#include "platform/qt/CommandStrings.h"

namespace {
const char* const kCommandId = "commandId";
}

QString ControlName(int id) {
    return QStringLiteral("ctl%1").arg(id);
}

void SetControlId(QWidget* control, int id) {
    control->setObjectName(ControlName(id));
}

int ControlIdOf(const QObject* control) {
    if (!control)
        return 0;
    const QString name = control->objectName();
    if (!name.startsWith(QLatin1String("ctl")))
        return 0;
    bool ok = false;
    const int id = name.mid(3).toInt(&ok);
    return ok ? id : 0;
}

void SetCommandId(QAction* action, int id) {
    action->setProperty(kCommandId, id);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    ApplyCommandString(action, id);
}

int CommandIdOf(const QAction* action) {
    return action ? action->property(kCommandId).toInt() : 0;
}

QAction* MakeCommandAction(QObject* parent, int id, const QString& text) {
    auto* action = new QAction(text, parent);
    SetCommandId(action, id);
    return action;
}
