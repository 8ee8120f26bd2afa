// The growth table: keyed documents of 1k/10k/100k persons with 5k/50k/500k appointments and tasks,
// spread over eleven years (so a day holds about 1, 12 and 123 of each), opened in the real main
// frame under the program's own settings store (a settings file without a short-date picture, as a
// desktop has). Each step is timed in wall time up to the frame's paint, beside the bare SQL returning
// the same rows in the same run, and the steps' growth per tenfold of data is printed. The day switch
// is a change of the calendar's selection, as a click makes it. Then the frame is left alone with
// both appointments panes' alarm timers running, for 150 s by default, while a bare Qt event loop
// with a window of the same size runs in a second process through the same seconds; both CPU times
// are printed. A plain timed program: run it from a release build; "growth_bench 2" stops after the
// second document, "--idle 10" shortens the idle measurement.
#include "bench/BenchProgram.h"
#include "bench/GrowthExchange.h"
#include "data/DbDoc.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlQuery.h"
#include "platform/core/WinTime.h"
#include "ui/addressbook/VwPhbklist.h"
#include "ui/calendar/VwAppts.h"
#include "ui/calendar/VwCalendar.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QEventLoop>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using growth::MsSince;
using growth::StepAll;

constexpr const char* kAllGroup = "04E27641-0068-11da-BBFB-9C5F0D33683A";
constexpr const char* kPassword = "growth password";
constexpr int kIdleSeconds = 150;
constexpr int kSpanDays = 4000;
constexpr int kFutureDays = 60;
constexpr int kRounds = 15;

struct Level {
    int persons, appts, tasks;
};
const Level kLevels[] = {{1000, 5000, 5000}, {10000, 50000, 50000}, {100000, 500000, 500000}};

// Today in the bench: 15 June 2026, 09:00; every alarm lies at 09:50 or later.
const SYSTEMTIME kNow{2026, 6, 1, 15, 9, 0, 0, 0};
constexpr const char* kToday = "2026-06-15 00:00:00";

std::string DayText(int offset) {
    CDateTime day(2026, 6, 15);
    day += CDateTimeSpan(offset, 0, 0, 0);
    return day.Format("%Y-%m-%d %H:%M:%S").str();
}

// Every row in a few statements of one transaction: counted rows from a recursive CTE. Days run
// from kSpanDays before today to kFutureDays after; past tasks are done but one in 200.
void Generate(const std::string& path, const Level& level) {
    std::filesystem::remove(path);
    BeginBenchDocument(path, kPassword);
    SqlBuffer sql;
    g_db.ExecDml(sql.Format(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < %d) "
        "insert into Person(ID, FName, LName, Company, HmPhone, Email, Addr1, City, State, Zip) "
        "select printf('%%08X-0000-4000-8000-%%012X', i, i * 7919), "
        "substr('AnnaBertClaraDavidEvaFrankGinaHugo', 1 + (i %% 8) * 4, 4), printf('Name%%d', (i * 7919) %% "
        "%d), "
        "printf('Company %%d', i %% 700), printf('555-%%04d', i %% 10000), printf('p%%d@example.org', i), "
        "'1 Main St', 'Springfield', 'IL', '62701' from n",
        level.persons - 1, level.persons));
    g_db.ExecDml(sql.Format("insert into PersonPhGroup select ID, '%s' from Person", kAllGroup));
    CString day;
    day.Format("julianday('2026-06-15') + ((i * 7919) %% %d) - %d", kSpanDays + kFutureDays, kSpanDays);
    g_db.ExecDml(sql.Format(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < %d), "
        "d(i, day, hour) as (select i, %s, 10 + i %% 9 from n) "
        "insert into Appt(ID, Alarm, AlarmTime, Done, DateDue, StartTime, EndTime, RecrDtID, Desc) "
        "select printf('A%%08X-0000-4000-8000-%%011X', i, i), i %% 5 = 0, "
        "datetime(day + (hour - 1) / 24.0 + 50 / 1440.0), 0, datetime(day), datetime(day + hour / 24.0), "
        "datetime(day + hour / 24.0 + 45 / 1440.0), case when i %% 10 = 0 then printf('RULE-%%d', i / 100) "
        "else '' end, printf('Meeting %%d', i) from d",
        level.appts - 1, day.c_str()));
    g_db.ExecDml(sql.Format(
        "with recursive n(i) as (select 0 union all select i + 1 from n where i < %d), "
        "d(i, day) as (select i, %s from n) "
        "insert into Task(ID, DateDone, DateDue, Priority, RecrDtID, Desc) "
        "select printf('T%%08X-0000-4000-8000-%%011X', i, i), "
        "case when day < julianday('2026-06-15') and i %% 200 <> 0 then datetime(day) else '' end, "
        "datetime(day), case when day < julianday('2026-06-15') and i %% 200 <> 0 then 3 else i %% 3 end, "
        "case when i %% 10 = 0 then printf('RULE-%%d', i / 100) else '' end, printf('Task %%d', i) from d",
        level.tasks - 1, day.c_str()));
    g_db.ExecDml("commit");
    g_db.Close();
}

