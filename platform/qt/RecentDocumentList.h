#pragma once

#include "platform/core/CString.h"

#include <QObject>

#include <vector>

class QMenu;

// The recent-file list of a File menu popup: at most 16 paths, the most recent first, shown as
// "&1 path" items with the command ids 57616 up ("(Empty)", disabled, while the list is empty), and
// kept under "<key>\\Recent Document List" as "DocumentCount" and "Document1".."DocumentN".
class CRecentDocumentList : public QObject {
public:
    static constexpr int kFirstId = 57616;
    static constexpr int kMaxEntries = 16;

    explicit CRecentDocumentList(QObject* parent = nullptr);

    // The popup whose items the list owns; the list fills it at once.
    void SetMenuHandle(QMenu* popup);
    QMenu* GetMenuHandle() const { return m_menu; }

    bool ReadFromRegistry(const char* programKey);
    bool WriteToRegistry(const char* programKey) const;

    // Puts the path at the top (moving it when listed already, compared ignoring case).
    void AddToList(const char* path);
    // The path of a command id; false when the id holds no entry.
    bool GetFromList(int id, CString& path) const;
    // Moves the entry of a command id to the top.
    bool MoveToTop(int id);
    bool RemoveFromList(int id);

    const std::vector<CString>& Entries() const { return m_entries; }

private:
    void UpdateMenu();
    std::vector<CString> m_entries;
    QMenu* m_menu = nullptr;
};
