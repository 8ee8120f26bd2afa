#include "reports/AddressBookReport.h"
#include "reports/DailyReports.h"
#include "reports/EnvelopeReport.h"
#include "reports/ReportDraw.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

CPerson Person(const char* first, const char* last) {
    CPerson person;
    person.m_FName = first;
    person.m_LName = last;
    person.m_Company = "Acme";
    person.m_Position = "Clerk";
    person.m_Addr1 = "1 Main St";
    person.m_City = "Springfield";
    person.m_State = "IL";
    person.m_Zip = "62701";
    person.m_HmPhone = "555-0100";
    person.m_WkPhone = "555-0199";
    return person;
}

CTask Task(const char* desc, int priority) {
    CTask task;
    task.m_Desc = desc;
    task.m_Priority = priority;
    task.m_DateDue = CDateTime(2026, 3, 4);
    return task;
}

CAppt Appt(const char* desc, int hour) {
    CAppt appt;
    appt.m_Desc = desc;
    appt.m_DateDue = CDateTime(2026, 3, 4);
    appt.m_StartTime = CDateTime(2026, 3, 4, hour, 30);
    appt.m_EndTime = CDateTime(2026, 3, 4, hour + 1, 0);
    return appt;
}

// Lines of the page text without the spaces of the layout.
QString Squeezed(const QString& text) {
    return text.simplified();
}

class ListReports : public testing::Test {
protected:
    void SetUp() override { TestApp(); }

    QString Pdf(const char* name) const { return QString::fromUtf8(m_dir.File(name).c_str()); }

    TempDir m_dir;
};

TEST_F(ListReports, AddressBookPrintsEachPersonsLinesInTheirColumns) {
    ReportInput input;
    input.kind = kReportAddressBook;
    CPerson withExt = Person("Jane", "Doe");
    withExt.m_WkExt = "42";
    withExt.m_Addr2 = "Suite 5";
    CPerson noFirst = Person("", "Solo");
    noFirst.m_City = "";
    input.persons = {withExt, noFirst};
    PdfReport pdf(input, PdfReport::Letter(), Pdf("book.pdf"));
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("book.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const QString text = Squeezed(pages[0]);
    for (const char* expected :
         {"ADDRESS BOOK", "Jane Doe Home Phone: 555-0100", "Company: Acme Work Phone: 555-0199 Ext. 42",
          "Position: Clerk Fax:", "1 Main St E-Mail:", "Suite 5 Pager:", "Springfield, IL 62701 CelPhone:",
          "Web Page:", "Solo Home Phone:", "Company: Acme Work Phone: 555-0199 Position", "IL 62701",
          "Page 1 of 1"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    }
    EXPECT_FALSE(text.contains(QStringLiteral("Solo Solo")));
    EXPECT_TRUE(text.contains(QStringLiteral("1 Main St E-Mail: IL 62701 Pager:")));
    EXPECT_LT(text.indexOf(QStringLiteral("Jane Doe")), text.indexOf(QStringLiteral("Solo")));
    KeepArtifact(Pdf("book.pdf"), QStringLiteral("report_address_book.pdf"));
}

// Every page prints the title above its persons and the footer below them, so every page holds as
// many persons as the first, and the last one's rule stays above the footer's line.
TEST_F(ListReports, AddressBookReservesTheTitleAndTheFooterOnEveryPage) {
    ReportInput input;
    input.kind = kReportAddressBook;
    for (int i = 0; i < 60; ++i)
        input.persons.push_back(
            Person("P", QStringLiteral("Person%1").arg(i, 2, 10, QChar('0')).toUtf8().constData()));
    for (int points = 8; points <= 16; ++points) {
        PdfReport pdf(input, PdfReport::Letter(), Pdf("many.pdf"), points);
        auto& report = static_cast<CAddressBookReport&>(pdf.Report());
        const PrintRect r = report.GetPrintRect();
        const int L = report.LineHeight();
        const int perPage = (r.Height() - 2 * L - 1) / (8 * L);
        const auto& pages = report.Pages();
        ASSERT_GE(pages.size(), 3u) << points;
        for (size_t page = 0; page + 1 < pages.size(); ++page)
            EXPECT_EQ(static_cast<int>(pages[page].size()), perPage) << points << " pt, page " << page + 1;
        EXPECT_LE(r.top + 2 * L + perPage * 8 * L - L, r.bottom - L) << points;
        size_t total = 0;
        for (const auto& page : pages)
            total += page.size();
        EXPECT_EQ(total, input.persons.size());
        EXPECT_EQ(report.GetPageCount(), static_cast<int>(pages.size()));
    }

    PdfReport pdf(input, PdfReport::Letter(), Pdf("many.pdf"));
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("many.pdf"));
    ASSERT_EQ(pages.size(), pdf.Report().GetPageCount());
    const auto& split = static_cast<CAddressBookReport&>(pdf.Report()).Pages();
    for (int page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(pages[page].contains(QStringLiteral("ADDRESS BOOK"))) << page;
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size())))
            << page;
        const int firstOnPage = split[static_cast<size_t>(page)].front();
        EXPECT_TRUE(pages[page].contains(QStringLiteral("P Person%1").arg(firstOnPage, 2, 10, QChar('0'))))
            << page;
    }
}

