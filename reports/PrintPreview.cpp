#include "reports/PrintPreview.h"

#include "reports/PrintJob.h"
#include "reports/Report.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kSheetGap = 8;
}

CPrintPreviewWindow::CPrintPreviewWindow(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("printPreview"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    UpdateScrollRanges();
}

void CPrintPreviewWindow::SetPrintJob(QPrinter* printer, CPrintJobInfo* info, int firstPage, int lastPage) {
    m_printer = printer;
    m_info = info;
    m_firstPage = firstPage;
    m_lastPage = lastPage;
    if (m_page < m_firstPage || m_page > m_lastPage)
        m_page = m_firstPage;
    viewport()->update();
}

void CPrintPreviewWindow::SetPage(int page) {
    m_page = page;
    viewport()->update();
}

bool CPrintPreviewWindow::NextPage() {
    if (m_page + 1 > m_lastPage || (m_info && !m_info->IsValidPage(static_cast<unsigned>(m_page + 1))))
        return false;
    SetPage(m_page + 1);
    return true;
}

bool CPrintPreviewWindow::PrevPage() {
    if (m_page - 1 < m_firstPage)
        return false;
    SetPage(m_page - 1);
    return true;
}

int CPrintPreviewWindow::ZoomInStep(int zoom) {
    switch (zoom) {
    case 0:
        return 200;
    case 200:
        return 400;
    case 400:
        return 800;
    default:
        return zoom;
    }
}

int CPrintPreviewWindow::ZoomOutStep(int zoom) {
    switch (zoom) {
    case 200:
        return 0;
    case 400:
        return 200;
    case 800:
        return 400;
    default:
        return zoom;
    }
}

void CPrintPreviewWindow::SetZoom(int zoom) {
    const int old = m_zoom;
    m_zoom = zoom;
    int x = 0;
    int y = 0;
    if (zoom != 0) {
        x = horizontalScrollBar()->value();
        y = verticalScrollBar()->value();
        if (old != 0) {
            x = x * zoom / old;
            y = y * zoom / old;
        } else {
            x = zoom / 2;
            y = 0;
        }
    }
    UpdateScrollRanges();
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
    viewport()->update();
}

void CPrintPreviewWindow::UpdateScrollRanges() {
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setRange(0, m_zoom);
        bar->setPageStep(bar == horizontalScrollBar() ? viewport()->width() : viewport()->height());
        bar->setSingleStep(20);
    }
}

QRect CPrintPreviewWindow::SheetRect() const {
    const QSize area = viewport()->size() + QSize(m_zoom, m_zoom);
    const DeviceCaps caps = m_printer ? ReadDeviceCaps(*m_printer) : DeviceCaps{8.5, 11.0, 8.5, 11.0, 0, 0};
    const double paperWidth = caps.physicalWidth > 0 ? caps.physicalWidth : 1.0;
    const double paperHeight = caps.physicalHeight > 0 ? caps.physicalHeight : 1.0;
    const double room = std::max(1, area.width() - 2 * kSheetGap);
    const double roomHeight = std::max(1, area.height() - 2 * kSheetGap);
    const double scale = std::min(room / paperWidth, roomHeight / paperHeight);
    const int width = static_cast<int>(paperWidth * scale);
    const int height = static_cast<int>(paperHeight * scale);
    return QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height);
}

void CPrintPreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRect sheet = SheetRect();
    painter.fillRect(sheet.translated(3, 3), Qt::black);
    painter.fillRect(sheet, Qt::white);
    if (!m_printer || !m_info || !m_info->IsValidPage(static_cast<unsigned>(m_page)))
        return;
    const DeviceCaps caps = ReadDeviceCaps(*m_printer);
    if (caps.physicalWidth <= 0)
        return;
    painter.setClipRect(sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(sheet.topLeft());
    const double scale = sheet.width() / caps.physicalWidth;
    painter.scale(scale, scale);
    painter.translate(caps.physicalOffsetX, caps.physicalOffsetY);
    painter.setPen(Qt::black);
    m_info->PrintPage(static_cast<unsigned>(m_page), painter);
}

void CPrintPreviewWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void CPrintPreviewWindow::scrollContentsBy(int, int) {
    viewport()->update();
}

CPrintPreviewWindow::KeyCommand CPrintPreviewWindow::KeyCommandFor(int key,
                                                                   Qt::KeyboardModifiers modifiers) const {
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return KeyCommand::None;
    const bool acrossScrolls = horizontalScrollBar()->maximum() > horizontalScrollBar()->minimum();
    const bool downScrolls = verticalScrollBar()->maximum() > verticalScrollBar()->minimum();
    switch (key) {
    case Qt::Key_PageDown:
        return KeyCommand::NextPage;
    case Qt::Key_PageUp:
        return KeyCommand::PreviousPage;
    case Qt::Key_Right:
        return acrossScrolls ? KeyCommand::None : KeyCommand::NextPage;
    case Qt::Key_Left:
        return acrossScrolls ? KeyCommand::None : KeyCommand::PreviousPage;
    case Qt::Key_Down:
        return downScrolls ? KeyCommand::None : KeyCommand::NextPage;
    case Qt::Key_Up:
        return downScrolls ? KeyCommand::None : KeyCommand::PreviousPage;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return KeyCommand::ZoomIn;
    case Qt::Key_Minus:
        return KeyCommand::ZoomOut;
    case Qt::Key_Escape:
        return KeyCommand::Close;
    default:
        return KeyCommand::None;
    }
}

void CPrintPreviewWindow::keyPressEvent(QKeyEvent* event) {
    const KeyCommand command =
        isVisible() ? KeyCommandFor(event->key(), event->modifiers()) : KeyCommand::None;
    if (command == KeyCommand::None || !m_keyCommands) {
        // The arrows scroll a zoomed page; every other key ends here, so no hidden pane sees it.
        QAbstractScrollArea::keyPressEvent(event);
        event->accept();
        return;
    }
    event->accept();
    m_keyCommands(command);
}
