#include "data/Schema.h"
#include "tests/data/merge_documents.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

const char* const kFriendsLocalId = "0A0A0A0A-0000-1111-2222-333344445555";
const char* const kFriendsOtherId = "0B0B0B0B-0000-1111-2222-333344445555";
const char* const kPalsId = "0C0C0C0C-0000-1111-2222-333344445555";

CPerson Person(const char* id, const char* lastName) {
    CPerson person;
    person.m_ID = id;
    person.m_LName = lastName;
    person.m_FName = "Ann";
    person.m_Company = "O'Brien & Co";
    person.m_WkZip = "10115";
    person.m_Notes = "line one\nline \"two\"";
    person.BuildDisplayName();
    return person;
}

CPhGroup Group(const char* id, const char* desc) {
    CPhGroup group;
    group.m_ID = id;
    group.m_Desc = desc;
    return group;
}

int Memberships(const char* personId, const char* groupId) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format(
        "select count(*) from PersonPhGroup where PersonID = '%q' and PhGroupID = '%q'", personId, groupId));
}

int GroupsNamed(const char* desc) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format("select count(*) from PhGroup where Desc = %Q", desc));
}

CString GroupIdOf(const char* desc) {
    SqlBuffer sql;
    SqlQuery query = g_db.ExecQuery(sql.Format("select ID from PhGroup where Desc = %Q", desc));
    return query.Eof() ? CString() : CString(query.GetStringField(0, ""));
}

class MergeAddressBookTest : public MergeDocuments {};

TEST_F(MergeAddressBookTest, CopiesEveryPersonWholeWithItsMembershipsFromAKeyedDocument) {
    const std::string other = CreateOpen("Other", "secret");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kPalsId, "Pals")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {Group(kPalsId, "")}));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P2", "Jones"), {Group(Schema::kGroupYellowPagesId, "")}));
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), "secret"), 2);

    EXPECT_EQ(Rows(g_db, "select * from Person order by ID"),
              RowsIn(other, "secret", "select * from Person order by ID"));
    // The group this document lacked is added under its own ID.
    EXPECT_EQ(GroupIdOf("Pals"), kPalsId);
    EXPECT_EQ(Count("select count(*) from PhGroup"), 4);
    EXPECT_EQ(Memberships("P1", kPalsId), 1);
    EXPECT_EQ(Memberships("P1", Schema::kGroupAllId), 1);
    EXPECT_EQ(Memberships("P2", Schema::kGroupYellowPagesId), 1);
    EXPECT_EQ(Memberships("P2", Schema::kGroupAllId), 1);
    EXPECT_EQ(Count("select count(*) from PersonPhGroup"), 4);
    EXPECT_EQ(Attached(), "");
    EXPECT_TRUE(FileIsFree(other, "secret"));
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
    EXPECT_GE(Prompt().WaitCursorsShown(), 1);
    EXPECT_EQ(Prompt().WaitCursorDepth(), 0);
}

TEST_F(MergeAddressBookTest, MembersOfAGroupOfALocalNameJoinTheLocalGroup) {
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Friends")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {Group(kFriendsOtherId, "")}));
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsLocalId, "Friends")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("L1", "Local"), {Group(kFriendsLocalId, "")}));

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 1);

    EXPECT_EQ(GroupsNamed("Friends"), 1);
    EXPECT_EQ(Count("select count(*) from PhGroup"), 4);
    EXPECT_EQ(Memberships("P1", kFriendsLocalId), 1);
    EXPECT_EQ(Memberships("P1", kFriendsOtherId), 0);
    EXPECT_EQ(Memberships("L1", kFriendsLocalId), 1);
    // The other document still lists its member in its own group.
    EXPECT_EQ(CountIn(other, "",
                      "select count(*) from PersonPhGroup where PersonID = 'P1' and PhGroupID = "
                      "'0B0B0B0B-0000-1111-2222-333344445555'"),
              1);
    EXPECT_EQ(CountIn(other, "", "select count(*) from Person"), 1);
}

TEST_F(MergeAddressBookTest, LocalMembershipsUnderTheOtherGroupsIdStayWhereTheyAre) {
    // This document uses the other document's ID of "Friends" for its group "Pals".
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Friends")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {Group(kFriendsOtherId, "")}));
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsLocalId, "Friends")));
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Pals")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("L1", "Local"), {Group(kFriendsOtherId, "")}));

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 1);

    EXPECT_EQ(Memberships("P1", kFriendsLocalId), 1);
    EXPECT_EQ(Memberships("P1", kFriendsOtherId), 0);
    EXPECT_EQ(Memberships("L1", kFriendsOtherId), 1);
    EXPECT_EQ(Memberships("L1", kFriendsLocalId), 0);
}

