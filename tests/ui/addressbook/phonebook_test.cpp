#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "data/IdMaker.h"
#include "data/SqlDb.h"
#include "platform/qt/Controls.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PhoneBookFrame.h"
#include "ui/addressbook/PhoneBookPane.h"
#include "ui/addressbook/VwPhbklist.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char* const kAllId = "04E27641-0068-11da-BBFB-9C5F0D33683A";
const char* const kYellowPagesId = "04E27642-0068-11da-BBFB-9C5F0D33683A";
const char* const kWhitePagesId = "04E27643-0068-11da-BBFB-9C5F0D33683A";

class UpdateCounter : public CDocObserver {
public:
    void OnUpdate() override { ++updates; }
    void OnDocumentModified() override { ++modified; }
    int updates = 0;
    int modified = 0;
};

std::vector<std::string> Column(const CVwPhbklist& list, int column) {
    std::vector<std::string> texts;
    const QAbstractItemModel* model = list.PersonList()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        texts.push_back(model->index(i, column).data().toString().toStdString());
    return texts;
}

// The name in the list's current row, empty without one.
QString CurrentName(const CVwPhbklist& list) {
    return list.PersonList()->currentIndex().siblingAtColumn(0).data().toString();
}

std::vector<std::string> ChooserTexts(const CVwPhbklist& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GroupChooser()->count(); ++i)
        texts.push_back(list.GroupChooser()->itemText(i).toStdString());
    return texts;
}

