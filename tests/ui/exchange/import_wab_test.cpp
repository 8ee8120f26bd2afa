#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/Schema.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/exchange/ImportWabDlg.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <string>

namespace {

QLineEdit* Edit(QWidget* dialog, int id) {
    return FindControl<QLineEdit>(dialog, id);
}

QPushButton* Button(QWidget* dialog, int id) {
    return FindControl<QPushButton>(dialog, id);
}

QRadioButton* Radio(QWidget* dialog, int id) {
    return FindControl<QRadioButton>(dialog, id);
}

std::string Fixture(const char* name) {
    return std::string(PELM_FIXTURES_DIR) + "/exchange/" + name;
}

class ImportWabDialogTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    void TearDown() override { StopAnsweringModals(); }
    ScriptedPrompt prompt;
};

TEST_F(ImportWabDialogTest, ShowsTheGroupChoicesAndTheFileChoice) {
    CImportWabDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Import Personal Address Book");
    EXPECT_EQ(Radio(&dialog, 1167)->text(), "Yellow Pages");
    EXPECT_EQ(Radio(&dialog, 1168)->text(), "White Pages");
    EXPECT_EQ(Radio(&dialog, 1487)->text(), "Both Yellow and White Pages");
    EXPECT_FALSE(Radio(&dialog, 1167)->isChecked());
    EXPECT_TRUE(Radio(&dialog, 1168)->isChecked());
    EXPECT_FALSE(Radio(&dialog, 1487)->isChecked());
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0], "Choose The Groups You Want To Add The Addresses To");
    EXPECT_EQ(Button(&dialog, 1059)->text(), "Browse...");
    EXPECT_EQ(Button(&dialog, 57670)->text(), "&Help...");
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "");
    // Without a file there is nothing to import.
    EXPECT_FALSE(Button(&dialog, IDOK)->isEnabled());
    Edit(&dialog, 1058)->setText("/tmp/contacts.vcf");
    EXPECT_TRUE(Button(&dialog, IDOK)->isEnabled());
    SaveScreenshot(&dialog, "import-wab-dialog");
    Edit(&dialog, 1058)->setText("");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ImportWabDialogTest, ChecksTheRadioOfEachChoiceAndOkReadsItBack) {
    const int radios[] = {1167, 1168, 1487};
    for (int choice = 0; choice < 3; ++choice) {
        CImportWabDlg dialog;
        dialog.m_choice = choice;
        dialog.m_path = "/tmp/in.vcf";
        AnswerNextModal([&radios, choice](QWidget* w) {
            for (int index = 0; index < 3; ++index)
                EXPECT_EQ(Radio(w, radios[index])->isChecked(), index == choice) << choice;
            // The next radio round, then OK.
            Radio(w, radios[(choice + 1) % 3])->click();
            Button(w, IDOK)->click();
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_choice, (choice + 1) % 3);
        EXPECT_EQ(dialog.m_path, "/tmp/in.vcf");
    }
}

TEST_F(ImportWabDialogTest, AChoiceOutsideTheRadiosChecksNoneAndReadsBackAsNone) {
    CImportWabDlg dialog;
    dialog.m_choice = 7;
    dialog.m_path = "/tmp/in.vcf";
    AnswerNextModal([](QWidget* w) {
        for (int id : {1167, 1168, 1487})
            EXPECT_FALSE(Radio(w, id)->isChecked()) << id;
        Button(w, IDOK)->click();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_choice, -1);
}

TEST_F(ImportWabDialogTest, CancelAndEscapeEndWithCancel) {
    CImportWabDlg dialog;
    AnswerNextModal([](QWidget* w) {
        Radio(w, 1487)->click();
        Button(w, IDCANCEL)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_choice, 1);

    CImportWabDlg escaped;
    escaped.m_path = "/tmp/in.vcf";
    AnswerNextModal([](QWidget* w) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &escape);
    });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
}

TEST_F(ImportWabDialogTest, BrowseAsksForAVCardFile) {
    CImportWabDlg dialog;
    dialog.m_path = "/tmp/old.vcf";
    dialog.show();
    prompt.AnswerFileDialog("/tmp/chosen.vcf");
    Button(&dialog, 1059)->click();
    ASSERT_EQ(prompt.Calls().size(), 1u);
    EXPECT_EQ(prompt.Calls()[0].kind, ScriptedPrompt::Kind::OpenFileDialog);
    const FileDialogRequest& request = prompt.Calls()[0].fileDialog;
    EXPECT_EQ(request.fileName, "/tmp/old.vcf");
    EXPECT_EQ(request.defaultExt, "vcf");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].second, "*.vcf");
    EXPECT_EQ(Edit(&dialog, 1058)->text(), "/tmp/chosen.vcf");
    EXPECT_EQ(dialog.m_path, "/tmp/chosen.vcf");
    EXPECT_TRUE(Button(&dialog, IDOK)->isEnabled());

    prompt.CancelFileDialog();
    Button(&dialog, 1059)->click();
    EXPECT_EQ(dialog.m_path, "/tmp/chosen.vcf");
}

