#include "ui/addressbook/PersonSheet.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/SheetParts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char* const kAllGroupId = "04E27641-0068-11da-BBFB-9C5F0D33683A";

// The address part of the home and business pages: lines 1 and 2, city, state and zip.
const FieldPage::HelpTable kAddressHelp = {
    {1026, 1207}, {1028, 1208}, {1183, 1207}, {1184, 1208}, {1029, 1209}, {1030, 1210}, {1479, 1211},
};

FieldPage::HelpTable WithAddressHelp(FieldPage::HelpTable table) {
    table.insert(table.end(), kAddressHelp.begin(), kAddressHelp.end());
    return table;
}

} // namespace

PersonGeneralPage::PersonGeneralPage()
    : FieldPage(QStringLiteral("General"),
                {{kIdTitle, 1212}, {kIdFName, 1201}, {kIdLName, 1202}, {kIdGroups, 1205}}) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    AddField(form, kIdTitle, QStringLiteral("&Title:"), &m_Title);
    AddField(form, kIdFName, QStringLiteral("&First Name:"), &m_FName);
    AddField(form, kIdLName, QStringLiteral("&Last Name:"), &m_LName);
    layout->addLayout(form);
    auto* box = new QGroupBox(QStringLiteral("Address Book"), this);
    SetControlId(box, kIdGroupBox);
    m_list = new QListWidget(box);
    SetControlId(m_list, kIdGroups);
    m_list->setSortingEnabled(true);
    // Every click toggles an item.
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    (new QVBoxLayout(box))->addWidget(m_list);
    layout->addWidget(box, 1);
}

void PersonGeneralPage::Load() {
    FieldPage::Load();
    m_list->clear();
    std::vector<CPhGroup> all;
    if (m_doc && m_doc->GetGroups(all)) {
        for (const CPhGroup& group : all) {
            if (group.m_ID == kAllGroupId)
                continue;
            auto* item = new QListWidgetItem(ToQString(group.m_Desc), m_list);
            item->setData(Qt::UserRole, ToQString(group.m_ID));
        }
    }
    for (int i = 0; i < m_list->count(); ++i) {
        const CString id = ToCString(m_list->item(i)->data(Qt::UserRole).toString());
        for (const CPhGroup& group : m_groups)
            if (group.m_ID == id)
                m_list->item(i)->setSelected(true);
    }
}

void PersonGeneralPage::Save() {
    FieldPage::Save();
    m_groups.clear();
    for (int i = 0; i < m_list->count(); ++i) {
        if (!m_list->item(i)->isSelected())
            continue;
        CPhGroup group;
        group.m_ID = ToCString(m_list->item(i)->data(Qt::UserRole).toString());
        group.m_Desc = ToCString(m_list->item(i)->text());
        m_groups.push_back(group);
    }
}

PersonHomePage::PersonHomePage()
    : FieldPage(QStringLiteral("Home"), WithAddressHelp({{kIdHmPhone, 1220},
                                                         {kIdHmFax, 1223},
                                                         {kIdCelPhone, 1226},
                                                         {kIdPager, 1225},
                                                         {kIdEmail, 1224},
                                                         {kIdWebPage, 1227}})) {
    auto* layout = new QHBoxLayout(this);
    QFormLayout* address = AddGroup(layout, QStringLiteral("Home Address"));
    AddField(address, kIdAddr1, QStringLiteral("Address &1:"), &m_Addr1);
    AddField(address, kIdAddr2, QStringLiteral("Address &2:"), &m_Addr2);
    AddField(address, kIdCity, QStringLiteral("&City:"), &m_City);
    AddField(address, kIdState, QStringLiteral("&State:"), &m_State);
    AddField(address, kIdZip, QStringLiteral("&Zip:"), &m_Zip);
    QFormLayout* numbers = AddGroup(layout, QStringLiteral("Phone and Internet"));
    AddField(numbers, kIdHmPhone, QStringLiteral("&Home Phone:"), &m_HmPhone);
    AddField(numbers, kIdHmFax, QStringLiteral("&Fax:"), &m_HmFax);
    AddField(numbers, kIdCelPhone, QStringLiteral("C&el Phone:"), &m_CelPhone);
    AddField(numbers, kIdPager, QStringLiteral("&Pager:"), &m_Pager);
    AddField(numbers, kIdEmail, QStringLiteral("E-&Mail:"), &m_Email);
    AddField(numbers, kIdWebPage, QStringLiteral("&Web Page:"), &m_WebPage);
}

