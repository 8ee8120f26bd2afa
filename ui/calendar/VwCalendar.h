#pragma once

#include "data/DateTime.h"
#include "data/DocObserver.h"
#include "ui/common/CaptionPane.h"

class QCalendarWidget;
class QDate;

// The calendar pane: a month calendar (control 1000) that shows and sets the document's current
// date; its caption is the chosen day as a long date. It follows only update notifications: a plain
// change of the stored data does not reload it.
class CVwCalendar : public CCaptionPane, public CDocObserver {
public:
    static constexpr int kCalendarId = 1000;

    // Attaches to the document and selects today.
    explicit CVwCalendar(QWidget* parent = nullptr);
    ~CVwCalendar() override;

    // The user chose a day: it becomes the document's current date (00:00:00) and, with a document
    // open, every other observer is told; the caption shows it.
    void OnSelectionChange(int year, int month, int day);
    // Selects the document's current date and shows it in the caption.
    void OnUpdate() override;
    // A change of the stored data does not concern the calendar.
    void OnDocumentModified() override {}

    QCalendarWidget* Calendar() const { return m_calendar; }
    // The selected day at 00:00:00.
    CDateTime SelectedDate() const;
    // The caption the pane shows for a day: its long date in the user's format.
    static QString CaptionFor(const CDateTime& date);

protected:
    // A new palette (a change of the desktop's scheme) is applied to the calendar's own colours too.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyColours();
    // The weekday header and the days of the neighbouring months, from the days' own palette.
    void ApplyDayColours();
    // The month calendar's grid of days.
    QWidget* DaysView() const;
    // Selects the day without reporting it as the user's choice.
    void Select(const QDate& day);
    void ShowCaption(const CDateTime& date);

    QCalendarWidget* m_calendar;
};
