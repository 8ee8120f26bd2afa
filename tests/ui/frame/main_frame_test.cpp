#include "data/DbDoc.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Registry.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/ProgramDir.h"
#include "platform/qt/RecentDocumentList.h"
#include "platform/qt/Shell.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PersonSheet.h"
#include "ui/addressbook/PhoneBookFrame.h"
#include "ui/app/PelmoApp.h"
#include "ui/app/SplashDlg.h"
#include "ui/calendar/ApptSheet.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/WindowPlacement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

// These tests run with no document open; the document tests are in main_frame_document_test.

namespace {

const char* const kFiles = "Software\\Quillex\\Pelmora\\Files";
const char* const kAlarm = "Software\\Quillex\\Pelmora\\Alarm";

// Closes the program's frame once it is shown (polled, so a slow start-up is waited for); counts
// the frames it closed.
class FrameCloser {
public:
    FrameCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "CMainFrame" && w->isVisible() && !QApplication::activeModalWidget()) {
                    ++closed;
                    w->close();
                }
        });
        m_timer.start(20);
    }
    int closed = 0;

private:
    QTimer m_timer;
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        ASSERT_FALSE(g_doc.IsOpen());
    }
    void TearDown() override { SetUrlOpener(nullptr); }

    bool Enabled(CMainFrame& frame, int id) { return frame.Action(id)->isEnabled(); }
    bool Checked(CMainFrame& frame, int id) { return frame.Action(id)->isChecked(); }

    FrameEnvironment env;
    ScriptedPrompt prompt;
};

TEST_F(MainFrameTest, StartsWithoutADocument) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    EXPECT_FALSE(frame.QuitRequested());
    // The reads create the missing keys with the current values.
    EXPECT_EQ(env.registry.ReadDword(kFiles, "OpenLastFile"), 0u);
    EXPECT_EQ(env.registry.ReadString(kAlarm, "AlarmSound"), CString("notify.wav"));
    EXPECT_EQ(env.registry.ReadDword(kAlarm, "UseAlarmSound"), 0u);
    EXPECT_TRUE(prompt.Calls().empty());
    EXPECT_EQ(frame.ClientView(), frame.StandardView());
    EXPECT_EQ(frame.statusBar()->findChild<QLabel*>()->text(), "Ready");
}

struct MenuItem {
    int id;
    const char* text;
};

TEST_F(MainFrameTest, MenusCarryTheirTextsIdsAndAccelerators) {
    CMainFrame frame;
    frame.Create();
    const MenuItem items[] = {
        {57600, "&New\tCtrl+N"},
        {57601, "&Open...\tCtrl+O"},
        {57604, "Save &As..."},
        {32786, "&Backup..."},
        {32787, "&Compact"},
        {32848, "Change Database Password..."},
        {32813, "&Tasks (From Text File)..."},
        {32814, "&Phone Book (From Text File)..."},
        {32815, "&Appointments (From Text File)..."},
        {32844, "&Windows(R) Address Book..."},
        {32846, "P&elmora Version 2.0..."},
        {32801, "&Tasks (To Text File)..."},
        {32781, "&Phone Book (To Text File)..."},
        {32783, "&Appointments (To Text File)..."},
        {57605, "Page Set&up..."},
        {57665, "E&xit"},
        {32834, "&Address Book Groups..."},
        {32771, "&User..."},
        {32789, "&Alarm Sound..."},
        {32831, "&Open Last File On Start"},
        {32832, "A&udible Alarm"},
        {32778, "&Daily Tasks and Appointments"},
        {32830, "&Weekly Plan"},
        {32829, "&Monthly Plan"},
        {32782, "&Envelopes..."},
        {32784, "&Phone Book..."},
        {32785, "Report &Font..."},
        {32841, "St&andard"},
        {32842, "Address &Book"},
        {32840, "&Dayplan"},
        {59392, "&Toolbar"},
        {59393, "&Status Bar"},
        {57667, "&Help Topics"},
        {57664, "&About Pelmora..."},
        {103, "&Check For Update..."},
    };
    for (const MenuItem& item : items) {
        QAction* action = frame.Action(item.id);
        ASSERT_NE(action, nullptr) << item.id;
        EXPECT_EQ(action->property("menuText").toString(), item.text) << item.id;
        EXPECT_EQ(CommandIdOf(action), item.id);
    }
    EXPECT_EQ(frame.Action(57600)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(frame.Action(57601)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame.Action(57603)->shortcut(), QKeySequence("Ctrl+S"));
    // File menu positions: Import 8, Export 9, Recent Files 13.
    const QList<QAction*> file = frame.FileMenu()->actions();
    ASSERT_GT(file.size(), 13);
    EXPECT_EQ(file[8]->menu(), frame.ImportMenu());
    EXPECT_EQ(file[9]->menu(), frame.ExportMenu());
    EXPECT_EQ(file[13]->text(), "Recent &Files");
    const QList<QAction*> recent = file[13]->menu()->actions();
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0]->text(), "(Empty)");
    EXPECT_FALSE(recent[0]->isEnabled());
    // Help ends with a separator and the update command.
    const QList<QAction*> help = frame.HelpMenu()->actions();
    ASSERT_GE(help.size(), 2);
    EXPECT_TRUE(help[help.size() - 2]->isSeparator());
    EXPECT_EQ(CommandIdOf(help.back()), 103);
}

