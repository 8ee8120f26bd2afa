#include "ui/calendar/DayPlannerLayout.h"

#include "platform/core/DateFormat.h"
#include "platform/core/OleAuto.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr double kMinutesPerDay = 1440.0;

std::optional<double> ToOle(const SYSTEMTIME& time) {
    double value = 0.0;
    if (!SystemTimeToVariantTime(&time, &value))
        return std::nullopt;
    return value;
}

std::optional<SYSTEMTIME> FromOle(double value) {
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(value, &time))
        return std::nullopt;
    return time;
}

// The last second of the day that begins at `dayStart` (OLE scale): an appointment in the day's last
// minute lies within it, so it is shown.
double PlannerDayEnd(double dayStart) {
    return dayStart + 1.0 - 1.0 / 86400.0;
}

int LightenChannel(int channel, int percent) {
    return channel + (255 * percent - percent * channel) / 100;
}

} // namespace

COLORREF LightenColor(COLORREF color, int percent) {
    return MakeColorRef(LightenChannel(ColorRed(color), percent), LightenChannel(ColorGreen(color), percent),
                        LightenChannel(ColorBlue(color), percent));
}

SYSTEMTIME PlannerDayStart(const SYSTEMTIME& time) {
    SYSTEMTIME day = time;
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    if (const auto value = ToOle(day))
        if (const auto normalised = FromOle(*value))
            return *normalised;
    return day;
}

std::optional<SYSTEMTIME> PlannerAddTime(const SYSTEMTIME& time, int days, int hours) {
    const auto value = ToOle(time);
    if (!value)
        return std::nullopt;
    // Whole days and hours on the OLE scale: day-long steps keep the time of day exactly.
    auto moved = FromOle(*value + days + hours / 24.0);
    if (moved)
        moved->wMilliseconds = time.wMilliseconds;
    return moved;
}

bool PlannerSameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

bool PlannerSameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

PlannerRange ComputePlannerRange(const SYSTEMTIME& current, int days) {
    PlannerRange range;
    range.start = PlannerDayStart(current);
    if (days > 1)
        if (const auto moved = PlannerAddTime(range.start, -(days / 2), 0))
            range.start = *moved;
    range.end = range.start;
    if (const auto last = PlannerAddTime(range.start, std::max(days, 1) - 1, 0))
        range.end = *last;
    range.end.wHour = 23;
    range.end.wMinute = 59;
    range.end.wSecond = 59;
    return range;
}

bool OutsidePlannerRange(const PlannerRange& range, const SYSTEMTIME& time) {
    const auto value = ToOle(time);
    const auto start = ToOle(range.start);
    const auto end = ToOle(range.end);
    if (!value || !start || !end)
        return true;
    return *value < *start || *value > *end;
}

std::vector<DayPlannerBlock> LayoutPlannerBlocks(const std::vector<DayPlannerItem>& items,
                                                 const SYSTEMTIME& rangeStart, int days, int minimumMinutes,
                                                 uint32_t style, int scale) {
    std::vector<DayPlannerBlock> blocks;
    const auto firstDay = ToOle(PlannerDayStart(rangeStart));
    if (!firstDay)
        return blocks;
    for (int day = 0; day < days; ++day) {
        const double dayStart = *firstDay + day;
        const double dayEnd = PlannerDayEnd(dayStart);
        const auto daySystemTime = FromOle(dayStart);
        const auto lastInstant = FromOle(dayEnd);
        if (!daySystemTime || !lastInstant)
            continue;
        const int lastMinute = lastInstant->wHour * 60 + lastInstant->wMinute;
        std::array<std::vector<size_t>, kPlannerLanes> lanes; // indexes into blocks

        for (size_t index = 0; index < items.size(); ++index) {
            const DayPlannerItem& item = items[index];
            const auto itemStart = ToOle(item.start);
            if (!itemStart)
                continue;
            int length = std::max<int>(item.minutes, minimumMinutes);
            // A zero-length item still gets a one-minute block, so it stays visible and selectable.
            length = std::max(length, 1);
            const double itemEnd = *itemStart + (length - 1) / kMinutesPerDay;
            if (!(itemEnd >= dayStart && *itemStart <= dayEnd))
                continue;
            const auto clippedStart = FromOle(std::max(*itemStart, dayStart));
            const auto clippedEnd = FromOle(std::min(itemEnd, dayEnd));
            if (!clippedStart || !clippedEnd)
                continue;

            DayPlannerBlock block;
            block.item = static_cast<int>(index);
            block.shown = true;
            block.day = *daySystemTime;
            int startMinute = clippedStart->wHour * 60 + clippedStart->wMinute;
            int endMinute = clippedEnd->wHour * 60 + clippedEnd->wMinute;
            if ((style & kPlannerSnapToSlots) && scale > 0) {
                startMinute -= startMinute % scale;
                const bool onBoundary = endMinute % scale == 0;
                endMinute -= endMinute % scale;
                if (!onBoundary)
                    endMinute += scale - 1;
            }
            // A block cut short by the day's start or end keeps its minimum length: it reaches down,
            // and up where the day ends first.
            if (minimumMinutes > 0 && endMinute - startMinute < minimumMinutes - 1) {
                endMinute = std::max(endMinute, std::min(startMinute + minimumMinutes - 1, lastMinute));
                startMinute = std::max(std::min(startMinute, endMinute - (minimumMinutes - 1)), 0);
            }
            block.startMinute = static_cast<uint16_t>(startMinute);
            block.endMinute = static_cast<uint16_t>(endMinute);
            block.minutes = static_cast<uint16_t>(endMinute - startMinute);

            // The first lane without an overlap takes the block. Blocks it overlaps in lanes before
            // that one have it to their right; one it overlaps in a later lane has it on its left.
            int chosen = -1;
            for (int lane = 0; lane < kPlannerLanes; ++lane) {
                bool overlaps = false;
                for (const size_t other : lanes[static_cast<size_t>(lane)]) {
                    DayPlannerBlock& old = blocks[other];
                    if (block.endMinute >= old.startMinute && old.endMinute >= block.startMinute) {
                        overlaps = true;
                        if (chosen < 0)
                            old.rightNeighbour = true;
                        else
                            block.rightNeighbour = true;
                    }
                }
                if (!overlaps && chosen < 0)
                    chosen = lane;
            }
            if (chosen < 0)
                continue;
            block.lane = chosen;
            lanes[static_cast<size_t>(chosen)].push_back(blocks.size());
            blocks.push_back(block);
        }
    }
    return blocks;
}

