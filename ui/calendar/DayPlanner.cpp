#include "ui/calendar/DayPlanner.h"

#include "platform/qt/ChromeColors.h"
#include "platform/qt/Controls.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QToolTip>

namespace {

QColor ToQColor(COLORREF color) {
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}
COLORREF ToColorRef(const QColor& color) {
    return MakeColorRef(color.red(), color.green(), color.blue());
}
QColor Lightened(const QColor& color, int percent) {
    return ToQColor(LightenColor(ToColorRef(color), percent));
}
QRect ToQRect(const PlannerRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}
// A text colour that reads on the fill it is drawn on.
QColor ReadableColour(const QColor& fill, const QColor& preferred, double least = 4.5) {
    return QColor(ReadableOn(fill.rgb(), preferred.rgb(), least));
}
QString ToQString(const CString& text) {
    return QString::fromUtf8(text.c_str(), text.GetLength());
}

const QColor kWeekendHeaderText(200, 40, 40);

// A block's text keeps this far from its left and right edges; further when the icon is drawn.
constexpr int kTextInset = 6;
constexpr int kIconTextInset = 18;

// Where word-wrapped text breaks in lines of the given width: each line's start and length.
std::vector<std::pair<int, int>> WrapLines(const QFont& font, int width, const QString& text) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<std::pair<int, int>> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        lines.emplace_back(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

// Word-wrapped text, only in lines that fit the rectangle whole: when the text needs more lines, the
// last one that fits ends in an ellipsis instead of showing the top half of the next.
void DrawWholeLines(QPainter& painter, const QRect& rect, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const auto lines = WrapLines(painter.font(), rect.width(), text);
    const int count = static_cast<int>(lines.size());
    const int fitting = std::max(1, rect.height() / metrics.lineSpacing());
    int y = rect.top();
    for (int i = 0; i < count && i < fitting; ++i) {
        const bool cut = i == fitting - 1 && i + 1 < count;
        QString part = cut ? text.mid(lines[i].first) : text.mid(lines[i].first, lines[i].second);
        if (cut)
            part = metrics.elidedText(part.simplified(), Qt::ElideRight, rect.width());
        painter.drawText(QRect(rect.left(), y, rect.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, part.trimmed());
        y += metrics.lineSpacing();
    }
}

int BlockTextInset(const DayPlannerItem& item, const QPixmap& icon) {
    return item.icon && !icon.isNull() ? kIconTextInset : kTextInset;
}

bool IsWeekend(const SYSTEMTIME& day) {
    const SYSTEMTIME normalised = PlannerDayStart(day);
    return normalised.wDayOfWeek == 0 || normalised.wDayOfWeek == 6;
}

// The virtual key of a Qt key, 0 for keys the planner does not hand on.
int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        break;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    return 0;
}

} // namespace

// The scrolling pane under the header: paints in content coordinates and turns mouse events into
// content points for the control.
class CDayPlannerPane : public QAbstractScrollArea {
public:
    explicit CDayPlannerPane(CDayPlannerCtrl* planner) : QAbstractScrollArea(planner), m_planner(planner) {
        setObjectName(QStringLiteral("WTL_DayPlannerPane"));
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFocusPolicy(Qt::NoFocus);
        viewport()->setFocusPolicy(Qt::NoFocus);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        viewport()->setMouseTracking(true);
        verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    }

    int Offset() const { return verticalScrollBar()->value(); }
    QPoint ToContent(const QPoint& point) const { return point + QPoint(0, Offset()); }

protected:
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            const QString tip = m_planner->TipTextAt(help->pos());
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, viewport());
            return true;
        }
        return QAbstractScrollArea::viewportEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QPainter painter(viewport());
        painter.setClipRect(event->rect());
        painter.translate(0, -Offset());
        m_planner->PaintPane(painter);
    }

    void scrollContentsBy(int, int) override {
        QToolTip::hideText();
        viewport()->update();
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            m_planner->PressAt(ToContent(event->position().toPoint()));
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        m_planner->MoveAt(ToContent(event->position().toPoint()), event->buttons() & Qt::LeftButton);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            m_planner->ReleaseAt(ToContent(event->position().toPoint()));
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            m_planner->DoubleClickAt();
    }

private:
    CDayPlannerCtrl* m_planner;
};

CDayPlannerCtrl::CDayPlannerCtrl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_date = GetLocalTime();
    RecomputeRange();
    m_pane = new CDayPlannerPane(this);
    ApplySettings();
    ApplySize();
}

