#include "platform/core/Registry.h"
#include "platform/qt/ChromeColors.h"
#include "platform/qt/Controls.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/calendar/DayPlanner.h"
#include "ui/calendar/DayPlannerLayout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

SYSTEMTIME MakeTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME time{};
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    return time;
}

// The shown day of most tests: Thursday, 10 December 2026.
const SYSTEMTIME kDay = MakeTime(2026, 12, 10);

DayPlannerItem Item(int hour, int minute, int minutes, const char* text = "", SYSTEMTIME day = kDay) {
    DayPlannerItem item;
    item.start = day;
    item.start.wHour = static_cast<uint16_t>(hour);
    item.start.wMinute = static_cast<uint16_t>(minute);
    item.minutes = static_cast<uint16_t>(minutes);
    item.text = text;
    item.detail = text;
    return item;
}

std::vector<DayPlannerBlock> Layout(const std::vector<DayPlannerItem>& items, uint32_t style = 0,
                                    int scale = 30, int minimum = 0) {
    return LayoutPlannerBlocks(items, kDay, 1, minimum, style, scale);
}

// ---- colours and metrics ----

TEST(DayPlannerColours, LighteningMovesEachChannelTowardsWhite) {
    // c + (3825 - 15c) / 100 for 15 percent; c + (6375 - 25c) / 100 for 25 percent.
    EXPECT_EQ(LightenColor(MakeColorRef(128, 128, 128), 15), MakeColorRef(147, 147, 147));
    EXPECT_EQ(LightenColor(MakeColorRef(255, 255, 225), 25), MakeColorRef(255, 255, 232));
    EXPECT_EQ(LightenColor(MakeColorRef(0, 10, 200), 15), MakeColorRef(38, 46, 208));
    EXPECT_EQ(LightenColor(MakeColorRef(64, 64, 64), 15), MakeColorRef(92, 92, 92));
}

TEST(DayPlannerMetrics, HeaderRulerAndHourFollowTheFontsAndTheScale) {
    PlannerFontSizes sizes;
    sizes.windowFontHeight = 13;
    sizes.hourFontHeight = 27;
    sizes.minuteFontHeight = 13;
    sizes.hourDigitsWidth = 26;
    sizes.minuteDigitsWidth = 12;
    struct Case {
        int scale;
        int hourHeight;
    };
    // (13 + 2) x slots, but never below 27 + 6.
    for (const Case c : {Case{30, 33}, Case{20, 45}, Case{15, 60}, Case{10, 90}}) {
        const PlannerMetrics metrics = ComputePlannerMetrics(sizes, c.scale);
        EXPECT_EQ(metrics.headerHeight, 21);
        EXPECT_EQ(metrics.rulerWidth, 50);
        EXPECT_EQ(metrics.hourHeight, c.hourHeight) << "scale " << c.scale;
    }
}

// ---- lane assignment ----

struct Expected {
    int item;
    int lane;
    bool rightNeighbour;
    int startMinute;
    int endMinute;
};

struct LaneCase {
    const char* name;
    std::vector<DayPlannerItem> items;
    std::vector<Expected> blocks;
};

TEST(DayPlannerLayout, LaneTable) {
    const LaneCase cases[] = {
        {"a later block spans the lanes its neighbours left free",
         {Item(9, 0, 60), Item(9, 30, 60), Item(11, 0, 60)},
         {{0, 0, true, 540, 599}, {1, 1, false, 570, 629}, {2, 0, false, 660, 719}}},
        {"a block overlapping one in a later lane has a right neighbour",
         {Item(9, 0, 60), Item(9, 30, 60), Item(10, 15, 45)},
         {{0, 0, true, 540, 599}, {1, 1, false, 570, 629}, {2, 0, true, 615, 659}}},
        {"touching ends do not overlap: the end is the last minute inside",
         {Item(9, 0, 60), Item(10, 0, 60)},
         {{0, 0, false, 540, 599}, {1, 0, false, 600, 659}}},
        {"one shared minute is an overlap",
         {Item(9, 0, 61), Item(10, 0, 60)},
         {{0, 0, true, 540, 600}, {1, 1, false, 600, 659}}},
        {"a nested block takes the next lane",
         {Item(9, 0, 180), Item(10, 0, 60)},
         {{0, 0, true, 540, 719}, {1, 1, false, 600, 659}}},
        {"same start, same length",
         {Item(14, 0, 30), Item(14, 0, 30), Item(14, 0, 30)},
         {{0, 0, true, 840, 869}, {1, 1, true, 840, 869}, {2, 2, false, 840, 869}}},
        {"a sixth block overlapping five is left out",
         {Item(8, 0, 60), Item(8, 0, 60), Item(8, 0, 60), Item(8, 0, 60), Item(8, 0, 60), Item(8, 30, 10)},
         {{0, 0, true, 480, 539},
          {1, 1, true, 480, 539},
          {2, 2, true, 480, 539},
          {3, 3, true, 480, 539},
          {4, 4, true, 480, 539}}},
        {"out-of-hours items are laid out like any other",
         {Item(0, 0, 30), Item(22, 0, 60)},
         {{0, 0, false, 0, 29}, {1, 0, false, 1320, 1379}}},
        {"the day ends at 23:59:59", {Item(23, 0, 180)}, {{0, 0, false, 1380, 1439}}},
        {"a whole-day item ends in the last minute too", {Item(0, 0, 1440)}, {{0, 0, false, 0, 1439}}},
        {"an item in the day's last minute is shown", {Item(23, 59, 0)}, {{0, 0, false, 1439, 1439}}},
        {"an item from the day before is clipped at midnight",
         {Item(23, 0, 180, "", MakeTime(2026, 12, 9)), Item(1, 0, 30)},
         {{0, 0, true, 0, 119}, {1, 1, false, 60, 89}}},
        {"items of other days are not shown",
         {Item(9, 0, 60, "", MakeTime(2026, 12, 11)), Item(9, 0, 60, "", MakeTime(2026, 12, 9))},
         {}},
        {"a zero-length item gets one minute",
         {Item(9, 0, 0), Item(9, 0, 30)},
         {{0, 0, true, 540, 540}, {1, 1, false, 540, 569}}},
    };
    for (const LaneCase& c : cases) {
        const std::vector<DayPlannerBlock> blocks = Layout(c.items);
        ASSERT_EQ(blocks.size(), c.blocks.size()) << c.name;
        for (size_t i = 0; i < blocks.size(); ++i) {
            const DayPlannerBlock& got = blocks[i];
            const Expected& want = c.blocks[i];
            EXPECT_EQ(got.item, want.item) << c.name << " block " << i;
            EXPECT_EQ(got.lane, want.lane) << c.name << " block " << i;
            EXPECT_EQ(got.rightNeighbour, want.rightNeighbour) << c.name << " block " << i;
            EXPECT_EQ(got.startMinute, want.startMinute) << c.name << " block " << i;
            EXPECT_EQ(got.endMinute, want.endMinute) << c.name << " block " << i;
            EXPECT_EQ(got.minutes, want.endMinute - want.startMinute) << c.name << " block " << i;
            EXPECT_TRUE(got.shown);
            EXPECT_TRUE(PlannerSameDay(got.day, kDay));
        }
    }
}

