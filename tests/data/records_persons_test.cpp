#include "data/Schema.h"
#include "tests/data/records_document.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const char* const kGroupFriendsId = "0F0F0F0F-0000-1111-2222-333344445555";
const char* const kGroupWorkId = "0E0E0E0E-0000-1111-2222-333344445555";

// Every text field of a person with a value of its own, so a field in a wrong column shows.
std::vector<std::pair<const char*, CString CPerson::*>> PersonColumns() {
    return {{"ID", &CPerson::m_ID},
            {"Title", &CPerson::m_Title},
            {"FName", &CPerson::m_FName},
            {"LName", &CPerson::m_LName},
            {"Addr1", &CPerson::m_Addr1},
            {"Addr2", &CPerson::m_Addr2},
            {"City", &CPerson::m_City},
            {"State", &CPerson::m_State},
            {"Zip", &CPerson::m_Zip},
            {"HmPhone", &CPerson::m_HmPhone},
            {"HmFax", &CPerson::m_HmFax},
            {"CelPhone", &CPerson::m_CelPhone},
            {"Pager", &CPerson::m_Pager},
            {"Email", &CPerson::m_Email},
            {"WebPage", &CPerson::m_WebPage},
            {"Company", &CPerson::m_Company},
            {"Position", &CPerson::m_Position},
            {"WkAddr1", &CPerson::m_WkAddr1},
            {"WkAddr2", &CPerson::m_WkAddr2},
            {"WkCity", &CPerson::m_WkCity},
            {"WkState", &CPerson::m_WkState},
            {"WkZip", &CPerson::m_WkZip},
            {"WkPhone", &CPerson::m_WkPhone},
            {"WkExt", &CPerson::m_WkExt},
            {"WkFax", &CPerson::m_WkFax},
            {"WkCelPhone", &CPerson::m_WkCelPhone},
            {"WkPager", &CPerson::m_WkPager},
            {"WkEmail", &CPerson::m_WkEmail},
            {"WkWebPage", &CPerson::m_WkWebPage},
            {"Notes", &CPerson::m_Notes}};
}

// A person whose every field differs; texts carry apostrophes and quotes to test the quoting.
CPerson FullPerson(const char* id, const char* tag) {
    CPerson person;
    for (const auto& [column, field] : PersonColumns())
        person.*field = CString(column) + " '" + tag + "' \"q\"";
    person.m_ID = id;
    person.BuildDisplayName();
    return person;
}

CPerson NamedPerson(const char* id, const char* lastName, const char* firstName, const char* company) {
    CPerson person;
    person.m_ID = id;
    person.m_LName = lastName;
    person.m_FName = firstName;
    person.m_Company = company;
    person.BuildDisplayName();
    return person;
}

CPhGroup Group(const char* id, const char* desc = "") {
    CPhGroup group;
    group.m_ID = id;
    group.m_Desc = desc;
    return group;
}

int MembershipRows(const char* personId, const char* groupId) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format(
        "select count(*) from PersonPhGroup where PersonID = '%q' and PhGroupID = '%q'", personId, groupId));
}

int MembershipRows(const char* personId) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format("select count(*) from PersonPhGroup where PersonID = '%q'", personId));
}

std::vector<CString> Ids(const std::vector<CPerson>& persons) {
    std::vector<CString> ids;
    for (const CPerson& person : persons)
        ids.push_back(person.m_ID);
    return ids;
}

class Persons : public RecordsDocument {};

// Notes, for every message box, whether the document's connection had left its transaction.
class AutocommitAtMessage : public ScriptedPrompt {
public:
    int MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) override {
        autocommit.push_back(sqlite3_get_autocommit(g_db.Handle()) != 0);
        return ScriptedPrompt::MessageBox(owner, text, caption, flags);
    }

    std::vector<bool> autocommit;
};

} // namespace

