#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/Printers.h"
#include "platform/qt/ProgramDir.h"
#include "platform/qt/UpdateUI.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(ControlIds, NamesAndLookups) {
    TestApp();
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    SetControlId(edit, 1058);
    EXPECT_EQ(edit->objectName(), "ctl1058");
    EXPECT_EQ(ControlIdOf(edit), 1058);
    EXPECT_EQ(FindControl<QLineEdit>(&parent, 1058), edit);
    EXPECT_EQ(FindControl(&parent, 1059), nullptr);
    QWidget unnamed;
    EXPECT_EQ(ControlIdOf(&unnamed), 0);
    QAction* action = MakeCommandAction(&parent, 57600, "&New\tCtrl+N");
    EXPECT_EQ(CommandIdOf(action), 57600);
}

struct ProgramDirCase {
    const char* path;
    const char* dir;
};

TEST(ProgramDir, DirectoryWithoutTrailingSeparator) {
    const ProgramDirCase cases[] = {
        {"/usr/local/bin/pelmo", "/usr/local/bin"},
        {"C:\\pelmo.exe", "C:"},
        {"C:\\Program Files\\Pelmora\\pelmo.exe", "C:\\Program Files\\Pelmora"},
        {"/pelmo", ""},
        {"pelmo", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramDirOf(c.path), c.dir) << c.path;
}

TEST(HelpAddresses, ParsedIntoTheirParts) {
    HelpAddress address;
    ASSERT_TRUE(ParseHelpAddress("C:\\pelmo.chm::/html/calendar.htm>topic", address));
    EXPECT_EQ(address.directory, "C:");
    EXPECT_EQ(address.file, "pelmo.chm");
    EXPECT_EQ(address.page, "html/calendar.htm");
    EXPECT_EQ(address.window, "topic");
    ASSERT_TRUE(ParseHelpAddress("/opt/pelmora\\pelmo.chm::/html/Introduction.htm>mainwin", address));
    EXPECT_EQ(address.directory, "/opt/pelmora");
    EXPECT_EQ(address.page, "html/Introduction.htm");
    EXPECT_EQ(address.window, "mainwin");
    EXPECT_FALSE(ParseHelpAddress("/opt/pelmora\\pelmo.chm", address));
    EXPECT_FALSE(ParseHelpAddress("x::", address));
}

TEST(HelpAddresses, FilledWithTheProgramDirectory) {
    g_programDir = "/opt/pelmora";
    EXPECT_EQ(HelpFilePath(), "/opt/pelmora\\pelmo.chm");
    EXPECT_EQ(HelpPageAddress("%s\\%s::/html/tasklist.htm>topic"),
              "/opt/pelmora\\pelmo.chm::/html/tasklist.htm>topic");
    g_programDir = "";
}

TEST(HelpWindow, ShowsEveryAddressedPage) {
    TestApp();
    for (const char* page : {"Introduction", "calendar", "apptbook", "tasklist", "phonebook", "phonebookvw",
                             "dlgimpnative", "dlgpraddr", "dlgimpwab", "csvimport", "csvexport", "updates"}) {
        CString pattern;
        pattern.Format("%%s\\%%s::/html/%s.htm>topic", page);
        ASSERT_TRUE(HtmlHelpTopic(nullptr, HelpPageAddress(pattern))) << page;
        auto* browser = HelpWindow()->findChild<QTextBrowser*>();
        ASSERT_NE(browser, nullptr);
        EXPECT_FALSE(browser->toPlainText().trimmed().isEmpty()) << page;
        EXPECT_FALSE(browser->documentTitle().isEmpty()) << page;
    }
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC);
    EXPECT_FALSE(HtmlHelpTopic(nullptr, "x\\pelmo.chm::/html/nothere.htm>topic"));
    HelpWindow()->close();
}

TEST(HelpPopups, ListedControlsShowTheirTopic) {
    TestApp();
    const std::vector<std::pair<int, int>> table = {
        {1058, 1500}, {1059, 1501}, {1, 1000}, {2, 1001}, {57670, 1002}};
    QWidget dialog;
    auto* edit = new QLineEdit(&dialog);
    SetControlId(edit, 1058);
    auto* other = new QLineEdit(&dialog);
    SetControlId(other, 1177);
    ClearLastHelpRequest();
    EXPECT_FALSE(HtmlHelpPopup(other, "dir\\pelmo.chm", table));
    EXPECT_EQ(LastHelpRequest().popupTopic, 0);
    EXPECT_TRUE(HtmlHelpPopup(edit, "dir\\pelmo.chm", table));
    EXPECT_EQ(LastHelpRequest().popupTopic, 1500);
    EXPECT_EQ(LastHelpRequest().command, HH_TP_HELP_WM_HELP);
    for (const auto& [control, topic] : table)
        EXPECT_FALSE(HelpPopupText(topic).isEmpty()) << topic;
}

