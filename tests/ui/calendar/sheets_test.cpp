#include "data/DateParser.h"
#include "data/RecurPattern.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/calendar/ApptSheet.h"
#include "ui/calendar/RecurrencePage.h"
#include "ui/calendar/TaskSheet.h"
#include "ui/common/SheetParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

namespace {

// Lets pending layout requests run first, as the event loop does before a real paint.
void Shot(QWidget* sheet, const char* name) {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    SaveScreenshot(sheet, QString::fromLatin1(name));
}

QString Text(QWidget* page, int id) {
    return FindControl<QLineEdit>(page, id)->text();
}

QStringList Items(QWidget* page, int id) {
    QStringList items;
    auto* combo = FindControl<QComboBox>(page, id);
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

class SheetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        rule.SetStartDate(FormatRuleDate(CDateTime(2026, 12, 10)).c_str());
        rule.SetStartTime("09:00 AM");
        rule.SetEndTime("10:00 AM");
    }
    void FillAppt(CApptOptionsSheet& sheet, const char* desc = "Dentist") {
        sheet.SetRule(&rule);
        sheet.m_page.m_desc = desc;
        sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
        sheet.m_page.m_startTime = CDateTime(2026, 12, 10, 9, 0, 0);
        sheet.m_page.m_endTime = CDateTime(2026, 12, 10, 10, 0, 0);
        sheet.m_page.m_alarmTime = CDateTime(2026, 12, 10, 8, 45, 0);
        sheet.m_page.m_alarm = 1;
    }
    CRecurItem rule;
};

TEST_F(SheetsTest, AppointmentPageLoadsMembersAndStoresThemOnOk) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.show();
    CApptOptionsPage& page = sheet.m_page;
    EXPECT_EQ(Text(&page, 1044), "Dentist");
    EXPECT_EQ(Text(&page, 1049), "09:00 AM");
    EXPECT_EQ(Text(&page, 1050), "10:00 AM");
    EXPECT_EQ(Text(&page, 1047), "15");
    EXPECT_TRUE(FindControl<QCheckBox>(&page, 1045)->isChecked());
    EXPECT_EQ(FindControl<QDateEdit>(&page, 1000)->date(), QDate(2026, 12, 10));
    EXPECT_EQ(sheet.GetPageCount(), 1);
    Shot(&sheet, "appointment_sheet");

    FindControl<QLineEdit>(&page, 1044)->setText(QStringLiteral("Dentist at noon"));
    // Ten minutes before: two steps down from 15 is 5, then one up is 10.
    auto* minutes = FindControl<SpinArrows>(&page, 1048);
    minutes->stepBy(-1);
    minutes->stepBy(-1);
    minutes->stepBy(1);
    EXPECT_EQ(Text(&page, 1047), "10");
    ASSERT_TRUE(sheet.PressOk());
    EXPECT_EQ(page.m_desc, CString("Dentist at noon"));
    EXPECT_EQ(page.m_alarm, 1);
    EXPECT_EQ(page.m_alarmTime, CDateTime(2026, 12, 10, 8, 50, 0));
}

TEST_F(SheetsTest, WithoutSetAlarmAlarmIsClearedAndAlarmTimeKept) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.show();
    FindControl<QCheckBox>(&sheet.m_page, 1045)->setChecked(false);
    ASSERT_TRUE(sheet.PressOk());
    EXPECT_EQ(sheet.m_page.m_alarm, 0);
    EXPECT_EQ(sheet.m_page.m_alarmTime, CDateTime(2026, 12, 10, 8, 45, 0));
}

TEST_F(SheetsTest, EmptyAppointmentTextDisablesOk) {
    CApptOptionsSheet sheet;
    FillAppt(sheet, "");
    sheet.show();
    EXPECT_FALSE(sheet.OkButton()->isEnabled());
    EXPECT_FALSE(sheet.PressOk());
    FindControl<QLineEdit>(&sheet.m_page, 1044)->setText(QStringLiteral("x"));
    EXPECT_TRUE(sheet.OkButton()->isEnabled());
    sheet.PressCancel();
}

