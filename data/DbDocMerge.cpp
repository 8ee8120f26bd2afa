// The import of another document's tables: its address book, task list and appointment book are
// copied row by row, with their IDs, from the other file attached to the open database.
//
// A row whose ID the open document already holds (the same document imported twice, or a copy of
// this one) is not copied again: two rows under one ID would be one record to every later edit and
// delete, and a person would be listed twice.

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "platform/core/Prompt.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// The other file is attached to the open database as "newdb" for the copy statements. Path and
// password are quoted: a single quote in either is a character of it, not the end of the text.
void Attach(const char* format, const char* path, const char* password) {
    SqlBuffer sql;
    g_db.ExecDml(sql.Format(format, path, password));
}

// A copy that failed after the attach would leave the other file attached and make the following
// merges of the same import fail as well: it is detached. Nothing attached is no error here.
void DetachAfterError(const char* statement) {
    try {
        g_db.ExecDml(statement);
    } catch (const SqlException&) {
    }
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
        g_db.ExecDml(sql.Format(update, placeholders[i].c_str(), mappings[i].otherId.c_str(), above));
    for (size_t i = 0; i < mappings.size(); ++i)
        g_db.ExecDml(sql.Format(update, mappings[i].localId.c_str(), placeholders[i].c_str(), above));
}

} // namespace

int CDbDoc::MergeAddressBook(const char* path, const char* password) {
    WaitCursor wait;
    if (!CanMergeFrom(path, password))
        return -1;
    SqlDb other;
    std::vector<GroupMapping> mappings;
    try {
        OpenOther(other, path, password);
        {
            SqlQuery groups = other.ExecQuery("select * from PhGroup");
            for (; !groups.Eof(); groups.NextRow()) {
                CPhGroup group;
                group.m_ID = groups.GetStringField("ID", "");
                group.m_Desc = groups.GetStringField("Desc", "");
                if (!PlaceGroup(*this, group, mappings)) {
                    groups.Finalize();
                    other.Close();
                    return -1;
                }
            }
        }
        other.Close();
    } catch (const SqlException&) {
        other.Close();
        return -1;
    }

    try {
        Attach("attach database '%q' as newdb key '%q'", path, password);
        const int64_t personsAbove = HighestRowId("Person");
        const int64_t membershipsAbove = HighestRowId("PersonPhGroup");
        const int copied = g_db.ExecDml(
            "insert into Person select * from newdb.Person where ID not in (select ID from main.Person)");
        // The memberships of the persons just copied; a person kept from before keeps its own.
        SqlBuffer sql;
        g_db.ExecDml(
            sql.Format("insert into PersonPhGroup select * from newdb.PersonPhGroup where PersonID in "
                       "(select ID from main.Person where rowid > %lld)",
                       static_cast<long long>(personsAbove)));
        g_db.ExecDml("detach database newdb");
        MapCopiedMemberships(mappings, membershipsAbove);
        return copied;
    } catch (const SqlException&) {
        DetachAfterError("detach database newdb");
        return -1;
    }
}

int CDbDoc::MergeTasks(const char* path, const char* password) {
    WaitCursor wait;
    if (!CanMergeFrom(path, password))
        return -1;
    try {
        Attach("attach database '%q' as newdb key '%q'", path, password);
        const int copied = g_db.ExecDml(
            "insert into Task select * from newdb.Task where ID not in (select ID from main.Task)");
        g_db.ExecDml("insert into RecurringDate \t\t\tselect * from newdb.RecurringDate where \t\t\t"
                     "newdb.RecurringDate.ID in \t\t\t\t(select Task.RecrDtId from newdb.Task where "
                     "Task.RecrDtId != \"\") and newdb.RecurringDate.ID not in (select ID from "
                     "main.RecurringDate)");
        g_db.ExecDml("detach database newdb");
        return copied;
    } catch (const SqlException&) {
        DetachAfterError("detach database newdb");
        return -1;
    }
}

int CDbDoc::MergeAppts(const char* path, const char* password) {
    WaitCursor wait;
    if (!CanMergeFrom(path, password))
        return -1;
    try {
        Attach("attach '%q' as newdb key '%q'", path, password);
        const int copied = g_db.ExecDml(
            "insert into Appt select * from newdb.Appt where ID not in (select ID from main.Appt)");
        g_db.ExecDml("insert into RecurringDate \t\t\tselect * from newdb.RecurringDate where \t\t\t"
                     "newdb.RecurringDate.ID in \t\t\t\t(select Appt.RecrDtId from newdb.Appt where "
                     "Appt.RecrDtId != \"\") and newdb.RecurringDate.ID not in (select ID from "
                     "main.RecurringDate)");
        g_db.ExecDml("detach newdb");
        return copied;
    } catch (const SqlException&) {
        DetachAfterError("detach newdb");
        return -1;
    }
}
