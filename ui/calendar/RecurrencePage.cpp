#include "ui/calendar/RecurrencePage.h"

#include "data/DateParser.h"
#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/SheetParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

template <typename T> T* Make(QWidget* parent, int id, const QString& text = QString()) {
    T* control = new T(text, parent);
    SetControlId(control, id);
    return control;
}

QLabel* Label(QWidget* parent, int id, const QString& text) {
    auto* label = new QLabel(text, parent);
    if (id)
        SetControlId(label, id);
    return label;
}

QLineEdit* NumberEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    edit->setFixedWidth(40);
    return edit;
}

QComboBox* Combo(QWidget* parent, int id) {
    auto* combo = new QComboBox(parent);
    SetControlId(combo, id);
    // The lists are filled when the page is first shown: the combo follows its longest entry.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QRadioButton* Radio(QWidget* parent, QButtonGroup* group, int id, const QString& text, int index) {
    auto* radio = Make<QRadioButton>(parent, id, text);
    group->addButton(radio, index);
    return radio;
}

void FillOrdinals(QComboBox* combo) {
    const char* const names[] = {"First", "Second", "Third", "Fourth", "Last"};
    for (int i = 0; i < 5; ++i)
        combo->addItem(QString::fromLatin1(names[i]), i);
}

void FillDayKinds(QComboBox* combo) {
    combo->addItem(QStringLiteral("Day"), 0);
    combo->addItem(QStringLiteral("Weekday"), 1);
    combo->addItem(QStringLiteral("Weekend day"), 2);
    for (int day = 1; day <= 7; ++day)
        combo->addItem(ToQString(CDateParser::GetWeekdayName(day)), day + 2);
}

void FillMonths(QComboBox* combo) {
    for (int month = 1; month <= 12; ++month)
        combo->addItem(ToQString(CDateParser::GetMonthName(month)), month);
}

void HBox(QWidget* parent, QGridLayout* grid, int row, std::vector<QWidget*> widgets) {
    auto* box = new QHBoxLayout;
    for (QWidget* w : widgets)
        box->addWidget(w);
    box->addStretch();
    grid->addLayout(box, row, 0);
    (void)parent;
}

const std::vector<std::pair<int, int>>& HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {1256, 1657}, {1257, 1601}, {1430, 1602}, {1431, 1603}, {1432, 1604}, {1433, 1605}, {1004, 1606},
        {1006, 1607}, {1005, 1608}, {1436, 1609}, {1437, 1610}, {1438, 1611}, {1439, 1612}, {1441, 1613},
        {1440, 1614}, {1442, 1615}, {1443, 1616}, {1457, 1617}, {1458, 1618}, {1464, 1619}, {1459, 1620},
        {1460, 1621}, {1461, 1622}, {1462, 1623}, {1463, 1624}, {1465, 1625}, {1475, 1626}, {1476, 1627},
        {1014, 1628}, {1015, 1629}, {1470, 1630}, {1471, 1631}, {1007, 1632}, {1472, 1633}, {1473, 1634},
        {1474, 1635}, {1008, 1636}, {1451, 1637}, {1000, 1638}, {1001, 1639}, {1003, 1640}, {1002, 1641},
        {1452, 1642}, {1087, 1643}, {1172, 1644}, {1173, 1645}, {1009, 1646}, {1454, 1647}, {1455, 1648},
        {1466, 1649}, {1467, 1650}, {1468, 1651}, {1469, 1652}, {1477, 1653}, {1478, 1654}, {1010, 1655},
        {1011, 1656},
    };
    return table;
}

} // namespace