CDayPlannerCtrl::~CDayPlannerCtrl() = default;

void CDayPlannerCtrl::Notify(int code) {
    if (m_owner)
        m_owner->OnPlannerNotify(*this, ControlIdOf(this), code);
    emit plannerNotified(code);
}

void CDayPlannerCtrl::Invalidate() {
    update();
    m_pane->viewport()->update();
}

uint32_t CDayPlannerCtrl::SetOption(uint32_t style) {
    const uint32_t previous = m_style;
    m_style = style;
    ApplySettings();
    ApplySize();
    Invalidate();
    return previous;
}

int CDayPlannerCtrl::SetTimeScale(int minutes) {
    const int scale = minutes & 0xFFFF;
    if (scale != 10 && scale != 15 && scale != 20 && scale != 30)
        return 0;
    m_scale = scale;
    ApplySettings();
    ApplySize();
    m_layoutDirty = true;
    Invalidate();
    return 1;
}

QPixmap CDayPlannerCtrl::SetImageList(const QPixmap& icon) {
    QPixmap previous = m_icon;
    m_icon = icon;
    Invalidate();
    return previous;
}

int CDayPlannerCtrl::SetDate(const SYSTEMTIME& date) {
    // A date that is no real date (month 13, 31 April) would leave nothing to show: it is refused.
    if (PlannerSameTime(date, m_date) || !PlannerAddTime(date, 0, 0))
        return 0;
    m_date = date;
    if (OutsidePlannerRange(m_range, m_date))
        RecomputeRange();
    Notify(kPlannerDateChanged);
    Invalidate();
    return 1;
}

void CDayPlannerCtrl::RecomputeRange() {
    m_range = ComputePlannerRange(m_date, m_days);
    m_layoutDirty = true;
    Notify(kPlannerRangeChanged);
}

