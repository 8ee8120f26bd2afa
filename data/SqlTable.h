#pragma once

// A whole result table in memory (sqlite3_get_table): one row of column names, then the rows. Row
// numbers count from 0 and never include the names; field numbers count from 0.
//
// Copying transfers the results: the source is left without them (its use then throws "Null Results
// pointer"); assignment first releases the target's own results.
class SqlTable {
public:
    SqlTable() = default;
    SqlTable(char** results, int rows, int columns);
    SqlTable(SqlTable& other);
    SqlTable(SqlTable&& other) noexcept;
    SqlTable& operator=(SqlTable& other);
    SqlTable& operator=(SqlTable&& other) noexcept;
    virtual ~SqlTable();

    int NumFields() const;
    int NumRows() const;
    void SetRow(int row);

    const char* FieldName(int field) const;
    const char* FieldValue(int field) const;
    const char* FieldValue(const char* name) const;
    bool FieldIsNull(int field) const;
    bool FieldIsNull(const char* name) const;

    // The default when the cell is NULL.
    int GetIntField(int field, int nullValue = 0) const;
    int GetIntField(const char* name, int nullValue = 0) const;
    double GetFloatField(int field, double nullValue = 0.0) const;
    double GetFloatField(const char* name, double nullValue = 0.0) const;
    const char* GetStringField(int field, const char* nullValue = "") const;
    const char* GetStringField(const char* name, const char* nullValue = "") const;

    void Finalize();

private:
    void CheckResults() const;
    int FieldNumber(const char* name) const;
    void TakeFrom(SqlTable& other) noexcept;

    int m_columns = 0;
    int m_rows = 0;
    int m_currentRow = 0;
    char** m_results = nullptr;
};
