#pragma once

#include "platform/core/CString.h"
#include "platform/qt/DropShadow.h"

#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

class CDbDoc;
class CPhGroup;
class QLineEdit;
class QPushButton;

// Runs a button's handler of the group dialogs so that no error leaves the Qt handler: an error the
// document did not report itself is shown over the owner.
void RunGroupHandler(QWidget* owner, const std::function<void()>& handler);

// Whether desc is taken by another group, compared exactly (case-sensitive). Adding: any group with
// that description. Editing: any group with it whose description also differs from ownDesc, the
// edited group's description before editing, so keeping a description unchanged is accepted.
bool IsDuplicateGroupDesc(const std::vector<CPhGroup>& groups, const CString& desc, bool adding,
                          const CString& ownDesc);

// "Address Book Group Details": one group's description, refused when another group has it.
class CGroupDetailsDlg : public QDialog {
public:
    static constexpr int kIdDescLabel = 1062;
    static constexpr int kIdDesc = 1067;

    explicit CGroupDetailsDlg(QWidget* parent = nullptr);

    void SetDocument(CDbDoc* doc) { m_doc = doc; }
    // Runs modally over the owner (the active window when null); IDOK means m_desc was accepted.
    int DoModal(QWidget* owner = nullptr);

    bool m_addMode = true;
    CString m_desc;
    // The edited group's description before editing (empty when adding).
    CString m_ownDesc;

    // The help key over a control: its popup for the listed ids; false for others.
    bool OnContextHelp(QWidget* control);
    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void OnDescChanged();
    void OnOk();
    void OnCancel();

    CDbDoc* m_doc = nullptr;
    QLineEdit* m_descEdit;
    QPushButton* m_ok;
    bool m_ending = false;
    DropShadow m_dropShadow{this};
};
