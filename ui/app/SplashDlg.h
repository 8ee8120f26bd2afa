#pragma once

#include "platform/qt/DropShadow.h"

#include <QDialog>

class QTimer;

// The splash shown while the main frame is created: the picture, the product name, slogan, notice
// and version on a golden background. Closes after 3000 ms, on a mouse click, Alt with a key, Enter
// or Escape.
class CSplashDlg : public QDialog {
public:
    // How long the splash stays (tests shorten it).
    static int s_timeoutMs;

    explicit CSplashDlg(QWidget* parent = nullptr);
    // Runs modally over the owner (the active window when null); returns 0.
    int DoModal(QWidget* owner = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Close();
    QTimer* m_timer;
    DropShadow m_dropShadow{this};
};

// The About dialog: the picture, the product name, notice, version and slogan, and OK.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    // IDOK or IDCANCEL.
    int DoModal(QWidget* owner = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    DropShadow m_dropShadow{this};
};
