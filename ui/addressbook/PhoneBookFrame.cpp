#include "ui/addressbook/PhoneBookFrame.h"

#include "data/DbDoc.h"
#include "ui/addressbook/PersonPanes.h"
#include "ui/addressbook/VwPhbklist.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTabWidget>

CPhbkDetailPane::CPhbkDetailPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPhbkDetailPane"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->addTab(new CVwPhbkHm(m_tabs), QStringLiteral("Home"));
    m_tabs->addTab(new CVwPhbkWk(m_tabs), QStringLiteral("Business"));
    m_tabs->addTab(new CVwPhbkNotes(m_tabs), QStringLiteral("Notes"));
    m_tabs->setCurrentIndex(0);
    layout->addWidget(m_tabs);
}

QWidget* CPhbkDetailPane::ShowingPane() const {
    return m_tabs->currentWidget();
}

CPhoneBookFrame::CPhoneBookFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("CPhoneBookFrame"));
    setWindowTitle(QStringLiteral("Telephone Book"));
    // The client edge of a view.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    Attach(&g_doc);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_list = new CVwPhbklist(m_splitter);
    m_detail = new CPhbkDetailPane(m_splitter);
    m_splitter->addWidget(m_list);
    m_splitter->addWidget(m_detail);
    // The bar starts at the list pane's own width.
    m_splitter->setSizes({m_list->sizeHint().width(), m_detail->sizeHint().width()});
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter);
}

CPhoneBookFrame::~CPhoneBookFrame() {
    Detach();
}

bool CPhoneBookFrame::OnCommand(int id) {
    // Only the showing view's list acts on the frame's commands, so a command is handled once.
    if (!isVisible())
        return false;
    return m_list->OnCommand(id);
}

std::vector<QWidget*> CPhoneBookFrame::HelpPanes() const {
    return {m_list, m_detail->ShowingPane()};
}
