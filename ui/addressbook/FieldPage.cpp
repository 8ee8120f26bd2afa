#include "ui/addressbook/FieldPage.h"

#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/common/SheetParts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

FieldPage::FieldPage(const QString& title, HelpTable helpTable)
    : PropertyPage(title), m_helpTable(std::move(helpTable)) {
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

QLineEdit* FieldPage::AddField(QFormLayout* form, int id, const QString& label, CString* value,
                               QLineEdit* edit) {
    if (!edit)
        edit = new QLineEdit;
    SetControlId(edit, id);
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    form->addRow(caption, edit);
    m_fields.push_back({id, edit, value});
    connect(edit, &QLineEdit::textEdited, this, [this, id] {
        if (onEditChanged)
            onEditChanged(id);
    });
    return edit;
}

QFormLayout* FieldPage::AddGroup(QLayout* into, const QString& title) {
    auto* box = new QGroupBox(title, this);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    into->addWidget(box);
    return form;
}

QLineEdit* FieldPage::Edit(int id) const {
    for (const Field& field : m_fields)
        if (field.id == id)
            return field.edit;
    return nullptr;
}

CString FieldPage::Current(int id) const {
    for (const Field& field : m_fields)
        if (field.id == id)
            return IsInitialized() ? ToCString(field.edit->text()) : *field.value;
    return CString();
}

void FieldPage::Load() {
    for (const Field& field : m_fields) {
        const QSignalBlocker block(field.edit);
        field.edit->setText(ToQString(*field.value));
    }
}

void FieldPage::Save() {
    for (const Field& field : m_fields)
        *field.value = ToCString(field.edit->text());
}

void FieldPage::OnInitDialog() {
    Load();
    if (Sheet())
        CentreOverParent(Sheet());
}

bool FieldPage::OnKillActive() {
    Save();
    return true;
}

bool FieldPage::OnApply() {
    Save();
    return true;
}

void FieldPage::OnDestroy() {
    if (m_saveOnDestroy)
        Save();
}

bool FieldPage::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), m_helpTable);
}
