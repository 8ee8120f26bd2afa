#include "ui/calendar/ApptSeries.h"

#include "data/DateParser.h"
#include "data/DbDoc.h"
#include "data/ExclusiveTransaction.h"
#include "data/IdMaker.h"
#include "platform/core/Prompt.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr const char* kTimeOfDay = "%I:%M %p";

CDateTime Midnight(const CDateTime& date) {
    return CDateTime(date.GetYear(), date.GetMonth(), date.GetDay());
}

// The day d at the hour and minute of the time; an unset time stays unset.
CDateTime OnDay(const CDateTime& day, const CDateTime& time) {
    if (!time.IsValid())
        return time;
    return CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), time.GetHour(), time.GetMinute(), 0);
}

CDateTime DaysFrom(const CDateTime& date, long days) {
    CDateTime moved = date;
    moved += CDateTimeSpan(days, 0, 0, 0);
    return moved;
}

CString ShortDate(const CDateTime& date) {
    return date.Format(CDateParser::GetShortDateFormat());
}

// A rule ending by a date is cut by moving its dates; any other rule by counting its rows.
bool EndsByDate(const CRecurItem& rule) {
    return rule.GetEndMethod() == 2;
}

std::vector<CAppt> RowsOf(const CString& ruleId) {
    std::vector<CAppt> rows;
    g_doc.GetApptsByRecurrence(rows, ruleId);
    return rows;
}

bool AnyLater(const std::vector<CAppt>& rows, const CDateTime& cut) {
    return std::any_of(rows.begin(), rows.end(), [&](const CAppt& row) { return row.m_DateDue > cut; });
}

bool AskYes(const char* text, const char* caption) {
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

} // namespace

ApptSheetValues CApptSeries::Proposal(const CDateTime& day, int hour, int minute) {
    ApptSheetValues values;
    values.dateDue = Midnight(day);
    values.startTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour, minute - minute % 15, 0);
    values.endTime = values.startTime;
    values.endTime += CDateTimeSpan(0, 0, 15, 0);
    values.alarmTime = values.startTime;
    return values;
}

CAppt CApptSeries::BuiltFromSheet(const ApptSheetValues& values, const CDateTime& day) {
    CAppt appt;
    appt.m_ID = NewId();
    appt.m_DateDue = Midnight(day);
    appt.m_StartTime = OnDay(day, values.startTime);
    appt.m_EndTime = OnDay(day, values.endTime);
    appt.m_AlarmTime = OnDay(day, values.alarmTime);
    appt.m_Alarm = values.alarm;
    appt.m_Done = values.done;
    appt.m_Desc = values.desc;
    return appt;
}

bool CApptSeries::Add(const CDateTime& day, int plannerHour, int plannerMinute) {
    ApptSheetValues values = Proposal(day, plannerHour, plannerMinute);
    CRecurItem rule;
    rule.SetStartDate(ShortDate(values.dateDue));
    SetRuleTimes(rule, values);
    if (!m_runSheet("Add Appointment", values, rule))
        return false;
    if (values.recurring) {
        SetRuleTimes(rule, values);
        rule.SetID(NewId());
        // A rule that yields no date still keeps the appointment the user entered.
        InsertSeries(values, rule, 1);
    } else {
        CAppt appt;
        appt.m_ID = NewId();
        appt.m_DateDue = values.dateDue;
        appt.m_StartTime = values.startTime;
        appt.m_EndTime = values.endTime;
        appt.m_AlarmTime = values.alarmTime;
        appt.m_Alarm = values.alarm;
        appt.m_Done = values.done;
        appt.m_Desc = values.desc;
        g_doc.InsertAppt(appt);
    }
    g_doc.SetModifiedFlag(true, true);
    return true;
}

