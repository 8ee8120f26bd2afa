#include "exchange/WabImporter.h"

#include "platform/core/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iconv.h>
#include <map>
#include <set>
#include <utility>

namespace {

// The names and parameters of a card are ASCII: upper case without the locale's help.
char UpperAscii(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

std::string Upper(std::string text) {
    for (char& ch : text)
        ch = UpperAscii(ch);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t at = 0; at < prefix.size(); ++at)
        if (UpperAscii(text[at]) != UpperAscii(prefix[at]))
            return false;
    return true;
}

// Whether text holds word (upper case) in any case of letters.
bool ContainsNoCase(std::string_view text, std::string_view word) {
    for (size_t at = 0; at + word.size() <= text.size(); ++at)
        if (StartsWithNoCase(text.substr(at), word))
            return true;
    return false;
}

// Converts text in charset (a name iconv knows) to UTF-8; a byte that is not of the charset
// becomes U+FFFD. False when iconv does not know the charset.
bool ConvertWithIconv(const std::string& text, const std::string& charset, std::string& out) {
    const iconv_t converter = iconv_open("UTF-8", charset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    std::string input = text;
    char* inAt = input.data();
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<size_t>(outAt - buffer));
        if (result != static_cast<size_t>(-1) || error == E2BIG)
            continue;
        // An invalid or cut-off sequence: mark it and go on after its first byte.
        out += "\xEF\xBF\xBD";
        ++inAt;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    char* outAt = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &outAt, &outLeft); // the closing shift of stateful charsets
    out.append(buffer, static_cast<size_t>(outAt - buffer));
    iconv_close(converter);
    return true;
}

// The converter name for a declared charset. Writers name the Windows code pages by the standards
// they extend: Japanese phones say Shift_JIS and use code page 932 (whose 0x5C is the backslash the
// escapes need, not a yen sign), Outlook says ISO-8859-1 and uses Windows-1252, "GB2312" files hold
// GBK characters.
std::string ConverterName(const std::string& charset) {
    static const std::map<std::string, std::string> kAliases = {
        {"SHIFT_JIS", "CP932"},
        {"SHIFT-JIS", "CP932"},
        {"SJIS", "CP932"},
        {"X-SJIS", "CP932"},
        {"MS_KANJI", "CP932"},
        {"CSSHIFTJIS", "CP932"},
        {"WINDOWS-31J", "CP932"},
        {"MS932", "CP932"},
        {"ISO-8859-1", "WINDOWS-1252"},
        {"ISO8859-1", "WINDOWS-1252"},
        {"ISO_8859-1", "WINDOWS-1252"},
        {"LATIN1", "WINDOWS-1252"},
        {"US-ASCII", "WINDOWS-1252"},
        {"ASCII", "WINDOWS-1252"},
        {"CP1252", "WINDOWS-1252"},
        {"GB2312", "GB18030"},
        {"GBK", "GB18030"},
        {"X-GBK", "GB18030"},
        {"EUC-CN", "GB18030"},
        {"KS_C_5601-1987", "CP949"},
        {"UTF8", "UTF-8"},
    };
    const auto alias = kAliases.find(charset);
    return alias == kAliases.end() ? charset : alias->second;
}

// Bytes in the declared charset as UTF-8. Without a charset, or with one that is not known, valid
// UTF-8 stays and anything else is taken as Windows-1252, which older programs wrote.
std::string FromCharset(const std::string& bytes, const std::string& charset) {
    if (charset.empty())
        return Utf8OrWindows1252(bytes);
    const std::string name = ConverterName(charset);
    if (name == "WINDOWS-1252")
        return Windows1252ToUtf8(bytes);
    std::string converted;
    if (name.empty() || name == "UTF-8" || !ConvertWithIconv(bytes, name, converted))
        return Utf8OrWindows1252(bytes);
    return converted;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(const std::string& text) {
    std::string out;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '=' && at + 2 < text.size() && HexDigit(text[at + 1]) >= 0 &&
            HexDigit(text[at + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[at + 1]) * 16 + HexDigit(text[at + 2]));
            at += 2;
        } else {
            out += text[at];
        }
    }
    return out;
}

