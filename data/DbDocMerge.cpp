// The import of another document's tables: its address book, task list and appointment book are
// copied row by row, with their IDs, from the other file attached to the open database.
//
// The whole import is one exclusive transaction, each part a savepoint inside it: a process killed
// at any point leaves the document as it was (SQLite rolls the journal back at the next open), and a
// part that fails takes back only its own rows. SQLite attaches and detaches a file only outside a
// transaction: the attach comes first and the detach last.
//
// A row whose ID the open document already holds (the same document imported twice, or a copy of
// this one) is not copied again: two rows under one ID would be one record to every later edit and
// delete, and a person would be listed twice.

#include "data/DbDoc.h"
#include "data/ExclusiveTransaction.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"
#include "platform/core/Prompt.h"

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

namespace {

// The membership rows copied under the other document's group ID belong to this local group.
struct GroupMapping {
    CString otherId;
    CString localId;
};

// Opens the second connection as every connection to a document is opened: keyed right after the
// open when there is a password.
void OpenOther(SqlDb& other, const char* path, const char* password) {
    other.Open(path);
    if (*password)
        other.Key(password, static_cast<int>(std::strlen(password)));
}

// Every statement of an import that writes the document passes here first, named by what it does.
// A test seam in the file steps can make it fail here as a full disk would, or stop the process.
int Write(const char* step, const char* sql) {
    if (!FileStep(step, g_dbPath.c_str()))
        throw SqlException(SQLITE_IOERR, "disk I/O error");
    return g_db.ExecDml(sql);
}

// Attaching the open file to itself copies nothing (every row is there already), and its first
// insert would wait for the connection's own lock on the file until the busy time-out ends.
bool IsTheOpenDocument(const char* path) {
    std::error_code error;
    return std::filesystem::equivalent(path, g_dbPath.c_str(), error);
}

// Whether the merge can read the path at all. Opening or attaching a missing file would create an
// empty one, so a mistyped name is refused before it leaves a file behind.
bool CanMergeFrom(const char* path, const char* password) {
    return path && password && FileExists(path) && !IsTheOpenDocument(path);
}

// The highest rowid of a table of the open document (0 when empty): rows inserted afterwards lie
// above it.
int64_t HighestRowId(const char* table) {
    SqlBuffer sql;
    SqlQuery query = g_db.ExecQuery(sql.Format("select coalesce(max(rowid), 0) from main.%s", table));
    return query.Eof() ? 0 : std::strtoll(query.GetStringField(0, "0"), nullptr, 10);
}

// Where a group of the other document goes: a local group of the same name takes its members;
// otherwise the group is added under its own ID, or under a new one when this document already uses
// that ID for a group of another name (a renamed group of a copy of this document). False when the
// group could not be added (InsertGroup has shown why).
bool PlaceGroup(CDbDoc& doc, const CPhGroup& group, std::vector<GroupMapping>& mappings) {
    SqlBuffer sql;
    if (g_db.ExecScalar(sql.Format("select count(*) from PhGroup where Desc = '%q'", group.m_Desc.c_str())) !=
        0) {
        SqlQuery local = g_db.ExecQuery(
            sql.Format("select ID from PhGroup where PhGroup.Desc = '%q' limit 1", group.m_Desc.c_str()));
        const CString localId = local.GetStringField(0, "");
        if (localId != group.m_ID)
            mappings.push_back({group.m_ID, localId});
        return true;
    }
    CPhGroup added = group;
    if (g_db.ExecScalar(sql.Format("select count(*) from PhGroup where ID = '%q'", group.m_ID.c_str())) !=
        0) {
        if (!NewGuidString(added.m_ID))
            return false;
        mappings.push_back({group.m_ID, added.m_ID});
    }
    if (!FileStep("add group", g_dbPath.c_str()))
        return false;
    return doc.InsertGroup(added);
}

// Moves the copied membership rows (those above the rowid) to their local groups. Every row moves
// once: each mapped group first goes to a fresh placeholder and only then to its local ID, so a
// local ID that is also another group's ID in the other document does not pull those rows along.
void MapCopiedMemberships(const std::vector<GroupMapping>& mappings, int64_t copiedAbove) {
    if (mappings.empty())
        return;
    const char* const update =
        "update PersonPhGroup set PhGroupID = '%q' where PhGroupID = '%q' and rowid > %lld";
    std::vector<CString> placeholders(mappings.size());
    for (CString& placeholder : placeholders) {
        if (!NewGuidString(placeholder))
            throw SqlException(SqlException::kWrapperError, "No ID could be made");
    }
    SqlBuffer sql;
    const long long above = copiedAbove;
    for (size_t i = 0; i < mappings.size(); ++i)
        Write("set aside memberships",
              sql.Format(update, placeholders[i].c_str(), mappings[i].otherId.c_str(), above));
    for (size_t i = 0; i < mappings.size(); ++i)
        Write("map memberships",
              sql.Format(update, mappings[i].localId.c_str(), placeholders[i].c_str(), above));
}

// The groups of the other document, read through a connection of its own before anything is
// attached. False when the file cannot be read with that password.
bool ReadOtherGroups(const char* path, const char* password, std::vector<CPhGroup>& groups) {
    SqlDb other;
    try {
        OpenOther(other, path, password);
        for (SqlQuery query = other.ExecQuery("select * from PhGroup"); !query.Eof(); query.NextRow()) {
            CPhGroup group;
            group.m_ID = query.GetStringField("ID", "");
            group.m_Desc = query.GetStringField("Desc", "");
            groups.push_back(group);
        }
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

// The address book: the other document's groups placed here, then its persons and the memberships
// of the persons copied (a person kept from before keeps its own), moved to their local groups.
int CopyAddressBook(CDbDoc& doc, const std::vector<CPhGroup>& groups) {
    std::vector<GroupMapping> mappings;
    for (const CPhGroup& group : groups) {
        if (!PlaceGroup(doc, group, mappings))
            throw SqlException(SqlException::kWrapperError, "A group could not be added");
    }
    const int64_t personsAbove = HighestRowId("Person");
    const int64_t membershipsAbove = HighestRowId("PersonPhGroup");
    const int copied = Write("copy persons", "insert into Person select * from newdb.Person where ID not in "
                                             "(select ID from main.Person)");
    SqlBuffer sql;
    Write("copy memberships", sql.Format("insert into PersonPhGroup select * from newdb.PersonPhGroup where "
                                         "PersonID in (select ID from main.Person where rowid > %lld)",
                                         static_cast<long long>(personsAbove)));
    MapCopiedMemberships(mappings, membershipsAbove);
    return copied;
}

int CopyTasks() {
    const int copied = Write(
        "copy tasks", "insert into Task select * from newdb.Task where ID not in (select ID from main.Task)");
    Write("copy task rules", "insert into RecurringDate \t\t\tselect * from newdb.RecurringDate where \t\t\t"
                             "newdb.RecurringDate.ID in \t\t\t\t(select Task.RecrDtId from newdb.Task where "
                             "Task.RecrDtId != \"\") and newdb.RecurringDate.ID not in (select ID from "
                             "main.RecurringDate)");
    return copied;
}

int CopyAppts() {
    const int copied =
        Write("copy appointments",
              "insert into Appt select * from newdb.Appt where ID not in (select ID from main.Appt)");
    Write("copy appointment rules",
          "insert into RecurringDate \t\t\tselect * from newdb.RecurringDate where \t\t\t"
          "newdb.RecurringDate.ID in \t\t\t\t(select Appt.RecrDtId from newdb.Appt where "
          "Appt.RecrDtId != \"\") and newdb.RecurringDate.ID not in (select ID from main.RecurringDate)");
    return copied;
}

// The import's transaction: "begin exclusive" keeps every other connection away from the document
// until the commit. The statement also asks for the attached file's write lock, which a file that
// cannot be written (on a read-only medium, another user's document) refuses: the import then
// begins deferred, and its first write takes the document's lock. Rolled back unless committed.
class ImportTransaction {
public:
    ImportTransaction() {
        try {
            g_db.ExecDml("begin exclusive");
        } catch (const SqlException& error) {
            if (error.errorCode() != SQLITE_READONLY)
                throw;
            g_db.ExecDml("begin");
        }
    }
    ~ImportTransaction() {
        if (m_committed)
            return;
        try {
            g_db.ExecDml("rollback");
        } catch (const SqlException&) {
        }
    }
    ImportTransaction(const ImportTransaction&) = delete;
    ImportTransaction& operator=(const ImportTransaction&) = delete;

    void Commit() {
        g_db.ExecDml("commit");
        m_committed = true;
    }

private:
    bool m_committed = false;
};

// One part of the import: whether it runs, where its result goes and how it copies.
struct MergePart {
    bool run;
    int& result;
    std::function<int()> copy;
};

} // namespace

CDbDoc::MergeCounts CDbDoc::MergeTables(const char* path, const char* password, bool addressBook, bool tasks,
                                        bool appts) {
    WaitCursor wait;
    MergeCounts counts;
    std::vector<CPhGroup> groups;
    MergePart parts[] = {
        {addressBook, counts.persons, [&]() { return CopyAddressBook(*this, groups); }},
        {tasks, counts.tasks, CopyTasks},
        {appts, counts.appts, CopyAppts},
    };
    // The first error met is the one the caller tells.
    auto fail = [&](const char* why) {
        if (counts.failure.IsEmpty())
            counts.failure = why;
    };
    auto failAll = [&]() {
        if (addressBook)
            counts.persons = -1;
        if (tasks)
            counts.tasks = -1;
        if (appts)
            counts.appts = -1;
        return counts;
    };
    if (!CanMergeFrom(path, password)) {
        fail("The file cannot be read, or it is the open document.");
        return failAll();
    }
    if (addressBook && !ReadOtherGroups(path, password, groups)) {
        fail("The file is not a Pelmora document, or the password is wrong.");
        counts.persons = -1;
        parts[0].run = false;
    }

    // The appointment book alone is attached in the short form of the statements.
    const bool apptsAlone = !addressBook && !tasks;
    try {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format(apptsAlone ? "attach '%q' as newdb key '%q'"
                                           : "attach database '%q' as newdb key '%q'",
                                path, password));
    } catch (const SqlException& error) {
        fail(error.errorMessage());
        return failAll();
    }

    try {
        if (!FileStep("begin import", g_dbPath.c_str()))
            throw SqlException(SQLITE_IOERR, "disk I/O error");
        ImportTransaction import;
        for (MergePart& part : parts) {
            if (!part.run)
                continue;
            try {
                ExclusiveTransaction one(g_db);
                const int copied = part.copy();
                one.Commit();
                part.result = copied;
            } catch (const SqlException& error) {
                fail(error.errorMessage());
                part.result = -1;
            }
            // Some errors (a full disk, an interrupt) make SQLite roll back the whole transaction:
            // what the parts before copied is gone too, and nothing after may run outside it.
            if (sqlite3_get_autocommit(g_db.Handle()))
                throw SqlException(SQLITE_ABORT, "The import was rolled back");
        }
        if (!FileStep("commit import", g_dbPath.c_str()))
            throw SqlException(SQLITE_IOERR, "disk I/O error");
        import.Commit();
    } catch (const SqlException& error) {
        fail(error.errorMessage());
        failAll();
    }

    // Left attached, the other file would make every later import fail. Nothing attached is no
    // error here.
    try {
        g_db.ExecDml(apptsAlone ? "detach newdb" : "detach database newdb");
    } catch (const SqlException&) {
    }
    return counts;
}

int CDbDoc::MergeAddressBook(const char* path, const char* password) {
    return MergeTables(path, password, true, false, false).persons;
}

int CDbDoc::MergeTasks(const char* path, const char* password) {
    return MergeTables(path, password, false, true, false).tasks;
}

int CDbDoc::MergeAppts(const char* path, const char* password) {
    return MergeTables(path, password, false, false, true).appts;
}