TEST(DayPlannerLayout, SnappingRoundsTheStartDownAndTheEndToItsSlotsLastMinute) {
    const auto blocks = Layout({Item(9, 10, 30), Item(11, 0, 30), Item(13, 5, 1)}, kPlannerSnapToSlots, 15);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].startMinute, 540); // 9:10 -> 9:00
    EXPECT_EQ(blocks[0].endMinute, 584);   // 9:39 -> 9:44
    EXPECT_EQ(blocks[1].startMinute, 660);
    EXPECT_EQ(blocks[1].endMinute, 689);   // 11:29 -> 11:29 (already the slot's last minute: 11:15 + 14)
    EXPECT_EQ(blocks[2].startMinute, 780); // 13:05 -> 13:00
    EXPECT_EQ(blocks[2].endMinute, 794);
    // An end exactly on a slot boundary stays there.
    const auto onBoundary = Layout({Item(9, 0, 31)}, kPlannerSnapToSlots, 30);
    ASSERT_EQ(onBoundary.size(), 1u);
    EXPECT_EQ(onBoundary[0].endMinute, 570);
}

TEST(DayPlannerLayout, MinimumLengthLengthensShortItems) {
    const auto blocks = Layout({Item(9, 0, 5), Item(9, 20, 5)}, 0, 30, 30);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].endMinute, 569);
    EXPECT_EQ(blocks[1].lane, 1);
}

// ---- placement ----

TEST(DayPlannerPlacement, WidthsFollowLanesAndNeighbours) {
    const PlannerColumns columns = ComputePlannerColumns(240, 40, 1);
    EXPECT_EQ(columns.left, 40);
    EXPECT_EQ(columns.dayWidth, 200);

    struct Case {
        std::vector<DayPlannerItem> items;
        std::vector<int> laneWidths; // in lanes
    };
    const Case cases[] = {
        {{Item(9, 0, 60), Item(9, 30, 60), Item(11, 0, 60)}, {1, 1, 2}},
        {{Item(9, 0, 60), Item(9, 30, 60), Item(10, 15, 45)}, {1, 1, 1}},
        {{Item(9, 0, 60)}, {1}},
    };
    for (const Case& c : cases) {
        auto blocks = Layout(c.items);
        PlacePlannerBlocks(blocks, kDay, 1, columns, 24 * 60); // one pixel per minute
        int maxLane = 0;
        for (const auto& block : blocks)
            maxLane = std::max(maxLane, block.lane);
        const int laneWidth = 200 / (maxLane + 1);
        ASSERT_EQ(blocks.size(), c.laneWidths.size());
        for (size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_EQ(blocks[i].rect.left, 40 + blocks[i].lane * laneWidth + 4);
            EXPECT_EQ(blocks[i].rect.Width(), c.laneWidths[i] * laneWidth - 8) << "block " << i;
            EXPECT_EQ(blocks[i].rect.top, blocks[i].startMinute);
            EXPECT_EQ(blocks[i].rect.bottom, blocks[i].endMinute - 1);
        }
    }
}

TEST(DayPlannerPlacement, TooNarrowLanesShowNoBlockOfTheDay) {
    std::vector<DayPlannerItem> items;
    for (int i = 0; i < 5; ++i)
        items.push_back(Item(9, 0, 60));
    items.push_back(Item(15, 0, 60)); // not overlapping, but on the same narrow day
    auto blocks = Layout(items);
    // 39 pixels / 5 lanes = 7 < 8.
    PlacePlannerBlocks(blocks, kDay, 1, ComputePlannerColumns(79, 40, 1), 1440);
    for (const auto& block : blocks)
        EXPECT_TRUE(block.rect.IsEmpty());
    EXPECT_FALSE(HitTestPlannerBlocks(blocks, items, 45, 560).has_value());
    // 100 pixels give 20-pixel lanes: the blocks are drawn.
    PlacePlannerBlocks(blocks, kDay, 1, ComputePlannerColumns(140, 40, 1), 1440);
    EXPECT_FALSE(blocks.front().rect.IsEmpty());
}

// ---- cells, hit testing, dropping ----

TEST(DayPlannerHitTest, CellsBlocksAndTheLinesBetween) {
    const PlannerColumns columns = ComputePlannerColumns(240, 40, 1);
    const auto cells = BuildPlannerCells(kDay, 1, columns, 30);
    ASSERT_EQ(cells.size(), 24u);
    EXPECT_EQ(cells[9].rect, (PlannerRect{40, 270, 240, 299}));
    EXPECT_EQ(cells[9].time.wHour, 9);
    EXPECT_EQ(cells[9].time.wMinute, 0);
    EXPECT_EQ(cells[9].minutes, 60);

    const auto cell = HitTestPlannerCells(cells, 100, 285);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->index, 9);
    EXPECT_TRUE(PlannerSameTime(cell->time, MakeTime(2026, 12, 10, 9)));
    EXPECT_FALSE(HitTestPlannerCells(cells, 100, 299)); // the grid line under the row
    EXPECT_FALSE(HitTestPlannerCells(cells, 20, 285));  // the ruler

    const std::vector<DayPlannerItem> items = {Item(9, 0, 60, "a"), Item(9, 30, 60, "b")};
    auto blocks = Layout(items);
    PlacePlannerBlocks(blocks, kDay, 1, columns, 24 * 30);
    const auto first = HitTestPlannerBlocks(blocks, items, 50, 275);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->index, 0);
    EXPECT_TRUE(PlannerSameTime(first->time, items[0].start));
    const auto second = HitTestPlannerBlocks(blocks, items, 150, 300);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->index, 1);
    EXPECT_FALSE(HitTestPlannerBlocks(blocks, items, 150, 275)); // right of the first, above the second
    EXPECT_FALSE(HitTestPlannerBlocks(blocks, items, 42, 275));  // the gap left of a block
}

