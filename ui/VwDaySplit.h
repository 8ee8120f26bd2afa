#pragma once

#include "data/DocObserver.h"
#include "platform/qt/CommandTarget.h"

#include <QFrame>

#include <vector>

// A split view of planner panes: the standard view (calendar and compact phone book above,
// appointments and tasks below) or the day-plan view (calendar and appointments above, tasks below).
// It is attached to the document; its panes join it as they are built.
class CVwDaySplit : public QFrame, public CDocObserver, public CCommandTarget {
public:
    enum class Kind { Standard, DayPlan };

    explicit CVwDaySplit(Kind kind, QWidget* parent = nullptr);
    ~CVwDaySplit() override;

    Kind GetKind() const { return m_kind; }
    bool OnCommand(int id) override;
    std::vector<QWidget*> HelpPanes() const;

private:
    Kind m_kind;
};
