#include "ui/exchange/ImportTablesDlg.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace {

CString ReportOf(const ImportTablesChoice& choice, const CDbDoc::MergeCounts& counts) {
    CString report;
    CString line;
    if (choice.telephoneBook) {
        line.Format("%d Persons Imported", counts.persons);
        report += line;
    }
    if (choice.taskList) {
        line.Format("\n%d Tasks Imported", counts.tasks);
        report += line;
    }
    if (choice.appointmentBook) {
        line.Format("\n%d Appointments Imported", counts.appts);
        report += line;
    }
    return report;
}

CDbDoc::MergeCounts Merge(const ImportTablesChoice& choice) {
    return g_doc.MergeTables(choice.path, choice.password, choice.telephoneBook, choice.taskList,
                             choice.appointmentBook);
}

} // namespace

CString ImportTables(const ImportTablesChoice& choice) {
    return ReportOf(choice, Merge(choice));
}

bool ImportTablesAndReport(WindowHandle owner, const ImportTablesChoice& choice) {
    CDbDoc::MergeCounts counts;
    {
        WaitCursor wait;
        counts = Merge(choice);
    }
    const CString report = ReportOf(choice, counts);
    if (counts.failure.IsEmpty()) {
        MessageBoxA(owner, report, "Tables Successfully Imported", MB_ICONINFORMATION);
        g_doc.SetModifiedFlag(true, true);
        return true;
    }
    // A part that failed was rolled back: one error box tells why and what each part gave; the
    // document is marked modified only when a part was copied.
    MessageBoxA(owner, counts.failure + "\n\n" + report, "Import Error", MB_ICONERROR);
    const bool copied = (choice.telephoneBook && counts.persons >= 0) ||
                        (choice.taskList && counts.tasks >= 0) ||
                        (choice.appointmentBook && counts.appts >= 0);
    if (copied)
        g_doc.SetModifiedFlag(true, true);
    return false;
}

namespace {

QCheckBox* MakeCheckBox(QWidget* parent, int id, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    SetControlId(box, id);
    return box;
}

} // namespace

CImportTablesDlg::CImportTablesDlg(QWidget* parent) : CCommandDialog(parent) {
    setWindowTitle(QStringLiteral("Import Pelmora Tables"));

    auto* tablesGroup = new QGroupBox(QStringLiteral("Select The Tables You Wish To Import"), this);
    m_telephoneBookBox = MakeCheckBox(tablesGroup, kIdTelephoneBook, QStringLiteral("Telephone Book"));
    m_taskListBox = MakeCheckBox(tablesGroup, kIdTaskList, QStringLiteral("Task List"));
    m_appointmentBookBox = MakeCheckBox(tablesGroup, kIdAppointmentBook, QStringLiteral("Appointment Book"));
    auto* tablesColumn = new QVBoxLayout(tablesGroup);
    tablesColumn->addWidget(m_telephoneBookBox);
    tablesColumn->addWidget(m_taskListBox);
    tablesColumn->addWidget(m_appointmentBookBox);

    auto* databaseGroup = new QGroupBox(QStringLiteral("Select Database"), this);
    m_pathEdit = new QLineEdit(databaseGroup);
    SetControlId(m_pathEdit, kIdPath);
    m_pathEdit->setMinimumWidth(280);
    QPushButton* browse = MakeButton(databaseGroup, kIdBrowse, QStringLiteral("Browse..."));
    auto* databaseRow = new QHBoxLayout(databaseGroup);
    databaseRow->addWidget(m_pathEdit);
    databaseRow->addWidget(browse);

    auto* passwordGroup = new QGroupBox(QStringLiteral("Enter Password"), this);
    m_passwordEdit = MakePasswordEdit(passwordGroup, kIdImportPassword);
    auto* passwordRow = new QHBoxLayout(passwordGroup);
    passwordRow->addWidget(m_passwordEdit);

    const ButtonColumn buttons = MakeOkCancelHelpColumn(this, QStringLiteral("OK"), QStringLiteral("Cancel"),
                                                        QStringLiteral("&Help..."));
    m_ok = buttons.ok;
    QPushButton* cancel = buttons.cancel;
    QPushButton* help = buttons.help;

    auto* fields = new QVBoxLayout;
    fields->addWidget(tablesGroup);
    fields->addWidget(databaseGroup);
    fields->addWidget(passwordGroup);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons.layout);
    setLayout(top);

    connect(m_pathEdit, &QLineEdit::textChanged, this, &CImportTablesDlg::OnPathCommand);
    m_pathEdit->installEventFilter(this);
    for (QCheckBox* box : {m_telephoneBookBox, m_taskListBox, m_appointmentBookBox})
        connect(box, &QCheckBox::clicked, this, &CImportTablesDlg::OnBoxClicked);
    connect(browse, &QPushButton::clicked, this, &CImportTablesDlg::OnBrowse);
    connect(m_ok, &QPushButton::clicked, this, &CImportTablesDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CImportTablesDlg::OnCancel);
    connect(help, &QPushButton::clicked, this, &CImportTablesDlg::OnHelp);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