TEST_F(ListReports, EmptyAddressBookPrintsATitlePage) {
    ReportInput input;
    input.kind = kReportAddressBook;
    PdfReport pdf(input, PdfReport::Letter(), Pdf("empty.pdf"));
    EXPECT_EQ(pdf.Report().GetPageCount(), 1);
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("empty.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ADDRESS BOOK")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 1 of 1")));
}

TEST_F(ListReports, EnvelopesHaveTheReturnAddressAndTheRecipientOnePageAPerson) {
    struct Case {
        bool businessInAddress;
        bool businessInReturn;
        const char* addr2;
        QStringList recipient;
        QStringList sender;
    };
    const Case cases[] = {
        {false,
         false,
         "",
         {"Jane Doe", "1 Main St", "Springfield, IL 62701"},
         {"Olga Owner", "9 Home Rd", ", NY 10001"}},
        {true,
         true,
         "",
         {"Jane Doe", "Acme", "1 Main St", "Springfield, IL 62701"},
         {"Olga Owner", "Owner Inc", "9 Home Rd", ", NY 10001"}},
        {true,
         false,
         "Apt 2",
         {"Jane Doe", "Acme", "1 Main St", "Apt 2", "Springfield, IL 62701"},
         {"Olga Owner", "9 Home Rd", ", NY 10001"}},
    };
    CUser owner;
    owner.m_FName = "Olga";
    owner.m_LName = "Owner";
    owner.m_Company = "Owner Inc";
    owner.m_Addr1 = "9 Home Rd";
    owner.m_State = "NY";
    owner.m_Zip = "10001";
    for (const Case& c : cases) {
        CPerson person = Person("Jane", "Doe");
        person.m_Addr2 = c.addr2;
        CEnvelopeReport report(nullptr, owner, {person, Person("", "Solo")}, c.businessInAddress,
                               c.businessInReturn);
        EXPECT_EQ(report.RecipientLines(person), c.recipient);
        EXPECT_EQ(report.ReturnAddressLines(), c.sender);
        EXPECT_EQ(report.GetPageCount(), 2);
    }

    ReportInput input;
    input.kind = kReportEnvelopes;
    input.user = owner;
    input.persons = {Person("Jane", "Doe"), Person("", "Solo")};
    input.businessNameInAddress = true;
    PdfReport pdf(input, PdfReport::Letter(), Pdf("envelopes.pdf"));
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("envelopes.pdf"));
    ASSERT_EQ(pages.size(), 2);
    const QString first = Squeezed(pages[0]);
    EXPECT_TRUE(first.contains(
        QStringLiteral("Olga Owner 9 Home Rd , NY 10001 Jane Doe Acme 1 Main St Springfield, IL 62701")))
        << first.toStdString();
    EXPECT_TRUE(Squeezed(pages[1]).contains(QStringLiteral("Solo Acme 1 Main St")));
    EXPECT_FALSE(first.contains(QStringLiteral("Page")));
    KeepArtifact(Pdf("envelopes.pdf"), QStringLiteral("report_envelopes.pdf"));

    ReportInput none = input;
    none.persons.clear();
    PdfReport nobody(none, PdfReport::Letter(), Pdf("nobody.pdf"));
    EXPECT_EQ(nobody.Report().GetPageCount(), 0);
}

