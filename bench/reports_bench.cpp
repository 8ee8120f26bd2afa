// The address book through the real command: a keyed document of 10,000 persons open in the main
// frame with the program's settings store, Phone Book, Select All, and the time from OK to the painted
// preview, beside the bare SQL returning the same rows and the persons read one at a time as OK read
// them before. Then builds and paginates the address book of 10,000 persons and the monthly plan of a
// month with 3,000 appointments on a 600 dpi printer, and times page turns of the preview. A plain
// timed program: run it from a release build with QT_QPA_PLATFORM=offscreen.
#include "bench/BenchProgram.h"
#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlStatement.h"
#include "platform/qt/Controls.h"
#include "reports/PersonPickerDlg.h"
#include "reports/PrintPreview.h"
#include "reports/ReportSession.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
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

double Ms(std::chrono::steady_clock::time_point since) {
    return Seconds(since) * 1000.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int kBookPersons = 10000;
const char* const kBookPassword = "bench password";

// A keyed document of persons with every printed field filled, in the group "All".
void FillAddressBook(const std::string& path) {
    BeginBenchDocument(path, kBookPassword);
    SqlStatement person = g_db.CompileStatement(
        "insert into Person(ID, FName, LName, Company, Position, Addr1, City, State, Zip, HmPhone, WkPhone, "
        "WkExt, WkFax, Email, Pager, CelPhone, WebPage) values(?, 'Person', ?, 'Acme', 'Clerk', '1 Main St', "
        "'Springfield', 'IL', '62701', '555-0100', '555-0101', '12', '555-0102', ?, '555-0103', '555-0104', "
        "'www.example.org')");
    SqlStatement member =
        g_db.CompileStatement("insert into PersonPhGroup values(?, '04E27641-0068-11da-BBFB-9C5F0D33683A')");
    for (int i = 0; i < kBookPersons; ++i) {
        CString id;
        NewGuidString(id);
        CString text;
        person.BindText(1, id.c_str());
        text.Format("Number %05d", i);
        person.BindText(2, text.c_str());
        text.Format("p%d@example.org", i);
        person.BindText(3, text.c_str());
        person.ExecDml();
        member.BindText(1, id.c_str());
        member.ExecDml();
    }
    person.Finalize();
    member.Finalize();
    g_db.ExecDml("commit");
    g_db.Close();
}

// Phone Book in the frame with every person chosen: the time from the picker's OK to the first page
// of the preview painted; the chosen persons' IDs are left in ids.
double PhoneBookOnce(CMainFrame& frame, std::vector<CString>& ids) {
    std::chrono::steady_clock::time_point ok;
    QTimer::singleShot(0, [&ok, &ids] {
        auto* picker = dynamic_cast<CPersonPickerDlg*>(QApplication::activeModalWidget());
        if (!picker) {
            std::fprintf(stderr, "no picker\n");
            std::exit(1);
        }
        FindControl<QCheckBox>(picker, CPersonPickerDlg::kIdSelectAll)->click();
        ok = std::chrono::steady_clock::now();
        FindControl<QPushButton>(picker, IDOK)->click();
        ids.clear();
        for (const CPerson& person : picker->Chosen())
            ids.push_back(person.m_ID);
    });
    frame.OnCommand(ID_REPORT_PHONEBOOK);
    frame.repaint();
    const double ms = Ms(ok);
    frame.OnCommand(ID_FILE_PRINT_CLOSE);
    return ms;
}

// The bare SQL returning the same rows: the chosen persons' rows, every column stepped.
double BareRowsOnce(const std::vector<CString>& ids) {
    const auto start = std::chrono::steady_clock::now();
    std::string sql = "select * from Person where ID in (";
    SqlBuffer quoted;
    for (size_t i = 0; i < ids.size(); ++i)
        sql += (i ? ", " : "") + std::string(quoted.Format("%Q", ids[i].c_str()));
    sql += ")";
    SqlQuery query = g_db.ExecQuery(sql.c_str());
    for (; !query.Eof(); query.NextRow())
        for (int field = 0; field < query.NumFields(); ++field)
            (void)query.GetStringField(field, "");
    query.Finalize();
    return Ms(start);
}

// The chosen persons read one at a time, as OK read them before.
double OneByOneOnce(const std::vector<CString>& ids) {
    const auto start = std::chrono::steady_clock::now();
    for (const CString& id : ids) {
        CPerson person;
        person.m_ID = id;
        g_doc.GetPerson(person);
    }
    return Ms(start);
}

void AddressBookThroughTheCommand(const QTemporaryDir& dir) {
    FrameConditions conditions(dir.filePath(QStringLiteral("Pelmora.conf")));
    const std::string path = dir.filePath(QStringLiteral("book.pgr")).toStdString();
    FillAddressBook(path);
    {
        CMainFrame frame;
        frame.resize(1024, 740);
        frame.Create();
        frame.Reports().Printer().setOutputFormat(QPrinter::PdfFormat);
        frame.Reports().Printer().setOutputFileName(dir.filePath(QStringLiteral("book.pdf")));
        frame.show();
        SetPasswordBuffer(g_typedPassword, kBookPassword);
        if (!g_doc.OnOpenDocument(path.c_str())) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            std::exit(1);
        }
        g_doc.SetPathName(path.c_str());
        g_doc.NotifyViewsReset();
        QApplication::processEvents();
        std::vector<double> command, bare, oneByOne;
        std::vector<CString> ids;
        for (int run = 0; run < 5; ++run) {
            command.push_back(PhoneBookOnce(frame, ids));
            bare.push_back(BareRowsOnce(ids));
            oneByOne.push_back(OneByOneOnce(ids));
        }
        const double figure = Median(command);
        const double baseline = Median(bare);
        std::printf(
            "address book of %zu persons through Phone Book, OK to painted preview: %.1f ms; baseline "
            "(bare SQL of the same rows) %.1f ms, ratio %.1f; the persons read one at a time (as "
            "before) %.1f ms\n",
            ids.size(), figure, baseline, figure / baseline, Median(oneByOne));
        frame.hide();
    }
    g_db.Close();
}

void Prepare(CReport& report) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(10);
    report.SetFont(font);
    report.SetMargins(750, 750, 750, 750);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AddressBookThroughTheCommand(dir);
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