struct SpinCase {
    int startHour, startMinute, endHour, endMinute;
    bool begin;
    int delta;
    const char* wantBegin;
    const char* wantEnd;
};

void PrintTo(const SpinCase& c, std::ostream* os) {
    *os << (c.begin ? "begin" : "end") << (c.delta > 0 ? " up" : " down") << " from " << c.startHour << ":"
        << c.startMinute << "-" << c.endHour << ":" << c.endMinute;
}

class SpinTest : public SheetsTest, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(SpinTest, SpinsMoveInQuarterHoursAndWrap) {
    const SpinCase& c = GetParam();
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_startTime = CDateTime(2026, 12, 10, c.startHour, c.startMinute, 0);
    sheet.m_page.m_endTime = CDateTime(2026, 12, 10, c.endHour, c.endMinute, 0);
    rule.SetStartTime(FormatRuleTime(sheet.m_page.m_startTime).c_str());
    rule.SetEndTime(FormatRuleTime(sheet.m_page.m_endTime).c_str());
    sheet.show();
    if (c.begin)
        sheet.m_page.OnBeginSpin(c.delta);
    else
        sheet.m_page.OnEndSpin(c.delta);
    EXPECT_EQ(Text(&sheet.m_page, 1049).toStdString(), c.wantBegin);
    if (c.begin && c.delta > 0 && c.startHour == 22) {
        EXPECT_EQ(FindControl<SpinArrows>(&sheet.m_page, 1051)->m_position, 20);
    }
    if (!c.begin && c.delta > 0 && c.endHour == 23) {
        EXPECT_EQ(FindControl<SpinArrows>(&sheet.m_page, 1052)->m_position, 21);
    }
    EXPECT_EQ(Text(&sheet.m_page, 1050).toStdString(), c.wantEnd);
    // The rule follows the page.
    EXPECT_EQ(rule.GetStartTime(), CString(c.wantBegin));
    EXPECT_EQ(rule.GetEndTime(), CString(c.wantEnd));
    sheet.PressCancel();
}

INSTANTIATE_TEST_SUITE_P(Sheets, SpinTest,
                         ::testing::Values(SpinCase{22, 45, 23, 0, true, 1, "05:00 AM", "11:00 PM"},
                                           SpinCase{9, 0, 9, 30, true, 1, "09:15 AM", "09:30 AM"},
                                           SpinCase{9, 15, 9, 30, true, 1, "09:30 AM", "09:45 AM"},
                                           SpinCase{9, 0, 10, 0, true, -1, "08:45 AM", "10:00 AM"},
                                           SpinCase{5, 0, 10, 0, true, -1, "10:45 PM", "11:00 PM"},
                                           SpinCase{5, 0, 5, 15, false, -1, "05:00 AM", "11:00 PM"},
                                           SpinCase{9, 0, 23, 0, false, 1, "05:00 AM", "05:15 AM"},
                                           SpinCase{9, 0, 9, 15, false, -1, "08:45 AM", "09:00 AM"},
                                           // A time the spins do not offer steps to the next one they
                                           // do in the spin's direction, round the clock; the other
                                           // time moves only to keep the end after the start.
                                           SpinCase{0, 0, 0, 15, true, -1, "10:45 PM", "11:00 PM"},
                                           SpinCase{0, 0, 0, 15, true, 1, "05:00 AM", "05:15 AM"},
                                           SpinCase{4, 0, 4, 30, false, 1, "04:00 AM", "05:15 AM"},
                                           SpinCase{23, 15, 23, 45, true, 1, "05:00 AM", "11:45 PM"},
                                           SpinCase{23, 15, 23, 45, true, -1, "10:45 PM", "11:45 PM"},
                                           SpinCase{23, 30, 23, 45, false, -1, "10:45 PM", "11:00 PM"}));

