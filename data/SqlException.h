#pragma once

// The one error type of the data layer: an SQLite result code (or kWrapperError for checks made by the
// wrapper itself) and the message "%s[%d]: %s" (code name, code, detail).
class SqlException {
public:
    // Code of the errors the wrapper raises itself.
    static constexpr int kWrapperError = 1000;

    // Builds the message from the code and the detail (none counts as the empty text). When
    // takeOwnership is set, the detail came from SQLite's allocator and is freed here.
    SqlException(int code, char* detail, bool takeOwnership);
    SqlException(int code, const char* detail);
    SqlException(const SqlException& other);
    SqlException& operator=(const SqlException& other);
    virtual ~SqlException();

    int errorCode() const { return m_code; }
    // The formatted message; never null.
    const char* errorMessage() const { return m_message ? m_message : ""; }

    // "SQLITE_ERROR", "SQLDB_ERROR", ...; "UNKNOWN_ERROR" for codes outside the table.
    static const char* CodeName(int code);

private:
    int m_code;
    char* m_message = nullptr;
};
