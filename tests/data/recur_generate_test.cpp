#include "data/RecurPattern.h"

#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Thursday 10 December 2026, 09:30.
SYSTEMTIME FixedNow() {
    SYSTEMTIME now;
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDayOfWeek = 4;
    now.wDay = 10;
    now.wHour = 9;
    now.wMinute = 30;
    return now;
}

class RecurGenerate : public ::testing::Test {
protected:
    void SetUp() override {
        registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
        SetRegistry(&registry);
        SetLocalTimeForTesting(FixedNow());
    }
    void TearDown() override {
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    MemoryRegistry registry;
};

std::vector<std::string> Texts(const CDateList& dates) {
    std::vector<std::string> texts;
    for (const CDateTime& date : dates)
        texts.push_back(date.Format("%Y-%m-%d %H:%M:%S").str());
    return texts;
}

// The expected dates, each at midnight.
std::vector<std::string> Midnights(std::initializer_list<const char*> days) {
    std::vector<std::string> texts;
    for (const char* day : days)
        texts.push_back(std::string(day) + " 00:00:00");
    return texts;
}

// A rule that starts on the date and ends after the count (EndMethod 1).
CRecurPattern Rule(const char* startDate, int count) {
    CRecurPattern rule;
    rule.SetStartDate(startDate);
    rule.SetEndAfterOccurences();
    rule.SetEndOccurences(count);
    for (int day = 1; day <= 7; ++day)
        rule.SetWeeklyDay(day, false);
    return rule;
}

CRecurPattern RuleUntil(const char* startDate, const char* endDate) {
    CRecurPattern rule = Rule(startDate, 0);
    rule.SetEndByDate();
    rule.SetEndDate(endDate);
    return rule;
}

SkipDateRule Skip(const char* date, int method, bool enabled = true) {
    SkipDateRule rule;
    rule.Date = date;
    rule.SkipMethod = method;
    rule.Enabled = enabled;
    return rule;
}

struct RuleCase {
    const char* name;
    std::function<CRecurPattern()> make;
    std::vector<std::string> expected;
};

void PrintTo(const RuleCase& rule, std::ostream* out) {
    *out << rule.name;
}

const std::vector<RuleCase>& RuleCases() {
    static const std::vector<RuleCase> cases = {
        {"DailyEveryThreeDays",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 4);
             rule.SetEveryXDayCount(3);
             return rule;
         },
         Midnights({"2006-01-02", "2006-01-05", "2006-01-08", "2006-01-11"})},
        {"DailyEveryWeekday",
         [] {
             CRecurPattern rule = Rule("01/06/2006", 3);
             rule.SetEveryWeekday();
             return rule;
         },
         Midnights({"2006-01-06", "2006-01-09", "2006-01-10"})},
        {"DailyUntilEndDateIncludesIt", [] { return RuleUntil("01/01/2006", "01/04/2006"); },
         Midnights({"2006-01-01", "2006-01-02", "2006-01-03", "2006-01-04"})},
        {"DailyIntervalZeroGivesOnlyTheStart",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 5);
             rule.SetEveryXDayCount(0);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"DailyNegativeIntervalGivesOnlyTheStart",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 5);
             rule.SetEveryXDayCount(-3);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"WeeklyEveryTwoWeeksMondayFriday",
         [] {
             CRecurPattern rule = Rule("01/04/2006", 4);
             rule.SetWeekly();
             rule.SetEveryWeekCount(2);
             rule.SetWeeklyMonday(true);
             rule.SetWeeklyFriday(true);
             return rule;
         },
         Midnights({"2006-01-06", "2006-01-16", "2006-01-20", "2006-01-30"})},
        {"WeeklyUntilEndDateOnTheRule",
         [] {
             CRecurPattern rule = RuleUntil("01/01/2006", "01/19/2006");
             rule.SetWeekly();
             rule.SetWeeklyThursday(true);
             return rule;
         },
         Midnights({"2006-01-05", "2006-01-12", "2006-01-19"})},
        {"WeeklyIntervalZeroGivesOnlyTheFirstWeek",
         [] {
             CRecurPattern rule = Rule("01/04/2006", 5);
             rule.SetWeekly();
             rule.SetEveryWeekCount(0);
             rule.SetWeeklyMonday(true);
             rule.SetWeeklyFriday(true);
             return rule;
         },
         Midnights({"2006-01-06"})},
        {"WeeklyNoEndDateGivesThirty",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 5);
             rule.SetNoEndDate();
             rule.SetWeekly();
             rule.SetWeeklyMonday(true);
             return rule;
         },
         [] {
             std::vector<std::string> mondays;
             CDateTime monday(2006, 1, 2);
             for (int week = 0; week < 30; ++week) {
                 mondays.push_back(monday.Format("%Y-%m-%d %H:%M:%S").str());
                 monday += CDateTimeSpan(7.0);
             }
             return mondays;
         }()},
        {"MonthlyDay31SkipsShortMonths",
         [] {
             CRecurPattern rule = Rule("01/01/2006", 3);
             rule.SetMonthly();
             rule.SetMonthlyCount1(31);
             return rule;
         },
         Midnights({"2006-01-31", "2006-03-31", "2006-05-31"})},
        {"MonthlyDay29InFebruaryOfALeapYearOnly",
         [] {
             CRecurPattern rule = RuleUntil("02/01/2007", "12/31/2008");
             rule.SetMonthly();
             rule.SetMonthlyCount1(29);
             rule.SetMonthlyCount2(12);
             return rule;
         },
         Midnights({"2008-02-29"})},
        {"MonthlyDayEveryTwoMonthsCountsTheStartMonth",
         [] {
             CRecurPattern rule = Rule("01/20/2006", 2);
             rule.SetMonthly();
             rule.SetMonthlyCount1(15);
             rule.SetMonthlyCount2(2);
             return rule;
         },
         Midnights({"2006-03-15", "2006-05-15"})},
        {"MonthlyFirstMondayStartMonthBeforeStart",
         [] {
             CRecurPattern rule = Rule("05/02/2006", 2);
             rule.SetMonthly();
             rule.SetMonthlyDayOfKind();
             rule.SetMonthlyTheOption(0);
             rule.SetMonthlyDayOption(4);
             return rule;
         },
         Midnights({"2006-06-05", "2006-07-03"})},
        {"MonthlyFirstMondayEveryTwoMonths",
         [] {
             CRecurPattern rule = Rule("05/02/2006", 2);
             rule.SetMonthly();
             rule.SetMonthlyDayOfKind();
             rule.SetMonthlyTheOption(0);
             rule.SetMonthlyDayOption(4);
             rule.SetMonthlyCount3(2);
             return rule;
         },
         Midnights({"2006-07-03", "2006-09-04"})},
        {"MonthlyLastWeekendDayUntil",
         [] {
             CRecurPattern rule = RuleUntil("01/01/2006", "03/31/2006");
             rule.SetMonthly();
             rule.SetMonthlyDayOfKind();
             rule.SetMonthlyTheOption(4);
             rule.SetMonthlyDayOption(2);
             return rule;
         },
         Midnights({"2006-01-29", "2006-02-26", "2006-03-26"})},
        {"MonthlyLastWeekdayMinusTwoDays",
         [] {
             CRecurPattern rule = Rule("01/01/2006", 2);
             rule.SetMonthly();
             rule.SetMonthlyMethod(2);
             rule.SetMonthlyTheOption1(4);
             rule.SetMonthlyDayOption1(1);
             rule.SetMonthlyMathOp(1);
             rule.SetMonthlyMathDays(2);
             return rule;
         },
         Midnights({"2006-01-29", "2006-02-26"})},
        {"MonthlyFirstMondayPlusOneDay",
         [] {
             CRecurPattern rule = Rule("01/01/2006", 2);
             rule.SetMonthly();
             rule.SetMonthlyMethod(2);
             rule.SetMonthlyTheOption1(0);
             rule.SetMonthlyDayOption1(4);
             rule.SetMonthlyMathOp(0);
             rule.SetMonthlyMathDays(1);
             return rule;
         },
         Midnights({"2006-01-03", "2006-02-07"})},
        {"MonthlyNthDayAfterTheEndDateIsNotGenerated",
         [] {
             CRecurPattern rule = RuleUntil("01/01/2006", "02/15/2006");
             rule.SetMonthly();
             rule.SetMonthlyDayOfKind();
             rule.SetMonthlyTheOption(4);
             rule.SetMonthlyDayOption(0);
             return rule;
         },
         Midnights({"2006-01-31"})},
        {"YearlyFebruary29",
         [] {
             CRecurPattern rule = Rule("01/01/2006", 2);
             rule.SetYearly();
             rule.SetYearlyMonth1(2);
             rule.SetYearlyMonthDay(29);
             return rule;
         },
         Midnights({"2008-02-29", "2012-02-29"})},
        {"YearlyDayBeforeTheStartWaitsAYear",
         [] {
             CRecurPattern rule = Rule("06/15/2006", 2);
             rule.SetYearly();
             rule.SetYearlyMonth1(3);
             rule.SetYearlyMonthDay(1);
             return rule;
         },
         Midnights({"2007-03-01", "2008-03-01"})},
        {"YearlyComputedDateAfterEndDateIsNotGenerated",
         [] {
             CRecurPattern rule = RuleUntil("01/01/2006", "06/30/2008");
             rule.SetYearly();
             rule.SetYearlyMonth1(12);
             rule.SetYearlyMonthDay(1);
             return rule;
         },
         Midnights({"2006-12-01", "2007-12-01"})},
        {"YearlyEndDateItself",
         [] {
             CRecurPattern rule = RuleUntil("01/01/2006", "12/01/2007");
             rule.SetYearly();
             rule.SetYearlyMonth1(12);
             rule.SetYearlyMonthDay(1);
             return rule;
         },
         Midnights({"2006-12-01", "2007-12-01"})},
        {"YearlyFourthThursdayOfNovember",
         [] {
             CRecurPattern rule = Rule("01/01/2006", 2);
             rule.SetYearly();
             rule.SetYearlyDayOfKind();
             rule.SetYearlyMonth2(11);
             rule.SetYearlyTheOption(3);
             rule.SetYearlyDayOption(7);
             return rule;
         },
         Midnights({"2006-11-23", "2007-11-22"})},
        {"StartDateWithATimeGivesMidnights", [] { return Rule("01/02/2006 10:30 AM", 2); },
         Midnights({"2006-01-02", "2006-01-03"})},
        {"BlackoutDateIsNeverGenerated",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 3);
             rule.AddBlackout(CDateTime(2006, 1, 3, 15, 45, 0));
             return rule;
         },
         Midnights({"2006-01-02", "2006-01-04", "2006-01-05"})},
        {"ForceDatesFollowTheGeneratedOnes",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 2);
             rule.AddForceDate(CDateTime(2006, 12, 25));
             rule.AddForceDate(CDateTime(2005, 7, 4));
             return rule;
         },
         Midnights({"2006-01-02", "2006-01-03", "2006-12-25", "2005-07-04"})},
        {"SkipToNextWeekdayPassesOverTheWeekend",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 4);
             rule.AddSkipRule(Skip("01/07/2006", 1));
             return rule;
         },
         Midnights({"2006-01-05", "2006-01-06", "2006-01-09", "2006-01-10"})},
        {"SkipAboveNineDropsTheDate",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 3);
             rule.AddSkipRule(Skip("01/06/2006", 10));
             return rule;
         },
         Midnights({"2006-01-05", "2006-01-07", "2006-01-08"})},
        {"SkipNegativeMethodDropsTheDate",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 2);
             rule.AddSkipRule(Skip("01/05/2006", -1));
             return rule;
         },
         Midnights({"2006-01-06", "2006-01-07"})},
        {"DisabledSkipRuleIsIgnored",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 2);
             rule.AddSkipRule(Skip("01/05/2006", 10, false));
             return rule;
         },
         Midnights({"2006-01-05", "2006-01-06"})},
        {"SkipRuleWithADateOptionNeverMatches",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 2);
             SkipDateRule skip = Skip("01/05/2006", 10);
             skip.DateOption = 3;
             rule.AddSkipRule(skip);
             return rule;
         },
         Midnights({"2006-01-05", "2006-01-06"})},
        {"FirstMatchingSkipRuleDecides",
         [] {
             CRecurPattern rule = Rule("01/05/2006", 2);
             rule.AddSkipRule(Skip("01/05/2006", 0));
             rule.AddSkipRule(Skip("01/05/2006", 10));
             return rule;
         },
         Midnights({"2006-01-06", "2006-01-07"})},
        {"SkippedDateMovedPastTheEndDateIsDropped",
         [] {
             CRecurPattern rule = RuleUntil("01/04/2006", "01/07/2006");
             rule.AddSkipRule(Skip("01/07/2006", 1));
             return rule;
         },
         Midnights({"2006-01-04", "2006-01-05", "2006-01-06"})},
        // The start day's candidates come before the first end test, so a rule
        // that ends at once still keeps the first day it falls on.
        {"DailyCountOfZeroKeepsTheStart", [] { return Rule("01/02/2006", 0); }, Midnights({"2006-01-02"})},
        {"DailyNegativeCountKeepsTheStart", [] { return Rule("01/02/2006", -5); }, Midnights({"2006-01-02"})},
        {"DailyEndDateBeforeTheStartKeepsTheStart", [] { return RuleUntil("01/10/2006", "01/09/2006"); },
         Midnights({"2006-01-10"})},
        {"DailyUnknownEndMethodKeepsTheStart",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 3);
             rule.SetEndMethod(5);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"WeeklyCountOfZeroOnTheStartDay",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 0);
             rule.SetWeekly();
             rule.SetWeeklyMonday(true);
             rule.SetWeeklyFriday(true);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"WeeklyEndDateBeforeTheStartKeepsTheStart",
         [] {
             CRecurPattern rule = RuleUntil("01/10/2006", "01/09/2006");
             rule.SetWeekly();
             rule.SetWeeklyTuesday(true);
             return rule;
         },
         Midnights({"2006-01-10"})},
        {"MonthlyDayOfMonthCountOfZeroKeepsTheStart",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 0);
             rule.SetMonthly();
             rule.SetMonthlyCount1(2);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"MonthlyDayOfMonthUnknownEndMethodKeepsTheStart",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 3);
             rule.SetEndMethod(7);
             rule.SetMonthly();
             rule.SetMonthlyCount1(2);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"MonthlyFirstMondayCountOfZeroKeepsTheStartMonth",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 0);
             rule.SetMonthly();
             rule.SetMonthlyDayOfKind();
             rule.SetMonthlyDayOption(4);
             return rule;
         },
         Midnights({"2006-01-02"})},
        {"YearlyCountOfZeroKeepsTheFirstYear",
         [] {
             CRecurPattern rule = Rule("01/02/2006", 0);
             rule.SetYearly();
             rule.SetYearlyMonth1(3);
             rule.SetYearlyMonthDay(5);
             return rule;
         },
         Midnights({"2006-03-05"})},
    };
    return cases;
}

