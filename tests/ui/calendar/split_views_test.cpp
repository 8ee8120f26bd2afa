#include "data/DbDoc.h"
#include "platform/core/Registry.h"
#include "platform/core/WinTime.h"
#include "platform/qt/ChromeColors.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/ProgramDir.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PhoneBookPane.h"
#include "ui/app/SplashDlg.h"
#include "ui/calendar/VwAppts.h"
#include "ui/calendar/VwCalendar.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/common/CaptionPane.h"
#include "ui/frame/MainFrame.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QMouseEvent>
#include <QSplitter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const char* const kInternational = "Control Panel\\International";

// Counts the notifications the document sends it.
class CountingObserver : public CDocObserver {
public:
    void OnUpdate() override { ++updates; }
    void OnDocumentModified() override { ++modifications; }
    int updates = 0;
    int modifications = 0;
};

QString Caption(const QWidget* pane) {
    auto* captioned = dynamic_cast<const CCaptionPane*>(pane);
    return captioned ? captioned->CaptionText() : QString();
}

QDate Selected(const CVwDaySplit& view) {
    return view.CalendarPane()->Calendar()->selectedDate();
}

// A top-level window that takes the commands its split view passes up.
class RecordingFrame : public QWidget, public CCommandTarget {
public:
    bool OnCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    std::vector<int> commands;
};

class SplitViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetRegistry(&m_registry);
        m_registry.CreateKey(kInternational);
        m_registry.WriteString(kInternational, "sLongDate", "dddd, MMMM d, yyyy");
        SetLocalTimeForTesting(SYSTEMTIME{2026, 12, 5, 4, 9, 30, 0, 0});
        g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
        m_standard = std::make_unique<CVwDaySplit>(CVwDaySplit::Kind::Standard);
        m_dayPlan = std::make_unique<CVwDaySplit>(CVwDaySplit::Kind::DayPlan);
        m_observer.Attach(&g_doc);
    }

    void TearDown() override {
        m_observer.Detach();
        m_standard.reset();
        m_dayPlan.reset();
        if (g_doc.IsOpen())
            g_db.Close();
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    void OpenDocument() {
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Planner").c_str(), error));
        g_doc.SetCurrentDate(CDateTime(2026, 12, 10));
        m_observer.updates = 0;
        m_observer.modifications = 0;
    }

    MemoryRegistry m_registry;
    TempDir m_dir;
    CountingObserver m_observer;
    std::unique_ptr<CVwDaySplit> m_standard;
    std::unique_ptr<CVwDaySplit> m_dayPlan;
};

TEST_F(SplitViewsTest, StandardViewHasCalendarAndPhoneBookAboveAppointmentsAndTasks) {
    CVwDaySplit& view = *m_standard;
    ASSERT_EQ(view.OuterSplitter()->orientation(), Qt::Vertical);
    ASSERT_EQ(view.OuterSplitter()->count(), 2);
    EXPECT_EQ(view.OuterSplitter()->widget(0), view.TopSplitter());
    EXPECT_EQ(view.OuterSplitter()->widget(1), view.BottomSplitter());
    EXPECT_EQ(view.TopSplitter()->orientation(), Qt::Horizontal);
    EXPECT_EQ(view.BottomSplitter()->orientation(), Qt::Horizontal);

    ASSERT_EQ(view.TopSplitter()->count(), 2);
    EXPECT_EQ(view.TopSplitter()->widget(0), view.CalendarPane());
    EXPECT_EQ(view.TopSplitter()->widget(1), view.PhoneBookPane());
    ASSERT_EQ(view.BottomSplitter()->count(), 2);
    EXPECT_EQ(view.BottomSplitter()->widget(0), view.ApptsPane());
    EXPECT_EQ(view.BottomSplitter()->widget(1), view.TasksPane());

    EXPECT_EQ(view.PhoneBookPane()->windowTitle(), "Telephone Book");
    EXPECT_NE(dynamic_cast<CPhoneBookPane*>(view.PhoneBookPane()), nullptr);
    EXPECT_EQ(Caption(view.ApptsPane()), CVwAppts::CaptionFor(g_doc.GetCurrentDate()));
    EXPECT_EQ(Caption(view.TasksPane()),
              QStringLiteral("Tasks for ") +
                  QString::fromUtf8(g_doc.GetCurrentDate().FormatDate("MMM d, yyyy").c_str()));
    EXPECT_NE(FindControl<QCalendarWidget>(&view, CVwCalendar::kCalendarId), nullptr);
}