// Base64 text; characters outside the alphabet (line breaks, spaces) are skipped, padding ends it.
std::string DecodeBase64(const std::string& text) {
    std::string out;
    uint32_t bits = 0;
    int bitCount = 0;
    for (char ch : text) {
        int value = -1;
        if (ch >= 'A' && ch <= 'Z')
            value = ch - 'A';
        else if (ch >= 'a' && ch <= 'z')
            value = ch - 'a' + 26;
        else if (ch >= '0' && ch <= '9')
            value = ch - '0' + 52;
        else if (ch == '+')
            value = 62;
        else if (ch == '/')
            value = 63;
        else if (ch == '=')
            break;
        if (value < 0)
            continue;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            out += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    return out;
}

// The physical lines, whatever their line ends, as views into the text.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 24 + 1);
    size_t start = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const char ch = text[at];
        if (ch != '\r' && ch != '\n')
            continue;
        lines.push_back(text.substr(start, at - start));
        // CR LF, and the CR CR LF of files that passed twice through a text-mode writer, are one
        // line end.
        if (ch == '\r' && at + 2 < text.size() && text[at + 1] == '\r' && text[at + 2] == '\n')
            at += 2;
        else if (ch == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Where the value of a content line starts: the first colon outside double quotes, npos for none.
size_t ValueColon(std::string_view line) {
    bool quoted = false;
    for (size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else if (line[at] == ':' && !quoted)
            return at;
    }
    return std::string::npos;
}

// Whether the parameters of a content line (the text before its value) hold the word.
bool HeadHas(std::string_view line, std::string_view word) {
    const size_t colon = ValueColon(line);
    return colon != std::string::npos && ContainsNoCase(line.substr(0, colon), word);
}

bool IsCardDelimiter(std::string_view line) {
    const size_t end = line.find_last_not_of(" \t");
    const std::string_view trimmed = end == std::string::npos ? std::string_view() : line.substr(0, end + 1);
    return (trimmed.size() == 11 && StartsWithNoCase(trimmed, "BEGIN:VCARD")) ||
           (trimmed.size() == 9 && StartsWithNoCase(trimmed, "END:VCARD"));
}

// Joins folded lines (a continuation starts with a space or tab), the soft line breaks of
// quoted-printable values (a line ending in '=' goes on in the next one) and the lines of a 2.1
// base64 value (which run on without a leading space until a blank line). A soft break before a
// card's BEGIN or END line is a writer's slip and is dropped, so that the card keeps its end.
template <typename Each> void ForEachUnfoldedLine(std::string_view text, Each each) {
    const std::vector<std::string_view> physical = SplitLines(text);
    // The logical line being joined; handed on once the next one starts.
    std::string logical;
    bool started = false;
    for (size_t at = 0; at < physical.size(); ++at) {
        const std::string_view line = physical[at];
        if (started && !line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            logical += line.substr(1);
        } else {
            if (started)
                each(logical);
            logical.assign(line);
            started = true;
        }
        while (at + 1 < physical.size() && !logical.empty() && logical.back() == '=' &&
               HeadHas(logical, "QUOTED-PRINTABLE")) {
            logical.pop_back();
            if (IsCardDelimiter(physical[at + 1]))
                break;
            logical += physical[++at];
        }
        if (HeadHas(logical, "BASE64") || HeadHas(logical, "ENCODING=B")) {
            while (at + 1 < physical.size() && !physical[at + 1].empty() &&
                   physical[at + 1].find(':') == std::string::npos)
                logical += physical[++at];
        }
    }
    if (started)
        each(logical);
}

std::vector<std::string> SplitOutsideQuotes(const std::string& text, char separator) {
    std::vector<std::string> parts;
    if (text.find('"') == std::string::npos) {
        // Without quotes every separator splits: the parts are copied whole.
        size_t start = 0;
        for (size_t end = text.find(separator); end != std::string::npos; end = text.find(separator, start)) {
            parts.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        parts.push_back(text.substr(start));
        return parts;
    }
    std::string part;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"')
            quoted = !quoted;
        if (ch == separator && !quoted) {
            parts.push_back(part);
            part.clear();
        } else {
            part += ch;
        }
    }
    parts.push_back(part);
    return parts;
}

std::string Unquote(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

// One content line: its upper-case name without group prefix, its parameters and its raw value.
struct ContentLine {
    std::string name;
    std::set<std::string> types; // upper case, from TYPE parameters and 2.1's bare ones
    std::string encoding;        // upper case, empty for none
    std::string charset;         // upper case, empty for none
    int pref = 0;                // 1 most preferred, up to 100; 0 when not marked
    std::string value;
};

int PrefRank(const std::string& text) {
    int rank = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return 1;
        rank = std::min(rank * 10 + (ch - '0'), 100);
    }
    return std::max(rank, 1);
}

bool ParseContentLine(const std::string& line, ContentLine& parsed) {
    const size_t colon = ValueColon(line);
    if (colon == std::string::npos)
        return false;
    parsed = ContentLine();
    parsed.value = line.substr(colon + 1);
    std::vector<std::string> head = SplitOutsideQuotes(line.substr(0, colon), ';');
    std::string name = head[0];
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name = name.substr(dot + 1);
    parsed.name = Upper(name);
    for (size_t at = 1; at < head.size(); ++at) {
        const std::string& parameter = head[at];
        const size_t equals = parameter.find('=');
        if (equals == std::string::npos) {
            const std::string bare = Upper(parameter);
            if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "8BIT" || bare == "7BIT")
                parsed.encoding = bare;
            else if (!bare.empty())
                parsed.types.insert(bare);
            if (bare == "PREF")
                parsed.pref = 1;
            continue;
        }
        const std::string key = Upper(parameter.substr(0, equals));
        const std::string value = Upper(Unquote(parameter.substr(equals + 1)));
        if (key == "TYPE") {
            for (const std::string& type : SplitOutsideQuotes(value, ','))
                if (!type.empty())
                    parsed.types.insert(type);
            if (parsed.types.count("PREF") && parsed.pref == 0)
                parsed.pref = 1;
        } else if (key == "ENCODING") {
            parsed.encoding = value;
        } else if (key == "CHARSET") {
            parsed.charset = value;
        } else if (key == "PREF") {
            parsed.types.insert("PREF");
            parsed.pref = PrefRank(value);
        }
    }
    return true;
}

// The value as UTF-8 text: quoted-printable or base64 decoded, then converted from its charset.
// NUL bytes, which no field can hold, are dropped.
std::string DecodedValue(const ContentLine& line) {
    std::string value = line.value;
    if (line.encoding == "QUOTED-PRINTABLE")
        value = DecodeQuotedPrintable(value);
    else if (line.encoding == "B" || line.encoding == "BASE64")
        value = DecodeBase64(value);
    if (value.find('\0') != std::string::npos)
        value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
    return FromCharset(value, line.charset);
}

// Splits a structured value (N, ADR, ORG) at its unescaped semicolons and resolves the escapes of
// each component.
class ValueDecoder {
public:
    explicit ValueDecoder(bool backslashEscapes) : m_backslashEscapes(backslashEscapes) {}

    std::vector<std::string> Components(const std::string& value) const {
        std::vector<std::string> components;
        std::string component;
        for (size_t at = 0; at < value.size(); ++at) {
            if (value[at] == '\\' && at + 1 < value.size()) {
                component += value[at];
                component += value[++at];
            } else if (value[at] == ';') {
                components.push_back(Text(component));
                component.clear();
            } else {
                component += value[at];
            }
        }
        components.push_back(Text(component));
        return components;
    }

    // 3.0 and 4.0 escape backslash, comma, semicolon and line breaks; 2.1 only the semicolon.
    std::string Text(const std::string& value) const {
        std::string out;
        for (size_t at = 0; at < value.size(); ++at) {
            if (value[at] != '\\' || at + 1 == value.size()) {
                out += value[at];
                continue;
            }
            const char next = value[at + 1];
            if (next == ';') {
                out += ';';
            } else if (!m_backslashEscapes) {
                out += '\\';
                continue;
            } else if (next == 'n' || next == 'N') {
                out += "\r\n";
            } else {
                out += next;
            }
            ++at;
        }
        return out;
    }

private:
    bool m_backslashEscapes;
};

CString Field(std::string text) {
    CString field(std::move(text));
    field.Trim();
    return field;
}

void SetOnce(CString& field, std::string text) {
    if (field.IsEmpty())
        field = Field(std::move(text));
}

std::string Component(const std::vector<std::string>& components, size_t index) {
    return index < components.size() ? components[index] : std::string();
}

// Which slot an address or telephone number was typed for.
enum class Kind { Home, Work, Untyped };

Kind KindOf(const std::set<std::string>& types) {
    if (types.count("WORK"))
        return Kind::Work;
    return types.count("HOME") ? Kind::Home : Kind::Untyped;
}

bool IsReadProperty(const std::string& name) {
    static const std::set<std::string> kRead = {
        "KIND", "X-ADDRESSBOOKSERVER-KIND", "N", "FN", "ORG", "TITLE", "ADR", "TEL", "EMAIL", "URL", "NOTE"};
    return kRead.count(name) != 0;
}

// One contact card as it is being read.
class CardReader {
public:
    void Add(ContentLine&& line) {
        if (line.name == "VERSION")
            m_version = Field(line.value).str();
        m_lines.push_back(std::move(line));
    }
    // Starts the next card, keeping the room the last one took.
    void Clear() {
        m_version = "3.0";
        m_lines.clear();
    }

    // Fills the fresh person from the card; false for a group card or one without any name.
    bool Person(CPerson& person) const {
        const ValueDecoder decoder(m_version != "2.1");
        std::string displayName;
        std::vector<std::pair<Kind, std::vector<std::string>>> addresses;
        bool homePhoneTyped = false;
        int emailRank = 0;
        for (const ContentLine& line : m_lines) {
            if (!IsReadProperty(line.name))
                continue;
            const std::string value = DecodedValue(line);
            if ((line.name == "KIND" || line.name == "X-ADDRESSBOOKSERVER-KIND") &&
                Upper(decoder.Text(value)) == "GROUP")
                return false;
            if (line.name == "N") {
                const std::vector<std::string> name = decoder.Components(value);
                SetOnce(person.m_LName, Component(name, 0));
                SetOnce(person.m_FName, Component(name, 1));
                SetOnce(person.m_Title, Component(name, 3));
            } else if (line.name == "FN") {
                if (displayName.empty())
                    displayName = Field(decoder.Text(value)).str();
            } else if (line.name == "ORG") {
                SetOnce(person.m_Company, Component(decoder.Components(value), 0));
            } else if (line.name == "TITLE") {
                SetOnce(person.m_Position, decoder.Text(value));
            } else if (line.name == "ADR") {
                addresses.emplace_back(KindOf(line.types), decoder.Components(value));
            } else if (line.name == "TEL") {
                StorePhone(person, line.types, decoder.Text(value), homePhoneTyped);
            } else if (line.name == "EMAIL") {
                StoreEmail(person, line.pref, decoder.Text(value), emailRank);
            } else if (line.name == "URL") {
                SetOnce(line.types.count("WORK") ? person.m_WkWebPage : person.m_WebPage,
                        decoder.Text(value));
            } else if (line.name == "NOTE") {
                if (person.m_Notes.IsEmpty())
                    person.m_Notes = decoder.Text(value);
            }
        }
        StoreAddresses(person, addresses);
        if (!person.m_FName.IsEmpty() || !person.m_LName.IsEmpty()) {
            person.BuildDisplayName();
        } else if (!displayName.empty()) {
            person.m_FName = displayName;
            person.m_DisplayName = displayName;
        } else if (!person.m_Email.IsEmpty()) {
            person.m_FName = person.m_Email;
            person.m_DisplayName = person.m_Email;
        }
        return !person.m_DisplayName.IsEmpty();
    }

private:
    // The home address is the first typed HOME, else the first untyped one; the work address the
    // first typed WORK, else the first untyped one the home address did not take.
    static void StoreAddresses(CPerson& person,
                               const std::vector<std::pair<Kind, std::vector<std::string>>>& addresses) {
        const auto first = [&](Kind kind, const std::vector<std::string>* skip) {
            for (const auto& [typed, parts] : addresses)
                if (typed == kind && &parts != skip)
                    return &parts;
            return static_cast<const std::vector<std::string>*>(nullptr);
        };
        const std::vector<std::string>* home = first(Kind::Home, nullptr);
        if (!home)
            home = first(Kind::Untyped, nullptr);
        const std::vector<std::string>* work = first(Kind::Work, nullptr);
        if (!work)
            work = first(Kind::Untyped, home);
        if (home)
            StoreAddress(person, *home, false);
        if (work)
            StoreAddress(person, *work, true);
    }

    // Post office box, extended address, street, locality, region, postal code, country. The
    // extended address (a suite or flat) joins the street so that it is not lost.
    static void StoreAddress(CPerson& person, const std::vector<std::string>& parts, bool work) {
        CString street = Field(Component(parts, 2));
        const CString extended = Field(Component(parts, 1));
        if (!extended.IsEmpty())
            street = street.IsEmpty() ? extended : street + ", " + extended;
        (work ? person.m_WkAddr1 : person.m_Addr1) = street;
        (work ? person.m_WkAddr2 : person.m_Addr2) = Field(Component(parts, 0));
        (work ? person.m_WkCity : person.m_City) = Field(Component(parts, 3));
        (work ? person.m_WkState : person.m_State) = Field(Component(parts, 4));
        (work ? person.m_WkZip : person.m_Zip) = Field(Component(parts, 5));
    }

    // homeTyped tells whether the home phone came from a number typed HOME, which an untyped one
    // never replaces and which replaces an untyped one.
    static void StorePhone(CPerson& person, const std::set<std::string>& types, std::string number,
                           bool& homeTyped) {
        if (StartsWithNoCase(number, "tel:"))
            number = number.substr(4);
        const auto has = [&](const char* type) { return types.count(type) != 0; };
        if (has("CELL")) {
            SetOnce(person.m_CelPhone, number);
        } else if (has("PAGER")) {
            SetOnce(person.m_Pager, number);
        } else if (has("FAX")) {
            if (has("HOME"))
                SetOnce(person.m_HmFax, number);
            else
                person.m_WkFax = Field(number); // of the two business faxes the later one wins
        } else if (KindOf(types) == Kind::Work) {
            SetOnce(person.m_WkPhone, number);
        } else if (KindOf(types) == Kind::Home) {
            if (!homeTyped && !Field(number).IsEmpty()) {
                person.m_HmPhone = Field(number);
                homeTyped = true;
            }
        } else {
            SetOnce(person.m_HmPhone, number);
        }
    }

    // Only an address with "@" is kept; the most preferred one wins, the first of equal rank.
    // rank holds the rank of the kept address (0 for none, unmarked ones rank below 100).
    static void StoreEmail(CPerson& person, int pref, std::string address, int& rank) {
        if (StartsWithNoCase(address, "mailto:"))
            address = address.substr(7);
        const CString email = Field(std::move(address));
        if (email.Find('@') < 0)
            return;
        const int candidate = pref > 0 ? pref : 101;
        if (rank == 0 || candidate < rank) {
            person.m_Email = email;
            rank = candidate;
        }
    }

    std::string m_version = "3.0";
    std::vector<ContentLine> m_lines;
};

} // namespace

