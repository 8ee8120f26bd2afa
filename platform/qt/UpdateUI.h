#pragma once

#include <QPointer>

#include <map>
#include <vector>

class QAction;

// The update-UI table: the entries a window keeps enabled/checked states for, by command id. Handlers
// set the wanted state with UIEnable/UISetCheck; UIUpdateToolBar and UIUpdateMenuBar apply it to the
// bound actions (menu items and toolbar buttons share one QAction per id unless bound separately).
class CUpdateUI {
public:
    enum Kind : unsigned { kMenu = 1, kToolBar = 2 };

    // Adds an entry (kinds as a mask); only listed ids are updated.
    void UIAddEntry(int id, unsigned kinds);
    // Binds an action showing the command id as the given kind.
    void UIBind(QAction* action, int id, unsigned kind);

    void UIEnable(int id, bool enabled);
    void UISetCheck(int id, bool checked);
    void UIUpdateToolBar();
    void UIUpdateMenuBar();

    bool IsListed(int id) const { return m_entries.count(id) != 0; }
    // The state last set for an entry (enabled by default, unchecked).
    bool UIIsEnabled(int id) const;
    bool UIIsChecked(int id) const;
    std::vector<int> UIEntryIds() const { return m_order; }

private:
    struct Entry {
        unsigned kinds = 0;
        bool enabled = true;
        bool checked = false;
        std::vector<std::pair<QPointer<QAction>, unsigned>> actions;
    };
    void Apply(unsigned kind);

    std::map<int, Entry> m_entries;
    std::vector<int> m_order;
};
