// The date phrases: "day after tomorrow", "this past thursday", "3 MONTHS FROM NOW",
// "2ND MONDAY IN MAY", "10 DAYS BEFORE CHRISTMAS", "TODAY + 3", "next thanksgiving", "easter 2008".
// The stages run in order on trimmed, upper-cased text; the first that understands the text decides.
#include "data/DateParser.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

constexpr const char* kWeekdays[] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                     "THURSDAY", "FRIDAY", "SATURDAY"};
constexpr int kMonday = 2;
constexpr int kThursday = 5;

CDateTimeSpan Days(int64_t days) {
    return CDateTimeSpan(static_cast<double>(days));
}

bool IsAnyOf(const CString& text, std::initializer_list<const char*> phrases) {
    for (const char* phrase : phrases)
        if (CDateParser::EqualsNoCase(text, phrase))
            return true;
    return false;
}

// The text before the first blank (the whole text when there is none).
std::string FirstWord(const CString& text) {
    const std::string& whole = text.str();
    return whole.substr(0, whole.find(' '));
}

int CountBeforeFirstBlank(const CString& text) {
    return CDateParser::ToInt(FirstWord(text).c_str());
}

// The text after the first blank, trimmed.
CString AfterFirstBlank(const CString& text) {
    const std::string& whole = text.str();
    const size_t space = whole.find(' ');
    return CDateParser::Normalize(space == std::string::npos ? "" : whole.substr(space + 1).c_str(), false);
}

// The text after the last blank (the whole text when there is none), trimmed.
CString LastWord(const CString& text) {
    const std::string& whole = text.str();
    const size_t space = whole.rfind(' ');
    return CDateParser::Normalize(whole.substr(space == std::string::npos ? 0 : space + 1).c_str(), false);
}

CString AfterPrefix(const CString& text, const char* prefix) {
    return CDateParser::Normalize(text.Mid(static_cast<int>(std::strlen(prefix))), false);
}

// (a - b) mod 7 in 1..7: a remainder of 0 counts as a whole week.
int WeekdayDistance(int a, int b) {
    const int distance = ((a - b) % 7 + 7) % 7;
    return distance == 0 ? 7 : distance;
}

// The date of a fixed day in the given year, the time of day of `time` kept.
CDateTime DayOfYear(const CDateTime& time, int year, int month, int day) {
    CDateTime date = time;
    date.SetDate(year, month, day);
    return date;
}

} // namespace

bool CDateParser::ParseDatePhrase(const CString& text, CDateTime& out) const {
    DepthGuard guard(m_phraseDepth);
    if (guard.TooDeep() || text.GetLength() > kMaxPhraseLength)
        return false;
    const CString phrase = Normalize(text, true);
    bool found = ParseDigitDate(phrase, out) || ParseFixedDatePhrase(phrase, out) ||
                 ParseRelativeDatePhrase(phrase, out) || ParseDateArithmetic(phrase, out) ||
                 ParseWeekdaysAgoOrAhead(phrase, out) || ParseNextOrLastHoliday(phrase, out) ||
                 ParseHolidayOfYear(phrase, out) || ParseCountFromToday(phrase, out);
    return found && out.IsValid();
}

// Stage 1: "MMDDYY" and "MMDDYYYY" as the system reads "MM/DD/YY" and "MM/DD/YYYY".
bool CDateParser::ParseDigitDate(const CString& text, CDateTime& out) const {
    if (!IsNumber(text) || (text.GetLength() != 6 && text.GetLength() != 8))
        return false;
    const CString rewritten = text.Left(2) + "/" + text.Mid(2, 2) + "/" + text.Mid(4);
    CDateTime date;
    if (!date.ParseDateTimeEx(rewritten, VAR_DATEVALUEONLY, LOCALE_USER_DEFAULT) || IsZeroDate(date))
        return false;
    out = date;
    return true;
}