CBusinessPage::CBusinessPage()
    : FieldPage(QStringLiteral("Business"), WithAddressHelp({{kIdCompany, 1203},
                                                             {kIdPosition, 1204},
                                                             {kIdWkPhone, 1221},
                                                             {kIdWkExt, 1222},
                                                             {kIdWkFax, 1223},
                                                             {kIdWkCelPhone, 1226},
                                                             {kIdWkPager, 1225},
                                                             {kIdWkEmail, 1224},
                                                             {kIdWkWebPage, 1227}})) {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    layout->addLayout(left);
    QFormLayout* company = AddGroup(left, QStringLiteral("Company"));
    AddField(company, kIdCompany, QStringLiteral("&Company:"), &m_Company);
    AddField(company, kIdPosition, QStringLiteral("P&osition:"), &m_Position);
    QFormLayout* address = AddGroup(left, QStringLiteral("Business Address"));
    AddField(address, kIdWkAddr1, QStringLiteral("Address &1:"), &m_WkAddr1);
    AddField(address, kIdWkAddr2, QStringLiteral("Address &2:"), &m_WkAddr2);
    AddField(address, kIdWkCity, QStringLiteral("C&ity:"), &m_WkCity);
    AddField(address, kIdWkState, QStringLiteral("&State:"), &m_WkState);
    AddField(address, kIdWkZip, QStringLiteral("&Zip:"), &m_WkZip);
    QFormLayout* numbers = AddGroup(layout, QStringLiteral("Phone and Internet"));
    AddField(numbers, kIdWkPhone, QStringLiteral("&Work Phone:"), &m_WkPhone);
    AddField(numbers, kIdWkExt, QStringLiteral("E&xt:"), &m_WkExt);
    AddField(numbers, kIdWkFax, QStringLiteral("&Fax:"), &m_WkFax);
    AddField(numbers, kIdWkCelPhone, QStringLiteral("C&el Phone:"), &m_WkCelPhone);
    AddField(numbers, kIdWkPager, QStringLiteral("&Pager:"), &m_WkPager);
    AddField(numbers, kIdWkEmail, QStringLiteral("E-&Mail:"), &m_WkEmail);
    AddField(numbers, kIdWkWebPage, QStringLiteral("&Web Page:"), &m_WkWebPage);
}

PersonNotesPage::PersonNotesPage() : FieldPage(QStringLiteral("Notes"), {{kIdNotes, 1230}}) {
    m_saveOnDestroy = true;
    m_edit = new QPlainTextEdit(this);
    SetControlId(m_edit, kIdNotes);
    (new QVBoxLayout(this))->addWidget(m_edit);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        if (onEditChanged)
            onEditChanged(kIdNotes);
    });
}

void PersonNotesPage::Load() {
    const QSignalBlocker block(m_edit);
    m_edit->setPlainText(ToQString(m_Notes));
}

void PersonNotesPage::Save() {
    m_Notes = ToCString(m_edit->toPlainText());
}

PersonSheet::PersonSheet(const QString& caption, QWidget* parent) : PropertySheet(caption, parent) {
    setObjectName(QStringLiteral("PersonSheet"));
    for (FieldPage* page : std::initializer_list<FieldPage*>{&m_general, &m_home, &m_business, &m_notes}) {
        page->onEditChanged = [this](int) { UpdateOk(); };
        AddPage(page);
    }
    SetStartPage(0);
    new ContextHelpFilter(this, [](QWidget* control) {
        return HtmlHelpPopup(control, HelpFilePath(), {{IDOK, 1000}, {IDCANCEL, 1001}});
    });
}

