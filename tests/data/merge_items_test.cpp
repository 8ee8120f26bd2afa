#include "data/DateParser.h"
#include "tests/data/merge_documents.h"

#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CRecurItem Rule(const char* id) {
    CRecurItem rule;
    rule.SetID(id);
    rule.SetBasicMethod(1);
    rule.SetStartTime("08:00 AM");
    rule.SetEndTime("09:30 AM");
    rule.SetStartDate(CDateTime(2026, 3, 2).Format(CDateParser::GetShortDateFormat()));
    rule.SetEveryWeekCount(2);
    rule.SetWeeklyMonday(true);
    return rule;
}

CTask Task(const char* id, const char* desc, const char* ruleId = "") {
    CTask task;
    task.m_ID = id;
    task.m_Desc = desc;
    task.m_Priority = kPriorityLow;
    task.m_DateDue = CDateTime(2026, 3, 2);
    task.m_DateDone = CDateTime(2026, 3, 4, 17, 5, 0);
    task.m_RecrDtID = ruleId;
    return task;
}

CAppt Appt(const char* id, const char* desc, const char* ruleId = "") {
    CAppt appt;
    appt.m_ID = id;
    appt.m_Desc = desc;
    appt.m_DateDue = CDateTime(2026, 3, 2);
    appt.m_StartTime = CDateTime(2026, 3, 2, 8, 0, 0);
    appt.m_EndTime = CDateTime(2026, 3, 2, 9, 30, 0);
    appt.m_Alarm = true;
    appt.m_AlarmTime = CDateTime(2026, 3, 2, 7, 45, 0);
    appt.m_RecrDtID = ruleId;
    return appt;
}

// Makes a file unwritable while it lives: read-only permission bits, and for a superuser, whom
// those do not stop, the file system's immutable flag.
class UnwritableFile {
public:
    explicit UnwritableFile(const std::string& path) : m_path(path) {
        chmod(path.c_str(), 0444);
        if (geteuid() == 0)
            SetImmutable(true);
    }
    ~UnwritableFile() {
        if (geteuid() == 0)
            SetImmutable(false);
        chmod(m_path.c_str(), 0644);
    }
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;

    bool Holds() const {
        const int fd = open(m_path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return true;
        close(fd);
        return false;
    }

private:
    void SetImmutable(bool on) const {
        const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        close(fd);
    }

    std::string m_path;
};

// The other document: two tasks of one series, a single task, an appointment series, a single
// appointment and a rule nobody refers to.
class MergeItemsTest : public MergeDocuments {
protected:
    std::string MakeOther(const char* password) {
        const std::string other = CreateOpen("Other", password);
        EXPECT_TRUE(g_doc.InsertRecurringDate(Rule("RT")));
        EXPECT_TRUE(g_doc.InsertRecurringDate(Rule("RA")));
        EXPECT_TRUE(g_doc.InsertRecurringDate(Rule("UNUSED")));
        EXPECT_TRUE(g_doc.InsertTask(Task("T1", "Series 1", "RT")));
        EXPECT_TRUE(g_doc.InsertTask(Task("T2", "Series 2", "RT")));
        EXPECT_TRUE(g_doc.InsertTask(Task("T3", "Single 'quoted'")));
        EXPECT_TRUE(g_doc.InsertAppt(Appt("A1", "Weekly", "RA")));
        EXPECT_TRUE(g_doc.InsertAppt(Appt("A2", "Once")));
        return other;
    }
};

TEST_F(MergeItemsTest, TasksComeWholeWithExactlyTheRulesTheyReferTo) {
    const std::string other = MakeOther("secret");
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), "secret"), 3);

    EXPECT_EQ(Rows(g_db, "select * from Task order by ID"),
              RowsIn(other, "secret", "select * from Task order by ID"));
    EXPECT_EQ(Rows(g_db, "select * from RecurringDate"),
              RowsIn(other, "secret", "select * from RecurringDate where ID = 'RT'"));
    EXPECT_EQ(Count("select count(*) from Appt"), 0);
    EXPECT_EQ(Attached(), "");
    EXPECT_TRUE(FileIsFree(other, "secret"));
    EXPECT_GE(Prompt().WaitCursorsShown(), 1);
    EXPECT_EQ(Prompt().WaitCursorDepth(), 0);
}

TEST_F(MergeItemsTest, AppointmentsComeWholeWithExactlyTheRulesTheyReferTo) {
    const std::string other = MakeOther("");
    CreateOpen("Local", "pw");

    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), ""), 2);

    EXPECT_EQ(Rows(g_db, "select * from Appt order by ID"),
              RowsIn(other, "", "select * from Appt order by ID"));
    EXPECT_EQ(Rows(g_db, "select * from RecurringDate"),
              RowsIn(other, "", "select * from RecurringDate where ID = 'RA'"));
    EXPECT_EQ(Count("select count(*) from Task"), 0);
    EXPECT_EQ(Attached(), "");
}

TEST_F(MergeItemsTest, TasksWithoutARuleCopyNoRule) {
    const std::string other = CreateOpen("Other", "");
    ASSERT_TRUE(g_doc.InsertRecurringDate(Rule("UNUSED")));
    ASSERT_TRUE(g_doc.InsertTask(Task("T1", "Single")));
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), ""), 1);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
}

