#include "ui/common/CommandDialog.h"

void CCommandDialog::EndDialog(int result) {
    m_ending = true;
    QDialog::done(result);
}

void CCommandDialog::done(int result) {
    if (m_ending) {
        m_ending = false;
        QDialog::done(result);
    } else if (result == QDialog::Accepted) {
        OnOk();
    } else {
        OnCancel();
    }
}
