#include "data/Records.h"

void CPerson::BuildDisplayName() {
    if (!m_LName.IsEmpty()) {
        m_DisplayName = m_LName;
        if (!m_FName.IsEmpty())
            m_DisplayName += ", " + m_FName;
    } else {
        m_DisplayName = m_FName;
    }
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
