#include "data/DocBase.h"

#include "data/DocObserver.h"
#include "platform/core/Prompt.h"

#include <algorithm>
#include <cstring>

CDocBase::CDocBase() = default;

CDocBase::~CDocBase() {
    NotifyViewsDetach();
    m_views.clear();
}

void CDocBase::DeleteContents() {
    SetModifiedFlag(false, true);
}

FileFilter CDocBase::GetFileFilter() const {
    return {{"All Files", "*.*"}};
}

const char* CDocBase::GetDefaultExt() const {
    return nullptr;
}

bool CDocBase::OnSaveDocument(const char*) {
    ClearModifiedQuietly();
    return true;
}

bool CDocBase::OnOpenDocument(const char*) {
    SetModifiedFlag(false, true);
    return true;
}

bool CDocBase::OnNewDocument() {
    DeleteContents();
    m_pathName[0] = '\0';
    return true;
}

bool CDocBase::OnFileOpen(bool& error) {
    error = false;
    FileDialogRequest request;
    const char* ext = GetDefaultExt();
    request.defaultExt = ext ? ext : "";
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetPrompt().GetOpenFileName(request))
        return false;
    if (!OnOpenDocument(request.fileName)) {
        error = true;
        return false;
    }
    SetPathName(request.fileName);
    return true;
}

bool CDocBase::OnFileSave(bool& error) {
    error = false;
    if (m_pathName[0] == '\0' || std::strcmp(m_pathName, "Untitled") == 0)
        return OnFileSaveAs(error);
    if (!IsModified())
        return true;
    if (!OnSaveDocument(m_pathName)) {
        error = true;
        return false;
    }
    return true;
}

bool CDocBase::OnFileSaveAs(bool& error) {
    error = false;
    FileDialogRequest request;
    const char* ext = GetDefaultExt();
    request.defaultExt = ext ? ext : "";
    request.fileName = m_pathName;
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetPrompt().GetSaveFileName(request))
        return false;
    if (!OnSaveDocument(request.fileName)) {
        error = true;
        return false;
    }
    SetPathName(request.fileName);
    return true;
}

// Each notification walks a snapshot of the observers, so an observer that attaches or detaches
// while it is told leaves the walk intact; one detached meanwhile is skipped.
void CDocBase::NotifyViewsReset() {
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnDocumentModified();
}

void CDocBase::NotifyViewsDetach() {
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->Detach();
}

void CDocBase::NotifyViewAttached(CDocObserver* attached) {
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnViewAttached(attached);
}

void CDocBase::NotifyViewDetached(CDocObserver* detached) {
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnViewDetached(detached);
}

void CDocBase::NotifyPathChanged() {
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnPathChanged(m_pathName);
}

int CDocBase::UpdateAllViews(CDocObserver* sender) {
    int told = 0;
    for (CDocObserver* view : std::vector<CDocObserver*>(m_views)) {
        if (view == sender || std::find(m_views.begin(), m_views.end(), view) == m_views.end())
            continue;
        view->OnUpdate();
        ++told;
    }
    return told;
}

void CDocBase::SetPathName(const char* path) {
    std::strncpy(m_pathName, path ? path : "", kMaxPath - 1);
    m_pathName[kMaxPath - 1] = '\0';
    NotifyPathChanged();
}

bool CDocBase::AddView(CDocObserver* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
        return false;
    m_views.push_back(view);
    NotifyViewAttached(view);
    return true;
}

bool CDocBase::RemoveView(CDocObserver* view) {
    auto found = std::find(m_views.begin(), m_views.end(), view);
    if (found == m_views.end())
        return false;
    m_views.erase(found);
    // The observer may still point here when the document removes it directly.
    if (view->GetDocument() == this)
        view->Detach();
    NotifyViewDetached(view);
    return true;
}

void CDocBase::SetModifiedFlag(bool modified, bool notify) {
    m_modified = modified;
    if (notify)
        NotifyViewsReset();
}

CString CDocBase::GetTitle() const {
    return m_pathName[0] ? CString(m_pathName) : CString("Untitled");
}