TEST_F(MainFrameTest, ToolbarsHoldTheirButtonsAndThePreviewBandStartsHidden) {
    CMainFrame frame;
    frame.Create();
    std::vector<int> ids;
    for (QAction* action : frame.MainToolBar()->actions())
        ids.push_back(action->isSeparator() ? 0 : CommandIdOf(action));
    EXPECT_EQ(ids, (std::vector<int>{57600, 57601, 0, 57664, 57669}));
    ids.clear();
    for (QAction* action : frame.PreviewToolBar()->actions())
        ids.push_back(action->isSeparator() ? 0 : CommandIdOf(action));
    EXPECT_EQ(ids, (std::vector<int>{58115, 58114, 0, 57607, 57605, 0, 32819, 32820, 0, 58112}));
    EXPECT_FALSE(frame.PreviewToolBar()->isVisibleTo(&frame));
}

TEST_F(MainFrameTest, IdleWithoutDocumentAndWithPrinter) {
    CMainFrame frame;
    frame.Create();
    frame.OnIdle(0);
    for (int id :
         {57604, 32786, 32787, 32848, 32771, 32834, 32813, 32814, 32815, 32844, 32846, 32781, 32801, 32783})
        EXPECT_FALSE(Enabled(frame, id)) << id;
    // No report chosen, no tasks, appointments or person.
    for (int id : {57607, 57609, 32778, 32780, 32779, 32784, 32782})
        EXPECT_FALSE(Enabled(frame, id)) << id;
    for (int id : {57605, 32830, 32829, 32785})
        EXPECT_TRUE(Enabled(frame, id)) << id;
    EXPECT_FALSE(Checked(frame, 32831));
    EXPECT_FALSE(Checked(frame, 32832));
    g_doc.m_reportKind = 6;
    g_doc.m_listedTaskCount = 2;
    frame.OnIdle(0);
    EXPECT_TRUE(Enabled(frame, 57607));
    EXPECT_TRUE(Enabled(frame, 57609));
    EXPECT_TRUE(Enabled(frame, 32778));
    EXPECT_TRUE(Enabled(frame, 32780));
    EXPECT_FALSE(Enabled(frame, 32779));
    g_doc.m_reportKind = 0;
    g_doc.m_listedTaskCount = 0;
}

TEST_F(MainFrameTest, IdleWithoutPrinterDisablesPrintingAndEveryReport) {
    env.printers.SetName(QString());
    CMainFrame frame;
    frame.Create();
    EXPECT_FALSE(frame.m_printerPresent);
    g_doc.m_reportKind = 1;
    g_doc.m_listedTaskCount = 1;
    g_doc.m_listedApptCount = 1;
    g_doc.m_currentPersonId = "x";
    frame.OnIdle(0);
    for (int id : {57607, 57609, 57605, 32778, 32780, 32779, 32784, 32782, 32830, 32829, 32785})
        EXPECT_FALSE(Enabled(frame, id)) << id;
    g_doc.m_reportKind = 0;
    g_doc.m_listedTaskCount = 0;
    g_doc.m_listedApptCount = 0;
    g_doc.m_currentPersonId = "";
}

