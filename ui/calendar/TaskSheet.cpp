#include "ui/calendar/TaskSheet.h"

#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/common/SheetParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

const std::vector<std::pair<int, int>>& HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {1046, 1301}, {1062, 1301}, {1060, 1302}, {1037, 1302}, {1035, 1302}, {1033, 1302},
        {1031, 1302}, {1102, 1300}, {1110, 1300}, {1171, 1304}, {1170, 1304},
    };
    return table;
}

} // namespace

CTaskOptionsPage::CTaskOptionsPage() : PropertyPage(QStringLiteral("Task Options")) {
    auto* descGroup = new QGroupBox(QStringLiteral("Task Description"), this);
    SetControlId(descGroup, 1062);
    m_descEdit = new QPlainTextEdit(descGroup);
    SetControlId(m_descEdit, kIdDesc);
    (new QVBoxLayout(descGroup))->addWidget(m_descEdit);

    auto* priority = new QGroupBox(QStringLiteral("Priority"), this);
    SetControlId(priority, 1060);
    m_priorityGroup = new QButtonGroup(this);
    auto* priorityRow = new QHBoxLayout(priority);
    const std::pair<int, const char*> radios[] = {
        {kIdHigh, "High"}, {kIdMedium, "Medium"}, {kIdLow, "Low"}, {kIdDone, "Done"}};
    int value = 0;
    for (const auto& [id, text] : radios) {
        auto* radio = new QRadioButton(QString::fromLatin1(text), priority);
        SetControlId(radio, id);
        m_priorityGroup->addButton(radio, value++);
        priorityRow->addWidget(radio);
    }

    auto* due = new QGroupBox(QStringLiteral("Due Date"), this);
    SetControlId(due, 1110);
    m_datePicker = MakeDatePicker(due, kIdDate);
    (new QHBoxLayout(due))->addWidget(m_datePicker);

    auto* recurring = new QGroupBox(QStringLiteral("Recurring"), this);
    SetControlId(recurring, 1170);
    m_recurringCheck = new QCheckBox(QStringLiteral("Recurring"), recurring);
    SetControlId(m_recurringCheck, kIdRecurring);
    (new QVBoxLayout(recurring))->addWidget(m_recurringCheck);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(descGroup, 1);
    layout->addWidget(priority);
    auto* row = new QHBoxLayout;
    row->addWidget(due);
    row->addWidget(recurring);
    layout->addLayout(row);

    connect(m_descEdit, &QPlainTextEdit::textChanged, this, [this] {
        // The description holds at most kMaxDesc characters.
        const QString text = m_descEdit->toPlainText();
        if (text.size() > kMaxDesc) {
            const QSignalBlocker block(m_descEdit);
            m_descEdit->setPlainText(text.left(kMaxDesc));
            m_descEdit->moveCursor(QTextCursor::End);
        }
        UpdateOk();
    });
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this](const QDate& date) { OnDateChanged(date); });
    connect(m_recurringCheck, &QCheckBox::clicked, this,
            [this](bool checked) { OnRecurringClicked(checked); });
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

void CTaskOptionsPage::ExchangeData(bool save) {
    if (save) {
        m_desc = ToCString(m_descEdit->toPlainText().left(kMaxDesc));
        m_priority = std::max(0, m_priorityGroup->checkedId());
        m_recurring = m_recurringCheck->isChecked() ? 1 : 0;
    } else {
        const QSignalBlocker block(m_descEdit);
        m_descEdit->setPlainText(ToQString(m_desc).left(kMaxDesc));
        if (QAbstractButton* button = m_priorityGroup->button(m_priority))
            button->setChecked(true);
        m_recurringCheck->setChecked(m_recurring != 0);
    }
}

void CTaskOptionsPage::OnInitDialog() {
    ExchangeData(false);
    UpdateOk();
    {
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(ToQDate(m_dateDue));
    }
    if (m_recurring && Sheet() && m_recurPage)
        Sheet()->AddPage(m_recurPage);
    if (Sheet())
        CentreOverParent(Sheet());
}

bool CTaskOptionsPage::OnSetActive() {
    ExchangeData(false);
    CDateTime date;
    if (m_rule && ParseRuleDate(m_rule->GetStartDate(), date)) {
        m_dateDue = date;
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(ToQDate(m_dateDue));
    }
    return true;
}

bool CTaskOptionsPage::OnKillActive() {
    ExchangeData(true);
    return true;
}

bool CTaskOptionsPage::OnApply() {
    ExchangeData(true);
    return true;
}

void CTaskOptionsPage::OnDestroy() {
    ExchangeData(true);
}

void CTaskOptionsPage::OnDateChanged(const QDate& date) {
    if (!date.isValid())
        return;
    m_dateDue = FromQDate(date);
    if (m_rule)
        m_rule->SetStartDate(FormatRuleDate(m_dateDue).c_str());
}

void CTaskOptionsPage::OnRecurringClicked(bool checked) {
    ShowRecurrencePage(Sheet(), m_recurPage, checked);
}

void CTaskOptionsPage::UpdateOk() {
    if (Sheet())
        Sheet()->OkButton()->setEnabled(!m_descEdit->toPlainText().isEmpty());
}

bool CTaskOptionsPage::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
}

CTaskOptionsSheet::CTaskOptionsSheet(QWidget* parent)
    : PropertySheet(QStringLiteral("Task Options"), parent) {
    m_page.m_recurPage = &m_recurPage;
    // Tasks have no time of day.
    m_recurPage.m_showTimes = false;
    AddPage(&m_page);
    SetStartPage(0);
}

CTaskOptionsSheet::~CTaskOptionsSheet() {
    ReleasePages();
}

void CTaskOptionsSheet::SetRule(CRecurItem* rule) {
    m_page.m_rule = rule;
    m_recurPage.m_rule = rule;
}
