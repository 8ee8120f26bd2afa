#include "platform/core/Registry.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/frame/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const char* const kKey = "Software\\Quillex\\Pelmora\\Settings";

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetRegistry(&registry);
    }
    void TearDown() override { SetRegistry(nullptr); }
    MemoryRegistry registry;
};

TEST_F(PlacementTest, FirstStartAppliesNothing) {
    QWidget window;
    CWindowPlacement placement;
    EXPECT_FALSE(placement.Restore(kKey, &window));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PlacementTest, StoreWritesTheTenValuesWithTheirNames) {
    CWindowPlacement placement;
    placement.showCmd = SW_SHOWMAXIMIZED;
    placement.flags = 0;
    placement.ptMinPosition = {-1, -1};
    placement.ptMaxPosition = {-4, -8};
    placement.rcNormalPosition = {-10, 20, 630, 500};
    ASSERT_TRUE(placement.Store(kKey));
    EXPECT_EQ(registry.ReadDword(kKey, "wp.showCmd"), 3u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.flags"), 0u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.ptMinPosition.x"), 0xFFFFFFFFu);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.ptMinPosition.y"), 0xFFFFFFFFu);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.ptMaxPosition.x"), 0xFFFFFFFCu);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.wpMaxPosition"), 0xFFFFFFF8u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.left"), 0xFFFFFFF6u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.top"), 20u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.right"), 630u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.bottom"), 500u);
    CWindowPlacement loaded;
    ASSERT_TRUE(loaded.Load(kKey));
    EXPECT_EQ(loaded.rcNormalPosition.left, -10);
    EXPECT_EQ(loaded.ptMaxPosition.y, -8);
    EXPECT_EQ(loaded.length, 44u);
}

TEST_F(PlacementTest, SavedNormalWindowComesBackWhereItWas) {
    {
        QWidget window;
        window.setGeometry(40, 50, 500, 300);
        window.show();
        CWindowPlacement placement;
        ASSERT_TRUE(placement.Save(kKey, &window));
        EXPECT_EQ(registry.ReadDword(kKey, "wp.showCmd"), 1u);
    }
    QWidget window;
    CWindowPlacement placement;
    ASSERT_TRUE(placement.Restore(kKey, &window));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(40, 50, 500, 300));
}

TEST_F(PlacementTest, MaximisedWindowComesBackMaximisedWithItsNormalRectangle) {
    {
        QWidget window;
        window.setGeometry(60, 70, 400, 250);
        window.showMaximized();
        CWindowPlacement placement;
        placement.Save(kKey, &window);
    }
    EXPECT_EQ(registry.ReadDword(kKey, "wp.showCmd"), 3u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.left"), 60u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.right"), 460u);
    QWidget window;
    CWindowPlacement placement;
    ASSERT_TRUE(placement.Restore(kKey, &window));
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.normalGeometry(), QRect(60, 70, 400, 250));
}

TEST_F(PlacementTest, MinimisedFromMaximisedComesBackMinimisedAndRestoresToMaximised) {
    {
        QWidget window;
        window.setGeometry(60, 70, 400, 250);
        window.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
        window.show();
        CWindowPlacement placement;
        placement.Save(kKey, &window);
    }
    EXPECT_EQ(registry.ReadDword(kKey, "wp.showCmd"), 2u);
    EXPECT_EQ(registry.ReadDword(kKey, "wp.flags"), 2u);
    QWidget window;
    CWindowPlacement placement;
    ASSERT_TRUE(placement.Restore(kKey, &window));
    EXPECT_EQ(window.windowState(), Qt::WindowMinimized | Qt::WindowMaximized);
    CWindowPlacement plain;
    plain.showCmd = SW_SHOWMINIMIZED;
    plain.rcNormalPosition = {60, 70, 460, 320};
    plain.Store(kKey);
    QWidget other;
    ASSERT_TRUE(CWindowPlacement().Restore(kKey, &other));
    EXPECT_EQ(other.windowState(), Qt::WindowMinimized);
}

TEST_F(PlacementTest, RectangleOffThePrimaryScreenIsNotApplied) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    struct Case {
        PlacementRect rect;
        bool applied;
    };
    const Case cases[] = {
        {{screen.width() + 100, 10, screen.width() + 900, 500}, false}, // a second monitor now gone
        {{-900, 10, -100, 500}, false},
        {{10, screen.height(), 400, screen.height() + 300}, false}, // touching the edge only
        {{-300, -200, 1, 1}, true},                                 // one pixel on screen
        {{100, 100, 100, 400}, false},                              // empty
    };
    for (const Case& c : cases) {
        CWindowPlacement stored;
        stored.showCmd = SW_SHOWNORMAL;
        stored.rcNormalPosition = c.rect;
        stored.Store(kKey);
        QWidget window;
        CWindowPlacement placement;
        EXPECT_EQ(placement.Restore(kKey, &window), c.applied) << c.rect.left << "," << c.rect.top;
    }
}

TEST_F(PlacementTest, PartialKeyAppliesTheStoredValuesOverZeroFields) {
    registry.WriteDword(kKey, "wp.right", 300);
    registry.WriteDword(kKey, "wp.bottom", 200);
    CWindowPlacement placement;
    ASSERT_TRUE(placement.Load(kKey));
    EXPECT_EQ(placement.rcNormalPosition.left, 0);
    EXPECT_EQ(placement.rcNormalPosition.right, 300);
    EXPECT_EQ(placement.showCmd, 0u);
    QWidget window;
    ASSERT_TRUE(placement.Restore(kKey, &window));
    // A stored hidden state still shows the window.
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));
}

} // namespace
