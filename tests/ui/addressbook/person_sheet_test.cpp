#include "data/DbDoc.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PersonSheet.h"
#include "ui/addressbook/PhoneEdit.h"
#include "ui/addressbook/VwPhbklist.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kAllId = "04E27641-0068-11da-BBFB-9C5F0D33683A";
const char* const kYellowPagesId = "04E27642-0068-11da-BBFB-9C5F0D33683A";
const char* const kWhitePagesId = "04E27643-0068-11da-BBFB-9C5F0D33683A";

// Types the text as keystrokes into the widget.
void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

QLineEdit* EditOf(QWidget* sheet, int id) {
    return FindControl<QLineEdit>(sheet, id);
}

std::vector<std::string> GroupTexts(QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

void SelectGroup(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    items.first()->setSelected(!items.first()->isSelected());
}

class PersonSheetTest : public testing::Test {
protected:
    void SetUp() override {
        prompt.AnswerCreateDb(CString(dir.File("Book")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        prompt.Clear();
        g_doc.m_currentGroupId = CString();
        g_doc.m_currentPersonId = CString();
        g_doc.m_personSortOrder = 0;
    }
    void TearDown() override {
        StopAnsweringModals();
        g_db.Close();
    }

    static std::vector<std::string> GroupsOf(const CString& personId) {
        CPerson person;
        person.m_ID = personId;
        std::vector<CPhGroup> groups;
        EXPECT_TRUE(g_doc.GetPersonWithGroups(person, groups));
        std::vector<std::string> ids;
        for (const CPhGroup& group : groups)
            ids.push_back(group.m_ID.c_str());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    const bool appReady = (TestApp(), true);
    TempDir dir;
    ScriptedPrompt prompt;
};

// What the Add test types into each page: control id, text.
struct Entry {
    int page;
    int id;
    const char* text;
};

const Entry kEntries[] = {
    {0, 1025, "Dr."},
    {0, 1021, "Zoë"},
    {0, 1022, "O'Brien \"Bo\" 100%"},
    {1, 1026, "1 Main St"},
    {1, 1028, "Flat 2"},
    {1, 1029, "Köln"},
    {1, 1030, "NRW"},
    {1, 1479, "50667"},
    {1, 1032, "+49 (221) 123-45.6"},
    {1, 1192, "555-0101"},
    {1, 1040, "555-0102"},
    {1, 1039, "555-0103"},
    {1, 1038, "zoe@example.org"},
    {1, 1041, "www.example.org"},
    {2, 1023, "Acme & Co"},
    {2, 1024, "Boss"},
    {2, 1183, "2 Work Rd"},
    {2, 1184, "Floor 3"},
    {2, 1029, "Bonn"},
    {2, 1030, "NRW"},
    {2, 1479, "53111"},
    {2, 1034, "555-0200"},
    {2, 1042, "42"},
    {2, 1186, "555-0201"},
    {2, 1192, "555-0202"},
    {2, 1194, "555-0203"},
    {2, 1188, "work@example.org"},
    {2, 1190, "https://acme.example"},
};

TEST_F(PersonSheetTest, AddThroughTheSheetStoresEveryFieldAndBothGroups) {
    CVwPhbklist list;
    list.OnUpdate();
    const QString notes =
        QString::fromUtf8("Line 1 with 'quotes' and 50% off\nLine 2: äöü ") + QString(5000, 'n');
    std::vector<std::string> shownGroups;
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<PersonSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), "Add Person");
        for (int page = 0; page < 4; ++page) {
            sheet->SetActivePage(page);
            for (const Entry& entry : kEntries)
                if (entry.page == page) {
                    QLineEdit* edit = EditOf(sheet->GetPage(page), entry.id);
                    ASSERT_NE(edit, nullptr) << entry.id;
                    edit->setText(QString::fromUtf8(entry.text));
                }
            if (page == 0) {
                QListWidget* groups = sheet->m_general.GroupList();
                shownGroups = GroupTexts(groups);
                SelectGroup(groups, QStringLiteral("Yellow Pages"));
                SelectGroup(groups, QStringLiteral("White Pages"));
            }
            if (page == 3)
                sheet->m_notes.NotesEdit()->setPlainText(notes);
        }
        sheet->PressOk();
    });
    list.OnCommand(CVwPhbklist::kAddPerson);

    EXPECT_EQ(shownGroups, (std::vector<std::string>{"White Pages", "Yellow Pages"}));
    ASSERT_FALSE(g_doc.m_currentPersonId.IsEmpty());
    CPerson stored;
    stored.m_ID = g_doc.m_currentPersonId;
    ASSERT_TRUE(g_doc.GetPerson(stored));
    const std::vector<std::pair<const CString*, const char*>> fields = {
        {&stored.m_Title, "Dr."},
        {&stored.m_FName, "Zoë"},
        {&stored.m_LName, "O'Brien \"Bo\" 100%"},
        {&stored.m_Addr1, "1 Main St"},
        {&stored.m_Addr2, "Flat 2"},
        {&stored.m_City, "Köln"},
        {&stored.m_State, "NRW"},
        {&stored.m_Zip, "50667"},
        {&stored.m_HmPhone, "+49 (221) 123-45.6"},
        {&stored.m_HmFax, "555-0101"},
        {&stored.m_CelPhone, "555-0102"},
        {&stored.m_Pager, "555-0103"},
        {&stored.m_Email, "zoe@example.org"},
        {&stored.m_WebPage, "www.example.org"},
        {&stored.m_Company, "Acme & Co"},
        {&stored.m_Position, "Boss"},
        {&stored.m_WkAddr1, "2 Work Rd"},
        {&stored.m_WkAddr2, "Floor 3"},
        {&stored.m_WkCity, "Bonn"},
        {&stored.m_WkState, "NRW"},
        {&stored.m_WkZip, "53111"},
        {&stored.m_WkPhone, "555-0200"},
        {&stored.m_WkExt, "42"},
        {&stored.m_WkFax, "555-0201"},
        {&stored.m_WkCelPhone, "555-0202"},
        {&stored.m_WkPager, "555-0203"},
        {&stored.m_WkEmail, "work@example.org"},
        {&stored.m_WkWebPage, "https://acme.example"},
    };
    for (const auto& [value, expected] : fields)
        EXPECT_STREQ(value->c_str(), expected);
    EXPECT_EQ(QString::fromUtf8(stored.m_Notes.c_str()), notes);
    EXPECT_EQ(GroupsOf(stored.m_ID), (std::vector<std::string>{kAllId, kYellowPagesId, kWhitePagesId}));
    // The list shows the new person selected.
    ASSERT_EQ(list.SelectedIndex(), 0);
    EXPECT_EQ(list.PersonList()->model()->index(0, 1).data().toString().toStdString(), "Acme & Co");
}