PlannerMetrics ComputePlannerMetrics(const PlannerFontSizes& sizes, int scale) {
    PlannerMetrics metrics;
    metrics.headerHeight = sizes.windowFontHeight + 8;
    metrics.rulerWidth = sizes.hourDigitsWidth + sizes.minuteDigitsWidth + 12;
    const int slots = scale > 0 ? 60 / scale : 1;
    metrics.hourHeight = std::max((sizes.minuteFontHeight + 2) * slots, sizes.hourFontHeight + 6);
    return metrics;
}

PlannerColumns ComputePlannerColumns(int drawingWidth, int rulerWidth, int days) {
    PlannerColumns columns;
    columns.left = rulerWidth;
    const int remaining = std::max(drawingWidth - rulerWidth, 0);
    const int count = std::max(days, 1);
    columns.dayWidth = remaining / count;
    columns.lastDayWidth = remaining - columns.dayWidth * (count - 1);
    return columns;
}

std::vector<DayPlannerCell> BuildPlannerCells(const SYSTEMTIME& rangeStart, int days,
                                              const PlannerColumns& columns, int hourHeight) {
    std::vector<DayPlannerCell> cells;
    for (int day = 0; day < days; ++day) {
        const auto date = PlannerAddTime(PlannerDayStart(rangeStart), day, 0);
        if (!date)
            continue;
        const int left = columns.DayLeft(day);
        for (int hour = 0; hour < 24; ++hour) {
            DayPlannerCell cell;
            cell.rect = {left, hour * hourHeight, left + columns.WidthOf(day, days),
                         (hour + 1) * hourHeight - 1};
            cell.time = *date;
            cell.time.wHour = static_cast<uint16_t>(hour);
            cells.push_back(cell);
        }
    }
    return cells;
}

void PlacePlannerBlocks(std::vector<DayPlannerBlock>& blocks, const SYSTEMTIME& rangeStart, int days,
                        const PlannerColumns& columns, int contentHeight) {
    const double pixelsPerMinute = contentHeight / 24.0 / 60.0;
    for (int day = 0; day < days; ++day) {
        const auto date = PlannerAddTime(PlannerDayStart(rangeStart), day, 0);
        if (!date)
            continue;
        int maxLane = -1;
        for (const DayPlannerBlock& block : blocks)
            if (block.shown && PlannerSameDay(block.day, *date))
                maxLane = std::max(maxLane, block.lane);
        if (maxLane < 0)
            continue;
        const int laneWidth = columns.WidthOf(day, days) / (maxLane + 1);
        for (DayPlannerBlock& block : blocks) {
            if (!PlannerSameDay(block.day, *date))
                continue;
            if (!block.shown || laneWidth < kPlannerMinLaneWidth) {
                block.rect = {};
                continue;
            }
            const int width = block.rightNeighbour ? laneWidth : (maxLane - block.lane + 1) * laneWidth;
            const int left = columns.DayLeft(day) + block.lane * laneWidth + 4;
            const int top = static_cast<int>(block.startMinute * pixelsPerMinute);
            const int bottom = static_cast<int>(block.endMinute * pixelsPerMinute);
            block.rect = {left, top, left + width - 8, bottom - 1};
        }
    }
}

