#include "data/DbDoc.h"
#include "data/SqlDb.h"
#include "platform/qt/Controls.h"
#include "platform/qt/RecentDocumentList.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/PelmoApp.h"
#include "ui/app/SplashDlg.h"
#include "ui/document/CreateDbDlg.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const char* const kFiles = "Software\\Quillex\\Pelmora\\Files";
const char* const kRecent = "Software\\Quillex\\Pelmora\\Recent Document List";

// Answers the real Create/Open dialog: path and password (typed twice in create mode).
std::function<void(QWidget*)> FillCreateDialog(const std::string& path, const QString& password) {
    return [path, password](QWidget* w) {
        FindControl<QLineEdit>(w, 1058)->setText(QString::fromStdString(path));
        FindControl<QLineEdit>(w, 1177)->setText(password);
        FindControl<QLineEdit>(w, 1178)->setText(password);
        FindControl<QPushButton>(w, IDOK)->click();
    };
}

// Answers the password dialog with a password, or cancels it.
std::function<void(QWidget*)> EnterPassword(const QString& password, QString* shownPath = nullptr,
                                            bool cancel = false) {
    return [=](QWidget* w) {
        if (shownPath)
            *shownPath = FindControl<QLineEdit>(w, 1058)->text();
        FindControl<QLineEdit>(w, 1177)->setText(password);
        FindControl<QPushButton>(w, cancel ? IDCANCEL : IDOK)->click();
    };
}

class MainFrameDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        prompt.createDbRunner = [](CreateDbRequest& request) {
            CCreateDbDlg dialog;
            dialog.m_createMode = request.createMode;
            if (dialog.DoModal() != IDOK)
                return false;
            request.path = dialog.m_path;
            request.password = dialog.m_password;
            request.retypedPassword = dialog.m_retypedPassword;
            return true;
        };
    }

    // Creates a document through File New and the real Create dialog.
    std::string NewDocument(CMainFrame& frame, const std::string& name, const QString& password) {
        const std::string path = dir.File(name);
        AnswerNextModal(FillCreateDialog(path, password));
        frame.OnCommand(57600);
        return path + ".pgr";
    }

    FrameEnvironment env;
    DialogRunningPrompt prompt;
    TempDir dir;
};

TEST_F(MainFrameDocumentTest, NewDocumentThenReopenFromTheRecentList) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    const std::string plans = NewDocument(frame, "Plans", "pw");
    ASSERT_TRUE(std::filesystem::exists(plans));
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + plans + "]");
    EXPECT_TRUE(g_doc.IsOpen());
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
    EXPECT_EQ(env.registry.ReadDword(kRecent, "DocumentCount"), 1u);
    EXPECT_EQ(env.registry.ReadString(kRecent, "Document1"), CString(plans));
    frame.OnIdle(0);
    for (int id : {57604, 32786, 32787, 32848, 32771, 32834, 32813, 32814, 32815, 32844, 32846})
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
    // An empty document has nothing to export.
    for (int id : {32781, 32801, 32783})
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    frame.resize(800, 560);
    frame.show();
    SaveScreenshot(&frame, "main-frame-document");

    const std::string other = NewDocument(frame, "Other", "");
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + other + "]");
    ASSERT_EQ(frame.RecentFiles().Entries().size(), 2u);
    EXPECT_EQ(frame.RecentFiles().Entries()[1], plans.c_str());

    QString shownPath;
    AnswerNextModal(EnterPassword("pw", &shownPath));
    frame.OnCommand(CRecentDocumentList::kFirstId + 1);
    EXPECT_EQ(shownPath.toStdString(), plans);
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + plans + "]");
    EXPECT_EQ(frame.RecentFiles().Entries()[0], plans.c_str());
    EXPECT_EQ(env.registry.ReadString(kRecent, "Document1"), CString(plans));
    EXPECT_STREQ(g_openPassword, "pw");
    EXPECT_TRUE(prompt.MessageBoxes().empty());

    // Closing stores the open document's path.
    frame.close();
    EXPECT_EQ(env.registry.ReadString(kFiles, "LastFileUsed"), CString(plans));
}

