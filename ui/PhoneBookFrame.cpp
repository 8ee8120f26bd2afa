#include "ui/PhoneBookFrame.h"

#include "data/DbDoc.h"

CPhoneBookFrame::CPhoneBookFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("CPhoneBookFrame"));
    setWindowTitle(QStringLiteral("Address Book"));
    // The client edge of a view.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
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
