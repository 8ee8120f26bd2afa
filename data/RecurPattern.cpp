#include "data/RecurPattern.h"

#include "data/DateParser.h"

#include <algorithm>
#include <new>

namespace {

// Every walk stops at the last day a CDateTime can hold, 31 December 9999: no
// rule has a date beyond it, so a rule that never satisfies its end test still
// ends there.
constexpr int64_t kFirstValidDay = -657434;
constexpr int64_t kLastValidDay = 2958465;

constexpr const char* kListDatePattern = "%B %d %Y";
constexpr const char* kTimePattern = "%I:%M %p";
constexpr int kUserLocale = 1024;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Day numbers are OLE automation days at midnight: 0 is 30 December 1899. For a
// date at 00:00:00 the OLE value is the day number itself, also before 1899, so
// the walk counts plain integers.
int64_t DayFromCivil(int year, int month, int day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr int64_t kUnixDayOfOleZero = -25569; // 1899-12-30 counted from 1970-01-01
    return era * 146097 + dayOfEra - 719468 - kUnixDayOfOleZero;
}

struct CivilDate {
    int year;
    int month;
    int day;
};

CivilDate CivilFromDay(int64_t oleDay) {
    const int64_t z = oleDay - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// 1 Sunday .. 7 Saturday; day 0 (30 December 1899) was a Saturday.
int DayOfWeek(int64_t oleDay) {
    return static_cast<int>(((oleDay % 7) + 7 + 6) % 7) + 1;
}

bool IsWeekday(int dayOfWeek) {
    return dayOfWeek >= 2 && dayOfWeek <= 6;
}

bool IsValidDay(int64_t day) {
    return day >= kFirstValidDay && day <= kLastValidDay;
}

CDateTime DateOfDay(int64_t day) {
    return CDateTime(static_cast<double>(day));
}

// The day a valid date falls on (its time of day dropped).
int64_t DayOfDate(const CDateTime& date) {
    return static_cast<int64_t>(date.GetValue());
}

CString FormatListDate(const CDateTime& date) {
    return date.Format(kListDatePattern);
}

// A counter that selects every Nth period: it starts at N, so the first period
// is selected.
class IntervalCounter {
public:
    explicit IntervalCounter(int interval) : m_interval(interval), m_count(interval) {}
    bool Selected() const { return m_count == m_interval; }
    void Advance() {
        if (++m_count > m_interval)
            m_count = 1;
    }

private:
    int64_t m_interval;
    int64_t m_count;
};

} // namespace

// One run of a generator: the end test, the last admitted day and the
// day-by-day cursor.
class CRecurPattern::Walk {
public:
    Walk(const CRecurPattern& pattern, CDateList& list, int endKind, int count, const CDateTime& endDate)
        : m_pattern(pattern), m_list(list), m_endKind(endKind), m_count(count),
          m_endLinear(CDateTime::Fold(endDate.GetValue())) {}

    // Reads StartDate; false when it is not a date.
    bool Begin() {
        CDateParser parser;
        if (!parser.Parse(m_pattern.m_startDate, 0, kUserLocale))
            return false;
        const CDateTime start = parser.GetDate();
        if (!start.IsValid())
            return false;
        m_day = DayOfDate(start);
        m_last = m_day - 1;
        const CivilDate civil = CivilFromDay(m_day);
        m_year = civil.year;
        m_month = civil.month;
        m_dayOfMonth = civil.day;
        m_dayOfWeek = DayOfWeek(m_day);
        return true;
    }

    // Runs the step for each day from the start until the end test holds or the
    // calendar ends. The start day's candidates are taken before the first end
    // test, so a rule that ends at once (a count of 0, an end date before the
    // start, an unknown end kind) still keeps the first day it falls on.
    template <class Step> void Run(Step&& step) {
        do {
            step();
            if (m_day >= kLastValidDay)
                return;
            NextDay();
        } while (!IsEnd());
    }

    bool IsEnd() const {
        if (m_endKind == kEndAfterCount)
            return std::ssize(m_list) >= m_count;
        if (m_endKind == kEndByDate)
            return static_cast<double>(m_day) > m_endLinear;
        return true;
    }

