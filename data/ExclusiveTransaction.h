#pragma once

#include "data/SqlDb.h"
#include "data/SqlException.h"

// "begin exclusive" at construction, "commit" through Commit. A transaction left without a commit
// (a statement threw, or the commit itself failed) is rolled back when the object goes out of scope,
// so a connection is never left inside a transaction; a failing rollback is ignored.
class ExclusiveTransaction {
public:
    explicit ExclusiveTransaction(SqlDb& db) : m_db(db) { m_db.ExecDml("begin exclusive"); }
    ~ExclusiveTransaction() {
        if (m_committed)
            return;
        try {
            m_db.ExecDml("rollback");
        } catch (const SqlException&) {
        }
    }
    ExclusiveTransaction(const ExclusiveTransaction&) = delete;
    ExclusiveTransaction& operator=(const ExclusiveTransaction&) = delete;

    void Commit() {
        m_db.ExecDml("commit");
        m_committed = true;
    }

private:
    SqlDb& m_db;
    bool m_committed = false;
};
