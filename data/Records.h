#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"

#include <cstdint>

// The record values that travel between the document and the panes, sheets, reports and the
// delimited-text exchange. One class per table; every field is public and copied by value.

// A Person row. Every text but the display name is the Person column of the same name.
class CPerson {
public:
    CPerson() = default;
    CPerson(const CPerson&) = default;
    CPerson& operator=(const CPerson&) = default;
    // Lists of thousands of persons grow by moving them, not by copying thirty texts each.
    CPerson(CPerson&&) noexcept = default;
    CPerson& operator=(CPerson&&) noexcept = default;
    virtual ~CPerson() = default;

    // "LName, FName", or whichever of the two is not empty, or the empty text.
    void BuildDisplayName();
    // The display name of a person with these names, by the rule of BuildDisplayName.
    static CString DisplayNameOf(const CString& lastName, const CString& firstName);

    CString m_ID;
    CString m_Title;
    CString m_FName;
    CString m_LName;
    CString m_DisplayName;
    CString m_Addr1;
    CString m_Addr2;
    CString m_City;
    CString m_State;
    CString m_Zip;
    CString m_HmPhone;
    CString m_HmFax;
    CString m_CelPhone;
    CString m_Pager;
    CString m_Email;
    CString m_WebPage;
    CString m_Company;
    CString m_Position;
    CString m_WkAddr1;
    CString m_WkAddr2;
    CString m_WkCity;
    CString m_WkState;
    CString m_WkZip;
    CString m_WkPhone;
    CString m_WkExt;
    CString m_WkFax;
    CString m_WkCelPhone;
    CString m_WkPager;
    CString m_WkEmail;
    CString m_WkWebPage;
    CString m_Notes;
};

// Task priorities as stored in Task.Priority; a done task has the priority kPriorityDone.
enum : int32_t { kPriorityHigh = 0, kPriorityMedium = 1, kPriorityLow = 2, kPriorityDone = 3 };

// What a person list shows of a person: a tenth of a CPerson's size, for lists of the whole book.
struct CPersonListEntry {
    CString id;
    CString displayName;
    CString company;
};

// A Task row: a new task is due today at 00:00:00 with high priority and no completion date.
class CTask {
public:
    CTask();
    CTask(const CTask&) = default;
    CTask& operator=(const CTask&) = default;
    virtual ~CTask() = default;

    CString m_Desc;
    int32_t m_Priority = kPriorityHigh;
    CDateTime m_DateDue;
    CDateTime m_DateDone;
    CString m_RecrDtID; // the task's recurrence rule, empty for a single task
    CString m_ID;
};

// An Appt row: a new appointment is due today, starts, ends and alarms at the current minute.
class CAppt {
public:
    CAppt();
    CAppt(const CAppt&) = default;
    CAppt& operator=(const CAppt&) = default;
    virtual ~CAppt() = default;

    CString m_Desc;
    CString m_ID;
    CDateTime m_DateDue; // the day at 00:00:00
    CDateTime m_StartTime;
    CDateTime m_EndTime;
    bool m_Alarm = false;
    CDateTime m_AlarmTime;
    bool m_Done = false;
    CString m_RecrDtID;
};

// The one User row: the owner's own details. Every text is the User column of the same name.
class CUser {
public:
    CUser() = default;
    CUser(const CUser&) = default;
    CUser& operator=(const CUser&) = default;
    virtual ~CUser() = default;

    CString m_ID;
    CString m_Title;
    CString m_LName;
    CString m_FName;
    CString m_Addr1;
    CString m_Addr2;
    CString m_City;
    CString m_State;
    CString m_Zip;
    CString m_Position;
    CString m_Company;
    CString m_HmPhone;
    CString m_WkPhone;
    CString m_WkExt;
    CString m_WkFax;
    CString m_Pager;
    CString m_CelPhone;
    CString m_Email;
    CString m_WebPage;
};

// A PhGroup row: one address-book group.
class CPhGroup {
public:
    CPhGroup() = default;
    CPhGroup(const CPhGroup&) = default;
    CPhGroup& operator=(const CPhGroup&) = default;
    virtual ~CPhGroup() = default;

    CString m_Desc;
    CString m_ID;
};
