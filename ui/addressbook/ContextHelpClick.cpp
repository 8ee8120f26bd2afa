#include "ui/addressbook/ContextHelpClick.h"

#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "ui/frame/MainFrame.h"

#include <QMouseEvent>
#include <QWidget>

bool AnswerContextHelpClick(QWidget* pane, QMouseEvent* event) {
    if (!CMainFrame::s_contextHelpMode)
        return false;
    pane->releaseMouse();
    pane->unsetCursor();
    QWidget* child = pane->childAt(event->position().toPoint());
    QWidget* control = child ? ContextHelpFilter::ControlWithId(child, pane) : nullptr;
    auto* frame = dynamic_cast<CMainFrame*>(pane->window());
    if (!control || control == pane || !frame)
        return false;
    CMainFrame::s_contextHelpMode = false;
    frame->OnHelp(ControlIdOf(control));
    event->accept();
    return true;
}
