#include "platform/qt/DropShadow.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Dib, RowStrideIsWholeWords) {
    const struct {
        int width;
        int bits;
        int stride;
    } cases[] = {{1, 24, 4}, {4, 24, 12}, {5, 24, 16}, {3, 1, 4},
                 {33, 1, 8}, {10, 8, 12}, {9, 4, 8},   {0, 24, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CDib::RowStride(c.width, c.bits), c.stride) << c.width << " x " << c.bits;
}

TEST(Dib, HeaderPaletteAndBottomUpRows) {
    const struct {
        int bits;
        int paletteEntries;
    } cases[] = {{1, 2}, {4, 16}, {8, 256}, {24, 0}};
    for (const auto& c : cases) {
        CDib dib;
        ASSERT_TRUE(dib.Create(5, 3, c.bits));
        const BitmapInfoHeader& header = dib.Header();
        EXPECT_EQ(header.size, 40u);
        EXPECT_EQ(header.width, 5);
        EXPECT_EQ(header.height, 3);
        EXPECT_EQ(header.planes, 1);
        EXPECT_EQ(header.bitCount, c.bits);
        EXPECT_EQ(header.compression, 0u);
        EXPECT_EQ(header.sizeImage, static_cast<unsigned>(3 * CDib::RowStride(5, c.bits)));
        EXPECT_EQ(dib.BlockSize(), 40u + 4u * c.paletteEntries + header.sizeImage);
        // The top row is the last in memory.
        EXPECT_EQ(dib.Row(0) - dib.Row(2), 2 * CDib::RowStride(5, c.bits));
    }
    CDib none;
    EXPECT_FALSE(none.Create(0, 4, 24));
    EXPECT_TRUE(none.IsEmpty());
}

TEST(Dib, PixelsAreStoredBlueGreenRed) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(1, 0, qRgb(200, 100, 50));
    CDib dib;
    ASSERT_TRUE(dib.CreateFrom(picture));
    const std::uint8_t* top = dib.Row(0);
    EXPECT_EQ(top[3], 50);
    EXPECT_EQ(top[4], 100);
    EXPECT_EQ(top[5], 200);
    EXPECT_EQ(dib.ToImage().pixel(1, 0), qRgb(200, 100, 50));
    EXPECT_EQ(dib.ToImage().pixel(0, 1), qRgb(10, 20, 30));
}

TEST(ShadowFactors, RightStrip) {
    const int corner[5][5] = {
        {18, 17, 17, 16, 16}, {18, 18, 17, 17, 16}, {19, 18, 18, 17, 16},
        {21, 20, 19, 18, 17}, {26, 24, 22, 20, 18},
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(RightStripFactor(x, y), corner[y][x]) << x << "," << y;
    for (int y : {5, 6, 300})
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(RightStripFactor(x, y), 26 - 2 * x) << x << "," << y;
}

TEST(ShadowFactors, BottomStripOfTwentyColumns) {
    constexpr int W = 20;
    const int start[5][5] = {
        {18, 19, 20, 21, 24}, {18, 18, 19, 20, 22}, {17, 17, 18, 18, 20},
        {16, 16, 17, 17, 18}, {16, 16, 16, 16, 16},
    };
    const int end[5][5] = {
        {21, 19, 19, 18, 18}, {20, 19, 18, 18, 17}, {19, 18, 17, 17, 17},
        {18, 17, 17, 17, 16}, {17, 16, 16, 16, 16},
    };
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(BottomStripFactor(x, y, W), start[y][x]) << x << "," << y;
            EXPECT_EQ(BottomStripFactor(W - 6 + x, y, W), end[y][x]) << W - 6 + x << "," << y;
        }
        for (int x = 5; x <= W - 7; ++x)
            EXPECT_EQ(BottomStripFactor(x, y, W), 2 * (4 - y) + 16) << x << "," << y;
        EXPECT_EQ(BottomStripFactor(W - 1, y, W), 16) << "the last column is kept";
    }
}

TEST(ShadowFactors, DarkeningDividesEachByte) {
    QImage grey(20, 5, QImage::Format_RGB32);
    grey.fill(QColor(200, 100, 50));
    CDib dib;
    ASSERT_TRUE(dib.CreateFrom(grey));
    DarkenStrip(dib, ShadowStrip::Bottom);
    const QImage dark = dib.ToImage();
    EXPECT_EQ(dark.pixel(10, 0), qRgb(200 * 16 / 24, 100 * 16 / 24, 50 * 16 / 24));
    EXPECT_EQ(dark.pixel(10, 4), qRgb(200, 100, 50));
    EXPECT_EQ(dark.pixel(19, 0), qRgb(200, 100, 50));
}

TEST(ShadowFactors, StripRectangles) {
    const QRect window(100, 50, 300, 200);
    EXPECT_EQ(ShadowStripRect(window, ShadowStrip::Right), QRect(400, 55, 5, 195));
    EXPECT_EQ(ShadowStripRect(window, ShadowStrip::Bottom), QRect(105, 250, 300, 5));
    EXPECT_TRUE(ShadowStripRect(QRect(0, 0, 10, 5), ShadowStrip::Right).isEmpty());
}

// A plain coloured window for the strips to darken.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(200, 100, 50)); }
};

