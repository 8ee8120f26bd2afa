#pragma once

// The growth table's rows for the delimited export and import of the address book and for the
// address book report, each beside the bare SQL that reads or writes the same rows.
#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "data/SqlQuery.h"
#include "exchange/ExportTableSpec.h"
#include "reports/Report.h"
#include "reports/ReportSession.h"

#include <QPrinter>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace growth {

inline double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct ExchangeTimes {
    double exportMs = 0, exportBaseMs = 0;
    double importMs = 0, importBaseMs = 0;
    double bookMs = 0, bookBaseMs = 0;
    int exported = 0, imported = 0, bookPersons = 0, bookPages = 0;
};

inline CExportTableSpec PersonSpec(const std::string& file) {
    CExportTableSpec spec;
    spec.m_header = 1;
    spec.m_qualifier = CString("\"");
    spec.m_separator = CString(",");
    spec.m_filePath = file.c_str();
    spec.m_columnFields = {"FirstName",    "LastName", "Company",   "HomePhone",  "HomeE-Mail",
                           "HomeAddress1", "HomeCity", "HomeState", "HomeZipCode"};
    spec.m_columnCount = static_cast<int>(spec.m_columnFields.size());
    return spec;
}

// Steps every row of the query, reading each column as text.
inline int StepAll(const char* sql) {
    SqlQuery query = g_db.ExecQuery(sql);
    int rows = 0;
    for (; !query.Eof(); query.NextRow(), ++rows)
        for (int field = 0; field < query.NumFields(); ++field)
            (void)query.GetStringField(field, "");
    return rows;
}

// Exports the whole address book, builds the address book report of the "All" group on a 600 dpi
// PDF printer, and imports the exported file into the open document (which then holds every person
// twice).
inline ExchangeTimes MeasureExchange(const std::string& dir) {
    ExchangeTimes times;
    const std::string file = dir + "/growth-export.csv";
    std::filesystem::remove(file);
    auto start = std::chrono::steady_clock::now();
    times.exported = g_doc.ExportAddressBookCsv(PersonSpec(file));
    times.exportMs = MsSince(start);
    start = std::chrono::steady_clock::now();
    StepAll("select FName, LName, Company, HmPhone, Email, Addr1, City, State, Zip from Person");
    times.exportBaseMs = MsSince(start);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir + "/growth-book.pdf"));
    printer.setResolution(600);
    start = std::chrono::steady_clock::now();
    ReportInput book;
    book.kind = kReportAddressBook;
    g_doc.GetGroupMembers(book.persons, 0, "04E27641-0068-11da-BBFB-9C5F0D33683A");
    std::unique_ptr<CReport> report = CreateReportOfKind(&printer, book);
    times.bookPages = report->GetPageCount();
    times.bookMs = MsSince(start);
    times.bookPersons = static_cast<int>(book.persons.size());
    start = std::chrono::steady_clock::now();
    StepAll("select * from Person where ID in (select PersonID from PersonPhGroup where PhGroupID = "
            "'04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, Company");
    times.bookBaseMs = MsSince(start);
    start = std::chrono::steady_clock::now();
    times.imported = g_doc.ImportAddressBookCsv(PersonSpec(file));
    times.importMs = MsSince(start);
    // The bare SQL writes the same rows: one insert per person and its membership, one transaction.
    start = std::chrono::steady_clock::now();
    g_db.ExecDml("begin");
    g_db.ExecDml("create temp table Copy as select * from Person limit 0");
    g_db.ExecDml("insert into temp.Copy select * from Person limit (select count(*) / 2 from Person)");
    g_db.ExecDml("insert into Person select * from temp.Copy");
    g_db.ExecDml(
        "insert into PersonPhGroup select ID, '04E27641-0068-11da-BBFB-9C5F0D33683A' from temp.Copy");
    g_db.ExecDml("rollback");
    times.importBaseMs = MsSince(start);

    return times;
}

} // namespace growth
