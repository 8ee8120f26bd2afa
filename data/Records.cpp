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

CAppt::CAppt() : m_DateDue(CDateTime::GetCurrentTime()) {
    m_DateDue.SetTime(0, 0, 0);
    CDateTime now = CDateTime::GetCurrentTime();
    now.SetTime(now.GetHour(), now.GetMinute(), 0);
    m_StartTime = now;
    m_EndTime = now;
    m_AlarmTime = now;
}
