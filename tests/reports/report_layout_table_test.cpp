#include "reports/CalendarReports.h"
#include "reports/ReportDraw.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

// Every report on every paper, orientation, report font, size, margin and printer unprintable
// margin, read back from its PDF and from what the drawing helpers placed. The invariants of a
// printed page: no word lies outside the frame (the print rectangle); nothing but the footer sits
// on the footer's line and each page's footer numbers it; no two text boxes overlap; a text cut to
// its room ends in an ellipsis, and heads and values of a fixed form (times, priority words,
// dates) and short descriptions are never cut; every record the report has is drawn once; the
// words sit at the same place in the frame whatever the printer's unprintable margin; each day
// number of the month sits in its own week row. One test per report and paper keeps each run
// short, also in the sanitizer build.

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
    input.user.m_Company = "Ownerington Example Holdings Incorporated";
    input.user.m_Addr1 = "98765 South Saint Bartholomew Boulevard East";
    input.user.m_City = "North Featherstonehaugh Springs";
    input.user.m_State = "Massachusetts";
    input.user.m_Zip = "02134-5678";
    input.businessNameInAddress = true;
    input.businessNameInReturnAddress = true;
    // The week of Sunday 28 March 2027, across two months; October 2027 fills all six week rows.
    input.weekFirst = CDateTime(2027, 3, 28);
    input.weekLast = CDateTime(2027, 4, 3);
    input.month = 10;
    input.year = 2027;
    for (int i = 0; i < 80; ++i) {
        CDateTime date(2027, 12, 31);
        if (kind == kReportWeek)
            date = input.weekFirst + CDateTimeSpan(i % 7, 0, 0, 0);
        else if (kind == kReportMonth)
            date = CDateTime(2027, 10, 1 + i % 31);
        CTask task;
        task.m_Desc = (i % 5 == 0 ? kLongWord + QStringLiteral(" and the quarterly report %1").arg(i)
                                  : QStringLiteral("Task %1").arg(i))
                          .toUtf8()
                          .constData();
        task.m_Priority = 1 + i % 3;
        task.m_DateDue = date;
        input.tasks.push_back(task);
        CAppt appt;
        appt.m_Desc = (i % 4 == 0 ? kLongWord + QStringLiteral(" meeting on the annual budget %1").arg(i)
                                  : QStringLiteral("Meeting %1").arg(i))
                          .toUtf8()
                          .constData();
        appt.m_DateDue = date;
        appt.m_StartTime = CDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 10 + i % 3, 45);
        appt.m_EndTime = CDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 11 + i % 3, 45);
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

