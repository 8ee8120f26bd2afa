#include "convert/SimpleXMLParser.h"

#include <cstring>
#include <memory>

namespace {

constexpr char kNul = '\0';

bool IsWhitespace(char ch) {
    return ch == '\t' || ch == '\n' || ch == '\r' || ch == ' ';
}
bool IsLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}
bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}
bool IsHexDigit(char ch) {
    return IsDigit(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}
bool IsNameStart(char ch) {
    return IsLetter(ch) || ch == '_' || ch == ':';
}
bool IsNameChar(char ch) {
    return IsLetter(ch) || IsDigit(ch) || ch == '-' || ch == ':' || ch == '.' || ch == '_';
}
bool IsCDataChar(char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return ch == '\t' || ch == '\n' || ch == '\r' || (byte >= 32 && byte <= 127);
}
char AsciiLower(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}
int HexValue(char ch) {
    if (IsDigit(ch))
        return ch - '0';
    return AsciiLower(ch) - 'a' + 10;
}

struct Entity {
    const char* name;
    char byte;
};
constexpr Entity kEntities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};

} // namespace

XMLElement* SimpleXMLParser::parse(const char* text, size_t length) {
    m_start = text;
    m_pos = text;
    m_end = text + length;
    m_line = 1;
    m_column = 1;
    m_lastRead = save();
    m_version = "1.0";

    if (lookAhead("<?xml", true))
        parseDeclaration();
    skipMisc();
    if (readChar() != '<')
        fail();
    std::unique_ptr<XMLElement> root(parseElement(1));
    skipMisc();
    return root.release();
}

// Yields the next byte, or NUL at the end (without moving). A carriage return is dropped and the
// byte after it taken in its place, so CR LF reads as one LF and a lone CR vanishes.
char SimpleXMLParser::readChar() {
    m_lastRead = save();
    if (m_pos < m_end && *m_pos == '\r')
        ++m_pos;
    if (m_pos >= m_end)
        return kNul;
    const char ch = *m_pos++;
    if (ch == '\n') {
        ++m_line;
        m_column = 1;
    } else {
        ++m_column;
    }
    return ch;
}

// Undoes the last read exactly, counts included, so a re-read character is not counted twice. At the
// end of the input the read consumed nothing; a NUL byte inside the text is read again by the next
// rule, which rejects it.
void SimpleXMLParser::stepBack() {
    restore(m_lastRead);
}

void SimpleXMLParser::restore(const Position& position) {
    m_pos = position.at;
    m_line = position.line;
    m_column = position.column;
}

bool SimpleXMLParser::lookAhead(const char* literal, bool ignoreCase) {
    const Position before = save();
    for (const char* expected = literal; *expected; ++expected) {
        const char ch = readChar();
        const bool same = ignoreCase ? AsciiLower(ch) == AsciiLower(*expected) : ch == *expected;
        if (!same) {
            restore(before);
            return false;
        }
    }
    return true;
}

void SimpleXMLParser::fail() const {
    throw Exception{m_line, m_column};
}

// Returns how many whitespace characters were skipped.
int SimpleXMLParser::skipWhitespace() {
    int skipped = 0;
    for (;;) {
        const char ch = readChar();
        if (!IsWhitespace(ch)) {
            stepBack();
            return skipped;
        }
        ++skipped;
    }
}

// Reads a name (a name-start character, then name characters); false, with nothing consumed, when
// the next character cannot start a name.
bool SimpleXMLParser::readName(CString& name) {
    name.Empty();
    char ch = readChar();
    if (!IsNameStart(ch)) {
        stepBack();
        return false;
    }
    do {
        name += ch;
        ch = readChar();
    } while (IsNameChar(ch));
    stepBack();
    return true;
}

void SimpleXMLParser::expect(char ch) {
    if (readChar() != ch)
        fail();
}

char SimpleXMLParser::readQuote() {
    const char quote = readChar();
    if (quote != '\'' && quote != '"')
        fail();
    return quote;
}

// After "<?xml": version, optional encoding, "?>".
void SimpleXMLParser::parseDeclaration() {
    if (skipWhitespace() == 0 || !lookAhead("version"))
        fail();
    skipWhitespace();
    expect('=');
    skipWhitespace();
    const char quote = readQuote();
    CString version;
    for (char ch = readChar(); ch != quote; ch = readChar()) {
        if (!IsNameChar(ch))
            fail();
        version += ch;
    }
    if (version.IsEmpty())
        fail();
    m_version = version;

    if (skipWhitespace() > 0 && lookAhead("encoding")) {
        skipWhitespace();
        expect('=');
        skipWhitespace();
        const char encodingQuote = readQuote();
        if (!IsLetter(readChar()))
            fail();
        for (char ch = readChar(); ch != encodingQuote; ch = readChar()) {
            if (!IsNameChar(ch))
                fail();
        }
        skipWhitespace();
    }
    if (!lookAhead("?>"))
        fail();
}

