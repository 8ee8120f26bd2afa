#pragma once

#include "data/DateTime.h"
#include "data/RecurPattern.h"
#include "platform/core/CString.h"
#include "platform/qt/PropertySheet.h"
#include "ui/calendar/RecurrencePage.h"

#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QPlainTextEdit;

// The "Task Options" page.
class CTaskOptionsPage : public PropertyPage {
public:
    static constexpr int kMaxDesc = 2048;

    CTaskOptionsPage();

    CString m_desc;
    int m_priority = 0; // 0 High, 1 Medium, 2 Low, 3 Done
    CDateTime m_dateDue;
    uint8_t m_recurring = 0;
    CRecurItem* m_rule = nullptr;
    RecurrencePage* m_recurPage = nullptr;

    void OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    void OnDestroy() override;

    void ExchangeData(bool save);
    void OnDateChanged(const QDate& date);
    void OnRecurringClicked(bool checked);
    void UpdateOk();
    bool OnContextHelp(QWidget* control);

    enum : int {
        kIdDesc = 1046,
        kIdHigh = 1037,
        kIdMedium = 1035,
        kIdLow = 1033,
        kIdDone = 1031,
        kIdDate = 1102,
        kIdRecurring = 1171,
    };

private:
    QPlainTextEdit* m_descEdit;
    QButtonGroup* m_priorityGroup;
    QDateEdit* m_datePicker;
    QCheckBox* m_recurringCheck;
};

// The task sheet: its page and the recurrence page, whose time controls it switches off.
class CTaskOptionsSheet : public PropertySheet {
public:
    explicit CTaskOptionsSheet(QWidget* parent = nullptr);
    ~CTaskOptionsSheet() override;

    void SetRule(CRecurItem* rule);

    CTaskOptionsPage m_page;
    RecurrencePage m_recurPage;
};
