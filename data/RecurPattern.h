#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <vector>

// The occurrence dates a rule generates. The list owns its dates: FreeDateList empties it.
using CDateList = std::vector<CDateTime>;

// One rule of the skip list: a date on which the rule falls is moved or dropped.
struct SkipDateRule {
    int DateOption = 0; // 0 = use Date; other options name no date
    CString Date;
    int SkipMethod = 0; // see CRecurPattern::IsSkip; above 9 drops the date
    bool Enabled = false;
};

// One recurrence rule (the columns of a RecurringDate row without its ID) and the generator of its
// occurrence dates. Generated dates are at 00:00:00; the caller combines them with StartTime and
// EndTime. Generating never changes the rule and always starts from StartDate again.
class CRecurPattern {
public:
    // The end kinds of Generate: 1 ends after a number of dates, 2 at an end date (inclusive).
    static constexpr int kEndAfterCount = 1;
    static constexpr int kEndByDate = 2;
    // EndMethod 0 ("No end date") generates this many dates.
    static constexpr int kNoEndDateCount = 30;

    CRecurPattern();
    CRecurPattern(const CRecurPattern& other);
    CRecurPattern& operator=(const CRecurPattern& other);
    CRecurPattern(CRecurPattern&& other) noexcept = default;
    CRecurPattern& operator=(CRecurPattern&& other) noexcept = default;
    virtual ~CRecurPattern();

    // Appends the rule's dates to the list by EndMethod (0: 30 dates, 1: EndOccurences dates,
    // 2: up to EndDate). False when StartDate, or EndDate with EndMethod 2, is not a date, or a
    // method value is out of range; then nothing is generated (force dates aside).
    virtual bool GetDates(CDateList& list) const;
    virtual void FreeDateList(CDateList& list) const;

    // Dispatches on BasicMethod, then appends the force dates whatever the generator answered.
    virtual bool Generate(CDateList& list, int endKind, int count, const CDateTime& endDate) const;
    virtual bool GenerateCount(CDateList& list, int count) const;
    virtual bool GenerateUntil(CDateList& list, const CDateTime& endDate) const;
    // Whether the rule falls on the date (an exact match of date and time, so 00:00:00).
    virtual bool OccursOn(const CDateTime& date) const;
    virtual bool ListContainsDate(const CDateList& list, const CDateTime& date) const;

    bool GenerateDaily(CDateList& list, int endKind, int count, const CDateTime& endDate) const;
    bool GenerateWeekly(CDateList& list, int endKind, int count, const CDateTime& endDate) const;
    bool GenerateMonthly(CDateList& list, int endKind, int count, const CDateTime& endDate) const;
    bool GenerateYearly(CDateList& list, int endKind, int count, const CDateTime& endDate) const;

    // Appends a copy of the date; false only when memory runs out.
    bool AddDate(const CDateTime& date, CDateList& list) const;

    // The day's blackout test ignores the time of day: dates compare as "%B %d %Y" texts.
    virtual bool IsBlackout(const CDateTime& date) const;
    // The first enabled skip rule whose date equals the date exactly; skipMethod is -1 without one.
    virtual bool IsSkip(const CDateTime& date, int& skipMethod) const;
    // The date a non-zero DateOption names in the year; no option names one, so this answers false.
    virtual bool SkipRuleDate(int dateOption, CDateTime& date, int year) const;

    // BasicMethod: 0 daily, 1 weekly, 2 monthly, 3 yearly.
    short GetBasicMethod() const { return static_cast<short>(m_basicMethod); }
    void SetBasicMethod(int value) { m_basicMethod = value; }
    bool IsDaily() const { return m_basicMethod == 0; }
    bool IsWeekly() const { return m_basicMethod == 1; }
    bool IsMonthly() const { return m_basicMethod == 2; }
    bool IsYearly() const { return m_basicMethod == 3; }
    void SetDaily() { m_basicMethod = 0; }
    void SetWeekly() { m_basicMethod = 1; }
    void SetMonthly() { m_basicMethod = 2; }
    void SetYearly() { m_basicMethod = 3; }

    // Times of day as "%I:%M %p".
    void GetStartTime(CString& out) const { out = m_startTime; }
    void GetEndTime(CString& out) const { out = m_endTime; }
    CString GetStartTime() const { return m_startTime; }
    CString GetEndTime() const { return m_endTime; }
    void SetStartTime(const char* value) { m_startTime = value; }
    void SetEndTime(const char* value) { m_endTime = value; }

    // EndMethod: 0 no end date, 1 after EndOccurences dates, 2 by EndDate.
    short GetEndMethod() const { return static_cast<short>(m_endMethod); }
    void SetEndMethod(int value) { m_endMethod = value; }
    bool IsNoEndDate() const { return m_endMethod == 0; }
    bool IsEndAfterOccurences() const { return m_endMethod == 1; }
    bool IsEndByDate() const { return m_endMethod == 2; }
    void SetNoEndDate() { m_endMethod = 0; }
    void SetEndAfterOccurences() { m_endMethod = 1; }
    void SetEndByDate() { m_endMethod = 2; }