PersonSheet::~PersonSheet() {
    ReleasePages();
}

void PersonSheet::UpdateOk() {
    const bool named = !m_general.Current(PersonGeneralPage::kIdFName).IsEmpty() ||
                       !m_general.Current(PersonGeneralPage::kIdLName).IsEmpty() ||
                       !m_business.Current(CBusinessPage::kIdCompany).IsEmpty();
    OkButton()->setEnabled(named);
}

void PersonSheet::LoadFrom(const CPerson& p, const std::vector<CPhGroup>& groups) {
    m_general.m_Title = p.m_Title;
    m_general.m_FName = p.m_FName;
    m_general.m_LName = p.m_LName;
    m_general.m_groups = groups;
    m_home.m_Addr1 = p.m_Addr1;
    m_home.m_Addr2 = p.m_Addr2;
    m_home.m_City = p.m_City;
    m_home.m_State = p.m_State;
    m_home.m_Zip = p.m_Zip;
    m_home.m_HmPhone = p.m_HmPhone;
    m_home.m_HmFax = p.m_HmFax;
    m_home.m_CelPhone = p.m_CelPhone;
    m_home.m_Pager = p.m_Pager;
    m_home.m_Email = p.m_Email;
    m_home.m_WebPage = p.m_WebPage;
    m_business.m_Company = p.m_Company;
    m_business.m_Position = p.m_Position;
    m_business.m_WkAddr1 = p.m_WkAddr1;
    m_business.m_WkAddr2 = p.m_WkAddr2;
    m_business.m_WkCity = p.m_WkCity;
    m_business.m_WkState = p.m_WkState;
    m_business.m_WkZip = p.m_WkZip;
    m_business.m_WkPhone = p.m_WkPhone;
    m_business.m_WkExt = p.m_WkExt;
    m_business.m_WkFax = p.m_WkFax;
    m_business.m_WkCelPhone = p.m_WkCelPhone;
    m_business.m_WkPager = p.m_WkPager;
    m_business.m_WkEmail = p.m_WkEmail;
    m_business.m_WkWebPage = p.m_WkWebPage;
    m_notes.m_Notes = p.m_Notes;
}

void PersonSheet::StoreTo(CPerson& p, std::vector<CPhGroup>& groups) const {
    p.m_Title = m_general.m_Title;
    p.m_FName = m_general.m_FName;
    p.m_LName = m_general.m_LName;
    groups = m_general.m_groups;
    p.m_Addr1 = m_home.m_Addr1;
    p.m_Addr2 = m_home.m_Addr2;
    p.m_City = m_home.m_City;
    p.m_State = m_home.m_State;
    p.m_Zip = m_home.m_Zip;
    p.m_HmPhone = m_home.m_HmPhone;
    p.m_HmFax = m_home.m_HmFax;
    p.m_CelPhone = m_home.m_CelPhone;
    p.m_Pager = m_home.m_Pager;
    p.m_Email = m_home.m_Email;
    p.m_WebPage = m_home.m_WebPage;
    p.m_Company = m_business.m_Company;
    p.m_Position = m_business.m_Position;
    p.m_WkAddr1 = m_business.m_WkAddr1;
    p.m_WkAddr2 = m_business.m_WkAddr2;
    p.m_WkCity = m_business.m_WkCity;
    p.m_WkState = m_business.m_WkState;
    p.m_WkZip = m_business.m_WkZip;
    p.m_WkPhone = m_business.m_WkPhone;
    p.m_WkExt = m_business.m_WkExt;
    p.m_WkFax = m_business.m_WkFax;
    p.m_WkCelPhone = m_business.m_WkCelPhone;
    p.m_WkPager = m_business.m_WkPager;
    p.m_WkEmail = m_business.m_WkEmail;
    p.m_WkWebPage = m_business.m_WkWebPage;
    p.m_Notes = m_notes.m_Notes;
}