TEST_F(ListReports, DailyPlanPagesFollowTheLongerListAndLaterPagesShowOnlyTasks) {
    ReportInput input;
    input.kind = kReportDailyPlan;
    input.appts = {Appt("Breakfast meeting", 8), Appt("Dentist", 10), Appt("Review", 15)};
    for (int i = 0; i < 70; ++i)
        input.tasks.push_back(
            Task(QStringLiteral("Task%1").arg(i, 2, 10, QChar('0')).toUtf8().constData(), i % 4));
    PdfReport pdf(input, PdfReport::Letter(), Pdf("daily.pdf"));
    auto& report = static_cast<CDailyPlanReport&>(pdf.Report());
    EXPECT_EQ(report.ApptPageCount(), 1);
    ASSERT_GE(report.TaskPageCount(), 2);
    EXPECT_EQ(report.GetPageCount(), report.TaskPageCount());
    ASSERT_TRUE(pdf.Write());
    const QStringList pages = PdfPages(Pdf("daily.pdf"));
    ASSERT_EQ(pages.size(), report.GetPageCount());
    const QString first = Squeezed(pages[0]);
    EXPECT_TRUE(first.contains(QStringLiteral("DAILY PLAN START END APPOINTMENT TASK PRIORITY DUE DATE")))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("8:30 A 9:00 A Breakfast meeting Task00 High")));
    EXPECT_TRUE(first.contains(QStringLiteral("3:30 P 4:00 P Review Task02 Low")));
    EXPECT_TRUE(first.contains(QStringLiteral("Task03 Done")));
    EXPECT_TRUE(first.contains(QStringLiteral("Page 1")));
    EXPECT_LT(first.indexOf(QStringLiteral("Task00")), first.indexOf(QStringLiteral("Task01")));
    // The last line of a full page stays above the footer.
    const QImage full = pdf.PageImage(0);
    const PrintRect r = report.GetPrintRect();
    const int lastTop = r.top + 3 * report.LineHeight() +
                        (static_cast<int>(pages[0].count(QStringLiteral("Task"))) - 1) * report.LineHeight();
    EXPECT_LE(lastTop + report.LineHeight(), r.bottom - report.LineHeight());
    // Right of the centred footer nothing is drawn on the footer's line.
    const int rightOfFooter = report.Column2() + r.Width() / 8;
    EXPECT_FALSE(HasInk(full, QRect(rightOfFooter, r.bottom - report.LineHeight(),
                                    r.right - rightOfFooter - 4, report.LineHeight() - 2)));
    const QString second = Squeezed(pages[1]);
    EXPECT_TRUE(second.contains(QStringLiteral("DAILY PLAN")));
    EXPECT_FALSE(second.contains(QStringLiteral("Dentist")));
    EXPECT_TRUE(second.contains(QStringLiteral("Task69")));
    EXPECT_TRUE(second.contains(QStringLiteral("Page 2")));
    KeepArtifact(Pdf("daily.pdf"), QStringLiteral("report_daily_plan.pdf"));
}

TEST_F(ListReports, DailyTasksAndAppointmentsListTheirRecordsUnderTheirHeads) {
    ReportInput tasks;
    tasks.kind = kReportDailyTasks;
    tasks.tasks = {Task("Pay rent", 0), Task("Water plants", 3), Task("Odd import", 7)};
    PdfReport taskPdf(tasks, PdfReport::Letter(), Pdf("tasks.pdf"));
    ASSERT_TRUE(taskPdf.Write());
    const QString taskText = Squeezed(PdfPages(Pdf("tasks.pdf")).value(0));
    EXPECT_TRUE(taskText.contains(QStringLiteral("DAILY TASKS TASK PRIORITY DUE DATE Pay rent High")))
        << taskText.toStdString();
    EXPECT_TRUE(taskText.contains(QStringLiteral("Water plants Done")));
    EXPECT_TRUE(taskText.contains(QStringLiteral("Odd import 7")));
    EXPECT_TRUE(taskText.contains(report_draw::ShortDate(CDateTime(2026, 3, 4))));
    KeepArtifact(Pdf("tasks.pdf"), QStringLiteral("report_daily_tasks.pdf"));

    ReportInput appts;
    appts.kind = kReportDailyAppts;
    appts.appts = {Appt("Call Bob", 9), Appt("Gym", 17)};
    PdfReport apptPdf(appts, PdfReport::Letter(), Pdf("appts.pdf"));
    ASSERT_TRUE(apptPdf.Write());
    const QString apptText = Squeezed(PdfPages(Pdf("appts.pdf")).value(0));
    EXPECT_TRUE(
        apptText.contains(QStringLiteral("DAILY APPOINTMENTS START END APPOINTMENT 9:30 A 10:00 A Call Bob")))
        << apptText.toStdString();
    EXPECT_TRUE(apptText.contains(QStringLiteral("5:30 P 6:00 P Gym Page 1")));
    KeepArtifact(Pdf("appts.pdf"), QStringLiteral("report_daily_appts.pdf"));

    ReportInput empty;
    empty.kind = kReportDailyTasks;
    EXPECT_EQ(PdfReport(empty, PdfReport::Letter(), Pdf("none.pdf")).Report().GetPageCount(), 0);
}

