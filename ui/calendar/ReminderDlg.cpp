#include "ui/calendar/ReminderDlg.h"

#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "platform/qt/ProgramDir.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QSoundEffect>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSoundLoadWaitMs = 2000;

QString ToQt(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

std::optional<int>& RepeatOverride() {
    static std::optional<int> repeatMs;
    return repeatMs;
}

std::optional<bool>& SoundOutputOverride() {
    static std::optional<bool> available;
    return available;
}

} // namespace

CReminderDlg::CReminderDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("CReminderDlg"));
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    SetControlId(m_label, kIdMessage);
    m_label->setWordWrap(true);
    m_label->setMinimumSize(260, 60);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMargin(6);
    // The message sits on the window colour, unlike the dialog's other texts.
    m_label->setAutoFillBackground(true);
    m_label->setBackgroundRole(QPalette::Base);
    m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(m_label, 1);
    m_soundProblem = new QLabel(this);
    m_soundProblem->setObjectName(QStringLiteral("soundProblem"));
    m_soundProblem->setWordWrap(true);
    m_soundProblem->hide();
    layout->addWidget(m_soundProblem);
    m_check = new QCheckBox(QStringLiteral("&Turn off reminder"), this);
    SetControlId(m_check, kIdCheck);
    layout->addWidget(m_check);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    SetControlId(ok, IDOK);
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    m_timer = new QTimer(this);
    m_timer->setInterval(kRepeatMs);
    connect(m_timer, &QTimer::timeout, this, [this] { OnRepeat(); });
}

CReminderDlg::~CReminderDlg() {
    StopSound();
    WaitWhileTheSoundLoads();
}

void CReminderDlg::OverrideRepeatMs(std::optional<int> repeatMs) {
    RepeatOverride() = repeatMs;
}

void CReminderDlg::OverrideSoundOutput(std::optional<bool> available) {
    SoundOutputOverride() = available;
}

bool CReminderDlg::SoundOutputAvailable() {
    if (SoundOutputOverride())
        return *SoundOutputOverride();
    return !QMediaDevices::audioOutputs().isEmpty();
}

void CReminderDlg::Prepare() {
    // Set before the dialog shows: changing a shown window's flags hides it, and hiding a modal dialog
    // ends its run as if it had been cancelled.
    if (!(windowFlags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_timer->setInterval(RepeatOverride().value_or(kRepeatMs));
    m_timer->start();
    m_check->setChecked(m_turnOff);
    setWindowTitle(ToQt(m_title));
    m_label->setText(ToQt(m_message));
    // The sound may add the line that says it cannot be played: the size is taken after it.
    if (m_sound)
        StartSound();
    FitContents();
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
}

int CReminderDlg::TitleWidth() const {
    // Window titles are drawn in a bold face; the frame's icon and buttons share the title bar.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 4 * titleBar;
}

void CReminderDlg::FitContents() {
    layout()->activate();
    const int width = std::max({minimumSizeHint().width(), sizeHint().width(), TitleWidth()});
    const int height = std::max(minimumSizeHint().height(), layout()->totalHeightForWidth(width));
    setMinimumSize(width, height);
    resize(width, height);
}

int CReminderDlg::RunModal() {
    Prepare();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CReminderDlg::OnRepeat() {
    ++m_repeats;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // The loop runs on by itself; restarting it would break it off mid-sound.
    if (m_sound && (!m_effect || !m_effect->isPlaying()))
        StartSound();
}

void CReminderDlg::OnOk() {
    m_turnOff = m_check->isChecked();
    StopSound();
    m_timer->stop();
    accept();
}

QString CReminderDlg::ResolveSound(const CString& file) {
    const QString name = ToQt(file);
    if (name.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(name))
        return QFileInfo::exists(name) ? name : QString();
    const QString programDir = ToQt(g_programDir);
    QStringList candidates;
    if (!programDir.isEmpty())
        candidates << programDir + QLatin1Char('/') + name << programDir + QStringLiteral("/sounds/") + name;
    candidates << QStringLiteral(":/sounds/") + name << QDir::current().filePath(name);
    for (const QString& candidate : candidates)
        if (QFileInfo::exists(candidate))
            return candidate;
    return QString();
}

void CReminderDlg::ShowSoundProblem(const QString& why) {
    m_soundProblem->setText(QStringLiteral("The alarm sound could not be played: ") + why);
    m_soundProblem->show();
    // A sound file that turns out unreadable is reported while the reminder is up: it grows around
    // the new line where it stands.
    if (isVisible()) {
        const QPoint centre = geometry().center();
        FitContents();
        move(centre - rect().center());
    }
}

void CReminderDlg::StartSound() {
    const QString path = ResolveSound(m_soundFile);
    // A missing file or no audio device leaves the reminder silent, never unshown.
    if (path.isEmpty()) {
        ShowSoundProblem(m_soundFile.IsEmpty()
                             ? QStringLiteral("no alarm sound is chosen.")
                             : QStringLiteral("the sound file \"%1\" was not found.").arg(ToQt(m_soundFile)));
        return;
    }
    if (!SoundOutputAvailable())
        ShowSoundProblem(QStringLiteral("no sound output is available."));
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::statusChanged, this, [this] {
            if (m_effect->status() == QSoundEffect::Error)
                ShowSoundProblem(QStringLiteral("the sound file could not be read."));
        });
    }
    const QUrl url =
        path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
    if (m_effect->source() != url)
        m_effect->setSource(url);
    m_effect->setLoopCount(QSoundEffect::Infinite);
    m_effect->play();
}

// Qt's sample cache decodes a sound on a thread of its own, and its teardown at program exit waits for
// that thread while holding the lock the thread needs when the decoding ends: a program that ends while
// a sound still loads never ends. A reminder that goes away that early waits for its sound to load; a
// short file takes milliseconds, and the wait is bounded.
void CReminderDlg::WaitWhileTheSoundLoads() {
    if (!m_effect || m_effect->status() != QSoundEffect::Loading)
        return;
    QEventLoop loop;
    connect(m_effect, &QSoundEffect::statusChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSoundLoadWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CReminderDlg::StopSound() {
    if (m_effect)
        m_effect->stop();
}
