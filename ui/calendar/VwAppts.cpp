#include "ui/calendar/VwAppts.h"

#include "data/DbDoc.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Controls.h"
#include "ui/calendar/ApptSheet.h"
#include "ui/calendar/ReminderDlg.h"
#include "ui/calendar/VwDaySplit.h"
#include "ui/common/PaneCommands.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QDialog>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr QSize kPaneSize(330, 360);
constexpr int kVirtualKeyDelete = 0x2E;
constexpr int kVirtualKeyReturn = 0x0D;
// No header, no dragging, keys to the pane first.
constexpr uint32_t kPlannerStyle = kPlannerNoHeader | kPlannerNoDrag | kPlannerKeysToOwner;
constexpr COLORREF kAlarmTextColor = 0x0000FF; // RGB(255, 0, 0)

struct CommandText {
    int id;
    const char* menuText;
    const char* toolText;
    const char* tip;
};

const CommandText kCommands[] = {
    {CVwAppts::kAddAppt, "&Add...", "Add", " Add appointment"},
    {CVwAppts::kDeleteAppt, "&Delete", "Delete", "Delete appointment"},
    {CVwAppts::kEditAppt, "&Edit...", "Edit", "Edit appointment"},
};

QString ToQt(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

COLORREF ToColorRef(const QColor& color) {
    return MakeColorRef(color.red(), color.green(), color.blue());
}

CDateTime Midnight(const CDateTime& date) {
    return CDateTime(date.GetYear(), date.GetMonth(), date.GetDay());
}

// The icon drawn on items with an alarm: a small bell.
QPixmap AlarmIcon() {
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 80, 0), 1));
    painter.setBrush(QColor(240, 190, 40));
    QPainterPath bell;
    bell.moveTo(3, 12);
    bell.quadTo(4, 3, 8, 3);
    bell.quadTo(12, 3, 13, 12);
    bell.closeSubpath();
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(8, 13.5), 1.5, 1.5);
    return icon;
}

} // namespace

CVwAppts::CVwAppts(QWidget* parent)
    : CCaptionPane(QStringLiteral("Appointments"), kPaneSize, parent), m_planner(new CDayPlannerCtrl(this)) {
    setObjectName(QStringLiteral("CVwAppts"));
    Attach(&g_doc);
    m_sheetRunner = [this](const char* title, ApptSheetValues& values, CRecurItem& rule) {
        return RunSheet(title, values, rule);
    };
    m_reminderRunner = [](CReminderDlg& dialog) { return dialog.RunModal(); };

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar212"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Body()->addWidget(m_toolBar);
    m_contextMenu = new QMenu(QStringLiteral("&Appointments"), this);
    BuildCommands();

    SetControlId(m_planner, kIdPlanner);
    m_planner->SetOwner(this);
    m_planner->SetOption(kPlannerStyle);
    m_planner->SetTimeScale(30);
    m_planner->SetImageList(AlarmIcon());
    m_planner->installEventFilter(this);
    if (QWidget* viewport = m_planner->PaneViewport())
        viewport->installEventFilter(this);
    Body()->addWidget(m_planner, 1);

    m_alarmTimer = new QTimer(this);
    m_alarmTimer->setInterval(kAlarmMs);
    connect(m_alarmTimer, &QTimer::timeout, this, [this] { OnAlarmTimer(); });
    m_alarmTimer->start();

    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->AddIdleHandler(this);
    ShowCaption();
}

CVwAppts::~CVwAppts() {
    if (CMessageLoop* loop = CMessageLoop::Current())
        loop->RemoveIdleHandler(this);
    Detach();
}

void CVwAppts::BuildCommands() {
    for (const CommandText& command : kCommands) {
        const PaneCommandActions actions = AddPaneCommand(
            this, m_toolBar, m_contextMenu, m_updateUI, command.id, QString::fromUtf8(command.toolText),
            QString::fromUtf8(command.menuText), [this](int id) { OnCommand(id); });
        actions.tool->setToolTip(QString::fromUtf8(command.tip));
    }
}

void CVwAppts::OnUpdate() {
    Refresh();
    ShowCaption();
    UpdateCommandStates();
}

void CVwAppts::OnDocumentModified() {
    OnUpdate();
}

bool CVwAppts::OnCommand(int id) {
    switch (id) {
    case kAddAppt:
        OnAdd();
        return true;
    case kDeleteAppt:
        OnDelete();
        return true;
    case kEditAppt:
        OnEdit();
        return true;
    default:
        return false;
    }
}

bool CVwAppts::OnIdle(int) {
    UpdateCommandStates();
    return false;
}

void CVwAppts::UpdateCommandStates() {
    const bool selected = !g_doc.m_currentApptId.IsEmpty() && m_plannerFocused;
    m_updateUI.UIEnable(kAddAppt, g_doc.IsOpen());
    m_updateUI.UIEnable(kDeleteAppt, selected);
    m_updateUI.UIEnable(kEditAppt, selected);
    m_updateUI.UIUpdateToolBar();
    m_updateUI.UIUpdateMenuBar();
}