// Whitespace and comments around the root element, discarded.
void SimpleXMLParser::skipMisc() {
    for (;;) {
        skipWhitespace();
        if (!lookAhead("<!--"))
            return;
        parseComment();
    }
}

// After "<": the element's name, attributes and content up to its end tag.
XMLElement* SimpleXMLParser::parseElement(int depth) {
    if (depth > kMaxDepth)
        fail();
    CString name;
    if (!readName(name))
        fail();
    auto element = std::make_unique<XMLElement>(name);

    for (;;) {
        if (skipWhitespace() == 0)
            break;
        CString attributeName;
        if (!readName(attributeName))
            break;
        skipWhitespace();
        expect('=');
        skipWhitespace();
        element->addAttribute(new XMLAttribute(attributeName, parseAttributeValue()));
    }

    const char ch = readChar();
    if (ch == '/') {
        expect('>');
        return element.release();
    }
    if (ch != '>')
        fail();
    parseContent(*element, depth);
    return element.release();
}

void SimpleXMLParser::parseContent(XMLElement& element, int depth) {
    const char* textStart = m_pos;
    auto flushText = [&](const char* textEnd) {
        if (textEnd > textStart)
            element.appendText(textStart, static_cast<int>(textEnd - textStart));
    };
    for (;;) {
        if (lookAhead("]]>"))
            fail();
        const char ch = readChar();
        if (ch == kNul)
            fail();
        const char* itemStart = m_pos - 1;
        if (ch == '&') {
            flushText(itemStart);
            element.appendChar(parseReference());
            textStart = m_pos;
            continue;
        }
        if (ch != '<')
            continue;

        flushText(itemStart);
        stepBack();
        if (lookAhead("</")) {
            CString endName;
            if (!readName(endName) || endName != element.getName())
                fail();
            skipWhitespace();
            expect('>');
            return;
        }
        if (lookAhead("<!--")) {
            auto comment = std::make_unique<XMLComment>();
            comment->appendText(parseComment());
            if (!element.addChild(comment.get()))
                fail();
            comment.release();
        } else if (lookAhead("<![CDATA[")) {
            element.appendText(parseCData());
        } else {
            readChar();
            std::unique_ptr<XMLElement> child(parseElement(depth + 1));
            if (!element.addChild(child.get()))
                fail();
            child.release();
        }
        textStart = m_pos;
    }
}

// A quoted value with its references resolved; the other quote character is ordinary.
CString SimpleXMLParser::parseAttributeValue() {
    const char quote = readQuote();
    CString value;
    const char* runStart = m_pos;
    for (;;) {
        const char ch = readChar();
        if (ch == kNul || ch == '<')
            fail();
        const char* charStart = m_pos - 1;
        if (ch == quote || ch == '&') {
            if (charStart > runStart)
                value.Append(runStart, static_cast<int>(charStart - runStart));
            if (ch == quote)
                return value;
            value += parseReference();
            runStart = m_pos;
        }
    }
}

// After "&": a numeric reference ("#" decimal or "#x" hex digits) or a predefined entity, then ";".
char SimpleXMLParser::parseReference() {
    char ch = readChar();
    if (ch == '#') {
        unsigned value = 0;
        int digits = 0;
        ch = readChar();
        if (ch == 'x') {
            for (ch = readChar(); IsHexDigit(ch); ch = readChar(), ++digits)
                value = (value * 16 + static_cast<unsigned>(HexValue(ch))) % 256;
        } else {
            for (; IsDigit(ch); ch = readChar(), ++digits)
                value = (value * 10 + static_cast<unsigned>(ch - '0')) % 256;
        }
        if (digits == 0 || ch != ';')
            fail();
        return static_cast<char>(value);
    }
    stepBack();
    CString name;
    if (!readName(name))
        fail();
    expect(';');
    for (const Entity& entity : kEntities) {
        if (name == entity.name)
            return entity.byte;
    }
    fail();
}

// After "<!--": the text up to "--", which must be followed by ">".
CString SimpleXMLParser::parseComment() {
    const char* textStart = m_pos;
    for (;;) {
        const char* textEnd = m_pos;
        if (lookAhead("--")) {
            expect('>');
            return CString(textStart, static_cast<int>(textEnd - textStart));
        }
        if (readChar() == kNul)
            fail();
    }
}

// After "<![CDATA[": the text up to "]]>"; only tab, line ends and ASCII 32-127 may stand inside.
CString SimpleXMLParser::parseCData() {
    const char* textStart = m_pos;
    for (;;) {
        const char* textEnd = m_pos;
        if (lookAhead("]]>"))
            return CString(textStart, static_cast<int>(textEnd - textStart));
        if (!IsCDataChar(readChar()))
            fail();
    }
}