CImportTablesDlg::~CImportTablesDlg() {
    std::memset(m_password, 0, sizeof m_password);
}

int CImportTablesDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

ImportTablesChoice CImportTablesDlg::Choice() const {
    ImportTablesChoice choice;
    choice.telephoneBook = m_telephoneBook;
    choice.taskList = m_taskList;
    choice.appointmentBook = m_appointmentBook;
    choice.path = m_path;
    choice.password = m_password;
    return choice;
}

void CImportTablesDlg::showEvent(QShowEvent* event) {
    // The fields to the controls as the dialog opens; OK follows them from the start.
    m_telephoneBookBox->setChecked(m_telephoneBook);
    m_taskListBox->setChecked(m_taskList);
    m_appointmentBookBox->setChecked(m_appointmentBook);
    m_pathEdit->blockSignals(true);
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
    m_pathEdit->blockSignals(false);
    m_passwordEdit->setText(QString::fromUtf8(m_password));
    UpdateOk();
    CentreOverParent(this);
    QDialog::showEvent(event);
}

bool CImportTablesDlg::eventFilter(QObject* watched, QEvent* event) {
    // Gaining and losing the focus are notifications of the path edit too.
    if (watched == m_pathEdit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        OnPathCommand();
    return QDialog::eventFilter(watched, event);
}

void CImportTablesDlg::StoreBoxes() {
    m_telephoneBook = m_telephoneBookBox->isChecked();
    m_taskList = m_taskListBox->isChecked();
    m_appointmentBook = m_appointmentBookBox->isChecked();
}

void CImportTablesDlg::UpdateOk() {
    m_ok->setEnabled(!m_path.IsEmpty() && (m_telephoneBook || m_taskList || m_appointmentBook));
}

void CImportTablesDlg::OnPathCommand() {
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    UpdateOk();
}

void CImportTablesDlg::OnBoxClicked() {
    StoreBoxes();
    UpdateOk();
}

void CImportTablesDlg::OnBrowse() {
    FileDialogRequest request;
    request.owner = this;
    request.defaultExt = "pgr";
    request.fileName = m_path;
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    request.filters = {{"Pelmora files (*.pgr)", "*.pgr"}, {"All files (*.)", "*.*"}};
    if (!GetPrompt().GetOpenFileName(request))
        return;
    m_path = request.fileName;
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
}

void CImportTablesDlg::OnOk() {
    StoreBoxes();
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    if (!ExchangePassword(m_passwordEdit, m_password))
        return;
    // accept() reaches here also while OK is disabled: the rule holds for it too.
    if (m_path.IsEmpty() || !(m_telephoneBook || m_taskList || m_appointmentBook))
        return;
    EndDialog(QDialog::Accepted);
}

void CImportTablesDlg::OnCancel() {
    std::memset(m_password, 0, sizeof m_password);
    EndDialog(QDialog::Rejected);
}

void CImportTablesDlg::OnHelp() {
    HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/dlgimpnative.htm>topic"));
}

const std::vector<std::pair<int, int>>& CImportTablesDlg::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {{kIdTelephoneBook, 2000},   {kIdTaskList, 2001},
                                                           {kIdAppointmentBook, 2002}, {IDOK, 1000},
                                                           {IDCANCEL, 1001},           {kIdHelp, 1002}};
    return table;
}

bool CImportTablesDlg::OnContextHelp(QWidget* control) {
    switch (ControlIdOf(control)) {
    case IDOK:
    case IDCANCEL:
    case kIdPath:
    case kIdBrowse:
    case kIdImportPassword:
    case kIdTelephoneBook:
    case kIdTaskList:
    case kIdAppointmentBook:
    case kIdHelp:
        HtmlHelpPopup(control, HelpFilePath(), HelpTable());
        return true;
    default:
        return false;
    }
}
