// Opens generated keyed documents of growing size in the main frame, as the program does after the
// password's OK, and prints the wall time of each step up to the first full paint of the window: the
// program's own settings store (a settings file without regional values, as the program's first run
// makes it), the real frame with its three views. The first figure is the 45k-item document (20,000
// persons, 20,000 appointments, 5,000 tasks); the growth rows follow. The items lie on the days of
// eleven years, so a day of a larger document holds more of them, as in years of use. Beside each,
// the baseline: opening and keying a bare connection and reading the rows the first screen shows.
// Each size is also opened for the first time in the form of a document written before the indexes
// the program adds on opening existed (the ID and membership indexes and the day indexes of the
// tasks), which the first open builds. A plain timed program: run it from a release build.
// --keep DIR keeps the documents in DIR and reuses them in the next run; --breakdown prints each
// observer's share.
#include "bench/BenchProgram.h"
#include "data/DateTime.h"
#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlQuery.h"
#include "data/SqlStatement.h"
#include "platform/core/Registry.h"
#include "platform/qt/RecentDocumentList.h"
#include "ui/addressbook/PersonListModel.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

constexpr int kRuns = 7;
bool g_breakdown = false;
const char* const kAllGroup = "04E27641-0068-11da-BBFB-9C5F0D33683A";
const char* const kPassword = "bench password";

struct DocumentSize {
    const char* name;
    int persons, appointments, tasks;
    int runs;
};

// The 45k-item document of the goal first, then the growth rows.
const DocumentSize kSizes[] = {
    {"45k", 20000, 20000, 5000, kRuns},
    {"1k/5k/5k", 1000, 5000, 5000, kRuns},
    {"10k/50k/50k", 10000, 50000, 50000, kRuns},
    {"100k/500k/500k", 100000, 500000, 500000, 3},
};

const char* const kFirstNames[] = {"Anna", "Bert", "Clara", "David", "Eva", "Frank", "Gina", "Hugo"};
const char* const kLastNames[] = {"Adler", "Brandt", "Conrad", "Dietz", "Engel", "Fuchs", "Graf", "Hahn"};

CString Id() {
    CString id;
    NewGuidString(id);
    return id;
}

CDateTime Today() {
    const CDateTime now = CDateTime::GetCurrentTime();
    return CDateTime(now.GetYear(), now.GetMonth(), now.GetDay());
}

CString DayText(int offset, int hour, int minute) {
    CDateTime day = Today();
    day += CDateTimeSpan(offset, hour, minute, 0);
    return day.Format("%Y-%m-%d %H:%M:%S");
}

// The items lie on the days from kPastDays before today to kFutureDays after it: a day of a larger
// document holds more items, as the days of years of use do.
constexpr int kPastDays = 4000;
constexpr int kFutureDays = 60;

int SpreadDay(int i) {
    return static_cast<int>(i * 7919LL % (kPastDays + kFutureDays)) - kPastDays;
}

// The items a day holds on average.
double ItemsPerDay(int count) {
    return static_cast<double>(count) / (kPastDays + kFutureDays);
}

void Fill(const std::string& path, const DocumentSize& size) {
    std::filesystem::remove(path);
    BeginBenchDocument(path, kPassword);
    SqlStatement person = g_db.CompileStatement(
        "insert into Person(ID, FName, LName, Company, HmPhone, Email) values(?, ?, ?, ?, ?, ?)");
    SqlStatement member = g_db.CompileStatement("insert into PersonPhGroup values(?, ?)");
    CString text;
    for (int i = 0; i < size.persons; ++i) {
        const CString id = Id();
        person.BindText(1, id.c_str());
        person.BindText(2, kFirstNames[i % 8]);
        text.Format("%s%d", kLastNames[i % 8], i / 8);
        person.BindText(3, text.c_str());
        text.Format("Company %d", i % 700);
        person.BindText(4, text.c_str());
        text.Format("555-%04d", i % 10000);
        person.BindText(5, text.c_str());
        text.Format("p%d@example.org", i);
        person.BindText(6, text.c_str());
        person.ExecDml();
        member.BindText(1, id.c_str());
        member.BindText(2, kAllGroup);
        member.ExecDml();
    }
    SqlStatement appt = g_db.CompileStatement(
        "insert into Appt(ID, Alarm, AlarmTime, Done, DateDue, StartTime, EndTime, RecrDtID, Desc) "
        "values(?, 0, '', 0, ?, ?, ?, '', ?)");
    for (int i = 0; i < size.appointments; ++i) {
        // Eight more on today, the others spread over the document's years.
        const int offset = i < 8 ? 0 : SpreadDay(i);
        const int hour = 8 + i % 9;
        appt.BindText(1, Id().c_str());
        appt.BindText(2, DayText(offset, 0, 0).c_str());
        appt.BindText(3, DayText(offset, hour, 0).c_str());
        appt.BindText(4, DayText(offset, hour, 45).c_str());
        text.Format("Meeting %d", i);
        appt.BindText(5, text.c_str());
        appt.ExecDml();
    }
    SqlStatement task = g_db.CompileStatement(
        "insert into Task(ID, DateDue, DateDone, Priority, Desc, RecrDtID) values(?, ?, ?, ?, ?, '')");
    for (int i = 0; i < size.tasks; ++i) {
        // Five more due today; of the others, those of past days are done on their day but every 50th.
        const int offset = i < 5 ? 0 : SpreadDay(i);
        const bool done = offset < 0 && i % 50 != 0;
        task.BindText(1, Id().c_str());
        task.BindText(2, DayText(offset, 0, 0).c_str());
        task.BindText(3, done ? DayText(offset, 0, 0).c_str() : "");
        task.BindInt(4, done ? 3 : 1 + i % 3);
        text.Format("Task %d", i);
        task.BindText(5, text.c_str());
        task.ExecDml();
    }
    person.Finalize();
    member.Finalize();
    appt.Finalize();
    task.Finalize();
    g_db.ExecDml("commit");
    g_db.Close();
}

