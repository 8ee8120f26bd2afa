#pragma once

#include <QObject>

#include <functional>

class QWidget;

// The help key over a control: F1 (on the focused control) and a What's-This click (on the clicked
// control) call onHelp with the nearest control carrying an id ("ctl<id>"); a handler that returns
// false leaves the event to default processing.
class ContextHelpFilter : public QObject {
public:
    using Handler = std::function<bool(QWidget* control)>;
    // Watches window and every child it has or gets.
    ContextHelpFilter(QWidget* window, Handler onHelp);

    // The nearest widget from w up to (and including) window whose object name carries an id; null
    // when w lies in another top-level window than window.
    static QWidget* ControlWithId(QWidget* w, const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* object);
    QWidget* m_window;
    Handler m_onHelp;
};
