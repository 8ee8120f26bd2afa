#include "ui/exchange/FieldsDlg.h"

#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CFieldsDlg::CFieldsDlg(const std::vector<CString>& fields, int selected, QWidget* parent)
    : CCommandDialog(parent), m_selected(selected), m_fields(fields) {
    setWindowTitle(QStringLiteral("Fields"));
    auto* label = new QLabel(QStringLiteral("Assign imported field to this field:"), this);
    SetControlId(label, kIdAssignLabel);
    m_combo = new QComboBox(this);
    SetControlId(m_combo, kIdFieldCombo);
    for (const CString& field : m_fields)
        m_combo->addItem(QString::fromUtf8(field.c_str()));
    auto* importBox = new QCheckBox(QStringLiteral("Import this field"), this);
    SetControlId(importBox, kIdImportThisField);
    m_ok = MakeButton(this, IDOK, QStringLiteral("OK"));
    m_ok->setDefault(true);
    QPushButton* cancel = MakeButton(this, IDCANCEL, QStringLiteral("Cancel"));

    auto* fieldsColumn = new QVBoxLayout;
    fieldsColumn->addWidget(label);
    fieldsColumn->addWidget(m_combo);
    fieldsColumn->addWidget(importBox);
    fieldsColumn->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout(this);
    top->addLayout(fieldsColumn, 1);
    top->addLayout(buttons);

    connect(m_combo, &QComboBox::currentIndexChanged, this, &CFieldsDlg::OnComboChanged);
    connect(m_ok, &QPushButton::clicked, this, &CFieldsDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CFieldsDlg::OnCancel);
    // OK and Cancel ask the table too; it names neither, so they show nothing.
    new ContextHelpFilter(this, [](QWidget* control) {
        const int id = ControlIdOf(control);
        if (PopupTopicOf(id, HelpTable()) == 0 && id != IDOK && id != IDCANCEL)
            return false;
        HtmlHelpPopup(control, HelpFilePath(), HelpTable());
        return true;
    });
}

int CFieldsDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CFieldsDlg::showEvent(QShowEvent* event) {
    m_combo->blockSignals(true);
    m_combo->setCurrentIndex(m_selected >= 0 && m_selected < m_combo->count() ? m_selected : -1);
    m_combo->blockSignals(false);
    m_ok->setEnabled(m_selected >= 0);
    CentreOverParent(this);
    QDialog::showEvent(event);
}

void CFieldsDlg::OnComboChanged(int index) {
    m_selected = index;
    if (index >= 0)
        m_ok->setEnabled(true);
}

void CFieldsDlg::OnOk() {
    // Enter reaches here also while OK is disabled: nothing chosen, nothing to assign.
    if (m_combo->currentIndex() < 0)
        return;
    m_selected = m_combo->currentIndex();
    EndDialog(QDialog::Accepted);
}

const std::vector<std::pair<int, int>>& CFieldsDlg::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdFieldCombo, 1550}, {kIdAssignLabel, 1550}, {kIdImportThisField, 1551}};
    return table;
}
