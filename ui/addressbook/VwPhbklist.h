#pragma once

#include "data/DocObserver.h"
#include "data/Records.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/UpdateUI.h"
#include "ui/common/SharedRead.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QEvent;
class QGroupBox;
class QMenu;
class QToolBar;
class QTreeView;
class CPersonListModel;

// Runs the person sheet modally over owner with the caption; on OK the sheet has written its values
// into person and the groups chosen on its General page into groups. Returns false when cancelled.
bool RunPersonSheet(QWidget* owner, const CString& caption, CPerson& person, std::vector<CPhGroup>& groups);

// The person list pane: a group chooser, the chosen group's persons with their name and company,
// and the Add, Delete and Edit commands. Selecting a person makes it the document's current person.
class CVwPhbklist : public QWidget, public CDocObserver, public CCommandTarget, public CIdleHandler {
public:
    enum ControlId : int { kIdPersonList = 1006, kIdGroupChooser = 1027, kIdGroupBox = 1113 };
    enum Command : int {
        kAddPerson = 32775,
        kDeletePerson = 32776,
        kEditPerson = 32777,
        kEmailGroup = 32836
    };

    using PersonSheet = std::function<bool(QWidget*, const CString&, CPerson&, std::vector<CPhGroup>&)>;

    // Attaches to the document before building its controls.
    explicit CVwPhbklist(QWidget* parent = nullptr);
    ~CVwPhbklist() override;

    // Refills the group chooser, then the person list. A change of the current date or person leaves
    // the persons unchanged: while the document, the group and the sort order are as at the last fill,
    // only the current person is selected anew.
    void OnUpdate() override;
    // The document's data changed: refills the group chooser, then the person list.
    void OnDocumentModified() override;
    bool OnCommand(int id) override;
    bool OnIdle(int idleCount) override;

    // Reads the groups into the chooser and settles the document's current group.
    void FillGroups();
    // Reads the current group's persons in the document's sort order and selects the current person.
    void FillList();
    // What the chooser, the column header and the list's selection do.
    void ChooseGroup(int chooserIndex);
    void SortByColumn(int column);
    void OnSelectionChanged(int index);

    void OnAddPerson();
    void OnDeletePerson();
    void OnEditPerson();

    // The list becomes the control Delete and Edit act on (it got the focus or a double click).
    void NoteListFocused() { m_listFocused = true; }
    bool IsListFocused() const { return m_listFocused; }
    int SelectedIndex() const { return m_selectedIndex; }
    int ListedCount() const;
    // The ID the list item at index carries (empty when out of range).
    CString PersonIdAt(int index) const;
    CString GroupIdAt(int chooserIndex) const;

    void SetPersonSheet(PersonSheet sheet) { m_personSheet = std::move(sheet); }
    const CUpdateUI& UpdateState() const { return m_updateUI; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    QTreeView* PersonList() const { return m_list; }
    QComboBox* GroupChooser() const { return m_groups; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // In the frame's context-help mode the list answers the release with the help of the control
    // under the mouse.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildCommands();
    void InitList();
    void SizeColumns();
    void SelectItem(int index);
    // Selects the document's current person among the listed ones, or clears it when not listed.
    void SelectCurrentPerson();
    bool NotifiesOthers() const;

    QToolBar* m_toolBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    QGroupBox* m_groupBox = nullptr;
    QComboBox* m_groups = nullptr;
    QTreeView* m_list = nullptr;
    CPersonListModel* m_model = nullptr;
    CUpdateUI m_updateUI;
    PersonSheet m_personSheet = RunPersonSheet;
    int m_selectedIndex = -1;
    // What the listed persons were read for: the document's state, the group and the sort order.
    struct FilledFor {
        DbState db;
        std::string groupId;
        int sortOrder = 0;
        bool operator==(const FilledFor&) const = default;
    };
    static std::optional<FilledFor> CurrentFill();
    std::optional<FilledFor> m_filledFor;
    bool m_listFocused = false;
    // Set while the list is refilled, so the selection it restores is not taken as the user's.
    bool m_filling = false;
    bool m_sizingColumns = false;
    bool m_columnsSizedByUser = false;
};
