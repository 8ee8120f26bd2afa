#include "ui/calendar/ApptSheet.h"

#include "platform/qt/ContextHelp.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Help.h"
#include "ui/common/DialogParts.h"
#include "ui/common/SheetParts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

QLabel* Label(QWidget* parent, int id, const QString& text) {
    auto* label = new QLabel(text, parent);
    SetControlId(label, id);
    return label;
}

QLineEdit* ReadOnlyEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    edit->setReadOnly(true);
    edit->setFixedWidth(80);
    // Drawn on the window colour like an editable field, not greyed.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window).lighter(110));
    edit->setPalette(palette);
    return edit;
}

const std::vector<std::pair<int, int>>& HelpTable() {
    static const std::vector<std::pair<int, int>> table = {
        {1044, 1400}, {1081, 1400}, {1000, 1401}, {1082, 1401}, {1049, 1402}, {1083, 1402},
        {1051, 1402}, {1050, 1403}, {1084, 1403}, {1052, 1403}, {1087, 1406}, {1045, 1404},
        {1085, 1405}, {1047, 1405}, {1048, 1405}, {1086, 1410}, {1171, 1411}, {1170, 1411},
    };
    return table;
}

} // namespace

SpinArrows::SpinArrows(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setFixedWidth(22);
}

void SpinArrows::stepBy(int steps) {
    emit DeltaPos(steps);
}

CApptOptionsPage::CApptOptionsPage() : PropertyPage(QStringLiteral("Appointment Options")) {
    m_descEdit = new QLineEdit(this);
    SetControlId(m_descEdit, kIdDesc);
    m_datePicker = MakeDatePicker(this, kIdDate);

    auto* times = new QGroupBox(QStringLiteral("Times"), this);
    SetControlId(times, 1087);
    m_beginEdit = ReadOnlyEdit(times, kIdBegin);
    m_beginSpin = new SpinArrows(times);
    SetControlId(m_beginSpin, kIdBeginSpin);
    m_endEdit = ReadOnlyEdit(times, kIdEnd);
    m_endSpin = new SpinArrows(times);
    SetControlId(m_endSpin, kIdEndSpin);
    auto* timesGrid = new QGridLayout(times);
    timesGrid->addWidget(Label(times, 1083, QStringLiteral("Begin:")), 0, 0);
    timesGrid->addWidget(m_beginEdit, 0, 1);
    timesGrid->addWidget(m_beginSpin, 0, 2);
    timesGrid->addWidget(Label(times, 1084, QStringLiteral("End:")), 1, 0);
    timesGrid->addWidget(m_endEdit, 1, 1);
    timesGrid->addWidget(m_endSpin, 1, 2);
    timesGrid->setColumnStretch(3, 1);

    auto* alarm = new QGroupBox(QStringLiteral("Alarm Options"), this);
    SetControlId(alarm, 1086);
    m_setAlarmCheck = new QCheckBox(QStringLiteral("&Set Alarm"), alarm);
    SetControlId(m_setAlarmCheck, kIdSetAlarm);
    m_minutesEdit = ReadOnlyEdit(alarm, kIdMinutes);
    m_minutesEdit->setFixedWidth(40);
    m_minutesSpin = new SpinArrows(alarm);
    SetControlId(m_minutesSpin, kIdMinutesSpin);
    auto* alarmGrid = new QGridLayout(alarm);
    alarmGrid->addWidget(m_setAlarmCheck, 0, 0, 1, 3);
    alarmGrid->addWidget(Label(alarm, 1085, QStringLiteral("Minutes Before Appointment:")), 1, 0);
    alarmGrid->addWidget(m_minutesEdit, 1, 1);
    alarmGrid->addWidget(m_minutesSpin, 1, 2);
    alarmGrid->setColumnStretch(3, 1);

    auto* recurring = new QGroupBox(QStringLiteral("Recurring"), this);
    SetControlId(recurring, 1170);
    m_recurringCheck = new QCheckBox(QStringLiteral("Recurring"), recurring);
    SetControlId(m_recurringCheck, kIdRecurring);
    (new QVBoxLayout(recurring))->addWidget(m_recurringCheck);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label(this, 1081, QStringLiteral("Appointment:")), 0, 0);
    grid->addWidget(m_descEdit, 0, 1, 1, 2);
    grid->addWidget(Label(this, 1082, QStringLiteral("Date Due:")), 1, 0);
    grid->addWidget(m_datePicker, 1, 1);
    grid->addWidget(times, 2, 0, 1, 2);
    grid->addWidget(alarm, 2, 2);
    grid->addWidget(recurring, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);

    connect(m_descEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this](const QDate& date) { OnDateChanged(date); });
    connect(m_beginSpin, &SpinArrows::DeltaPos, this, [this](int delta) { OnBeginSpin(delta); });
    connect(m_endSpin, &SpinArrows::DeltaPos, this, [this](int delta) { OnEndSpin(delta); });
    connect(m_minutesSpin, &SpinArrows::DeltaPos, this, [this](int delta) {
        m_minutesSpin->m_position =
            std::clamp(m_minutesSpin->m_position + delta * 5, m_minutesSpin->m_low, m_minutesSpin->m_high);
        m_minutesEdit->setText(QString::number(m_minutesSpin->m_position));
    });
    connect(m_recurringCheck, &QCheckBox::clicked, this,
            [this](bool checked) { OnRecurringClicked(checked); });
    new ContextHelpFilter(this, [this](QWidget* control) { return OnContextHelp(control); });
}

