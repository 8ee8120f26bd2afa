#include "ui/exchange/CsvWizardPages.h"

#include "exchange/DelimitedText.h"
#include "exchange/FieldReader.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "ui/common/DialogParts.h"
#include "ui/exchange/FieldsDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString ToQ(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

CString FromQ(const QString& text) {
    return CString(text.toUtf8().toStdString());
}

QGroupBox* MakeGroup(QWidget* parent, int id, const QString& title) {
    auto* group = new QGroupBox(title, parent);
    SetControlId(group, id);
    return group;
}

// A list of choices tall enough for `rows` entries, so that every choice shows without scrolling.
QListWidget* MakeChoiceList(QWidget* parent, int id, const QStringList& entries, int rows) {
    auto* list = new QListWidget(parent);
    SetControlId(list, id);
    list->addItems(entries);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFixedHeight(list->sizeHintForRow(0) * rows + 2 * list->frameWidth() + 2);
    return list;
}

} // namespace

// ---- Select Document ----

SelectDocumentPage::SelectDocumentPage(QWidget* parent) : CsvWizardPage(parent) {
    QGroupBox* group = MakeGroup(this, kIdSelectFileGroup, QStringLiteral("Select File"));
    m_pathEdit = new QLineEdit(group);
    SetControlId(m_pathEdit, kIdPath);
    m_pathEdit->setMinimumWidth(260);
    auto* browse = new QPushButton(QStringLiteral("..."), group);
    SetControlId(browse, kIdBrowse);
    browse->setAutoDefault(false);
    browse->setFixedWidth(32);
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_pathEdit, 1);
    row->addWidget(browse);
    auto* content = new QVBoxLayout;
    content->addWidget(group);
    content->addStretch(1);
    SetContent(content);
    connect(m_pathEdit, &QLineEdit::textChanged, this, &SelectDocumentPage::OnPathChanged);
    connect(browse, &QPushButton::clicked, this, &SelectDocumentPage::OnBrowse);
}

void SelectDocumentPage::UpdateButtons() {
    Sheet()->SetWizardButtons(m_path.IsEmpty() ? 0u : static_cast<unsigned>(CsvImportWizard::PSWIZB_NEXT));
}

void SelectDocumentPage::OnInitDialog() {
    UpdateButtons();
}

void SelectDocumentPage::OnSetActive() {
    Sheet()->SetTitle(QStringLiteral("Select Document"));
    UpdateButtons();
}

void SelectDocumentPage::OnPathChanged() {
    m_path = FromQ(m_pathEdit->text());
    UpdateButtons();
}

void SelectDocumentPage::OnBrowse() {
    FileDialogRequest request;
    request.owner = this;
    request.defaultExt = "csv";
    request.fileName = m_path;
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    request.filters = {{"Comma Separated files (*.csv)", "*.csv"},
                       {"Text Files (*.txt)", "*.txt"},
                       {"All files (*.)", "*.*"}};
    const bool chosen =
        m_import ? GetPrompt().GetOpenFileName(request) : GetPrompt().GetSaveFileName(request);
    if (!chosen)
        return;
    m_pathEdit->setText(ToQ(request.fileName));
    m_path = request.fileName;
    Sheet()->SetWizardButtons(CsvImportWizard::PSWIZB_NEXT);
}