int CDayPlannerCtrl::AddItem(const DayPlannerItem& item) {
    try {
        m_items.push_back(item);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_layoutDirty = true;
    Invalidate();
    return 1;
}

int CDayPlannerCtrl::RemoveAllItems() {
    m_items.clear();
    m_blocks.clear();
    m_cells.clear();
    m_layoutDirty = true;
    m_selected = -1;
    m_pressedItem = -1;
    m_dragging = false;
    Invalidate();
    return 1;
}

int CDayPlannerCtrl::GetItem(int index, DayPlannerItem* out) const {
    if (index < 0 || index >= GetItemCount() || !out)
        return 0;
    *out = m_items[static_cast<size_t>(index)];
    return 1;
}

const std::vector<DayPlannerBlock>& CDayPlannerCtrl::GetBlocks() {
    EnsurePlaced();
    return m_blocks;
}

const std::vector<DayPlannerCell>& CDayPlannerCtrl::GetCells() {
    EnsurePlaced();
    return m_cells;
}

QWidget* CDayPlannerCtrl::PaneViewport() const {
    return m_pane->viewport();
}

int CDayPlannerCtrl::ScrollOffset() const {
    return m_pane->Offset();
}

void CDayPlannerCtrl::ApplySettings() {
    const QFont windowFont = font();
    m_hourFont = windowFont;
    m_hourFont.setFamily(QStringLiteral("Tahoma"));
    m_hourFont.setPixelSize(23);
    m_minuteFont = windowFont;
    m_minuteFont.setFamily(QStringLiteral("Arial"));
    m_minuteFont.setPixelSize(11);

    const QFontMetrics windowMetrics(windowFont);
    const QFontMetrics hourMetrics(m_hourFont);
    const QFontMetrics minuteMetrics(m_minuteFont);
    PlannerFontSizes sizes;
    sizes.windowFontHeight = windowMetrics.height();
    sizes.hourFontHeight = hourMetrics.height();
    sizes.minuteFontHeight = minuteMetrics.height();
    sizes.hourDigitsWidth = hourMetrics.horizontalAdvance(QStringLiteral("99"));
    sizes.minuteDigitsWidth = minuteMetrics.horizontalAdvance(QStringLiteral("99"));
    m_metrics = ComputePlannerMetrics(sizes, m_scale);
    m_baseHourHeight = m_metrics.hourHeight;
    // The rows may have to grow again for the new fonts and scale.
    m_layoutDirty = true;
    m_minuteLineHeight = sizes.minuteFontHeight + 2;

    const QPalette& colours = palette();
    m_freeHourColor = Lightened(colours.color(QPalette::Dark), 15);
    m_rulerColor = colours.color(QPalette::ToolTipBase);
    m_workHourColor = Lightened(colours.color(QPalette::ToolTipBase), 25);
    m_gridColor = Lightened(colours.color(QPalette::Shadow), 15);
    m_rulerTextColor = ReadableColour(m_rulerColor, colours.color(QPalette::ButtonText));
}

int CDayPlannerCtrl::ScrollBarWidth() const {
    return m_pane->verticalScrollBar()->sizeHint().width();
}

int CDayPlannerCtrl::DrawingWidth() const {
    return std::max(m_pane->width() - ScrollBarWidth(), 0);
}

void CDayPlannerCtrl::ApplySize() {
    if (isMinimized())
        return;
    const int top = (m_style & kPlannerNoHeader) ? 0 : m_metrics.headerHeight;
    const QRect paneRect(0, top, width(), std::max(height() - top, 0));
    const int clientHeight = paneRect.height();
    QScrollBar* bar = m_pane->verticalScrollBar();
    bar->setRange(0, std::max(ContentHeight() - clientHeight, 0));
    bar->setPageStep(std::max(clientHeight, 1));
    bar->setSingleStep(m_metrics.hourHeight);
    bar->setValue(
        PlannerScrollOffsetForHour(m_date.wHour, m_metrics.hourHeight, ContentHeight(), clientHeight));
    m_pane->setGeometry(paneRect);
}

void CDayPlannerCtrl::SetHourHeight(int hourHeight) {
    if (hourHeight == m_metrics.hourHeight)
        return;
    // The time at the top of the view stays there.
    QScrollBar* bar = m_pane->verticalScrollBar();
    const double topMinute = bar->value() * 60.0 / std::max(m_metrics.hourHeight, 1);
    m_metrics.hourHeight = hourHeight;
    const int clientHeight = m_pane->height();
    bar->setRange(0, std::max(ContentHeight() - clientHeight, 0));
    bar->setSingleStep(hourHeight);
    bar->setValue(static_cast<int>(topMinute * hourHeight / 60.0 + 0.5));
}

void CDayPlannerCtrl::EnsurePlaced() {
    if (m_layoutDirty) {
        m_layoutDirty = false;
        QToolTip::hideText();
        PlannerDayLayout day = LayoutPlannerDay(m_items, m_range.start, m_days, m_style, m_scale,
                                                m_baseHourHeight, BlockLineHeight());
        m_blocks = std::move(day.blocks);
        SetHourHeight(day.hourHeight);
    }
    const int rulerWidth = (m_style & kPlannerNoRuler) ? 0 : m_metrics.rulerWidth;
    const PlannerColumns columns = ComputePlannerColumns(DrawingWidth(), rulerWidth, m_days);
    m_cells = BuildPlannerCells(m_range.start, m_days, columns, m_metrics.hourHeight);
    PlacePlannerBlocks(m_blocks, m_range.start, m_days, columns, ContentHeight());
}

bool CDayPlannerCtrl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Tab and Backtab come here too: the owner may want them, and the planner moves the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
        break;
    }
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::ApplicationFontChange:
    case QEvent::ApplicationPaletteChange:
        ApplySettings();
        ApplySize();
        m_layoutDirty = true;
        Invalidate();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void CDayPlannerCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplySize();
}

void CDayPlannerCtrl::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyOf(*event);
    if (virtualKey == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    HandleKey(virtualKey, event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier));
}

void CDayPlannerCtrl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (m_owner)
        m_owner->OnPlannerSetFocus(*this);
}

