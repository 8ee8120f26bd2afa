#pragma once

#include <QAbstractScrollArea>

class CPrintJobInfo;
class QPrinter;

// The print preview: one page of the printer at a time, drawn through the print-job callback on a
// white sheet scaled into the window. The zoom value is how many pixels the scrollable area
// exceeds the window in each direction; 0 shows the whole page.
class CPrintPreviewWindow : public QAbstractScrollArea {
public:
    explicit CPrintPreviewWindow(QWidget* parent = nullptr);

    // The printer (its paper and page rectangles), the callback and the page range; none owned.
    void SetPrintJob(QPrinter* printer, CPrintJobInfo* info, int firstPage, int lastPage);
    void SetPage(int page);
    int GetPage() const { return m_page; }
    int FirstPage() const { return m_firstPage; }
    int LastPage() const { return m_lastPage; }
    bool NextPage();
    bool PrevPage();

    int GetZoom() const { return m_zoom; }
    // Applies a zoom value, keeping the view's relative scroll position.
    void SetZoom(int zoom);
    // The zoom steps 0, 200, 400, 800; other values stay.
    static int ZoomInStep(int zoom);
    static int ZoomOutStep(int zoom);
    static constexpr int kMaxZoom = 800;

    // Where the sheet lies in the scrollable area (before scrolling).
    QRect SheetRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRanges();

    QPrinter* m_printer = nullptr;
    CPrintJobInfo* m_info = nullptr;
    int m_firstPage = 0;
    int m_lastPage = -1;
    int m_page = 0;
    int m_zoom = 0;
};
