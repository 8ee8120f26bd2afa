#pragma once

#include "data/SqlQuery.h"

struct sqlite3;
struct sqlite3_stmt;

// A compiled statement with bound parameters (made by SqlDb::CompileStatement). Parameter numbers
// count from 1 as in SQLite. Copying transfers the statement, the source is left without one.
class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3* db, sqlite3_stmt* statement);
    SqlStatement(SqlStatement& other);
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement& other);
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    virtual ~SqlStatement();

    // Runs the statement, then resets it for the next binds; returns the changed-row count.
    int ExecDml();
    // Steps once; the query borrows the statement (Reset or Finalize it here, not through the query).
    SqlQuery ExecQuery();

    void BindText(int param, const char* value);
    void BindInt(int param, int value);
    void BindDouble(int param, double value);
    void BindBlob(int param, const unsigned char* value, int length);
    void BindNull(int param);

    void Reset();
    void Finalize();

private:
    void CheckDb() const;
    void CheckStatement() const;
    void Release() noexcept;
    void TakeFrom(SqlStatement& other) noexcept;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
