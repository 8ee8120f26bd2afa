#include "ui/calendar/SeriesCore.h"

#include "data/ExclusiveTransaction.h"
#include "data/IdMaker.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"
#include "platform/core/Prompt.h"
#include "ui/common/SheetParts.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <tuple>

namespace {

// The pattern fields of a rule that decide its dates, in one comparable value.
auto DateFields(const CRecurItem& rule) {
    return std::make_tuple(
        rule.GetBasicMethod(), rule.GetEndMethod(), rule.GetStartDate(),
        rule.IsEndByDate() ? rule.GetEndDate() : CString(),
        rule.IsEndAfterOccurences() ? rule.GetEndOccurences() : 0, rule.GetDailyMethod(),
        rule.GetEveryXDayCount(), rule.GetEveryWeekCount(),
        std::make_tuple(rule.GetWeeklySunday(), rule.GetWeeklyMonday(), rule.GetWeeklyTuesday(),
                        rule.GetWeeklyWednesday(), rule.GetWeeklyThursday(), rule.GetWeeklyFriday(),
                        rule.GetWeeklySaturday()),
        std::make_tuple(rule.GetMonthlyMethod(), rule.GetMonthlyCount1(), rule.GetMonthlyCount2(),
                        rule.GetMonthlyTheOption(), rule.GetMonthlyDayOption(), rule.GetMonthlyCount3(),
                        rule.GetMonthlyTheOption1(), rule.GetMonthlyDayOption1(), rule.GetMonthlyCount4(),
                        rule.GetMonthlyMathOp(), rule.GetMonthlyMathDays()),
        std::make_tuple(rule.GetYearlyMethod(), rule.GetYearlyMonth1(), rule.GetYearlyMonthDay(),
                        rule.GetYearlyTheOption(), rule.GetYearlyDayOption(), rule.GetYearlyMonth2()));
}

// Every statement's step check: the file-step seam can fail a change here or stop the process.
void Step(const char* step) {
    if (!FileStep(step, g_dbPath.c_str()))
        throw SqlException(SQLITE_IOERR, "disk I/O error");
}

// The signed number of days a monthly "plus/minus N days" rule moves each month's day by; 0 for every
// other rule.
int DayOffset(const CRecurItem& rule) {
    if (!rule.IsMonthly() || rule.GetMonthlyMethod() != 2)
        return 0;
    return rule.GetMonthlyMathOp() != 0 ? -rule.GetMonthlyMathDays() : rule.GetMonthlyMathDays();
}

// Months counted from year 0, so that month arithmetic crosses year ends.
int MonthNumber(const CDateTime& date) {
    return date.GetYear() * 12 + date.GetMonth() - 1;
}

CDateTime FirstDayOfMonth(int monthNumber) {
    return CDateTime(monthNumber / 12, monthNumber % 12 + 1, 1);
}

CDateTime LastDayOfMonth(int monthNumber) {
    return FirstDayOfMonth(monthNumber + 1) - CDateTimeSpan(1, 0, 0, 0);
}

// Where a rule must start to give first as its first date. The generator takes one day per selected
// month (counting the start's month as selected) and shifts it by the rule's offset, so a shifted
// row can lie in another month than the one that gives it: the walk must begin in a selected month
// at or before the giving month and must not have passed the row yet. Every other rule gives its
// first date from a start on that date.
CDateTime FittedStart(const CRecurItem& rule, const CDateTime& first) {
    const int offset = DayOffset(rule);
    if (offset == 0)
        return first;
    const CDateTime unshifted = first - CDateTimeSpan(offset, 0, 0, 0);
    // Plus: the giving month lies before the row; starting on its unshifted day gives the row.
    if (offset > 0)
        return unshifted;
    // Minus: the row may lie in a month before the giving one. The walk starts in the latest month,
    // on or before the row's, that is selected together with the giving month; in the row's own month
    // it starts on the row, in an earlier one on its last day, after that month's own (earlier) date.
    const int interval = std::max(1, rule.GetMonthlyCount4());
    const int givingMonth = MonthNumber(unshifted);
    const int rowMonth = MonthNumber(first);
    const int startMonth = givingMonth - (givingMonth - rowMonth + interval - 1) / interval * interval;
    return startMonth == rowMonth ? first : LastDayOfMonth(startMonth);
}

// The end date that makes a rule ending by date stop after last: the walk must reach the month that
// gives last, which for a minus offset may begin after last.
CDateTime FittedEnd(const CRecurItem& rule, const CDateTime& last) {
    const int offset = DayOffset(rule);
    if (offset >= 0)
        return last;
    return std::max(last, FirstDayOfMonth(MonthNumber(last - CDateTimeSpan(offset, 0, 0, 0))));
}

template <class Row> void ByDay(std::vector<Row>& rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return DayOf(a.m_DateDue) < DayOf(b.m_DateDue); });
}

} // namespace

