#include "ui/calendar/ApptSeries.h"

#include "data/DbDoc.h"
#include "platform/core/Registry.h"
#include "tests/data/records_document.h"
#include "tests/ui/calendar/untouched_times.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// How the series under test ends.
enum class Ends { AfterCount, ByDate, Never };

class ApptSeriesTest : public RecordsDocument {
protected:
    void SetUp() override {
        registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
        SetRegistry(&registry);
        RecordsDocument::SetUp();
    }
    void TearDown() override {
        RecordsDocument::TearDown();
        SetRegistry(nullptr);
    }

    // A daily series from Monday 2 January 2006 at 09:00 with this many rows.
    void AddDailySeries(int rows, Ends ends) {
        CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& rule) {
            values.desc = "Standup";
            values.recurring = true;
            rule.SetDaily();
            rule.SetEveryXDays();
            rule.SetEveryXDayCount(1);
            rule.SetStartDate("01/02/2006");
            if (ends == Ends::AfterCount) {
                rule.SetEndAfterOccurences();
                rule.SetEndOccurences(rows);
            } else if (ends == Ends::ByDate) {
                rule.SetEndByDate();
                rule.SetEndDate(CDateTime(2006, 1, 1 + rows).Format("%m/%d/%Y"));
            } else {
                rule.SetNoEndDate();
            }
            return true;
        });
        ASSERT_TRUE(series.Add(CDateTime(2006, 1, 2), 9, 0));
    }

    void AddPlain(int day, const char* desc) {
        CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem&) {
            values.desc = desc;
            return true;
        });
        ASSERT_TRUE(series.Add(CDateTime(2006, 1, day), 9, 0));
    }

    static std::vector<CAppt> AllRows() {
        std::vector<CAppt> rows;
        g_doc.GetApptsInRange(rows, "1900-01-01 00:00:00", "9999-12-31 00:00:00");
        return rows;
    }

    // The ID of the row on the day of January 2006.
    static CString RowOn(int day) {
        const CDateTime date(2006, 1, day);
        for (const CAppt& row : AllRows())
            if (row.m_DateDue == date)
                return row.m_ID;
        ADD_FAILURE() << "no row on January " << day;
        return CString();
    }

    // The days of January each rule keeps, rules ordered by their first day, then "plain" and the
    // days of the appointments outside any series: "2,3 | 5,6 | plain 4".
    static std::string Shape() {
        std::map<std::string, std::string> byRule;
        std::string plain;
        for (const CAppt& row : AllRows()) {
            const std::string day = std::to_string(row.m_DateDue.GetDay());
            std::string& list = row.m_RecrDtID.IsEmpty() ? plain : byRule[row.m_RecrDtID.c_str()];
            list += (list.empty() ? "" : ",") + day;
        }
        std::vector<std::string> parts;
        for (const auto& [id, days] : byRule)
            parts.push_back(days);
        std::sort(parts.begin(), parts.end(),
                  [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
        std::string shape;
        for (const std::string& part : parts)
            shape += (shape.empty() ? "" : " | ") + part;
        if (!plain.empty())
            shape += (shape.empty() ? "plain " : " | plain ") + plain;
        return shape;
    }

    // Every RecrDtID names an existing rule or is empty, and every rule keeps a row.
    static void ExpectSeriesIntact() {
        EXPECT_EQ(Count("select count(*) from Appt where RecrDtID <> '' and RecrDtID not in "
                        "(select ID from RecurringDate)"),
                  0);
        EXPECT_EQ(Count("select count(*) from RecurringDate where ID not in (select RecrDtID from Appt)"), 0);
    }

    // The rule of the row on the day.
    static CRecurItem RuleOf(int day) {
        CAppt appt;
        appt.m_ID = RowOn(day);
        EXPECT_TRUE(g_doc.GetAppt(appt));
        CRecurItem rule;
        rule.SetID(appt.m_RecrDtID);
        EXPECT_TRUE(g_doc.GetRecurringDate(rule));
        return rule;
    }

    MemoryRegistry registry;
};

struct DeleteCase {
    const char* name;
    int rows;
    Ends ends;
    int deletedDay;
    int answer; // 0: no question expected
    const char* shape;
};

void PrintTo(const DeleteCase& c, std::ostream* out) {
    *out << c.name;
}

class ApptSeriesDelete : public ApptSeriesTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(ApptSeriesDelete, LeavesTheExpectedRowsAndRules) {
    const DeleteCase& c = GetParam();
    AddDailySeries(c.rows, c.ends);
    AddPlain(20, "Dentist");
    ExpectSeriesIntact();
    if (c.answer)
        Prompt().AnswerMessageBox(c.answer);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    ASSERT_TRUE(series.Delete(RowOn(c.deletedDay)));
    EXPECT_EQ(Shape(), c.shape);
    ExpectSeriesIntact();
    EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
    EXPECT_EQ(Prompt().PendingAnswers(), 0);
    if (c.answer) {
        ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Delete Future Occurrences");
        EXPECT_EQ(Prompt().MessageBoxes()[0].text,
                  "Do you want to delete all future occurrences of this appointment?");
        EXPECT_EQ(Prompt().MessageBoxes()[0].flags, unsigned{MB_YESNO | MB_ICONINFORMATION});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApptSeriesDelete,
    testing::Values(DeleteCase{"LastOfThree", 3, Ends::AfterCount, 4, 0, "2,3 | plain 20"},
                    DeleteCase{"LastOfTwoMakesTheOtherPlain", 2, Ends::AfterCount, 3, 0, "plain 2,20"},
                    DeleteCase{"OnlyRow", 1, Ends::AfterCount, 2, 0, "plain 20"},
                    DeleteCase{"MiddleOfFiveNo", 5, Ends::AfterCount, 4, IDNO, "2,3 | 5,6 | plain 20"},
                    DeleteCase{"MiddleOfThreeNoGivesTwoPlain", 3, Ends::AfterCount, 3, IDNO, "plain 2,4,20"},
                    DeleteCase{"FirstOfThreeNo", 3, Ends::AfterCount, 2, IDNO, "3,4 | plain 20"},
                    DeleteCase{"SecondOfFourNo", 4, Ends::ByDate, 3, IDNO, "4,5 | plain 2,20"},
                    DeleteCase{"MiddleOfFiveYes", 5, Ends::ByDate, 4, IDYES, "2,3 | plain 20"},
                    DeleteCase{"SecondOfThreeYes", 3, Ends::Never, 3, IDYES, "plain 2,20"},
                    DeleteCase{"FirstOfThreeYes", 3, Ends::AfterCount, 2, IDYES, "plain 20"},
                    DeleteCase{"PlainAppointment", 2, Ends::AfterCount, 20, 0, "2,3"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ApptSeriesTest, DeletingTheLastOfACountedSeriesCountsTheRest) {
    AddDailySeries(3, Ends::AfterCount);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    ASSERT_TRUE(series.Delete(RowOn(4)));
    const CRecurItem rule = RuleOf(2);
    EXPECT_EQ(rule.GetEndMethod(), 1);
    EXPECT_EQ(rule.GetEndOccurences(), 2);
}

TEST_F(ApptSeriesTest, SplittingACountedSeriesCountsEachPart) {
    AddDailySeries(6, Ends::AfterCount);
    Prompt().AnswerMessageBox(IDNO);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    ASSERT_TRUE(series.Delete(RowOn(4)));
    EXPECT_EQ(Shape(), "2,3 | 5,6,7");
    EXPECT_EQ(RuleOf(2).GetEndOccurences(), 2);
    EXPECT_EQ(RuleOf(5).GetEndOccurences(), 3);
    EXPECT_EQ(RuleOf(5).GetEndMethod(), 1);
}

TEST_F(ApptSeriesTest, SplittingADateEndedSeriesMovesItsDates) {
    AddDailySeries(6, Ends::ByDate);
    Prompt().AnswerMessageBox(IDNO);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    ASSERT_TRUE(series.Delete(RowOn(4)));
    EXPECT_EQ(RuleOf(2).GetEndDate(), "01/03/2006");
    EXPECT_EQ(RuleOf(5).GetStartDate(), "01/05/2006");
    EXPECT_EQ(RuleOf(5).GetEndDate(), "01/07/2006");
}

TEST_F(ApptSeriesTest, YesOnADateEndedSeriesEndsItTheDayBefore) {
    AddDailySeries(5, Ends::ByDate);
    Prompt().AnswerMessageBox(IDYES);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    ASSERT_TRUE(series.Delete(RowOn(4)));
    const CRecurItem rule = RuleOf(2);
    EXPECT_EQ(rule.GetEndMethod(), 2);
    EXPECT_EQ(rule.GetEndDate(), "01/03/2006");
}

TEST_F(ApptSeriesTest, DeleteOfAMissingAppointmentChangesNothing) {
    AddDailySeries(2, Ends::AfterCount);
    CApptSeries series([](const char*, ApptSheetValues&, CRecurItem&) { return false; });
    EXPECT_FALSE(series.Delete("no-such-id"));
    EXPECT_EQ(Shape(), "2,3");
}

TEST_F(ApptSeriesTest, AddProposesTheQuarterHourOfThePlannersTime) {
    g_doc.SetModifiedFlag(false, false);
    ApptSheetValues seen;
    CRecurItem seenRule;
    CApptSeries series([&](const char* title, ApptSheetValues& values, CRecurItem& rule) {
        EXPECT_STREQ(title, "Add Appointment");
        seen = values;
        seenRule = rule;
        return false;
    });
    EXPECT_FALSE(series.Add(CDateTime(2006, 3, 7, 11, 5, 0), 14, 37));
    EXPECT_EQ(seen.dateDue.Format("%Y-%m-%d %H:%M:%S"), "2006-03-07 00:00:00");
    EXPECT_EQ(seen.startTime.Format("%Y-%m-%d %H:%M"), "2006-03-07 14:30");
    EXPECT_EQ(seen.endTime.Format("%Y-%m-%d %H:%M"), "2006-03-07 14:45");
    EXPECT_EQ(seen.alarmTime, seen.startTime);
    EXPECT_FALSE(seen.alarm);
    EXPECT_FALSE(seen.recurring);
    EXPECT_TRUE(seen.desc.IsEmpty());
    EXPECT_EQ(seenRule.GetStartDate(), "03/07/2006");
    EXPECT_EQ(seenRule.GetStartTime(), "02:30 PM");
    EXPECT_EQ(seenRule.GetEndTime(), "02:45 PM");
    EXPECT_EQ(Count("select count(*) from Appt"), 0);
    EXPECT_FALSE(g_doc.IsModified());
}

// Add without a clicked planner cell leaves the planner at midnight, which the sheet's spins do not
// offer: the proposal is a time the user can see instead.
TEST_F(ApptSeriesTest, AddProposesATimeInsideTheSpinsRange) {
    struct ProposalCase {
        const char* name;
        int day;          // of March 2026; the clock shows the 10th
        int hour, minute; // the planner's time
        uint16_t nowHour, nowMinute;
        int firstVisibleHour;
        const char* start;
    };
    const ProposalCase cases[] = {
        {"ClickedCell", 12, 14, 37, 10, 20, 8, "14:30"},
        {"TodayNextQuarterHour", 10, 0, 0, 10, 20, 8, "10:30"},
        {"TodayOnAQuarterHour", 10, 0, 0, 10, 45, 8, "10:45"},
        {"TodayTooLateForTheSpins", 10, 0, 0, 23, 10, 8, "08:00"},
        {"TodayTooEarlyForTheSpins", 10, 0, 0, 4, 10, 7, "07:00"},
        {"AnotherDayFirstVisibleHour", 12, 0, 0, 10, 20, 9, "09:00"},
        {"VisibleHourBeforeTheSpins", 12, 0, 0, 10, 20, 0, "05:00"},
        {"VisibleHourAfterTheSpins", 12, 23, 30, 10, 20, 23, "22:45"},
    };
    for (const ProposalCase& c : cases) {
        SCOPED_TRACE(c.name);
        SYSTEMTIME now{2026, 3, 0, 10, c.nowHour, c.nowMinute, 0, 0};
        SetLocalTimeForTesting(now);
        const ApptSheetValues values =
            CApptSeries::Proposal(CDateTime(2026, 3, c.day), c.hour, c.minute, c.firstVisibleHour);
        EXPECT_EQ(values.startTime.Format("%H:%M"), c.start);
        EXPECT_EQ(values.startTime.GetDay(), c.day);
        EXPECT_NEAR((values.endTime - values.startTime).GetTotalMinutes(), 15, 0.01);
    }
}

// Whatever times the sheet hands back, the stored appointment has both, on its day, inside the
// hours the spins offer.
TEST_F(ApptSeriesTest, AStoredAppointmentAlwaysHasItsTimes) {
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem&) {
        values.desc = "Early";
        values.startTime = CDateTime();
        values.endTime = CDateTime(2006, 1, 9, 0, 0, 0);
        return true;
    });
    ASSERT_TRUE(series.Add(CDateTime(2006, 1, 9), 0, 0));
    const std::vector<CAppt> rows = AllRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].m_StartTime.Format("%Y-%m-%d %H:%M"), "2006-01-09 05:00");
    EXPECT_EQ(rows[0].m_EndTime.Format("%Y-%m-%d %H:%M"), "2006-01-09 05:15");
}

