#include "ui/addressbook/VwPhbklist.h"

#include "data/DbDoc.h"
#include "data/IdMaker.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "ui/addressbook/ContextHelpClick.h"
#include "ui/addressbook/PersonListModel.h"
#include "ui/addressbook/PersonSheet.h"
#include "ui/common/PaneCommands.h"
#include "ui/common/SharedRead.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString ToQt(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

CString FromQt(const QString& text) {
    return CString(text.toUtf8().constData());
}

struct CommandText {
    int id;
    const char* menuText;
    const char* toolText;
    const char* tip;
};

const CommandText kCommands[] = {
    {CVwPhbklist::kAddPerson, "&Add...", "Add", "Add name"},
    {CVwPhbklist::kDeletePerson, "&Delete", "Delete", "Delete name"},
    {CVwPhbklist::kEditPerson, "&Edit...", "Edit", "Edit name"},
    {CVwPhbklist::kEmailGroup, "E&mail Group...", "Email", "Email group"},
};

// The persons of one group in one sort order, as both telephone-book lists show them.
struct MembersKey {
    std::string groupId;
    int sortOrder = 0;
    bool operator==(const MembersKey&) const = default;
};

// Both lists refill on the same notification; the second takes the first one's rows.
SharedRead<MembersKey, PersonListRows>& SharedMembers() {
    static SharedRead<MembersKey, PersonListRows> shared;
    return shared;
}

// The current group's persons in the document's sort order; null when the read failed (the document
// has told the user).
std::shared_ptr<const PersonListRows> ReadMembers() {
    const MembersKey key{g_doc.m_currentGroupId.str(), g_doc.m_personSortOrder};
    if (std::shared_ptr<const PersonListRows> rows = SharedMembers().Find(key))
        return rows;
    PersonListRows entries;
    if (!g_doc.GetGroupMemberEntries(entries, key.sortOrder, g_doc.m_currentGroupId))
        return nullptr;
    auto rows = std::make_shared<const PersonListRows>(std::move(entries));
    SharedMembers().Store(key, rows);
    return rows;
}

} // namespace

bool RunPersonSheet(QWidget* owner, const CString& caption, CPerson& person, std::vector<CPhGroup>& groups) {
    PersonSheet sheet(ToQt(caption));
    sheet.m_general.m_doc = &g_doc;
    sheet.LoadFrom(person, groups);
    if (sheet.DoModal(owner) != IDOK)
        return false;
    sheet.StoreTo(person, groups);
    return true;
}

CVwPhbklist::CVwPhbklist(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CVwPhbklist"));
    Attach(&g_doc);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(4);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar211"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);
    m_contextMenu = new QMenu(QStringLiteral("&Phone Book"), this);
    BuildCommands();

    m_groupBox = new QGroupBox(QStringLiteral("Address Book Group"), this);
    SetControlId(m_groupBox, kIdGroupBox);
    auto* boxLayout = new QVBoxLayout(m_groupBox);
    m_groups = new QComboBox(m_groupBox);
    SetControlId(m_groups, kIdGroupChooser);
    m_groups->setEditable(false);
    boxLayout->addWidget(m_groups);
    layout->addWidget(m_groupBox);

    m_list = new QTreeView(this);
    SetControlId(m_list, kIdPersonList);
    m_model = new CPersonListModel(m_list);
    m_list->setModel(m_model);
    layout->addWidget(m_list, 1);
    InitList();

    connect(m_groups, qOverload<int>(&QComboBox::activated), this, [this](int index) { ChooseGroup(index); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(column); });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_filling)
            return;
        const QModelIndexList selected = m_list->selectionModel()->selectedRows();
        OnSelectionChanged(selected.isEmpty() ? -1 : selected.first().row());
    });
    connect(m_list, &QTreeView::doubleClicked, this, [this] {
        NoteListFocused();
        if (m_selectedIndex != -1)
            OnCommand(kEditPerson);
    });
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_list->header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == 0 && !m_sizingColumns)
            m_columnsSizedByUser = true;
    });

    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->AddIdleHandler(this);
}

CVwPhbklist::~CVwPhbklist() {
    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->RemoveIdleHandler(this);
    Detach();
}

void CVwPhbklist::BuildCommands() {
    for (const CommandText& command : kCommands) {
        if (command.id == kEmailGroup) {
            m_toolBar->addSeparator();
            m_contextMenu->addSeparator();
        }
        const PaneCommandActions actions = AddPaneCommand(
            this, m_toolBar, m_contextMenu, m_updateUI, command.id, QString::fromUtf8(command.toolText),
            QString::fromUtf8(command.menuText), [this](int id) { OnCommand(id); });
        actions.tool->setToolTip(QString::fromUtf8(command.tip));
    }
}