int IndexOfName(const CVwPhbklist& list, const std::string& name) {
    const std::vector<std::string> names = Column(list, 0);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

// Selects the row as a click does: through the list's own selection.
void ClickRow(CVwPhbklist& list, int index) {
    QTreeView* tree = list.PersonList();
    tree->setCurrentIndex(tree->model()->index(index, 0));
}

void FocusList(CVwPhbklist& list) {
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(list.PersonList(), &focus);
}

// Picks the group as the user does: the chooser's activation.
void ChooseGroupNamed(CVwPhbklist& list, const QString& desc) {
    const int index = list.GroupChooser()->findText(desc);
    ASSERT_GE(index, 0) << desc.toStdString();
    list.GroupChooser()->setCurrentIndex(index);
    emit list.GroupChooser()->activated(index);
}

// A new document in a temp folder with persons in the standard groups:
//   Adams, Ann     Zeta Corp    Yellow Pages
//   Brown, Bob     (none)       Yellow Pages, White Pages
//   Clark, Cy      Acme         White Pages
//   Dunn, Di       (none)       no group but "All"
class PhoneBookTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        prompt.AnswerCreateDb(CString(dir.File("Book")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        ASSERT_FALSE(error);
        prompt.Clear();
        g_doc.m_currentGroupId = CString();
        g_doc.m_currentPersonId = CString();
        g_doc.m_personSortOrder = 0;
        g_doc.m_listedPersonCount = 0;
        adams = AddPerson("Ann", "Adams", "Zeta Corp", {kYellowPagesId});
        brown = AddPerson("Bob", "Brown", "", {kYellowPagesId, kWhitePagesId});
        clark = AddPerson("Cy", "Clark", "Acme", {kWhitePagesId});
        dunn = AddPerson("Di", "Dunn", "", {});
        g_doc.SetModifiedFlag(false, false);
    }

    void TearDown() override {
        StopAnsweringModals();
        g_db.Close();
    }

    static CString AddPerson(const char* first, const char* last, const char* company,
                             const std::vector<const char*>& groupIds) {
        CPerson person;
        person.m_ID.Format("P-%s", last);
        person.m_FName = first;
        person.m_LName = last;
        person.m_Company = company;
        person.BuildDisplayName();
        std::vector<CPhGroup> groups;
        for (const char* id : groupIds) {
            CPhGroup group;
            group.m_ID = id;
            groups.push_back(group);
        }
        EXPECT_TRUE(g_doc.InsertPerson(person, groups));
        return person.m_ID;
    }

    static bool Exists(const CString& id) {
        CPerson person;
        person.m_ID = id;
        return g_doc.GetPerson(person);
    }

    // The application exists before any widget member of a derived fixture is made, also when ctest
    // runs one test per process.
    const bool appReady = (TestApp(), true);
    TempDir dir;
    ScriptedPrompt prompt;
    CString adams, brown, clark, dunn;
};

TEST_F(PhoneBookTest, FrameSplitsTheListFromTheTabbedDetailArea) {
    CPhoneBookFrame frame;
    EXPECT_EQ(frame.windowTitle(), "Telephone Book");
    EXPECT_EQ(frame.Splitter()->orientation(), Qt::Horizontal);
    EXPECT_EQ(frame.Splitter()->widget(0), frame.PersonList());
    EXPECT_EQ(frame.Splitter()->widget(1), frame.DetailPane());
    QTabWidget* tabs = frame.DetailPane()->Tabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Home");
    EXPECT_EQ(tabs->tabText(1), "Business");
    EXPECT_EQ(tabs->tabText(2), "Notes");
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    EXPECT_EQ(frame.DetailPane()->ShowingPane(), tabs->widget(0));
    tabs->setCurrentIndex(2);
    EXPECT_EQ(frame.DetailPane()->ShowingPane(), tabs->widget(2));
}

TEST_F(PhoneBookTest, ListPaneHasItsControlsAndCommands) {
    CVwPhbklist list;
    EXPECT_EQ(FindControl<QComboBox>(&list, 1027), list.GroupChooser());
    EXPECT_EQ(FindControl<QTreeView>(&list, 1006), list.PersonList());
    ASSERT_NE(FindControl<QWidget>(&list, 1113), nullptr);
    QTreeView* tree = list.PersonList();
    EXPECT_EQ(tree->model()->headerData(0, Qt::Horizontal), "Name");
    EXPECT_EQ(tree->model()->headerData(1, Qt::Horizontal), "Company");
    EXPECT_EQ(tree->selectionMode(), QAbstractItemView::SingleSelection);
    std::vector<std::string> menu;
    for (QAction* action : list.ContextMenu()->actions())
        menu.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    EXPECT_EQ(menu, (std::vector<std::string>{"&Add...", "&Delete", "&Edit...", "-", "E&mail Group..."}));
    EXPECT_EQ(list.ContextMenu()->title(), "&Phone Book");
    std::vector<std::pair<int, std::string>> tips;
    for (QAction* action : list.findChild<QToolBar*>()->actions())
        if (!action->isSeparator())
            tips.emplace_back(CommandIdOf(action), action->toolTip().toStdString());
    EXPECT_EQ(
        tips,
        (std::vector<std::pair<int, std::string>>{
            {32775, "Add name"}, {32776, "Delete name"}, {32777, "Edit name"}, {32836, "Email group"}}));
}

TEST_F(PhoneBookTest, GroupsAreListedAndTheFirstBecomesCurrent) {
    CVwPhbklist list;
    list.OnUpdate();
    EXPECT_EQ(ChooserTexts(list), (std::vector<std::string>{"All", "White Pages", "Yellow Pages"}));
    EXPECT_EQ(std::string(g_doc.m_currentGroupId), kAllId);
    EXPECT_EQ(list.GroupChooser()->currentIndex(), 0);
    EXPECT_EQ(Column(list, 0),
              (std::vector<std::string>{"Adams, Ann", "Brown, Bob", "Clark, Cy", "Dunn, Di"}));
    EXPECT_EQ(g_doc.m_listedPersonCount, 4);
}

TEST_F(PhoneBookTest, TheDocumentsCurrentGroupIsSelectedInTheChooser) {
    g_doc.m_currentGroupId = kWhitePagesId;
    CVwPhbklist list;
    list.OnUpdate();
    EXPECT_EQ(list.GroupChooser()->currentText(), "White Pages");
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Brown, Bob", "Clark, Cy"}));
    EXPECT_EQ(g_doc.m_listedPersonCount, 2);
}

TEST_F(PhoneBookTest, ChoosingAGroupListsItsMembersAndCountsThem) {
    CVwPhbklist list;
    list.OnUpdate();
    struct Case {
        QString group;
        const char* id;
        std::vector<std::string> names;
    };
    const Case cases[] = {{"Yellow Pages", kYellowPagesId, {"Adams, Ann", "Brown, Bob"}},
                          {"White Pages", kWhitePagesId, {"Brown, Bob", "Clark, Cy"}},
                          {"All", kAllId, {"Adams, Ann", "Brown, Bob", "Clark, Cy", "Dunn, Di"}}};
    for (const Case& c : cases) {
        ChooseGroupNamed(list, c.group);
        EXPECT_EQ(std::string(g_doc.m_currentGroupId), c.id) << c.group.toStdString();
        EXPECT_EQ(Column(list, 0), c.names) << c.group.toStdString();
        EXPECT_EQ(g_doc.m_listedPersonCount, static_cast<int>(c.names.size()));
        EXPECT_EQ(list.ListedCount(), static_cast<int>(c.names.size()));
    }
}

TEST_F(PhoneBookTest, AnEmptyGroupLeavesNoCurrentPersonAndDisablesThePersonCommands) {
    CPhGroup empty;
    empty.m_ID = "G-EMPTY";
    empty.m_Desc = "Bowling Club";
    ASSERT_TRUE(g_doc.InsertGroup(empty));
    g_doc.m_currentPersonId = adams;
    CVwPhbklist list;
    list.OnUpdate();
    ChooseGroupNamed(list, "Bowling Club");
    EXPECT_EQ(list.ListedCount(), 0);
    EXPECT_EQ(g_doc.m_listedPersonCount, 0);
    EXPECT_TRUE(g_doc.m_currentPersonId.IsEmpty());
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.OnIdle(0);
    EXPECT_TRUE(list.UpdateState().UIIsEnabled(32775));
    for (int id : {32776, 32777, 32836})
        EXPECT_FALSE(list.UpdateState().UIIsEnabled(id)) << id;
}

TEST_F(PhoneBookTest, CommandStatesFollowTheSelectionAndTheDocument) {
    CVwPhbklist list;
    list.OnUpdate();
    list.OnIdle(0);
    EXPECT_TRUE(list.UpdateState().UIIsEnabled(32836));
    EXPECT_FALSE(list.UpdateState().UIIsEnabled(32776));
    ClickRow(list, 1);
    list.OnIdle(0);
    for (int id : {32775, 32776, 32777, 32836})
        EXPECT_TRUE(list.UpdateState().UIIsEnabled(id)) << id;
}

struct SortCase {
    int column;
    std::vector<std::string> names;
    std::vector<std::string> companies;
};

TEST_F(PhoneBookTest, ColumnClicksSortByNameOrByCompanyWithEmptyCompaniesFirst) {
    CVwPhbklist list;
    CVwPhbklist other;
    list.OnUpdate();
    other.OnUpdate();
    const SortCase cases[] = {
        {1, {"Brown, Bob", "Dunn, Di", "Clark, Cy", "Adams, Ann"}, {"", "", "Acme", "Zeta Corp"}},
        {0, {"Adams, Ann", "Brown, Bob", "Clark, Cy", "Dunn, Di"}, {"Zeta Corp", "", "Acme", ""}},
    };
    for (const SortCase& c : cases) {
        list.SortByColumn(c.column);
        EXPECT_EQ(g_doc.m_personSortOrder, c.column);
        EXPECT_EQ(Column(list, 0), c.names) << c.column;
        EXPECT_EQ(Column(list, 1), c.companies) << c.column;
        // The order lives in the document, so the other list takes it on its next reload.
        other.OnUpdate();
        EXPECT_EQ(Column(other, 0), c.names) << c.column;
    }
}

TEST_F(PhoneBookTest, HeaderClickSortsThroughTheListItself) {
    CVwPhbklist list;
    list.OnUpdate();
    emit list.PersonList()->header()->sectionClicked(1);
    EXPECT_EQ(g_doc.m_personSortOrder, 1);
    EXPECT_EQ(Column(list, 0).front(), "Brown, Bob");
}

TEST_F(PhoneBookTest, SelectingAPersonInTheShowingWindowStoresAndTellsTheOtherViews) {
    CPhoneBookFrame frame;
    frame.resize(700, 400);
    frame.show();
    CVwPhbklist& list = *frame.PersonList();
    list.OnUpdate();
    UpdateCounter other;
    other.Attach(&g_doc);
    ClickRow(list, IndexOfName(list, "Clark, Cy"));
    EXPECT_EQ(g_doc.m_currentPersonId, clark);
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(other.updates, 1);
    EXPECT_EQ(other.modified, 0);
    other.Detach();
}

TEST_F(PhoneBookTest, TheHiddenWindowsListFollowsWithoutTellingAnyone) {
    CPhoneBookFrame showing;
    CPhoneBookFrame hidden;
    showing.show();
    showing.PersonList()->OnUpdate();
    hidden.PersonList()->OnUpdate();
    UpdateCounter other;
    other.Attach(&g_doc);
    ClickRow(*showing.PersonList(), IndexOfName(*showing.PersonList(), "Brown, Bob"));
    // The hidden list was told and selected the same person, and told nobody in turn.
    EXPECT_EQ(other.updates, 1);
    EXPECT_EQ(hidden.PersonList()->SelectedIndex(), 1);
    EXPECT_EQ(CurrentName(*hidden.PersonList()), "Brown, Bob");
    ClickRow(*hidden.PersonList(), IndexOfName(*hidden.PersonList(), "Dunn, Di"));
    EXPECT_EQ(g_doc.m_currentPersonId, dunn);
    EXPECT_EQ(other.updates, 1);
    other.Detach();
}

TEST_F(PhoneBookTest, AReloadKeepsTheCurrentPersonSelectedOrDropsIt) {
    g_doc.m_currentPersonId = brown;
    CVwPhbklist list;
    list.OnUpdate();
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(CurrentName(list), "Brown, Bob");
    // Bob is in White Pages too, Ann is not: choosing a group keeps only a member.
    ChooseGroupNamed(list, "White Pages");
    EXPECT_EQ(g_doc.m_currentPersonId, brown);
    EXPECT_EQ(list.SelectedIndex(), 0);
    ChooseGroupNamed(list, "Yellow Pages");
    ClickRow(list, IndexOfName(list, "Adams, Ann"));
    ChooseGroupNamed(list, "White Pages");
    EXPECT_TRUE(g_doc.m_currentPersonId.IsEmpty());
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST_F(PhoneBookTest, AChangeOfDataReloadsEveryList) {
    CVwPhbklist list;
    list.OnUpdate();
    AddPerson("Al", "Abel", "", {});
    EXPECT_EQ(list.ListedCount(), 4);
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(Column(list, 0).front(), "Abel, Al");
    EXPECT_EQ(g_doc.m_listedPersonCount, 5);
    // A group that disappears from the document is dropped from the chooser on the next reload.
    CPhGroup yellow;
    yellow.m_ID = kYellowPagesId;
    ChooseGroupNamed(list, "Yellow Pages");
    ASSERT_TRUE(g_doc.DeleteGroup(yellow));
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(ChooserTexts(list), (std::vector<std::string>{"All", "White Pages"}));
    EXPECT_EQ(std::string(g_doc.m_currentGroupId), kAllId);
}

class PhoneBookDeleteTest : public PhoneBookTest {
protected:
    void SetUp() override {
        PhoneBookTest::SetUp();
        list.OnUpdate();
    }
    void Select(const std::string& name) {
        ClickRow(list, IndexOfName(list, name));
        FocusList(list);
    }
    CVwPhbklist list;
};

TEST_F(PhoneBookDeleteTest, DeleteRemovesThePersonAtOnceAndSelectsTheOneAbove) {
    Select("Clark, Cy");
    EXPECT_TRUE(list.OnCommand(32776));
    EXPECT_TRUE(prompt.Calls().empty());
    EXPECT_FALSE(Exists(clark));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Adams, Ann", "Brown, Bob", "Dunn, Di"}));
    EXPECT_EQ(g_doc.m_currentPersonId, brown);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(g_doc.m_listedPersonCount, 3);
}

TEST_F(PhoneBookDeleteTest, DeletingTheFirstEntrySelectsTheNewFirst) {
    Select("Adams, Ann");
    list.OnCommand(32776);
    EXPECT_FALSE(Exists(adams));
    EXPECT_EQ(g_doc.m_currentPersonId, brown);
    EXPECT_EQ(list.SelectedIndex(), 0);
}

TEST_F(PhoneBookDeleteTest, DeletingTheOnlyEntryLeavesNoCurrentPerson) {
    CPhGroup solo;
    solo.m_ID = "G-SOLO";
    solo.m_Desc = "Solo";
    ASSERT_TRUE(g_doc.InsertGroup(solo));
    CPerson dunnPerson;
    dunnPerson.m_ID = dunn;
    ASSERT_TRUE(g_doc.GetPerson(dunnPerson));
    ASSERT_TRUE(g_doc.UpdatePerson(dunnPerson, {solo}));
    list.OnUpdate();
    ChooseGroupNamed(list, "Solo");
    Select("Dunn, Di");
    list.OnCommand(32776);
    EXPECT_FALSE(Exists(dunn));
    EXPECT_EQ(list.ListedCount(), 0);
    EXPECT_TRUE(g_doc.m_currentPersonId.IsEmpty());
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST_F(PhoneBookDeleteTest, DeleteActsOnlyWhenTheListHadTheFocusAndAPersonIsSelected) {
    ClickRow(list, 0);
    list.OnCommand(32776);
    EXPECT_TRUE(prompt.Calls().empty());
    EXPECT_TRUE(Exists(adams));

    list.PersonList()->clearSelection();
    FocusList(list);
    list.OnCommand(32776);
    EXPECT_TRUE(prompt.Calls().empty());
    EXPECT_EQ(list.ListedCount(), 4);
}

TEST_F(PhoneBookDeleteTest, TheDeleteKeyOnTheListDeletes) {
    Select("Brown, Bob");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list.PersonList(), &press);
    EXPECT_FALSE(Exists(brown));
    EXPECT_EQ(g_doc.m_currentPersonId, adams);
}

TEST_F(PhoneBookDeleteTest, DeleteTellsEveryViewIncludingTheList) {
    UpdateCounter other;
    other.Attach(&g_doc);
    Select("Dunn, Di");
    list.OnCommand(32776);
    EXPECT_EQ(other.modified, 1);
    EXPECT_TRUE(g_doc.IsModified());
    other.Detach();
}

TEST_F(PhoneBookTest, AddInsertsTheSheetsPersonAndSelectsIt) {
    CVwPhbklist list;
    list.OnUpdate();
    QString caption;
    list.SetPersonSheet(
        [&caption](QWidget*, const CString& title, CPerson& person, std::vector<CPhGroup>& groups) {
            caption = QString::fromUtf8(title.c_str());
            person.m_FName = "Eve";
            person.m_LName = "Baker";
            person.m_Company = "Bakery";
            CPhGroup yellow;
            yellow.m_ID = kYellowPagesId;
            groups.push_back(yellow);
            return true;
        });
    EXPECT_TRUE(list.OnCommand(32775));
    EXPECT_EQ(caption, "Add Person");
    EXPECT_EQ(Column(list, 0),
              (std::vector<std::string>{"Adams, Ann", "Baker, Eve", "Brown, Bob", "Clark, Cy", "Dunn, Di"}));
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(g_doc.m_currentPersonId, list.PersonIdAt(1));
    EXPECT_EQ(g_doc.m_currentPersonId.GetLength(), kGuidStringLength);
    ChooseGroupNamed(list, "Yellow Pages");
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Adams, Ann", "Baker, Eve", "Brown, Bob"}));
}

TEST_F(PhoneBookTest, AddAndEditDoNothingWhenTheSheetIsCancelled) {
    CVwPhbklist list;
    list.OnUpdate();
    ClickRow(list, 0);
    FocusList(list);
    const auto cancel = [](QWidget* sheet) { ASSERT_TRUE(ClickButton(sheet, QStringLiteral("Cancel"))); };
    AnswerModals({cancel, cancel, cancel});
    list.OnCommand(32775);
    list.OnCommand(32777);
    EXPECT_EQ(list.ListedCount(), 4);
    EXPECT_FALSE(g_doc.IsModified());
    CPerson person;
    std::vector<CPhGroup> groups;
    EXPECT_FALSE(RunPersonSheet(nullptr, CString("Add Person"), person, groups));
}

TEST_F(PhoneBookTest, EditLoadsThePersonWithItsGroupsAndSavesTheSheetsValues) {
    CVwPhbklist list;
    list.OnUpdate();
    ClickRow(list, IndexOfName(list, "Brown, Bob"));
    FocusList(list);
    QString caption;
    CString shownName;
    size_t shownGroups = 0;
    list.SetPersonSheet([&](QWidget*, const CString& title, CPerson& person, std::vector<CPhGroup>& groups) {
        caption = QString::fromUtf8(title.c_str());
        shownName = person.m_DisplayName;
        shownGroups = groups.size();
        person.m_LName = "Zorn";
        groups.clear();
        return true;
    });
    list.OnCommand(32777);
    EXPECT_EQ(caption, "Edit Person");
    EXPECT_EQ(std::string(shownName), "Brown, Bob");
    EXPECT_GE(shownGroups, 2u);
    EXPECT_EQ(Column(list, 0).back(), "Zorn, Bob");
    EXPECT_EQ(g_doc.m_currentPersonId, brown);
    ChooseGroupNamed(list, "White Pages");
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Clark, Cy"}));
}

TEST_F(PhoneBookTest, EditNeedsTheListFocusedAndAReadablePerson) {
    CVwPhbklist list;
    list.OnUpdate();
    int opened = 0;
    list.SetPersonSheet([&opened](QWidget*, const CString&, CPerson&, std::vector<CPhGroup>&) {
        ++opened;
        return true;
    });
    ClickRow(list, 0);
    list.OnCommand(32777);
    EXPECT_EQ(opened, 0);
    FocusList(list);
    g_doc.m_currentPersonId = "NO-SUCH-PERSON";
    list.OnCommand(32777);
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(g_doc.IsModified());
}

TEST_F(PhoneBookTest, DoubleClickingAPersonEditsIt) {
    CVwPhbklist list;
    list.OnUpdate();
    QString caption;
    list.SetPersonSheet([&caption](QWidget*, const CString& title, CPerson&, std::vector<CPhGroup>&) {
        caption = QString::fromUtf8(title.c_str());
        return false;
    });
    ClickRow(list, 2);
    QTreeView* tree = list.PersonList();
    emit tree->doubleClicked(tree->model()->index(2, 0));
    EXPECT_TRUE(list.IsListFocused());
    EXPECT_EQ(caption, "Edit Person");
}

TEST_F(PhoneBookTest, TheContextMenuOpensWithCurrentCommandStates) {
    CVwPhbklist list;
    list.resize(300, 300);
    list.show();
    list.OnUpdate();
    QMenu* menu = list.ContextMenu();
    std::vector<bool> shownStates;
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&] {
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                shownStates.push_back(action->isEnabled());
        QMetaObject::invokeMethod(menu, &QMenu::close, Qt::QueuedConnection);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            list.PersonList()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(list.PersonList()->viewport(), &event);
    // Add and Email Group are available, Delete and Edit wait for a selection.
    EXPECT_EQ(shownStates, (std::vector<bool>{true, false, false, true}));
}

TEST_F(PhoneBookTest, FrameRunsTheListsCommandsOnlyWhileShowing) {
    CPhoneBookFrame frame;
    frame.PersonList()->OnUpdate();
    int opened = 0;
    frame.PersonList()->SetPersonSheet([&opened](QWidget*, const CString&, CPerson&, std::vector<CPhGroup>&) {
        ++opened;
        return false;
    });
    EXPECT_FALSE(frame.OnCommand(32775));
    EXPECT_EQ(opened, 0);
    frame.show();
    EXPECT_TRUE(frame.OnCommand(32775));
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(frame.OnCommand(32836));
}

TEST_F(PhoneBookTest, Screenshot) {
    CPhoneBookFrame frame;
    frame.resize(720, 420);
    frame.show();
    frame.PersonList()->OnUpdate();
    ClickRow(*frame.PersonList(), 1);
    frame.PersonList()->OnIdle(0);
    EXPECT_FALSE(SaveScreenshot(&frame, QStringLiteral("phonebook_frame")).isEmpty());
}

TEST_F(PhoneBookTest, CompactPaneSplitsItsOwnListFromTheHomeAndBusinessTabs) {
    CPhoneBookPane pane;
    EXPECT_EQ(pane.windowTitle(), "Telephone Book");
    EXPECT_EQ(pane.Splitter()->widget(0), pane.PersonList());
    EXPECT_EQ(pane.Splitter()->widget(1), pane.DetailPane());
    QTabWidget* tabs = pane.DetailPane()->Tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Home");
    EXPECT_EQ(tabs->tabText(1), "Business");
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    EXPECT_EQ(pane.DetailPane()->ShowingPane(), tabs->widget(0));
}

TEST_F(PhoneBookTest, BothTelephoneBooksFollowTheShowingOne) {
    CPhoneBookFrame frame;
    CPhoneBookPane compact;
    frame.show();
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(compact.PersonList()->ListedCount(), 4);
    ClickRow(*frame.PersonList(), IndexOfName(*frame.PersonList(), "Dunn, Di"));
    EXPECT_EQ(CurrentName(*compact.PersonList()), "Dunn, Di");
    frame.PersonList()->SortByColumn(1);
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(Column(*compact.PersonList(), 0), Column(*frame.PersonList(), 0));
}

// The address-book view of the main frame fills its list when a document opens, and the frame's
// phone-book export follows the listed-person count.
class PhoneBookInFrameTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        CSplashDlg::s_timeoutMs = 1;
        g_doc.m_currentGroupId = CString();
        g_doc.m_currentPersonId = CString();
        g_doc.m_personSortOrder = 0;
    }
    void TearDown() override {
        StopAnsweringModals();
        g_db.Close();
    }
    FrameEnvironment env;
    ScriptedPrompt prompt;
    TempDir dir;
};

