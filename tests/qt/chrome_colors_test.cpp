#include "platform/qt/ChromeColors.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

struct BlendCase {
    QRgb x;
    QRgb y;
    int percent;
    QRgb expected;
};

TEST(XpColours, BlendTruncatesTowardZeroPerChannel) {
    const BlendCase cases[] = {
        {qRgb(255, 255, 255), qRgb(0, 0, 0), 3, qRgb(248, 248, 248)}, // -7.65 becomes -7, not -8
        {qRgb(0, 0, 0), qRgb(255, 255, 255), 3, qRgb(7, 7, 7)},
        {qRgb(236, 233, 216), qRgb(255, 255, 255), 20, qRgb(239, 237, 223)},
        {qRgb(10, 20, 30), qRgb(200, 100, 0), 0, qRgb(10, 20, 30)},
        {qRgb(10, 20, 30), qRgb(200, 100, 0), 100, qRgb(200, 100, 0)},
        {qRgb(100, 0, 255), qRgb(0, 255, 100), 50, qRgb(50, 127, 178)},
    };
    for (const BlendCase& c : cases)
        EXPECT_EQ(Blend(c.x, c.y, c.percent), c.expected) << c.percent << "% of " << std::hex << c.x;
}

SystemColors ClassicColours() {
    SystemColors system{};
    system.windowFrame = qRgb(0, 0, 0);
    system.window = qRgb(255, 255, 255);
    system.windowText = qRgb(0, 0, 0);
    system.buttonFace = qRgb(236, 233, 216);
    system.buttonShadow = qRgb(172, 168, 153);
    system.highlight = qRgb(49, 106, 197);
    system.grayText = qRgb(172, 168, 153);
    system.menuText = qRgb(1, 2, 3);
    system.buttonText = qRgb(4, 5, 6);
    return system;
}

TEST(XpColours, TheThirteenColoursOfAPalette) {
    const SystemColors system = ClassicColours();
    const struct {
        bool lowColour;
        XpColors expected;
    } cases[] = {
        {false,
         {qRgb(0, 0, 0), qRgb(248, 248, 248), qRgb(239, 237, 223), qRgb(49, 106, 197), qRgb(193, 210, 237),
          qRgb(172, 195, 231), qRgb(155, 168, 190), qRgb(172, 168, 153), qRgb(0, 0, 0), qRgb(1, 2, 3),
          qRgb(4, 5, 6), qRgb(1, 2, 3), qRgb(154, 152, 141)}},
        {true,
         {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(236, 233, 216), qRgb(49, 106, 197), qRgb(255, 255, 255),
          qRgb(255, 255, 255), qRgb(49, 106, 197), qRgb(172, 168, 153), qRgb(0, 0, 0), qRgb(1, 2, 3),
          qRgb(4, 5, 6), qRgb(1, 2, 3), qRgb(172, 168, 153)}},
    };
    for (const auto& c : cases) {
        const XpColors got = ComputeXpColors(system, c.lowColour);
        SCOPED_TRACE(c.lowColour ? "low colour" : "normal");
        EXPECT_EQ(got.frame, c.expected.frame);
        EXPECT_EQ(got.menuBackground, c.expected.menuBackground);
        EXPECT_EQ(got.barBackground, c.expected.barBackground);
        EXPECT_EQ(got.highlightBorder, c.expected.highlightBorder);
        EXPECT_EQ(got.highlightFill, c.expected.highlightFill);
        EXPECT_EQ(got.checkedHighlightFill, c.expected.checkedHighlightFill);
        EXPECT_EQ(got.pressedFill, c.expected.pressedFill);
        EXPECT_EQ(got.disabledText, c.expected.disabledText);
        EXPECT_EQ(got.itemText, c.expected.itemText);
        EXPECT_EQ(got.selectedItemText, c.expected.selectedItemText);
        EXPECT_EQ(got.buttonText, c.expected.buttonText);
        EXPECT_EQ(got.hotButtonText, c.expected.hotButtonText);
        EXPECT_EQ(got.imageShadow, c.expected.imageShadow);
    }
}

TEST(XpColours, LowColourIsBelowNineBitsPerPixel) {
    EXPECT_TRUE(IsLowColour(8));
    EXPECT_TRUE(IsLowColour(4));
    EXPECT_FALSE(IsLowColour(16));
    EXPECT_FALSE(IsLowColour(24));
}

TEST(XpColours, EachSystemColourComesFromOnePaletteRole) {
    QPalette palette;
    palette.setColor(QPalette::Shadow, QColor(1, 1, 1));
    palette.setColor(QPalette::Base, QColor(2, 2, 2));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(3, 3, 3));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 4, 4));
    palette.setColor(QPalette::Button, QColor(5, 5, 5));
    palette.setColor(QPalette::Dark, QColor(6, 6, 6));
    palette.setColor(QPalette::Highlight, QColor(7, 7, 7));
    palette.setColor(QPalette::WindowText, QColor(8, 8, 8));
    palette.setColor(QPalette::ButtonText, QColor(9, 9, 9));
    const SystemColors system = SystemColorsOf(palette);
    EXPECT_EQ(system.windowFrame, qRgb(1, 1, 1));
    EXPECT_EQ(system.window, qRgb(2, 2, 2));
    EXPECT_EQ(system.windowText, qRgb(3, 3, 3));
    EXPECT_EQ(system.grayText, qRgb(4, 4, 4));
    EXPECT_EQ(system.buttonFace, qRgb(5, 5, 5));
    EXPECT_EQ(system.buttonShadow, qRgb(6, 6, 6));
    EXPECT_EQ(system.highlight, qRgb(7, 7, 7));
    EXPECT_EQ(system.menuText, qRgb(8, 8, 8));
    EXPECT_EQ(system.buttonText, qRgb(9, 9, 9));
}

TEST(XpColours, TheTableFollowsTheApplicationPalette) {
    TestApp();
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(0, 0, 0));
    QApplication::setPalette(palette);
    RecomputeXpColors();
    EXPECT_EQ(CurrentXpColors().menuBackground, qRgb(248, 248, 248));
    palette.setColor(QPalette::Base, QColor(0, 0, 0));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(255, 255, 255));
    QApplication::setPalette(palette);
    RecomputeXpColors();
    EXPECT_EQ(CurrentXpColors().menuBackground, qRgb(7, 7, 7));
    QApplication::setPalette(saved);
    RecomputeXpColors();
}

TEST(XpColours, ContrastRatioEnds) {
    EXPECT_NEAR(ContrastRatio(qRgb(0, 0, 0), qRgb(255, 255, 255)), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(qRgb(90, 90, 90), qRgb(90, 90, 90)), 1.0, 0.001);
    EXPECT_DOUBLE_EQ(ContrastRatio(qRgb(10, 200, 30), qRgb(240, 0, 0)),
                     ContrastRatio(qRgb(240, 0, 0), qRgb(10, 200, 30)));
}

} // namespace
