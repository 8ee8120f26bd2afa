#include "data/SqlTable.h"

#include "data/SqlException.h"

#include <sqlcipher/sqlite3.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// atof of SQLite's text of a number, whose decimal point is always '.': the C library's atof would
// follow the process's numeric locale, which the GUI sets from the user's environment.
double ParseNumber(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '+')
        ++text;
    double value = 0.0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

} // namespace

SqlTable::SqlTable(char** results, int rows, int columns)
    : m_columns(columns), m_rows(rows), m_results(results) {}

SqlTable::SqlTable(SqlTable& other) {
    TakeFrom(other);
}

SqlTable::SqlTable(SqlTable&& other) noexcept {
    TakeFrom(other);
}

SqlTable& SqlTable::operator=(SqlTable& other) {
    if (this != &other) {
        Finalize();
        TakeFrom(other);
    }
    return *this;
}

SqlTable& SqlTable::operator=(SqlTable&& other) noexcept {
    if (this != &other) {
        Finalize();
        TakeFrom(other);
    }
    return *this;
}

SqlTable::~SqlTable() {
    Finalize();
}

void SqlTable::TakeFrom(SqlTable& other) noexcept {
    m_columns = other.m_columns;
    m_rows = other.m_rows;
    m_currentRow = other.m_currentRow;
    m_results = std::exchange(other.m_results, nullptr);
}

void SqlTable::CheckResults() const {
    if (!m_results)
        throw SqlException(SqlException::kWrapperError, "Null Results pointer");
}

int SqlTable::NumFields() const {
    CheckResults();
    return m_columns;
}

int SqlTable::NumRows() const {
    CheckResults();
    return m_rows;
}

void SqlTable::SetRow(int row) {
    CheckResults();
    if (row < 0 || row > m_rows - 1)
        throw SqlException(SqlException::kWrapperError, "Invalid row index requested");
    m_currentRow = row;
}

int SqlTable::FieldNumber(const char* name) const {
    CheckResults();
    if (name) {
        for (int field = 0; field < m_columns; ++field) {
            if (m_results[field] && std::strcmp(name, m_results[field]) == 0)
                return field;
        }
    }
    throw SqlException(SqlException::kWrapperError, "Invalid field name requested");
}

const char* SqlTable::FieldName(int field) const {
    CheckResults();
    if (field < 0 || field > m_columns - 1)
        throw SqlException(SqlException::kWrapperError, "Invalid field index requested");
    return m_results[field];
}

const char* SqlTable::FieldValue(int field) const {
    CheckResults();
    if (field < 0 || field > m_columns - 1)
        throw SqlException(SqlException::kWrapperError, "Invalid field index requested");
    // A result with column names but no rows (PRAGMA empty_result_callbacks) has no current row.
    if (m_currentRow > m_rows - 1)
        throw SqlException(SqlException::kWrapperError, "Invalid row index requested");
    return m_results[(m_currentRow + 1) * m_columns + field];
}

const char* SqlTable::FieldValue(const char* name) const {
    return FieldValue(FieldNumber(name));
}

bool SqlTable::FieldIsNull(int field) const {
    return FieldValue(field) == nullptr;
}

bool SqlTable::FieldIsNull(const char* name) const {
    return FieldIsNull(FieldNumber(name));
}

int SqlTable::GetIntField(int field, int nullValue) const {
    const char* value = FieldValue(field);
    return value ? std::atoi(value) : nullValue;
}

int SqlTable::GetIntField(const char* name, int nullValue) const {
    return GetIntField(FieldNumber(name), nullValue);
}

double SqlTable::GetFloatField(int field, double nullValue) const {
    const char* value = FieldValue(field);
    return value ? ParseNumber(value) : nullValue;
}

double SqlTable::GetFloatField(const char* name, double nullValue) const {
    return GetFloatField(FieldNumber(name), nullValue);
}

const char* SqlTable::GetStringField(int field, const char* nullValue) const {
    const char* value = FieldValue(field);
    return value ? value : nullValue;
}

const char* SqlTable::GetStringField(const char* name, const char* nullValue) const {
    return GetStringField(FieldNumber(name), nullValue);
}

void SqlTable::Finalize() {
    if (m_results) {
        sqlite3_free_table(m_results);
        m_results = nullptr;
    }
}