TEST_F(PersonSheetTest, AddWithNothingTypedStoresAPersonWithEmptyNamesUnderAll) {
    CVwPhbklist list;
    list.OnUpdate();
    bool okEnabled = false;
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<PersonSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        okEnabled = sheet->OkButton()->isEnabled();
        sheet->PressOk();
    });
    list.OnCommand(CVwPhbklist::kAddPerson);
    EXPECT_TRUE(okEnabled);
    CPerson stored;
    stored.m_ID = g_doc.m_currentPersonId;
    ASSERT_TRUE(g_doc.GetPerson(stored));
    EXPECT_TRUE(stored.m_FName.IsEmpty());
    EXPECT_TRUE(stored.m_LName.IsEmpty());
    EXPECT_EQ(GroupsOf(stored.m_ID), (std::vector<std::string>{kAllId}));
}

TEST_F(PersonSheetTest, OkFollowsNamesOnGeneralAndCompanyOnBusiness) {
    PersonSheet sheet(QStringLiteral("Add Person"));
    sheet.m_general.m_doc = &g_doc;
    sheet.show();
    QPushButton* ok = sheet.OkButton();
    EXPECT_TRUE(ok->isEnabled());
    QLineEdit* first = EditOf(&sheet.m_general, PersonGeneralPage::kIdFName);
    Type(first, QStringLiteral("A"));
    EXPECT_TRUE(ok->isEnabled());
    first->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(first, &erase);
    EXPECT_FALSE(ok->isEnabled());
    // A company alone is enough.
    sheet.SetActivePage(2);
    Type(EditOf(&sheet.m_business, CBusinessPage::kIdCompany), QStringLiteral("Acme"));
    EXPECT_TRUE(ok->isEnabled());
    // A change on a page holding no name keeps the rule.
    sheet.SetActivePage(1);
    Type(EditOf(&sheet.m_home, PersonHomePage::kIdCity), QStringLiteral("Bonn"));
    EXPECT_TRUE(ok->isEnabled());
    sheet.PressCancel();
}

