#include "reports/ReportDraw.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

// Every report on every paper, orientation, report font, size and margin, read back from its PDF:
// no word lies outside the frame (the print rectangle), nothing but the footer sits on the footer's
// line, and each page's footer numbers it. One test per report and paper keeps each run short, also
// in the sanitizer build.

namespace {

constexpr double kTolerance = 0.75; // points

const QString kLongMail =
    QStringLiteral("bartholomew.featherstonehaugh@accounts-payable.example-holdings.com");
const QString kLongWeb =
    QStringLiteral("www.example-holdings.com/people/bartholomew-featherstonehaugh/profile");
const QString kLongWord = QStringLiteral("Featherstonehaugh-Cholmondeley-Marjoribanks");

ReportInput InputOfKind(int kind) {
    ReportInput input;
    input.kind = kind;
    // Enough persons for several address-book pages on every paper; three envelopes show each case.
    const int persons = kind == kReportEnvelopes ? 3 : 20;
    for (int i = 0; i < persons; ++i) {
        CPerson p;
        p.m_FName = "Bartholomew";
        p.m_LName = QStringLiteral("Featherstonehaugh%1").arg(i, 2, 10, QChar('0')).toUtf8().constData();
        p.m_Company = "Consolidated Example Holdings International";
        p.m_Position = "Deputy Assistant Regional Vice President";
        p.m_Addr1 = "12345 North Saint Bartholomew Boulevard West";
        if (i % 2 == 0)
            p.m_Addr2 = "Building 7, Suite 1200, Attention Accounts Payable";
        p.m_City = "South Featherstonehaugh Springs";
        p.m_State = "Massachusetts";
        p.m_Zip = "02134-5678";
        p.m_HmPhone = "(555) 555-0100";
        p.m_WkPhone = "(555) 555-0199";
        if (i % 3 == 0)
            p.m_WkExt = "12345";
        p.m_WkFax = "(555) 555-0198";
        p.m_Email = kLongMail.toUtf8().constData();
        p.m_Pager = "(555) 555-0197";
        p.m_CelPhone = "(555) 555-0196";
        p.m_WebPage = kLongWeb.toUtf8().constData();
        input.persons.push_back(p);
    }
    input.user.m_FName = "Olga";
    input.user.m_LName = "Ownerington-Featherstonehaugh";
    input.user.m_Company = "Consolidated Example Holdings International";
    input.user.m_Addr1 = "98765 South Saint Bartholomew Boulevard East";
    input.user.m_City = "North Featherstonehaugh Springs";
    input.user.m_State = "Massachusetts";
    input.user.m_Zip = "02134-5678";
    input.businessNameInAddress = true;
    input.businessNameInReturnAddress = true;
    // The week of Sunday 28 March 2027, inside March 2027 for the month.
    input.weekFirst = CDateTime(2027, 3, 28);
    input.weekLast = CDateTime(2027, 4, 3);
    input.month = 3;
    input.year = 2027;
    for (int i = 0; i < 80; ++i) {
        const int day = kind == kReportWeek ? 28 + i % 4 : 1 + i % 31;
        CTask task;
        task.m_Desc = (i % 5 == 0 ? kLongWord + QStringLiteral(" and the quarterly report %1").arg(i)
                                  : QStringLiteral("Task %1").arg(i))
                          .toUtf8()
                          .constData();
        task.m_Priority = 1 + i % 3;
        task.m_DateDue = CDateTime(2027, 12, 31);
        if (kind == kReportWeek || kind == kReportMonth)
            task.m_DateDue = CDateTime(2027, 3, day);
        input.tasks.push_back(task);
        CAppt appt;
        appt.m_Desc = (i % 4 == 0 ? kLongWord + QStringLiteral(" meeting on the annual budget %1").arg(i)
                                  : QStringLiteral("Meeting %1").arg(i))
                          .toUtf8()
                          .constData();
        appt.m_DateDue = CDateTime(2027, 3, day);
        appt.m_StartTime = CDateTime(2027, 3, day, 10 + i % 3, 45);
        appt.m_EndTime = CDateTime(2027, 3, day, 11 + i % 3, 45);
        input.appts.push_back(appt);
    }
    return input;
}

struct Kind {
    int kind;
    const char* name;
};
const Kind kKinds[] = {{kReportAddressBook, "AddressBook"}, {kReportEnvelopes, "Envelopes"},
                       {kReportDailyPlan, "DailyPlan"},     {kReportDailyTasks, "DailyTasks"},
                       {kReportDailyAppts, "DailyAppts"},   {kReportWeek, "WeeklyPlan"},
                       {kReportMonth, "MonthlyPlan"}};

struct Paper {
    QPageSize::PageSizeId id;
    const char* name;
};
const Paper kPapers[] = {{QPageSize::Letter, "Letter"}, {QPageSize::A4, "A4"}, {QPageSize::A5, "A5"}};

const char* const kFaces[] = {"Times New Roman", "Arial", "DejaVu Serif"};

// The footer a page of the kind shows; empty for the kinds without one.
QString FooterOf(int kind, int page, int pageCount) {
    switch (kind) {
    case kReportAddressBook:
        return QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount);
    case kReportDailyPlan:
    case kReportDailyTasks:
    case kReportDailyAppts:
        return QStringLiteral("Page %1").arg(page + 1);
    default:
        return QString();
    }
}

