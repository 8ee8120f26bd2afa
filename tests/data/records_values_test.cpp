#include "data/IdMaker.h"
#include "data/Records.h"
#include "data/RecurPattern.h"
#include "platform/core/WinTime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

// Fixes the clock for one test and restores the system clock afterwards.
class FixedClock {
public:
    FixedClock(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t second) {
        SYSTEMTIME now;
        now.wYear = year;
        now.wMonth = month;
        now.wDay = day;
        now.wHour = hour;
        now.wMinute = minute;
        now.wSecond = second;
        now.wMilliseconds = 250;
        SetLocalTimeForTesting(now);
    }
    ~FixedClock() { SetLocalTimeForTesting(std::nullopt); }
};

struct DisplayNameCase {
    const char* lastName;
    const char* firstName;
    const char* expected;
};

class DisplayName : public testing::TestWithParam<DisplayNameCase> {};

} // namespace

TEST_P(DisplayName, JoinsLastAndFirstName) {
    CPerson person;
    person.m_LName = GetParam().lastName;
    person.m_FName = GetParam().firstName;
    person.m_DisplayName = "stale";
    person.BuildDisplayName();
    EXPECT_EQ(person.m_DisplayName, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Records, DisplayName,
                         testing::Values(DisplayNameCase{"Smith", "Ann", "Smith, Ann"},
                                         DisplayNameCase{"", "Ann", "Ann"},
                                         DisplayNameCase{"Smith", "", "Smith"}, DisplayNameCase{"", "", ""},
                                         DisplayNameCase{"O'Brien", "Seán", "O'Brien, Seán"}));

TEST(Records, NewPersonUserAndGroupAreEmpty) {
    const CPerson person;
    EXPECT_TRUE(person.m_ID.IsEmpty());
    EXPECT_TRUE(person.m_DisplayName.IsEmpty());
    EXPECT_TRUE(person.m_WkCelPhone.IsEmpty());
    EXPECT_TRUE(person.m_Notes.IsEmpty());
    const CUser user;
    EXPECT_TRUE(user.m_ID.IsEmpty());
    EXPECT_TRUE(user.m_WebPage.IsEmpty());
    const CPhGroup group;
    EXPECT_TRUE(group.m_ID.IsEmpty());
    EXPECT_TRUE(group.m_Desc.IsEmpty());
}

TEST(Records, NewTaskIsDueTodayWithHighPriorityAndNoCompletion) {
    FixedClock clock(2006, 3, 15, 10, 20, 30);
    const CTask task;
    EXPECT_EQ(task.m_DateDue, CDateTime(2006, 3, 15));
    EXPECT_EQ(task.m_Priority, kPriorityHigh);
    EXPECT_FALSE(task.m_DateDone.IsValid());
    EXPECT_EQ(task.m_DateDone.Format("%Y-%m-%d %H:%M:%S"), "");
    EXPECT_TRUE(task.m_Desc.IsEmpty());
    EXPECT_TRUE(task.m_RecrDtID.IsEmpty());
    EXPECT_TRUE(task.m_ID.IsEmpty());
}

TEST(Records, NewAppointmentIsTodayAtTheCurrentMinute) {
    FixedClock clock(2006, 3, 15, 10, 20, 30);
    const CAppt appt;
    EXPECT_EQ(appt.m_DateDue, CDateTime(2006, 3, 15));
    const CDateTime minute(2006, 3, 15, 10, 20, 0);
    EXPECT_EQ(appt.m_StartTime, minute);
    EXPECT_EQ(appt.m_EndTime, minute);
    EXPECT_EQ(appt.m_AlarmTime, minute);
    EXPECT_FALSE(appt.m_Alarm);
    EXPECT_FALSE(appt.m_Done);
    EXPECT_TRUE(appt.m_Desc.IsEmpty());
    EXPECT_TRUE(appt.m_RecrDtID.IsEmpty());
}

TEST(Records, CopiesCarryEveryField) {
    CTask task;
    task.m_Desc = "Call";
    task.m_Priority = kPriorityLow;
    task.m_DateDone = CDateTime(2006, 1, 2);
    task.m_RecrDtID = "R";
    task.m_ID = "T";
    CTask copy;
    copy = task;
    EXPECT_EQ(copy.m_Desc, "Call");
    EXPECT_EQ(copy.m_Priority, kPriorityLow);
    EXPECT_EQ(copy.m_DateDone, CDateTime(2006, 1, 2));
    EXPECT_EQ(copy.m_RecrDtID, "R");
    EXPECT_EQ(copy.m_ID, "T");

    CAppt appt;
    appt.m_Alarm = true;
    appt.m_Done = true;
    appt.m_AlarmTime = CDateTime(2006, 1, 2, 9, 45, 0);
    const CAppt apptCopy(appt);
    EXPECT_TRUE(apptCopy.m_Alarm);
    EXPECT_TRUE(apptCopy.m_Done);
    EXPECT_EQ(apptCopy.m_AlarmTime, CDateTime(2006, 1, 2, 9, 45, 0));
}

TEST(Records, RecurItemCopyCarriesTheIdWithTheRule) {
    CRecurItem item;
    item.SetID("ABC");
    item.SetBasicMethod(2);
    item.SetMonthlyCount1(31);
    item.SetStartDate("01/01/2006");
    const CRecurItem copy(item);
    EXPECT_EQ(copy.GetID(), "ABC");
    EXPECT_EQ(copy.GetBasicMethod(), 2);
    EXPECT_EQ(copy.GetMonthlyCount1(), 31);
    EXPECT_EQ(copy.GetStartDate(), "01/01/2006");
}

TEST(IdMaker, MakesDistinctIdsOfEightFourFourTwelveHexDigits) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        char buffer[81];
        std::memset(buffer, 'x', sizeof buffer);
        ASSERT_TRUE(NewGuidString(buffer));
        const std::string id(buffer);
        ASSERT_EQ(id.size(), 31u);
        for (size_t pos = 0; pos < id.size(); ++pos) {
            if (pos == 8 || pos == 13 || pos == 18)
                EXPECT_EQ(id[pos], '-') << id;
            else
                EXPECT_TRUE((id[pos] >= '0' && id[pos] <= '9') || (id[pos] >= 'A' && id[pos] <= 'F')) << id;
        }
        EXPECT_EQ(buffer[32], 'x') << "writes no further than the terminator";
        EXPECT_TRUE(seen.insert(id).second) << id;
    }
}

TEST(IdMaker, FillsAText) {
    CString id;
    ASSERT_TRUE(NewGuidString(id));
    EXPECT_EQ(id.GetLength(), kGuidStringLength);
    CString other;
    ASSERT_TRUE(NewGuidString(other));
    EXPECT_NE(id, other);
}

TEST(IdMaker, NullBufferFails) {
    EXPECT_FALSE(NewGuidString(static_cast<char*>(nullptr)));
}

TEST(XmlEscape, ReplacesTheFiveSpecialsWithinTheLength) {
    CString target = "<a>";
    const char* source = "\"Tom\" & 'Jerry' <x> tail";
    XmlEscapeAppend(target, source, 19);
    EXPECT_EQ(target, "<a>&quot;Tom&quot; &amp; &apos;Jerry&apos; &lt;x&gt;");
}

TEST(XmlEscape, ZeroLengthAppendsNothing) {
    CString target = "keep";
    XmlEscapeAppend(target, "&", 0);
    EXPECT_EQ(target, "keep");
}
