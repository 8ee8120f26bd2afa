#pragma once

#include "data/Records.h"
#include "platform/qt/PropertySheet.h"
#include "ui/addressbook/FieldPage.h"
#include "ui/addressbook/PhoneEdit.h"

// The owner's "General" page: title, names, company and position.
class CGeneralPage : public FieldPage {
public:
    enum : int { kIdTitle = 1025, kIdFName = 1021, kIdLName = 1022, kIdCompany = 1023, kIdPosition = 1024 };

    CGeneralPage();

    void OnInitDialog() override;
    // OK is enabled while a first name, last name or company is given.
    void UpdateOk();

    CString m_Title, m_FName, m_LName, m_Company, m_Position;
};

// The owner's "Address" page.
class OwnerAddressPage : public FieldPage {
public:
    enum : int { kIdAddr1 = 1026, kIdAddr2 = 1028, kIdCity = 1029, kIdState = 1030, kIdZip = 1479 };

    OwnerAddressPage();

    CString m_Addr1, m_Addr2, m_City, m_State, m_Zip;
};

// The owner's "Phone" page; the numbers take only the characters of a telephone number.
class OwnerPhonePage : public FieldPage {
public:
    enum : int {
        kIdHmPhone = 1032,
        kIdWkPhone = 1034,
        kIdWkExt = 1042,
        kIdWkFax = 1036,
        kIdEmail = 1038,
        kIdPager = 1039,
        kIdCelPhone = 1040,
        kIdWebPage = 1041,
    };

    OwnerPhonePage();

    CString m_HmPhone, m_WkPhone, m_WkExt, m_WkFax, m_Email, m_Pager, m_CelPhone, m_WebPage;
};

// "Edit User": the owner's own details. Loaded from and stored into the owner record by the caller.
class CUserSheet : public PropertySheet {
public:
    explicit CUserSheet(QWidget* parent = nullptr);
    ~CUserSheet() override;

    void LoadFrom(const CUser& user);
    // Copies every field into user (its ID untouched).
    void StoreTo(CUser& user) const;

    CGeneralPage m_general;
    OwnerAddressPage m_address;
    OwnerPhonePage m_phone;
};

// Edit > User: reads the owner, runs the sheet over owner and, on OK, saves the owner and lets
// every view reload.
void RunEditUser(QWidget* owner);
