#include "reports/AddressBookReport.h"

#include "reports/ReportDraw.h"

#include <QPainter>

using namespace report_draw;

CAddressBookReport::CAddressBookReport(QPrinter* printer, std::vector<CPerson> persons)
    : CListReport(printer, QStringLiteral("ADDRESS BOOK"), true), m_persons(std::move(persons)) {}

void CAddressBookReport::Paginate() {
    // On narrow paper the address book prints at 8 points as the daily reports do: at the chosen
    // size half of each column's names and numbers would end in an ellipsis.
    ShrinkOnNarrowPaper();
    m_pages = PaginateLines(static_cast<int>(m_persons.size()), 8, m_lineHeight, m_printRect.top,
                            m_printRect.bottom);
    // An empty address book still prints its title page.
    m_pageCount = m_pages.empty() ? 1 : static_cast<int>(m_pages.size());
}

QString CAddressBookReport::FooterText(int page) const {
    return QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_pageCount);
}

void CAddressBookReport::DrawRecords(int page) {
    if (page < 0 || page >= static_cast<int>(m_pages.size()))
        return;
    for (int index : m_pages[static_cast<size_t>(page)]) {
        DrawPerson(m_persons[static_cast<size_t>(index)]);
        m_y += 8 * m_lineHeight;
    }
}

void CAddressBookReport::DrawPerson(const CPerson& p) {
    QPainter& dc = *m_dc;
    const int L = m_lineHeight;
    const int y0 = m_y;
    std::vector<QString> left;
    left.push_back(p.m_FName.IsEmpty() ? Text(p.m_LName) : Text(p.m_FName) + ' ' + Text(p.m_LName));
    left.push_back(QStringLiteral("Company: %1").arg(Text(p.m_Company)));
    left.push_back(QStringLiteral("Position: %1").arg(Text(p.m_Position)));
    left.push_back(Text(p.m_Addr1));
    if (!p.m_Addr2.IsEmpty())
        left.push_back(Text(p.m_Addr2));
    const QString cityState =
        p.m_City.IsEmpty() ? Text(p.m_State) : Text(p.m_City) + QStringLiteral(", ") + Text(p.m_State);
    left.push_back(cityState + ' ' + Text(p.m_Zip));
    // Each half keeps to its column: a long value ends in an ellipsis before the other column or
    // the frame.
    for (size_t i = 0; i < left.size(); ++i)
        TextOutFitted(dc, m_column1, y0 + static_cast<int>(i) * L, m_column2 - m_avgCharWidth, left[i]);

    const QString work =
        p.m_WkExt.IsEmpty()
            ? QStringLiteral("Work Phone: %1").arg(Text(p.m_WkPhone))
            : QStringLiteral("Work Phone: %1 Ext. %2").arg(Text(p.m_WkPhone), Text(p.m_WkExt));
    const QString right[] = {
        QStringLiteral("Home Phone: %1").arg(Text(p.m_HmPhone)),
        work,
        QStringLiteral("Fax: %1").arg(Text(p.m_WkFax)),
        QStringLiteral("E-Mail: %1").arg(Text(p.m_Email)),
        QStringLiteral("Pager: %1").arg(Text(p.m_Pager)),
        QStringLiteral("CelPhone: %1").arg(Text(p.m_CelPhone)),
        QStringLiteral("Web Page: %1").arg(Text(p.m_WebPage)),
    };
    for (int i = 0; i < 7; ++i)
        TextOutFitted(dc, m_column2, y0 + i * L, m_printRect.right - m_avgCharWidth, right[i]);
    Line(dc, m_column1, y0 + 7 * L, m_printRect.right, y0 + 7 * L);
}