TEST_F(Persons, InsertedPersonReadsBackEveryFieldInItsOwnColumn) {
    const CPerson written = FullPerson("P1", "O'Hara");
    ASSERT_TRUE(g_doc.InsertPerson(written, {}));

    CPerson read;
    read.m_ID = "P1";
    ASSERT_TRUE(g_doc.GetPerson(read));
    for (const auto& [column, field] : PersonColumns())
        EXPECT_EQ(read.*field, written.*field) << column;
    EXPECT_EQ(read.m_DisplayName, written.m_DisplayName);

    // Each field sits in the column of its name.
    SqlQuery row = g_db.ExecQuery("select * from Person where ID = 'P1'");
    ASSERT_FALSE(row.Eof());
    for (const auto& [column, field] : PersonColumns())
        EXPECT_STREQ(row.GetStringField(column, "?"), (written.*field).c_str()) << column;
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Persons, UpdateRewritesEveryField) {
    ASSERT_TRUE(g_doc.InsertPerson(FullPerson("P1", "old"), {}));
    const CPerson changed = FullPerson("P1", "new's");
    ASSERT_TRUE(g_doc.UpdatePerson(changed, {}));

    CPerson read;
    read.m_ID = "P1";
    ASSERT_TRUE(g_doc.GetPerson(read));
    for (const auto& [column, field] : PersonColumns())
        EXPECT_EQ(read.*field, changed.*field) << column;
    EXPECT_EQ(Count("select count(*) from Person"), 1);
}

TEST_F(Persons, MissingPersonIsFalseWithoutMessageAndUnchanged) {
    CPerson person = NamedPerson("NOPE", "Smith", "Ann", "Acme");
    EXPECT_FALSE(g_doc.GetPerson(person));
    EXPECT_EQ(person.m_LName, "Smith");
    std::vector<CPhGroup> groups;
    EXPECT_FALSE(g_doc.GetPersonWithGroups(person, groups));
    EXPECT_TRUE(groups.empty());
    EXPECT_FALSE(g_doc.DeletePerson(person));
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Persons, EmptyGroupVectorGivesMembershipOfAllOnly) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    EXPECT_EQ(MembershipRows("P1"), 1);
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupAllId), 1);
}

TEST_F(Persons, InsertWithAllInTheVectorKeepsOneAllRow) {
    const std::vector<CPhGroup> groups = {Group(Schema::kGroupYellowPagesId), Group(Schema::kGroupAllId)};
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), groups));
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupAllId), 1);
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupYellowPagesId), 1);
    EXPECT_EQ(MembershipRows("P1"), 2);
}

TEST_F(Persons, UpdateWithAllInTheVectorKeepsOneAllRow) {
    ASSERT_TRUE(
        g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {Group(Schema::kGroupYellowPagesId)}));
    const std::vector<CPhGroup> groups = {Group(Schema::kGroupAllId), Group(Schema::kGroupWhitePagesId)};
    ASSERT_TRUE(g_doc.UpdatePerson(NamedPerson("P1", "Smith", "Ann", ""), groups));
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupAllId), 1);
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupWhitePagesId), 1);
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupYellowPagesId), 0) << "memberships are replaced";
    EXPECT_EQ(MembershipRows("P1"), 2);
}

TEST_F(Persons, AGroupNamedTwiceGivesOneMembership) {
    const std::vector<CPhGroup> groups = {Group(kGroupWorkId), Group(kGroupWorkId)};
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), groups));
    EXPECT_EQ(MembershipRows("P1", kGroupWorkId), 1);
    ASSERT_TRUE(g_doc.UpdatePerson(NamedPerson("P1", "Smith", "Ann", ""), groups));
    EXPECT_EQ(MembershipRows("P1", kGroupWorkId), 1);
    EXPECT_EQ(MembershipRows("P1"), 2);
}

