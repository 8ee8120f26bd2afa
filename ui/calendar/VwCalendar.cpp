#include "ui/calendar/VwCalendar.h"

#include "data/DbDoc.h"
#include "platform/qt/ChromeColors.h"
#include "platform/qt/Controls.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace {

constexpr double kReadableContrast = 4.5;

QDate ToQDate(const CDateTime& date) {
    return QDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

// Halfway between the text and the fill: readable, and plainly paler than the month's own days.
QColor DimmedText(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    return QColor((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                  (text.blue() + base.blue()) / 2);
}

QPalette WithDimmedOtherMonths(QPalette palette) {
    palette.setColor(QPalette::Disabled, QPalette::Text, DimmedText(palette));
    return palette;
}

bool UnderStyleSheet(const QWidget* widget) {
    return widget->style()->inherits("QStyleSheetStyle");
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
    if (QWidget* days = DaysView())
        days->installEventFilter(this);
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
    // A style sheet gives the days their own palette; without one they take the calendar's.
    if (QWidget* days = DaysView(); days && !UnderStyleSheet(days))
        days->setPalette(WithDimmedOtherMonths(palette));
    ApplyDayColours();
}

QWidget* CVwCalendar::DaysView() const {
    return m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
}

void CVwCalendar::ApplyDayColours() {
    QWidget* days = DaysView();
    if (!days)
        return;
    // The calendar draws the days of the neighbouring months in the disabled text colour of the days'
    // palette, which many schemes leave equal to the text.
    const QPalette drawn = days->palette();
    if (drawn.color(QPalette::Disabled, QPalette::Text) != DimmedText(drawn))
        days->setPalette(WithDimmedOtherMonths(drawn));
    // The weekday header is filled with the alternate base colour, which schemes that set only the
    // main colours (a style sheet with a background and a text colour) leave pale under pale text.
    const QColor text = drawn.color(QPalette::Active, QPalette::Text);
    QColor fill = drawn.color(QPalette::Active, QPalette::AlternateBase);
    QColor headerText = text;
    if (ContrastRatio(fill.rgb(), text.rgb()) < kReadableContrast) {
        fill = drawn.color(QPalette::Active, QPalette::Button);
        headerText = QColor::fromRgb(
            ReadableOn(fill.rgb(), drawn.color(QPalette::Active, QPalette::ButtonText).rgb()));
    }
    QTextCharFormat header = m_calendar->headerTextFormat();
    if (header.background().color() != fill || header.foreground().color() != headerText) {
        header.setBackground(fill);
        header.setForeground(headerText);
        m_calendar->setHeaderTextFormat(header);
    }
}

bool CVwCalendar::eventFilter(QObject* watched, QEvent* event) {
    // A style sheet sets the days' palette when it polishes them.
    if (event->type() == QEvent::PaletteChange && watched == DaysView())
        ApplyDayColours();
    return CCaptionPane::eventFilter(watched, event);
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
