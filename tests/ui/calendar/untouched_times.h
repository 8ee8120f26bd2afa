#pragma once

// Appointments whose times the sheet's spins do not offer (as imports bring them in), and one they do:
// a text-only edit must store each exactly as it was, with its alarm.

#include "data/DateTime.h"
#include "data/IdMaker.h"
#include "data/Records.h"

#include <string>
#include <vector>

struct UntouchedTimes {
    const char* name;
    // Each time as days after the appointment's day, hour and minute.
    int startDays, startHour, startMinute;
    int endDays, endHour, endMinute;
    bool alarm;
    int alarmDays, alarmHour, alarmMinute;
};

inline const std::vector<UntouchedTimes>& UntouchedTimesTable() {
    static const std::vector<UntouchedTimes> table = {
        {"BeforeTheSpins", 0, 4, 0, 0, 4, 30, true, 0, 3, 50},
        {"AfterTheSpins", 0, 23, 15, 0, 23, 45, false, 0, 23, 15},
        {"EndingAfterTheSpins", 0, 22, 0, 0, 23, 30, true, 0, 21, 30},
        {"AcrossMidnight", 0, 23, 30, 1, 0, 30, true, 0, 23, 20},
        {"AlarmTheDayBefore", 0, 0, 5, 0, 0, 35, true, -1, 23, 55},
        {"AtMidnight", 0, 0, 0, 0, 0, 15, false, 0, 0, 0},
        {"InsideTheSpins", 0, 9, 0, 0, 10, 0, true, 0, 8, 45},
    };
    return table;
}

inline CDateTime UntouchedAt(const CDateTime& day, int days, int hour, int minute) {
    CDateTime time(day.GetYear(), day.GetMonth(), day.GetDay(), hour, minute, 0);
    time += CDateTimeSpan(days, 0, 0, 0);
    return time;
}

// The plain appointment of the case on the day, with a new ID.
inline CAppt UntouchedAppt(const UntouchedTimes& times, const CDateTime& day, const char* desc) {
    CAppt appt;
    NewGuidString(appt.m_ID);
    appt.m_Desc = desc;
    appt.m_DateDue = day;
    appt.m_StartTime = UntouchedAt(day, times.startDays, times.startHour, times.startMinute);
    appt.m_EndTime = UntouchedAt(day, times.endDays, times.endHour, times.endMinute);
    appt.m_AlarmTime = UntouchedAt(day, times.alarmDays, times.alarmHour, times.alarmMinute);
    appt.m_Alarm = times.alarm;
    return appt;
}

// What of an appointment a text-only edit must keep: its day, times and alarm.
inline std::string TimesOf(const CAppt& appt) {
    const char* const format = "%Y-%m-%d %H:%M:%S";
    return std::string(appt.m_DateDue.Format(format).c_str()) + " " +
           appt.m_StartTime.Format(format).c_str() + " - " + appt.m_EndTime.Format(format).c_str() +
           ", alarm " + (appt.m_Alarm ? "on " : "off ") + appt.m_AlarmTime.Format(format).c_str();
}
