#pragma once

#include "data/DateTime.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"
#include "platform/qt/PropertySheet.h"
#include "ui/calendar/RecurrencePage.h"

#include <QAbstractSpinBox>

#include <cstdint>

class QCheckBox;
class QDateEdit;
class QLineEdit;

// Up and down arrows without a value of their own (an up-down control): a step reports its delta
// (positive is later) and the owner decides; the position is kept for the owner.
class SpinArrows : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);
    void stepBy(int steps) override;
    int m_position = 0;
    int m_low = 0;
    int m_high = 100;

signals:
    void DeltaPos(int delta);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

// The "Appointment Options" page.
class CApptOptionsPage : public PropertyPage {
public:
    CApptOptionsPage();

    CString m_desc;
    uint8_t m_alarm = 0;
    uint8_t m_done = 0;
    CDateTime m_dateDue;
    CDateTime m_startTime;
    CDateTime m_endTime;
    CDateTime m_alarmTime;
    int m_minutesBefore = 0;
    int m_setAlarm = 0;
    uint8_t m_recurring = 0;
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    // The rule shared with the recurrence page, and that page (added while Recurring is ticked).
    CRecurItem* m_rule = nullptr;
    RecurrencePage* m_recurPage = nullptr;

    void OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    void OnDestroy() override;

    // Members <-> controls.
    void ExchangeData(bool save);
    // Reads the controls back and derives Alarm and AlarmTime.
    void Store();
    // The date picker's change, the begin and end spins (delta > 0 is later), Recurring clicked.
    void OnDateChanged(const QDate& date);
    void OnBeginSpin(int delta);
    void OnEndSpin(int delta);
    void OnRecurringClicked(bool checked);
    void UpdateOk();
    bool OnContextHelp(QWidget* control);

    enum : int {
        kIdDesc = 1044,
        kIdDate = 1000,
        kIdBegin = 1049,
        kIdBeginSpin = 1051,
        kIdEnd = 1050,
        kIdEndSpin = 1052,
        kIdSetAlarm = 1045,
        kIdMinutes = 1047,
        kIdMinutesSpin = 1048,
        kIdRecurring = 1171,
    };

private:
    void WriteRuleTimes();
    // Makes the date the page's date; the set times go with it.
    void MoveTimesTo(const CDateTime& date);
    static bool IsTimeOfDay(const CDateTime& time, int hour, int minute);
    void ShowTimes();
    CDateTime OnPageDate(int hour, int minute) const;

    QLineEdit* m_descEdit;
    QDateEdit* m_datePicker;
    QLineEdit* m_beginEdit;
    QLineEdit* m_endEdit;
    SpinArrows* m_beginSpin;
    SpinArrows* m_endSpin;
    QCheckBox* m_setAlarmCheck;
    QLineEdit* m_minutesEdit;
    SpinArrows* m_minutesSpin;
    QCheckBox* m_recurringCheck;
};

// The appointment sheet: its page and the recurrence page (a second tab while Recurring is ticked).
class CApptOptionsSheet : public PropertySheet {
public:
    explicit CApptOptionsSheet(QWidget* parent = nullptr);
    ~CApptOptionsSheet() override;

    // Points both pages at the caller's rule.
    void SetRule(CRecurItem* rule);

    CApptOptionsPage m_page;
    RecurrencePage m_recurPage;
};
