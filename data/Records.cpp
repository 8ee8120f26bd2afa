#include "data/Records.h"

void CPerson::BuildDisplayName() {
    m_DisplayName = DisplayNameOf(m_LName, m_FName);
}

CString CPerson::DisplayNameOf(const CString& lastName, const CString& firstName) {
    if (lastName.IsEmpty())
        return firstName;
    if (firstName.IsEmpty())
        return lastName;
    return lastName + ", " + firstName;
}

CTask::CTask() : m_DateDue(CDateTime::GetCurrentTime()) {
    m_DateDue.SetTime(0, 0, 0);
}

// One reading of the clock, so the day and the times agree even when midnight passes meanwhile.
CAppt::CAppt() {
    CDateTime now = CDateTime::GetCurrentTime();
    m_DateDue = now;
    m_DateDue.SetTime(0, 0, 0);
    now.SetTime(now.GetHour(), now.GetMinute(), 0);
    m_StartTime = now;
    m_EndTime = now;
    m_AlarmTime = now;
}
