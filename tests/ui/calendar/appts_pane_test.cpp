#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "platform/core/Prompt.h"
#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"
#include "platform/qt/ChromeColors.h"
#include "platform/qt/Controls.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "tests/ui/calendar/untouched_times.h"
#include "ui/calendar/ApptSheet.h"
#include "ui/calendar/ReminderDlg.h"
#include "ui/calendar/VwAppts.h"
#include "ui/calendar/VwCalendar.h"
#include "ui/calendar/VwDaySplit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSoundEffect>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kInternational = "Control Panel\\International";

SYSTEMTIME At(int day, int hour, int minute) {
    return SYSTEMTIME{
        2026, 12, 0, static_cast<uint16_t>(day), static_cast<uint16_t>(hour), static_cast<uint16_t>(minute),
        0,    0};
}

class ApptsPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetRegistry(&m_registry);
        m_registry.CreateKey(kInternational);
        m_registry.WriteString(kInternational, "sLongDate", "dddd, MMMM d, yyyy");
        m_registry.WriteString(kInternational, "sShortDate", "MM/dd/yyyy");
        SetLocalTimeForTesting(At(10, 8, 0));
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Planner").c_str(), error));
        g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
        g_doc.m_audibleAlarm = false;
        m_standard = std::make_unique<CVwDaySplit>(CVwDaySplit::Kind::Standard);
        m_dayPlan = std::make_unique<CVwDaySplit>(CVwDaySplit::Kind::DayPlan);
        m_prompt.emplace();
    }

    void TearDown() override {
        StopAnsweringModals();
        CReminderDlg::OverrideRepeatMs(std::nullopt);
        CReminderDlg::OverrideSoundOutput(std::nullopt);
        m_prompt.reset();
        m_standard.reset();
        m_dayPlan.reset();
        if (g_doc.IsOpen())
            g_db.Close();
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    CVwAppts& Pane(CVwDaySplit& view) { return *static_cast<CVwAppts*>(view.ApptsPane()); }
    CVwAppts& Standard() { return Pane(*m_standard); }
    CVwAppts& DayPlan() { return Pane(*m_dayPlan); }

    // A plain appointment on a day of December 2026; returns its ID.
    CString Insert(int day, int hour, int minute, int length, const char* desc, bool alarm = false,
                   int alarmHour = -1, int alarmMinute = 0) {
        CAppt appt;
        NewGuidString(appt.m_ID);
        appt.m_Desc = desc;
        appt.m_DateDue = CDateTime(2026, 12, day);
        appt.m_StartTime = CDateTime(2026, 12, day, hour, minute, 0);
        appt.m_EndTime = appt.m_StartTime;
        appt.m_EndTime += CDateTimeSpan(0, 0, length, 0);
        appt.m_Alarm = alarm;
        appt.m_AlarmTime =
            alarmHour < 0 ? appt.m_StartTime : CDateTime(2026, 12, day, alarmHour, alarmMinute, 0);
        EXPECT_TRUE(g_doc.InsertAppt(appt));
        return appt.m_ID;
    }

    static std::vector<std::string> Texts(CVwAppts& pane) {
        std::vector<std::string> texts;
        for (int i = 0; i < pane.Planner()->GetItemCount(); ++i) {
            DayPlannerItem item;
            pane.Planner()->GetItem(i, &item);
            texts.push_back(item.text.c_str());
        }
        return texts;
    }

    static void ShowAndPaint(QWidget* widget) {
        widget->resize(widget->sizeHint());
        widget->show();
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        (void)widget->grab();
    }

    // Reloads the views and shows the window active, so that it takes key presses.
    static bool ShowActive(QWidget* window) {
        g_doc.UpdateAllViews(nullptr);
        ShowAndPaint(window);
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    // Clicks the planner's block of the item, as the user selects an appointment.
    static void ClickItem(CVwAppts& pane, int item, bool twice = false) {
        CDayPlannerCtrl* planner = pane.Planner();
        QPoint at;
        for (const auto& block : planner->GetBlocks())
            if (block.item == item)
                at = {(block.rect.left + block.rect.right) / 2, block.rect.top + 3 - planner->ScrollOffset()};
        QWidget* viewport = planner->PaneViewport();
        auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        if (twice) {
            send(QEvent::MouseButtonDblClick, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, Qt::NoButton);
        }
    }

    MemoryRegistry m_registry;
    TempDir m_dir;
    std::optional<ScriptedPrompt> m_prompt;
    std::unique_ptr<CVwDaySplit> m_standard;
    std::unique_ptr<CVwDaySplit> m_dayPlan;
};

TEST_F(ApptsPaneTest, BothViewsShowTheCurrentDaysAppointmentsInOrder) {
    Insert(10, 14, 0, 60, "Dentist", true);
    Insert(10, 9, 0, 30, "Standup");
    Insert(11, 9, 0, 30, "Tomorrow");
    g_doc.UpdateAllViews(nullptr);
    for (CVwAppts* pane : {&Standard(), &DayPlan()}) {
        EXPECT_EQ(Texts(*pane), (std::vector<std::string>{"Standup", "Dentist"}));
        EXPECT_EQ(pane->windowTitle(), "Appointments for Dec 10, 2026");
        EXPECT_EQ(pane->CaptionText(), "Appointments for Dec 10, 2026");
        DayPlannerItem item;
        ASSERT_TRUE(pane->Planner()->GetItem(1, &item));
        EXPECT_EQ(item.icon, 1);
        EXPECT_EQ(item.textColor, MakeColorRef(255, 0, 0));
        EXPECT_EQ(item.minutes, 60);
        EXPECT_EQ(item.start.wHour, 14);
        EXPECT_EQ(item.detail, "Dentist");
        ASSERT_TRUE(pane->Planner()->GetItem(0, &item));
        EXPECT_EQ(item.icon, 0);
        EXPECT_EQ(item.minutes, 30);
    }
    EXPECT_EQ(g_doc.m_listedApptCount, 2);
    EXPECT_TRUE(g_doc.m_currentApptId.IsEmpty());

    // Another day chosen on the calendar: both panes follow.
    m_standard->CalendarPane()->OnSelectionChange(2026, 12, 11);
    for (CVwAppts* pane : {&Standard(), &DayPlan()}) {
        EXPECT_EQ(Texts(*pane), (std::vector<std::string>{"Tomorrow"}));
        EXPECT_EQ(pane->windowTitle(), "Appointments for Dec 11, 2026");
    }
    EXPECT_EQ(g_doc.m_listedApptCount, 1);
}

TEST_F(ApptsPaneTest, CommandStatesFollowTheSelectionInTheFocusedPlanner) {
    Insert(10, 9, 0, 60, "Standup");
    g_doc.UpdateAllViews(nullptr);
    CVwAppts& pane = Standard();
    ShowAndPaint(m_standard.get());
    pane.OnIdle(0);
    EXPECT_TRUE(pane.UpdateState().UIIsEnabled(CVwAppts::kAddAppt));
    EXPECT_FALSE(pane.UpdateState().UIIsEnabled(CVwAppts::kDeleteAppt));
    EXPECT_FALSE(pane.UpdateState().UIIsEnabled(CVwAppts::kEditAppt));
    ClickItem(pane, 0);
    EXPECT_TRUE(pane.IsPlannerFocused());
    EXPECT_EQ(pane.SelectedIndex(), 0);
    EXPECT_EQ(g_doc.m_currentApptId, pane.ItemId(0));
    pane.OnIdle(0);
    EXPECT_TRUE(pane.UpdateState().UIIsEnabled(CVwAppts::kDeleteAppt));
    EXPECT_TRUE(pane.UpdateState().UIIsEnabled(CVwAppts::kEditAppt));

    std::vector<QString> tools, tips;
    for (QAction* action : pane.ToolBar()->actions()) {
        tools.push_back(action->text());
        tips.push_back(action->toolTip());
    }
    EXPECT_EQ(tools, (std::vector<QString>{"Add", "Delete", "Edit"}));
    EXPECT_EQ(tips, (std::vector<QString>{" Add appointment", "Delete appointment", "Edit appointment"}));
    std::vector<QString> items;
    for (QAction* action : pane.ContextMenu()->actions())
        items.push_back(action->text());
    EXPECT_EQ(items, (std::vector<QString>{"&Add...", "&Delete", "&Edit..."}));
    EXPECT_EQ(pane.ContextMenu()->title(), "&Appointments");
}

// Tab to the planner and Down to an appointment: Edit and Delete are enabled on the toolbar and in
// the context menu the Menu key opens, exactly as after a click on the block.
TEST_F(ApptsPaneTest, KeyboardSelectionMakesTheAppointmentCurrentAsAClickDoes) {
    Insert(10, 2, 0, 60, "Early train");
    Insert(10, 4, 0, 30, "Standup");
    CVwAppts& pane = Standard();
    QWidget* window = m_standard.get();
    ASSERT_TRUE(ShowActive(window));
    QAction* edit = pane.ToolBar()->actions().at(2);
    QAction* remove = pane.ToolBar()->actions().at(1);
    pane.OnIdle(0);
    EXPECT_FALSE(edit->isEnabled());

    // Tab from the calendar until the planner has the keyboard.
    for (int i = 0; i < 12 && QApplication::focusWidget() != pane.Planner(); ++i)
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), pane.Planner());
    for (int hour = 1; hour <= 4; ++hour)
        QTest::keyClick(window->windowHandle(), Qt::Key_Down);
    EXPECT_EQ(pane.Planner()->GetDate().wHour, 4);
    EXPECT_EQ(pane.SelectedIndex(), 1);
    EXPECT_EQ(g_doc.m_currentApptId, pane.ItemId(1));
    pane.OnIdle(0);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(remove->isEnabled());

    // The Menu key opens the pane's menu with both commands on.
    std::vector<bool> menuStates;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activePopupWidget() != pane.ContextMenu())
            return;
        for (QAction* action : pane.ContextMenu()->actions())
            menuStates.push_back(action->isEnabled());
        pane.ContextMenu()->close();
    });
    poll.start();
    // On X11 the window system turns the Menu key into a keyboard context-menu request for the
    // widget with the focus; the offscreen platform does not, so the test sends that request.
    QTest::keyClick(window->windowHandle(), Qt::Key_Menu);
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(QApplication::focusWidget(), &request);
    poll.stop();
    EXPECT_EQ(menuStates, (std::vector<bool>{true, true, true}));

    // Enter edits it, as a double click does; an hour without an appointment selects nothing.
    std::vector<std::string> edited;
    pane.SetSheetRunner([&](const char*, ApptSheetValues& values, CRecurItem&) {
        edited.push_back(values.desc.c_str());
        return false;
    });
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(edited, (std::vector<std::string>{"Standup"}));
    QTest::keyClick(window->windowHandle(), Qt::Key_Down);
    EXPECT_EQ(pane.SelectedIndex(), -1);
    EXPECT_TRUE(g_doc.m_currentApptId.IsEmpty());
    pane.OnIdle(0);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
}

