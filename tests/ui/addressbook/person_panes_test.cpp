#include "data/DbDoc.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/ProgramDir.h"
#include "platform/qt/Shell.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PersonPanes.h"
#include "ui/addressbook/PhoneBookFrame.h"
#include "ui/addressbook/PhoneBookPane.h"
#include "ui/addressbook/VwPhbklist.h"
#include "ui/app/SplashDlg.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QMouseEvent>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QString Caption(QWidget* pane, int id) {
    QWidget* control = FindControl(pane, id);
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* notes = qobject_cast<QPlainTextEdit*>(control))
        return notes->toPlainText();
    ADD_FAILURE() << "no control " << id;
    return QString();
}

bool Enabled(QWidget* pane, int id) {
    QWidget* control = FindControl(pane, id);
    return control && control->isEnabled();
}

void Click(QWidget* pane, int id) {
    auto* button = FindControl<QPushButton>(pane, id);
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

class PersonPanesTest : public testing::Test {
protected:
    void SetUp() override {
        prompt.AnswerCreateDb(CString(dir.File("Panes")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        prompt.Clear();
        g_doc.m_currentGroupId = CString();
        g_doc.m_currentPersonId = CString();
        g_doc.m_personSortOrder = 0;

        CPerson full;
        full.m_ID = "P-full";
        full.m_FName = "Ann";
        full.m_LName = "Adams";
        full.m_HmPhone = "+49 (30) 123 45";
        full.m_HmFax = "030-999";
        full.m_Pager = "030-777";
        full.m_CelPhone = "0170-1";
        full.m_Email = "ann@example.org";
        full.m_WebPage = "www.ann.example";
        full.m_Addr1 = "1 Main St";
        full.m_Addr2 = "Flat 2";
        full.m_City = "Berlin";
        full.m_State = "BE";
        full.m_Zip = "10115";
        full.m_Company = "Acme";
        full.m_Position = "Boss";
        full.m_WkAddr1 = "2 Work Rd";
        full.m_WkCity = "Bonn";
        full.m_WkPhone = "555-0200";
        full.m_WkExt = "12";
        full.m_WkFax = "555-0201";
        full.m_WkCelPhone = "555-0202";
        full.m_WkPager = "555-0203";
        full.m_WkEmail = "ann@acme.example";
        full.m_WkWebPage = "https://acme.example/ann";
        full.m_Notes = "Likes 100% 'tea'\nsecond line";
        full.BuildDisplayName();
        ASSERT_TRUE(g_doc.InsertPerson(full, {}));

        CPerson bare;
        bare.m_ID = "P-bare";
        bare.m_FName = "Bob";
        bare.m_LName = "Brown";
        bare.m_WkPhone = "555-0300";
        bare.m_Pager = "n/a";
        bare.BuildDisplayName();
        ASSERT_TRUE(g_doc.InsertPerson(bare, {}));

        SetUrlLauncher([this](const QUrl& url) {
            asked.push_back(url.toString().toStdString());
            return launchResult;
        });
    }
    void TearDown() override {
        SetUrlLauncher(nullptr);
        g_db.Close();
    }

    void Select(const char* id) {
        g_doc.m_currentPersonId = id;
        g_doc.UpdateAllViews(nullptr);
    }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const ScriptedPrompt::Call& call : prompt.MessageBoxes())
            texts.push_back(std::string(call.caption.c_str()) + ": " + call.text.c_str());
        return texts;
    }

    const bool appReady = (TestApp(), true);
    TempDir dir;
    ScriptedPrompt prompt;
    std::vector<std::string> asked;
    UrlLaunchResult launchResult = UrlLaunchResult::Opened;
};

struct Shown {
    int id;
    const char* text;
};

TEST_F(PersonPanesTest, TelephoneBookTabsShowTheCurrentPerson) {
    CVwPhbkHm home;
    CVwPhbkWk work;
    CVwPhbkNotes notes;
    Select("P-full");
    const Shown homeShown[] = {{1009, "+49 (30) 123 45"},
                               {1016, "030-999"},
                               {1015, "030-777"},
                               {1018, "0170-1"},
                               {1017, "ann@example.org"},
                               {1019, "www.ann.example"},
                               {1183, "1 Main St"},
                               {1184, "Flat 2"},
                               {1029, "Berlin"},
                               {1030, "BE"},
                               {1479, "10115"}};
    for (const Shown& s : homeShown) {
        EXPECT_EQ(Caption(&home, s.id).toStdString(), s.text) << s.id;
        EXPECT_TRUE(Enabled(&home, s.id)) << s.id;
    }
    const Shown workShown[] = {{1012, "555-0200x12"},
                               {1016, "555-0201"},
                               {1015, "555-0203"},
                               {1018, "555-0202"},
                               {1017, "ann@acme.example"},
                               {1019, "https://acme.example/ann"},
                               {1023, "Acme"},
                               {1024, "Boss"},
                               {1183, "2 Work Rd"},
                               {1184, ""},
                               {1029, "Bonn"}};
    for (const Shown& s : workShown)
        EXPECT_EQ(Caption(&work, s.id).toStdString(), s.text) << s.id;
    EXPECT_EQ(Caption(&notes, 1043).toStdString(), "Likes 100% 'tea'\nsecond line");

    // Another person: empty fields read "Not Available" and their buttons are disabled.
    Select("P-bare");
    EXPECT_EQ(Caption(&home, 1009), "Not Available");
    EXPECT_FALSE(Enabled(&home, 1009));
    EXPECT_EQ(Caption(&home, 1183), "");
    EXPECT_EQ(Caption(&work, 1012), "555-0300");
    EXPECT_TRUE(Enabled(&work, 1012));
}

TEST_F(PersonPanesTest, WithoutACurrentPersonEveryNumberIsNotAvailable) {
    CVwPhbkHm home;
    CVwPhbkWk work;
    CVwPhbkNotes notes;
    CVwPhNumHome compactHome;
    CVwPhNumWork compactWork;
    Select("P-full");
    Select("");
    const std::vector<std::pair<QWidget*, std::vector<int>>> labelled = {
        {&home, {1009, 1016, 1015, 1018, 1017, 1019}},
        {&work, {1012, 1016, 1015, 1018, 1017, 1019}},
        {&compactHome, {1009, 1016, 1018, 1015, 1017, 1019}},
        {&compactWork, {1012, 1024, 1020, 1022, 1023, 1021}},
    };
    for (const auto& [pane, ids] : labelled)
        for (int id : ids) {
            EXPECT_EQ(Caption(pane, id), "Not Available") << pane->objectName().toStdString() << " " << id;
            EXPECT_FALSE(Enabled(pane, id)) << pane->objectName().toStdString() << " " << id;
        }
    for (int id : {1183, 1184, 1029, 1030, 1479})
        EXPECT_EQ(Caption(&home, id), "") << id;
    EXPECT_EQ(Caption(&work, 1023), "");
    EXPECT_EQ(Caption(&notes, 1043), "");
}

TEST_F(PersonPanesTest, CompactTabsShowTheNumbersAndGoOnWhenThePersonIsGone) {
    CVwPhNumHome home;
    CVwPhNumWork work;
    Select("P-full");
    EXPECT_EQ(Caption(&home, 1009), "+49 (30) 123 45");
    EXPECT_EQ(Caption(&home, 1016), "030-999");
    EXPECT_EQ(Caption(&work, 1012), "555-0200x12");
    EXPECT_EQ(Caption(&work, 1024), "555-0201");
    EXPECT_EQ(Caption(&work, 1020), "555-0202");
    EXPECT_EQ(Caption(&work, 1022), "555-0203");
    EXPECT_EQ(Caption(&work, 1023), "ann@acme.example");
    EXPECT_EQ(Caption(&work, 1021), "https://acme.example/ann");
    // A person that cannot be read shows as an empty one in the compact tabs.
    Select("P-missing");
    EXPECT_EQ(Caption(&home, 1009), "Not Available");
    EXPECT_FALSE(Enabled(&work, 1012));
}

struct Press {
    int pane; // 0 home, 1 work, 2 compact home, 3 compact work
    int id;
    const char* url;
};

TEST_F(PersonPanesTest, ButtonsHandTheirAddressToTheDesktop) {
    CVwPhbkHm home;
    CVwPhbkWk work;
    CVwPhNumHome compactHome;
    CVwPhNumWork compactWork;
    QWidget* panes[] = {&home, &work, &compactHome, &compactWork};
    Select("P-full");
    const Press presses[] = {
        {0, 1009, "tel:+49(30)12345"},
        {0, 1015, "tel:030-777"},
        {0, 1018, "tel:0170-1"},
        {0, 1017, "mailto:ann@example.org"},
        {0, 1019, "http://www.ann.example"},
        {1, 1012, "tel:555-0200"}, // the extension is never dialled
        {1, 1015, "tel:555-0203"},
        {1, 1018, "tel:555-0202"},
        {1, 1017, "mailto:ann@acme.example"},
        {1, 1019, "https://acme.example/ann"},
        {2, 1009, "tel:+49(30)12345"},
        {2, 1017, "mailto:ann@example.org"},
        {2, 1019, "http://www.ann.example"},
        {3, 1012, "tel:555-0200"},
        {3, 1020, "tel:555-0202"},
        {3, 1022, "tel:555-0203"},
        {3, 1023, "mailto:ann@acme.example"},
        {3, 1021, "https://acme.example/ann"},
    };
    for (const Press& p : presses) {
        asked.clear();
        Click(panes[p.pane], p.id);
        EXPECT_EQ(asked, std::vector<std::string>{p.url}) << p.pane << " " << p.id;
    }
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

TEST_F(PersonPanesTest, APressActsOnTheStoredValueAndNotOnAnOlderDisplay) {
    CVwPhbkHm home;
    Select("P-full");
    CPerson person;
    person.m_ID = "P-full";
    ASSERT_TRUE(g_doc.GetPerson(person));
    person.m_HmPhone = "030-111";
    ASSERT_TRUE(g_doc.UpdatePerson(person, {}));
    home.Press(1009);
    EXPECT_EQ(asked, std::vector<std::string>{"tel:030-111"});
    // Nothing happens for a person without the number, or without a current person.
    asked.clear();
    person.m_HmPhone = CString();
    ASSERT_TRUE(g_doc.UpdatePerson(person, {}));
    home.Press(1009);
    g_doc.m_currentPersonId = CString();
    home.Press(1015);
    EXPECT_TRUE(asked.empty());
}

struct Failure {
    UrlLaunchResult result;
    int pane; // 0 home, 1 compact work
    int id;
    const char* box;
};

TEST_F(PersonPanesTest, FailuresOfTheDesktopShowTheirMessages) {
    CVwPhbkHm home;
    CVwPhNumWork compactWork;
    Select("P-full");
    const char* const noDialer =
        "Calling Error: There is no phone dialer active on your computer. Ifyou have not done so, please "
        "install the phone dialer applet from Windows Setup";
    const Failure failures[] = {
        {UrlLaunchResult::NoHandler, 0, 1009, noDialer},
        {UrlLaunchResult::NoHandler, 1, 1012, noDialer},
        {UrlLaunchResult::Failed, 0, 1018, "Calling Error: Unknown error. The call could not be placed."},
        {UrlLaunchResult::NoHandler, 0, 1017, "E-Mail Error: Error opening E-mail client"},
        {UrlLaunchResult::Failed, 1, 1023, "E-Mail Error: Error opening E-mail client"},
        {UrlLaunchResult::NoHandler, 0, 1019, "Web Browser Error: Error opening web browser"},
        {UrlLaunchResult::Failed, 1, 1021, "Web Browser Error: Error opening web browser"},
    };
    for (const Failure& f : failures) {
        prompt.Clear();
        launchResult = f.result;
        Click(f.pane == 0 ? static_cast<QWidget*>(&home) : &compactWork, f.id);
        EXPECT_EQ(Boxes(), std::vector<std::string>{f.box}) << f.id;
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        EXPECT_EQ(prompt.MessageBoxes()[0].flags & MB_ICONERROR, static_cast<unsigned>(MB_ICONERROR));
    }
}

TEST_F(PersonPanesTest, ANumberWithoutDigitsIsRefusedAsInvalid) {
    CVwPhbkHm home;
    Select("P-bare");
    home.Press(1015); // the pager reads "n/a"
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{
                  "Calling Error: The number you have tried to dial is not valid. Please correct it and "
                  "try again."});
}

TEST_F(PersonPanesTest, AddressesAreBuiltAsTheDesktopExpects) {
    EXPECT_EQ(CPersonDetailPane::WebUrl("www.example.org"), "http://www.example.org");
    EXPECT_EQ(CPersonDetailPane::WebUrl("http://example.org"), "http://example.org");
    EXPECT_EQ(CPersonDetailPane::WebUrl("HTTPS://example.org/a?b=1"), "HTTPS://example.org/a?b=1");
    EXPECT_EQ(CPersonDetailPane::WebUrl("example.org:8080/x"), "http://example.org:8080/x");
    EXPECT_EQ(CPersonDetailPane::MailUrl("a@b.example"), "mailto:a@b.example");
    EXPECT_EQ(CPersonDetailPane::MailUrl("mailto:a@b.example"), "mailto:a@b.example");
    EXPECT_EQ(CPersonDetailPane::DialUrl("+1 (555) 123 4567"), "tel:+1(555)1234567");
}

TEST_F(PersonPanesTest, TabsFollowTheSelectionOfTheShowingList) {
    CPhoneBookFrame frame;
    frame.resize(800, 400);
    frame.show();
    frame.PersonList()->OnUpdate();
    QTreeView* list = frame.PersonList()->PersonList();
    ASSERT_EQ(list->model()->rowCount(), 2);
    list->setCurrentIndex(list->model()->index(1, 0)); // "Brown, Bob"
    QWidget* work = frame.DetailPane()->Tabs()->widget(1);
    EXPECT_EQ(Caption(work, 1012), "555-0300");
    list->setCurrentIndex(list->model()->index(0, 0)); // "Adams, Ann"
    EXPECT_EQ(Caption(work, 1012), "555-0200x12");
    EXPECT_EQ(Caption(frame.DetailPane()->Tabs()->widget(2), 1043).toStdString(),
              "Likes 100% 'tea'\nsecond line");
#ifdef PELM_ARTIFACTS_DIR
    for (int tab = 0; tab < 3; ++tab) {
        frame.DetailPane()->Tabs()->setCurrentIndex(tab);
        SaveScreenshot(&frame, QStringLiteral("phonebook-tab-%1").arg(tab));
    }
#endif
}

TEST_F(PersonPanesTest, CompactBookFollowsTheSameDocument) {
    CPhoneBookPane pane;
    pane.resize(520, 260);
    pane.show();
    pane.PersonList()->OnUpdate();
    QTreeView* list = pane.PersonList()->PersonList();
    ASSERT_EQ(list->model()->rowCount(), 2);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTabWidget* tabs = pane.DetailPane()->Tabs();
    EXPECT_EQ(Caption(tabs->widget(0), 1009), "+49 (30) 123 45");
    EXPECT_EQ(Caption(tabs->widget(1), 1012), "555-0200x12");
#ifdef PELM_ARTIFACTS_DIR
    SaveScreenshot(&pane, QStringLiteral("compact-book-home"));
    tabs->setCurrentIndex(1);
    SaveScreenshot(&pane, QStringLiteral("compact-book-business"));
#endif
}

// The frame's context-help mode over the compact book of the standard view.
class CompactBookHelpTest : public testing::Test {
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

    // Presses on the frame over the control and releases there; answers the pane that took the release.
    QWidget* ClickOn(QWidget* control) {
        const QPoint global = control->mapToGlobal(control->rect().center());
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

TEST_F(CompactBookHelpTest, AClickOnANumberButtonOpensThePhoneBookHelp) {
    auto* book = dynamic_cast<CPhoneBookPane*>(m_frame.StandardView()->PhoneBookPane());
    ASSERT_NE(book, nullptr);
    m_frame.OnCommand(57669);
    QWidget* button = FindControl(book->DetailPane()->Tabs()->widget(0), 1009);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(ClickOn(button), book);
    EXPECT_EQ(LastHelpRequest().url, "/opt/pelmora\\pelmo.chm::/html/phonebook.htm>topic");
    EXPECT_FALSE(CMainFrame::s_contextHelpMode);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
