#include "ui/app/SplashDlg.h"

#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "ui/common/DialogParts.h"
#include "ui/document/MetafilePicture.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

int CSplashDlg::s_timeoutMs = 3000;

namespace {

const char* const kNotice = "Copyright (C) Quillex. All rights reserved.\n"
                            "Your address book, appointments and tasks in one safe place.";
const char* const kSlogan = "Your day, your people, your plans.";

QLabel* MakeLabel(QWidget* parent, int id, const QString& text, const QFont& font = QFont()) {
    auto* label = new QLabel(text, parent);
    SetControlId(label, id);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

QFont TimesFont(int points, bool italic) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(points);
    font.setItalic(italic);
    return font;
}

void SetOwner(QDialog* dialog, QWidget* owner) {
    if (dialog->parentWidget())
        return;
    QWidget* parent = owner ? owner : QApplication::activeWindow();
    if (parent && parent != dialog)
        dialog->setParent(parent, dialog->windowFlags() | Qt::Dialog);
}

} // namespace

CSplashDlg::CSplashDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splash"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(218, 165, 32));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    auto* picture = new PictureWidget(1096, this);
    picture->setFixedSize(200, 150);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(18);
    grid->addWidget(picture, 0, 0, 4, 1);
    grid->addWidget(MakeLabel(this, 1097, QStringLiteral("Pelmora"), TimesFont(16, true)), 0, 1);
    grid->addWidget(MakeLabel(this, 1101, QString::fromUtf8(kSlogan), TimesFont(14, false)), 1, 1);
    grid->addWidget(MakeLabel(this, 1098, QString::fromUtf8(kNotice)), 2, 1);
    grid->addWidget(MakeLabel(this, 1099, QStringLiteral("Version 2.0")), 3, 1);
    grid->setColumnMinimumWidth(1, 260);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CSplashDlg::Close);
}

int CSplashDlg::DoModal(QWidget* owner) {
    SetOwner(this, owner);
    exec();
    return 0;
}

void CSplashDlg::showEvent(QShowEvent* event) {
    CentreOverParent(this);
    m_timer->start(s_timeoutMs);
    QDialog::showEvent(event);
}

void CSplashDlg::Close() {
    m_timer->stop();
    done(0);
}

void CSplashDlg::mousePressEvent(QMouseEvent*) {
    Close();
}

void CSplashDlg::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((event->modifiers() & Qt::AltModifier) || key == Qt::Key_Return || key == Qt::Key_Enter ||
        key == Qt::Key_Escape || key == Qt::Key_F10)
        Close();
    else
        QDialog::keyPressEvent(event);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Pelmora"));
    auto* picture = new PictureWidget(1096, this);
    picture->setFixedSize(160, 120);
    QPushButton* ok = MakeButton(this, IDOK, QStringLiteral("OK"));
    ok->setDefault(true);
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picture, 0, 0, 4, 1);
    grid->addWidget(MakeLabel(this, 1097, QStringLiteral("Pelmora"), TimesFont(16, true)), 0, 1);
    grid->addWidget(MakeLabel(this, 1099, QStringLiteral("Version 2.0")), 1, 1);
    grid->addWidget(MakeLabel(this, 1098, QString::fromUtf8(kNotice)), 2, 1);
    grid->addWidget(MakeLabel(this, 1100, QString::fromUtf8(kSlogan), TimesFont(8, true)), 3, 1);
    grid->addWidget(ok, 4, 1, Qt::AlignRight);
    grid->setColumnMinimumWidth(1, 240);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int CAboutDlg::DoModal(QWidget* owner) {
    SetOwner(this, owner);
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAboutDlg::showEvent(QShowEvent* event) {
    CentreOverParent(this);
    QDialog::showEvent(event);
}
