#pragma once

#include "platform/qt/ChromeColors.h"

#include <QFont>
#include <QProxyStyle>
#include <QSize>

class QMenu;

// The flat look of the menu bar, the frame's toolbars (the main and the print-preview toolbar), their
// band and the menus opened from them, drawn over the desktop's own style; every other control keeps
// the desktop's look. The colours come from the process-wide table, computed again whenever the
// application palette or the desktop's theme changes, so a new colour scheme shows at the next paint.
class CCommandBarXPCtrl : public QProxyStyle {
public:
    // The image button of menus and toolbars: a 16-pixel image with its margins.
    static constexpr QSize kImageButton{22, 22};
    // The frame of a popup menu; the image column runs through it.
    static constexpr int kMenuFrame = 3;
    static constexpr int kChevronWidth = 12;

    CCommandBarXPCtrl();
    ~CCommandBarXPCtrl() override;

    // The toolbars in the look: the frame's main and print-preview toolbars.
    static bool IsXpToolBar(const QWidget* widget);
    // Menus opened from the menu bar or from such a toolbar, and their submenus.
    static bool IsXpMenu(const QWidget* widget);
    // The width of the open menu-bar button the menu hangs from (0 when it opened anywhere else).
    static int MenuGapWidth(const QMenu* menu);
    // The "»" of a clipped toolbar: bold Verdana of 8 points, or the nearest installed face.
    static QFont ChevronFont();

    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawMenuBarItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void DrawMenuItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void DrawMenuFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void DrawToolButton(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    void DrawChevron(const QStyleOptionComplex* option, QPainter* painter) const;
    void DrawGripper(const QStyleOption* option, QPainter* painter) const;
};

// Gives the application the flat look.
void InstallCommandBarXP();
