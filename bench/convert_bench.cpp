// Converts a generated version-18 data file of 30,000 records and prints the time it took (also
// through the tool's window), its reading steps on their own, its ratio to a raw insert of the same
// rows and the peak memory of the process. A plain timed program: run it from a release build.
#include "bench/BenchProgram.h"
#include "convert/Conversion.h"
#include "convert/MainDialog.h"
#include "convert/PimDocument.h"
#include "convert/SimpleXMLParser.h"
#include "data/Schema.h"
#include "platform/core/Prompt.h"

#include <sqlcipher/sqlite3.h>

#include <QApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPersons = 5000;
constexpr int kAppointments = 20000;
constexpr int kTasks = 5000;
constexpr int kRules = 500;
constexpr long kFirstDay = 1136073600; // 1 January 2006
// Timings on a shared machine vary; each step runs a few times (the first argument, 3 by default).
int g_runs = 3;

class QuietView : public ConversionView {
public:
    void ShowStatus(bool) override {}
    void SetStatusText(const char*) override {}
    void ShowProgress(bool) override {}
    void SetProgressRange(int) override {}
    void SetProgressPos(int) override {}
    WindowHandle Owner() const override { return nullptr; }
};

// Answers every box with OK and counts the error boxes.
class CountingPrompt : public Prompt {
public:
    int MessageBox(WindowHandle, const char* text, const char* caption, unsigned flags) override {
        if ((flags & MB_ICONMASK) == MB_ICONERROR) {
            ++errors;
            std::fprintf(stderr, "%s: %s\n", caption, text);
        }
        return IDOK;
    }
    bool RunCreateDbDialog(CreateDbRequest&) override { return false; }
    bool GetOpenFileName(FileDialogRequest&) override { return false; }
    bool GetSaveFileName(FileDialogRequest&) override { return false; }
    int errors = 0;
};

void WriteDataFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\"?>\n<Pim Version=\"18\">\n";
    out << "  <PhGroups LastID=\"8\">\n";
    for (int id = 1; id <= 8; ++id)
        out << "    <PhGroup ID=\"" << id << "\"><Desc>Group " << id << "</Desc></PhGroup>\n";
    out << "  </PhGroups>\n  <Persons LastID=\"" << kPersons << "\">\n";
    for (int id = 1; id <= kPersons; ++id) {
        out << "    <Person ID=\"" << id << "\" FName=\"First" << id << "\" LName=\"Last" << id
            << "\" RName=\"\" Addr1=\"" << id << " Main Street\" Addr2=\"Suite " << id % 100
            << "\" City=\"Springfield\" State=\"IL\" Zip=\"62701\" HmPhone=\"555-01" << id % 100
            << "\" WkPhone=\"555-02" << id % 100 << "\" WkExt=\"" << id % 1000
            << "\" Fax=\"555-0300\" EMail=\"person" << id << "@example.com\" CelPhone=\"555-0400\" "
            << "Pager=\"\" Company=\"Company &amp; Co " << id % 50
            << "\" Position=\"Staff\" WebPage=\"www.example.com/" << id
            << "\" Notes=\"Met at the conference in " << 1990 + id % 30
            << "\" WhitePages=\"1\" YellowPages=\"0\">"
            << "<PhGroups><PhGroup>1</PhGroup><PhGroup>" << 2 + id % 7 << "</PhGroup></PhGroups></Person>\n";
    }
    out << "  </Persons>\n  <RecurringDates LastID=\"" << kRules << "\">\n";
    for (int id = 1; id <= kRules; ++id) {
        out << "    <RecurringDate ID=\"" << id << "\"><StartDate>1/" << 1 + id % 28
            << "/2006</StartDate><EndDate>12/31/2006</EndDate><StartTime>09:00 AM</StartTime>"
            << "<EndTime>10:00 AM</EndTime><BaseMethod>" << id % 4 << "</BaseMethod><EndMethod>1</EndMethod>"
            << "<EndOccurrences>10</EndOccurrences><DailyMethod>0</DailyMethod><DailyCnt>1</DailyCnt>"
            << "<WklyCnt>1</WklyCnt><WklyMon>1</WklyMon><MthlyMethod>0</MthlyMethod><MthlyCnt1>1</MthlyCnt1>"
            << "<MthlyCnt2>1</MthlyCnt2><YrlyMethod>0</YrlyMethod><YrlyMnth1>1</YrlyMnth1>"
            << "<YrlyMnthDay>1</YrlyMnthDay><IDS><ID>1</ID></IDS></RecurringDate>\n";
    }
    out << "  </RecurringDates>\n  <Appointments LastID=\"" << kAppointments << "\">\n";
    for (int id = 1; id <= kAppointments; ++id) {
        const long day = kFirstDay + (id % 730) * 86400L;
        out << "    <Appointment ID=\"" << id << "\"><Description>Meeting number " << id
            << "</Description><DueDate>" << day << "</DueDate><StartTime>" << day + 9 * 3600
            << "</StartTime><EndTime>" << day + 10 * 3600 << "</EndTime><Alarm>" << id % 2
            << "</Alarm><AlarmTime>" << day + 9 * 3600 - 900 << "</AlarmTime><Done>0</Done><RecurringID>"
            << (id % 10 == 0 ? 1 + id % kRules : 0) << "</RecurringID></Appointment>\n";
    }
    out << "  </Appointments>\n  <Tasks LastID=\"" << kTasks << "\">\n";
    for (int id = 1; id <= kTasks; ++id) {
        const long day = kFirstDay + (id % 365) * 86400L;
        out << "    <Task ID=\"" << id << "\"><Description>Task number " << id << "</Description><Priority>"
            << id % 4 << "</Priority><DueDate>" << day << "</DueDate><DoneDate>"
            << (id % 3 == 0 ? day + 3600 : 0) << "</DoneDate><RecurringID>"
            << (id % 20 == 0 ? 1 + id % kRules : 0) << "</RecurringID></Task>\n";
    }
    out << "  </Tasks>\n  <User FName=\"Owen\" LName=\"Owner\"/>\n</Pim>\n";
}

