// The import of another document's tables under faults: a statement that fails, an interrupt or a
// full disk in the middle of a copy, and a process killed at every step and inside the copies.
// After each the document opens, passes SQLite's integrity check and holds exactly the rows it had
// before or, when some parts reported success, exactly what an undisturbed import of those parts
// gives.

#include "tests/data/merge_documents.h"
#include "tests/support/FileStepFault.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kFriendsLocalId = "0A0A0A0A-0000-1111-2222-333344445555";
const char* const kFriendsOtherId = "0B0B0B0B-0000-1111-2222-333344445555";
const char* const kClubId = "0C0C0C0C-0000-1111-2222-333344445555";

// Every row of every table, sorted per table, and the catalogue. Globals.S is left out: every open
// and every write stamps it.
std::string Contents(SqlDb& db) {
    std::vector<std::string> tables;
    for (SqlQuery query = db.ExecQuery("select name from sqlite_master where type = 'table' order by name");
         !query.Eof(); query.NextRow())
        tables.emplace_back(query.GetStringField(0, ""));
    std::string text;
    for (SqlQuery query = db.ExecQuery("select type, name, sql from sqlite_master order by type, name");
         !query.Eof(); query.NextRow())
        text += std::string(query.GetStringField(0, "")) + " " + query.GetStringField(1, "") + "\n";
    for (const std::string& table : tables) {
        const std::string sql =
            table == "Globals" ? "select Version, C from Globals" : "select * from " + table;
        std::vector<std::string> rows;
        for (SqlQuery query = db.ExecQuery(sql.c_str()); !query.Eof(); query.NextRow()) {
            std::string row;
            for (int field = 0; field < query.NumFields(); ++field)
                row += std::string(query.GetStringField(field, "<null>")) + "|";
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        text += table + ": " + std::to_string(rows.size()) + " rows\n";
        for (const std::string& row : rows)
            text += row + "\n";
    }
    return text;
}

std::string Integrity(SqlDb& db) {
    return db.GetTable("PRAGMA integrity_check").GetStringField(0, "");
}

// Which parts an import was asked for or reported as copied: bit 0 persons, 1 tasks, 2 appointments.
int SucceededParts(const CDbDoc::MergeCounts& counts) {
    return (counts.persons >= 0 ? 1 : 0) | (counts.tasks >= 0 ? 2 : 0) | (counts.appts >= 0 ? 4 : 0);
}

CDbDoc::MergeCounts MergeParts(const std::string& other, const char* password, int parts) {
    return g_doc.MergeTables(other.c_str(), password, parts & 1, parts & 2, parts & 4);
}

// Which passwords the two documents carry.
struct Keys {
    const char* other;
    const char* local;
};
constexpr Keys kKeys[] = {{"", ""}, {"secret", "pw"}};

std::string KeysName(const Keys& keys) {
    return std::string(*keys.other ? "keyed" : "unkeyed") + " source";
}

// The other document: persons in "All", every third also in a "Friends" whose name the open document
// has under another ID, every fifth in a "Club" it lacks, one person whose ID the open document holds
// already; tasks and appointments with and without a rule. The open document: its own "Friends"
// with a member, a task and an appointment.
class MergeFaultsTest : public MergeDocuments {
protected:
    void MakeDocuments(const Keys& keys, int persons, bool everyCombination = true) {
        m_keys = keys;
        const std::string round = std::to_string(++m_round);
        m_other = CreateOpen("Other" + round, keys.other);
        SqlBuffer sql;
        g_db.ExecDml("begin");
        g_db.ExecDml(sql.Format("insert into PhGroup values('%s', 'Friends'), ('%s', 'Club')",
                                kFriendsOtherId, kClubId));
        g_db.ExecDml(
            sql.Format("insert into Person(ID, LName, FName, Company, Notes, TmStamp) "
                       "with recursive n(i) as (select 1 union all select i + 1 from n where i < %d) "
                       "select printf('P%%06d', i), 'Name ' || i, 'Ann', 'O''Brien & Co', "
                       "'a note long enough to fill the pages ' || hex(randomblob(40)), "
                       "'2026-01-02 03:04:05' from n",
                       persons));
        g_db.ExecDml(
            "insert into PersonPhGroup select ID, '04E27641-0068-11da-BBFB-9C5F0D33683A' from Person");
        g_db.ExecDml(sql.Format("insert into PersonPhGroup select ID, '%s' from Person where rowid %% 3 = 0",
                                kFriendsOtherId));
        g_db.ExecDml(sql.Format("insert into PersonPhGroup select ID, '%s' from Person where rowid %% 5 = 0",
                                kClubId));
        g_db.ExecDml("insert into RecurringDate(ID, BasicMethod) values('RT', 1), ('RA', 2), ('UNUSED', 3)");
        g_db.ExecDml("insert into Task(ID, Desc, RecrDtID, TmStamp) values('T1', 'Series', 'RT', 'x'), "
                     "('T2', 'Series', 'RT', 'x'), ('T3', 'Once', '', 'x')");
        g_db.ExecDml("insert into Appt(ID, Desc, RecrDtID, TmStamp) values('A1', 'Weekly', 'RA', 'x'), "
                     "('A2', 'Once', '', 'x')");
        g_db.ExecDml("commit");

        m_template = CreateOpen("Local" + round, keys.local);
        g_db.ExecDml(sql.Format("insert into PhGroup values('%s', 'Friends')", kFriendsLocalId));
        g_db.ExecDml("insert into Person(ID, LName, TmStamp) values('P000001', 'Kept', 'x')");
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('P000001', '%s')", kFriendsLocalId));
        g_db.ExecDml("insert into Task(ID, Desc, TmStamp) values('T0', 'Own', 'x')");
        g_db.ExecDml("insert into Appt(ID, Desc, TmStamp) values('A0', 'Own', 'x')");
        g_db.Close();

        m_expected[0] = ContentsAfterOpening(m_template);
        for (int parts = everyCombination ? 1 : 7; parts < 8; ++parts) {
            const std::string copy = Fresh("expected" + std::to_string(parts));
            ASSERT_TRUE(Open(copy));
            const CDbDoc::MergeCounts counts = MergeParts(m_other, keys.other, parts);
            ASSERT_EQ(SucceededParts(counts), 7) << parts;
            g_db.Close();
            m_expected[parts] = ContentsAfterOpening(copy);
        }
        ASSERT_NE(m_expected[7], m_expected[0]);
    }

    // A copy of the open document as it was before any import.
    std::string Fresh(const std::string& name) {
        const std::string copy = m_dir.File(name + ".pgr");
        fs::copy_file(m_template, copy, fs::copy_options::overwrite_existing);
        return copy;
    }

    bool Open(const std::string& path) {
        SetPasswordBuffer(g_typedPassword, m_keys.local);
        return g_doc.OnOpenDocument(path.c_str());
    }

    // What the document holds once it is opened as a user opens it; empty when it does not open or
    // fails the integrity check.
    std::string ContentsAfterOpening(const std::string& path) {
        if (!Open(path))
            return "";
        const std::string integrity = Integrity(g_db);
        const std::string contents = integrity == "ok" ? Contents(g_db) : "";
        g_db.Close();
        return contents;
    }

    // The whole import on a fresh copy with nothing in the way: the names of its write steps.
    std::vector<std::string> StepsOfAnImport() {
        const std::string copy = Fresh("steps");
        EXPECT_TRUE(Open(copy));
        std::vector<std::string> steps;
        {
            const FileStepFault recorder;
            EXPECT_EQ(SucceededParts(MergeParts(m_other, m_keys.other, 7)), 7);
            steps = recorder.Steps();
        }
        g_db.Close();
        return steps;
    }

    // How many progress calls (one per that many SQLite instructions) the whole import makes.
    int ProgressCallsOfAnImport(int instructions) {
        const std::string copy = Fresh("progress");
        EXPECT_TRUE(Open(copy));
        int calls = 0;
        sqlite3_progress_handler(
            g_db.Handle(), instructions,
            [](void* count) {
                ++*static_cast<int*>(count);
                return 0;
            },
            &calls);
        EXPECT_EQ(SucceededParts(MergeParts(m_other, m_keys.other, 7)), 7);
        sqlite3_progress_handler(g_db.Handle(), 0, nullptr, nullptr);
        g_db.Close();
        return calls;
    }

    // After an import that was disturbed: the file opens, is whole, and holds exactly what an
    // undisturbed import of the parts reported as copied gives (the rows of before when none was).
    void ExpectConsistent(const std::string& path, const CDbDoc::MergeCounts& counts) {
        EXPECT_EQ(ContentsAfterOpening(path), m_expected[SucceededParts(counts)])
            << counts.persons << " " << counts.tasks << " " << counts.appts;
    }

    int m_round = 0;
    Keys m_keys{};
    std::string m_other;
    std::string m_template;
    std::map<int, std::string> m_expected;
};

// Every write of the import is made to fail in turn, as a full disk or a failing drive would.
TEST_F(MergeFaultsTest, AFailingStatementAtAnyStepLeavesEveryPartWholeOrAsBefore) {
    for (const Keys& keys : kKeys) {
        SCOPED_TRACE(KeysName(keys));
        MakeDocuments(keys, 40);
        if (HasFatalFailure())
            return;
        const std::vector<std::string> steps = StepsOfAnImport();
        ASSERT_GE(steps.size(), 9u);
        for (size_t at = 0; at < steps.size(); ++at) {
            SCOPED_TRACE("step " + std::to_string(at + 1) + " " + steps[at]);
            const std::string run = Fresh("fail" + std::to_string(at));
            ASSERT_TRUE(Open(run));
            CDbDoc::MergeCounts counts;
            {
                const FileStepFault fault(FileStepFault::Action::Fail, at);
                counts = MergeParts(m_other, keys.other, 7);
            }
            EXPECT_NE(SucceededParts(counts), 7);
            EXPECT_EQ(Attached(), "");
            EXPECT_TRUE(sqlite3_get_autocommit(g_db.Handle()));
            g_db.Close();
            ExpectConsistent(run, counts);
        }
        // A failure at the start or at the commit keeps nothing of any part.
        EXPECT_EQ(steps.front(), "begin import");
        EXPECT_EQ(steps.back(), "commit import");
    }
}

// An interrupt at any point inside the statements: SQLite then rolls back the whole transaction
// itself, and no part may go on writing outside it.
TEST_F(MergeFaultsTest, AnInterruptAnywhereLeavesEveryPartWholeOrAsBefore) {
    for (const Keys& keys : kKeys) {
        SCOPED_TRACE(KeysName(keys));
        MakeDocuments(keys, 300);
        if (HasFatalFailure())
            return;
        const int instructions = 50;
        const int calls = ProgressCallsOfAnImport(instructions);
        ASSERT_GE(calls, 40);
        int rolledBack = 0;
        for (int point = 1; point <= 40; ++point) {
            int interruptAt = calls * point / 41 + 1;
            SCOPED_TRACE("interrupt at call " + std::to_string(interruptAt) + " of " + std::to_string(calls));
            const std::string run = Fresh("interrupt" + std::to_string(point));
            ASSERT_TRUE(Open(run));
            sqlite3_progress_handler(
                g_db.Handle(), instructions,
                [](void* countdown) { return --*static_cast<int*>(countdown) == 0 ? 1 : 0; }, &interruptAt);
            const CDbDoc::MergeCounts counts = MergeParts(m_other, keys.other, 7);
            sqlite3_progress_handler(g_db.Handle(), 0, nullptr, nullptr);
            EXPECT_EQ(Attached(), "");
            g_db.Close();
            if (SucceededParts(counts) == 0)
                ++rolledBack;
            ExpectConsistent(run, counts);
        }
        EXPECT_GT(rolledBack, 0);
    }
}

// The document may not grow beyond a few pages: the copy of the persons fails in the middle.
TEST_F(MergeFaultsTest, AFullDocumentKeepsNoneOfThePersons) {
    for (const Keys& keys : kKeys) {
        SCOPED_TRACE(KeysName(keys));
        MakeDocuments(keys, 300);
        if (HasFatalFailure())
            return;
        const std::string run = Fresh("full");
        ASSERT_TRUE(Open(run));
        const int pages = g_db.ExecScalar("PRAGMA main.page_count");
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("PRAGMA main.max_page_count = %d", pages + 4));
        const CDbDoc::MergeCounts counts = MergeParts(m_other, keys.other, 7);
        EXPECT_EQ(counts.persons, -1);
        EXPECT_EQ(Count("select count(*) from Person"), 1);
        EXPECT_EQ(Attached(), "");
        g_db.Close();
        ExpectConsistent(run, counts);
    }
}

