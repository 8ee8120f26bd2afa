#include "exchange/PersonImport.h"

#include "data/ExclusiveTransaction.h"
#include "data/SqlBuffer.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace {

// Every write of an import passes here first, named by what it does: the file-step seam can make
// it fail as a full disk would, or stop the process there.
void Step(const char* step) {
    if (!FileStep(step, g_dbPath.c_str()))
        throw SqlException(SQLITE_IOERR, "disk I/O error");
}

bool TransactionGone() {
    return sqlite3_get_autocommit(g_db.Handle()) != 0;
}

} // namespace

ImportOutcome RunImportTransaction(CDbDoc& doc, const std::function<ImportOutcome()>& body) {
    ImportOutcome outcome;
    try {
        Step("begin import");
        ExclusiveTransaction transaction(g_db);
        outcome = body();
        if (TransactionGone()) {
            // The database gave the whole transaction up with the failing write: nothing of this
            // import stayed.
            outcome.added = 0;
            if (outcome.failure.IsEmpty())
                outcome.failure = "The import was rolled back.";
        } else {
            Step("commit import");
            transaction.Commit();
        }
    } catch (const SqlException& error) {
        // The transaction was rolled back: nothing of this import stayed.
        outcome.added = 0;
        outcome.failure = error.errorMessage();
    } catch (...) {
        outcome.added = 0;
        outcome.failure = "The import failed.";
    }
    doc.EndBulkPersonInserts();
    return outcome;
}

PersonImport::PersonImport(CDbDoc& doc, std::vector<CPhGroup> groups)
    : m_doc(doc), m_groups(std::move(groups)) {}

bool PersonImport::Add(const CPerson& person) {
    if (m_failed)
        return false;
    try {
        Step("add person");
        m_doc.WritePersonInTransaction(person, m_groups);
        ++m_added;
        return true;
    } catch (const SqlException& error) {
        m_failed = true;
        m_failure = error.errorMessage();
        // A failing statement takes back its own changes; what the person's statements before it
        // wrote is taken out here, so that the document holds the persons before it whole. Unless
        // the database gave the whole transaction up already.
        // When that fails too, the whole import goes, with the first error.
        if (!TransactionGone() && !RemoveWritten(person))
            throw;
        return false;
    }
}

bool PersonImport::RemoveWritten(const CPerson& person) {
    try {
        SqlBuffer sql;
        g_db.ExecDml(sql.Format("delete from PersonPhGroup where PersonID = '%q'", person.m_ID.c_str()));
        g_db.ExecDml(sql.Format("delete from Person where ID = '%q'", person.m_ID.c_str()));
        return true;
    } catch (const SqlException&) {
        return false;
    }
}
