#pragma once

// What appointment and task series have in common: one RecurringDate row (the rule) and one Appt or
// Task row per occurrence naming it. Every change of a series runs as one transaction through
// RunSeriesChange; the pieces below work on the rows as stored (a row's own day is where the
// occurrence is) and never regenerate dates the user did not ask to change.
//
// What each change does to the rows of the chosen occurrence's rule:
// - this one only: the chosen occurrence alone is removed or changed (a changed one becomes a plain
//   row); the rows before it keep the rule, those after it get a rule of their own;
// - this and future: the chosen occurrence and the rows after it are removed or changed, the rows
//   before it keep the rule, shortened to them;
// - a part of one row becomes plain, a part of none takes its rule away.

#include "data/DateTime.h"
#include "data/DbDoc.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"

#include <functional>
#include <vector>

// Thrown inside a series change when a record operation failed; the change is rolled back whole.
struct SeriesWriteFailed {};

// Throws SeriesWriteFailed when the record operation did not succeed.
void Must(bool succeeded);

// Runs the change in one exclusive transaction (a savepoint inside one already open). A change that
// answers false (nothing to change) is rolled back quietly; one that fails is rolled back whole and
// the document's error is shown once under the caption. True only when the change was stored.
bool RunSeriesChange(const char* caption, const std::function<bool()>& change);

CString NewRecordId();
// The date at 00:00:00; an invalid date stays invalid.
CDateTime DayOf(const CDateTime& date);

// Whether the two rules give the same dates: every field but the times of day.
bool SameDates(const CRecurItem& a, const CRecurItem& b);
// The rule's dates on or after the day.
CDateList DatesFrom(const CRecurItem& rule, const CDateTime& day);
// Makes the rule describe exactly count occurrences from first to last: it starts where its walk
// gives first as its first date (on first, or for a day offset in the month that gives first), and
// ends where the walk gives last as its last (a rule ending by a date) or after count occurrences
// (any other rule).
void FitRule(CRecurItem& rule, const CDateTime& first, const CDateTime& last, int count);

// The document's record operations for one kind of row, each throwing SeriesWriteFailed on failure.
template <class Row> struct SeriesRows;

template <> struct SeriesRows<CAppt> {
    // The rows naming the rule, by day.
    static std::vector<CAppt> OfRule(const CString& ruleId);
    static void Insert(const CAppt& row);
    static void Update(const CAppt& row);
    static void Remove(const CAppt& row);
};

template <> struct SeriesRows<CTask> {
    static std::vector<CTask> OfRule(const CString& ruleId);
    static void Insert(const CTask& row);
    static void Update(const CTask& row);
    static void Remove(const CTask& row);
};

// The stored series around one chosen row: its rule and the other rows naming it, split by day.
template <class Row> struct StoredSeries {
    CRecurItem rule;
    // False when the row names a rule that cannot be read (left by an earlier version or a merge): the
    // chosen row then counts as a plain row, and no other row naming that rule is read or touched.
    bool ruleFound = false;
    std::vector<Row> earlier; // on or before the chosen row's day
    std::vector<Row> later;   // after it
};

template <class Row> StoredSeries<Row> ReadSeries(const Row& chosen) {
    StoredSeries<Row> series;
    series.rule.SetID(chosen.m_RecrDtID.c_str());
    series.ruleFound = !chosen.m_RecrDtID.IsEmpty() && g_doc.GetRecurringDate(series.rule);
    if (!series.ruleFound)
        return series;
    const CDateTime day = DayOf(chosen.m_DateDue);
    for (const Row& row : SeriesRows<Row>::OfRule(chosen.m_RecrDtID))
        if (row.m_ID != chosen.m_ID)
            (DayOf(row.m_DateDue) > day ? series.later : series.earlier).push_back(row);
    return series;
}

// Whether the chosen row's series has rows after it: the user is asked about them before the change.
template <class Row> bool HasLaterRows(const Row& chosen) {
    try {
        return !ReadSeries(chosen).later.empty();
    } catch (const SeriesWriteFailed&) {
        return false;
    }
}

// A row that belongs to no series any more.
template <class Row> void MakePlain(Row& row) {
    row.m_RecrDtID = CString();
    SeriesRows<Row>::Update(row);
}

// Stores the rows (by day) as one series of the rule: two or more name it and the rule is fitted to
// them; one becomes plain and none keeps no rule. Rows are written when they name another rule, or
// all of them when changed says their contents were changed.
template <class Row> void StorePart(std::vector<Row>& rows, CRecurItem rule, bool changed) {
    if (rows.size() < 2) {
        for (Row& row : rows)
            MakePlain(row);
        Must(g_doc.DeleteRecurringDate(rule));
        return;
    }
    FitRule(rule, rows.front().m_DateDue, rows.back().m_DateDue, static_cast<int>(rows.size()));
    for (Row& row : rows) {
        if (changed || row.m_RecrDtID != rule.GetID()) {
            row.m_RecrDtID = rule.GetID();
            SeriesRows<Row>::Update(row);
        }
    }
    Must(g_doc.DeleteRecurringDate(rule));
    Must(g_doc.InsertRecurringDate(rule));
}

