#include "ui/frame/MainFrame.h"

#include "data/DbDoc.h"
#include "data/SqlException.h"
#include "platform/core/Prompt.h"
#include "platform/core/Registry.h"
#include "platform/core/SettingsCache.h"
#include "platform/qt/CommandStrings.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "platform/qt/Printers.h"
#include "platform/qt/RecentDocumentList.h"
#include "platform/qt/Shell.h"
#include "reports/PrintPreview.h"
#include "ui/addressbook/GroupListDlg.h"
#include "ui/addressbook/PhoneBookFrame.h"
#include "ui/addressbook/UserSheet.h"
#include "ui/app/CommandLine.h"
#include "ui/app/SplashDlg.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/document/PasswordDlg.h"
#include "ui/exchange/CsvCommands.h"
#include "ui/exchange/ImportTablesDlg.h"
#include "ui/exchange/ImportWabDlg.h"
#include "ui/frame/CommandIds.h"
#include "ui/frame/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <exception>

bool CMainFrame::s_contextHelpMode = false;
// The idle pass runs after almost every event; the print system is asked at most this often.
int CMainFrame::s_printerLookupMs = 3000;
bool CMainFrame::s_toolbarVisible = true;

namespace {

CString SubKey(const char* subkey) {
    return CString(CMainFrame::kProgramKey) + "\\" + subkey;
}

// Runs the groups dialog on the document; after a change every view reloads.
void OnEditGroups(QWidget* owner) {
    CGroupListDlg dialog;
    dialog.SetDocument(&g_doc);
    dialog.DoModal(owner);
    if (dialog.m_changed)
        g_doc.SetModifiedFlag(true, true);
}

// The settings' one read shape: a missing program key or subkey is created and the value written
// with the current value (the read then fails); a missing value is written the same way.
bool ReadSettingDword(const char* subkey, const char* name, uint32_t current, uint32_t& value) {
    RegistryStore& registry = Registry();
    const CString key = SubKey(subkey);
    if (!registry.KeyExists(CMainFrame::kProgramKey) || !registry.KeyExists(key)) {
        registry.CreateKey(key);
        registry.WriteDword(key, name, current);
        return false;
    }
    const std::optional<uint32_t> stored = registry.ReadDword(key, name);
    if (!stored) {
        registry.WriteDword(key, name, current);
        return false;
    }
    value = *stored;
    return true;
}

bool ReadSettingString(const char* subkey, const char* name, const char* current, CString& value) {
    RegistryStore& registry = Registry();
    const CString key = SubKey(subkey);
    if (!registry.KeyExists(CMainFrame::kProgramKey) || !registry.KeyExists(key)) {
        registry.CreateKey(key);
        registry.WriteString(key, name, current);
        return false;
    }
    const std::optional<CString> stored = registry.ReadString(key, name);
    if (!stored) {
        registry.WriteString(key, name, current);
        return false;
    }
    // The registry value holds at most 260 characters.
    value = stored->Left(260);
    return true;
}

void WriteSettingDword(const char* subkey, const char* name, uint32_t value) {
    Registry().WriteDword(SubKey(subkey), name, value);
}

void WriteSettingString(const char* subkey, const char* name, const char* value) {
    Registry().WriteString(SubKey(subkey), name, value);
}

struct UpdateEntry {
    int id;
    unsigned kinds;
};

constexpr unsigned M = CUpdateUI::kMenu;
constexpr unsigned T = CUpdateUI::kToolBar;

// The update-UI table, in its order.
const UpdateEntry kUpdateTable[] = {
    {ID_VIEW_TOOLBAR, M},     {ID_VIEW_STATUS_BAR, M},    {ID_VIEW_STANDARD, M},
    {ID_VIEW_DAYPLAN, M},     {ID_VIEW_ADDRESS_BOOK, M},  {ID_FILE_SAVE_AS, M},
    {ID_FILE_PRINT, T},       {ID_FILE_PRINT_PREVIEW, T}, {ID_FILE_COMPACT, M},
    {ID_FILE_BACKUP, M},      {ID_IMPORT_TASKS, M},       {ID_IMPORT_APPTS, M},
    {ID_IMPORT_PHONEBOOK, M}, {ID_IMPORT_WAB, M},         {ID_IMPORT_NATIVE, M},
    {ID_EXPORT_TASKS, M},     {ID_EXPORT_PHONEBOOK, M},   {ID_EXPORT_APPTS, M},
    {ID_FILE_PAGE_SETUP, M},  {ID_OPTIONS_OPEN_LAST, M},  {ID_OPTIONS_AUDIBLE_ALARM, M},
    {ID_EDIT_USER, M},        {ID_EDIT_GROUPS, M},        {ID_FILE_CHANGE_PASSWORD, M},
    {ID_NEXT_PANE, T},        {ID_PREV_PANE, T},          {ID_PREVIEW_ZOOM_IN, T},
    {ID_PREVIEW_ZOOM_OUT, T}, {ID_REPORT_PHONEBOOK, M},   {ID_REPORT_ENVELOPES, M},
    {ID_REPORT_DAILY, M},     {ID_REPORT_DAILY_TASKS, M}, {ID_REPORT_DAILY_APPTS, M},
    {ID_REPORT_WEEK, M},      {ID_REPORT_MONTH, M},       {ID_REPORT_FONT, M | T},
};

// The help page of a control id of a view; null for ids without one.
const char* HelpPagePattern(int id, bool addressBookShown) {
    if (id == 1000)
        return "%s\\%s::/html/calendar.htm>topic";
    if (id == 1002)
        return "%s\\%s::/html/apptbook.htm>topic";
    if (id == 1004)
        return "%s\\%s::/html/tasklist.htm>topic";
    const bool phoneBook = id == 1006 || id == 1009 || id == 1012 || (id >= 1015 && id <= 1019) ||
                           id == 1023 || id == 1024 || (id >= 1026 && id <= 1030) || id == 1043 ||
                           id == 1066 || (id >= 1068 && id <= 1080) || id == 1113 ||
                           (id >= 1152 && id <= 1154) || id == 1157 || id == 1479;
    if (phoneBook)
        return addressBookShown ? "%s\\%s::/html/phonebookvw.htm>topic" : "%s\\%s::/html/phonebook.htm>topic";
    return nullptr;
}

void ReportMissingDatabase(QWidget* owner, const CString& path) {
    CString text;
    text.Format(
        "The database you have tried to open:\n (\"%s\")\n was not found. It has been deleted or moved "
        "to a different location.",
        path.c_str());
    MessageBoxA(owner, text, "File Not Found", MB_ICONERROR);
}

// Tells why an open failed: a document that reads but may not be written is said to be so; every
// other failure is reported with the caller's text.
void ReportOpenFailure(QWidget* owner, const CString& text, const char* caption) {
    if (g_doc.GetLastOpenFailure() != CDbDoc::OpenFailure::ReadOnly) {
        MessageBoxA(owner, text, caption, MB_ICONERROR);
        return;
    }
    CString readOnly;
    readOnly.Format(
        "Unable to open the database:\n (\"%s\")\n The file cannot be written: it is read-only, or "
        "its folder does not allow changes. Pelmora writes every change to the document at "
        "once, so it opens only a document it may change. Make the file writable, or copy it "
        "to a folder of your own and open the copy.",
        g_doc.GetLastFailedPath().c_str());
    MessageBoxA(owner, readOnly, caption, MB_ICONERROR);
}

// The file name without directory and extension.
CString BaseName(const char* path) {
    return CString(QFileInfo(QString::fromUtf8(path)).completeBaseName().toUtf8().toStdString());
}

} // namespace

