// Text to OLE date and back, as the automation services do it for the user's locale.
//
// Accepted: numeric dates with '/', '-', '.' or blanks between the parts, in the order of the user's
// short-date picture (or year first when the first number has more than two digits); when that is no
// date, three numbers are read year first and then with day and month swapped, and of two numbers
// the day and month are swapped, or else the one that can be no day of the other's month is the year
// (day 1); two-digit years 00-29 as 2000-2029 and 30-99 as 1930-1999;
// month names and three-letter abbreviations in any case with day and year in either order ("March 15,
// 2006", "15 March 2006"), a leading weekday name; a month and day without a year take the current year;
// times "h:mm", "h:mm:ss", "h.mm" and "h.mm.ss" ('.' is a date separator only in a locale whose dates
// use it, and never in a time field), each with an optional AM/PM that an hour past 12 ignores, and "h AM"; a
// date and a time together. Fractions of a second are not read.
#include "platform/core/CalendarMath.h"
#include "platform/core/DateFormat.h"
#include "platform/core/OleAuto.h"
#include "platform/core/SettingsCache.h"

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class TokenKind { Number, Word, Separator };

struct Token {
    TokenKind kind;
    std::string text;
    int value = 0; // numbers
    char separator = 0;
};

bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == ',';
}

// Splits into digit runs, letter runs and the separators that dates and times use; commas and blanks
// only separate. Any other character makes the text no date.
std::optional<std::vector<Token>> Tokenize(const char* text) {
    std::vector<Token> tokens;
    const char* p = text;
    while (*p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (IsSpace(*p)) {
            ++p;
        } else if (std::isdigit(ch)) {
            const char* start = p;
            while (std::isdigit(static_cast<unsigned char>(*p)))
                ++p;
            if (p - start > 9)
                return std::nullopt;
            Token token{TokenKind::Number, std::string(start, p), 0, 0};
            token.value = std::stoi(token.text);
            tokens.push_back(token);
        } else if (std::isalpha(ch)) {
            const char* start = p;
            while (std::isalpha(static_cast<unsigned char>(*p)))
                ++p;
            std::string word(start, p);
            for (char& c : word)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            tokens.push_back({TokenKind::Word, word, 0, 0});
        } else if (*p == '/' || *p == '-' || *p == '.' || *p == ':') {
            tokens.push_back({TokenKind::Separator, std::string(1, *p), 0, *p});
            ++p;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int MonthFromWord(const std::string& word) {
    for (int month = 1; month <= 12; ++month) {
        const std::string name = MonthName(month);
        std::string lower;
        for (char c : name)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (word == lower || word == lower.substr(0, 3))
            return month;
    }
    return 0;
}

bool IsWeekdayWord(const std::string& word) {
    for (int day = 0; day < 7; ++day) {
        std::string lower;
        for (const char* c = WeekdayName(day); *c; ++c)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        if (word == lower || word == lower.substr(0, 3))
            return true;
    }
    return false;
}

// 0 none, 1 AM, 2 PM
int MeridiemFromWord(const std::string& word) {
    if (word == "am" || word == "a")
        return 1;
    if (word == "pm" || word == "p")
        return 2;
    return 0;
}

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

bool IsNumber(const std::vector<Token>& tokens, size_t i) {
    return i < tokens.size() && tokens[i].kind == TokenKind::Number;
}
bool IsSeparator(const std::vector<Token>& tokens, size_t i, char separator) {
    return i < tokens.size() && tokens[i].kind == TokenKind::Separator && tokens[i].separator == separator;
}
bool IsMeridiem(const std::vector<Token>& tokens, size_t i) {
    return i < tokens.size() && tokens[i].kind == TokenKind::Word && MeridiemFromWord(tokens[i].text) != 0;
}

enum class Found { None, Time, Bad };

// Numbers joined by '.' from token i on, neither preceded nor followed by another '.': 2 for "10.30",
// 3 for "10.30.15", else 0.
int DottedRun(const std::vector<Token>& tokens, size_t i) {
    if (i >= 1 && IsSeparator(tokens, i - 1, '.'))
        return 0;
    int numbers = 1;
    size_t next = i + 1;
    while (IsSeparator(tokens, next, '.') && IsNumber(tokens, next + 1)) {
        ++numbers;
        next += 2;
    }
    return IsSeparator(tokens, next, '.') ? 0 : numbers;
}

// Finds the time in the tokens ("h:mm", "h:mm:ss", "h.mm" and "h.mm.ss" when '.' separates times,
// each with an optional AM/PM, or "h AM"), removes its tokens and reads it into `time`. A fraction
// of a second makes the text no time, and so does a time that splits the numbers of a date
// ("1 2 AM 3").
Found ExtractTime(std::vector<Token>& tokens, TimeOfDay& time, bool dotIsTimeSeparator) {
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!IsNumber(tokens, i))
            continue;
        size_t end = i + 1;
        int hour = tokens[i].value;
        int minute = 0;
        int second = 0;
        bool clock = false;
        const int dotted = dotIsTimeSeparator ? DottedRun(tokens, i) : 0;
        if ((dotted == 2 || dotted == 3) && tokens[end + 1].text.size() <= 2 &&
            (dotted == 2 || tokens[end + 3].text.size() <= 2)) {
            clock = true;
            minute = tokens[end + 1].value;
            if (dotted == 3)
                second = tokens[end + 3].value;
            end += 2 * (dotted - 1);
        } else if (IsSeparator(tokens, end, ':') && IsNumber(tokens, end + 1)) {
            clock = true;
            minute = tokens[end + 1].value;
            if (tokens[end + 1].text.size() > 2)
                return Found::Bad;
            end += 2;
            if (IsSeparator(tokens, end, ':') && IsNumber(tokens, end + 1)) {
                second = tokens[end + 1].value;
                if (tokens[end + 1].text.size() > 2)
                    return Found::Bad;
                end += 2;
                if (IsSeparator(tokens, end, '.'))
                    return Found::Bad;
            }
        }
        int meridiem = 0;
        if (IsMeridiem(tokens, end)) {
            meridiem = MeridiemFromWord(tokens[end].text);
            ++end;
        }
        if (!clock && meridiem == 0)
            continue;
        if (i >= 1 && IsNumber(tokens, i - 1) && IsNumber(tokens, end))
            return Found::Bad;
        if (tokens[i].text.size() > 2 || minute > 59 || second > 59)
            return Found::Bad;
        // An hour past 12 is already on the 24-hour clock: the marker changes nothing.
        if (meridiem != 0 && hour <= 12) {
            if (hour == 12)
                hour = 0;
            if (meridiem == 2)
                hour += 12;
        } else if (hour > 23) {
            return Found::Bad;
        }
        time = {hour, minute, second};
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                     tokens.begin() + static_cast<std::ptrdiff_t>(end));
        return Found::Time;
    }
    return Found::None;
}