TEST_F(Persons, UpdateOfARemovedPersonInsertsItAgain) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    g_db.ExecDml("delete from Person where ID = 'P1'");
    ASSERT_TRUE(g_doc.UpdatePerson(NamedPerson("P1", "Smythe", "Ann", "Acme"), {Group(kGroupWorkId)}));

    CPerson read;
    read.m_ID = "P1";
    ASSERT_TRUE(g_doc.GetPerson(read));
    EXPECT_EQ(read.m_LName, "Smythe");
    EXPECT_EQ(read.m_Company, "Acme");
    EXPECT_EQ(Count("select count(*) from Person"), 1);
    EXPECT_EQ(MembershipRows("P1", Schema::kGroupAllId), 1);
    EXPECT_EQ(MembershipRows("P1", kGroupWorkId), 1);
}

TEST_F(Persons, PersonWithGroupsCarriesTheirDescriptions) {
    ASSERT_TRUE(g_doc.InsertGroup(Group(kGroupWorkId, "Work")));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {Group(kGroupWorkId)}));

    CPerson person;
    person.m_ID = "P1";
    std::vector<CPhGroup> groups;
    ASSERT_TRUE(g_doc.GetPersonWithGroups(person, groups));
    EXPECT_EQ(person.m_LName, "Smith");
    ASSERT_EQ(groups.size(), 2u);
    std::vector<std::pair<std::string, std::string>> read;
    for (const CPhGroup& group : groups)
        read.emplace_back(group.m_ID.str(), group.m_Desc.str());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read[0], std::make_pair(std::string(Schema::kGroupAllId), std::string("All")));
    EXPECT_EQ(read[1], std::make_pair(std::string(kGroupWorkId), std::string("Work")));
}

TEST_F(Persons, DeletingAPersonRemovesItsMemberships) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P2", "Jones", "Bob", ""), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.DeletePerson(NamedPerson("P1", "", "", "")));
    EXPECT_EQ(Count("select count(*) from Person where ID = 'P1'"), 0);
    EXPECT_EQ(MembershipRows("P1"), 0);
    EXPECT_EQ(MembershipRows("P2"), 2);
}

TEST_F(Persons, GroupMembersByNameAndByCompany) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", "Zeta"), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P2", "Adams", "Carl", "Acme"), {}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P3", "Smith", "Al", ""), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P4", "Brown", "Dee", ""), {}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P5", "O'Neil", "Eve", "Acme"), {}));

    std::vector<CPerson> byName;
    ASSERT_TRUE(g_doc.GetGroupMembers(byName, 0, Schema::kGroupAllId));
    EXPECT_EQ(Ids(byName), (std::vector<CString>{"P2", "P4", "P5", "P3", "P1"}));
    EXPECT_EQ(g_doc.m_listedPersonCount, 5);

    // Persons without a company come first, then by company, last and first name.
    std::vector<CPerson> byCompany;
    ASSERT_TRUE(g_doc.GetGroupMembers(byCompany, 1, Schema::kGroupAllId));
    EXPECT_EQ(Ids(byCompany), (std::vector<CString>{"P4", "P3", "P2", "P5", "P1"}));

    std::vector<CPerson> work;
    ASSERT_TRUE(g_doc.GetGroupMembers(work, 0, kGroupWorkId));
    EXPECT_EQ(Ids(work), (std::vector<CString>{"P3", "P1"}));
    EXPECT_EQ(g_doc.m_listedPersonCount, 2);
    EXPECT_EQ(work[1].m_DisplayName, "Smith, Ann");
    EXPECT_EQ(work[1].m_Company, "Zeta");
    EXPECT_EQ(work[0].m_FName, "Al");
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Persons, GroupMembersFillOnlyTheListFields) {
    ASSERT_TRUE(g_doc.InsertPerson(FullPerson("P1", "x"), {}));
    std::vector<CPerson> persons;
    ASSERT_TRUE(g_doc.GetGroupMembers(persons, 0, Schema::kGroupAllId));
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].m_LName, FullPerson("P1", "x").m_LName);
    EXPECT_TRUE(persons[0].m_Notes.IsEmpty());
    EXPECT_TRUE(persons[0].m_WkCelPhone.IsEmpty());
}