TEST(DayPlannerHitTest, DropLandsOnTheSlotUnderThePoint) {
    const auto cells = BuildPlannerCells(kDay, 1, ComputePlannerColumns(240, 40, 1), 61);
    // Cell 10: rows 610..669 (60 high), two 30-pixel slots of 30 minutes.
    const auto top = PlannerDropAt(cells, 100, 615, 30);
    ASSERT_TRUE(top);
    EXPECT_TRUE(PlannerSameTime(top->time, MakeTime(2026, 12, 10, 10, 0)));
    EXPECT_EQ(top->rect, (PlannerRect{40, 610, 240, 670}));
    const auto lower = PlannerDropAt(cells, 100, 645, 30);
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->time.wMinute, 30);
    EXPECT_EQ(lower->rect.top, 640);
    // Cell 10 is 60 pixels high: four 15-pixel slots of 15 minutes, the last pixel in the last one.
    const auto last = PlannerDropAt(cells, 100, 669, 15);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->time.wMinute, 45);
    // A 59-pixel cell has three 19-pixel slots of 20 minutes; its last two rows belong to the third.
    const auto cells59 = BuildPlannerCells(kDay, 1, ComputePlannerColumns(240, 40, 1), 60);
    const auto leftover = PlannerDropAt(cells59, 100, 600 + 58, 20);
    ASSERT_TRUE(leftover);
    EXPECT_EQ(leftover->time.wMinute, 40);
    EXPECT_FALSE(PlannerDropAt(cells, 10, 615, 30)); // over the ruler
}

// ---- dates, keys, scrolling, texts ----

TEST(DayPlannerKeys, ArrowsMoveByDayAndHourWithinTheDay) {
    const SYSTEMTIME start = MakeTime(2026, 12, 31, 9, 30);
    struct Case {
        int key;
        std::optional<SYSTEMTIME> expected;
    };
    const Case cases[] = {
        {VK_LEFT, MakeTime(2026, 12, 30, 9, 30)},
        {VK_RIGHT, MakeTime(2027, 1, 1, 9, 30)},
        {VK_UP, MakeTime(2026, 12, 31, 8, 30)},
        {VK_DOWN, MakeTime(2026, 12, 31, 10, 30)},
        {VK_TAB, std::nullopt},
        {'A', std::nullopt},
    };
    for (const Case& c : cases) {
        const auto got = PlannerDateAfterKey(start, c.key);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << "key " << c.key;
        if (got) {
            EXPECT_TRUE(PlannerSameTime(*got, *c.expected)) << "key " << c.key;
        }
    }
    EXPECT_FALSE(PlannerDateAfterKey(MakeTime(2026, 12, 31, 0, 15), VK_UP));
    EXPECT_FALSE(PlannerDateAfterKey(MakeTime(2026, 12, 31, 23, 15), VK_DOWN));
    EXPECT_TRUE(PlannerDateAfterKey(MakeTime(2026, 12, 31, 23, 15), VK_UP));
}

TEST(DayPlannerScrolling, OffsetPutsTheHourOnTopWithinTheRange) {
    EXPECT_EQ(PlannerScrollOffsetForHour(9, 30, 720, 300), 270);
    EXPECT_EQ(PlannerScrollOffsetForHour(20, 30, 720, 300), 420);
    EXPECT_EQ(PlannerScrollOffsetForHour(5, 30, 720, 900), 0);
    EXPECT_TRUE(PlannerHourRowVisible(9, 30, 270, 30));
    EXPECT_FALSE(PlannerHourRowVisible(9, 30, 271, 30));
    EXPECT_FALSE(PlannerHourRowVisible(9, 30, 0, 299));
    EXPECT_TRUE(PlannerHourRowVisible(9, 30, 0, 300));
}

TEST(DayPlannerRange, OneDayFromMidnightToTheLastSecond) {
    const PlannerRange range = ComputePlannerRange(MakeTime(2026, 12, 10, 14, 37, 12), 1);
    EXPECT_TRUE(PlannerSameTime(range.start, MakeTime(2026, 12, 10)));
    EXPECT_TRUE(PlannerSameTime(range.end, MakeTime(2026, 12, 10, 23, 59, 59)));
    EXPECT_EQ(range.start.wDayOfWeek, 4); // Thursday
    EXPECT_FALSE(OutsidePlannerRange(range, MakeTime(2026, 12, 10, 23, 59, 59)));
    EXPECT_TRUE(OutsidePlannerRange(range, MakeTime(2026, 12, 11)));
    EXPECT_TRUE(OutsidePlannerRange(range, MakeTime(2026, 12, 9, 23, 59, 59)));
    // Three days centre on the current one.
    const PlannerRange three = ComputePlannerRange(MakeTime(2026, 12, 1, 8), 3);
    EXPECT_TRUE(PlannerSameTime(three.start, MakeTime(2026, 11, 30)));
    EXPECT_TRUE(PlannerSameTime(three.end, MakeTime(2026, 12, 2, 23, 59, 59)));
}

class DayPlannerTexts : public ::testing::Test {
protected:
    void SetUp() override {
        m_registry.WriteString("Control Panel\\International", "sLongDate", "dddd, MMMM dd, yyyy");
        SetRegistry(&m_registry);
    }
    void TearDown() override { SetRegistry(nullptr); }
    MemoryRegistry m_registry;
};

TEST_F(DayPlannerTexts, CaptionAndTooltip) {
    EXPECT_EQ(std::string(PlannerDayCaption(MakeTime(2026, 12, 10))), "Dec 10, 2026");
    EXPECT_EQ(std::string(PlannerDayCaption(MakeTime(2027, 1, 3))), "Jan 3, 2027");
    DayPlannerItem item = Item(14, 5, 30, "Dentist");
    item.start.wSecond = 40;
    item.detail = "Bring the card";
    EXPECT_EQ(std::string(PlannerTipText(item)),
              "Thursday, December 10, 2026 2:05 PM\r\n\r\nDentist\r\n\r\nBring the card");
}

// ---- the widget ----

struct Recorder : DayPlannerOwner {
    std::vector<int> codes;
    std::vector<int> ids;
    std::vector<int> keys;
    std::vector<int> selectionAtNotify;
    std::vector<DayPlannerDrawItem> drawn;
    int keyAnswer = 0;
    int focusReports = 0;
    bool drawItself = false;

    void OnPlannerNotify(CDayPlannerCtrl& planner, int controlId, int code) override {
        codes.push_back(code);
        ids.push_back(controlId);
        selectionAtNotify.push_back(planner.GetSelectedIndex());
    }
    void OnPlannerSetFocus(CDayPlannerCtrl&) override { ++focusReports; }
    int OnPlannerKeyToItem(CDayPlannerCtrl&, int virtualKey) override {
        keys.push_back(virtualKey);
        return keyAnswer;
    }
    bool OnPlannerDrawItem(CDayPlannerCtrl&, const DayPlannerDrawItem& item) override {
        drawn.push_back(item);
        if (drawItself)
            item.painter->fillRect(item.rect.left, item.rect.top, item.rect.Width(), item.rect.Height(),
                                   Qt::green);
        return drawItself;
    }
};

