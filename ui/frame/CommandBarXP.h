#pragma once

#include "platform/qt/ChromeColors.h"

#include <QFont>
#include <QProxyStyle>
#include <QSize>

class QMenu;
class QStyleOptionMenuItem;

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
    // A popup item's text starts 6 pixels right of the image column and ends an image button's width
    // short of the item's right edge (the room a submenu's arrow takes).
    static constexpr int kMenuTextIndent = kImageButton.width() + 1 + 6;
    static constexpr int kMenuTextRightMargin = kImageButton.width();
    // Room between an item's text and its shortcut.
    static constexpr int kMenuShortcutGap = kImageButton.width() / 2;

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
    // Where a popup item's text is drawn inside the item's rectangle. Measuring an item sizes it from
    // the same rectangle, so the widest item's text always fits.
    static QRect MenuItemTextRect(const QRect& item);
    // The width the text of an item (its label, or the part after the tab) takes when drawn.
    static int MenuTextWidth(const QFont& font, const QString& text);
    // The font an item's text is drawn in: the menu's, bold for the default item.
    static QFont MenuItemFont(const QStyleOptionMenuItem& item);

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
