#include "reports/PersonPickerDlg.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kIdRole = Qt::UserRole;

const std::vector<std::pair<int, int>>& PickerHelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {CPersonPickerDlg::kIdList, 1600},
        {CPersonPickerDlg::kIdSelectAll, 1005},
        {IDOK, 1000},
        {IDCANCEL, 1001},
        {CPersonPickerDlg::kIdHelp, 1002},
    };
    return table;
}

QPushButton* Button(QWidget* parent, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    SetControlId(button, id);
    return button;
}

QCheckBox* CheckBox(QWidget* parent, int id, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    SetControlId(box, id);
    return box;
}
} // namespace

CPersonPickerDlg::CPersonPickerDlg(CDbDoc& doc, std::vector<CPerson> offered, const CString& caption,
                                   bool envelopes, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_offered(std::move(offered)), m_envelopes(envelopes) {
    setObjectName(QStringLiteral("dlg205"));
    auto* group = new QGroupBox(QStringLiteral("Persons To Include"), this);
    m_list = new QListWidget(group);
    SetControlId(m_list, kIdList);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_selectAll = CheckBox(group, kIdSelectAll, QStringLiteral("Select All"));
    m_inAddress = CheckBox(this, kIdBusinessInAddress, QStringLiteral("Use business name in address"));
    m_inReturn = CheckBox(this, kIdBusinessInReturn, QStringLiteral("Use business name in return address"));
    m_ok = Button(this, IDOK, QStringLiteral("OK"));
    m_ok->setDefault(true);
    QPushButton* cancel = Button(this, IDCANCEL, QStringLiteral("Cancel"));
    QPushButton* help = Button(this, kIdHelp, QStringLiteral("&Help..."));

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);
    groupLayout->addWidget(m_selectAll);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_inAddress);
    layout->addWidget(m_inReturn);

    // Initialisation: the return-address box only for envelopes; one sorted entry per person.
    m_inReturn->setVisible(m_envelopes);
    for (const CPerson& person : m_offered) {
        auto* item = new QListWidgetItem(EntryText(person));
        item->setData(kIdRole, QString::fromUtf8(person.m_ID.c_str()));
        m_list->addItem(item);
    }
    m_list->sortItems();
    m_ok->setEnabled(false);
    setWindowTitle(QString::fromUtf8(caption.c_str()));

    connect(m_selectAll, &QCheckBox::clicked, this, &CPersonPickerDlg::OnSelectAll);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CPersonPickerDlg::OnListChanged);
    connect(m_list, &QListWidget::itemClicked, this, &CPersonPickerDlg::OnListChanged);
    connect(m_ok, &QPushButton::clicked, this, &CPersonPickerDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPersonPickerDlg::reject);
    connect(help, &QPushButton::clicked, this, &CPersonPickerDlg::OnHelp);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

QString CPersonPickerDlg::EntryText(const CPerson& person) {
    const QString name = QString::fromUtf8(person.m_DisplayName.c_str());
    if (person.m_Company.IsEmpty())
        return name;
    return QStringLiteral("%1 (%2)").arg(name, QString::fromUtf8(person.m_Company.c_str()));
}

void CPersonPickerDlg::OnSelectAll(bool checked) {
    if (checked)
        m_list->selectAll();
    else
        m_list->clearSelection();
    m_ok->setEnabled(checked || !m_list->selectedItems().isEmpty());
}

void CPersonPickerDlg::OnListChanged() {
    m_ok->setEnabled(!m_list->selectedItems().isEmpty());
}

void CPersonPickerDlg::accept() {
    m_chosen.clear();
    try {
        std::vector<CString> ids;
        for (int row = 0; row < m_list->count(); ++row) {
            QListWidgetItem* item = m_list->item(row);
            if (item->isSelected())
                ids.emplace_back(item->data(kIdRole).toString().toUtf8().constData());
        }
        // A person that cannot be read (deleted meanwhile) is left out rather than printed empty; a
        // read error leaves none chosen.
        m_doc.GetPersons(ids, m_chosen);
    } catch (...) {
        // Out of memory for the persons: none chosen, and the click's handler returns normally.
        m_chosen.clear();
    }
    m_businessInAddress = m_inAddress->isChecked();
    m_businessInReturn = m_inReturn->isChecked();
    QDialog::accept();
}

void CPersonPickerDlg::OnHelp() {
    HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/dlgpraddr.htm>topic"));
}

bool CPersonPickerDlg::OnContextHelp(QWidget* control) {
    switch (ControlIdOf(control)) {
    case kIdList:
    case kIdSelectAll:
    case IDOK:
    case IDCANCEL:
    case kIdHelp:
        return HtmlHelpPopup(control, HelpFilePath(), PickerHelpTable());
    default:
        return false;
    }
}