// The order of day, month and year in the user's short-date picture, as a text of 'd', 'M', 'y'. A
// run of three or more d is the weekday name, not the day.
std::string ReadShortDateOrder() {
    const CString picture = UserShortDatePicture();
    std::string order;
    bool literal = false;
    for (const char* p = picture; *p; ++p) {
        if (*p == '\'') {
            literal = !literal;
            continue;
        }
        if (literal)
            continue;
        if (*p == 'd' && p[1] == 'd' && p[2] == 'd') {
            while (p[1] == 'd')
                ++p;
            continue;
        }
        const char field = *p == 'd' ? 'd' : *p == 'M' ? 'M' : (*p == 'y' || *p == 'Y') ? 'y' : 0;
        if (field && order.find(field) == std::string::npos)
            order += field;
    }
    if (order.size() != 3)
        return "Mdy";
    return order;
}

const std::string& ShortDateOrder() {
    static SettingsCached<std::string> order;
    return order.Get(ReadShortDateOrder);
}

// The first separator character outside quotes in the user's short-date picture.
char ReadShortDateOrderSeparator() {
    const CString picture = UserShortDatePicture();
    bool literal = false;
    for (const char* p = picture; *p; ++p) {
        if (*p == '\'') {
            literal = !literal;
            continue;
        }
        if (!literal && (*p == '/' || *p == '-' || *p == '.'))
            return *p;
    }
    return 0;
}

char ShortDateOrderSeparator() {
    static SettingsCached<char> separator;
    return separator.Get(ReadShortDateOrderSeparator);
}

int ExpandYear(const Token& token) {
    if (token.text.size() <= 2)
        return token.value < 30 ? 2000 + token.value : 1900 + token.value;
    return token.value;
}