struct Timings {
    double open = 0, reload = 0, idle = 0, paint = 0;
    double Total() const { return open + reload + idle + paint; }
};

// With --breakdown, each observer's share of the reload, by attachment order, over all runs.
struct ObserverTime {
    std::string name;
    std::vector<double> ms;
};
std::vector<ObserverTime> g_observerTimes;

// Wall time, as the user waits for the window.
class StepTimer {
public:
    void start() { m_last = std::chrono::steady_clock::now(); }
    double Lap() {
        const auto now = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - m_last).count();
        m_last = now;
        return ms;
    }

private:
    std::chrono::steady_clock::time_point m_last;
};

double Ms(StepTimer& timer) {
    return timer.Lap();
}

void ReloadObserverByObserver() {
    // The same calls as the document's reset notification, one observer at a time.
    const std::vector<CDocObserver*> views = g_doc.GetViews();
    g_observerTimes.resize(views.size());
    StepTimer one;
    for (size_t i = 0; i < views.size(); ++i) {
        one.start();
        views[i]->OnDocumentModified();
        const double ms = one.Lap();
        const auto* widget = dynamic_cast<const QObject*>(views[i]);
        const QObject* owner = widget ? widget->parent() : nullptr;
        while (owner && owner->parent() && !owner->objectName().startsWith(QStringLiteral("CVwDaySplit")) &&
               owner->objectName() != QStringLiteral("CPhoneBookFrame"))
            owner = owner->parent();
        const CDocObserver& view = *views[i];
        g_observerTimes[i].name = std::string(typeid(view).name()) + " in " +
                                  (owner ? owner->objectName().toStdString() : std::string("?"));
        g_observerTimes[i].ms.push_back(ms);
    }
}

// What the frame does after the password dialog's OK: open, reload the views, update the commands,
// then show the window and paint it whole.
Timings OpenOnce(const std::string& path) {
    CMainFrame frame;
    frame.resize(1024, 740);
    frame.Create();
    QApplication::processEvents();
    Timings t;
    StepTimer timer;
    timer.start();
    SetPasswordBuffer(g_typedPassword, kPassword);
    if (!g_doc.OnOpenDocument(path.c_str())) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    t.open = Ms(timer);
    g_doc.SetPathName(path.c_str());
    if (g_breakdown)
        ReloadObserverByObserver();
    else
        g_doc.NotifyViewsReset();
    frame.RecentFiles().AddToList(g_doc.GetTitle());
    frame.RecentFiles().WriteToRegistry(CMainFrame::kProgramKey);
    frame.setWindowTitle(CMainFrame::TitleText(g_doc.GetTitle()));
    t.reload = Ms(timer);
    frame.OnIdle(0);
    t.idle = Ms(timer);
    frame.show();
    QApplication::processEvents();
    frame.repaint();
    t.paint = Ms(timer);
    frame.hide();
    g_db.Close();
    return t;
}

// The rows of today the baseline read last: appointments and tasks.
int g_todaysAppts = 0;
int g_todaysTasks = 0;