class DayPlannerWidget : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        m_registry.WriteString("Control Panel\\International", "sLongDate", "dddd, MMMM dd, yyyy");
        SetRegistry(&m_registry);
        SetLocalTimeForTesting(MakeTime(2026, 12, 10, 9, 20));
        m_planner = std::make_unique<CDayPlannerCtrl>();
        SetControlId(m_planner.get(), 1002);
        m_planner->SetOwner(&m_owner);
        m_planner->resize(420, 480);
    }
    void TearDown() override {
        m_planner.reset();
        SetLocalTimeForTesting(std::nullopt);
        SetRegistry(nullptr);
    }

    void ShowAndPaint() {
        m_planner->show();
        QApplication::processEvents();
        (void)m_planner->grab();
    }
    // A point of the pane's viewport inside a block, a little below its top edge.
    QPoint BlockPoint(int item) {
        for (const auto& block : m_planner->GetBlocks())
            if (block.item == item) {
                const int x = (block.rect.left + block.rect.right) / 2;
                const int y = block.rect.top + 3 - m_planner->ScrollOffset();
                return {x, y};
            }
        ADD_FAILURE() << "no block for item " << item;
        return {};
    }
    QPoint CellPoint(int hour, int dy = 5) {
        const auto& cell = m_planner->GetCells()[static_cast<size_t>(hour)];
        return {cell.rect.right - 3, cell.rect.top + dy - m_planner->ScrollOffset()};
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton) {
        QWidget* viewport = m_planner->PaneViewport();
        QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    void Click(QPoint at) {
        Mouse(QEvent::MouseButtonPress, at);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(m_planner.get(), &press);
    }
    QScrollBar* VerticalBar() {
        for (QScrollBar* bar : m_planner->findChildren<QScrollBar*>())
            if (bar->orientation() == Qt::Vertical)
                return bar;
        ADD_FAILURE() << "no vertical scroll bar";
        return nullptr;
    }
    void AddSampleDay() {
        m_planner->AddItem(Item(9, 0, 60, "Team meeting"));
        m_planner->AddItem(Item(9, 30, 60, "Call the bank"));
        m_planner->AddItem(Item(11, 0, 60, "Lunch with Anna"));
    }

    MemoryRegistry m_registry;
    Recorder m_owner;
    std::unique_ptr<CDayPlannerCtrl> m_planner;
};

TEST_F(DayPlannerWidget, StartsOnTheLocalTimeWithTheInitialState) {
    EXPECT_NE(m_planner->findChild<QWidget*>(QStringLiteral("WTL_DayPlannerPane")), nullptr);
    EXPECT_TRUE(PlannerSameTime(m_planner->GetDate(), MakeTime(2026, 12, 10, 9, 20)));
    EXPECT_TRUE(PlannerSameTime(m_planner->GetRange().start, kDay));
    EXPECT_EQ(m_planner->GetTimeScale(), 30);
    EXPECT_EQ(m_planner->GetOption(), 0u);
    EXPECT_EQ(m_planner->GetSelectedIndex(), -1);
    EXPECT_EQ(m_planner->GetItemCount(), 0);
}

TEST_F(DayPlannerWidget, TimeScaleAcceptsOnlyItsFourValues) {
    const int hourAt30 = m_planner->GetMetrics().hourHeight;
    EXPECT_EQ(m_planner->SetTimeScale(25), 0);
    EXPECT_EQ(m_planner->GetTimeScale(), 30);
    EXPECT_EQ(m_planner->SetTimeScale(0x10000 | 15), 1); // the low word counts
    EXPECT_EQ(m_planner->GetTimeScale(), 15);
    EXPECT_GE(m_planner->GetMetrics().hourHeight, hourAt30);
    for (int scale : {10, 20, 30})
        EXPECT_EQ(m_planner->SetTimeScale(scale), 1);
    EXPECT_EQ(m_planner->SetTimeScale(60), 0);
    EXPECT_EQ(m_planner->SetOption(386), 0u);
    EXPECT_EQ(m_planner->SetOption(0), 386u);
}

TEST_F(DayPlannerWidget, SetDateNotifiesOnlyRealChangesAndMovesTheRange) {
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 12, 10, 9, 20)), 0);
    EXPECT_TRUE(m_owner.codes.empty());
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 12, 10, 15, 0)), 1);
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerDateChanged}));
    EXPECT_EQ(m_owner.ids, (std::vector<int>{1002}));
    m_owner.codes.clear();
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 12, 12, 0, 0)), 1);
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerRangeChanged, kPlannerDateChanged}));
    EXPECT_TRUE(PlannerSameTime(m_planner->GetRange().start, MakeTime(2026, 12, 12)));
}

TEST_F(DayPlannerWidget, AnInvalidDateIsRefused) {
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 13, 1, 9)), 0);
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 4, 31, 9)), 0);
    EXPECT_EQ(m_planner->SetDate(MakeTime(2026, 12, 10, 24)), 0);
    EXPECT_TRUE(m_owner.codes.empty());
    EXPECT_TRUE(PlannerSameTime(m_planner->GetDate(), MakeTime(2026, 12, 10, 9, 20)));
}

TEST_F(DayPlannerWidget, ItemsAreCopiedAndReadBack) {
    AddSampleDay();
    EXPECT_EQ(m_planner->GetItemCount(), 3);
    DayPlannerItem out;
    EXPECT_EQ(m_planner->GetItem(1, &out), 1);
    EXPECT_EQ(std::string(out.text), "Call the bank");
    EXPECT_EQ(m_planner->GetItem(3, &out), 0);
    EXPECT_EQ(m_planner->GetItem(-1, &out), 0);
    EXPECT_EQ(m_planner->GetItem(0, nullptr), 0);
    EXPECT_EQ(m_planner->GetBlocks().size(), 3u);
    EXPECT_EQ(m_planner->RemoveAllItems(), 1);
    EXPECT_EQ(m_planner->GetItemCount(), 0);
    EXPECT_TRUE(m_planner->GetBlocks().empty());
}

TEST_F(DayPlannerWidget, ScrollsTheCurrentHourToTheTop) {
    ShowAndPaint();
    EXPECT_EQ(m_planner->ScrollOffset(), 9 * m_planner->GetMetrics().hourHeight);
}

TEST_F(DayPlannerWidget, PressOnABlockSetsTheDateThenSelects) {
    m_planner->SetOption(386);
    AddSampleDay();
    ShowAndPaint();
    m_owner.codes.clear();
    m_owner.selectionAtNotify.clear();

    Mouse(QEvent::MouseButtonPress, BlockPoint(1));
    // The date follows the cell under the block (notification 1 while the old selection still holds),
    // then the selection changes.
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerDateChanged, kPlannerSelectionChanged}));
    EXPECT_EQ(m_owner.selectionAtNotify, (std::vector<int>{-1, 1}));
    EXPECT_EQ(m_planner->GetDate().wHour, 9);
    EXPECT_EQ(m_planner->GetDate().wMinute, 0);
    EXPECT_EQ(m_planner->GetSelectedIndex(), 1);
    Mouse(QEvent::MouseButtonRelease, BlockPoint(1), Qt::NoButton);
    EXPECT_EQ(m_owner.codes.back(), kPlannerMouseReleased);

    // The same block again: no date change, no selection change, only the release.
    m_owner.codes.clear();
    Click(BlockPoint(1));
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerMouseReleased}));

    // An empty cell clears the selection.
    m_owner.codes.clear();
    Click(CellPoint(14));
    EXPECT_EQ(m_owner.codes,
              (std::vector<int>{kPlannerDateChanged, kPlannerSelectionChanged, kPlannerMouseReleased}));
    EXPECT_EQ(m_planner->GetSelectedIndex(), -1);
    EXPECT_EQ(m_planner->GetDate().wHour, 14);
}