std::optional<PlannerHit> HitTestPlannerCells(const std::vector<DayPlannerCell>& cells, int x, int y) {
    for (size_t index = 0; index < cells.size(); ++index)
        if (cells[index].rect.Contains(x, y))
            return PlannerHit{static_cast<int>(index), cells[index].time, cells[index].rect};
    return std::nullopt;
}

std::optional<PlannerHit> HitTestPlannerBlocks(const std::vector<DayPlannerBlock>& blocks,
                                               const std::vector<DayPlannerItem>& items, int x, int y) {
    for (const DayPlannerBlock& block : blocks) {
        if (!block.shown || block.item < 0 || static_cast<size_t>(block.item) >= items.size())
            continue;
        if (block.rect.Contains(x, y))
            return PlannerHit{block.item, items[static_cast<size_t>(block.item)].start, block.rect};
    }
    return std::nullopt;
}

int PlannerMinutesForHeight(int height, int hourHeight) {
    // A block of m minutes spans (m - 1) minutes of pixels, each edge truncated: (m - 1) minutes of at
    // least height + 1 pixels leave at least height pixels whatever the truncation does.
    const int hour = std::max(hourHeight, 1);
    return ((height + 1) * 60 + hour - 1) / hour + 1;
}

namespace {

// The items each day shows, as (item, day) pairs in a fixed order.
std::vector<std::pair<int, double>> ShownItems(const std::vector<DayPlannerBlock>& blocks) {
    std::vector<std::pair<int, double>> shown;
    for (const DayPlannerBlock& block : blocks)
        if (block.shown)
            shown.emplace_back(block.item, ToOle(block.day).value_or(0.0));
    std::sort(shown.begin(), shown.end());
    return shown;
}

} // namespace

PlannerDayLayout LayoutPlannerDay(const std::vector<DayPlannerItem>& items, const SYSTEMTIME& rangeStart,
                                  int days, uint32_t style, int scale, int hourHeight, int lineHeight) {
    const auto plain = ShownItems(LayoutPlannerBlocks(items, rangeStart, days, 0, style, scale));
    PlannerDayLayout layout;
    layout.hourHeight = std::max(hourHeight, 1);
    for (;;) {
        layout.minimumMinutes = PlannerMinutesForHeight(lineHeight, layout.hourHeight);
        layout.blocks = LayoutPlannerBlocks(items, rangeStart, days, layout.minimumMinutes, style, scale);
        const auto shown = ShownItems(layout.blocks);
        // Two minutes is as short as a block with a line of text can be; closer items keep the lanes
        // the plain layout would give them no better.
        if (layout.minimumMinutes <= 2 ||
            std::includes(shown.begin(), shown.end(), plain.begin(), plain.end()))
            return layout;
        // The lowest row height at which items get one minute less.
        const int fewer = layout.minimumMinutes - 1;
        layout.hourHeight =
            std::max(layout.hourHeight + 1, ((lineHeight + 1) * 60 + fewer - 2) / (fewer - 1));
    }
}

PlannerRect GrowPlannerBlock(const std::vector<DayPlannerBlock>& blocks, size_t index, int height,
                             int contentHeight) {
    const auto drawn = [](const DayPlannerBlock& block) { return block.shown && !block.rect.IsEmpty(); };
    const DayPlannerBlock& block = blocks[index];
    PlannerRect rect = block.rect;
    // The stored bottom is one pixel short of the block's drawn bottom.
    if (!drawn(block) || rect.Height() + 1 >= height)
        return rect;
    int bottom = std::min(rect.top + height, contentHeight);
    // Drawn blocks never overlap, so any block in the same columns that starts below this one's top
    // lies wholly below it.
    for (const DayPlannerBlock& other : blocks) {
        if (&other == &block || !drawn(other) || other.rect.top < rect.top)
            continue;
        if (other.rect.left < rect.right && rect.left < other.rect.right)
            bottom = std::min(bottom, other.rect.top);
    }
    rect.bottom = std::max(rect.bottom, bottom - 1);
    return rect;
}