TEST_F(PhoneBookInFrameTest, OpeningADocumentFillsTheListAndTheCountDrivesTheExport) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    CVwPhbklist& list = *frame.AddressBookView()->PersonList();
    prompt.AnswerCreateDb(CString(dir.File("Framed")), CString());
    frame.OnCommand(57600);
    ASSERT_TRUE(g_doc.IsOpen());
    EXPECT_EQ(ChooserTexts(list), (std::vector<std::string>{"All", "White Pages", "Yellow Pages"}));
    EXPECT_EQ(list.ListedCount(), 0);
    frame.OnIdle(0);
    EXPECT_FALSE(frame.Action(32781)->isEnabled());

    CPerson person;
    person.m_ID = "P-ONE";
    person.m_LName = "Only";
    person.BuildDisplayName();
    ASSERT_TRUE(g_doc.InsertPerson(person, {}));
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Only"}));
    EXPECT_EQ(g_doc.m_listedPersonCount, 1);
    frame.OnIdle(0);
    EXPECT_TRUE(frame.Action(32781)->isEnabled());
}

TEST_F(PhoneBookTest, TheListsIdleHandlerRunsWithTheMessageLoop) {
    FrameEnvironment env;
    CVwPhbklist list;
    list.OnUpdate();
    env.loop->RunIdleHandlers();
    const QList<QAction*> tools = list.findChild<QToolBar*>()->actions();
    EXPECT_TRUE(tools.at(0)->isEnabled());
    EXPECT_FALSE(tools.at(1)->isEnabled());
    EXPECT_FALSE(tools.at(2)->isEnabled());
    ClickRow(list, 0);
    env.loop->RunIdleHandlers();
    EXPECT_TRUE(tools.at(1)->isEnabled());
    EXPECT_TRUE(tools.at(2)->isEnabled());
}

} // namespace

