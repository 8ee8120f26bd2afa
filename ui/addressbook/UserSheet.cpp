#include "ui/addressbook/UserSheet.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Help.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CGeneralPage::CGeneralPage()
    : FieldPage(
          QStringLiteral("General"),
          {{kIdTitle, 1212}, {kIdFName, 1101}, {kIdLName, 1102}, {kIdCompany, 1103}, {kIdPosition, 1104}}) {
    m_saveOnDestroy = true;
    auto* layout = new QVBoxLayout(this);
    QFormLayout* name = AddGroup(layout, QStringLiteral("Name"));
    AddField(name, kIdTitle, QStringLiteral("&Title:"), &m_Title);
    AddField(name, kIdFName, QStringLiteral("&First Name:"), &m_FName);
    AddField(name, kIdLName, QStringLiteral("&Last Name:"), &m_LName);
    QFormLayout* company = AddGroup(layout, QStringLiteral("Company"));
    AddField(company, kIdCompany, QStringLiteral("&Company:"), &m_Company);
    AddField(company, kIdPosition, QStringLiteral("&Position:"), &m_Position);
    layout->addStretch(1);
    onEditChanged = [this](int id) {
        if (id == kIdFName || id == kIdLName || id == kIdCompany)
            UpdateOk();
    };
}

void CGeneralPage::OnInitDialog() {
    FieldPage::OnInitDialog();
    UpdateOk();
}

void CGeneralPage::UpdateOk() {
    if (Sheet())
        Sheet()->OkButton()->setEnabled(!Current(kIdFName).IsEmpty() || !Current(kIdLName).IsEmpty() ||
                                        !Current(kIdCompany).IsEmpty());
}

OwnerAddressPage::OwnerAddressPage()
    : FieldPage(QStringLiteral("Address"),
                {{kIdAddr1, 1105}, {kIdAddr2, 1106}, {kIdCity, 1107}, {kIdState, 1108}, {kIdZip, 1109}}) {
    m_saveOnDestroy = true;
    auto* layout = new QVBoxLayout(this);
    QFormLayout* form = AddGroup(layout, QStringLiteral("Address"));
    AddField(form, kIdAddr1, QStringLiteral("Address &1:"), &m_Addr1);
    AddField(form, kIdAddr2, QStringLiteral("Address &2:"), &m_Addr2);
    AddField(form, kIdCity, QStringLiteral("&City:"), &m_City);
    AddField(form, kIdState, QStringLiteral("&State:"), &m_State);
    AddField(form, kIdZip, QStringLiteral("&Zip:"), &m_Zip);
    layout->addStretch(1);
}

OwnerPhonePage::OwnerPhonePage()
    : FieldPage(QStringLiteral("Phone"), {{kIdHmPhone, 1220},
                                          {kIdWkPhone, 1221},
                                          {kIdWkExt, 1222},
                                          {kIdWkFax, 1223},
                                          {kIdEmail, 1224},
                                          {kIdPager, 1225},
                                          {kIdCelPhone, 1226},
                                          {kIdWebPage, 1227}}) {
    m_saveOnDestroy = true;
    auto* layout = new QHBoxLayout(this);
    QFormLayout* numbers = AddGroup(layout, QStringLiteral("Phone"));
    AddField(numbers, kIdHmPhone, QStringLiteral("&Home Phone:"), &m_HmPhone, new CPhoneEdit);
    AddField(numbers, kIdWkPhone, QStringLiteral("&Work Phone:"), &m_WkPhone, new CPhoneEdit);
    AddField(numbers, kIdWkExt, QStringLiteral("E&xt:"), &m_WkExt);
    AddField(numbers, kIdWkFax, QStringLiteral("&Fax:"), &m_WkFax, new CPhoneEdit);
    AddField(numbers, kIdCelPhone, QStringLiteral("C&el Phone:"), &m_CelPhone, new CPhoneEdit);
    AddField(numbers, kIdPager, QStringLiteral("&Pager:"), &m_Pager, new CPhoneEdit);
    QFormLayout* internet = AddGroup(layout, QStringLiteral("Internet"));
    AddField(internet, kIdEmail, QStringLiteral("E-&Mail:"), &m_Email);
    AddField(internet, kIdWebPage, QStringLiteral("Web Pa&ge:"), &m_WebPage);
}

CUserSheet::CUserSheet(QWidget* parent) : PropertySheet(QStringLiteral("Edit User"), parent) {
    setObjectName(QStringLiteral("CUserSheet"));
    AddPage(&m_general);
    AddPage(&m_address);
    AddPage(&m_phone);
    SetStartPage(0);
    new ContextHelpFilter(this, [](QWidget* control) {
        return HtmlHelpPopup(control, HelpFilePath(), {{IDOK, 1000}, {IDCANCEL, 1001}});
    });
}

CUserSheet::~CUserSheet() {
    ReleasePages();
}

void CUserSheet::LoadFrom(const CUser& u) {
    m_general.m_Title = u.m_Title;
    m_general.m_FName = u.m_FName;
    m_general.m_LName = u.m_LName;
    m_general.m_Company = u.m_Company;
    m_general.m_Position = u.m_Position;
    m_address.m_Addr1 = u.m_Addr1;
    m_address.m_Addr2 = u.m_Addr2;
    m_address.m_City = u.m_City;
    m_address.m_State = u.m_State;
    m_address.m_Zip = u.m_Zip;
    m_phone.m_HmPhone = u.m_HmPhone;
    m_phone.m_WkPhone = u.m_WkPhone;
    m_phone.m_WkExt = u.m_WkExt;
    m_phone.m_WkFax = u.m_WkFax;
    m_phone.m_CelPhone = u.m_CelPhone;
    m_phone.m_Pager = u.m_Pager;
    m_phone.m_Email = u.m_Email;
    m_phone.m_WebPage = u.m_WebPage;
}

void CUserSheet::StoreTo(CUser& u) const {
    u.m_Title = m_general.m_Title;
    u.m_FName = m_general.m_FName;
    u.m_LName = m_general.m_LName;
    u.m_Company = m_general.m_Company;
    u.m_Position = m_general.m_Position;
    u.m_Addr1 = m_address.m_Addr1;
    u.m_Addr2 = m_address.m_Addr2;
    u.m_City = m_address.m_City;
    u.m_State = m_address.m_State;
    u.m_Zip = m_address.m_Zip;
    u.m_HmPhone = m_phone.m_HmPhone;
    u.m_WkPhone = m_phone.m_WkPhone;
    u.m_WkExt = m_phone.m_WkExt;
    u.m_WkFax = m_phone.m_WkFax;
    u.m_CelPhone = m_phone.m_CelPhone;
    u.m_Pager = m_phone.m_Pager;
    u.m_Email = m_phone.m_Email;
    u.m_WebPage = m_phone.m_WebPage;
}

void RunEditUser(QWidget* owner) {
    if (!g_doc.IsOpen())
        return;
    CUser user;
    // A failed read shows its own message; the sheet then opens with empty fields.
    g_doc.LoadUser(user);
    CUserSheet sheet;
    sheet.LoadFrom(user);
    if (sheet.DoModal(owner) != IDOK)
        return;
    sheet.StoreTo(user);
    if (g_doc.SaveUser(user))
        g_doc.SetModifiedFlag(true, true);
}