TEST_F(ApptSeriesTest, AddStoresThePlainAppointmentAsTyped) {
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem&) {
        values.desc = "Lunch with O'Brien";
        values.startTime = CDateTime(2006, 1, 9, 12, 0, 0);
        values.endTime = CDateTime(2006, 1, 9, 13, 30, 0);
        values.alarmTime = CDateTime(2006, 1, 9, 11, 45, 0);
        values.alarm = true;
        return true;
    });
    ASSERT_TRUE(series.Add(CDateTime(2006, 1, 9), 8, 0));
    const std::vector<CAppt> rows = AllRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].m_Desc, "Lunch with O'Brien");
    EXPECT_EQ(rows[0].m_StartTime.Format("%H:%M"), "12:00");
    EXPECT_EQ(rows[0].m_EndTime.Format("%H:%M"), "13:30");
    EXPECT_EQ(rows[0].m_AlarmTime.Format("%H:%M"), "11:45");
    EXPECT_TRUE(rows[0].m_Alarm);
    EXPECT_TRUE(rows[0].m_RecrDtID.IsEmpty());
    EXPECT_TRUE(g_doc.IsModified());
}

TEST_F(ApptSeriesTest, AddWritesOneRowPerDateAtTheSheetsTimes) {
    AddDailySeries(3, Ends::AfterCount);
    EXPECT_EQ(Shape(), "2,3,4");
    ExpectSeriesIntact();
    for (const CAppt& row : AllRows()) {
        EXPECT_EQ(row.m_StartTime.Format("%H:%M"), "09:00");
        EXPECT_EQ(row.m_EndTime.Format("%H:%M"), "09:15");
        EXPECT_EQ(row.m_StartTime.GetDay(), row.m_DateDue.GetDay());
    }
    const CRecurItem rule = RuleOf(2);
    EXPECT_EQ(rule.GetStartTime(), "09:00 AM");
    EXPECT_EQ(rule.GetEndTime(), "09:15 AM");
}