TEST_F(SheetsTest, DateChangeMovesTimesAndWritesRuleStart) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.show();
    FindControl<QDateEdit>(&sheet.m_page, 1000)->setDate(QDate(2027, 1, 5));
    EXPECT_EQ(sheet.m_page.m_dateDue, CDateTime(2027, 1, 5));
    EXPECT_EQ(sheet.m_page.m_startTime, CDateTime(2027, 1, 5, 9, 0, 0));
    EXPECT_EQ(sheet.m_page.m_endTime, CDateTime(2027, 1, 5, 10, 0, 0));
    EXPECT_EQ(rule.GetStartDate(), FormatRuleDate(CDateTime(2027, 1, 5)));
    EXPECT_EQ(rule.GetStartTime(), CString("09:00 AM"));
    sheet.PressCancel();
}

TEST_F(SheetsTest, RuleWithoutReadableStartLeavesThePageDateAndTimes) {
    rule.SetStartDate("");
    rule.SetStartTime("not a time");
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_alarm = 0;
    sheet.m_page.m_alarmTime = CDateTime(CDateTime::kInvalid);
    sheet.show();
    EXPECT_EQ(FindControl<QDateEdit>(&sheet.m_page, 1000)->date(), QDate(2026, 12, 10));
    EXPECT_EQ(sheet.m_page.m_startTime, CDateTime(2026, 12, 10, 9, 0, 0));
    EXPECT_EQ(Text(&sheet.m_page, 1049), "09:00 AM");
    // Moving the date leaves an unset alarm time unset.
    FindControl<QDateEdit>(&sheet.m_page, 1000)->setDate(QDate(2027, 1, 5));
    EXPECT_FALSE(sheet.m_page.m_alarmTime.IsValid());
    sheet.PressCancel();
}

TEST_F(SheetsTest, TickingRecurringAddsAndSelectsTheRecurrencePageClearingRemovesIt) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.show();
    auto* recurring = FindControl<QCheckBox>(&sheet.m_page, 1171);
    recurring->click();
    ASSERT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.Tabs()->tabText(1), "Recurring Options");
    EXPECT_EQ(sheet.m_page.m_recurring, 1);
    Shot(&sheet, "appointment_recurrence_page");
    sheet.SetActivePage(0);
    recurring->click();
    EXPECT_EQ(sheet.GetPageCount(), 1);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    ASSERT_TRUE(sheet.PressOk());
    EXPECT_EQ(sheet.m_page.m_recurring, 0);
}

TEST_F(SheetsTest, RecurringAppointmentOpensWithBothTabs) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.PressCancel();
}

TEST_F(SheetsTest, RecurrenceStartDateShowsOnTheFirstPageAgain) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(1));
    FindControl<QDateEdit>(&sheet.m_recurPage, RecurrencePage::kIdStartDate)->setDate(QDate(2027, 2, 3));
    ASSERT_TRUE(sheet.SetActivePage(0));
    EXPECT_EQ(FindControl<QDateEdit>(&sheet.m_page, 1000)->date(), QDate(2027, 2, 3));
    EXPECT_EQ(sheet.m_page.m_startTime, CDateTime(2027, 2, 3, 9, 0, 0));
    sheet.PressCancel();
}

TEST_F(SheetsTest, RecurrencePageListsInOrder) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    sheet.SetActivePage(1);
    RecurrencePage& page = sheet.m_recurPage;
    const QStringList ordinals{"First", "Second", "Third", "Fourth", "Last"};
    for (int id : {1461, 1465, 1473})
        EXPECT_EQ(Items(&page, id), ordinals);
    QStringList kinds{"Day", "Weekday", "Weekend day"};
    for (int day = 1; day <= 7; ++day)
        kinds << ToQString(CDateParser::GetWeekdayName(day));
    for (int id : {1462, 1475, 1474})
        EXPECT_EQ(Items(&page, id), kinds);
    EXPECT_EQ(Items(&page, 1014), (QStringList{"plus", "minus"}));
    const QStringList days = Items(&page, 1015);
    ASSERT_EQ(days.size(), 31);
    EXPECT_EQ(days.front(), "1 days");
    EXPECT_EQ(days.back(), "31 days");
    const QStringList months = Items(&page, 1007);
    ASSERT_EQ(months.size(), 12);
    EXPECT_EQ(months.front(), ToQString(CDateParser::GetMonthName(1)));
    const QStringList starts = Items(&page, 1256);
    EXPECT_EQ(starts.front(), "01:00 AM");
    EXPECT_EQ(starts.back(), "11:45 PM");
    EXPECT_EQ(FindControl<QComboBox>(&page, 1256)->currentText(), "09:00 AM");
    EXPECT_EQ(FindControl<QComboBox>(&page, 1257)->currentText(), "10:00 AM");
    // 10:30 PM as the start offers 10:45 PM to 11:45 PM.
    auto* start = FindControl<QComboBox>(&page, 1256);
    start->setCurrentIndex(start->findText(QStringLiteral("10:30 PM")));
    page.RebuildEndTimes();
    EXPECT_EQ(Items(&page, 1257), (QStringList{"10:45 PM", "11:00 PM", "11:15 PM", "11:30 PM", "11:45 PM"}));
    EXPECT_EQ(FindControl<QComboBox>(&page, 1257)->currentIndex(), 0);
    sheet.PressCancel();
}