// A child process opens the document, starts the import and is killed where the arming function
// says; the parent then finds the file. True when the child was killed (false: it ran to the end).
bool ImportInAChildKilled(const std::string& path, const char* localKey, const std::string& other,
                          const char* otherKey, const std::function<void()>& arm) {
    g_db.Close();
    const pid_t child = fork();
    if (child == 0) {
        // Nothing of the test framework runs here: the child ends by the kill or by _exit.
        SetPasswordBuffer(g_typedPassword, localKey);
        if (!g_doc.OnOpenDocument(path.c_str()))
            _exit(2);
        try {
            // A small cache writes the transaction's pages into the file long before the commit, as
            // a large import does: the case the journal must undo.
            g_db.ExecDml("pragma cache_size = 20");
        } catch (const SqlException&) {
            _exit(3);
        }
        arm();
        g_doc.MergeTables(other.c_str(), otherKey, true, true, true);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return true;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return false;
}

// The child's countdown of progress calls to the kill.
int g_killAtCall = 0;

// Killed before each write of the import, or inside the copies after so many SQLite instructions,
// the document is exactly as before.
TEST_F(MergeFaultsTest, KilledAtAnyPointTheDocumentIsAsBefore) {
    for (const Keys& keys : kKeys) {
        SCOPED_TRACE(KeysName(keys));
        MakeDocuments(keys, 5000, false);
        if (HasFatalFailure())
            return;
        const std::vector<std::string> steps = StepsOfAnImport();
        for (size_t at = 0; at < steps.size(); ++at) {
            SCOPED_TRACE("killed at step " + std::to_string(at + 1) + " " + steps[at]);
            const std::string run = Fresh("kill" + std::to_string(at));
            const bool killed =
                ImportInAChildKilled(run, keys.local, m_other, keys.other, [at]() { KillAtFileStep(at); });
            EXPECT_TRUE(killed);
            EXPECT_EQ(ContentsAfterOpening(run), m_expected[0]);
        }

        const int instructions = 10000;
        const int calls = ProgressCallsOfAnImport(instructions);
        ASSERT_GE(calls, 12);
        for (int point = 1; point <= 12; ++point) {
            g_killAtCall = calls * point / 13 + 1;
            SCOPED_TRACE("killed at call " + std::to_string(g_killAtCall) + " of " + std::to_string(calls));
            const std::string run = Fresh("killinside" + std::to_string(point));
            const bool killed = ImportInAChildKilled(run, keys.local, m_other, keys.other, [instructions]() {
                sqlite3_progress_handler(
                    g_db.Handle(), instructions,
                    [](void*) {
                        if (--g_killAtCall == 0)
                            raise(SIGKILL);
                        return 0;
                    },
                    nullptr);
            });
            EXPECT_TRUE(killed);
            EXPECT_EQ(ContentsAfterOpening(run), m_expected[0]);
        }
    }
}

} // namespace