// Short appointments next to each other in the pane: each block shows a line of its text, and Down
// then Up walk every appointment in start order, the pane's current appointment following the keys
// so that Enter edits the one the keys chose.
TEST_F(ApptsPaneTest, TheKeysWalkEveryShortAppointmentAndThePaneFollows) {
    const std::vector<CString> ids = {Insert(10, 10, 30, 15, "Parcel"), Insert(10, 10, 45, 15, "Call back"),
                                      Insert(10, 10, 50, 5, "Tea"), Insert(10, 11, 0, 60, "Lunch"),
                                      Insert(10, 11, 0, 15, "Order flowers")};
    CVwAppts& pane = Standard();
    QWidget* window = m_standard.get();
    ASSERT_TRUE(ShowActive(window));
    pane.Planner()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), pane.Planner());

    const int line = QFontMetrics(pane.Planner()->font()).height() + 2;
    const auto& blocks = pane.Planner()->GetBlocks();
    ASSERT_EQ(blocks.size(), ids.size());
    for (const DayPlannerBlock& block : blocks)
        EXPECT_GE(block.rect.Height() + 1, line) << Texts(pane)[static_cast<size_t>(block.item)];

    std::vector<std::string> edited;
    pane.SetSheetRunner([&](const char*, ApptSheetValues& values, CRecurItem&) {
        edited.push_back(values.desc.c_str());
        return false;
    });
    // The pane lists the day by start time: the walk goes through its items in that order.
    std::vector<CString> listed;
    for (int i = 0; i < pane.Planner()->GetItemCount(); ++i)
        listed.push_back(pane.ItemId(i));
    ASSERT_EQ(std::set<CString>(listed.begin(), listed.end()), std::set<CString>(ids.begin(), ids.end()));
    for (const auto key : {Qt::Key_Down, Qt::Key_Up}) {
        std::vector<CString> visited;
        for (int press = 0; press < 30; ++press) {
            QTest::keyClick(window->windowHandle(), key);
            const int selected = pane.SelectedIndex();
            EXPECT_EQ(selected, pane.Planner()->GetSelectedIndex());
            EXPECT_EQ(g_doc.m_currentApptId, selected < 0 ? CString() : pane.ItemId(selected));
            if (selected >= 0 && (visited.empty() || visited.back() != g_doc.m_currentApptId))
                visited.push_back(g_doc.m_currentApptId);
        }
        std::vector<CString> expected = listed;
        if (key == Qt::Key_Up)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(visited, expected);
    }
    // Down to "Call back", and Enter edits it.
    for (int press = 0; press < 30 && g_doc.m_currentApptId != ids[1]; ++press)
        QTest::keyClick(window->windowHandle(), Qt::Key_Down);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(edited, (std::vector<std::string>{"Call back"}));
    QApplication::processEvents();
    EXPECT_FALSE(SaveScreenshot(window, QStringLiteral("appts_pane_short_appointments")).isEmpty());
}