TEST_F(ApptSeriesTest, ARuleEndingAtOnceStillKeepsTheAppointment) {
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem& rule) {
        values.desc = "Review";
        values.recurring = true;
        rule.SetWeekly();
        for (int day = 1; day <= 7; ++day)
            rule.SetWeeklyDay(day, false);
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(0);
        return true;
    });
    ASSERT_TRUE(series.Add(CDateTime(2006, 1, 2), 9, 0));
    EXPECT_EQ(Shape(), "plain 2");
    ExpectSeriesIntact();
}

TEST_F(ApptSeriesTest, AnEmptyOccurrenceCountKeepsTheStartDay) {
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem& rule) {
        values.recurring = true;
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(0);
        return true;
    });
    ASSERT_TRUE(series.Add(CDateTime(2006, 1, 2), 9, 0));
    EXPECT_EQ(Shape(), "2");
    ExpectSeriesIntact();
}

// An edit of a series' row: which row, what the sheet changes, the answer to the question.
struct EditCase {
    const char* name;
    int rows;
    int editedDay;
    std::function<void(ApptSheetValues&, CRecurItem&)> change;
    int answer;          // 0: no question expected
    const char* caption; // of the expected question
    const char* shape;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.name;
}

class ApptSeriesEdit : public ApptSeriesTest, public testing::WithParamInterface<EditCase> {};