// The print system is asked again, at most every s_printerLookupMs, whether there is a default
// printer: one added or removed while the program runs changes the report commands.
TEST_F(MainFrameTest, APrinterAddedOrRemovedWhileRunningIsFollowed) {
    struct CountingPrinters : FixedPrinterSource {
        using FixedPrinterSource::FixedPrinterSource;
        QString DefaultPrinterName() override {
            ++lookups;
            return FixedPrinterSource::DefaultPrinterName();
        }
        int lookups = 0;
    } printers(QString{});
    SetPrinterSource(&printers);
    const int interval = CMainFrame::s_printerLookupMs;
    CMainFrame frame;
    frame.Create();
    frame.OnIdle(0);
    EXPECT_FALSE(Enabled(frame, 32830));

    // Within the interval the idle passes do not ask again.
    CMainFrame::s_printerLookupMs = 60 * 60 * 1000;
    printers.SetName(QStringLiteral("Label Writer"));
    const int before = printers.lookups;
    for (int pass = 0; pass < 50; ++pass)
        frame.OnIdle(0);
    EXPECT_EQ(printers.lookups, before);
    EXPECT_FALSE(frame.m_printerPresent);

    CMainFrame::s_printerLookupMs = 0;
    frame.OnIdle(0);
    EXPECT_TRUE(frame.m_printerPresent);
    EXPECT_EQ(frame.m_printerName, "Label Writer");
    for (int id : {57605, 32830, 32829, 32785})
        EXPECT_TRUE(Enabled(frame, id)) << id;

    printers.SetName(QString());
    frame.OnIdle(0);
    EXPECT_FALSE(frame.m_printerPresent);
    for (int id : {57605, 32830, 32829, 32785})
        EXPECT_FALSE(Enabled(frame, id)) << id;
    CMainFrame::s_printerLookupMs = interval;
    SetPrinterSource(&env.printers);
}

TEST_F(MainFrameTest, IdleInPreviewModeChangesOnlyThePreviewCommands) {
    CMainFrame frame;
    frame.Create();
    frame.OnIdle(0);
    const bool backupBefore = Enabled(frame, 32786);
    frame.m_previewMode = true;
    frame.m_previewPageCount = 3;
    frame.m_previewPage = 0;
    g_doc.m_reportKind = 7;
    frame.OnIdle(0);
    EXPECT_TRUE(Enabled(frame, 58114));
    EXPECT_FALSE(Enabled(frame, 58115));
    EXPECT_TRUE(Enabled(frame, 57607));
    EXPECT_TRUE(Enabled(frame, 32819));
    EXPECT_FALSE(Enabled(frame, 32820));
    frame.m_previewPage = 2;
    frame.m_zoomInAllowed = false;
    frame.m_zoomOutAllowed = true;
    frame.OnIdle(0);
    EXPECT_FALSE(Enabled(frame, 58114));
    EXPECT_TRUE(Enabled(frame, 58115));
    EXPECT_FALSE(Enabled(frame, 32819));
    EXPECT_TRUE(Enabled(frame, 32820));
    EXPECT_EQ(Enabled(frame, 32786), backupBefore);
    g_doc.m_reportKind = 0;
}

TEST_F(MainFrameTest, IdleRunsFromTheMessageLoop) {
    CMainFrame frame;
    frame.Create();
    frame.show();
    ASSERT_TRUE(Enabled(frame, 32786)) << "actions start enabled until the first idle pass";
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    env.loop->Run();
    EXPECT_FALSE(Enabled(frame, 32786));
}

TEST_F(MainFrameTest, SwitchingViewsKeepsExactlyOneChecked) {
    CMainFrame frame;
    frame.Create();
    frame.show();
    struct Case {
        int id;
        QWidget* view;
    };
    const Case cases[] = {{32842, frame.AddressBookView()},
                          {32840, frame.DayPlanView()},
                          {32841, frame.StandardView()},
                          {32840, frame.DayPlanView()}};
    for (const Case& c : cases) {
        frame.OnCommand(c.id);
        frame.OnIdle(0);
        int checked = 0;
        for (int id : {32841, 32842, 32840})
            checked += Checked(frame, id) ? 1 : 0;
        EXPECT_EQ(checked, 1) << c.id;
        EXPECT_TRUE(Checked(frame, c.id));
        EXPECT_EQ(frame.ClientView(), c.view);
        for (QWidget* view :
             {static_cast<QWidget*>(frame.AddressBookView()), static_cast<QWidget*>(frame.StandardView()),
              static_cast<QWidget*>(frame.DayPlanView())})
            EXPECT_EQ(view->isVisible(), view == c.view);
    }
    EXPECT_EQ(frame.AddressBookView()->objectName(), "CPhoneBookFrame");
}