TEST_F(DayPlannerWidget, DoubleClickNotifiesAfterThePressSelected) {
    AddSampleDay();
    ShowAndPaint();
    m_owner.codes.clear();
    const QPoint at = BlockPoint(2);
    Mouse(QEvent::MouseButtonPress, at);
    Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    Mouse(QEvent::MouseButtonDblClick, at);
    Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_EQ(m_owner.codes,
              (std::vector<int>{kPlannerDateChanged, kPlannerSelectionChanged, kPlannerMouseReleased,
                                kPlannerDoubleClicked, kPlannerMouseReleased}));
    EXPECT_EQ(m_planner->GetSelectedIndex(), 2);
}

TEST_F(DayPlannerWidget, FixedDateIgnoresCellsAndArrows) {
    m_planner->SetOption(kPlannerFixedDate);
    AddSampleDay();
    ShowAndPaint();
    m_owner.codes.clear();
    Click(BlockPoint(0));
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerSelectionChanged, kPlannerMouseReleased}));
    EXPECT_EQ(m_planner->GetDate().wMinute, 20);
    Key(Qt::Key_Down);
    EXPECT_EQ(m_planner->GetDate().wHour, 9);
}

TEST_F(DayPlannerWidget, ArrowKeysMoveTheDateAndTheOwnerSeesKeysFirst) {
    m_planner->SetOption(kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner);
    ShowAndPaint();
    m_owner.codes.clear();
    Key(Qt::Key_Down);
    EXPECT_EQ(m_owner.keys, (std::vector<int>{VK_DOWN}));
    EXPECT_EQ(m_owner.codes, (std::vector<int>{kPlannerDateChanged}));
    EXPECT_EQ(m_planner->GetDate().wHour, 10);
    Key(Qt::Key_Right);
    EXPECT_TRUE(PlannerSameTime(m_planner->GetDate(), MakeTime(2026, 12, 11, 10, 20)));
    Key(Qt::Key_Delete);
    EXPECT_EQ(m_owner.keys.back(), 0x2E);

    // An owner that takes the key stops the planner.
    m_owner.keyAnswer = 1;
    Key(Qt::Key_Left);
    EXPECT_EQ(m_owner.keys.back(), VK_LEFT);
    EXPECT_EQ(m_planner->GetDate().wDay, 11);

    // Up at hour 0 and Down at hour 23 change nothing.
    m_owner.keyAnswer = 0;
    m_planner->SetDate(MakeTime(2026, 12, 11, 0, 0));
    m_owner.codes.clear();
    Key(Qt::Key_Up);
    m_planner->SetDate(MakeTime(2026, 12, 11, 23, 0));
    m_owner.codes.clear();
    Key(Qt::Key_Down);
    EXPECT_TRUE(m_owner.codes.empty());
    EXPECT_EQ(m_planner->GetDate().wHour, 23);
}

// The keyboard chooses an appointment as a press does: Down and Up walk the appointments that start
// in the current hour, then move to the next hour and select its first (or, going up, its last) with
// the same notifications a press sends.
TEST_F(DayPlannerWidget, ArrowKeysWalkTheAppointmentsHourByHour) {
    m_planner->SetOption(kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner);
    AddSampleDay(); // 9:00-10:00, 9:30-10:30, 11:00-12:00
    m_planner->SetDate(MakeTime(2026, 12, 10, 8, 0));
    ShowAndPaint();
    const struct {
        int key;
        int hour;
        int selected;
    } steps[] = {
        {Qt::Key_Down, 9, 0},   {Qt::Key_Down, 9, 1}, {Qt::Key_Down, 10, -1}, {Qt::Key_Down, 11, 2},
        {Qt::Key_Down, 12, -1}, {Qt::Key_Up, 11, 2},  {Qt::Key_Up, 10, -1},   {Qt::Key_Up, 9, 1},
        {Qt::Key_Up, 9, 0},     {Qt::Key_Up, 8, -1},  {Qt::Key_Right, 8, -1},
    };
    for (const auto& step : steps) {
        const int before = m_planner->GetSelectedIndex();
        const int hourBefore = m_planner->GetDate().wHour;
        m_owner.codes.clear();
        Key(step.key);
        std::erase(m_owner.codes, kPlannerRangeChanged); // Right moves to the next day
        EXPECT_EQ(m_planner->GetDate().wHour, step.hour);
        EXPECT_EQ(m_planner->GetSelectedIndex(), step.selected) << "hour " << step.hour;
        std::vector<int> expected;
        if (hourBefore != step.hour || step.key == Qt::Key_Right)
            expected.push_back(kPlannerDateChanged);
        if (before != step.selected)
            expected.push_back(kPlannerSelectionChanged);
        EXPECT_EQ(m_owner.codes, expected) << "hour " << step.hour;
    }
}

TEST_F(DayPlannerWidget, TabIsOfferedToTheOwnerAndMovesTheFocus) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    layout->addWidget(before);
    m_planner->setParent(&window);
    layout->addWidget(m_planner.get());
    auto* after = new QLineEdit(&window);
    layout->addWidget(after);
    m_planner->SetOption(kPlannerKeysToOwner);
    window.show();
    QApplication::processEvents();
    m_planner->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(window.focusWidget(), after);
    m_planner->setFocus();
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(window.focusWidget(), before);
    EXPECT_EQ(m_owner.keys, (std::vector<int>{VK_TAB, VK_TAB}));
    EXPECT_EQ(m_owner.focusReports, 2);
    // An owner that takes Tab keeps the focus where it is.
    m_owner.keyAnswer = 1;
    m_planner->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(window.focusWidget(), m_planner.get());
    m_planner->setParent(nullptr);
}

TEST_F(DayPlannerWidget, WithoutTheKeyOptionTheOwnerIsNotAsked) {
    ShowAndPaint();
    Key(Qt::Key_Up);
    EXPECT_TRUE(m_owner.keys.empty());
    EXPECT_EQ(m_planner->GetDate().wHour, 8);
}