// Stage 2: phrases of their own. A phrase that matches but yields no date ends the stage.
bool CDateParser::ParseFixedDatePhrase(const CString& text, CDateTime& out) const {
    const CDateTime now = CDateTime::GetCurrentTime();
    out = now;
    const int year = now.GetYear();
    const int today = now.GetDayOfWeek();

    if (IsAnyOf(text, {"TODAY", "NOW"}))
        return true;
    if (IsAnyOf(text, {"YESTERDAY"}))
        return (out = now - Days(1)).IsValid();
    if (IsAnyOf(text, {"DAY BEFORE YESTERDAY"}))
        return (out = now - Days(2)).IsValid();
    if (IsAnyOf(text, {"TOMORROW"}))
        return (out = now + Days(1)).IsValid();
    if (IsAnyOf(text, {"DAY AFTER TOMORROW"}))
        return (out = now + Days(2)).IsValid();
    if (IsAnyOf(text, {"NEXT WEEK"}))
        return (out = now + Days(7)).IsValid();
    if (IsAnyOf(text, {"LAST WEEK"}))
        return (out = now - Days(7)).IsValid();

    // Holidays of this year; the ones that move on once past take next year's.
    auto thisOrNextYear = [&](int month, int day) {
        const CDateTime date = DayOfYear(now, year, month, day);
        return date < now ? DayOfYear(now, year + 1, month, day) : date;
    };
    switch (HolidayFromName(text)) {
    case Holiday::None:
        break;
    case Holiday::Christmas:
        return (out = DayOfYear(now, year, 12, 25)).IsValid();
    case Holiday::ChristmasEve:
        return (out = DayOfYear(now, year, 12, 24)).IsValid();
    case Holiday::NewYears:
        return (out = DayOfYear(now, year + 1, 1, 1)).IsValid();
    case Holiday::NewYearsEve:
        return (out = DayOfYear(now, year, 12, 31)).IsValid();
    case Holiday::Halloween:
        return (out = DayOfYear(now, year, 10, 31)).IsValid();
    case Holiday::IndependenceDay:
        return (out = thisOrNextYear(7, 4)).IsValid();
    case Holiday::VeteransDay:
        return (out = thisOrNextYear(11, 11)).IsValid();
    case Holiday::Easter:
    case Holiday::GoodFriday:
    case Holiday::AshWednesday: {
        int month = 0;
        int day = 0;
        GetEasterDate(year, month, day);
        CDateTime easter = DayOfYear(now, year, month, day);
        if (easter < now) {
            GetEasterDate(year + 1, month, day);
            easter = DayOfYear(now, year + 1, month, day);
        }
        const Holiday holiday = HolidayFromName(text);
        out = holiday == Holiday::GoodFriday     ? easter - Days(2)
              : holiday == Holiday::AshWednesday ? easter - Days(46)
                                                 : easter;
        return out.IsValid();
    }
    case Holiday::MemorialDay: {
        // The last Monday of May, this year's unless it is past.
        out = LastWeekdayDate(kMonday, 5, year);
        if (out.IsValid() && out < now)
            out = LastWeekdayDate(kMonday, 5, year + 1);
        return out.IsValid();
    }
    case Holiday::LaborDay:
        return NthWeekdayInMonthAhead(1, kMonday, 9, out);
    case Holiday::ColumbusDay:
        return NthWeekdayInMonthAhead(2, kMonday, 10, out);
    case Holiday::Thanksgiving:
        return NthWeekdayInMonthAhead(4, kThursday, 11, out);
    case Holiday::PresidentsDay:
        return NthWeekdayInMonthAhead(3, kMonday, 2, out);
    }

    // A year on or back; 29 February becomes 28 February in a year without it.
    if (IsAnyOf(text, {"NEXT YEAR", "THIS NEXT YEAR"}))
        return MonthsAhead(now, 12, out);
    if (IsAnyOf(text, {"PAST YEAR", "THIS PAST YEAR", "LAST YEAR", "THIS LAST YEAR"}))
        return MonthsBack(now, 12, out);

    for (int weekday = 1; weekday <= 7; ++weekday) {
        const std::string name = kWeekdays[weekday - 1];
        if (IsAnyOf(text,
                    {("LAST " + name).c_str(), ("THIS PAST " + name).c_str(), ("PAST " + name).c_str()}))
            return (out = now - Days(WeekdayDistance(today, weekday))).IsValid();
    }
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const std::string name = kWeekdays[weekday - 1];
        if (IsAnyOf(text, {("NEXT " + name).c_str(), name.c_str()}))
            return (out = now + Days(WeekdayDistance(weekday, today))).IsValid();
    }

    if (IsAnyOf(text, {"ONE DAY AGO", "1 DAY AGO", "A DAY AGO", "DAY AGO", "ONE DAYS AGO", "1 DAYS AGO",
                       "A DAYS AGO", "DAYS AGO"}))
        return (out = now - Days(1)).IsValid();
    if (IsAnyOf(text, {"ONE DAY FROM NOW", "1 DAY FROM NOW", "A DAY FROM NOW", "DAY FROM NOW",
                       "ONE DAYS FROM NOW", "1 DAYS FROM NOW", "A DAYS FROM NOW", "DAYS FROM NOW"}))
        return (out = now + Days(1)).IsValid();

    // Counts that are not numbers read as 0 here ("TWO DAYS AGO" is today).
    const int64_t count = CountBeforeFirstBlank(text);
    if (EndsWith(text, " DAYS AGO") || EndsWith(text, " DAY AGO"))
        return (out = now - Days(count)).IsValid();
    if (EndsWith(text, " DAYS FROM NOW") || EndsWith(text, " DAY FROM NOW"))
        return (out = now + Days(count)).IsValid();
    if (EndsWith(text, "WEEKS AGO") || EndsWith(text, "WEEK AGO"))
        return (out = now - Days(7 * count)).IsValid();
    if (EndsWith(text, "WEEKS FROM NOW") || EndsWith(text, "WEEK FROM NOW"))
        return (out = now + Days(7 * count)).IsValid();

    if (IsAnyOf(text, {"ONE MONTH AGO", "1 MONTH AGO", "A MONTH AGO", "MONTH AGO", "ONE MONTHS AGO",
                       "1 MONTHS AGO", "A MONTHS AGO", "MONTHS AGO"}))
        return MonthsBack(now, 1, out);
    if (IsAnyOf(text, {"ONE MONTH FROM NOW", "1 MONTH FROM NOW", "A MONTH FROM NOW", "MONTH FROM NOW",
                       "ONE MONTHS FROM NOW", "1 MONTHS FROM NOW", "A MONTHS FROM NOW", "MONTHS FROM NOW"}))
        return MonthsAhead(now, 1, out);
    if (FirstWordIsNumber(text)) {
        if (EndsWith(text, " MONTHS AGO"))
            return MonthsBack(now, static_cast<int>(count), out);
        if (EndsWith(text, " MONTHS FROM NOW"))
            return MonthsAhead(now, static_cast<int>(count), out);
    }
    if (IsAnyOf(text, {"ONE YEAR AGO", "1 YEAR AGO", "A YEAR AGO", "YEAR AGO", "ONE YEARS AGO", "1 YEARS AGO",
                       "A YEARS AGO", "YEARS AGO"}))
        return MonthsBack(now, 12, out);
    if (IsAnyOf(text, {"ONE YEAR FROM NOW", "1 YEAR FROM NOW", "A YEAR FROM NOW", "YEAR FROM NOW",
                       "ONE YEARS FROM NOW", "1 YEARS FROM NOW", "A YEARS FROM NOW", "YEARS FROM NOW"}))
        return MonthsAhead(now, 12, out);
    if (FirstWordIsNumber(text)) {
        const int64_t months = 12 * count;
        if (months < INT32_MIN || months > INT32_MAX)
            return false;
        if (EndsWith(text, " YEARS AGO"))
            return MonthsBack(now, static_cast<int>(months), out);
        if (EndsWith(text, " YEARS FROM NOW"))
            return MonthsAhead(now, static_cast<int>(months), out);
    }

    // The Nth weekday of a month: "2ND MONDAY IN MAY", "SECOND MONDAY IN THE MONTH OF MAY".
    static const char* const kOrdinals[][4] = {
        {"1ST", "1", "FIRST"},           {"2ND", "2", "SECOND"}, {"3RD", "3", "THIRD"},
        {"4TH", "4", "FOURTH", "FORTH"}, {"5TH", "5", "FIFTH"},
    };
    for (int weekday = 1; weekday <= 7; ++weekday) {
        for (int n = 1; n <= 5; ++n) {
            for (const char* ordinal : kOrdinals[n - 1]) {
                if (!ordinal)
                    break;
                const std::string prefix = std::string(ordinal) + " " + kWeekdays[weekday - 1] + " IN ";
                if (!StartsWith(text, prefix.c_str()))
                    continue;
                const int month = MonthFromName(LastWord(text));
                if (month == 0)
                    continue;
                return NthWeekdayInMonthAhead(n, weekday, month, out);
            }
        }
    }
    return false;
}