QString CVwAppts::CaptionFor(const CDateTime& date) {
    const QDate day(date.GetYear(), date.GetMonth(), date.GetDay());
    return QStringLiteral("Appointments for %1").arg(QLocale().toString(day, QStringLiteral("MMM d, yyyy")));
}

void CVwAppts::ShowCaption() {
    const CDateTime date = g_doc.GetCurrentDate();
    if (date.IsValid())
        setWindowTitle(CaptionFor(date));
}

void CVwAppts::Refresh() {
    const CDateTime day = Midnight(g_doc.GetCurrentDate());
    m_itemIds.clear();
    m_planner->RemoveAllItems();
    std::vector<CAppt> appts;
    if (g_doc.IsOpen() && day.IsValid()) {
        const CString dayText = day.Format("%Y-%m-%d %H:%M:%S");
        g_doc.GetApptsInRange(appts, dayText, dayText);
    }
    SYSTEMTIME date{};
    if (day.IsValid() && day.GetAsSystemTime(date))
        m_planner->SetDate(date);

    const QPalette palette = QApplication::palette();
    const COLORREF captionText = ToColorRef(palette.color(QPalette::Inactive, QPalette::HighlightedText));
    const COLORREF inactiveCaption = ToColorRef(palette.color(QPalette::Inactive, QPalette::Highlight));
    for (const CAppt& appt : appts) {
        DayPlannerItem item;
        SYSTEMTIME start{};
        const CDateTime startTime(appt.m_DateDue.GetYear(), appt.m_DateDue.GetMonth(),
                                  appt.m_DateDue.GetDay(), appt.m_StartTime.GetHour(),
                                  appt.m_StartTime.GetMinute(), 0);
        startTime.GetAsSystemTime(start);
        item.start = start;
        const CDateTimeSpan length(appt.m_EndTime.GetValue() - appt.m_StartTime.GetValue());
        const double minutes = length.IsValid() ? length.GetTotalMinutes() + 0.5 : 0.0;
        item.minutes = static_cast<uint16_t>(std::clamp(minutes, 0.0, 65535.0));
        item.text = appt.m_Desc;
        item.detail = appt.m_Desc;
        item.data = static_cast<intptr_t>(m_itemIds.size());
        item.icon = appt.m_Alarm ? 1 : 0;
        item.textColor = appt.m_Alarm ? kAlarmTextColor : captionText;
        item.backColor = inactiveCaption;
        m_itemIds.push_back(appt.m_ID);
        m_planner->AddItem(item);
    }
    m_selectedIndex = -1;
    g_doc.m_currentApptId.Empty();
}

CString CVwAppts::ItemId(int index) const {
    DayPlannerItem item;
    if (!m_planner->GetItem(index, &item) || item.data < 0 || item.data >= std::ssize(m_itemIds))
        return CString();
    return m_itemIds[static_cast<size_t>(item.data)];
}

bool CVwAppts::RunSheet(const char* title, ApptSheetValues& values, CRecurItem& rule) {
    CApptOptionsSheet sheet(QApplication::activeWindow() ? QApplication::activeWindow() : window());
    sheet.setWindowTitle(QString::fromUtf8(title));
    sheet.SetRule(&rule);
    CApptOptionsPage& page = sheet.m_page;
    page.m_desc = values.desc;
    page.m_dateDue = values.dateDue;
    page.m_startTime = values.startTime;
    page.m_endTime = values.endTime;
    page.m_alarmTime = values.alarmTime;
    page.m_alarm = values.alarm ? 1 : 0;
    page.m_done = values.done ? 1 : 0;
    page.m_recurring = values.recurring ? 1 : 0;
    if (sheet.DoModal(sheet.parentWidget()) != IDOK)
        return false;
    values.desc = page.m_desc;
    values.dateDue = page.m_dateDue;
    values.startTime = page.m_startTime;
    values.endTime = page.m_endTime;
    values.alarmTime = page.m_alarmTime;
    values.alarm = page.m_alarm != 0;
    values.done = page.m_done != 0;
    values.recurring = page.m_recurring != 0;
    return true;
}

void CVwAppts::OnAdd() {
    if (!g_doc.IsOpen())
        return;
    const SYSTEMTIME shown = m_planner->GetDate();
    const int hourHeight = m_planner->GetMetrics().hourHeight;
    // The first whole hour the planner shows.
    const int firstVisibleHour =
        hourHeight > 0 ? (m_planner->ScrollOffset() + hourHeight - 1) / hourHeight : 0;
    CApptSeries series(m_sheetRunner);
    series.Add(g_doc.GetCurrentDate(), shown.wHour, shown.wMinute, firstVisibleHour);
}

void CVwAppts::OnDelete() {
    if (!g_doc.IsOpen() || !m_plannerFocused || m_selectedIndex == -1 || g_doc.m_currentApptId.IsEmpty())
        return;
    CApptSeries series(m_sheetRunner);
    series.Delete(g_doc.m_currentApptId);
}