class RecurRuleTable : public RecurGenerate, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RecurRuleTable, GeneratesTheExpectedDates) {
    const CRecurPattern rule = GetParam().make();
    CDateList dates;
    EXPECT_TRUE(rule.GetDates(dates));
    EXPECT_EQ(Texts(dates), GetParam().expected);
    rule.FreeDateList(dates);
    EXPECT_TRUE(dates.empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, RecurRuleTable, ::testing::ValuesIn(RuleCases()),
                         [](const auto& test) { return std::string(test.param.name); });

// A skipped Wednesday of a weekly Wednesday rule, moved by each method.
struct SkipMoveCase {
    int method;
    std::vector<std::string> expected;
};

class RecurSkipMove : public RecurGenerate, public ::testing::WithParamInterface<SkipMoveCase> {};

TEST_P(RecurSkipMove, MovesTheSkippedDateForward) {
    CRecurPattern rule = Rule("01/04/2006", 2);
    rule.SetWeekly();
    rule.SetWeeklyWednesday(true);
    rule.AddSkipRule(Skip("01/04/2006", GetParam().method));
    CDateList dates;
    ASSERT_TRUE(rule.GetDates(dates));
    EXPECT_EQ(Texts(dates), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, RecurSkipMove,
    ::testing::Values(SkipMoveCase{0, Midnights({"2006-01-05", "2006-01-11"})},  // next day
                      SkipMoveCase{1, Midnights({"2006-01-05", "2006-01-11"})},  // next weekday
                      SkipMoveCase{2, Midnights({"2006-01-07", "2006-01-11"})},  // next weekend day
                      SkipMoveCase{3, Midnights({"2006-01-08", "2006-01-11"})},  // next Sunday
                      SkipMoveCase{4, Midnights({"2006-01-09", "2006-01-11"})},  // next Monday
                      SkipMoveCase{5, Midnights({"2006-01-10", "2006-01-11"})},  // next Tuesday
                      SkipMoveCase{6, Midnights({"2006-01-11", "2006-01-18"})},  // a week later
                      SkipMoveCase{9, Midnights({"2006-01-07", "2006-01-11"})}), // next Saturday
    [](const auto& test) { return "Method" + std::to_string(test.param.method); });

// Rules that never produce a date (or stop producing one) must still come to an
// end.
struct EmptyRuleCase {
    const char* name;
    std::function<CRecurPattern()> make;
};

void PrintTo(const EmptyRuleCase& rule, std::ostream* out) {
    *out << rule.name;
}

class RecurEmptyRule : public RecurGenerate, public ::testing::WithParamInterface<EmptyRuleCase> {};

TEST_P(RecurEmptyRule, EndsWithNoDates) {
    const CRecurPattern rule = GetParam().make();
    CDateList dates;
    EXPECT_TRUE(rule.GetDates(dates));
    EXPECT_TRUE(dates.empty()) << testing::PrintToString(Texts(dates));
}

INSTANTIATE_TEST_SUITE_P(Rules, RecurEmptyRule,
                         ::testing::Values(EmptyRuleCase{"WeeklyWithoutAFlag",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 10);
                                                             rule.SetWeekly();
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"WeeklyWithoutAFlagNoEndDate",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 10);
                                                             rule.SetNoEndDate();
                                                             rule.SetWeekly();
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"WeeklyWithoutAFlagUntilTheLastDay",
                                                         [] {
                                                             CRecurPattern rule =
                                                                 RuleUntil("01/02/2006", "12/31/9999");
                                                             rule.SetWeekly();
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyDayZero",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 3);
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyCount1(0);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyDay32",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 3);
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyCount1(32);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyIntervalZeroAfterTheStartDay",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/20/2006", 3);
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyCount1(10);
                                                             rule.SetMonthlyCount2(0);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyNthDayOfAnUnknownKind",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 3);
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyDayOfKind();
                                                             rule.SetMonthlyDayOption(12);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyUnknownOrdinal",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 3);
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyMethod(2);
                                                             rule.SetMonthlyTheOption1(5);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"YearlyFebruary30",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 2);
                                                             rule.SetYearly();
                                                             rule.SetYearlyMonth1(2);
                                                             rule.SetYearlyMonthDay(30);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"YearlyMonth13",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 2);
                                                             rule.SetYearly();
                                                             rule.SetYearlyMonth1(13);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"YearlyNthDayInMonthZero",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 2);
                                                             rule.SetYearly();
                                                             rule.SetYearlyDayOfKind();
                                                             rule.SetYearlyMonth2(0);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"MonthlyFirstMondayPastAnEndBeforeTheStart",
                                                         [] {
                                                             CRecurPattern rule =
                                                                 RuleUntil("01/02/2006", "01/01/2006");
                                                             rule.SetMonthly();
                                                             rule.SetMonthlyDayOfKind();
                                                             rule.SetMonthlyDayOption(4);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"WeeklyCountOfZeroOffTheStartDay",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 0);
                                                             rule.SetWeekly();
                                                             rule.SetWeeklyFriday(true);
                                                             return rule;
                                                         }},
                                           EmptyRuleCase{"UnknownBasicMethod",
                                                         [] {
                                                             CRecurPattern rule = Rule("01/02/2006", 3);
                                                             rule.SetBasicMethod(4);
                                                             return rule;
                                                         }}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RecurGenerate, NewPatternGivesThirtyDailyDatesFromToday) {
    const CRecurPattern rule;
    CDateList dates;
    ASSERT_TRUE(rule.GetDates(dates));
    ASSERT_EQ(dates.size(), 30u);
    EXPECT_EQ(dates.front().Format("%Y-%m-%d %H:%M:%S"), "2026-12-10 00:00:00");
    EXPECT_EQ(dates.back().Format("%Y-%m-%d %H:%M:%S"), "2027-01-08 00:00:00");
}