    bool AfterEnd(int64_t day) const {
        return m_endKind == kEndByDate && static_cast<double>(day) > m_endLinear;
    }

    // Blackout, skip and the order of the list decide whether a candidate day
    // becomes a date. The walk's own day needs no end test (the loop makes it);
    // a computed day of a month or year may lie past the end date.
    void Admit(int64_t day) { AdmitUnlessAfterEnd(day, false); }
    void AdmitComputed(int64_t day) { AdmitUnlessAfterEnd(day, true); }

private:
    void AdmitUnlessAfterEnd(int64_t day, bool testEnd) {
        if (!IsValidDay(day) || day <= m_last || (testEnd && AfterEnd(day)))
            return;
        const CDateTime date = DateOfDay(day);
        if (m_pattern.IsBlackout(date))
            return;
        int skipMethod = -1;
        if (m_pattern.IsSkip(date, skipMethod)) {
            int64_t moved = day;
            m_pattern.AdjustSkippedDate(*this, moved, skipMethod);
            m_last = std::max(m_last, moved);
            return;
        }
        m_pattern.AddDate(date, m_list);
        m_last = day;
    }

public:
    CDateList& List() { return m_list; }
    int64_t Last() const { return m_last; }
    int64_t Day() const { return m_day; }
    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int DayOfMonth() const { return m_dayOfMonth; }
    int DayOfWeekNumber() const { return m_dayOfWeek; }

private:
    void NextDay() {
        ++m_day;
        m_dayOfWeek = m_dayOfWeek % 7 + 1;
        if (++m_dayOfMonth > DaysInMonth(m_month, m_year)) {
            m_dayOfMonth = 1;
            if (++m_month > 12) {
                m_month = 1;
                ++m_year;
            }
        }
    }

