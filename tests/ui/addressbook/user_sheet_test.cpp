#include "data/DbDoc.h"
#include "data/DocObserver.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TempDir.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/addressbook/PhoneEdit.h"
#include "ui/addressbook/UserSheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class ModifiedCounter : public CDocObserver {
public:
    void OnDocumentModified() override { ++modified; }
    int modified = 0;
};

void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

void ClearEdit(QLineEdit* edit) {
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
}

class UserSheetTest : public testing::Test {
protected:
    void SetUp() override {
        prompt.AnswerCreateDb(CString(dir.File("Owner")), CString());
        bool error = true;
        ASSERT_TRUE(g_doc.OnFileNew(error));
        prompt.Clear();
        CUser user;
        ASSERT_TRUE(g_doc.LoadUser(user));
        user.m_Title = "Prof.";
        user.m_FName = "Olga";
        user.m_LName = "Owner";
        user.m_HmPhone = "555-1000";
        user.m_WebPage = "olga.example";
        ASSERT_TRUE(g_doc.SaveUser(user));
        counter.Attach(&g_doc);
    }
    void TearDown() override {
        counter.Detach();
        StopAnsweringModals();
        g_db.Close();
    }

    static CUser Stored() {
        CUser user;
        EXPECT_TRUE(g_doc.LoadUser(user));
        return user;
    }

    const bool appReady = (TestApp(), true);
    TempDir dir;
    ScriptedPrompt prompt;
    ModifiedCounter counter;
};

TEST_F(UserSheetTest, EditUserRoundTripKeepsTheUntouchedTitle) {
    QString shownTitle;
    AnswerNextModal([&](QWidget* dialog) {
        auto* sheet = dynamic_cast<CUserSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), "Edit User");
        ASSERT_EQ(sheet->GetPageCount(), 3);
        EXPECT_EQ(sheet->GetPage(1)->Title(), "Address");
        shownTitle = FindControl<QLineEdit>(sheet, CGeneralPage::kIdTitle)->text();
        FindControl<QLineEdit>(sheet, CGeneralPage::kIdCompany)->setText(QStringLiteral("Ölga's 100% Co"));
        sheet->SetActivePage(1);
        FindControl<QLineEdit>(sheet, OwnerAddressPage::kIdCity)->setText(QStringLiteral("Zürich"));
        FindControl<QLineEdit>(sheet, OwnerAddressPage::kIdZip)->setText(QStringLiteral("8001"));
        sheet->SetActivePage(2);
        QLineEdit* work = FindControl<QLineEdit>(sheet, OwnerPhonePage::kIdWkPhone);
        EXPECT_NE(dynamic_cast<CPhoneEdit*>(work), nullptr);
        EXPECT_EQ(dynamic_cast<CPhoneEdit*>(FindControl<QLineEdit>(sheet, OwnerPhonePage::kIdWkExt)),
                  nullptr);
        Type(work, QStringLiteral("+41 (44) 555-12.34x"));
        FindControl<QLineEdit>(sheet, OwnerPhonePage::kIdWkExt)->setText(QStringLiteral("x7"));
        FindControl<QLineEdit>(sheet, OwnerPhonePage::kIdEmail)->setText(QStringLiteral("olga@example.org"));
        sheet->PressOk();
    });
    RunEditUser(nullptr);
    EXPECT_EQ(shownTitle, "Prof.");
    const CUser user = Stored();
    EXPECT_STREQ(user.m_Title.c_str(), "Prof.");
    EXPECT_STREQ(user.m_FName.c_str(), "Olga");
    EXPECT_STREQ(user.m_Company.c_str(), "Ölga's 100% Co");
    EXPECT_STREQ(user.m_City.c_str(), "Zürich");
    EXPECT_STREQ(user.m_Zip.c_str(), "8001");
    EXPECT_STREQ(user.m_HmPhone.c_str(), "555-1000");
    EXPECT_STREQ(user.m_WkPhone.c_str(), "+41 (44) 555-12.34");
    EXPECT_STREQ(user.m_WkExt.c_str(), "x7");
    EXPECT_STREQ(user.m_Email.c_str(), "olga@example.org");
    EXPECT_STREQ(user.m_WebPage.c_str(), "olga.example");
    EXPECT_EQ(counter.modified, 1);
}

TEST_F(UserSheetTest, CancelLeavesTheOwnerAndTheViewsAlone) {
    AnswerNextModal([](QWidget* dialog) {
        auto* sheet = dynamic_cast<CUserSheet*>(dialog);
        ASSERT_NE(sheet, nullptr);
        FindControl<QLineEdit>(sheet, CGeneralPage::kIdFName)->setText(QStringLiteral("Nobody"));
        sheet->PressCancel();
    });
    RunEditUser(nullptr);
    EXPECT_STREQ(Stored().m_FName.c_str(), "Olga");
    EXPECT_EQ(counter.modified, 0);
}

TEST_F(UserSheetTest, OkFollowsOnlyTheNamesAndCompanyOfTheGeneralPage) {
    CUserSheet sheet;
    CUser user;
    user.m_FName = "Olga";
    sheet.LoadFrom(user);
    sheet.show();
    QPushButton* ok = sheet.OkButton();
    EXPECT_TRUE(ok->isEnabled());
    ClearEdit(FindControl<QLineEdit>(&sheet, CGeneralPage::kIdFName));
    EXPECT_FALSE(ok->isEnabled());
    Type(FindControl<QLineEdit>(&sheet, CGeneralPage::kIdTitle), QStringLiteral("Dr."));
    EXPECT_FALSE(ok->isEnabled());
    Type(FindControl<QLineEdit>(&sheet, CGeneralPage::kIdCompany), QStringLiteral("Acme"));
    EXPECT_TRUE(ok->isEnabled());
    sheet.PressCancel();

    // A sheet opened on an owner without names starts with OK disabled.
    CUserSheet empty;
    empty.LoadFrom(CUser());
    empty.show();
    EXPECT_FALSE(empty.OkButton()->isEnabled());
    empty.PressCancel();
}

TEST_F(UserSheetTest, HelpKeyOverOwnerFieldsShowsTheirPopups) {
    CUserSheet sheet;
    sheet.show();
    const struct {
        int page, id, topic;
    } cases[] = {{0, 1021, 1101}, {0, 1025, 1212}, {1, 1026, 1105},
                 {1, 1479, 1109}, {2, 1032, 1220}, {2, 1041, 1227}};
    for (const auto& c : cases) {
        sheet.SetActivePage(c.page);
        QWidget* control = FindControl(sheet.GetPage(c.page), c.id);
        ASSERT_NE(control, nullptr) << c.id;
        ClearLastHelpRequest();
        QHelpEvent help(QEvent::WhatsThis, QPoint(1, 1), control->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(control, &help);
        EXPECT_EQ(LastHelpRequest().popupTopic, c.topic) << c.id;
    }
    sheet.PressCancel();
}

} // namespace

#ifdef PELM_ARTIFACTS_DIR
namespace {

TEST_F(UserSheetTest, PicturesOfEveryPage) {
    CUserSheet sheet;
    sheet.LoadFrom(Stored());
    sheet.show();
    for (int page = 0; page < sheet.GetPageCount(); ++page) {
        sheet.SetActivePage(page);
        EXPECT_FALSE(SaveScreenshot(&sheet, QStringLiteral("user-sheet-%1").arg(page)).isEmpty());
    }
    sheet.PressCancel();
}

} // namespace
#endif