TEST_F(RecurGenerate, EndOccurencesCountsOnlyWithEndMethodOne) {
    CRecurPattern rule = Rule("01/02/2006", 4);
    CDateList dates;
    ASSERT_TRUE(rule.GetDates(dates));
    EXPECT_EQ(dates.size(), 4u);
    rule.FreeDateList(dates);
    rule.SetNoEndDate();
    ASSERT_TRUE(rule.GetDates(dates));
    EXPECT_EQ(dates.size(), 30u);
}

TEST_F(RecurGenerate, RuleOnTheLastCalendarDayStopsThere) {
    CDateList dates;
    EXPECT_TRUE(Rule("12/30/9999", 5).GetDates(dates));
    EXPECT_EQ(Texts(dates), Midnights({"9999-12-30", "9999-12-31"}));
}

TEST_F(RecurGenerate, DailyRuleToTheLastCalendarDayEnds) {
    CDateList dates;
    EXPECT_TRUE(RuleUntil("01/01/9990", "12/31/9999").GetDates(dates));
    ASSERT_FALSE(dates.empty());
    EXPECT_EQ(dates.front().Format("%Y-%m-%d"), "9990-01-01");
    EXPECT_EQ(dates.back().Format("%Y-%m-%d"), "9999-12-31");
    EXPECT_EQ(dates.size(), 3652u);
}

