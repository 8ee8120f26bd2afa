#include "ui/common/SheetParts.h"

#include "platform/qt/PropertySheet.h"

#include "data/DateParser.h"
#include "platform/qt/Controls.h"

#include <QDateEdit>

#include <cstdlib>

QString ToQString(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

CString ToCString(const QString& text) {
    return CString(text.toUtf8().constData());
}

QDate ToQDate(const CDateTime& date) {
    if (!date.IsValid())
        return {};
    return QDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

CDateTime FromQDate(const QDate& date) {
    if (!date.isValid())
        return CDateTime(CDateTime::kInvalid);
    return CDateTime(date.year(), date.month(), date.day());
}

QDateEdit* MakeDatePicker(QWidget* parent, int id) {
    auto* picker = new QDateEdit(parent);
    SetControlId(picker, id);
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(1990, 1, 1), QDate(2035, 12, 31));
    return picker;
}

CString FormatRuleDate(const CDateTime& date) {
    return date.Format(CDateParser::GetShortDateFormat().c_str());
}

bool ParseRuleDate(const CString& text, CDateTime& out) {
    if (text.IsEmpty())
        return false;
    CDateParser parser;
    if (!parser.Parse(text.c_str(), CDateParser::kDateOnly) || !parser.GetDate().IsValid())
        return false;
    const CDateTime& date = parser.GetDate();
    out = CDateTime(date.GetYear(), date.GetMonth(), date.GetDay());
    return true;
}

CString FormatRuleTime(const CDateTime& time) {
    return time.Format("%I:%M %p");
}

bool ParseRuleTime(const CString& text, int& hour, int& minute) {
    if (text.IsEmpty())
        return false;
    CDateParser parser;
    if (!parser.Parse(text.c_str(), CDateParser::kTimeOnly) || !parser.GetDate().IsValid())
        return false;
    hour = parser.GetDate().GetHour();
    minute = parser.GetDate().GetMinute();
    return true;
}

int DecimalValue(const CString& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

void StepQuarterHour(int& hour, int& minute, int delta, int firstSlot, int lastSlot) {
    int slot = hour * 4 + minute / 15;
    if (slot < firstSlot || slot > lastSlot)
        slot = delta < 0 ? lastSlot : firstSlot;
    else if (delta < 0)
        slot = slot == firstSlot ? lastSlot : slot - 1;
    else
        slot = slot == lastSlot ? firstSlot : slot + 1;
    hour = slot / 4;
    minute = slot % 4 * 15;
}

void CompleteTimes(const CDateTime& day, CDateTime& start, CDateTime& end) {
    if (!start.IsValid())
        start = CDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), kFirstStartSlot / 4,
                          kFirstStartSlot % 4 * 15, 0);
    if (!end.IsValid() || end <= start)
        end = start + CDateTimeSpan(0, 0, 15, 0);
}

void ShowRecurrencePage(PropertySheet* sheet, PropertyPage* recurrencePage, bool show) {
    if (!sheet || !recurrencePage)
        return;
    if (show) {
        sheet->AddPage(recurrencePage);
        sheet->SetActivePage(1);
    } else {
        sheet->RemovePage(1);
        sheet->SetActivePage(0);
    }
}