void CDayPlannerCtrl::HandleKey(int virtualKey, bool shift) {
    if ((m_style & kPlannerKeysToOwner) && m_owner && m_owner->OnPlannerKeyToItem(*this, virtualKey) != 0)
        return;
    if (m_style & kPlannerFixedDate)
        return;
    if (virtualKey == VK_TAB) {
        focusNextPrevChild(!shift);
        return;
    }
    // The keyboard's way of choosing an appointment: the arrows walk the day's items in start order
    // and select each, just as a press on its block does.
    if (const auto step = PlannerStepAfterKey(m_items, m_date, m_selected, virtualKey)) {
        SetDate(step->date);
        SelectItem(step->selected);
    }
    if (m_style & kPlannerArrowsNeverScroll)
        return;
    EnsurePlaced();
    const int clientHeight = m_pane->height();
    QScrollBar* bar = m_pane->verticalScrollBar();
    if (!PlannerHourRowVisible(m_date.wHour, m_metrics.hourHeight, ScrollOffset(), clientHeight)) {
        if (virtualKey == VK_DOWN)
            bar->setValue(bar->value() + bar->singleStep());
        else if (virtualKey == VK_UP)
            bar->setValue(bar->value() - bar->singleStep());
    }
    // The block the keys chose is brought into view.
    for (const DayPlannerBlock& block : m_blocks) {
        if (block.item != m_selected || block.rect.IsEmpty())
            continue;
        const PlannerRect drawn = DrawnBlockRect(block);
        if (drawn.bottom + 1 > bar->value() + clientHeight)
            bar->setValue(drawn.bottom + 1 - clientHeight);
        if (drawn.top < bar->value())
            bar->setValue(drawn.top);
        break;
    }
}

void CDayPlannerCtrl::PressAt(const QPoint& content) {
    if (!isEnabled())
        return;
    setFocus(Qt::MouseFocusReason);
    EnsurePlaced();
    if (!(m_style & kPlannerFixedDate))
        if (const auto cell = HitTestPlannerCells(m_cells, content.x(), content.y()))
            SetDate(cell->time);
    m_pressedItem = -1;
    const auto block = HitTestPlannerBlocks(m_blocks, m_items, content.x(), content.y());
    if (block && !(m_style & kPlannerNoDrag)) {
        m_pressedItem = block->index;
        m_pressPoint = content;
        m_dragRect = block->rect;
    }
    SelectItem(block ? block->index : -1);
}

void CDayPlannerCtrl::SelectItem(int index) {
    const int previous = m_selected;
    m_selected = index;
    if (m_selected != previous)
        Notify(kPlannerSelectionChanged);
    Invalidate();
}

int CDayPlannerCtrl::BlockLineHeight() const {
    // One line of the window font inside the block's frame and a pixel of room above and below.
    return QFontMetrics(font()).height() + 4;
}

void CDayPlannerCtrl::MoveAt(const QPoint& content, bool leftButtonDown) {
    if (m_pressedItem < 0 || !leftButtonDown)
        return;
    if (!m_dragging) {
        if ((content - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragging = true;
        Invalidate();
    }
    const auto drop = PlannerDropAt(m_cells, content.x(), content.y(), m_scale);
    if (!drop)
        return;
    if (!m_drop || !(drop->rect == m_drop->rect)) {
        m_drop = drop;
        m_dragRect = drop->rect;
        Invalidate();
    }
}

void CDayPlannerCtrl::ReleaseAt(const QPoint& content) {
    if (m_dragging && m_pressedItem >= 0 && m_pressedItem < GetItemCount()) {
        if (const auto drop = PlannerDropAt(m_cells, content.x(), content.y(), m_scale)) {
            m_items[static_cast<size_t>(m_pressedItem)].start = drop->time;
            m_layoutDirty = true;
            Notify(kPlannerItemDropped);
        }
    }
    m_dragging = false;
    m_pressedItem = -1;
    m_drop.reset();
    Invalidate();
    Notify(kPlannerMouseReleased);
}

void CDayPlannerCtrl::DoubleClickAt() {
    Notify(kPlannerDoubleClicked);
}

QString CDayPlannerCtrl::TipTextAt(const QPoint& viewportPoint) {
    EnsurePlaced();
    const QPoint content = m_pane->ToContent(viewportPoint);
    const auto block = HitTestPlannerBlocks(m_blocks, m_items, content.x(), content.y());
    if (!block)
        return {};
    QString tip = ToQString(PlannerTipText(m_items[static_cast<size_t>(block->index)]));
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return tip;
}

void CDayPlannerCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    if (m_style & kPlannerNoHeader) {
        painter.fillRect(rect(), colours.color(QPalette::Base));
        return;
    }
    const int headerHeight = m_metrics.headerHeight;
    const int scrollBarWidth = ScrollBarWidth();
    const int clientWidth = width();
    painter.fillRect(QRect(clientWidth - scrollBarWidth, 0, scrollBarWidth, headerHeight),
                     colours.color(QPalette::Button));
    const int width = std::max(clientWidth - scrollBarWidth, 0);
    painter.setFont(font());

    int rulerWidth = 0;
    if (!(m_style & kPlannerNoRuler)) {
        rulerWidth = m_metrics.rulerWidth;
        const QRect box(0, 0, rulerWidth, headerHeight);
        painter.fillRect(box, colours.color(QPalette::Button));
        painter.setPen(colours.color(QPalette::Light));
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    }

    const PlannerColumns columns = ComputePlannerColumns(width, rulerWidth, m_days);
    for (int day = 0; day < m_days; ++day) {
        const auto date = PlannerAddTime(m_range.start, day, 0);
        if (!date)
            continue;
        const bool current = PlannerSameDay(*date, m_date);
        const QRect dayRect(columns.DayLeft(day), 0, columns.WidthOf(day, m_days), headerHeight);
        const bool highlighted = current && !(m_style & kPlannerNoTodayFill);
        painter.fillRect(dayRect, colours.color(highlighted ? QPalette::Highlight : QPalette::Dark));
        QColor textColour = colours.color(QPalette::Button);
        if ((m_style & kPlannerRedWeekends) && IsWeekend(*date))
            textColour = kWeekendHeaderText;
        if (current)
            textColour = colours.color(QPalette::HighlightedText);
        // The header's own colours (weekend red on grey) are kept unless they vanish on the fill.
        const QColor fill = colours.color(highlighted ? QPalette::Highlight : QPalette::Dark);
        textColour = ReadableColour(fill, textColour, 2.0);
        const QRect textRect = dayRect.adjusted(0, 2, 0, -2);
        const QString caption = painter.fontMetrics().elidedText(ToQString(PlannerDayCaption(*date)),
                                                                 Qt::ElideRight, textRect.width());
        painter.setPen(textColour);
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, caption);
        painter.setPen(colours.color(QPalette::Shadow));
        painter.drawLine(dayRect.right(), 0, dayRect.right(), height() - 1);
    }
    painter.setPen(colours.color(QPalette::Shadow));
    painter.drawLine(0, headerHeight - 1, clientWidth - 1, headerHeight - 1);
}