TEST_F(RecurGenerate, CountBeyondTheCalendarStopsAtItsLastDay) {
    CRecurPattern rule = Rule("01/01/2006", 3000);
    rule.SetYearly();
    rule.SetYearlyMonth1(2);
    rule.SetYearlyMonthDay(29);
    CDateList dates;
    EXPECT_TRUE(rule.GetDates(dates));
    // Every leap year from 2008 to 9996: 1998 multiples of 4 less 60 centuries not divisible by 400.
    ASSERT_EQ(dates.size(), 1938u);
    EXPECT_EQ(dates.back().Format("%Y-%m-%d %H:%M:%S"), "9996-02-29 00:00:00");
    EXPECT_TRUE(std::find(dates.begin(), dates.end(), CDateTime(2100, 3, 1)) == dates.end());
    EXPECT_TRUE(std::find(dates.begin(), dates.end(), CDateTime(2400, 2, 29)) != dates.end());
}

TEST_F(RecurGenerate, UnparsableStartDateAnswersFalseButKeepsForceDates) {
    for (int method = 0; method <= 3; ++method) {
        CRecurPattern rule = Rule("no date at all", 3);
        rule.SetBasicMethod(method);
        CDateList dates;
        EXPECT_FALSE(rule.GetDates(dates)) << method;
        EXPECT_TRUE(dates.empty()) << method;
        rule.AddForceDate(CDateTime(2006, 3, 1));
        EXPECT_FALSE(rule.GetDates(dates)) << method;
        EXPECT_EQ(Texts(dates), Midnights({"2006-03-01"})) << method;
    }
}