TEST_F(MergeItemsTest, ImportingTwiceCopiesNoRowTwice) {
    const std::string other = MakeOther("");
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), ""), 3);
    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), ""), 2);
    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), ""), 0);
    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), ""), 0);

    EXPECT_EQ(Count("select count(*) from Task"), 3);
    EXPECT_EQ(Count("select count(*) from Appt"), 2);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 2);
}

TEST_F(MergeItemsTest, ItemsAlreadyHereKeepTheirOwnRows) {
    const std::string other = MakeOther("");
    CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertTask(Task("T3", "Edited here")));

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), ""), 2);

    CTask kept;
    kept.m_ID = "T3";
    ASSERT_TRUE(g_doc.GetTask(kept));
    EXPECT_EQ(kept.m_Desc, "Edited here");
    EXPECT_EQ(Count("select count(*) from Task where ID = 'T3'"), 1);
}

TEST_F(MergeItemsTest, WrongPasswordGivesMinusOneAndLeavesNothingAttached) {
    const std::string other = MakeOther("secret");
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), "wrong"), -1);
    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), ""), -1);

    EXPECT_EQ(Count("select count(*) from Task"), 0);
    EXPECT_EQ(Count("select count(*) from Appt"), 0);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 0);
    EXPECT_EQ(Attached(), "");
    EXPECT_TRUE(FileIsFree(other, "secret"));
    EXPECT_TRUE(Prompt().MessageBoxes().empty());
    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), "secret"), 2);
}

TEST_F(MergeItemsTest, AFailureAfterTheAttachDetachesTheOtherFile) {
    // A document without an Appt table: the attach succeeds, the copy fails.
    const std::string other = MakeOther("");
    {
        SqlDb db;
        db.Open(other.c_str());
        db.ExecDml("drop table Appt");
    }
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), ""), -1);
    EXPECT_EQ(Attached(), "");
    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), ""), 3);
}

TEST_F(MergeItemsTest, AMissingTableFailsItsOwnPartAloneInAWholeImport) {
    const std::string other = MakeOther("secret");
    {
        SqlDb db;
        db.Open(other.c_str());
        db.Key("secret", 6);
        db.ExecDml("drop table Appt");
    }
    CreateOpen("Local", "");

    const CDbDoc::MergeCounts counts = g_doc.MergeTables(other.c_str(), "secret", true, true, true);

    EXPECT_EQ(counts.persons, 0);
    EXPECT_EQ(counts.tasks, 3);
    EXPECT_EQ(counts.appts, -1);
    EXPECT_EQ(Count("select count(*) from Task"), 3);
    EXPECT_EQ(Count("select count(*) from Appt"), 0);
    EXPECT_EQ(Rows(g_db, "select ID from RecurringDate"), "RT|\n");
    EXPECT_EQ(Attached(), "");
}

// A document on a read-only medium, or another user's, is read without being written.
TEST_F(MergeItemsTest, AnUnwritableDocumentIsImported) {
    const std::string other = MakeOther("secret");
    CreateOpen("Local", "pw");
    UnwritableFile unwritable(other);
    if (!unwritable.Holds())
        GTEST_SKIP() << "the file system lets this user write any file";

    const CDbDoc::MergeCounts counts = g_doc.MergeTables(other.c_str(), "secret", true, true, true);

    EXPECT_EQ(counts.persons, 0);
    EXPECT_EQ(counts.tasks, 3);
    EXPECT_EQ(counts.appts, 2);
    EXPECT_EQ(Count("select count(*) from RecurringDate"), 2);
    EXPECT_EQ(Attached(), "");
}

TEST_F(MergeItemsTest, AQuoteInThePathIsPartOfTheName) {
    std::filesystem::create_directory(m_dir.path() / "Ann's");
    const std::string other = CreateOpen("Ann's/Plans", "pass'word");
    ASSERT_TRUE(g_doc.InsertTask(Task("T1", "Single")));
    ASSERT_TRUE(g_doc.InsertAppt(Appt("A1", "Once")));
    CreateOpen("Local", "");

    EXPECT_EQ(g_doc.MergeTasks(other.c_str(), "pass'word"), 1);
    EXPECT_EQ(g_doc.MergeAppts(other.c_str(), "pass'word"), 1);
}

TEST_F(MergeItemsTest, MissingFilesAndTheOpenDocumentGiveMinusOne) {
    const std::string local = CreateOpen("Local", "");
    ASSERT_TRUE(g_doc.InsertTask(Task("T1", "Single")));

    EXPECT_EQ(g_doc.MergeTasks(m_dir.File("none.pgr").c_str(), ""), -1);
    EXPECT_EQ(g_doc.MergeAppts(m_dir.File("none.pgr").c_str(), ""), -1);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("none.pgr")));
    EXPECT_EQ(g_doc.MergeTasks(local.c_str(), ""), -1);
    EXPECT_EQ(Count("select count(*) from Task"), 1);
    EXPECT_EQ(Attached(), "");
}

} // namespace