TEST_F(SplitViewsTest, DayPlanViewHasCalendarAndAppointmentsAboveTasksUnderTheAppointments) {
    CVwDaySplit& view = *m_dayPlan;
    EXPECT_EQ(view.PhoneBookPane(), nullptr);
    ASSERT_EQ(view.TopSplitter()->count(), 2);
    EXPECT_EQ(view.TopSplitter()->widget(0), view.CalendarPane());
    EXPECT_EQ(view.TopSplitter()->widget(1), view.ApptsPane());
    ASSERT_EQ(view.BottomSplitter()->count(), 2);
    EXPECT_EQ(view.BottomSplitter()->widget(0)->objectName(), "emptyPane");
    EXPECT_EQ(view.BottomSplitter()->widget(1), view.TasksPane());

    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    // The tasks pane starts where the appointments pane starts.
    EXPECT_EQ(view.TasksPane()->mapTo(&view, QPoint()).x(), view.ApptsPane()->mapTo(&view, QPoint()).x());
    EXPECT_EQ(view.TopSplitter()->sizes().at(0), view.CalendarPane()->TemplateSize().width());
}

TEST_F(SplitViewsTest, BothViewsStartAtTheSizeTheirPanesWereBuiltWith) {
    for (CVwDaySplit* view : {m_standard.get(), m_dayPlan.get()}) {
        SCOPED_TRACE(view->objectName().toStdString());
        view->resize(view->sizeHint());
        view->show();
        QApplication::processEvents();
        const QSize calendar = view->CalendarPane()->TemplateSize();
        EXPECT_EQ(view->TopSplitter()->sizes().at(0), calendar.width());
        // The top row is as high as the calendar or its neighbour, whichever is higher.
        const QWidget* topRight = view->TopSplitter()->widget(1);
        const auto* captioned = dynamic_cast<const CCaptionPane*>(topRight);
        const int topRightHeight =
            captioned ? captioned->TemplateSize().height() : topRight->sizeHint().height();
        EXPECT_EQ(view->OuterSplitter()->sizes().at(0), std::max(calendar.height(), topRightHeight));
        EXPECT_GE(view->TasksPane()->height(),
                  dynamic_cast<CCaptionPane*>(view->TasksPane())->TemplateSize().height());
    }
}

TEST_F(SplitViewsTest, CalendarStartsOnTodayWithItsLongDateAsCaption) {
    EXPECT_EQ(Selected(*m_standard), QDate(2026, 12, 4));
    EXPECT_EQ(m_standard->CalendarPane()->CaptionText(), "Friday, December 4, 2026");
    EXPECT_EQ(m_standard->CalendarPane()->windowTitle(), "Friday, December 4, 2026");
}

TEST_F(SplitViewsTest, ChoosingADayWithoutADocumentOnlyStoresTheDate) {
    m_dayPlan->CalendarPane()->Calendar()->setSelectedDate(QDate(2026, 12, 9));
    const CDateTime date = g_doc.GetCurrentDate();
    EXPECT_EQ(date.GetYear(), 2026);
    EXPECT_EQ(date.GetMonth(), 12);
    EXPECT_EQ(date.GetDay(), 9);
    EXPECT_TRUE(date.IsMidnight());
    EXPECT_EQ(m_dayPlan->CalendarPane()->CaptionText(), "Wednesday, December 9, 2026");
    EXPECT_EQ(m_observer.updates, 0);
    EXPECT_EQ(Selected(*m_standard), QDate(2026, 12, 4));
}

