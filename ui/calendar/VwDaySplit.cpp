#include "ui/calendar/VwDaySplit.h"

#include "data/DbDoc.h"
#include "ui/addressbook/PhoneBookPane.h"
#include "ui/calendar/VwAppts.h"
#include "ui/calendar/VwCalendar.h"
#include "ui/common/CaptionPane.h"
#include "ui/calendar/VwTasks.h"

#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The built sizes of the panes whose own classes come with their features.

QSplitter* MakeSplitter(Qt::Orientation orientation, QWidget* parent, const char* name) {
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
    return splitter;
}

QSize BuiltSize(const QWidget* pane) {
    if (auto* captioned = dynamic_cast<const CCaptionPane*>(pane))
        return captioned->TemplateSize();
    return pane->sizeHint();
}

} // namespace

CVwDaySplit::CVwDaySplit(Kind kind, QWidget* parent) : QFrame(parent), m_kind(kind) {
    setObjectName(kind == Kind::Standard ? QStringLiteral("CVwDaySplitStandard")
                                         : QStringLiteral("CVwDaySplitDayPlan"));
    // The client edge of a view.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    Attach(&g_doc);
    BuildPanes();
    SizeFromPanes();
}

CVwDaySplit::~CVwDaySplit() {
    Detach();
}

void CVwDaySplit::BuildPanes() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_outer = MakeSplitter(Qt::Vertical, this, "outerSplitter");
    layout->addWidget(m_outer);
    m_top = MakeSplitter(Qt::Horizontal, m_outer, "topSplitter");
    m_bottom = MakeSplitter(Qt::Horizontal, m_outer, "bottomSplitter");

    // Each pane attaches itself to the document as it is made, so the order of making is the order
    // of the document's observers.
    m_calendar = new CVwCalendar(m_top);
    if (m_kind == Kind::Standard) {
        m_phoneBook = new CPhoneBookPane(m_top);
        m_appts = new CVwAppts(m_bottom);
    } else {
        m_appts = new CVwAppts(m_top);
    }
    m_appts->setObjectName(QStringLiteral("CVwAppts"));
    m_tasks = new CVwTasks(m_bottom);

    m_top->addWidget(m_calendar);
    if (m_kind == Kind::Standard) {
        m_top->addWidget(m_phoneBook);
        m_bottom->addWidget(m_appts);
    } else {
        m_top->addWidget(m_appts);
        m_emptyPane = new QWidget(m_bottom);
        m_emptyPane->setObjectName(QStringLiteral("emptyPane"));
        m_bottom->addWidget(m_emptyPane);
    }
    m_bottom->addWidget(m_tasks);
    m_outer->addWidget(m_top);
    m_outer->addWidget(m_bottom);
}

void CVwDaySplit::SizeFromPanes() {
    const QSize calendar = BuiltSize(m_calendar);
    QWidget* topRight = m_kind == Kind::Standard ? m_phoneBook : m_appts;
    const QSize topRightSize = BuiltSize(topRight);
    const QSize tasks = BuiltSize(m_tasks);
    const int bar = m_outer->handleWidth();

    // The bottom row's left part: the appointments pane, or in the day-plan view the place under the
    // calendar, so that the tasks line up under the appointments.
    const int bottomLeft = m_kind == Kind::Standard ? BuiltSize(m_appts).width() : calendar.width();
    const int topWidth = calendar.width() + bar + topRightSize.width();
    const int bottomWidth = bottomLeft + bar + tasks.width();
    const int width = m_kind == Kind::Standard ? std::max(topWidth, bottomWidth) : topWidth;
    const int topHeight = std::max(calendar.height(), topRightSize.height());
    const int height = topRightSize.height() + bar + tasks.height();
    m_builtSize = QSize(width + 2 * frameWidth(),
                        std::max(height, topHeight + bar + tasks.height()) + 2 * frameWidth());

    m_top->setMinimumHeight(topHeight);
    m_outer->setSizes({topHeight, m_builtSize.height() - topHeight - bar});
    // The left pane of each row keeps its width at least; the right one takes what remains, so the
    // frame can still be made narrow.
    m_top->widget(0)->setMinimumWidth(calendar.width());
    m_top->setSizes({calendar.width(), width - calendar.width() - bar});
    m_bottom->widget(0)->setMinimumWidth(bottomLeft);
    m_bottom->setSizes({bottomLeft, width - bottomLeft - bar});
}

bool CVwDaySplit::OnCommand(int id) {
    m_routed.push_back(id);
    bool handled = false;
    for (QWidget* pane : {static_cast<QWidget*>(m_calendar), m_phoneBook, m_appts, m_tasks})
        if (auto* target = dynamic_cast<CCommandTarget*>(pane))
            handled = target->OnCommand(id) || handled;
    m_routed.pop_back();
    return handled;
}

bool CVwDaySplit::PassToFrame(int id) {
    // A command on its way down from the frame is never sent back up.
    if (std::find(m_routed.begin(), m_routed.end(), id) != m_routed.end())
        return false;
    auto* frame = dynamic_cast<CCommandTarget*>(window());
    if (!frame || frame == static_cast<CCommandTarget*>(this))
        return false;
    return frame->OnCommand(id);
}

CVwDaySplit* CVwDaySplit::Of(const QWidget* child) {
    for (QWidget* w = child ? child->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* view = dynamic_cast<CVwDaySplit*>(w))
            return view;
    return nullptr;
}

std::vector<QWidget*> CVwDaySplit::HelpPanes() const {
    std::vector<QWidget*> panes{m_calendar};
    for (QWidget* pane : {m_phoneBook, m_appts, m_tasks})
        if (pane)
            panes.push_back(pane);
    return panes;
}