bool SelectDocumentPage::OnWizardNext() {
    if (m_path.IsEmpty()) {
        MessageBoxA(this, "You must enter a file name", "Enter File Name", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    m_spec->m_filePath = m_path;
    if (!m_import)
        return true;
    switch (ReadDelimitedFirstLine(m_path, m_spec->m_firstLine)) {
    case DelimitedFileResult::Ok:
        return true;
    case DelimitedFileResult::CannotOpen:
        MessageBoxA(this, "Unable to open file", "File Error", MB_OK | MB_ICONINFORMATION);
        return false;
    case DelimitedFileResult::ReadError:
        MessageBoxA(this, "Error reading file", "File Error", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return false;
}

const std::vector<std::pair<int, int>>& SelectDocumentPage::HelpTable() const {
    static const std::vector<std::pair<int, int>> table = {
        {kIdPath, 1500}, {kIdBrowse, 1501}, {kIdSelectFileGroup, 1500}};
    return table;
}

// ---- Document Structure ----

DocumentStructurePage::DocumentStructurePage(QWidget* parent) : CsvWizardPage(parent) {
    QGroupBox* namesGroup = MakeGroup(this, kIdFieldNamesGroup, QStringLiteral("Field Names"));
    m_headerBox = new QCheckBox(QStringLiteral("First line of document contains field names"), namesGroup);
    SetControlId(m_headerBox, kIdHeaderBox);
    (new QVBoxLayout(namesGroup))->addWidget(m_headerBox);

    QGroupBox* separatorGroup = MakeGroup(this, kIdSeparatorGroup, QStringLiteral("Field Separator"));
    m_separatorList =
        MakeChoiceList(separatorGroup, kIdSeparatorList,
                       {QStringLiteral("Comma(,)"), QStringLiteral("Semi-colon(;)"),
                        QStringLiteral("Pipe(|)"), QStringLiteral("Space"), QStringLiteral("Tab")},
                       5);
    (new QVBoxLayout(separatorGroup))->addWidget(m_separatorList);
    QGroupBox* qualifierGroup = MakeGroup(this, kIdQualifierGroup, QStringLiteral("Field Encloser"));
    m_qualifierList = MakeChoiceList(
        qualifierGroup, kIdQualifierList,
        {QStringLiteral("Double Quote(\")"), QStringLiteral("Single Quote(')"), QStringLiteral("Nothing")},
        5);
    (new QVBoxLayout(qualifierGroup))->addWidget(m_qualifierList);
    auto* lists = new QHBoxLayout;
    lists->addWidget(separatorGroup);
    lists->addWidget(qualifierGroup);

    m_firstLineGroup = MakeGroup(this, kIdFirstLineGroup, QStringLiteral("First line of document"));
    m_firstLineEdit = new QLineEdit(m_firstLineGroup);
    SetControlId(m_firstLineEdit, kIdFirstLineEdit);
    m_firstLineEdit->setReadOnly(true);
    (new QVBoxLayout(m_firstLineGroup))->addWidget(m_firstLineEdit);

    auto* content = new QVBoxLayout;
    content->addWidget(namesGroup);
    content->addLayout(lists);
    content->addWidget(m_firstLineGroup);
    content->addStretch(1);
    SetContent(content);
}

void DocumentStructurePage::OnInitDialog() {
    m_qualifierList->setCurrentRow(0);
    m_separatorList->setCurrentRow(0);
    m_headerBox->setChecked(true);
}

void DocumentStructurePage::OnSetActive() {
    Sheet()->SetTitle(QStringLiteral("Document Structure"));
    Sheet()->SetWizardButtons(CsvImportWizard::PSWIZB_BACK | CsvImportWizard::PSWIZB_NEXT);
    if (m_import)
        m_firstLineEdit->setText(ToQ(m_spec->m_firstLine));
    else
        m_firstLineGroup->hide();
}

bool DocumentStructurePage::OnWizardNext() {
    const int separator = m_separatorList->currentRow();
    const int qualifier = m_qualifierList->currentRow();
    if (separator < 0 || qualifier < 0 || m_separatorList->selectedItems().isEmpty() ||
        m_qualifierList->selectedItems().isEmpty()) {
        MessageBoxA(this,
                    "You must select both a character that encloses each text field and one that separates "
                    "each field.",
                    "Choose Formatting Characters", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    static const char* const kSeparators[] = {",", ";", "|", " ", "\t"};
    static const char* const kQualifiers[] = {"\"", "'", ""};
    m_spec->m_separator = kSeparators[separator];
    m_spec->m_qualifier = kQualifiers[qualifier];
    m_spec->m_header = m_headerBox->isChecked() ? 1 : 0;
    return true;
}

const std::vector<std::pair<int, int>>& DocumentStructurePage::HelpTable() const {
    static const std::vector<std::pair<int, int>> table = {
        {kIdFirstLineEdit, 1502},   {kIdFirstLineGroup, 1502}, {kIdHeaderBox, 1504},
        {kIdFieldNamesGroup, 1504}, {kIdSeparatorList, 1506},  {kIdSeparatorGroup, 1506},
        {kIdQualifierList, 1508},   {kIdQualifierGroup, 1508}};
    return table;
}

// ---- Fields To Import ----

FieldsToImportPage::FieldsToImportPage(QWidget* parent) : CsvWizardPage(parent) {
    QGroupBox* group = MakeGroup(this, kIdAvailableGroup, QStringLiteral("Available Fields"));
    m_list = new QTreeWidget(group);
    SetControlId(m_list, kIdFieldList);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setMinimumSize(300, 200);
    m_hint = new QLabel(QStringLiteral("Click a row to choose the field it fills."), group);
    m_hint->setWordWrap(true);
    auto* column = new QVBoxLayout(group);
    column->addWidget(m_hint);
    column->addWidget(m_list);
    auto* content = new QVBoxLayout;
    content->addWidget(group, 1);
    SetContent(content);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (m_import)
            OnRowClicked(m_list->indexOfTopLevelItem(item));
    });
    m_list->installEventFilter(this);
}

bool FieldsToImportPage::eventFilter(QObject* watched, QEvent* event) {
    // The keyboard's way to a click: Space or Enter on the current row of the import list.
    if (watched == m_list && m_import && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
            m_list->currentItem()) {
            OnRowClicked(m_list->indexOfTopLevelItem(m_list->currentItem()));
            return true;
        }
    }
    return CsvWizardPage::eventFilter(watched, event);
}

void FieldsToImportPage::OnInitDialog() {
    m_tableFields = m_spec->m_tableFields;
    m_requiredFields = m_spec->m_requiredFields;
    const QString tableColumn = QStringLiteral("%1 Fields").arg(ToQ(m_spec->m_tableLabel));
    if (m_import) {
        m_list->setColumnCount(2);
        m_list->setHeaderLabels({QStringLiteral("Import Fields"), tableColumn});
        m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    } else {
        m_hint->hide();
        m_list->setColumnCount(1);
        m_list->setHeaderLabels({tableColumn});
        m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
        for (const CString& field : m_tableFields) {
            auto* item = new QTreeWidgetItem(QStringList{ToQ(field)});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            m_list->addTopLevelItem(item);
        }
    }
}

void FieldsToImportPage::OnSetActive() {
    Sheet()->SetTitle(QStringLiteral("Fields To Import"));
    Sheet()->SetWizardButtons(CsvImportWizard::PSWIZB_BACK | CsvImportWizard::PSWIZB_FINISH);
    if (!m_import)
        return;
    // The columns follow the file and the choices the pages before made, each time they changed.
    ListSource source{m_spec->m_filePath, m_spec->m_firstLine, m_spec->m_separator, m_spec->m_qualifier,
                      m_spec->m_header};
    if (m_listSource != source) {
        m_listSource = std::move(source);
        FillImportList();
    }
}

void FieldsToImportPage::FillImportList() {
    // The fields given so far, by the text of their column: a column of the new list takes the field
    // of the first earlier column of its text not yet taken; the others' fields are dropped.
    std::vector<std::pair<QString, QString>> assigned;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (!item->text(1).isEmpty())
            assigned.emplace_back(item->text(0), item->text(1));
    }
    m_list->clear();
    CFieldReader reader;
    reader.SetDelimiter(m_spec->m_separator.IsEmpty() ? '\0' : m_spec->m_separator[0]);
    if (!m_spec->m_qualifier.IsEmpty())
        reader.SetQuoteChar(m_spec->m_qualifier[0]);
    CString line = m_spec->m_firstLine;
    CString cell;
    m_spec->m_firstLineCells.clear();
    while (reader.NextField(line, cell)) {
        if (cell.IsEmpty())
            cell = "EMPTY FIELD";
        m_spec->m_firstLineCells.push_back(cell);
        const QString text = ToQ(cell);
        QString field;
        const auto kept =
            std::find_if(assigned.begin(), assigned.end(),
                         [&](const std::pair<QString, QString>& entry) { return entry.first == text; });
        if (kept != assigned.end()) {
            field = kept->second;
            assigned.erase(kept);
        }
        m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{text, field}));
        cell.Empty();
    }
    m_spec->m_columnCount = m_list->topLevelItemCount();
}