void CApptOptionsPage::OnInitDialog() {
    m_minutesSpin->m_low = 0;
    m_minutesSpin->m_high = 60;
    for (SpinArrows* spin : {m_beginSpin, m_endSpin}) {
        spin->m_low = kFirstStartSlot;
        spin->m_high = kLastEndSlot;
    }
    // The times show as they are, also outside the spins' range: only a spin moves one into it.
    CompleteTimes(m_startTime.IsValid() ? m_startTime : m_dateDue, m_startTime, m_endTime);
    m_beginSpin->m_position = m_startTime.GetHour() * 4 + m_startTime.GetMinute() / 15;
    m_endSpin->m_position = m_endTime.GetHour() * 4 + m_endTime.GetMinute() / 15;
    ShowTimes();
    m_setAlarm = m_alarm;
    m_minutesBefore = 0;
    if (m_alarm)
        m_minutesBefore = static_cast<int>(std::lround((m_startTime - m_alarmTime).GetTotalMinutes()));
    m_minutesSpin->m_position = std::clamp(m_minutesBefore, 0, 60);
    {
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(ToQDate(m_dateDue));
    }
    m_year = m_startTime.GetYear();
    m_month = m_startTime.GetMonth();
    m_day = m_startTime.GetDay();
    ExchangeData(false);
    UpdateOk();
    if (m_recurring && Sheet() && m_recurPage)
        Sheet()->AddPage(m_recurPage);
    if (Sheet())
        CentreOverParent(Sheet());
}

void CApptOptionsPage::ExchangeData(bool save) {
    if (save) {
        m_desc = ToCString(m_descEdit->text());
        m_setAlarm = m_setAlarmCheck->isChecked() ? 1 : 0;
        m_minutesBefore = DecimalValue(ToCString(m_minutesEdit->text()));
        m_recurring = m_recurringCheck->isChecked() ? 1 : 0;
    } else {
        m_descEdit->setText(ToQString(m_desc));
        m_setAlarmCheck->setChecked(m_setAlarm != 0);
        m_minutesEdit->setText(QString::number(m_minutesBefore));
        m_recurringCheck->setChecked(m_recurring != 0);
    }
}

void CApptOptionsPage::Store() {
    ExchangeData(true);
    m_alarm = static_cast<uint8_t>(m_setAlarm ? 1 : 0);
    if (m_setAlarm)
        m_alarmTime = m_startTime - CDateTimeSpan(0, 0, m_minutesBefore, 0);
}

bool CApptOptionsPage::OnSetActive() {
    ExchangeData(false);
    // A rule without a readable start (a new appointment's) leaves the page's own date and times.
    CDateTime date;
    if (m_rule && ParseRuleDate(m_rule->GetStartDate(), date)) {
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(QDate(date.GetYear(), date.GetMonth(), date.GetDay()));
        MoveTimesTo(date);
    }
    // The rule's times (which the recurrence page shows but never writes) replace a time only when
    // they name another time of day: an untouched time keeps its day and its place outside the spins.
    int hour = 0;
    int minute = 0;
    if (m_rule && ParseRuleTime(m_rule->GetStartTime(), hour, minute) &&
        !IsTimeOfDay(m_startTime, hour, minute))
        m_startTime = OnPageDate(hour, minute);
    if (m_rule && ParseRuleTime(m_rule->GetEndTime(), hour, minute) && !IsTimeOfDay(m_endTime, hour, minute))
        m_endTime = OnPageDate(hour, minute);
    CompleteTimes(OnPageDate(0, 0), m_startTime, m_endTime);
    WriteRuleTimes();
    ShowTimes();
    m_alarm = static_cast<uint8_t>(m_setAlarm ? 1 : 0);
    if (m_setAlarm)
        m_alarmTime = m_startTime - CDateTimeSpan(0, 0, m_minutesBefore, 0);
    return true;
}