TEST_F(Persons, UnknownSortOrderListsNothing) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    g_doc.m_listedPersonCount = 7;
    std::vector<CPerson> persons;
    EXPECT_FALSE(g_doc.GetGroupMembers(persons, 2, Schema::kGroupAllId));
    EXPECT_TRUE(persons.empty());
    EXPECT_EQ(g_doc.m_listedPersonCount, 7);
}

TEST_F(Persons, FailingMembershipWriteRollsTheInsertBack) {
    g_db.ExecDml("drop table PersonPhGroup");
    EXPECT_FALSE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from Person"), 0);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Adding Address Book Entry");
    EXPECT_EQ(Prompt().MessageBoxes()[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Prompt().MessageBoxes()[0].owner, nullptr);
    EXPECT_NE(Prompt().MessageBoxes()[0].text.Find("PersonPhGroup"), -1);
}

TEST_F(Persons, FailingMembershipWriteRollsTheUpdateBack) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    g_db.ExecDml("alter table PersonPhGroup rename to Kept");
    EXPECT_FALSE(g_doc.UpdatePerson(NamedPerson("P1", "Jones", "Ann", ""), {}));
    EXPECT_TRUE(InAutocommit());
    EXPECT_EQ(Count("select count(*) from Person where LName = 'Smith'"), 1);
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Updating Address Book Entry");
    EXPECT_EQ(Prompt().MessageBoxes()[0].flags, unsigned(MB_OK | MB_ICONERROR));
}

TEST_F(Persons, TheTransactionIsRolledBackBeforeTheMessageShows) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    g_db.ExecDml("drop table PersonPhGroup");
    AutocommitAtMessage prompt;
    EXPECT_FALSE(g_doc.InsertPerson(NamedPerson("P2", "Jones", "Bob", ""), {}));
    EXPECT_FALSE(g_doc.UpdatePerson(NamedPerson("P1", "Smythe", "Ann", ""), {}));
    EXPECT_EQ(prompt.autocommit, (std::vector<bool>{true, true}));
}

TEST_F(Persons, ReadErrorsShowTheirCaptions) {
    g_db.ExecDml("drop table Person");
    std::vector<CPerson> persons;
    EXPECT_FALSE(g_doc.GetGroupMembers(persons, 1, Schema::kGroupAllId));
    EXPECT_FALSE(g_doc.DeletePerson(NamedPerson("P1", "", "", "")));
    CPerson person;
    person.m_ID = "P1";
    EXPECT_FALSE(g_doc.GetPerson(person));
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u) << "reading a person shows no message";
    EXPECT_EQ(boxes[0].caption, "Error Reading Address Book");
    EXPECT_EQ(boxes[1].caption, "Error Deleting Address Book Entry");
}

TEST_F(Persons, GroupsAreListedByDescription) {
    ASSERT_TRUE(g_doc.InsertGroup(Group(kGroupWorkId, "Bowling 'n' Friends")));
    std::vector<CPhGroup> groups;
    ASSERT_TRUE(g_doc.GetGroups(groups));
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].m_Desc, "All");
    EXPECT_EQ(groups[0].m_ID, Schema::kGroupAllId);
    EXPECT_EQ(groups[1].m_Desc, "Bowling 'n' Friends");
    EXPECT_EQ(groups[1].m_ID, kGroupWorkId);
    EXPECT_EQ(groups[2].m_Desc, "White Pages");
    EXPECT_EQ(groups[3].m_Desc, "Yellow Pages");
}