bool LooksLikeYear(const Token& token) {
    return token.text.size() > 2 || token.value > 31;
}

struct DateParts {
    int year = 0;
    int month = 0;
    int day = 0;
};

bool Plausible(const DateParts& date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= calendar::DaysInMonth(date.year >= 1 ? date.year : 2000, date.month);
}

std::optional<DateParts> Reading(int year, int month, int day) {
    const DateParts date{year, month, day};
    if (Plausible(date))
        return date;
    return std::nullopt;
}

// Reads day and month in the given order; when that is no date but the swapped reading is, the
// swapped reading wins.
std::optional<DateParts> DayMonth(int first, int second, bool monthFirst, int year) {
    if (auto date = Reading(year, monthFirst ? first : second, monthFirst ? second : first))
        return date;
    return Reading(year, monthFirst ? second : first, monthFirst ? first : second);
}

// Whether the number can be no day of that month in any year (February has 29 in some).
bool NoDayOf(int month, int number) {
    return month < 1 || month > 12 || number < 1 || number > calendar::DaysInMonth(2000, month);
}

// Two numbers that are no month and day: the one that can be a month is the month, the other one,
// which can be no day of it, the year; the day is the first.
std::optional<DateParts> MonthYear(const Token& first, const Token& second) {
    if (NoDayOf(first.value, second.value) && !NoDayOf(first.value, 1))
        return Reading(ExpandYear(second), first.value, 1);
    if (NoDayOf(second.value, first.value) && !NoDayOf(second.value, 1))
        return Reading(ExpandYear(first), second.value, 1);
    return std::nullopt;
}

// Reads the date from the tokens left after the time was removed; None when nothing is left.
enum class DateResult { None, Date, Bad };

DateResult ReadDate(const std::vector<Token>& tokens, DateParts& date) {
    std::vector<Token> numbers;
    int month = 0;
    char numericSeparator = 0;
    for (const Token& token : tokens) {
        switch (token.kind) {
        case TokenKind::Number:
            numbers.push_back(token);
            break;
        case TokenKind::Word:
            if (const int named = MonthFromWord(token.text); named != 0) {
                if (month != 0)
                    return DateResult::Bad;
                month = named;
            } else if (!IsWeekdayWord(token.text)) {
                return DateResult::Bad;
            }
            break;
        case TokenKind::Separator:
            if (token.separator == ':')
                return DateResult::Bad;
            if (numericSeparator != 0 && numericSeparator != token.separator && month == 0)
                return DateResult::Bad;
            numericSeparator = token.separator;
            break;
        }
    }
    if (month == 0 && numbers.empty())
        return tokens.empty() ? DateResult::None : DateResult::Bad;
    const int currentYear = GetLocalTime().wYear;

    if (month != 0) {
        date.month = month;
        if (numbers.empty() || numbers.size() > 2)
            return DateResult::Bad;
        if (numbers.size() == 1) {
            if (LooksLikeYear(numbers[0])) {
                date.year = ExpandYear(numbers[0]);
                date.day = 1;
            } else {
                date.year = currentYear;
                date.day = numbers[0].value;
            }
        } else if (LooksLikeYear(numbers[0]) && !LooksLikeYear(numbers[1])) {
            date.year = ExpandYear(numbers[0]);
            date.day = numbers[1].value;
        } else {
            date.day = numbers[0].value;
            date.year = ExpandYear(numbers[1]);
        }
        return Plausible(date) ? DateResult::Date : DateResult::Bad;
    }

    // Blanks alone may separate the parts of a numeric date ("1 2 3").
    if (numbers.size() < 2 || numbers.size() > 3)
        return DateResult::Bad;
    for (const Token& number : numbers)
        if (number.text.size() > 4)
            return DateResult::Bad;
    const std::string order = ShortDateOrder();
    if (numbers.size() == 2) {
        if (numbers[1].text.size() == 4) {
            // month and year
            date = {numbers[1].value, numbers[0].value, 1};
            return Plausible(date) ? DateResult::Date : DateResult::Bad;
        }
        const bool monthFirst = order.find('M') < order.find('d');
        auto read = DayMonth(numbers[0].value, numbers[1].value, monthFirst, currentYear);
        if (!read)
            read = MonthYear(numbers[0], numbers[1]);
        if (!read)
            return DateResult::Bad;
        date = *read;
        return DateResult::Date;
    }
    // A year-first picture still leaves a four-digit last number to be the year.
    const bool yearLast = numbers[2].text.size() > 2 && !LooksLikeYear(numbers[0]);
    if (LooksLikeYear(numbers[0]) || (order[0] == 'y' && !yearLast)) {
        // year first: y-M-d
        const auto read = DayMonth(numbers[1].value, numbers[2].value, true, ExpandYear(numbers[0]));
        if (!read)
            return DateResult::Bad;
        date = *read;
        return DateResult::Date;
    }
    // The short-date order with the year last; else year first, month before day and then after it;
    // else day and month swapped.
    const bool monthFirst = order.find('M') < order.find('d');
    const int first = numbers[0].value;
    const int second = numbers[1].value;
    const int third = numbers[2].value;
    auto read = Reading(ExpandYear(numbers[2]), monthFirst ? first : second, monthFirst ? second : first);
    if (!read)
        read = Reading(ExpandYear(numbers[0]), second, third);
    if (!read)
        read = Reading(ExpandYear(numbers[0]), third, second);
    if (!read)
        read = Reading(ExpandYear(numbers[2]), monthFirst ? second : first, monthFirst ? first : second);
    if (!read)
        return DateResult::Bad;
    date = *read;
    return DateResult::Date;
}

} // namespace