void CVwPhbklist::InitList() {
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);
    m_list->header()->setStretchLastSection(true);
}

void CVwPhbklist::SizeColumns() {
    // "Name" takes half the list's width and "Company" the rest, until the user sizes them.
    if (m_columnsSizedByUser)
        return;
    m_sizingColumns = true;
    m_list->header()->resizeSection(0, m_list->viewport()->width() / 2);
    m_sizingColumns = false;
}

void CVwPhbklist::OnDocumentModified() {
    FillGroups();
    FillList();
}

void CVwPhbklist::OnUpdate() {
    if (m_filledFor && m_filledFor == CurrentFill()) {
        SelectCurrentPerson();
        return;
    }
    FillGroups();
    FillList();
}

std::optional<CVwPhbklist::FilledFor> CVwPhbklist::CurrentFill() {
    std::optional<DbState> db = DbState::Current();
    if (!db)
        return std::nullopt;
    return FilledFor{std::move(*db), g_doc.m_currentGroupId.str(), g_doc.m_personSortOrder};
}

void CVwPhbklist::SelectCurrentPerson() {
    int current = -1;
    const std::string& wanted = g_doc.m_currentPersonId.str();
    for (int i = 0; i < ListedCount(); ++i)
        if (m_model->Row(i)->id.str() == wanted) {
            current = i;
            break;
        }
    if (current != m_selectedIndex || current == -1) {
        m_filling = true;
        m_list->clearSelection();
        m_filling = false;
        m_selectedIndex = -1;
        if (current != -1) {
            SelectItem(current);
            m_selectedIndex = current;
            m_list->scrollTo(m_model->index(current, 0));
        }
    }
    if (m_selectedIndex == -1)
        g_doc.m_currentPersonId = CString();
    g_doc.m_listedPersonCount = ListedCount();
}

void CVwPhbklist::FillGroups() {
    m_groups->clear();
    std::vector<CPhGroup> groups;
    if (!g_doc.GetGroups(groups))
        return;
    // The chooser lists its groups sorted by description regardless of case.
    std::stable_sort(groups.begin(), groups.end(), [](const CPhGroup& a, const CPhGroup& b) {
        return a.m_Desc.CompareNoCase(b.m_Desc) < 0;
    });
    int current = -1;
    for (const CPhGroup& group : groups) {
        m_groups->addItem(ToQt(group.m_Desc), ToQt(group.m_ID));
        if (current == -1 && group.m_ID == g_doc.m_currentGroupId)
            current = m_groups->count() - 1;
    }
    if (current == -1 && m_groups->count() > 0) {
        current = 0;
        g_doc.m_currentGroupId = GroupIdAt(0);
    } else if (current == -1) {
        g_doc.m_currentGroupId = CString();
    }
    m_groups->setCurrentIndex(current);
}

void CVwPhbklist::FillList() {
    m_filling = true;
    m_selectedIndex = -1;
    m_model->SetRows(nullptr);
    const std::shared_ptr<const PersonListRows> rows = ReadMembers();
    if (rows) {
        for (size_t i = 0; i < rows->size(); ++i)
            if ((*rows)[i].id == g_doc.m_currentPersonId) {
                m_selectedIndex = static_cast<int>(i);
                break;
            }
        m_model->SetRows(rows);
    }
    if (m_selectedIndex != -1) {
        const QModelIndex index = m_model->index(m_selectedIndex, 0);
        m_list->setCurrentIndex(index);
        m_list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_list->scrollTo(index);
    }
    m_filling = false;
    if (m_selectedIndex == -1)
        g_doc.m_currentPersonId = CString();
    g_doc.m_listedPersonCount = ListedCount();
    // A failed read is tried again at the next update.
    m_filledFor = rows ? CurrentFill() : std::nullopt;
}

void CVwPhbklist::ChooseGroup(int chooserIndex) {
    if (chooserIndex < 0 || chooserIndex >= m_groups->count())
        return;
    g_doc.m_currentGroupId = GroupIdAt(chooserIndex);
    FillList();
}

void CVwPhbklist::SortByColumn(int column) {
    if (column != 0 && column != 1)
        return;
    g_doc.m_personSortOrder = column;
    FillList();
}

bool CVwPhbklist::NotifiesOthers() const {
    // The list of a hidden telephone-book window follows the showing one and never tells in turn.
    return parentWidget() && parentWidget()->isVisible();
}

