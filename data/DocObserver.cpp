#include "data/DocObserver.h"

#include "data/DocBase.h"
#include "platform/core/Prompt.h"

CDocObserver::~CDocObserver() {
    CDocObserver::Detach();
}

bool CDocObserver::IsModified() {
    return m_document && m_document->IsModified();
}

bool CDocObserver::SaveModified(void* owner, const char* caption) {
    if (!IsModified())
        return true;
    CString question;
    question.Format("Save changes to %s?", m_document->GetPathName());
    switch (MessageBoxA(owner, question, caption, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES: {
        bool error = false;
        return m_document->OnFileSave(error);
    }
    case IDNO:
        return true;
    default:
        return false;
    }
}

void CDocObserver::OnDocumentModified() {}

void CDocObserver::Detach() {
    if (m_document) {
        CDocBase* document = m_document;
        m_document = nullptr;
        document->RemoveView(this);
    }
}

void CDocObserver::OnViewAttached(CDocObserver*) {}

void CDocObserver::OnViewDetached(CDocObserver*) {}

void CDocObserver::OnPathChanged(const char*) {}

void CDocObserver::OnUpdate() {}

void CDocObserver::Attach(CDocBase* document) {
    if (m_document == document)
        return;
    Detach();
    m_document = document;
    if (document)
        document->AddView(this);
}
