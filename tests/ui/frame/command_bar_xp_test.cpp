#include "platform/qt/ChromeColors.h"
#include "platform/qt/DropShadow.h"
#include "tests/support/qt/FrameTestSupport.h"
#include "tests/support/qt/QtTestSupport.h"
#include "ui/app/SplashDlg.h"
#include "ui/frame/CommandBarXP.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/MainFrame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

QPalette LightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(236, 233, 216));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Text, QColor(0, 0, 0));
    palette.setColor(QPalette::Button, QColor(236, 233, 216));
    palette.setColor(QPalette::ButtonText, QColor(0, 0, 0));
    palette.setColor(QPalette::Highlight, QColor(49, 106, 197));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
    palette.setColor(QPalette::Dark, QColor(172, 168, 153));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(172, 168, 153));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(172, 168, 153));
    return palette;
}

bool WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

DropShadow* ShadowOf(QWidget* widget) {
    for (QObject* child : widget->children())
        if (auto* shadow = dynamic_cast<DropShadow*>(child))
            return shadow;
    return nullptr;
}

QIcon SolidIcon(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class CommandBarXPTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        if (!dynamic_cast<CCommandBarXPCtrl*>(QApplication::style()))
            InstallCommandBarXP();
        CSplashDlg::s_timeoutMs = 1;
        DropShadow::OverrideWindowSystemShadows(false);
        m_savedPalette = QApplication::palette();
        QApplication::setPalette(LightPalette());
        m_colours = CurrentXpColors();
    }
    void TearDown() override {
        QApplication::setPalette(m_savedPalette);
        DropShadow::OverrideWindowSystemShadows(std::nullopt);
    }

    QImage Canvas(QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        return image;
    }

    FrameEnvironment env;
    ScriptedPrompt prompt;
    QPalette m_savedPalette;
    XpColors m_colours{};
};

TEST_F(CommandBarXPTest, TheTableIsTheLightPalettesColours) {
    EXPECT_EQ(m_colours.menuBackground, qRgb(248, 248, 248));
    EXPECT_EQ(m_colours.barBackground, qRgb(239, 237, 223));
    EXPECT_EQ(m_colours.highlightFill, qRgb(193, 210, 237));
    EXPECT_EQ(m_colours.pressedFill, qRgb(155, 168, 190));
}

// List rows leave room for the marks of accented capitals at every size, so a name like "Özdemir"
// is never drawn as "Ozdemir".
TEST_F(CommandBarXPTest, ListRowsHoldAccentedCapitalsWhole) {
    CCommandBarXPCtrl style;
    for (int pixels : {9, 11, 12, 13, 16, 20}) {
        QStyleOptionViewItem option;
        QFont font = QApplication::font();
        font.setPixelSize(pixels);
        option.fontMetrics = QFontMetrics(font);
        option.text = QStringLiteral("Brandt, Bert");
        const QFontMetrics& metrics = option.fontMetrics;
        const QRect glyphs = metrics.boundingRect(QStringLiteral("\u00C5\u00D6\u00C9"));
        // The text is centred in its row by the font's height; the marks reach glyphs.top() above the
        // baseline.
        const int row = style.sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize()).height();
        const int baseline = (row - metrics.height()) / 2 + metrics.ascent();
        EXPECT_GE(baseline + glyphs.top(), 0) << pixels << " px: row " << row;
    }
}

TEST_F(CommandBarXPTest, MenuBarAndHotMenuBarButton) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.resize(640, 400);
    frame.show();
    QMenuBar* bar = frame.menuBar();
    const QImage plain = bar->grab().toImage();
    EXPECT_EQ(plain.pixel(plain.width() - 3, plain.height() / 2), m_colours.barBackground);

    QStyleOptionMenuItem option;
    option.initFrom(bar);
    option.rect = QRect(0, 0, 40, 20);
    option.text = QStringLiteral("&File");
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.state = QStyle::State_Enabled | QStyle::State_Selected;
    QImage hot = Canvas({40, 20});
    {
        QPainter painter(&hot);
        bar->style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, bar);
    }
    EXPECT_EQ(hot.pixel(0, 0), m_colours.highlightBorder);
    EXPECT_EQ(hot.pixel(39, 19), m_colours.highlightBorder);
    EXPECT_EQ(hot.pixel(2, 2), m_colours.highlightFill);
}