// The standard view under a dark scheme, with a quarter-hour appointment: each block's text and the
// ruler's digits read on what is drawn behind them.
TEST_F(ApptsPaneTest, DarkPaletteKeepsThePlannersTextsReadable) {
    const QPalette saved = QApplication::palette();
    const QPalette dark = DarkTestPalette();
    QApplication::setPalette(dark);
    Insert(10, 9, 0, 60, "Team meeting", true);
    Insert(10, 9, 30, 15, "Parcel");
    g_doc.UpdateAllViews(nullptr);
    CVwAppts& pane = Standard();
    ShowAndPaint(m_standard.get());
    pane.Planner()->SetDate(At(10, 8, 0));
    pane.Planner()->resize(pane.Planner()->size() + QSize(0, 1)); // scrolls 8:00 to the top
    QApplication::processEvents();
    CDayPlannerCtrl* planner = pane.Planner();
    const QImage image = planner->grab().toImage();
    const int top = planner->PaneViewport()->mapTo(planner, QPoint(0, 0)).y() - planner->ScrollOffset();
    const QRgb back = dark.color(QPalette::Inactive, QPalette::Highlight).rgb();
    for (const DayPlannerBlock& block : planner->GetBlocks()) {
        const QRect area(block.rect.left + 18, top + block.rect.top + 1, block.rect.Width() - 24,
                         block.rect.Height() - 2);
        EXPECT_GE(StrongestContrast(image, area, back), 3.0) << "text of block " << block.item;
    }
    const auto& metrics = planner->GetMetrics();
    const QRgb ruler = planner->palette().color(QPalette::ToolTipBase).rgb();
    EXPECT_GE(StrongestContrast(
                  image,
                  QRect(3, top + 9 * metrics.hourHeight + 3, metrics.rulerWidth - 8, metrics.hourHeight - 8),
                  ruler),
              4.5)
        << "hour digits";
    SaveScreenshot(m_standard.get(), QStringLiteral("standard_view_dark_palette"));
    QApplication::setPalette(saved);
}

