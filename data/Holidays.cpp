// The holidays the parser knows: their names, Easter and the dates of a given year.
#include "data/DateParser.h"

#include <cctype>
#include <string>

namespace {

std::string Upper(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

CDateTimeSpan Days(int64_t days) {
    return CDateTimeSpan(static_cast<double>(days));
}

} // namespace

// The Gregorian computus (Meeus/Jones/Butcher): right for every Gregorian year, including the years
// where the short Gauss rule needs its April 25/26 corrections (1954, 1981, 2049, 2076).
void CDateParser::GetEasterDate(int year, int& month, int& day) {
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int sum = h + l - 7 * m + 114;
    month = sum / 31;
    day = sum % 31 + 1;
}

CDateParser::Holiday CDateParser::HolidayFromName(const char* name) {
    struct Names {
        Holiday holiday;
        const char* names[7];
    };
    static const Names kNames[] = {
        {Holiday::Christmas, {"christmas", "xmas", "x-mas", "x-mass", "xmass", "x mass"}},
        {Holiday::ChristmasEve,
         {"christmas eve", "xmas eve", "x-mas eve", "x-mass eve", "xmass eve", "x mass eve"}},
        {Holiday::NewYears, {"new years", "new years day"}},
        {Holiday::NewYearsEve, {"new years eve", "new years eve day"}},
        {Holiday::Halloween, {"halloween"}},
        {Holiday::IndependenceDay,
         {"July 4th", "July fourth", "July forth", "4th of July", "fourth of July", "forth of July",
          "independence day"}},
        {Holiday::Easter, {"easter", "easter sunday"}},
        {Holiday::GoodFriday, {"good friday"}},
        {Holiday::AshWednesday, {"ash wednesday"}},
        {Holiday::VeteransDay, {"veterans day", "veteran day"}},
        {Holiday::MemorialDay, {"memorial day"}},
        {Holiday::LaborDay, {"labor day"}},
        {Holiday::ColumbusDay, {"columbus day"}},
        {Holiday::Thanksgiving, {"thanksgiving", "thanksgiving day"}},
        {Holiday::PresidentsDay,
         {"Washington's Birthday", "Washingtons Birthday", "Washington Birthday", "presidents day",
          "president's day", "president day"}},
    };
    if (!name)
        return Holiday::None;
    for (const Names& entry : kNames) {
        for (const char* candidate : entry.names) {
            if (!candidate)
                break;
            // Parse expands abbreviations before the phrases see the text, so "x-mas" arrives as
            // "CHRISTMAS-MAS": the expanded spelling of each name counts as that name too.
            if (EqualsNoCase(name, candidate) ||
                EqualsNoCase(name, ExpandAbbreviations(Upper(candidate).c_str())))
                return entry.holiday;
        }
    }
    return Holiday::None;
}

bool CDateParser::GetHolidayDate(const char* name, int year) {
    if (!CDateTime(year, 1, 1).IsValid())
        return false;
    m_date = CDateTime::GetCurrentTime();
    int easterMonth = 0;
    int easterDay = 0;
    CDateTime found = m_date;
    switch (HolidayFromName(name)) {
    case Holiday::None:
        return false;
    case Holiday::Christmas:
        found.SetDate(year, 12, 25);
        break;
    case Holiday::ChristmasEve:
        found.SetDate(year, 12, 24);
        break;
    case Holiday::NewYears:
        found.SetDate(year, 1, 1);
        break;
    case Holiday::NewYearsEve:
        found.SetDate(year, 12, 31);
        break;
    case Holiday::Halloween:
        found.SetDate(year, 10, 31);
        break;
    case Holiday::IndependenceDay:
        found.SetDate(year, 7, 4);
        break;
    case Holiday::Easter:
    case Holiday::GoodFriday:
    case Holiday::AshWednesday: {
        const Holiday holiday = HolidayFromName(name);
        GetEasterDate(year, easterMonth, easterDay);
        found.SetDate(year, easterMonth, easterDay);
        if (holiday == Holiday::GoodFriday)
            found -= Days(2);
        else if (holiday == Holiday::AshWednesday)
            found -= Days(46);
        break;
    }
    case Holiday::VeteransDay:
        found.SetDate(year, 11, 11);
        break;
    case Holiday::MemorialDay:
        found = LastWeekdayDate(2, 5, year);
        break;
    case Holiday::LaborDay:
        found = NthWeekdayDate(1, 2, 9, year);
        break;
    case Holiday::ColumbusDay:
        found = NthWeekdayDate(2, 2, 10, year);
        break;
    case Holiday::Thanksgiving:
        found = NthWeekdayDate(4, 5, 11, year);
        break;
    case Holiday::PresidentsDay:
        found = NthWeekdayDate(3, 2, 2, year);
        break;
    }
    if (!found.IsValid())
        return false;
    m_date = found;
    return true;
}