TEST_F(ImportWabDialogTest, HelpButtonAndHelpKeyAnswerTheirTopicsOnly) {
    CImportWabDlg dialog;
    dialog.show();
    ClearLastHelpRequest();
    Button(&dialog, 57670)->click();
    EXPECT_EQ(LastHelpRequest().command, HH_DISPLAY_TOPIC);
    EXPECT_GT(LastHelpRequest().url.Find("pelmo.chm::/html/dlgimpwab.htm>topic"), 0);
    if (HelpWindow())
        HelpWindow()->close();

    const std::pair<int, int> popups[] = {
        {1167, 2100}, {1168, 2101}, {57670, 1002}, {IDOK, 1000}, {IDCANCEL, 1001}};
    for (const auto& [id, topic] : popups) {
        ClearLastHelpRequest();
        EXPECT_TRUE(dialog.OnContextHelp(FindControl(&dialog, id))) << id;
        EXPECT_EQ(LastHelpRequest().popupTopic, topic) << id;
    }
    for (int id : {1487, 1058, 1059})
        EXPECT_FALSE(dialog.OnContextHelp(FindControl(&dialog, id))) << id;
    EXPECT_FALSE(dialog.OnContextHelp(&dialog));
}

TEST(WabImportReportText, CountsAndHints) {
    EXPECT_EQ(WabImportReport(0), "0 names added to current database.");
    EXPECT_EQ(WabImportReport(1),
              "1 name added to current database.You will need to edit it to add it to specific groups.");
    EXPECT_EQ(WabImportReport(2),
              "2 names added to current database.You will need to edit them to add them to specific groups.");
}

// Counts the notifications of a change of data.
class ModifiedCounter : public CDocObserver {
public:
    void OnDocumentModified() override { ++modified; }
    int modified = 0;
};

// A frame over a new open document.
class ImportWabCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        SetPasswordBuffer(g_typedPassword, "");
        bool error = true;
        ASSERT_TRUE(g_doc.CreateDocument(m_dir.File("Local").c_str(), error));
        ASSERT_TRUE(m_frame.Create());
        m_counter.Attach(&g_doc);
        g_doc.SetModifiedFlag(false, false);
        prompt.Clear();
    }

    void TearDown() override {
        StopAnsweringModals();
        m_counter.Detach();
        g_db.Close();
    }

    // Answers the dialog: checks that it opens with "White Pages", picks the radio and the file, OK.
    void AnswerDialog(int radio, const std::string& path) {
        AnswerNextModal([radio, path](QWidget* w) {
            EXPECT_TRUE(Radio(w, 1168)->isChecked());
            Radio(w, radio)->click();
            Edit(w, 1058)->setText(QString::fromStdString(path));
            Button(w, IDOK)->click();
        });
    }

    static int Members(const char* groupId) {
        return g_db.ExecScalar(
            (std::string("select count(*) from PersonPhGroup where PhGroupID = '") + groupId + "'").c_str());
    }

    FrameEnvironment env;
    DialogRunningPrompt prompt;
    TempDir m_dir;
    CMainFrame m_frame;
    ModifiedCounter m_counter;
};