TEST_F(MainFrameTest, CtrlSDoesNothing) {
    CMainFrame frame;
    frame.Create();
    const QString title = frame.windowTitle();
    frame.Action(57603)->trigger();
    EXPECT_TRUE(prompt.Calls().empty());
    EXPECT_EQ(frame.windowTitle(), title);
    EXPECT_EQ(frame.RoutedCommands(), std::vector<int>{57603});
}

TEST_F(MainFrameTest, UnknownCommandsGoToTheViewsOnceAndEndThere) {
    CMainFrame frame;
    frame.Create();
    EXPECT_FALSE(frame.OnCommand(40000));
    EXPECT_EQ(frame.RoutedCommands(), std::vector<int>{40000});
    EXPECT_FALSE(frame.AddressBookView()->OnCommand(40000));
    EXPECT_TRUE(frame.OnCommand(32841));
    EXPECT_EQ(frame.RoutedCommands().size(), 1u);
}

TEST_F(MainFrameTest, ToolbarAndStatusBarToggle) {
    CMainFrame frame;
    frame.Create();
    frame.show();
    frame.OnCommand(59392);
    EXPECT_FALSE(frame.MainToolBar()->isVisible());
    EXPECT_FALSE(Checked(frame, 59392));
    frame.OnCommand(59392);
    EXPECT_TRUE(frame.MainToolBar()->isVisible());
    EXPECT_TRUE(Checked(frame, 59392));
    frame.OnCommand(59393);
    EXPECT_FALSE(frame.statusBar()->isVisible());
    EXPECT_FALSE(Checked(frame, 59393));
    frame.OnCommand(59393);
    EXPECT_TRUE(frame.statusBar()->isVisible());
    EXPECT_TRUE(Checked(frame, 59393));
}

