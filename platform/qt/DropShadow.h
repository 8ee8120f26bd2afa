#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QImage;
class QTimer;

// The header at the start of a device-independent bitmap (40 bytes, little-endian on every target).
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: rows run bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0; // uncompressed RGB
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// A device-independent bitmap in one memory block: the header, the palette entries (none at 24 bits)
// and the pixel rows, stored bottom-up, each padded to whole 32-bit words.
class CDib {
public:
    static int RowStride(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }
    static int PaletteEntries(int bitsPerPixel);

    bool Create(int width, int height, int bitsPerPixel);
    // A 24-bit copy of the picture; false (and empty) when it has no pixels.
    bool CreateFrom(const QImage& picture);
    void Clear() { m_block.clear(); }
    bool IsEmpty() const { return m_block.empty(); }

    const BitmapInfoHeader& Header() const;
    int Width() const { return Header().width; }
    int Height() const { return Header().height; }
    int Stride() const { return RowStride(Width(), Header().bitCount); }
    std::size_t BlockSize() const { return m_block.size(); }
    // The bytes of row y, counted from the top of the picture.
    std::uint8_t* Row(int y);
    const std::uint8_t* Row(int y) const;
    // The 24-bit picture as an image (null when empty).
    QImage ToImage() const;

private:
    std::size_t PixelOffset() const;
    std::vector<std::uint8_t> m_block;
};

enum class ShadowStrip { Right, Bottom };

// The darkening factor f of the pixel at column x, row y of a strip (a byte b becomes b * 16 / f; 16
// keeps it). The bottom strip's factor depends on its width.
int RightStripFactor(int x, int y);
int BottomStripFactor(int x, int y, int width);
// Darkens a 24-bit strip in place.
void DarkenStrip(CDib& dib, ShadowStrip strip);
// The screen rectangle of a strip for a window rectangle; empty when the window is too small.
QRect ShadowStripRect(const QRect& window, ShadowStrip strip);

// One strip of shadow: a frameless window that never takes the focus, the mouse or a taskbar entry,
// painting a still picture of what lay under it, darkened.
class CShadowWnd : public QWidget {
public:
    explicit CShadowWnd(QWidget* owner);
    // Takes the screen under the rectangle and darkens it; a failed capture leaves the strip empty.
    void Capture(const QRect& screenRect, ShadowStrip strip);
    const CDib& Dib() const { return m_dib; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CDib m_dib;
};

// The 5-pixel shadow right of and below a window: a member of the dialog (or attached to a popup menu)
// that builds both strips at the window's first paint and places them behind it; they go when the
// window hides or is destroyed. The strips are still pictures that the window system keeps above other
// windows, so a dialog drops them while it moves or another window is active over it, and builds them
// afresh once it has come to rest or is active again. Where the window system draws shadows itself none
// is built.
class DropShadow : public QObject {
public:
    explicit DropShadow(QWidget* owner);
    ~DropShadow() override;

    CShadowWnd* RightStrip() const { return m_right; }
    CShadowWnd* BottomStrip() const { return m_bottom; }

    // True when the window system draws window shadows: any Wayland compositor, or a compositing
    // manager on X11.
    static bool WindowSystemDrawsShadows();
    // Lets tests decide the answer above (nullopt asks the window system again).
    static void OverrideWindowSystemShadows(std::optional<bool> drawsShadows);
    // How long a moved or re-activated window waits before its strips are built again.
    static constexpr int kRebuildDelayMs = 150;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateStrips();
    void DestroyStrips();
    void RebuildLater();
    bool IsPopup() const { return m_owner->windowType() == Qt::Popup; }
    bool OwnsStrip(const QWidget* window) const;

    QWidget* m_owner;
    QTimer* m_rebuild;
    bool m_decided = false;
    bool m_drawn = false; // the strips are this program's to draw for the current showing
    QPointer<CShadowWnd> m_right;
    QPointer<CShadowWnd> m_bottom;
};
