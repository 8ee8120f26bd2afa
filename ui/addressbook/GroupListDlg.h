#pragma once

#include "platform/core/CString.h"
#include "platform/core/Prompt.h"
#include "platform/qt/DropShadow.h"

#include <QDialog>

#include <utility>
#include <vector>

class CDbDoc;
class CPhGroup;
class QPushButton;
class QTreeWidget;

// The document-side steps of the groups dialog; each failing document call has shown its message.

// The groups the dialog lists: every group but "All", in the order of CDbDoc::GetGroups (by
// description). False when the groups could not be read.
bool ReadListedGroups(CDbDoc& doc, std::vector<CPhGroup>& groups);
// Inserts a new group with a new ID and the description; false when nothing was stored.
bool AddGroup(CDbDoc& doc, const CString& desc);
// Stores the description of the group with the ID.
bool RenameGroup(CDbDoc& doc, const CString& id, const CString& desc);
// Asks whether to delete the group; on Yes deletes it unless a person still belongs to it (then says
// so). True only when the group was deleted.
bool DeleteGroupWhenUnused(WindowHandle owner, CDbDoc& doc, const CString& id);

// "Address Book Groups": lists the document's groups but "All" and adds, edits and deletes them.
// Every change goes to the document at once; the caller reads the changed flag after the run.
class CGroupListDlg : public QDialog {
public:
    static constexpr int kIdList = 1103;
    static constexpr int kIdAdd = 1008;
    static constexpr int kIdDelete = 1011;
    static constexpr int kIdEdit = 1014;

    explicit CGroupListDlg(QWidget* parent = nullptr);

    void SetDocument(CDbDoc* doc) { m_doc = doc; }
    // Runs modally over the owner (the active window when null); ends only as Close does, with IDOK.
    int DoModal(QWidget* owner = nullptr);
    // Set after every successful add, edit or delete.
    bool m_changed = false;

    // The button handlers.
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnClose();
    // Rebuilds the list from the document and enables Edit and Delete when it holds an item.
    void FillList();
    // The ID the selected item carries; empty when none is selected.
    CString SelectedGroupId() const;
    int SelectedIndex() const;

    // The help key over a control: its popup for the listed ids; false for others.
    bool OnContextHelp(QWidget* control);
    static const std::vector<std::pair<int, int>>& HelpTable();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    CDbDoc* m_doc = nullptr;
    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_edit;
    QPushButton* m_close;
    bool m_ending = false;
    bool m_filledOnOpen = false;
    DropShadow m_dropShadow{this};
};
