#include "platform/qt/DropShadow.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstring>

#ifdef PELM_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

constexpr int kShadowSize = 5;

std::optional<bool>& ShadowOverride() {
    static std::optional<bool> drawsShadows;
    return drawsShadows;
}

#ifdef PELM_HAVE_XCB
// A compositing manager owns the selection _NET_WM_CM_S<screen> while it runs.
bool X11CompositorRuns() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const char* name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
    if (!atom)
        return false;
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    return owned;
}
#endif

} // namespace

int CDib::PaletteEntries(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

bool CDib::Create(int width, int height, int bitsPerPixel) {
    m_block.clear();
    if (width <= 0 || height <= 0)
        return false;
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitsPerPixel);
    header.sizeImage = static_cast<std::uint32_t>(height * RowStride(width, bitsPerPixel));
    m_block.assign(sizeof header + PaletteEntries(bitsPerPixel) * 4 + header.sizeImage, 0);
    std::memcpy(m_block.data(), &header, sizeof header);
    return true;
}

bool CDib::CreateFrom(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull() || !Create(rgb.width(), rgb.height(), 24))
        return false;
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* source = rgb.constScanLine(y);
        std::uint8_t* target = Row(y);
        for (int x = 0; x < rgb.width(); ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    return true;
}

const BitmapInfoHeader& CDib::Header() const {
    static const BitmapInfoHeader empty;
    return m_block.empty() ? empty : *reinterpret_cast<const BitmapInfoHeader*>(m_block.data());
}

std::size_t CDib::PixelOffset() const {
    return sizeof(BitmapInfoHeader) + PaletteEntries(Header().bitCount) * 4;
}

std::uint8_t* CDib::Row(int y) {
    return m_block.data() + PixelOffset() + static_cast<std::size_t>(Height() - 1 - y) * Stride();
}

const std::uint8_t* CDib::Row(int y) const {
    return m_block.data() + PixelOffset() + static_cast<std::size_t>(Height() - 1 - y) * Stride();
}