TEST_F(MainFrameTest, OptionsAreWrittenAndChecked) {
    CMainFrame frame;
    frame.Create();
    frame.OnCommand(32831);
    frame.OnCommand(32832);
    frame.OnIdle(0);
    EXPECT_EQ(env.registry.ReadDword(kFiles, "OpenLastFile"), 1u);
    EXPECT_EQ(env.registry.ReadDword(kAlarm, "UseAlarmSound"), 1u);
    EXPECT_TRUE(Checked(frame, 32831));
    EXPECT_TRUE(Checked(frame, 32832));
    frame.OnCommand(32832);
    EXPECT_EQ(env.registry.ReadDword(kAlarm, "UseAlarmSound"), 0u);
    prompt.AnswerFileDialog("/tmp/ring.wav");
    frame.OnCommand(32789);
    ASSERT_EQ(prompt.Calls().size(), 1u);
    EXPECT_EQ(prompt.Calls()[0].fileDialog.defaultExt, "wav");
    EXPECT_EQ(prompt.Calls()[0].fileDialog.fileName, "notify.wav");
    EXPECT_EQ(prompt.Calls()[0].fileDialog.flags,
              static_cast<unsigned>(OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    EXPECT_EQ(g_doc.m_alarmSoundFile, "/tmp/ring.wav");
    EXPECT_EQ(env.registry.ReadString(kAlarm, "AlarmSound"), CString("/tmp/ring.wav"));
    g_doc.m_alarmSoundFile = "notify.wav";
}

TEST_F(MainFrameTest, StoredAlarmSettingsAreRead) {
    env.registry.WriteString(kAlarm, "AlarmSound", "/snd/bell.wav");
    env.registry.WriteDword(kAlarm, "UseAlarmSound", 5);
    CMainFrame frame;
    frame.Create();
    EXPECT_EQ(g_doc.m_alarmSoundFile, "/snd/bell.wav");
    EXPECT_TRUE(g_doc.m_audibleAlarm);
    g_doc.m_alarmSoundFile = "notify.wav";
    g_doc.m_audibleAlarm = false;
}

TEST_F(MainFrameTest, HelpPagesByControl) {
    g_programDir = "/opt/pelmora";
    CMainFrame frame;
    frame.Create();
    struct Case {
        int id;
        const char* page;
    };
    const Case cases[] = {{1000, "calendar"},  {1002, "apptbook"},  {1004, "tasklist"}, {1006, "phonebook"},
                          {1017, "phonebook"}, {1075, "phonebook"}, {1479, "phonebook"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(frame.OnHelp(c.id)) << c.id;
        EXPECT_EQ(LastHelpRequest().url, CString("/opt/pelmora\\pelmo.chm::/html/") + c.page + ".htm>topic");
    }
    frame.OnCommand(32842);
    ASSERT_TRUE(frame.OnHelp(1027));
    EXPECT_EQ(LastHelpRequest().url, "/opt/pelmora\\pelmo.chm::/html/phonebookvw.htm>topic");
    ClearLastHelpRequest();
    CMainFrame::s_contextHelpMode = true;
    EXPECT_FALSE(frame.OnHelp(1020));
    EXPECT_FALSE(CMainFrame::s_contextHelpMode);
    EXPECT_TRUE(LastHelpRequest().url.IsEmpty());
    frame.OnCommand(57667);
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOC);
    EXPECT_EQ(LastHelpRequest().url, "/opt/pelmora\\pelmo.chm::/html/Introduction.htm>mainwin");
    if (HelpWindow())
        HelpWindow()->close();
    g_programDir = "";
}

// The frame has pages for control ids that sheets over it use too (1000 Date Due, 1004 Every, 1006
// Address 1): F1 on such a field shows the field's popup, never the frame's page.
TEST_F(MainFrameTest, F1OverASheetsFieldIsAnsweredByTheSheet) {
    CMainFrame frame;
    frame.Create();
    frame.show();
    const auto pressF1 = [](QWidget* control) {
        control->setFocus();
        QApplication::processEvents();
        ClearLastHelpRequest();
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(control, &f1);
    };
    // With no dialog over it the frame answers for its own panes.
    QWidget* calendar = FindControl(frame.StandardView(), 1000);
    ASSERT_NE(calendar, nullptr);
    pressF1(calendar);
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC);
    EXPECT_TRUE(LastHelpRequest().url.Find("calendar.htm") >= 0) << LastHelpRequest().url.c_str();
    CRecurItem rule;
    CApptOptionsSheet appt(&frame);
    appt.SetRule(&rule);
    appt.m_page.m_dateDue = CDateTime(2026, 12, 10);
    appt.m_page.m_startTime = CDateTime(2026, 12, 10, 9, 0, 0);
    appt.m_page.m_endTime = CDateTime(2026, 12, 10, 10, 0, 0);
    appt.m_page.m_recurring = 1;
    PersonSheet person(QStringLiteral("Add Person"), &frame);
    person.m_general.m_doc = &g_doc;
    struct Case {
        PropertySheet* sheet;
        int page;
        int id;
        int topic;
    };
    const Case cases[] = {{&appt, 0, 1000, 1401}, {&appt, 1, 1004, 1606}, {&person, 1, 1026, 1207}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        c.sheet->show();
        c.sheet->activateWindow();
        ASSERT_TRUE(c.sheet->SetActivePage(c.page));
        QWidget* control = FindControl(c.sheet->GetPage(c.page), c.id);
        ASSERT_NE(control, nullptr);
        pressF1(control);
        EXPECT_EQ(LastHelpRequest().command, HH_TP_HELP_WM_HELP);
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic);
        c.sheet->hide();
    }
    if (HelpWindow())
        HelpWindow()->close();
}