CWabImporter::~CWabImporter() {
    Clear();
}

int CWabImporter::Open(const char* path) {
    Clear();
    m_problem = Problem::CannotRead;
    std::error_code error;
    if (!path || std::filesystem::is_directory(path, error))
        return 2;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 2;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return 2;
    if (size > kMaxFileSize) {
        m_problem = Problem::TooLarge;
        return 2;
    }
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size))
        return 2;
    return OpenText(std::move(text));
}

int CWabImporter::OpenText(std::string text) {
    Clear();
    bool fromUtf16 = false;
    m_text = UnicodeTextToUtf8(std::move(text), fromUtf16);
    m_opened = true;
    m_problem = Problem::None;
    return 0;
}

int CWabImporter::Read() {
    m_persons.clear();
    const int read = Read([this](CPerson& person) {
        m_persons.push_back(std::move(person));
        return true;
    });
    return read == -1 ? -1 : static_cast<int>(m_persons.size());
}

int CWabImporter::Read(const std::function<bool(CPerson&)>& each) {
    if (!m_opened) {
        m_problem = Problem::CannotRead;
        return -1;
    }
    bool completedCard = false;
    // 1 inside a card, 2 inside an agent card nested in it (2.1 writes the agent's card after an
    // "AGENT:" line or on it); only agent cards nest.
    int depth = 0;
    bool agentFollows = false;
    CardReader card;
    bool stopped = false;
    int persons = 0;
    ContentLine line;
    ForEachUnfoldedLine(m_text, [&](const std::string& text) {
        if (stopped || !ParseContentLine(text, line))
            return;
        // Only the card delimiters and agents need the value in upper case.
        const bool delimiterOrAgent = line.name == "BEGIN" || line.name == "END" || line.name == "AGENT";
        const std::string value = delimiterOrAgent ? Upper(Field(line.value).str()) : std::string();
        const bool agentOnLine = depth > 0 && line.name == "AGENT" &&
                                 StartsWithNoCase(value, "BEGIN:VCARD") &&
                                 value.find("END:VCARD") == std::string::npos;
        if (line.name == "BEGIN" && value == "VCARD") {
            if (depth > 0 && agentFollows) {
                ++depth;
            } else {
                // A card still open here lost its END:VCARD: it is dropped, this one is read.
                depth = 1;
                card.Clear();
            }
        } else if (agentOnLine) {
            ++depth;
        } else if (line.name == "END" && value == "VCARD" && depth > 0) {
            if (--depth == 0) {
                completedCard = true;
                CPerson person;
                if (card.Person(person)) {
                    ++persons;
                    stopped = !each(person);
                }
            }
        }
        agentFollows = depth > 0 && line.name == "AGENT" && value.empty();
        // The line is parsed afresh for the next one, so the card may take it over.
        if (depth == 1 && !delimiterOrAgent)
            card.Add(std::move(line));
    });
    m_problem = completedCard ? Problem::None : Problem::NoContacts;
    return completedCard ? persons : -1;
}

void CWabImporter::Clear() {
    m_persons.clear();
    m_text.clear();
    m_opened = false;
    m_problem = Problem::None;
}