// The processor time of the process: on a busy machine the wall clock measures the other programs too.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Pages the process touched for the first time: on some virtual machines each costs tens of
// microseconds, so fresh memory weighs as much as the work done in it.
long PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The same rows the conversion wrote, inserted into a fresh file with the bare tables through
// prepared statements in one transaction: the floor the conversion is measured against.
double RawInsertSeconds(const std::string& converted, const std::string& target) {
    sqlite3* source = nullptr;
    sqlite3* db = nullptr;
    sqlite3_open(converted.c_str(), &source);
    sqlite3_open(target.c_str(), &db);
    for (const Schema::Statement& statement : Schema::CreateStatements())
        if (statement.kind == Schema::StatementKind::Table)
            sqlite3_exec(db, statement.sql.c_str(), nullptr, nullptr, nullptr);

    struct Rows {
        int columns = 0;
        std::vector<std::vector<std::string>> values;
    };
    const char* tables[] = {"Person", "PersonPhGroup", "RecurringDate", "Task", "Appt"};
    std::vector<Rows> all;
    for (const char* table : tables) {
        Rows rows;
        sqlite3_stmt* read = nullptr;
        sqlite3_prepare_v2(source, (std::string("select * from ") + table).c_str(), -1, &read, nullptr);
        rows.columns = sqlite3_column_count(read);
        while (sqlite3_step(read) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int column = 0; column < rows.columns; ++column) {
                const unsigned char* text = sqlite3_column_text(read, column);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.values.push_back(std::move(row));
        }
        sqlite3_finalize(read);
        all.push_back(std::move(rows));
    }
    sqlite3_close(source);

    const auto start = std::chrono::steady_clock::now();
    sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "begin exclusive", nullptr, nullptr, nullptr);
    for (size_t t = 0; t < all.size(); ++t) {
        std::string sql = std::string("insert into ") + tables[t] + " values(?";
        for (int column = 1; column < all[t].columns; ++column)
            sql += ", ?";
        sql += ")";
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr);
        for (const auto& row : all[t].values) {
            for (int column = 0; column < all[t].columns; ++column)
                sqlite3_bind_text(insert, column + 1, row[column].c_str(), -1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    const double seconds = Seconds(start);
    sqlite3_close(db);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ProgramConditions conditions;
    if (argc > 1)
        g_runs = std::max(1, std::atoi(argv[1]));
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pelmimp-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "Bench.pgr").string();

    auto start = std::chrono::steady_clock::now();
    WriteDataFile(path);
    const double generated = Seconds(start);
    const auto size = std::filesystem::file_size(path);

    CountingPrompt prompt;
    SetPrompt(&prompt);

    // The whole conversion, each run on a freshly written file since a run replaces it. The first run
    // is the one a user has: a fresh process whose heap no earlier run has grown.
    std::vector<double> runs;
    std::vector<double> cpuRuns;
    std::vector<long> faultRuns;
    bool converted = true;
    for (int run = 0; run < g_runs && converted; ++run) {
        if (run > 0) {
            std::filesystem::remove(path);
            std::filesystem::remove(path + ".ver1");
            WriteDataFile(path);
        }
        QuietView view;
        CConversion conversion(view);
        start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        const long faultsStart = PageFaults();
        converted = conversion.Run(path.c_str());
        runs.push_back(Seconds(start));
        cpuRuns.push_back(CpuSeconds() - cpuStart);
        faultRuns.push_back(PageFaults() - faultsStart);
    }

    // The same through the tool's window (offscreen), whose status line and progress bar follow the
    // conversion: what a user waits for once the window has been drawn.
    double dialogBest = 1e9;
    for (int run = 0; run < g_runs && converted; ++run) {
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".ver1");
        WriteDataFile(path);
        CMainDialog dialog;
        dialog.show();
        QApplication::processEvents();
        start = std::chrono::steady_clock::now();
        CConversion conversion(dialog);
        converted = conversion.Run(path.c_str());
        dialogBest = std::min(dialogBest, Seconds(start));
    }

    // The reading steps on their own, best of a few runs: the file into memory, the XML tree, and
    // the tree into the version-1 model. The conversion kept the data file beside its result.
    const std::string kept = path + ".ver1";
    double readBest = 1e9, parseBest = 1e9, loadBest = 1e9;
    for (int run = 0; run < g_runs; ++run) {
        start = std::chrono::steady_clock::now();
        size_t length = 0;
        std::unique_ptr<char[]> text = PimDocument::ReadDataFile(kept.c_str(), &length);
        readBest = std::min(readBest, Seconds(start));
        start = std::chrono::steady_clock::now();
        {
            SimpleXMLParser parser;
            std::unique_ptr<XMLElement> root(parser.parse(text.get(), length));
        }
        parseBest = std::min(parseBest, Seconds(start));
        start = std::chrono::steady_clock::now();
        {
            PimDocument document;
            document.Load(text.get(), length);
        }
        loadBest = std::min(loadBest, Seconds(start));
    }
    SetPrompt(nullptr);

    double raw = 0.0;
    if (converted) {
        raw = 1e9;
        for (int run = 0; run < g_runs; ++run) {
            const std::string rawPath = (dir / ("Raw" + std::to_string(run) + ".pgr")).string();
            raw = std::min(raw, RawInsertSeconds(path, rawPath));
        }
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("data file: %d persons, %d appointments, %d tasks, %d rules (%d records), %.1f MB "
                "(written in %.2f s)\n",
                kPersons, kAppointments, kTasks, kRules, kPersons + kAppointments + kTasks + kRules,
                static_cast<double>(size) / (1024.0 * 1024.0), generated);
    std::printf("reading, best of %d: file %.3f s, XML tree %.3f s, tree and model %.3f s\n", g_runs,
                readBest, parseBest, loadBest);
    std::printf("conversion: %s; wall", converted ? "succeeded" : "FAILED");
    for (double seconds : runs)
        std::printf(" %.3f s", seconds);
    std::printf("; processor");
    for (double seconds : cpuRuns)
        std::printf(" %.3f s", seconds);
    std::printf("; page faults");
    for (long faults : faultRuns)
        std::printf(" %ld", faults);
    const double best = *std::min_element(runs.begin(), runs.end());
    std::printf(" (best wall %.3f s)\n", best);
    std::printf("conversion in the tool's window, best of %d: %.3f s\n", g_runs, dialogBest);
    if (converted)
        std::printf("raw insert of the same rows, best of %d: %.3f s; the conversion takes %.1fx that\n",
                    g_runs, raw, best / raw);
    std::printf("peak memory (ru_maxrss): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);

    std::filesystem::remove_all(dir);
    return converted && prompt.errors == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