TEST_F(DayPlannerWidget, ArrowsScrollWhenTheCurrentHourLeavesTheView) {
    m_planner->SetOption(kPlannerNoHeader);
    m_planner->resize(420, 200);
    ShowAndPaint();
    const int hourHeight = m_planner->GetMetrics().hourHeight;
    const int visibleRows = 200 / hourHeight;
    const int offset = m_planner->ScrollOffset();
    EXPECT_EQ(offset, 9 * hourHeight);
    // Walk down inside the view: no scrolling while the current row is whole.
    for (int i = 1; i < visibleRows; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(m_planner->ScrollOffset(), offset);
    Key(Qt::Key_Down);
    EXPECT_EQ(m_planner->ScrollOffset(), offset + hourHeight);
    // Never under style 0x200.
    m_planner->SetOption(kPlannerNoHeader | kPlannerArrowsNeverScroll);
    const int fixed = m_planner->ScrollOffset();
    m_planner->SetDate(MakeTime(2026, 12, 10, 20, 0));
    Key(Qt::Key_Down);
    EXPECT_EQ(m_planner->ScrollOffset(), fixed);
}

TEST_F(DayPlannerWidget, DraggingABlockMovesItsStartToTheSlot) {
    AddSampleDay();
    ShowAndPaint();
    m_owner.codes.clear();
    const QPoint from = BlockPoint(2);
    Mouse(QEvent::MouseButtonPress, from);
    const auto& cell = m_planner->GetCells()[10];
    const int hourHeight = cell.rect.Height();
    const QPoint to(from.x(), cell.rect.top + hourHeight * 3 / 4 - m_planner->ScrollOffset());
    Mouse(QEvent::MouseMove, from + QPoint(0, 20));
    Mouse(QEvent::MouseMove, to);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_EQ(m_owner.codes.back(), kPlannerMouseReleased);
    EXPECT_NE(std::find(m_owner.codes.begin(), m_owner.codes.end(), kPlannerItemDropped),
              m_owner.codes.end());
    DayPlannerItem moved;
    m_planner->GetItem(2, &moved);
    EXPECT_TRUE(PlannerSameTime(moved.start, MakeTime(2026, 12, 10, 10, 30)));
    EXPECT_EQ(m_planner->GetBlocks()[2].startMinute, 630);
}

TEST_F(DayPlannerWidget, NoDragOptionKeepsTheItemWhereItWas) {
    m_planner->SetOption(kPlannerNoDrag);
    AddSampleDay();
    ShowAndPaint();
    const QPoint from = BlockPoint(2);
    Mouse(QEvent::MouseButtonPress, from);
    Mouse(QEvent::MouseMove, from + QPoint(0, 60));
    Mouse(QEvent::MouseButtonRelease, from + QPoint(0, 60), Qt::NoButton);
    EXPECT_EQ(std::find(m_owner.codes.begin(), m_owner.codes.end(), kPlannerItemDropped),
              m_owner.codes.end());
    DayPlannerItem item;
    m_planner->GetItem(2, &item);
    EXPECT_EQ(item.start.wHour, 11);
}

TEST_F(DayPlannerWidget, TooltipShowsTheItemsDetails) {
    AddSampleDay();
    ShowAndPaint();
    EXPECT_EQ(m_planner->TipTextAt(BlockPoint(0)),
              QStringLiteral("Thursday, December 10, 2026 9:00 AM\n\nTeam meeting\n\nTeam meeting"));
    EXPECT_TRUE(m_planner->TipTextAt(CellPoint(15)).isEmpty());
}

TEST_F(DayPlannerWidget, OwnerIsOfferedEachBlockFirst) {
    DayPlannerItem item = Item(10, 0, 30, "Owner drawn");
    item.data = 4711;
    m_planner->AddItem(item);
    m_planner->AddItem(Item(12, 0, 30, "Second"));
    ShowAndPaint();
    Click(BlockPoint(1));
    m_owner.drawn.clear();
    m_owner.drawItself = true;
    const QImage image = m_planner->grab().toImage();
    ASSERT_EQ(m_owner.drawn.size(), 2u);
    EXPECT_EQ(m_owner.drawn[0].controlId, 1002);
    EXPECT_EQ(m_owner.drawn[0].itemIndex, 0);
    EXPECT_EQ(m_owner.drawn[0].itemData, 4711);
    EXPECT_FALSE(m_owner.drawn[0].selected);
    EXPECT_TRUE(m_owner.drawn[1].selected);
    // What the owner painted is what shows.
    const QPoint centre =
        BlockPoint(0) + QPoint(0, 5) + m_planner->PaneViewport()->mapTo(m_planner.get(), QPoint(0, 0));
    EXPECT_EQ(image.pixelColor(centre * image.devicePixelRatio()), QColor(Qt::green));
}

TEST_F(DayPlannerWidget, NarrowPlannerDrawsNoBlocksOfAFullDay) {
    for (int i = 0; i < 5; ++i)
        m_planner->AddItem(Item(9, 0, 60, "x"));
    m_planner->resize(m_planner->GetMetrics().rulerWidth + 30, 400);
    ShowAndPaint();
    for (const auto& block : m_planner->GetBlocks())
        EXPECT_TRUE(block.rect.IsEmpty());
}

// ---- the day's layout: readable blocks, none hiding another, every appointment on the keys ----

struct DayCase {
    const char* name;
    std::vector<DayPlannerItem> items;
};

std::vector<DayCase> DayCases() {
    const SYSTEMTIME yesterday = MakeTime(2026, 12, 9);
    std::vector<DayCase> cases = {
        {"adjacent quarter hours", {Item(10, 30, 15, "Parcel"), Item(10, 45, 15, "Call back")}},
        {"an hour of quarter hours",
         {Item(10, 0, 15, "Post"), Item(10, 15, 15, "Bank"), Item(10, 30, 15, "Parcel"),
          Item(10, 45, 15, "Call back")}},
        {"overlapping lanes with short ones between",
         {Item(9, 0, 60, "Team meeting"), Item(9, 30, 60, "Call the bank"), Item(9, 45, 5, "Tea"),
          Item(10, 15, 45, "Review"), Item(10, 20, 10, "Quick call")}},
        {"the day's first and last minutes",
         {Item(0, 0, 15, "Midnight feed"), Item(0, 15, 15, "Back to bed"), Item(23, 30, 30, "Lights out"),
          Item(23, 45, 15, "Last check"), Item(23, 59, 0, "Alarm"),
          Item(23, 50, 20, "Across midnight", yesterday)}},
        {"zero-length appointments",
         {Item(12, 0, 0, "Pill"), Item(12, 0, 0, "Water plants"), Item(12, 1, 0, "Text Sam"),
          Item(12, 2, 0, "Feed cat"), Item(12, 30, 0, "Pill again")}},
        {"a long one crossing short ones",
         {Item(8, 0, 240, "Workshop"), Item(8, 30, 10, "Coffee"), Item(9, 0, 15, "Call"),
          Item(9, 15, 15, "Call back"), Item(11, 50, 10, "Wrap up")}},
        {"six at one time", {}},
        {"twelve five-minute appointments in one hour", {}},
    };
    for (int i = 0; i < 6; ++i)
        cases[6].items.push_back(Item(14, 0, 30, "Same time"));
    for (int i = 0; i < 12; ++i)
        cases[7].items.push_back(Item(13, i * 5, 5, "Slot"));
    return cases;
}

// Where each item begins on the shown day: items that began the day before count from 00:00.
int StartOnDay(const DayPlannerItem& item) {
    return PlannerSameDay(item.start, kDay) ? item.start.wHour * 60 + item.start.wMinute : 0;
}

bool Overlap(const PlannerRect& a, const PlannerRect& b) {
    // Stored bottoms are one pixel short of the drawn ones.
    return a.left < b.right && b.left < a.right && a.top < b.bottom + 1 && b.top < a.bottom + 1;
}

// Each block is drawn at least one text line tall with its text on it, no block (the selected one
// grown or not) covers another, every appointment the plain lanes show is drawn, and Down and Up
// walk every appointment once in start order, bringing each into view. Over a table of days, fonts
// and planner heights, on the real widget.
TEST_F(DayPlannerWidget, EveryDayLayoutKeepsEachAppointmentReadableAndReachable) {
    QFont small = m_planner->font();
    small.setPixelSize(9);
    QFont large = m_planner->font();
    large.setPixelSize(22);
    const QFont fonts[] = {m_planner->font(), small, large};
    const int heights[] = {480, 150};
    const COLORREF back = MakeColorRef(191, 205, 219);
    m_planner->SetOption(kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner);
    for (const DayCase& day : DayCases()) {
        for (const QFont& font : fonts) {
            for (const int height : heights) {
                const std::string where = std::string(day.name) + ", font " +
                                          std::to_string(QFontMetrics(font).height()) + " px, height " +
                                          std::to_string(height);
                m_planner->setFont(font);
                m_planner->resize(420, height);
                m_planner->RemoveAllItems();
                for (DayPlannerItem item : day.items) {
                    item.backColor = back;
                    m_planner->AddItem(item);
                }
                m_planner->SetDate(kDay);
                ShowAndPaint();
                const std::vector<DayPlannerBlock> blocks = m_planner->GetBlocks();
                const int line = QFontMetrics(font).height() + 2;
                for (const DayPlannerBlock& block : blocks) {
                    if (block.rect.IsEmpty())
                        continue;
                    EXPECT_GE(block.rect.Height() + 1, line) << where << ": item " << block.item;
                    // The first line of its text is painted on the block.
                    VerticalBar()->setValue(block.rect.top);
                    const QImage image = m_planner->PaneViewport()->grab().toImage();
                    const int top = block.rect.top - m_planner->ScrollOffset();
                    EXPECT_GE(StrongestContrast(
                                  image,
                                  QRect(block.rect.left + 6, top + 1, block.rect.Width() - 12, line - 2),
                                  qRgb(191, 205, 219)),
                              3.0)
                        << where << ": no text on item " << block.item;
                    for (const DayPlannerBlock& other : blocks) {
                        if (&other != &block && !other.rect.IsEmpty()) {
                            EXPECT_FALSE(Overlap(block.rect, other.rect))
                                << where << ": " << block.item << " covers " << other.item;
                        }
                    }
                }
                const std::vector<DayPlannerBlock> plain = LayoutPlannerBlocks(
                    day.items, kDay, 1, 0, m_planner->GetOption(), m_planner->GetTimeScale());
                for (const DayPlannerBlock& shown : plain) {
                    const bool drawn = std::any_of(blocks.begin(), blocks.end(), [&](const auto& block) {
                        return block.item == shown.item && !block.rect.IsEmpty();
                    });
                    EXPECT_TRUE(drawn) << where << ": item " << shown.item << " is not drawn";
                }

                std::vector<int> startOrder(day.items.size());
                std::iota(startOrder.begin(), startOrder.end(), 0);
                std::stable_sort(startOrder.begin(), startOrder.end(), [&](int a, int b) {
                    return StartOnDay(day.items[static_cast<size_t>(a)]) <
                           StartOnDay(day.items[static_cast<size_t>(b)]);
                });
                for (const int key : {Qt::Key_Down, Qt::Key_Up}) {
                    // Up sets out from the last appointment, where Down ended.
                    std::vector<int> visited;
                    if (m_planner->GetSelectedIndex() >= 0)
                        visited.push_back(m_planner->GetSelectedIndex());
                    for (int press = 0; press < 24 + std::ssize(day.items); ++press) {
                        const SYSTEMTIME before = m_planner->GetDate();
                        const int selectedBefore = m_planner->GetSelectedIndex();
                        Key(key);
                        const int selected = m_planner->GetSelectedIndex();
                        if (PlannerSameTime(before, m_planner->GetDate()) && selected == selectedBefore)
                            break;
                        if (selected < 0)
                            continue;
                        visited.push_back(selected);
                        const auto& all = m_planner->GetBlocks();
                        for (const DayPlannerBlock& block : all) {
                            if (block.item != selected || block.rect.IsEmpty())
                                continue;
                            const PlannerRect grown = m_planner->DrawnBlockRect(block);
                            for (const DayPlannerBlock& other : all) {
                                if (&other != &block && !other.rect.IsEmpty()) {
                                    EXPECT_FALSE(Overlap(grown, other.rect))
                                        << where << ": selected " << selected << " covers " << other.item;
                                }
                            }
                            const int offset = m_planner->ScrollOffset();
                            EXPECT_GE(grown.top, offset) << where << ": item " << selected << " out of view";
                            if (grown.Height() + 1 <= m_planner->PaneViewport()->height()) {
                                EXPECT_LE(grown.bottom + 1, offset + m_planner->PaneViewport()->height())
                                    << where << ": item " << selected << " out of view";
                            }
                        }
                    }
                    std::vector<int> expected = startOrder;
                    if (key == Qt::Key_Up)
                        std::reverse(expected.begin(), expected.end());
                    EXPECT_EQ(visited, expected) << where << (key == Qt::Key_Down ? ": Down" : ": Up");
                }
            }
        }
    }
    // Adjacent quarter hours as the user sees them, one selected.
    m_planner->setFont(QApplication::font());
    m_planner->resize(300, 300);
    m_planner->RemoveAllItems();
    const std::vector<DayCase> cases = DayCases();
    for (DayPlannerItem item : cases[1].items) {
        item.backColor = back;
        m_planner->AddItem(item);
    }
    m_planner->SetDate(MakeTime(2026, 12, 10, 9, 0));
    m_planner->resize(300, 301);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    ShowAndPaint();
    EXPECT_FALSE(SaveScreenshot(m_planner.get(), QStringLiteral("day_planner_quarter_hour_items")).isEmpty());
}

// Selected, a short block's long text grows it down into the free room below it; the tooltip tells
// the whole text too.
TEST_F(DayPlannerWidget, ASelectedBlockShowsItsWholeTextWhereTheRoomIsFree) {
    m_planner->SetOption(kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner);
    const QString tickets = QStringLiteral("Pick up the tickets for the concert at the town hall");
    m_planner->AddItem(Item(15, 0, 15, tickets.toUtf8().constData()));
    m_planner->AddItem(Item(11, 0, 15, tickets.toUtf8().constData()));
    m_planner->AddItem(Item(11, 45, 15, "Parcel"));
    m_planner->SetDate(MakeTime(2026, 12, 10, 10, 0));
    m_planner->resize(240, 480);
    ShowAndPaint();
    const auto& blocks = m_planner->GetBlocks();
    ASSERT_EQ(blocks.size(), 3u);
    const QFontMetrics metrics(m_planner->font());
    Click(BlockPoint(0));
    ASSERT_EQ(m_planner->GetSelectedIndex(), 0);
    const PlannerRect alone = m_planner->DrawnBlockRect(blocks[0]);
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, alone.Width() - 12, 10000), Qt::TextWordWrap, tickets);
    EXPECT_GE(alone.Height(), needed.height() + 4);
    // With "Parcel" below in its lane it grows only down to that block.
    ASSERT_EQ(blocks[2].lane, blocks[1].lane);
    Click(BlockPoint(1));
    ASSERT_EQ(m_planner->GetSelectedIndex(), 1);
    const PlannerRect wedged = m_planner->DrawnBlockRect(blocks[1]);
    EXPECT_LE(wedged.bottom + 1, blocks[2].rect.top);
    EXPECT_FALSE(Overlap(wedged, blocks[2].rect));
    EXPECT_TRUE(m_planner->TipTextAt(BlockPoint(2)).contains(QStringLiteral("Parcel")));
}

