#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

class QEvent;

// Runs when the event queue has emptied; returns true to be called again in the same idle period.
class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual bool OnIdle(int idleCount) = 0;
};

// Sees every event before its receiver; true consumes it.
class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual bool PreTranslateMessage(QObject* receiver, QEvent* event) = 0;
};

// The message loop of the UI thread: QApplication::exec with message filters (most recently added
// first) and idle handlers. Idle handlers run when the dispatcher is about to block for new events,
// while idle processing is armed; any event but mouse moves, paints and timers arms it again with
// the idle count back at 0. Construct it after the QApplication; one per process.
class CMessageLoop : public QObject {
    Q_OBJECT
public:
    CMessageLoop();
    ~CMessageLoop() override;

    // The loop of the UI thread, or null before one exists.
    static CMessageLoop* Current();

    void AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);
    void AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);

    // Runs the event loop until quit; returns its exit code.
    int Run();
    bool IsRunning() const { return m_running; }
    // Ends Run with the exit code. Does nothing while Run is not running: quitting Qt's loop then
    // would end every modal dialog that opens later at once.
    void PostQuit(int exitCode);
    // Runs one idle pass now, as the loop does when the queue empties (tests call it directly).
    void RunIdleHandlers();
    bool IsIdleArmed() const { return m_idleArmed; }
    // Whether an event of this type re-arms idle processing.
    static bool ArmsIdle(int eventType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnAboutToBlock();

    std::vector<CIdleHandler*> m_idleHandlers;
    std::vector<CMessageFilter*> m_filters;
    // Wakes the loop for another idle pass with a timer event, which does not re-arm idle processing.
    QTimer m_wake;
    bool m_idleArmed = true;
    bool m_inIdle = false;
    bool m_running = false;
    int m_idleCount = 0;
};