void CVwAppts::OnEdit() {
    if (!g_doc.IsOpen() || !m_plannerFocused || g_doc.m_currentApptId.IsEmpty())
        return;
    CApptSeries series(m_sheetRunner);
    series.Edit(g_doc.m_currentApptId);
}

void CVwAppts::SelectFromPlanner(bool emptyWhenNone) {
    m_selectedIndex = m_planner->GetSelectedIndex();
    if (m_selectedIndex != -1)
        g_doc.m_currentApptId = ItemId(m_selectedIndex);
    else if (emptyWhenNone)
        g_doc.m_currentApptId.Empty();
}

void CVwAppts::OnPlannerNotify(CDayPlannerCtrl&, int, int code) {
    switch (code) {
    case kPlannerDateChanged:
        if (g_doc.IsOpen())
            SelectFromPlanner(false);
        break;
    case kPlannerSelectionChanged: // a press on a block, or an arrow key onto an hour with one
    case kPlannerMouseReleased:
        if (g_doc.IsOpen())
            SelectFromPlanner(true);
        m_plannerFocused = true;
        UpdateCommandStates();
        break;
    case kPlannerDoubleClicked:
        if (!g_doc.IsOpen())
            break;
        SelectFromPlanner(true);
        if (m_selectedIndex != -1) {
            m_plannerFocused = true;
            OnCommand(kEditAppt);
        }
        break;
    default:
        break;
    }
}

int CVwAppts::OnPlannerKeyToItem(CDayPlannerCtrl&, int virtualKey) {
    if (!m_plannerFocused || m_selectedIndex == -1)
        return 0;
    // Delete removes the selected appointment; Enter edits it, as a double click does.
    if (virtualKey == kVirtualKeyDelete)
        OnCommand(kDeleteAppt);
    else if (virtualKey == kVirtualKeyReturn)
        OnCommand(kEditAppt);
    else
        return 0;
    return 1;
}

void CVwAppts::OnPlannerSetFocus(CDayPlannerCtrl&) {
    m_plannerFocused = true;
}

bool CVwAppts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        UpdateCommandStates();
        m_contextMenu->exec(ContextMenuPoint(*static_cast<QContextMenuEvent*>(event)));
        return true;
    }
    return CCaptionPane::eventFilter(watched, event);
}

QPoint CVwAppts::ContextMenuPoint(const QContextMenuEvent& event) {
    if (event.reason() != QContextMenuEvent::Keyboard)
        return event.globalPos();
    // From the keyboard the menu opens at the selected block, else at the planner's top left.
    QWidget* viewport = m_planner->PaneViewport();
    QPoint at(4, 4);
    for (const DayPlannerBlock& block : m_planner->GetBlocks())
        if (block.item == m_selectedIndex && block.shown && !block.rect.IsEmpty()) {
            at = QPoint(block.rect.left + 4, block.rect.top + 4 - m_planner->ScrollOffset());
            break;
        }
    return viewport->mapToGlobal(at);
}

bool CVwAppts::ReminderShowing(const QString& title) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [&](const QWidget* window) {
        return qobject_cast<const QDialog*>(window) && window->isVisible() && window->windowTitle() == title;
    });
}

void CVwAppts::OnAlarmTimer() {
    if (!g_doc.IsOpen())
        return;
    const CDateTime now = CDateTime::GetCurrentTime();
    // Only the appointments of the day the planner shows are examined, in one read of those whose
    // alarm is due.
    const CDateTime day = Midnight(g_doc.GetCurrentDate());
    if (!day.IsValid())
        return;
    std::vector<CAppt> due;
    if (!g_doc.GetDueAlarms(day.Format("%Y-%m-%d %H:%M:%S"), now, due))
        return;
    QPointer<CVwAppts> self(this);
    bool cleared = false;
    for (CAppt& appt : due) {
        CString title;
        title.Format("%s Appointment Reminder", appt.m_StartTime.Format("%I:%M %p").c_str());
        // Appointments at the same minute share a title: one reminder at a time.
        if (ReminderShowing(ToQt(title)))
            continue;
        QPointer<CReminderDlg> dialog = new CReminderDlg(this);
        dialog->m_soundFile = g_doc.m_alarmSoundFile;
        dialog->m_message = appt.m_Desc;
        dialog->m_title = title;
        dialog->m_turnOff = true;
        dialog->m_sound = g_doc.m_audibleAlarm;
        const int result = m_reminderRunner(*dialog);
        if (!self)
            return;
        if (!dialog)
            continue;
        const bool turnOff = dialog->m_turnOff;
        delete dialog.data();
        if (result == IDOK && turnOff && g_doc.IsOpen()) {
            appt.m_Alarm = false;
            g_doc.UpdateAppt(appt);
            cleared = true;
        }
    }
    if (cleared)
        Refresh();
}