// The selected block's frame stands out from its fill, also where the owner fills blocks in the
// highlight colour itself (as the appointments pane does under some schemes).
TEST_F(DayPlannerWidget, TheSelectedBlocksFrameStandsOutFromItsFill) {
    for (const QColor& fill : {m_planner->palette().color(QPalette::Highlight), QColor(255, 255, 220)}) {
        m_planner->RemoveAllItems();
        DayPlannerItem item = Item(9, 0, 60, "Team meeting");
        item.backColor = MakeColorRef(fill.red(), fill.green(), fill.blue());
        m_planner->AddItem(item);
        m_planner->SetDate(MakeTime(2026, 12, 10, 8, 0));
        ShowAndPaint();
        Click(BlockPoint(0));
        ASSERT_EQ(m_planner->GetSelectedIndex(), 0);
        const PlannerRect block = m_planner->GetBlocks().front().rect;
        const QImage image = m_planner->PaneViewport()->grab().toImage();
        const int top = block.top - m_planner->ScrollOffset();
        // The rows just inside the block's outline, above its text.
        EXPECT_GE(StrongestContrast(image, QRect(block.left + 4, top + 1, block.Width() - 8, 2), fill.rgb()),
                  3.0)
            << fill.name().toStdString();
    }
}

// Under a dark scheme the ruler keeps its pale tooltip fill: its digits and the blocks' texts are
// drawn in colours that read on the fills behind them.
TEST_F(DayPlannerWidget, DarkPaletteTextsReadOnTheirFills) {
    const QPalette dark = DarkTestPalette();
    m_planner->setPalette(dark);
    DayPlannerItem item = Item(9, 0, 60, "Team meeting");
    item.backColor = MakeColorRef(255, 255, 220);
    item.textColor = MakeColorRef(255, 255, 255);
    m_planner->AddItem(item);
    m_planner->SetDate(MakeTime(2026, 12, 10, 8, 0));
    ShowAndPaint();
    const QImage image = m_planner->grab().toImage();
    const int top = m_planner->PaneViewport()->mapTo(m_planner.get(), QPoint(0, 0)).y();
    const auto& metrics = m_planner->GetMetrics();
    const int hourTop = top + 9 * metrics.hourHeight - m_planner->ScrollOffset();
    const QRgb ruler = m_planner->palette().color(QPalette::ToolTipBase).rgb();
    EXPECT_GE(StrongestContrast(image, QRect(3, hourTop + 3, metrics.rulerWidth - 8, metrics.hourHeight - 8),
                                ruler),
              4.5)
        << "hour digits";
    const PlannerRect block = m_planner->GetBlocks().front().rect;
    EXPECT_GE(StrongestContrast(image,
                                QRect(block.left + 6, top + block.top - m_planner->ScrollOffset() + 3,
                                      block.Width() - 12, block.Height() - 6),
                                qRgb(255, 255, 220)),
              3.0)
        << "block text";
    EXPECT_FALSE(SaveScreenshot(m_planner.get(), QStringLiteral("day_planner_dark_palette")).isEmpty());
}