RecurrencePage::RecurrencePage() : PropertyPage(QStringLiteral("Recurring Options")) {
    // Time of the occurrences.
    m_timeGroup = Make<QGroupBox>(this, kIdTimeGroup, QStringLiteral("Time"));
    m_startTimes = Combo(m_timeGroup, kIdStartTime);
    m_endTimes = Combo(m_timeGroup, kIdEndTime);
    auto* timeRow = new QHBoxLayout(m_timeGroup);
    timeRow->addWidget(Label(m_timeGroup, 1172, QStringLiteral("Starts:")));
    timeRow->addWidget(m_startTimes);
    timeRow->addWidget(Label(m_timeGroup, 1173, QStringLiteral("Ends:")));
    timeRow->addWidget(m_endTimes);
    timeRow->addStretch();

    // The pattern: the basic method on the left, its group of controls on the right.
    auto* pattern = Make<QGroupBox>(this, 1451, QStringLiteral("Recurrence Pattern"));
    m_basicGroup = new QButtonGroup(this);
    auto* methods = new QVBoxLayout;
    methods->addWidget(Radio(pattern, m_basicGroup, kIdDaily, QStringLiteral("Daily"), 0));
    methods->addWidget(Radio(pattern, m_basicGroup, kIdWeekly, QStringLiteral("Weekly"), 1));
    methods->addWidget(Radio(pattern, m_basicGroup, kIdMonthly, QStringLiteral("Monthly"), 2));
    methods->addWidget(Radio(pattern, m_basicGroup, kIdYearly, QStringLiteral("Yearly"), 3));
    methods->addStretch();

    // Daily.
    auto* daily = new QWidget(pattern);
    m_dailyGroup = new QButtonGroup(this);
    m_everyDaysEdit = NumberEdit(daily, 1005);
    auto* dailyGrid = new QGridLayout(daily);
    HBox(daily, dailyGrid, 0,
         {Radio(daily, m_dailyGroup, 1004, QStringLiteral("Every"), 0), m_everyDaysEdit,
          Label(daily, 1009, QStringLiteral("day(s)"))});
    HBox(daily, dailyGrid, 1, {Radio(daily, m_dailyGroup, 1006, QStringLiteral("Every weekday"), 1)});
    dailyGrid->setRowStretch(2, 1);

    // Weekly.
    auto* weekly = new QWidget(pattern);
    m_everyWeeksEdit = NumberEdit(weekly, 1436);
    auto* weeklyGrid = new QGridLayout(weekly);
    HBox(weekly, weeklyGrid, 0,
         {Label(weekly, 1454, QStringLiteral("Recur every")), m_everyWeeksEdit,
          Label(weekly, 1455, QStringLiteral("week(s) on:"))});
    const int weekdayIds[7] = {1437, 1438, 1439, 1441, 1440, 1442, 1443};
    const char* const weekdayTexts[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
    auto* days = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        m_weekdayChecks[i] = Make<QCheckBox>(weekly, weekdayIds[i], QString::fromLatin1(weekdayTexts[i]));
        days->addWidget(m_weekdayChecks[i], i / 4, i % 4);
    }
    weeklyGrid->addLayout(days, 1, 0);
    weeklyGrid->setRowStretch(2, 1);

    // Monthly.
    auto* monthly = new QWidget(pattern);
    m_monthlyGroup = new QButtonGroup(this);
    m_dayOfMonthEdit = NumberEdit(monthly, 1459);
    m_everyMonths1Edit = NumberEdit(monthly, 1460);
    m_everyMonths2Edit = NumberEdit(monthly, 1463);
    m_everyMonths3Edit = NumberEdit(monthly, 1476);
    m_monthlyTheOption = Combo(monthly, 1461);
    m_monthlyDayOption = Combo(monthly, 1462);
    m_monthlyTheOption1 = Combo(monthly, 1465);
    m_monthlyDayOption1 = Combo(monthly, 1475);
    m_mathOp = Combo(monthly, 1014);
    m_mathDays = Combo(monthly, 1015);
    auto* monthlyGrid = new QGridLayout(monthly);
    HBox(monthly, monthlyGrid, 0,
         {Radio(monthly, m_monthlyGroup, 1457, QStringLiteral("Day"), 0), m_dayOfMonthEdit,
          Label(monthly, 1466, QStringLiteral("of every")), m_everyMonths1Edit,
          Label(monthly, 1467, QStringLiteral("month(s)"))});
    HBox(monthly, monthlyGrid, 1,
         {Radio(monthly, m_monthlyGroup, 1458, QStringLiteral("The"), 1), m_monthlyTheOption,
          m_monthlyDayOption, Label(monthly, 1468, QStringLiteral("of every")), m_everyMonths2Edit,
          Label(monthly, 1469, QStringLiteral("month(s)"))});
    HBox(monthly, monthlyGrid, 2,
         {Radio(monthly, m_monthlyGroup, 1464, QStringLiteral("The"), 2), m_monthlyTheOption1,
          m_monthlyDayOption1, m_mathOp, m_mathDays});
    HBox(monthly, monthlyGrid, 3,
         {Label(monthly, 1477, QStringLiteral("of every")), m_everyMonths3Edit,
          Label(monthly, 1478, QStringLiteral("month(s)"))});
    monthlyGrid->setRowStretch(4, 1);

    // Yearly.
    auto* yearly = new QWidget(pattern);
    m_yearlyGroup = new QButtonGroup(this);
    m_yearlyMonth1 = Combo(yearly, 1007);
    m_yearlyDayEdit = NumberEdit(yearly, 1472);
    m_yearlyTheOption = Combo(yearly, 1473);
    m_yearlyDayOption = Combo(yearly, 1474);
    m_yearlyMonth2 = Combo(yearly, 1008);
    auto* yearlyGrid = new QGridLayout(yearly);
    HBox(yearly, yearlyGrid, 0,
         {Radio(yearly, m_yearlyGroup, 1470, QStringLiteral("Every"), 0), m_yearlyMonth1, m_yearlyDayEdit});
    HBox(yearly, yearlyGrid, 1,
         {Radio(yearly, m_yearlyGroup, 1471, QStringLiteral("The"), 1), m_yearlyTheOption, m_yearlyDayOption,
          Label(yearly, 0, QStringLiteral("of")), m_yearlyMonth2});
    yearlyGrid->setRowStretch(2, 1);

    m_methodPanels[0] = daily;
    m_methodPanels[1] = weekly;
    m_methodPanels[2] = monthly;
    m_methodPanels[3] = yearly;
    auto* panels = new QGridLayout;
    for (QWidget* panel : m_methodPanels)
        panels->addWidget(panel, 0, 0);
    auto* patternRow = new QHBoxLayout(pattern);
    patternRow->addLayout(methods);
    patternRow->addLayout(panels, 1);

    // The range.
    auto* range = Make<QGroupBox>(this, 1452, QStringLiteral("Range of Recurrence"));
    m_endGroup = new QButtonGroup(this);
    m_startDateEdit = MakeDatePicker(range, kIdStartDate);
    m_endDateEdit = MakeDatePicker(range, kIdEndDate);
    m_occurrencesEdit = NumberEdit(range, kIdOccurrences);
    auto* rangeGrid = new QGridLayout(range);
    rangeGrid->addWidget(Label(range, 0, QStringLiteral("Starts on:")), 0, 0);
    rangeGrid->addWidget(m_startDateEdit, 0, 1);
    rangeGrid->addWidget(Radio(range, m_endGroup, 1000, QStringLiteral("No end date"), 0), 0, 2);
    auto* after = new QHBoxLayout;
    after->addWidget(Radio(range, m_endGroup, 1001, QStringLiteral("Ends after"), 1));
    after->addWidget(m_occurrencesEdit);
    after->addWidget(Label(range, 0, QStringLiteral("occurences")));
    after->addStretch();
    rangeGrid->addLayout(after, 1, 2);
    auto* by = new QHBoxLayout;
    by->addWidget(Radio(range, m_endGroup, 1003, QStringLiteral("Ends by:"), 2));
    by->addWidget(m_endDateEdit);
    by->addStretch();
    rangeGrid->addLayout(by, 2, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_timeGroup);
    layout->addWidget(pattern);
    layout->addWidget(range);
    layout->addStretch();

    connect(m_basicGroup, &QButtonGroup::idClicked, this, [this](int method) { ShowMethodGroup(method); });
    connect(m_startTimes, &QComboBox::activated, this, [this] { RebuildEndTimes(); });
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

void RecurrencePage::FillTimes(QComboBox* combo, int fromHour, int fromMinute) {
    combo->clear();
    for (int hour = fromHour; hour <= m_lastHour; ++hour) {
        for (int minute = hour == fromHour ? fromMinute : 0; minute < 60; minute += m_stepMinutes) {
            const CDateTime time(2000, 1, 1, hour, minute);
            combo->addItem(ToQString(FormatRuleTime(time)), minute * 65536 + hour);
        }
    }
}

void RecurrencePage::OnInitDialog() {
    for (QComboBox* combo : {m_monthlyDayOption, m_monthlyDayOption1, m_yearlyDayOption}) {
        combo->clear();
        FillDayKinds(combo);
    }
    for (QComboBox* combo : {m_monthlyTheOption, m_monthlyTheOption1, m_yearlyTheOption}) {
        combo->clear();
        FillOrdinals(combo);
    }
    for (QComboBox* combo : {m_yearlyMonth1, m_yearlyMonth2}) {
        combo->clear();
        FillMonths(combo);
    }
    FillTimes(m_startTimes, m_firstHour, m_firstMinute);
    SelectByPrefix(m_startTimes, m_defaultStart);
    m_mathOp->clear();
    m_mathOp->addItem(QStringLiteral("plus"), 0);
    m_mathOp->addItem(QStringLiteral("minus"), 1);
    m_mathDays->clear();
    for (int days = 1; days <= 31; ++days)
        m_mathDays->addItem(QStringLiteral("%1 %2").arg(days).arg(QStringLiteral("days")), days);

    // Every entry stays readable: the lists never shrink below their longest entry.
    for (QComboBox* combo : findChildren<QComboBox*>())
        combo->setMinimumWidth(combo->sizeHint().width());
    m_endTimes->setMinimumWidth(m_startTimes->minimumWidth());

    ShowMethodGroup(0);
    for (QWidget* control :
         {static_cast<QWidget*>(m_startTimes), static_cast<QWidget*>(m_endTimes), FindControl(this, 1173),
          FindControl(this, 1172), static_cast<QWidget*>(m_timeGroup)})
        control->setVisible(m_showTimes);
    for (QComboBox* combo : {m_yearlyMonth2, m_yearlyDayOption, m_yearlyTheOption, m_yearlyMonth1,
                             m_monthlyDayOption, m_monthlyTheOption})
        combo->setCurrentIndex(0);
    LoadFromRule();
    RebuildEndTimes();
}

bool RecurrencePage::OnSetActive() {
    LoadFromRule();
    return true;
}

bool RecurrencePage::OnKillActive() {
    StoreToRule();
    return true;
}

bool RecurrencePage::OnApply() {
    StoreToRule();
    return true;
}

void RecurrencePage::OnDestroy() {
    StoreToRule();
}

void RecurrencePage::ShowMethodGroup(int method) {
    for (int i = 0; i < 4; ++i)
        m_methodPanels[i]->setVisible(i == method);
}

void RecurrencePage::RebuildEndTimes() {
    const int value = SelectedValue(m_startTimes);
    int hour = m_firstHour;
    int minute = m_firstMinute;
    if (value >= 0) {
        hour = value % 65536;
        minute = value / 65536;
    }
    minute += m_stepMinutes;
    hour += minute / 60;
    minute %= 60;
    FillTimes(m_endTimes, hour, minute);
    m_endTimes->setCurrentIndex(m_endTimes->count() > 0 ? 0 : -1);
}

void RecurrencePage::ExchangePageValues(bool save) {
    struct Binding {
        QLineEdit* edit;
        CString* value;
    };
    const Binding edits[] = {
        {m_occurrencesEdit, &m_occurrences},   {m_dayOfMonthEdit, &m_dayOfMonth},
        {m_everyMonths1Edit, &m_everyMonths1}, {m_everyMonths2Edit, &m_everyMonths2},
        {m_everyMonths3Edit, &m_everyMonths3}, {m_everyWeeksEdit, &m_everyWeeks},
        {m_everyDaysEdit, &m_everyDays},       {m_yearlyDayEdit, &m_yearlyDay},
    };
    for (const Binding& binding : edits) {
        if (save)
            *binding.value = ToCString(binding.edit->text());
        else
            binding.edit->setText(ToQString(*binding.value));
    }
    for (int i = 0; i < 7; ++i) {
        if (save)
            m_weekdays[i] = m_weekdayChecks[i]->isChecked() ? 1 : 0;
        else
            m_weekdayChecks[i]->setChecked(m_weekdays[i] != 0);
    }
    const std::pair<QButtonGroup*, int*> radios[] = {
        {m_basicGroup, &m_basicMethod},   {m_dailyGroup, &m_dailyMethod}, {m_monthlyGroup, &m_monthlyMethod},
        {m_yearlyGroup, &m_yearlyMethod}, {m_endGroup, &m_endMethod},
    };
    for (const auto& [group, value] : radios) {
        if (save) {
            *value = std::max(0, group->checkedId());
        } else if (QAbstractButton* button = group->button(*value)) {
            button->setChecked(true);
        } else if (QAbstractButton* checked = group->checkedButton()) {
            // No button of that index: none is checked, as a radio group with no selection.
            group->setExclusive(false);
            checked->setChecked(false);
            group->setExclusive(true);
        }
    }
}

void RecurrencePage::SelectByValue(QComboBox* combo, int value) {
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

int RecurrencePage::SelectedValue(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? -1 : combo->currentData().toInt();
}

void RecurrencePage::SelectByPrefix(QComboBox* combo, const CString& text) {
    const QString prefix = ToQString(text);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

void RecurrencePage::LoadFromRule() {
    ExchangePageValues(false);
    if (!m_rule)
        return;
    m_startDate = m_rule->GetStartDate();
    m_endDate = m_rule->GetEndDate();
    CDateTime date;
    if (ParseRuleDate(m_startDate, date))
        m_startDateEdit->setDate(ToQDate(date));
    if (ParseRuleDate(m_endDate, date))
        m_endDateEdit->setDate(ToQDate(date));

    // The end list follows the start, so it is rebuilt before the end is looked up.
    if (!m_rule->GetStartTime().IsEmpty()) {
        SelectByPrefix(m_startTimes, m_rule->GetStartTime());
        RebuildEndTimes();
    }
    if (!m_rule->GetEndTime().IsEmpty())
        SelectByPrefix(m_endTimes, m_rule->GetEndTime());

    const CRecurItem& rule = *m_rule;
    m_everyDays.Format("%d", rule.GetEveryXDayCount());
    m_everyWeeks.Format("%d", rule.GetEveryWeekCount());
    m_dayOfMonth.Format("%d", rule.GetMonthlyCount1());
    m_everyMonths1.Format("%d", rule.GetMonthlyCount2());
    m_everyMonths2.Format("%d", rule.GetMonthlyCount3());
    m_everyMonths3.Format("%d", rule.GetMonthlyCount4());
    m_yearlyDay.Format("%d", rule.GetYearlyMonthDay());
    m_occurrences.Format("%d", rule.GetEndOccurences());
    for (int day = 1; day <= 7; ++day)
        m_weekdays[day - 1] = rule.GetWeeklyDay(day) ? 1 : 0;
    m_basicMethod = rule.GetBasicMethod();
    m_dailyMethod = rule.GetDailyMethod();
    m_monthlyMethod = rule.GetMonthlyMethod();
    m_yearlyMethod = rule.GetYearlyMethod();
    m_endMethod = rule.GetEndMethod();
    SelectByValue(m_monthlyTheOption, rule.GetMonthlyTheOption());
    SelectByValue(m_monthlyDayOption, rule.GetMonthlyDayOption());
    SelectByValue(m_monthlyTheOption1, rule.GetMonthlyTheOption1());
    SelectByValue(m_monthlyDayOption1, rule.GetMonthlyDayOption1());
    SelectByValue(m_mathOp, rule.GetMonthlyMathOp());
    SelectByValue(m_mathDays, rule.GetMonthlyMathDays());
    SelectByValue(m_yearlyMonth1, rule.GetYearlyMonth1());
    SelectByValue(m_yearlyTheOption, rule.GetYearlyTheOption());
    SelectByValue(m_yearlyDayOption, rule.GetYearlyDayOption());
    SelectByValue(m_yearlyMonth2, rule.GetYearlyMonth2());

    ExchangePageValues(false);
    ShowMethodGroup(m_basicMethod);
}

void RecurrencePage::StoreToRule() {
    ExchangePageValues(true);
    m_startDate = FormatRuleDate(FromQDate(m_startDateEdit->date()));
    m_endDate = FormatRuleDate(FromQDate(m_endDateEdit->date()));
    if (!m_rule)
        return;
    CRecurItem& rule = *m_rule;
    rule.SetStartDate(m_startDate.c_str());
    rule.SetEndDate(m_endDate.c_str());
    rule.SetBasicMethod(m_basicMethod);
    rule.SetDailyMethod(m_dailyMethod);
    rule.SetEveryXDayCount(DecimalValue(m_everyDays));
    rule.SetEveryWeekCount(DecimalValue(m_everyWeeks));
    for (int day = 1; day <= 7; ++day)
        rule.SetWeeklyDay(day, m_weekdays[day - 1] != 0);
    rule.SetMonthlyMethod(m_monthlyMethod);
    rule.SetMonthlyCount1(DecimalValue(m_dayOfMonth));
    rule.SetMonthlyCount2(DecimalValue(m_everyMonths1));
    rule.SetMonthlyCount3(DecimalValue(m_everyMonths2));
    rule.SetMonthlyCount4(DecimalValue(m_everyMonths3));
    rule.SetMonthlyTheOption(SelectedValue(m_monthlyTheOption));
    rule.SetMonthlyDayOption(SelectedValue(m_monthlyDayOption));
    rule.SetMonthlyTheOption1(SelectedValue(m_monthlyTheOption1));
    rule.SetMonthlyDayOption1(SelectedValue(m_monthlyDayOption1));
    rule.SetMonthlyMathOp(SelectedValue(m_mathOp));
    rule.SetMonthlyMathDays(SelectedValue(m_mathDays));
    rule.SetYearlyMethod(m_yearlyMethod);
    rule.SetYearlyMonth1(SelectedValue(m_yearlyMonth1));
    rule.SetYearlyMonthDay(DecimalValue(m_yearlyDay));
    rule.SetYearlyTheOption(SelectedValue(m_yearlyTheOption));
    rule.SetYearlyDayOption(SelectedValue(m_yearlyDayOption));
    rule.SetYearlyMonth2(SelectedValue(m_yearlyMonth2));
    rule.SetEndMethod(m_endMethod);
    rule.SetEndOccurences(DecimalValue(m_occurrences));
}

bool RecurrencePage::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
}
