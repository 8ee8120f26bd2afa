#pragma once

#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"
#include "ui/common/CommandDialog.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The Create/Open database dialog: a file path and a password (typed twice in create mode).
class CCreateDbDlg : public CCommandDialog {
public:
    explicit CCreateDbDlg(QWidget* parent = nullptr);
    ~CCreateDbDlg() override;

    // Runs modally over the owner (the active window when null); IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    CString m_path;
    char m_password[33] = {};
    char m_retypedPassword[33] = {};
    bool m_createMode = true;

    // The help key over a control: its popup for the listed ids; false for others.
    bool OnContextHelp(QWidget* control);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPathCommand();
    void OnBrowse();
    void OnOk() override;
    void OnCancel() override;
    void OnHelp();
    bool MoveDataFromControls();

    QLineEdit* m_pathEdit;
    QLineEdit* m_passwordEdit;
    QLineEdit* m_retypeEdit;
    QLabel* m_retypeLabel;
    QPushButton* m_ok;
    DropShadow m_dropShadow{this};
};

// Lets the document's Create/Open step run this dialog through the prompt (QtPrompt).
void RegisterCreateDbDialog();