TEST_F(CommandBarXPTest, AnOpenMenuJoinsItsButtonAndHasAShadow) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.setGeometry(40, 40, 640, 400);
    frame.show();
    ASSERT_TRUE(WaitFor([&] { return frame.isVisible(); }));
    QMenuBar* bar = frame.menuBar();
    QAction* file = bar->actions().at(0);
    bar->setActiveAction(file);
    QMenu* menu = file->menu();
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    const QRect button = bar->actionGeometry(file);
    EXPECT_EQ(CCommandBarXPCtrl::MenuGapWidth(menu), button.width());

    const QImage popup = menu->grab().toImage();
    EXPECT_EQ(popup.pixel(0, 0), m_colours.frame);
    EXPECT_EQ(popup.pixel(button.width() / 2, 0), m_colours.barBackground) << "no line under the open button";
    EXPECT_EQ(popup.pixel(button.width() + 4, 0), m_colours.frame);
    EXPECT_EQ(popup.pixel(1, popup.height() / 2), m_colours.barBackground)
        << "the image column runs through the frame";
    QAction* separator = nullptr;
    for (QAction* action : menu->actions())
        if (action->isSeparator()) {
            separator = action;
            break;
        }
    ASSERT_NE(separator, nullptr);
    const QRect line = menu->actionGeometry(separator);
    EXPECT_EQ(line.height(), 5);
    const int textLeft = line.left() + CCommandBarXPCtrl::kImageButton.width() + 1;
    EXPECT_EQ(popup.pixel(textLeft + 20, line.top() + 2), m_colours.barBackground);
    EXPECT_EQ(popup.pixel(textLeft + 20, line.top()), m_colours.menuBackground);
    EXPECT_EQ(popup.pixel(textLeft + 5, line.top() + 2), m_colours.menuBackground);
    EXPECT_EQ(popup.pixel(line.left() + 4, line.top() + 2), m_colours.barBackground);

    const QImage joined = bar->grab().toImage();
    EXPECT_EQ(joined.pixel(button.left(), button.center().y()), m_colours.frame);
    EXPECT_EQ(joined.pixel(button.center().x(), button.bottom()), m_colours.barBackground);

    DropShadow* shadow = ShadowOf(menu);
    ASSERT_NE(shadow, nullptr);
    ASSERT_TRUE(WaitFor([&] { return shadow->RightStrip() && shadow->BottomStrip(); }));
    EXPECT_EQ(shadow->RightStrip()->geometry(), ShadowStripRect(menu->frameGeometry(), ShadowStrip::Right));
    EXPECT_TRUE(menu->isVisible()) << "the strips leave the menu open";
    QPointer<CShadowWnd> right = shadow->RightStrip();
    menu->close();
    QApplication::processEvents();
    EXPECT_TRUE(right.isNull());
}

struct ButtonCase {
    const char* name;
    QStyle::State state;
    QRgb border;
    QRgb fill;
};