// The frame's widgets of one pane class (the panes carry no meta-object of their own).
template <class Pane> std::vector<Pane*> Panes(QWidget& frame) {
    std::vector<Pane*> panes;
    for (QWidget* widget : frame.findChildren<QWidget*>())
        if (auto* pane = dynamic_cast<Pane*>(widget))
            panes.push_back(pane);
    return panes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of kRounds runs of step, the event loop turned between runs as between two clicks.
double Measure(const std::function<void(int)>& step, int rounds = kRounds) {
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        step(round);
        times.push_back(MsSince(start));
    }
    return Median(times);
}

struct Row {
    const char* name;
    double ms[3] = {0, 0, 0};
    double base[3] = {0, 0, 0};
    int shown[3] = {0, 0, 0};
};

double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void RunLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The bare Qt event loop: a window of the frame's size, shown and painted, and nothing else. After a
// second for the window to settle it prints the CPU time of the next `seconds` in ms.
int BareLoopMain(int seconds) {
    QMainWindow window;
    window.resize(1024, 740);
    window.show();
    RunLoop(1000);
    const double before = ProcessCpuMs();
    RunLoop(seconds * 1000);
    std::printf("%.1f\n", ProcessCpuMs() - before);
    return EXIT_SUCCESS;
}

// This program started again as the bare loop, so that it runs through the same seconds as the
// frame's idle measurement; its figure comes back through a pipe.
class BareLoop {
public:
    BareLoop(char* program, int seconds) {
        if (pipe(m_pipe) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, m_pipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, m_pipe[0]);
        std::string count = std::to_string(seconds);
        std::string option = "--bare-loop";
        char* argv[] = {program, option.data(), count.data(), nullptr};
        if (posix_spawn(&m_pid, "/proc/self/exe", &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(m_pipe[1]);
    }
    BareLoop(const BareLoop&) = delete;
    BareLoop& operator=(const BareLoop&) = delete;
    ~BareLoop() {
        if (m_pipe[0] >= 0)
            close(m_pipe[0]);
    }

    // Waits for the bare loop to end; its CPU time in ms, or -1 when it reported none.
    double CpuMs() {
        if (m_pid <= 0)
            return -1;
        std::string output;
        char buffer[64];
        for (ssize_t got; (got = read(m_pipe[0], buffer, sizeof buffer)) > 0;)
            output.append(buffer, static_cast<size_t>(got));
        int status = 0;
        waitpid(m_pid, &status, 0);
        return output.empty() ? -1 : std::atof(output.c_str());
    }

private:
    int m_pipe[2] = {-1, -1};
    pid_t m_pid = -1;
};

// The check as it was: each appointment the planner shows read again by its ID.
int AlarmCheckByIds(const char* day, const CDateTime& now) {
    std::vector<CAppt> shown;
    g_doc.GetApptsInRange(shown, day, day);
    int due = 0;
    CString previous;
    for (const CAppt& item : shown) {
        if (item.m_ID == previous)
            continue;
        previous = item.m_ID;
        CAppt appt;
        appt.m_ID = item.m_ID;
        if (g_doc.GetAppt(appt) && appt.m_Alarm && appt.m_AlarmTime.IsValid() && now >= appt.m_AlarmTime)
            ++due;
    }
    return due;
}

constexpr const char* kBareTasks =
    "select * from Task where rowid in (select rowid from Task where DateDue = '%s' union all select rowid "
    "from Task where Priority < 3 and DateDue <= '%s' union all select rowid from Task where Priority = 3 "
    "and DateDone = '%s') order by DateDue, rowid";

// The bare SQL of a day as the frame shows it: its appointments and its tasks (today's as the
// program asks for them; a later day's due that day; an earlier day's done that day).
int BareDay(const std::string& day) {
    SqlBuffer sql;
    int rows = StepAll(sql.Format("select * from Appt where DateDue >= '%s' and DateDue <= '%s' order by "
                                  "DateDue, StartTime",
                                  day.c_str(), day.c_str()));
    if (day == kToday)
        rows += StepAll(sql.Format(kBareTasks, kToday, kToday, kToday));
    else if (day > kToday)
        rows += StepAll(
            sql.Format("select * from Task where DateDue = '%s' order by DateDue, rowid", day.c_str()));
    else
        rows +=
            StepAll(sql.Format("select * from Task where Priority = 3 and DateDone = '%s' order by DateDue, "
                               "rowid",
                               day.c_str()));
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    int levels = 3;
    int idleSeconds = kIdleSeconds;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--bare-loop" && i + 1 < argc)
            return BareLoopMain(std::max(1, std::atoi(argv[i + 1])));
        if (argument == "--idle" && i + 1 < argc)
            idleSeconds = std::max(1, std::atoi(argv[++i]));
        else
            levels = std::clamp(std::atoi(argv[i]), 1, 3);
    }
    QTemporaryDir dir;
    const FrameConditions conditions;
    SetLocalTimeForTesting(kNow);
    const std::string folder = dir.path().toStdString();

    Row open{"open (OK to paint)"}, daySwitch{"day switch (to paint)"}, todays{"today's tasks"},
        todaysOld{"  row by row (before)"}, persons{"person list refill"}, personsOld{"  on a day switch"},
        alarm{"alarm tick"}, alarmOld{"  by IDs, ID index"}, alarmNoIndex{"  by IDs, no ID index"},
        exportRow{"export address book"}, importRow{"import address book"}, book{"address book report"};
    double idleCpuMs[3] = {0, 0, 0};
    double bareIdleCpuMs[3] = {0, 0, 0};

    for (int l = 0; l < levels; ++l) {
        const Level& level = kLevels[l];
        const std::string path = folder + "/growth" + std::to_string(l) + ".pgr";
        auto start = std::chrono::steady_clock::now();
        Generate(path, level);
        std::printf("level %d: %d persons, %d appointments, %d tasks generated in %.1f s\n", l + 1,
                    level.persons, level.appts, level.tasks, MsSince(start) / 1000);
        std::fflush(stdout);

        CMainFrame frame;
        frame.resize(1024, 740);
        frame.Create();
        for (CVwAppts* pane : Panes<CVwAppts>(frame))
            pane->AlarmTimer()->stop();
        frame.show();
        QApplication::processEvents();

        // The first open makes the day indexes of this document; the rounds after it open as a user
        // opens a document again.
        open.ms[l] = Measure([&](int) {
            g_db.Close();
            SetPasswordBuffer(g_typedPassword, kPassword);
            g_doc.SetCurrentDate(CDateTime(2026, 6, 15));
            if (!g_doc.OnOpenDocument(path.c_str()))
                std::exit(1);
            g_doc.NotifyViewsReset();
            frame.repaint();
        });
        open.base[l] = Measure([&](int) {
            g_db.Close();
            SqlDb& db = g_db;
            db.Open(path.c_str());
            db.Key(kPassword, static_cast<int>(std::strlen(kPassword)));
            open.shown[l] = BareDay(kToday);
            g_db.Close();
        });
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, kPassword);
        if (!g_doc.OnOpenDocument(path.c_str()))
            std::exit(1);
        g_doc.NotifyViewsReset();

        // The shown view's calendar, its selection changed as a click on a day changes it, to a
        // later day and an earlier one in turn.
        QCalendarWidget* calendar = nullptr;
        for (CVwCalendar* pane : Panes<CVwCalendar>(frame))
            if (pane->isVisible())
                calendar = pane->Calendar();
        const std::string days[2] = {DayText(10), DayText(-100)};
        daySwitch.ms[l] = Measure([&](int round) {
            calendar->setSelectedDate(QDate(2026, 6, 15).addDays(round % 2 ? -100 : 10));
            frame.repaint();
        });
        daySwitch.base[l] = Measure([&](int round) { daySwitch.shown[l] = BareDay(days[round % 2]); });

        todays.ms[l] = Measure([&](int) {
            std::vector<CTask> tasks;
            g_doc.GetTasksForDay(kToday, tasks);
            todays.shown[l] = static_cast<int>(tasks.size());
        });
        SqlBuffer sql;
        todays.base[l] = Measure([&](int) { StepAll(sql.Format(kBareTasks, kToday, kToday, kToday)); });
        todaysOld.ms[l] = Measure([&](int) {
            std::vector<CTask> tasks;
            g_doc.GetTasksForDayByRows(kToday, tasks);
            todaysOld.shown[l] = static_cast<int>(tasks.size());
        });
        todaysOld.base[l] = todays.base[l];

        CVwPhbklist* list = Panes<CVwPhbklist>(frame).front();
        persons.ms[l] = Measure([&](int) {
            list->OnDocumentModified();
            list->repaint();
        });
        persons.shown[l] = list->ListedCount();
        const auto membersSql =
            sql.Format("select Person.ID, FName, LName, Company from Person where ID in "
                       "(select PersonID from PersonPhGroup where PhGroupID = '%s') order "
                       "by LName, FName, Company",
                       kAllGroup);
        const std::string members = membersSql;
        persons.base[l] = Measure([&](int) { StepAll(members.c_str()); });
        personsOld.ms[l] = Measure([&](int) {
            list->OnUpdate();
            list->repaint();
        });
        personsOld.base[l] = persons.base[l];
        personsOld.shown[l] = persons.shown[l];

        calendar->setSelectedDate(QDate(2026, 6, 15));
        // Each appointments pane runs its own check.
        const std::vector<CVwAppts*> apptsPanes = Panes<CVwAppts>(frame);
        const CDateTime now = CDateTime::GetCurrentTime();
        alarm.ms[l] = Measure([&](int) {
            for (CVwAppts* pane : apptsPanes)
                pane->OnAlarmTimer();
        });
        alarm.base[l] = Measure([&](int) {
            alarm.shown[l] =
                StepAll(sql.Format("select * from Appt where DateDue >= '%s' and DateDue <= '%s' and "
                                   "Alarm <> 0 order by DateDue, StartTime",
                                   kToday, kToday));
        });
        alarmOld.ms[l] = Measure([&](int) { AlarmCheckByIds(kToday, now); });
        alarmOld.base[l] = alarm.base[l];
        alarmOld.shown[l] = alarm.shown[l];
        // As before the appointments had their ID index: every lookup scans the table.
        g_db.ExecDml("drop index ApptIdIdx");
        alarmNoIndex.ms[l] = Measure([&](int) { AlarmCheckByIds(kToday, now); }, l < 2 ? 5 : 1);
        g_db.ExecDml(Schema::kApptIdIndex);
        alarmNoIndex.base[l] = alarm.base[l];
        alarmNoIndex.shown[l] = alarm.shown[l];

        // Idle: the frame with both panes' alarm timers running and its idle handlers registered,
        // the event loop left alone after a second for what the steps above left queued, beside the
        // bare loop through the same seconds.
        for (CVwAppts* pane : apptsPanes)
            pane->AlarmTimer()->start();
        BareLoop bare(argv[0], idleSeconds);
        RunLoop(1000);
        const double cpuBefore = ProcessCpuMs();
        RunLoop(idleSeconds * 1000);
        idleCpuMs[l] = ProcessCpuMs() - cpuBefore;
        bareIdleCpuMs[l] = bare.CpuMs();
        for (CVwAppts* pane : apptsPanes)
            pane->AlarmTimer()->stop();

        const growth::ExchangeTimes exchange = growth::MeasureExchange(folder);
        exportRow.ms[l] = exchange.exportMs;
        exportRow.base[l] = exchange.exportBaseMs;
        exportRow.shown[l] = exchange.exported;
        importRow.ms[l] = exchange.importMs;
        importRow.base[l] = exchange.importBaseMs;
        importRow.shown[l] = exchange.imported;
        book.ms[l] = exchange.bookMs;
        book.base[l] = exchange.bookBaseMs;
        book.shown[l] = exchange.bookPersons;
        frame.hide();
        g_db.Close();
        std::filesystem::remove(path);
    }