CMainFrame::CMainFrame() : m_recent(new CRecentDocumentList(this)) {
    setObjectName(QStringLiteral("CMainFrame"));
    OnSettingChange();
    m_reports = std::make_unique<CReportSession>(m_printerName);
    m_reports->m_statusText = [this](const QString& text) { SetPageStatus(text); };
}

CMainFrame::~CMainFrame() {
    if (CMessageLoop* loop = CMessageLoop::Current()) {
        loop->RemoveIdleHandler(this);
        loop->RemoveMessageFilter(this);
    }
    s_contextHelpMode = false;
}

void CMainFrame::OnSettingChange() {
    NotifySettingsChanged();
    m_printerLookup.start();
    m_printerName = Printers().DefaultPrinterName();
    m_printerPresent = !m_printerName.isEmpty();
    // A preview open on the old printer shows the report laid out again on the new one's page.
    if (m_reports && m_reports->ReopenPrinter(m_printerName) && m_previewMode)
        RebuildPreviewReport();
}

void CMainFrame::changeEvent(QEvent* event) {
    // The nearest the desktop comes to announcing new regional settings.
    if (event->type() == QEvent::LocaleChange)
        OnSettingChange();
    QMainWindow::changeEvent(event);
}

void CMainFrame::FollowDefaultPrinter() {
    if (m_printerLookup.isValid() && m_printerLookup.elapsed() < s_printerLookupMs)
        return;
    m_printerLookup.start();
    if (Printers().DefaultPrinterName() != m_printerName)
        OnSettingChange();
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, bool checkable) {
    QAction* action = Action(id);
    if (!action) {
        // The menu text keeps its accelerator after the tab; Qt shows the shortcut by itself.
        const int tab = text.indexOf(QLatin1Char('\t'));
        action = MakeCommandAction(this, id, tab >= 0 ? text.left(tab) : text);
        if (tab >= 0)
            action->setShortcut(QKeySequence(text.mid(tab + 1)));
        action->setCheckable(checkable);
        action->setProperty("menuText", text);
        m_actions[id] = action;
        connect(action, &QAction::triggered, this, [this, action] { OnActionTriggered(action); });
    }
    if (menu)
        menu->addAction(action);
    return action;
}

