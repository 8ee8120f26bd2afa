#include "ui/exchange/CsvImportWizard.h"

#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/document/MetafilePicture.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

CsvWizardPage::CsvWizardPage(QWidget* parent) : QWidget(parent) {
    m_placeholder = new QWidget(this);
    SetControlId(m_placeholder, kIdPicture);
    m_placeholder->setFixedWidth(150);
    m_placeholder->setMinimumHeight(190);
}

void CsvWizardPage::SetContent(QLayout* content) {
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_placeholder);
    row->addLayout(content, 1);
}

QRect CsvWizardPage::PictureRect() const {
    return m_placeholder->geometry().adjusted(10, 10, -10, -10);
}

void CsvWizardPage::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    CMetafilePicture picture;
    if (!picture.Load(CMetafilePicture::kProgramPicture))
        return;
    QPainter painter(this);
    const QRect r = PictureRect();
    picture.Draw(painter, {r.left(), r.top(), r.right() + 1, r.bottom() + 1}, 10);
}

void CsvWizardPage::OnHelp() {
    HtmlHelpTopic(this, HelpPageAddress(m_import ? "%s\\%s::/html/csvimport.htm>topic"
                                                 : "%s\\%s::/html/csvexport.htm>topic"));
}

CsvImportWizard::CsvImportWizard(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    // The caption's help button; set before the first show, as changing the flags of a shown window
    // hides it (and a hidden modal never returns from its loop).
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    m_heading = new QLabel(title, this);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    m_heading->setFont(headingFont);
    m_stack = new QStackedWidget(this);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_back = MakeButton(this, kIdBack, QStringLiteral("< &Back"));
    m_next = MakeButton(this, kIdNext, QStringLiteral("&Next >"));
    m_finish = MakeButton(this, kIdFinish, QStringLiteral("Finish"));
    m_cancel = MakeButton(this, IDCANCEL, QStringLiteral("Cancel"));
    m_help = MakeButton(this, kIdSheetHelp, QStringLiteral("Help"));
    for (QPushButton* button : {m_back, m_next, m_finish, m_cancel, m_help})
        button->setAutoDefault(false);
    m_finish->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(m_finish);
    buttons->addSpacing(8);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_help);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_heading);
    column->addWidget(m_stack, 1);
    column->addWidget(rule);
    column->addLayout(buttons);

    connect(m_back, &QPushButton::clicked, this, &CsvImportWizard::PressBack);
    connect(m_next, &QPushButton::clicked, this, &CsvImportWizard::PressNext);
    connect(m_finish, &QPushButton::clicked, this, &CsvImportWizard::PressFinish);
    connect(m_cancel, &QPushButton::clicked, this, &CsvImportWizard::PressCancel);
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (CsvWizardPage* page = GetActivePage())
            page->OnHelp();
    });
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

CsvImportWizard::~CsvImportWizard() {
    // The pages belong to the command; they leave the stack before the sheet goes.
    for (CsvWizardPage* page : m_pages) {
        m_stack->removeWidget(page);
        page->setParent(nullptr);
    }
}

void CsvImportWizard::AddPage(CsvWizardPage* page) {
    page->m_sheet = this;
    m_pages.push_back(page);
    m_stack->addWidget(page);
}

CsvWizardPage* CsvImportWizard::GetActivePage() const {
    return m_current >= 0 && m_current < GetPageCount() ? m_pages[static_cast<size_t>(m_current)] : nullptr;
}

void CsvImportWizard::SetWizardButtons(unsigned flags) {
    m_back->setEnabled(flags & PSWIZB_BACK);
    const bool finish = flags & PSWIZB_FINISH;
    m_finish->setVisible(finish);
    m_next->setVisible(!finish);
    m_next->setEnabled(flags & PSWIZB_NEXT);
    m_finish->setEnabled(finish);
    QPushButton* preferred = finish ? m_finish : m_next;
    preferred->setDefault(preferred->isEnabled());
}

void CsvImportWizard::SetTitle(const QString& title) {
    setWindowTitle(title);
}

QString CsvImportWizard::WizardTitle() const {
    return m_heading->text();
}

void CsvImportWizard::Activate(int index) {
    m_current = index;
    CsvWizardPage* page = m_pages[static_cast<size_t>(index)];
    m_stack->setCurrentWidget(page);
    if (!page->m_initialized) {
        page->m_initialized = true;
        page->OnInitDialog();
    }
    page->OnSetActive();
    FocusFirstControl(page);
}

void CsvImportWizard::FocusFirstControl(QWidget* page) {
    // As a property sheet does, the page's first control that takes the Tab key gets the focus, so
    // that the user can type into it straight away.
    for (QWidget* control = page->nextInFocusChain(); control != page;
         control = control->nextInFocusChain()) {
        if (!page->isAncestorOf(control))
            continue;
        if (control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(page)) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CsvImportWizard::showEvent(QShowEvent* event) {
    if (m_current < 0 && !m_pages.empty())
        Activate(0);
    QDialog::showEvent(event);
}

int CsvImportWizard::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CsvImportWizard::PressBack() {
    if (m_current > 0 && m_back->isEnabled())
        Activate(m_current - 1);
}

void CsvImportWizard::PressNext() {
    CsvWizardPage* page = GetActivePage();
    if (!page || m_next->isHidden() || !m_next->isEnabled() || m_current + 1 >= GetPageCount())
        return;
    if (page->OnWizardNext())
        Activate(m_current + 1);
}

void CsvImportWizard::PressFinish() {
    CsvWizardPage* page = GetActivePage();
    if (!page || m_finish->isHidden() || !m_finish->isEnabled())
        return;
    if (page->OnWizardFinish())
        accept();
}

void CsvImportWizard::PressCancel() {
    QDialog::reject();
}

void CsvImportWizard::reject() {
    PressCancel();
}

const std::vector<std::pair<int, int>>& CsvImportWizard::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdBack, 1008}, {IDCANCEL, 1001}, {kIdNext, 1007}, {kIdFinish, 1009}, {kIdSheetHelp, 1002}};
    return table;
}

bool CsvImportWizard::OnContextHelp(QWidget* control) {
    const int id = ControlIdOf(control);
    if (PopupTopicOf(id, HelpTable()) != 0)
        return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
    CsvWizardPage* page = GetActivePage();
    if (page && PopupTopicOf(id, page->HelpTable()) != 0)
        return HtmlHelpPopup(control, HelpFilePath(), page->HelpTable());
    return false;
}
