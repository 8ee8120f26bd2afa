// Times the appointment book on a document of realistic size under the program's settings store:
// changing the current day (both split views reload and paint) against a raw read of the same day's
// rows, and adding a weekly
// series of 520 occurrences through the appointments pane's logic. A plain timed program: run it
// from a release build.
#include "bench/BenchProgram.h"
#include "data/DateParser.h"
#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/SqlBuffer.h"
#include "data/SqlTable.h"
#include "platform/core/Prompt.h"
#include "ui/calendar/ApptSeries.h"
#include "ui/calendar/VwDaySplit.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr int kAppointments = 50000;
constexpr int kRowsPerRule = 10;
constexpr int kDays = 3652; // ten years from 1 January 2016
constexpr int kSampleDays = 200;

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

CString DayText(int dayIndex) {
    CDateTime day(2016, 1, 1);
    day += CDateTimeSpan(dayIndex, 0, 0, 0);
    return day.Format("%Y-%m-%d %H:%M:%S");
}

// Half the appointments belong to rules of ten rows each, the rest are single ones.
void Fill() {
    g_db.ExecDml("begin");
    CString ruleId;
    for (int i = 0; i < kAppointments; ++i) {
        const int dayIndex = (i * 7919) % kDays;
        const bool recurring = i < kAppointments / 2;
        if (recurring && i % kRowsPerRule == 0) {
            NewGuidString(ruleId);
            SqlBuffer rule;
            rule.Format(
                "insert into RecurringDate(ID, BasicMethod, StartTime, EndTime, EndMethod, StartDate, "
                "EndDate, EndOccurences) values('%s', 0, '1899-12-30 09:00:00', '1899-12-30 09:30:00', "
                "1, '%s', '%s', %d)",
                ruleId.c_str(), DayText(dayIndex).c_str(), DayText(dayIndex).c_str(), kRowsPerRule);
            g_db.ExecDml(rule);
        }
        CString id;
        NewGuidString(id);
        const int hour = 7 + i % 11;
        const CString day = DayText(dayIndex);
        CString start, end;
        start.Format("%.10s %02d:00:00", day.c_str(), hour);
        end.Format("%.10s %02d:30:00", day.c_str(), hour);
        SqlBuffer appt;
        appt.Format(
            "insert into Appt(ID, Alarm, AlarmTime, Done, DateDue, StartTime, EndTime, RecrDtID, Desc) "
            "values('%s', %d, '%s', 0, '%s', '%s', '%s', '%s', %Q)",
            id.c_str(), i % 3 == 0, start.c_str(), day.c_str(), start.c_str(), end.c_str(),
            recurring ? ruleId.c_str() : "", "Appointment");
        g_db.ExecDml(appt);
    }
    g_db.ExecDml("commit");
}

struct Figures {
    double mean = 0;
    double worst = 0;
};

template <class Step> Figures Measure(Step&& step) {
    Figures figures;
    for (int i = 0; i < kSampleDays; ++i) {
        const int dayIndex = (i * 37) % kDays;
        QApplication::processEvents();
        const auto start = Clock::now();
        step(dayIndex);
        const double ms = Ms(Clock::now() - start);
        figures.mean += ms / kSampleDays;
        figures.worst = std::max(figures.worst, ms);
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const ProgramConditions conditions;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelmora_appts_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);

    SetPasswordBuffer(g_typedPassword, "");
    bool error = true;
    if (!g_doc.CreateDocument((dir / "Bench").c_str(), error)) {
        std::fprintf(stderr, "cannot create the document\n");
        return 1;
    }
    auto filling = Clock::now();
    Fill();
    std::printf("filled %d appointments over %d days in %.0f ms\n", kAppointments, kDays,
                Ms(Clock::now() - filling));

    CVwDaySplit standard(CVwDaySplit::Kind::Standard);
    CVwDaySplit dayPlan(CVwDaySplit::Kind::DayPlan);
    standard.resize(standard.sizeHint());
    dayPlan.resize(dayPlan.sizeHint());
    standard.show();
    dayPlan.show();
    QApplication::processEvents();

    const Figures raw = Measure([](int dayIndex) {
        const CString day = DayText(dayIndex);
        SqlBuffer sql;
        sql.Format("select * from Appt where DateDue >= '%s' and DateDue <= '%s' order by DateDue, StartTime",
                   day.c_str(), day.c_str());
        SqlTable table = g_db.GetTable(sql);
        (void)table.NumRows();
    });
    const Figures change = Measure([&](int dayIndex) {
        CDateTime day(2016, 1, 1);
        day += CDateTimeSpan(dayIndex, 0, 0, 0);
        g_doc.SetCurrentDate(day);
        g_doc.UpdateAllViews(nullptr);
        standard.repaint();
        dayPlan.repaint();
    });
    std::printf("raw read of one day's rows:       mean %.3f ms, worst %.3f ms\n", raw.mean, raw.worst);
    std::printf("changing the day (both panes):    mean %.3f ms, worst %.3f ms (goal < 20 ms), ratio %.1f\n",
                change.mean, change.worst, change.mean / raw.mean);

    CApptSeries series([](const char*, ApptSheetValues& values, CRecurItem& rule) {
        values.desc = "Weekly review";
        values.recurring = true;
        rule.SetWeekly();
        rule.SetEveryWeekCount(1);
        for (int day = 1; day <= 7; ++day)
            rule.SetWeeklyDay(day, day == 2);
        rule.SetStartDate(CDateTime(2016, 1, 4).Format(CDateParser::GetShortDateFormat()));
        rule.SetEndAfterOccurences();
        rule.SetEndOccurences(520);
        return true;
    });
    g_doc.SetCurrentDate(CDateTime(2016, 1, 4));
    const auto adding = Clock::now();
    series.Add(CDateTime(2016, 1, 4), 9, 0);
    const double addMs = Ms(Clock::now() - adding);
    SqlBuffer count;
    count.Format("select count(*) from Appt where Desc = %Q", "Weekly review");
    std::printf("adding a weekly series of %d:    %.1f ms (goal < 200 ms)\n", g_db.ExecScalar(count), addMs);

    g_db.Close();
    std::filesystem::remove_all(dir);
    return 0;
}