TEST_F(ApptsPaneTest, EachPaneRunsItsOwnMinuteTimerAndPlanner) {
    for (CVwAppts* pane : {&Standard(), &DayPlan()}) {
        EXPECT_TRUE(pane->AlarmTimer()->isActive());
        EXPECT_EQ(pane->AlarmTimer()->interval(), 60000);
        EXPECT_EQ(pane->Planner()->GetOption(), kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner);
        EXPECT_EQ(pane->Planner()->GetTimeScale(), 30);
        EXPECT_EQ(FindControl<CDayPlannerCtrl>(pane, CVwAppts::kIdPlanner), pane->Planner());
    }
    EXPECT_NE(Standard().AlarmTimer(), DayPlan().AlarmTimer());
}

TEST_F(ApptsPaneTest, DeleteKeyRemovesTheSelectedAppointmentFromBothViews) {
    Insert(10, 9, 0, 60, "Standup");
    Insert(10, 11, 0, 60, "Review");
    g_doc.UpdateAllViews(nullptr);
    CVwAppts& pane = DayPlan();
    ShowAndPaint(m_dayPlan.get());
    ClickItem(pane, 1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(pane.Planner(), &press);
    EXPECT_EQ(Texts(pane), (std::vector<std::string>{"Standup"}));
    EXPECT_EQ(Texts(Standard()), (std::vector<std::string>{"Standup"}));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Appt"), 1);
    EXPECT_TRUE(g_doc.IsModified());
}

TEST_F(ApptsPaneTest, DoubleClickEditsTheAppointment) {
    Insert(10, 9, 0, 60, "Standup");
    g_doc.UpdateAllViews(nullptr);
    CVwAppts& pane = Standard();
    std::vector<std::string> titles;
    pane.SetSheetRunner([&](const char* title, ApptSheetValues& values, CRecurItem&) {
        titles.push_back(title);
        EXPECT_EQ(values.desc, "Standup");
        values.desc = "Standup, moved";
        return true;
    });
    ShowAndPaint(m_standard.get());
    ClickItem(pane, 0, true);
    EXPECT_EQ(titles, (std::vector<std::string>{"Edit Appointment"}));
    EXPECT_EQ(Texts(pane), (std::vector<std::string>{"Standup, moved"}));
    EXPECT_EQ(Texts(DayPlan()), (std::vector<std::string>{"Standup, moved"}));
}

TEST_F(ApptsPaneTest, AddProposesTheQuarterHourTheUserClicked) {
    CVwAppts& pane = Standard();
    ApptSheetValues seen;
    pane.SetSheetRunner([&](const char*, ApptSheetValues& values, CRecurItem&) {
        seen = values;
        return false;
    });
    SYSTEMTIME clicked{2026, 12, 0, 10, 14, 37, 0, 0};
    pane.Planner()->SetDate(clicked);
    pane.OnCommand(CVwAppts::kAddAppt);
    EXPECT_EQ(seen.startTime.Format("%Y-%m-%d %H:%M"), "2026-12-10 14:30");
    EXPECT_EQ(seen.endTime.Format("%H:%M"), "14:45");
}

// Nothing clicked leaves the planner at midnight. Add still proposes a time the spins offer, and the
// Begin spin's down arrow then OK stores an appointment with both its times, shown in the planner.
TEST_F(ApptsPaneTest, AddWithoutAClickedCellStoresAVisibleTime) {
    CVwAppts& pane = Standard();
    ShowAndPaint(m_standard.get());
    SYSTEMTIME midnight{};
    ASSERT_TRUE(g_doc.GetCurrentDate().GetAsSystemTime(midnight));
    midnight.wHour = midnight.wMinute = midnight.wSecond = 0;
    pane.Planner()->SetDate(midnight);
    QString proposed;
    bool answered = false;
    AnswerNextModal([&](QWidget* modal) {
        auto* sheet = dynamic_cast<CApptOptionsSheet*>(modal);
        ASSERT_NE(sheet, nullptr);
        proposed = FindControl<QLineEdit>(&sheet->m_page, 1049)->text();
        FindControl<QLineEdit>(&sheet->m_page, CApptOptionsPage::kIdDesc)->setText(QStringLiteral("Early"));
        FindControl<SpinArrows>(&sheet->m_page, 1051)->stepBy(-1);
        SaveScreenshot(sheet, QStringLiteral("appointment_sheet_add_without_click"));
        answered = sheet->PressOk();
    });
    pane.OnCommand(CVwAppts::kAddAppt);
    ASSERT_TRUE(answered);
    EXPECT_NE(proposed, QStringLiteral("12:00 AM"));
    SqlQuery stored = g_db.ExecQuery("select StartTime, EndTime from Appt where Desc = 'Early'");
    ASSERT_FALSE(stored.Eof());
    const std::string start = stored.GetStringField(0, "");
    const std::string end = stored.GetStringField(1, "");
    ASSERT_EQ(start.size(), 19u) << start;
    EXPECT_GE(start.substr(11), "05:00:00");
    EXPECT_LT(start, end);
    EXPECT_LE(end.substr(11), "23:00:00");
    EXPECT_EQ(Texts(pane), (std::vector<std::string>{"Early"}));
}

TEST_F(ApptsPaneTest, AddThroughTheSheetLandsInThePlannerAndTheDocument) {
    CVwAppts& pane = Standard();
    ShowAndPaint(m_standard.get());
    SYSTEMTIME clicked{2026, 12, 0, 10, 10, 5, 0, 0};
    pane.Planner()->SetDate(clicked);
    bool answered = false;
    AnswerNextModal([&](QWidget* modal) {
        auto* sheet = dynamic_cast<CApptOptionsSheet*>(modal);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), "Add Appointment");
        FindControl<QLineEdit>(&sheet->m_page, CApptOptionsPage::kIdDesc)->setText(QStringLiteral("Dentist"));
        SaveScreenshot(sheet, QStringLiteral("appointment_sheet_add"));
        answered = sheet->PressOk();
    });
    pane.OnCommand(CVwAppts::kAddAppt);
    ASSERT_TRUE(answered);
    EXPECT_EQ(Texts(pane), (std::vector<std::string>{"Dentist"}));
    EXPECT_EQ(Texts(DayPlan()), (std::vector<std::string>{"Dentist"}));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Appt where Desc = 'Dentist' and "
                              "StartTime = '2026-12-10 10:00:00' and EndTime = '2026-12-10 10:15:00'"),
              1);
    EXPECT_EQ(g_doc.m_listedApptCount, 1);
    ShowAndPaint(m_standard.get());
    SaveScreenshot(m_standard.get(), QStringLiteral("standard_view_with_appointment"));
}

