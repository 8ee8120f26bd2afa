#include "ui/document/PasswordDlg.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/document/MetafilePicture.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

CPasswordDlg::CPasswordDlg(QWidget* parent) : CCommandDialog(parent) {
    auto* fileGroup = new QGroupBox(QStringLiteral("Database"), this);
    SetControlId(fileGroup, 1001);
    m_pathEdit = new QLineEdit(fileGroup);
    SetControlId(m_pathEdit, kIdPath);
    m_pathEdit->setReadOnly(true);
    m_pathEdit->setMinimumWidth(280);
    auto* fileRow = new QHBoxLayout(fileGroup);
    fileRow->addWidget(m_pathEdit);

    auto* passwordGroup = new QGroupBox(QStringLiteral("Password"), this);
    SetControlId(passwordGroup, 1182);
    auto* passwordLabel = new QLabel(QStringLiteral("Password:"), passwordGroup);
    SetControlId(passwordLabel, 1181);
    m_passwordEdit = MakePasswordEdit(passwordGroup, kIdPassword);
    m_newLabel = new QLabel(QStringLiteral("New Password:"), passwordGroup);
    SetControlId(m_newLabel, 1180);
    m_newEdit = MakePasswordEdit(passwordGroup, kIdPassword2);
    m_retypeLabel = new QLabel(QStringLiteral("Retype New Password:"), passwordGroup);
    SetControlId(m_retypeLabel, 1183);
    m_retypeEdit = MakePasswordEdit(passwordGroup, kIdPassword3);
    auto* grid = new QGridLayout(passwordGroup);
    grid->addWidget(passwordLabel, 0, 0);
    grid->addWidget(m_passwordEdit, 0, 1);
    grid->addWidget(m_newLabel, 1, 0);
    grid->addWidget(m_newEdit, 1, 1);
    grid->addWidget(m_retypeLabel, 2, 0);
    grid->addWidget(m_retypeEdit, 2, 1);

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

    connect(m_passwordEdit, &QLineEdit::textChanged, this, &CPasswordDlg::OnPasswordCommand);
    connect(m_ok, &QPushButton::clicked, this, &CPasswordDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CPasswordDlg::OnCancel);
    connect(help, &QPushButton::clicked, this,
            [this] { HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/dlgimpnative.htm>topic")); });
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

CPasswordDlg::~CPasswordDlg() {
    std::memset(m_password, 0, sizeof m_password);
    std::memset(m_newPassword, 0, sizeof m_newPassword);
    std::memset(m_retypedNewPassword, 0, sizeof m_retypedNewPassword);
}

int CPasswordDlg::DoModal(QWidget* owner) {
    return RunModal(this, owner);
}

void CPasswordDlg::showEvent(QShowEvent* event) {
    if (m_changeMode) {
        setWindowTitle(QStringLiteral("Change the password for the database shown"));
    } else {
        setWindowTitle(QStringLiteral("Enter the password for the database shown"));
        m_newLabel->hide();
        m_newEdit->hide();
        m_retypeLabel->hide();
        m_retypeEdit->hide();
    }
    m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
    m_passwordEdit->blockSignals(true);
    m_passwordEdit->setText(QString::fromUtf8(m_password));
    m_passwordEdit->blockSignals(false);
    m_newEdit->setText(QString::fromUtf8(m_newPassword));
    m_retypeEdit->setText(QString::fromUtf8(m_retypedNewPassword));
    CentreOverParent(this);
    m_passwordEdit->setFocus();
    QDialog::showEvent(event);
}

bool CPasswordDlg::MoveDataFromControls() {
    m_path = CString(m_pathEdit->text().toUtf8().toStdString());
    return ExchangePassword(m_passwordEdit, m_password) && ExchangePassword(m_newEdit, m_newPassword) &&
           ExchangePassword(m_retypeEdit, m_retypedNewPassword);
}

void CPasswordDlg::OnPasswordCommand() {
    MoveDataFromControls();
    const bool openHasNoPassword = g_openPassword[0] == '\0';
    m_ok->setEnabled(openHasNoPassword || !m_changeMode || m_password[0] != '\0');
}

void CPasswordDlg::OnOk() {
    if (!MoveDataFromControls())
        return;
    // Only who knows the open document's password may change it. The document keeps the first
    // characters of a password that was typed longer; the typed one counts as far as those.
    char typedCurrent[CDbDoc::kMaxPassword + 2];
    SetPasswordBuffer(typedCurrent, m_password);
    const bool currentMatches = std::strcmp(typedCurrent, g_openPassword) == 0;
    std::memset(typedCurrent, 0, sizeof typedCurrent);
    if (m_changeMode && !currentMatches) {
        MessageBoxA(this,
                    "The current password you typed is not the password of this database. The password "
                    "has not been changed.",
                    "Wrong Password", MB_ICONERROR);
        std::memset(m_password, 0, sizeof m_password);
        m_passwordEdit->clear();
        m_passwordEdit->setFocus();
        return;
    }
    if (m_changeMode && std::strcmp(m_newPassword, m_retypedNewPassword) != 0) {
        MessageBoxA(this,
                    "The second copy of the new password doesn't match the first copy. Please re-enter them",
                    "Different Passwords", MB_ICONINFORMATION);
        std::memset(m_newPassword, 0, sizeof m_newPassword);
        std::memset(m_retypedNewPassword, 0, sizeof m_retypedNewPassword);
        m_newEdit->clear();
        m_retypeEdit->clear();
        m_newEdit->setFocus();
        return;
    }
    EndDialog(QDialog::Accepted);
}

void CPasswordDlg::OnCancel() {
    std::memset(m_newPassword, 0, sizeof m_newPassword);
    std::memset(m_retypedNewPassword, 0, sizeof m_retypedNewPassword);
    EndDialog(QDialog::Rejected);
}

bool CPasswordDlg::OnContextHelp(QWidget* control) {
    switch (ControlIdOf(control)) {
    case IDOK:
    case IDCANCEL:
    case kIdPath:
    case kIdBrowse:
    case kIdHelp:
        return HtmlHelpPopup(control, HelpFilePath(), DatabaseDialogHelpTable());
    default:
        return false;
    }
}
