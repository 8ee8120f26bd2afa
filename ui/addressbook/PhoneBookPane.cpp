#include "ui/addressbook/PhoneBookPane.h"

#include "ui/addressbook/ContextHelpClick.h"
#include "ui/addressbook/PersonPanes.h"
#include "ui/addressbook/VwPhbklist.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTabWidget>

CPhbkCompactPane::CPhbkCompactPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("CPhbkCompactPane"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->addTab(new CVwPhNumHome(m_tabs), QStringLiteral("Home"));
    m_tabs->addTab(new CVwPhNumWork(m_tabs), QStringLiteral("Business"));
    m_tabs->setCurrentIndex(0);
    layout->addWidget(m_tabs);
}

QWidget* CPhbkCompactPane::ShowingPane() const {
    return m_tabs->currentWidget();
}

CPhoneBookPane::CPhoneBookPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("CPhoneBookPane"));
    setWindowTitle(QStringLiteral("Telephone Book"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_list = new CVwPhbklist(m_splitter);
    m_detail = new CPhbkCompactPane(m_splitter);
    m_splitter->addWidget(m_list);
    m_splitter->addWidget(m_detail);
    // The bar starts at the list pane's own width.
    m_splitter->setSizes({m_list->sizeHint().width(), m_detail->sizeHint().width()});
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter);
}

void CPhoneBookPane::mouseReleaseEvent(QMouseEvent* event) {
    try {
        if (!AnswerContextHelpClick(this, event))
            QFrame::mouseReleaseEvent(event);
    } catch (...) {
        // A failed help lookup leaves the pane as it was.
    }
}