class ShadowedDialog : public QDialog {
public:
    DropShadow m_dropShadow{this};
};

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class DropShadowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        DropShadow::OverrideWindowSystemShadows(false);
        m_backdrop = std::make_unique<Backdrop>();
        m_backdrop->setGeometry(0, 0, 600, 500);
        m_backdrop->show();
        QApplication::processEvents();
    }
    void TearDown() override { DropShadow::OverrideWindowSystemShadows(std::nullopt); }
    std::unique_ptr<Backdrop> m_backdrop;
};

TEST_F(DropShadowTest, StripsSitRightAndBelowAndTakeNothing) {
    ShadowedDialog dialog;
    dialog.setGeometry(100, 80, 240, 160);
    dialog.show();
    ASSERT_TRUE(
        WaitFor([&] { return dialog.m_dropShadow.RightStrip() && dialog.m_dropShadow.BottomStrip(); }));
    const QRect window = dialog.frameGeometry();
    CShadowWnd* right = dialog.m_dropShadow.RightStrip();
    CShadowWnd* bottom = dialog.m_dropShadow.BottomStrip();
    EXPECT_EQ(right->geometry(), ShadowStripRect(window, ShadowStrip::Right));
    EXPECT_EQ(bottom->geometry(), ShadowStripRect(window, ShadowStrip::Bottom));
    for (CShadowWnd* strip : {right, bottom}) {
        EXPECT_TRUE(strip->isWindow());
        EXPECT_TRUE(strip->isVisible());
        EXPECT_EQ(strip->parentWidget(), &dialog) << "owned by the dialog, so it goes with it";
        const Qt::WindowFlags flags = strip->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
        EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool) << "no taskbar entry";
        EXPECT_EQ(strip->focusPolicy(), Qt::NoFocus);
        EXPECT_FALSE(strip->hasFocus());
    }
    // Painted from the screen behind, darkened: the right strip's lower rows by 26/16 at the left.
    const QImage rightPicture = right->Dib().ToImage();
    ASSERT_FALSE(rightPicture.isNull());
    EXPECT_EQ(rightPicture.pixel(0, 20), qRgb(200 * 16 / 26, 100 * 16 / 26, 50 * 16 / 26));
    const QImage bottomPicture = bottom->Dib().ToImage();
    ASSERT_FALSE(bottomPicture.isNull());
    EXPECT_EQ(bottomPicture.pixel(bottomPicture.width() - 1, 0), qRgb(200, 100, 50));
    EXPECT_EQ(bottomPicture.pixel(50, 0), qRgb(200 * 16 / 24, 100 * 16 / 24, 50 * 16 / 24));
    QApplication::processEvents();
    EXPECT_NE(QApplication::activeWindow(), right);
    EXPECT_NE(QApplication::activeWindow(), bottom);
}

// Strips left where the dialog was would shade nothing: they are built again beside it once it has
// come to rest.
TEST_F(DropShadowTest, AMovedDialogsStripsFollowItAndGoWhenItCloses) {
    ShadowedDialog dialog;
    dialog.setGeometry(100, 80, 240, 160);
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.m_dropShadow.RightStrip() != nullptr; }));
    QPointer<CShadowWnd> right = dialog.m_dropShadow.RightStrip();
    const QRect placed = right->geometry();
    dialog.move(160, 120);
    ASSERT_TRUE(WaitFor([&] { return right.isNull(); })) << "no strip stays where the dialog was";
    ASSERT_TRUE(
        WaitFor([&] { return dialog.m_dropShadow.RightStrip() && dialog.m_dropShadow.BottomStrip(); }));
    right = dialog.m_dropShadow.RightStrip();
    QPointer<CShadowWnd> bottom = dialog.m_dropShadow.BottomStrip();
    EXPECT_NE(right->geometry(), placed);
    EXPECT_EQ(right->geometry(), ShadowStripRect(dialog.frameGeometry(), ShadowStrip::Right));
    EXPECT_EQ(bottom->geometry(), ShadowStripRect(dialog.frameGeometry(), ShadowStrip::Bottom));
    dialog.close();
    QApplication::processEvents();
    EXPECT_TRUE(right.isNull());
    EXPECT_TRUE(bottom.isNull());
}

TEST_F(DropShadowTest, StripsGoWithADestroyedOwner) {
    auto dialog = std::make_unique<ShadowedDialog>();
    dialog->setGeometry(100, 80, 240, 160);
    dialog->show();
    ASSERT_TRUE(WaitFor([&] { return dialog->m_dropShadow.BottomStrip() != nullptr; }));
    QPointer<CShadowWnd> bottom = dialog->m_dropShadow.BottomStrip();
    dialog.reset();
    EXPECT_TRUE(bottom.isNull());
}

TEST_F(DropShadowTest, NoStripsWhereTheWindowSystemDrawsShadows) {
    DropShadow::OverrideWindowSystemShadows(true);
    ShadowedDialog dialog;
    dialog.setGeometry(100, 80, 240, 160);
    dialog.show();
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(dialog.m_dropShadow.RightStrip(), nullptr);
    EXPECT_EQ(dialog.m_dropShadow.BottomStrip(), nullptr);
}

} // namespace
