// Opens generated keyed documents of growing size in the main frame, as the program does after the
// password's OK, and prints the wall time of each step up to the first full paint of the window: the
// program's own settings store (a settings file with a short-date picture), the real frame with its
// three views. The first figure is the 45k-item document (20,000 persons, 20,000 appointments, 5,000
// tasks); the growth rows follow. Beside each, the baseline: opening and keying a bare connection and
// reading the rows the first screen shows. A plain timed program: run it from a release build.
// --keep keeps the documents for the next run; --breakdown prints each observer's share.
#include "bench/BenchProgram.h"
#include "data/DateTime.h"
#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlQuery.h"
#include "data/SqlStatement.h"
#include "platform/core/Registry.h"
#include "platform/qt/RecentDocumentList.h"
#include "ui/addressbook/PersonListModel.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
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

// A day other than today, spread so that a day holds about as many items as in a year of use
// whatever the document's size: the items of years, not more items a day.
int SpreadDay(int i, int count) {
    const int span = std::max(365, count / 20);
    const int offset = i % (2 * span) - span;
    return offset == 0 ? 1 : offset;
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
        // Eight on today, the others spread over the document's years.
        const int offset = i < 8 ? 0 : SpreadDay(i, size.appointments);
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
        // Five due today; of the others, those of past days are done on their day but every 50th.
        const int offset = i < 5 ? 0 : SpreadDay(i, size.tasks);
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
        "select * from Task where DateDue = '%q' or DateDone = '%q' or (Priority < 3 and DateDue <= '%q') "
        "order by DateDue",
        today.c_str(), today.c_str(), today.c_str());
    for (const char* text : queries) {
        SqlQuery query = db.ExecQuery(text ? text : static_cast<const char*>(tasks));
        for (; !query.Eof(); query.NextRow())
            (void)query.GetStringField(0, "");
        query.Finalize();
    }
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    g_breakdown = arguments.contains(QStringLiteral("--breakdown"));
    // --keep reuses the documents of an earlier run (and keeps them), so a profiler sees only the opening;
    // --only NAME opens only the document of that size.
    const bool keep = arguments.contains(QStringLiteral("--keep"));
    const qsizetype onlyAt = arguments.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 && onlyAt + 1 < arguments.size() ? arguments[onlyAt + 1] : QString();

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelmora-open-bench";
    std::filesystem::create_directories(dir);
    // The program's settings store over its own file, with the short-date picture a desktop has set.
    auto conditions =
        std::make_unique<ProgramConditions>(QString::fromStdString((dir / "Pelmora.conf").string()));

    for (const DocumentSize& size : kSizes) {
        if (!only.isEmpty() && only != QLatin1String(size.name))
            continue;
        const std::string path =
            (dir / (std::string("keyed-") + std::to_string(size.persons) + "-" +
                    std::to_string(size.appointments) + "-" + std::to_string(size.tasks) + ".pgr"))
                .string();
        if (!keep || !std::filesystem::exists(path)) {
            std::printf("filling %d persons, %d appointments, %d tasks ...\n", size.persons,
                        size.appointments, size.tasks);
            std::fflush(stdout);
            Fill(path, size);
        }
        std::vector<Timings> runs;
        std::vector<double> baselines;
        for (int i = 0; i < size.runs; ++i) {
            runs.push_back(OpenOnce(path));
            baselines.push_back(BaselineOnce(path));
        }
        Report(size.name, runs, baselines);
        if (g_breakdown)
            Breakdown(size.name, path);
    }
    conditions.reset();
    if (!keep)
        std::filesystem::remove_all(dir);
    return 0;
}