TEST_F(RecurGenerate, UnparsableEndDateAnswersFalseBeforeGenerating) {
    CRecurPattern rule = RuleUntil("01/02/2006", "");
    rule.AddForceDate(CDateTime(2006, 3, 1));
    CDateList dates;
    EXPECT_FALSE(rule.GetDates(dates));
    EXPECT_TRUE(dates.empty());
    rule.SetEndDate("sometime");
    EXPECT_FALSE(rule.GetDates(dates));
    EXPECT_TRUE(dates.empty());
}

TEST_F(RecurGenerate, MethodOutOfRangeAnswersFalse) {
    CRecurPattern daily = Rule("01/02/2006", 3);
    daily.SetDailyMethod(2);
    CRecurPattern monthly = Rule("01/02/2006", 3);
    monthly.SetMonthly();
    monthly.SetMonthlyMethod(3);
    CRecurPattern yearly = Rule("01/02/2006", 3);
    yearly.SetYearly();
    yearly.SetYearlyMethod(-1);
    for (const CRecurPattern* rule : {&daily, &monthly, &yearly}) {
        CDateList dates;
        EXPECT_FALSE(rule->GetDates(dates));
        EXPECT_TRUE(dates.empty());
    }
}

TEST_F(RecurGenerate, GeneratingAppendsToTheList) {
    const CRecurPattern rule = Rule("01/02/2006", 2);
    CDateList dates{CDateTime(2000, 1, 1)};
    ASSERT_TRUE(rule.GenerateCount(dates, 3));
    EXPECT_EQ(Texts(dates), Midnights({"2000-01-01", "2006-01-02", "2006-01-03"}));
}