TEST_F(Persons, GroupUpdateDescriptionAndDelete) {
    ASSERT_TRUE(g_doc.InsertGroup(Group(kGroupWorkId, "Work")));
    ASSERT_TRUE(g_doc.UpdateGroup(Group(kGroupWorkId, "Work \"old\"")));
    CPhGroup read = Group(kGroupWorkId);
    ASSERT_TRUE(g_doc.GetGroupDesc(read));
    EXPECT_EQ(read.m_Desc, "Work \"old\"");

    CPhGroup missing = Group(kGroupFriendsId, "unchanged");
    EXPECT_TRUE(g_doc.GetGroupDesc(missing));
    EXPECT_EQ(missing.m_Desc, "unchanged");

    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {Group(kGroupWorkId)}));
    EXPECT_EQ(g_doc.GetGroupUseCount(Group(kGroupWorkId)), 1);
    EXPECT_EQ(g_doc.GetGroupUseCount(Group(kGroupFriendsId)), 0);
    ASSERT_TRUE(g_doc.DeleteGroup(Group(kGroupWorkId)));
    EXPECT_EQ(Count("select count(*) from PhGroup"), 3);
    EXPECT_EQ(MembershipRows("P1", kGroupWorkId), 1) << "memberships naming a deleted group stay";
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Persons, GroupErrorsShowTheirCaptionsAndUseCountAnswersOne) {
    g_db.ExecDml("drop table PhGroup");
    g_db.ExecDml("drop table PersonPhGroup");
    std::vector<CPhGroup> groups;
    EXPECT_FALSE(g_doc.GetGroups(groups));
    CPhGroup group = Group(kGroupWorkId, "Work");
    EXPECT_FALSE(g_doc.GetGroupDesc(group));
    EXPECT_FALSE(g_doc.InsertGroup(group));
    EXPECT_FALSE(g_doc.UpdateGroup(group));
    EXPECT_FALSE(g_doc.DeleteGroup(group));
    EXPECT_EQ(g_doc.GetGroupUseCount(group), 1);
    const auto boxes = Prompt().MessageBoxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].caption, "Error Reading Address Book Groups");
    EXPECT_EQ(boxes[1].caption, "Error Reading Address Book Groups");
    EXPECT_EQ(boxes[2].caption, "Error Adding Address Book Group");
    EXPECT_EQ(boxes[3].caption, "Error Updating Address Book Group");
    EXPECT_EQ(boxes[4].caption, "Error Deleting Address Book Group");
    for (const auto& box : boxes)
        EXPECT_EQ(box.flags, unsigned(MB_OK | MB_ICONERROR));
}

TEST_F(Persons, AnIdWithAnApostropheCannotReachOtherRows) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Smith", "Ann", ""), {}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P2", "Jones", "Bob", ""), {}));
    EXPECT_FALSE(g_doc.DeletePerson(NamedPerson("x' or '1'='1", "", "", "")));
    EXPECT_EQ(Count("select count(*) from Person"), 2);
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("it's", "Odd", "Id", ""), {}));
    CPerson read;
    read.m_ID = "it's";
    ASSERT_TRUE(g_doc.GetPerson(read));
    EXPECT_EQ(read.m_LName, "Odd");
}

