#include "ui/frame/CommandBarXP.h"

#include "platform/qt/DropShadow.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kShadowProperty = "pelmDropShadow";
constexpr int kDropDownWidth = 14;
constexpr int kWholeDropDownWidth = 10;

void Fill(QPainter* painter, const QRect& rect, QRgb colour) {
    painter->fillRect(rect, QColor(colour));
}

// A rectangle with a 1-pixel border.
void BorderedRect(QPainter* painter, const QRect& rect, QRgb fill, QRgb border) {
    if (rect.isEmpty())
        return;
    Fill(painter, rect, fill);
    painter->save();
    painter->setPen(QColor(border));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

// The flat mono edge on the left, top and right that joins a button to the menu opening under it.
void JoinedButton(QPainter* painter, const QRect& rect, const XpColors& colours) {
    Fill(painter, rect, colours.barBackground);
    painter->save();
    painter->setPen(QColor(colours.frame));
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->restore();
}

QPixmap Silhouette(const QPixmap& image, QRgb colour) {
    QPixmap shape(image.size());
    shape.setDevicePixelRatio(image.devicePixelRatio());
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.drawPixmap(0, 0, image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(shape.rect(), QColor(colour));
    return shape;
}

enum class ImageLook { Normal, Disabled, Hot, InPlace };

void DrawImage(QPainter* painter, const QPoint& at, const QIcon& icon, const QSize& size, ImageLook look,
               QRgb shadow) {
    const QPixmap image = icon.pixmap(size);
    switch (look) {
    case ImageLook::Disabled:
        painter->drawPixmap(at, Silhouette(image, shadow));
        break;
    case ImageLook::Hot:
        painter->drawPixmap(at + QPoint(1, 1), Silhouette(image, shadow));
        painter->drawPixmap(at - QPoint(1, 1), image);
        break;
    case ImageLook::Normal:
    case ImageLook::InPlace:
        painter->drawPixmap(at, image);
        break;
    }
}

void DropDownArrow(QPainter* painter, const QRect& part) {
    const QPoint c = part.center();
    QPainterPath triangle;
    triangle.moveTo(c.x() - 2, c.y() - 2);
    triangle.lineTo(c.x() + 3, c.y() - 2);
    triangle.lineTo(c.x(), c.y() + 1);
    triangle.closeSubpath();
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::black);
    painter->drawPath(triangle);
    painter->restore();
}

// The tick of a checked item, one pixel right of the box's centre.
void CheckMark(QPainter* painter, const QRect& box, QRgb colour) {
    const QPoint c = box.center() + QPoint(1, 0);
    painter->save();
    painter->setPen(QColor(colour));
    for (int i = 0; i < 3; ++i) {
        painter->drawLine(c.x() - 3, c.y() - 1 + i, c.x() - 1, c.y() + 1 + i);
        painter->drawLine(c.x() - 1, c.y() + 1 + i, c.x() + 3, c.y() - 3 + i);
    }
    painter->restore();
}

int MnemonicFlag(const QStyle* style, const QStyleOption* option, const QWidget* widget) {
    return style->styleHint(QStyle::SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic
                                                                          : Qt::TextHideMnemonic;
}

} // namespace

CCommandBarXPCtrl::CCommandBarXPCtrl() {
    RecomputeXpColors();
    if (qApp)
        qApp->installEventFilter(this);
}

CCommandBarXPCtrl::~CCommandBarXPCtrl() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool CCommandBarXPCtrl::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::ApplicationPaletteChange && watched == qApp) ||
        (event->type() == QEvent::ThemeChange && watched->isWidgetType() &&
         static_cast<QWidget*>(watched)->isWindow()))
        RecomputeXpColors();
    return QProxyStyle::eventFilter(watched, event);
}

