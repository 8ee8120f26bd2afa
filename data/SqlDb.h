#pragma once

#include "data/SqlQuery.h"
#include "data/SqlStatement.h"
#include "data/SqlTable.h"

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

// An open SQLite (SQLCipher) database. Every failure is thrown as SqlException except by Key and
// Rekey, which return SQLite's result code.
//
// A connection has exactly one owner: SqlDb cannot be copied (two objects closing one handle would
// close it twice).
class SqlDb {
public:
    static constexpr int kDefaultBusyTimeoutMs = 60000;

    SqlDb() = default;
    SqlDb(const SqlDb&) = delete;
    SqlDb& operator=(const SqlDb&) = delete;
    virtual ~SqlDb();

    // Opens (creating when missing) and applies the busy time-out; a connection already held is
    // closed first.
    void Open(const char* path);
    // Closes when open; closing a closed database does nothing.
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    // Exchanges the connections (and busy time-outs) of the two objects, so that a connection opened
    // and keyed for a check can go on serving without being opened and keyed again.
    void Swap(SqlDb& other) noexcept;

    // sqlite3_key / sqlite3_rekey on the open handle; the SQLite result is returned.
    int Key(const void* key, int length);
    int Rekey(const void* key, int length);

    // Runs one or more statements; returns the changed-row count of the last.
    int ExecDml(const char* sql);
    // A query positioned on its first row (or at Eof), owning its statement.
    SqlQuery ExecQuery(const char* sql);
    // atoi of the first column of the first row; throws "Invalid scalar query" without one.
    int ExecScalar(const char* sql);
    SqlTable GetTable(const char* sql);
    // Whether a table of that name exists (the name is quoted).
    bool TableExists(const char* table);
    int64_t LastRowId() const;
    void SetBusyTimeout(int milliseconds);
    SqlStatement CompileStatement(const char* sql);

    // The raw handle, for SQLite calls the wrapper does not cover; null when closed.
    sqlite3* Handle() const { return m_db; }

private:
    void CheckDb() const;
    sqlite3_stmt* Compile(const char* sql);

    sqlite3* m_db = nullptr;
    int m_busyTimeoutMs = kDefaultBusyTimeoutMs;
};
