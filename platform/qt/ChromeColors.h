#pragma once

#include <QRgb>

class QPalette;

// The system colours the flat look is built from, in the desktop's terms.
struct SystemColors {
    QRgb windowFrame;
    QRgb window;
    QRgb windowText;
    QRgb buttonFace;
    QRgb buttonShadow;
    QRgb highlight;
    QRgb grayText;
    QRgb menuText;
    QRgb buttonText;
};

// Each system colour taken from the one palette role nearest to it.
SystemColors SystemColorsOf(const QPalette& palette);

// x moved p percent of the way to y, per channel, with the division truncating toward zero.
QRgb Blend(QRgb x, QRgb y, int percent);

// The thirteen colours of the flat menu and toolbar look.
struct XpColors {
    QRgb frame;                // border of popup menus
    QRgb menuBackground;       // popup menu items and face
    QRgb barBackground;        // toolbar bands, image column, menu separators, the open menu-bar button
    QRgb highlightBorder;      // border of hot buttons, selected items, check boxes, hot chevron
    QRgb highlightFill;        // hot button, selected item, hot chevron, check box
    QRgb checkedHighlightFill; // check box of a selected item
    QRgb pressedFill;          // pressed button
    QRgb disabledText;
    QRgb itemText;         // menu items neither selected nor disabled
    QRgb selectedItemText; // selected menu items
    QRgb buttonText;       // toolbar buttons neither hot nor disabled
    QRgb hotButtonText;    // hot toolbar and menu-bar buttons
    QRgb imageShadow;      // silhouettes of hot and disabled images
};

// A screen of fewer than 9 bits per pixel shows the plain system colours, without blends.
inline bool IsLowColour(int bitsPerPixel) {
    return bitsPerPixel < 9;
}

XpColors ComputeXpColors(const SystemColors& system, bool lowColour);

// The process-wide table, computed from the application palette and the primary screen's depth.
XpColors CurrentXpColors();
// Computes the table again (after a change of the desktop's palette or colour scheme).
void RecomputeXpColors();

// The WCAG contrast ratio of two colours (1 for equal colours, 21 for black on white).
double ContrastRatio(QRgb a, QRgb b);
// `preferred` when it reads well on `background` (a contrast of at least `least`), else black or white,
// whichever stands out more: a text colour taken from the palette may belong to another fill than the
// one it is drawn on (white window text on a pale tooltip fill in a dark scheme).
QRgb ReadableOn(QRgb background, QRgb preferred, double least = 4.5);