// Through the real sheet: the user opens each appointment, changes only its text and presses OK.
// The sheet shows the stored times (also those its spins do not offer) and every time and the alarm
// are stored as they were.
TEST_F(ApptsPaneTest, ATextOnlyEditThroughTheSheetKeepsEveryTime) {
    CVwAppts& pane = Standard();
    for (const UntouchedTimes& times : UntouchedTimesTable()) {
        SCOPED_TRACE(times.name);
        g_db.ExecDml("delete from Appt");
        const CAppt original = UntouchedAppt(times, CDateTime(2026, 12, 10), "Imported");
        ASSERT_TRUE(g_doc.InsertAppt(original));
        g_doc.UpdateAllViews(nullptr);
        ShowAndPaint(m_standard.get());
        QString shownBegin;
        QString shownEnd;
        bool answered = false;
        AnswerNextModal([&](QWidget* modal) {
            auto* sheet = dynamic_cast<CApptOptionsSheet*>(modal);
            ASSERT_NE(sheet, nullptr);
            shownBegin = FindControl<QLineEdit>(&sheet->m_page, CApptOptionsPage::kIdBegin)->text();
            shownEnd = FindControl<QLineEdit>(&sheet->m_page, CApptOptionsPage::kIdEnd)->text();
            FindControl<QLineEdit>(&sheet->m_page, CApptOptionsPage::kIdDesc)
                ->setText(QStringLiteral("Edited"));
            SaveScreenshot(sheet,
                           QStringLiteral("appointment_sheet_untouched_") + QString::fromLatin1(times.name));
            answered = sheet->PressOk();
        });
        ClickItem(pane, 0, true);
        ASSERT_TRUE(answered);
        EXPECT_EQ(shownBegin.toStdString(), original.m_StartTime.Format("%I:%M %p").c_str());
        EXPECT_EQ(shownEnd.toStdString(), original.m_EndTime.Format("%I:%M %p").c_str());
        CAppt stored;
        stored.m_ID = original.m_ID;
        ASSERT_TRUE(g_doc.GetAppt(stored));
        EXPECT_EQ(stored.m_Desc, CString("Edited"));
        EXPECT_EQ(TimesOf(stored), TimesOf(original));
        EXPECT_TRUE(stored.m_RecrDtID.IsEmpty());
    }
}