// File Open of a document the user may read but not write says so; a wrong password is still told
// as one. Root may write any file, so the frame runs in a child process that, started as root,
// becomes the unprivileged user "nobody" and makes its own read-only document; the exit code tells
// which check failed.
TEST_F(MainFrameDocumentTest, OpeningADocumentThatMayNotBeWrittenSaysSo) {
    // A fresh process of its own: other tests of this program leave threads that a plain fork
    // would copy in the middle of their work.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto checks = [this] {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(90);
        char folder[] = "/tmp/pelm-frame-read-only-XXXXXX";
        if (!mkdtemp(folder))
            _exit(91);
        const std::string path = std::string(folder) + "/Shared.pgr";
        SetPasswordBuffer(g_typedPassword, "right");
        bool error = false;
        if (!g_doc.CreateDocument(path.c_str(), error))
            _exit(92);
        g_db.Close();
        chmod(path.c_str(), 0444);
        CString typed;
        prompt.createDbRunner = [&](CreateDbRequest& request) {
            request.path = path.c_str();
            request.password = typed;
            return true;
        };
        CMainFrame frame;
        frame.Create();
        int failed = 0;
        for (const char* password : {"right", "wrong"}) {
            typed = password;
            prompt.Clear();
            frame.OnCommand(57601);
            const bool readOnly = typed == "right";
            const std::vector<ScriptedPrompt::Call> boxes = prompt.MessageBoxes();
            const bool told = boxes.size() == 1 && boxes[0].caption == "Pelmora" &&
                              (readOnly ? boxes[0].text.Find("The file cannot be written") >= 0 &&
                                              boxes[0].text.Find(path.c_str()) >= 0
                                        : boxes[0].text == "Error loading file.");
            const bool titled = frame.windowTitle().contains(QString::fromStdString(path));
            failed |= (told && !titled ? 0 : 1) << (readOnly ? 0 : 1);
        }
        chmod(path.c_str(), 0644);
        std::filesystem::remove_all(folder);
        _exit(failed);
    };
    // Exit code 1: the read-only document was not told so; 2: the wrong password was not.
    EXPECT_EXIT(checks(), testing::ExitedWithCode(0), "");
}

TEST_F(MainFrameDocumentTest, WrongPasswordFromTheRecentListRemovesTheEntry) {
    CMainFrame frame;
    frame.Create();
    const std::string locked = NewDocument(frame, "Locked", "right");
    const std::string plain = NewDocument(frame, "Plain", "");
    ASSERT_EQ(frame.RecentFiles().Entries().size(), 2u);
    ASSERT_EQ(frame.RecentFiles().Entries()[1], locked.c_str());
    AnswerNextModal(EnterPassword("wrong"));
    frame.OnCommand(CRecentDocumentList::kFirstId + 1);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Error loading file.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Pelmora");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    ASSERT_EQ(frame.RecentFiles().Entries().size(), 1u);
    EXPECT_EQ(env.registry.ReadDword(kRecent, "DocumentCount"), 1u);
    // The document that was open stays open.
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + plain + "]");
    EXPECT_EQ(g_doc.GetTitle(), plain.c_str());
}

TEST_F(MainFrameDocumentTest, RecentEntryOfADeletedFileIsRemovedAtOnce) {
    CMainFrame frame;
    frame.Create();
    const std::string gone = NewDocument(frame, "Gone", "");
    NewDocument(frame, "Kept", "");
    std::filesystem::remove(gone);
    frame.OnCommand(CRecentDocumentList::kFirstId + 1);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text.str(),
              "The database you have tried to open:\n (\"" + gone +
                  "\")\n was not found. It has been deleted or moved to a "
                  "different location.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "File Not Found");
    EXPECT_EQ(frame.RecentFiles().Entries().size(), 1u);
    EXPECT_EQ(frame.FileMenu()->actions()[13]->menu()->actions().size(), 1);
}