TEST_F(ListReports, NarrowPaperPrintsTheDailyReportsAndTheAddressBookAtEightPoints) {
    struct Case {
        int kind;
        int letterPoints;
        int narrowPoints;
    };
    const Case cases[] = {{kReportDailyPlan, 10, 8},
                          {kReportDailyTasks, 10, 8},
                          {kReportDailyAppts, 10, 8},
                          {kReportAddressBook, 10, 8},
                          {kReportEnvelopes, 10, 10}};
    for (const Case& c : cases) {
        ReportInput input;
        input.kind = c.kind;
        input.persons = {Person("Jane", "Doe")};
        input.tasks = {Task("Pay rent", 1)};
        input.appts = {Appt("Call Bob", 9)};
        PdfReport letter(input, PdfReport::Letter(), Pdf("letter.pdf"));
        EXPECT_EQ(letter.Report().PointSize(), c.letterPoints) << c.kind;
        PdfReport narrow(input, PdfReport::SixInchPaper(), Pdf("narrow.pdf"));
        ASSERT_TRUE(narrow.Write()) << c.kind;
        EXPECT_EQ(narrow.Report().PointSize(), c.narrowPoints) << c.kind;
        EXPECT_FALSE(PdfPages(Pdf("narrow.pdf")).value(0).trimmed().isEmpty()) << c.kind;
        KeepArtifact(Pdf("narrow.pdf"), QStringLiteral("report_kind%1_6inch.pdf").arg(c.kind));
    }
}

TEST_F(ListReports, LongTextsStayInsideTheirCells) {
    const QString longText = QString(QStringLiteral("Lorem ipsum dolor ")).repeated(112);
    ReportInput input;
    input.kind = kReportDailyPlan;
    input.tasks = {Task(longText.toUtf8().constData(), 1)};
    input.appts = {Appt(longText.toUtf8().constData(), 9)};
    PdfReport pdf(input, PdfReport::Letter(), Pdf("long.pdf"));
    const QImage image = pdf.PageImage(0);
    CReport& report = pdf.Report();
    const PrintRect r = report.GetPrintRect();
    const int L = report.LineHeight();
    const int A = report.AverageCharWidth();
    const int q = r.Width() / 4;
    const int xt = A / 2 + report.Column2();
    const int row = r.top + 3 * L;
    // The task's description stops before the priority; the appointment's before the divider.
    EXPECT_TRUE(HasInk(image, QRect(xt, row, q / 2, L)));
    EXPECT_FALSE(HasInk(image, QRect(xt + q - A / 2 + 1, row, A / 2 - 2, L)));
    EXPECT_FALSE(HasInk(image, QRect(report.Column2() + 2, row, A / 2 - 3, L)));
    // Nothing of either spills into the next line.
    EXPECT_FALSE(HasInk(image, QRect(r.left + 2, row + L + 2, report.Column2() - r.left - 4, L)));
    EXPECT_FALSE(HasInk(image, QRect(report.Column2() + 2, row + L + 2, r.right - report.Column2() - 4, L)));

    ReportInput book;
    book.kind = kReportAddressBook;
    CPerson person = Person("Jane", "Doe");
    person.m_Addr1 = longText.toUtf8().constData();
    person.m_WebPage = longText.toUtf8().constData();
    book.persons = {person, Person("Next", "Person")};
    PdfReport bookPdf(book, PdfReport::Letter(), Pdf("longbook.pdf"));
    const QImage bookImage = bookPdf.PageImage(0);
    CReport& bookReport = bookPdf.Report();
    const int bookL = bookReport.LineHeight();
    const int addressRow = bookReport.GetPrintRect().top + 2 * bookL + 3 * bookL;
    EXPECT_TRUE(HasInk(bookImage, QRect(bookReport.Column1(), addressRow, 100, bookL)));
    EXPECT_FALSE(HasInk(bookImage, QRect(bookReport.Column2() - bookReport.AverageCharWidth() + 1, addressRow,
                                         bookReport.AverageCharWidth() - 2, bookL)));
    const int webRow = bookReport.GetPrintRect().top + 2 * bookL + 6 * bookL;
    EXPECT_FALSE(HasInk(bookImage, QRect(bookReport.GetPrintRect().right - bookReport.AverageCharWidth() + 1,
                                         webRow, bookReport.AverageCharWidth() - 2, bookL)));
}