// Counts its own update notifications.
class CountingCalendar : public CVwCalendar {
public:
    void OnUpdate() override {
        ++updates;
        CVwCalendar::OnUpdate();
    }
    int updates = 0;
};

TEST_F(SplitViewsTest, ChoosingADayMovesTheOtherViewsCalendarButDoesNotNotifyTheSender) {
    OpenDocument();
    CountingCalendar sender;
    sender.Calendar()->setSelectedDate(QDate(2027, 1, 31));

    EXPECT_EQ(sender.updates, 0);
    EXPECT_EQ(m_observer.updates, 1);
    EXPECT_EQ(m_observer.modifications, 0);
    EXPECT_EQ(Selected(*m_standard), QDate(2027, 1, 31));
    EXPECT_EQ(Selected(*m_dayPlan), QDate(2027, 1, 31));
    EXPECT_EQ(m_standard->CalendarPane()->CaptionText(), "Sunday, January 31, 2027");
    EXPECT_EQ(sender.CaptionText(), "Sunday, January 31, 2027");
    EXPECT_EQ(g_doc.GetCurrentDate().GetValue(), CDateTime(2027, 1, 31).GetValue());

    // The day-plan view's own calendar as the sender: the standard one follows.
    m_dayPlan->CalendarPane()->Calendar()->setSelectedDate(QDate(2027, 2, 1));
    EXPECT_EQ(sender.updates, 1);
    EXPECT_EQ(Selected(*m_standard), QDate(2027, 2, 1));
    EXPECT_EQ(sender.SelectedDate().GetValue(), CDateTime(2027, 2, 1).GetValue());
}

TEST_F(SplitViewsTest, CalendarsFollowADateSetElsewhere) {
    OpenDocument();
    g_doc.SetCurrentDate(CDateTime(2028, 2, 29));
    g_doc.UpdateAllViews(&m_observer);
    for (CVwDaySplit* view : {m_standard.get(), m_dayPlan.get()}) {
        EXPECT_EQ(Selected(*view), QDate(2028, 2, 29));
        EXPECT_EQ(view->CalendarPane()->CaptionText(), "Tuesday, February 29, 2028");
    }
    // Following the document is no choice of the user: nobody else is told again.
    EXPECT_EQ(m_observer.updates, 0);
}

TEST_F(SplitViewsTest, CalendarDoesNotReloadOnAPlainDataChange) {
    OpenDocument();
    g_doc.SetCurrentDate(CDateTime(2026, 12, 24));
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(m_observer.modifications, 1);
    EXPECT_EQ(Selected(*m_standard), QDate(2026, 12, 4));
    EXPECT_EQ(m_standard->CalendarPane()->CaptionText(), "Friday, December 4, 2026");
}

TEST_F(SplitViewsTest, WideningTheViewWidensTheCalendarButKeepsItsHeight) {
    CVwDaySplit& view = *m_standard;
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    QCalendarWidget* calendar = view.CalendarPane()->Calendar();
    const QSize before = calendar->size();
    view.TopSplitter()->setSizes({before.width() + 120, view.TopSplitter()->sizes().at(1) - 120});
    view.resize(view.width() + 200, view.height() + 150);
    QApplication::processEvents();
    EXPECT_GT(calendar->width(), before.width());
    EXPECT_EQ(calendar->height(), before.height());
}

TEST_F(SplitViewsTest, PanesPassCommandsUpToTheFrame) {
    RecordingFrame frame;
    auto* view = new CVwDaySplit(CVwDaySplit::Kind::Standard, &frame);
    EXPECT_EQ(CVwDaySplit::Of(view->TasksPane()), view);
    EXPECT_EQ(CVwDaySplit::Of(view->CalendarPane()->Calendar()), view);
    EXPECT_EQ(CVwDaySplit::Of(&frame), nullptr);
    EXPECT_TRUE(view->PassToFrame(32771));
    EXPECT_EQ(frame.commands, std::vector<int>{32771});
    // A routed command no pane knows is reported unhandled and does not come back up.
    EXPECT_FALSE(view->OnCommand(32771));
    EXPECT_EQ(frame.commands.size(), 1u);
}