bool CApptSeries::Delete(const CString& apptId) {
    CAppt appt;
    appt.m_ID = apptId;
    if (!g_doc.GetAppt(appt))
        return false;
    g_doc.DeleteAppt(appt);
    const CDateTime cut = appt.m_DateDue;
    if (!appt.m_RecrDtID.IsEmpty()) {
        CRecurItem rule;
        rule.SetID(appt.m_RecrDtID);
        g_doc.GetRecurringDate(rule);
        std::vector<CAppt> rows = RowsOf(appt.m_RecrDtID);
        if (!AnyLater(rows, cut)) {
            if (rows.size() == 1) {
                MakePlain(rows.front());
                g_doc.DeleteRecurringDate(rule);
            } else if (rows.size() > 1) {
                EndBefore(rule, static_cast<int>(rows.size()), cut);
                g_doc.UpdateRecurringDate(rule);
            } else {
                g_doc.DeleteRecurringDate(rule);
            }
        } else if (!AskYes("Do you want to delete all future occurrences of this appointment?",
                           "Delete Future Occurrences")) {
            // The series splits into the rows before the deleted one and those after it.
            CRecurItem later = rule;
            later.SetID(NewId());
            std::vector<CAppt*> earlierRows, laterRows;
            for (CAppt& row : rows) {
                if (row.m_DateDue > cut) {
                    row.m_RecrDtID = later.GetID();
                    g_doc.UpdateAppt(row);
                    laterRows.push_back(&row);
                } else {
                    earlierRows.push_back(&row);
                }
            }
            const int j = static_cast<int>(earlierRows.size());
            const int k = static_cast<int>(laterRows.size());
            if (EndsByDate(rule)) {
                rule.SetEndDate(ShortDate(DaysFrom(cut, -1)));
                later.SetStartDate(ShortDate(DaysFrom(cut, 1)));
            } else {
                rule.SetEndAfterOccurences();
                rule.SetEndOccurences(j);
                later.SetEndAfterOccurences();
                later.SetEndOccurences(k);
            }
            if (k == 1)
                MakePlain(*laterRows.front());
            else if (k > 1)
                g_doc.InsertRecurringDate(later);
            if (j == 1) {
                MakePlain(*earlierRows.front());
                g_doc.DeleteRecurringDate(rule);
            } else if (j == 0) {
                g_doc.DeleteRecurringDate(rule);
            } else {
                g_doc.UpdateRecurringDate(rule);
            }
        } else {
            std::vector<CAppt> left;
            for (const CAppt& row : rows) {
                if (row.m_DateDue > cut)
                    g_doc.DeleteAppt(row);
                else
                    left.push_back(row);
            }
            EndBefore(rule, static_cast<int>(left.size()), cut);
            if (left.size() == 1) {
                MakePlain(left.front());
                g_doc.DeleteRecurringDate(rule);
            } else if (left.empty()) {
                g_doc.DeleteRecurringDate(rule);
            } else {
                g_doc.UpdateRecurringDate(rule);
            }
        }
    }
    g_doc.SetModifiedFlag(true, true);
    return true;
}