TEST_F(MainFrameDocumentTest, CancelledNewChangesNothing) {
    CMainFrame frame;
    frame.Create();
    const QString title = frame.windowTitle();
    AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    frame.OnCommand(57600);
    EXPECT_EQ(frame.windowTitle(), title);
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

TEST_F(MainFrameDocumentTest, QuotedCommandLineOpensThatPath) {
    std::string path;
    {
        CMainFrame creator;
        creator.Create();
        path = NewDocument(creator, "My Plans", "key");
    }
    CMainFrame frame;
    frame.m_commandLine = ("\"" + path + "\"").c_str();
    QString shownPath;
    AnswerNextModal(EnterPassword("key", &shownPath));
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(shownPath.toStdString(), path);
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
    EXPECT_FALSE(frame.QuitRequested());
}

TEST_F(MainFrameDocumentTest, SwitchInFrontOfThePathIsDropped) {
    std::string path;
    {
        CMainFrame creator;
        creator.Create();
        path = NewDocument(creator, "Switched", "");
    }
    CMainFrame frame;
    frame.m_commandLine = ("/x " + path).c_str();
    AnswerNextModal(EnterPassword(""));
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
}

TEST_F(MainFrameDocumentTest, TwoQuotedPathsNameNoFileAndOpenNothing) {
    std::string a, b;
    {
        CMainFrame creator;
        creator.Create();
        a = NewDocument(creator, "A", "");
        b = NewDocument(creator, "B", "");
    }
    CMainFrame frame;
    frame.m_commandLine = ("\"" + a + "\" \"" + b + "\"").c_str();
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    // The joined name is reported as a missing file; no password is asked for it.
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_NE(prompt.MessageBoxes()[0].text.str().find("(\"" + a + " " + b + "\")"), std::string::npos);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "File Not Found");
}

TEST_F(MainFrameDocumentTest, MissingCommandLinePathIsReportedWithoutAskingForAPassword) {
    const std::string missing = dir.File("nowhere.pgr");
    CMainFrame frame;
    frame.m_commandLine = ("\"" + missing + "\"").c_str();
    bool passwordAsked = false;
    AnswerNextModal([&passwordAsked](QWidget* w) {
        passwordAsked = true;
        static_cast<QDialog*>(w)->reject();
    });
    ASSERT_TRUE(frame.Create());
    StopAnsweringModals();
    EXPECT_FALSE(passwordAsked);
    EXPECT_FALSE(frame.QuitRequested());
    EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text.str(),
              "The database you have tried to open:\n (\"" + missing +
                  "\")\n was not found. It has been deleted or moved to a different location.");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "File Not Found");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
}

