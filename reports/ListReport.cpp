#include "reports/ListReport.h"

#include "reports/ReportDraw.h"

#include <QPainter>
#include <QPrinter>

using namespace report_draw;

CListReport::CListReport(QPrinter* printer, QString title, bool shrinkOnNarrowPaper)
    : CReport(printer), m_title(std::move(title)), m_shrinkOnNarrowPaper(shrinkOnNarrowPaper) {}

void CListReport::ShrinkOnNarrowPaper() {
    if (!m_shrinkOnNarrowPaper || !m_printer)
        return;
    if (PaperWidthInches(*m_printer) <= 6 && m_pointSize != 8) {
        m_pointSize = 8;
        MakeFonts(false);
    }
    if (m_printRect.Width() <= 0)
        return;
    while (m_pointSize > 6 && !ColumnsFit()) {
        --m_pointSize;
        MakeFonts(false);
    }
}

bool CListReport::PrintPage(QPainter& dc, int page) {
    m_dc = &dc;
    dc.save();
    dc.setFont(m_normalFont);
    DrawTitle();
    DrawFooter(page);
    DrawFrame();
    dc.setFont(m_normalFont);
    m_y = m_printRect.top + 2 * m_lineHeight;
    DrawRecords(page);
    dc.restore();
    m_dc = nullptr;
    return true;
}

void CListReport::DrawCentred(int y, const QString& text) {
    TextOutCentred(*m_dc, m_printRect.left, m_printRect.right, y, text);
}

void CListReport::DrawTitle() {
    m_dc->setFont(m_boldFont);
    DrawCentred(m_printRect.top, m_title);
    DrawHeads();
    m_dc->setFont(m_normalFont);
}

void CListReport::DrawFooter(int page) {
    m_dc->setFont(m_boldFont);
    DrawCentred(m_printRect.bottom - m_lineHeight, FooterText(page));
    m_dc->setFont(m_normalFont);
}

void CListReport::DrawFrame() {
    const PrintRect& r = m_printRect;
    const int inch = static_cast<int>(ReadDeviceCaps(*m_printer).logPixelsX);
    Line(*m_dc, r.left, r.top, r.left, r.bottom);
    Line(*m_dc, r.right, r.top, r.right, r.bottom);
    Line(*m_dc, r.left, r.top, r.left + inch, r.top);
    Line(*m_dc, r.right, r.top, r.right - inch, r.top);
    Line(*m_dc, r.left, r.bottom, r.left + inch, r.bottom);
    Line(*m_dc, r.right, r.bottom, r.right - inch, r.bottom);
}