TEST_F(ApptsPaneTest, DayPlanViewShowsOverlappingAppointments) {
    Insert(10, 9, 0, 90, "Team meeting", true);
    Insert(10, 9, 30, 60, "Call the bank");
    Insert(10, 10, 0, 30, "Coffee with Anna");
    Insert(10, 13, 0, 45, "Lunch");
    g_doc.UpdateAllViews(nullptr);
    m_dayPlan->resize(900, 640);
    m_dayPlan->show();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(DayPlan().Planner()->GetItemCount(), 4);
    SaveScreenshot(m_dayPlan.get(), QStringLiteral("day_plan_view_overlapping"));
}

// The alarm check with the reminder answered by the test.
class AlarmCheckTest : public ApptsPaneTest {
protected:
    void SetUp() override {
        ApptsPaneTest::SetUp();
        Standard().SetReminderRunner([this](CReminderDlg& dialog) {
            shown.push_back({dialog.m_title.c_str(), dialog.m_message.c_str()});
            EXPECT_TRUE(dialog.m_turnOff);
            if (whileShowing)
                whileShowing(dialog);
            dialog.m_turnOff = turnOff;
            return IDOK;
        });
        // Only the standard view's pane checks here.
        DayPlan().SetReminderRunner([](CReminderDlg&) {
            ADD_FAILURE() << "second pane reminded";
            return IDOK;
        });
    }
    void CheckAt(int day, int hour, int minute) {
        SetLocalTimeForTesting(At(day, hour, minute));
        Standard().OnAlarmTimer();
    }
    static bool AlarmOn(const CString& id) {
        CAppt appt;
        appt.m_ID = id;
        EXPECT_TRUE(g_doc.GetAppt(appt));
        return appt.m_Alarm;
    }

    std::vector<std::pair<std::string, std::string>> shown;
    std::function<void(CReminderDlg&)> whileShowing;
    bool turnOff = true;
};

TEST_F(AlarmCheckTest, RemindsWhenDueAndNotBefore) {
    const CString id = Insert(10, 9, 0, 30, "Standup", true, 8, 45);
    g_doc.UpdateAllViews(nullptr);
    CheckAt(10, 8, 44);
    EXPECT_TRUE(shown.empty());
    CheckAt(10, 8, 45);
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{
                         {"09:00 AM Appointment Reminder", "Standup"}}));
    EXPECT_FALSE(AlarmOn(id));
    // The cleared alarm is shown at once, and the reminder does not come again.
    DayPlannerItem item;
    ASSERT_TRUE(Standard().Planner()->GetItem(0, &item));
    EXPECT_EQ(item.icon, 0);
    CheckAt(10, 8, 46);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(AlarmCheckTest, KeptOnItComesBackEveryMinute) {
    const CString id = Insert(10, 9, 0, 30, "Standup", true);
    g_doc.UpdateAllViews(nullptr);
    turnOff = false;
    CheckAt(10, 9, 0);
    CheckAt(10, 9, 1);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_TRUE(AlarmOn(id));
}

TEST_F(AlarmCheckTest, NoReminderWithoutAlarmOrWhileAnotherDayIsShown) {
    Insert(10, 9, 0, 30, "No alarm");
    Insert(10, 10, 0, 30, "Due today", true);
    g_doc.SetCurrentDate(CDateTime(2026, 12, 11));
    g_doc.UpdateAllViews(nullptr);
    CheckAt(10, 12, 0);
    EXPECT_TRUE(shown.empty());
    g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
    g_doc.UpdateAllViews(nullptr);
    CheckAt(10, 12, 0);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(AlarmCheckTest, OneReminderPerTitleAtATime) {
    Insert(10, 9, 0, 30, "Standup", true);
    Insert(10, 9, 0, 60, "Call the bank", true);
    g_doc.UpdateAllViews(nullptr);
    int nestedChecks = 0;
    whileShowing = [&](CReminderDlg& dialog) {
        // While the first is open a timer fires again: the same title stays away.
        dialog.Prepare();
        dialog.show();
        QApplication::processEvents();
        if (nestedChecks++ == 0)
            Standard().OnAlarmTimer();
        dialog.hide();
    };
    CheckAt(10, 9, 5);
    // The second one came only after the first was closed.
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].second, "Standup");
    EXPECT_EQ(shown[1].second, "Call the bank");
    EXPECT_EQ(shown[0].first, shown[1].first);
}

TEST_F(AlarmCheckTest, NothingOnceTheDocumentsDatabaseIsClosed) {
    Insert(10, 9, 0, 30, "Standup", true);
    g_doc.UpdateAllViews(nullptr);
    g_db.Close();
    CheckAt(10, 9, 5);
    EXPECT_TRUE(shown.empty());
}

