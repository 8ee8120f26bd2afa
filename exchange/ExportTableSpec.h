#pragma once

#include "platform/core/CString.h"

#include <vector>

// The options of one delimited-text export or import: the delimited-text wizard fills it and the
// document's export and import operations read it.
class CExportTableSpec {
public:
    CExportTableSpec() = default;
    CExportTableSpec(const CExportTableSpec&) = default;
    CExportTableSpec& operator=(const CExportTableSpec&) = default;
    virtual ~CExportTableSpec() = default;

    // Export: the names of the fields to write, in file order. Import: for each column of the file
    // the name of the record field it fills, or the empty text when the column is ignored.
    std::vector<CString> m_columnFields;
    // Every field name the record kind offers, in the order the wizard shows them.
    std::vector<CString> m_tableFields;
    // Import: the cells of the file's first line as the wizard shows them.
    std::vector<CString> m_firstLineCells;
    // The field names of which the wizard demands one or all.
    std::vector<CString> m_requiredFields;
    // 1 when the first line holds field names (import: skipped; export: written).
    int m_header = 0;
    // The text around a value: a double quote, a single quote or the empty text. The readers use its
    // first character only, the writers the whole text.
    CString m_qualifier;
    // The text between values: a comma, a semicolon, a vertical bar, a space or a tab.
    CString m_separator;
    CString m_filePath;
    int m_tableFieldCount = 0;
    // Import: the number of cells of the first line, which is the number of columns read from every line.
    int m_columnCount = 0;
    // "Persons", "Tasks" or "Appointments".
    CString m_tableLabel;
    // Import: the file's first line as the wizard read it.
    CString m_firstLine;
};
