#pragma once

#include "data/DateTime.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"

#include <functional>

// What the appointment sheet shows and hands back on OK.
struct ApptSheetValues {
    CString desc;
    CDateTime dateDue;
    CDateTime startTime;
    CDateTime endTime;
    CDateTime alarmTime;
    bool alarm = false;
    bool done = false;
    bool recurring = false;
};

// Adding, editing and deleting appointments of the open document, single or recurring, without a
// window: the sheet is run through a callback and the Yes/No questions go through the prompt. After
// every operation each appointment's RecrDtID names an existing rule or is empty, and every rule
// keeps at least one appointment.
class CApptSeries {
public:
    // Runs the sheet with the title over the values and the rule its recurrence page edits; true on
    // OK with both holding what the user confirmed.
    using SheetRunner = std::function<bool(const char* title, ApptSheetValues& values, CRecurItem& rule)>;

    explicit CApptSeries(SheetRunner runSheet) : m_runSheet(std::move(runSheet)) {}

    // The values Add proposes on the day for the planner's hour and minute: the quarter hour the
    // minute falls in, 15 minutes long, the alarm at the start and off.
    static ApptSheetValues Proposal(const CDateTime& day, int hour, int minute);
    // The appointment for day d with the sheet's times of day and a new ID.
    static CAppt BuiltFromSheet(const ApptSheetValues& values, const CDateTime& day);

    // The commands; each marks the document modified and tells every view when it changed data.
    // Add: false when the sheet was cancelled.
    bool Add(const CDateTime& day, int plannerHour, int plannerMinute);
    // Edit and Delete work on the appointment with this ID; false when it cannot be read or the sheet
    // was cancelled.
    bool Edit(const CString& apptId);
    bool Delete(const CString& apptId);

private:
    // Inserts the rule's occurrences built from the sheet, then the rule; a rule that yields fewer than
    // minimumDates dates gives one plain appointment on the sheet's date instead.
    void InsertSeries(const ApptSheetValues& values, CRecurItem& rule, size_t minimumDates);
    // The rule made to end with n rows before the cut date.
    static void EndBefore(CRecurItem& rule, int rows, const CDateTime& cut);
    static void MakePlain(CAppt& appt);
    static void SetRuleTimes(CRecurItem& rule, const ApptSheetValues& values);
    static CString NewId();

    SheetRunner m_runSheet;
};
