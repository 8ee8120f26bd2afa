#pragma once

#include "ui/calendar/DayPlannerLayout.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;
class CDayPlannerCtrl;
class CDayPlannerPane;

// A block offered to the owner for drawing before the planner draws it itself.
struct DayPlannerDrawItem {
    int controlId = 0;
    int itemIndex = -1;
    bool selected = false;
    QPainter* painter = nullptr; // in pane content coordinates
    PlannerRect rect;
    intptr_t itemData = 0;
};

// What the planner tells the window that owns it.
class DayPlannerOwner {
public:
    virtual ~DayPlannerOwner() = default;
    // A notification (kPlannerDateChanged ... kPlannerRangeChanged) from the control with this id.
    virtual void OnPlannerNotify(CDayPlannerCtrl& planner, int controlId, int code) = 0;
    // A key offered first under kPlannerKeysToOwner; nonzero ends the planner's own handling.
    virtual int OnPlannerKeyToItem(CDayPlannerCtrl& /*planner*/, int /*virtualKey*/) { return 0; }
    // The control got the keyboard focus.
    virtual void OnPlannerSetFocus(CDayPlannerCtrl& /*planner*/) {}
    // True when the owner drew the block itself.
    virtual bool OnPlannerDrawItem(CDayPlannerCtrl& /*planner*/, const DayPlannerDrawItem& /*item*/) {
        return false;
    }
};

// The day planner: a header with the shown day, and below it a vertically scrolling pane (object name
// "WTL_DayPlannerPane") with the time ruler, the hour grid and the appointments as coloured blocks in
// up to five lanes. It knows nothing of the document: the owner hands it items and listens to its
// notifications, which also come as the signal plannerNotified.
class CDayPlannerCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CDayPlannerCtrl(QWidget* parent = nullptr);
    ~CDayPlannerCtrl() override;

    void SetOwner(DayPlannerOwner* owner) { m_owner = owner; }

    // Stores the style bits and returns the previous ones.
    uint32_t SetOption(uint32_t style);
    uint32_t GetOption() const { return m_style; }
    // Accepts 10, 15, 20 or 30 minutes per slot and returns 1; any other value returns 0.
    int SetTimeScale(int minutes);
    int GetTimeScale() const { return m_scale; }
    // The picture drawn at the top left of items with an icon; returns the previous one.
    QPixmap SetImageList(const QPixmap& icon);
    // 0 when the date equals the current one to the second or is no valid date; otherwise stores it,
    // moves the shown range when needed, notifies kPlannerDateChanged and returns 1.
    int SetDate(const SYSTEMTIME& date);
    SYSTEMTIME GetDate() const { return m_date; }
    PlannerRange GetRange() const { return m_range; }

    int AddItem(const DayPlannerItem& item);
    int RemoveAllItems();
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // 0 when index is out of range or out is null; else copies the item and returns 1.
    int GetItem(int index, DayPlannerItem* out) const;
    int GetSelectedIndex() const { return m_selected; }

    const PlannerMetrics& GetMetrics() const { return m_metrics; }
    // The blocks and cells as laid out for the current size (laid out now when needed).
    const std::vector<DayPlannerBlock>& GetBlocks();
    const std::vector<DayPlannerCell>& GetCells();
    // Where a laid-out block (as GetBlocks() gives it) is drawn: its rectangle (bottom one pixel short), but
    // the selected block grows down into the free room below it as far as its whole text needs.
    PlannerRect DrawnBlockRect(const DayPlannerBlock& block) const;
    // The scrolling pane's viewport (what receives the mouse) and its scroll offset.
    QWidget* PaneViewport() const;
    int ScrollOffset() const;
    // The tooltip text for a point of the pane's viewport; empty when no block is there.
    QString TipTextAt(const QPoint& viewportPoint);

signals:
    void plannerNotified(int code);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    friend class CDayPlannerPane;

    void Notify(int code);
    void Invalidate();
    void RecomputeRange();
    void ApplySettings();
    void ApplySize();
    void EnsurePlaced();
    // Rows of a new height, with the time at the top of the view kept there.
    void SetHourHeight(int hourHeight);
    int ScrollBarWidth() const;
    int DrawingWidth() const;
    int ContentHeight() const { return 24 * m_metrics.hourHeight; }
    void HandleKey(int virtualKey, bool shift);
    // Makes the item the selected one, as a press on its block does; notifies a change.
    void SelectItem(int index);
    // The height a block needs for one line of its text.
    int BlockLineHeight() const;

    void PaintPane(QPainter& painter);
    void PaintRuler(QPainter& painter);
    void PaintGrid(QPainter& painter, const PlannerColumns& columns);
    void PaintBlock(QPainter& painter, const DayPlannerBlock& block);

    void PressAt(const QPoint& content);
    void MoveAt(const QPoint& content, bool leftButtonDown);
    void ReleaseAt(const QPoint& content);
    void DoubleClickAt();

    DayPlannerOwner* m_owner = nullptr;
    CDayPlannerPane* m_pane = nullptr;
    uint32_t m_style = 0;
    SYSTEMTIME m_date{};
    PlannerRange m_range;
    int m_days = 1;
    int m_scale = 30;
    int m_firstWorkHour = 8;
    int m_lastWorkHour = 16;
    int m_selected = -1;
    bool m_layoutDirty = true;
    std::vector<DayPlannerItem> m_items;
    std::vector<DayPlannerBlock> m_blocks;
    std::vector<DayPlannerCell> m_cells;
    PlannerMetrics m_metrics; // its hour height grown as the day's layout needs
    int m_baseHourHeight = 0; // the hour height the fonts and the scale give
    QFont m_hourFont;
    QFont m_minuteFont;
    int m_minuteLineHeight = 0;
    QPixmap m_icon;

    QColor m_freeHourColor;
    QColor m_rulerColor;
    QColor m_workHourColor;
    QColor m_gridColor;
    // Texts drawn on the ruler and the hour rows, readable on those fills.
    QColor m_rulerTextColor;
    QColor m_focusColor;

    // A block being dragged: its item, where the press was, whether the drag began, the frame drawn.
    int m_pressedItem = -1;
    QPoint m_pressPoint;
    bool m_dragging = false;
    std::optional<PlannerDrop> m_drop;
    PlannerRect m_dragRect;
};