    const CRecurPattern& m_pattern;
    CDateList& m_list;
    int m_endKind;
    int m_count;
    double m_endLinear;
    int64_t m_day = 0;
    int64_t m_last = 0;
    int m_year = 0;
    int m_month = 0;
    int m_dayOfMonth = 0;
    int m_dayOfWeek = 0;
};

CRecurPattern::CRecurPattern() {
    CDateTime now = CDateTime::GetCurrentTime();
    const CString shortDate = CDateParser::GetShortDateFormat();
    const CDateTime today = DateOfDay(DayOfDate(now));
    m_startDate = today.Format(shortDate);
    m_endDate = DateOfDay(DayOfDate(now) + 14).Format(shortDate);

    CDateParser parser;
    parser.Parse("08:00 AM", 0, kUserLocale);
    m_startTime = parser.GetDate().Format(kTimePattern);
    parser.Parse("08:30 AM", 0, kUserLocale);
    m_endTime = parser.GetDate().Format(kTimePattern);

    SetWeeklyDay(now.GetDayOfWeek(), true);
    m_yearlyMonth1 = now.GetMonth();
    m_yearlyMonth2 = now.GetMonth();
}

CRecurPattern::CRecurPattern(const CRecurPattern& other)
    : m_basicMethod(other.m_basicMethod), m_startTime(other.m_startTime), m_endTime(other.m_endTime),
      m_endMethod(other.m_endMethod), m_startDate(other.m_startDate), m_endDate(other.m_endDate),
      m_endOccurences(other.m_endOccurences), m_dailyMethod(other.m_dailyMethod),
      m_everyXDayCount(other.m_everyXDayCount), m_everyWeekCount(other.m_everyWeekCount),
      m_monthlyMethod(other.m_monthlyMethod), m_monthlyCount1(other.m_monthlyCount1),
      m_monthlyCount2(other.m_monthlyCount2), m_monthlyTheOption(other.m_monthlyTheOption),
      m_monthlyDayOption(other.m_monthlyDayOption), m_monthlyCount3(other.m_monthlyCount3),
      m_monthlyTheOption1(other.m_monthlyTheOption1), m_monthlyDayOption1(other.m_monthlyDayOption1),
      m_monthlyCount4(other.m_monthlyCount4), m_monthlyMathOp(other.m_monthlyMathOp),
      m_monthlyMathDays(other.m_monthlyMathDays), m_yearlyMethod(other.m_yearlyMethod),
      m_yearlyMonth1(other.m_yearlyMonth1), m_yearlyMonthDay(other.m_yearlyMonthDay),
      m_yearlyTheOption(other.m_yearlyTheOption), m_yearlyDayOption(other.m_yearlyDayOption),
      m_yearlyMonth2(other.m_yearlyMonth2), m_forceDates(other.m_forceDates), m_blackouts(other.m_blackouts) {
    std::copy(std::begin(other.m_weekly), std::end(other.m_weekly), std::begin(m_weekly));
    for (const auto& rule : other.m_skipRules)
        m_skipRules.push_back(std::make_unique<SkipDateRule>(*rule));
}

CRecurPattern& CRecurPattern::operator=(const CRecurPattern& other) {
    if (this != &other) {
        CRecurPattern copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CRecurPattern::~CRecurPattern() = default;

bool CRecurPattern::GetDates(CDateList& list) const {
    switch (m_endMethod) {
    case 0:
        return Generate(list, kEndAfterCount, kNoEndDateCount, CDateTime());
    case 1:
        return Generate(list, kEndAfterCount, m_endOccurences, CDateTime());
    case 2: {
        CDateTime endDate;
        endDate.ParseDateTimeEx(m_endDate, 0, kUserLocale);
        if (!endDate.IsValid())
            return false;
        return Generate(list, kEndByDate, 0, endDate);
    }
    default:
        return Generate(list, m_endMethod, m_endOccurences, CDateTime());
    }
}

void CRecurPattern::FreeDateList(CDateList& list) const {
    list.clear();
}

bool CRecurPattern::Generate(CDateList& list, int endKind, int count, const CDateTime& endDate) const {
    bool result = true;
    switch (m_basicMethod) {
    case 0:
        result = GenerateDaily(list, endKind, count, endDate);
        break;
    case 1:
        result = GenerateWeekly(list, endKind, count, endDate);
        break;
    case 2:
        result = GenerateMonthly(list, endKind, count, endDate);
        break;
    case 3:
        result = GenerateYearly(list, endKind, count, endDate);
        break;
    default:
        break;
    }
    // A force date that does not read back as a date is left out rather than
    // added as no date.
    for (const CString& text : m_forceDates) {
        CDateTime date;
        date.ParseDateTime(text);
        if (date.IsValid())
            AddDate(date, list);
    }
    return result;
}

bool CRecurPattern::GenerateCount(CDateList& list, int count) const {
    return Generate(list, kEndAfterCount, count, CDateTime::GetCurrentTime());
}

bool CRecurPattern::GenerateUntil(CDateList& list, const CDateTime& endDate) const {
    return Generate(list, kEndByDate, 0, endDate);
}

bool CRecurPattern::OccursOn(const CDateTime& date) const {
    CDateList list;
    const bool occurs = GenerateUntil(list, date) && ListContainsDate(list, date);
    FreeDateList(list);
    return occurs;
}

bool CRecurPattern::ListContainsDate(const CDateList& list, const CDateTime& date) const {
    return std::any_of(list.begin(), list.end(),
                       [&](const CDateTime& entry) { return entry.GetValue() == date.GetValue(); });
}

bool CRecurPattern::AddDate(const CDateTime& date, CDateList& list) const {
    try {
        list.push_back(date);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CRecurPattern::GenerateDaily(CDateList& list, int endKind, int count, const CDateTime& endDate) const {
    if (m_dailyMethod != 0 && m_dailyMethod != 1)
        return false;
    Walk walk(*this, list, endKind, count, endDate);
    if (!walk.Begin())
        return false;
    if (m_dailyMethod == 0) {
        IntervalCounter counter(m_everyXDayCount);
        walk.Run([&] {
            if (counter.Selected())
                walk.Admit(walk.Day());
            counter.Advance();
        });
    } else {
        walk.Run([&] {
            if (IsWeekday(walk.DayOfWeekNumber()))
                walk.Admit(walk.Day());
        });
    }
    return true;
}

bool CRecurPattern::GenerateWeekly(CDateList& list, int endKind, int count, const CDateTime& endDate) const {
    Walk walk(*this, list, endKind, count, endDate);
    if (!walk.Begin())
        return false;
    // Weeks run Sunday to Saturday; the start date's week is the first selected
    // one.
    IntervalCounter weeks(m_everyWeekCount);
    walk.Run([&] {
        if (weeks.Selected() && m_weekly[walk.DayOfWeekNumber() - 1])
            walk.Admit(walk.Day());
        if (walk.DayOfWeekNumber() == 7)
            weeks.Advance();
    });
    return true;
}

bool CRecurPattern::GenerateMonthly(CDateList& list, int endKind, int count, const CDateTime& endDate) const {
    if (m_monthlyMethod < 0 || m_monthlyMethod > 2)
        return false;
    Walk walk(*this, list, endKind, count, endDate);
    if (!walk.Begin())
        return false;
    if (m_monthlyMethod == 0) {
        // A month without day N has no occurrence: the date is not moved to the
        // month's last day.
        IntervalCounter months(m_monthlyCount2);
        walk.Run([&] {
            if (months.Selected() && walk.DayOfMonth() == m_monthlyCount1)
                walk.Admit(walk.Day());
            if (walk.DayOfMonth() == DaysInMonth(walk.Month(), walk.Year()))
                months.Advance();
        });
        return true;
    }
    // The day is computed once per month on the first day the walk sees of it; in
    // the start month that day may lie before the start and is then not admitted,
    // yet the month still counts.
    const bool shifted = m_monthlyMethod == 2;
    const int ordinal = shifted ? m_monthlyTheOption1 : m_monthlyTheOption;
    const int kind = shifted ? m_monthlyDayOption1 : m_monthlyDayOption;
    const int64_t shift =
        !shifted ? 0 : (m_monthlyMathOp != 0 ? -int64_t{m_monthlyMathDays} : m_monthlyMathDays);
    IntervalCounter months(shifted ? m_monthlyCount4 : m_monthlyCount3);
    int previousMonth = 0;
    walk.Run([&] {
        if (walk.Month() == previousMonth)
            return;
        if (months.Selected()) {
            const int64_t day = FindDayOfType(walk.Month(), walk.Year(), ordinal, kind);
            if (IsValidDay(day))
                walk.AdmitComputed(day + shift);
        }
        months.Advance();
        previousMonth = walk.Month();
    });
    return true;
}

bool CRecurPattern::GenerateYearly(CDateList& list, int endKind, int count, const CDateTime& endDate) const {
    if (m_yearlyMethod != 0 && m_yearlyMethod != 1)
        return false;
    Walk walk(*this, list, endKind, count, endDate);
    if (!walk.Begin())
        return false;
    // The day is computed once per year on the first day the walk sees of it; a
    // day before the start (in the start year) or one the year does not have
    // gives nothing that year.
    int previousYear = 0;
    bool first = true;
    walk.Run([&] {
        if (!first && walk.Year() == previousYear)
            return;
        first = false;
        previousYear = walk.Year();
        int64_t day = kLastValidDay + 1;
        if (m_yearlyMethod == 0) {
            if (m_yearlyMonthDay >= 1 && m_yearlyMonthDay <= DaysInMonth(m_yearlyMonth1, walk.Year()))
                day = DayFromCivil(walk.Year(), m_yearlyMonth1, m_yearlyMonthDay);
        } else {
            day = FindDayOfType(m_yearlyMonth2, walk.Year(), m_yearlyTheOption, m_yearlyDayOption);
        }
        walk.AdmitComputed(day);
    });
    return true;
}

bool CRecurPattern::AdjustSkippedDate(Walk& walk, int64_t& day, int skipMethod) const {
    const auto method = static_cast<uint16_t>(skipMethod);
    if (method > 9)
        return false;
    auto matches = [method](int dayOfWeek) {
        if (method == 0)
            return true;
        if (method == 1)
            return IsWeekday(dayOfWeek);
        if (method == 2)
            return !IsWeekday(dayOfWeek);
        return dayOfWeek == method - 2;
    };
    do
        ++day;
    while (!matches(DayOfWeek(day)));
    if (!IsValidDay(day) || day <= walk.Last() || walk.AfterEnd(day))
        return false;
    return AddDate(DateOfDay(day), walk.List());
}

int64_t CRecurPattern::FindDayOfType(int month, int year, int ordinal, int kind) const {
    // Outside these ranges there is no such day: the month, ordinal or day kind
    // names none.
    if (month < 1 || month > 12 || ordinal < 0 || ordinal > 4 || kind < 0 || kind > 9)
        return kLastValidDay + 1;
    CDateParser parser;
    parser.FindDayOfType(month, year, ordinal, kind);
    const CDateTime found = parser.GetDate();
    return found.IsValid() ? DayOfDate(found) : kLastValidDay + 1;
}

bool CRecurPattern::IsBlackout(const CDateTime& date) const {
    if (m_blackouts.empty())
        return false;
    const CString text = FormatListDate(date);
    return std::find(m_blackouts.begin(), m_blackouts.end(), text) != m_blackouts.end();
}

bool CRecurPattern::IsSkip(const CDateTime& date, int& skipMethod) const {
    skipMethod = -1;
    for (const auto& rule : m_skipRules) {
        if (!rule->Enabled)
            continue;
        CDateTime ruleDate;
        if (rule->DateOption != 0) {
            if (!SkipRuleDate(rule->DateOption, ruleDate, date.GetYear()))
                continue;
        } else {
            ruleDate.ParseDateTimeEx(rule->Date, 0, kUserLocale);
        }
        if (ruleDate.IsValid() && ruleDate.GetValue() == date.GetValue()) {
            skipMethod = rule->SkipMethod;
            return true;
        }
    }
    return false;
}

bool CRecurPattern::SkipRuleDate(int dateOption, CDateTime& date, int year) const {
    CDateParser parser;
    parser.ReturnTrue(dateOption, year);
    const CDateTime named = parser.GetDate();
    if (!named.IsValid())
        return false;
    date = named;
    return true;
}

bool CRecurPattern::GetWeeklyDay(int dayOfWeek) const {
    return dayOfWeek >= 1 && dayOfWeek <= 7 && m_weekly[dayOfWeek - 1];
}

void CRecurPattern::SetWeeklyDay(int dayOfWeek, bool value) {
    if (dayOfWeek >= 1 && dayOfWeek <= 7)
        m_weekly[dayOfWeek - 1] = value;
}

namespace {

bool TextAt(const std::vector<CString>& texts, int index, CString& out) {
    if (index < 0 || index >= std::ssize(texts)) {
        out.Empty();
        return false;
    }
    out = texts[static_cast<size_t>(index)];
    return true;
}

void RemoveText(std::vector<CString>& texts, const CString& text) {
    const auto found = std::find(texts.begin(), texts.end(), text);
    if (found != texts.end())
        texts.erase(found);
}

} // namespace

bool CRecurPattern::GetBlackout(int index, CString& out) const {
    return TextAt(m_blackouts, index, out);
}

void CRecurPattern::RemoveBlackout(const CDateTime& date) {
    RemoveText(m_blackouts, FormatListDate(date));
}

void CRecurPattern::AddBlackout(const CDateTime& date) {
    m_blackouts.push_back(FormatListDate(date));
}

bool CRecurPattern::GetForceDate(int index, CString& out) const {
    return TextAt(m_forceDates, index, out);
}

void CRecurPattern::RemoveForceDate(const CDateTime& date) {
    RemoveText(m_forceDates, FormatListDate(date));
}

void CRecurPattern::AddForceDate(const CDateTime& date) {
    m_forceDates.push_back(FormatListDate(date));
}

SkipDateRule* CRecurPattern::GetSkipRule(int index) const {
    if (index < 0 || index >= std::ssize(m_skipRules))
        return nullptr;
    return m_skipRules[static_cast<size_t>(index)].get();
}

SkipDateRule* CRecurPattern::AddSkipRule(const SkipDateRule& rule) {
    m_skipRules.push_back(std::make_unique<SkipDateRule>(rule));
    return m_skipRules.back().get();
}

void CRecurPattern::RemoveSkipRule(const SkipDateRule* rule) {
    if (!rule)
        return;
    const auto found = std::find_if(m_skipRules.begin(), m_skipRules.end(),
                                    [rule](const auto& owned) { return owned.get() == rule; });
    if (found != m_skipRules.end())
        m_skipRules.erase(found);
}
