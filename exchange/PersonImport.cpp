#include "exchange/PersonImport.h"

#include "data/ExclusiveTransaction.h"
#include "data/SqlException.h"
#include "platform/core/FileOps.h"
#include "platform/core/Prompt.h"

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

int RunImportTransaction(CDbDoc& doc, const std::function<int()>& body) {
    int count = 0;
    try {
        Step("begin import");
        ExclusiveTransaction transaction(g_db);
        count = body();
        if (TransactionGone()) {
            // The database gave the whole transaction up with the failing write: nothing of this
            // import stayed.
            count = 0;
        } else {
            Step("commit import");
            transaction.Commit();
        }
    } catch (const SqlException& error) {
        // The transaction was rolled back: nothing of this import stayed.
        MessageBoxA(nullptr, error.errorMessage(), "Import Error", MB_OK | MB_ICONERROR);
        count = 0;
    } catch (...) {
        count = 0;
    }
    doc.EndBulkPersonInserts();
    return count;
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
    try {
        ExclusiveTransaction batch(g_db);
        for (const CPerson& person : m_queued)
            Write(person);
        batch.Commit();
        m_added += static_cast<int>(m_queued.size());
    } catch (const SqlException& error) {
        // The batch is rolled back. Unless the whole transaction went with it, the persons before the
        // failing one are written again, each on its own, to find the one that fails.
        if (TransactionGone()) {
            m_failed = true;
            m_failure = error.errorMessage();
        } else {
            WriteOneByOne();
        }
    }
    m_queued.clear();
    return !m_failed;
}

void PersonImport::WriteOneByOne() {
    for (const CPerson& person : m_queued) {
        try {
            ExclusiveTransaction one(g_db);
            Write(person);
            one.Commit();
            ++m_added;
        } catch (const SqlException& error) {
            m_failed = true;
            m_failure = error.errorMessage();
            return;
        }
    }
}