void FieldsToImportPage::OnRowClicked(int row) {
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (!item)
        return;
    const CString current = FromQ(item->text(1));
    const auto found = std::find(m_tableFields.begin(), m_tableFields.end(), current);
    const int selected = current.IsEmpty() || found == m_tableFields.end()
                             ? -1
                             : static_cast<int>(found - m_tableFields.begin());
    CFieldsDlg dialog(m_tableFields, selected);
    if (dialog.DoModal(this) != IDOK || dialog.m_selected < 0 ||
        dialog.m_selected >= static_cast<int>(m_tableFields.size()))
        return;
    const QString chosen = ToQ(m_tableFields[static_cast<size_t>(dialog.m_selected)]);
    item->setText(1, chosen);
    // A field fills one column at most: the first other row that had it gives it up.
    for (int other = 0; other < m_list->topLevelItemCount(); ++other) {
        QTreeWidgetItem* otherItem = m_list->topLevelItem(other);
        if (other != row && otherItem->text(1) == chosen) {
            otherItem->setText(1, QString());
            break;
        }
    }
}

bool FieldsToImportPage::OnWizardFinish() {
    return m_import ? FinishImport() : FinishExport();
}

bool FieldsToImportPage::FinishImport() {
    m_spec->m_columnFields.clear();
    int required = 0;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        CString field = FromQ(m_list->topLevelItem(row)->text(1)).Left(259);
        if (std::find(m_requiredFields.begin(), m_requiredFields.end(), field) != m_requiredFields.end() &&
            !field.IsEmpty())
            ++required;
        m_spec->m_columnFields.push_back(field);
    }
    const bool enough = m_recordKind == 2
                            ? required >= static_cast<int>(m_requiredFields.size()) && required > 0
                            : required >= 1;
    if (enough)
        return true;
    static const char* const kMessages[] = {
        "You must include a first name, last name, or company as a field to import.",
        "You must include a task as a field to import.",
        "You must include an appointment, date, start time, and end time as fields to import."};
    MessageBoxA(this, kMessages[m_recordKind >= 0 && m_recordKind <= 2 ? m_recordKind : 0], "Import Error",
                MB_OK | MB_ICONWARNING);
    return false;
}

bool FieldsToImportPage::FinishExport() {
    m_spec->m_columnFields.clear();
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            m_spec->m_columnFields.push_back(FromQ(item->text(0)));
    }
    if (!m_spec->m_columnFields.empty())
        return true;
    MessageBoxA(this, "You must choose at least one field to export.", "Export Error",
                MB_OK | MB_ICONWARNING);
    return false;
}

const std::vector<std::pair<int, int>>& FieldsToImportPage::HelpTable() const {
    static const std::vector<std::pair<int, int>> table = {{kIdFieldList, 1510}, {kIdAvailableGroup, 1510}};
    return table;
}
