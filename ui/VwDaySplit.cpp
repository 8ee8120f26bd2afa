#include "ui/VwDaySplit.h"

#include "data/DbDoc.h"

CVwDaySplit::CVwDaySplit(Kind kind, QWidget* parent) : QFrame(parent), m_kind(kind) {
    setObjectName(kind == Kind::Standard ? QStringLiteral("CVwDaySplitStandard")
                                         : QStringLiteral("CVwDaySplitDayPlan"));
    // The client edge of a view.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    Attach(&g_doc);
}

CVwDaySplit::~CVwDaySplit() {
    Detach();
}

bool CVwDaySplit::OnCommand(int) {
    return false;
}

std::vector<QWidget*> CVwDaySplit::HelpPanes() const {
    return {};
}
