#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/exchange/ImportTablesDlg.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

QLineEdit* Edit(QWidget* dialog, int id) {
    return FindControl<QLineEdit>(dialog, id);
}

QPushButton* Button(QWidget* dialog, int id) {
    return FindControl<QPushButton>(dialog, id);
}

QCheckBox* Box(QWidget* dialog, int id) {
    return FindControl<QCheckBox>(dialog, id);
}

class ImportTablesDialogTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    void TearDown() override { StopAnsweringModals(); }
    ScriptedPrompt prompt;
};

TEST_F(ImportTablesDialogTest, OpensWithEveryTableTickedAndOkWaitingForAPath) {
    CImportTablesDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Import Pelmora Tables");
    EXPECT_EQ(Box(&dialog, 1159)->text(), "Telephone Book");
    EXPECT_EQ(Box(&dialog, 1160)->text(), "Task List");
    EXPECT_EQ(Box(&dialog, 1161)->text(), "Appointment Book");
    for (int id : {1159, 1160, 1161})
        EXPECT_TRUE(Box(&dialog, id)->isChecked()) << id;
    EXPECT_EQ(Button(&dialog, 1059)->text(), "Browse...");
    EXPECT_EQ(Button(&dialog, 57670)->text(), "&Help...");
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups,
              QStringList({"Select The Tables You Wish To Import", "Select Database", "Enter Password"}));
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "");
    EXPECT_FALSE(Button(&dialog, IDOK)->isEnabled());
    SaveScreenshot(&dialog, "import-tables-dialog");
}

TEST_F(ImportTablesDialogTest, OkNeedsAPathAndAtLeastOneTickedTable) {
    CImportTablesDlg dialog;
    dialog.show();
    QPushButton* ok = Button(&dialog, IDOK);
    Edit(&dialog, 1058)->setText("/tmp/other.pgr");
    EXPECT_TRUE(ok->isEnabled());
    Box(&dialog, 1159)->click();
    Box(&dialog, 1160)->click();
    EXPECT_TRUE(ok->isEnabled());
    Box(&dialog, 1161)->click();
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog.m_telephoneBook || dialog.m_taskList || dialog.m_appointmentBook);
    Box(&dialog, 1160)->click();
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.m_taskList);
    Edit(&dialog, 1058)->setText("");
    EXPECT_FALSE(ok->isEnabled());
    // Accepting while OK is disabled does not end the dialog either.
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ImportTablesDialogTest, LoadsItsFieldsAndEnablesOkFromTheStart) {
    CImportTablesDlg dialog;
    dialog.m_telephoneBook = false;
    dialog.m_appointmentBook = false;
    dialog.m_path = "/tmp/other.pgr";
    std::strcpy(dialog.m_password, "secret");
    dialog.show();
    EXPECT_FALSE(Box(&dialog, 1159)->isChecked());
    EXPECT_TRUE(Box(&dialog, 1160)->isChecked());
    EXPECT_FALSE(Box(&dialog, 1161)->isChecked());
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "/tmp/other.pgr");
    EXPECT_EQ(Edit(&dialog, 1061)->text(), "secret");
    EXPECT_TRUE(Button(&dialog, IDOK)->isEnabled());
}

TEST_F(ImportTablesDialogTest, OkStoresTheBoxesThePathAndThePassword) {
    CImportTablesDlg dialog;
    AnswerNextModal([](QWidget* w) {
        Box(w, 1159)->click();
        Edit(w, 1058)->setText("/tmp/other.pgr");
        Edit(w, 1061)->setText("it's");
        Button(w, IDOK)->click();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const ImportTablesChoice choice = dialog.Choice();
    EXPECT_FALSE(choice.telephoneBook);
    EXPECT_TRUE(choice.taskList);
    EXPECT_TRUE(choice.appointmentBook);
    EXPECT_EQ(choice.path, "/tmp/other.pgr");
    EXPECT_EQ(choice.password, "it's");
}

TEST_F(ImportTablesDialogTest, CancelAndEscapeEndWithCancel) {
    CImportTablesDlg dialog;
    std::strcpy(dialog.m_password, "keep");
    AnswerNextModal([](QWidget* w) {
        Edit(w, 1058)->setText("/tmp/other.pgr");
        Button(w, IDCANCEL)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_STREQ(dialog.m_password, "");

    CImportTablesDlg escaped;
    AnswerNextModal([](QWidget* w) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &escape);
    });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
}

TEST_F(ImportTablesDialogTest, PasswordTakesThirtyOneCharactersShownAsStars) {
    CImportTablesDlg dialog;
    dialog.show();
    QLineEdit* password = Edit(&dialog, 1061);
    EXPECT_EQ(password->maxLength(), 31);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), '*');
    password->setText(QString(40, 'p'));
    EXPECT_EQ(password->text(), QString(31, 'p'));
}