TEST_F(DayPlannerWidget, Screenshot) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_planner->setParent(&window);
    layout->addWidget(m_planner.get());
    window.resize(460, 560);
    m_planner->SetOption(kPlannerRedWeekends);
    QPixmap bell(16, 16);
    bell.fill(Qt::transparent);
    {
        QPainter painter(&bell);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(230, 180, 20));
        painter.setPen(QColor(120, 80, 0));
        painter.drawEllipse(2, 2, 12, 11);
        painter.drawRect(7, 13, 2, 2);
    }
    m_planner->SetImageList(bell);
    const COLORREF back = MakeColorRef(191, 205, 219);
    const COLORREF text = MakeColorRef(0, 0, 0);
    auto add = [&](int hour, int minute, int minutes, const char* what, bool alarm) {
        DayPlannerItem item = Item(hour, minute, minutes, what);
        item.backColor = back;
        item.textColor = alarm ? MakeColorRef(255, 0, 0) : text;
        item.icon = alarm ? 1 : 0;
        m_planner->AddItem(item);
    };
    add(8, 0, 30, "Stand-up", false);
    add(9, 0, 60, "Team meeting about the budget", true);
    add(9, 30, 60, "Call the bank", false);
    add(11, 0, 90, "Lunch with Anna", false);
    add(11, 15, 30, "Dentist", true);
    add(11, 30, 15, "Parcel", false);
    add(14, 0, 120, "Review of the quarter", false);
    window.show();
    QApplication::processEvents();
    m_planner->SetDate(MakeTime(2026, 12, 10, 8, 0));
    window.resize(460, 561); // a new size scrolls the current hour to the top
    QApplication::processEvents();
    Click(BlockPoint(2));
    QApplication::processEvents();
    const QString path = SaveScreenshot(&window, QStringLiteral("day_planner"));
    EXPECT_FALSE(path.isEmpty());

    // As the appointments pane shows it: no header, no dragging, quarter hours.
    m_planner->SetOption(386);
    EXPECT_EQ(m_planner->SetTimeScale(15), 1);
    QApplication::processEvents();
    EXPECT_FALSE(SaveScreenshot(&window, QStringLiteral("day_planner_quarter_hours")).isEmpty());
    m_planner->setParent(nullptr);
}

} // namespace