QImage CDib::ToImage() const {
    if (IsEmpty() || Header().bitCount != 24)
        return {};
    QImage picture(Width(), Height(), QImage::Format_RGB888);
    for (int y = 0; y < Height(); ++y) {
        const std::uint8_t* source = Row(y);
        std::uint8_t* target = picture.scanLine(y);
        for (int x = 0; x < Width(); ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    return picture;
}

int RightStripFactor(int x, int y) {
    if (y < kShadowSize)
        return (2 * (5 - x)) / (5 - y) + 16;
    return 26 - 2 * x;
}

int BottomStripFactor(int x, int y, int width) {
    if (x == width - 1)
        return 16; // the last column keeps the screen colour
    if (x <= 4)
        return ((4 - y) * 4) / (6 - x) + 16;
    if (x <= width - 7)
        return 2 * (4 - y) + 16;
    const int c = x - (width - 6);
    return ((4 - y) * 3 + 3) / (c + 3) + 16;
}

void DarkenStrip(CDib& dib, ShadowStrip strip) {
    if (dib.IsEmpty() || dib.Header().bitCount != 24)
        return;
    for (int y = 0; y < dib.Height(); ++y) {
        std::uint8_t* row = dib.Row(y);
        for (int x = 0; x < dib.Width(); ++x) {
            const int f =
                strip == ShadowStrip::Right ? RightStripFactor(x, y) : BottomStripFactor(x, y, dib.Width());
            for (int byte = 0; byte < 3; ++byte)
                row[3 * x + byte] = static_cast<std::uint8_t>(row[3 * x + byte] * 16 / f);
        }
    }
}

QRect ShadowStripRect(const QRect& window, ShadowStrip strip) {
    const int right = window.x() + window.width();
    const int bottom = window.y() + window.height();
    if (strip == ShadowStrip::Right)
        return window.height() > kShadowSize
                   ? QRect(right, window.y() + kShadowSize, kShadowSize, window.height() - kShadowSize)
                   : QRect();
    return window.width() > 0 ? QRect(window.x() + kShadowSize, bottom, window.width(), kShadowSize)
                              : QRect();
}

CShadowWnd::CShadowWnd(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                         Qt::NoDropShadowWindowHint) {
    setObjectName(QStringLiteral("WTL_MenuShadow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void CShadowWnd::Capture(const QRect& screenRect, ShadowStrip strip) {
    m_dib.Clear();
    QScreen* screen = QGuiApplication::screenAt(screenRect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QPoint origin = screen->geometry().topLeft();
    const QPixmap grab = screen->grabWindow(0, screenRect.x() - origin.x(), screenRect.y() - origin.y(),
                                            screenRect.width(), screenRect.height());
    // Only a grab with every line of the strip counts.
    if (grab.isNull() || grab.height() != screenRect.height() || grab.width() != screenRect.width())
        return;
    if (m_dib.CreateFrom(grab.toImage()))
        DarkenStrip(m_dib, strip);
}

bool CShadowWnd::event(QEvent* event) {
    // A window system that activates every shown window gets the activation handed back.
    if (event->type() == QEvent::WindowActivate && parentWidget())
        parentWidget()->activateWindow();
    return QWidget::event(event);
}

void CShadowWnd::paintEvent(QPaintEvent*) {
    if (m_dib.IsEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_dib.ToImage());
}

DropShadow::DropShadow(QWidget* owner) : QObject(owner), m_owner(owner), m_rebuild(new QTimer(this)) {
    m_rebuild->setSingleShot(true);
    m_rebuild->setInterval(kRebuildDelayMs);
    connect(m_rebuild, &QTimer::timeout, this, [this] { CreateStrips(); });
    owner->installEventFilter(this);
}

DropShadow::~DropShadow() {
    DestroyStrips();
}

bool DropShadow::WindowSystemDrawsShadows() {
    if (ShadowOverride())
        return *ShadowOverride();
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
#ifdef PELM_HAVE_XCB
    if (platform == QLatin1String("xcb"))
        return X11CompositorRuns();
#endif
    return false;
}

void DropShadow::OverrideWindowSystemShadows(std::optional<bool> drawsShadows) {
    ShadowOverride() = drawsShadows;
}

bool DropShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_owner)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        if (!m_decided) {
            // Decided once per showing; built once the paint is done, so the grab never waits on the
            // owner's own painting.
            m_decided = true;
            m_drawn = !WindowSystemDrawsShadows();
            if (m_drawn)
                QMetaObject::invokeMethod(
                    this, [this] { CreateStrips(); }, Qt::QueuedConnection);
        }
        break;
    case QEvent::Hide:
        m_rebuild->stop();
        DestroyStrips();
        m_decided = false;
        m_drawn = false;
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // Strips left where the window was would shade nothing; they follow once it has come to rest.
        if (m_drawn && m_owner->isVisible()) {
            DestroyStrips();
            RebuildLater();
        }
        break;
    case QEvent::WindowDeactivate:
        // A window that comes over this one must not be shaded by strips kept above it; a strip that
        // took the activation for a moment hands it back.
        // Dropped once Qt has finished handling the activation: the window it was taken from may be
        // one of the strips, which must not be deleted while Qt still refers to it.
        if (m_drawn && !IsPopup())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_owner->isActiveWindow() && !OwnsStrip(QApplication::activeWindow())) {
                        m_rebuild->stop();
                        DestroyStrips();
                    }
                },
                Qt::QueuedConnection);
        break;
    case QEvent::WindowActivate:
        if (m_drawn && !IsPopup() && !m_right && !m_bottom)
            RebuildLater();
        break;
    default:
        break;
    }
    return false;
}

bool DropShadow::OwnsStrip(const QWidget* window) const {
    return window && (window == m_right.data() || window == m_bottom.data());
}

void DropShadow::RebuildLater() {
    m_rebuild->start();
}

void DropShadow::CreateStrips() {
    if (m_right || m_bottom || !m_owner->isVisible())
        return;
    // Another window active over this one would lie under strips kept on top of it.
    if (!IsPopup() && QApplication::activeWindow() && !m_owner->isActiveWindow())
        return;
    const QRect window = m_owner->frameGeometry();
    const auto build = [this, &window](ShadowStrip kind) -> CShadowWnd* {
        const QRect place = ShadowStripRect(window, kind);
        if (place.isEmpty())
            return nullptr;
        auto* strip = new CShadowWnd(m_owner);
        strip->Capture(place, kind);
        strip->setGeometry(place);
        strip->show();
        return strip;
    };
    m_right = build(ShadowStrip::Right);
    m_bottom = build(ShadowStrip::Bottom);
    // The strips go directly behind their window (a window system without stacking has no behind).
    if ((m_right || m_bottom) && QGuiApplication::platformName() != QLatin1String("offscreen"))
        m_owner->raise();
}

void DropShadow::DestroyStrips() {
    delete m_right.data();
    delete m_bottom.data();
}