TEST_F(CommandBarXPTest, ToolbarButtonStates) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    auto* toolbar = frame.findChild<QToolBar*>(QStringLiteral("toolbar128"));
    ASSERT_NE(toolbar, nullptr);
    auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(toolbar->actions().at(0)));
    ASSERT_NE(button, nullptr);
    const QStyle::State on = QStyle::State_Enabled | QStyle::State_AutoRaise;
    const ButtonCase cases[] = {
        {"hot", on | QStyle::State_MouseOver, m_colours.highlightBorder, m_colours.highlightFill},
        {"pressed", on | QStyle::State_MouseOver | QStyle::State_Sunken, m_colours.highlightBorder,
         m_colours.pressedFill},
        {"checked", on | QStyle::State_On, m_colours.highlightBorder, m_colours.highlightFill},
        {"plain", on, m_colours.barBackground, m_colours.barBackground},
        {"disabled hot", QStyle::State_AutoRaise | QStyle::State_MouseOver, m_colours.barBackground,
         m_colours.barBackground},
    };
    for (const ButtonCase& c : cases) {
        QStyleOptionToolButton option;
        option.initFrom(button);
        option.rect = QRect(0, 0, 24, 24);
        option.state = c.state;
        option.icon = SolidIcon(Qt::red);
        option.iconSize = QSize(16, 16);
        option.toolButtonStyle = Qt::ToolButtonIconOnly;
        option.subControls = QStyle::SC_ToolButton;
        QImage image = Canvas({24, 24});
        {
            QPainter painter(&image);
            button->style()->drawComplexControl(QStyle::CC_ToolButton, &option, &painter, button);
        }
        EXPECT_EQ(image.pixel(0, 0), c.border) << c.name;
        EXPECT_EQ(image.pixel(1, 1), c.fill) << c.name;
        const bool enabled = c.state & QStyle::State_Enabled;
        const bool hot = (c.state & QStyle::State_MouseOver) && !(c.state & QStyle::State_Sunken);
        if (!enabled) {
            EXPECT_EQ(image.pixel(12, 12), m_colours.imageShadow) << "disabled images are silhouettes";
        } else if (hot) {
            EXPECT_EQ(image.pixel(3, 3), qRgb(255, 0, 0)) << "the hot image moves up and left";
            EXPECT_EQ(image.pixel(20, 20), m_colours.imageShadow) << "with its silhouette under it";
        } else {
            EXPECT_EQ(image.pixel(4, 4), qRgb(255, 0, 0)) << c.name;
            EXPECT_EQ(image.pixel(20, 20), c.fill) << c.name;
        }
    }
}

struct ItemCase {
    const char* name;
    bool selected;
    bool checked;
    QPoint at;
    QRgb expected;
};

TEST_F(CommandBarXPTest, PopupMenuItems) {
    QMenuBar bar;
    QMenu* menu = bar.addMenu(QStringLiteral("&View"));
    QAction* item = menu->addAction(QStringLiteral("&Toolbar"));
    item->setCheckable(true);
    ASSERT_TRUE(CCommandBarXPCtrl::IsXpMenu(menu));
    const int column = CCommandBarXPCtrl::kImageButton.width() + 1;
    const ItemCase cases[] = {
        {"selected", true, false, {0, 0}, m_colours.highlightBorder},
        {"selected fill", true, false, {column + 2, 2}, m_colours.highlightFill},
        {"image column", false, false, {2, 2}, m_colours.barBackground},
        {"text part", false, false, {column + 2, 2}, m_colours.menuBackground},
        {"check box border", false, true, {3, 3}, m_colours.highlightBorder},
        {"check box", false, true, {4, 4}, m_colours.highlightFill},
        {"selected check box", true, true, {4, 4}, m_colours.checkedHighlightFill},
    };
    for (const ItemCase& c : cases) {
        QStyleOptionMenuItem option;
        option.initFrom(menu);
        option.rect = QRect(0, 0, 160, 24);
        option.text = QStringLiteral("&Toolbar\tCtrl+T");
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.checkType = QStyleOptionMenuItem::NonExclusive;
        option.checked = c.checked;
        option.state = QStyle::State_Enabled | (c.selected ? QStyle::State_Selected : QStyle::State_None);
        QImage image = Canvas({160, 24});
        {
            QPainter painter(&image);
            menu->style()->drawControl(QStyle::CE_MenuItem, &option, &painter, menu);
        }
        EXPECT_EQ(image.pixel(c.at), c.expected) << c.name;
    }
    QStyleOptionMenuItem separator;
    separator.initFrom(menu);
    separator.menuItemType = QStyleOptionMenuItem::Separator;
    EXPECT_EQ(menu->style()->sizeFromContents(QStyle::CT_MenuItem, &separator, {}, menu).height(), 5);
    QStyleOptionMenuItem normal;
    normal.initFrom(menu);
    normal.text = QStringLiteral("X");
    EXPECT_GE(menu->style()->sizeFromContents(QStyle::CT_MenuItem, &normal, {}, menu).height(),
              CCommandBarXPCtrl::kImageButton.height() + 2);
}