TEST_F(MainFrameDocumentTest, CommandLineDocumentThatDoesNotOpenIsNamedInAMessage) {
    std::string locked;
    const std::string notADatabase = dir.File("notes.pgr");
    {
        CMainFrame creator;
        creator.Create();
        locked = NewDocument(creator, "Locked", "right");
    }
    std::FILE* file = std::fopen(notADatabase.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a database, only some words of text that fill a page or so", file);
    std::fclose(file);
    g_db.Close();
    for (const std::string& path : {locked, notADatabase}) {
        SCOPED_TRACE(path);
        prompt.Clear();
        CMainFrame frame;
        frame.m_commandLine = ("\"" + path + "\"").c_str();
        AnswerNextModal(EnterPassword("wrong"));
        ASSERT_TRUE(frame.Create());
        EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        EXPECT_EQ(prompt.MessageBoxes()[0].text.str(),
                  "Unable to open the database:\n (\"" + path +
                      "\")\n It is not a Pelmora database or the password is wrong.");
        EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Opening Database");
    }
}

TEST_F(MainFrameDocumentTest, CancelOnTheFirstCommandLinePasswordEndsTheProgram) {
    std::string path;
    {
        CMainFrame creator;
        creator.Create();
        path = NewDocument(creator, "Asked", "pw");
    }
    CMainFrame frame;
    frame.m_commandLine = ("\"" + path + "\"").c_str();
    AnswerNextModal(EnterPassword("", nullptr, true));
    ASSERT_TRUE(frame.Create());
    EXPECT_TRUE(frame.QuitRequested());
    EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
}

TEST_F(MainFrameDocumentTest, LastFileIsOpenedWhenChosen) {
    std::string path;
    {
        CMainFrame creator;
        creator.Create();
        path = NewDocument(creator, "Last", "pw");
    }
    env.registry.WriteDword(kFiles, "OpenLastFile", 1);
    env.registry.WriteString(kFiles, "LastFileUsed", path.c_str());
    CMainFrame frame;
    AnswerNextModal(EnterPassword("pw"));
    ASSERT_TRUE(frame.Create());
    EXPECT_TRUE(frame.m_openLastFile);
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

// What start-up shows for a last file that is gone and for one that is there but does not open, in
// the order shown: a missing file is said to be missing and no password is asked for it.
TEST_F(MainFrameDocumentTest, LastFileThatIsMissingOrFailsShowsItsBoxesInOrderAndTheProgramGoesOn) {
    struct Case {
        const char* name;
        bool present; // a file that is no Pelmora database lies at the path
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"deleted.pgr", false, {"File Not Found"}},
        {"not a database.pgr", true, {"password dialog", "Pelmora"}},
    };
    env.registry.WriteDword(kFiles, "OpenLastFile", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (c.present) {
            FILE* file = std::fopen(path.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            std::fputs("plain text, not a database", file);
            std::fclose(file);
        }
        env.registry.WriteString(kFiles, "LastFileUsed", path.c_str());
        prompt.Clear();
        std::vector<std::pair<size_t, std::string>> dialogs; // (boxes shown before it, what it was)
        AnswerNextModal([&](QWidget* w) {
            dialogs.emplace_back(prompt.Calls().size(), "password dialog");
            EnterPassword("")(w);
        });
        CMainFrame frame;
        ASSERT_TRUE(frame.Create());
        QApplication::processEvents();
        StopAnsweringModals();
        std::vector<std::string> shown;
        const std::vector<ScriptedPrompt::Call>& calls = prompt.Calls();
        auto dialog = dialogs.begin();
        for (size_t i = 0; i <= calls.size(); ++i) {
            for (; dialog != dialogs.end() && dialog->first == i; ++dialog)
                shown.push_back(dialog->second);
            if (i < calls.size())
                shown.push_back(calls[i].caption.c_str());
        }
        EXPECT_EQ(shown, c.shown);
        const std::vector<ScriptedPrompt::Call> boxes = prompt.MessageBoxes();
        ASSERT_FALSE(boxes.empty());
        if (c.present) {
            EXPECT_EQ(boxes.back().text, "Unable to load last file opened");
        } else {
            EXPECT_NE(std::string(boxes.back().text.c_str()).find(path), std::string::npos);
            EXPECT_EQ(boxes.back().flags & MB_ICONERROR, unsigned(MB_ICONERROR));
        }
        EXPECT_FALSE(frame.QuitRequested());
        EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    }
}

TEST_F(MainFrameDocumentTest, OpenLastFileWithoutAStoredPathOpensNothingAndSaysNothing) {
    env.registry.WriteDword(kFiles, "OpenLastFile", 1);
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored empty" : "missing");
        // Quitting with no document open stores the empty path.
        if (stored)
            env.registry.WriteString(kFiles, "LastFileUsed", "");
        bool asked = false;
        AnswerNextModal([&](QWidget* w) {
            asked = true;
            static_cast<QDialog*>(w)->reject();
        });
        CMainFrame frame;
        ASSERT_TRUE(frame.Create());
        QApplication::processEvents();
        StopAnsweringModals();
        EXPECT_FALSE(asked) << "no password is asked for";
        EXPECT_TRUE(prompt.Calls().empty());
        EXPECT_FALSE(frame.QuitRequested());
        EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    }
}

// The stored path is the path of the document: backslashes and double quotes in it are kept.
TEST_F(MainFrameDocumentTest, LastFileWithABackslashOrAQuoteInItsNameOpensAtTheNextStart) {
    for (const char* name : {"back\\slash", "we\"ird", "\"both\\\""}) {
        SCOPED_TRACE(name);
        std::string path;
        env.registry.WriteDword(kFiles, "OpenLastFile", 0);
        {
            CMainFrame first;
            ASSERT_TRUE(first.Create());
            path = NewDocument(first, name, "pw");
            ASSERT_TRUE(std::filesystem::exists(path));
            first.close();
        }
        ASSERT_EQ(env.registry.ReadString(kFiles, "LastFileUsed"), CString(path));
        env.registry.WriteDword(kFiles, "OpenLastFile", 1);
        QString shownPath;
        // A path read back in pieces would ask again for each piece.
        AnswerModals({EnterPassword("pw", &shownPath), EnterPassword("", nullptr, true),
                      EnterPassword("", nullptr, true)});
        CMainFrame frame;
        ASSERT_TRUE(frame.Create());
        StopAnsweringModals();
        EXPECT_EQ(shownPath.toStdString(), path);
        EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
        EXPECT_TRUE(prompt.MessageBoxes().empty());
        frame.close();
    }
}

TEST_F(MainFrameDocumentTest, BackupProposesTheNameAndReports) {
    CMainFrame frame;
    frame.Create();
    const std::string path = NewDocument(frame, "Diary", "");
    const std::string copy = dir.File("copy.pgr");
    prompt.AnswerFileDialog(copy.c_str());
    frame.OnCommand(32786);
    const auto& calls = prompt.Calls();
    ASSERT_GE(calls.size(), 2u);
    const FileDialogRequest& request = calls[calls.size() - 2].fileDialog;
    EXPECT_EQ(request.fileName, "Backup of Diary");
    EXPECT_EQ(request.defaultExt, "pgr");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].first, "Pelmora Files (*.pgr)");
    EXPECT_EQ(request.filters[1].second, "*.*");
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text.str(), path + " successfully backed up to " + copy);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Backup Succeeded!");
    EXPECT_TRUE(std::filesystem::exists(copy));
}