// Sets every rule field to a value other than its default.
void FillRule(CRecurItem& rule) {
    // A new rule holds today's weekday; the weekly days below are the only ones set, whatever today is.
    for (int day = 1; day <= 7; ++day)
        rule.SetWeeklyDay(day, false);
    rule.SetBasicMethod(2);
    rule.SetDailyMethod(1);
    rule.SetEveryXDayCount(3);
    rule.SetEveryWeekCount(4);
    rule.SetWeeklyMonday(true);
    rule.SetWeeklyThursday(true);
    rule.SetWeeklySaturday(true);
    rule.SetMonthlyMethod(1);
    rule.SetMonthlyCount1(17);
    rule.SetMonthlyCount2(5);
    rule.SetMonthlyTheOption(4);
    rule.SetMonthlyDayOption(2);
    rule.SetMonthlyCount3(2);
    rule.SetMonthlyTheOption1(3);
    rule.SetMonthlyDayOption1(8);
    rule.SetMonthlyMathOp(1);
    rule.SetMonthlyMathDays(12);
    rule.SetMonthlyCount4(6);
    rule.SetYearlyMethod(1);
    rule.SetYearlyMonth1(7);
    rule.SetYearlyMonthDay(21);
    rule.SetYearlyTheOption(2);
    rule.SetYearlyDayOption(9);
    rule.SetYearlyMonth2(11);
    rule.SetEndMethod(2);
    rule.SetEndOccurences(25);
    rule.SetEndDate(FormatRuleDate(CDateTime(2027, 6, 30)).c_str());
}