// Stage 3: a count of days, weeks, months or years from another date ("10 DAYS BEFORE CHRISTMAS").
// The count is read without testing it, so a word there counts as 0 ("TWO DAYS BEFORE CHRISTMAS" is
// Christmas).
bool CDateParser::ParseRelativeDatePhrase(const CString& text, CDateTime& out) const {
    const int64_t n = CountBeforeFirstBlank(text);
    const CString rest = AfterFirstBlank(text);
    enum class Unit { Days, Months };
    struct Relation {
        const char* prefix;
        Unit unit;
        int64_t factor;
    };
    static const Relation kRelations[] = {
        {"DAYS FROM ", Unit::Days, 1},        {"DAYS AFTER ", Unit::Days, 1},
        {"DAYS BEFORE ", Unit::Days, -1},     {"WEEKS FROM ", Unit::Days, 7},
        {"WEEKS AFTER ", Unit::Days, 7},      {"MONTHS BEFORE ", Unit::Months, -1},
        {"MONTHS FROM ", Unit::Months, 1},    {"MONTHS AFTER ", Unit::Months, 1},
        {"YEARS BEFORE ", Unit::Months, -12}, {"YEARS FROM ", Unit::Months, 12},
        {"YEARS AFTER ", Unit::Months, 12},
    };
    for (const Relation& relation : kRelations) {
        if (!StartsWith(rest, relation.prefix))
            continue;
        CDateTime base;
        if (!ParsePhrase(AfterPrefix(rest, relation.prefix), base))
            return false;
        const int64_t amount = n * relation.factor;
        if (relation.unit == Unit::Days)
            return (out = base + Days(amount)).IsValid();
        if (amount < INT32_MIN || amount > INT32_MAX)
            return false;
        return amount < 0 ? MonthsBack(base, static_cast<int>(-amount), out)
                          : MonthsAhead(base, static_cast<int>(amount), out);
    }
    return false;
}

