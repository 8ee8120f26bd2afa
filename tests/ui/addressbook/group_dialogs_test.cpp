#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/Schema.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/GroupDetailsDlg.h"
#include "ui/addressbook/GroupListDlg.h"
#include "ui/frame/MainFrame.h"
#include "ui/app/SplashDlg.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char* const kYellowPagesId = "04E27642-0068-11da-BBFB-9C5F0D33683A";
const char* const kWhitePagesId = "04E27643-0068-11da-BBFB-9C5F0D33683A";

const char* const kDuplicateText = "%s is already listed in the table of Adress Book Groups.\nPlease enter "
                                   "a different description.";

QTreeWidget* List(QWidget* dialog) {
    return FindControl<QTreeWidget>(dialog, CGroupListDlg::kIdList);
}

QPushButton* Button(QWidget* dialog, int id) {
    return FindControl<QPushButton>(dialog, id);
}

QLineEdit* DescEdit(QWidget* dialog) {
    return FindControl<QLineEdit>(dialog, CGroupDetailsDlg::kIdDesc);
}

std::vector<std::string> ListTexts(QWidget* dialog) {
    std::vector<std::string> texts;
    QTreeWidget* list = List(dialog);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.push_back(list->topLevelItem(i)->text(0).toStdString());
    return texts;
}

// Selects the list item showing text.
void SelectItem(QWidget* dialog, const QString& text) {
    QTreeWidget* list = List(dialog);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == text)
            list->setCurrentItem(list->topLevelItem(i));
}

// Every group of the document: ID -> description.
std::map<std::string, std::string> StoredGroups() {
    std::vector<CPhGroup> groups;
    EXPECT_TRUE(g_doc.GetGroups(groups));
    std::map<std::string, std::string> byId;
    for (const CPhGroup& group : groups)
        byId[group.m_ID.c_str()] = group.m_Desc.c_str();
    return byId;
}

// Answers the details dialog: types the description and presses OK.
std::function<void(QWidget*)> EnterDescription(const QString& text, QString* shown = nullptr) {
    return [text, shown](QWidget* w) {
        if (shown)
            *shown = DescEdit(w)->text();
        DescEdit(w)->setText(text);
        Button(w, IDOK)->click();
        // A refused description keeps the dialog open; leave it as Cancel would.
        if (w->isVisible())
            Button(w, IDCANCEL)->click();
    };
}

class CountingObserver : public CDocObserver {
public:
    void OnDocumentModified() override { ++modified; }
    int modified = 0;
};

