#include "reports/PrintPreview.h"

#include "tests/reports/report_pdf.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

ReportInput InputOfKind(int kind) {
    ReportInput input;
    input.kind = kind;
    for (int i = 0; i < 30; ++i) {
        CPerson person;
        person.m_FName = "Jane";
        person.m_LName = QStringLiteral("Doe%1").arg(i).toUtf8().constData();
        person.m_Addr1 = "1 Main St";
        person.m_City = "Springfield";
        person.m_State = "IL";
        person.m_Zip = "62701";
        input.persons.push_back(person);
    }
    input.user.m_FName = "Olga";
    input.user.m_LName = "Owner";
    const CDateTime day(2027, 3, 30);
    for (int i = 0; i < 80; ++i) {
        CTask task;
        task.m_Desc = QStringLiteral("Task %1").arg(i).toUtf8().constData();
        task.m_Priority = i % 4;
        task.m_DateDue = CDateTime(2027, 3, 28 + i % 4);
        input.tasks.push_back(task);
    }
    for (int i = 0; i < 5; ++i) {
        CAppt appt;
        appt.m_Desc = QStringLiteral("Meeting %1").arg(i).toUtf8().constData();
        appt.m_DateDue = day;
        appt.m_StartTime = CDateTime(2027, 3, 30, 9 + i, 0);
        appt.m_EndTime = CDateTime(2027, 3, 30, 10 + i, 0);
        input.appts.push_back(appt);
    }
    input.weekFirst = CDateTime(2027, 3, 28);
    input.weekLast = CDateTime(2027, 4, 3);
    input.month = 3;
    input.year = 2027;
    return input;
}

// How much of the widget's picture is not white.
int InkPixels(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            if (qGray(image.pixel(x, y)) < 128)
                ++ink;
        }
    }
    return ink;
}

TEST(ReportPreview, EveryKindPreviewsItsPagesAndTurnsThem) {
    TestApp();
    TempDir dir;
    const struct {
        int kind;
        const char* name;
    } kinds[] = {{kReportAddressBook, "address_book"}, {kReportEnvelopes, "envelopes"},
                 {kReportDailyPlan, "daily_plan"},     {kReportDailyTasks, "daily_tasks"},
                 {kReportDailyAppts, "daily_appts"},   {kReportWeek, "weekly_plan"},
                 {kReportMonth, "monthly_plan"}};
    for (const auto& kind : kinds) {
        PdfReport report(InputOfKind(kind.kind), PdfReport::Letter(),
                         QString::fromUtf8(dir.File("p.pdf").c_str()));
        const int pages = report.Report().GetPageCount();
        ASSERT_GE(pages, 1) << kind.name;
        CPrintPreviewWindow preview;
        preview.resize(640, 820);
        preview.SetPrintJob(&report.Printer(), &report, 0, pages - 1);
        preview.show();
        QApplication::processEvents();
        preview.SetPage(0);
        EXPECT_GT(InkPixels(preview), 0) << kind.name;
#ifdef PELM_ARTIFACTS_DIR
        EXPECT_FALSE(SaveScreenshot(&preview, QStringLiteral("report_preview_%1").arg(kind.name)).isEmpty());
#endif
        for (int page = 1; page < pages; ++page) {
            ASSERT_TRUE(preview.NextPage()) << kind.name << page;
            EXPECT_EQ(preview.GetPage(), page);
            EXPECT_GT(InkPixels(preview), 0) << kind.name << page;
        }
        EXPECT_FALSE(preview.NextPage()) << kind.name;
        EXPECT_EQ(preview.GetPage(), pages - 1);
        if (pages > 1) {
            EXPECT_TRUE(preview.PrevPage());
            EXPECT_EQ(preview.GetPage(), pages - 2);
        }
    }
}

} // namespace