void CDayPlannerCtrl::PaintPane(QPainter& painter) {
    EnsurePlaced();
    painter.fillRect(QRect(0, 0, m_pane->viewport()->width(), ContentHeight()),
                     palette().color(QPalette::Base));
    const int rulerWidth = (m_style & kPlannerNoRuler) ? 0 : m_metrics.rulerWidth;
    const PlannerColumns columns = ComputePlannerColumns(DrawingWidth(), rulerWidth, m_days);
    if (!(m_style & kPlannerNoRuler))
        PaintRuler(painter);
    PaintGrid(painter, columns);
    painter.setFont(font());
    const DayPlannerBlock* selected = nullptr;
    for (const DayPlannerBlock& block : m_blocks) {
        if (!block.shown || block.rect.IsEmpty())
            continue;
        if (block.item == m_selected && !selected)
            selected = &block;
        else
            PaintBlock(painter, block);
    }
    // The selected block last, over the others, so that its text can show whole.
    if (selected) {
        DayPlannerBlock whole = *selected;
        whole.rect = DrawnBlockRect(*selected);
        PaintBlock(painter, whole);
    }
    if (m_dragging) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 4));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToQRect(m_dragRect).adjusted(2, 2, -2, -2));
    }
}

void CDayPlannerCtrl::PaintRuler(QPainter& painter) {
    const int hourHeight = m_metrics.hourHeight;
    const int rulerWidth = m_metrics.rulerWidth;
    const QColor text = m_rulerTextColor;
    for (int hour = 0; hour < 24; ++hour) {
        const QRect box(0, hour * hourHeight, rulerWidth, hourHeight);
        painter.fillRect(box, m_rulerColor);
        painter.setPen(text);
        painter.setFont(m_hourFont);
        painter.drawText(box.adjusted(3, 3, -3, -3), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::asprintf("%02d", hour));
        painter.setFont(m_minuteFont);
        // Each minute mark one line below the last, lower where rows grown for a busy day put its
        // time lower.
        for (int slot = 0; slot * m_scale < 60; ++slot) {
            const int minute = slot * m_scale;
            const int down = std::max(slot * m_minuteLineHeight, minute * hourHeight / 60);
            painter.drawText(box.adjusted(3, 1 + down, -3, 0),
                             Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                             QString::asprintf("%02d", minute));
        }
    }
    painter.setPen(m_gridColor);
    painter.drawLine(rulerWidth - 1, 0, rulerWidth - 1, ContentHeight() - 1);
}

