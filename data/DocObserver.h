#pragma once

class CDocBase;

// The view side of the document link: every view and pane embeds one, attaches it to the document and
// is told through these operations when the document changes. Holds no state but the document.
class CDocObserver {
public:
    CDocObserver() = default;
    CDocObserver(const CDocObserver&) = delete;
    CDocObserver& operator=(const CDocObserver&) = delete;
    // Detaches first.
    virtual ~CDocObserver();

    // A document is attached and its modified flag is set.
    virtual bool IsModified();
    // True when the document is not modified; otherwise asks "Save changes to %s?" (Yes saves through
    // CDocBase::OnFileSave, No keeps going, Cancel stops).
    virtual bool SaveModified(void* owner, const char* caption);
    // The document's data changed. Does nothing here.
    virtual void OnDocumentModified();
    // Leaves the document; detaching a detached observer does nothing.
    virtual void Detach();
    // Some view was attached to / detached from the document. Do nothing here.
    virtual void OnViewAttached(CDocObserver* view);
    virtual void OnViewDetached(CDocObserver* view);
    // The document's path changed. Does nothing here.
    virtual void OnPathChanged(const char* path);
    // Re-read what the view shows from the document. Does nothing here.
    virtual void OnUpdate();

    // Stores the document and appends this observer to its observers.
    void Attach(CDocBase* document);
    CDocBase* GetDocument() const { return m_document; }

private:
    CDocBase* m_document = nullptr;
};