TEST_F(SplitViewsTest, ScreenshotsOfBothViews) {
    for (CVwDaySplit* view : {m_standard.get(), m_dayPlan.get()}) {
        view->resize(view->sizeHint());
        view->show();
        QApplication::processEvents();
        EXPECT_FALSE(SaveScreenshot(view, view->objectName()).isEmpty());
    }
}

// The frame's context-help mode over the calendar pane of the frame's standard view.
class CalendarHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        g_programDir = "/opt/pelmora";
        ClearLastHelpRequest();
        ASSERT_TRUE(m_frame.Create());
        m_frame.show();
        QApplication::processEvents();
    }
    void TearDown() override {
        CMainFrame::s_contextHelpMode = false;
        if (HelpWindow())
            HelpWindow()->close();
        g_programDir = "";
    }

    // Presses on the frame at the calendar control's centre (the frame hands the click to the pane
    // under it), then releases there; answers the pane the release went to.
    QWidget* ClickOnCalendar(const QPoint& inCalendar) {
        CVwCalendar* pane = m_frame.StandardView()->CalendarPane();
        const QPoint global = pane->Calendar()->mapToGlobal(inCalendar);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(m_frame.mapFromGlobal(global)), QPointF(global),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&m_frame, &press);
        QWidget* grabber = QWidget::mouseGrabber();
        if (!grabber)
            return nullptr;
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(grabber->mapFromGlobal(global)),
                            QPointF(global), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grabber, &release);
        return grabber;
    }

    FrameEnvironment env;
    ScriptedPrompt prompt;
    CMainFrame m_frame;
};

