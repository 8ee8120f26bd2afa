#include "platform/core/DateFormat.h"

#include "platform/core/CalendarMath.h"
#include "platform/core/Registry.h"
#include "platform/core/SettingsCache.h"

#include <cctype>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>
#include <vector>

namespace {

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kMonthAbbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kWeekdayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
constexpr const char* kWeekdayAbbreviations[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

constexpr const char* kInternationalKey = "Control Panel\\International";
constexpr const char* kDefaultShortDate = "M/d/yyyy";
constexpr const char* kDefaultLongDate = "dddd, MMMM dd, yyyy";
constexpr const char* kTimePicture = "h:mm:ss tt";

// One element of a picture: a run of one picture letter, or literal text.
struct Element {
    char letter = 0; // 0 for literal text
    int count = 0;
    std::string text;
};

bool IsDateLetter(char ch) {
    return ch == 'd' || ch == 'M' || ch == 'y' || ch == 'g';
}
bool IsTimeLetter(char ch) {
    return ch == 'h' || ch == 'H' || ch == 'm' || ch == 's' || ch == 't';
}

// Splits a picture into letter runs of the wanted kind and literals ('...' quoted, '' a quote).
std::vector<Element> SplitPicture(const char* picture, bool (*isLetter)(char)) {
    std::vector<Element> elements;
    auto appendLiteral = [&elements](const std::string& text) {
        if (text.empty())
            return;
        if (elements.empty() || elements.back().letter != 0)
            elements.push_back({});
        elements.back().text += text;
    };
    for (const char* p = picture; *p;) {
        if (*p == '\'') {
            if (p[1] == '\'') {
                appendLiteral("'");
                p += 2;
                continue;
            }
            ++p;
            std::string literal;
            while (*p) {
                if (*p == '\'') {
                    if (p[1] == '\'') {
                        literal += '\'';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                literal += *p++;
            }
            appendLiteral(literal);
        } else if (isLetter(*p)) {
            const char letter = *p;
            int count = 0;
            while (*p == letter) {
                ++count;
                ++p;
            }
            elements.push_back({letter, count, {}});
        } else {
            appendLiteral(std::string(1, *p++));
        }
    }
    return elements;
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string DateElementText(const Element& element, const SYSTEMTIME& time) {
    const int dayOfWeek = calendar::DayOfWeek(time.wYear, time.wMonth, time.wDay);
    switch (element.letter) {
    case 'd':
        if (element.count == 1)
            return std::to_string(time.wDay);
        if (element.count == 2)
            return TwoDigits(time.wDay);
        if (element.count == 3)
            return kWeekdayAbbreviations[dayOfWeek];
        return kWeekdayNames[dayOfWeek];
    case 'M':
        if (element.count == 1)
            return std::to_string(time.wMonth);
        if (element.count == 2)
            return TwoDigits(time.wMonth);
        if (element.count == 3)
            return kMonthAbbreviations[time.wMonth - 1];
        return kMonthNames[time.wMonth - 1];
    case 'y':
        if (element.count == 1)
            return std::to_string(time.wYear % 100);
        if (element.count == 2)
            return TwoDigits(time.wYear % 100);
        return std::to_string(time.wYear);
    case 'g':
        return "A.D.";
    default:
        return element.text;
    }
}

std::string TimeElementText(const Element& element, const SYSTEMTIME& time, bool force24) {
    const char letter = force24 && element.letter == 'h' ? 'H' : element.letter;
    switch (letter) {
    case 'h': {
        const int hour = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
        return element.count == 1 ? std::to_string(hour) : TwoDigits(hour);
    }
    case 'H':
        return element.count == 1 ? std::to_string(time.wHour) : TwoDigits(time.wHour);
    case 'm':
        return element.count == 1 ? std::to_string(time.wMinute) : TwoDigits(time.wMinute);
    case 's':
        return element.count == 1 ? std::to_string(time.wSecond) : TwoDigits(time.wSecond);
    case 't': {
        const char* marker = time.wHour < 12 ? "AM" : "PM";
        return element.count == 1 ? std::string(1, marker[0]) : std::string(marker);
    }
    default:
        return element.text;
    }
}

// Removes the elements of `letter` together with the literal text that joins them to what comes before
// (or, at the start, after).
void DropElements(std::vector<Element>& elements, char letter) {
    for (size_t i = 0; i < elements.size();) {
        if (elements[i].letter != letter) {
            ++i;
            continue;
        }
        if (i > 0 && elements[i - 1].letter == 0) {
            elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(i - 1),
                           elements.begin() + static_cast<std::ptrdiff_t>(i + 1));
            --i;
        } else if (i + 1 < elements.size() && elements[i + 1].letter == 0) {
            elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(i),
                           elements.begin() + static_cast<std::ptrdiff_t>(i + 2));
        } else {
            elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

int WriteResult(const std::string& text, char* buffer, int size) {
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (!buffer || size < needed)
        return 0;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return needed;
}

bool IsValidDate(const SYSTEMTIME& time) {
    return time.wYear >= 1 && time.wYear <= 9999 && calendar::IsValidDay(time.wYear, time.wMonth, time.wDay);
}

bool IsValidTime(const SYSTEMTIME& time) {
    return time.wHour <= 23 && time.wMinute <= 59 && time.wSecond <= 59 && time.wMilliseconds <= 999;
}

std::string DateText(const SYSTEMTIME& time, const char* picture) {
    std::string text;
    for (const Element& element : SplitPicture(picture, IsDateLetter))
        text += DateElementText(element, time);
    return text;
}

std::string TimeText(const SYSTEMTIME& time, const char* picture, uint32_t flags) {
    std::vector<Element> elements = SplitPicture(picture, IsTimeLetter);
    if (flags & (TIME_NOSECONDS | TIME_NOMINUTESORSECONDS))
        DropElements(elements, 's');
    if (flags & TIME_NOMINUTESORSECONDS)
        DropElements(elements, 'm');
    if (flags & (TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT))
        DropElements(elements, 't');
    std::string text;
    for (const Element& element : elements)
        text += TimeElementText(element, time, flags & TIME_FORCE24HOURFORMAT);
    return text;
}

// True when LC_TIME names a real user locale rather than the portable "C" one (or its UTF-8 form).
bool HasUserTimeLocale() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return name && std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0 &&
           std::strncmp(name, "C.", 2) != 0;
}

// The order of day, month and year in a picture ('d', 'M', 'y').
std::string FieldOrder(const char* picture) {
    std::string order;
    for (const Element& element : SplitPicture(picture, IsDateLetter))
        if (element.letter != 0 && element.letter != 'g' && order.find(element.letter) == std::string::npos &&
            !(element.letter == 'd' && element.count > 2))
            order += element.letter;
    return order;
}

CString LocaleShortDatePicture() {
    if (!HasUserTimeLocale())
        return {};
    return DatePictureFromStrftime(nl_langinfo(D_FMT));
}

} // namespace

const char* MonthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : "";
}
const char* MonthAbbreviation(int month) {
    return month >= 1 && month <= 12 ? kMonthAbbreviations[month - 1] : "";
}
const char* WeekdayName(int dayOfWeek) {
    return dayOfWeek >= 0 && dayOfWeek <= 6 ? kWeekdayNames[dayOfWeek] : "";
}
const char* WeekdayAbbreviation(int dayOfWeek) {
    return dayOfWeek >= 0 && dayOfWeek <= 6 ? kWeekdayAbbreviations[dayOfWeek] : "";
}

int GetDateFormatA(LCID /*lcid*/, uint32_t flags, const SYSTEMTIME* time, const char* picture, char* buffer,
                   int size) {
    if (size < 0 || (picture && (flags & (DATE_SHORTDATE | DATE_LONGDATE))))
        return 0;
    const SYSTEMTIME date = time ? *time : GetLocalTime();
    if (!IsValidDate(date))
        return 0;
    const CString userPicture = (flags & DATE_LONGDATE) ? UserLongDatePicture() : UserShortDatePicture();
    return WriteResult(DateText(date, picture ? picture : userPicture.c_str()), buffer, size);
}

int GetTimeFormatA(LCID /*lcid*/, uint32_t flags, const SYSTEMTIME* time, const char* picture, char* buffer,
                   int size) {
    if (size < 0)
        return 0;
    const SYSTEMTIME clock = time ? *time : GetLocalTime();
    if (!IsValidTime(clock))
        return 0;
    return WriteResult(TimeText(clock, picture ? picture : kTimePicture, flags), buffer, size);
}

CString FormatDatePicture(const SYSTEMTIME& time, const char* picture, uint32_t flags) {
    if (!IsValidDate(time))
        return {};
    if (!picture)
        return DateText(time, (flags & DATE_LONGDATE) ? UserLongDatePicture() : UserShortDatePicture());
    return DateText(time, picture);
}

CString FormatTimePicture(const SYSTEMTIME& time, const char* picture, uint32_t flags) {
    if (!IsValidTime(time))
        return {};
    return TimeText(time, picture ? picture : kTimePicture, flags);
}

namespace {

CString ReadShortDatePicture() {
    if (auto value = Registry().ReadString(kInternationalKey, "sShortDate"); value && !value->IsEmpty())
        return *value;
    if (CString derived = LocaleShortDatePicture(); !derived.IsEmpty())
        return derived;
    return kDefaultShortDate;
}

CString ReadLongDatePicture() {
    if (auto value = Registry().ReadString(kInternationalKey, "sLongDate"); value && !value->IsEmpty())
        return *value;
    // The C library has no long date pattern: the long date follows the locale's short-date order.
    if (const CString derived = LocaleShortDatePicture(); !derived.IsEmpty()) {
        const std::string order = FieldOrder(derived);
        if (order == "dMy")
            return "dddd, d MMMM yyyy";
        if (order == "yMd")
            return "yyyy MMMM d, dddd";
    }
    return kDefaultLongDate;
}

} // namespace

CString UserShortDatePicture() {
    static SettingsCached<CString> picture;
    return picture.Get(ReadShortDatePicture);
}

CString UserLongDatePicture() {
    static SettingsCached<CString> picture;
    return picture.Get(ReadLongDatePicture);
}

CString UserTimePicture() {
    return kTimePicture;
}

CString DatePictureFromStrftime(const char* pattern) {
    std::string picture;
    std::string literal;
    auto flushLiteral = [&]() {
        if (literal.empty())
            return;
        bool needsQuotes = false;
        for (char ch : literal)
            if (std::isalpha(static_cast<unsigned char>(ch)) || ch == '\'')
                needsQuotes = true;
        if (needsQuotes) {
            picture += '\'';
            for (char ch : literal)
                picture += ch == '\'' ? std::string("''") : std::string(1, ch);
            picture += '\'';
        } else {
            picture += literal;
        }
        literal.clear();
    };
    auto field = [&](const char* text) {
        flushLiteral();
        picture += text;
    };
    for (const char* p = pattern ? pattern : ""; *p; ++p) {
        if (*p != '%') {
            literal += *p;
            continue;
        }
        ++p;
        // glibc flags and modifiers ("%-d", "%_m", "%Ey", "%Od") are read past; "-" drops the padding.
        bool unpadded = false;
        while (*p == '-' || *p == '_' || *p == '0' || *p == '^' || *p == '#' || *p == 'E' || *p == 'O') {
            unpadded = unpadded || *p == '-';
            ++p;
        }
        switch (*p) {
        case 'd':
            field(unpadded ? "d" : "dd");
            break;
        case 'e':
            field("d");
            break;
        case 'm':
            field(unpadded ? "M" : "MM");
            break;
        case 'b':
        case 'h':
            field("MMM");
            break;
        case 'B':
            field("MMMM");
            break;
        case 'y':
            field("yy");
            break;
        case 'Y':
        case 'G':
            field("yyyy");
            break;
        case 'a':
            field("ddd");
            break;
        case 'A':
            field("dddd");
            break;
        case 'D':
            field("MM/dd/yy");
            break;
        case 'F':
            field("yyyy-MM-dd");
            break;
        case '%':
            literal += '%';
            break;
        case 'n':
        case 't':
            literal += ' ';
            break;
        case '\0':
            --p;
            break;
        default:
            break;
        }
    }
    flushLiteral();
    return picture;
}
