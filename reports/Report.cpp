#include "reports/Report.h"

#include <QFontMetrics>
#include <QPrinter>

#include <cmath>

DeviceCaps ReadDeviceCaps(const QPrinter& printer) {
    DeviceCaps caps;
    caps.logPixelsX = printer.resolution();
    caps.logPixelsY = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    caps.physicalWidth = paper.width();
    caps.physicalHeight = paper.height();
    caps.physicalOffsetX = page.left() - paper.left();
    caps.physicalOffsetY = page.top() - paper.top();
    return caps;
}

CReport::CReport(QPrinter* printer) : m_printer(printer) {
    MakeFonts(true);
}

CReport::~CReport() = default;

void CReport::MakeFonts(bool roundHeight) {
    const double logPixelsY = m_printer ? ReadDeviceCaps(*m_printer).logPixelsY : 96.0;
    const double exact = logPixelsY * m_pointSize / 72.0;
    int height = roundHeight ? static_cast<int>(std::lround(exact)) : static_cast<int>(exact);
    if (height < 1)
        height = 1;
    for (QFont* font : {&m_boldFont, &m_normalFont}) {
        *font = QFont(QString::fromUtf8(m_faceName.c_str()));
        font->setPixelSize(height);
        font->setItalic(false);
        font->setUnderline(false);
        font->setStrikeOut(false);
    }
    m_boldFont.setWeight(QFont::Bold);
    m_normalFont.setWeight(QFont::Normal);
    const QFontMetrics metrics =
        m_printer ? QFontMetrics(m_normalFont, m_printer) : QFontMetrics(m_normalFont);
    m_lineHeight = metrics.height() + metrics.leading();
    m_avgCharWidth = metrics.averageCharWidth();
}

void CReport::SetMargins(int left, int top, int right, int bottom) {
    m_leftMargin = left / 1000.0;
    m_topMargin = top / 1000.0;
    m_rightMargin = right / 1000.0;
    m_bottomMargin = bottom / 1000.0;
    const DeviceCaps caps = m_printer ? ReadDeviceCaps(*m_printer) : DeviceCaps{};
    const auto x = static_cast<float>(caps.logPixelsX);
    const auto y = static_cast<float>(caps.logPixelsY);
    const auto width = static_cast<float>(caps.physicalWidth);
    const auto height = static_cast<float>(caps.physicalHeight);
    const auto offsetX = static_cast<float>(caps.physicalOffsetX);
    const auto offsetY = static_cast<float>(caps.physicalOffsetY);
    const int rectLeft = static_cast<int>(x * static_cast<float>(m_leftMargin) - offsetX);
    const int rectTop = static_cast<int>(y * static_cast<float>(m_topMargin) - offsetY);
    const int rectRight = static_cast<int>(width - x * static_cast<float>(m_rightMargin) - offsetX);
    const int rectBottom = static_cast<int>(height - y * static_cast<float>(m_bottomMargin) - offsetY);
    m_printRect = {rectLeft, rectTop, rectRight, rectBottom};
    m_column1 = rectLeft + m_avgCharWidth;
    m_column2 = m_column1 + (rectRight - rectLeft) / 2;
    Paginate();
}

void CReport::SetPointSize(int points) {
    m_pointSize = points;
    MakeFonts(false);
    Paginate();
}

void CReport::SetFont(const QFont& font) {
    m_faceName = font.family().toUtf8().constData();
    if (font.pointSize() > 0)
        m_pointSize = font.pointSize();
    MakeFonts(false);
    Paginate();
}
