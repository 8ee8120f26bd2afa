#include "ui/addressbook/GroupDetailsDlg.h"

#include "data/DbDoc.h"
#include "data/SqlException.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

void RunGroupHandler(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const SqlException& error) {
        MessageBoxA(owner, error.errorMessage(), "Pelmora", MB_ICONERROR);
    } catch (const std::exception& error) {
        MessageBoxA(owner, error.what(), "Pelmora", MB_ICONERROR);
    } catch (...) {
        MessageBoxA(owner, "The command failed.", "Pelmora", MB_ICONERROR);
    }
}

bool IsDuplicateGroupDesc(const std::vector<CPhGroup>& groups, const CString& desc, bool adding,
                          const CString& ownDesc) {
    for (const CPhGroup& group : groups) {
        if (group.m_Desc != desc)
            continue;
        if (adding || group.m_Desc != ownDesc)
            return true;
    }
    return false;
}

CGroupDetailsDlg::CGroupDetailsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Address Book Group Details"));
    auto* label = new QLabel(QStringLiteral("Description:"), this);
    SetControlId(label, kIdDescLabel);
    m_descEdit = new QLineEdit(this);
    SetControlId(m_descEdit, kIdDesc);
    m_descEdit->setMinimumWidth(240);
    label->setBuddy(m_descEdit);

    m_ok = MakeButton(this, IDOK, QStringLiteral("OK"));
    m_ok->setDefault(true);
    QPushButton* cancel = MakeButton(this, IDCANCEL, QStringLiteral("Cancel"));

    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(m_descEdit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(field);
    top->addLayout(buttons);

    connect(m_descEdit, &QLineEdit::textChanged, this, &CGroupDetailsDlg::OnDescChanged);
    connect(m_ok, &QPushButton::clicked, this, [this] { RunGroupHandler(this, [this] { OnOk(); }); });
    connect(cancel, &QPushButton::clicked, this, &CGroupDetailsDlg::OnCancel);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

int CGroupDetailsDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CGroupDetailsDlg::showEvent(QShowEvent* event) {
    m_descEdit->setText(QString::fromUtf8(m_desc.c_str()));
    OnDescChanged();
    m_descEdit->setFocus();
    CentreOverParent(this);
    QDialog::showEvent(event);
}

void CGroupDetailsDlg::OnDescChanged() {
    m_ok->setEnabled(!m_descEdit->text().isEmpty());
}

void CGroupDetailsDlg::OnOk() {
    if (!m_ok->isEnabled())
        return;
    const CString desc(m_descEdit->text().toUtf8().toStdString());
    std::vector<CPhGroup> groups;
    // Without the list of groups the description cannot be checked; the read has shown its message
    // and the dialog stays open, so no duplicate slips in.
    if (!m_doc || !m_doc->GetGroups(groups))
        return;
    if (IsDuplicateGroupDesc(groups, desc, m_addMode, m_ownDesc)) {
        CString text;
        text.Format("%s is already listed in the table of Adress Book Groups.\nPlease enter a different "
                    "description.",
                    desc.c_str());
        MessageBoxA(this, text, "Duplicate Address Book Group", MB_ICONERROR);
        m_descEdit->setFocus();
        m_descEdit->selectAll();
        return;
    }
    m_desc = desc;
    m_ending = true;
    QDialog::done(QDialog::Accepted);
}

void CGroupDetailsDlg::OnCancel() {
    m_ending = true;
    QDialog::done(QDialog::Rejected);
}

void CGroupDetailsDlg::done(int result) {
    // Enter and Escape go through the same steps as OK and Cancel.
    if (m_ending) {
        m_ending = false;
        QDialog::done(result);
    } else if (result == QDialog::Accepted) {
        RunGroupHandler(this, [this] { OnOk(); });
    } else {
        OnCancel();
    }
}

const std::vector<std::pair<int, int>>& CGroupDetailsDlg::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdDescLabel, 1800}, {kIdDesc, 1800}, {IDOK, 1000}, {IDCANCEL, 1001}};
    return table;
}

bool CGroupDetailsDlg::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
}