// Stage 4: a date plus or minus a count of days or weeks ("TODAY + 3", "CHRISTMAS - 2 WEEKS").
bool CDateParser::ParseDateArithmetic(const CString& text, CDateTime& out) const {
    struct Operator {
        const char* text;
        int sign;
    };
    static const Operator kOperators[] = {
        {" + ", 1},  {" +", 1},  {"+ ", 1},  {"+", 1},  {" PLUS ", 1},
        {" - ", -1}, {"- ", -1}, {" -", -1}, {"-", -1}, {" MINUS ", -1},
    };
    // Digits and dashes alone are a date the system did not take ("2023-02-29") or a phone
    // number ("555-1234"), not a count of days off a date.
    if (IsNumber(text))
        return false;
    const std::string& whole = text.str();
    for (const Operator& op : kOperators) {
        const size_t at = whole.find(op.text);
        if (at == std::string::npos)
            continue;
        const CString left(whole.substr(0, at));
        const CString right(whole.substr(at + std::strlen(op.text)));

        // A count in days of one side: a bare number, or "<number> DAYS" / "<number> WEEKS".
        auto countOf = [](const CString& part, int64_t& days) {
            if (IsNumber(part)) {
                days = ToInt(part);
                return true;
            }
            if (!FirstWordIsNumber(part))
                return false;
            const CString unit = AfterFirstBlank(part);
            if (EqualsNoCase(unit, "DAYS")) {
                days = CountBeforeFirstBlank(part);
                return true;
            }
            if (EqualsNoCase(unit, "WEEKS")) {
                days = 7 * static_cast<int64_t>(CountBeforeFirstBlank(part));
                return true;
            }
            return false;
        };
        int64_t days = 0;
        CString datePart;
        if (IsNumber(left)) {
            days = ToInt(left);
            datePart = right;
        } else if (IsNumber(right)) {
            days = ToInt(right);
            datePart = left;
        } else if (countOf(left, days)) {
            datePart = right;
        } else if (countOf(right, days)) {
            datePart = left;
        } else {
            return false;
        }
        // The other side must be a date: a bare clock time has no day to count from.
        CDateTime base;
        if (!ParsePhrase(datePart, base) || IsZeroDate(base))
            return false;
        return (out = base + Days(op.sign * days)).IsValid();
    }
    return false;
}

