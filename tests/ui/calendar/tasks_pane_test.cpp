#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"
#include "platform/qt/Controls.h"
#include "platform/qt/PropertySheet.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/calendar/VwTasks.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const CVwTasks& pane, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < pane.TaskList()->topLevelItemCount(); ++i)
        texts.push_back(pane.TaskList()->topLevelItem(i)->text(column).toStdString());
    return texts;
}

std::string ShortDate(int year, int month, int day) {
    return CDateTime(year, month, day).FormatDate(nullptr).c_str();
}

void SendMouse(CVwTasks& pane, int row, QEvent::Type type) {
    QTreeWidget* list = pane.TaskList();
    const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
    QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
}

void PressDelete(CVwTasks& pane) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(pane.TaskList(), &key);
}

class TasksPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetRegistry(&m_registry);
        // Today by the clock is 5 December 2026; the document shows 10 December.
        SetLocalTimeForTesting(SYSTEMTIME{2026, 12, 6, 5, 9, 30, 0, 0});
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Planner").c_str(), error));
        g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
        g_doc.m_currentTaskId = CString();
        m_pane = std::make_unique<CVwTasks>();
        m_pane->resize(330, 360);
        m_pane->show();
        QApplication::processEvents();
    }

    void TearDown() override {
        StopAnsweringModals();
        m_pane.reset();
        if (g_doc.IsOpen())
            g_db.Close();
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    static CString Insert(const char* desc, int priority, const CDateTime& due,
                          const CDateTime& done = CDateTime()) {
        CTask task;
        NewGuidString(task.m_ID);
        task.m_Desc = desc;
        task.m_Priority = priority;
        task.m_DateDue = due;
        task.m_DateDone = done;
        if (!done.IsValid())
            task.m_DateDone.SetNull();
        EXPECT_TRUE(g_doc.InsertTask(task));
        return task.m_ID;
    }

    void ShowDay(int year, int month, int day) {
        g_doc.SetCurrentDate(CDateTime(year, month, day));
        m_pane->OnUpdate();
    }

    MemoryRegistry m_registry;
    TempDir m_dir;
    std::unique_ptr<CVwTasks> m_pane;
};

TEST_F(TasksPaneTest, AddThroughTheSheetThenDoubleClickCompletes) {
    bool answered = false;
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<PropertySheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Add Task"));
        auto* desc = FindControl<QPlainTextEdit>(sheet, 1046);
        ASSERT_NE(desc, nullptr);
        desc->setPlainText(QStringLiteral("Renew the passport"));
        answered = true;
        sheet->OkButton()->click();
    });
    m_pane->OnCommand(CVwTasks::kAddTask);
    ASSERT_TRUE(answered);
    ASSERT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"Renew the passport"}));
    EXPECT_EQ(Texts(*m_pane, 1), (std::vector<std::string>{ShortDate(2026, 12, 10)}));
    EXPECT_EQ(m_pane->PriorityAt(0), kPriorityHigh);
    EXPECT_EQ(g_doc.m_listedTaskCount, 1);

    SendMouse(*m_pane, 0, QEvent::MouseButtonDblClick);
    EXPECT_EQ(m_pane->PriorityAt(0), kPriorityDone);
    SqlQuery row = g_db.ExecQuery("select Priority, DateDone, Desc from Task");
    ASSERT_FALSE(row.Eof());
    EXPECT_EQ(row.GetIntField(0), 3);
    // Done today by the clock, not on the shown day.
    EXPECT_STREQ(row.GetStringField(1), "2026-12-05 00:00:00");
    EXPECT_STREQ(row.GetStringField(2), "Renew the passport");
}

TEST_F(TasksPaneTest, DayListsOverdueCompletedAndFutureTasksByTheirRules) {
    Insert("Overdue open", kPriorityMedium, CDateTime(2026, 12, 1));
    Insert("Done on the third", kPriorityDone, CDateTime(2026, 12, 1), CDateTime(2026, 12, 3));
    Insert("Due today", kPriorityLow, CDateTime(2026, 12, 5));
    Insert("Future", kPriorityHigh, CDateTime(2026, 12, 8));

    ShowDay(2026, 12, 5);
    EXPECT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"Overdue open", "Due today"}));
    EXPECT_EQ(Texts(*m_pane, 1), (std::vector<std::string>{ShortDate(2026, 12, 1), ShortDate(2026, 12, 5)}));
    EXPECT_EQ(g_doc.m_listedTaskCount, 2);
    EXPECT_EQ(m_pane->CaptionText(), QStringLiteral("Tasks for Dec 5, 2026"));

    ShowDay(2026, 12, 3);
    EXPECT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"Done on the third"}));
    EXPECT_EQ(m_pane->PriorityAt(0), kPriorityDone);

    ShowDay(2026, 12, 8);
    EXPECT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"Future"}));

    g_doc.m_currentTaskId = CString("stale");
    ShowDay(2026, 12, 20);
    EXPECT_TRUE(Texts(*m_pane, 0).empty());
    EXPECT_EQ(g_doc.m_listedTaskCount, 0);
    EXPECT_EQ(m_pane->SelectedIndex(), -1);
    EXPECT_TRUE(g_doc.m_currentTaskId.IsEmpty());
}