    std::printf("\n%-24s", "step (median ms)");
    for (int l = 0; l < levels; ++l)
        std::printf(" | %7s %7s %5s %7s", "ms", "bare", "x", "rows");
    std::printf(" | growth per x10\n");
    for (const Row* row : {&open, &daySwitch, &todays, &todaysOld, &persons, &personsOld, &alarm, &alarmOld,
                           &alarmNoIndex, &exportRow, &importRow, &book}) {
        std::printf("%-24s", row->name);
        for (int l = 0; l < levels; ++l)
            std::printf(" | %7.2f %7.2f %5.1f %7d", row->ms[l], row->base[l],
                        row->base[l] > 0 ? row->ms[l] / row->base[l] : 0.0, row->shown[l]);
        std::printf(" |");
        for (int l = 1; l < levels; ++l)
            std::printf(" x%.1f", row->ms[l - 1] > 0 ? row->ms[l] / row->ms[l - 1] : 0.0);
        std::printf("\n");
    }
    std::printf("idle over %d s, CPU ms per minute, the frame | a bare Qt loop in the same seconds:",
                idleSeconds);
    for (int l = 0; l < levels; ++l)
        std::printf(" %.1f | %.1f;", idleCpuMs[l] * 60 / idleSeconds, bareIdleCpuMs[l] * 60 / idleSeconds);
    std::printf(
        "\ngoals: day switch < 20 ms at 50k, < 100 ms at 500k; today's tasks <= 1.5x bare; alarm tick "
        "< 1 ms at 500k (both panes); idle CPU as the bare loop's\n");
    SetLocalTimeForTesting(std::nullopt);
    return EXIT_SUCCESS;
}