TEST_F(SheetsTest, RecurrencePageShowsEveryRuleFieldAndStoresItBackUnchanged) {
    FillRule(rule);
    const CRecurItem before = rule;
    CTaskOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_desc = "Report";
    sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(1));
    RecurrencePage& page = sheet.m_recurPage;
    EXPECT_TRUE(FindControl<QRadioButton>(&page, 1432)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&page, 1458)->isChecked());
    EXPECT_EQ(FindControl<QComboBox>(&page, 1461)->currentText(), "Last");
    EXPECT_EQ(FindControl<QComboBox>(&page, 1462)->currentText(), "Weekend day");
    EXPECT_EQ(Text(&page, 1463), "2");
    EXPECT_EQ(Text(&page, 1459), "17");
    EXPECT_EQ(FindControl<QComboBox>(&page, 1014)->currentText(), "minus");
    EXPECT_EQ(FindControl<QComboBox>(&page, 1015)->currentText(), "12 days");
    EXPECT_TRUE(FindControl<QCheckBox>(&page, 1438)->isChecked());
    EXPECT_FALSE(FindControl<QCheckBox>(&page, 1437)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&page, 1003)->isChecked());
    EXPECT_EQ(FindControl<QDateEdit>(&page, 1011)->date(), QDate(2027, 6, 30));
    // Only the monthly group shows; in the task sheet the time group is hidden.
    EXPECT_TRUE(FindControl(&page, 1459)->isVisibleTo(&page));
    EXPECT_FALSE(FindControl(&page, 1005)->isVisibleTo(&page));
    EXPECT_FALSE(FindControl(&page, 1436)->isVisibleTo(&page));
    EXPECT_FALSE(FindControl(&page, 1472)->isVisibleTo(&page));
    EXPECT_FALSE(FindControl(&page, 1087)->isVisibleTo(&page));
    Shot(&sheet, "task_recurrence_page");

    // Scramble the rule; leaving the page writes the shown values back.
    rule = CRecurItem();
    rule.SetStartDate(before.GetStartDate().c_str());
    rule.SetStartTime("07:15 AM");
    ASSERT_TRUE(sheet.SetActivePage(0));
    const CRecurItem& after = rule;
    EXPECT_EQ(after.GetBasicMethod(), before.GetBasicMethod());
    EXPECT_EQ(after.GetDailyMethod(), before.GetDailyMethod());
    EXPECT_EQ(after.GetEveryXDayCount(), 3);
    EXPECT_EQ(after.GetEveryWeekCount(), 4);
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(after.GetWeeklyDay(day), before.GetWeeklyDay(day)) << day;
    EXPECT_EQ(after.GetMonthlyMethod(), 1);
    EXPECT_EQ(after.GetMonthlyCount1(), 17);
    EXPECT_EQ(after.GetMonthlyCount2(), 5);
    EXPECT_EQ(after.GetMonthlyTheOption(), 4);
    EXPECT_EQ(after.GetMonthlyDayOption(), 2);
    EXPECT_EQ(after.GetMonthlyCount3(), 2);
    EXPECT_EQ(after.GetMonthlyTheOption1(), 3);
    EXPECT_EQ(after.GetMonthlyDayOption1(), 8);
    EXPECT_EQ(after.GetMonthlyMathOp(), 1);
    EXPECT_EQ(after.GetMonthlyMathDays(), 12);
    EXPECT_EQ(after.GetMonthlyCount4(), 6);
    EXPECT_EQ(after.GetYearlyMethod(), 1);
    EXPECT_EQ(after.GetYearlyMonth1(), 7);
    EXPECT_EQ(after.GetYearlyMonthDay(), 21);
    EXPECT_EQ(after.GetYearlyTheOption(), 2);
    EXPECT_EQ(after.GetYearlyDayOption(), 9);
    EXPECT_EQ(after.GetYearlyMonth2(), 11);
    EXPECT_EQ(after.GetEndMethod(), 2);
    EXPECT_EQ(after.GetEndOccurences(), 25);
    EXPECT_EQ(after.GetStartDate(), before.GetStartDate());
    EXPECT_EQ(after.GetEndDate(), before.GetEndDate());
    // The page never writes the times.
    EXPECT_EQ(after.GetStartTime(), CString("07:15 AM"));
    sheet.PressCancel();
}

TEST_F(SheetsTest, EmptyOccurrencesStoresZero) {
    CTaskOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_desc = "Report";
    sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(1));
    FindControl<QLineEdit>(&sheet.m_recurPage, RecurrencePage::kIdOccurrences)->clear();
    ASSERT_TRUE(sheet.PressOk());
    EXPECT_EQ(rule.GetEndOccurences(), 0);
}

TEST_F(SheetsTest, TaskPageExchangesMembersAndWritesRuleStart) {
    CTaskOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_desc = "Write report";
    sheet.m_page.m_priority = 2;
    sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
    sheet.show();
    CTaskOptionsPage& page = sheet.m_page;
    EXPECT_EQ(FindControl<QPlainTextEdit>(&page, 1046)->toPlainText(), "Write report");
    EXPECT_TRUE(FindControl<QRadioButton>(&page, 1033)->isChecked());
    EXPECT_EQ(FindControl<QDateEdit>(&page, 1102)->date(), QDate(2026, 12, 10));
    Shot(&sheet, "task_sheet");
    FindControl<QRadioButton>(&page, 1031)->click();
    FindControl<QDateEdit>(&page, 1102)->setDate(QDate(2027, 3, 1));
    EXPECT_EQ(rule.GetStartDate(), FormatRuleDate(CDateTime(2027, 3, 1)));
    FindControl<QPlainTextEdit>(&page, 1046)->setPlainText(QString(3000, QLatin1Char('x')));
    ASSERT_TRUE(sheet.PressOk());
    EXPECT_EQ(page.m_priority, 3);
    EXPECT_EQ(page.m_dateDue, CDateTime(2027, 3, 1));
    EXPECT_EQ(page.m_desc.GetLength(), CTaskOptionsPage::kMaxDesc);
}