QString Squeezed(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

QString PersonName(const CPerson& p) {
    return p.m_FName.IsEmpty() ? report_draw::Text(p.m_LName)
                               : report_draw::Text(p.m_FName) + ' ' + report_draw::Text(p.m_LName);
}

// The texts that stand for the report's records, each drawn once: a person's name (on an envelope
// its whole address, on its own page), a task's or an appointment's description, or, in the
// calendars, the line of a day's text that names the record. Page -1 for any page.
std::vector<std::pair<int, QString>> RecordTexts(const ReportInput& input) {
    std::vector<std::pair<int, QString>> texts;
    const auto& persons = input.persons;
    switch (input.kind) {
    case kReportAddressBook:
        for (const CPerson& p : persons)
            texts.emplace_back(-1, PersonName(p));
        break;
    case kReportEnvelopes:
        for (size_t i = 0; i < persons.size(); ++i) {
            const CPerson& p = persons[i];
            const int page = static_cast<int>(i);
            texts.emplace_back(page, PersonName(p));
            texts.emplace_back(page, report_draw::Text(p.m_Company));
            texts.emplace_back(page, report_draw::Text(p.m_Addr1));
            if (!p.m_Addr2.IsEmpty())
                texts.emplace_back(page, report_draw::Text(p.m_Addr2));
            texts.emplace_back(page, QStringLiteral("%1, %2 %3")
                                         .arg(report_draw::Text(p.m_City), report_draw::Text(p.m_State),
                                              report_draw::Text(p.m_Zip)));
        }
        break;
    case kReportWeek:
    case kReportMonth:
        for (const CAppt& appt : input.appts)
            texts.emplace_back(-1, report_draw::ShortTime(appt.m_StartTime) + ' ' +
                                       report_draw::Text(appt.m_Desc));
        for (const CTask& task : input.tasks)
            texts.emplace_back(-1, report_draw::Text(task.m_Desc));
        break;
    default:
        if (input.kind != kReportDailyAppts) {
            for (const CTask& task : input.tasks)
                texts.emplace_back(-1, report_draw::Text(task.m_Desc));
        }
        if (input.kind != kReportDailyTasks) {
            for (const CAppt& appt : input.appts)
                texts.emplace_back(-1, report_draw::Text(appt.m_Desc));
        }
    }
    return texts;
}

// Texts a reader must see whole: the column heads, the times, priority words and dates of the
// daily reports, and their short descriptions.
QSet<QString> WholeTexts(const ReportInput& input) {
    QSet<QString> whole;
    if (input.kind != kReportDailyPlan && input.kind != kReportDailyTasks && input.kind != kReportDailyAppts)
        return whole;
    whole << QStringLiteral("START") << QStringLiteral("END") << QStringLiteral("APPOINTMENT")
          << QStringLiteral("TASK") << QStringLiteral("PRIORITY") << QStringLiteral("DUE DATE");
    for (const CTask& task : input.tasks) {
        whole << report_draw::PriorityWord(task.m_Priority) << report_draw::ShortDate(task.m_DateDue);
        if (task.m_Desc.GetLength() <= 10)
            whole << report_draw::Text(task.m_Desc);
    }
    for (const CAppt& appt : input.appts) {
        whole << report_draw::ShortTime(appt.m_StartTime) << report_draw::ShortTime(appt.m_EndTime);
        if (appt.m_Desc.GetLength() <= 10)
            whole << report_draw::Text(appt.m_Desc);
    }
    return whole;
}

// What the drawing helpers placed on each page of a report.
class TextLog : public report_draw::TextWatcher {
public:
    struct Box {
        int page;
        QRect box;
        QString text;
    };
    struct Fit {
        int page;
        QString text;
        QString shown;
    };

    TextLog() : m_previous(report_draw::WatchText(this)) {}
    ~TextLog() override { report_draw::WatchText(m_previous); }
    TextLog(const TextLog&) = delete;
    TextLog& operator=(const TextLog&) = delete;

    void Drawn(const QRect& box, const QString& text) override { boxes.push_back({page, box, text}); }
    void Fitted(const QString& text, const QString& shown) override { fits.push_back({page, text, shown}); }

    int page = 0;
    std::vector<Box> boxes;
    std::vector<Fit> fits;

private:
    report_draw::TextWatcher* m_previous;
};

// A report's PDF written with the log following each page.
class WatchedPdf : public PdfReport {
public:
    WatchedPdf(const ReportInput& input, const ReportLayout& layout, const QString& file)
        : PdfReport(input, layout, file) {}
    bool PrintPage(unsigned page, QPainter& dc) override {
        log.page = static_cast<int>(page);
        return PdfReport::PrintPage(page, dc);
    }
    TextLog log;
};

const QString kEllipsis(QChar(0x2026));
// Line boxes of adjacent lines in a bold and a normal font may share a pixel or two, where no glyph
// reaches; boxes overlap when they share more than the tolerance in both directions.
constexpr int kOverlap = static_cast<int>(kTolerance * PdfReport::kDpi / 72);

QString Describe(const QRect& box) {
    return QStringLiteral("(%1, %2)-(%3, %4)")
        .arg(box.left())
        .arg(box.top())
        .arg(box.right() + 1)
        .arg(box.bottom() + 1);
}

// Checks the page-level invariants of one rendering and returns its words measured from the
// frame's top left corner.
std::vector<std::vector<PdfWord>> CheckRendering(WatchedPdf& pdf, const ReportInput& input,
                                                 const QString& file) {
    std::vector<std::vector<PdfWord>> fromFrame;
    CReport& report = pdf.Report();
    const int pageCount = report.GetPageCount();
    EXPECT_GT(pageCount, 0);
    if (pageCount <= 0 || !pdf.Write()) {
        ADD_FAILURE() << "no PDF written";
        return fromFrame;
    }
    const auto pages = PdfWordBoxes(file);
    EXPECT_EQ(static_cast<int>(pages.size()), pageCount);
    const PrintRect rect = report.GetPrintRect();
    const QRectF frame = pdf.InPoints(rect);
    const QRectF footerLine =
        pdf.InPoints({rect.left, rect.bottom - report.LineHeight(), rect.right, rect.bottom});
    const QRectF inside = frame.adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance);
    for (size_t page = 0; page < pages.size(); ++page) {
        QStringList outside;
        QStringList onFooterLine;
        fromFrame.emplace_back();
        for (const PdfWord& word : pages[page]) {
            if (!inside.contains(word.box))
                outside << QStringLiteral("\"%1\" at %2").arg(word.text, Describe(word.box));
            if (word.box.bottom() > footerLine.top() + kTolerance &&
                word.box.top() < footerLine.bottom() - kTolerance)
                onFooterLine << word.text;
            fromFrame.back().push_back({word.box.translated(-frame.topLeft()), word.text});
        }
        EXPECT_TRUE(outside.isEmpty()) << "page " << page + 1 << ", frame " << Describe(frame).toStdString()
                                       << ": " << outside.join(QStringLiteral("; ")).toStdString();
        const QString footer = FooterOf(input.kind, static_cast<int>(page), pageCount);
        if (!footer.isEmpty()) {
            EXPECT_EQ(onFooterLine.join(' ').toStdString(), footer.toStdString()) << "page " << page + 1;
        }
    }

    const TextLog& log = pdf.log;
    QStringList overlaps;
    for (size_t i = 0; i < log.boxes.size(); ++i) {
        for (size_t j = i + 1; j < log.boxes.size(); ++j) {
            const TextLog::Box& a = log.boxes[i];
            const TextLog::Box& b = log.boxes[j];
            const QRect common = a.box.intersected(b.box);
            if (a.page == b.page && common.width() > kOverlap && common.height() > kOverlap)
                overlaps << QStringLiteral("page %1: \"%2\" %3 and \"%4\" %5")
                                .arg(a.page + 1)
                                .arg(a.text, Describe(a.box), b.text, Describe(b.box));
        }
    }
    EXPECT_TRUE(overlaps.isEmpty()) << overlaps.mid(0, 8).join('\n').toStdString();

    const QSet<QString> whole = WholeTexts(input);
    QStringList badCuts;
    std::map<std::pair<int, QString>, int> drawnLines;
    for (const TextLog::Fit& fit : log.fits) {
        if (fit.text.trimmed().isEmpty())
            continue;
        const bool complete = Squeezed(fit.shown) == Squeezed(fit.text);
        if (!complete && (fit.shown.isEmpty() || !fit.shown.endsWith(kEllipsis) || whole.contains(fit.text)))
            badCuts << QStringLiteral("page %1: \"%2\" as \"%3\"").arg(fit.page + 1).arg(fit.text, fit.shown);
        for (const QString& line : fit.text.split(QChar('\n'), Qt::SkipEmptyParts)) {
            ++drawnLines[{fit.page, line}];
            ++drawnLines[{-1, line}];
        }
    }
    EXPECT_TRUE(badCuts.isEmpty()) << badCuts.mid(0, 8).join('\n').toStdString();
    QStringList missing;
    for (const auto& [page, text] : RecordTexts(input)) {
        const int times = drawnLines[{page, text}];
        if (times != 1)
            missing << QStringLiteral("\"%1\" drawn %2 times").arg(text).arg(times);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.mid(0, 8).join('\n').toStdString();

    if (auto* month = dynamic_cast<CMonthReport*>(&report)) {
        // The grid: a title band, the weekday heads, then one band a week from the first's weekday.
        const QRect grid = month->GridRect();
        const int cw = grid.width() / 7;
        const int bh = grid.height() / 8;
        const int first = CDateTime(input.year, input.month, 1).GetDayOfWeek() - 1;
        QStringList misplaced;
        for (int day = 1; day <= month->DayCount(); ++day) {
            const int cell = first + day - 1;
            const QRect dayCell(grid.left() + cell % 7 * cw, grid.top() + (2 + cell / 7) * bh, cw, bh);
            const bool numbered = std::any_of(log.boxes.begin(), log.boxes.end(), [&](const TextLog::Box& b) {
                return b.text == QString::number(day) && dayCell.contains(b.box);
            });
            if (!numbered || !dayCell.contains(month->DayRect(day)))
                misplaced << QStringLiteral("%1 in %2").arg(day).arg(Describe(dayCell));
        }
        EXPECT_TRUE(misplaced.isEmpty()) << misplaced.join("; ").toStdString();
    }
    return fromFrame;
}

class ReportLayoutTable : public testing::TestWithParam<std::tuple<int, int>> {
protected:
    void SetUp() override { TestApp(); }
    TempDir m_dir;
};

TEST_P(ReportLayoutTable, PagesKeepTheirInvariants) {
    const Kind& kind = kKinds[std::get<0>(GetParam())];
    const Paper& paper = kPapers[std::get<1>(GetParam())];
    const ReportInput input = InputOfKind(kind.kind);
    const QString file = QString::fromUtf8(m_dir.File("table.pdf").c_str());
    for (QPageLayout::Orientation orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        const QString orientationName =
            orientation == QPageLayout::Portrait ? QStringLiteral("portrait") : QStringLiteral("landscape");
        for (const char* face : kFaces) {
            for (int points : {8, 10, 12}) {
                for (int margin : {500, 1500}) {
                    std::vector<std::vector<PdfWord>> reference;
                    for (double unprintable : {0.0, 10.0}) {
                        const ReportLayout layout{
                            QPageSize(paper.id), orientation, QString::fromLatin1(face), points, margin,
                            unprintable};
                        const QString row =
                            QStringLiteral("%1 %2 %3, %4 %5 pt, margins %6 in, unprintable %7 mm")
                                .arg(QString::fromLatin1(kind.name), QString::fromLatin1(paper.name),
                                     orientationName, layout.face)
                                .arg(points)
                                .arg(margin / 1000.0)
                                .arg(unprintable);
                        SCOPED_TRACE(row.toStdString());
                        WatchedPdf pdf(input, layout, file);
                        const auto words = CheckRendering(pdf, input, file);
                        if (layout.face == QLatin1String(kFaces[0]) && points == 12 && unprintable > 0)
                            KeepArtifact(file, QStringLiteral("layout_%1_%2_%3_12pt_%4in.pdf")
                                                   .arg(QString::fromLatin1(kind.name),
                                                        QString::fromLatin1(paper.name), orientationName)
                                                   .arg(margin / 1000.0));
                        if (reference.empty()) {
                            reference = words;
                            continue;
                        }
                        // The same words at the same places in the frame.
                        ASSERT_EQ(words.size(), reference.size());
                        QStringList moved;
                        for (size_t page = 0; page < words.size(); ++page) {
                            ASSERT_EQ(words[page].size(), reference[page].size()) << "page " << page + 1;
                            for (size_t w = 0; w < words[page].size(); ++w) {
                                const PdfWord& a = reference[page][w];
                                const PdfWord& b = words[page][w];
                                if (a.text != b.text || std::abs(a.box.left() - b.box.left()) > kTolerance ||
                                    std::abs(a.box.top() - b.box.top()) > kTolerance)
                                    moved << QStringLiteral("page %1: \"%2\" at %3 without, \"%4\" at %5")
                                                 .arg(page + 1)
                                                 .arg(a.text, Describe(a.box), b.text, Describe(b.box));
                            }
                        }
                        EXPECT_TRUE(moved.isEmpty()) << moved.mid(0, 8).join('\n').toStdString();
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
