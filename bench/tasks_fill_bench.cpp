// Fills the tasks pane for one day of a document with 20,000 tasks (a tenth of them in recurring
// series) under the program's settings store and prints the time of the read and of the fill to the
// paint beside the bare query returning the same rows, in one run.
#include "bench/BenchProgram.h"
#include "data/DbDoc.h"
#include "data/SqlBuffer.h"
#include "platform/core/Prompt.h"
#include "platform/core/WinTime.h"
#include "ui/calendar/VwTasks.h"

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kTasks = 20000;
constexpr int kSeriesLength = 10;
constexpr int kRounds = 20;

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename F> double Median(F&& run) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        // As between two clicks: the event loop turns, and what the panes share of one
        // notification's reads is gone.
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void FillDocument() {
    g_db.ExecDml("begin");
    SqlBuffer sql;
    const CDateTime first(2026, 1, 1);
    for (int i = 0; i < kTasks; ++i) {
        CDateTime due = first;
        due += CDateTimeSpan(i % 730, 0, 0, 0);
        // Every tenth task belongs to a series of ten.
        const bool recurring = i % 10 == 0;
        const std::string rule = recurring ? "RULE-" + std::to_string(i / (10 * kSeriesLength)) : "";
        const int priority = i % 4;
        g_db.ExecDml(sql.Format("insert into Task(ID, DateDone, DateDue, Priority, RecrDtID, Desc) "
                                "values('T%d', '%s', '%s', %d, '%q', 'Task number %d')",
                                i, priority == 3 ? due.Format("%Y-%m-%d %H:%M:%S").c_str() : "",
                                due.Format("%Y-%m-%d %H:%M:%S").c_str(), priority, rule.c_str(), i));
    }
    for (int r = 0; r < kTasks / (10 * kSeriesLength); ++r)
        g_db.ExecDml(
            sql.Format("insert into RecurringDate(ID, EndMethod, EndOccurences) values('RULE-%d', 1, %d)", r,
                       kSeriesLength));
    g_db.ExecDml("commit");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const ProgramConditions conditions;
    // Today is Monday, 15 June 2026.
    SetLocalTimeForTesting(SYSTEMTIME{2026, 6, 1, 15, 9, 0, 0, 0});

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelm_tasks_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SetPasswordBuffer(g_typedPassword, "");
    bool error = true;
    if (!g_doc.CreateDocument((dir / "Bench").string().c_str(), error)) {
        std::fprintf(stderr, "could not create the document\n");
        return EXIT_FAILURE;
    }
    FillDocument();

    CVwTasks pane;
    pane.resize(330, 360);
    pane.show();
    std::printf("%d tasks (%d in series)\n", kTasks, kTasks / 10);
    // Today lists every open task that is overdue; a later day only the tasks due on it. The bare
    // SQL returns the same rows through the same indexes.
    for (const CDateTime& day : {CDateTime(2026, 6, 15), CDateTime(2026, 9, 1)}) {
        g_doc.SetCurrentDate(day);
        const std::string text = day.Format("%Y-%m-%d %H:%M:%S").c_str();
        const bool today = day == CDateTime(2026, 6, 15);
        SqlBuffer sql;
        const std::string bareSql =
            today
                ? sql.Format("select * from Task where rowid in (select rowid from Task where DateDue = '%s' "
                             "union all select rowid from Task where Priority < 3 and DateDue <= '%s' union "
                             "all select rowid from Task where Priority = 3 and DateDone = '%s') order by "
                             "DateDue, rowid",
                             text.c_str(), text.c_str(), text.c_str())
                : sql.Format("select * from Task where DateDue = '%s' order by DateDue, rowid", text.c_str());
        int rows = 0;
        const double bare = Median([&] {
            rows = 0;
            SqlQuery query = g_db.ExecQuery(bareSql.c_str());
            for (; !query.Eof(); query.NextRow(), ++rows)
                for (int field = 0; field < query.NumFields(); ++field)
                    (void)query.GetStringField(field, "");
        });
        const double read = Median([&] {
            std::vector<CTask> tasks;
            g_doc.GetTasksForDay(text.c_str(), tasks);
        });
        const double byRows = Median([&] {
            std::vector<CTask> tasks;
            g_doc.GetTasksForDayByRows(text.c_str(), tasks);
        });
        const double fill = Median([&] {
            pane.FillList();
            pane.repaint();
        });
        std::printf(
            "%s (%4d rows): bare SQL %.2f ms; tasks read %.2f ms (x%.2f, goal x1.5), row by row %.2f ms; "
            "pane fill to paint %.2f ms (goal under 20 ms)\n",
            day.Format("%Y-%m-%d").c_str(), rows, bare, read, read / bare, byRows, fill);
    }

    g_db.Close();
    std::filesystem::remove_all(dir);
    return EXIT_SUCCESS;
}
