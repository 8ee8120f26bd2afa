#include "convert/MainDialog.h"

#include "convert/AboutDlg.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

// The tool's resources live in a static library; this keeps them linked and registered.
static void InitPelmimpResources() {
    Q_INIT_RESOURCE(pelmimp);
}

namespace {

QLabel* WrappedText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

QIcon CMainDialog::ProgramIcon() {
    InitPelmimpResources();
    return QIcon(QStringLiteral(":/pelmimp/pelmimp.svg"));
}

CMainDialog::CMainDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pelmora Import Tool (Version 1 to Version 2)"));
    // A caption without system menu: no close button in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(10);
    setFont(font);

    auto* close = new QPushButton(QStringLiteral("Cl&ose"), this);
    SetControlId(close, IDC_CLOSE);
    close->setDefault(true);
    auto* about = new QPushButton(QStringLiteral("&About..."), this);
    SetControlId(about, ID_APP_ABOUT);
    auto* pathLabel = new QLabel(QStringLiteral("Database To Convert:"), this);
    m_pathEdit = new QLineEdit(this);
    SetControlId(m_pathEdit, IDC_PATH);
    pathLabel->setBuddy(m_pathEdit);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    SetControlId(browse, IDC_BROWSE);
    QLabel* thanks =
        WrappedText(QStringLiteral("Thank you for upgrading to Version 2 of Pelmora. This will assist "
                                   "you in converting Version 1 databases to the new database format."),
                    this);
    m_convert = new QPushButton(QStringLiteral("&Convert"), this);
    SetControlId(m_convert, IDC_CONVERT);
    QLabel* instructions = WrappedText(
        QStringLiteral(
            "Simply type in the old database name into the edit box below, or use the button to the "
            "right to browse for the database you wish to convert."),
        this);
    QLabel* naming = WrappedText(
        QStringLiteral("The original database will be saved with the same name, but the extension \"ver1\" "
                       "added to it. The converted database will be named with the same name as the original "
                       "database."),
        this);
    m_status = new QLabel(QStringLiteral("Static"), this);
    SetControlId(m_status, IDC_STATUS);
    m_progress = new QProgressBar(this);
    SetControlId(m_progress, IDC_PROGRESS);
    m_progress->setTextVisible(false);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_pathEdit, 1);
    pathRow->addWidget(browse);
    auto* convertRow = new QHBoxLayout;
    convertRow->addStretch();
    convertRow->addWidget(m_convert);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(about);
    buttonRow->addStretch();
    buttonRow->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(thanks);
    layout->addWidget(instructions);
    layout->addWidget(naming);
    layout->addSpacing(6);
    layout->addWidget(pathLabel);
    layout->addLayout(pathRow);
    layout->addLayout(convertRow);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addStretch();
    layout->addLayout(buttonRow);

    // Tab order of the template.
    QWidget* order[] = {close, about, m_pathEdit, browse, m_convert};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // 255 by 207 dialog units in the 10-point font, with room for the status line and the bar; like
    // its template the dialog has no sizing border.
    setFixedSize(QSize(430, 400).expandedTo(sizeHint()));

    connect(about, &QPushButton::clicked, this, &CMainDialog::OnAbout);
    connect(close, &QPushButton::clicked, this, &CMainDialog::OnClose);
    connect(browse, &QPushButton::clicked, this, &CMainDialog::OnBrowse);
    connect(m_convert, &QPushButton::clicked, this, &CMainDialog::OnConvert);
    connect(m_pathEdit, &QLineEdit::textChanged, this, &CMainDialog::OnPathChange);

    OnInitDialog();
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::OnInitDialog() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowIcon(ProgramIcon());
    m_path.Empty();
    m_convert->setEnabled(false);
    m_status->setText(QString());
    m_status->hide();
    m_progress->hide();
}

void CMainDialog::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainDialog::OnClose() {
    m_closing = true;
    done(IDC_CLOSE);
    m_closing = false;
}

void CMainDialog::OnBrowse() {
    FileDialogRequest request;
    request.owner = static_cast<QWidget*>(this);
    request.fileName = m_path;
    request.defaultExt = "pgr";
    request.filters = {{"Pelmora (*.pgr)", "*.pgr"}};
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (GetPrompt().GetOpenFileName(request)) {
        m_path = request.fileName;
        m_pathEdit->setText(QString::fromUtf8(m_path.c_str()));
    }
}

void CMainDialog::OnConvert() {
    try {
        CConversion conversion(*this);
        conversion.Run(m_path);
    } catch (const std::exception& error) {
        MessageBoxA(Owner(), error.what(), "Error Converting Database", MB_ICONERROR);
    }
}

void CMainDialog::OnPathChange() {
    m_path = CString(m_pathEdit->text().toStdString());
    m_convert->setEnabled(!m_path.IsEmpty());
}

// Escape does nothing: the dialog has no Cancel.
void CMainDialog::reject() {}

// The window's close command does nothing either; only the Close button ends the dialog.
void CMainDialog::closeEvent(QCloseEvent* event) {
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

// The conversion runs without returning to the event loop, so a control that appears is placed by
// the layout at once and every change is painted at once.
void CMainDialog::ShowStatus(bool visible) {
    m_status->setVisible(visible);
    layout()->activate();
    repaint();
}

void CMainDialog::SetStatusText(const char* text) {
    m_status->setText(QString::fromUtf8(text));
    m_status->repaint();
}

void CMainDialog::ShowProgress(bool visible) {
    m_progress->setVisible(visible);
    layout()->activate();
    repaint();
}

void CMainDialog::SetProgressRange(int high) {
    // An empty phase shows an empty bar; the range 0 to 0 would make Qt's bar a busy indicator.
    m_progress->setRange(0, std::max(high, 1));
    m_progress->setValue(0);
    m_progressMoved.start();
}

void CMainDialog::SetProgressPos(int position) {
    // While the conversion holds the UI thread the bar moves at most every kProgressStepMs, and to
    // the phase's last record: QProgressBar words its text and draws itself at each visible step,
    // which cost a conversion of 30,000 records more than the records themselves.
    const bool last = position >= m_progress->maximum() - 1;
    if (!last && m_progressMoved.isValid() && m_progressMoved.elapsed() < kProgressStepMs)
        return;
    m_progress->setValue(position);
    m_progressMoved.start();
}

WindowHandle CMainDialog::Owner() const {
    return const_cast<QWidget*>(static_cast<const QWidget*>(this));
}
