#pragma once

#include "data/DateTime.h"
#include "data/DocObserver.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/UpdateUI.h"
#include "ui/calendar/ApptSeries.h"
#include "ui/calendar/DayPlanner.h"
#include "ui/common/CaptionPane.h"

#include <functional>
#include <vector>

class QContextMenuEvent;
class QMenu;
class QTimer;
class QToolBar;
class CReminderDlg;

// The appointments pane: the document's current day in a day planner, with Add, Delete and Edit for
// single and recurring appointments, and a check every minute that reminds of the day's due alarms.
class CVwAppts : public CCaptionPane,
                 public CDocObserver,
                 public CCommandTarget,
                 public CIdleHandler,
                 public DayPlannerOwner {
public:
    enum : int { kIdPlanner = 1002, kAlarmMs = 60000 };
    enum Command : int { kAddAppt = 32797, kDeleteAppt = 32798, kEditAppt = 32799 };

    // Runs a reminder that the caller has filled in; answers IDOK when OK closed it.
    using ReminderRunner = std::function<int(CReminderDlg& dialog)>;

    explicit CVwAppts(QWidget* parent = nullptr);
    ~CVwAppts() override;

    void OnUpdate() override;
    void OnDocumentModified() override;
    bool OnCommand(int id) override;
    bool OnIdle(int idleCount) override;

    // Reads the current day's appointments into the planner.
    void Refresh();
    // "Appointments for %s" with the current date as "MMM d, yyyy".
    static QString CaptionFor(const CDateTime& date);
    void OnAdd();
    void OnDelete();
    void OnEdit();
    // The minute's alarm check at the local time now.
    void OnAlarmTimer();
    // Whether a reminder with this title is on screen.
    static bool ReminderShowing(const QString& title);

    void OnPlannerNotify(CDayPlannerCtrl& planner, int controlId, int code) override;
    int OnPlannerKeyToItem(CDayPlannerCtrl& planner, int virtualKey) override;
    void OnPlannerSetFocus(CDayPlannerCtrl& planner) override;

    // The seams the tests replace: the appointment sheet and the reminder's modal run.
    void SetSheetRunner(CApptSeries::SheetRunner runner) { m_sheetRunner = std::move(runner); }
    void SetReminderRunner(ReminderRunner runner) { m_reminderRunner = std::move(runner); }
    // The real sheet over the pane's window.
    bool RunSheet(const char* title, ApptSheetValues& values, CRecurItem& rule);

    CDayPlannerCtrl* Planner() const { return m_planner; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    QTimer* AlarmTimer() const { return m_alarmTimer; }
    const CUpdateUI& UpdateState() const { return m_updateUI; }
    bool IsPlannerFocused() const { return m_plannerFocused; }
    void NotePlannerFocused() { m_plannerFocused = true; }
    int SelectedIndex() const { return m_selectedIndex; }
    // The ID of the planner's item at index; empty when out of range.
    CString ItemId(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommands();
    void ShowCaption();
    void UpdateCommandStates();
    void SelectFromPlanner(bool emptyWhenNone);
    // Where the context menu opens: at the mouse, or at the selected block for the Menu key.
    QPoint ContextMenuPoint(const QContextMenuEvent& event);

    CDayPlannerCtrl* m_planner;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QTimer* m_alarmTimer = nullptr;
    CUpdateUI m_updateUI;
    // The IDs of the planner's items, by item index.
    std::vector<CString> m_itemIds;
    int m_selectedIndex = -1;
    bool m_plannerFocused = false;
    CApptSeries::SheetRunner m_sheetRunner;
    ReminderRunner m_reminderRunner;
};
