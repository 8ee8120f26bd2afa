#pragma once

#include "data/DateTime.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"

#include <map>
#include <utility>
#include <vector>

// The records of a version-1 data file, as the conversion reads them.

class PimPerson {
public:
    virtual ~PimPerson() = default;

    int ID = 0;
    CString FName, LName, RName, Addr1, Addr2, City, State, Zip, HmPhone, WkPhone, WkExt, Fax, EMail,
        CelPhone, Pager, Company, Position, WebPage, Notes;
    bool WhitePages = false;
    bool YellowPages = false;
    // IDs of the address-book groups the person belongs to, in the order read.
    std::vector<int> Groups;
};

class PimTask {
public:
    virtual ~PimTask() = default;

    int ID = 0;
    CString Description;
    int Priority = 0;
    CDateTime DueDate;
    CDateTime DoneDate;
    int RecurringID = 0; // 0 when the task has no rule
};

class PimAppointment {
public:
    virtual ~PimAppointment() = default;

    int ID = 0;
    CString Description;
    CDateTime DueDate, StartTime, EndTime, AlarmTime;
    bool Alarm = false;
    bool Done = false;
    int RecurringID = 0; // 0 when the appointment has no rule
};

// A recurrence rule with its version-1 ID.
class PimRecurringDate : public CRecurPattern {
public:
    int ID = 0;
    std::vector<int> IDS;
};

class PimUser {
public:
    virtual ~PimUser() = default;

    CString FName, LName, Company, Position, Addr1, Addr2, City, State, Zip, HmPhone, WkPhone, WkExt, Fax,
        CelPhone, Pager, EMail, WebPage;
};

class PimPhGroup {
public:
    virtual ~PimPhGroup() = default;

    int ID = 0;
    CString Desc;
};

// Records by ID, iterated in ascending ID order. The first record of an ID wins.
template <typename Record> class PimRecordList {
public:
    using Map = std::map<int, Record>;

    virtual ~PimRecordList() = default;

    // False (and the list unchanged) when a record of that ID is already present.
    bool Insert(const Record& record) { return m_records.emplace(record.ID, record).second; }
    bool Insert(Record&& record) { return m_records.try_emplace(record.ID, std::move(record)).second; }
    const Record* Find(int id) const {
        auto found = m_records.find(id);
        return found == m_records.end() ? nullptr : &found->second;
    }
    typename Map::const_iterator begin() const { return m_records.begin(); }
    typename Map::const_iterator end() const { return m_records.end(); }
    size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    // No records and LastID 0, as a new list.
    void Clear() {
        m_records.clear();
        LastID = 0;
    }

    // The highest ID handed out so far, as the file states it.
    int LastID = 0;

private:
    Map m_records;
};

class PimPersonList : public PimRecordList<PimPerson> {};
class PimTaskList : public PimRecordList<PimTask> {};
class PimAppointmentList : public PimRecordList<PimAppointment> {};
class PimRecurringDateList : public PimRecordList<PimRecurringDate> {};

class PimPhGroupList : public PimRecordList<PimPhGroup> {
public:
    // Hands out the next group ID (LastID + 1) and records it as the last one.
    int NextID() { return ++LastID; }
};
