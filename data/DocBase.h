#pragma once

#include "platform/core/CString.h"

#include <utility>
#include <vector>

class CDocObserver;

// (description, pattern) pairs of a file dialog's filter.
using FileFilter = std::vector<std::pair<CString, CString>>;

// The general document: the attached observers (in the order of attachment, not owned), the modified
// flag, the path name and the notifications to all observers or all but the sender.
class CDocBase {
public:
    // Longest path name kept (the buffer holds one more for the terminator).
    static constexpr int kMaxPath = 260;

    CDocBase();
    CDocBase(const CDocBase&) = delete;
    CDocBase& operator=(const CDocBase&) = delete;
    // Tells every observer to detach.
    virtual ~CDocBase();

    virtual void DeleteContents();
    virtual FileFilter GetFileFilter() const;
    // The default extension without the dot; null for none.
    virtual const char* GetDefaultExt() const;
    virtual bool OnSaveDocument(const char* path);
    virtual bool OnOpenDocument(const char* path);
    virtual bool OnNewDocument();
    virtual bool OnFileOpen(bool& error);
    virtual bool OnFileSave(bool& error);
    virtual bool OnFileSaveAs(bool& error);
    // OnDocumentModified on every observer.
    virtual void NotifyViewsReset();
    // Detach on every observer.
    virtual void NotifyViewsDetach();
    virtual void NotifyViewAttached(CDocObserver* view);
    virtual void NotifyViewDetached(CDocObserver* view);
    virtual void NotifyPathChanged();
    // OnUpdate on every observer except the sender; returns how many were told.
    virtual int UpdateAllViews(CDocObserver* sender);
    // Keeps at most 259 characters, then notifies the observers.
    virtual void SetPathName(const char* path);

    // Appends the observer and notifies every observer of it; false when it could not be added.
    bool AddView(CDocObserver* view);
    // Removes the observer and notifies the remaining ones; false when it was not attached.
    bool RemoveView(CDocObserver* view);
    const std::vector<CDocObserver*>& GetViews() const { return m_views; }

    void SetModifiedFlag(bool modified, bool notify);
    bool IsModified() const { return m_modified; }
    const char* GetPathName() const { return m_pathName; }
    // The path name, or "Untitled" without one.
    CString GetTitle() const;

protected:
    // Clears the modified flag without telling anyone.
    void ClearModifiedQuietly() { m_modified = false; }

private:
    std::vector<CDocObserver*> m_views;
    bool m_modified = false;
    char m_pathName[kMaxPath] = {};
};