TEST_F(ApptsPaneTest, ReminderDialogShowsItsValues) {
    CReminderDlg dialog(&Standard());
    dialog.m_title = "09:00 AM Appointment Reminder";
    dialog.m_message = "Standup in the small room";
    dialog.m_soundFile = "notify.wav";
    dialog.m_sound = true;
    dialog.Prepare();
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "09:00 AM Appointment Reminder");
    EXPECT_EQ(FindControl<QLabel>(&dialog, CReminderDlg::kIdMessage)->text(), "Standup in the small room");
    EXPECT_TRUE(dialog.TurnOffBox()->isChecked());
    EXPECT_EQ(dialog.TurnOffBox()->text(), "&Turn off reminder");
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.RepeatTimer()->isActive());
    EXPECT_EQ(dialog.RepeatTimer()->interval(), 60000);
    ASSERT_NE(dialog.Sound(), nullptr);
    EXPECT_EQ(dialog.Sound()->loopCount(), QSoundEffect::Infinite);
    EXPECT_TRUE(CVwAppts::ReminderShowing(QStringLiteral("09:00 AM Appointment Reminder")));
    SaveScreenshot(&dialog, QStringLiteral("reminder_dialog"));

    dialog.TurnOffBox()->setChecked(false);
    dialog.OnOk();
    EXPECT_FALSE(dialog.m_turnOff);
    EXPECT_FALSE(dialog.RepeatTimer()->isActive());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(CVwAppts::ReminderShowing(QStringLiteral("09:00 AM Appointment Reminder")));
}

// Run modally as the alarm check runs it, across several once-a-minute steps (shortened): the dialog
// stays up, on top and modal, and its sound loop is never broken off, until OK.
TEST_F(ApptsPaneTest, AModalReminderStaysUpAndKeepsRingingAcrossTheMinuteSteps) {
    CReminderDlg::OverrideRepeatMs(25);
    CReminderDlg::OverrideSoundOutput(true);
    DropShadow::OverrideWindowSystemShadows(false);
    Standard().window()->show();
    CReminderDlg dialog(&Standard());
    dialog.m_title = "09:00 AM Appointment Reminder";
    dialog.m_message = "Standup in the small room";
    dialog.m_soundFile = "notify.wav";
    dialog.m_sound = true;
    bool stayedUp = true;
    bool kept = true;
    int soundStops = 0;
    int soundStopsBeforeOk = 0;
    int repeatsSeen = 0;
    bool shadowed = false;
    AnswerNextModal([&](QWidget* modal) {
        ASSERT_NE(dialog.Sound(), nullptr);
        QObject::connect(dialog.Sound(), &QSoundEffect::playingChanged, modal, [&] {
            if (!dialog.Sound()->isPlaying())
                ++soundStops;
        });
        QElapsedTimer clock;
        clock.start();
        while (dialog.RepeatCount() < 3 && clock.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            stayedUp = stayedUp && modal->isVisible() && QApplication::activeModalWidget() == modal &&
                       CVwAppts::ReminderShowing(QStringLiteral("09:00 AM Appointment Reminder"));
            // CShadowWnd has no meta-object of its own: only a dynamic cast tells it from other widgets.
            for (QWidget* child : modal->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                shadowed = shadowed || dynamic_cast<CShadowWnd*>(child);
            kept = kept && dialog.Sound()->isPlaying();
        }
        soundStopsBeforeOk = soundStops;
        repeatsSeen = dialog.RepeatCount();
        EXPECT_TRUE(modal->windowFlags() & Qt::WindowStaysOnTopHint);
        SaveScreenshot(modal, QStringLiteral("reminder_after_two_minutes"));
        dialog.TurnOffBox()->setChecked(false);
        ClickButton(modal, QStringLiteral("OK"));
    });
    EXPECT_EQ(dialog.RunModal(), IDOK);
    EXPECT_GE(repeatsSeen, 3);
    EXPECT_TRUE(stayedUp) << "the reminder left the screen before OK";
    EXPECT_EQ(soundStopsBeforeOk, 0) << "the sound loop was broken off while the reminder was up";
    EXPECT_TRUE(kept);
    EXPECT_EQ(soundStops, 1) << "OK stops the sound";
    EXPECT_FALSE(dialog.m_turnOff);
    EXPECT_FALSE(dialog.SoundProblem()->isVisible());
    EXPECT_TRUE(shadowed) << "the reminder casts the dialogs' drop shadow";
    DropShadow::OverrideWindowSystemShadows(std::nullopt);
}

TEST_F(ApptsPaneTest, AReminderSaysWhenItsSoundCannotBePlayed) {
    struct Case {
        const char* file;
        bool sound;
        bool output;
        const char* problem; // empty: no line shown
    };
    const Case cases[] = {
        {"notify.wav", true, true, ""},
        {"notify.wav", false, false, ""},
        {"notify.wav", true, false, "The alarm sound could not be played: no sound output is available."},
        {"/no/such/chime.wav", true, true,
         "The alarm sound could not be played: the sound file \"/no/such/chime.wav\" was not found."},
        {"", true, true, "The alarm sound could not be played: no alarm sound is chosen."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " sound " << c.sound << " output " << c.output);
        CReminderDlg::OverrideSoundOutput(c.output);
        CReminderDlg dialog;
        dialog.m_title = "Reminder";
        dialog.m_soundFile = c.file;
        dialog.m_sound = c.sound;
        dialog.Prepare();
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.SoundProblem()->isVisible(), *c.problem != '\0');
        if (*c.problem) {
            EXPECT_EQ(dialog.SoundProblem()->text(), c.problem);
        }
        if (!c.output && c.sound)
            SaveScreenshot(&dialog, QStringLiteral("reminder_without_sound_output"));
        dialog.OnOk();
    }
}

