#include "ui/calendar/VwTasks.h"

#include "data/DbDoc.h"
#include "platform/qt/Controls.h"
#include "ui/calendar/TaskSheet.h"
#include "ui/common/PaneCommands.h"
#include "ui/common/SharedRead.h"
#include "ui/common/SheetParts.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr QSize kTemplateSize(330, 360);
constexpr int kIdRole = Qt::UserRole;
constexpr int kPriorityRole = Qt::UserRole + 1;

struct CommandText {
    int id;
    const char* menuText;
    const char* statusText;
    const char* tip;
    const char* image;
};

const CommandText kCommands[] = {
    {CVwTasks::kAddTask, "&Add...", "Add a new task", " Add task", "task-add"},
    {CVwTasks::kDeleteTask, "&Delete", "Delete selected task", "Delete task", "task-delete"},
    {CVwTasks::kEditTask, "&Edit...", "Edit selected task", "Edit task", "task-edit"},
    {CVwTasks::kCompleteTask, "&Complete", "Mark selected task completed", "Mark complete", "task-complete"},
};

const char* const kPriorityImages[] = {"priority-high", "priority-medium", "priority-low", "priority-done"};

// The tasks of one day as listed on one day: the list depends on today's date as well.
struct TasksKey {
    std::string day;
    std::string today;
    bool operator==(const TasksKey&) const = default;
};

std::string TodayText() {
    CDateTime today = CDateTime::GetCurrentTime();
    today.SetTime(0, 0, 0);
    return today.Format("%Y-%m-%d %H:%M:%S").str();
}

// The standard and day-plan views' panes refill on the same notification; the second takes the
// first one's tasks.
SharedRead<TasksKey, std::vector<CTask>>& SharedTasks() {
    static SharedRead<TasksKey, std::vector<CTask>> shared;
    return shared;
}

std::shared_ptr<const std::vector<CTask>> ReadTasksForDay(const CString& day) {
    const TasksKey key{day.str(), TodayText()};
    if (std::shared_ptr<const std::vector<CTask>> tasks = SharedTasks().Find(key))
        return tasks;
    auto tasks = std::make_shared<std::vector<CTask>>();
    // A failed read has told the user and is not passed on; neither is one that midnight overtook.
    if (g_doc.GetTasksForDay(day, *tasks) && TodayText() == key.today)
        SharedTasks().Store(key, tasks);
    return tasks;
}

// The picture drawn at 16 pixels and at twice that for high-density screens.
QIcon SvgIcon(const char* name) {
    QSvgRenderer renderer(QStringLiteral(":/tasks/%1.svg").arg(QString::fromLatin1(name)));
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QString ToQt(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

CString FromQt(const QString& text) {
    return CString(text.toUtf8().constData());
}

} // namespace

bool RunTaskSheet(QWidget* owner, const QString& title, CTaskEntry& entry) {
    CTaskOptionsSheet sheet(owner);
    sheet.setWindowTitle(title);
    sheet.m_page.m_desc = entry.desc;
    sheet.m_page.m_priority = entry.priority;
    sheet.m_page.m_dateDue = entry.dateDue;
    sheet.m_page.m_recurring = entry.recurring ? 1 : 0;
    sheet.SetRule(&entry.rule);
    if (sheet.DoModal(owner) != IDOK)
        return false;
    entry.desc = sheet.m_page.m_desc;
    entry.priority = sheet.m_page.m_priority;
    entry.dateDue = sheet.m_page.m_dateDue;
    entry.recurring = sheet.m_page.m_recurring != 0;
    return true;
}

QIcon CVwTasks::PriorityIcon(int priority) {
    static const std::vector<QIcon> icons = [] {
        std::vector<QIcon> made;
        for (const char* name : kPriorityImages)
            made.push_back(SvgIcon(name));
        return made;
    }();
    return icons[static_cast<size_t>(std::clamp(priority, 0, 3))];
}

CVwTasks::CVwTasks(QWidget* parent) : CCaptionPane(QStringLiteral("Tasks"), kTemplateSize, parent) {
    setObjectName(QStringLiteral("CVwTasks"));
    Attach(&g_doc);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar209"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setIconSize(QSize(16, 16));
    Body()->addWidget(m_toolBar);
    m_contextMenu = new QMenu(QStringLiteral("&Tasks"), this);
    BuildCommands();

    m_list = new QTreeWidget(this);
    SetControlId(m_list, kIdTaskList);
    Body()->addWidget(m_list, 1);
    InitList();

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (m_filling)
            return;
        const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
        OnSelectionChanged(selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first()));
    });
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);

    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->AddIdleHandler(this);
    SetCaption();
}