void CVwPhbklist::OnSelectionChanged(int index) {
    m_selectedIndex = index;
    if (index == -1) {
        g_doc.m_currentPersonId = CString();
        return;
    }
    const CString id = PersonIdAt(index);
    if (id.IsEmpty())
        return;
    g_doc.m_currentPersonId = id;
    if (NotifiesOthers())
        g_doc.UpdateAllViews(this);
}

void CVwPhbklist::SelectItem(int index) {
    if (!m_model->Row(index))
        return;
    m_filling = true;
    const QModelIndex item = m_model->index(index, 0);
    m_list->setCurrentIndex(item);
    m_list->selectionModel()->select(item, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_filling = false;
}

int CVwPhbklist::ListedCount() const {
    return m_model->Count();
}

CString CVwPhbklist::PersonIdAt(int index) const {
    const PersonListRow* row = m_model->Row(index);
    return row ? row->id : CString();
}

CString CVwPhbklist::GroupIdAt(int chooserIndex) const {
    if (chooserIndex < 0 || chooserIndex >= m_groups->count())
        return CString();
    return FromQt(m_groups->itemData(chooserIndex).toString());
}

bool CVwPhbklist::OnCommand(int id) {
    switch (id) {
    case kAddPerson:
        OnAddPerson();
        return true;
    case kDeletePerson:
        OnDeletePerson();
        return true;
    case kEditPerson:
        OnEditPerson();
        return true;
    default:
        return false;
    }
}

bool CVwPhbklist::OnIdle(int) {
    const bool person = !g_doc.m_currentPersonId.IsEmpty();
    m_updateUI.UIEnable(kAddPerson, g_doc.IsOpen());
    m_updateUI.UIEnable(kDeletePerson, person);
    m_updateUI.UIEnable(kEditPerson, person);
    m_updateUI.UIEnable(kEmailGroup, ListedCount() > 0);
    m_updateUI.UIUpdateToolBar();
    m_updateUI.UIUpdateMenuBar();
    return false;
}

void CVwPhbklist::OnAddPerson() {
    CPerson person;
    std::vector<CPhGroup> groups;
    if (!m_personSheet(window(), CString("Add Person"), person, groups))
        return;
    if (!NewGuidString(person.m_ID))
        return;
    person.BuildDisplayName();
    if (!g_doc.InsertPerson(person, groups))
        return;
    g_doc.m_currentPersonId = person.m_ID;
    g_doc.SetModifiedFlag(true, true);
}

void CVwPhbklist::OnDeletePerson() {
    if (!m_listFocused || m_selectedIndex == -1)
        return;
    CPerson person;
    person.m_ID = PersonIdAt(m_selectedIndex);
    if (person.m_ID.IsEmpty())
        return;
    if (!g_doc.DeletePerson(person))
        return;
    if (ListedCount() < 2) {
        m_selectedIndex = -1;
        g_doc.m_currentPersonId = CString();
    } else {
        // The entry above takes the selection; after the first one, the entry that becomes first.
        const int neighbour = m_selectedIndex > 0 ? m_selectedIndex - 1 : 1;
        SelectItem(neighbour);
        g_doc.m_currentPersonId = PersonIdAt(neighbour);
        m_selectedIndex = std::max(m_selectedIndex - 1, 0);
    }
    g_doc.SetModifiedFlag(true, true);
}

void CVwPhbklist::OnEditPerson() {
    if (!m_listFocused || g_doc.m_currentPersonId.IsEmpty())
        return;
    CPerson person;
    person.m_ID = g_doc.m_currentPersonId;
    std::vector<CPhGroup> groups;
    // A person that cannot be read is not edited: saving an empty sheet would blank its record.
    if (!g_doc.GetPersonWithGroups(person, groups))
        return;
    if (!m_personSheet(window(), CString("Edit Person"), person, groups))
        return;
    person.BuildDisplayName();
    if (g_doc.UpdatePerson(person, groups))
        g_doc.SetModifiedFlag(true, true);
}

void CVwPhbklist::mouseReleaseEvent(QMouseEvent* event) {
    try {
        if (!AnswerContextHelpClick(this, event))
            QWidget::mouseReleaseEvent(event);
    } catch (...) {
        // A failed help lookup leaves the list as it was.
    }
}

bool CVwPhbklist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list || watched == m_list->viewport()) {
        switch (event->type()) {
        case QEvent::Resize:
            if (watched == m_list->viewport())
                SizeColumns();
            break;
        case QEvent::FocusIn:
            NoteListFocused();
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && m_listFocused &&
                m_selectedIndex != -1) {
                OnCommand(kDeletePerson);
                return true;
            }
            break;
        case QEvent::ContextMenu:
            OnIdle(0);
            m_contextMenu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