TEST_F(PersonSheetTest, OkCountsTheLoadedCompanyOfAPageNotYetShown) {
    PersonSheet sheet(QStringLiteral("Edit Person"));
    sheet.m_general.m_doc = &g_doc;
    CPerson person;
    person.m_FName = "Ann";
    person.m_Company = "Acme";
    sheet.LoadFrom(person, {});
    sheet.show();
    QLineEdit* first = EditOf(&sheet.m_general, PersonGeneralPage::kIdFName);
    first->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(first, &erase);
    EXPECT_TRUE(sheet.OkButton()->isEnabled());
    sheet.PressCancel();
}

class PersonSheetEditTest : public PersonSheetTest {
protected:
    void SetUp() override {
        PersonSheetTest::SetUp();
        CPerson person;
        person.m_ID = "P-1";
        person.m_FName = "Ann";
        person.m_LName = "Adams";
        person.m_Notes = "keep";
        person.BuildDisplayName();
        CPhGroup yellow;
        yellow.m_ID = kYellowPagesId;
        ASSERT_TRUE(g_doc.InsertPerson(person, {yellow}));
        g_doc.m_currentPersonId = "P-1";
    }
};

TEST_F(PersonSheetEditTest, EditShowsTheStoredFieldsAndGroupsAndSavesTheChanges) {
    CVwPhbklist list;
    list.OnUpdate();
    list.NoteListFocused();
    std::vector<std::string> selected;
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<PersonSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), "Edit Person");
        EXPECT_EQ(EditOf(sheet, PersonGeneralPage::kIdFName)->text(), "Ann");
        QListWidget* groups = sheet->m_general.GroupList();
        for (QListWidgetItem* item : groups->selectedItems())
            selected.push_back(item->text().toStdString());
        SelectGroup(groups, QStringLiteral("Yellow Pages"));
        SelectGroup(groups, QStringLiteral("White Pages"));
        EditOf(sheet, PersonGeneralPage::kIdLName)->setText(QStringLiteral("Baker"));
        sheet->PressOk();
    });
    list.OnCommand(CVwPhbklist::kEditPerson);
    EXPECT_EQ(selected, (std::vector<std::string>{"Yellow Pages"}));
    CPerson stored;
    stored.m_ID = "P-1";
    ASSERT_TRUE(g_doc.GetPerson(stored));
    EXPECT_STREQ(stored.m_LName.c_str(), "Baker");
    EXPECT_STREQ(stored.m_Notes.c_str(), "keep");
    EXPECT_EQ(GroupsOf("P-1"), (std::vector<std::string>{kAllId, kWhitePagesId}));
    EXPECT_EQ(list.PersonList()->model()->index(0, 0).data().toString().toStdString(), "Baker, Ann");
}

TEST_F(PersonSheetEditTest, CancelChangesNothingInTheDatabase) {
    CVwPhbklist list;
    list.OnUpdate();
    list.NoteListFocused();
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<PersonSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        EditOf(sheet, PersonGeneralPage::kIdLName)->setText(QStringLiteral("Baker"));
        SelectGroup(sheet->m_general.GroupList(), QStringLiteral("Yellow Pages"));
        sheet->SetActivePage(3);
        sheet->m_notes.NotesEdit()->setPlainText(QStringLiteral("gone"));
        sheet->PressCancel();
    });
    g_doc.SetModifiedFlag(false, false);
    list.OnCommand(CVwPhbklist::kEditPerson);
    CPerson stored;
    stored.m_ID = "P-1";
    ASSERT_TRUE(g_doc.GetPerson(stored));
    EXPECT_STREQ(stored.m_LName.c_str(), "Adams");
    EXPECT_STREQ(stored.m_Notes.c_str(), "keep");
    EXPECT_EQ(GroupsOf("P-1"), (std::vector<std::string>{kAllId, kYellowPagesId}));
    EXPECT_FALSE(g_doc.IsModified());
}

