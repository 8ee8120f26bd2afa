#pragma once

#include "reports/Report.h"

#include <QString>

#include <vector>

class QPainter;

// The common page of the list reports: a bold title centred at the top, a bold footer centred one
// line above the bottom, the frame of side lines with inch-long corners, and the records drawn
// from two lines below the top.
class CListReport : public CReport {
public:
    CListReport(QPrinter* printer, QString title, bool shrinkOnNarrowPaper);

    bool PrintPage(QPainter& dc, int page) override;
    void DrawTitle() override;
    // The 0-based page's footer.
    void DrawFooter(int page) override;
    void DrawFrame() override;

protected:
    virtual QString FooterText(int page) const = 0;
    // The column heads at two lines below the top, when the report has them.
    virtual void DrawHeads() {}
    virtual void DrawRecords(int page) = 0;
    // On paper 6 inches wide or narrower the daily reports and the address book print at 8 points
    // from then on; in a frame too narrow for the report's columns at that size it prints smaller,
    // down to 6 points, until they fit.
    void ShrinkOnNarrowPaper();
    // Whether the columns hold their values whole at the current size.
    virtual bool ColumnsFit() const { return true; }
    // The text centred in the print rectangle at y, cut with an ellipsis when wider than it.
    void DrawCentred(int y, const QString& text);

    QPainter* m_dc = nullptr;

private:
    QString m_title;
    bool m_shrinkOnNarrowPaper;
};