TEST_F(MergeAddressBookTest, AGroupWhoseIdIsTakenHereByAnotherNameIsAddedUnderANewId) {
    // A copy of this document whose group "Friends" was renamed "Pals", and which has a new
    // "Friends" listed first: its members must not swap groups on the way.
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Friends")));
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsLocalId, "Pals")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Friend"), {Group(kFriendsOtherId, "")}));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P2", "Pal"), {Group(kFriendsLocalId, "")}));
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsLocalId, "Friends")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("L1", "Local"), {Group(kFriendsLocalId, "")}));

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 2);

    ASSERT_EQ(GroupsNamed("Pals"), 1);
    const CString palsId = GroupIdOf("Pals");
    EXPECT_NE(palsId, kFriendsLocalId);
    EXPECT_NE(palsId, kFriendsOtherId);
    EXPECT_EQ(palsId.GetLength(), 31);
    EXPECT_EQ(GroupsNamed("Friends"), 1);
    EXPECT_EQ(Count("select count(*) from PhGroup where ID = '0A0A0A0A-0000-1111-2222-333344445555'"), 1);
    EXPECT_EQ(Memberships("P1", kFriendsLocalId), 1);
    EXPECT_EQ(Memberships("P2", palsId), 1);
    EXPECT_EQ(Memberships("P2", kFriendsLocalId), 0);
    EXPECT_EQ(Memberships("L1", kFriendsLocalId), 1);
    EXPECT_EQ(Count("select count(*) from PersonPhGroup"), 6);
}

TEST_F(MergeAddressBookTest, ImportingTwiceCopiesNothingTheSecondTime) {
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Friends")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {Group(kFriendsOtherId, "")}));
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 1);
    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 0);

    EXPECT_EQ(Count("select count(*) from Person"), 1);
    EXPECT_EQ(Count("select count(*) from PersonPhGroup"), 2);
    EXPECT_EQ(GroupsNamed("Friends"), 1);
}

TEST_F(MergeAddressBookTest, APersonAlreadyHereKeepsItsOwnRowAndGroups) {
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Changed"), {Group(Schema::kGroupYellowPagesId, "")}));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P2", "New"), {}));
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Kept"), {}));

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 1);

    CPerson kept;
    kept.m_ID = "P1";
    ASSERT_TRUE(g_doc.GetPerson(kept));
    EXPECT_EQ(kept.m_LName, "Kept");
    EXPECT_EQ(Count("select count(*) from Person where ID = 'P1'"), 1);
    EXPECT_EQ(Memberships("P1", Schema::kGroupYellowPagesId), 0);
    EXPECT_EQ(Memberships("P2", Schema::kGroupAllId), 1);
}

TEST_F(MergeAddressBookTest, WrongPasswordCopiesNothingAndLeavesTheFileFree) {
    const std::string other = CreateOpen("Other", "secret");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kPalsId, "Pals")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {}));
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), "Secret"), -1);
    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), -1);

    EXPECT_EQ(Count("select count(*) from Person"), 0);
    EXPECT_EQ(Count("select count(*) from PhGroup"), 3);
    EXPECT_EQ(Attached(), "");
    EXPECT_TRUE(FileIsFree(other, "secret"));
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), "secret"), 1);
}

TEST_F(MergeAddressBookTest, AnUnkeyedDocumentMergesIntoAKeyedOne) {
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {}));
    CreateOpen("Local", "pw");

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), ""), 1);
    EXPECT_EQ(Count("select count(*) from Person where ID = 'P1'"), 1);
}

TEST_F(MergeAddressBookTest, QuotesInThePathAndInGroupNamesAreTextNotSql) {
    std::filesystem::create_directory(m_dir.path() / "Ann's files");
    const std::string other = CreateOpen("Ann's files/O'Hara", "it's");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsOtherId, "Bob's club")));
    ASSERT_TRUE(g_doc.InsertGroup(Group(kPalsId, "Ann's")));
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {Group(kFriendsOtherId, ""), Group(kPalsId, "")}));
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertGroup(Group(kFriendsLocalId, "Bob's club")));

    EXPECT_EQ(g_doc.MergeAddressBook(other.c_str(), "it's"), 1);

    EXPECT_EQ(GroupsNamed("Bob's club"), 1);
    EXPECT_EQ(Memberships("P1", kFriendsLocalId), 1);
    EXPECT_EQ(GroupIdOf("Ann's"), kPalsId);
    EXPECT_EQ(Memberships("P1", kPalsId), 1);
}

TEST_F(MergeAddressBookTest, AFileThatIsNoDocumentGivesMinusOne) {
    CreateOpen("Local", "");
    const std::string text = m_dir.File("notes.pgr");
    std::ofstream(text)
        << "just some text, long enough to be no database header at all....................\n";

    EXPECT_EQ(g_doc.MergeAddressBook(text.c_str(), ""), -1);
    EXPECT_EQ(g_doc.MergeAddressBook(m_dir.File("missing/none.pgr").c_str(), ""), -1);
    // A mistyped name leaves no empty file behind.
    EXPECT_EQ(g_doc.MergeAddressBook(m_dir.File("none.pgr").c_str(), ""), -1);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("none.pgr")));
    EXPECT_EQ(Attached(), "");
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
}

TEST_F(MergeAddressBookTest, TheOpenDocumentItselfGivesMinusOneAtOnce) {
    const std::string local = CreateOpen("Local", "pw");
    ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {}));

    EXPECT_EQ(g_doc.MergeAddressBook(local.c_str(), "pw"), -1);
    EXPECT_EQ(Count("select count(*) from Person"), 1);
    EXPECT_EQ(Attached(), "");
}

} // namespace
