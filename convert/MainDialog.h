#pragma once

#include "convert/Conversion.h"
#include "platform/core/CString.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The one window of the conversion tool: the user names a version-1 file, presses Convert and
// watches the status line and progress bar. Escape and the window's close command do nothing; the
// Close button (also the default button) is the only way out.
class CMainDialog : public QDialog, public ConversionView {
    Q_OBJECT

public:
    enum ControlId {
        IDC_CLOSE = 1,
        ID_APP_ABOUT = 57664,
        IDC_PATH = 1000,
        IDC_BROWSE = 1001,
        IDC_CONVERT = 1002,
        IDC_STATUS = 1003,
        IDC_PROGRESS = 1004,
    };

    explicit CMainDialog(QWidget* parent = nullptr);
    ~CMainDialog() override;

    // The program icon (resource 128).
    static QIcon ProgramIcon();

    const CString& Path() const { return m_path; }

    void OnAbout();
    void OnClose();
    void OnBrowse();
    void OnConvert();
    void OnPathChange();

    void reject() override;

    // ConversionView: the status control 1003 and the progress bar 1004.
    void ShowStatus(bool visible) override;
    void SetStatusText(const char* text) override;
    void ShowProgress(bool visible) override;
    void SetProgressRange(int high) override;
    void SetProgressPos(int position) override;
    WindowHandle Owner() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();

    CString m_path;
    QLineEdit* m_pathEdit = nullptr;
    QPushButton* m_convert = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    bool m_closing = false;
    // When the progress bar last moved.
    QElapsedTimer m_progressMoved;
    static constexpr int kProgressStepMs = 40;
};
