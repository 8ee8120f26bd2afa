#include "ui/document/MetafilePicture.h"

#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace {

uint16_t Word(const QByteArray& data, int at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(data[at]) | (static_cast<uint8_t>(data[at + 1]) << 8));
}

uint32_t Dword(const QByteArray& data, int at) {
    return Word(data, at) | (static_cast<uint32_t>(Word(data, at + 2)) << 16);
}

constexpr int kPlaceableSize = 22;

} // namespace

PictureRect FitPictureRect(const PictureRect& r, int w, int h, int mode) {
    PictureRect result = r;
    if (mode < 1 || mode > 11 || mode == 10)
        return result;
    if (mode == 11) {
        const long long rectWidth = r.right - r.left;
        const long long rectHeight = r.bottom - r.top;
        if (w <= 0 || h <= 0)
            return result;
        if (rectHeight * w >= rectWidth * h) {
            const int newHeight = static_cast<int>(rectWidth * h / w);
            result.top = (r.top + r.bottom - newHeight) / 2;
            result.bottom = result.top + newHeight;
        } else {
            const int newWidth = static_cast<int>(rectHeight * w / h);
            result.left = (r.left + r.right - newWidth) / 2;
            result.right = result.left + newWidth;
        }
        return result;
    }
    const int row = (mode - 1) / 3;    // 0 top, 1 middle, 2 bottom
    const int column = (mode - 1) % 3; // 0 left, 1 centre, 2 right
    switch (row) {
    case 0:
        result.bottom = r.top + h;
        break;
    case 1:
        result.top = (r.top + r.bottom - h) / 2;
        result.bottom = result.top + h;
        break;
    default:
        result.top = r.bottom - h;
        break;
    }
    switch (column) {
    case 0:
        result.right = r.left + w;
        break;
    case 1:
        result.left = (r.left + r.right - w) / 2;
        result.right = result.left + w;
        break;
    default:
        result.left = r.right - w;
        break;
    }
    result.left = std::max(result.left, r.left);
    result.top = std::max(result.top, r.top);
    result.right = std::min(result.right, r.right);
    result.bottom = std::min(result.bottom, r.bottom);
    return result;
}

CMetafilePicture::CMetafilePicture() = default;
CMetafilePicture::~CMetafilePicture() = default;

bool CMetafilePicture::Load(int resourceId) {
    Release();
    if (resourceId != kProgramPicture)
        return false;
    InitPelmoraResources();
    QFile file(QStringLiteral(":/pelmora.svg"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return LoadData(file.readAll());
}

bool CMetafilePicture::LoadData(const QByteArray& data) {
    Release();
    int offset = 0;
    if (data.size() >= 4 && Dword(data, 0) == kPlaceableKey) {
        if (data.size() < kPlaceableSize)
            return false;
        m_header.key = Dword(data, 0);
        m_header.handle = Word(data, 4);
        m_header.left = static_cast<int16_t>(Word(data, 6));
        m_header.top = static_cast<int16_t>(Word(data, 8));
        m_header.right = static_cast<int16_t>(Word(data, 10));
        m_header.bottom = static_cast<int16_t>(Word(data, 12));
        m_header.unitsPerInch = Word(data, 14);
        m_header.reserved = Dword(data, 16);
        m_header.checksum = Word(data, 20);
        offset = kPlaceableSize;
    }
    // The body must be SVG; a Windows metafile body has no player here and does not load.
    auto renderer = std::make_unique<QSvgRenderer>(data.mid(offset));
    if (!renderer->isValid()) {
        Release();
        return false;
    }
    m_renderer = std::move(renderer);
    return true;
}

bool CMetafilePicture::IsLoaded() const {
    return m_renderer != nullptr;
}

void CMetafilePicture::Release() {
    m_renderer.reset();
    m_header = PlaceableHeader();
}

PictureRect CMetafilePicture::TargetRect(const PictureRect& rect, int mode) const {
    if (m_header.key != kPlaceableKey || m_header.unitsPerInch == 0)
        return rect;
    const int w = (m_header.right - m_header.left) * 254 / m_header.unitsPerInch;
    const int h = (m_header.bottom - m_header.top) * 254 / m_header.unitsPerInch;
    return FitPictureRect(rect, w, h, mode);
}

void CMetafilePicture::Draw(QPainter& painter, const PictureRect& rect, int mode) const {
    if (!m_renderer)
        return;
    const PictureRect target = TargetRect(rect, mode);
    m_renderer->render(
        &painter, QRectF(target.left, target.top, target.right - target.left, target.bottom - target.top));
}

PictureWidget::PictureWidget(int controlId, QWidget* parent, int mode) : QWidget(parent), m_mode(mode) {
    SetControlId(this, controlId);
    setMinimumSize(120, 90);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    CMetafilePicture picture;
    if (picture.Load(CMetafilePicture::kProgramPicture))
        picture.Draw(painter, PictureRect{0, 0, width(), height()}, m_mode);
    picture.Release();
}
