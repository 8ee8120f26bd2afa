#include "data/SqlQuery.h"

#include "data/SqlException.h"

#include <sqlcipher/sqlite3.h>

#include <cstring>
#include <string>
#include <utility>

SqlQuery::SqlQuery(sqlite3* db, sqlite3_stmt* statement, bool eof, bool ownsStatement)
    : m_db(db), m_statement(statement), m_eof(eof), m_columns(sqlite3_column_count(statement)),
      m_ownsStatement(ownsStatement) {}

SqlQuery::SqlQuery(SqlQuery& other) {
    TakeFrom(other);
}

SqlQuery::SqlQuery(SqlQuery&& other) noexcept {
    TakeFrom(other);
}

SqlQuery& SqlQuery::operator=(SqlQuery& other) {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

SqlQuery& SqlQuery::operator=(SqlQuery&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

SqlQuery::~SqlQuery() {
    Release();
}

void SqlQuery::Release() noexcept {
    try {
        Finalize();
    } catch (const SqlException&) {
    }
    m_statement = nullptr;
}

void SqlQuery::TakeFrom(SqlQuery& other) noexcept {
    m_db = other.m_db;
    m_statement = std::exchange(other.m_statement, nullptr);
    m_eof = other.m_eof;
    m_columns = other.m_columns;
    m_ownsStatement = other.m_ownsStatement;
}

void SqlQuery::CheckStatement() const {
    if (!m_statement)
        throw SqlException(SqlException::kWrapperError, "Null Virtual Machine pointer");
}

void SqlQuery::CheckField(int field) const {
    CheckStatement();
    if (field < 0 || field > m_columns - 1)
        throw SqlException(SqlException::kWrapperError, "Invalid field index requested");
}

int SqlQuery::NumFields() const {
    CheckStatement();
    return m_columns;
}

int SqlQuery::FieldIndex(const char* name) const {
    CheckStatement();
    if (name) {
        for (int field = 0; field < m_columns; ++field) {
            const char* column = sqlite3_column_name(m_statement, field);
            if (column && std::strcmp(name, column) == 0)
                return field;
        }
    }
    throw SqlException(SqlException::kWrapperError, "Invalid field name requested");
}

const char* SqlQuery::FieldName(int field) const {
    CheckField(field);
    return sqlite3_column_name(m_statement, field);
}

const char* SqlQuery::FieldDeclType(int field) const {
    CheckField(field);
    return sqlite3_column_decltype(m_statement, field);
}

int SqlQuery::FieldDataType(int field) const {
    CheckField(field);
    return sqlite3_column_type(m_statement, field);
}

const char* SqlQuery::FieldValue(int field) const {
    CheckField(field);
    return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, field));
}

const char* SqlQuery::FieldValue(const char* name) const {
    return FieldValue(FieldIndex(name));
}

bool SqlQuery::FieldIsNull(int field) const {
    return FieldDataType(field) == SQLITE_NULL;
}

bool SqlQuery::FieldIsNull(const char* name) const {
    return FieldIsNull(FieldIndex(name));
}

int SqlQuery::GetIntField(int field, int nullValue) const {
    if (FieldDataType(field) == SQLITE_NULL)
        return nullValue;
    return sqlite3_column_int(m_statement, field);
}

int SqlQuery::GetIntField(const char* name, int nullValue) const {
    return GetIntField(FieldIndex(name), nullValue);
}

double SqlQuery::GetFloatField(int field, double nullValue) const {
    if (FieldDataType(field) == SQLITE_NULL)
        return nullValue;
    return sqlite3_column_double(m_statement, field);
}

double SqlQuery::GetFloatField(const char* name, double nullValue) const {
    return GetFloatField(FieldIndex(name), nullValue);
}

const char* SqlQuery::GetStringField(int field, const char* nullValue) const {
    if (FieldDataType(field) == SQLITE_NULL)
        return nullValue;
    return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, field));
}

const char* SqlQuery::GetStringField(const char* name, const char* nullValue) const {
    return GetStringField(FieldIndex(name), nullValue);
}

const unsigned char* SqlQuery::GetBlobField(int field, int& length) const {
    CheckField(field);
    const void* blob = sqlite3_column_blob(m_statement, field);
    length = sqlite3_column_bytes(m_statement, field);
    return static_cast<const unsigned char*>(blob);
}

const unsigned char* SqlQuery::GetBlobField(const char* name, int& length) const {
    return GetBlobField(FieldIndex(name), length);
}

bool SqlQuery::Eof() const {
    CheckStatement();
    return m_eof;
}

void SqlQuery::NextRow() {
    CheckStatement();
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_DONE) {
        m_eof = true;
        return;
    }
    if (result == SQLITE_ROW)
        return;
    // A borrowed statement belongs to its SqlStatement, which resets or finalizes it; this query
    // only lets go of it. An owned one is finalized here so a failed query leaves nothing behind.
    if (!m_ownsStatement) {
        int code = sqlite3_reset(m_statement);
        m_statement = nullptr;
        m_eof = true;
        throw SqlException(code != SQLITE_OK ? code : result, sqlite3_errmsg(m_db));
    }
    // Finalizing the last statement of a closed connection frees the connection, so its error text
    // is taken before.
    std::string message = sqlite3_errmsg(m_db);
    int code = sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_eof = true;
    throw SqlException(code, message.c_str());
}

void SqlQuery::Finalize() {
    if (m_statement && m_ownsStatement) {
        std::string message = sqlite3_errmsg(m_db);
        int result = sqlite3_finalize(m_statement);
        m_statement = nullptr;
        if (result != SQLITE_OK)
            throw SqlException(result, message.c_str());
    }
}
