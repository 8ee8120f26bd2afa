#pragma once

#include <QAbstractScrollArea>

#include <functional>

class CPrintJobInfo;
class QPrinter;

// The print preview: one page of the printer at a time, drawn through the print-job callback on a
// white sheet scaled into the window. The zoom value is how many pixels the scrollable area
// exceeds the window in each direction; 0 shows the whole page.
class CPrintPreviewWindow : public QAbstractScrollArea {
public:
    // What a key asks of the preview; the window that shows the preview carries it out, as it does
    // the preview toolbar's buttons.
    enum class KeyCommand { None, NextPage, PreviousPage, ZoomIn, ZoomOut, Close };
    using KeyCommandHandler = std::function<void(KeyCommand)>;

    explicit CPrintPreviewWindow(QWidget* parent = nullptr);

    void SetKeyCommandHandler(KeyCommandHandler handler) { m_keyCommands = std::move(handler); }
    // Page Down / Page Up turn the page, and so do the arrows in a direction the view cannot scroll;
    // + and - zoom; Escape closes the preview.
    KeyCommand KeyCommandFor(int key, Qt::KeyboardModifiers modifiers) const;

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
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateScrollRanges();

    QPrinter* m_printer = nullptr;
    CPrintJobInfo* m_info = nullptr;
    int m_firstPage = 0;
    int m_lastPage = -1;
    int m_page = 0;
    int m_zoom = 0;
    KeyCommandHandler m_keyCommands;
};