TEST_F(MainFrameDocumentTest, ChangePasswordThroughTheDialog) {
    CMainFrame frame;
    frame.Create();
    const std::string path = NewDocument(frame, "Secret", "old");
    AnswerNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Change the password for the database shown");
        FindControl<QLineEdit>(w, 1177)->setText("old");
        FindControl<QLineEdit>(w, 1178)->setText("new");
        FindControl<QLineEdit>(w, 1179)->setText("new");
        FindControl<QPushButton>(w, IDOK)->click();
    });
    frame.OnCommand(32848);
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_STREQ(g_openPassword, "new");
}

// Someone who does not know the open document's password cannot set a new one.
TEST_F(MainFrameDocumentTest, ChangePasswordRefusesAWrongCurrentPassword) {
    struct Case {
        const char* password; // of the open document
        const char* typed;    // as the current password
    };
    const Case cases[] = {{"old", "guess"}, {"old", ""}, {"", "anything"}, {"old", "old "}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.password << " / " << c.typed);
        CMainFrame frame;
        frame.Create();
        const std::string path = NewDocument(frame, "Secret" + std::to_string(n++), c.password);
        prompt.Clear();
        bool keptOpen = false;
        bool currentCleared = false;
        AnswerNextModal([&](QWidget* w) {
            FindControl<QLineEdit>(w, 1177)->setText(c.typed);
            FindControl<QLineEdit>(w, 1178)->setText("new");
            FindControl<QLineEdit>(w, 1179)->setText("new");
            FindControl<QPushButton>(w, IDOK)->click();
            keptOpen = w->isVisible();
            currentCleared = FindControl<QLineEdit>(w, 1177)->text().isEmpty();
            FindControl<QPushButton>(w, IDCANCEL)->click();
        });
        frame.OnCommand(32848);
        EXPECT_TRUE(keptOpen);
        ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
        EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Wrong Password");
        EXPECT_EQ(prompt.MessageBoxes()[0].text,
                  "The current password you typed is not the password of this database. The password "
                  "has not been changed.");
        EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_TRUE(currentCleared);
        EXPECT_STREQ(g_openPassword, c.password);
        g_db.Close();
        SetPasswordBuffer(g_typedPassword, c.password);
        EXPECT_TRUE(g_doc.OnOpenDocument(path.c_str())) << "the document opens with its old password";
        g_db.Close();
    }
}