bool CCommandBarXPCtrl::IsXpToolBar(const QWidget* widget) {
    const auto* bar = qobject_cast<const QToolBar*>(widget);
    return bar && (bar->objectName() == QLatin1String("toolbar128") ||
                   bar->objectName() == QLatin1String("toolbar207"));
}

bool CCommandBarXPCtrl::IsXpMenu(const QWidget* widget) {
    if (!qobject_cast<const QMenu*>(widget))
        return false;
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(parent) || IsXpToolBar(parent))
            return true;
        if (qobject_cast<const QToolButton*>(parent))
            return IsXpToolBar(parent->parentWidget());
        if (!qobject_cast<const QMenu*>(parent))
            return false;
    }
    return false;
}

int CCommandBarXPCtrl::MenuGapWidth(const QMenu* menu) {
    const auto* bar = menu ? qobject_cast<const QMenuBar*>(menu->parentWidget()) : nullptr;
    const QAction* open = bar ? bar->activeAction() : nullptr;
    if (!open || open->menu() != menu)
        return 0;
    const QRect button = bar->actionGeometry(const_cast<QAction*>(open));
    const QPoint under = bar->mapToGlobal(QPoint(button.left(), button.bottom() + 1));
    return menu->geometry().topLeft() == under ? button.width() : 0;
}

QFont CCommandBarXPCtrl::ChevronFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setBold(true);
    return font;
}

QRect CCommandBarXPCtrl::MenuItemTextRect(const QRect& item) {
    return QRect(QPoint(item.left() + kMenuTextIndent, item.top()),
                 QPoint(item.right() - kMenuTextRightMargin, item.bottom()));
}

int CCommandBarXPCtrl::MenuTextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text).width();
}

QFont CCommandBarXPCtrl::MenuItemFont(const QStyleOptionMenuItem& item) {
    QFont font = item.font;
    if (item.menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    return font;
}

void CCommandBarXPCtrl::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (IsXpToolBar(widget->parentWidget()) && qobject_cast<QToolButton*>(widget))
        widget->setAttribute(Qt::WA_Hover);
    if (IsXpMenu(widget) && !widget->property(kShadowProperty).toBool()) {
        widget->setProperty(kShadowProperty, true);
        new DropShadow(widget);
    }
}

int CCommandBarXPCtrl::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                   const QWidget* widget) const {
    if (IsXpMenu(widget)) {
        switch (metric) {
        case PM_MenuPanelWidth:
            return kMenuFrame;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 0;
        default:
            break;
        }
    }
    if (metric == PM_ToolBarExtensionExtent && IsXpToolBar(widget))
        return kChevronWidth;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize CCommandBarXPCtrl::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                          const QWidget* widget) const {
    if (type == CT_ItemViewItem && option) {
        // At small sizes the marks of accented capitals ("Ö", "Å") reach above the font's ascent; a
        // row only as tall as the font cuts them off, so "Özdemir" would read "Ozdemir" in a list.
        QSize itemSize = QProxyStyle::sizeFromContents(type, option, size, widget);
        const QFontMetrics& metrics = option->fontMetrics;
        const int overshoot =
            std::max(0, -metrics.boundingRect(QStringLiteral("\u00C5\u00D6\u00C9")).top() - metrics.ascent());
        itemSize.setHeight(std::max(itemSize.height(), metrics.height() + 2 * overshoot));
        return itemSize;
    }
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item || !IsXpMenu(widget))
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return {1, 5}; // the menu takes the width of its widest item
    const QFont font = MenuItemFont(*item);
    const int height = std::max(QFontInfo(font).pixelSize() + 10, kImageButton.height() + 2);
    // The shortcut's width is added by the menu itself, after the widest item is found.
    int width = kMenuTextIndent + MenuTextWidth(font, item->text.section(QLatin1Char('\t'), 0, 0)) +
                kMenuTextRightMargin;
    if (item->text.contains(QLatin1Char('\t')))
        width += kMenuShortcutGap;
    return {width, height};
}