// The bare SQL of what the first screen shows, on a fresh keyed connection: the key derivation, the
// Globals row, today's appointments, today's tasks and a screenful of persons in name order.
double BaselineOnce(const std::string& path) {
    const CString today = DayText(0, 0, 0);
    StepTimer timer;
    timer.start();
    SqlDb db;
    db.Open(path.c_str());
    db.Key(kPassword, static_cast<int>(std::strlen(kPassword)));
    SqlBuffer sql;
    const char* const queries[] = {
        "select Version, C, S from Globals limit 1",
        sql.Format("select * from Appt where DateDue = '%q' order by StartTime", today.c_str()), nullptr,
        "select Person.ID, FName, LName, Company from Person where Person.ID in (select PersonID from "
        "PersonPhGroup where PhGroupID = '04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, "
        "Company limit 60"};
    SqlBuffer tasks;
    tasks.Format(
        "select * from Task where rowid in (select rowid from Task where DateDue = '%q' union all select "
        "rowid from Task where Priority < 3 and DateDue <= '%q' union all select rowid from Task where "
        "Priority = 3 and DateDone = '%q') order by DateDue, rowid",
        today.c_str(), today.c_str(), today.c_str());
    int rows[std::size(queries)] = {};
    for (size_t i = 0; i < std::size(queries); ++i) {
        SqlQuery query = db.ExecQuery(queries[i] ? queries[i] : static_cast<const char*>(tasks));
        for (; !query.Eof(); query.NextRow(), ++rows[i])
            (void)query.GetStringField(0, "");
        query.Finalize();
    }
    g_todaysAppts = rows[1];
    g_todaysTasks = rows[2];
    db.Close();
    return Ms(timer);
}

// Where the reload's time goes: the person list's query, cold and warm, the records made from it,
// and the rows of the list.
void Breakdown(const char* name, const std::string& path) {
    const char* sql = "select Person.ID, FName, LName, Company from Person where Person.ID in "
                      "(select PersonID from PersonPhGroup where PhGroupID = "
                      "'04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, Company";
    SetPasswordBuffer(g_typedPassword, kPassword);
    StepTimer timer;
    timer.start();
    g_doc.OnOpenDocument(path.c_str());
    const double open = Ms(timer);
    double step[2] = {0, 0};
    for (double& ms : step) {
        SqlQuery query = g_db.ExecQuery(sql);
        for (; !query.Eof(); query.NextRow())
            (void)query.GetStringField(0, "");
        query.Finalize();
        ms = Ms(timer);
    }
    std::vector<CPerson> persons;
    g_doc.GetGroupMembers(persons, 0, kAllGroup);
    const double records = Ms(timer);
    persons.clear();
    persons.shrink_to_fit();
    timer.start();
    PersonListRows entries;
    g_doc.GetGroupMemberEntries(entries, 0, kAllGroup);
    const double asEntries = Ms(timer);
    QTreeView list;
    CPersonListModel model;
    list.setUniformRowHeights(true);
    list.setModel(&model);
    const size_t count = entries.size();
    model.SetRows(std::make_shared<const PersonListRows>(std::move(entries)));
    const double rows = Ms(timer);
    std::printf(
        "%-8s open %.1f ms; person query cold %.1f, warm %.1f; as whole records %.1f, as list entries "
        "%.1f; %zu list rows %.1f\n",
        name, open, step[0], step[1], records, asEntries, count, rows);
    g_db.Close();
}

// The name of the index a "CREATE INDEX [IF NOT EXISTS] name ON ..." statement makes.
std::string IndexName(const char* statement) {
    const std::string text = statement;
    const std::string guard = "IF NOT EXISTS ";
    const size_t guarded = text.find(guard);
    const size_t start = guarded != std::string::npos ? guarded + guard.size() : text.find("INDEX ") + 6;
    return text.substr(start, text.find(' ', start) - start);
}

// A copy of the document in the form of one written before the program added indexes on opening:
// without the ID and membership indexes the open adds and without the tasks' day indexes the first
// read of a day's tasks makes (after bringing the task rows into their stored form), packed as a
// document that never held them.
void WriteOldForm(const std::string& path, const std::string& oldPath) {
    std::filesystem::copy_file(path, oldPath, std::filesystem::copy_options::overwrite_existing);
    SqlDb db;
    db.Open(oldPath.c_str());
    db.Key(kPassword, static_cast<int>(std::strlen(kPassword)));
    SqlBuffer sql;
    for (const char* index : Schema::kAddMissingIndexes)
        db.ExecDml(sql.Format("drop index if exists %s", IndexName(index).c_str()));
    for (const char* index : Schema::kTaskDayIndexes)
        db.ExecDml(sql.Format("drop index if exists %s", IndexName(index).c_str()));
    db.ExecDml("vacuum");
    db.Close();
}

// The first open of a fresh copy of the old-form document, the copying not timed.
Timings FirstOpenOnce(const std::string& oldPath, const std::string& copyPath) {
    std::filesystem::copy_file(oldPath, copyPath, std::filesystem::copy_options::overwrite_existing);
    const Timings t = OpenOnce(copyPath);
    std::filesystem::remove(copyPath);
    return t;
}

