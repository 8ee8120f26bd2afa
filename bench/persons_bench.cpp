// Lists the persons of a 20,000-person group of a generated document (30,000 persons, each also in
// "All"), by name and by company, keyed and unkeyed, under the program's settings store, and prints
// the best and the median time of the document's group list beside the bare SQL of the same rows. A plain
// timed program: run it from a release build.
#include "bench/BenchProgram.h"
#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlQuery.h"

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kPersons = 30000;
constexpr int kGroupMembers = 20000;
constexpr int kRuns = 15;
const char* const kGroupId = "B3A1C0DE-0000-4000-8000-000000000001";

const char* const kFirstNames[] = {"Anna", "Bert", "Clara", "David", "Eva", "Frank", "Gina", "Hugo"};
const char* const kLastNames[] = {"Adler", "Brandt", "Conrad", "Dietz", "Engel", "Fuchs", "Graf", "Hahn"};

// Persons through the document's own insert, in one transaction so that filling stays quick: every
// person is in "All", the first kGroupMembers also in the bench's group, and every tenth in a third.
void Fill(const std::string& path, const char* password) {
    std::filesystem::remove(path);
    SetPasswordBuffer(g_typedPassword, password);
    bool error = false;
    if (!g_doc.CreateDocument(path.c_str(), error)) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
    CPhGroup group;
    group.m_ID = kGroupId;
    group.m_Desc = "Club";
    g_doc.InsertGroup(group);
    CPhGroup other;
    NewGuidString(other.m_ID);
    other.m_Desc = "Other";
    g_doc.InsertGroup(other);

    SqlBuffer sql;
    g_db.ExecDml("begin exclusive");
    for (int i = 0; i < kPersons; ++i) {
        CString id;
        NewGuidString(id);
        CString last;
        last.Format("%s%d", kLastNames[i % 8], (i * 7919) % kPersons);
        CString company;
        company.Format("Company %d", (i * 31) % 700);
        g_db.ExecDml(sql.Format("insert into Person(ID, FName, LName, Company, HmPhone, Email) values('%q', "
                                "'%q', '%q', '%q', '555-%04d', 'p%d@example.org')",
                                id.c_str(), kFirstNames[i % 8], last.c_str(), company.c_str(), i % 10000, i));
        g_db.ExecDml(
            sql.Format("insert into PersonPhGroup values('%q', '%q')", id.c_str(), Schema::kGroupAllId));
        if (i < kGroupMembers)
            g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", id.c_str(), kGroupId));
        if (i % 10 == 0)
            g_db.ExecDml(
                sql.Format("insert into PersonPhGroup values('%q', '%q')", id.c_str(), other.m_ID.c_str()));
    }
    g_db.ExecDml("commit");
    g_db.Close();
}

double ThreadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Figures {
    double bestWall = 0, medianWall = 0, bestCpu = 0, medianCpu = 0;
    size_t listed = 0;
};

// The first list after opening reads the pages from the file; the later ones find them in the cache.
Figures TimeList(int sortOrder, const char* groupId, double& firstWall) {
    std::vector<double> walls, cpus;
    size_t listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<CPerson> persons;
        const double wall = WallMs();
        const double cpu = ThreadMs();
        if (!g_doc.GetGroupMembers(persons, sortOrder, groupId))
            std::exit(1);
        walls.push_back(WallMs() - wall);
        cpus.push_back(ThreadMs() - cpu);
        listed = persons.size();
    }
    firstWall = walls.front();
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls.front(), walls[walls.size() / 2], cpus.front(), cpus[cpus.size() / 2], listed};
}

// The bare SQL returning the same persons with every column, in the same order.
double BareList(int sortOrder, const char* groupId) {
    std::vector<double> walls;
    for (int run = 0; run < kRuns; ++run) {
        SqlBuffer sql;
        sql.Format(
            "select * from Person where ID in (select PersonID from PersonPhGroup where PhGroupID = '%q') "
            "order by %s",
            groupId, sortOrder == 0 ? "LName, FName, Company" : "Company, LName, FName");
        const double wall = WallMs();
        SqlQuery rows = g_db.ExecQuery(sql);
        for (; !rows.Eof(); rows.NextRow())
            for (int field = 0; field < rows.NumFields(); ++field)
                (void)rows.GetStringField(field, "");
        walls.push_back(WallMs() - wall);
    }
    std::sort(walls.begin(), walls.end());
    return walls[walls.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const ProgramConditions conditions;
    // --keep leaves the documents in the temporary folder for a look at them afterwards.
    const bool keep = argc > 1 && std::string(argv[1]) == "--keep";
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pelmora-persons-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);

    for (const auto& [name, password] : {std::tuple{"keyed", "bench password"}, std::tuple{"unkeyed", ""}}) {
        const std::string path = (dir / (std::string(name) + ".pgr")).string();
        Fill(path, password);
        for (const auto& [group, groupName] :
             {std::tuple{kGroupId, "20,000-person group"}, std::tuple{Schema::kGroupAllId, "All (30,000)"}}) {
            for (int sortOrder : {0, 1}) {
                SetPasswordBuffer(g_typedPassword, password);
                if (!g_doc.OnOpenDocument(path.c_str())) {
                    std::fprintf(stderr, "cannot open %s\n", path.c_str());
                    return EXIT_FAILURE;
                }
                double first = 0;
                const Figures f = TimeList(sortOrder, group, first);
                const double bare = BareList(sortOrder, group);
                std::printf(
                    "%-8s %-20s by %-7s %5zu persons: first %6.1f ms; wall best %5.1f median %5.1f ms "
                    "(bare SQL %5.1f ms, x%.2f); processor best %5.1f median %5.1f ms\n",
                    name, groupName, sortOrder == 0 ? "name" : "company", f.listed, first, f.bestWall,
                    f.medianWall, bare, f.medianWall / bare, f.bestCpu, f.medianCpu);
                g_db.Close();
            }
        }
    }
    if (keep)
        std::printf("documents kept in %s\n", dir.c_str());
    else
        std::filesystem::remove_all(dir);
    return EXIT_SUCCESS;
}