HRESULT VarDateFromStr(const char* text, LCID /*lcid*/, uint32_t flags, double* result) {
    if (!text || !result)
        return E_INVALIDARG;
    auto tokens = Tokenize(text);
    if (!tokens || tokens->empty())
        return DISP_E_TYPEMISMATCH;
    // '.' separates hours and minutes unless the user's dates use it; a time field always reads
    // "2.5" as a time.
    const bool dotIsTimeSeparator = (flags & VAR_TIMEVALUEONLY) || ShortDateOrderSeparator() != '.';
    TimeOfDay time;
    const Found timeFound = ExtractTime(*tokens, time, dotIsTimeSeparator);
    if (timeFound == Found::Bad)
        return DISP_E_TYPEMISMATCH;
    DateParts date;
    const DateResult dateFound = ReadDate(*tokens, date);
    if (dateFound == DateResult::Bad || (dateFound == DateResult::None && timeFound == Found::None))
        return DISP_E_TYPEMISMATCH;

    double days = 0.0;
    if (dateFound == DateResult::Date) {
        if (date.year < 100 || date.year > 9999)
            return DISP_E_OVERFLOW;
        SYSTEMTIME midnight;
        midnight.wYear = static_cast<uint16_t>(date.year);
        midnight.wMonth = static_cast<uint16_t>(date.month);
        midnight.wDay = static_cast<uint16_t>(date.day);
        if (!SystemTimeToVariantTime(&midnight, &days))
            return DISP_E_TYPEMISMATCH;
    }
    const double fraction = (time.hour * 3600.0 + time.minute * 60.0 + time.second) / 86400.0;
    if (flags & VAR_TIMEVALUEONLY)
        *result = fraction;
    else if (flags & VAR_DATEVALUEONLY)
        *result = days;
    else
        *result = days < 0 ? days - fraction : days + fraction;
    return S_OK;
}

HRESULT VarBstrFromDate(double date, LCID lcid, uint32_t flags, CString* text) {
    if (!text)
        return E_INVALIDARG;
    text->Empty();
    SYSTEMTIME time;
    if (!VariantTimeToSystemTime(date, &time))
        return E_INVALIDARG;
    const bool dayZero = time.wYear == 1899 && time.wMonth == 12 && time.wDay == 30;
    const bool midnight = time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0;
    bool showDate = !dayZero || (flags & VAR_DATEVALUEONLY);
    bool showTime = !midnight || (flags & VAR_TIMEVALUEONLY) || !showDate;
    if (flags & VAR_DATEVALUEONLY)
        showTime = false;
    if (flags & VAR_TIMEVALUEONLY)
        showDate = false;
    CString result;
    if (showDate)
        result = FormatDatePicture(time, UserShortDatePicture());
    if (showTime) {
        if (!result.IsEmpty())
            result += ' ';
        result += FormatTimePicture(time, UserTimePicture());
    }
    (void)lcid;
    *text = result;
    return S_OK;
}
