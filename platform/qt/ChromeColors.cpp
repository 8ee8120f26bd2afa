#include "platform/qt/ChromeColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <mutex>

SystemColors SystemColorsOf(const QPalette& palette) {
    // The desktop's window colour is the field colour of lists and edits (Base with its Text); its
    // button face carries the button text; its menu text is the text on menus and bars (Window's
    // text), which also stands on the light highlight fill of a selected item.
    SystemColors colours{};
    colours.windowFrame = palette.color(QPalette::Active, QPalette::Shadow).rgb();
    colours.window = palette.color(QPalette::Active, QPalette::Base).rgb();
    colours.windowText = palette.color(QPalette::Active, QPalette::Text).rgb();
    colours.buttonFace = palette.color(QPalette::Active, QPalette::Button).rgb();
    colours.buttonShadow = palette.color(QPalette::Active, QPalette::Dark).rgb();
    colours.highlight = palette.color(QPalette::Active, QPalette::Highlight).rgb();
    colours.grayText = palette.color(QPalette::Disabled, QPalette::Text).rgb();
    colours.menuText = palette.color(QPalette::Active, QPalette::WindowText).rgb();
    colours.buttonText = palette.color(QPalette::Active, QPalette::ButtonText).rgb();
    return colours;
}

QRgb Blend(QRgb x, QRgb y, int percent) {
    const auto channel = [percent](int from, int to) { return (from + (to - from) * percent / 100) & 0xFF; };
    return qRgb(channel(qRed(x), qRed(y)), channel(qGreen(x), qGreen(y)), channel(qBlue(x), qBlue(y)));
}

XpColors ComputeXpColors(const SystemColors& system, bool lowColour) {
    XpColors colours{};
    colours.frame = system.windowFrame;
    colours.highlightBorder = system.highlight;
    colours.disabledText = system.grayText;
    colours.itemText = system.windowText;
    colours.selectedItemText = system.menuText;
    colours.buttonText = system.buttonText;
    colours.hotButtonText = system.menuText;
    if (lowColour) {
        colours.menuBackground = system.window;
        colours.barBackground = system.buttonFace;
        colours.highlightFill = system.window;
        colours.checkedHighlightFill = system.window;
        colours.pressedFill = system.highlight;
        colours.imageShadow = system.grayText;
    } else {
        colours.menuBackground = Blend(system.window, system.windowText, 3);
        colours.barBackground = Blend(system.buttonFace, system.window, 20);
        colours.highlightFill = Blend(system.highlight, system.window, 70);
        colours.checkedHighlightFill = Blend(system.highlight, system.window, 60);
        colours.pressedFill = Blend(colours.highlightFill, system.windowText, 20);
        colours.imageShadow = Blend(system.buttonFace, system.windowText, 35);
    }
    return colours;
}

namespace {

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

XpColors& Table() {
    static XpColors table = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return ComputeXpColors(SystemColorsOf(QGuiApplication::palette()),
                               screen && IsLowColour(screen->depth()));
    }();
    return table;
}

double Luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

} // namespace

XpColors CurrentXpColors() {
    const std::lock_guard<std::mutex> guard(TableLock());
    return Table();
}

void RecomputeXpColors() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const XpColors colours =
        ComputeXpColors(SystemColorsOf(QGuiApplication::palette()), screen && IsLowColour(screen->depth()));
    const std::lock_guard<std::mutex> guard(TableLock());
    Table() = colours;
}

double ContrastRatio(QRgb a, QRgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QRgb ReadableOn(QRgb background, QRgb preferred, double least) {
    if (ContrastRatio(preferred, background) >= least)
        return preferred;
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}