TEST_F(MainFrameDocumentTest, OpenWithAWrongPasswordReportsAndForgetsTheLastFile) {
    std::string path;
    {
        CMainFrame creator;
        creator.Create();
        path = NewDocument(creator, "Guarded", "good");
    }
    env.registry.WriteString(kFiles, "LastFileUsed", path.c_str());
    CMainFrame frame;
    frame.Create();
    AnswerNextModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Open An Existing Database");
        FindControl<QLineEdit>(w, 1058)->setText(QString::fromStdString(path));
        FindControl<QLineEdit>(w, 1177)->setText("bad");
        FindControl<QPushButton>(w, IDOK)->click();
    });
    frame.OnCommand(57601);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Error loading file.");
    EXPECT_EQ(env.registry.ReadString(kFiles, "LastFileUsed"), CString(""));
    AnswerNextModal([&](QWidget* w) {
        FindControl<QLineEdit>(w, 1058)->setText(QString::fromStdString(path));
        FindControl<QLineEdit>(w, 1177)->setText("good");
        FindControl<QPushButton>(w, IDOK)->click();
    });
    frame.OnCommand(57601);
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
    EXPECT_EQ(frame.RecentFiles().Entries()[0], path.c_str());
}

TEST_F(MainFrameDocumentTest, SaveAsWorksOnTheCopyAfterwards) {
    CMainFrame frame;
    frame.Create();
    NewDocument(frame, "Original", "");
    const std::string copy = dir.File("Copy.pgr");
    prompt.AnswerFileDialog(copy.c_str());
    frame.OnCommand(57604);
    EXPECT_TRUE(prompt.MessageBoxes().empty());
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + copy + "]");
    EXPECT_EQ(frame.RecentFiles().Entries()[0], copy.c_str());
    // Globals.C and S of the copy were set to today at midnight before the copy.
    EXPECT_EQ(g_doc.m_created.GetHour(), 0);
    EXPECT_EQ(g_doc.m_saved.GetMinute(), 0);
}

TEST_F(MainFrameDocumentTest, CompactShowsTheWaitCursorAndNotifies) {
    CMainFrame frame;
    frame.Create();
    NewDocument(frame, "Compact", "");
    const int before = prompt.WaitCursorsShown();
    frame.OnCommand(32787);
    EXPECT_EQ(prompt.WaitCursorsShown(), before + 2); // the command's and the document's own
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

TEST_F(MainFrameDocumentTest, FailedBackupAndSaveAsReportAndKeepTheDocument) {
    CMainFrame frame;
    frame.Create();
    const std::string path = NewDocument(frame, "Ledger", "");
    const std::string nowhere = dir.File("missing/copy.pgr");
    prompt.AnswerFileDialog(nowhere.c_str());
    frame.OnCommand(32786);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, "Unable to back up file");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Backup failed");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
    prompt.AnswerFileDialog(nowhere.c_str());
    frame.OnCommand(57604);
    ASSERT_EQ(prompt.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompt.MessageBoxes()[1].text.str(), "Error saving " + path + ".");
    EXPECT_EQ(prompt.MessageBoxes()[1].caption, "Pelmora");
    EXPECT_EQ(prompt.MessageBoxes()[1].flags, static_cast<unsigned>(MB_RETRYCANCEL | MB_ICONERROR));
    EXPECT_EQ(frame.windowTitle().toStdString(), "Pelmora [" + path + "]");
    EXPECT_EQ(g_doc.GetPathName(), CString(path));
    EXPECT_EQ(frame.RecentFiles().Entries()[0], path.c_str());
}