TEST_P(ApptSeriesEdit, LeavesTheExpectedRowsAndRules) {
    const EditCase& c = GetParam();
    AddDailySeries(c.rows, Ends::AfterCount);
    AddPlain(20, "Dentist");
    if (c.answer)
        Prompt().AnswerMessageBox(c.answer);
    CApptSeries series([&](const char* title, ApptSheetValues& values, CRecurItem& rule) {
        EXPECT_STREQ(title, "Edit Appointment");
        EXPECT_TRUE(values.recurring);
        // The sheet shows the series' first day.
        EXPECT_EQ(values.dateDue.GetDay(), 2);
        c.change(values, rule);
        return true;
    });
    ASSERT_TRUE(series.Edit(RowOn(c.editedDay)));
    EXPECT_EQ(Shape(), c.shape);
    ExpectSeriesIntact();
    EXPECT_EQ(Prompt().UnexpectedCalls(), 0);
    EXPECT_EQ(Prompt().PendingAnswers(), 0);
    if (c.answer) {
        ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompt().MessageBoxes()[0].caption, c.caption);
    }
}

void ClearRecurring(ApptSheetValues& values, CRecurItem&) {
    values.recurring = false;
}
void KeepAsIs(ApptSheetValues&, CRecurItem&) {}
void TwoDaysFromTheNinth(ApptSheetValues&, CRecurItem& rule) {
    rule.SetStartDate("01/09/2006");
    rule.SetEndOccurences(2);
}
void OneDateOnTheNinth(ApptSheetValues& values, CRecurItem& rule) {
    rule.SetStartDate("01/09/2006");
    rule.SetEndOccurences(1);
    values.dateDue = CDateTime(2006, 1, 9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApptSeriesEdit,
    testing::Values(EditCase{"ClearRecurringNo", 3, 3, ClearRecurring, IDNO, "Delete Future Occurrences",
                             "plain 2,3,4,20"},
                    EditCase{"ClearRecurringYes", 3, 3, ClearRecurring, IDYES, "Delete Future Occurrences",
                             "plain 2,3,20"},
                    EditCase{"ClearRecurringOnTheLastRow", 3, 4, ClearRecurring, 0, "", "2,3 | plain 4,20"},
                    EditCase{"ModifyFutureNo", 5, 4, TwoDaysFromTheNinth, IDNO, "Modify Future Occurrences",
                             "2,3 | 5,6 | plain 4,20"},
                    EditCase{"ModifyFutureYes", 5, 4, TwoDaysFromTheNinth, IDYES, "Modify Future Occurrences",
                             "2,3 | 9,10 | plain 20"},
                    EditCase{"UnchangedRuleOnTheFirstRowYes", 3, 2, KeepAsIs, IDYES,
                             "Modify Future Occurrences", "2,3,4 | plain 20"},
                    EditCase{"RuleWithOneDateGivesAPlainRow", 3, 4, OneDateOnTheNinth, 0, "",
                             "2,3 | plain 9,20"},
                    EditCase{"OnlyRowOfItsSeries", 1, 2, TwoDaysFromTheNinth, 0, "", "9,10 | plain 20"}),
    [](const auto& test) { return std::string(test.param.name); });

// A weekly appointment of ten Tuesdays from 3 January 2006, its second occurrence edited.
TEST_F(ApptSeriesTest, EditingTheSecondOfAWeeklySeries) {
    struct Step {
        const char* name;
        int answer;
        bool toThursdays; // the recurrence page moved to Thursdays
        const char* days; // "day:text" of every row, by day
    };
    const Step steps[] = {
        {"ThisOneOnly", IDNO, false,
         "3:Standup 10:Moved 17:Standup 24:Standup 31:Standup 38:Standup 45:Standup 52:Standup 59:Standup "
         "66:Standup"},
        {"ThisAndFuture", IDYES, false,
         "3:Standup 10:Moved 17:Moved 24:Moved 31:Moved 38:Moved 45:Moved 52:Moved 59:Moved 66:Moved"},
        {"ThisAndFutureOnThursdays", IDYES, true,
         "3:Standup 12:Moved 19:Moved 26:Moved 33:Moved 40:Moved 47:Moved 54:Moved 61:Moved 68:Moved"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        g_db.ExecDml("delete from Appt");
        g_db.ExecDml("delete from RecurringDate");
        CApptSeries adding([](const char*, ApptSheetValues& values, CRecurItem& rule) {
            values.desc = "Standup";
            values.recurring = true;
            rule.SetWeekly();
            rule.SetEveryWeekCount(1);
            for (int day = 1; day <= 7; ++day)
                rule.SetWeeklyDay(day, day == 3);
            rule.SetStartDate("01/03/2006");
            rule.SetEndAfterOccurences();
            rule.SetEndOccurences(10);
            return true;
        });
        ASSERT_TRUE(adding.Add(CDateTime(2006, 1, 3), 9, 0));
        Prompt().AnswerMessageBox(step.answer);
        CApptSeries editing([&](const char*, ApptSheetValues& values, CRecurItem& rule) {
            values.desc = "Moved";
            if (step.toThursdays) {
                rule.SetWeeklyDay(3, false);
                rule.SetWeeklyDay(5, true);
            }
            return true;
        });
        ASSERT_TRUE(editing.Edit(RowOn(10)));
        std::string days;
        for (const CAppt& row : AllRows()) {
            const long day = std::lround((row.m_DateDue - CDateTime(2005, 12, 31)).GetValue());
            days += (days.empty() ? "" : " ") + std::to_string(day) + ":" + row.m_Desc.c_str();
        }
        EXPECT_EQ(days, step.days);
        ExpectSeriesIntact();
        EXPECT_EQ(Prompt().PendingAnswers(), 0);
        Prompt().Clear();
    }
}

TEST_F(ApptSeriesTest, ClearingRecurringInsertsTheSheetsValues) {
    AddDailySeries(2, Ends::AfterCount);
    Prompt().AnswerMessageBox(IDYES);
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem&) {
        values.recurring = false;
        values.desc = "Moved";
        values.startTime = CDateTime(2006, 1, 2, 16, 0, 0);
        values.endTime = CDateTime(2006, 1, 2, 17, 0, 0);
        return true;
    });
    ASSERT_TRUE(series.Edit(RowOn(2)));
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
    const std::vector<CAppt> rows = AllRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].m_Desc, "Moved");
    EXPECT_EQ(rows[0].m_StartTime.Format("%Y-%m-%d %H:%M"), "2006-01-02 16:00");
    EXPECT_TRUE(rows[0].m_RecrDtID.IsEmpty());
}

