#pragma once

#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"
#include "ui/common/CommandDialog.h"

#include <utility>
#include <vector>

class QComboBox;
class QPushButton;

// The "Fields" dialog: which record field a column of the file fills.
class CFieldsDlg : public CCommandDialog {
public:
    enum : int { kIdFieldCombo = 1148, kIdImportThisField = 1147, kIdAssignLabel = 1013 };

    explicit CFieldsDlg(const std::vector<CString>& fields, int selected, QWidget* parent = nullptr);

    // Runs modally over the owner; IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    // The chosen field's index (-1 for none), in and out.
    int m_selected;

    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnOk() override;
    void OnComboChanged(int index);

    std::vector<CString> m_fields;
    QComboBox* m_combo;
    QPushButton* m_ok;
    DropShadow m_dropShadow{this};
};
