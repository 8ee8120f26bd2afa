#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class PropertySheet;
class QPushButton;
class QTabWidget;

// One tab of a PropertySheet. A page's "window" exists while it is part of a shown sheet: the sheet
// calls OnInitDialog the first time the page becomes active after being added (again), and OnDestroy
// when the page is removed or the sheet closes. Pages are never owned by their sheet: the caller keeps
// them alive (usually as members of a derived sheet) for as long as the sheet uses them.
class PropertyPage : public QWidget {
public:
    explicit PropertyPage(const QString& title, QWidget* parent = nullptr);

    QString Title() const { return m_title; }
    // The sheet the page is part of, or null.
    PropertySheet* Sheet() const { return m_sheet; }
    bool IsInitialized() const { return m_initialized; }

    // The page's window was created (controls get their values here).
    virtual void OnInitDialog() {}
    // The page becomes the current one; false refuses (the sheet stays where it was).
    virtual bool OnSetActive() { return true; }
    // The page is about to be left (another tab, OK); false keeps it current.
    virtual bool OnKillActive() { return true; }
    // OK was pressed and every page was left; false keeps the sheet open on this page.
    virtual bool OnApply() { return true; }
    // Cancel was pressed.
    virtual void OnReset() {}
    // The page's window goes away (removed from the sheet, or the sheet closed).
    virtual void OnDestroy() {}

private:
    friend class PropertySheet;
    QString m_title;
    PropertySheet* m_sheet = nullptr;
    bool m_initialized = false;
};

// A modal dialog of tabbed pages with OK and Cancel (ids 1 and 2). Changing tabs asks the current
// page to be left (OnKillActive) and then activates the new one (OnInitDialog once, OnSetActive);
// OK leaves the current page, applies every page that was initialised and closes with IDOK.
class PropertySheet : public QDialog {
public:
    explicit PropertySheet(const QString& title = QString(), QWidget* parent = nullptr);
    ~PropertySheet() override;

    // Appends the page as the last tab. When the sheet is showing and this is its only page, the
    // page becomes active at once.
    void AddPage(PropertyPage* page);
    // Removes the page (OnDestroy when it had been initialised); when it was current, the first
    // remaining page becomes active. The page is hidden and no longer a child of the sheet.
    void RemovePage(PropertyPage* page);
    void RemovePage(int index);

    int GetPageCount() const;
    PropertyPage* GetPage(int index) const;
    int GetPageIndex(const PropertyPage* page) const;
    int GetActiveIndex() const;
    PropertyPage* GetActivePage() const;
    // Leaves the current page and activates the page at index; false when a page refused.
    bool SetActivePage(int index);
    bool SetActivePage(PropertyPage* page);

    // The page made active when the sheet opens (0 by default).
    void SetStartPage(int index) { m_startPage = index; }

    // The OK button (id 1): pages enable it while their fields allow closing.
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }
    QTabWidget* Tabs() const { return m_tabs; }

    // Runs modally over the owner (the active window when null); IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

    // Presses OK or Cancel (as the buttons do); OK answers false when a page kept the sheet open.
    bool PressOk();
    void PressCancel();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    // Removes every page without calling it back; a sheet whose pages are its members calls this
    // from its destructor, before the members go.
    void ReleasePages();

private:
    void OnTabChanged(int index);
    bool Activate(int index);
    void DestroyPages();

    QTabWidget* m_tabs;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    std::vector<QPointer<PropertyPage>> m_pages;
    int m_current = -1;
    int m_startPage = 0;
    bool m_switching = false;
    bool m_closing = false;
};