TEST_F(CalendarHelpTest, AClickOnTheCalendarOpensItsHelpAndEndsTheMode) {
    m_frame.OnCommand(57669);
    ASSERT_TRUE(CMainFrame::s_contextHelpMode);
    QCalendarWidget* calendar = m_frame.StandardView()->CalendarPane()->Calendar();
    EXPECT_EQ(ClickOnCalendar(calendar->rect().center()), m_frame.StandardView()->CalendarPane());
    EXPECT_EQ(LastHelpRequest().url, "/opt/pelmora\\pelmo.chm::/html/calendar.htm>topic");
    EXPECT_FALSE(CMainFrame::s_contextHelpMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(CalendarHelpTest, AClickOnThePaneBesideItsControlsKeepsTheMode) {
    m_frame.OnCommand(57669);
    CVwCalendar* pane = m_frame.StandardView()->CalendarPane();
    QCalendarWidget* calendar = pane->Calendar();
    // Below the month calendar the pane is empty.
    const QPoint below(calendar->width() / 2, calendar->height() + 5);
    ASSERT_LT(calendar->mapTo(pane, below).y(), pane->height());
    EXPECT_EQ(ClickOnCalendar(below), pane);
    EXPECT_TRUE(LastHelpRequest().url.IsEmpty());
    EXPECT_TRUE(CMainFrame::s_contextHelpMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// A change of the desktop's scheme while the program runs reaches the calendar's days as a whole:
// the fills it sets itself follow the new palette with the texts, so no day is drawn white on white.
TEST(CalendarPane, APaletteChangeKeepsTheDaysReadable) {
    TestApp();
    const QPalette saved = QApplication::palette();
    CVwCalendar pane;
    pane.show();
    QApplication::setPalette(DarkTestPalette());
    QApplication::processEvents();
    auto* days = pane.Calendar()->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    const QPalette drawn = days->palette();
    EXPECT_GE(ContrastRatio(drawn.color(QPalette::Active, QPalette::Base).rgb(),
                            drawn.color(QPalette::Active, QPalette::Text).rgb()),
              4.5);
    EXPECT_EQ(drawn.color(QPalette::Active, QPalette::Base),
              DarkTestPalette().color(QPalette::Active, QPalette::Base));
    QApplication::setPalette(saved);
}

// A dark scheme as a palette that sets one text colour for every state, as many do, or as a style
// sheet that sets only a fill and a text colour: the weekday header reads on its fill, and the days of
// the neighbouring months stay readable but plainly paler than the month's own days.
TEST(CalendarPane, UnderADarkSchemeTheWeekdaysReadAndOtherMonthsAreDimmed) {
    TestApp();
    const QPalette saved = QApplication::palette();
    QPalette oneTextColour = DarkTestPalette();
    oneTextColour.setColor(QPalette::Disabled, QPalette::Text, oneTextColour.color(QPalette::Text));
    struct Scheme {
        const char* name;
        QPalette palette;
        QString styleSheet;
    };
    const Scheme schemes[] = {
        {"palette", oneTextColour, QString()},
        {"style_sheet", saved, QStringLiteral("QWidget { background-color: #2b2b2b; color: #f0f0f0; }")},
        {"light", saved, QString()},
    };
    for (const Scheme& scheme : schemes) {
        SCOPED_TRACE(scheme.name);
        QApplication::setPalette(scheme.palette);
        qApp->setStyleSheet(scheme.styleSheet);
        {
            CVwCalendar pane;
            pane.resize(260, 220);
            pane.show();
            pane.OnSelectionChange(2026, 12, 10);
            QApplication::processEvents();
            SaveScreenshot(&pane, QStringLiteral("calendar_scheme_%1").arg(QLatin1String(scheme.name)));
            QCalendarWidget* calendar = pane.Calendar();
            auto* days = calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
            ASSERT_NE(days, nullptr);
            const QAbstractItemModel* model = days->model();
            const auto colour = [&](int row, int column, int role) {
                return model->data(model->index(row, column), role).value<QColor>().rgb();
            };
            const QImage drawn = days->viewport()->grab().toImage();
            // Row 0 holds the weekday names; the first column is the locale's first day of the week.
            for (int column = 0; column < 7; ++column) {
                const int dayOfWeek = (calendar->firstDayOfWeek() - 1 + column) % 7 + 1;
                if (dayOfWeek == Qt::Saturday || dayOfWeek == Qt::Sunday)
                    continue;
                SCOPED_TRACE(dayOfWeek);
                EXPECT_GE(ContrastRatio(colour(0, column, Qt::BackgroundRole),
                                        colour(0, column, Qt::ForegroundRole)),
                          4.5);
                const QRect cell = days->visualRect(model->index(0, column));
                const QRgb fill = drawn.pixel(
                    (QPointF(cell.topLeft() + QPoint(1, 1)) * drawn.devicePixelRatio()).toPoint());
                EXPECT_GE(StrongestContrast(drawn, cell.adjusted(1, 1, -1, -1), fill), 4.5);
            }
            // December 2026 begins on a Tuesday and ends on a Thursday: the first row shows late
            // November, the last rows early January.
            const QRgb fill = days->palette().color(QPalette::Active, QPalette::Base).rgb();
            QRgb ownDay = 0;
            std::vector<QRgb> otherDays;
            for (int row = 1; row <= 6; ++row)
                for (int column = 0; column < 7; ++column) {
                    const int day = model->data(model->index(row, column), Qt::DisplayRole).toInt();
                    if ((row == 1 && day > 7) || (row >= 5 && day < 15))
                        otherDays.push_back(colour(row, column, Qt::ForegroundRole));
                    else if (day == 10)
                        ownDay = colour(row, column, Qt::ForegroundRole);
                }
            ASSERT_FALSE(otherDays.empty());
            EXPECT_GE(ContrastRatio(ownDay, fill), 4.5);
            for (const QRgb other : otherDays) {
                EXPECT_GE(ContrastRatio(other, fill), 2.5) << "readable";
                EXPECT_GE(ContrastRatio(other, ownDay), 1.5) << "dimmed";
                EXPECT_LT(ContrastRatio(other, fill), ContrastRatio(ownDay, fill))
                    << "paler than the month's days";
            }
        }
        qApp->setStyleSheet(QString());
    }
    QApplication::setPalette(saved);
}

} // namespace