TEST_F(MainFrameDocumentTest, NewDocumentThatCannotBeCreatedReportsAndStaysWithoutDocument) {
    CMainFrame frame;
    frame.Create();
    AnswerNextModal(FillCreateDialog(dir.File("missing/New"), ""));
    frame.OnCommand(57600);
    ASSERT_FALSE(prompt.MessageBoxes().empty());
    EXPECT_EQ(prompt.MessageBoxes().back().text, "Error creating new database.");
    EXPECT_EQ(prompt.MessageBoxes().back().caption, "Pelmora");
    EXPECT_EQ(prompt.MessageBoxes().back().flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(frame.windowTitle(), "Pelmora [No Database]");
    EXPECT_TRUE(frame.RecentFiles().Entries().empty());
}

TEST_F(MainFrameDocumentTest, IdleWithADocumentEnablesItsCommandsAndTheExportsByTheirRows) {
    CMainFrame frame;
    frame.Create();
    NewDocument(frame, "Busy", "");
    frame.OnIdle(0);
    for (int id : {57604, 32786, 32787, 32848, 32771, 32834, 32813, 32814, 32815, 32844, 32846, 32830, 32829})
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
    // Nothing to export yet.
    for (int id : {32781, 32801, 32783})
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    g_db.ExecDml("insert into Task(ID, Desc) values('t1', 'Call')");
    g_db.ExecDml("insert into Appt(ID, Desc) values('a1', 'Lunch')");
    g_doc.m_listedPersonCount = 1;
    frame.OnIdle(0);
    for (int id : {32781, 32801, 32783})
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
    g_doc.m_listedPersonCount = 0;
}

TEST(CommandLineFields, ReadAsTheFieldReaderDoes) {
    struct Case {
        const char* line;
        std::vector<CString> fields;
    };
    const Case cases[] = {
        {"\"C:\\Data\\My Plans.pgr\"", {"C:\\Data\\My Plans.pgr"}},
        {"/x C:\\Data\\plans.pgr", {"C:\\\\Data\\\\plans.pgr"}},
        {"\"/a/b.pgr\" \"/c/d.pgr\"", {"/a/b.pgr /c/d.pgr"}},
        {"/home/u/plans.pgr", {"/home/u/plans.pgr"}},
        {"   ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMainFrame::CommandLineFields(c.line), c.fields) << c.line;
    EXPECT_EQ(CMainFrame::LastFileFields("/home/u/plans.pgr"), std::vector<CString>{"/home/u/plans.pgr"});
    EXPECT_EQ(CMainFrame::LastFileFields("/home/u/back\\slash \"x\".pgr"),
              std::vector<CString>{"/home/u/back\\slash \"x\".pgr"});
    EXPECT_TRUE(CMainFrame::LastFileFields("").empty());
}

TEST(CommandLineFields, AQuotedPathInAOneLetterDirectoryWithABlankIsKeptWhole) {
    // The shape of a switch ("/x ...") inside one quoted argument is part of the path.
    EXPECT_EQ(CMainFrame::CommandLineFields("\"/a plans/week.pgr\""),
              std::vector<CString>{"/a plans/week.pgr"});
    EXPECT_EQ(CMainFrame::LastFileFields("/a plans/week.pgr"), std::vector<CString>{"/a plans/week.pgr"});
    char program[] = "pelmo", path[] = "/a plans/week.pgr";
    char* argv[] = {program, path};
    EXPECT_EQ(CMainFrame::CommandLineFields(CommandLineOf(2, argv)),
              std::vector<CString>{"/a plans/week.pgr"});
}

TEST(CommandLineFields, EveryArgumentNameReadsBackAsItWasGiven) {
    const char* const names[] = {"/home/u/plans.pgr",      "/home/u/My Plans.pgr", "/home/u/back\\slash.pgr",
                                 "/home/u/say \"hi\".pgr", "/home/u/it\"s.pgr",    "\"quoted.pgr"};
    for (const char* name : names) {
        std::string copy = name;
        char program[] = "pelmo";
        char* argv[] = {program, copy.data()};
        EXPECT_EQ(CMainFrame::CommandLineFields(CommandLineOf(2, argv)), std::vector<CString>{name}) << name;
    }
}

} // namespace
