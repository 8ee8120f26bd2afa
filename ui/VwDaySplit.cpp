#include "ui/VwDaySplit.h"

#include "data/DbDoc.h"

CVwDaySplit::CVwDaySplit(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    setObjectName(kind == Kind::Standard ? QStringLiteral("CVwDaySplitStandard")
                                         : QStringLiteral("CVwDaySplitDayPlan"));
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