template <typename T, typename Field> double MedianOf(const std::vector<T>& runs, Field field) {
    std::vector<double> values;
    for (const T& run : runs)
        values.push_back(field(run));
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char* name, const std::vector<Timings>& runs, const std::vector<double>& baselines) {
    const double total = MedianOf(runs, [](const Timings& t) { return t.Total(); });
    const double baseline = MedianOf(baselines, [](double ms) { return ms; });
    std::printf("%-15s OK to painted %7.1f ms (open %6.1f  reload %6.1f  idle %5.1f  show+paint %6.1f)"
                "  baseline %6.1f ms  ratio %5.1f\n",
                name, total, MedianOf(runs, [](const Timings& t) { return t.open; }),
                MedianOf(runs, [](const Timings& t) { return t.reload; }),
                MedianOf(runs, [](const Timings& t) { return t.idle; }),
                MedianOf(runs, [](const Timings& t) { return t.paint; }), baseline, total / baseline);
    for (ObserverTime& observer : g_observerTimes)
        std::printf("           %6.1f ms  %s\n", MedianOf(observer.ms, [](double ms) { return ms; }),
                    observer.name.c_str());
    g_observerTimes.clear();
    std::fflush(stdout);
}

void ReportFirstOpen(const std::vector<Timings>& first, const std::vector<Timings>& later) {
    const double total = MedianOf(first, [](const Timings& t) { return t.Total(); });
    const double again = MedianOf(later, [](const Timings& t) { return t.Total(); });
    std::printf("  first open of the old form %7.1f ms (open %6.1f  reload %6.1f  idle %5.1f  show+paint "
                "%6.1f)  later opens %6.1f ms  ratio %5.1f\n",
                total, MedianOf(first, [](const Timings& t) { return t.open; }),
                MedianOf(first, [](const Timings& t) { return t.reload; }),
                MedianOf(first, [](const Timings& t) { return t.idle; }),
                MedianOf(first, [](const Timings& t) { return t.paint; }), again, total / again);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    g_breakdown = arguments.contains(QStringLiteral("--breakdown"));
    // --keep DIR reuses the documents an earlier run left in DIR (and keeps them there), so a profiler
    // sees only the opening; --only NAME opens only the document of that size.
    const auto value = [&arguments](const char* option) {
        const qsizetype at = arguments.indexOf(QLatin1String(option));
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
    };
    const QString keptIn = value("--keep");
    const QString only = value("--only");
    const bool keep = !keptIn.isEmpty();
    // Without --keep the documents lie in a folder of this run's own, removed at the end.
    QTemporaryDir runFolder;
    const std::filesystem::path dir = keep ? keptIn.toStdString() : runFolder.path().toStdString();
    std::filesystem::create_directories(dir);
    // The program's settings store over a file of its own, as the program's first run makes it.
    const FrameConditions conditions;

    for (const DocumentSize& size : kSizes) {
        if (!only.isEmpty() && only != QLatin1String(size.name))
            continue;
        const std::string path =
            (dir / (std::string("keyed-") + std::to_string(size.persons) + "-" +
                    std::to_string(size.appointments) + "-" + std::to_string(size.tasks) + ".pgr"))
                .string();
        const std::string oldPath = path.substr(0, path.size() - 4) + "-old-form.pgr";
        if (!keep || !std::filesystem::exists(path) || !std::filesystem::exists(oldPath)) {
            std::printf("filling %d persons, %d appointments, %d tasks ...\n", size.persons,
                        size.appointments, size.tasks);
            std::fflush(stdout);
            Fill(path, size);
            WriteOldForm(path, oldPath);
        }
        std::vector<Timings> firstOpens;
        for (int i = 0; i < size.runs; ++i)
            firstOpens.push_back(FirstOpenOnce(oldPath, (dir / "first-open.pgr").string()));
        // The document's own first open builds what the later opens find.
        OpenOnce(path);
        std::vector<Timings> runs;
        std::vector<double> baselines;
        for (int i = 0; i < size.runs; ++i) {
            runs.push_back(OpenOnce(path));
            baselines.push_back(BaselineOnce(path));
        }
        Report(size.name, runs, baselines);
        ReportFirstOpen(firstOpens, runs);
        std::printf(
            "  a day holds about %.1f appointments and %.1f tasks; today shows %d appointments and %d "
            "tasks\n",
            ItemsPerDay(size.appointments), ItemsPerDay(size.tasks), g_todaysAppts, g_todaysTasks);
        std::fflush(stdout);
        if (g_breakdown)
            Breakdown(size.name, path);
    }
    return 0;
}