// Stores what is left of the series: the earlier rows keep its rule; the later rows follow
// laterRule, under its own new ID when earlier rows keep the old one. Without a readable rule there
// is no series to store.
template <class Row>
void StoreAround(StoredSeries<Row>& series, const CRecurItem& laterRule, bool laterChanged) {
    if (!series.ruleFound)
        return;
    if (!series.earlier.empty() || series.later.empty())
        StorePart(series.earlier, series.rule, false);
    if (series.later.empty())
        return;
    CRecurItem rule = laterRule;
    rule.SetID(series.earlier.empty() ? series.rule.GetID() : NewRecordId());
    StorePart(series.later, rule, laterChanged);
}

// Writes a row for each date, filled by fill (contents for the day; a new ID is given here), naming
// the rule when there are at least minimumForRule dates; fitted says the rule is made to describe
// exactly these dates. With fewer dates the first date (or fallbackDay without one) gets one plain
// row.
template <class Row>
void InsertSeries(CRecurItem rule, const CDateList& dates,
                  const std::function<void(Row&, const CDateTime&)>& fill, size_t minimumForRule, bool fitted,
                  const CDateTime& fallbackDay) {
    if (dates.empty() || dates.size() < minimumForRule) {
        Row row;
        fill(row, dates.empty() ? fallbackDay : dates.front());
        row.m_ID = NewRecordId();
        row.m_RecrDtID = CString();
        SeriesRows<Row>::Insert(row);
        return;
    }
    rule.SetID(NewRecordId());
    if (fitted)
        FitRule(rule, dates.front(), dates.back(), static_cast<int>(dates.size()));
    for (const CDateTime& date : dates) {
        Row row;
        fill(row, date);
        row.m_ID = NewRecordId();
        row.m_RecrDtID = rule.GetID();
        SeriesRows<Row>::Insert(row);
    }
    Must(g_doc.InsertRecurringDate(rule));
}

// Deletes the chosen row; with future also the rows of its series after it.
template <class Row> void DeleteFromSeries(const Row& chosen, bool future) {
    StoredSeries<Row> series = ReadSeries(chosen);
    SeriesRows<Row>::Remove(chosen);
    if (!series.ruleFound)
        return;
    if (future) {
        for (const Row& row : series.later)
            SeriesRows<Row>::Remove(row);
        series.later.clear();
    }
    StoreAround(series, series.rule, false);
}

// How an edit of one occurrence of a series was answered and what the sheet holds.
template <class Row> struct SeriesEdit {
    bool future = false;        // "this and future"; false: this one only
    bool keepsRecurring = true; // "Recurring" still ticked
    CRecurItem rule;            // the rule as the sheet left it
    // Where the chosen occurrence goes when it becomes a plain row (this one only, Recurring
    // cleared, or a changed rule that gives no date from its day on): its own day unless the user
    // moved the sheet's date.
    CDateTime movedTo;
    // Gives a row the sheet's contents on the day (the ID and the rule are the caller's).
    std::function<void(Row&, const CDateTime&)> fill;
};

// Edits the chosen row of a series as answered. This one only, or a series no longer recurring:
// the chosen row takes the sheet's contents as a plain row, on the date the user moved it to (and
// with future the rows after it go).
// This and future with the same dates: the chosen and later rows take the contents on their own
// days, under a rule of their own. With other dates: they are replaced by the new rule's dates from
// the chosen day on.
template <class Row> void EditInSeries(Row chosen, const SeriesEdit<Row>& edit) {
    StoredSeries<Row> series = ReadSeries(chosen);
    const CDateTime day = DayOf(chosen.m_DateDue);
    if (!edit.future || !edit.keepsRecurring) {
        if (edit.future) {
            for (const Row& row : series.later)
                SeriesRows<Row>::Remove(row);
            series.later.clear();
        }
        const CRecurItem laterRule = series.rule;
        StoreAround(series, laterRule, false);
        const CString id = chosen.m_ID;
        edit.fill(chosen, edit.movedTo.IsValid() ? edit.movedTo : day);
        chosen.m_ID = id;
        MakePlain(chosen);
        return;
    }
    if (series.ruleFound && SameDates(edit.rule, series.rule)) {
        std::vector<Row> changed{chosen};
        changed.insert(changed.end(), series.later.begin(), series.later.end());
        for (Row& row : changed) {
            const CString id = row.m_ID;
            edit.fill(row, DayOf(row.m_DateDue));
            row.m_ID = id;
        }
        series.later = changed;
        StoreAround(series, edit.rule, true);
        return;
    }
    SeriesRows<Row>::Remove(chosen);
    for (const Row& row : series.later)
        SeriesRows<Row>::Remove(row);
    series.later.clear();
    const CRecurItem laterRule = series.rule;
    StoreAround(series, laterRule, false);
    InsertSeries<Row>(edit.rule, DatesFrom(edit.rule, day), edit.fill, 2, true,
                      edit.movedTo.IsValid() ? edit.movedTo : day);
}
