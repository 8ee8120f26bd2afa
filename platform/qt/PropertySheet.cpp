#include "platform/qt/PropertySheet.h"

#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

PropertyPage::PropertyPage(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {}

PropertySheet::PropertySheet(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    m_tabs = new QTabWidget(this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(m_ok, IDOK);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    SetControlId(m_cancel, IDCANCEL);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(m_tabs, &QTabWidget::currentChanged, this, &PropertySheet::OnTabChanged);
    connect(m_ok, &QPushButton::clicked, this, [this] { PressOk(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { PressCancel(); });
}

PropertySheet::~PropertySheet() {
    ReleasePages();
}

void PropertySheet::ReleasePages() {
    m_switching = true;
    for (const QPointer<PropertyPage>& page : m_pages) {
        if (!page)
            continue;
        m_tabs->removeTab(m_tabs->indexOf(page));
        page->hide();
        page->setParent(nullptr);
        page->m_sheet = nullptr;
        page->m_initialized = false;
    }
    m_pages.clear();
    m_current = -1;
    m_switching = false;
}

void PropertySheet::AddPage(PropertyPage* page) {
    if (!page || GetPageIndex(page) >= 0)
        return;
    page->m_sheet = this;
    page->m_initialized = false;
    m_pages.emplace_back(page);
    m_switching = true;
    m_tabs->addTab(page, page->Title());
    m_switching = false;
    if (isVisible() && m_current < 0)
        Activate(0);
    else if (m_current >= 0) {
        m_switching = true;
        m_tabs->setCurrentIndex(m_current);
        m_switching = false;
    }
}

void PropertySheet::RemovePage(PropertyPage* page) {
    RemovePage(GetPageIndex(page));
}

void PropertySheet::RemovePage(int index) {
    PropertyPage* page = GetPage(index);
    if (!page)
        return;
    const bool wasCurrent = index == m_current;
    if (page->m_initialized)
        page->OnDestroy();
    page->m_initialized = false;
    m_switching = true;
    m_tabs->removeTab(index);
    m_switching = false;
    page->hide();
    page->setParent(nullptr);
    page->m_sheet = nullptr;
    m_pages.erase(m_pages.begin() + index);
    if (wasCurrent) {
        m_current = -1;
        if (!m_pages.empty() && isVisible())
            Activate(0);
    } else if (m_current > index) {
        --m_current;
    }
    if (m_current >= 0) {
        m_switching = true;
        m_tabs->setCurrentIndex(m_current);
        m_switching = false;
    }
}

int PropertySheet::GetPageCount() const {
    return static_cast<int>(m_pages.size());
}

PropertyPage* PropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

int PropertySheet::GetPageIndex(const PropertyPage* page) const {
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [page](const QPointer<PropertyPage>& p) { return p.data() == page; });
    return found == m_pages.end() || !page ? -1 : static_cast<int>(found - m_pages.begin());
}

int PropertySheet::GetActiveIndex() const {
    return m_current;
}

PropertyPage* PropertySheet::GetActivePage() const {
    return GetPage(m_current);
}

bool PropertySheet::SetActivePage(PropertyPage* page) {
    return SetActivePage(GetPageIndex(page));
}

bool PropertySheet::SetActivePage(int index) {
    if (!GetPage(index))
        return false;
    if (index == m_current)
        return true;
    if (PropertyPage* current = GetActivePage(); current && !current->OnKillActive()) {
        return false;
    }
    const int previous = m_current;
    if (Activate(index))
        return true;
    // The new page refused: go back to the one that was left.
    if (previous >= 0)
        Activate(previous);
    return false;
}

// Makes the page at index current without asking the old one (already asked by the caller).
bool PropertySheet::Activate(int index) {
    PropertyPage* page = GetPage(index);
    if (!page)
        return false;
    m_switching = true;
    m_tabs->setCurrentIndex(index);
    m_switching = false;
    m_current = index;
    if (!page->m_initialized) {
        page->m_initialized = true;
        page->OnInitDialog();
    }
    // The page may have changed the sheet (added or removed pages) while initialising.
    if (GetPage(m_current) != page)
        return true;
    return page->OnSetActive();
}

void PropertySheet::OnTabChanged(int index) {
    if (m_switching || index == m_current)
        return;
    // The tab bar already moved: put it back while the old page is asked.
    m_switching = true;
    m_tabs->setCurrentIndex(m_current);
    m_switching = false;
    SetActivePage(index);
}

bool PropertySheet::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // Pages added or filled while the sheet shows may need more room than it was given.
    if (event->type() == QEvent::LayoutRequest && isVisible())
        resize(size().expandedTo(sizeHint()));
    return handled;
}

void PropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_current < 0 && !m_pages.empty())
        Activate(std::clamp(m_startPage, 0, GetPageCount() - 1));
}

int PropertySheet::DoModal(QWidget* owner) {
    if (!parentWidget()) {
        QWidget* parent = owner ? owner : QApplication::activeWindow();
        if (parent && parent != this)
            setParent(parent, windowFlags() | Qt::Dialog);
    }
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool PropertySheet::PressOk() {
    if (!m_ok->isEnabled())
        return false;
    if (PropertyPage* current = GetActivePage(); current && !current->OnKillActive())
        return false;
    for (int i = 0; i < GetPageCount(); ++i) {
        PropertyPage* page = GetPage(i);
        if (page->m_initialized && !page->OnApply()) {
            if (i != m_current)
                Activate(i);
            return false;
        }
    }
    m_closing = true;
    accept();
    m_closing = false;
    return true;
}

void PropertySheet::PressCancel() {
    for (const QPointer<PropertyPage>& page : m_pages)
        if (page && page->m_initialized)
            page->OnReset();
    m_closing = true;
    reject();
    m_closing = false;
}

void PropertySheet::done(int result) {
    // Escape and the window's close button end up here without PressCancel.
    if (!m_closing && result != QDialog::Accepted) {
        PressCancel();
        return;
    }
    DestroyPages();
    QDialog::done(result);
}

void PropertySheet::DestroyPages() {
    for (const QPointer<PropertyPage>& page : m_pages) {
        if (page && page->m_initialized) {
            page->OnDestroy();
            page->m_initialized = false;
        }
    }
    m_current = -1;
}