    // Dates as texts in the user's short date pattern.
    void GetStartDate(CString& out) const { out = m_startDate; }
    void GetEndDate(CString& out) const { out = m_endDate; }
    CString GetStartDate() const { return m_startDate; }
    CString GetEndDate() const { return m_endDate; }
    int GetEndOccurences() const { return m_endOccurences; }
    void SetStartDate(const char* value) { m_startDate = value; }
    void SetEndDate(const char* value) { m_endDate = value; }
    void SetEndOccurences(int value) { m_endOccurences = value; }

    // DailyMethod: 0 every EveryXDayCount days, 1 every weekday.
    short GetDailyMethod() const { return static_cast<short>(m_dailyMethod); }
    void SetDailyMethod(int value) { m_dailyMethod = value; }
    bool IsEveryXDays() const { return m_dailyMethod == 0; }
    bool IsEveryWeekday() const { return m_dailyMethod == 1; }
    void SetEveryXDays() { m_dailyMethod = 0; }
    void SetEveryWeekday() { m_dailyMethod = 1; }
    int GetEveryXDayCount() const { return m_everyXDayCount; }
    void SetEveryXDayCount(int value) { m_everyXDayCount = value; }

    int GetEveryWeekCount() const { return m_everyWeekCount; }
    void SetEveryWeekCount(int value) { m_everyWeekCount = value; }
    bool GetWeeklySunday() const { return m_weekly[0]; }
    bool GetWeeklyMonday() const { return m_weekly[1]; }
    bool GetWeeklyTuesday() const { return m_weekly[2]; }
    bool GetWeeklyWednesday() const { return m_weekly[3]; }
    bool GetWeeklyThursday() const { return m_weekly[4]; }
    bool GetWeeklyFriday() const { return m_weekly[5]; }
    bool GetWeeklySaturday() const { return m_weekly[6]; }
    void SetWeeklySunday(bool value) { m_weekly[0] = value; }
    void SetWeeklyMonday(bool value) { m_weekly[1] = value; }
    void SetWeeklyTuesday(bool value) { m_weekly[2] = value; }
    void SetWeeklyWednesday(bool value) { m_weekly[3] = value; }
    void SetWeeklyThursday(bool value) { m_weekly[4] = value; }
    void SetWeeklyFriday(bool value) { m_weekly[5] = value; }
    void SetWeeklySaturday(bool value) { m_weekly[6] = value; }
    // The flag of a day of the week, 1 Sunday .. 7 Saturday; false (and no change) outside.
    bool GetWeeklyDay(int dayOfWeek) const;
    void SetWeeklyDay(int dayOfWeek, bool value);

    // MonthlyMethod: 0 day MonthlyCount1 of every MonthlyCount2 months; 1 the MonthlyTheOption
    // MonthlyDayOption of every MonthlyCount3 months; 2 the MonthlyTheOption1 MonthlyDayOption1 of
    // every MonthlyCount4 months, plus (MonthlyMathOp 0) or minus MonthlyMathDays days.
    short GetMonthlyMethod() const { return static_cast<short>(m_monthlyMethod); }
    void SetMonthlyMethod(int value) { m_monthlyMethod = value; }
    bool IsMonthlyDayOfMonth() const { return m_monthlyMethod == 0; }
    bool IsMonthlyDayOfKind() const { return m_monthlyMethod == 1; }
    void SetMonthlyDayOfMonth() { m_monthlyMethod = 0; }
    void SetMonthlyDayOfKind() { m_monthlyMethod = 1; }
    int GetMonthlyCount1() const { return m_monthlyCount1; }
    void SetMonthlyCount1(int value) { m_monthlyCount1 = value; }
    int GetMonthlyCount2() const { return m_monthlyCount2; }
    void SetMonthlyCount2(int value) { m_monthlyCount2 = value; }
    int GetMonthlyCount3() const { return m_monthlyCount3; }
    void SetMonthlyCount3(int value) { m_monthlyCount3 = value; }
    int GetMonthlyCount4() const { return m_monthlyCount4; }
    void SetMonthlyCount4(int value) { m_monthlyCount4 = value; }
    int GetMonthlyTheOption() const { return m_monthlyTheOption; }
    void SetMonthlyTheOption(int value) { m_monthlyTheOption = value; }
    int GetMonthlyDayOption() const { return m_monthlyDayOption; }
    void SetMonthlyDayOption(int value) { m_monthlyDayOption = value; }
    int GetMonthlyTheOption1() const { return m_monthlyTheOption1; }
    void SetMonthlyTheOption1(int value) { m_monthlyTheOption1 = value; }
    int GetMonthlyDayOption1() const { return m_monthlyDayOption1; }
    void SetMonthlyDayOption1(int value) { m_monthlyDayOption1 = value; }
    int GetMonthlyMathOp() const { return m_monthlyMathOp; }
    void SetMonthlyMathOp(int value) { m_monthlyMathOp = value; }
    int GetMonthlyMathDays() const { return m_monthlyMathDays; }
    void SetMonthlyMathDays(int value) { m_monthlyMathDays = value; }