TEST_F(ApptSeriesTest, EditCancelledChangesNothing) {
    AddDailySeries(3, Ends::AfterCount);
    g_doc.SetModifiedFlag(false, false);
    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem&) {
        values.recurring = false;
        return false;
    });
    EXPECT_FALSE(series.Edit(RowOn(3)));
    EXPECT_EQ(Shape(), "2,3,4");
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
}

TEST_F(ApptSeriesTest, EditingAPlainAppointment) {
    struct Step {
        const char* name;
        std::function<void(ApptSheetValues&, CRecurItem&)> change;
        const char* shape;
    };
    const std::vector<Step> steps = {
        {"StaysPlain", [](ApptSheetValues& values, CRecurItem&) { values.desc = "Dentist, later"; },
         "plain 20"},
        {"BecomesASeries",
         [](ApptSheetValues& values, CRecurItem& rule) {
             EXPECT_EQ(rule.GetStartDate(), "01/20/2006");
             EXPECT_EQ(rule.GetStartTime(), "09:00 AM");
             values.recurring = true;
             rule.SetEndAfterOccurences();
             rule.SetEndOccurences(3);
         },
         "20,21,22"},
        {"SeriesOfOneStaysPlain",
         [](ApptSheetValues& values, CRecurItem& rule) {
             values.recurring = true;
             rule.SetEndAfterOccurences();
             rule.SetEndOccurences(1);
         },
         "plain 20"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        for (const CAppt& row : AllRows())
            g_doc.DeleteAppt(row);
        AddPlain(20, "Dentist");
        CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& rule) {
            EXPECT_FALSE(values.recurring);
            step.change(values, rule);
            return true;
        });
        ASSERT_TRUE(series.Edit(RowOn(20)));
        EXPECT_EQ(Shape(), step.shape);
        ExpectSeriesIntact();
        EXPECT_TRUE(Prompt().MessageBoxes().empty());
    }
}