TEST_F(PersonSheetTest, SheetHasItsFourPagesInOrder) {
    PersonSheet sheet(QStringLiteral("Add Person"));
    ASSERT_EQ(sheet.GetPageCount(), 4);
    const char* titles[] = {"General", "Home", "Business", "Notes"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sheet.GetPage(i)->Title().toStdString(), titles[i]);
}

struct HelpCase {
    int page;
    int id;
    int topic;
};

TEST_F(PersonSheetTest, HelpKeyOverAFieldShowsItsPopup) {
    PersonSheet sheet(QStringLiteral("Add Person"));
    sheet.m_general.m_doc = &g_doc;
    sheet.show();
    const HelpCase cases[] = {
        {0, 1021, 1201}, {0, 1027, 1205}, {1, 1026, 1207}, {1, 1032, 1220},
        {2, 1023, 1203}, {2, 1042, 1222}, {2, 1192, 1226}, {3, 1043, 1230},
    };
    for (const HelpCase& c : cases) {
        sheet.SetActivePage(c.page);
        QWidget* control = FindControl(sheet.GetPage(c.page), c.id);
        ASSERT_NE(control, nullptr) << c.id;
        ClearLastHelpRequest();
        QHelpEvent help(QEvent::WhatsThis, QPoint(1, 1), control->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(control, &help);
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic) << c.id;
    }
    for (const auto& [button, topic] :
         {std::pair{sheet.OkButton(), 1000}, std::pair{sheet.CancelButton(), 1001}}) {
        ClearLastHelpRequest();
        QHelpEvent help(QEvent::WhatsThis, QPoint(1, 1), button->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(button, &help);
        EXPECT_EQ(LastHelpRequest().popupTopic, topic);
    }
    sheet.PressCancel();
}

struct FilterCase {
    const char* typed;
    const char* kept;
};

TEST(PhoneEditTest, TypedCharactersAreFilteredAsATelephoneNumber) {
    TestApp();
    const FilterCase cases[] = {
        {"+1 (555) 123-4567", "+1 (555) 123-4567"},
        {"030.123.45", "030.123.45"},
        {"555-CALL-NOW", "555--"},
        {"*31#", "31"},
        {"a1b2", "12"},
        {"ext:42", "42"},
        {"ñ9", "ñ9"},
    };
    for (const FilterCase& c : cases) {
        CPhoneEdit edit;
        Type(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text().toStdString(), c.kept) << c.typed;
    }
}

TEST(PhoneEditTest, BackspaceWorksAndPastedTextIsNotFiltered) {
    TestApp();
    CPhoneEdit edit;
    Type(&edit, QStringLiteral("123"));
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(&edit, &back);
    EXPECT_EQ(edit.text(), "12");
    QApplication::clipboard()->setText(QStringLiteral("call *me#"));
    edit.paste();
    EXPECT_EQ(edit.text(), "12call *me#");
}

} // namespace

#ifdef PELM_ARTIFACTS_DIR
namespace {

TEST_F(PersonSheetTest, PicturesOfEveryPage) {
    PersonSheet sheet(QStringLiteral("Edit Person"));
    sheet.m_general.m_doc = &g_doc;
    CPerson person;
    person.m_Title = "Dr.";
    person.m_FName = "Ann";
    person.m_LName = "Adams";
    person.m_City = "Berlin";
    person.m_HmPhone = "+49 (30) 123 45";
    person.m_Company = "Acme";
    person.m_WkPhone = "555-0200";
    person.m_WkExt = "12";
    person.m_Notes = "Met at the fair.";
    CPhGroup yellow;
    yellow.m_ID = kYellowPagesId;
    sheet.LoadFrom(person, {yellow});
    sheet.show();
    for (int page = 0; page < sheet.GetPageCount(); ++page) {
        sheet.SetActivePage(page);
        EXPECT_FALSE(SaveScreenshot(&sheet, QStringLiteral("person-sheet-%1").arg(page)).isEmpty());
    }
    sheet.PressCancel();
}

} // namespace
#endif