// A new document in a temp folder, made by the document's own File New, and a prompt that records
// every box.
class GroupDialogsTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        prompt.AnswerCreateDb(CString(dir.File("Groups")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        ASSERT_FALSE(error);
        ASSERT_EQ(prompt.UnexpectedCalls(), 0);
        prompt.Clear();
    }

    void TearDown() override {
        StopAnsweringModals();
        g_db.Close();
    }

    // Runs the list dialog on the document with the answer; returns the changed flag.
    bool RunList(std::function<void(CGroupListDlg*)> answer) {
        CGroupListDlg dialog;
        dialog.SetDocument(&g_doc);
        bool answered = false;
        AnswerNextModal([answer, &answered](QWidget* w) {
            auto* list = dynamic_cast<CGroupListDlg*>(w);
            answered = list != nullptr;
            if (list)
                answer(list);
            if (w->isVisible())
                Button(w, IDOK)->click();
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(answered) << "the list dialog was not the modal answered";
        return dialog.m_changed;
    }

    // Clicks a button of the list dialog with the details dialog answered by details.
    static void ClickWithDetails(QWidget* list, int id, std::function<void(QWidget*)> details) {
        AnswerNextModal(std::move(details));
        Button(list, id)->click();
    }

    TempDir dir;
    ScriptedPrompt prompt;
};

TEST_F(GroupDialogsTest, ListShowsEveryGroupButAllOrderedByDescription) {
    CPhGroup family;
    family.m_ID = "0A0A0A0A-0000-1111-2222-333344445555";
    family.m_Desc = "Family";
    ASSERT_TRUE(g_doc.InsertGroup(family));
    const bool changed = RunList([](CGroupListDlg* w) {
        EXPECT_EQ(w->windowTitle(), "Address Book Groups");
        EXPECT_EQ(ListTexts(w), (std::vector<std::string>{"Family", "White Pages", "Yellow Pages"}));
        QTreeWidget* list = List(w);
        EXPECT_EQ(list->headerItem()->text(0), "Group");
        EXPECT_EQ(list->columnCount(), 1);
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(w->SelectedIndex(), 0);
        EXPECT_EQ(w->SelectedGroupId(), "0A0A0A0A-0000-1111-2222-333344445555");
        SelectItem(w, "White Pages");
        EXPECT_EQ(w->SelectedGroupId(), kWhitePagesId);
        const std::map<int, QString> buttons = {{CGroupListDlg::kIdAdd, "&Add"},
                                                {CGroupListDlg::kIdDelete, "&Delete"},
                                                {CGroupListDlg::kIdEdit, "&Edit"},
                                                {IDOK, "&Close"}};
        for (const auto& [id, text] : buttons) {
            ASSERT_NE(Button(w, id), nullptr) << id;
            EXPECT_EQ(Button(w, id)->text(), text) << id;
            EXPECT_TRUE(Button(w, id)->isEnabled()) << id;
        }
        EXPECT_TRUE(Button(w, IDOK)->isDefault());
        w->resize(340, 260);
        SaveScreenshot(w, "group-list-dialog");
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(prompt.Calls().size(), 0u);
    EXPECT_GE(prompt.WaitCursorsShown(), 1);
    EXPECT_EQ(prompt.WaitCursorDepth(), 0);
}

TEST_F(GroupDialogsTest, OnlyAllLeftGivesAnEmptyListWithEditAndDeleteDisabled) {
    ASSERT_EQ(g_db.ExecDml("delete from PhGroup where ID <> '04E27641-0068-11da-BBFB-9C5F0D33683A'"), 2);
    RunList([](CGroupListDlg* w) {
        EXPECT_TRUE(ListTexts(w).empty());
        EXPECT_EQ(w->SelectedIndex(), -1);
        EXPECT_TRUE(Button(w, CGroupListDlg::kIdAdd)->isEnabled());
        EXPECT_FALSE(Button(w, CGroupListDlg::kIdEdit)->isEnabled());
        EXPECT_FALSE(Button(w, CGroupListDlg::kIdDelete)->isEnabled());
        // Called anyway (as a test can), they touch nothing and ask nothing.
        w->OnEdit();
        w->OnDelete();
    });
    EXPECT_EQ(prompt.Calls().size(), 0u);
    EXPECT_EQ(StoredGroups().size(), 1u);
}

TEST_F(GroupDialogsTest, AddStoresANewGroupWithANewIdAndRefillsTheList) {
    const bool changed = RunList([](CGroupListDlg* w) {
        QString shown = QStringLiteral("unset");
        ClickWithDetails(w, CGroupListDlg::kIdAdd, [&shown](QWidget* details) {
            EXPECT_EQ(details->windowTitle(), "Address Book Group Details");
            EXPECT_FALSE(Button(details, IDOK)->isEnabled()) << "an empty description cannot be accepted";
            EXPECT_EQ(FindControl<QLabel>(details, CGroupDetailsDlg::kIdDescLabel)->text(), "Description:");
            EXPECT_EQ(Button(details, IDOK)->text(), "OK");
            EXPECT_EQ(Button(details, IDCANCEL)->text(), "Cancel");
            DescEdit(details)->setText(QStringLiteral("Friends"));
            EXPECT_TRUE(Button(details, IDOK)->isEnabled());
            SaveScreenshot(details, "group-details-dialog");
            EnterDescription(QStringLiteral("Friends"), &shown)(details);
        });
        EXPECT_EQ(shown, "Friends");
        EXPECT_EQ(ListTexts(w), (std::vector<std::string>{"Friends", "White Pages", "Yellow Pages"}));
        EXPECT_EQ(w->SelectedIndex(), 0);
        EXPECT_TRUE(w->m_changed);
    });
    EXPECT_TRUE(changed);
    const std::map<std::string, std::string> groups = StoredGroups();
    ASSERT_EQ(groups.size(), 4u);
    int friends = 0;
    for (const auto& [id, desc] : groups) {
        if (desc != "Friends")
            continue;
        ++friends;
        EXPECT_EQ(id.size(), 31u);
        EXPECT_NE(id, Schema::kGroupAllId);
    }
    EXPECT_EQ(friends, 1);
    EXPECT_EQ(prompt.Calls().size(), 0u);
}

TEST_F(GroupDialogsTest, CancelledAddChangesNothing) {
    const bool changed = RunList([](CGroupListDlg* w) {
        ClickWithDetails(w, CGroupListDlg::kIdAdd, [](QWidget* details) {
            DescEdit(details)->setText(QStringLiteral("Never stored"));
            Button(details, IDCANCEL)->click();
        });
        EXPECT_EQ(ListTexts(w).size(), 2u);
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(StoredGroups().size(), 3u);
}

struct DuplicateCase {
    const char* typed;
    bool refused;
};

TEST_F(GroupDialogsTest, AddRefusesADescriptionAnotherGroupHasInTheSameCaseOnly) {
    const DuplicateCase cases[] = {{"Yellow Pages", true},
                                   {"All", true},
                                   {"yellow pages", false},
                                   {"ALL", false},
                                   {"Yellow Pages ", false}};
    for (const DuplicateCase& c : cases) {
        SCOPED_TRACE(c.typed);
        prompt.Clear();
        const size_t before = StoredGroups().size();
        bool stayedOpen = false;
        bool textSelected = false;
        bool focusInEdit = false;
        const bool changed = RunList([&](CGroupListDlg* w) {
            ClickWithDetails(w, CGroupListDlg::kIdAdd, [&](QWidget* details) {
                DescEdit(details)->setText(QString::fromUtf8(c.typed));
                Button(details, IDOK)->click();
                stayedOpen = details->isVisible();
                textSelected = DescEdit(details)->selectedText() == QString::fromUtf8(c.typed);
                focusInEdit = details->focusWidget() == DescEdit(details);
                if (stayedOpen)
                    Button(details, IDCANCEL)->click();
            });
        });
        EXPECT_EQ(stayedOpen, c.refused);
        EXPECT_EQ(changed, !c.refused);
        EXPECT_EQ(StoredGroups().size(), before + (c.refused ? 0 : 1));
        if (c.refused) {
            EXPECT_TRUE(textSelected);
            EXPECT_TRUE(focusInEdit);
            ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
            CString text;
            text.Format(kDuplicateText, c.typed);
            EXPECT_EQ(prompt.MessageBoxes()[0].text, text);
            EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Duplicate Address Book Group");
            EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_ICONERROR));
        } else {
            EXPECT_TRUE(prompt.MessageBoxes().empty());
        }
    }
}

TEST_F(GroupDialogsTest, EditShowsTheDescriptionAndKeepingItUnchangedIsAccepted) {
    const bool changed = RunList([](CGroupListDlg* w) {
        SelectItem(w, "Yellow Pages");
        QString shown;
        ClickWithDetails(w, CGroupListDlg::kIdEdit, EnterDescription(QStringLiteral("Yellow Pages"), &shown));
        EXPECT_EQ(shown, "Yellow Pages");
        EXPECT_EQ(ListTexts(w), (std::vector<std::string>{"White Pages", "Yellow Pages"}));
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(StoredGroups()[kYellowPagesId], "Yellow Pages");
    EXPECT_TRUE(prompt.MessageBoxes().empty());
}

TEST_F(GroupDialogsTest, EditRenamesTheSelectedGroup) {
    const bool changed = RunList([](CGroupListDlg* w) {
        SelectItem(w, "White Pages");
        ClickWithDetails(w, CGroupListDlg::kIdEdit, EnterDescription(QStringLiteral("Suppliers")));
        EXPECT_EQ(ListTexts(w), (std::vector<std::string>{"Suppliers", "Yellow Pages"}));
    });
    EXPECT_TRUE(changed);
    const std::map<std::string, std::string> groups = StoredGroups();
    EXPECT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups.at(kWhitePagesId), "Suppliers");
    EXPECT_EQ(groups.at(kYellowPagesId), "Yellow Pages");
}

TEST_F(GroupDialogsTest, EditRefusesTheDescriptionOfAnotherGroup) {
    bool stayedOpen = false;
    const bool changed = RunList([&stayedOpen](CGroupListDlg* w) {
        SelectItem(w, "White Pages");
        ClickWithDetails(w, CGroupListDlg::kIdEdit, [&stayedOpen](QWidget* details) {
            DescEdit(details)->setText(QStringLiteral("Yellow Pages"));
            Button(details, IDOK)->click();
            stayedOpen = details->isVisible();
            Button(details, IDCANCEL)->click();
        });
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(changed);
    EXPECT_EQ(StoredGroups().at(kWhitePagesId), "White Pages");
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    CString text;
    text.Format(kDuplicateText, "Yellow Pages");
    EXPECT_EQ(prompt.MessageBoxes()[0].text, text);
}

TEST_F(GroupDialogsTest, DeleteAsksFirstAndNoKeepsTheGroup) {
    prompt.AnswerMessageBox(IDNO);
    const bool changed = RunList([](CGroupListDlg* w) {
        SelectItem(w, "Yellow Pages");
        Button(w, CGroupListDlg::kIdDelete)->click();
        EXPECT_EQ(ListTexts(w).size(), 2u);
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(StoredGroups().count(kYellowPagesId), 1u);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text,
              "Are you sure you want to delete the selected group? If it is in "
              "use anywhere, it will not be deleted");
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Delete Group");
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
}

TEST_F(GroupDialogsTest, DeleteOfAnUnusedStandardGroupWorks) {
    prompt.AnswerMessageBox(IDYES);
    prompt.AnswerMessageBox(IDYES);
    const bool changed = RunList([](CGroupListDlg* w) {
        SelectItem(w, "Yellow Pages");
        Button(w, CGroupListDlg::kIdDelete)->click();
        EXPECT_EQ(ListTexts(w), std::vector<std::string>{"White Pages"});
        Button(w, CGroupListDlg::kIdDelete)->click();
        EXPECT_TRUE(ListTexts(w).empty());
        EXPECT_FALSE(Button(w, CGroupListDlg::kIdEdit)->isEnabled());
        EXPECT_FALSE(Button(w, CGroupListDlg::kIdDelete)->isEnabled());
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(StoredGroups(), (std::map<std::string, std::string>{{Schema::kGroupAllId, "All"}}));
    EXPECT_EQ(prompt.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
}

TEST_F(GroupDialogsTest, AGroupWithMembersIsNotDeleted) {
    CPerson person;
    person.m_ID = "0B0B0B0B-0000-1111-2222-333344445555";
    person.m_LName = "Meyer";
    CPhGroup yellow;
    yellow.m_ID = kYellowPagesId;
    ASSERT_TRUE(g_doc.InsertPerson(person, {yellow}));
    prompt.AnswerMessageBox(IDYES);
    const bool changed = RunList([](CGroupListDlg* w) {
        SelectItem(w, "Yellow Pages");
        Button(w, CGroupListDlg::kIdDelete)->click();
        EXPECT_EQ(ListTexts(w).size(), 2u);
        EXPECT_EQ(w->SelectedGroupId(), kYellowPagesId) << "the list is not rebuilt";
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(StoredGroups().count(kYellowPagesId), 1u);
    ASSERT_EQ(prompt.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompt.MessageBoxes()[1].text, "The group is in use. It was not deleted.");
    EXPECT_EQ(prompt.MessageBoxes()[1].caption, "Delete Group");
    EXPECT_EQ(prompt.MessageBoxes()[1].flags, static_cast<unsigned>(MB_ICONINFORMATION));
}

TEST_F(GroupDialogsTest, AFailedInsertLeavesTheFlagAndTheListAsTheyWere) {
    g_db.ExecDml(
        "create trigger RefuseGroups before insert on PhGroup begin select raise(abort, 'refused'); end");
    const bool changed = RunList([](CGroupListDlg* w) {
        ClickWithDetails(w, CGroupListDlg::kIdAdd, EnterDescription(QStringLiteral("Friends")));
        EXPECT_EQ(ListTexts(w).size(), 2u);
        EXPECT_FALSE(w->m_changed);
    });
    EXPECT_FALSE(changed);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Adding Address Book Group");
    EXPECT_NE(std::string(prompt.MessageBoxes()[0].text.c_str()).find("refused"), std::string::npos);
}

TEST_F(GroupDialogsTest, EditStopsWhenTheDescriptionCannotBeRead) {
    bool detailsOpened = false;
    const bool changed = RunList([&detailsOpened](CGroupListDlg* w) {
        g_db.ExecDml("alter table PhGroup rename to PhGroupAway");
        AnswerNextModal([&detailsOpened](QWidget* details) {
            detailsOpened = true;
            Button(details, IDCANCEL)->click();
        });
        Button(w, CGroupListDlg::kIdEdit)->click();
        QApplication::processEvents();
        g_db.ExecDml("alter table PhGroupAway rename to PhGroup");
        StopAnsweringModals();
        EXPECT_EQ(ListTexts(w).size(), 2u);
    });
    EXPECT_FALSE(detailsOpened);
    EXPECT_FALSE(changed);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Reading Address Book Groups");
}

TEST_F(GroupDialogsTest, DetailsStayOpenWhenTheGroupsCannotBeReadForTheCheck) {
    CGroupDetailsDlg details;
    details.m_addMode = true;
    details.SetDocument(&g_doc);
    bool stayedOpen = false;
    AnswerNextModal([&stayedOpen](QWidget* w) {
        g_db.ExecDml("alter table PhGroup rename to PhGroupAway");
        DescEdit(w)->setText(QStringLiteral("Friends"));
        Button(w, IDOK)->click();
        stayedOpen = w->isVisible();
        g_db.ExecDml("alter table PhGroupAway rename to PhGroup");
        Button(w, IDCANCEL)->click();
    });
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(prompt.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, "Error Reading Address Book Groups");
}

TEST_F(GroupDialogsTest, DetailsEnterWithAnEmptyDescriptionDoesNothingAndEscapeCancels) {
    CGroupDetailsDlg details;
    details.m_addMode = false;
    details.m_desc = "White Pages";
    details.m_ownDesc = "White Pages";
    details.SetDocument(&g_doc);
    bool stayedOpen = false;
    AnswerNextModal([&stayedOpen](QWidget* w) {
        EXPECT_EQ(DescEdit(w)->text(), "White Pages");
        EXPECT_TRUE(Button(w, IDOK)->isEnabled());
        DescEdit(w)->clear();
        EXPECT_FALSE(Button(w, IDOK)->isEnabled());
        static_cast<QDialog*>(w)->accept();
        stayedOpen = w->isVisible();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &escape);
    });
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(details.m_desc, "White Pages") << "a cancelled run keeps the description it was given";
}

TEST_F(GroupDialogsTest, EscapeAndTheCloseBoxEndTheListAsCloseDoes) {
    for (const bool useEscape : {true, false}) {
        CGroupListDlg dialog;
        dialog.SetDocument(&g_doc);
        bool closed = false;
        AnswerNextModal([useEscape, &closed](QWidget* w) {
            if (useEscape) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(w, &escape);
            } else {
                w->close();
            }
            closed = !w->isVisible();
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(closed) << useEscape;
        EXPECT_EQ(List(&dialog)->topLevelItemCount(), 0) << "the items are removed as the dialog ends";
    }
}

struct HelpCase {
    int control;
    int topic;
};

TEST_F(GroupDialogsTest, HelpKeyOverAControlShowsItsPopup) {
    CGroupListDlg list;
    const HelpCase listCases[] = {{CGroupListDlg::kIdList, 1900},
                                  {CGroupListDlg::kIdAdd, 1010},
                                  {CGroupListDlg::kIdEdit, 1011},
                                  {CGroupListDlg::kIdDelete, 1012},
                                  {IDOK, 1013}};
    for (const HelpCase& c : listCases) {
        ClearLastHelpRequest();
        ASSERT_TRUE(list.OnContextHelp(FindControl(&list, c.control))) << c.control;
        EXPECT_EQ(LastHelpRequest().command, static_cast<unsigned>(HH_TP_HELP_WM_HELP));
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic) << c.control;
        EXPECT_EQ(LastHelpRequest().url, HelpFilePath());
    }
    CGroupDetailsDlg details;
    const HelpCase detailsCases[] = {{CGroupDetailsDlg::kIdDescLabel, 1800},
                                     {CGroupDetailsDlg::kIdDesc, 1800},
                                     {IDOK, 1000},
                                     {IDCANCEL, 1001}};
    for (const HelpCase& c : detailsCases) {
        ClearLastHelpRequest();
        ASSERT_TRUE(details.OnContextHelp(FindControl(&details, c.control))) << c.control;
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic) << c.control;
    }
    // F1 on the list's focused viewport finds the list itself.
    ClearLastHelpRequest();
    list.show();
    List(&list)->viewport()->setFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(List(&list)->viewport(), &f1);
    EXPECT_EQ(LastHelpRequest().popupTopic, 1900);
    list.hide();
}

TEST(GroupDescriptions, DuplicateRuleForAddingAndEditing) {
    std::vector<CPhGroup> groups(3);
    groups[0].m_Desc = "All";
    groups[1].m_Desc = "Friends";
    groups[2].m_Desc = "Work";
    struct Case {
        const char* desc;
        bool adding;
        const char* own;
        bool duplicate;
    };
    const Case cases[] = {
        {"Friends", true, "", true},      {"friends", true, "", false},
        {"New", true, "", false},         {"Friends", false, "Friends", false},
        {"Work", false, "Friends", true}, {"All", false, "Friends", true},
        {"Work ", false, "Work", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDuplicateGroupDesc(groups, c.desc, c.adding, c.own), c.duplicate)
            << c.desc << " adding " << c.adding << " own " << c.own;
}

// The frame's Address Book Groups command: after a change every view reloads; without one none does.
class GroupCommandTest : public GroupDialogsTest {
protected:
    void SetUp() override {
        CSplashDlg::s_timeoutMs = 1;
        GroupDialogsTest::SetUp();
    }
    FrameEnvironment env;
};

TEST_F(GroupCommandTest, TheFrameMarksTheDocumentModifiedOnlyAfterAChange) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    CountingObserver observer;
    observer.Attach(&g_doc);

    AnswerNextModal([](QWidget* w) { Button(w, IDOK)->click(); });
    EXPECT_TRUE(frame.OnCommand(32834));
    EXPECT_EQ(observer.modified, 0);

    AnswerNextModal([&frame](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Address Book Groups");
        EXPECT_EQ(w->parentWidget(), &frame);
        ClickWithDetails(w, CGroupListDlg::kIdAdd, EnterDescription(QStringLiteral("Clients")));
        Button(w, IDOK)->click();
    });
    EXPECT_TRUE(frame.OnCommand(32834));
    EXPECT_EQ(observer.modified, 1);
    EXPECT_TRUE(g_doc.IsModified());
    EXPECT_EQ(StoredGroups().size(), 4u);
    EXPECT_TRUE(frame.RoutedCommands().empty());
}

} // namespace
