#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTime.h"

#include <cstdint>
#include <optional>
#include <vector>

// The day planner's model and geometry, free of any window: the widget in ui/DayPlanner.h paints what
// these functions compute, and tests call them directly.

// A colour as 0x00BBGGRR.
using COLORREF = uint32_t;
constexpr COLORREF MakeColorRef(int red, int green, int blue) {
    return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int ColorRed(COLORREF color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int ColorGreen(COLORREF color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int ColorBlue(COLORREF color) {
    return static_cast<int>((color >> 16) & 0xFF);
}
// Moves each of red, green and blue `percent` of the way towards 255 (integer arithmetic).
COLORREF LightenColor(COLORREF color, int percent);

// Style bits of the planner.
inline constexpr uint32_t kPlannerFixedDate = 0x1;     // clicks on cells and arrow keys do nothing
inline constexpr uint32_t kPlannerNoHeader = 0x2;      // the pane fills the control
inline constexpr uint32_t kPlannerNoTodayFill = 0x4;   // the current day's header is not highlighted
inline constexpr uint32_t kPlannerNoRuler = 0x8;       // no time ruler
inline constexpr uint32_t kPlannerRedWeekends = 0x20;  // Saturday and Sunday headers in red
inline constexpr uint32_t kPlannerSnapToSlots = 0x40;  // block ends snap to the time scale's slots
inline constexpr uint32_t kPlannerNoDrag = 0x80;       // blocks cannot be dragged
inline constexpr uint32_t kPlannerKeysToOwner = 0x100; // every key is offered to the owner first
inline constexpr uint32_t kPlannerArrowsNeverScroll = 0x200;

// Notification codes sent to the owner.
inline constexpr int kPlannerDateChanged = 1;
inline constexpr int kPlannerSelectionChanged = 2;
inline constexpr int kPlannerMouseReleased = 3;
inline constexpr int kPlannerDoubleClicked = 4;
inline constexpr int kPlannerItemDropped = 5;
inline constexpr int kPlannerRangeChanged = 6;

// The virtual keys the planner understands (and hands to its owner).
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;

// One appointment as the owner hands it over.
struct DayPlannerItem {
    SYSTEMTIME start{};            // where the block begins (seconds are not shown)
    uint16_t minutes = 0;          // length
    COLORREF textColor = 0;        // colour of the block's text
    COLORREF backColor = 0xFFFFFF; // fill of the block
    CString text;                  // drawn inside the block
    CString detail;                // second text, shown in the tooltip
    int icon = 0;                  // nonzero: the owner's image is drawn at the block's top left
    intptr_t data = 0;             // the owner's; never interpreted
};

// A rectangle with exclusive right and bottom edges.
struct PlannerRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PlannerRect&, const PlannerRect&) = default;
};

// One shown hour of one shown day.
struct DayPlannerCell {
    PlannerRect rect;  // content coordinates; the bottom one pixel above the next row
    SYSTEMTIME time{}; // the day at that hour, minute 0
    uint16_t minutes = 60;
};

// One item on one shown day, placed in a lane.
struct DayPlannerBlock {
    int item = -1;
    bool shown = false;
    bool rightNeighbour = false; // a block in a lane to its right overlaps it
    SYSTEMTIME day{};            // 00:00 of the day
    PlannerRect rect;            // set when painted (bottom one pixel short); empty while not drawn
    uint16_t startMinute = 0;    // minute of the day, after clipping and snapping
    uint16_t endMinute = 0;
    uint16_t minutes = 0; // endMinute - startMinute
    int lane = 0;         // 0..kPlannerLanes-1
};

inline constexpr int kPlannerLanes = 5;
// Lanes narrower than this show no block of the day.
inline constexpr int kPlannerMinLaneWidth = 8;

// The date part of `time` at 00:00:00.000 with its day of week filled in.
SYSTEMTIME PlannerDayStart(const SYSTEMTIME& time);
// `time` moved by whole days (negative: back) and hours, day of week filled in; nullopt out of range.
std::optional<SYSTEMTIME> PlannerAddTime(const SYSTEMTIME& time, int days, int hours);
// Same year, month, day, hour, minute and second.
bool PlannerSameTime(const SYSTEMTIME& a, const SYSTEMTIME& b);
bool PlannerSameDay(const SYSTEMTIME& a, const SYSTEMTIME& b);

// The first and last shown day for the current date.
struct PlannerRange {
    SYSTEMTIME start{}; // 00:00:00
    SYSTEMTIME end{};   // the last day at 23:59:59
};
PlannerRange ComputePlannerRange(const SYSTEMTIME& current, int days);
// Whether `time` lies before the range's start or after its end.
bool OutsidePlannerRange(const PlannerRange& range, const SYSTEMTIME& time);

// Lays the items out on the shown days: one block per item and day it touches, in lanes; an item that
// overlaps blocks in every lane is left out on that day. Zero-length items are shown one minute long;
// items shorter than `minimumMinutes` are given that length, and where the day's end cuts such a block
// short it reaches up instead, so that it keeps the minimum.
std::vector<DayPlannerBlock> LayoutPlannerBlocks(const std::vector<DayPlannerItem>& items,
                                                 const SYSTEMTIME& rangeStart, int days, int minimumMinutes,
                                                 uint32_t style, int scale);

// Sizes that follow from the fonts.
struct PlannerFontSizes {
    int windowFontHeight = 0; // tmHeight of the window font
    int hourFontHeight = 0;
    int minuteFontHeight = 0;
    int hourDigitsWidth = 0;   // width of "99" in the hour font
    int minuteDigitsWidth = 0; // width of "99" in the minute font
};
struct PlannerMetrics {
    int headerHeight = 0;
    int rulerWidth = 0;
    int hourHeight = 0;
};
PlannerMetrics ComputePlannerMetrics(const PlannerFontSizes& sizes, int scale);

// The horizontal extent of the shown days inside a drawing width: where the first day starts and each
// day's width (the last takes what is left).
struct PlannerColumns {
    int left = 0;
    int dayWidth = 0;
    int lastDayWidth = 0;
    int DayLeft(int day) const { return left + day * dayWidth; }
    int WidthOf(int day, int days) const { return day == days - 1 ? lastDayWidth : dayWidth; }
};
PlannerColumns ComputePlannerColumns(int drawingWidth, int rulerWidth, int days);

// The 24 cells of each shown day in content coordinates.
std::vector<DayPlannerCell> BuildPlannerCells(const SYSTEMTIME& rangeStart, int days,
                                              const PlannerColumns& columns, int hourHeight);

// Places the blocks of each day into its column: sets each drawn block's rectangle (bottom one pixel
// short) and empties the rectangle of a block that cannot be drawn (its lanes are too narrow).
void PlacePlannerBlocks(std::vector<DayPlannerBlock>& blocks, const SYSTEMTIME& rangeStart, int days,
                        const PlannerColumns& columns, int contentHeight);

// The fewest minutes an item must be given so that its block is at least `height` pixels tall
// wherever it starts on rows `hourHeight` pixels tall.
int PlannerMinutesForHeight(int height, int hourHeight);

// The day's layout as the planner draws it: every item is given at least the minutes one line of text
// takes, so that short appointments next to each other go side by side in lanes rather than on top of
// each other. The hour rows grow from `hourHeight` as far as needed for that minimum to leave out of
// the lanes no item that the plain layout (no minimum) shows.
struct PlannerDayLayout {
    int hourHeight = 0;
    int minimumMinutes = 0;
    std::vector<DayPlannerBlock> blocks;
};
PlannerDayLayout LayoutPlannerDay(const std::vector<DayPlannerItem>& items, const SYSTEMTIME& rangeStart,
                                  int days, uint32_t style, int scale, int hourHeight, int lineHeight);

// The rectangle of blocks[index] grown down to `height` pixels (drawn height) where nothing is in the
// way: never into another drawn block in the same columns, nor past the content's end.
PlannerRect GrowPlannerBlock(const std::vector<DayPlannerBlock>& blocks, size_t index, int height,
                             int contentHeight);

// The keyboard's walk through the appointments of the current date's day in start order. Down
// selects the next item that starts in the current hour; after the hour's last one it moves to the
// next hour and selects that hour's first item (none when no item starts there). Up walks back the
// same way, ending on the previous hour's last item. Left and Right move a day and select the first
// item starting in that hour. nullopt for other keys and at either end of the day.
struct PlannerKeyStep {
    SYSTEMTIME date{};
    int selected = -1;
};
std::optional<PlannerKeyStep> PlannerStepAfterKey(const std::vector<DayPlannerItem>& items,
                                                  const SYSTEMTIME& current, int selected, int virtualKey);

// What a point in content coordinates hits.
struct PlannerHit {
    int index = -1;    // the cell's index, or the block's item index
    SYSTEMTIME time{}; // the cell's time, or the item's start
    PlannerRect rect;
};
std::optional<PlannerHit> HitTestPlannerCells(const std::vector<DayPlannerCell>& cells, int x, int y);
std::optional<PlannerHit> HitTestPlannerBlocks(const std::vector<DayPlannerBlock>& blocks,
                                               const std::vector<DayPlannerItem>& items, int x, int y);

// Where a block dragged to content point (x, y) would land: the cell under the point, the start of
// the slot there, and the cell's rectangle from that slot's top down.
struct PlannerDrop {
    SYSTEMTIME time{};
    PlannerRect rect;
};
std::optional<PlannerDrop> PlannerDropAt(const std::vector<DayPlannerCell>& cells, int x, int y, int scale);

// The current date after an arrow key: Left/Right a day back/on, Up/Down an hour (not past 0 or 23);
// nullopt for any other key or when nothing changes.
std::optional<SYSTEMTIME> PlannerDateAfterKey(const SYSTEMTIME& current, int virtualKey);

// The scroll offset that puts the hour's row at the top, limited to the scrollable range.
int PlannerScrollOffsetForHour(int hour, int hourHeight, int contentHeight, int clientHeight);
// Whether the hour's row lies wholly inside the visible part [offset, offset + clientHeight).
bool PlannerHourRowVisible(int hour, int hourHeight, int offset, int clientHeight);

// The header text of a shown day: "MMM d, yyyy" with its first character upper-cased.
CString PlannerDayCaption(const SYSTEMTIME& day);
// The tooltip of an item: its start as the user's long date and time without seconds, then its text
// and detail, separated by blank lines.
CString PlannerTipText(const DayPlannerItem& item);
