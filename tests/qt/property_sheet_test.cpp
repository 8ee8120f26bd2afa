#include "platform/core/Prompt.h"
#include "platform/qt/PropertySheet.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QPushButton>
#include <QTabWidget>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A page that records its calls in a shared log and can refuse leaving or applying.
class LoggingPage : public PropertyPage {
public:
    LoggingPage(const QString& name, std::vector<std::string>& log) : PropertyPage(name), m_log(log) {}
    void OnInitDialog() override { Log("init"); }
    bool OnSetActive() override {
        Log("set");
        return m_acceptActive;
    }
    bool OnKillActive() override {
        Log("kill");
        return m_allowLeave;
    }
    bool OnApply() override {
        Log("apply");
        return m_allowApply;
    }
    void OnReset() override { Log("reset"); }
    void OnDestroy() override { Log("destroy"); }
    bool m_allowLeave = true;
    bool m_allowApply = true;
    bool m_acceptActive = true;

private:
    void Log(const char* what) { m_log.push_back(Title().toStdString() + ":" + what); }
    std::vector<std::string>& m_log;
};

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(PropertySheetTest, ShowActivatesStartPageAndTabChangeLeavesThenActivates) {
    LoggingPage a("a", log), b("b", log);
    {
        PropertySheet sheet(QStringLiteral("Sheet"));
        sheet.AddPage(&a);
        sheet.AddPage(&b);
        sheet.show();
        EXPECT_EQ(log, (Log{"a:init", "a:set"}));
        log.clear();
        sheet.Tabs()->setCurrentIndex(1); // as a click on the tab does
        EXPECT_EQ(log, (Log{"a:kill", "b:init", "b:set"}));
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        log.clear();
        sheet.SetActivePage(0);
        EXPECT_EQ(log, (Log{"b:kill", "a:set"})); // initialised once only
        log.clear();
        EXPECT_TRUE(sheet.PressOk());
        EXPECT_EQ(log, (Log{"a:kill", "a:apply", "b:apply", "a:destroy", "b:destroy"}));
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
    }
}

TEST_F(PropertySheetTest, PageThatRefusesLeavingStaysCurrentAndKeepsSheetOpen) {
    LoggingPage a("a", log), b("b", log);
    PropertySheet sheet;
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.show();
    a.m_allowLeave = false;
    log.clear();
    sheet.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
    EXPECT_EQ(log, (Log{"a:kill"}));
    EXPECT_FALSE(sheet.PressOk());
    EXPECT_TRUE(sheet.isVisible());
    a.m_allowLeave = true;
    a.m_allowApply = false;
    EXPECT_FALSE(sheet.PressOk());
    EXPECT_TRUE(sheet.isVisible());
    sheet.PressCancel();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
}

TEST_F(PropertySheetTest, PageRefusingActivationSendsSheetBack) {
    LoggingPage a("a", log), b("b", log);
    PropertySheet sheet;
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.show();
    b.m_acceptActive = false;
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.PressCancel();
}

TEST_F(PropertySheetTest, PagesAddedAndRemovedAtRunTime) {
    LoggingPage a("a", log), b("b", log);
    PropertySheet sheet;
    sheet.AddPage(&a);
    sheet.show();
    sheet.AddPage(&b);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 0); // adding does not change the current page
    ASSERT_TRUE(sheet.SetActivePage(1));
    log.clear();
    sheet.RemovePage(&b);
    EXPECT_EQ(log, (Log{"b:destroy", "a:set"}));
    EXPECT_EQ(sheet.GetPageCount(), 1);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(b.Sheet(), nullptr);
    EXPECT_EQ(b.parent(), nullptr);
    // Added again, the page is initialised again.
    sheet.AddPage(&b);
    log.clear();
    sheet.SetActivePage(1);
    EXPECT_EQ(log, (Log{"a:kill", "b:init", "b:set"}));
    sheet.PressCancel();
}

TEST_F(PropertySheetTest, CancelResetsAndDestroysPagesAndDisabledOkDoesNothing) {
    LoggingPage a("a", log);
    PropertySheet sheet;
    sheet.AddPage(&a);
    sheet.show();
    sheet.OkButton()->setEnabled(false);
    EXPECT_FALSE(sheet.PressOk());
    EXPECT_TRUE(sheet.isVisible());
    log.clear();
    sheet.reject(); // Escape
    EXPECT_EQ(log, (Log{"a:reset", "a:destroy"}));
}

TEST_F(PropertySheetTest, DoModalAnswersIdOk) {
    LoggingPage a("a", log);
    PropertySheet sheet;
    sheet.AddPage(&a);
    AnswerNextModal([](QWidget* w) { ClickButton(w, QStringLiteral("OK")); });
    EXPECT_EQ(sheet.DoModal(), IDOK);
}

} // namespace
