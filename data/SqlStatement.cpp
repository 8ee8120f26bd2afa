#include "data/SqlStatement.h"

#include "data/SqlException.h"

#include <sqlcipher/sqlite3.h>

#include <string>
#include <utility>

SqlStatement::SqlStatement(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}

SqlStatement::SqlStatement(SqlStatement& other) {
    TakeFrom(other);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept {
    TakeFrom(other);
}

SqlStatement& SqlStatement::operator=(SqlStatement& other) {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

SqlStatement::~SqlStatement() {
    Release();
}

void SqlStatement::Release() noexcept {
    try {
        Finalize();
    } catch (const SqlException&) {
    }
    m_statement = nullptr;
}

void SqlStatement::TakeFrom(SqlStatement& other) noexcept {
    m_db = other.m_db;
    m_statement = std::exchange(other.m_statement, nullptr);
}

void SqlStatement::CheckDb() const {
    if (!m_db)
        throw SqlException(SqlException::kWrapperError, "Database not open");
}

void SqlStatement::CheckStatement() const {
    if (!m_statement)
        throw SqlException(SqlException::kWrapperError, "Null Virtual Machine pointer");
}

int SqlStatement::ExecDml() {
    CheckDb();
    CheckStatement();
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_DONE) {
        int changes = sqlite3_changes(m_db);
        int reset = sqlite3_reset(m_statement);
        if (reset != SQLITE_OK)
            throw SqlException(reset, sqlite3_errmsg(m_db));
        return changes;
    }
    int reset = sqlite3_reset(m_statement);
    throw SqlException(reset, sqlite3_errmsg(m_db));
}

SqlQuery SqlStatement::ExecQuery() {
    CheckDb();
    CheckStatement();
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_DONE)
        return SqlQuery(m_db, m_statement, true, false);
    if (result == SQLITE_ROW)
        return SqlQuery(m_db, m_statement, false, false);
    int reset = sqlite3_reset(m_statement);
    throw SqlException(reset, sqlite3_errmsg(m_db));
}

void SqlStatement::BindText(int param, const char* value) {
    CheckStatement();
    int result = sqlite3_bind_text(m_statement, param, value, -1, SQLITE_TRANSIENT);
    if (result != SQLITE_OK)
        throw SqlException(result, "Error binding string param");
}

void SqlStatement::BindInt(int param, int value) {
    CheckStatement();
    int result = sqlite3_bind_int(m_statement, param, value);
    if (result != SQLITE_OK)
        throw SqlException(result, "Error binding int param");
}

void SqlStatement::BindDouble(int param, double value) {
    CheckStatement();
    int result = sqlite3_bind_double(m_statement, param, value);
    if (result != SQLITE_OK)
        throw SqlException(result, "Error binding double param");
}

void SqlStatement::BindBlob(int param, const unsigned char* value, int length) {
    CheckStatement();
    int result = sqlite3_bind_blob(m_statement, param, value, length, SQLITE_TRANSIENT);
    if (result != SQLITE_OK)
        throw SqlException(result, "Error binding blob param");
}

void SqlStatement::BindNull(int param) {
    CheckStatement();
    int result = sqlite3_bind_null(m_statement, param);
    if (result != SQLITE_OK)
        throw SqlException(result, "Error binding NULL param");
}

void SqlStatement::Reset() {
    if (m_statement) {
        int result = sqlite3_reset(m_statement);
        if (result != SQLITE_OK)
            throw SqlException(result, sqlite3_errmsg(m_db));
    }
}

void SqlStatement::Finalize() {
    if (m_statement) {
        // Finalizing the last statement of a closed connection frees the connection.
        std::string message = sqlite3_errmsg(m_db);
        int result = sqlite3_finalize(m_statement);
        m_statement = nullptr;
        if (result != SQLITE_OK)
            throw SqlException(result, message.c_str());
    }
}
