#pragma once

#include <QDialog>

// The About box of the conversion tool: the program icon, its name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Escape ends the box with IDCANCEL, as every command id from 1 to 7 ends it with its own id.
    void reject() override;
};
