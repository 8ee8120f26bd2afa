#pragma once

#include "data/Records.h"
#include "reports/ListReport.h"

#include <vector>

// "ADDRESS BOOK": eight lines a person, name and address on the left, phones and addresses of
// the net on the right, a rule under each.
class CAddressBookReport : public CListReport {
public:
    CAddressBookReport(QPrinter* printer, std::vector<CPerson> persons);
    void Paginate() override;
    const std::vector<std::vector<int>>& Pages() const { return m_pages; }

protected:
    QString FooterText(int page) const override;
    void DrawRecords(int page) override;

private:
    void DrawPerson(const CPerson& person);

    std::vector<CPerson> m_persons;
    std::vector<std::vector<int>> m_pages;
};