QString Describe(const QRectF& box) {
    return QStringLiteral("(%1, %2)-(%3, %4)")
        .arg(box.left(), 0, 'f', 1)
        .arg(box.top(), 0, 'f', 1)
        .arg(box.right(), 0, 'f', 1)
        .arg(box.bottom(), 0, 'f', 1);
}

class ReportLayoutTable : public testing::TestWithParam<std::tuple<int, int>> {
protected:
    void SetUp() override { TestApp(); }
    TempDir m_dir;
};

TEST_P(ReportLayoutTable, TextStaysInsideTheFrameAndOffTheFooterLine) {
    const Kind& kind = kKinds[std::get<0>(GetParam())];
    const Paper& paper = kPapers[std::get<1>(GetParam())];
    const ReportInput input = InputOfKind(kind.kind);
    const QString file = QString::fromUtf8(m_dir.File("table.pdf").c_str());
    for (QPageLayout::Orientation orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        for (const char* face : kFaces) {
            for (int points : {8, 10, 12}) {
                for (int margin : {500, 1500}) {
                    const ReportLayout layout{QPageSize(paper.id), orientation, QString::fromLatin1(face),
                                              points, margin};
                    const QString row =
                        QStringLiteral("%1 %2 %3, %4 %5 pt, margins %6 in")
                            .arg(QString::fromLatin1(kind.name), QString::fromLatin1(paper.name),
                                 orientation == QPageLayout::Portrait ? QStringLiteral("portrait")
                                                                      : QStringLiteral("landscape"),
                                 layout.face)
                            .arg(points)
                            .arg(margin / 1000.0);
                    SCOPED_TRACE(row.toStdString());
                    PdfReport pdf(input, layout, file);
                    CReport& report = pdf.Report();
                    const int pageCount = report.GetPageCount();
                    ASSERT_GT(pageCount, 0);
                    ASSERT_TRUE(pdf.Write());
                    if (layout.face == QLatin1String(kFaces[0]) && points == 12 && margin == 500)
                        KeepArtifact(file,
                                     QStringLiteral("layout_%1_%2_%3_12pt.pdf")
                                         .arg(QString::fromLatin1(kind.name), QString::fromLatin1(paper.name),
                                              orientation == QPageLayout::Portrait
                                                  ? QStringLiteral("portrait")
                                                  : QStringLiteral("landscape")));
                    const auto pages = PdfWordBoxes(file);
                    ASSERT_EQ(static_cast<int>(pages.size()), pageCount);
                    const PrintRect rect = report.GetPrintRect();
                    const QRectF frame = pdf.InPoints(rect);
                    const QRectF footerLine =
                        pdf.InPoints({rect.left, rect.bottom - report.LineHeight(), rect.right, rect.bottom});
                    const QRectF inside = frame.adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance);
                    for (int page = 0; page < pageCount; ++page) {
                        QStringList outside;
                        QStringList onFooterLine;
                        for (const PdfWord& word : pages[static_cast<size_t>(page)]) {
                            if (!inside.contains(word.box))
                                outside << QStringLiteral("\"%1\" at %2").arg(word.text, Describe(word.box));
                            if (word.box.bottom() > footerLine.top() + kTolerance &&
                                word.box.top() < footerLine.bottom() - kTolerance)
                                onFooterLine << word.text;
                        }
                        EXPECT_TRUE(outside.isEmpty())
                            << "page " << page + 1 << ", frame " << Describe(frame).toStdString() << ": "
                            << outside.join(QStringLiteral("; ")).toStdString();
                        const QString footer = FooterOf(kind.kind, page, pageCount);
                        if (!footer.isEmpty()) {
                            EXPECT_EQ(onFooterLine.join(' ').toStdString(), footer.toStdString())
                                << "page " << page + 1;
                        }
                    }
                }
            }
        }
    }
}

std::string RowName(const testing::TestParamInfo<std::tuple<int, int>>& info) {
    return std::string(kKinds[std::get<0>(info.param)].name) + "_" + kPapers[std::get<1>(info.param)].name;
}

INSTANTIATE_TEST_SUITE_P(EveryReport, ReportLayoutTable,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kKinds))),
                                          testing::Range(0, static_cast<int>(std::size(kPapers)))),
                         RowName);

} // namespace
