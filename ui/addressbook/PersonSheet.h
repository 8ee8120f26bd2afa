#pragma once

#include "data/Records.h"
#include "platform/qt/PropertySheet.h"
#include "ui/addressbook/FieldPage.h"

#include <vector>

class CDbDoc;
class QListWidget;
class QPlainTextEdit;

// "General": title, names and the address-book groups the person belongs to ("All" is not shown;
// every person is in it).
class PersonGeneralPage : public FieldPage {
public:
    enum : int { kIdTitle = 1025, kIdFName = 1021, kIdLName = 1022, kIdGroups = 1027, kIdGroupBox = 1062 };

    PersonGeneralPage();

    CString m_Title, m_FName, m_LName;
    // The person's groups; only their IDs are used. On leaving the page, the selected list items.
    std::vector<CPhGroup> m_groups;
    // The document the groups are read from.
    CDbDoc* m_doc = nullptr;

    QListWidget* GroupList() const { return m_list; }

protected:
    void Load() override;
    void Save() override;

private:
    QListWidget* m_list;
};

// "Home": the home address, numbers, e-mail and web page.
class PersonHomePage : public FieldPage {
public:
    enum : int {
        kIdAddr1 = 1026,
        kIdAddr2 = 1028,
        kIdCity = 1029,
        kIdState = 1030,
        kIdZip = 1479,
        kIdHmPhone = 1032,
        kIdHmFax = 1192,
        kIdCelPhone = 1040,
        kIdPager = 1039,
        kIdEmail = 1038,
        kIdWebPage = 1041,
    };

    PersonHomePage();

    CString m_Addr1, m_Addr2, m_City, m_State, m_Zip, m_HmPhone, m_HmFax, m_CelPhone, m_Pager, m_Email,
        m_WebPage;
};

// "Business": company, position, work address, numbers, e-mail and web page.
class CBusinessPage : public FieldPage {
public:
    enum : int {
        kIdCompany = 1023,
        kIdPosition = 1024,
        kIdWkAddr1 = 1183,
        kIdWkAddr2 = 1184,
        kIdWkCity = 1029,
        kIdWkState = 1030,
        kIdWkZip = 1479,
        kIdWkPhone = 1034,
        kIdWkExt = 1042,
        kIdWkFax = 1186,
        kIdWkCelPhone = 1192,
        kIdWkPager = 1194,
        kIdWkEmail = 1188,
        kIdWkWebPage = 1190,
    };

    CBusinessPage();

    CString m_Company, m_Position, m_WkAddr1, m_WkAddr2, m_WkCity, m_WkState, m_WkZip, m_WkPhone, m_WkExt,
        m_WkFax, m_WkCelPhone, m_WkPager, m_WkEmail, m_WkWebPage;
};

// "Notes": free text of any length.
class PersonNotesPage : public FieldPage {
public:
    enum : int { kIdNotes = 1043 };

    PersonNotesPage();

    CString m_Notes;
    QPlainTextEdit* NotesEdit() const { return m_edit; }

protected:
    void Load() override;
    void Save() override;

private:
    QPlainTextEdit* m_edit;
};

// The sheet of one person: "Add Person" or "Edit Person". It only holds texts; the caller loads the
// pages from a person, runs it and, on OK, copies the pages back.
class PersonSheet : public PropertySheet {
public:
    explicit PersonSheet(const QString& caption, QWidget* parent = nullptr);
    ~PersonSheet() override;

    void LoadFrom(const CPerson& person, const std::vector<CPhGroup>& groups);
    // Copies every field into person (its ID and display name untouched) and the chosen groups.
    void StoreTo(CPerson& person, std::vector<CPhGroup>& groups) const;

    // OK is enabled while a first name, last name or company is given.
    void UpdateOk();

    PersonGeneralPage m_general;
    PersonHomePage m_home;
    CBusinessPage m_business;
    PersonNotesPage m_notes;
};