TEST_F(ImportTablesDialogTest, BrowseProposesTheCurrentPathAndShowsTheChoice) {
    CImportTablesDlg dialog;
    dialog.m_path = "/tmp/old.pgr";
    dialog.show();
    prompt.AnswerFileDialog("/tmp/chosen.pgr");
    Button(&dialog, 1059)->click();
    ASSERT_EQ(prompt.Calls().size(), 1u);
    EXPECT_EQ(prompt.Calls()[0].kind, ScriptedPrompt::Kind::OpenFileDialog);
    const FileDialogRequest& request = prompt.Calls()[0].fileDialog;
    EXPECT_EQ(request.fileName, "/tmp/old.pgr");
    EXPECT_EQ(request.defaultExt, "pgr");
    EXPECT_EQ(request.flags, static_cast<unsigned>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].first, "Pelmora files (*.pgr)");
    EXPECT_EQ(request.filters[0].second, "*.pgr");
    EXPECT_EQ(request.filters[1].first, "All files (*.)");
    EXPECT_EQ(request.filters[1].second, "*.*");
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "/tmp/chosen.pgr");
    EXPECT_EQ(dialog.m_path, "/tmp/chosen.pgr");

    prompt.CancelFileDialog();
    Button(&dialog, 1059)->click();
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "/tmp/chosen.pgr");
}

TEST_F(ImportTablesDialogTest, HelpButtonAndHelpKeyAnswerTheirTopics) {
    CImportTablesDlg dialog;
    dialog.show();
    ClearLastHelpRequest();
    Button(&dialog, 57670)->click();
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC);
    EXPECT_GT(LastHelpRequest().url.Find("pelmo.chm::/html/dlgimpnative.htm>topic"), 0);
    if (HelpWindow())
        HelpWindow()->close();

    const std::pair<int, int> popups[] = {{1159, 2000}, {1160, 2001},     {1161, 2002},
                                          {IDOK, 1000}, {IDCANCEL, 1001}, {57670, 1002}};
    for (const auto& [id, topic] : popups) {
        ClearLastHelpRequest();
        EXPECT_TRUE(dialog.OnContextHelp(FindControl(&dialog, id))) << id;
        EXPECT_EQ(LastHelpRequest().popupTopic, topic) << id;
    }
    // The path, browse and password controls are answered, though the table lists no topic for them.
    for (int id : {1058, 1059, 1061})
        EXPECT_TRUE(dialog.OnContextHelp(FindControl(&dialog, id))) << id;
    EXPECT_FALSE(dialog.OnContextHelp(&dialog));

    QCheckBox* tasks = Box(&dialog, 1160);
    tasks->setFocus();
    ClearLastHelpRequest();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(tasks, &f1);
    EXPECT_EQ(LastHelpRequest().popupTopic, 2001);
}

// Counts the notifications of a change of data.
class ModifiedCounter : public CDocObserver {
public:
    void OnDocumentModified() override { ++modified; }
    int modified = 0;
};

