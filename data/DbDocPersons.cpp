// The document's operations on the address book: persons, groups and memberships.

#include "data/DbDoc.h"
#include "data/ExclusiveTransaction.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "platform/core/Prompt.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

void ShowError(const SqlException& error, const char* caption) {
    MessageBoxA(nullptr, error.errorMessage(), caption, MB_OK | MB_ICONERROR);
}

void ReadPerson(SqlQuery& query, CPerson& person) {
    person.m_ID = query.GetStringField(0, "");
    person.m_Title = query.GetStringField(1, "");
    person.m_FName = query.GetStringField(2, "");
    person.m_LName = query.GetStringField(3, "");
    person.m_Addr1 = query.GetStringField(4, "");
    person.m_Addr2 = query.GetStringField(5, "");
    person.m_City = query.GetStringField(6, "");
    person.m_State = query.GetStringField(7, "");
    person.m_Zip = query.GetStringField(8, "");
    person.m_HmPhone = query.GetStringField(9, "");
    person.m_HmFax = query.GetStringField(10, "");
    person.m_CelPhone = query.GetStringField(11, "");
    person.m_Pager = query.GetStringField(12, "");
    person.m_Email = query.GetStringField(13, "");
    person.m_WebPage = query.GetStringField(14, "");
    person.m_Company = query.GetStringField(15, "");
    person.m_Position = query.GetStringField(16, "");
    person.m_WkAddr1 = query.GetStringField(17, "");
    person.m_WkAddr2 = query.GetStringField(18, "");
    person.m_WkCity = query.GetStringField(19, "");
    person.m_WkState = query.GetStringField(20, "");
    person.m_WkZip = query.GetStringField(21, "");
    person.m_WkPhone = query.GetStringField(22, "");
    person.m_WkExt = query.GetStringField(23, "");
    person.m_WkFax = query.GetStringField(24, "");
    person.m_WkCelPhone = query.GetStringField(25, "");
    person.m_WkPager = query.GetStringField(26, "");
    person.m_WkEmail = query.GetStringField(27, "");
    person.m_WkWebPage = query.GetStringField(28, "");
    person.m_Notes = query.GetStringField(29, "");
    person.BuildDisplayName();
}

bool PersonExists(const CPerson& person) {
    SqlBuffer sql;
    return g_db.ExecScalar(sql.Format("select count(*) from Person where ID = '%q'", person.m_ID.c_str())) !=
           0;
}

// Replaces the person's membership rows by the groups of the vector and "All". A group named twice
// (the caller's vector may already hold "All") still gives one row: a person belongs to a group once.
void WriteMemberships(const CPerson& person, const std::vector<CPhGroup>& groups) {
    SqlBuffer sql;
    g_db.ExecDml(sql.Format("delete from PersonPhGroup where PersonID = '%q'", person.m_ID.c_str()));
    std::vector<CString> written;
    for (const CPhGroup& group : groups) {
        if (std::find(written.begin(), written.end(), group.m_ID) != written.end())
            continue;
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", person.m_ID.c_str(),
                                group.m_ID.c_str()));
        written.push_back(group.m_ID);
    }
    const int inAll = g_db.ExecScalar(
        sql.Format("select count(*) from PersonPhGroup where PersonID = '%q' and PhGroupID = '%q'",
                   person.m_ID.c_str(), Schema::kGroupAllId));
    if (inAll == 0)
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", person.m_ID.c_str(),
                                Schema::kGroupAllId));
}

// One statement of the person insert compiled once and reused while a transaction of the caller
// inserts many persons. Texts are bound without a copy: every value outlives the step it is bound
// for, and the bindings are cleared after it.
class KeptStatement {
public:
    KeptStatement() = default;
    KeptStatement(const KeptStatement&) = delete;
    KeptStatement& operator=(const KeptStatement&) = delete;
    ~KeptStatement() { Finalize(); }