// Stages 5 and 6: "2 FRIDAYS AGO", "1 MONDAYS FROM TODAY".
bool CDateParser::ParseWeekdaysAgoOrAhead(const CString& text, CDateTime& out) const {
    if (!FirstWordIsNumber(text))
        return false;
    const int n = CountBeforeFirstBlank(text);
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const std::string plural = std::string(kWeekdays[weekday - 1]) + "S";
        if (EndsWith(text, (plural + " AGO").c_str()))
            return NthWeekdayBefore(n, weekday, out);
    }
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const std::string plural = std::string(kWeekdays[weekday - 1]) + "S";
        if (EndsWith(text, (plural + " FROM NOW").c_str()) ||
            EndsWith(text, (plural + " FROM TODAY").c_str()))
            return NthWeekdayAfter(n, weekday, out);
    }
    return false;
}

// Stage 7: "next thanksgiving", "last christmas".
bool CDateParser::ParseNextOrLastHoliday(const CString& text, CDateTime& out) const {
    int direction = 0;
    CString name;
    for (const char* prefix : {"NEXT ", "THIS NEXT "}) {
        if (direction == 0 && StartsWith(text, prefix)) {
            direction = 1;
            name = AfterPrefix(text, prefix);
        }
    }
    for (const char* prefix : {"LAST ", "PAST ", "THIS LAST ", "THIS PAST "}) {
        if (direction == 0 && StartsWith(text, prefix)) {
            direction = -1;
            name = AfterPrefix(text, prefix);
        }
    }
    if (direction == 0)
        return false;
    const CDateTime now = CDateTime::GetCurrentTime();
    CDateParser holiday;
    if (!holiday.GetHolidayDate(name, now.GetYear()))
        return false;
    const CDateTime date = holiday.GetDate();
    const bool moves = direction > 0 ? !(date > now) : !(date < now);
    if (moves && !holiday.GetHolidayDate(name, now.GetYear() + direction))
        return false;
    out = holiday.GetDate();
    return true;
}

// Stage 8a: "christmas 2010", "easter 2008".
bool CDateParser::ParseHolidayOfYear(const CString& text, CDateTime& out) const {
    if (!LastWordIsNumber(text))
        return false;
    const std::string& whole = text.str();
    const size_t space = whole.rfind(' ');
    if (space == std::string::npos)
        return false;
    CDateParser holiday;
    if (!holiday.GetHolidayDate(Normalize(whole.substr(0, space).c_str(), false), ToInt(LastWord(text))))
        return false;
    out = holiday.GetDate();
    return true;
}

// Stage 8b: "IN 3 DAYS", "2 WEEKS". Counts that are not numbers read as 0.
bool CDateParser::ParseCountFromToday(const CString& text, CDateTime& out) const {
    const CString counted = StartsWith(text, "IN ") ? AfterPrefix(text, "IN ") : text;
    const CDateTime now = CDateTime::GetCurrentTime();
    const int64_t n = CountBeforeFirstBlank(counted);
    if (EndsWith(counted, " DAYS"))
        return (out = now + Days(n)).IsValid();
    if (EndsWith(counted, " WEEKS"))
        return (out = now + Days(7 * n)).IsValid();
    if (EndsWith(counted, " MONTHS"))
        return MonthsAhead(now, static_cast<int>(n), out);
    if (EndsWith(counted, " YEARS")) {
        if (12 * n < INT32_MIN || 12 * n > INT32_MAX)
            return false;
        return MonthsAhead(now, static_cast<int>(12 * n), out);
    }
    return false;
}
