#pragma once

#include <QByteArray>
#include <QWidget>

#include <cstdint>
#include <memory>

class QPainter;
class QSvgRenderer;

// A rectangle as left, top, right, bottom (right and bottom exclusive, as Windows keeps them).
struct PictureRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PictureRect&, const PictureRect&) = default;
};

// The target rectangle of a picture of natural size w x h drawn into r with a fit mode: 1-9 place it
// at a corner, edge middle or centre and clip it to r; 10 stretches it over r; 11 keeps its
// proportions, centred. Any other mode leaves r unchanged.
PictureRect FitPictureRect(const PictureRect& r, int w, int h, int mode);

// The 22-byte header that may precede a Windows metafile (all zero when absent).
struct PlaceableHeader {
    uint32_t key = 0;
    uint16_t handle = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t unitsPerInch = 0;
    uint32_t reserved = 0;
    uint16_t checksum = 0;
};

// The program's picture. Resource 156 is the SVG :/pelmora.svg. A picture may begin with the
// placeable-metafile header; its bounding box and units per inch then give the natural size that
// the fit modes use, and what follows it is the picture (SVG). A Windows metafile body has no player
// here, so it does not load.
class CMetafilePicture {
public:
    static constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
    static constexpr int kProgramPicture = 156;

    CMetafilePicture();
    ~CMetafilePicture();

    // Loads a picture resource by id; false when there is none or it cannot be read.
    bool Load(int resourceId);
    // Loads a picture from its bytes.
    bool LoadData(const QByteArray& data);
    // Draws into rect with the fit mode; nothing without a loaded picture.
    void Draw(QPainter& painter, const PictureRect& rect, int mode) const;
    void Release();

    bool IsLoaded() const;
    const PlaceableHeader& Header() const { return m_header; }
    // The rectangle Draw uses: fitted by the natural size with a placeable header, else rect itself.
    PictureRect TargetRect(const PictureRect& rect, int mode) const;

private:
    PlaceableHeader m_header;
    std::unique_ptr<QSvgRenderer> m_renderer;
};

// A child window that paints the program's picture over its whole area (fit mode 10); it stands in
// the place of a dialog's picture placeholder.
class PictureWidget : public QWidget {
public:
    explicit PictureWidget(int controlId, QWidget* parent = nullptr, int mode = 10);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_mode;
};
