#pragma once

struct sqlite3;
struct sqlite3_stmt;

// A stepped result set. Field numbers count from 0. A query made by SqlDb::ExecQuery owns its
// statement; one made by SqlStatement::ExecQuery only borrows it.
//
// Copying transfers the statement: the source is left without one (its use then throws "Null Virtual
// Machine pointer"); assignment first releases the target's own statement.
class SqlQuery {
public:
    SqlQuery() = default;
    SqlQuery(sqlite3* db, sqlite3_stmt* statement, bool eof, bool ownsStatement = true);
    SqlQuery(SqlQuery& other);
    SqlQuery(SqlQuery&& other) noexcept;
    SqlQuery& operator=(SqlQuery& other);
    SqlQuery& operator=(SqlQuery&& other) noexcept;
    virtual ~SqlQuery();

    int NumFields() const;
    int FieldIndex(const char* name) const;
    const char* FieldName(int field) const;
    const char* FieldDeclType(int field) const;
    // SQLite's storage class: 1 integer, 2 float, 3 text, 4 blob, 5 NULL.
    int FieldDataType(int field) const;

    const char* FieldValue(int field) const;
    const char* FieldValue(const char* name) const;
    bool FieldIsNull(int field) const;
    bool FieldIsNull(const char* name) const;

    // The default when the column is NULL.
    int GetIntField(int field, int nullValue = 0) const;
    int GetIntField(const char* name, int nullValue = 0) const;
    double GetFloatField(int field, double nullValue = 0.0) const;
    double GetFloatField(const char* name, double nullValue = 0.0) const;
    const char* GetStringField(int field, const char* nullValue = "") const;
    const char* GetStringField(const char* name, const char* nullValue = "") const;
    const unsigned char* GetBlobField(int field, int& length) const;
    const unsigned char* GetBlobField(const char* name, int& length) const;

    bool Eof() const;
    void NextRow();
    void Finalize();

private:
    void CheckStatement() const;
    void CheckField(int field) const;
    void Release() noexcept;
    void TakeFrom(SqlQuery& other) noexcept;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    bool m_eof = true;
    int m_columns = 0;
    bool m_ownsStatement = false;
};
