#pragma once

#include "data/DateTime.h"
#include "platform/core/CString.h"
#include "platform/core/OleAuto.h"

#include <map>
#include <string>

// Turns what a user types into a date or a time: first through the system's own date parser
// (VarDateFromStr), then through the program's phrases: abbreviations ("T", "TM", "N3"), holidays,
// relative times ("5 MINUTES FROM NOW", "HALF PAST 3"), bare clock digits ("830") and date phrases
// ("2ND MONDAY IN MAY", "TODAY + 3"). It also offers the calendar operations the recurrence rules
// need and the strftime patterns of the user's short and long dates.
//
// "Now" is always GetLocalTime() (platform/core/WinTime.h), so tests fix it with
// SetLocalTimeForTesting. Nothing here throws.
class CDateParser {
public:
    // Parse modes.
    static constexpr int kDateOrTime = 0;
    static constexpr int kTimeOnly = 1;
    static constexpr int kDateOnly = 2;

    // Day kinds of IsDayType / FindDayOfType.
    static constexpr int kAnyDay = 0;
    static constexpr int kWeekday = 1;
    static constexpr int kWeekendDay = 2;
    static constexpr int kSundayKind = 3; // 3..9 Sunday..Saturday

    // Ordinals of FindDayOfType: 0 first .. 3 fourth, 4 last.
    static constexpr int kLastOrdinal = 4;

    CDateParser();
    explicit CDateParser(const CDateTime& date);
    // Takes the other parser's date only; the hour policy and threshold start at their defaults.
    CDateParser(const CDateParser& other);
    virtual ~CDateParser() = default;

    // Calendar operations; the day found is at midnight. All answer true; when the month has no
    // such day (or the kind or month is unknown) the held date becomes invalid.
    virtual bool FindDayOfType(int month, int year, int ordinal, int kind);
    virtual bool FindLastDayOfType(int month, int year, int kind);
    virtual bool FindNthDayOfType(int month, int year, int n, int kind);
    // The recurrence skip rules call this for a rule's date option: changes nothing.
    virtual bool ReturnTrue(int option, int year);

    // Sets the held value from the other's year, month, day, hour, minute and second.
    virtual void SetDate(const CDateTime& date);
    // Copies the date, the hour policy and the threshold.
    virtual CDateParser& operator=(const CDateParser& other);
    virtual bool IsDayType(int kind) const;

    // Mode 0 date or time, 1 time only, 2 date only; the locale goes to the system's parser. On
    // success the held date is the result; on failure it is invalid.
    virtual bool Parse(const char* text, int mode, LCID locale = LOCALE_USER_DEFAULT);

    virtual int GetAfternoonThreshold() const { return m_afternoonThreshold; }
    // Accepts 1..11, ignores anything else.
    virtual void SetAfternoonThreshold(int threshold);
    virtual int GetHourPolicy() const { return m_hourPolicy; }
    // Accepts 0..3, ignores anything else.
    virtual void SetHourPolicy(int policy);

    virtual bool IsWeekend() const;
    virtual bool IsWeekday() const;
    virtual bool IsSunday() const { return DayOfWeekIs(1); }
    virtual bool IsMonday() const { return DayOfWeekIs(2); }
    virtual bool IsTuesday() const { return DayOfWeekIs(3); }
    virtual bool IsWednesday() const { return DayOfWeekIs(4); }
    virtual bool IsThursday() const { return DayOfWeekIs(5); }
    virtual bool IsFriday() const { return DayOfWeekIs(6); }
    virtual bool IsSaturday() const { return DayOfWeekIs(7); }
    virtual bool IsJanuary() const { return MonthIs(1); }
    virtual bool IsFebruary() const { return MonthIs(2); }
    virtual bool IsMarch() const { return MonthIs(3); }
    virtual bool IsApril() const { return MonthIs(4); }
    virtual bool IsMay() const { return MonthIs(5); }
    virtual bool IsJune() const { return MonthIs(6); }
    virtual bool IsJuly() const { return MonthIs(7); }
    virtual bool IsAugust() const { return MonthIs(8); }
    virtual bool IsSeptember() const { return MonthIs(9); }
    virtual bool IsOctober() const { return MonthIs(10); }
    virtual bool IsNovember() const { return MonthIs(11); }
    virtual bool IsDecember() const { return MonthIs(12); }
    // Of the held date's year.
    virtual bool IsLeapYear() const;
    // Divisible by 4 and not by 100, or divisible by 400.
    virtual bool IsLeapYearOf(int year) const;

    // The held date-time: the result of the last operation.
    const CDateTime& GetDate() const { return m_date; }

    // 0 for a month outside 1..12.
    static int DaysInMonth(int month, int year);
    // Sets the held date to the Nth day with that day of week (1 Sunday..7 Saturday) in the month, at
    // midnight; leaves it unchanged when the month has fewer. Answers true.
    bool NthWeekdayOfMonth(int n, int dayOfWeek, int month, int year);
    // Month (3 or 4) and day of Easter Sunday.
    static void GetEasterDate(int year, int& month, int& day);
    // Sets the held date to the named holiday of the year; false for an unknown name or a year
    // without a valid 1 January.
    bool GetHolidayDate(const char* name, int year);

    // The C library's "%B" / "%A" names (month 1..12, day of week 1 Sunday..7 Saturday).
    static CString GetMonthName(int month);
    static CString GetWeekdayName(int dayOfWeek);

