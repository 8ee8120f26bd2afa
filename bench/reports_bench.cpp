// Builds and paginates the address book of 10,000 persons and the monthly plan of a month with
// 3,000 appointments on a 600 dpi printer, and times page turns of the preview. A plain timed
// program: run it from a release build with QT_QPA_PLATFORM=offscreen.
#include "bench/ProgramSettings.h"
#include "data/DbDoc.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlQuery.h"
#include "reports/PrintPreview.h"
#include "reports/ReportSession.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

class Pages : public CPrintJobInfo {
public:
    explicit Pages(CReport& report) : m_report(report) {}
    bool IsValidPage(unsigned page) override { return page < static_cast<unsigned>(m_report.GetPageCount()); }
    bool PrintPage(unsigned page, QPainter& dc) override {
        return m_report.PrintPage(dc, static_cast<int>(page));
    }

private:
    CReport& m_report;
};

void Prepare(CReport& report) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(10);
    report.SetFont(font);
    report.SetMargins(750, 750, 750, 750);
}

// The same persons stored in a document: read as the report command reads them (the group's members)
// and built into the report, beside the bare SQL returning the same rows.
void BookFromDocument(QPrinter* printer, const std::vector<CPerson>& persons, const std::string& path) {
    SetPasswordBuffer(g_typedPassword, "");
    bool error = false;
    if (!g_doc.CreateDocument(path.c_str(), error))
        return;
    g_db.ExecDml("begin");
    for (size_t i = 0; i < persons.size(); ++i) {
        CPerson person = persons[i];
        person.m_ID.Format("P%06zu", i);
        SqlBuffer sql;
        g_db.ExecDml(sql.Format(
            "insert into Person(ID, FName, LName, Addr1, City, State, Zip, HmPhone) values('%q', "
            "'%q', '%q', '%q', '%q', '%q', '%q', '%q')",
            person.m_ID.c_str(), person.m_FName.c_str(), person.m_LName.c_str(), person.m_Addr1.c_str(),
            person.m_City.c_str(), person.m_State.c_str(), person.m_Zip.c_str(), person.m_HmPhone.c_str()));
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", person.m_ID.c_str(),
                                Schema::kGroupAllId));
    }
    g_db.ExecDml("commit");
    auto start = std::chrono::steady_clock::now();
    SqlQuery rows = g_db.ExecQuery(
        "select * from Person where ID in (select PersonID from PersonPhGroup where PhGroupID = "
        "'04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, Company");
    for (; !rows.Eof(); rows.NextRow())
        for (int field = 0; field < rows.NumFields(); ++field)
            (void)rows.GetStringField(field, "");
    rows.Finalize();
    const double bare = Seconds(start);
    start = std::chrono::steady_clock::now();
    ReportInput book;
    book.kind = kReportAddressBook;
    g_doc.GetGroupMembers(book.persons, 0, Schema::kGroupAllId);
    const double read = Seconds(start);
    auto report = CreateReportOfKind(printer, book);
    Prepare(*report);
    std::printf(
        "address book of %zu stored persons: read %.3f s (bare SQL %.3f s, x%.1f), read and built %.3f s\n",
        book.persons.size(), read, bare, read / bare, Seconds(start));
    g_db.Close();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const ProgramSettings settings;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));

    ReportInput book;
    book.kind = kReportAddressBook;
    for (int i = 0; i < 10000; ++i) {
        CPerson person;
        person.m_FName = "Person";
        person.m_LName = QStringLiteral("Number %1").arg(i).toUtf8().constData();
        person.m_Addr1 = "1 Main St";
        person.m_City = "Springfield";
        person.m_State = "IL";
        person.m_Zip = "62701";
        person.m_HmPhone = "555-0100";
        book.persons.push_back(person);
    }
    auto start = std::chrono::steady_clock::now();
    auto bookReport = CreateReportOfKind(&printer, book);
    Prepare(*bookReport);
    std::printf("address book of 10000 persons, built and paginated: %.3f s, %d pages\n", Seconds(start),
                bookReport->GetPageCount());
    BookFromDocument(&printer, book.persons, dir.filePath(QStringLiteral("book.pgr")).toStdString());

    ReportInput month;
    month.kind = kReportMonth;
    month.month = 3;
    month.year = 2027;
    for (int i = 0; i < 3000; ++i) {
        CAppt appt;
        appt.m_Desc = QStringLiteral("Appointment %1").arg(i).toUtf8().constData();
        appt.m_DateDue = CDateTime(2027, 3, 1 + i % 31);
        appt.m_StartTime = CDateTime(2027, 3, 1 + i % 31, 8 + i % 10, 0);
        month.appts.push_back(appt);
    }
    start = std::chrono::steady_clock::now();
    auto monthReport = CreateReportOfKind(&printer, month);
    Prepare(*monthReport);
    const double built = Seconds(start);
    {
        QPainter painter(&printer);
        monthReport->PrintPage(painter, 0);
    }
    std::printf("monthly plan of 3000 appointments: built and paginated %.3f s, built and drawn %.3f s\n",
                built, Seconds(start));

    Pages pages(*bookReport);
    CPrintPreviewWindow preview;
    preview.resize(800, 1000);
    preview.SetPrintJob(&printer, &pages, 0, bookReport->GetPageCount() - 1);
    preview.show();
    app.processEvents();
    constexpr int kTurns = 50;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kTurns; ++i) {
        preview.NextPage();
        preview.repaint();
    }
    std::printf("preview page turn (address book): %.1f ms\n", Seconds(start) * 1000.0 / kTurns);
    return 0;
}