void CMainFrame::OnActionTriggered(QAction* action) {
    // A command's failure is reported here: no exception may leave a Qt handler.
    try {
        OnCommand(CommandIdOf(action));
    } catch (const SqlException& error) {
        MessageBoxA(this, error.errorMessage(), "Pelmora", MB_ICONERROR);
    } catch (const std::exception& error) {
        MessageBoxA(this, error.what(), "Pelmora", MB_ICONERROR);
    } catch (...) {
        MessageBoxA(this, "The command failed.", "Pelmora", MB_ICONERROR);
    }
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    AddCommand(m_fileMenu, ID_FILE_NEW, QStringLiteral("&New\tCtrl+N"));
    AddCommand(m_fileMenu, ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O"));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_FILE_SAVE_AS, QStringLiteral("Save &As..."));
    AddCommand(m_fileMenu, ID_FILE_BACKUP, QStringLiteral("&Backup..."));
    AddCommand(m_fileMenu, ID_FILE_COMPACT, QStringLiteral("&Compact"));
    AddCommand(m_fileMenu, ID_FILE_CHANGE_PASSWORD, QStringLiteral("Change Database Password..."));
    m_fileMenu->addSeparator();
    m_importMenu = m_fileMenu->addMenu(QStringLiteral("&Import"));
    AddCommand(m_importMenu, ID_IMPORT_TASKS, QStringLiteral("&Tasks (From Text File)..."));
    AddCommand(m_importMenu, ID_IMPORT_PHONEBOOK, QStringLiteral("&Phone Book (From Text File)..."));
    AddCommand(m_importMenu, ID_IMPORT_APPTS, QStringLiteral("&Appointments (From Text File)..."));
    AddCommand(m_importMenu, ID_IMPORT_WAB, QStringLiteral("&Windows(R) Address Book..."));
    AddCommand(m_importMenu, ID_IMPORT_NATIVE, QStringLiteral("P&elmora Version 2.0..."));
    m_exportMenu = m_fileMenu->addMenu(QStringLiteral("&Export"));
    AddCommand(m_exportMenu, ID_EXPORT_TASKS, QStringLiteral("&Tasks (To Text File)..."));
    AddCommand(m_exportMenu, ID_EXPORT_PHONEBOOK, QStringLiteral("&Phone Book (To Text File)..."));
    AddCommand(m_exportMenu, ID_EXPORT_APPTS, QStringLiteral("&Appointments (To Text File)..."));
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_FILE_PAGE_SETUP, QStringLiteral("Page Set&up..."));
    m_fileMenu->addSeparator();
    m_recentMenu = m_fileMenu->addMenu(QStringLiteral("Recent &Files"));
    connect(m_recentMenu, &QMenu::triggered, this, [this](QAction* action) { OnActionTriggered(action); });
    m_fileMenu->addSeparator();
    AddCommand(m_fileMenu, ID_APP_EXIT, QStringLiteral("E&xit"));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    AddCommand(edit, ID_EDIT_GROUPS, QStringLiteral("&Address Book Groups..."));
    AddCommand(edit, ID_EDIT_USER, QStringLiteral("&User..."));

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    AddCommand(view, ID_VIEW_STANDARD, QStringLiteral("St&andard"), true);
    AddCommand(view, ID_VIEW_ADDRESS_BOOK, QStringLiteral("Address &Book"), true);
    AddCommand(view, ID_VIEW_DAYPLAN, QStringLiteral("&Dayplan"), true);
    view->addSeparator();
    AddCommand(view, ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"), true);
    AddCommand(view, ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"), true);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    AddCommand(options, ID_OPTIONS_ALARM_SOUND, QStringLiteral("&Alarm Sound..."));
    AddCommand(options, ID_OPTIONS_OPEN_LAST, QStringLiteral("&Open Last File On Start"), true);
    AddCommand(options, ID_OPTIONS_AUDIBLE_ALARM, QStringLiteral("A&udible Alarm"), true);

    QMenu* report = bar->addMenu(QStringLiteral("&Report"));
    AddCommand(report, ID_REPORT_DAILY, QStringLiteral("&Daily Tasks and Appointments"));
    AddCommand(report, ID_REPORT_WEEK, QStringLiteral("&Weekly Plan"));
    AddCommand(report, ID_REPORT_MONTH, QStringLiteral("&Monthly Plan"));
    report->addSeparator();
    AddCommand(report, ID_REPORT_ENVELOPES, QStringLiteral("&Envelopes..."));
    AddCommand(report, ID_REPORT_PHONEBOOK, QStringLiteral("&Phone Book..."));
    report->addSeparator();
    AddCommand(report, ID_REPORT_FONT, QStringLiteral("Report &Font..."));

    m_helpMenu = bar->addMenu(QStringLiteral("&Help"));
    AddCommand(m_helpMenu, ID_HELP_FINDER, QStringLiteral("&Help Topics"));
    m_helpMenu->addSeparator();
    AddCommand(m_helpMenu, ID_APP_ABOUT, QStringLiteral("&About Pelmora..."));

    // Commands without a menu item: daily tasks and daily appointments (states only), print and
    // preview (toolbar 207), and Ctrl+S, which nothing handles.
    AddCommand(nullptr, ID_REPORT_DAILY_TASKS, QStringLiteral("Daily Tasks"));
    AddCommand(nullptr, ID_REPORT_DAILY_APPTS, QStringLiteral("Daily Appointments"));
    AddCommand(nullptr, ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Preview"));
    addAction(AddCommand(nullptr, ID_FILE_SAVE, QStringLiteral("Save\tCtrl+S")));
}

void CMainFrame::BuildToolBars() {
    QStyle* style = this->style();
    m_mainToolBar = addToolBar(QStringLiteral("Standard"));
    m_mainToolBar->setObjectName(QStringLiteral("toolbar128"));
    m_mainToolBar->setMovable(false);
    Action(ID_FILE_NEW)->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    Action(ID_FILE_OPEN)->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    Action(ID_APP_ABOUT)->setIcon(style->standardIcon(QStyle::SP_MessageBoxInformation));
    QAction* contextHelp = AddCommand(nullptr, ID_CONTEXT_HELP, QStringLiteral("Help"));
    contextHelp->setIcon(style->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    m_mainToolBar->addAction(Action(ID_FILE_NEW));
    m_mainToolBar->addAction(Action(ID_FILE_OPEN));
    m_mainToolBar->addSeparator();
    m_mainToolBar->addAction(Action(ID_APP_ABOUT));
    m_mainToolBar->addAction(contextHelp);

    addToolBarBreak();
    m_previewToolBar = addToolBar(QStringLiteral("Print Preview"));
    m_previewToolBar->setObjectName(QStringLiteral("toolbar207"));
    m_previewToolBar->setMovable(false);
    QAction* previous = AddCommand(nullptr, ID_PREV_PANE, QStringLiteral("Previous Page"));
    previous->setIcon(style->standardIcon(QStyle::SP_ArrowLeft));
    QAction* next = AddCommand(nullptr, ID_NEXT_PANE, QStringLiteral("Next Page"));
    next->setIcon(style->standardIcon(QStyle::SP_ArrowRight));
    QAction* print = AddCommand(nullptr, ID_FILE_PRINT, QStringLiteral("Print"));
    QAction* zoomIn = AddCommand(nullptr, ID_PREVIEW_ZOOM_IN, QStringLiteral("Zoom In"));
    QAction* zoomOut = AddCommand(nullptr, ID_PREVIEW_ZOOM_OUT, QStringLiteral("Zoom Out"));
    QAction* closePreview = AddCommand(nullptr, ID_FILE_PRINT_CLOSE, QStringLiteral("Close"));
    m_previewToolBar->addAction(previous);
    m_previewToolBar->addAction(next);
    m_previewToolBar->addSeparator();
    m_previewToolBar->addAction(print);
    m_previewToolBar->addAction(Action(ID_FILE_PAGE_SETUP));
    m_previewToolBar->addSeparator();
    m_previewToolBar->addAction(zoomIn);
    m_previewToolBar->addAction(zoomOut);
    m_previewToolBar->addSeparator();
    m_previewToolBar->addAction(closePreview);
    // The preview band shows only in preview mode.
    m_previewToolBar->setVisible(false);
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    m_statusText = new QLabel(IdleStatusText(), bar);
    m_statusPane = new QLabel(bar);
    m_statusPane->setMinimumWidth(
        m_statusPane->fontMetrics().horizontalAdvance(QString(95, QLatin1Char(' '))));
    bar->addWidget(m_statusText, 1);
    bar->addPermanentWidget(m_statusPane);
}

void CMainFrame::BuildUpdateTable() {
    for (const UpdateEntry& entry : kUpdateTable) {
        m_updateUI.UIAddEntry(entry.id, entry.kinds);
        if (QAction* action = Action(entry.id))
            m_updateUI.UIBind(action, entry.id, entry.kinds);
    }
}

bool CMainFrame::Create() {
    if (m_created)
        return false;
    BuildMenus();
    CSplashDlg splash(this);
    splash.DoModal(this);
    BuildToolBars();
    BuildStatusBar();

    m_recent->SetMenuHandle(m_recentMenu);
    m_recent->ReadFromRegistry(kProgramKey);
    m_helpMenu->addSeparator();
    AddCommand(m_helpMenu, ID_APP_CHECK_UPDATE, QStringLiteral("&Check For Update..."));

    m_stack = new QWidget(this);
    auto* layout = new QVBoxLayout(m_stack);
    layout->setContentsMargins(0, 0, 0, 0);
    m_addressBookView = new CPhoneBookFrame(m_stack);
    m_standardView = new CVwDaySplit(CVwDaySplit::Kind::Standard, m_stack);
    m_dayPlanView = new CVwDaySplit(CVwDaySplit::Kind::DayPlan, m_stack);
    for (QWidget* view : {static_cast<QWidget*>(m_addressBookView), static_cast<QWidget*>(m_standardView),
                          static_cast<QWidget*>(m_dayPlanView)})
        layout->addWidget(view);
    setCentralWidget(m_stack);
    resize(800, 600);

    BuildUpdateTable();
    ShowView(ID_VIEW_STANDARD);
    m_updateUI.UISetCheck(ID_VIEW_TOOLBAR, true);
    m_updateUI.UISetCheck(ID_VIEW_STATUS_BAR, true);
    m_updateUI.UIUpdateMenuBar();

    m_previewWindow = new CPrintPreviewWindow(m_stack);
    m_previewWindow->hide();
    m_previewWindow->SetKeyCommandHandler(
        [this](CPrintPreviewWindow::KeyCommand command) { OnPreviewKeyCommand(command); });
    layout->addWidget(m_previewWindow);

    if (CMessageLoop* loop = CMessageLoop::Current()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    new ContextHelpFilter(this, [this](QWidget* control) { return OnHelp(ControlIdOf(control)); });
    // The session manager asking to end the session is the end-of-session query.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { OnQueryEndSession(); });

    SetTitle("No Database");
    ReadAlarmSettings();
    uint32_t openLast = m_openLastFile ? 1 : 0;
    if (ReadSettingDword("Files", "OpenLastFile", openLast, openLast))
        m_openLastFile = openLast != 0;
    m_created = true;
    OpenStartupDocuments();
    return true;
}

void CMainFrame::ReadAlarmSettings() {
    CString sound;
    if (ReadSettingString("Alarm", "AlarmSound", g_doc.m_alarmSoundFile, sound))
        g_doc.m_alarmSoundFile = sound;
    uint32_t useSound = g_doc.m_audibleAlarm ? 1 : 0;
    if (ReadSettingDword("Alarm", "UseAlarmSound", useSound, useSound))
        g_doc.m_audibleAlarm = useSound != 0;
}

void CMainFrame::OpenStartupDocuments() {
    if (!m_commandLine.IsEmpty()) {
        OpenCommandLineDocuments();
        return;
    }
    CString lastFile;
    if (m_openLastFile && ReadSettingString("Files", "LastFileUsed", "", lastFile))
        OpenLastDocument(lastFile);
}

std::vector<CString> CMainFrame::CommandLineFields(const CString& commandLine) {
    CString line = commandLine;
    line.Replace("\\", "\\\\");
    // A plain field in the shape of a switch in front of a path ("/x path") loses the switch; a
    // quoted field is one argument, a path that may begin with '/' and a one-letter directory and a
    // blank, and is kept whole.
    std::vector<CString> fields;
    CString field;
    while (!line.IsEmpty()) {
        field.Empty();
        CString rest = line;
        rest.TrimLeft();
        const bool quoted = !rest.IsEmpty() && rest[0] == '"';
        if (!NextCommandLineField(line, field))
            break;
        if (!quoted && IsSwitchField(field))
            field = field.Mid(2);
        field.TrimLeft();
        fields.push_back(field);
    }
    return fields;
}

std::vector<CString> CMainFrame::LastFileFields(const CString& storedPath) {
    // The stored text is the path itself: read as a quoted field it would lose its backslashes and
    // end at its first quote.
    if (storedPath.IsEmpty())
        return {};
    return {storedPath};
}

bool CMainFrame::AskPassword(const CString& path) {
    CPasswordDlg dialog;
    dialog.m_path = path;
    dialog.m_changeMode = false;
    if (dialog.DoModal(QApplication::activeWindow()) != IDOK)
        return false;
    SetPasswordBuffer(g_typedPassword, dialog.m_password);
    return true;
}

void CMainFrame::OpenCommandLineDocuments() {
    for (const CString& path : CommandLineFields(m_commandLine)) {
        // A name that is no file is reported before any password is asked for.
        if (!FileExists(path)) {
            ReportMissingDatabase(this, path);
            continue;
        }
        if (!AskPassword(path)) {
            // The program ends once start-up is over (Run does not enter the message loop).
            m_quitRequested = true;
            return;
        }
        if (!g_doc.OnOpenDocument(path)) {
            CString text;
            if (g_doc.GetLastOpenFailure() == CDbDoc::OpenFailure::Busy)
                text.Format("Unable to open the database:\n (\"%s\")\n Another program is writing to it. "
                            "Try again later.",
                            path.c_str());
            else
                text.Format("Unable to open the database:\n (\"%s\")\n It is not a Pelmora database or the "
                            "password is wrong.",
                            path.c_str());
            ReportOpenFailure(this, text, "Error Opening Database");
            continue;
        }
        g_doc.SetPathName(path);
        g_doc.NotifyViewsReset();
        m_recent->AddToList(g_doc.GetTitle());
        m_recent->WriteToRegistry(kProgramKey);
        SetTitle(g_doc.GetTitle());
    }
}

void CMainFrame::OpenLastDocument(const CString& storedPath) {
    for (const CString& path : LastFileFields(storedPath)) {
        // A last file that was deleted or moved is reported as such; its password is not asked for.
        if (!FileExists(path)) {
            ReportMissingDatabase(this, path);
            continue;
        }
        if (!AskPassword(path))
            return;
        if (!g_doc.OnOpenDocument(path)) {
            ReportOpenFailure(this, "Unable to load last file opened", "Pelmora");
            continue;
        }
        g_doc.SetPathName(path);
        g_doc.SetModifiedFlag(true, true);
        m_recent->AddToList(g_doc.GetTitle());
        m_recent->WriteToRegistry(kProgramKey);
        SetTitle(g_doc.GetTitle());
    }
}

QString CMainFrame::TitleText(const char* text) {
    return QStringLiteral("Pelmora [") + QString::fromUtf8(text ? text : "") + QLatin1Char(']');
}

void CMainFrame::SetTitle(const char* text) {
    setWindowTitle(TitleText(text));
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_SAVE_AS:
        OnSaveAs();
        return true;
    case ID_FILE_BACKUP:
        OnBackup();
        return true;
    case ID_FILE_COMPACT:
        OnCompact();
        return true;
    case ID_FILE_CHANGE_PASSWORD:
        OnChangePassword();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_OPTIONS_ALARM_SOUND:
        OnAlarmSound();
        return true;
    case ID_OPTIONS_OPEN_LAST:
        OnToggleOpenLast();
        return true;
    case ID_OPTIONS_AUDIBLE_ALARM:
        OnToggleAudibleAlarm();
        return true;
    case ID_VIEW_STANDARD:
    case ID_VIEW_ADDRESS_BOOK:
    case ID_VIEW_DAYPLAN:
        ShowView(id);
        return true;
    case ID_VIEW_TOOLBAR:
        OnToggleToolBar();
        return true;
    case ID_VIEW_STATUS_BAR:
        OnToggleStatusBar();
        return true;
    case ID_HELP_FINDER:
        OnHelpTopics();
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    case ID_APP_CHECK_UPDATE:
        OnCheckForUpdate();
        return true;
    case ID_CONTEXT_HELP:
        OnContextHelpMode();
        return true;
    case ID_EDIT_GROUPS:
        OnEditGroups(this);
        return true;
    case ID_IMPORT_NATIVE:
        OnImportTables();
        return true;
    case ID_IMPORT_WAB:
        OnImportWab();
        return true;
    // The commands of the owner sheet, the reports, the print window and the imports and exports
    // are the frame's too; their dialogs and reports join them here.
    case ID_REPORT_DAILY:
        OnDailyReport();
        return true;
    case ID_REPORT_WEEK:
        OnWeeklyPlan();
        return true;
    case ID_REPORT_MONTH:
        OnMonthlyPlan();
        return true;
    case ID_REPORT_PHONEBOOK:
        OnPhoneBookReport();
        return true;
    case ID_REPORT_ENVELOPES:
        OnEnvelopes();
        return true;
    case ID_REPORT_FONT:
        OnReportFont();
        return true;
    case ID_FILE_PRINT_PREVIEW:
    case ID_FILE_PRINT_CLOSE:
        TogglePrintPreview();
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        OnPreviewPage(id == ID_NEXT_PANE);
        return true;
    case ID_PREVIEW_ZOOM_IN:
    case ID_PREVIEW_ZOOM_OUT:
        OnZoom(id == ID_PREVIEW_ZOOM_IN);
        return true;
    case ID_FILE_PAGE_SETUP:
        OnFilePageSetup();
        return true;
    case ID_FILE_PRINT:
        OnFilePrint();
        return true;
    case ID_EDIT_USER:
        RunEditUser(this);
        return true;
    case ID_IMPORT_TASKS:
    case ID_IMPORT_PHONEBOOK:
    case ID_IMPORT_APPTS:
    case ID_EXPORT_TASKS:
    case ID_EXPORT_PHONEBOOK:
    case ID_EXPORT_APPTS:
        RunCsvCommand(this, id);
        return true;
    case ID_REPORT_DAILY_TASKS:
    case ID_REPORT_DAILY_APPTS:
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) {
        OnRecentFile(id);
        return true;
    }
    RouteToViews(id);
    return false;
}

// File > Import > Pelmora Version 2.0: copies the ticked tables of another document, reports the
// counts and has every view reload.
void CMainFrame::OnImportTables() {
    CImportTablesDlg dialog;
    if (dialog.DoModal() != IDOK)
        return;
    ImportTablesAndReport(this, dialog.Choice());
}

// File > Import > Windows(R) Address Book: reads the contacts of the chosen vCard file into the
// chosen groups and reports the count; every view reloads.
void CMainFrame::OnImportWab() {
    CImportWabDlg dialog;
    dialog.m_choice = 1;
    if (dialog.DoModal() != IDOK)
        return;
    ImportWabAndReport(this, dialog.m_choice, dialog.m_path);
}

void CMainFrame::RouteToViews(int id) {
    m_routed.push_back(id);
    // Each view that exists gets the command, whatever the one before did; none sends it back.
    if (m_addressBookView)
        m_addressBookView->OnCommand(id);
    if (m_standardView)
        m_standardView->OnCommand(id);
    if (m_dayPlanView)
        m_dayPlanView->OnCommand(id);
}

void CMainFrame::EnableImportExport() {
    if (!g_doc.IsOpen())
        return;
    m_importMenu->setEnabled(true);
    m_exportMenu->setEnabled(true);
}

void CMainFrame::OnFileNew() {
    bool error = false;
    bool created = false;
    {
        WaitCursor wait;
        created = g_doc.OnFileNew(error);
    }
    if (error)
        MessageBoxA(this, "Error creating new database.", "Pelmora", MB_ICONERROR);
    if (created) {
        g_doc.NotifyViewsReset();
        m_recent->AddToList(g_doc.GetTitle());
        m_recent->WriteToRegistry(kProgramKey);
        SetTitle(g_doc.GetTitle());
        EnableImportExport();
    }
}

void CMainFrame::OnFileOpen() {
    bool error = false;
    bool opened = false;
    {
        WaitCursor wait;
        opened = g_doc.OnFileOpen(error);
    }
    if (error) {
        ReportOpenFailure(this, "Error loading file.", "Pelmora");
        WriteSettingString("Files", "LastFileUsed", "");
    }
    if (opened) {
        g_doc.NotifyViewsReset();
        m_recent->AddToList(g_doc.GetTitle());
        m_recent->WriteToRegistry(kProgramKey);
        SetTitle(g_doc.GetTitle());
        EnableImportExport();
    }
}

void CMainFrame::OnRecentFile(int id) {
    CString path;
    if (!m_recent->GetFromList(id, path))
        return;
    if (!FileExists(path)) {
        ReportMissingDatabase(this, path);
        m_recent->RemoveFromList(id);
        return;
    }
    if (AskPassword(path)) {
        if (g_doc.OnOpenDocument(path)) {
            g_doc.NotifyViewsReset();
            m_recent->MoveToTop(id);
            g_doc.SetPathName(path);
            SetTitle(g_doc.GetTitle());
            EnableImportExport();
        } else {
            ReportOpenFailure(this, "Error loading file.", "Pelmora");
            m_recent->RemoveFromList(id);
        }
    }
    m_recent->WriteToRegistry(kProgramKey);
}

void CMainFrame::OnSaveAs() {
    CDateTime today = CDateTime::GetCurrentTime();
    today.SetTime(0, 0, 0);
    g_doc.m_created = today;
    g_doc.m_saved = today;
    bool error = false;
    if (!g_doc.SaveCopyAs(error) && error) {
        CString text;
        text.Format("Error saving %s.", g_doc.GetTitle().c_str());
        MessageBoxA(this, text, "Pelmora", MB_RETRYCANCEL | MB_ICONERROR);
        return;
    }
    m_recent->AddToList(g_doc.GetTitle());
    m_recent->WriteToRegistry(kProgramKey);
    SetTitle(g_doc.GetTitle());
}

void CMainFrame::OnBackup() {
    FileDialogRequest request;
    request.owner = QApplication::activeWindow();
    request.defaultExt = "pgr";
    request.fileName.Format("Backup of %s", BaseName(g_doc.GetPathName()).c_str());
    request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    request.filters = {{"Pelmora Files (*.pgr)", "*.pgr"}, {"All Files (*.*)", "*.*"}};
    if (!GetPrompt().GetSaveFileName(request))
        return;
    if (g_doc.Backup(request.fileName)) {
        CString text;
        text.Format("%s successfully backed up to %s", g_doc.GetTitle().c_str(), request.fileName.c_str());
        MessageBoxA(this, text, "Backup Succeeded!", MB_ICONINFORMATION);
    } else {
        MessageBoxA(this, "Unable to back up file", "Backup failed", MB_ICONERROR);
    }
}

void CMainFrame::OnCompact() {
    bool compacted = false;
    {
        WaitCursor wait;
        compacted = g_doc.Compact();
    }
    if (compacted)
        g_doc.SetModifiedFlag(true, true);
}

void CMainFrame::OnChangePassword() {
    CPasswordDlg dialog;
    dialog.m_path = g_doc.GetPathName();
    dialog.m_changeMode = true;
    if (dialog.DoModal(this) != IDOK)
        return;
    if (!g_doc.ChangePassword(dialog.m_newPassword))
        MessageBoxA(this, "Error changing the database password", "Error Changing Password", MB_ICONERROR);
}

void CMainFrame::OnAlarmSound() {
    FileDialogRequest request;
    request.owner = this;
    request.defaultExt = "wav";
    request.fileName = g_doc.m_alarmSoundFile;
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    request.filters = {{"Wave Files (*.wav)", "*.wav"}};
    if (!GetPrompt().GetOpenFileName(request))
        return;
    g_doc.m_alarmSoundFile = request.fileName;
    WriteSettingString("Alarm", "AlarmSound", g_doc.m_alarmSoundFile);
}

void CMainFrame::OnToggleOpenLast() {
    m_openLastFile = !m_openLastFile;
    WriteSettingDword("Files", "OpenLastFile", m_openLastFile ? 1 : 0);
}

void CMainFrame::OnToggleAudibleAlarm() {
    g_doc.m_audibleAlarm = !g_doc.m_audibleAlarm;
    WriteSettingDword("Alarm", "UseAlarmSound", g_doc.m_audibleAlarm ? 1 : 0);
}

void CMainFrame::ShowView(int id) {
    QWidget* chosen = id == ID_VIEW_ADDRESS_BOOK ? static_cast<QWidget*>(m_addressBookView)
                      : id == ID_VIEW_DAYPLAN    ? static_cast<QWidget*>(m_dayPlanView)
                                                 : static_cast<QWidget*>(m_standardView);
    for (QWidget* view : {static_cast<QWidget*>(m_addressBookView), static_cast<QWidget*>(m_standardView),
                          static_cast<QWidget*>(m_dayPlanView)})
        if (view && view != chosen)
            view->hide();
    m_client = chosen;
    if (chosen)
        chosen->show();
    m_updateUI.UISetCheck(ID_VIEW_STANDARD, id == ID_VIEW_STANDARD);
    m_updateUI.UISetCheck(ID_VIEW_ADDRESS_BOOK, id == ID_VIEW_ADDRESS_BOOK);
    m_updateUI.UISetCheck(ID_VIEW_DAYPLAN, id == ID_VIEW_DAYPLAN);
    m_updateUI.UIUpdateMenuBar();
}

void CMainFrame::OnToggleToolBar() {
    s_toolbarVisible = !s_toolbarVisible;
    m_mainToolBar->setVisible(s_toolbarVisible);
    m_updateUI.UISetCheck(ID_VIEW_TOOLBAR, s_toolbarVisible);
    m_updateUI.UIUpdateMenuBar();
}

void CMainFrame::OnToggleStatusBar() {
    const bool show = statusBar()->isHidden();
    statusBar()->setVisible(show);
    m_updateUI.UISetCheck(ID_VIEW_STATUS_BAR, show);
    m_updateUI.UIUpdateMenuBar();
}

void CMainFrame::OnHelpTopics() {
    HtmlHelpTopic(this, HelpPageAddress("%s\\%s::/html/Introduction.htm>mainwin"), HH_DISPLAY_TOC);
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    about.DoModal(this);
}

void CMainFrame::OnCheckForUpdate() {
    if (ShellOpenUrl(QUrl(QString::fromUtf8(kUpdatesUrl))) <= 32)
        MessageBoxA(nullptr, "Error opening web browser", "Web Browser Error", MB_ICONERROR);
}

void CMainFrame::OnContextHelpMode() {
    s_contextHelpMode = true;
    grabMouse(Qt::WhatsThisCursor);
}

void CMainFrame::mousePressEvent(QMouseEvent* event) {
    try {
        if (!s_contextHelpMode) {
            QMainWindow::mousePressEvent(event);
            return;
        }
        const QPoint global = event->globalPosition().toPoint();
        std::vector<QWidget*> panes;
        if (m_client == m_standardView || m_client == m_dayPlanView)
            panes = static_cast<CVwDaySplit*>(m_client)->HelpPanes();
        else if (m_client == m_addressBookView)
            panes = m_addressBookView->HelpPanes();
        releaseMouse();
        for (QWidget* pane : panes) {
            if (pane->isVisible() && pane->rect().contains(pane->mapFromGlobal(global))) {
                // The pane answers the button release with the help of the control under the mouse.
                pane->grabMouse(Qt::WhatsThisCursor);
                return;
            }
        }
        // A click outside every pane ends the mode and does nothing else.
        s_contextHelpMode = false;
    } catch (...) {
        s_contextHelpMode = false;
    }
}

bool CMainFrame::OnHelp(int controlId) {
    s_contextHelpMode = false;
    const char* pattern = HelpPagePattern(controlId, m_client && m_client == m_addressBookView);
    if (!pattern)
        return false;
    HtmlHelpTopic(this, HelpPageAddress(pattern));
    return true;
}

void CMainFrame::UpdateCommands() {
    if (m_previewMode) {
        m_updateUI.UIEnable(ID_NEXT_PANE, m_previewPage < m_previewPageCount - 1);
        m_updateUI.UIEnable(ID_PREV_PANE, m_previewPage > 0);
        m_updateUI.UIEnable(ID_FILE_PRINT, g_doc.m_reportKind != 0);
        m_updateUI.UIEnable(ID_PREVIEW_ZOOM_IN, m_zoomInAllowed);
        m_updateUI.UIEnable(ID_PREVIEW_ZOOM_OUT, m_zoomOutAllowed);
        return;
    }
    FollowDefaultPrinter();
    const bool open = g_doc.IsOpen();
    const bool printer = m_printerPresent;
    m_updateUI.UIEnable(ID_FILE_SAVE_AS, !windowTitle().contains(QStringLiteral("No Database")));
    for (int id : {ID_FILE_BACKUP, ID_FILE_COMPACT, ID_FILE_CHANGE_PASSWORD, ID_EDIT_USER, ID_EDIT_GROUPS,
                   ID_IMPORT_TASKS, ID_IMPORT_PHONEBOOK, ID_IMPORT_APPTS, ID_IMPORT_WAB, ID_IMPORT_NATIVE})
        m_updateUI.UIEnable(id, open);
    const bool reportSet = g_doc.m_reportKind != 0;
    m_updateUI.UIEnable(ID_FILE_PRINT, printer && reportSet);
    m_updateUI.UIEnable(ID_FILE_PRINT_PREVIEW, printer && reportSet);
    for (int id : {ID_FILE_PAGE_SETUP, ID_REPORT_WEEK, ID_REPORT_MONTH, ID_REPORT_FONT})
        m_updateUI.UIEnable(id, printer);
    const bool tasks = g_doc.m_listedTaskCount != 0;
    const bool appts = g_doc.m_listedApptCount != 0;
    m_updateUI.UIEnable(ID_REPORT_DAILY, printer && (tasks || appts));
    m_updateUI.UIEnable(ID_REPORT_DAILY_TASKS, printer && tasks);
    m_updateUI.UIEnable(ID_REPORT_DAILY_APPTS, printer && appts);
    const bool person = !g_doc.m_currentPersonId.IsEmpty();
    m_updateUI.UIEnable(ID_REPORT_PHONEBOOK, printer && person);
    m_updateUI.UIEnable(ID_REPORT_ENVELOPES, printer && person);
    m_updateUI.UIEnable(ID_EXPORT_PHONEBOOK, open && g_doc.m_listedPersonCount != 0);
    m_updateUI.UIEnable(ID_EXPORT_TASKS, open && g_doc.HasTasks());
    m_updateUI.UIEnable(ID_EXPORT_APPTS, open && g_doc.HasAppts());
    m_updateUI.UISetCheck(ID_OPTIONS_OPEN_LAST, m_openLastFile);
    m_updateUI.UISetCheck(ID_OPTIONS_AUDIBLE_ALARM, g_doc.m_audibleAlarm);
}

bool CMainFrame::OnIdle(int) {
    try {
        UpdateCommands();
        m_updateUI.UIUpdateToolBar();
        m_updateUI.UIUpdateMenuBar();
    } catch (...) {
        // The next idle pass tries again.
    }
    return false;
}

bool CMainFrame::PreTranslateMessage(QObject*, QEvent*) {
    // The frame's accelerators are its actions' shortcuts, which Qt translates itself.
    return false;
}

void CMainFrame::SaveAtClose() {
    CWindowPlacement placement;
    placement.Save(kSettingsKey, this);
    delete m_previewWindow;
    m_previewWindow = nullptr;
    const CString path = g_doc.IsOpen() ? CString(g_doc.GetPathName()) : CString();
    if (g_db.IsOpen())
        g_db.Close();
    WriteSettingString("Files", "LastFileUsed", path);
}

void CMainFrame::OnQueryEndSession() {
    try {
        SaveAtClose();
    } catch (...) {
        // The session ends whatever happens here.
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        try {
            SaveAtClose();
        } catch (...) {
            // Closing goes on: the window must not stay up because a setting could not be written.
        }
    }
    event->accept();
    // Destroying the frame ends the message loop.
    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->PostQuit(0);
}
