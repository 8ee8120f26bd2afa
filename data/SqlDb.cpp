#include "data/SqlDb.h"

#include "data/SqlBuffer.h"
#include "data/SqlException.h"

#include <sqlcipher/sqlite3.h>

#include <cstdlib>
#include <utility>

SqlDb::~SqlDb() {
    Close();
}

void SqlDb::Open(const char* path) {
    // A connection already held would otherwise be lost with its locks and memory.
    Close();
    sqlite3* db = nullptr;
    int result = sqlite3_open(path, &db);
    if (result != SQLITE_OK) {
        SqlException error(result, sqlite3_errmsg(db));
        // sqlite3_open hands back a handle even when it fails; it must still be closed.
        sqlite3_close(db);
        throw error;
    }
    m_db = db;
    SetBusyTimeout(m_busyTimeoutMs);
}

void SqlDb::Swap(SqlDb& other) noexcept {
    std::swap(m_db, other.m_db);
    std::swap(m_busyTimeoutMs, other.m_busyTimeoutMs);
}

void SqlDb::Close() {
    if (m_db) {
        // A query or statement still alive keeps the connection until it is finalized, instead of
        // making the close fail and the handle leak.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int SqlDb::Key(const void* key, int length) {
    return sqlite3_key(m_db, key, length);
}

int SqlDb::Rekey(const void* key, int length) {
    return sqlite3_rekey(m_db, key, length);
}

void SqlDb::CheckDb() const {
    if (!m_db)
        throw SqlException(SqlException::kWrapperError, "Database not open");
}

int SqlDb::ExecDml(const char* sql) {
    CheckDb();
    char* error = nullptr;
    int result = sqlite3_exec(m_db, sql, nullptr, nullptr, &error);
    if (result != SQLITE_OK)
        throw SqlException(result, error, true);
    return sqlite3_changes(m_db);
}

SqlQuery SqlDb::ExecQuery(const char* sql) {
    CheckDb();
    sqlite3_stmt* statement = Compile(sql);
    // A text without any statement compiles to nothing.
    if (!statement)
        throw SqlException(SqlException::kWrapperError, "Null Virtual Machine pointer");
    int result = sqlite3_step(statement);
    if (result == SQLITE_DONE)
        return SqlQuery(m_db, statement, true, true);
    if (result == SQLITE_ROW)
        return SqlQuery(m_db, statement, false, true);
    int code = sqlite3_finalize(statement);
    throw SqlException(code, sqlite3_errmsg(m_db));
}

int SqlDb::ExecScalar(const char* sql) {
    SqlQuery query = ExecQuery(sql);
    if (query.Eof() || query.NumFields() < 1)
        throw SqlException(SqlException::kWrapperError, "Invalid scalar query");
    const char* value = query.FieldValue(0);
    return value ? std::atoi(value) : 0;
}

SqlTable SqlDb::GetTable(const char* sql) {
    CheckDb();
    char** results = nullptr;
    int rows = 0;
    int columns = 0;
    char* error = nullptr;
    int result = sqlite3_get_table(m_db, sql, &results, &rows, &columns, &error);
    if (result != SQLITE_OK) {
        if (results)
            sqlite3_free_table(results);
        throw SqlException(result, error, true);
    }
    return SqlTable(results, rows, columns);
}

bool SqlDb::TableExists(const char* table) {
    SqlBuffer sql;
    sql.Format("select count(*) from sqlite_master where type='table' and name=%Q", table);
    return ExecScalar(sql) > 0;
}

int64_t SqlDb::LastRowId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

void SqlDb::SetBusyTimeout(int milliseconds) {
    m_busyTimeoutMs = milliseconds;
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds);
}

SqlStatement SqlDb::CompileStatement(const char* sql) {
    CheckDb();
    return SqlStatement(m_db, Compile(sql));
}

sqlite3_stmt* SqlDb::Compile(const char* sql) {
    CheckDb();
    sqlite3_stmt* statement = nullptr;
    // The v2 interface re-prepares a statement after a schema change instead of failing its step
    // with SQLITE_SCHEMA; a compiled statement may outlive a CREATE INDEX on the same connection.
    int result = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
    if (result != SQLITE_OK)
        throw SqlException(result, "");
    return statement;
}