TEST_F(TasksPaneTest, TwoPanesShowTheSameDayAndSeeAChangeBetweenTheirFills) {
    Insert("Overdue open", kPriorityMedium, CDateTime(2026, 12, 1));
    CVwTasks other;
    g_doc.SetCurrentDate(CDateTime(2026, 12, 5));
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(Texts(other, 0), Texts(*m_pane, 0));

    // A task stored without a notification still reaches the next fill of either pane.
    Insert("Due today", kPriorityLow, CDateTime(2026, 12, 5));
    other.OnUpdate();
    EXPECT_EQ(Texts(other, 0), (std::vector<std::string>{"Overdue open", "Due today"}));
    EXPECT_EQ(g_doc.m_listedTaskCount, 2);
    // Another day is read for itself.
    ShowDay(2026, 12, 1);
    EXPECT_TRUE(Texts(*m_pane, 0).empty());
    EXPECT_EQ(g_doc.m_listedTaskCount, 0);
}

TEST_F(TasksPaneTest, DeleteKeyActsOnlyAfterTheListHadAClickAndSelectsTheRowAbove) {
    for (const char* desc : {"A", "B", "C"})
        Insert(desc, kPriorityLow, CDateTime(2026, 12, 10));
    ShowDay(2026, 12, 10);
    ASSERT_EQ(m_pane->ListedCount(), 3);

    {
        // A pane whose list never had the focus or a click: a selection alone does not let the key act.
        CVwTasks unfocused;
        unfocused.OnUpdate();
        unfocused.TaskList()->setCurrentItem(unfocused.TaskList()->topLevelItem(2));
        EXPECT_EQ(unfocused.SelectedIndex(), 2);
        EXPECT_FALSE(unfocused.IsListFocused());
        PressDelete(unfocused);
        EXPECT_EQ(g_db.ExecScalar("select count(*) from Task"), 3);
    }
    ShowDay(2026, 12, 10);

    SendMouse(*m_pane, 2, QEvent::MouseButtonRelease);
    EXPECT_TRUE(m_pane->IsListFocused());
    PressDelete(*m_pane);
    EXPECT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(m_pane->SelectedIndex(), 1);
    EXPECT_EQ(g_doc.m_currentTaskId, m_pane->TaskIdAt(1));

    SendMouse(*m_pane, 0, QEvent::MouseButtonRelease);
    PressDelete(*m_pane);
    EXPECT_EQ(Texts(*m_pane, 0), (std::vector<std::string>{"B"}));
    EXPECT_EQ(m_pane->SelectedIndex(), 0);

    PressDelete(*m_pane);
    EXPECT_TRUE(Texts(*m_pane, 0).empty());
    EXPECT_EQ(m_pane->SelectedIndex(), -1);
    EXPECT_TRUE(g_doc.m_currentTaskId.IsEmpty());
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Task"), 0);
}

TEST_F(TasksPaneTest, ClickOutsideTheRowsClearsTheCurrentTask) {
    Insert("Only", kPriorityLow, CDateTime(2026, 12, 10));
    ShowDay(2026, 12, 10);
    SendMouse(*m_pane, 0, QEvent::MouseButtonRelease);
    EXPECT_FALSE(g_doc.m_currentTaskId.IsEmpty());
    m_pane->ClickRow(-1, false);
    EXPECT_TRUE(g_doc.m_currentTaskId.IsEmpty());
    EXPECT_EQ(m_pane->SelectedIndex(), -1);
    m_pane->OnIdle(0);
    EXPECT_FALSE(m_pane->UpdateState().UIIsEnabled(CVwTasks::kDeleteTask));
}

TEST_F(TasksPaneTest, ColumnsShareTheWidthFourSixthsToTheTask) {
    for (const int width : {330, 517, 800}) {
        m_pane->resize(width, 300);
        QApplication::processEvents();
        const int client = m_pane->TaskList()->viewport()->width();
        QHeaderView* header = m_pane->TaskList()->header();
        EXPECT_EQ(header->sectionSize(0), (client / 6) * 4);
        EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1), client);
    }
    EXPECT_EQ(m_pane->TaskList()->headerItem()->text(0), QStringLiteral("Task"));
    EXPECT_EQ(m_pane->TaskList()->headerItem()->text(1), QStringLiteral("Original Due Date"));
    EXPECT_EQ(m_pane->TaskList()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(ControlIdOf(m_pane->TaskList()), 1004);
}