// A text-only edit stores every time as it was, also outside the hours the spins offer, across
// midnight and with the alarm on the day before: of a plain appointment, and of a series answered
// "this one only" and "this and future" (each later row keeps its times on its own day).
TEST_F(ApptSeriesTest, ATextOnlyEditStoresTheTimesAsTheyWere) {
    for (const UntouchedTimes& times : UntouchedTimesTable())
        for (int answer : {0, int(IDNO), int(IDYES)}) {
            SCOPED_TRACE(std::string(times.name) + (answer == 0      ? " plain"
                                                    : answer == IDNO ? " this one"
                                                                     : " future"));
            g_db.ExecDml("delete from Appt");
            g_db.ExecDml("delete from RecurringDate");
            const CAppt original = UntouchedAppt(times, CDateTime(2006, 1, 2), "Imported");
            if (answer == 0) {
                ASSERT_TRUE(g_doc.InsertAppt(original));
            } else {
                CApptSeries series([&](const char*, ApptSheetValues& values, CRecurItem& rule) {
                    values.desc = "Imported";
                    values.startTime = original.m_StartTime;
                    values.endTime = original.m_EndTime;
                    values.alarmTime = original.m_AlarmTime;
                    values.alarm = original.m_Alarm;
                    values.recurring = true;
                    rule.SetDaily();
                    rule.SetStartDate("01/02/2006");
                    rule.SetEndAfterOccurences();
                    rule.SetEndOccurences(3);
                    return true;
                });
                ASSERT_TRUE(series.Add(CDateTime(2006, 1, 2), 9, 0));
            }
            std::vector<std::string> before;
            for (const CAppt& row : AllRows())
                before.push_back(TimesOf(row));
            if (answer == 0)
                EXPECT_EQ(before, std::vector<std::string>{TimesOf(original)});
            else
                ASSERT_EQ(before.size(), 3u);
            CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem&) {
                values.desc = "Edited";
                return true;
            });
            if (answer != 0)
                Prompt().AnswerMessageBox(answer);
            ASSERT_TRUE(series.Edit(answer == 0 ? original.m_ID : RowOn(3)));
            std::vector<std::string> after;
            for (const CAppt& row : AllRows())
                after.push_back(TimesOf(row));
            EXPECT_EQ(after, before);
            EXPECT_EQ(Count("select count(*) from Appt where Desc = 'Edited'"), answer == IDYES ? 2 : 1);
            EXPECT_EQ(Prompt().PendingAnswers(), 0);
            Prompt().Clear();
        }
}

} // namespace
