#include "ui/calendar/VwCalendar.h"

#include "data/DbDoc.h"
#include "platform/qt/Controls.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QDate ToQDate(const CDateTime& date) {
    return QDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

} // namespace

CVwCalendar::CVwCalendar(QWidget* parent)
    : CCaptionPane(QStringLiteral("Calendar"), QSize(), parent), m_calendar(new QCalendarWidget(this)) {
    setObjectName(QStringLiteral("CVwCalendar"));
    Attach(&g_doc);
    SetControlId(m_calendar, kCalendarId);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(false);
    ApplyColours();
    // The control widens with the pane; its height stays as built.
    const QSize calendarSize = m_calendar->sizeHint();
    m_calendar->setFixedHeight(calendarSize.height());
    m_calendar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Body()->addWidget(m_calendar);
    Body()->addStretch(1);
    SetTemplateSize(QFrame::sizeHint());
    setMinimumHeight(TemplateSize().height());

    const SYSTEMTIME now = GetLocalTime();
    const CDateTime today(now.wYear, now.wMonth, now.wDay);
    Select(ToQDate(today));
    ShowCaption(today);
    QObject::connect(m_calendar, &QCalendarWidget::selectionChanged, this, [this] {
        try {
            const QDate day = m_calendar->selectedDate();
            OnSelectionChange(day.year(), day.month(), day.day());
        } catch (...) {
        }
    });
}

CVwCalendar::~CVwCalendar() {
    Detach();
}

void CVwCalendar::ApplyColours() {
    // Title in the active caption colour, the days on the window colour, around them the inactive
    // one. Every colour comes from the pane's palette at once, so that after a change of palette the
    // calendar's fills and texts belong to the same scheme.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Active, QPalette::Base));
    palette.setColor(QPalette::Window, palette.color(QPalette::Inactive, QPalette::Mid));
    m_calendar->setPalette(palette);
    if (QWidget* title = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        QPalette titlePalette = palette;
        titlePalette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
        titlePalette.setColor(QPalette::WindowText,
                              palette.color(QPalette::Active, QPalette::HighlightedText));
        titlePalette.setColor(QPalette::ButtonText,
                              palette.color(QPalette::Active, QPalette::HighlightedText));
        title->setPalette(titlePalette);
        title->setAutoFillBackground(true);
    }
}

void CVwCalendar::changeEvent(QEvent* event) {
    CCaptionPane::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ApplyColours();
}

void CVwCalendar::OnSelectionChange(int year, int month, int day) {
    const CDateTime date(year, month, day);
    if (!date.IsValid())
        return;
    Select(ToQDate(date));
    g_doc.SetCurrentDate(date);
    if (g_doc.IsOpen())
        g_doc.UpdateAllViews(this);
    ShowCaption(date);
}

void CVwCalendar::OnUpdate() {
    const CDateTime date = g_doc.GetCurrentDate();
    if (!date.IsValid())
        return;
    Select(ToQDate(date));
    ShowCaption(date);
}

CDateTime CVwCalendar::SelectedDate() const {
    const QDate day = m_calendar->selectedDate();
    return CDateTime(day.year(), day.month(), day.day());
}

QString CVwCalendar::CaptionFor(const CDateTime& date) {
    return QString::fromUtf8(date.FormatDate(nullptr, DATE_LONGDATE).c_str());
}

void CVwCalendar::Select(const QDate& day) {
    const QSignalBlocker quiet(m_calendar);
    m_calendar->setSelectedDate(day);
}

void CVwCalendar::ShowCaption(const CDateTime& date) {
    setWindowTitle(CaptionFor(date));
}