TEST(UpdateUI, OnlyListedIdsAndOnlyTheirKinds) {
    TestApp();
    QObject owner;
    CUpdateUI ui;
    ui.UIAddEntry(32841, CUpdateUI::kMenu);
    ui.UIAddEntry(57607, CUpdateUI::kToolBar);
    QAction* menuItem = MakeCommandAction(&owner, 32841, "St&andard");
    menuItem->setCheckable(true);
    QAction* button = MakeCommandAction(&owner, 57607, "Print");
    QAction* unlisted = MakeCommandAction(&owner, 57603, "Save");
    ui.UIBind(menuItem, 32841, CUpdateUI::kMenu);
    ui.UIBind(button, 57607, CUpdateUI::kToolBar);
    ui.UIBind(unlisted, 57603, CUpdateUI::kMenu);
    ui.UISetCheck(32841, true);
    ui.UIEnable(57607, false);
    ui.UIEnable(57603, false);
    EXPECT_FALSE(ui.IsListed(57603));
    ui.UIUpdateMenuBar();
    EXPECT_TRUE(menuItem->isChecked());
    EXPECT_TRUE(button->isEnabled()) << "toolbar entries wait for the toolbar update";
    ui.UIUpdateToolBar();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(unlisted->isEnabled());
}

class CountingIdle : public CIdleHandler {
public:
    explicit CountingIdle(int wantMore) : m_wantMore(wantMore) {}
    bool OnIdle(int idleCount) override {
        counts.push_back(idleCount);
        return static_cast<int>(counts.size()) < m_wantMore;
    }
    std::vector<int> counts;

private:
    int m_wantMore;
};

TEST(MessageLoop, IdleRunsOncePerIdlePeriodAndAgainAfterInput) {
    TestApp();
    CMessageLoop loop;
    CountingIdle idle(1);
    loop.AddIdleHandler(&idle);
    QTimer::singleShot(100, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(loop.Run(), 7);
    // One call for the idle period before the first timer (timers do not re-arm), maybe a second
    // after the quit's own events; never a stream of calls.
    ASSERT_FALSE(idle.counts.empty());
    EXPECT_LE(idle.counts.size(), 3u);
    EXPECT_EQ(idle.counts.front(), 0);
    loop.RunIdleHandlers();
    EXPECT_FALSE(loop.IsIdleArmed());
    QWidget target;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&target, &key);
    EXPECT_TRUE(loop.IsIdleArmed());
    EXPECT_TRUE(loop.RemoveIdleHandler(&idle));
    EXPECT_FALSE(loop.RemoveIdleHandler(&idle));
}

TEST(MessageLoop, AHandlerAskingForMoreGetsGrowingCounts) {
    TestApp();
    CMessageLoop loop;
    CountingIdle idle(3);
    loop.AddIdleHandler(&idle);
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    loop.Run();
    ASSERT_GE(idle.counts.size(), 3u);
    EXPECT_EQ(idle.counts[0], 0);
    EXPECT_EQ(idle.counts[1], 1);
    EXPECT_EQ(idle.counts[2], 2);
}

TEST(MessageLoop, ArmingEvents) {
    EXPECT_FALSE(CMessageLoop::ArmsIdle(QEvent::MouseMove));
    EXPECT_FALSE(CMessageLoop::ArmsIdle(QEvent::Paint));
    EXPECT_FALSE(CMessageLoop::ArmsIdle(QEvent::Timer));
    EXPECT_TRUE(CMessageLoop::ArmsIdle(QEvent::KeyPress));
    EXPECT_TRUE(CMessageLoop::ArmsIdle(QEvent::MouseButtonPress));
}

class KeyEater : public CMessageFilter {
public:
    bool PreTranslateMessage(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        ++seen;
        return consume;
    }
    int seen = 0;
    bool consume = false;
};

TEST(MessageLoop, FiltersSeeEventsNewestFirstAndMayConsume) {
    TestApp();
    CMessageLoop loop;
    KeyEater older, newer;
    newer.consume = true;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);
    QLineEdit edit;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&edit, &key);
    EXPECT_EQ(newer.seen, 1);
    EXPECT_EQ(older.seen, 0);
    EXPECT_EQ(edit.text(), "");
    loop.RemoveMessageFilter(&newer);
    QApplication::sendEvent(&edit, &key);
    EXPECT_EQ(older.seen, 1);
    EXPECT_EQ(edit.text(), "a");
}

// Throws an error that is no std::exception, as the data layer's SqlException is not.
class ThrowingHandler : public CIdleHandler, public CMessageFilter {
public:
    struct Failure {};
    bool OnIdle(int) override { throw Failure{}; }
    bool PreTranslateMessage(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            throw Failure{};
        return false;
    }
};

TEST(MessageLoop, AnErrorOfAnyTypeStaysInsideTheFailingHandler) {
    TestApp();
    CMessageLoop loop;
    ThrowingHandler failing;
    CountingIdle idle(1);
    KeyEater older;
    loop.AddIdleHandler(&failing);
    loop.AddIdleHandler(&idle);
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&failing);
    EXPECT_NO_THROW(loop.RunIdleHandlers());
    EXPECT_EQ(idle.counts.size(), 1u);
    QLineEdit edit;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_NO_THROW(QApplication::sendEvent(&edit, &key));
    EXPECT_EQ(older.seen, 1);
    EXPECT_EQ(edit.text(), "a");
}

TEST(PrintersSource, FakeReplacesTheSystem) {
    FixedPrinterSource none{QString()};
    SetPrinterSource(&none);
    EXPECT_TRUE(Printers().DefaultPrinterName().isEmpty());
    none.SetName("Office");
    EXPECT_EQ(Printers().DefaultPrinterName(), "Office");
    SetPrinterSource(nullptr);
}

} // namespace