CVwTasks::~CVwTasks() {
    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->RemoveIdleHandler(this);
    Detach();
}

void CVwTasks::BuildCommands() {
    for (const CommandText& command : kCommands) {
        const QIcon icon = SvgIcon(command.image);
        const PaneCommandActions actions = AddPaneCommand(
            this, m_toolBar, m_contextMenu, m_updateUI, command.id, QString::fromUtf8(command.tip).trimmed(),
            QString::fromUtf8(command.menuText), [this](int id) { OnCommand(id); });
        actions.tool->setToolTip(QString::fromUtf8(command.tip));
        for (QAction* action : {actions.tool, actions.item}) {
            action->setIcon(icon);
            action->setStatusTip(QString::fromUtf8(command.statusText));
        }
    }
}

void CVwTasks::InitList() {
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Task"), QStringLiteral("Original Due Date")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setIconSize(QSize(16, 16));
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CVwTasks::SizeColumns() {
    // "Task" takes four sixths of the list's width, "Original Due Date" the rest.
    const int width = m_list->viewport()->width();
    const int task = (width / 6) * 4;
    m_list->header()->resizeSection(kTaskColumn, task);
    m_list->header()->resizeSection(kDueColumn, width - task);
}

void CVwTasks::SetCaption() {
    const CString day = g_doc.GetCurrentDate().FormatDate("MMM d, yyyy");
    setWindowTitle(QStringLiteral("Tasks for %1").arg(ToQt(day)));
}

void CVwTasks::OnDocumentModified() {
    OnUpdate();
}

void CVwTasks::OnUpdate() {
    FillList();
    SetCaption();
    OnIdle(0);
}

void CVwTasks::FillList() {
    m_filling = true;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    m_selectedIndex = -1;

    CDateTime day = g_doc.GetCurrentDate();
    day.SetTime(0, 0, 0);
    std::shared_ptr<const std::vector<CTask>> tasks;
    if (g_doc.IsOpen())
        tasks = ReadTasksForDay(day.Format("%Y-%m-%d %H:%M:%S"));
    g_doc.m_listedTaskCount = tasks ? static_cast<int>(tasks->size()) : 0;
    // The rows go into the list in one insertion: one at a time, each would be laid out anew.
    static const std::vector<CTask> kNone;
    QList<QTreeWidgetItem*> items;
    for (const CTask& task : tasks ? *tasks : kNone) {
        auto* item = new QTreeWidgetItem({ToQt(task.m_Desc), ToQt(task.m_DateDue.FormatDate(nullptr))});
        item->setIcon(kTaskColumn, PriorityIcon(task.m_Priority));
        item->setData(kTaskColumn, kIdRole, ToQt(task.m_ID));
        item->setData(kTaskColumn, kPriorityRole, task.m_Priority);
        item->setToolTip(kTaskColumn, item->text(kTaskColumn));
        if (m_selectedIndex == -1 && task.m_ID == g_doc.m_currentTaskId)
            m_selectedIndex = static_cast<int>(items.size());
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (m_selectedIndex != -1) {
        QTreeWidgetItem* item = m_list->topLevelItem(m_selectedIndex);
        m_list->setCurrentItem(item);
        item->setSelected(true);
        m_list->scrollToItem(item);
    } else {
        g_doc.m_currentTaskId = CString();
    }
    m_list->setUpdatesEnabled(true);
    m_filling = false;
}

void CVwTasks::OnSelectionChanged(int index) {
    m_selectedIndex = index;
    g_doc.m_currentTaskId = TaskIdAt(index);
}

void CVwTasks::ClickRow(int index, bool doubleClick) {
    NoteListFocused();
    if (index < 0 || index >= ListedCount()) {
        m_filling = true;
        m_list->clearSelection();
        m_filling = false;
        OnSelectionChanged(-1);
        return;
    }
    if (QTreeWidgetItem* item = m_list->topLevelItem(index); !item->isSelected()) {
        m_filling = true;
        m_list->setCurrentItem(item);
        item->setSelected(true);
        m_filling = false;
    }
    OnSelectionChanged(index);
    if (doubleClick)
        CompleteTask();
}

int CVwTasks::ListedCount() const {
    return m_list->topLevelItemCount();
}

CString CVwTasks::TaskIdAt(int index) const {
    const QTreeWidgetItem* item = index >= 0 ? m_list->topLevelItem(index) : nullptr;
    return item ? FromQt(item->data(kTaskColumn, kIdRole).toString()) : CString();
}

int CVwTasks::PriorityAt(int index) const {
    const QTreeWidgetItem* item = index >= 0 ? m_list->topLevelItem(index) : nullptr;
    return item ? item->data(kTaskColumn, kPriorityRole).toInt() : -1;
}

bool CVwTasks::OnCommand(int id) {
    switch (id) {
    case kAddTask:
        OnAddTask();
        return true;
    case kDeleteTask:
        OnDeleteTask();
        return true;
    case kEditTask:
        OnEditTask();
        return true;
    case kCompleteTask:
        if (m_listFocused && m_selectedIndex != -1)
            CompleteTask();
        return true;
    default:
        return false;
    }
}

bool CVwTasks::OnIdle(int) {
    const bool task = !g_doc.m_currentTaskId.IsEmpty() && m_listFocused;
    m_updateUI.UIEnable(kAddTask, g_doc.IsOpen());
    m_updateUI.UIEnable(kDeleteTask, task);
    m_updateUI.UIEnable(kEditTask, task);
    m_updateUI.UIEnable(kCompleteTask, task);
    m_updateUI.UIUpdateToolBar();
    m_updateUI.UIUpdateMenuBar();
    return false;
}

void CVwTasks::OnAddTask() {
    if (!g_doc.IsOpen())
        return;
    CTaskEntry entry = CTaskSeries::ForAdd(g_doc.GetCurrentDate());
    if (!m_taskSheet(QApplication::activeWindow(), QStringLiteral("Add Task"), entry))
        return;
    if (CTaskSeries::Add(entry))
        g_doc.SetModifiedFlag(true, true);
}

void CVwTasks::OnDeleteTask() {
    if (!m_listFocused || m_selectedIndex == -1)
        return;
    if (!CTaskSeries::Delete(TaskIdAt(m_selectedIndex)))
        return;
    m_list->setUpdatesEnabled(false);
    // The list's own choice of a new current row is not the user's.
    m_filling = true;
    delete m_list->takeTopLevelItem(m_selectedIndex);
    m_filling = false;
    if (ListedCount() > 0) {
        m_selectedIndex = std::max(m_selectedIndex - 1, 0);
        g_doc.m_currentTaskId = TaskIdAt(m_selectedIndex);
    } else {
        m_selectedIndex = -1;
        g_doc.m_currentTaskId = CString();
    }
    g_doc.SetModifiedFlag(true, true);
    m_list->setUpdatesEnabled(true);
}

void CVwTasks::OnEditTask() {
    if (!m_listFocused || g_doc.m_currentTaskId.IsEmpty())
        return;
    CTask task;
    CTaskEntry entry;
    // A task that cannot be read is not edited: its row would be replaced by an empty one.
    if (!CTaskSeries::BeginEdit(g_doc.m_currentTaskId, task, entry))
        return;
    if (!m_taskSheet(QApplication::activeWindow(), QStringLiteral("Edit Task"), entry))
        return;
    if (CTaskSeries::Edit(task, entry, this))
        g_doc.SetModifiedFlag(true, true);
}

void CVwTasks::CompleteTask() {
    if (g_doc.m_currentTaskId.IsEmpty() || !CTaskSeries::Complete(g_doc.m_currentTaskId))
        return;
    if (QTreeWidgetItem* item = m_list->topLevelItem(m_selectedIndex)) {
        item->setIcon(kTaskColumn, PriorityIcon(kPriorityDone));
        item->setData(kTaskColumn, kPriorityRole, kPriorityDone);
    }
    g_doc.SetModifiedFlag(true, true);
}

bool CVwTasks::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_list && watched != m_list->viewport())
        return CCaptionPane::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == m_list->viewport())
            SizeColumns();
        break;
    case QEvent::FocusIn:
        NoteListFocused();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_list->viewport()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex hit = m_list->indexAt(mouse->position().toPoint());
            ClickRow(hit.isValid() ? hit.row() : -1, false);
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_list->viewport()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex hit = m_list->indexAt(mouse->position().toPoint());
            ClickRow(hit.isValid() ? hit.row() : -1, hit.isValid());
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && m_listFocused &&
            m_selectedIndex != -1) {
            OnCommand(kDeleteTask);
            return true;
        }
        break;
    case QEvent::ContextMenu:
        if (watched == m_list || watched == m_list->viewport()) {
            OnIdle(0);
            m_contextMenu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        break;
    default:
        break;
    }
    return CCaptionPane::eventFilter(watched, event);
}
