#include "convert/AboutDlg.h"

#include "convert/MainDialog.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);

    auto* frame = new QGroupBox(this);
    auto* icon = new QLabel(frame);
    icon->setPixmap(CMainDialog::ProgramIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(QStringLiteral("Pelmora Import Tool v1.0\n\n"
                                           "Converts Pelmora version 1 data files\n"
                                           "into version 2 databases.\n\n"
                                           "Copyright (C) Quillex"),
                            frame);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(icon);
    frameLayout->addWidget(text, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(ok, IDOK);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(IDOK); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    // 187 by 102 dialog units in the 8-point font.
    setFixedSize(sizeHint().expandedTo(QSize(280, 166)));
}

void CAboutDlg::reject() {
    done(IDCANCEL);
}