TEST_F(ImportWabCommandTest, ImportsIntoBothGroupsAndReportsThePlural) {
    prompt.AnswerMessageBox(IDOK);
    AnswerDialog(1487, Fixture("contacts-3.0.vcf"));
    EXPECT_TRUE(m_frame.OnCommand(32844));

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    const ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
    EXPECT_EQ(box.text,
              "2 names added to current database.You will need to edit them to add them to specific groups.");
    EXPECT_EQ(box.caption, "Imported the Personal Address Book");
    EXPECT_EQ(box.flags, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(box.owner, static_cast<WindowHandle>(&m_frame));
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 1);
    EXPECT_GE(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);

    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 2);
    EXPECT_EQ(Members(Schema::kGroupAllId), 2);
    EXPECT_EQ(Members(Schema::kGroupYellowPagesId), 2);
    EXPECT_EQ(Members(Schema::kGroupWhitePagesId), 2);
}

// A write that fails stops the import: one box tells the error and how many names were added.
TEST_F(ImportWabCommandTest, AFailedWriteGivesOneBoxWithTheCount) {
    g_db.ExecDml("create trigger Refuse before insert on Person when new.FName = 'Springfield Chess Club' "
                 "begin select raise(abort, 'disk I/O error'); end");
    prompt.AnswerMessageBox(IDOK);
    AnswerDialog(1168, Fixture("contacts-3.0.vcf"));
    m_frame.OnCommand(32844);

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    const ScriptedPrompt::Call box = prompt.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Error Adding Address Book Entry");
    EXPECT_EQ(box.text, "SQLITE_CONSTRAINT[19]: disk I/O error\n\nThe import stopped there. 1 name added to "
                        "current database.You will "
                        "need to edit it to add it to specific groups.");
    EXPECT_EQ(box.flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 1);
    EXPECT_TRUE(g_doc.IsModified());
}

TEST_F(ImportWabCommandTest, OneContactGivesTheSingularWithItsHint) {
    prompt.AnswerMessageBox(IDOK);
    AnswerDialog(1167, Fixture("contacts-4.0.vcf"));
    m_frame.OnCommand(32844);

    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "1 name added to current database.You will need to edit it to add it to specific groups.");
    EXPECT_EQ(Members(Schema::kGroupYellowPagesId), 1);
    EXPECT_EQ(Members(Schema::kGroupWhitePagesId), 0);
}

TEST_F(ImportWabCommandTest, AnUnreadableFileShowsTheAddressBookErrorWithItsReason) {
    const std::pair<std::string, std::string> cases[] = {
        {m_dir.File("missing.vcf"), "cannot be read."},
        {Fixture("not-a-vcard.vcf"), "holds no vCard contacts."},
        {Fixture("binary.vcf"), "holds no vCard contacts."},
        // One card cut off before its end: nothing could be read, which is not "0 names added".
        {Fixture("truncated.vcf"), "holds no vCard contacts."},
    };
    for (const auto& [path, reason] : cases) {
        prompt.Clear();
        prompt.AnswerMessageBox(IDOK);
        AnswerDialog(1168, path);
        m_frame.OnCommand(32844);

        ASSERT_EQ(prompt.MessageBoxes().size(), 1u) << path;
        EXPECT_EQ(prompt.MessageBoxes()[0].text,
                  "Unable to open your Windows Address Book\n\nThe file \"" + path + "\" " + reason);
        EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Windows Address Book Error");
        EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    }
    EXPECT_FALSE(g_doc.IsModified());
    EXPECT_EQ(m_counter.modified, 0);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 0);
}

TEST_F(ImportWabCommandTest, NamesInTheirOwnCharacterSetAreShownAsWritten) {
    prompt.AnswerMessageBox(IDOK);
    AnswerDialog(1168, Fixture("charsets.vcf"));
    m_frame.OnCommand(32844);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "6 names added to current database.You will need to edit them to add them to specific groups.");
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person where LName = 'Иванов' and City = 'Москва'"), 1);
    m_frame.resize(1000, 700);
    m_frame.show();
    QApplication::processEvents();
    SaveScreenshot(&m_frame, "import-wab-charsets");
}

TEST_F(ImportWabCommandTest, CancelImportsNothing) {
    AnswerNextModal([](QWidget* w) { Button(w, IDCANCEL)->click(); });
    EXPECT_TRUE(m_frame.OnCommand(32844));
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_EQ(m_counter.modified, 0);
    EXPECT_EQ(g_db.ExecScalar("select count(*) from Person"), 0);
}

} // namespace