    void Compile(const char* sql) {
        Finalize();
        const int result = sqlite3_prepare_v2(g_db.Handle(), sql, -1, &m_statement, nullptr);
        if (result != SQLITE_OK) {
            SqlException error(result, sqlite3_errmsg(g_db.Handle()));
            Finalize();
            throw error;
        }
    }
    // Binds the text up to its first NUL, as the quoting of the one-off statements takes it.
    void Bind(int param, const char* value) {
        const int result = sqlite3_bind_text(m_statement, param, value, -1, SQLITE_STATIC);
        if (result != SQLITE_OK)
            throw SqlException(result, "Error binding string param");
    }
    // Runs the statement and makes it ready for the next binds.
    void Run() {
        const int result = sqlite3_step(m_statement);
        const int reset = sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            throw SqlException(reset, sqlite3_errmsg(g_db.Handle()));
    }
    void Finalize() {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

// The statements of the person insert, with the values bound instead of quoted into the text, so
// the rows they write are those of the one-off statements. They belong to one connection: a
// connection closed while they live stays allocated until they are finalized, so its handle is never
// taken by another connection meanwhile and comparing handles is safe.
struct BulkPersonStatements {
    sqlite3* db = nullptr;
    // The savepoint of one insert inside the caller's transaction, as ExclusiveTransaction makes it.
    KeptStatement savepoint;
    KeptStatement release;
    KeptStatement rollbackTo;
    KeptStatement insert;
    KeptStatement deleteMemberships;
    KeptStatement insertMembership;

    void Drop() {
        for (KeptStatement* statement :
             {&savepoint, &release, &rollbackTo, &insert, &deleteMemberships, &insertMembership})
            statement->Finalize();
        db = nullptr;
    }
};

BulkPersonStatements& KeptStatements() {
    static BulkPersonStatements statements;
    return statements;
}

// The kept statements, compiled for the document's connection when they belong to no or another one.
BulkPersonStatements& BulkStatements() {
    BulkPersonStatements& statements = KeptStatements();
    if (statements.db != g_db.Handle()) {
        statements.Drop();
        statements.savepoint.Compile("savepoint nested_operation");
        statements.release.Compile("release nested_operation");
        statements.rollbackTo.Compile("rollback to nested_operation");
        statements.insert.Compile(
            "insert into Person(ID, \t\t\tTitle, FName, LName, \t\t\tAddr1, Addr2, City, State, Zip, "
            "\t\t\tHmPhone, HmFax, CelPhone, Pager, \t\t\tEmail, WebPage, \t\t\tCompany, Position, "
            "\t\t\tWkAddr1, WkAddr2, WkCity, WkState, WkZip, \t\t\tWkPhone, WkExt, WkFax, WkCelPhone, "
            "WkPager, \t\t\tWkEmail, WkWebPage, Notes) \t\t\tVALUES(?, \t\t\t?, ?, ?, \t\t\t?, ?, "
            "?, ?, ?, \t\t\t?, ?, ?, ?, \t\t\t?, ?, \t\t\t?, ?, \t\t\t?, ?, ?, ?, ?, "
            "\t\t\t?, ?, ?, ?, ?, \t\t\t?, ?, ?)");
        statements.deleteMemberships.Compile("delete from PersonPhGroup where PersonID = ?");
        statements.insertMembership.Compile("insert into PersonPhGroup values(?, ?)");
        statements.db = g_db.Handle();
    }
    return statements;
}

// Writes the person and its memberships through the reused statements. A person under a new ID has
// no membership rows to remove first.
void WritePersonBulk(BulkPersonStatements& statements, const CPerson& person,
                     const std::vector<CPhGroup>& groups, bool newId = false) {
    const CString* const values[] = {
        &person.m_ID,         &person.m_Title,    &person.m_FName,   &person.m_LName,     &person.m_Addr1,
        &person.m_Addr2,      &person.m_City,     &person.m_State,   &person.m_Zip,       &person.m_HmPhone,
        &person.m_HmFax,      &person.m_CelPhone, &person.m_Pager,   &person.m_Email,     &person.m_WebPage,
        &person.m_Company,    &person.m_Position, &person.m_WkAddr1, &person.m_WkAddr2,   &person.m_WkCity,
        &person.m_WkState,    &person.m_WkZip,    &person.m_WkPhone, &person.m_WkExt,     &person.m_WkFax,
        &person.m_WkCelPhone, &person.m_WkPager,  &person.m_WkEmail, &person.m_WkWebPage, &person.m_Notes};
    int param = 1;
    for (const CString* value : values)
        statements.insert.Bind(param++, value->c_str());
    statements.insert.Run();

    const char* id = person.m_ID.c_str();
    if (!newId) {
        statements.deleteMemberships.Bind(1, id);
        statements.deleteMemberships.Run();
    }
    auto addMembership = [&](const char* groupId) {
        statements.insertMembership.Bind(1, id);
        statements.insertMembership.Bind(2, groupId);
        statements.insertMembership.Run();
    };
    std::vector<CString> written;
    for (const CPhGroup& group : groups) {
        if (std::find(written.begin(), written.end(), group.m_ID) != written.end())
            continue;
        addMembership(group.m_ID.c_str());
        written.push_back(group.m_ID);
    }
    // The memberships were all deleted above, so the person is in "All" exactly when it was written.
    if (std::find(written.begin(), written.end(), Schema::kGroupAllId) == written.end())
        addMembership(Schema::kGroupAllId);
}

// The steps of InsertPerson through the reused statements, inside a savepoint of their own: a
// failing step leaves the caller's transaction as it was before this person.
void InsertPersonBulk(const CPerson& person, const std::vector<CPhGroup>& groups) {
    BulkPersonStatements& statements = BulkStatements();
    statements.savepoint.Run();
    try {
        WritePersonBulk(statements, person, groups);
    } catch (const SqlException&) {
        try {
            statements.rollbackTo.Run();
            statements.release.Run();
        } catch (const SqlException&) {
        }
        throw;
    }
    statements.release.Run();
}

} // namespace

bool CDbDoc::GetPerson(CPerson& person) {
    try {
        if (!PersonExists(person))
            return false;
        SqlBuffer sql;
        SqlQuery query =
            g_db.ExecQuery(sql.Format("select * from Person where ID = '%q' limit 1", person.m_ID.c_str()));
        if (query.Eof())
            return false;
        ReadPerson(query, person);
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::GetPersons(const std::vector<CString>& ids, std::vector<CPerson>& persons) {
    if (ids.empty())
        return true;
    try {
        std::string sql = "select * from Person where ID in (";
        SqlBuffer quoted;
        for (size_t i = 0; i < ids.size(); ++i) {
            if (i > 0)
                sql += ", ";
            sql += quoted.Format("%Q", ids[i].c_str());
        }
        // In the table's order, so that of rows sharing an ID the first is kept, as the single read
        // of GetPerson takes it.
        sql += ") order by rowid";
        std::unordered_map<std::string, CPerson> byId;
        byId.reserve(ids.size());
        SqlQuery query = g_db.ExecQuery(sql.c_str());
        for (; !query.Eof(); query.NextRow()) {
            CPerson person;
            ReadPerson(query, person);
            byId.try_emplace(person.m_ID.str(), std::move(person));
        }
        query.Finalize();
        for (const CString& id : ids)
            if (auto found = byId.find(id.str()); found != byId.end())
                persons.push_back(found->second);
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::GetPersonWithGroups(CPerson& person, std::vector<CPhGroup>& groups) {
    if (!GetPerson(person))
        return false;
    try {
        SqlBuffer sql;
        SqlQuery query = g_db.ExecQuery(
            sql.Format("select PhGroupID from PersonPhGroup where PersonID = '%q'", person.m_ID.c_str()));
        for (; !query.Eof(); query.NextRow()) {
            CPhGroup group;
            group.m_ID = query.GetStringField(0, "");
            GetGroupDesc(group);
            groups.push_back(group);
        }
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

bool CDbDoc::InsertPerson(const CPerson& person, const std::vector<CPhGroup>& groups) {
    try {
        if (g_db.Handle() != nullptr && sqlite3_get_autocommit(g_db.Handle()) == 0) {
            InsertPersonBulk(person, groups);
            return true;
        }
        EndBulkPersonInserts();
        SqlBuffer sql;
        sql.Format(
            "insert into Person(ID, \t\t\tTitle, FName, LName, \t\t\tAddr1, Addr2, City, State, Zip, "
            "\t\t\tHmPhone, HmFax, CelPhone, Pager, \t\t\tEmail, WebPage, \t\t\tCompany, Position, "
            "\t\t\tWkAddr1, WkAddr2, WkCity, WkState, WkZip, \t\t\tWkPhone, WkExt, WkFax, WkCelPhone, "
            "WkPager, \t\t\tWkEmail, WkWebPage, Notes) \t\t\tVALUES('%q', \t\t\t%Q, %Q, %Q, \t\t\t%Q, %Q, "
            "%Q, %Q, %Q, \t\t\t%Q, %Q, %Q, %Q, \t\t\t%Q, %Q, \t\t\t%Q, %Q, \t\t\t%Q, %Q, %Q, %Q, %Q, "
            "\t\t\t%Q, %Q, %Q, %Q, %Q, \t\t\t%Q, %Q, %Q)",
            person.m_ID.c_str(), person.m_Title.c_str(), person.m_FName.c_str(), person.m_LName.c_str(),
            person.m_Addr1.c_str(), person.m_Addr2.c_str(), person.m_City.c_str(), person.m_State.c_str(),
            person.m_Zip.c_str(), person.m_HmPhone.c_str(), person.m_HmFax.c_str(), person.m_CelPhone.c_str(),
            person.m_Pager.c_str(), person.m_Email.c_str(), person.m_WebPage.c_str(),
            person.m_Company.c_str(), person.m_Position.c_str(), person.m_WkAddr1.c_str(),
            person.m_WkAddr2.c_str(), person.m_WkCity.c_str(), person.m_WkState.c_str(),
            person.m_WkZip.c_str(), person.m_WkPhone.c_str(), person.m_WkExt.c_str(), person.m_WkFax.c_str(),
            person.m_WkCelPhone.c_str(), person.m_WkPager.c_str(), person.m_WkEmail.c_str(),
            person.m_WkWebPage.c_str(), person.m_Notes.c_str());
        ExclusiveTransaction transaction(g_db);
        g_db.ExecDml(sql);
        WriteMemberships(person, groups);
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Adding Address Book Entry");
        return false;
    }
}

void CDbDoc::WritePersonInTransaction(const CPerson& person, const std::vector<CPhGroup>& groups) {
    if (g_db.Handle() == nullptr || sqlite3_get_autocommit(g_db.Handle()) != 0)
        throw SqlException(SQLITE_MISUSE, "A bulk person write needs an open transaction");
    WritePersonBulk(BulkStatements(), person, groups, true);
}

void CDbDoc::EndBulkPersonInserts() {
    KeptStatements().Drop();
}

bool CDbDoc::UpdatePerson(const CPerson& person, const std::vector<CPhGroup>& groups) {
    try {
        // The row may have been removed meanwhile (another window, an import): write it again.
        if (!PersonExists(person) && !InsertPerson(person, groups))
            return false;
        SqlBuffer sql;
        sql.Format(
            "update Person set \t\t\tTitle = %Q, FName = %Q, LName = %Q, \t\t\tAddr1 = %Q, Addr2 = %Q, "
            "City = %Q, State = %Q, Zip = %Q, \t\t\tHmPhone = %Q, HmFax = %Q, \t\t\tCelPhone = %Q, "
            "Pager = %Q, Email = %Q, WebPage = %Q, \t\t\tCompany = %Q, Position = %Q, \t\t\tWkAddr1 = "
            "%Q, WkAddr2 = %Q,  WkCity = %Q, WkState = %Q, WkZip = %Q, \t\t\tWkPhone = %Q, WkExt = %Q, "
            "WkFax = %Q, \t\t\tWkCelPhone = %Q, WkPager = %Q, WkEmail = %Q, WkWebPage = %Q, \t\t\tNotes "
            "= %Q \t\t\twhere ID = '%q'",
            person.m_Title.c_str(), person.m_FName.c_str(), person.m_LName.c_str(), person.m_Addr1.c_str(),
            person.m_Addr2.c_str(), person.m_City.c_str(), person.m_State.c_str(), person.m_Zip.c_str(),
            person.m_HmPhone.c_str(), person.m_HmFax.c_str(), person.m_CelPhone.c_str(),
            person.m_Pager.c_str(), person.m_Email.c_str(), person.m_WebPage.c_str(),
            person.m_Company.c_str(), person.m_Position.c_str(), person.m_WkAddr1.c_str(),
            person.m_WkAddr2.c_str(), person.m_WkCity.c_str(), person.m_WkState.c_str(),
            person.m_WkZip.c_str(), person.m_WkPhone.c_str(), person.m_WkExt.c_str(), person.m_WkFax.c_str(),
            person.m_WkCelPhone.c_str(), person.m_WkPager.c_str(), person.m_WkEmail.c_str(),
            person.m_WkWebPage.c_str(), person.m_Notes.c_str(), person.m_ID.c_str());
        ExclusiveTransaction transaction(g_db);
        g_db.ExecDml(sql);
        WriteMemberships(person, groups);
        transaction.Commit();
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Updating Address Book Entry");
        return false;
    }
}

bool CDbDoc::DeletePerson(const CPerson& person) {
    try {
        if (!PersonExists(person))
            return false;
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("delete from Person where ID = '%q'", person.m_ID.c_str()));
        g_db.ExecDml(sql.Format("delete from PersonPhGroup where PersonID = '%q'", person.m_ID.c_str()));
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Deleting Address Book Entry");
        return false;
    }
}

namespace {

// The members of a group in a sort order, as (ID, FName, LName, Company) in query order; false for
// an unknown sort order. Throws SqlException.
template <class OnRow> bool ReadGroupMembers(int sortOrder, const char* groupId, OnRow onRow) {
    const char* format = nullptr;
    if (sortOrder == 0)
        format = "select Person.ID, FName, LName, \t\t\t\tCompany from Person where \t\t\t\tPerson.ID in "
                 "\t\t\t\t(select PersonID from PersonPhGroup \t\t\t\twhere PersonPhGroup.PhGroupID = '%q') "
                 "\t\t\t\torder by LName, FName, Company";
    else if (sortOrder == 1)
        format = "select Person.ID, FName, LName, Company from Person \t\t\t\twhere Person.ID in "
                 "\t\t\t\t(select PersonPhGroup.PersonID from PersonPhGroup \t\t\t\twhere PhGroupID = '%q') "
                 "\t\t\t\torder by Company, LName, FName";
    else
        return false;
    SqlBuffer sql;
    SqlQuery query = g_db.ExecQuery(sql.Format(format, groupId ? groupId : ""));
    for (; !query.Eof(); query.NextRow())
        onRow(query.GetStringField(0, ""), query.GetStringField(1, ""), query.GetStringField(2, ""),
              query.GetStringField(3, ""));
    query.Finalize();
    return true;
}

} // namespace

bool CDbDoc::GetGroupMembers(std::vector<CPerson>& persons, int sortOrder, const char* groupId) {
    try {
        // The rows are gathered as their four texts first, so that the persons, a thousand bytes each,
        // are made once in a list sized for all of them instead of moving while it grows.
        struct Row {
            CString id, firstName, lastName, company;
        };
        std::vector<Row> rows;
        const bool known = ReadGroupMembers(
            sortOrder, groupId,
            [&rows](const char* id, const char* first, const char* last, const char* company) {
                rows.push_back({id, first, last, company});
            });
        if (!known)
            return false;
        persons.reserve(persons.size() + rows.size());
        for (Row& row : rows) {
            CPerson& person = persons.emplace_back();
            person.m_ID = std::move(row.id);
            person.m_FName = std::move(row.firstName);
            person.m_LName = std::move(row.lastName);
            person.m_Company = std::move(row.company);
            person.BuildDisplayName();
        }
        m_listedPersonCount = static_cast<int>(persons.size());
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Reading Address Book");
        return false;
    }
}

bool CDbDoc::GetGroupMemberEntries(std::vector<CPersonListEntry>& entries, int sortOrder,
                                   const char* groupId) {
    try {
        // Gathered apart, so that a failing read leaves the caller's list as it was.
        std::vector<CPersonListEntry> read;
        const bool known = ReadGroupMembers(
            sortOrder, groupId,
            [&read](const char* id, const char* first, const char* last, const char* company) {
                read.push_back({id, CPerson::DisplayNameOf(last, first), company});
            });
        if (!known)
            return false;
        entries.insert(entries.end(), std::make_move_iterator(read.begin()),
                       std::make_move_iterator(read.end()));
        m_listedPersonCount = static_cast<int>(entries.size());
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Reading Address Book");
        return false;
    }
}

bool CDbDoc::GetGroups(std::vector<CPhGroup>& groups) {
    try {
        SqlQuery query = g_db.ExecQuery("select ID, Desc from PhGroup order by Desc");
        for (; !query.Eof(); query.NextRow()) {
            CPhGroup group;
            group.m_ID = query.GetStringField(0, "");
            group.m_Desc = query.GetStringField(1, "");
            groups.push_back(group);
        }
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Reading Address Book Groups");
        return false;
    }
}

bool CDbDoc::GetGroupDesc(CPhGroup& group) {
    try {
        SqlBuffer sql;
        SqlQuery query = g_db.ExecQuery(
            sql.Format("select Desc from PhGroup where ID = '%q' limit 1", group.m_ID.c_str()));
        if (!query.Eof())
            group.m_Desc = query.GetStringField(0, "");
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Reading Address Book Groups");
        return false;
    }
}

bool CDbDoc::InsertGroup(const CPhGroup& group) {
    try {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("insert into PhGroup(ID, Desc) values('%q', %Q)", group.m_ID.c_str(),
                                group.m_Desc.c_str()));
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Adding Address Book Group");
        return false;
    }
}

bool CDbDoc::UpdateGroup(const CPhGroup& group) {
    try {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("update PhGroup set Desc = %Q \t\t\twhere ID = '%q'", group.m_Desc.c_str(),
                                group.m_ID.c_str()));
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Updating Address Book Group");
        return false;
    }
}

bool CDbDoc::DeleteGroup(const CPhGroup& group) {
    try {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("delete from PhGroup where ID = '%q'", group.m_ID.c_str()));
        return true;
    } catch (const SqlException& error) {
        ShowError(error, "Error Deleting Address Book Group");
        return false;
    }
}

int CDbDoc::GetGroupUseCount(const CPhGroup& group) {
    try {
        SqlBuffer sql;
        return g_db.ExecScalar(
            sql.Format("select count(*) from PersonPhGroup where PhGroupID = '%q'", group.m_ID.c_str()));
    } catch (const SqlException&) {
        return 1;
    }
}
