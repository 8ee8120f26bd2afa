#pragma once

#include "platform/core/CString.h"
#include "platform/qt/PropertySheet.h"

#include <functional>
#include <utility>
#include <vector>

class QFormLayout;
class QLineEdit;

// A sheet page of one-line text fields, each bound to a text member of the page: the edits are
// loaded when the page is first shown and saved when it is left (and so on OK). A page that was
// never shown keeps the values it was loaded with.
class FieldPage : public PropertyPage {
public:
    using HelpTable = std::vector<std::pair<int, int>>;

    FieldPage(const QString& title, HelpTable helpTable);

    // The edit of the control id, or null.
    QLineEdit* Edit(int id) const;
    // A field's text as it stands: the edit's once the page was shown, else the held value.
    CString Current(int id) const;

    void OnInitDialog() override;
    bool OnKillActive() override;
    bool OnApply() override;
    void OnDestroy() override;

    // Called after every change of one of the page's edits, with the control id.
    std::function<void(int)> onEditChanged;
    // Whether the page saves its fields when its window goes (the notes and owner pages do).
    bool m_saveOnDestroy = false;

protected:
    // A labelled edit bound to value; edit may be a ready-made one (a phone edit), else one is made.
    QLineEdit* AddField(QFormLayout* form, int id, const QString& label, CString* value,
                        QLineEdit* edit = nullptr);
    // A group box of labelled fields.
    QFormLayout* AddGroup(QLayout* into, const QString& title);
    virtual void Load();
    virtual void Save();
    bool OnContextHelp(QWidget* control);

private:
    struct Field {
        int id;
        QLineEdit* edit;
        CString* value;
    };
    std::vector<Field> m_fields;
    HelpTable m_helpTable;
};