void Must(bool succeeded) {
    if (!succeeded)
        throw SeriesWriteFailed{};
}

bool RunSeriesChange(const char* caption, const std::function<bool()>& change) {
    CString failure;
    try {
        Step("begin series");
        ExclusiveTransaction transaction(g_db);
        if (!change())
            return false;
        // A full disk or an interrupt makes SQLite roll the whole transaction back on its own.
        if (sqlite3_get_autocommit(g_db.Handle()))
            throw SeriesWriteFailed{};
        Step("commit series");
        transaction.Commit();
        return true;
    } catch (const SeriesWriteFailed&) {
        failure = g_doc.GetLastRecordError();
    } catch (const SqlException& error) {
        failure = error.errorMessage();
    }
    MessageBoxA(nullptr, failure.c_str(), caption, MB_OK | MB_ICONERROR);
    return false;
}

CString NewRecordId() {
    CString id;
    NewGuidString(id);
    return id;
}

CDateTime DayOf(const CDateTime& date) {
    return date.IsValid() ? CDateTime(date.GetYear(), date.GetMonth(), date.GetDay()) : date;
}

bool SameDates(const CRecurItem& a, const CRecurItem& b) {
    return DateFields(a) == DateFields(b);
}

CDateList DatesFrom(const CRecurItem& rule, const CDateTime& day) {
    CDateList dates;
    rule.GetDates(dates);
    dates.erase(
        std::remove_if(dates.begin(), dates.end(), [&](const CDateTime& date) { return DayOf(date) < day; }),
        dates.end());
    return dates;
}

void FitRule(CRecurItem& rule, const CDateTime& first, const CDateTime& last, int count) {
    rule.SetStartDate(FormatRuleDate(FittedStart(rule, DayOf(first))).c_str());
    if (rule.IsEndByDate()) {
        rule.SetEndDate(FormatRuleDate(FittedEnd(rule, DayOf(last))).c_str());
    } else {
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(count);
    }
}

std::vector<CAppt> SeriesRows<CAppt>::OfRule(const CString& ruleId) {
    std::vector<CAppt> rows;
    Must(g_doc.GetApptsByRecurrence(rows, ruleId.c_str()));
    ByDay(rows);
    return rows;
}

void SeriesRows<CAppt>::Insert(const CAppt& row) {
    Must(g_doc.InsertAppt(row));
}

void SeriesRows<CAppt>::Update(const CAppt& row) {
    Must(g_doc.UpdateAppt(row));
}

void SeriesRows<CAppt>::Remove(const CAppt& row) {
    Must(g_doc.DeleteAppt(row));
}

std::vector<CTask> SeriesRows<CTask>::OfRule(const CString& ruleId) {
    std::vector<CTask> rows;
    Must(g_doc.GetTasksByRecurrence(rows, ruleId.c_str()));
    ByDay(rows);
    return rows;
}

void SeriesRows<CTask>::Insert(const CTask& row) {
    Must(g_doc.InsertTask(row));
}

void SeriesRows<CTask>::Update(const CTask& row) {
    Must(g_doc.UpdateTask(row));
}

void SeriesRows<CTask>::Remove(const CTask& row) {
    Must(g_doc.DeleteTask(row));
}
