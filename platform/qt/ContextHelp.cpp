#include "platform/qt/ContextHelp.h"

#include "platform/qt/Controls.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QWidget>

ContextHelpFilter::ContextHelpFilter(QWidget* window, Handler onHelp)
    : QObject(window), m_window(window), m_onHelp(std::move(onHelp)) {
    Watch(window);
}

void ContextHelpFilter::Watch(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType())
            Watch(child);
}

QWidget* ContextHelpFilter::ControlWithId(QWidget* w, const QWidget* window) {
    // A control of another window (a dialog over this one) is that window's to answer, even when it
    // carries an id this window also knows.
    if (!w || w->window() != window->window())
        return nullptr;
    for (; w; w = w->parentWidget()) {
        // A dialog over the window answers its own help key.
        if (w->isWindow() && w != window)
            return nullptr;
        if (ControlIdOf(w) != 0)
            return w;
        if (w == window)
            break;
    }
    return nullptr;
}

bool ContextHelpFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            Watch(child);
        return false;
    }
    // Controls with an id have help, so What's-This mode may click them.
    if (event->type() == QEvent::QueryWhatsThis) {
        if (ControlWithId(qobject_cast<QWidget*>(watched), m_window)) {
            event->accept();
            return true;
        }
        return false;
    }
    QWidget* target = nullptr;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1)
        target = QApplication::focusWidget() ? QApplication::focusWidget() : qobject_cast<QWidget*>(watched);
    else if (event->type() == QEvent::WhatsThis)
        target = qobject_cast<QWidget*>(watched);
    if (!target)
        return false;
    QWidget* control = ControlWithId(target, m_window);
    if (!control)
        return false;
    try {
        return m_onHelp(control);
    } catch (...) {
        return false;
    }
}
