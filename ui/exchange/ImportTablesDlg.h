#pragma once

#include "platform/core/CString.h"
#include "platform/core/Prompt.h"
#include "platform/qt/DropShadow.h"
#include "ui/common/CommandDialog.h"

#include <QDialog>

#include <utility>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

// What the import of another document's tables was asked to copy.
struct ImportTablesChoice {
    bool telephoneBook = true;
    bool taskList = true;
    bool appointmentBook = true;
    CString path;
    CString password;
};

// Copies the ticked tables of the document at the chosen path into the open one in one transaction,
// the telephone book first, then the task list, then the appointment book, and answers the report
// shown afterwards:
// "%d Persons Imported", "\n%d Tasks Imported", "\n%d Appointments Imported" for the ticked parts,
// each with its merge's result (-1 after an error).
CString ImportTables(const ImportTablesChoice& choice);

// Runs the import of the choice and reports it in one box owned by owner: the report above under
// "Tables Successfully Imported" when every part was copied, else the first error and the report
// under "Import Error", the document then marked modified only when a part was copied. True when
// every part was copied.
bool ImportTablesAndReport(WindowHandle owner, const ImportTablesChoice& choice);

// The "Import Pelmora Tables" dialog: which tables to copy, the other document's path and password.
class CImportTablesDlg : public CCommandDialog {
public:
    enum : int {
        kIdTelephoneBook = 1159,
        kIdTaskList = 1160,
        kIdAppointmentBook = 1161,
        kIdImportPassword = 1061,
    };

    explicit CImportTablesDlg(QWidget* parent = nullptr);
    ~CImportTablesDlg() override;

    // Runs modally over the owner (the active window when null); IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    bool m_telephoneBook = true;
    bool m_taskList = true;
    bool m_appointmentBook = true;
    CString m_path;
    char m_password[33] = {};

    // The fields as the import takes them.
    ImportTablesChoice Choice() const;

    // The help key over a control: the popup of its topic for the dialog's controls; false for others.
    bool OnContextHelp(QWidget* control);
    // The popup table: control id to topic.
    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPathCommand();
    void OnBoxClicked();
    void OnBrowse();
    void OnOk() override;
    void OnCancel() override;
    void OnHelp();
    void StoreBoxes();
    void UpdateOk();

    QCheckBox* m_telephoneBookBox;
    QCheckBox* m_taskListBox;
    QCheckBox* m_appointmentBookBox;
    QLineEdit* m_pathEdit;
    QLineEdit* m_passwordEdit;
    QPushButton* m_ok;
    DropShadow m_dropShadow{this};
};