TEST_F(CommandBarXPTest, OtherMenusKeepTheDesktopLook) {
    QWidget pane;
    QMenu context(&pane);
    EXPECT_FALSE(CCommandBarXPCtrl::IsXpMenu(&context));
    QToolBar other;
    EXPECT_FALSE(CCommandBarXPCtrl::IsXpToolBar(&other));
}

TEST_F(CommandBarXPTest, GripperLinesAlternate) {
    QToolBar toolbar;
    toolbar.setObjectName(QStringLiteral("toolbar128"));
    QStyleOption option;
    option.initFrom(&toolbar);
    option.rect = QRect(0, 0, 12, 20);
    QImage image = Canvas({12, 20});
    {
        QPainter painter(&image);
        toolbar.style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, &toolbar);
    }
    const SystemColors system = SystemColorsOf(QApplication::palette());
    EXPECT_EQ(image.pixel(6, 4), system.buttonFace);
    EXPECT_EQ(image.pixel(6, 5), system.buttonShadow);
    EXPECT_EQ(image.pixel(6, 6), system.buttonFace);
    EXPECT_EQ(image.pixel(1, 10), m_colours.barBackground);
}

TEST_F(CommandBarXPTest, ChevronFont) {
    const QFont font = CCommandBarXPCtrl::ChevronFont();
    EXPECT_EQ(font.family(), "Verdana");
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSize(), 8);
}

TEST_F(CommandBarXPTest, AChangedPaletteRecoloursAtTheNextPaint) {
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.resize(640, 400);
    frame.show();
    QApplication::setPalette(DarkTestPalette());
    QApplication::processEvents();
    const XpColors dark = CurrentXpColors();
    EXPECT_NE(dark.barBackground, m_colours.barBackground);
    const QImage bar = frame.menuBar()->grab().toImage();
    EXPECT_EQ(bar.pixel(bar.width() - 3, bar.height() / 2), dark.barBackground);
}

TEST_F(CommandBarXPTest, EveryTextStaysReadable) {
    for (const QPalette& palette : {LightPalette(), DarkTestPalette()}) {
        const XpColors c = ComputeXpColors(SystemColorsOf(palette), false);
        const struct {
            const char* what;
            QRgb text;
            QRgb fill;
            double least;
        } pairs[] = {
            {"menu item", c.itemText, c.menuBackground, 4.5},
            {"selected item", c.selectedItemText, c.highlightFill, 4.5},
            {"disabled item", c.disabledText, c.menuBackground, 2.0},
            {"toolbar button", c.buttonText, c.barBackground, 4.5},
            {"hot button", c.hotButtonText, c.highlightFill, 4.5},
            {"pressed button", c.hotButtonText, c.pressedFill, 3.0},
            {"disabled button", c.disabledText, c.barBackground, 2.0},
            {"selected item border", c.highlightBorder, c.menuBackground, 1.5},
        };
        for (const auto& pair : pairs)
            EXPECT_GE(ContrastRatio(pair.text, pair.fill), pair.least)
                << pair.what << (palette.color(QPalette::Base).lightness() < 128 ? " (dark)" : " (light)");
    }
}

