#include "ui/addressbook/GroupListDlg.h"

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "data/Schema.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/addressbook/GroupDetailsDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The item data that carries a group's ID.
constexpr int kGroupIdRole = Qt::UserRole;

} // namespace

bool ReadListedGroups(CDbDoc& doc, std::vector<CPhGroup>& groups) {
    std::vector<CPhGroup> all;
    if (!doc.GetGroups(all))
        return false;
    for (const CPhGroup& group : all)
        if (group.m_ID != Schema::kGroupAllId)
            groups.push_back(group);
    return true;
}

bool AddGroup(CDbDoc& doc, const CString& desc) {
    CPhGroup group;
    if (!NewGuidString(group.m_ID))
        return false;
    group.m_Desc = desc;
    return doc.InsertGroup(group);
}

bool RenameGroup(CDbDoc& doc, const CString& id, const CString& desc) {
    CPhGroup group;
    group.m_ID = id;
    group.m_Desc = desc;
    return doc.UpdateGroup(group);
}

bool DeleteGroupWhenUnused(WindowHandle owner, CDbDoc& doc, const CString& id) {
    if (MessageBoxA(owner,
                    "Are you sure you want to delete the selected group? If it is in use anywhere, it will "
                    "not be deleted",
                    "Delete Group", MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return false;
    CPhGroup group;
    group.m_ID = id;
    if (doc.GetGroupUseCount(group) > 0) {
        MessageBoxA(owner, "The group is in use. It was not deleted.", "Delete Group", MB_ICONINFORMATION);
        return false;
    }
    return doc.DeleteGroup(group);
}

CGroupListDlg::CGroupListDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Address Book Groups"));
    m_list = new QTreeWidget(this);
    SetControlId(m_list, kIdList);
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({QStringLiteral("Group")});
    m_list->header()->setStretchLastSection(true);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setMinimumSize(220, 200);

    m_add = MakeButton(this, kIdAdd, QStringLiteral("&Add"));
    m_delete = MakeButton(this, kIdDelete, QStringLiteral("&Delete"));
    m_edit = MakeButton(this, kIdEdit, QStringLiteral("&Edit"));
    m_close = MakeButton(this, IDOK, QStringLiteral("&Close"));
    m_close->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* top = new QHBoxLayout(this);
    top->addWidget(m_list, 1);
    top->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, [this] { RunGroupHandler(this, [this] { OnAdd(); }); });
    connect(m_edit, &QPushButton::clicked, this, [this] { RunGroupHandler(this, [this] { OnEdit(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunGroupHandler(this, [this] { OnDelete(); }); });
    connect(m_close, &QPushButton::clicked, this, &CGroupListDlg::OnClose);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

int CGroupListDlg::DoModal(QWidget* owner) {
    AdoptOwner(this, owner);
    m_filledOnOpen = false;
    exec();
    return IDOK;
}

void CGroupListDlg::showEvent(QShowEvent* event) {
    if (!m_filledOnOpen) {
        m_filledOnOpen = true;
        RunGroupHandler(this, [this] { FillList(); });
        CentreOverParent(this);
    }
    QDialog::showEvent(event);
}

void CGroupListDlg::FillList() {
    WaitCursor wait;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    std::vector<CPhGroup> groups;
    if (m_doc)
        ReadListedGroups(*m_doc, groups);
    for (const CPhGroup& group : groups) {
        auto* item = new QTreeWidgetItem(m_list, {QString::fromUtf8(group.m_Desc.c_str())});
        item->setData(0, kGroupIdRole, QString::fromUtf8(group.m_ID.c_str()));
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_list->setUpdatesEnabled(true);
    const bool any = m_list->topLevelItemCount() > 0;
    m_edit->setEnabled(any);
    m_delete->setEnabled(any);
}

int CGroupListDlg::SelectedIndex() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.front());
}

CString CGroupListDlg::SelectedGroupId() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return CString();
    return CString(selected.front()->data(0, kGroupIdRole).toString().toUtf8().toStdString());
}

void CGroupListDlg::OnAdd() {
    if (!m_doc)
        return;
    CGroupDetailsDlg details(this);
    details.m_addMode = true;
    details.SetDocument(m_doc);
    if (details.DoModal(this) != IDOK)
        return;
    if (!AddGroup(*m_doc, details.m_desc))
        return;
    m_changed = true;
    FillList();
}

void CGroupListDlg::OnEdit() {
    const CString id = SelectedGroupId();
    if (!m_doc || id.IsEmpty())
        return;
    CPhGroup group;
    group.m_ID = id;
    if (!m_doc->GetGroupDesc(group))
        return;
    CGroupDetailsDlg details(this);
    details.m_addMode = false;
    details.SetDocument(m_doc);
    details.m_desc = group.m_Desc;
    details.m_ownDesc = group.m_Desc;
    if (details.DoModal(this) != IDOK)
        return;
    if (!RenameGroup(*m_doc, id, details.m_desc))
        return;
    m_changed = true;
    FillList();
}

void CGroupListDlg::OnDelete() {
    const CString id = SelectedGroupId();
    if (!m_doc || id.IsEmpty())
        return;
    if (!DeleteGroupWhenUnused(this, *m_doc, id))
        return;
    m_changed = true;
    FillList();
}

void CGroupListDlg::OnClose() {
    m_list->clear();
    m_ending = true;
    QDialog::done(QDialog::Accepted);
}

void CGroupListDlg::done(int result) {
    // Escape and the caption's close box end the dialog as Close does: every change is already
    // stored, and the caller still learns of it from the changed flag.
    if (m_ending) {
        m_ending = false;
        QDialog::done(result);
    } else {
        OnClose();
    }
}

const std::vector<std::pair<int, int>>& CGroupListDlg::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdList, 1900}, {kIdAdd, 1010}, {kIdEdit, 1011}, {kIdDelete, 1012}, {IDOK, 1013}};
    return table;
}

bool CGroupListDlg::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
}
