#pragma once

#include "platform/core/CString.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/MessageLoop.h"
#include "platform/qt/UpdateUI.h"
#include "reports/PrintJob.h"
#include "reports/PrintPreview.h"
#include "reports/ReportSession.h"

#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <vector>

class CPhoneBookFrame;
class CPrintPreviewWindow;
class CRecentDocumentList;
class CVwDaySplit;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

// The one top-level window of the program: menus, toolbars, status bar, the recent-file list and
// the three views of the open document, of which one is shown. It runs the document-level commands,
// keeps its options in the registry and enables and checks its commands from an idle handler.
class CMainFrame : public QMainWindow,
                   public CIdleHandler,
                   public CMessageFilter,
                   public CCommandTarget,
                   public CPrintJobInfo {
public:
    static constexpr const char* kProgramKey = "Software\\Quillex\\Pelmora";
    static constexpr const char* kSettingsKey = "Software\\Quillex\\Pelmora\\Settings";
    static constexpr const char* kUpdatesUrl = "https://www.quillex.example/pelmora/updates.html";

    // Opens the default printer.
    CMainFrame();
    ~CMainFrame() override;

    // The creation steps: menus, splash, toolbars, status bar, recent files, views, idle handler and
    // message filter, title, alarm settings and the documents to open at start-up. False when the
    // window cannot be built.
    bool Create();

    // Handles a command: the frame's own first, then routed to the views. True when the frame
    // handled it; a command only a view knows, or none, reports false.
    bool OnCommand(int id) override;
    // The help key with a control id: opens that control's help page; false for other ids.
    bool OnHelp(int controlId);
    // The idle pass: enables and checks the commands.
    bool OnIdle(int idleCount) override;
    bool PreTranslateMessage(QObject* receiver, QEvent* event) override;
    // The desktop's settings changed: opens the default printer again, and the regional date
    // pictures are read afresh at their next use.
    void OnSettingChange();
    // Asks the print system for the default printer again when the last answer is older than
    // s_printerLookupMs, and opens it when it changed; the report commands' states follow it.
    void FollowDefaultPrinter();
    static int s_printerLookupMs;
    // The session is ending: the closing steps without closing the window.
    void OnQueryEndSession();

    // The command line the program was started with.
    CString m_commandLine;
    bool m_openLastFile = false;

    // Print state (the report commands use it).
    bool m_printerPresent = false;
    QString m_printerName;
    bool m_previewMode = false;
    int m_previewPage = 0;
    int m_previewPageCount = 0;
    bool m_zoomInAllowed = true;
    bool m_zoomOutAllowed = false;

    static bool s_contextHelpMode;
    static bool s_toolbarVisible;

    // The page callback of the preview and the print job: the current report's pages.
    bool IsValidPage(unsigned page) override;
    bool PrintPage(unsigned page, QPainter& dc) override;
    // The printer, the report lists, margins and font, and the current report.
    CReportSession& Reports() { return *m_reports; }
    CPrintPreviewWindow* PreviewWindow() const { return m_previewWindow; }
    // Builds the report outside the preview, prints every page and deletes it again; in the
    // preview prints the report shown. False when nothing was printed.
    bool PrintReport();

    // True once the frame asked the program to end (Cancel on the first command-line password).
    bool QuitRequested() const { return m_quitRequested; }

    QAction* Action(int id) const;
    CUpdateUI& UpdateUI() { return m_updateUI; }
    CRecentDocumentList& RecentFiles() { return *m_recent; }
    QWidget* ClientView() const { return m_client; }
    CPhoneBookFrame* AddressBookView() const { return m_addressBookView; }
    CVwDaySplit* StandardView() const { return m_standardView; }
    CVwDaySplit* DayPlanView() const { return m_dayPlanView; }
    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    QMenu* ImportMenu() const { return m_importMenu; }
    QMenu* ExportMenu() const { return m_exportMenu; }
    QToolBar* MainToolBar() const { return m_mainToolBar; }
    QToolBar* PreviewToolBar() const { return m_previewToolBar; }
    // The commands that reached the views, in order (tests read it).
    const std::vector<int>& RoutedCommands() const { return m_routed; }

    // The fields the command line names: the reader's fields of the line with its backslashes
    // doubled, each plain field with a switch "/x " dropped, leading white space removed.
    static std::vector<CString> CommandLineFields(const CString& commandLine);
    // The documents to open for the stored last path: that exact path, or none when it is empty.
    static std::vector<CString> LastFileFields(const CString& storedPath);
    // "Pelmora [text]".
    static QString TitleText(const char* text);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    void BuildUpdateTable();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, bool checkable = false);
    void OnActionTriggered(QAction* action);

    void SetTitle(const char* text);
    void ShowView(int id);
    void OnFileNew();
    void OnFileOpen();
    void OnRecentFile(int id);
    void OnSaveAs();
    void OnBackup();
    void OnCompact();
    void OnChangePassword();
    void OnAlarmSound();
    void OnToggleOpenLast();
    void OnToggleAudibleAlarm();
    void OnToggleToolBar();
    void OnToggleStatusBar();
    void OnHelpTopics();
    void OnAbout();
    void OnCheckForUpdate();
    void OnContextHelpMode();
    void OnImportTables();
    void OnDailyReport();
    void OnWeeklyPlan();
    void OnMonthlyPlan();
    void OnPhoneBookReport();
    void OnEnvelopes();
    // Runs "Persons To Include"; on OK the person list (and for envelopes the flags) is replaced.
    bool PickPersons(bool envelopes);
    void OnReportFont();
    void TogglePrintPreview();
    void GivePreviewTheReport();
    // Builds the report again on the printer's page and shows it on the preview's current page.
    void RebuildPreviewReport();
    void OnPreviewPage(bool next);
    // A key in the preview runs the preview toolbar's command for it.
    void OnPreviewKeyCommand(CPrintPreviewWindow::KeyCommand command);
    void OnZoom(bool in);
    void OnFilePageSetup();
    void OnFilePrint();
    void SetPageStatus(const QString& text);
    void OnImportWab();
    void EnableImportExport();
    void RouteToViews(int id);
    void ReadAlarmSettings();
    void OpenStartupDocuments();
    void OpenCommandLineDocuments();
    void OpenLastDocument(const CString& storedPath);
    // Asks for the password of path; false on Cancel.
    bool AskPassword(const CString& path);
    void UpdateCommands();
    void SaveAtClose();

    CUpdateUI m_updateUI;
    std::map<int, QAction*> m_actions;
    CRecentDocumentList* m_recent;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_importMenu = nullptr;
    QMenu* m_exportMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QToolBar* m_mainToolBar = nullptr;
    QToolBar* m_previewToolBar = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_statusPane = nullptr;
    CPrintPreviewWindow* m_previewWindow = nullptr;
    QWidget* m_viewBeforePreview = nullptr;
    // The control that had the keyboard before the preview took it; it gets it back at the end.
    QPointer<QWidget> m_focusBeforePreview;
    std::unique_ptr<CReportSession> m_reports;
    QElapsedTimer m_printerLookup;
    QWidget* m_stack = nullptr;
    CPhoneBookFrame* m_addressBookView = nullptr;
    CVwDaySplit* m_standardView = nullptr;
    CVwDaySplit* m_dayPlanView = nullptr;
    QWidget* m_client = nullptr;
    std::vector<int> m_routed;
    bool m_created = false;
    bool m_closed = false;
    bool m_quitRequested = false;
};
