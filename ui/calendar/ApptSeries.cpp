#include "ui/calendar/ApptSeries.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "ui/calendar/SeriesCore.h"
#include "ui/common/SheetParts.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kAddFailed = "Error Adding Appointment";
constexpr const char* kUpdateFailed = "Error Updating Appointment";
constexpr const char* kDeleteFailed = "Error Deleting Appointment";

// The day d at the hour and minute of the time; an unset time stays unset.
CDateTime OnDay(const CDateTime& day, const CDateTime& time) {
    if (!time.IsValid())
        return time;
    return CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), time.GetHour(), time.GetMinute(), 0);
}

// Whole minutes from one time to another (both set), counting the days between them.
int MinutesBetween(const CDateTime& from, const CDateTime& to) {
    return static_cast<int>(std::lround((OnDay(to, to) - OnDay(from, from)).GetTotalMinutes()));
}

bool AskYes(const char* text, const char* caption) {
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

// Fills a row with the sheet's values on a day.
std::function<void(CAppt&, const CDateTime&)> SheetFiller(const ApptSheetValues& values) {
    return [&values](CAppt& row, const CDateTime& day) { row = CApptSeries::BuiltFromSheet(values, day); };
}

// The appointment stored under the ID, read inside a change; false when it is gone.
bool Reread(const CString& apptId, CAppt& appt) {
    appt = CAppt();
    appt.m_ID = apptId;
    return g_doc.GetAppt(appt);
}

} // namespace

ApptSheetValues CApptSeries::Proposal(const CDateTime& day, int hour, int minute, int firstVisibleHour) {
    int slot = hour * 4 + minute / 15;
    if (slot < kFirstStartSlot || slot > kLastStartSlot) {
        const CDateTime now = CDateTime::GetCurrentTime();
        const int nextQuarter = (now.GetHour() * 60 + now.GetMinute() + 14) / 15;
        if (DayOf(now) == DayOf(day) && nextQuarter >= kFirstStartSlot && nextQuarter <= kLastStartSlot)
            slot = nextQuarter;
        else
            slot = std::clamp(firstVisibleHour * 4, kFirstStartSlot, kLastStartSlot);
    }
    ApptSheetValues values;
    values.dateDue = DayOf(day);
    values.startTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), slot / 4, slot % 4 * 15, 0);
    values.endTime = values.startTime;
    values.endTime += CDateTimeSpan(0, 0, 15, 0);
    values.alarmTime = values.startTime;
    return values;
}

CAppt CApptSeries::BuiltFromSheet(const ApptSheetValues& values, const CDateTime& day) {
    CAppt appt;
    appt.m_ID = NewRecordId();
    appt.m_DateDue = DayOf(day);
    appt.m_StartTime = OnDay(day, values.startTime);
    appt.m_EndTime = OnDay(day, values.endTime);
    appt.m_AlarmTime = OnDay(day, values.alarmTime);
    // An end after midnight and an alarm on the day before keep their distance from the start.
    if (values.startTime.IsValid() && values.endTime.IsValid() && values.endTime > values.startTime)
        appt.m_EndTime =
            appt.m_StartTime + CDateTimeSpan(0, 0, MinutesBetween(values.startTime, values.endTime), 0);
    if (values.startTime.IsValid() && values.alarmTime.IsValid() && values.alarmTime <= values.startTime)
        appt.m_AlarmTime =
            appt.m_StartTime - CDateTimeSpan(0, 0, MinutesBetween(values.alarmTime, values.startTime), 0);
    CompleteTimes(day, appt.m_StartTime, appt.m_EndTime);
    appt.m_Alarm = values.alarm;
    appt.m_Done = values.done;
    appt.m_Desc = values.desc;
    return appt;
}

bool CApptSeries::Add(const CDateTime& day, int plannerHour, int plannerMinute, int firstVisibleHour) {
    ApptSheetValues values = Proposal(day, plannerHour, plannerMinute, firstVisibleHour);
    CRecurItem rule;
    rule.SetStartDate(FormatRuleDate(values.dateDue).c_str());
    SetRuleTimes(rule, values);
    if (!m_runSheet("Add Appointment", values, rule))
        return false;
    const bool stored = RunSeriesChange(kAddFailed, [&] {
        if (values.recurring) {
            SetRuleTimes(rule, values);
            CDateList dates;
            rule.GetDates(dates);
            // A rule that yields no date still keeps the appointment the user entered.
            InsertSeries<CAppt>(rule, dates, SheetFiller(values), 1, false, values.dateDue);
        } else {
            SeriesRows<CAppt>::Insert(BuiltFromSheet(values, values.dateDue));
        }
        return true;
    });
    if (stored)
        g_doc.SetModifiedFlag(true, true);
    return stored;
}