TEST_F(PhoneBookTest, BothListsShowTheSameRowsAndAChangeBetweenTheirFillsIsSeen) {
    CVwPhbklist first;
    CVwPhbklist second;
    g_doc.SetModifiedFlag(true, true);
    EXPECT_EQ(Column(second, 0), Column(first, 0));
    EXPECT_EQ(Column(second, 1), Column(first, 1));
    EXPECT_EQ(second.PersonIdAt(2), clark);

    // Rows written without a notification still reach the next fill of either list.
    AddPerson("Eve", "Evans", "", {});
    second.FillList();
    EXPECT_EQ(second.ListedCount(), 5);
    EXPECT_EQ(g_doc.m_listedPersonCount, 5);
    EXPECT_EQ(first.ListedCount(), 4);
    g_db.ExecDml("delete from Person where LName = 'Adams'");
    first.FillList();
    EXPECT_EQ(Column(first, 0),
              (std::vector<std::string>{"Brown, Bob", "Clark, Cy", "Dunn, Di", "Evans, Eve"}));
}

TEST_F(PhoneBookTest, ListsOfOtherGroupsOrOrdersReadTheirOwnRows) {
    CVwPhbklist byName;
    CVwPhbklist byCompany;
    byName.OnUpdate();
    g_doc.m_personSortOrder = 1;
    byCompany.OnUpdate();
    EXPECT_EQ(Column(byName, 0),
              (std::vector<std::string>{"Adams, Ann", "Brown, Bob", "Clark, Cy", "Dunn, Di"}));
    EXPECT_EQ(Column(byCompany, 0),
              (std::vector<std::string>{"Brown, Bob", "Dunn, Di", "Clark, Cy", "Adams, Ann"}));
    ChooseGroupNamed(byName, "White Pages");
    EXPECT_EQ(Column(byName, 0), (std::vector<std::string>{"Brown, Bob", "Clark, Cy"}));
    EXPECT_EQ(byCompany.ListedCount(), 4);
}

