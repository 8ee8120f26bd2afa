#pragma once

#include "data/Records.h"
#include "reports/Report.h"

#include <QStringList>

#include <vector>

// One envelope a page: the owner's return address at the top left, the person's address centred
// on the page's column 2.
class CEnvelopeReport : public CReport {
public:
    CEnvelopeReport(QPrinter* printer, CUser user, std::vector<CPerson> persons, bool businessNameInAddress,
                    bool businessNameInReturnAddress);

    bool PrintPage(QPainter& dc, int page) override;
    void DrawTitle() override;
    void DrawFooter(int) override {}
    void DrawFrame() override {}
    void Paginate() override {}

    QStringList ReturnAddressLines() const;
    QStringList RecipientLines(const CPerson& person) const;

private:
    CUser m_user;
    std::vector<CPerson> m_persons;
    bool m_businessNameInAddress;
    bool m_businessNameInReturnAddress;
    QPainter* m_dc = nullptr;
};