TEST_F(SheetsTest, EmptyTaskTextDisablesOkAndRecurringTogglesTab) {
    CTaskOptionsSheet sheet;
    sheet.SetRule(&rule);
    sheet.m_page.m_dateDue = CDateTime(2026, 12, 10);
    sheet.show();
    EXPECT_FALSE(sheet.OkButton()->isEnabled());
    FindControl<QPlainTextEdit>(&sheet.m_page, 1046)->setPlainText(QStringLiteral("a"));
    EXPECT_TRUE(sheet.OkButton()->isEnabled());
    FindControl<QCheckBox>(&sheet.m_page, 1171)->click();
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    sheet.SetActivePage(0);
    FindControl<QCheckBox>(&sheet.m_page, 1171)->click();
    EXPECT_EQ(sheet.GetPageCount(), 1);
    sheet.PressCancel();
}

TEST_F(SheetsTest, HelpKeyShowsEachPageTopicForListedControlsOnly) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.m_page.m_recurring = 1;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(1));
    CTaskOptionsSheet tasks;
    tasks.SetRule(&rule);
    tasks.show();
    const auto appt = [&](QWidget* c) { return sheet.m_page.OnContextHelp(c); };
    const auto recur = [&](QWidget* c) { return sheet.m_recurPage.OnContextHelp(c); };
    const auto task = [&](QWidget* c) { return tasks.m_page.OnContextHelp(c); };
    struct Case {
        QWidget* page;
        std::function<bool(QWidget*)> help;
        int id;
        int topic;
    };
    const Case cases[] = {
        {&sheet.m_page, appt, 1044, 1400},       {&sheet.m_page, appt, 1048, 1405},
        {&sheet.m_page, appt, 1171, 1411},       {&sheet.m_recurPage, recur, 1256, 1657},
        {&sheet.m_recurPage, recur, 1011, 1656}, {&sheet.m_recurPage, recur, 1452, 1642},
        {&tasks.m_page, task, 1046, 1301},       {&tasks.m_page, task, 1031, 1302},
        {&tasks.m_page, task, 1102, 1300},
    };
    for (const Case& c : cases) {
        ClearLastHelpRequest();
        QWidget* control = FindControl(c.page, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_TRUE(c.help(control)) << c.id;
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic) << c.id;
    }
    // F1 on the focused description edit.
    ClearLastHelpRequest();
    QWidget* desc = FindControl(&sheet.m_page, 1044);
    sheet.SetActivePage(0);
    desc->setFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(desc, &f1);
    EXPECT_EQ(LastHelpRequest().popupTopic, 1400);
    // A control outside the table is left to default processing.
    ClearLastHelpRequest();
    EXPECT_FALSE(sheet.m_page.OnContextHelp(sheet.OkButton()));
    EXPECT_FALSE(tasks.m_page.OnContextHelp(tasks.OkButton()));
    EXPECT_EQ(LastHelpRequest().popupTopic, 0);
    sheet.PressCancel();
    tasks.PressCancel();
}

TEST_F(SheetsTest, DoModalReturnsIdOkWithTheEditedValues) {
    CApptOptionsSheet sheet;
    FillAppt(sheet);
    sheet.setWindowTitle(QStringLiteral("Edit Appointment"));
    AnswerNextModal([](QWidget* dialog) {
        FindControl<QLineEdit>(dialog, 1044)->setText(QStringLiteral("Moved"));
        ClickButton(dialog, QStringLiteral("OK"));
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(sheet.m_page.m_desc, CString("Moved"));
    EXPECT_EQ(sheet.windowTitle(), "Edit Appointment");
}

} // namespace
