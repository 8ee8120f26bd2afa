#include "platform/qt/RecentDocumentList.h"

#include "platform/core/Registry.h"
#include "platform/qt/Controls.h"

#include <QMenu>

namespace {

CString ListKey(const char* programKey) {
    return CString(programKey) + "\\Recent Document List";
}

} // namespace

CRecentDocumentList::CRecentDocumentList(QObject* parent) : QObject(parent) {}

void CRecentDocumentList::SetMenuHandle(QMenu* popup) {
    m_menu = popup;
    UpdateMenu();
}

bool CRecentDocumentList::ReadFromRegistry(const char* programKey) {
    const CString key = ListKey(programKey);
    RegistryStore& registry = Registry();
    const std::optional<uint32_t> count = registry.ReadDword(key, "DocumentCount");
    if (!count)
        return false;
    m_entries.clear();
    for (uint32_t i = 1; i <= *count && m_entries.size() < static_cast<size_t>(kMaxEntries); ++i) {
        CString name;
        name.Format("Document%u", i);
        if (const std::optional<CString> path = registry.ReadString(key, name); path && !path->IsEmpty())
            m_entries.push_back(*path);
    }
    UpdateMenu();
    return true;
}

bool CRecentDocumentList::WriteToRegistry(const char* programKey) const {
    const CString key = ListKey(programKey);
    RegistryStore& registry = Registry();
    if (!registry.CreateKey(key))
        return false;
    // Entries past the new count are removed so the key never names a stale file.
    for (int i = static_cast<int>(m_entries.size()) + 1; i <= kMaxEntries; ++i) {
        CString name;
        name.Format("Document%d", i);
        registry.DeleteValue(key, name);
    }
    registry.WriteDword(key, "DocumentCount", static_cast<uint32_t>(m_entries.size()));
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CString name;
        name.Format("Document%zu", i + 1);
        registry.WriteString(key, name, m_entries[i]);
    }
    return true;
}

void CRecentDocumentList::AddToList(const char* path) {
    const CString entry(path ? path : "");
    if (entry.IsEmpty())
        return;
    // File names differ by case here: only the same text is the same document.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (*it == entry) {
            m_entries.erase(it);
            break;
        }
    }
    m_entries.insert(m_entries.begin(), entry);
    if (m_entries.size() > static_cast<size_t>(kMaxEntries))
        m_entries.resize(kMaxEntries);
    UpdateMenu();
}

bool CRecentDocumentList::GetFromList(int id, CString& path) const {
    const int index = id - kFirstId;
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return false;
    path = m_entries[static_cast<size_t>(index)];
    return true;
}

bool CRecentDocumentList::MoveToTop(int id) {
    CString path;
    if (!GetFromList(id, path))
        return false;
    AddToList(path);
    return true;
}

bool CRecentDocumentList::RemoveFromList(int id) {
    const int index = id - kFirstId;
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return false;
    m_entries.erase(m_entries.begin() + index);
    UpdateMenu();
    return true;
}

void CRecentDocumentList::UpdateMenu() {
    if (!m_menu)
        return;
    // The actions stay children of the popup; the frame connects the menu's triggered signal once.
    for (QAction* action : m_menu->actions()) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    if (m_entries.empty()) {
        QAction* empty = MakeCommandAction(m_menu, kFirstId, QStringLiteral("(Empty)"));
        empty->setEnabled(false);
        m_menu->addAction(empty);
        return;
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* action = MakeCommandAction(
            m_menu, kFirstId + static_cast<int>(i),
            number + QLatin1Char(' ') +
                QString::fromUtf8(m_entries[i].c_str()).replace(QLatin1Char('&'), QStringLiteral("&&")));
        m_menu->addAction(action);
    }
}