// The reminder as it runs for an appointment with a long text: whatever the sound line says, every
// line shows whole inside the dialog and the title bar has room for the whole title.
TEST_F(ApptsPaneTest, AReminderShowsEveryLineWholeAndHasRoomForItsTitle) {
    struct Case {
        const char* name;
        const char* file;
        bool output;
    };
    const std::string longName = "/home/someone/Music/Alarm sounds for the office calendar/"
                                 "the very long name of a chime that was moved away.wav";
    const Case cases[] = {
        {"no_sound_output", "notify.wav", false},
        {"missing_file", "/no/such/chime.wav", true},
        {"long_file_name", longName.c_str(), true},
    };
    Standard().window()->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CReminderDlg::OverrideSoundOutput(c.output);
        CReminderDlg dialog(&Standard());
        dialog.m_title = "10:30 AM Appointment Reminder";
        dialog.m_message = "Quarterly review with the planning group in the large meeting room on the "
                           "second floor; bring the printed figures";
        dialog.m_soundFile = c.file;
        dialog.m_sound = true;
        dialog.Prepare();
        dialog.show();
        QApplication::processEvents();
        ASSERT_TRUE(dialog.SoundProblem()->isVisible());
        SaveScreenshot(&dialog, QStringLiteral("reminder_sound_line_%1").arg(QLatin1String(c.name)));
        for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() || !child->isVisible())
                continue;
            SCOPED_TRACE(child->metaObject()->className());
            EXPECT_TRUE(dialog.rect().contains(child->geometry()));
            const auto* label = qobject_cast<QLabel*>(child);
            if (label && label->wordWrap()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                    << label->text().toStdString();
            } else {
                EXPECT_GE(child->width(), child->minimumSizeHint().width());
                EXPECT_GE(child->height(), child->minimumSizeHint().height());
            }
        }
        // Siblings do not overlap: the sound line never covers the message.
        const QRect message = FindControl(&dialog, CReminderDlg::kIdMessage)->geometry();
        EXPECT_FALSE(message.intersects(dialog.SoundProblem()->geometry()));
        QFont titleFont = dialog.font();
        titleFont.setBold(true);
        const int titleBar = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog);
        EXPECT_GE(dialog.width(),
                  QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + 3 * titleBar);
        dialog.OnOk();
    }
}

// Qt's sample cache hangs the program's exit when a sound is still loading, so a reminder never goes
// away before its sound has loaded.
TEST_F(ApptsPaneTest, AReminderClosedWhileItsSoundLoadsWaitsForTheLoad) {
    auto* dialog = new CReminderDlg;
    dialog->m_soundFile = "notify.wav";
    dialog->m_sound = true;
    dialog->Prepare();
    QSoundEffect* sound = dialog->Sound();
    ASSERT_NE(sound, nullptr);
    QSoundEffect::Status status = sound->status();
    QObject::connect(sound, &QSoundEffect::statusChanged, [&] { status = sound->status(); });
    delete dialog;
    EXPECT_NE(status, QSoundEffect::Loading);
}

TEST_F(ApptsPaneTest, ReminderWithoutSoundOrWithAMissingFileStillShows) {
    for (const char* file : {"notify.wav", "/no/such/chime.wav", ""}) {
        SCOPED_TRACE(file);
        CReminderDlg dialog;
        dialog.m_title = "Reminder";
        dialog.m_soundFile = file;
        dialog.m_sound = std::string(file) != "notify.wav";
        dialog.Prepare();
        dialog.show();
        QApplication::processEvents();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Sound(), nullptr);
        dialog.OnOk();
    }
}

TEST_F(ApptsPaneTest, SoundFileNamesResolveToTheProgramsChimeOrAsGiven) {
    EXPECT_FALSE(CReminderDlg::ResolveSound("notify.wav").isEmpty());
    const CString own = m_dir.File("bell.wav").c_str();
    EXPECT_TRUE(CReminderDlg::ResolveSound(own).isEmpty());
    FILE* file = fopen(own.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_EQ(CReminderDlg::ResolveSound(own), QString::fromUtf8(own.c_str()));
    EXPECT_TRUE(CReminderDlg::ResolveSound("no-such-chime.wav").isEmpty());
    EXPECT_TRUE(CReminderDlg::ResolveSound("").isEmpty());
}

} // namespace
