#pragma once

#include "data/RecurPattern.h"
#include "platform/core/CString.h"
#include "platform/qt/PropertySheet.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;

// The "Recurring Options" page: edits the caller's rule. It loads every rule field into its controls
// when it becomes active and writes them back (all but the times) when it is left, applied or closed.
class RecurrencePage : public PropertyPage {
public:
    RecurrencePage();

    // The rule edited; set before the sheet runs, owned by the caller.
    CRecurItem* m_rule = nullptr;
    // The time controls show only while this is set (the task sheet clears it).
    bool m_showTimes = true;

    // Time list parameters.
    int m_firstHour = 1;
    int m_lastHour = 23;
    int m_firstMinute = 0;
    int m_stepMinutes = 15;
    CString m_defaultStart = "08:00 AM";

    // Page values bound to the edits.
    CString m_occurrences = "10";
    CString m_dayOfMonth = "1";
    CString m_everyMonths1 = "1";
    CString m_everyMonths2 = "1";
    CString m_everyMonths3;
    CString m_everyWeeks = "1";
    CString m_everyDays = "1";
    CString m_yearlyDay = "1";
    int m_weekdays[7] = {};
    int m_basicMethod = 0;
    int m_dailyMethod = 0;
    int m_monthlyMethod = 0;
    int m_yearlyMethod = 0;
    int m_endMethod = 0;
    CString m_startDate;
    CString m_endDate;

    void OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    void OnDestroy() override;

    // Rule -> controls, and controls -> rule.
    void LoadFromRule();
    void StoreToRule();
    // Shows the group of controls of a basic method (0 daily .. 3 yearly), hides the others.
    void ShowMethodGroup(int method);
    // Refills the end times from the selected start + one step, selecting the first.
    void RebuildEndTimes();

    bool OnContextHelp(QWidget* control);

    // Control ids.
    enum : int {
        kIdDaily = 1430,
        kIdWeekly = 1431,
        kIdMonthly = 1432,
        kIdYearly = 1433,
        kIdStartTime = 1256,
        kIdEndTime = 1257,
        kIdStartDate = 1010,
        kIdEndDate = 1011,
        kIdOccurrences = 1002,
        kIdTimeGroup = 1087,
    };

private:
    void ExchangePageValues(bool save);
    void FillTimes(QComboBox* combo, int fromHour, int fromMinute);
    void SelectByValue(QComboBox* combo, int value);
    static int SelectedValue(const QComboBox* combo);
    static void SelectByPrefix(QComboBox* combo, const CString& text);

    QButtonGroup* m_basicGroup;
    QButtonGroup* m_dailyGroup;
    QButtonGroup* m_monthlyGroup;
    QButtonGroup* m_yearlyGroup;
    QButtonGroup* m_endGroup;
    QWidget* m_methodPanels[4];
    QLineEdit* m_everyDaysEdit;
    QLineEdit* m_everyWeeksEdit;
    QCheckBox* m_weekdayChecks[7];
    QLineEdit* m_dayOfMonthEdit;
    QLineEdit* m_everyMonths1Edit;
    QLineEdit* m_everyMonths2Edit;
    QLineEdit* m_everyMonths3Edit;
    QLineEdit* m_yearlyDayEdit;
    QLineEdit* m_occurrencesEdit;
    QComboBox* m_monthlyTheOption;
    QComboBox* m_monthlyDayOption;
    QComboBox* m_monthlyTheOption1;
    QComboBox* m_monthlyDayOption1;
    QComboBox* m_mathOp;
    QComboBox* m_mathDays;
    QComboBox* m_yearlyMonth1;
    QComboBox* m_yearlyTheOption;
    QComboBox* m_yearlyDayOption;
    QComboBox* m_yearlyMonth2;
    QComboBox* m_startTimes;
    QComboBox* m_endTimes;
    QDateEdit* m_startDateEdit;
    QDateEdit* m_endDateEdit;
    QGroupBox* m_timeGroup;
};
