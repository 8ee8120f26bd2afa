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
// window: the sheet is run through a callback and the Yes/No questions go through the prompt, both
// before anything is written. Each command stores its change in one transaction or not at all (a
// failure is shown once as "Error Adding Appointment", "Error Updating Appointment" or "Error Deleting
// Appointment"); what it does to a series is SeriesCore's.
class CApptSeries {
public:
    // Runs the sheet with the title over the values and the rule its recurrence page edits; true on
    // OK with both holding what the user confirmed.
    using SheetRunner = std::function<bool(const char* title, ApptSheetValues& values, CRecurItem& rule)>;

    explicit CApptSeries(SheetRunner runSheet) : m_runSheet(std::move(runSheet)) {}

    // The values Add proposes on the day for the planner's hour and minute: the quarter hour the
    // minute falls in, 15 minutes long, the alarm at the start and off. A time the sheet's spins do not
    // offer (nothing clicked leaves the planner at midnight) gives the next quarter hour of the clock
    // when the day is today and that lies in the spins' range, else the first hour the planner shows.
    static ApptSheetValues Proposal(const CDateTime& day, int hour, int minute, int firstVisibleHour);
    // The appointment for day d with the sheet's times of day (whole minutes), as they are also
    // outside the spins' range, and a new ID. An end after midnight and an alarm before the start
    // keep their distance from the start.
    static CAppt BuiltFromSheet(const ApptSheetValues& values, const CDateTime& day);

    // The commands; each marks the document modified and tells every view when it changed data.
    // Add: false when the sheet was cancelled or nothing could be stored.
    bool Add(const CDateTime& day, int plannerHour, int plannerMinute, int firstVisibleHour = 8);
    // Edit and Delete work on the appointment with this ID; false when it cannot be read, the sheet
    // was cancelled or the change could not be stored.
    bool Edit(const CString& apptId);
    bool Delete(const CString& apptId);

private:
    static void SetRuleTimes(CRecurItem& rule, const ApptSheetValues& values);

    SheetRunner m_runSheet;
};
