#include "ui/PhoneBookFrame.h"

#include "data/DbDoc.h"

CPhoneBookFrame::CPhoneBookFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPhoneBookFrame"));
    setWindowTitle(QStringLiteral("Address Book"));
    setAutoFillBackground(true);
    Attach(&g_doc);
}

CPhoneBookFrame::~CPhoneBookFrame() {
    Detach();
}

bool CPhoneBookFrame::OnCommand(int) {
    return false;
}

std::vector<QWidget*> CPhoneBookFrame::HelpPanes() const {
    return {};
}