bool CApptSeries::Delete(const CString& apptId) {
    CAppt appt;
    if (!Reread(apptId, appt))
        return false;
    const bool future =
        HasLaterRows(appt) && AskYes("Do you want to delete all future occurrences of this appointment?",
                                     "Delete Future Occurrences");
    const bool stored = RunSeriesChange(kDeleteFailed, [&] {
        CAppt chosen;
        if (!Reread(apptId, chosen))
            return false;
        DeleteFromSeries(chosen, future);
        return true;
    });
    if (stored)
        g_doc.SetModifiedFlag(true, true);
    return stored;
}

bool CApptSeries::Edit(const CString& apptId) {
    CAppt appt;
    if (!Reread(apptId, appt))
        return false;
    ApptSheetValues values;
    values.desc = appt.m_Desc;
    values.dateDue = appt.m_DateDue;
    values.startTime = appt.m_StartTime;
    values.endTime = appt.m_EndTime;
    values.alarmTime = appt.m_AlarmTime;
    values.alarm = appt.m_Alarm;
    values.done = appt.m_Done;
    // A row whose rule cannot be read (left by an earlier version or a merge) is edited as a plain
    // row: the sheet offers no rule it does not have, and no other row changes.
    SeriesEdit<CAppt> edit;
    edit.rule.SetID(appt.m_RecrDtID.c_str());
    values.recurring = !appt.m_RecrDtID.IsEmpty() && g_doc.GetRecurringDate(edit.rule);

    if (!values.recurring) {
        CRecurItem rule;
        rule.SetStartDate(FormatRuleDate(appt.m_DateDue).c_str());
        SetRuleTimes(rule, values);
        if (!m_runSheet("Edit Appointment", values, rule))
            return false;
        const bool stored = RunSeriesChange(kUpdateFailed, [&] {
            CAppt chosen;
            if (!Reread(apptId, chosen))
                return false;
            if (values.recurring) {
                SetRuleTimes(rule, values);
                SeriesRows<CAppt>::Remove(chosen);
                CDateList dates;
                rule.GetDates(dates);
                InsertSeries<CAppt>(rule, dates, SheetFiller(values), 2, false, values.dateDue);
            } else {
                CAppt edited = BuiltFromSheet(values, values.dateDue);
                edited.m_ID = chosen.m_ID;
                SeriesRows<CAppt>::Update(edited);
            }
            return true;
        });
        if (stored)
            g_doc.SetModifiedFlag(true, true);
        return stored;
    }

    // The sheet shows the series' first day; the occurrence keeps its own unless the user moves it.
    CDateTime shownStart;
    if (ParseRuleDate(edit.rule.GetStartDate(), shownStart))
        values.dateDue = DayOf(shownStart);
    shownStart = values.dateDue;
    if (!m_runSheet("Edit Appointment", values, edit.rule))
        return false;
    edit.keepsRecurring = values.recurring;
    SetRuleTimes(edit.rule, values);
    if (DayOf(values.dateDue) != shownStart)
        edit.movedTo = DayOf(values.dateDue);
    edit.fill = SheetFiller(values);
    // With nothing after it, the occurrence alone is "this and future": a changed rule applies to it.
    edit.future = true;
    if (HasLaterRows(appt))
        edit.future = values.recurring
                          ? AskYes("Do you want to modify future occurrences of this appointment?",
                                   "Modify Future Occurrences")
                          : AskYes("Do you want to delete future occurrences of this appointment?",
                                   "Delete Future Occurrences");
    const bool stored = RunSeriesChange(kUpdateFailed, [&] {
        CAppt chosen;
        if (!Reread(apptId, chosen))
            return false;
        if (chosen.m_RecrDtID.IsEmpty()) {
            edit.fill(chosen, DayOf(chosen.m_DateDue));
            chosen.m_ID = apptId;
            SeriesRows<CAppt>::Update(chosen);
        } else {
            EditInSeries(chosen, edit);
        }
        return true;
    });
    if (stored)
        g_doc.SetModifiedFlag(true, true);
    return stored;
}

void CApptSeries::SetRuleTimes(CRecurItem& rule, const ApptSheetValues& values) {
    rule.SetStartTime(FormatRuleTime(values.startTime).c_str());
    rule.SetEndTime(FormatRuleTime(values.endTime).c_str());
}