void CDayPlannerCtrl::PaintGrid(QPainter& painter, const PlannerColumns& columns) {
    const int drawingWidth = DrawingWidth();
    for (const DayPlannerCell& cell : m_cells) {
        const int hour = cell.time.wHour;
        const bool free = IsWeekend(cell.time) || hour < m_firstWorkHour || hour > m_lastWorkHour;
        // The fill covers the whole row; the grid line then takes its last pixel row.
        const QRect row(cell.rect.left, cell.rect.top, cell.rect.Width(), cell.rect.Height() + 1);
        const QColor& fill = free ? m_freeHourColor : m_workHourColor;
        painter.fillRect(row, fill);
        if (isEnabled() && PlannerSameDay(cell.time, m_date) && hour == m_date.wHour) {
            painter.setPen(QPen(ReadableColour(fill, palette().color(QPalette::Text), 3.0), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(row.adjusted(3, 3, -4, -4));
            painter.drawRect(row.adjusted(4, 4, -5, -5));
        }
        painter.setPen(m_gridColor);
        painter.drawLine(0, cell.rect.bottom, drawingWidth - 1, cell.rect.bottom);
    }
    painter.setPen(m_gridColor);
    for (int day = 0; day < m_days; ++day) {
        const int right = columns.DayLeft(day) + columns.WidthOf(day, m_days) - 1;
        painter.drawLine(right, 0, right, ContentHeight() - 1);
    }
}

void CDayPlannerCtrl::PaintBlock(QPainter& painter, const DayPlannerBlock& block) {
    const DayPlannerItem& item = m_items[static_cast<size_t>(block.item)];
    // The stored rectangle is one pixel short at the bottom; the block is drawn to its full height.
    PlannerRect full = block.rect;
    full.bottom += 1;
    DayPlannerDrawItem offer;
    offer.controlId = ControlIdOf(this);
    offer.itemIndex = block.item;
    offer.selected = block.item == m_selected;
    offer.painter = &painter;
    offer.rect = full;
    offer.itemData = item.data;
    painter.save();
    const bool ownerDrew = m_owner && m_owner->OnPlannerDrawItem(*this, offer);
    painter.restore();
    if (ownerDrew)
        return;

    const QRect area = ToQRect(full);
    const QColor back = ToQColor(item.backColor);
    painter.setPen(ReadableColour(back, palette().color(QPalette::ButtonText), 3.0));
    painter.setBrush(back);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (offer.selected) {
        // The selected block carries a wide frame so the user sees what Edit and Delete act on: in the
        // highlight colour, or black or white where the block is filled much like the highlight.
        painter.setPen(QPen(ReadableColour(back, palette().color(QPalette::Highlight), 3.0), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(area).adjusted(1.5, 1.5, -1.5, -1.5));
    }
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    const int inset = BlockTextInset(item, m_icon);
    if (inset == kIconTextInset)
        painter.drawPixmap(area.left() + 1, area.top() + 1, m_icon);
    // The owner's text colour, unless it cannot be read on the block's fill.
    painter.setPen(ReadableColour(back, ToQColor(item.textColor), 3.0));
    const QString text = ToQString(item.text);
    // The layout makes every block at least one line tall; short ones give up the top margin for it.
    const int margin = std::clamp((area.height() - painter.fontMetrics().height()) / 2, 0, 3);
    DrawWholeLines(painter, area.adjusted(inset, margin, -inset, -margin), text);
    painter.restore();
}

PlannerRect CDayPlannerCtrl::DrawnBlockRect(const DayPlannerBlock& block) const {
    if (block.item != m_selected || block.item < 0 || block.item >= GetItemCount() || block.rect.IsEmpty())
        return block.rect;
    const DayPlannerItem& item = m_items[static_cast<size_t>(block.item)];
    const int inset = BlockTextInset(item, m_icon);
    const QFontMetrics metrics(font());
    const int lines =
        static_cast<int>(WrapLines(font(), block.rect.Width() - 2 * inset, ToQString(item.text)).size());
    const int needed = std::max(lines, 1) * metrics.lineSpacing() + 6;
    // The planner's own block of that item and day: the room below it is judged among its neighbours.
    for (size_t index = 0; index < m_blocks.size(); ++index)
        if (m_blocks[index].item == block.item && PlannerSameDay(m_blocks[index].day, block.day))
            return GrowPlannerBlock(m_blocks, index, needed, ContentHeight());
    return block.rect;
}