// What's-This on the address-book view's person list: the page of the list, and the mouse is free
// for the next click.
TEST_F(MainFrameTest, WhatsThisOnTheAddressBookViewsPersonListAnswersAndLetsTheMouseGo) {
    CMainFrame frame;
    frame.Create();
    frame.resize(900, 700);
    frame.show();
    frame.OnCommand(ID_VIEW_ADDRESS_BOOK);
    QApplication::processEvents();
    QWidget* list = FindControl(frame.AddressBookView(), 1006);
    ASSERT_NE(list, nullptr);
    ClearLastHelpRequest();
    frame.OnCommand(57669);
    const QPoint global = list->mapToGlobal(list->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, frame.mapFromGlobal(QPointF(global)), QPointF(global),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &press);
    QWidget* grabber = QWidget::mouseGrabber();
    ASSERT_NE(grabber, nullptr);
    QMouseEvent release(QEvent::MouseButtonRelease, grabber->mapFromGlobal(QPointF(global)), QPointF(global),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grabber, &release);
    EXPECT_TRUE(LastHelpRequest().url.Find("phonebookvw.htm") >= 0) << LastHelpRequest().url.c_str();
    EXPECT_FALSE(CMainFrame::s_contextHelpMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    if (HelpWindow())
        HelpWindow()->close();
}

TEST_F(MainFrameTest, ContextHelpModeEndsOnAClickOutsideEveryPane) {
    CMainFrame frame;
    frame.Create();
    frame.show();
    frame.OnCommand(57669);
    EXPECT_TRUE(CMainFrame::s_contextHelpMode);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(10, 10), frame.mapToGlobal(QPointF(10, 10)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &click);
    EXPECT_FALSE(CMainFrame::s_contextHelpMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(MainFrameTest, CheckForUpdateReportsABrowserFailure) {
    CMainFrame frame;
    frame.Create();
    QUrl opened;
    SetUrlOpener([&](const QUrl& url) {
        opened = url;
        return false;
    });
    frame.OnCommand(103);
    EXPECT_TRUE(opened.toString().endsWith("updates.html"));
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Error opening web browser");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Web Browser Error");
    SetUrlOpener([](const QUrl&) { return true; });
    frame.OnCommand(103);
    EXPECT_EQ(prompt.MessageBoxes().size(), 1u);
}

TEST_F(MainFrameTest, AboutRunsModally) {
    CMainFrame frame;
    frame.Create();
    bool shown = false;
    AnswerNextModal([&](QWidget* w) {
        shown = w->windowTitle() == "About Pelmora";
        static_cast<QDialog*>(w)->accept();
    });
    frame.OnCommand(57664);
    EXPECT_TRUE(shown);
}

TEST_F(MainFrameTest, ClosingWithoutDocumentStoresEmptyLastFileAndThePlacement) {
    {
        CMainFrame frame;
        frame.Create();
        frame.setGeometry(30, 40, 900, 700);
        frame.show();
        frame.close();
    }
    EXPECT_EQ(env.registry.ReadString(kFiles, "LastFileUsed"), CString(""));
    EXPECT_EQ(env.registry.ReadDword(CMainFrame::kSettingsKey, "wp.showCmd"), 1u);
    EXPECT_EQ(env.registry.ReadDword(CMainFrame::kSettingsKey, "wp.left"), 30u);
    CMainFrame again;
    again.Create();
    CWindowPlacement placement;
    ASSERT_TRUE(placement.Restore(CMainFrame::kSettingsKey, &again));
    EXPECT_EQ(again.geometry(), QRect(30, 40, 900, 700));
}

TEST_F(MainFrameTest, RunShowsTheNoPrinterBoxOnceAndEndsWhenTheFrameCloses) {
    env.printers.SetName(QString());
    FrameCloser closer;
    EXPECT_EQ(::Run("", SW_SHOWNORMAL), 0);
    EXPECT_EQ(closer.closed, 1);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "You don't have a printer installed.\nYou won't be able to print or view reports");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "No Printer");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
}

TEST_F(MainFrameTest, RunTwiceOpensTwoFrames) {
    // A second instance is nothing special: every run creates its own frame.
    for (int run = 0; run < 2; ++run) {
        FrameCloser closer;
        EXPECT_EQ(::Run("", SW_SHOWNORMAL), 0);
        EXPECT_EQ(closer.closed, 1);
    }
}

TEST(CommandLineOfArguments, QuotesArgumentsWithBlanks) {
    char program[] = "pelmo", a[] = "/home/u/My Plans.pgr", b[] = "/x", c[] = "/tmp/a.pgr";
    char* one[] = {program, a};
    EXPECT_EQ(CommandLineOf(2, one), "\"/home/u/My Plans.pgr\"");
    char* two[] = {program, b, c};
    EXPECT_EQ(CommandLineOf(3, two), "/x /tmp/a.pgr");
    char* none[] = {program};
    EXPECT_EQ(CommandLineOf(1, none), "");
}

} // namespace

namespace {

// Gives a short-date picture that changes without a write through the program, as when the desktop's
// regional settings change.
class RegionalStore : public MemoryRegistry {
public:
    std::optional<CString> ReadString(const char* key, const char* name) const override {
        if (std::string(name) == "sShortDate" && !m_picture.IsEmpty())
            return m_picture;
        return MemoryRegistry::ReadString(key, name);
    }
    CString m_picture;
};

} // namespace

TEST_F(MainFrameTest, ALocaleChangeMakesTheRegionalPicturesReadAgain) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    RegionalStore store;
    store.m_picture = "M/d/yyyy";
    SetRegistry(&store);
    EXPECT_EQ(UserShortDatePicture(), "M/d/yyyy");
    store.m_picture = "dd.MM.yyyy";
    EXPECT_EQ(UserShortDatePicture(), "M/d/yyyy");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&frame, &change);
    EXPECT_EQ(UserShortDatePicture(), "dd.MM.yyyy");
    SetRegistry(&env.registry);
}
