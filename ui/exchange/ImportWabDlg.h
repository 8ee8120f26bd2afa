#pragma once

#include "platform/core/CString.h"
#include "platform/core/Prompt.h"
#include "platform/qt/DropShadow.h"
#include "ui/common/CommandDialog.h"

#include <QDialog>

#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The text reported after the address-book import added count persons.
CString WabImportReport(int count);

// The text reported when the vCard file at path gave nothing to import: "Unable to open your Windows
// Address Book" and why (it cannot be read, is too large, or holds no vCard contacts).
CString WabImportFailure(const char* path);

// Imports the contacts of the vCard file at path into the open document's groups of the choice and
// reports the outcome in one message box owned by owner: the count, the failure text above when the
// file cannot be read, or the error of a write or commit that stopped the import with what the
// document holds of it. True when the import ran to its end.
bool ImportWabAndReport(WindowHandle owner, int choice, const char* path);

// The "Import Personal Address Book" dialog: the groups the contacts go into and the vCard file
// they are read from.
class CImportWabDlg : public CCommandDialog {
public:
    enum : int {
        kIdYellowPages = 1167,
        kIdWhitePages = 1168,
        kIdBothPages = 1487,
    };

    explicit CImportWabDlg(QWidget* parent = nullptr);

    // Runs modally over the owner (the active window when null); IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    // 0 "Yellow Pages", 1 "White Pages", 2 both; -1 when no radio is checked.
    int m_choice = 1;
    // The vCard file to read.
    CString m_path;

    // The help key over a control: the popup of its topic for the controls of the table; false for
    // any other.
    bool OnContextHelp(QWidget* control);
    // The popup table: control id to topic.
    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnBrowse();
    void OnOk() override;
    void OnHelp();
    void UpdateOk();

    std::vector<QRadioButton*> m_radios;
    QLineEdit* m_pathEdit;
    QPushButton* m_ok;
    DropShadow m_dropShadow{this};
};
