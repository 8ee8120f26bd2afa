#include "exchange/PersonImport.h"

#include "data/ExclusiveTransaction.h"
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
    : m_doc(doc), m_groups(std::move(groups)) {
    m_queued.reserve(kBatchSize);
}

bool PersonImport::Add(CPerson person) {
    if (m_failed)
        return false;
    m_queued.push_back(std::move(person));
    return m_queued.size() < kBatchSize || Flush();
}

void PersonImport::Write(const CPerson& person) {
    Step("add person");
    m_doc.WritePersonInTransaction(person, m_groups);
}

bool PersonImport::Flush() {
    if (m_failed || m_queued.empty())
        return !m_failed;
    size_t written = 0;
    try {
        ExclusiveTransaction batch(g_db);
        for (const CPerson& person : m_queued) {
            Write(person);
            ++written;
        }
        batch.Commit();
        m_added += static_cast<int>(written);
    } catch (const SqlException& error) {
        // The batch is rolled back, with whatever the failing person had written of itself. Unless
        // the whole transaction went with it, the persons before that one are written again, so
        // that the document holds what a savepoint per person would have kept.
        m_failed = true;
        m_failure = error.errorMessage();
        if (!TransactionGone())
            WriteAgain(written);
    }
    m_queued.clear();
    return !m_failed;
}

void PersonImport::WriteAgain(size_t count) {
    if (count == 0)
        return;
    try {
        ExclusiveTransaction batch(g_db);
        for (size_t at = 0; at < count; ++at)
            Write(m_queued[at]);
        batch.Commit();
        m_added += static_cast<int>(count);
    } catch (const SqlException&) {
        // They fail now as well: none of this batch stays, and the first failure is the one told.
    }
}
