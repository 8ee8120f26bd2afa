#include "data/RecurPattern.h"

#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"

#include <gtest/gtest.h>

namespace {

SYSTEMTIME At(uint16_t year, uint16_t month, uint16_t day, uint16_t dayOfWeek) {
    SYSTEMTIME now;
    now.wYear = year;
    now.wMonth = month;
    now.wDay = day;
    now.wDayOfWeek = dayOfWeek;
    now.wHour = 22;
    now.wMinute = 15;
    now.wSecond = 40;
    return now;
}

class RecurPattern : public ::testing::Test {
protected:
    void SetUp() override {
        registry.WriteString("Control Panel\\International", "sShortDate", "MM/dd/yyyy");
        SetRegistry(&registry);
        SetLocalTimeForTesting(At(2026, 12, 10, 4)); // Thursday
    }
    void TearDown() override {
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    MemoryRegistry registry;
};

TEST_F(RecurPattern, NewPatternHasTheDefaults) {
    const CRecurPattern rule;
    EXPECT_EQ(rule.GetBasicMethod(), 0);
    EXPECT_TRUE(rule.IsDaily());
    EXPECT_EQ(rule.GetStartTime(), "08:00 AM");
    EXPECT_EQ(rule.GetEndTime(), "08:30 AM");
    EXPECT_EQ(rule.GetEndMethod(), 0);
    EXPECT_EQ(rule.GetStartDate(), "12/10/2026");
    EXPECT_EQ(rule.GetEndDate(), "12/24/2026");
    EXPECT_EQ(rule.GetEndOccurences(), 10);
    EXPECT_EQ(rule.GetDailyMethod(), 0);
    EXPECT_EQ(rule.GetEveryXDayCount(), 1);
    EXPECT_EQ(rule.GetEveryWeekCount(), 1);
    EXPECT_FALSE(rule.GetWeeklySunday());
    EXPECT_FALSE(rule.GetWeeklyMonday());
    EXPECT_FALSE(rule.GetWeeklyTuesday());
    EXPECT_FALSE(rule.GetWeeklyWednesday());
    EXPECT_TRUE(rule.GetWeeklyThursday());
    EXPECT_FALSE(rule.GetWeeklyFriday());
    EXPECT_FALSE(rule.GetWeeklySaturday());
    EXPECT_EQ(rule.GetMonthlyMethod(), 0);
    EXPECT_EQ(rule.GetMonthlyCount1(), 1);
    EXPECT_EQ(rule.GetMonthlyCount2(), 1);
    EXPECT_EQ(rule.GetMonthlyTheOption(), 0);
    EXPECT_EQ(rule.GetMonthlyDayOption(), 0);
    EXPECT_EQ(rule.GetMonthlyCount3(), 1);
    EXPECT_EQ(rule.GetMonthlyTheOption1(), 0);
    EXPECT_EQ(rule.GetMonthlyDayOption1(), 0);
    EXPECT_EQ(rule.GetMonthlyCount4(), 1);
    EXPECT_EQ(rule.GetMonthlyMathOp(), 0);
    EXPECT_EQ(rule.GetMonthlyMathDays(), 1);
    EXPECT_EQ(rule.GetYearlyMethod(), 0);
    EXPECT_EQ(rule.GetYearlyMonth1(), 12);
    EXPECT_EQ(rule.GetYearlyMonthDay(), 1);
    EXPECT_EQ(rule.GetYearlyTheOption(), 0);
    EXPECT_EQ(rule.GetYearlyDayOption(), 0);
    EXPECT_EQ(rule.GetYearlyMonth2(), 12);
    EXPECT_EQ(rule.GetBlackoutCount(), 0);
    EXPECT_EQ(rule.GetForceDateCount(), 0);
    EXPECT_EQ(rule.GetSkipCount(), 0);
}

TEST_F(RecurPattern, DefaultsFollowTheClockAndTheShortDatePattern) {
    registry.WriteString("Control Panel\\International", "sShortDate", "yyyy-MM-dd");
    SetLocalTimeForTesting(At(2008, 2, 20, 3)); // Wednesday; fourteen days later is 5 March
    const CRecurPattern rule;
    EXPECT_EQ(rule.GetStartDate(), "2008-02-20");
    EXPECT_EQ(rule.GetEndDate(), "2008-03-05");
    EXPECT_TRUE(rule.GetWeeklyWednesday());
    EXPECT_FALSE(rule.GetWeeklyThursday());
    EXPECT_EQ(rule.GetYearlyMonth1(), 2);
    EXPECT_EQ(rule.GetYearlyMonth2(), 2);
}

TEST_F(RecurPattern, MethodTestsAndSetters) {
    CRecurPattern rule;
    rule.SetYearly();
    EXPECT_TRUE(rule.IsYearly());
    EXPECT_FALSE(rule.IsDaily());
    EXPECT_EQ(rule.GetBasicMethod(), 3);
    rule.SetWeekly();
    EXPECT_TRUE(rule.IsWeekly());
    rule.SetMonthly();
    EXPECT_TRUE(rule.IsMonthly());
    rule.SetEndByDate();
    EXPECT_TRUE(rule.IsEndByDate());
    EXPECT_EQ(rule.GetEndMethod(), 2);
    rule.SetEndAfterOccurences();
    EXPECT_TRUE(rule.IsEndAfterOccurences());
    rule.SetNoEndDate();
    EXPECT_TRUE(rule.IsNoEndDate());
    rule.SetEveryWeekday();
    EXPECT_TRUE(rule.IsEveryWeekday());
    EXPECT_EQ(rule.GetDailyMethod(), 1);
    rule.SetMonthlyDayOfKind();
    EXPECT_TRUE(rule.IsMonthlyDayOfKind());
    rule.SetMonthlyMethod(2);
    EXPECT_FALSE(rule.IsMonthlyDayOfMonth());
    EXPECT_FALSE(rule.IsMonthlyDayOfKind());
    rule.SetYearlyDayOfKind();
    EXPECT_TRUE(rule.IsYearlyDayOfKind());
    EXPECT_EQ(rule.GetYearlyMethod(), 1);
    // Setters store the value unchecked; the method getters answer it as a 16-bit
    // value.
    rule.SetBasicMethod(65536 + 2);
    EXPECT_EQ(rule.GetBasicMethod(), 2);
    EXPECT_FALSE(rule.IsMonthly());
}

TEST_F(RecurPattern, TextGettersCopyIntoTheCallersString) {
    CRecurPattern rule;
    rule.SetStartTime("10:15 AM");
    rule.SetEndDate("01/31/2007");
    CString startTime = "old";
    CString endDate;
    rule.GetStartTime(startTime);
    rule.GetEndDate(endDate);
    EXPECT_EQ(startTime, "10:15 AM");
    EXPECT_EQ(endDate, "01/31/2007");
}

TEST_F(RecurPattern, WeeklyFlagsByDayNumber) {
    CRecurPattern rule;
    rule.SetWeeklyDay(1, true);
    rule.SetWeeklyDay(5, false);
    rule.SetWeeklyDay(8, true);
    rule.SetWeeklyDay(0, true);
    EXPECT_TRUE(rule.GetWeeklySunday());
    EXPECT_FALSE(rule.GetWeeklyThursday());
    EXPECT_TRUE(rule.GetWeeklyDay(1));
    EXPECT_FALSE(rule.GetWeeklyDay(0));
    EXPECT_FALSE(rule.GetWeeklyDay(8));
    rule.SetWeeklySaturday(true);
    EXPECT_TRUE(rule.GetWeeklyDay(7));
}

TEST_F(RecurPattern, BlackoutListHoldsDayTexts) {
    CRecurPattern rule;
    rule.AddBlackout(CDateTime(2006, 1, 3, 9, 0, 0));
    rule.AddBlackout(CDateTime(2006, 7, 4));
    rule.AddBlackout(CDateTime(2006, 1, 3));
    ASSERT_EQ(rule.GetBlackoutCount(), 3);
    CString text;
    EXPECT_TRUE(rule.GetBlackout(1, text));
    EXPECT_EQ(text, "July 04 2006");
    EXPECT_FALSE(rule.GetBlackout(3, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(rule.GetBlackout(-1, text));

    EXPECT_TRUE(rule.IsBlackout(CDateTime(2006, 1, 3, 23, 59, 0)));
    EXPECT_FALSE(rule.IsBlackout(CDateTime(2006, 1, 4)));

    rule.RemoveBlackout(CDateTime(2006, 1, 3, 18, 0, 0));
    ASSERT_EQ(rule.GetBlackoutCount(), 2);
    EXPECT_TRUE(rule.GetBlackout(0, text));
    EXPECT_EQ(text, "July 04 2006");
    EXPECT_TRUE(rule.IsBlackout(CDateTime(2006, 1, 3)));
    rule.RemoveBlackout(CDateTime(2007, 1, 3));
    EXPECT_EQ(rule.GetBlackoutCount(), 2);
    rule.ClearBlackouts();
    EXPECT_EQ(rule.GetBlackoutCount(), 0);
    EXPECT_FALSE(rule.IsBlackout(CDateTime(2006, 1, 3)));
}

TEST_F(RecurPattern, ForceDateListHoldsDayTexts) {
    CRecurPattern rule;
    rule.AddForceDate(CDateTime(2006, 12, 25));
    rule.AddForceDate(CDateTime(2006, 12, 31));
    ASSERT_EQ(rule.GetForceDateCount(), 2);
    CString text;
    EXPECT_TRUE(rule.GetForceDate(0, text));
    EXPECT_EQ(text, "December 25 2006");
    rule.RemoveForceDate(CDateTime(2006, 12, 25, 8, 0, 0));
    ASSERT_EQ(rule.GetForceDateCount(), 1);
    EXPECT_TRUE(rule.GetForceDate(0, text));
    EXPECT_EQ(text, "December 31 2006");
    EXPECT_FALSE(rule.GetForceDate(1, text));
    rule.ClearForceDates();
    EXPECT_EQ(rule.GetForceDateCount(), 0);
}

TEST_F(RecurPattern, SkipRulesAreOwnedByThePattern) {
    CRecurPattern rule;
    SkipDateRule first;
    first.Date = "01/07/2006";
    first.SkipMethod = 1;
    first.Enabled = true;
    SkipDateRule* own = rule.AddSkipRule(first);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, &first);
    rule.AddSkipRule(SkipDateRule{});
    ASSERT_EQ(rule.GetSkipCount(), 2);
    EXPECT_EQ(rule.GetSkipRule(0), own);
    EXPECT_EQ(rule.GetSkipRule(2), nullptr);
    EXPECT_EQ(rule.GetSkipRule(-1), nullptr);

    int method = 0;
    EXPECT_TRUE(rule.IsSkip(CDateTime(2006, 1, 7), method));
    EXPECT_EQ(method, 1);
    EXPECT_FALSE(rule.IsSkip(CDateTime(2006, 1, 7, 12, 0, 0), method));
    EXPECT_EQ(method, -1);

    rule.RemoveSkipRule(nullptr);
    rule.RemoveSkipRule(&first);
    EXPECT_EQ(rule.GetSkipCount(), 2);
    rule.RemoveSkipRule(own);
    ASSERT_EQ(rule.GetSkipCount(), 1);
    EXPECT_FALSE(rule.IsSkip(CDateTime(2006, 1, 7), method));
    rule.ClearSkipRules();
    EXPECT_EQ(rule.GetSkipCount(), 0);
}

TEST_F(RecurPattern, SkipRuleDateOptionsNameNoDate) {
    const CRecurPattern rule;
    CDateTime date(2006, 5, 1);
    for (int option : {1, 2, 7, -3}) {
        EXPECT_FALSE(rule.SkipRuleDate(option, date, 2006)) << option;
        EXPECT_EQ(date, CDateTime(2006, 5, 1)) << option;
    }
}

TEST_F(RecurPattern, ListContainsDateIsExact) {
    const CRecurPattern rule;
    const CDateList dates{CDateTime(2006, 1, 2), CDateTime(2006, 1, 3)};
    EXPECT_TRUE(rule.ListContainsDate(dates, CDateTime(2006, 1, 3)));
    EXPECT_FALSE(rule.ListContainsDate(dates, CDateTime(2006, 1, 3, 0, 0, 1)));
    EXPECT_FALSE(rule.ListContainsDate(CDateList{}, CDateTime(2006, 1, 3)));
}

CRecurItem FilledItem() {
    CRecurItem item;
    item.SetID("1B4E28BA-2FA1-11D2-883F-0016D3CC");
    item.SetMonthly();
    item.SetStartTime("09:45 AM");
    item.SetEndTime("11:00 AM");
    item.SetEndByDate();
    item.SetStartDate("05/02/2006");
    item.SetEndDate("12/31/2006");
    item.SetEndOccurences(7);
    item.SetEveryWeekday();
    item.SetEveryXDayCount(4);
    item.SetEveryWeekCount(3);
    item.SetWeeklyDay(2, true);
    item.SetWeeklyDay(6, true);
    item.SetMonthlyDayOfKind();
    item.SetMonthlyCount1(17);
    item.SetMonthlyCount2(2);
    item.SetMonthlyTheOption(4);
    item.SetMonthlyDayOption(2);
    item.SetMonthlyCount3(3);
    item.SetMonthlyTheOption1(1);
    item.SetMonthlyDayOption1(5);
    item.SetMonthlyCount4(4);
    item.SetMonthlyMathOp(1);
    item.SetMonthlyMathDays(9);
    item.SetYearlyDayOfKind();
    item.SetYearlyMonth1(3);
    item.SetYearlyMonthDay(12);
    item.SetYearlyTheOption(2);
    item.SetYearlyDayOption(8);
    item.SetYearlyMonth2(10);
    item.AddBlackout(CDateTime(2006, 6, 1));
    item.AddForceDate(CDateTime(2006, 6, 2));
    SkipDateRule skip;
    skip.Date = "06/03/2006";
    skip.SkipMethod = 4;
    skip.Enabled = true;
    item.AddSkipRule(skip);
    return item;
}

void ExpectSameRule(const CRecurItem& copy, const CRecurItem& original) {
    EXPECT_EQ(copy.GetID(), original.GetID());
    EXPECT_EQ(copy.GetBasicMethod(), original.GetBasicMethod());
    EXPECT_EQ(copy.GetStartTime(), original.GetStartTime());
    EXPECT_EQ(copy.GetEndTime(), original.GetEndTime());
    EXPECT_EQ(copy.GetEndMethod(), original.GetEndMethod());
    EXPECT_EQ(copy.GetStartDate(), original.GetStartDate());
    EXPECT_EQ(copy.GetEndDate(), original.GetEndDate());
    EXPECT_EQ(copy.GetEndOccurences(), original.GetEndOccurences());
    EXPECT_EQ(copy.GetDailyMethod(), original.GetDailyMethod());
    EXPECT_EQ(copy.GetEveryXDayCount(), original.GetEveryXDayCount());
    EXPECT_EQ(copy.GetEveryWeekCount(), original.GetEveryWeekCount());
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(copy.GetWeeklyDay(day), original.GetWeeklyDay(day)) << day;
    EXPECT_EQ(copy.GetMonthlyMethod(), original.GetMonthlyMethod());
    EXPECT_EQ(copy.GetMonthlyCount1(), original.GetMonthlyCount1());
    EXPECT_EQ(copy.GetMonthlyCount2(), original.GetMonthlyCount2());
    EXPECT_EQ(copy.GetMonthlyTheOption(), original.GetMonthlyTheOption());
    EXPECT_EQ(copy.GetMonthlyDayOption(), original.GetMonthlyDayOption());
    EXPECT_EQ(copy.GetMonthlyCount3(), original.GetMonthlyCount3());
    EXPECT_EQ(copy.GetMonthlyTheOption1(), original.GetMonthlyTheOption1());
    EXPECT_EQ(copy.GetMonthlyDayOption1(), original.GetMonthlyDayOption1());
    EXPECT_EQ(copy.GetMonthlyCount4(), original.GetMonthlyCount4());
    EXPECT_EQ(copy.GetMonthlyMathOp(), original.GetMonthlyMathOp());
    EXPECT_EQ(copy.GetMonthlyMathDays(), original.GetMonthlyMathDays());
    EXPECT_EQ(copy.GetYearlyMethod(), original.GetYearlyMethod());
    EXPECT_EQ(copy.GetYearlyMonth1(), original.GetYearlyMonth1());
    EXPECT_EQ(copy.GetYearlyMonthDay(), original.GetYearlyMonthDay());
    EXPECT_EQ(copy.GetYearlyTheOption(), original.GetYearlyTheOption());
    EXPECT_EQ(copy.GetYearlyDayOption(), original.GetYearlyDayOption());
    EXPECT_EQ(copy.GetYearlyMonth2(), original.GetYearlyMonth2());

    ASSERT_EQ(copy.GetBlackoutCount(), original.GetBlackoutCount());
    ASSERT_EQ(copy.GetForceDateCount(), original.GetForceDateCount());
    ASSERT_EQ(copy.GetSkipCount(), original.GetSkipCount());
    CString a;
    CString b;
    for (int i = 0; i < copy.GetBlackoutCount(); ++i) {
        copy.GetBlackout(i, a);
        original.GetBlackout(i, b);
        EXPECT_EQ(a, b);
    }
    for (int i = 0; i < copy.GetForceDateCount(); ++i) {
        copy.GetForceDate(i, a);
        original.GetForceDate(i, b);
        EXPECT_EQ(a, b);
    }
    for (int i = 0; i < copy.GetSkipCount(); ++i) {
        const SkipDateRule* mine = copy.GetSkipRule(i);
        const SkipDateRule* theirs = original.GetSkipRule(i);
        EXPECT_NE(mine, theirs);
        EXPECT_EQ(mine->DateOption, theirs->DateOption);
        EXPECT_EQ(mine->Date, theirs->Date);
        EXPECT_EQ(mine->SkipMethod, theirs->SkipMethod);
        EXPECT_EQ(mine->Enabled, theirs->Enabled);
    }
}

TEST_F(RecurPattern, NewItemHasAnEmptyID) {
    const CRecurItem item;
    EXPECT_EQ(item.GetID(), "");
    EXPECT_EQ(item.GetStartDate(), "12/10/2026");
}

TEST_F(RecurPattern, CopyingAnItemCopiesTheIDWithEveryFieldAndList) {
    const CRecurItem original = FilledItem();
    const CRecurItem copy(original);
    ExpectSameRule(copy, original);

    CRecurItem assigned;
    assigned.AddSkipRule(SkipDateRule{});
    assigned.AddBlackout(CDateTime(2001, 1, 1));
    assigned = original;
    ExpectSameRule(assigned, original);
}

TEST_F(RecurPattern, CopiesAreIndependent) {
    CRecurItem original = FilledItem();
    CRecurItem copy(original);
    copy.GetSkipRule(0)->SkipMethod = 9;
    copy.SetID("OTHER");
    copy.ClearBlackouts();
    EXPECT_EQ(original.GetSkipRule(0)->SkipMethod, 4);
    EXPECT_EQ(original.GetID(), "1B4E28BA-2FA1-11D2-883F-0016D3CC");
    EXPECT_EQ(original.GetBlackoutCount(), 1);
    original.ClearSkipRules();
    EXPECT_EQ(copy.GetSkipCount(), 1);
}

TEST_F(RecurPattern, CopiedItemGeneratesTheSameDates) {
    const CRecurItem original = FilledItem();
    const CRecurItem copy(original);
    CDateList fromOriginal;
    CDateList fromCopy;
    EXPECT_TRUE(original.GetDates(fromOriginal));
    EXPECT_TRUE(copy.GetDates(fromCopy));
    ASSERT_FALSE(fromOriginal.empty());
    EXPECT_EQ(fromOriginal, fromCopy);
}

} // namespace