// On narrow paper and with wide margins the daily reports keep their columns in the frame: times,
// priority words and dates print whole, taking room from the description, and a description too
// long for what is left ends in an ellipsis at its column.
TEST_F(ListReports, NarrowLayoutsPrintFixedValuesWholeAndCutDescriptionsWithAnEllipsis) {
    const QString longDesc = QStringLiteral("Quarterly budget review with the regional accounts team");
    const struct {
        const char* name;
        ReportLayout layout;
        bool roomForAllValues;
    } layouts[] = {
        {"A5 portrait",
         {QPageSize(QPageSize::A5), QPageLayout::Portrait, QStringLiteral("Times New Roman"), 10, 750},
         true},
        {"Letter, 1.5 in margins",
         {QPageSize(QPageSize::Letter), QPageLayout::Portrait, QStringLiteral("DejaVu Serif"), 12, 1500},
         true},
        // Too narrow for everything: the description keeps a part of its column.
        {"A5 portrait, 1.5 in margins",
         {QPageSize(QPageSize::A5), QPageLayout::Portrait, QStringLiteral("DejaVu Serif"), 12, 1500},
         false},
    };
    for (int kind : {kReportDailyPlan, kReportDailyTasks, kReportDailyAppts}) {
        ReportInput input;
        input.kind = kind;
        CTask task = Task(longDesc.toUtf8().constData(), 1);
        task.m_DateDue = CDateTime(2027, 12, 31);
        input.tasks = {task};
        input.appts = {Appt(longDesc.toUtf8().constData(), 10)};
        for (const auto& row : layouts) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << ", " << row.name);
            PdfReport pdf(input, row.layout, Pdf("narrow.pdf"));
            ASSERT_TRUE(pdf.Write());
            const QString text = Squeezed(PdfPages(Pdf("narrow.pdf")).value(0));
            // The descriptions, cut: pdftotext spells the ellipsis as three dots.
            const int cut =
                static_cast<int>(text.count(QRegularExpression(QStringLiteral("Qu[a-z ]*\\.\\.\\."))));
            EXPECT_EQ(cut, kind == kReportDailyPlan ? 2 : 1) << text.toStdString();
            EXPECT_FALSE(text.contains(longDesc)) << text.toStdString();
            if (!row.roomForAllValues)
                continue;
            QStringList whole;
            if (kind != kReportDailyAppts)
                whole << QStringLiteral("Medium") << report_draw::ShortDate(task.m_DateDue);
            if (kind != kReportDailyTasks)
                whole << QStringLiteral("10:30 A 11:00 A");
            for (const QString& value : whole)
                EXPECT_TRUE(text.contains(value)) << value.toStdString() << "\n" << text.toStdString();
        }
    }
}

TEST_F(ListReports, NamesOutsideAsciiPrintWithTheirGlyphs) {
    ReportInput input;
    input.kind = kReportAddressBook;
    input.persons = {Person("Zoë", "Ångström"), Person("Łukasz", "Żółć"), Person("Иван", "Петров"),
                     Person("Νίκος", "Παππάς")};
    PdfReport pdf(input, PdfReport::Letter(), Pdf("names.pdf"));
    ASSERT_TRUE(pdf.Write());
    const QString text = PdfPages(Pdf("names.pdf")).value(0);
    for (const char* name : {"Zoë Ångström", "Łukasz Żółć", "Иван Петров", "Νίκος Παππάς"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(name))) << name;
}

} // namespace