// Reading many persons at once gives, for each ID in turn, what the single read gives: duplicates of
// an ID in the request, rows sharing an ID, missing IDs, NULL columns and quoting included.
TEST_F(Persons, PersonsReadTogetherMatchTheSingleReadInTheOrderAsked) {
    ASSERT_TRUE(g_doc.InsertPerson(FullPerson("P1", "one"), {}));
    ASSERT_TRUE(g_doc.InsertPerson(FullPerson("O'Neil", "two"), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P3", "Doe", "Jane", ""), {}));
    // A second row with the ID P3 (the schema does not stop it): the single read takes the first.
    g_db.ExecDml("insert into Person(ID, FName, LName) values('P3', 'Second', 'Row')");
    // Columns that hold NULL read as the empty text.
    g_db.ExecDml("insert into Person(ID, FName, LName, City, Notes) values('P4', NULL, 'Null', NULL, NULL)");

    struct Case {
        const char* name;
        std::vector<CString> ids;
    };
    const Case cases[] = {
        {"table order", {"P1", "O'Neil", "P3", "P4"}},
        {"reverse order", {"P4", "P3", "O'Neil", "P1"}},
        {"an ID asked twice", {"P3", "P1", "P3"}},
        {"missing IDs left out", {"gone", "P1", "' or ''='", "P4"}},
        {"nothing asked", {}},
    };
    for (const Case& c : cases) {
        std::vector<CPerson> expected;
        for (const CString& id : c.ids) {
            CPerson one;
            one.m_ID = id;
            if (g_doc.GetPerson(one))
                expected.push_back(one);
        }
        std::vector<CPerson> read;
        ASSERT_TRUE(g_doc.GetPersons(c.ids, read)) << c.name;
        ASSERT_EQ(Ids(read), Ids(expected)) << c.name;
        for (size_t i = 0; i < read.size(); ++i) {
            for (const auto& [column, field] : PersonColumns())
                EXPECT_EQ(read[i].*field, expected[i].*field) << c.name << ", " << column;
            EXPECT_EQ(read[i].m_DisplayName, expected[i].m_DisplayName) << c.name;
        }
    }
    std::vector<CPerson> both;
    ASSERT_TRUE(g_doc.GetPersons({"P3"}, both));
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].m_FName, CString("Jane")) << "of rows sharing an ID the first is read";
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

TEST_F(Persons, PersonsReadErrorAppendsNothingAndShowsNoMessage) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Doe", "Jane", ""), {}));
    std::vector<CPerson> persons(1);
    g_db.ExecDml("drop table Person");
    EXPECT_FALSE(g_doc.GetPersons({"P1"}, persons));
    EXPECT_EQ(persons.size(), 1u);
    EXPECT_EQ(Prompt().Calls().size(), 0u);
}

// The person lists' entries are the group members' ID, display name and company, in the same order
// and count, by name and by company.
TEST_F(Persons, GroupMemberEntriesMatchTheMembers) {
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P1", "Doe", "Jane", "Acme"), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P2", "Doe", "Jane", ""), {}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P3", "", "Al", "Zeta"), {Group(kGroupWorkId)}));
    ASSERT_TRUE(g_doc.InsertPerson(NamedPerson("P4", "O'Hara", "", "Acme"), {}));
    g_db.ExecDml("insert into Person(ID, FName, LName, Company) values('P5', NULL, NULL, NULL)");
    g_db.ExecDml("insert into PersonPhGroup values('P5', '04E27641-0068-11da-BBFB-9C5F0D33683A')");
    for (const char* group : {Schema::kGroupAllId, kGroupWorkId}) {
        for (int sortOrder : {0, 1}) {
            std::vector<CPerson> members;
            ASSERT_TRUE(g_doc.GetGroupMembers(members, sortOrder, group));
            std::vector<CPersonListEntry> entries(1);
            g_doc.m_listedPersonCount = -1;
            ASSERT_TRUE(g_doc.GetGroupMemberEntries(entries, sortOrder, group));
            EXPECT_EQ(g_doc.m_listedPersonCount, static_cast<int>(entries.size()));
            ASSERT_EQ(entries.size(), members.size() + 1) << "appended after the entry there was";
            for (size_t i = 0; i < members.size(); ++i) {
                EXPECT_EQ(entries[i + 1].id, members[i].m_ID) << group << sortOrder << i;
                EXPECT_EQ(entries[i + 1].displayName, members[i].m_DisplayName) << group << sortOrder << i;
                EXPECT_EQ(entries[i + 1].company, members[i].m_Company) << group << sortOrder << i;
            }
        }
    }
    std::vector<CPersonListEntry> entries;
    EXPECT_FALSE(g_doc.GetGroupMemberEntries(entries, 2, Schema::kGroupAllId));
    EXPECT_EQ(Prompt().Calls().size(), 0u);
    g_db.ExecDml("drop table Person");
    EXPECT_FALSE(g_doc.GetGroupMemberEntries(entries, 0, Schema::kGroupAllId));
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(Prompt().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompt().MessageBoxes()[0].caption, "Error Reading Address Book");
}