bool CApptSeries::Edit(const CString& apptId) {
    CAppt appt;
    appt.m_ID = apptId;
    if (!g_doc.GetAppt(appt))
        return false;
    ApptSheetValues values;
    values.desc = appt.m_Desc;
    values.dateDue = appt.m_DateDue;
    values.startTime = appt.m_StartTime;
    values.endTime = appt.m_EndTime;
    values.alarmTime = appt.m_AlarmTime;
    values.alarm = appt.m_Alarm;
    values.done = appt.m_Done;
    values.recurring = !appt.m_RecrDtID.IsEmpty();
    const CDateTime cut = appt.m_DateDue;

    if (!values.recurring) {
        CRecurItem rule;
        rule.SetStartDate(ShortDate(appt.m_DateDue));
        SetRuleTimes(rule, values);
        if (!m_runSheet("Edit Appointment", values, rule))
            return false;
        g_doc.DeleteAppt(appt);
        if (values.recurring) {
            SetRuleTimes(rule, values);
            rule.SetID(NewId());
            InsertSeries(values, rule, 2);
        } else {
            g_doc.InsertAppt(BuiltFromSheet(values, values.dateDue));
        }
        g_doc.SetModifiedFlag(true, true);
        return true;
    }

    CRecurItem edited;
    edited.SetID(appt.m_RecrDtID);
    g_doc.GetRecurringDate(edited);
    const CRecurItem unchanged = edited;
    CDateParser parser;
    if (parser.Parse(edited.GetStartDate(), 0, LOCALE_USER_DEFAULT) && parser.GetDate().IsValid())
        values.dateDue = Midnight(parser.GetDate());
    if (!m_runSheet("Edit Appointment", values, edited))
        return false;

    g_doc.DeleteAppt(appt);
    std::vector<CAppt> rows = RowsOf(appt.m_RecrDtID);
    bool cutFuture = false;
    if (AnyLater(rows, cut)) {
        cutFuture = values.recurring ? AskYes("Do you want to modify future occurrences of this appointment?",
                                              "Modify Future Occurrences")
                                     : AskYes("Do you want to delete future occurrences of this appointment?",
                                              "Delete Future Occurrences");
    }
    if (!cutFuture) {
        // The rows before and after the edited one each keep a rule of their own.
        CRecurItem earlier = unchanged;
        earlier.SetID(NewId());
        CRecurItem later = unchanged;
        later.SetID(NewId());
        std::vector<CAppt*> earlierRows, laterRows;
        for (CAppt& row : rows) {
            const bool isLater = row.m_DateDue > cut;
            row.m_RecrDtID = isLater ? later.GetID() : earlier.GetID();
            g_doc.UpdateAppt(row);
            (isLater ? laterRows : earlierRows).push_back(&row);
        }
        const int j = static_cast<int>(earlierRows.size());
        const int i = static_cast<int>(laterRows.size());
        if (EndsByDate(unchanged)) {
            earlier.SetEndDate(ShortDate(DaysFrom(cut, -1)));
            later.SetStartDate(ShortDate(DaysFrom(cut, 1)));
        } else {
            earlier.SetEndAfterOccurences();
            earlier.SetEndOccurences(j);
            later.SetEndAfterOccurences();
            later.SetEndOccurences(i);
        }
        if (j == 1)
            MakePlain(*earlierRows.front());
        else if (j > 1)
            g_doc.InsertRecurringDate(earlier);
        if (i == 1)
            MakePlain(*laterRows.front());
        else if (i > 1)
            g_doc.InsertRecurringDate(later);
    } else {
        CRecurItem earlier = unchanged;
        earlier.SetID(NewId());
        std::vector<CAppt*> earlierRows;
        for (CAppt& row : rows) {
            if (row.m_DateDue > cut) {
                g_doc.DeleteAppt(row);
            } else {
                row.m_RecrDtID = earlier.GetID();
                g_doc.UpdateAppt(row);
                earlierRows.push_back(&row);
            }
        }
        const int j = static_cast<int>(earlierRows.size());
        EndBefore(earlier, j, cut);
        if (j == 1)
            MakePlain(*earlierRows.front());
        else if (j > 1)
            g_doc.InsertRecurringDate(earlier);
    }

    CRecurItem oldRule;
    oldRule.SetID(appt.m_RecrDtID);
    if (values.recurring) {
        CRecurItem remade = edited;
        remade.SetID(NewId());
        SetRuleTimes(remade, values);
        InsertSeries(values, remade, 2);
        g_doc.DeleteRecurringDate(oldRule);
    } else {
        g_doc.DeleteRecurringDate(oldRule);
        g_doc.InsertAppt(BuiltFromSheet(values, values.dateDue));
    }
    g_doc.SetModifiedFlag(true, true);
    return true;
}

void CApptSeries::InsertSeries(const ApptSheetValues& values, CRecurItem& rule, size_t minimumDates) {
    CDateList dates;
    rule.GetDates(dates);
    // One transaction for the whole series: a commit per row makes a long series take seconds.
    std::optional<ExclusiveTransaction> batch;
    try {
        batch.emplace(g_db);
    } catch (const SqlException&) {
    }
    if (dates.size() < minimumDates) {
        g_doc.InsertAppt(BuiltFromSheet(values, values.dateDue));
    } else {
        for (const CDateTime& date : dates) {
            CAppt appt = BuiltFromSheet(values, date);
            appt.m_RecrDtID = rule.GetID();
            g_doc.InsertAppt(appt);
        }
        g_doc.InsertRecurringDate(rule);
    }
    if (batch) {
        try {
            batch->Commit();
        } catch (const SqlException&) {
        }
    }
    rule.FreeDateList(dates);
}

void CApptSeries::EndBefore(CRecurItem& rule, int rows, const CDateTime& cut) {
    if (EndsByDate(rule)) {
        rule.SetEndDate(ShortDate(DaysFrom(cut, -1)));
    } else {
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(rows);
    }
}

void CApptSeries::MakePlain(CAppt& appt) {
    appt.m_RecrDtID.Empty();
    g_doc.UpdateAppt(appt);
}

void CApptSeries::SetRuleTimes(CRecurItem& rule, const ApptSheetValues& values) {
    rule.SetStartTime(values.startTime.Format(kTimeOfDay));
    rule.SetEndTime(values.endTime.Format(kTimeOfDay));
}

CString CApptSeries::NewId() {
    CString id;
    NewGuidString(id);
    return id;
}