    // YearlyMethod: 0 every YearlyMonth1 YearlyMonthDay; 1 the YearlyTheOption YearlyDayOption of
    // YearlyMonth2.
    short GetYearlyMethod() const { return static_cast<short>(m_yearlyMethod); }
    void SetYearlyMethod(int value) { m_yearlyMethod = value; }
    bool IsYearlyMonthDay() const { return m_yearlyMethod == 0; }
    bool IsYearlyDayOfKind() const { return m_yearlyMethod == 1; }
    void SetYearlyMonthDay() { m_yearlyMethod = 0; }
    void SetYearlyDayOfKind() { m_yearlyMethod = 1; }
    int GetYearlyMonth1() const { return m_yearlyMonth1; }
    void SetYearlyMonth1(int value) { m_yearlyMonth1 = value; }
    int GetYearlyMonth2() const { return m_yearlyMonth2; }
    void SetYearlyMonth2(int value) { m_yearlyMonth2 = value; }
    int GetYearlyMonthDay() const { return m_yearlyMonthDay; }
    void SetYearlyMonthDay(int value) { m_yearlyMonthDay = value; }
    int GetYearlyTheOption() const { return m_yearlyTheOption; }
    void SetYearlyTheOption(int value) { m_yearlyTheOption = value; }
    int GetYearlyDayOption() const { return m_yearlyDayOption; }
    void SetYearlyDayOption(int value) { m_yearlyDayOption = value; }

    // Blackout dates: never generated. Held as "%B %d %Y" texts.
    void ClearBlackouts() { m_blackouts.clear(); }
    int GetBlackoutCount() const { return static_cast<int>(m_blackouts.size()); }
    // Copies the text at the index; false (out emptied) for an index outside the list.
    bool GetBlackout(int index, CString& out) const;
    void RemoveBlackout(const CDateTime& date);
    void AddBlackout(const CDateTime& date);

    // Force dates: appended to every generated list. Held as "%B %d %Y" texts.
    void ClearForceDates() { m_forceDates.clear(); }
    int GetForceDateCount() const { return static_cast<int>(m_forceDates.size()); }
    bool GetForceDate(int index, CString& out) const;
    void RemoveForceDate(const CDateTime& date);
    void AddForceDate(const CDateTime& date);

    // Skip rules, owned by the pattern.
    void ClearSkipRules() { m_skipRules.clear(); }
    int GetSkipCount() const { return static_cast<int>(m_skipRules.size()); }
    // The rule at the index, still owned by the pattern; nullptr outside the list.
    SkipDateRule* GetSkipRule(int index) const;
    // Appends a copy of the rule and returns the pattern's own copy.
    SkipDateRule* AddSkipRule(const SkipDateRule& rule);
    // Deletes the rule when it is one of the pattern's; anything else is ignored.
    void RemoveSkipRule(const SkipDateRule* rule);

private:
    class Walk;
    friend class Walk;

    // Moves a skipped date by the rule's SkipMethod and appends it when it comes after the last
    // admitted date and (ending by date) not after the end; answers whether it was appended.
    bool AdjustSkippedDate(Walk& walk, int64_t& day, int skipMethod) const;
    int64_t FindDayOfType(int month, int year, int ordinal, int kind) const;

    int m_basicMethod = 0;
    CString m_startTime;
    CString m_endTime;
    int m_endMethod = 0;
    CString m_startDate;
    CString m_endDate;
    int m_endOccurences = 10;
    int m_dailyMethod = 0;
    int m_everyXDayCount = 1;
    int m_everyWeekCount = 1;
    bool m_weekly[7] = {};
    int m_monthlyMethod = 0;
    int m_monthlyCount1 = 1;
    int m_monthlyCount2 = 1;
    int m_monthlyTheOption = 0;
    int m_monthlyDayOption = 0;
    int m_monthlyCount3 = 1;
    int m_monthlyTheOption1 = 0;
    int m_monthlyDayOption1 = 0;
    int m_monthlyCount4 = 1;
    int m_monthlyMathOp = 0;
    int m_monthlyMathDays = 1;
    int m_yearlyMethod = 0;
    int m_yearlyMonth1 = 1;
    int m_yearlyMonthDay = 1;
    int m_yearlyTheOption = 0;
    int m_yearlyDayOption = 0;
    int m_yearlyMonth2 = 1;
    std::vector<CString> m_forceDates;
    std::vector<CString> m_blackouts;
    std::vector<std::unique_ptr<SkipDateRule>> m_skipRules;
};

// A recurrence rule together with the ID of its RecurringDate row. Copies carry the ID with every
// field and list.
class CRecurItem : public CRecurPattern {
public:
    CRecurItem() = default;
    CRecurItem(const CRecurItem& other) = default;
    CRecurItem& operator=(const CRecurItem& other) = default;
    CRecurItem(CRecurItem&& other) noexcept = default;
    CRecurItem& operator=(CRecurItem&& other) noexcept = default;
    ~CRecurItem() override = default;

    void GetID(CString& out) const { out = m_id; }
    CString GetID() const { return m_id; }
    void SetID(const char* id) { m_id = id; }

private:
    CString m_id;
};