void CCommandBarXPCtrl::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const {
    const XpColors colours = CurrentXpColors();
    switch (element) {
    case PE_PanelMenu:
        if (IsXpMenu(widget)) {
            Fill(painter, option->rect, colours.menuBackground);
            return;
        }
        break;
    case PE_FrameMenu:
        if (IsXpMenu(widget)) {
            DrawMenuFrame(option, painter, widget);
            return;
        }
        break;
    case PE_PanelMenuBar:
        if (qobject_cast<const QMenuBar*>(widget)) {
            Fill(painter, option->rect, colours.barBackground);
            return;
        }
        break;
    case PE_PanelToolBar:
        if (IsXpToolBar(widget)) {
            Fill(painter, option->rect, colours.barBackground);
            return;
        }
        break;
    case PE_IndicatorToolBarHandle:
        if (IsXpToolBar(widget)) {
            DrawGripper(option, painter);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void CCommandBarXPCtrl::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const {
    const XpColors colours = CurrentXpColors();
    switch (element) {
    case CE_MenuBarItem:
        if (qobject_cast<const QMenuBar*>(widget)) {
            DrawMenuBarItem(option, painter, widget);
            return;
        }
        break;
    case CE_MenuBarEmptyArea:
        if (qobject_cast<const QMenuBar*>(widget)) {
            Fill(painter, option->rect, colours.barBackground);
            return;
        }
        break;
    case CE_ToolBar:
        if (IsXpToolBar(widget)) {
            Fill(painter, option->rect, colours.barBackground);
            return;
        }
        break;
    case CE_MenuItem:
        if (IsXpMenu(widget)) {
            DrawMenuItem(option, painter, widget);
            return;
        }
        break;
    case CE_MenuEmptyArea:
        if (IsXpMenu(widget)) {
            Fill(painter, option->rect, colours.menuBackground);
            Fill(painter, QRect(kMenuFrame, 0, kImageButton.width() + 1, option->rect.height()),
                 colours.barBackground);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CCommandBarXPCtrl::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                           QPainter* painter, const QWidget* widget) const {
    if (control == CC_ToolButton && widget && IsXpToolBar(widget->parentWidget())) {
        if (widget->objectName() == QLatin1String("qt_toolbar_ext_button"))
            DrawChevron(option, painter);
        else
            DrawToolButton(option, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void CCommandBarXPCtrl::DrawMenuBarItem(const QStyleOption* option, QPainter* painter,
                                        const QWidget* widget) const {
    const XpColors colours = CurrentXpColors();
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const bool enabled = option->state & State_Enabled;
    const bool hot = option->state & State_Selected;
    const bool open = option->state & State_Sunken;
    Fill(painter, option->rect, colours.barBackground);
    if (enabled && open)
        JoinedButton(painter, option->rect, colours);
    else if (enabled && hot)
        BorderedRect(painter, option->rect, colours.highlightFill, colours.highlightBorder);
    if (!item)
        return;
    painter->save();
    painter->setPen(QColor(!enabled        ? colours.disabledText
                           : (hot || open) ? colours.hotButtonText
                                           : colours.buttonText));
    painter->drawText(option->rect, Qt::AlignCenter | Qt::TextSingleLine | MnemonicFlag(this, option, widget),
                      item->text);
    painter->restore();
}

void CCommandBarXPCtrl::DrawMenuFrame(const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const {
    const XpColors colours = CurrentXpColors();
    const QRect r = option->rect;
    painter->save();
    Fill(painter, r, colours.menuBackground);
    painter->setPen(QColor(colours.frame));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r.adjusted(0, 0, -1, -1));
    // The image column runs through the frame.
    Fill(painter,
         QRect(QPoint(r.left() + 1, r.top() + kMenuFrame),
               QPoint(r.left() + kMenuFrame - 1, r.bottom() - kMenuFrame)),
         colours.barBackground);
    const int gap = MenuGapWidth(qobject_cast<const QMenu*>(widget));
    if (gap > 1) {
        painter->setPen(QColor(colours.barBackground));
        painter->drawLine(r.left() + 1, r.top(), r.left() + gap - 1, r.top());
    }
    painter->restore();
}

void CCommandBarXPCtrl::DrawMenuItem(const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item)
        return;
    const XpColors colours = CurrentXpColors();
    const QRect r = item->rect;
    const QRect cell(r.left(), r.top(), kImageButton.width(), r.height());
    const QRect imageColumn(r.left(), r.top(), kImageButton.width() + 1, r.height());
    const QRect textPart = r.adjusted(imageColumn.width(), 0, 0, 0);
    const bool enabled = item->state & State_Enabled;
    const bool selected = item->state & State_Selected;

    if (selected && enabled) {
        BorderedRect(painter, r, colours.highlightFill, colours.highlightBorder);
    } else {
        Fill(painter, imageColumn, colours.barBackground);
        Fill(painter, textPart, colours.menuBackground);
    }
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->save();
        painter->setPen(QColor(colours.barBackground));
        const int y = r.top() + r.height() / 2;
        painter->drawLine(textPart.left() + 10, y, textPart.right(), y);
        painter->restore();
        return;
    }

    const QRgb textColour = !enabled   ? colours.disabledText
                            : selected ? colours.selectedItemText
                                       : colours.itemText;
    if (item->icon.isNull()) {
        if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
            const QRect box = cell.adjusted(3, 3, -3, -3);
            BorderedRect(painter, box, selected ? colours.checkedHighlightFill : colours.highlightFill,
                         colours.highlightBorder);
            CheckMark(painter, box, textColour);
        }
    } else {
        const int side = proxy()->pixelMetric(PM_SmallIconSize, option, widget);
        const QSize size(side, side);
        const QPoint at(cell.left() + (cell.width() - side) / 2, cell.top() + (cell.height() - side) / 2);
        DrawImage(painter, at, item->icon, size,
                  !enabled   ? ImageLook::Disabled
                  : selected ? ImageLook::Hot
                             : ImageLook::Normal,
                  colours.imageShadow);
    }

    painter->save();
    painter->setFont(MenuItemFont(*item));
    painter->setPen(QColor(textColour));
    const QRect text = MenuItemTextRect(r);
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | MnemonicFlag(this, option, widget);
    painter->drawText(text, flags | Qt::AlignLeft, item->text.section(QLatin1Char('\t'), 0, 0));
    const QString shortcut = item->text.section(QLatin1Char('\t'), 1);
    if (!shortcut.isEmpty())
        painter->drawText(text, flags | Qt::AlignRight, shortcut);
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        const QPoint c(r.right() - kImageButton.width() / 2, r.center().y());
        QPainterPath arrow;
        arrow.moveTo(c.x() - 2, c.y() - 4);
        arrow.lineTo(c.x() + 2, c.y());
        arrow.lineTo(c.x() - 2, c.y() + 4);
        arrow.closeSubpath();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(textColour));
        painter->drawPath(arrow);
    }
    painter->restore();
}

void CCommandBarXPCtrl::DrawToolButton(const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (!button)
        return;
    const XpColors colours = CurrentXpColors();
    const QRect r = button->rect;
    const bool enabled = button->state & State_Enabled;
    const bool hot = button->state & State_MouseOver;
    const bool pressed = button->state & State_Sunken;
    const bool checked = button->state & State_On;
    const bool dropDown = button->features & QStyleOptionToolButton::MenuButtonPopup;
    const bool wholeDropDown = !dropDown && (button->features & QStyleOptionToolButton::HasMenu);
    const int arrowWidth = dropDown ? kDropDownWidth : wholeDropDown ? kWholeDropDownWidth : 0;
    const QRect arrowPart(r.right() - arrowWidth + 1, r.top(), arrowWidth, r.height());
    const auto* toolButton = qobject_cast<const QToolButton*>(widget);
    const bool menuOpen = toolButton && toolButton->menu() && toolButton->menu()->isVisible();

    Fill(painter, r, colours.barBackground);
    if ((hot || pressed || checked) && enabled) {
        if (menuOpen) {
            JoinedButton(painter, r, colours);
        } else {
            BorderedRect(painter, r, pressed ? colours.pressedFill : colours.highlightFill,
                         colours.highlightBorder);
            if (dropDown)
                BorderedRect(painter, arrowPart, pressed ? colours.pressedFill : colours.highlightFill,
                             colours.highlightBorder);
        }
    }
    if (arrowWidth)
        DropDownArrow(painter, arrowPart);

    const QRect content = r.adjusted(0, 0, -arrowWidth, 0);
    const bool hasText = button->toolButtonStyle != Qt::ToolButtonIconOnly && !button->text.isEmpty();
    const bool listStyle = button->toolButtonStyle == Qt::ToolButtonTextBesideIcon;
    QRect textRect = content;
    if (!button->icon.isNull() && button->toolButtonStyle != Qt::ToolButtonTextOnly) {
        const QSize size = button->iconSize;
        const int x = listStyle ? content.left() + 4 : content.left() + (content.width() - size.width()) / 2;
        const int y = hasText && !listStyle ? content.top() + 4
                                            : content.top() + (content.height() - size.height()) / 2;
        const ImageLook look = !enabled             ? ImageLook::Disabled
                               : pressed || checked ? ImageLook::InPlace
                               : hot                ? ImageLook::Hot
                                                    : ImageLook::Normal;
        DrawImage(painter, QPoint(x, y), button->icon, size, look, colours.imageShadow);
        if (listStyle)
            textRect.setLeft(x + size.width() + 4);
        else
            textRect.setTop(y + size.height());
    }
    if (hasText) {
        painter->save();
        painter->setFont(button->font);
        painter->setPen(QColor(!enabled ? colours.disabledText
                               : hot    ? colours.hotButtonText
                                        : colours.buttonText));
        painter->drawText(textRect,
                          Qt::TextSingleLine | Qt::AlignVCenter |
                              (listStyle ? Qt::AlignLeft : Qt::AlignHCenter) |
                              MnemonicFlag(this, option, widget),
                          button->text);
        painter->restore();
    }
}

void CCommandBarXPCtrl::DrawChevron(const QStyleOptionComplex* option, QPainter* painter) const {
    const XpColors colours = CurrentXpColors();
    const QRect r = option->rect;
    if ((option->state & State_MouseOver) && (option->state & State_Enabled))
        BorderedRect(painter, r, colours.highlightFill, colours.highlightBorder);
    else
        Fill(painter, r, colours.barBackground);
    painter->save();
    painter->setFont(ChevronFont());
    painter->setPen(QColor(colours.buttonText));
    painter->drawText(r.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      QString(QChar(0x00BB)));
    painter->restore();
}

void CCommandBarXPCtrl::DrawGripper(const QStyleOption* option, QPainter* painter) const {
    const XpColors colours = CurrentXpColors();
    const SystemColors system = SystemColorsOf(option->palette);
    Fill(painter, option->rect, colours.barBackground);
    const QRect grip = option->rect.adjusted(4, 4, -2, -4);
    if (grip.isEmpty())
        return;
    // The pattern's set (even) rows take the face colour, its clear rows the shadow colour.
    for (int y = grip.top(); y <= grip.bottom(); ++y)
        Fill(painter, QRect(grip.left(), y, grip.width(), 1),
             y % 2 == 0 ? system.buttonFace : system.buttonShadow);
}

void InstallCommandBarXP() {
    QApplication::setStyle(new CCommandBarXPCtrl);
    // Menus open at once, without sliding or fading in, so the open button and its menu always join.
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
}
