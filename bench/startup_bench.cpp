// Opens a generated document of 20,000 persons, 20,000 appointments and 5,000 tasks in the main
// frame, keyed and unkeyed, under the program's settings store, and prints how long each step takes
// in wall time from the password's OK to the painted window (the splash's fixed time aside), beside
// the bare SQL of what that window shows. A plain timed program: run it from a release build.
#include "bench/PrintingPrompt.h"
#include "bench/ProgramSettings.h"
#include "data/DateTime.h"
#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlDb.h"
#include "data/SqlQuery.h"
#include "platform/core/Registry.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/Printers.h"
#include "platform/qt/RecentDocumentList.h"
#include "ui/addressbook/PersonListModel.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <typeinfo>
#include <vector>

namespace {

constexpr int kPersons = 20000;
constexpr int kAppointments = 20000;
constexpr int kTasks = 5000;
constexpr int kRuns = 9;
bool g_breakdown = false;
const char* const kAllGroup = "04E27641-0068-11da-BBFB-9C5F0D33683A";

const char* const kFirstNames[] = {"Anna", "Bert", "Clara", "David", "Eva", "Frank", "Gina", "Hugo"};
const char* const kLastNames[] = {"Adler", "Brandt", "Conrad", "Dietz", "Engel", "Fuchs", "Graf", "Hahn"};

CString Id() {
    CString id;
    NewGuidString(id);
    return id;
}

CString DayText(int offset, int hour, int minute) {
    const CDateTime now = CDateTime::GetCurrentTime();
    CDateTime day(now.GetYear(), now.GetMonth(), now.GetDay(), hour, minute, 0);
    day += CDateTimeSpan(offset, 0, 0, 0);
    return day.Format("%Y-%m-%d %H:%M:%S");
}

void Fill(const std::string& path, const char* password) {
    std::filesystem::remove(path);
    SetPasswordBuffer(g_typedPassword, password);
    bool error = false;
    if (!g_doc.CreateDocument(path.c_str(), error)) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
    SqlBuffer sql;
    g_db.ExecDml("begin exclusive");
    for (int i = 0; i < kPersons; ++i) {
        const CString id = Id();
        CString company;
        company.Format("Company %d", i % 700);
        CString last;
        last.Format("%s%d", kLastNames[i % 8], i / 8);
        g_db.ExecDml(
            sql.Format("insert into Person(ID, FName, LName, Company, HmPhone, Email) values('%q', '%q', "
                       "'%q', '%q', '555-%04d', 'p%d@example.org')",
                       id.c_str(), kFirstNames[i % 8], last.c_str(), company.c_str(), i % 10000, i));
        g_db.ExecDml(sql.Format("insert into PersonPhGroup values('%q', '%q')", id.c_str(), kAllGroup));
    }
    for (int i = 0; i < kAppointments; ++i) {
        // Spread over two years around today, eight of them on today itself.
        const int offset = i < 8 ? 0 : (i % 730) - 365;
        const int hour = 8 + i % 9;
        g_db.ExecDml(sql.Format("insert into Appt(ID, Alarm, AlarmTime, Done, DateDue, StartTime, EndTime, "
                                "RecrDtID, Desc) values('%q', 0, '', 0, '%q', '%q', '%q', '', 'Meeting %d')",
                                Id().c_str(), DayText(offset, 0, 0).c_str(), DayText(offset, hour, 0).c_str(),
                                DayText(offset, hour, 45).c_str(), i));
    }
    for (int i = 0; i < kTasks; ++i) {
        const int offset = i < 5 ? 0 : (i % 400) - 200;
        g_db.ExecDml(
            sql.Format("insert into Task(ID, DateDue, DateDone, Priority, Desc, RecrDtID) values('%q', "
                       "'%q', '', %d, 'Task %d', '')",
                       Id().c_str(), DayText(offset, 0, 0).c_str(), 1 + i % 3, i));
    }
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

// The UI thread's processor time: on a busy machine the wall clock measures the other programs too.
class StepTimer {
public:
    void start() { m_last = Now(); }
    double Lap() {
        const double now = Now();
        const double ms = now - m_last;
        m_last = now;
        return ms;
    }

private:
    static double Now() {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    }
    double m_last = 0;
};

double Ms(StepTimer& timer) {
    return timer.Lap();
}

// What the frame does after the password dialog's OK: open, reload the views, update the commands,
// then show and paint the window.
Timings OpenOnce(const std::string& path, const char* password) {
    CMainFrame frame;
    frame.resize(1024, 740);
    frame.Create();
    QApplication::processEvents();
    Timings t;
    StepTimer timer;
    timer.start();
    SetPasswordBuffer(g_typedPassword, password);
    if (!g_doc.OnOpenDocument(path.c_str())) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    t.open = Ms(timer);
    g_doc.SetPathName(path.c_str());
    if (g_breakdown) {
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
            while (owner && owner->parent() &&
                   !owner->objectName().startsWith(QStringLiteral("CVwDaySplit")) &&
                   owner->objectName() != QStringLiteral("CPhoneBookFrame"))
                owner = owner->parent();
            const CDocObserver& view = *views[i];
            g_observerTimes[i].name = std::string(typeid(view).name()) + " in " +
                                      (owner ? owner->objectName().toStdString() : std::string("?"));
            g_observerTimes[i].ms.push_back(ms);
        }
    } else {
        g_doc.NotifyViewsReset();
    }
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

// Where the reload's time goes: the person list's query, cold and warm, the records made from it,
// and the rows of the list.
void Breakdown(const char* name, const std::string& path, const char* password) {
    const char* sql = "select Person.ID, FName, LName, Company from Person where Person.ID in "
                      "(select PersonID from PersonPhGroup where PhGroupID = "
                      "'04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, Company";
    SetPasswordBuffer(g_typedPassword, password);
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
    QTreeView list;
    CPersonListModel model;
    list.setUniformRowHeights(true);
    list.setModel(&model);
    model.SetRows(std::make_shared<const PersonListRows>(TakePersonListRows(persons)));
    const double rows = Ms(timer);
    std::printf(
        "%-8s open %.1f ms; person query cold %.1f, warm %.1f; with records %.1f; %zu list rows %.1f\n", name,
        open, step[0], step[1], records, persons.size(), rows);
    g_db.Close();
}

Timings Median(std::vector<Timings> runs) {
    auto median = [&runs](double Timings::*field) {
        std::vector<double> values;
        for (const Timings& t : runs)
            values.push_back(t.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(&Timings::open), median(&Timings::reload), median(&Timings::idle),
            median(&Timings::paint)};
}

// The bare SQL of what the first screen shows: the file opened (and keyed), the persons of "All"
// with their names and companies, today's appointments and tasks.
double BareOpen(const std::string& path, const char* password) {
    StepTimer timer;
    timer.start();
    SqlDb db;
    db.Open(path.c_str());
    if (*password)
        db.Key(password, static_cast<int>(std::strlen(password)));
    const std::string today = DayText(0, 0, 0).str();
    SqlBuffer apptSql;
    SqlBuffer taskSql;
    for (const char* query :
         {"select Person.ID, FName, LName, Company from Person where Person.ID in (select PersonID from "
          "PersonPhGroup where PhGroupID = '04E27641-0068-11da-BBFB-9C5F0D33683A') order by LName, FName, "
          "Company",
          apptSql.Format(
              "select * from Appt where DateDue >= '%s' and DateDue <= '%s' order by DateDue, StartTime",
              today.c_str(), today.c_str()),
          taskSql.Format("select * from Task where DateDue = '%s' or Priority < 3 and DateDue <= '%s'",
                         today.c_str(), today.c_str())}) {
        const std::string text = query;
        SqlQuery rows = db.ExecQuery(text.c_str());
        for (; !rows.Eof(); rows.NextRow())
            for (int field = 0; field < rows.NumFields(); ++field)
                (void)rows.GetStringField(field, "");
    }
    db.Close();
    return timer.Lap();
}

void Report(const char* name, const Timings& t, double bare) {
    std::printf(
        "%-8s wall total %6.1f ms (bare SQL %5.1f ms, x%.1f)   open %6.1f   reload views %6.1f   idle "
        "%5.1f   show+paint %6.1f\n",
        name, t.Total(), bare, t.Total() / bare, t.open, t.reload, t.idle, t.paint);
    for (ObserverTime& observer : g_observerTimes) {
        std::sort(observer.ms.begin(), observer.ms.end());
        std::printf("           %6.1f ms  %s\n", observer.ms[observer.ms.size() / 2], observer.name.c_str());
    }
    g_observerTimes.clear();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_breakdown = QCoreApplication::arguments().contains(QStringLiteral("--breakdown"));
    const ProgramSettings settings;
    FixedPrinterSource printers(QStringLiteral("Bench Printer"));
    SetPrinterSource(&printers);
    PrintingPrompt prompt;
    SetPrompt(&prompt);
    CMessageLoop loop;
    CSplashDlg::s_timeoutMs = 1;

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelmora-startup-bench";
    std::filesystem::create_directories(dir);
    const std::string keyed = (dir / "keyed.pgr").string();
    const std::string plain = (dir / "plain.pgr").string();
    // --keep reuses the documents of an earlier run (and keeps them), so a profiler sees only the opening.
    const bool keep = QCoreApplication::arguments().contains(QStringLiteral("--keep"));
    if (!keep || !std::filesystem::exists(keyed) || !std::filesystem::exists(plain)) {
        std::printf("filling %d persons, %d appointments, %d tasks ...\n", kPersons, kAppointments, kTasks);
        Fill(keyed, "bench password");
        Fill(plain, "");
    }

    for (const auto& [name, path, password] :
         {std::tuple{"keyed", keyed, "bench password"}, std::tuple{"unkeyed", plain, ""}}) {
        std::vector<Timings> runs;
        for (int i = 0; i < kRuns; ++i)
            runs.push_back(OpenOnce(path, password));
        std::vector<double> bare;
        for (int i = 0; i < kRuns; ++i)
            bare.push_back(BareOpen(path, password));
        std::sort(bare.begin(), bare.end());
        Report(name, Median(runs), bare[bare.size() / 2]);
        if (g_breakdown)
            Breakdown(name, path, password);
    }
    SetPrompt(nullptr);
    SetPrinterSource(nullptr);
    if (!keep)
        std::filesystem::remove_all(dir);
    return 0;
}
