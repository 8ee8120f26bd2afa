#include "platform/qt/UpdateUI.h"

#include <QAction>

void CUpdateUI::UIAddEntry(int id, unsigned kinds) {
    auto [it, added] = m_entries.try_emplace(id);
    it->second.kinds |= kinds;
    if (added)
        m_order.push_back(id);
}

void CUpdateUI::UIBind(QAction* action, int id, unsigned kind) {
    const auto it = m_entries.find(id);
    if (it != m_entries.end())
        it->second.actions.emplace_back(action, kind);
}

void CUpdateUI::UIEnable(int id, bool enabled) {
    const auto it = m_entries.find(id);
    if (it != m_entries.end())
        it->second.enabled = enabled;
}

void CUpdateUI::UISetCheck(int id, bool checked) {
    const auto it = m_entries.find(id);
    if (it != m_entries.end())
        it->second.checked = checked;
}

bool CUpdateUI::UIIsEnabled(int id) const {
    const auto it = m_entries.find(id);
    return it == m_entries.end() || it->second.enabled;
}

bool CUpdateUI::UIIsChecked(int id) const {
    const auto it = m_entries.find(id);
    return it != m_entries.end() && it->second.checked;
}

void CUpdateUI::Apply(unsigned kind) {
    for (auto& [id, entry] : m_entries) {
        if (!(entry.kinds & kind))
            continue;
        for (auto& [action, actionKind] : entry.actions) {
            if (!action || !(actionKind & kind))
                continue;
            // Only changes are applied, so an idle pass that changes nothing posts no events.
            if (action->isEnabled() != entry.enabled)
                action->setEnabled(entry.enabled);
            if (action->isCheckable() && action->isChecked() != entry.checked)
                action->setChecked(entry.checked);
        }
    }
}

void CUpdateUI::UIUpdateToolBar() {
    Apply(kToolBar);
}

void CUpdateUI::UIUpdateMenuBar() {
    Apply(kMenu);
}