    // strftime patterns of the user's short and long dates ("Control Panel\\International"
    // sShortDate / sLongDate). When that is unset, empty or not text: the locale's pictures that the
    // system's date parser also uses (platform/core/DateFormat.h), or "%m/%d/%Y" and "%A %B %d, %Y"
    // in the "C" locale.
    static CString GetShortDateFormat();
    static CString GetLongDateFormat();
    // A Windows date picture as a strftime pattern ("dd.MM.yyyy" -> "%d.%m.%Y").
    static CString ConvertDatePicture(const char* picture);

    // Phrase matchers on normalized text (trimmed, upper-cased, blanks collapsed, abbreviations
    // expanded). Each answers whether the text was understood; `out` is the result.
    bool ParsePhrase(const CString& text, CDateTime& out) const;
    bool ParseDatePhrase(const CString& text, CDateTime& out) const;
    bool ParseTimePhrase(const CString& text, CDateTime& out) const;

    // Text helpers of the phrase matchers.
    static CString NormalizeAmPm(const char* text);
    static CString Normalize(const char* text, bool upper);
    static CString CollapseBlanks(const char* text);
    static CString ExpandAbbreviations(const char* text);
    static CString LookupAbbreviation(const CString& word);
    static bool EqualsNoCase(const char* a, const char* b);
    static bool StartsWith(const char* text, const char* prefix);
    static bool EndsWith(const char* text, const char* suffix);
    static bool IsNumber(const char* text);
    static int ToInt(const char* text);
    static CString IntToText(int n);
    static bool FirstWordIsNumber(const char* text);
    static bool LastWordIsNumber(const char* text);
    static bool IsZeroDate(const CDateTime& date);
    // 1..12 for a full month name or its first three letters, else 0.
    static int MonthFromName(const char* word);

    // Date helpers of the phrases; each gives an invalid `out` (and false) when there is no date.
    // The Nth such weekday of the month this year at midnight, or next year's when that is past.
    static bool NthWeekdayInMonthAhead(int n, int dayOfWeek, int month, CDateTime& out);
    // The Nth such weekday counted from yesterday backwards / tomorrow forwards, at now's time.
    static bool NthWeekdayBefore(int n, int dayOfWeek, CDateTime& out);
    static bool NthWeekdayAfter(int n, int dayOfWeek, CDateTime& out);
    // The date moved by n calendar months, day and time kept; a day the target month lacks becomes
    // that month's last day.
    static bool MonthsBack(const CDateTime& date, int n, CDateTime& out);
    static bool MonthsAhead(const CDateTime& date, int n, CDateTime& out);

    // The longest text the phrase matchers read; no date or time field needs more.
    static constexpr int kMaxPhraseLength = 256;

    // The process-wide abbreviation map (upper-case key -> replacement), built once.
    static const std::map<std::string, std::string>& Abbreviations();

private:
    enum class Holiday {
        None,
        Christmas,
        ChristmasEve,
        NewYears,
        NewYearsEve,
        Halloween,
        IndependenceDay,
        Easter,
        GoodFriday,
        AshWednesday,
        VeteransDay,
        MemorialDay,
        LaborDay,
        ColumbusDay,
        Thanksgiving,
        PresidentsDay
    };
    // The holiday a name stands for, compared without regard to case.
    static Holiday HolidayFromName(const char* name);
    // The Nth day with that day of week in the month at midnight; invalid when the month has fewer.
    static CDateTime NthWeekdayDate(int n, int dayOfWeek, int month, int year);
    // The last day with that day of week in the month at midnight.
    static CDateTime LastWeekdayDate(int dayOfWeek, int month, int year);
    static bool IsDayTypeOf(const CDateTime& date, int kind);

    // Keeps nested phrases ("2 DAYS AFTER 2 DAYS AFTER ...") from recursing without bound.
    static constexpr int kMaxPhraseDepth = 8;
    class DepthGuard {
    public:
        explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
        ~DepthGuard() { --m_depth; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
        bool TooDeep() const { return m_depth > kMaxPhraseDepth; }

    private:
        int& m_depth;
    };

    bool DayOfWeekIs(int dayOfWeek) const { return m_date.GetDayOfWeek() == dayOfWeek; }
    bool MonthIs(int month) const { return m_date.GetMonth() == month; }

    bool ParseDigitDate(const CString& text, CDateTime& out) const;
    bool ParseFixedDatePhrase(const CString& text, CDateTime& out) const;
    bool ParseRelativeDatePhrase(const CString& text, CDateTime& out) const;
    bool ParseDateArithmetic(const CString& text, CDateTime& out) const;
    bool ParseWeekdaysAgoOrAhead(const CString& text, CDateTime& out) const;
    bool ParseNextOrLastHoliday(const CString& text, CDateTime& out) const;
    bool ParseHolidayOfYear(const CString& text, CDateTime& out) const;
    bool ParseCountFromToday(const CString& text, CDateTime& out) const;
    bool ParseClockDigits(const CString& text, CDateTime& out) const;
    bool ParseTimePhraseForms(const CString& text, CDateTime& out) const;

    CDateTime m_date;
    int m_hourPolicy = 0;
    int m_afternoonThreshold = 7;
    mutable int m_phraseDepth = 0;
};
