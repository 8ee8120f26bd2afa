#pragma once

#include "data/DocObserver.h"
#include "platform/core/CString.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/UpdateUI.h"
#include "ui/calendar/TaskSeries.h"
#include "ui/common/CaptionPane.h"

#include <QIcon>

#include <functional>

class QEvent;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// Runs the "Task Options" sheet modally over owner with the title; on OK entry holds what the user
// set. False when cancelled.
bool RunTaskSheet(QWidget* owner, const QString& title, CTaskEntry& entry);

// The tasks pane: the tasks of the document's current date with their priority icons and original
// due dates, and the Add, Delete, Edit and Complete commands on its toolbar and context menu.
class CVwTasks : public CCaptionPane, public CDocObserver, public CCommandTarget, public CIdleHandler {
public:
    enum ControlId : int { kIdTaskList = 1004 };
    enum Command : int { kAddTask = 32790, kDeleteTask = 32791, kEditTask = 32792, kCompleteTask = 32793 };
    enum Column : int { kTaskColumn = 0, kDueColumn = 1 };

    using TaskSheet = std::function<bool(QWidget*, const QString&, CTaskEntry&)>;

    explicit CVwTasks(QWidget* parent = nullptr);
    ~CVwTasks() override;

    void OnUpdate() override;
    void OnDocumentModified() override;
    bool OnCommand(int id) override;
    bool OnIdle(int idleCount) override;

    // Reads the tasks of the current date and selects the current task.
    void FillList();
    void OnAddTask();
    void OnDeleteTask();
    void OnEditTask();
    void CompleteTask();
    // A click (or double click) on the row at index, -1 for none.
    void ClickRow(int index, bool doubleClick);

    void NoteListFocused() { m_listFocused = true; }
    bool IsListFocused() const { return m_listFocused; }
    int SelectedIndex() const { return m_selectedIndex; }
    int ListedCount() const;
    CString TaskIdAt(int index) const;
    // The priority image a row shows.
    int PriorityAt(int index) const;

    static QIcon PriorityIcon(int priority);

    void SetTaskSheet(TaskSheet sheet) { m_taskSheet = std::move(sheet); }
    const CUpdateUI& UpdateState() const { return m_updateUI; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QTreeWidget* TaskList() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommands();
    void InitList();
    void SizeColumns();
    void SetCaption();
    void OnSelectionChanged(int index);

    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QTreeWidget* m_list = nullptr;
    CUpdateUI m_updateUI;
    TaskSheet m_taskSheet = RunTaskSheet;
    int m_selectedIndex = -1;
    bool m_listFocused = false;
    bool m_filling = false;
};
