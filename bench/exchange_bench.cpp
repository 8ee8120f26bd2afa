// Exchange at volume, with the program's own settings store (a settings file without a short-date
// picture, as a desktop has): imports 50,000 persons from a comma-separated file and compares the
// time with the sqlcipher shell's own ".import" of the same file into a plain table (same run);
// imports 50,000 persons from a vCard file (into "White Pages" and into both groups) and the same
// persons from a comma-separated file, into documents without and with a password, and prints the
// ratios; exports the 50,000 again, and imports a file of about 100 MB, printing its time
// and the peak memory of the process that ran it. A plain timed program: run it from a release build.
#include "bench/BenchProgram.h"
#include "bench/PrintingPrompt.h"
#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "exchange/ExportTableSpec.h"

#include <QCoreApplication>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPersons = 50000;
constexpr int kCards = 50000;
constexpr long long kLargeFileBytes = 100LL * 1000 * 1000;

const std::vector<CString> kPersonFields = {
    "Title",        "FirstName",   "LastName",    "HomeAddress1", "HomeAddress2",  "HomeCity",
    "HomeState",    "HomeZipCode", "HomePhone",   "HomeFax",      "HomeCelPhone",  "HomePager",
    "HomeE-Mail",   "HomeWebPage", "Company",     "Position",     "WorkAddress1",  "WorkAddress2",
    "WorkCity",     "WorkState",   "WorkZipCode", "WorkPhone",    "WorkExtension", "WorkFax",
    "WorkCelPhone", "WorkPager",   "WorkE-Mail",  "WorkWebPage",  "Notes"};

const char* const kFirstNames[] = {"Anna", "Bert", "Clara", "David", "Eva", "Frank", "Gina", "Hugo"};
const char* const kLastNames[] = {"Adler", "Brandt", "Conrad", "Dietz", "Engel", "Fuchs", "Graf", "Hahn"};

// The 29 field values of person id in file order, quoted as a comma-separated file has them.
std::vector<std::string> PersonValues(int id, std::string notes) {
    const std::string n = std::to_string(id);
    return {"Dr.",
            kFirstNames[id % 8],
            std::string(kLastNames[(id / 8) % 8]) + n,
            n + " Main Street",
            "Suite " + std::to_string(id % 100),
            "Springfield",
            "IL",
            "62701",
            "555-01" + std::to_string(id % 100),
            "555-0300",
            "555-0400",
            "",
            "person" + n + "@example.com",
            "www.example.com/" + n,
            "Company, Co " + std::to_string(id % 50),
            "Staff",
            "1 Plaza",
            "Floor " + std::to_string(id % 20),
            "Chicago",
            "IL",
            "60601",
            "555-0200",
            std::to_string(id % 1000),
            "555-0201",
            "555-0202",
            "",
            "work" + n + "@example.com",
            "www.example.org",
            notes};
}

std::string QuotedLine(const std::vector<std::string>& values) {
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        line += '"' + values[i] + '"';
    }
    return line + "\n";
}

// One person line with all 29 fields quoted; the notes are padded to about notesLength characters.
std::string PersonLine(int id, size_t notesLength) {
    std::string notes = "Met at the conference in " + std::to_string(1990 + id % 30) + ", says \"\"hi\"\"";
    while (notes.size() < notesLength)
        notes += " and more notes";
    return QuotedLine(PersonValues(id, notes));
}

