#include "reports/EnvelopeReport.h"

#include "reports/ReportDraw.h"

#include <QPainter>

#include <algorithm>

using namespace report_draw;

CEnvelopeReport::CEnvelopeReport(QPrinter* printer, CUser user, std::vector<CPerson> persons,
                                 bool businessNameInAddress, bool businessNameInReturnAddress)
    : CReport(printer), m_user(std::move(user)), m_persons(std::move(persons)),
      m_businessNameInAddress(businessNameInAddress),
      m_businessNameInReturnAddress(businessNameInReturnAddress) {
    m_pageCount = static_cast<int>(m_persons.size());
}

QStringList CEnvelopeReport::ReturnAddressLines() const {
    QStringList lines;
    lines << QStringLiteral("%1 %2").arg(Text(m_user.m_FName), Text(m_user.m_LName));
    if (m_businessNameInReturnAddress && !m_user.m_Company.IsEmpty())
        lines << Text(m_user.m_Company);
    lines << Text(m_user.m_Addr1);
    if (!m_user.m_Addr2.IsEmpty())
        lines << Text(m_user.m_Addr2);
    lines << QStringLiteral("%1, %2 %3").arg(Text(m_user.m_City), Text(m_user.m_State), Text(m_user.m_Zip));
    return lines;
}

QStringList CEnvelopeReport::RecipientLines(const CPerson& p) const {
    QStringList lines;
    lines << (p.m_FName.IsEmpty() ? Text(p.m_LName) : Text(p.m_FName) + ' ' + Text(p.m_LName));
    if (m_businessNameInAddress && !p.m_Company.IsEmpty())
        lines << Text(p.m_Company);
    lines << Text(p.m_Addr1);
    if (!p.m_Addr2.IsEmpty())
        lines << Text(p.m_Addr2);
    const QString cityState =
        p.m_City.IsEmpty() ? Text(p.m_State) : Text(p.m_City) + QStringLiteral(", ") + Text(p.m_State);
    lines << cityState + ' ' + Text(p.m_Zip);
    return lines;
}

void CEnvelopeReport::DrawTitle() {
    const QStringList lines = ReturnAddressLines();
    for (int i = 0; i < lines.size(); ++i)
        TextOutFitted(*m_dc, m_column1, m_printRect.top + i * m_lineHeight, m_column2 - m_avgCharWidth,
                      lines[i]);
}

bool CEnvelopeReport::PrintPage(QPainter& dc, int page) {
    if (page < 0 || page >= static_cast<int>(m_persons.size()))
        return false;
    m_dc = &dc;
    dc.save();
    dc.setFont(m_normalFont);
    DrawTitle();
    const QStringList lines = RecipientLines(m_persons[static_cast<size_t>(page)]);
    const int x = std::max(m_printRect.left, m_column2 - TextWidth(dc, lines.last()) / 2);
    // The address starts one line below the middle of the frame, measured from the frame's top so
    // that it stays where it is on the paper whatever the printer's page area. In a frame too low
    // for that it ends at the frame's bottom, and never rises into the return address above it.
    const int L = m_lineHeight;
    const int belowReturn = m_printRect.top + (static_cast<int>(ReturnAddressLines().size()) + 1) * L;
    const int height = static_cast<int>(lines.size()) * L;
    const int middle = m_printRect.top + m_printRect.Height() / 2 + L;
    const int y = std::max(belowReturn, std::min(middle, m_printRect.bottom - height));
    // A long line ends in an ellipsis at the print rectangle's right edge; lines below its bottom
    // are left out.
    for (int i = 0; i < lines.size() && y + (i + 1) * L <= m_printRect.bottom; ++i)
        TextOutFitted(dc, x, y + i * L, m_printRect.right, lines[i]);
    dc.restore();
    m_dc = nullptr;
    return true;
}
