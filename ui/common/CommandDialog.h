#pragma once

#include <QDialog>

// A modal dialog that ends only through its OK and Cancel commands: Enter runs OnOk, Escape and the
// window's close button run OnCancel, and the commands close it with EndDialog once their checks pass.
class CCommandDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    virtual void OnOk() { EndDialog(QDialog::Accepted); }
    virtual void OnCancel() { EndDialog(QDialog::Rejected); }
    void EndDialog(int result);
    void done(int result) override;

private:
    bool m_ending = false;
};