// The vCard of person id with the fields PersonLine gives that a card can carry (the work extension,
// cell phone, pager and e-mail have no place in a card), and the comma-separated line of the same
// person with only those fields.
std::string PersonCard(int id) {
    const std::string n = std::to_string(id);
    const std::string notes =
        "Met at the conference in " + std::to_string(1990 + id % 30) + "\\, says \"hi\"";
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n"
           "N:" +
           std::string(kLastNames[(id / 8) % 8]) + n + ";" + kFirstNames[id % 8] +
           ";;Dr.;\r\n"
           "FN:Dr. " +
           kFirstNames[id % 8] + " " + kLastNames[(id / 8) % 8] + n +
           "\r\n"
           "ORG:Company\\, Co " +
           std::to_string(id % 50) +
           "\r\n"
           "TITLE:Staff\r\n"
           "ADR;TYPE=HOME:Suite " +
           std::to_string(id % 100) + ";;" + n +
           " Main Street;Springfield;IL;62701;USA\r\n"
           "ADR;TYPE=WORK:Floor " +
           std::to_string(id % 20) +
           ";;1 Plaza;Chicago;IL;60601;USA\r\n"
           "TEL;TYPE=HOME,VOICE:555-01" +
           std::to_string(id % 100) +
           "\r\n"
           "TEL;TYPE=HOME,FAX:555-0300\r\n"
           "TEL;TYPE=CELL:555-0400\r\n"
           "TEL;TYPE=WORK,VOICE:555-0200\r\n"
           "TEL;TYPE=WORK,FAX:555-0201\r\n"
           "EMAIL;TYPE=INTERNET:person" +
           n +
           "@example.com\r\n"
           "URL:www.example.com/" +
           n +
           "\r\n"
           "URL;TYPE=WORK:www.example.org\r\n"
           "NOTE:" +
           notes +
           "\r\n"
           "END:VCARD\r\n";
}

std::string CardPersonLine(int id) {
    std::vector<std::string> values =
        PersonValues(id, "Met at the conference in " + std::to_string(1990 + id % 30) + ", says \"\"hi\"\"");
    // The pager, work extension, work cell phone, work pager and work e-mail.
    for (const size_t field : {11, 22, 24, 25, 26})
        values[field].clear();
    return QuotedLine(values);
}

std::string HeaderLine() {
    std::string line;
    for (size_t i = 0; i < kPersonFields.size(); ++i)
        line += (i > 0 ? ",\"" : "\"") + kPersonFields[i].str() + "\"";
    return line + "\n";
}

// Writes persons until the file holds count lines or, with count 0, about bytes bytes; returns the rows.
int WritePersonsFile(const std::string& path, int count, long long bytes, size_t notesLength) {
    std::ofstream out(path, std::ios::binary);
    out << HeaderLine();
    long long written = 0;
    int rows = 0;
    while (count > 0 ? rows < count : written < bytes) {
        const std::string line = PersonLine(rows + 1, notesLength);
        out << line;
        written += static_cast<long long>(line.size());
        ++rows;
    }
    return rows;
}

