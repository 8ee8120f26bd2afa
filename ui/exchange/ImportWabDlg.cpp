#include "ui/exchange/ImportWabDlg.h"

#include "data/DbDoc.h"
#include "exchange/WabImporter.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CString WabImportReport(int count) {
    CString report;
    if (count == 0) {
        report.Format("%d names added to current database.", count);
    } else if (count == 1) {
        report.Format("%d name added to current database.", count);
        report += "You will need to edit it to add it to specific groups.";
    } else {
        report.Format("%d names added to current database.", count);
        report += "You will need to edit them to add them to specific groups.";
    }
    return report;
}

CString WabImportFailure(const char* path) {
    // The import stopped before adding anything: a second read of the file names the reason.
    CWabImporter probe;
    if (probe.Open(path) == 0)
        probe.Read();
    CString reason;
    switch (probe.LastProblem()) {
    case CWabImporter::Problem::TooLarge:
        reason.Format("The file \"%s\" is too large for an address book.", path);
        break;
    case CWabImporter::Problem::NoContacts:
        reason.Format("The file \"%s\" holds no vCard contacts.", path);
        break;
    default:
        reason.Format("The file \"%s\" cannot be read.", path);
        break;
    }
    return CString("Unable to open your Windows Address Book") + "\n\n" + reason;
}

bool ImportWabAndReport(WindowHandle owner, int choice, const char* path) {
    int count = 0;
    bool read = false;
    CString writeError;
    {
        WaitCursor wait;
        read = g_doc.ImportWab(count, choice, path, writeError);
    }
    if (!read) {
        MessageBoxA(owner, WabImportFailure(path), "Windows Address Book Error", MB_ICONERROR);
        return false;
    }
    if (writeError.IsEmpty()) {
        MessageBoxA(owner, WabImportReport(count), "Imported the Personal Address Book", MB_ICONINFORMATION);
        g_doc.SetModifiedFlag(true, true);
        return true;
    }
    // A write or the commit that failed stopped the import: one box says why and what the document
    // holds, which is marked modified only when it holds something.
    MessageBoxA(owner, writeError + "\n\nThe import stopped there. " + WabImportReport(count),
                "Error Adding Address Book Entry", MB_ICONERROR);
    if (count > 0)
        g_doc.SetModifiedFlag(true, true);
    return false;
}

CImportWabDlg::CImportWabDlg(QWidget* parent) : CCommandDialog(parent) {
    setWindowTitle(QStringLiteral("Import Personal Address Book"));

    auto* groupsBox =
        new QGroupBox(QStringLiteral("Choose The Groups You Want To Add The Addresses To"), this);
    auto* radios = new QButtonGroup(this);
    auto* groupsColumn = new QVBoxLayout(groupsBox);
    const std::pair<int, const char*> choices[] = {{kIdYellowPages, "Yellow Pages"},
                                                   {kIdWhitePages, "White Pages"},
                                                   {kIdBothPages, "Both Yellow and White Pages"}};
    for (const auto& [id, text] : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), groupsBox);
        SetControlId(radio, id);
        radios->addButton(radio);
        groupsColumn->addWidget(radio);
        m_radios.push_back(radio);
    }

    auto* fileBox = new QGroupBox(QStringLiteral("Choose The Address Book File (vCard)"), this);
    m_pathEdit = new QLineEdit(fileBox);
    SetControlId(m_pathEdit, kIdPath);
    m_pathEdit->setMinimumWidth(280);
    QPushButton* browse = MakeButton(fileBox, kIdBrowse, QStringLiteral("Browse..."));
    auto* fileRow = new QHBoxLayout(fileBox);
    fileRow->addWidget(m_pathEdit);
    fileRow->addWidget(browse);

    const ButtonColumn buttons = MakeOkCancelHelpColumn(this, QStringLiteral("OK"), QStringLiteral("Cancel"),
                                                        QStringLiteral("&Help..."));
    m_ok = buttons.ok;
    QPushButton* cancel = buttons.cancel;
    QPushButton* help = buttons.help;

    auto* fields = new QVBoxLayout;
    fields->addWidget(groupsBox);
    fields->addWidget(fileBox);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons.layout);
    setLayout(top);

    connect(m_pathEdit, &QLineEdit::textChanged, this, [this] {
        m_path = CString(m_pathEdit->text().toUtf8().toStdString());
        UpdateOk();
    });
    connect(browse, &QPushButton::clicked, this, &CImportWabDlg::OnBrowse);
    connect(m_ok, &QPushButton::clicked, this, &CImportWabDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(help, &QPushButton::clicked, this, &CImportWabDlg::OnHelp);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

int CImportWabDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CImportWabDlg::showEvent(QShowEvent* event) {
    // The radio of the choice, counted from the first; none for a choice outside them.
    QButtonGroup* group = m_radios.front()->group();
    group->setExclusive(false);
    for (size_t index = 0; index < m_radios.size(); ++index)
        m_radios[index]->setChecked(static_cast<int>(index) == m_choice);
    group->setExclusive(true);
    m_pathEdit->blockSignals(true);
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
    m_pathEdit->blockSignals(false);
    UpdateOk();
    CentreOverParent(this);
    QDialog::showEvent(event);
}

void CImportWabDlg::UpdateOk() {
    m_ok->setEnabled(!m_path.IsEmpty());
}

void CImportWabDlg::OnBrowse() {
    FileDialogRequest request;
    request.owner = this;
    request.defaultExt = "vcf";
    request.fileName = m_path;
    request.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    request.filters = {{"vCard files (*.vcf)", "*.vcf"}, {"All files (*.)", "*.*"}};
    if (!GetPrompt().GetOpenFileName(request))
        return;
    m_pathEdit->setText(QString::fromUtf8(request.fileName.c_str()));
}

void CImportWabDlg::OnOk() {
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    // accept() reaches here also while OK is disabled: without a file there is nothing to import.
    if (m_path.IsEmpty())
        return;
    m_choice = -1;
    for (size_t index = 0; index < m_radios.size(); ++index)
        if (m_radios[index]->isChecked())
            m_choice = static_cast<int>(index);
    EndDialog(QDialog::Accepted);
}

void CImportWabDlg::OnHelp() {
    HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/dlgimpwab.htm>topic"));
}

const std::vector<std::pair<int, int>>& CImportWabDlg::HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {kIdYellowPages, 2100}, {kIdWhitePages, 2101}, {kIdHelp, 1002}, {IDOK, 1000}, {IDCANCEL, 1001}};
    return table;
}

bool CImportWabDlg::OnContextHelp(QWidget* control) {
    switch (ControlIdOf(control)) {
    case kIdYellowPages:
    case kIdWhitePages:
    case kIdHelp:
    case IDOK:
    case IDCANCEL:
        HtmlHelpPopup(control, HelpFilePath(), HelpTable());
        return true;
    default:
        return false;
    }
}