TEST_F(TasksPaneTest, ToolbarTipsContextMenuAndEnableStates) {
    std::vector<std::string> tips;
    for (QAction* action : m_pane->ToolBar()->actions()) {
        tips.push_back(action->toolTip().toStdString());
        EXPECT_FALSE(action->icon().isNull());
    }
    EXPECT_EQ(tips, (std::vector<std::string>{" Add task", "Delete task", "Edit task", "Mark complete"}));
    EXPECT_EQ(m_pane->ContextMenu()->title(), QStringLiteral("&Tasks"));
    std::vector<std::string> items;
    for (QAction* action : m_pane->ContextMenu()->actions())
        items.push_back(action->text().toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{"&Add...", "&Delete", "&Edit...", "&Complete"}));

    Insert("Task", kPriorityLow, CDateTime(2026, 12, 10));
    ShowDay(2026, 12, 10);
    m_pane->OnIdle(0);
    EXPECT_TRUE(m_pane->UpdateState().UIIsEnabled(CVwTasks::kAddTask));
    EXPECT_FALSE(m_pane->UpdateState().UIIsEnabled(CVwTasks::kEditTask));
    SendMouse(*m_pane, 0, QEvent::MouseButtonRelease);
    m_pane->OnIdle(0);
    for (const int id : {CVwTasks::kDeleteTask, CVwTasks::kEditTask, CVwTasks::kCompleteTask})
        EXPECT_TRUE(m_pane->UpdateState().UIIsEnabled(id));
}

TEST_F(TasksPaneTest, EditOfASeriesAsksThroughThePaneAndBothViewsFollow) {
    CVwDaySplit standard(CVwDaySplit::Kind::Standard);
    CVwDaySplit dayPlan(CVwDaySplit::Kind::DayPlan);
    auto* inStandard = dynamic_cast<CVwTasks*>(standard.TasksPane());
    auto* inDayPlan = dynamic_cast<CVwTasks*>(dayPlan.TasksPane());
    ASSERT_NE(inStandard, nullptr);
    ASSERT_NE(inDayPlan, nullptr);

    CTaskEntry entry = CTaskSeries::ForAdd(CDateTime(2026, 12, 9));
    entry.desc = "Feed the cat";
    entry.recurring = true;
    entry.rule.SetDaily();
    entry.rule.SetEveryXDays();
    entry.rule.SetEveryXDayCount(1);
    entry.rule.SetEndAfterOccurences();
    entry.rule.SetEndOccurences(3);
    ASSERT_TRUE(CTaskSeries::Add(entry));
    ShowDay(2026, 12, 10);
    g_doc.UpdateAllViews(nullptr);

    // The sheet hands back the entry with a new text; the question about later days is answered No.
    inStandard->SetTaskSheet([](QWidget*, const QString& title, CTaskEntry& edited) {
        EXPECT_EQ(title, QStringLiteral("Edit Task"));
        edited.desc = "Feed the cat twice";
        return true;
    });
    ScriptedPrompt prompt;
    prompt.AnswerMessageBox(IDNO);
    SendMouse(*inStandard, 0, QEvent::MouseButtonRelease);
    inStandard->OnCommand(CVwTasks::kEditTask);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].owner, static_cast<WindowHandle>(inStandard));
    for (CVwTasks* pane : {inStandard, inDayPlan, m_pane.get()})
        EXPECT_EQ(Texts(*pane, 0), (std::vector<std::string>{"Feed the cat twice"}));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Task"), 3);
}

TEST_F(TasksPaneTest, StandardViewWithEveryPriority) {
    CVwDaySplit standard(CVwDaySplit::Kind::Standard);
    Insert("Pay the electricity bill", kPriorityHigh, CDateTime(2026, 12, 10));
    Insert("Book the dentist", kPriorityMedium, CDateTime(2026, 12, 10));
    Insert("Sort the photo albums", kPriorityLow, CDateTime(2026, 12, 10));
    Insert("Send the birthday card", kPriorityDone, CDateTime(2026, 12, 10), CDateTime(2026, 12, 5));
    g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
    g_doc.UpdateAllViews(nullptr);
    standard.resize(standard.sizeHint());
    standard.show();
    QApplication::processEvents();
    auto* pane = dynamic_cast<CVwTasks*>(standard.TasksPane());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->ListedCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pane->PriorityAt(i), i);
    EXPECT_FALSE(SaveScreenshot(&standard, QStringLiteral("tasks_standard_view")).isEmpty());
    EXPECT_FALSE(SaveScreenshot(pane, QStringLiteral("tasks_pane")).isEmpty());
}

} // namespace