TEST_F(RecurGenerate, GenerateUntilIncludesTheEndDay) {
    const CRecurPattern rule = Rule("01/02/2006", 2);
    CDateList dates;
    ASSERT_TRUE(rule.GenerateUntil(dates, CDateTime(2006, 1, 4, 12, 0, 0)));
    EXPECT_EQ(Texts(dates), Midnights({"2006-01-02", "2006-01-03", "2006-01-04"}));
}

TEST_F(RecurGenerate, OccursOnMatchesDatesAtMidnight) {
    CRecurPattern rule = Rule("01/02/2006", 2);
    rule.SetEveryXDayCount(3);
    EXPECT_TRUE(rule.OccursOn(CDateTime(2006, 1, 2)));
    EXPECT_TRUE(rule.OccursOn(CDateTime(2006, 2, 1)));
    EXPECT_FALSE(rule.OccursOn(CDateTime(2006, 1, 3)));
    EXPECT_FALSE(rule.OccursOn(CDateTime(2006, 1, 5, 10, 0, 0)));
    EXPECT_FALSE(rule.OccursOn(CDateTime(2006, 1, 1)));
}

TEST_F(RecurGenerate, GeneratingLeavesTheRuleUnchanged) {
    CRecurPattern rule = Rule("01/02/2006", 3);
    rule.SetEveryXDayCount(2);
    CDateList first;
    CDateList second;
    ASSERT_TRUE(rule.GetDates(first));
    ASSERT_TRUE(rule.GetDates(second));
    EXPECT_EQ(Texts(first), Texts(second));
    EXPECT_EQ(rule.GetStartDate(), "01/02/2006");
}

TEST_F(RecurGenerate, StartDateInTheUsersShortDatePattern) {
    registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    CRecurPattern rule = Rule("05.01.2006", 2);
    CDateList dates;
    ASSERT_TRUE(rule.GetDates(dates));
    EXPECT_EQ(Texts(dates), Midnights({"2006-01-05", "2006-01-06"}));
}

TEST_F(RecurGenerate, NewPatternReadsItsOwnDatesInADayFirstPattern) {
    registry.WriteString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    CRecurPattern rule;
    EXPECT_EQ(rule.GetStartDate(), "10.12.2026");
    rule.SetEndByDate();
    CDateList dates;
    ASSERT_TRUE(rule.GetDates(dates));
    ASSERT_EQ(dates.size(), 15u);
    EXPECT_EQ(dates.front().Format("%Y-%m-%d"), "2026-12-10");
    EXPECT_EQ(dates.back().Format("%Y-%m-%d"), "2026-12-24");
}

} // namespace