// A frame over an open document, and another document with two persons (one in a group of a name
// the open document has too), three tasks (two of one series) and one appointment.
class ImportTablesCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        m_other = CreateOpen("Other", "secret");
        CPhGroup friends;
        friends.m_ID = "0B0B0B0B-0000-1111-2222-333344445555";
        friends.m_Desc = "Friends";
        ASSERT_TRUE(g_doc.InsertGroup(friends));
        ASSERT_TRUE(g_doc.InsertPerson(Person("P1", "Smith"), {friends}));
        ASSERT_TRUE(g_doc.InsertPerson(Person("P2", "Jones"), {}));
        CRecurItem rule;
        rule.SetID("R1");
        ASSERT_TRUE(g_doc.InsertRecurringDate(rule));
        ASSERT_TRUE(g_doc.InsertTask(Task("T1", "R1")));
        ASSERT_TRUE(g_doc.InsertTask(Task("T2", "R1")));
        ASSERT_TRUE(g_doc.InsertTask(Task("T3", "")));
        CAppt appt;
        appt.m_ID = "A1";
        appt.m_Desc = "Dentist";
        ASSERT_TRUE(g_doc.InsertAppt(appt));

        m_local = CreateOpen("Local", "");
        friends.m_ID = "0A0A0A0A-0000-1111-2222-333344445555";
        ASSERT_TRUE(g_doc.InsertGroup(friends));
        ASSERT_TRUE(m_frame.Create());
        m_counter.Attach(&g_doc);
        g_doc.SetModifiedFlag(false, false);
        prompt.Clear();
    }

    void TearDown() override {
        StopAnsweringModals();
        m_counter.Detach();
        g_db.Close();
        SetPasswordBuffer(g_openPassword, "");
    }

    std::string CreateOpen(const std::string& name, const char* password) {
        SetPasswordBuffer(g_typedPassword, password);
        bool error = true;
        EXPECT_TRUE(g_doc.CreateDocument(m_dir.File(name).c_str(), error));
        return m_dir.File(name) + ".pgr";
    }

    static CPerson Person(const char* id, const char* lastName) {
        CPerson person;
        person.m_ID = id;
        person.m_LName = lastName;
        person.BuildDisplayName();
        return person;
    }

    static CTask Task(const char* id, const char* ruleId) {
        CTask task;
        task.m_ID = id;
        task.m_Desc = id;
        task.m_RecrDtID = ruleId;
        return task;
    }

    // Answers the dialog: the path and password typed, the boxes of the ids unticked, then OK.
    void AnswerDialog(const char* password, std::vector<int> untick = {}) {
        AnswerNextModal([path = m_other, password = QString(password), untick](QWidget* w) {
            for (int id : untick)
                Box(w, id)->click();
            Edit(w, 1058)->setText(QString::fromStdString(path));
            Edit(w, 1061)->setText(password);
            Button(w, IDOK)->click();
        });
    }

    FrameEnvironment env;
    DialogRunningPrompt prompt;
    TempDir m_dir;
    std::string m_other;
    std::string m_local;
    CMainFrame m_frame;
    ModifiedCounter m_counter;
};

TEST_F(ImportTablesCommandTest, ImportsEveryTickedTableAndReportsTheCounts) {
    AnswerDialog("secret");
    EXPECT_TRUE(m_frame.OnCommand(32846));

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    const ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
    EXPECT_EQ(box.text, "2 Persons Imported\n3 Tasks Imported\n1 Appointments Imported");
    EXPECT_EQ(box.caption, "Tables Successfully Imported");
    EXPECT_EQ(box.flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(box.owner, static_cast<WindowHandle>(&m_frame));
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 1);
    EXPECT_GE(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);

    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Task"), 3);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Appt"), 1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from RecurringDate"), 1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PhGroup where Desc = 'Friends'"), 1);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from PersonPhGroup where PersonID = 'P1' and PhGroupID = "
                              "'0A0A0A0A-0000-1111-2222-333344445555'"),
              1);
}

TEST_F(ImportTablesCommandTest, OnlyTheTaskListGivesAReportThatBeginsWithALineBreak) {
    AnswerDialog("secret", {1159, 1161});
    m_frame.OnCommand(32846);

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "\n3 Tasks Imported");
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 0);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Appt"), 0);
}

// Nothing could be copied: one error box says why, with -1 for every part, and the document is not
// marked modified.
TEST_F(ImportTablesCommandTest, AWrongPasswordGivesOneErrorBoxWithMinusOneForEveryPart) {
    AnswerDialog("Secret");
    m_frame.OnCommand(32846);

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "The file is not a Pelmora document, or the password is wrong.\n\n"
              "-1 Persons Imported\n-1 Tasks Imported\n-1 Appointments Imported");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Import Error");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 0);
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 0);
}

TEST_F(ImportTablesCommandTest, CancelImportsNothing) {
    AnswerNextModal([](QWidget* w) { Button(w, IDCANCEL)->click(); });
    EXPECT_TRUE(m_frame.OnCommand(32846));

    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 0);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 0);
}

} // namespace