// A change of the current date or person leaves the rows in place; anything that may have changed
// them (a write through any connection, another group or order) reads them again.
TEST_F(PhoneBookTest, AnUpdateWithoutAChangeOfPersonsKeepsTheRowsAndSelectsTheCurrentPerson) {
    CVwPhbklist list;
    list.OnUpdate();
    int refills = 0;
    QObject::connect(list.PersonList()->model(), &QAbstractItemModel::modelReset, [&refills] { ++refills; });
    g_doc.m_currentPersonId = clark;
    g_doc.SetCurrentDate(CDateTime(2006, 3, 16));
    list.OnUpdate();
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(CurrentName(list), "Clark, Cy");
    EXPECT_EQ(g_doc.m_listedPersonCount, 4);

    // A current person the group does not hold is cleared, as a refill clears it.
    g_doc.m_currentPersonId = "P-Nobody";
    list.OnUpdate();
    EXPECT_EQ(list.SelectedIndex(), -1);
    EXPECT_TRUE(g_doc.m_currentPersonId.IsEmpty());
    EXPECT_TRUE(list.PersonList()->selectionModel()->selectedRows().isEmpty());

    // Written by another connection: the next update reads the rows again.
    {
        SqlDb other;
        other.Open(g_dbPath.c_str());
        other.ExecDml("update Person set LName = 'Aaron' where LName = 'Dunn'");
    }
    list.OnUpdate();
    EXPECT_GT(refills, 0);
    EXPECT_EQ(Column(list, 0).front(), "Aaron, Di");
    // Written through this connection without a notification: read again too.
    g_db.ExecDml("delete from Person where LName = 'Adams'");
    list.OnUpdate();
    EXPECT_EQ(list.ListedCount(), 3);
    // Another sort order chosen elsewhere.
    g_doc.m_personSortOrder = 1;
    list.OnUpdate();
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Aaron, Di", "Brown, Bob", "Clark, Cy"}));
}
