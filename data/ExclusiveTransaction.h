#pragma once

#include "data/SqlDb.h"
#include "data/SqlException.h"

#include <sqlcipher/sqlite3.h>

// "begin exclusive" at construction, "commit" through Commit. A transaction left without a commit
// (a statement threw, or the commit itself failed) is rolled back when the object goes out of scope,
// so a connection is never left inside a transaction; a failing rollback is ignored.
//
// Inside a transaction that is already open (a bulk import around many record operations) it is a
// savepoint instead: Commit releases it, and leaving it undone rolls back this part alone.
class ExclusiveTransaction {
public:
    explicit ExclusiveTransaction(SqlDb& db)
        : m_db(db), m_nested(db.Handle() != nullptr && sqlite3_get_autocommit(db.Handle()) == 0) {
        m_db.ExecDml(m_nested ? "savepoint nested_operation" : "begin exclusive");
    }
    ~ExclusiveTransaction() {
        if (m_committed)
            return;
        try {
            if (m_nested) {
                m_db.ExecDml("rollback to nested_operation");
                m_db.ExecDml("release nested_operation");
            } else {
                m_db.ExecDml("rollback");
            }
        } catch (const SqlException&) {
        }
    }
    ExclusiveTransaction(const ExclusiveTransaction&) = delete;
    ExclusiveTransaction& operator=(const ExclusiveTransaction&) = delete;

    void Commit() {
        m_db.ExecDml(m_nested ? "release nested_operation" : "commit");
        m_committed = true;
    }

private:
    SqlDb& m_db;
    bool m_nested;
    bool m_committed = false;
};