namespace {

// The minute of `day` at which the item begins there (0 for one that began on an earlier day and
// still lasts); nullopt when it does not touch the day.
std::optional<int> StartMinuteOnDay(const DayPlannerItem& item, const SYSTEMTIME& day) {
    const auto dayStart = ToOle(PlannerDayStart(day));
    const auto start = ToOle(item.start);
    if (!dayStart || !start)
        return std::nullopt;
    const double end = *start + (std::max<int>(item.minutes, 1) - 1) / kMinutesPerDay;
    if (end < *dayStart || *start > PlannerDayEnd(*dayStart))
        return std::nullopt;
    if (*start < *dayStart)
        return 0;
    return item.start.wHour * 60 + item.start.wMinute;
}

// The items that begin in the hour of `time` on its day, in start order (item order among equals).
std::vector<int> ItemsStartingInHour(const std::vector<DayPlannerItem>& items, const SYSTEMTIME& time) {
    std::vector<std::pair<int, int>> starts; // (minute, item)
    for (size_t index = 0; index < items.size(); ++index)
        if (const auto minute = StartMinuteOnDay(items[index], time); minute && *minute / 60 == time.wHour)
            starts.emplace_back(*minute, static_cast<int>(index));
    std::sort(starts.begin(), starts.end());
    std::vector<int> order;
    for (const auto& start : starts)
        order.push_back(start.second);
    return order;
}

} // namespace

std::optional<PlannerKeyStep> PlannerStepAfterKey(const std::vector<DayPlannerItem>& items,
                                                  const SYSTEMTIME& current, int selected, int virtualKey) {
    const std::vector<int> hour = ItemsStartingInHour(items, current);
    const auto at = std::find(hour.begin(), hour.end(), selected);
    const int position = at == hour.end() ? -1 : static_cast<int>(at - hour.begin());
    if (virtualKey == VK_DOWN && position + 1 < std::ssize(hour))
        return PlannerKeyStep{current, hour[static_cast<size_t>(position + 1)]};
    if (virtualKey == VK_UP && position > 0)
        return PlannerKeyStep{current, hour[static_cast<size_t>(position - 1)]};
    const auto date = PlannerDateAfterKey(current, virtualKey);
    if (!date)
        return std::nullopt;
    const std::vector<int> next = ItemsStartingInHour(items, *date);
    if (next.empty())
        return PlannerKeyStep{*date, -1};
    return PlannerKeyStep{*date, virtualKey == VK_UP ? next.back() : next.front()};
}

std::optional<PlannerDrop> PlannerDropAt(const std::vector<DayPlannerCell>& cells, int x, int y, int scale) {
    const auto cell = HitTestPlannerCells(cells, x, y);
    if (!cell || scale <= 0)
        return std::nullopt;
    const int slots = 60 / scale;
    const int slotHeight = std::max(cell->rect.Height() / slots, 1);
    // The few pixels left over at the bottom of the cell belong to its last slot.
    const int slot = std::min((y - cell->rect.top) / slotHeight, slots - 1);
    PlannerDrop drop;
    drop.time = cell->time;
    drop.time.wMinute = static_cast<uint16_t>(slot * scale);
    drop.rect = cell->rect;
    drop.rect.top = cell->rect.top + slot * slotHeight;
    return drop;
}

std::optional<SYSTEMTIME> PlannerDateAfterKey(const SYSTEMTIME& current, int virtualKey) {
    switch (virtualKey) {
    case VK_LEFT:
        return PlannerAddTime(current, -1, 0);
    case VK_RIGHT:
        return PlannerAddTime(current, 1, 0);
    case VK_UP:
        if (current.wHour == 0)
            return std::nullopt;
        return PlannerAddTime(current, 0, -1);
    case VK_DOWN:
        if (current.wHour == 23)
            return std::nullopt;
        return PlannerAddTime(current, 0, 1);
    default:
        return std::nullopt;
    }
}

int PlannerScrollOffsetForHour(int hour, int hourHeight, int contentHeight, int clientHeight) {
    const int maximum = std::max(contentHeight - clientHeight, 0);
    return std::clamp(hour * hourHeight, 0, maximum);
}

bool PlannerHourRowVisible(int hour, int hourHeight, int offset, int clientHeight) {
    const int top = hour * hourHeight;
    return top >= offset && top + hourHeight <= offset + clientHeight;
}

CString PlannerDayCaption(const SYSTEMTIME& day) {
    CString caption = FormatDatePicture(day, "MMM d, yyyy");
    if (!caption.IsEmpty())
        caption.SetAt(0, static_cast<char>(std::toupper(static_cast<unsigned char>(caption.GetAt(0)))));
    return caption;
}

CString PlannerTipText(const DayPlannerItem& item) {
    const CString date = FormatDatePicture(item.start, nullptr, DATE_LONGDATE);
    const CString time = FormatTimePicture(item.start, nullptr, TIME_NOSECONDS);
    CString tip;
    tip.Format("%s %s", date.c_str(), time.c_str());
    tip += "\r\n\r\n";
    tip += item.text;
    tip += "\r\n\r\n";
    tip += item.detail;
    return tip;
}