// The same persons as a vCard file and as a comma-separated file.
void WriteCardFiles(const std::string& vcf, const std::string& csv, int count) {
    std::ofstream cards(vcf, std::ios::binary);
    std::ofstream lines(csv, std::ios::binary);
    lines << HeaderLine();
    for (int id = 1; id <= count; ++id) {
        cards << PersonCard(id);
        lines << CardPersonLine(id);
    }
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time (user and system) of this process or, with children, of the waited-for children:
// on a busy machine it says more than the wall clock.
double CpuSeconds(bool children = false) {
    rusage usage{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
    void Keep(double wallRun, double cpuRun) {
        wall = std::min(wall, wallRun);
        cpu = std::min(cpu, cpuRun);
    }
};

bool NewDocument(const std::string& path) {
    std::filesystem::remove(path);
    bool error = false;
    return g_doc.CreateDocument(path.c_str(), error) && !error;
}

CExportTableSpec ImportSpec(const std::string& file) {
    CExportTableSpec spec;
    spec.m_header = 1;
    spec.m_qualifier = "\"";
    spec.m_separator = ",";
    spec.m_filePath = file.c_str();
    spec.m_columnFields = kPersonFields;
    spec.m_columnCount = static_cast<int>(kPersonFields.size());
    return spec;
}

long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The sqlcipher shell's ".import" of the file into a new plain table of a new database, timed from
// outside the shell; the start of an idle shell is timed apart and taken off.
bool ShellImport(const std::string& dir, const std::string& file, Timing& timing) {
    const std::string db = dir + "/shell.db";
    const std::string script = dir + "/shell.sql";
    std::filesystem::remove(db);
    std::ofstream(script) << ".mode csv\n.import " << file << " Person\n";
    auto run = [](const std::string& command, double& wall, double& cpu) {
        const double cpuBefore = CpuSeconds(true);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = std::system(command.c_str()) == 0;
        wall = Seconds(start);
        cpu = CpuSeconds(true) - cpuBefore;
        return ok;
    };
    double idleWall = 0, idleCpu = 0, wall = 0, cpu = 0;
    if (!run("sqlcipher " + dir + "/empty.db < /dev/null > /dev/null", idleWall, idleCpu) ||
        !run("sqlcipher " + db + " < " + script + " > /dev/null", wall, cpu))
        return false;
    timing.Keep(wall - idleWall, cpu - idleCpu);
    return true;
}

} // namespace

// Imports the same persons from the vCard file, into "White Pages" and into both groups, and from the
// comma-separated one (the baseline), best of three each into a new document, for a document without
// and with a password; prints the times and the vCard imports' speed against the baseline's.
bool CompareCardImport(const std::string& dir) {
    const std::string vcf = dir + "/persons.vcf";
    const std::string csv = dir + "/card-persons.csv";
    WriteCardFiles(vcf, csv, kCards);
    struct Choice {
        int choice;
        const char* name;
    };
    const Choice choices[] = {{1, "White Pages"}, {2, "Both"}};
    for (const char* password : {"", "bench-secret"}) {
        const char* keyed = *password ? "keyed" : "unkeyed";
        Timing delimited, cards[2];
        int fromLines = 0, fromCards[2] = {0, 0};
        for (int run = 0; run < 3; ++run) {
            SetPasswordBuffer(g_typedPassword, password);
            if (!NewDocument(dir + "/lines.pgr"))
                return false;
            double cpuBefore = CpuSeconds();
            auto start = std::chrono::steady_clock::now();
            fromLines = g_doc.ImportAddressBookCsv(ImportSpec(csv));
            delimited.Keep(Seconds(start), CpuSeconds() - cpuBefore);
            for (int c = 0; c < 2; ++c) {
                SetPasswordBuffer(g_typedPassword, password);
                if (!NewDocument(dir + "/cards.pgr"))
                    return false;
                cpuBefore = CpuSeconds();
                start = std::chrono::steady_clock::now();
                fromCards[c] = 0;
                if (!g_doc.ImportWab(fromCards[c], choices[c].choice, vcf.c_str()))
                    return false;
                cards[c].Keep(Seconds(start), CpuSeconds() - cpuBefore);
            }
        }
        g_db.Close();
        std::printf("%s document: delimited import of %d persons (baseline): %.3f s (processor %.3f s)\n",
                    keyed, fromLines, delimited.wall, delimited.cpu);
        for (int c = 0; c < 2; ++c)
            std::printf(
                "%s document: vCard import of %d persons, \"%s\": %.3f s (processor %.3f s), at %.0f%% "
                "of the delimited import's speed (%.0f%% by processor time; goal 50%%)\n",
                keyed, fromCards[c], choices[c].name, cards[c].wall, cards[c].cpu,
                100.0 * delimited.wall / cards[c].wall, 100.0 * delimited.cpu / cards[c].cpu);
    }
    SetPasswordBuffer(g_typedPassword, "");
    return true;
}

// The vCard import of every card into both groups of a document without a password (where the
// import's own work is not hidden behind the page encryption), once, for a profiler.
bool ProfileCardImport(const std::string& dir) {
    const std::string vcf = dir + "/persons.vcf";
    WriteCardFiles(vcf, dir + "/card-persons.csv", kCards);
    if (!NewDocument(dir + "/cards.pgr"))
        return false;
    const double cpuBefore = CpuSeconds();
    int count = 0;
    const bool read = g_doc.ImportWab(count, 2, vcf.c_str());
    std::printf("vCard import of %d persons into both groups: processor %.3f s\n", count,
                CpuSeconds() - cpuBefore);
    g_db.Close();
    return read;
}

// With the argument "import" only the 50,000 persons are imported once, for a profiler; with "vcard"
// only the vCard comparison runs, with "vcard-profile" only one vCard import into both groups.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    PrintingPrompt prompt;
    SetPrompt(&prompt);
    const std::string dir =
        std::filesystem::temp_directory_path() / ("exchange_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const ProgramConditions conditions(QString::fromStdString(dir + "/Pelmora.conf"));

    if (mode == "vcard" || mode == "vcard-profile") {
        const bool compared = mode == "vcard" ? CompareCardImport(dir) : ProfileCardImport(dir);
        std::filesystem::remove_all(dir);
        return compared ? 0 : 1;
    }

    const std::string csv = dir + "/persons.csv";
    WritePersonsFile(csv, kPersons, 0, 60);
    std::printf("file: %d persons, %.1f MB\n", kPersons, std::filesystem::file_size(csv) / 1e6);

    if (mode == "import") {
        if (!NewDocument(dir + "/import.pgr"))
            return 1;
        const double cpuBefore = CpuSeconds();
        const int added = g_doc.ImportAddressBookCsv(ImportSpec(csv));
        std::printf("import of %d persons: processor %.3f s\n", added, CpuSeconds() - cpuBefore);
        g_db.Close();
        std::filesystem::remove_all(dir);
        return 0;
    }

    // Best of five, each into a new document; the shell's import alternates with ours.
    Timing ours, shell;
    int added = 0;
    for (int run = 0; run < 5; ++run) {
        if (!ShellImport(dir, csv, shell)) {
            std::fprintf(stderr, "the sqlcipher shell failed\n");
            return 1;
        }
        if (!NewDocument(dir + "/import.pgr"))
            return 1;
        const double cpuBefore = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        added = g_doc.ImportAddressBookCsv(ImportSpec(csv));
        ours.Keep(Seconds(start), CpuSeconds() - cpuBefore);
    }
    std::printf(
        "import of %d persons: %.3f s (processor %.3f s); sqlcipher .import: %.3f s (processor %.3f s)\n",
        added, ours.wall, ours.cpu, shell.wall, shell.cpu);
    std::printf("delimited/.import: our import runs at %.0f%% of .import's speed (%.0f%% by processor time; "
                "goal 50%%)\n",
                100.0 * shell.wall / ours.wall, 100.0 * shell.cpu / ours.cpu);

    CExportTableSpec exportSpec = ImportSpec(dir + "/export.csv");
    Timing exported;
    int rows = 0;
    for (int run = 0; run < 5; ++run) {
        const double cpuBefore = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        rows = g_doc.ExportAddressBookCsv(exportSpec);
        exported.Keep(Seconds(start), CpuSeconds() - cpuBefore);
    }
    std::printf("export of %d persons: %.3f s (processor %.3f s, %.1f MB)\n", rows, exported.wall,
                exported.cpu, std::filesystem::file_size(dir + "/export.csv") / 1e6);
    g_db.Close();

    if (!CompareCardImport(dir)) {
        std::fprintf(stderr, "the vCard comparison failed\n");
        return 1;
    }

    // The large file in a process of its own, so that its peak memory is its own.
    const std::string large = dir + "/large.csv";
    const int largeRows = WritePersonsFile(large, 0, kLargeFileBytes, 600);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const long before = PeakMemoryKb();
        if (!NewDocument(dir + "/large.pgr"))
            _exit(1);
        const auto start = std::chrono::steady_clock::now();
        const int largeAdded = g_doc.ImportAddressBookCsv(ImportSpec(large));
        std::printf(
            "import of %.1f MB (%d rows): %d persons in %.2f s; peak memory %.0f MB (%.0f MB before)\n",
            std::filesystem::file_size(large) / 1e6, largeRows, largeAdded, Seconds(start),
            PeakMemoryKb() / 1024.0, before / 1024.0);
        g_db.Close();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(dir);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
