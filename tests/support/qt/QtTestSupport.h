#pragma once

#include <QPalette>
#include <QRgb>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QApplication;
class QImage;
class QRect;

// One QApplication for the whole test program (gtest_main owns main), created on first use.
QApplication& TestApp();

// Runs `answer` on the next modal dialog or box that opens (polled from the event loop), once. The
// answer closes it (clicks a button, accepts, rejects). Call before the code that opens it.
void AnswerNextModal(std::function<void(QWidget*)> answer);
// Answers several modals in turn: the n-th one that opens gets answers[n].
void AnswerModals(std::vector<std::function<void(QWidget*)>> answers);
// Modals with this object name are never answered (e.g. a splash that closes by itself).
void IgnoreModalsNamed(const QString& objectName);
// Stops answering (used by fixtures' tear-down so a leftover answer never reaches the next test).
void StopAnsweringModals();

// Clicks the button of a QMessageBox or QDialogButtonBox whose text (without '&') is `text`.
bool ClickButton(QWidget* dialog, const QString& text);

// A dark colour scheme as desktops set one: dark window and base, white texts. The tooltip fill keeps
// Qt's pale default, as it does under many dark themes.
QPalette DarkTestPalette();
// The strongest contrast of any pixel of `area` (device-independent pixels) against `fill`: how well
// the text drawn there reads.
double StrongestContrast(const QImage& image, const QRect& area, QRgb fill);

// Saves a picture of the widget as <dir>/<name>.png; returns the path written (empty on failure).
QString SaveScreenshotTo(QWidget* widget, const QString& dir, const QString& name);

#ifdef PELM_ARTIFACTS_DIR
// Saves the picture under the build's artifacts folder.
inline QString SaveScreenshot(QWidget* widget, const QString& name) {
    return SaveScreenshotTo(widget, QStringLiteral(PELM_ARTIFACTS_DIR), name);
}
#endif