// Every item of every menu and submenu, the recent files among them, is drawn whole: its text (and its
// shortcut) fits the rectangle the item is drawn in, and the item lies inside the menu.
TEST_F(CommandBarXPTest, EveryMenuShowsItsItemsWhole) {
    const char* recentKey = "Software\\Quillex\\Pelmora\\Recent Document List";
    env.registry.CreateKey(recentKey);
    env.registry.WriteDword(recentKey, "DocumentCount", 2);
    env.registry.WriteString(recentKey, "Document1", "/home/anna/Documents/Household appointments 2026.pgr");
    env.registry.WriteString(recentKey, "Document2", "/home/anna/Work/Quarterly review contacts.pgr");
    CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.setGeometry(20, 20, 760, 520);
    frame.show();
    ASSERT_TRUE(WaitFor([&] { return frame.isVisible(); }));

    int checkedItems = 0;
    const std::function<void(QMenu*, const QString&)> check = [&](QMenu* menu, const QString& name) {
        ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); })) << name.toStdString();
        QApplication::processEvents();
        EXPECT_FALSE(SaveScreenshot(menu, QStringLiteral("menu_") + name).isEmpty());
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString label = action->text().section(QLatin1Char('\t'), 0, 0);
            const QString shortcut = action->text().section(QLatin1Char('\t'), 1);
            const QFont font = action->font().resolve(menu->font());
            int needed = CCommandBarXPCtrl::MenuTextWidth(font, label);
            if (!shortcut.isEmpty())
                needed +=
                    CCommandBarXPCtrl::kMenuShortcutGap + QFontMetrics(font).horizontalAdvance(shortcut);
            const QRect item = menu->actionGeometry(action);
            const QRect text = CCommandBarXPCtrl::MenuItemTextRect(item);
            EXPECT_LE(needed, text.width()) << name.toStdString() << ": \"" << label.toStdString() << "\"";
            EXPECT_LE(item.right(), menu->width() - 1 - CCommandBarXPCtrl::kMenuFrame) << label.toStdString();
            ++checkedItems;
            if (QMenu* sub = action->menu()) {
                sub->popup(menu->mapToGlobal(item.topRight()));
                check(sub, name + QLatin1Char('_') +
                               QString(label)
                                   .remove(QLatin1Char('&'))
                                   .toLower()
                                   .replace(QLatin1Char(' '), QLatin1Char('_')));
                sub->close();
            }
        }
    };
    for (QAction* top : frame.menuBar()->actions()) {
        frame.menuBar()->setActiveAction(top);
        check(top->menu(), QString(top->text()).remove(QLatin1Char('&')).toLower());
        top->menu()->close();
        QApplication::processEvents();
    }
    EXPECT_GE(checkedItems, 40) << "every menu was opened";
}

TEST_F(CommandBarXPTest, ScreenshotsWithAnOpenMenu) {
    for (const auto& [name, palette] : {std::pair{"main_window_menu_light", LightPalette()},
                                        std::pair{"main_window_menu_dark", DarkTestPalette()}}) {
        QApplication::setPalette(palette);
        CMainFrame frame;
        ASSERT_TRUE(frame.Create());
        frame.setGeometry(20, 20, 760, 520);
        frame.show();
        ASSERT_TRUE(WaitFor([&] { return frame.isVisible(); }));
        QAction* file = frame.menuBar()->actions().at(0);
        frame.menuBar()->setActiveAction(file);
        ASSERT_TRUE(WaitFor([&] { return file->menu()->isVisible(); }));
        DropShadow* shadow = ShadowOf(file->menu());
        WaitFor([&] { return shadow && shadow->BottomStrip(); });
        QApplication::processEvents();
        const QPixmap picture = frame.screen()->grabWindow(0, 20, 20, 760, 520);
        const QString dir = QStringLiteral(PELM_ARTIFACTS_DIR);
        QDir().mkpath(dir);
        EXPECT_TRUE(picture.save(dir + QStringLiteral("/") + name + QStringLiteral(".png")));
        file->menu()->close();
        frame.close();
        QApplication::processEvents();
    }
}

} // namespace