bool CApptOptionsPage::OnKillActive() {
    Store();
    return true;
}

bool CApptOptionsPage::OnApply() {
    Store();
    return true;
}

void CApptOptionsPage::OnDestroy() {
    Store();
}

CDateTime CApptOptionsPage::OnPageDate(int hour, int minute) const {
    return CDateTime(m_year, m_month, m_day, hour, minute, 0);
}

void CApptOptionsPage::ShowTimes() {
    m_beginEdit->setText(ToQString(FormatRuleTime(m_startTime)));
    m_endEdit->setText(ToQString(FormatRuleTime(m_endTime)));
}

void CApptOptionsPage::WriteRuleTimes() {
    if (!m_rule)
        return;
    m_rule->SetStartTime(FormatRuleTime(m_startTime).c_str());
    m_rule->SetEndTime(FormatRuleTime(m_endTime).c_str());
}

void CApptOptionsPage::MoveTimesTo(const CDateTime& date) {
    const CDateTime from(m_year, m_month, m_day);
    const CDateTime to(date.GetYear(), date.GetMonth(), date.GetDay());
    m_year = to.GetYear();
    m_month = to.GetMonth();
    m_day = to.GetDay();
    // The times move by whole days, so an end after midnight or an alarm on the day before keeps its
    // place next to the start; an unset time stays unset.
    for (CDateTime* time : {&m_startTime, &m_endTime, &m_alarmTime}) {
        if (!time->IsValid())
            continue;
        if (from.IsValid())
            *time += to - from;
        else
            *time = CDateTime(m_year, m_month, m_day, time->GetHour(), time->GetMinute(), time->GetSecond());
    }
}

bool CApptOptionsPage::IsTimeOfDay(const CDateTime& time, int hour, int minute) {
    return time.IsValid() && time.GetHour() == hour && time.GetMinute() == minute;
}

void CApptOptionsPage::OnDateChanged(const QDate& date) {
    if (!date.isValid())
        return;
    m_dateDue = FromQDate(date);
    MoveTimesTo(m_dateDue);
    if (m_rule)
        m_rule->SetStartDate(FormatRuleDate(m_dateDue).c_str());
    WriteRuleTimes();
}

void CApptOptionsPage::OnBeginSpin(int delta) {
    int hour = m_startTime.GetHour();
    int minute = m_startTime.GetMinute();
    StepQuarterHour(hour, minute, delta, kFirstStartSlot, kLastStartSlot);
    m_beginSpin->m_position = hour * 4 + minute / 15;
    m_startTime = OnPageDate(hour, minute);
    if (m_startTime >= m_endTime)
        m_endTime = m_startTime + CDateTimeSpan(0, 0, 15, 0);
    ShowTimes();
    WriteRuleTimes();
}

void CApptOptionsPage::OnEndSpin(int delta) {
    int hour = m_endTime.GetHour();
    int minute = m_endTime.GetMinute();
    StepQuarterHour(hour, minute, delta, kFirstEndSlot, kLastEndSlot);
    m_endSpin->m_position = hour * 4 + minute / 15;
    m_endTime = OnPageDate(hour, minute);
    if (m_endTime <= m_startTime)
        m_startTime = m_endTime - CDateTimeSpan(0, 0, 15, 0);
    ShowTimes();
    WriteRuleTimes();
}

void CApptOptionsPage::OnRecurringClicked(bool checked) {
    ShowRecurrencePage(Sheet(), m_recurPage, checked);
}

void CApptOptionsPage::UpdateOk() {
    if (Sheet())
        Sheet()->OkButton()->setEnabled(!m_descEdit->text().isEmpty());
}

bool CApptOptionsPage::OnContextHelp(QWidget* control) {
    return HtmlHelpPopup(control, HelpFilePath(), HelpTable());
}

CApptOptionsSheet::CApptOptionsSheet(QWidget* parent)
    : PropertySheet(QStringLiteral("Appointment Options"), parent) {
    m_page.m_recurPage = &m_recurPage;
    AddPage(&m_page);
    SetStartPage(0);
}

CApptOptionsSheet::~CApptOptionsSheet() {
    ReleasePages();
}

void CApptOptionsSheet::SetRule(CRecurItem* rule) {
    m_page.m_rule = rule;
    m_recurPage.m_rule = rule;
}
