#pragma once

#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"
#include "ui/common/CommandDialog.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The database password dialog: the password of a document to open (enter mode), or a new password
// typed twice (change mode).
class CPasswordDlg : public CCommandDialog {
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    // Runs modally over the owner (the active window when null); IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    CString m_path;
    char m_password[33] = {};
    char m_newPassword[33] = {};
    char m_retypedNewPassword[33] = {};
    bool m_changeMode = false;

    bool OnContextHelp(QWidget* control);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnPasswordCommand();
    void OnOk() override;
    void OnCancel() override;
    bool MoveDataFromControls();

    QLineEdit* m_pathEdit;
    QLineEdit* m_passwordEdit;
    QLineEdit* m_newEdit;
    QLineEdit* m_retypeEdit;
    QLabel* m_newLabel;
    QLabel* m_retypeLabel;
    QPushButton* m_ok;
    DropShadow m_dropShadow{this};
};
