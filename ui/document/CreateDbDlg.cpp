#include "ui/document/CreateDbDlg.h"

#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/QtPrompt.h"
#include "ui/common/DialogParts.h"
#include "ui/document/MetafilePicture.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

CCreateDbDlg::CCreateDbDlg(QWidget* parent) : CCommandDialog(parent) {
    auto* fileGroup = new QGroupBox(QStringLiteral("Select File"), this);
    SetControlId(fileGroup, 1001);
    m_pathEdit = new QLineEdit(fileGroup);
    SetControlId(m_pathEdit, kIdPath);
    m_pathEdit->setMinimumWidth(280);
    QPushButton* browse = MakeButton(fileGroup, kIdBrowse, QStringLiteral("..."));
    browse->setFixedWidth(32);
    auto* fileRow = new QHBoxLayout(fileGroup);
    fileRow->addWidget(m_pathEdit);
    fileRow->addWidget(browse);

    auto* passwordGroup = new QGroupBox(QStringLiteral("Password"), this);
    SetControlId(passwordGroup, 1182);
    auto* passwordLabel = new QLabel(QStringLiteral("Enter Password:"), passwordGroup);
    SetControlId(passwordLabel, 1181);
    m_passwordEdit = MakePasswordEdit(passwordGroup, kIdPassword);
    m_retypeLabel = new QLabel(QStringLiteral("Re-Enter Password:"), passwordGroup);
    SetControlId(m_retypeLabel, 1180);
    m_retypeEdit = MakePasswordEdit(passwordGroup, kIdPassword2);
    auto* passwordGrid = new QGridLayout(passwordGroup);
    passwordGrid->addWidget(passwordLabel, 0, 0);
    passwordGrid->addWidget(m_passwordEdit, 0, 1);
    passwordGrid->addWidget(m_retypeLabel, 1, 0);
    passwordGrid->addWidget(m_retypeEdit, 1, 1);

    const ButtonColumn buttons = MakeOkCancelHelpColumn(this, QStringLiteral("&Ok"),
                                                        QStringLiteral("&Cancel"), QStringLiteral("&Help"));
    m_ok = buttons.ok;
    QPushButton* cancel = buttons.cancel;
    QPushButton* help = buttons.help;

    auto* picture = new PictureWidget(kIdPicture, this);
    picture->setFixedSize(120, 90);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    auto* fields = new QVBoxLayout;
    fields->addWidget(fileGroup);
    fields->addWidget(passwordGroup);
    top->addLayout(fields, 1);
    top->addLayout(buttons.layout);
    setLayout(top);

    connect(m_pathEdit, &QLineEdit::textChanged, this, &CCreateDbDlg::OnPathCommand);
    m_pathEdit->installEventFilter(this);
    connect(browse, &QPushButton::clicked, this, &CCreateDbDlg::OnBrowse);
    connect(m_ok, &QPushButton::clicked, this, &CCreateDbDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CCreateDbDlg::OnCancel);
    connect(help, &QPushButton::clicked, this, &CCreateDbDlg::OnHelp);
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

CCreateDbDlg::~CCreateDbDlg() {
    std::memset(m_password, 0, sizeof m_password);
    std::memset(m_retypedPassword, 0, sizeof m_retypedPassword);
}

int CCreateDbDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CCreateDbDlg::showEvent(QShowEvent* event) {
    // The dialog's set-up when it opens: caption and fields by mode, then the data to the controls.
    if (m_createMode) {
        setWindowTitle(QStringLiteral("Create a New Database"));
    } else {
        setWindowTitle(QStringLiteral("Open An Existing Database"));
        m_retypeLabel->hide();
        m_retypeEdit->hide();
    }
    m_pathEdit->blockSignals(true);
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
    m_pathEdit->blockSignals(false);
    m_passwordEdit->setText(QString::fromUtf8(m_password));
    m_retypeEdit->setText(QString::fromUtf8(m_retypedPassword));
    CentreOverParent(this);
    QDialog::showEvent(event);
}

bool CCreateDbDlg::eventFilter(QObject* watched, QEvent* event) {
    // Gaining and losing the focus are commands of the path edit too.
    if (watched == m_pathEdit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        OnPathCommand();
    return QDialog::eventFilter(watched, event);
}

void CCreateDbDlg::OnPathCommand() {
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    m_ok->setEnabled(!m_path.IsEmpty());
}

bool CCreateDbDlg::MoveDataFromControls() {
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    return ExchangePassword(m_passwordEdit, m_password) && ExchangePassword(m_retypeEdit, m_retypedPassword);
}

void CCreateDbDlg::OnBrowse() {
    FileDialogRequest request;
    request.owner = this;
    request.defaultExt = "pgr";
    request.fileName = m_path;
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    request.filters = {{"Pelmora files (*.pgr)", "*.pgr"}, {"All Files (*.*)", "*.*"}};
    if (!GetPrompt().GetOpenFileName(request))
        return;
    m_path = request.fileName;
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
}

void CCreateDbDlg::OnOk() {
    if (!MoveDataFromControls())
        return;
    if (m_createMode && std::strcmp(m_password, m_retypedPassword) != 0) {
        MessageBoxA(this,
                    "The second copy of the password doesn't match the first copy. Please re-enter them",
                    "Different Passwords", MB_ICONINFORMATION);
        std::memset(m_password, 0, sizeof m_password);
        std::memset(m_retypedPassword, 0, sizeof m_retypedPassword);
        m_passwordEdit->clear();
        m_retypeEdit->clear();
        m_passwordEdit->setFocus();
        return;
    }
    EndDialog(QDialog::Accepted);
}

void CCreateDbDlg::OnCancel() {
    std::memset(m_password, 0, sizeof m_password);
    std::memset(m_retypedPassword, 0, sizeof m_retypedPassword);
    EndDialog(QDialog::Rejected);
}

void CCreateDbDlg::OnHelp() {
    HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/dlgimpnative.htm>topic"));
}

bool CCreateDbDlg::OnContextHelp(QWidget* control) {
    switch (ControlIdOf(control)) {
    case IDOK:
    case IDCANCEL:
    case kIdPath:
    case kIdBrowse:
    case kIdHelp:
    case 1159:
    case 1160:
    case 1161:
        return HtmlHelpPopup(control, HelpFilePath(), DatabaseDialogHelpTable());
    default:
        return false;
    }
}

void RegisterCreateDbDialog() {
    QtPrompt::SetCreateDbRunner([](CreateDbRequest& request) {
        try {
            CCreateDbDlg dialog;
            dialog.m_createMode = request.createMode;
            dialog.m_path = request.path;
            if (dialog.DoModal(static_cast<QWidget*>(request.owner)) != IDOK)
                return false;
            request.path = dialog.m_path;
            request.password = dialog.m_password;
            request.retypedPassword = dialog.m_retypedPassword;
            return true;
        } catch (...) {
            return false;
        }
    });
}
