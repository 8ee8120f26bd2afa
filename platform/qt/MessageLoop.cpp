#include "platform/qt/MessageLoop.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>

#include <algorithm>

namespace {
CMessageLoop* g_current = nullptr;
}

CMessageLoop::CMessageLoop() {
    g_current = this;
    m_wake.setSingleShot(true);
    m_wake.setInterval(0);
    QApplication::instance()->installEventFilter(this);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMessageLoop::OnAboutToBlock);
}

CMessageLoop::~CMessageLoop() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    if (g_current == this)
        g_current = nullptr;
}

CMessageLoop* CMessageLoop::Current() {
    return g_current;
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    m_idleHandlers.push_back(handler);
}

bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    const auto it = std::find(m_idleHandlers.begin(), m_idleHandlers.end(), handler);
    if (it == m_idleHandlers.end())
        return false;
    m_idleHandlers.erase(it);
    return true;
}

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    m_filters.push_back(filter);
}

bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    const auto it = std::find(m_filters.begin(), m_filters.end(), filter);
    if (it == m_filters.end())
        return false;
    m_filters.erase(it);
    return true;
}

int CMessageLoop::Run() {
    m_idleArmed = true;
    m_idleCount = 0;
    m_running = true;
    const int exitCode = QApplication::exec();
    m_running = false;
    return exitCode;
}

void CMessageLoop::PostQuit(int exitCode) {
    if (m_running)
        QCoreApplication::exit(exitCode);
}

bool CMessageLoop::ArmsIdle(int eventType) {
    switch (eventType) {
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::Timer:
        return false;
    default:
        return true;
    }
}

bool CMessageLoop::eventFilter(QObject* watched, QEvent* event) {
    if (ArmsIdle(event->type())) {
        m_idleArmed = true;
        m_idleCount = 0;
    }
    // Copy: a filter may remove itself while it runs.
    const std::vector<CMessageFilter*> filters = m_filters;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
        try {
            if ((*it)->PreTranslateMessage(watched, event))
                return true;
        } catch (...) {
            // A failing filter must not stop the event from being delivered.
        }
    }
    return QObject::eventFilter(watched, event);
}

void CMessageLoop::RunIdleHandlers() {
    if (m_inIdle)
        return;
    m_inIdle = true;
    bool again = false;
    const std::vector<CIdleHandler*> handlers = m_idleHandlers;
    for (CIdleHandler* handler : handlers) {
        try {
            again = handler->OnIdle(m_idleCount) || again;
        } catch (...) {
            // An idle handler that throws is treated as done for this period.
        }
    }
    ++m_idleCount;
    m_idleArmed = again;
    m_inIdle = false;
}

void CMessageLoop::OnAboutToBlock() {
    if (!m_idleArmed)
        return;
    RunIdleHandlers();
    // A handler that wants more gets another pass; a zero timer wakes the loop without re-arming.
    if (m_idleArmed)
        m_wake.start();
}
