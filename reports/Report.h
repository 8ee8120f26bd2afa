#pragma once

#include "platform/core/CString.h"

#include <QFont>

class QPainter;
class QPrinter;

// What a report reads from its printer, in device pixels: the resolution and the paper and page
// rectangles. Drawing happens in page coordinates (origin at the printable area's top left corner).
struct DeviceCaps {
    double logPixelsX = 0;
    double logPixelsY = 0;
    double physicalWidth = 0;
    double physicalHeight = 0;
    double physicalOffsetX = 0;
    double physicalOffsetY = 0;
};
DeviceCaps ReadDeviceCaps(const QPrinter& printer);

// A rectangle by its four edges, right and bottom exclusive, in device pixels.
struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// A printed report: the print rectangle from the margins, the bold and normal report fonts with
// their line metrics, and the pagination hooks. Concrete reports copy their records in at
// construction and draw one page at a time on the painter the print job or the preview gives them.
class CReport {
public:
    // Attaches the printer (not owned): margins 0.5 inch, 10 points "Times New Roman", both fonts
    // made and measured.
    explicit CReport(QPrinter* printer);
    virtual ~CReport();
    CReport(const CReport&) = delete;
    CReport& operator=(const CReport&) = delete;

    // Draws the 0-based page.
    virtual bool PrintPage(QPainter& dc, int page) = 0;
    virtual int GetPageCount() const { return m_pageCount; }
    virtual PrintRect GetPrintRect() const { return m_printRect; }
    virtual void SetPrintRect(const PrintRect& rect) { m_printRect = rect; }
    virtual QPrinter* GetDC() const { return m_printer; }
    virtual void SetDC(QPrinter* printer) { m_printer = printer; }
    // Margins in thousandths of an inch (left, top, right, bottom as the rectangle's edges, as the
    // page setup returns them): sets the print rectangle and the columns, then paginates.
    virtual void SetMargins(int left, int top, int right, int bottom);
    virtual void DrawTitle() = 0;
    virtual void DrawFooter(int page) = 0;
    virtual void DrawFrame() = 0;
    // Splits the records into pages and sets the page count.
    virtual void Paginate() = 0;

    // Both fonts at the size, measured again, then paginates.
    void SetPointSize(int points);
    // Face and size of the font (its point size), both fonts made again, then paginates.
    void SetFont(const QFont& font);
    int MiniMonthHeight() const { return 8 * m_lineHeight; }
    int MiniMonthWidth() const { return 21 * m_avgCharWidth; }

    int PointSize() const { return m_pointSize; }
    const CString& FaceName() const { return m_faceName; }
    const QFont& BoldFont() const { return m_boldFont; }
    const QFont& NormalFont() const { return m_normalFont; }
    int LineHeight() const { return m_lineHeight; }
    int AverageCharWidth() const { return m_avgCharWidth; }
    int Column1() const { return m_column1; }
    int Column2() const { return m_column2; }
    double LeftMargin() const { return m_leftMargin; }
    double RightMargin() const { return m_rightMargin; }
    double TopMargin() const { return m_topMargin; }
    double BottomMargin() const { return m_bottomMargin; }

protected:
    // Remakes both fonts; the pixel height is the truncated or the rounded point conversion.
    void MakeFonts(bool roundHeight);

    QPrinter* m_printer;
    PrintRect m_printRect;
    double m_leftMargin = 0.5;
    double m_rightMargin = 0.5;
    double m_topMargin = 0.5;
    double m_bottomMargin = 0.5;
    QFont m_boldFont;
    QFont m_normalFont;
    int m_lineHeight = 0;
    int m_avgCharWidth = 0;
    int m_y = 0;
    int m_pageCount = 0;
    int m_pointSize = 10;
    CString m_faceName = "Times New Roman";
    int m_column1 = 0;
    int m_column2 = 0;
};
