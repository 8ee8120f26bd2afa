#pragma once

#include "data/DocObserver.h"
#include "platform/qt/CommandTarget.h"

#include <QFrame>

#include <vector>

class CCaptionPane;
class CVwCalendar;
class QSplitter;

// A split view of planner panes in two rows: the standard view (calendar and compact telephone book
// above, appointments and tasks below) or the day-plan view (calendar and appointments above, tasks
// below under the appointments). The panes follow the document's current date through its
// notifications and never call each other. Commands the frame routes to the view go to its panes;
// commands from the panes go up to the frame, except one the frame is routing down at the time.
class CVwDaySplit : public QFrame, public CDocObserver, public CCommandTarget {
public:
    enum class Kind { Standard, DayPlan };

    explicit CVwDaySplit(Kind kind, QWidget* parent = nullptr);
    ~CVwDaySplit() override;

    Kind GetKind() const { return m_kind; }
    // A command routed from the frame: offered to every pane that handles commands.
    bool OnCommand(int id) override;
    // A command from one of the panes, for the frame; false when it is the one being routed down.
    bool PassToFrame(int id);
    // The split view holding child (nearest ancestor), or null.
    static CVwDaySplit* Of(const QWidget* child);
    // The panes that take a context-help click, in the order they are tested.
    std::vector<QWidget*> HelpPanes() const;

    QSize sizeHint() const override { return m_builtSize; }

    QSplitter* OuterSplitter() const { return m_outer; }
    QSplitter* TopSplitter() const { return m_top; }
    QSplitter* BottomSplitter() const { return m_bottom; }
    CVwCalendar* CalendarPane() const { return m_calendar; }
    // The standard view's compact telephone book; null in the day-plan view.
    QWidget* PhoneBookPane() const { return m_phoneBook; }
    QWidget* ApptsPane() const { return m_appts; }
    QWidget* TasksPane() const { return m_tasks; }

private:
    // Splitters and panes in their order of creation, then the sizes from the panes' built sizes.
    void BuildPanes();
    void SizeFromPanes();

    Kind m_kind;
    QSplitter* m_outer = nullptr;
    QSplitter* m_top = nullptr;
    QSplitter* m_bottom = nullptr;
    CVwCalendar* m_calendar = nullptr;
    QWidget* m_phoneBook = nullptr;
    QWidget* m_appts = nullptr;
    QWidget* m_tasks = nullptr;
    // The day-plan view's empty bottom-left place.
    QWidget* m_emptyPane = nullptr;
    QSize m_builtSize;
    // Commands the frame is routing through the view right now (nested routings stack).
    std::vector<int> m_routed;
};
