#include "reports/CalendarReports.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

CAppt Appt(const CDateTime& day, int hour, const QString& desc) {
    CAppt appt;
    appt.m_Desc = desc.toUtf8().constData();
    appt.m_DateDue = day;
    appt.m_StartTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour, 15);
    appt.m_EndTime = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), hour + 1, 0);
    return appt;
}

CTask Task(const CDateTime& day, const char* desc) {
    CTask task;
    task.m_Desc = desc;
    task.m_DateDue = day;
    return task;
}

class CalendarReports : public testing::Test {
protected:
    void SetUp() override { TestApp(); }
    QString Pdf(const char* name) const { return QString::fromUtf8(m_dir.File(name).c_str()); }
    static ReportInput Month(int month, int year) {
        ReportInput input;
        input.kind = kReportMonth;
        input.month = month;
        input.year = year;
        return input;
    }
    static ReportInput Week(const CDateTime& sunday) {
        ReportInput input;
        input.kind = kReportWeek;
        input.weekFirst = sunday;
        input.weekLast = sunday + CDateTimeSpan(6, 0, 0, 0);
        return input;
    }
    TempDir m_dir;
};

TEST_F(CalendarReports, DecemberShowsNovemberAndTheNextJanuaryAndItsEntries) {
    ReportInput input = Month(12, 2026);
    input.appts = {Appt(CDateTime(2026, 12, 24), 18, QStringLiteral("Carols")),
                   Appt(CDateTime(2026, 12, 3), 9, QStringLiteral("Dentist"))};
    input.tasks = {Task(CDateTime(2026, 12, 24), "Wrap gifts")};
    PdfReport pdf(input, PdfReport::Letter(), Pdf("december.pdf"));
    EXPECT_EQ(pdf.Report().GetPageCount(), 1);
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("december.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const QString text = pages[0].simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("Nov 2026"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Jan 2027")));
    EXPECT_TRUE(text.contains(QStringLiteral("Dec 2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("SUN MON TUE WED THU FRI SAT")));
    EXPECT_LT(text.indexOf(QStringLiteral("Nov 2026")), text.indexOf(QStringLiteral("Jan 2027")));
    auto& report = static_cast<CMonthReport&>(pdf.Report());
    EXPECT_EQ(report.DayText(24), QStringLiteral("6:15 P Carols\nWrap gifts\n"));
    EXPECT_EQ(report.DayText(3), QStringLiteral("9:15 A Dentist\n"));
    EXPECT_TRUE(report.DayText(4).isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("Carols")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wrap gifts")));
    KeepArtifact(Pdf("december.pdf"), QStringLiteral("report_monthly_plan.pdf"));
}

TEST_F(CalendarReports, MonthGridHasAsManyWeekRowsAsTheMonthSpans) {
    struct Case {
        int month;
        int year;
        int days;
        int rows;
    };
    // August 2026 starts on a Saturday; February 2026 starts on a Sunday; February 2028 is a leap month.
    const Case cases[] = {
        {8, 2026, 31, 6}, {2, 2026, 28, 4}, {2, 2028, 29, 5}, {5, 2026, 31, 6}, {3, 2026, 31, 5}};
    ASSERT_EQ(CDateTime(2026, 8, 1).GetDayOfWeek(), 7);
    for (const Case& c : cases) {
        PdfReport pdf(Month(c.month, c.year), PdfReport::Letter(), Pdf("month.pdf"));
        pdf.PageImage(0);
        auto& report = static_cast<CMonthReport&>(pdf.Report());
        EXPECT_EQ(report.DayCount(), c.days) << c.month << "/" << c.year;
        EXPECT_EQ(report.WeekRows(), c.rows) << c.month << "/" << c.year;
        const PrintRect r = report.GetPrintRect();
        EXPECT_LE(report.DayRect(c.days).bottom(), r.bottom) << c.month;
        EXPECT_GE(report.DayRect(1).left(), r.left) << c.month;
    }
}

TEST_F(CalendarReports, LongDayTextsStayInTheirDayCells) {
    ReportInput input = Month(8, 2026);
    input.appts = {
        Appt(CDateTime(2026, 8, 12), 9, QString(QStringLiteral("very long words ")).repeated(125))};
    PdfReport pdf(input, PdfReport::Letter(), Pdf("long.pdf"));
    const QImage image = pdf.PageImage(0);
    auto& report = static_cast<CMonthReport&>(pdf.Report());
    EXPECT_TRUE(HasInk(image, report.DayRect(12)));
    // The cell below (day 19) and the cell to the right (day 13) keep clear of day 12's text.
    for (int day : {13, 19})
        EXPECT_FALSE(HasInk(image, report.DayRect(day).adjusted(2, 2, -2, -2))) << day;
}

TEST_F(CalendarReports, WeeklyPlanTitlesSplitTheWeekAcrossItsTwoPages) {
    struct Case {
        CDateTime sunday;
        const char* first;
        const char* second;
        std::pair<int, int> firstMonths;
        std::pair<int, int> secondMonths;
    };
    const Case cases[] = {
        {CDateTime(2027, 3, 28), "Mar 28 - 31", "Apr 1 - 3", {2, 3}, {4, 5}},
        {CDateTime(2027, 6, 27), "Jun 27 - 30", "Jul 1 - 3", {5, 6}, {7, 8}},
        {CDateTime(2027, 5, 30), "May 30 - Jun 2", "Jun 3 - 5", {4, 5}, {6, 7}},
        {CDateTime(2026, 12, 27), "Dec 27 - 30", "Dec 31 - Jan 2", {11, 12}, {1, 2}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.sunday.GetDayOfWeek(), 1);
        CWeekReport report(nullptr, {}, {}, c.sunday, c.sunday + CDateTimeSpan(6, 0, 0, 0));
        EXPECT_EQ(report.PageTitle(0), QString::fromLatin1(c.first));
        EXPECT_EQ(report.PageTitle(1), QString::fromLatin1(c.second));
        EXPECT_EQ(report.PageMonths(0).first.first, c.firstMonths.first);
        EXPECT_EQ(report.PageMonths(0).second.first, c.firstMonths.second);
        EXPECT_EQ(report.PageMonths(1).first.first, c.secondMonths.first);
        EXPECT_EQ(report.PageMonths(1).second.first, c.secondMonths.second);
    }
}

TEST_F(CalendarReports, WeeklyPlanPrintsTheDaysEntriesAndANotesBandWithoutDayNumbers) {
    const CDateTime sunday(2027, 3, 28);
    ReportInput input = Week(sunday);
    input.appts = {Appt(CDateTime(2027, 3, 29), 10, QStringLiteral("Standup")),
                   Appt(CDateTime(2027, 4, 2), 14, QStringLiteral("Review"))};
    input.tasks = {Task(CDateTime(2027, 3, 29), "File taxes"), Task(CDateTime(2027, 4, 3), "Shop")};
    for (const auto& [paper, name] :
         {std::pair{PdfReport::Letter(), "letter"}, {PdfReport::SixInchPaper(), "6inch"}}) {
        PdfReport pdf(input, paper, Pdf("week.pdf"));
        EXPECT_EQ(pdf.Report().GetPageCount(), 2);
        ASSERT_TRUE(pdf.Write());
        const QStringList pages = PdfPages(Pdf("week.pdf"));
        ASSERT_EQ(pages.size(), 2) << name;
        const QString first = pages[0].simplified();
        const QString second = pages[1].simplified();
        EXPECT_TRUE(first.contains(QStringLiteral("Mar 28 - 31"))) << first.toStdString();
        EXPECT_TRUE(first.contains(QStringLiteral("Feb 2027")));
        EXPECT_TRUE(first.contains(QStringLiteral("Mar 2027")));
        EXPECT_TRUE(second.contains(QStringLiteral("Apr 1 - 3")));
        EXPECT_TRUE(second.contains(QStringLiteral("Apr 2027")));
        EXPECT_TRUE(second.contains(QStringLiteral("May 2027")));
        for (const char* band : {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY"})
            EXPECT_TRUE(first.contains(QString::fromLatin1(band))) << band;
        for (const char* band : {"THURSDAY", "FRIDAY", "SATURDAY", "NOTES"})
            EXPECT_TRUE(second.contains(QString::fromLatin1(band))) << band;
        EXPECT_LT(first.indexOf(QStringLiteral("SUNDAY")), first.indexOf(QStringLiteral("MONDAY")));
        EXPECT_EQ(first.count(QStringLiteral("Day ")), 4);
        EXPECT_EQ(second.count(QStringLiteral("Day ")), 3);
        EXPECT_TRUE(first.contains(QStringLiteral("Day 87")));
        EXPECT_TRUE(second.contains(QStringLiteral("Day 93")));
        EXPECT_FALSE(second.contains(QStringLiteral("Day 94")));
        EXPECT_TRUE(first.contains(QStringLiteral("10:15 A Standup")));
        EXPECT_TRUE(first.contains(QStringLiteral("File taxes")));
        // On narrow paper the text extraction runs the big day number into the first entry.
        EXPECT_TRUE(second.contains(QStringLiteral("P Review")));
        EXPECT_TRUE(second.contains(QStringLiteral("Shop")));
        EXPECT_FALSE(first.contains(QStringLiteral("Review")));
        EXPECT_EQ(pdf.Report().PointSize(), paper == PdfReport::Letter() ? 10 : 8) << name;
        KeepArtifact(Pdf("week.pdf"),
                     QStringLiteral("report_weekly_plan_%1.pdf").arg(QString::fromLatin1(name)));
    }
}

TEST_F(CalendarReports, NarrowPaperPrintsTheMonthAtEightPoints) {
    PdfReport letter(Month(8, 2026), PdfReport::Letter(), Pdf("m.pdf"));
    letter.PageImage(0);
    EXPECT_EQ(letter.Report().PointSize(), 10);
    PdfReport narrow(Month(8, 2026), PdfReport::SixInchPaper(), Pdf("m6.pdf"));
    ASSERT_TRUE(narrow.Write());
    EXPECT_EQ(narrow.Report().PointSize(), 8);
    EXPECT_TRUE(PdfPages(Pdf("m6.pdf")).value(0).contains(QStringLiteral("Aug 2026")));
    KeepArtifact(Pdf("m6.pdf"), QStringLiteral("report_monthly_plan_6inch.pdf"));
}

} // namespace
