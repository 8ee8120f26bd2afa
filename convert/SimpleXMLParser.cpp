#include "convert/SimpleXMLParser.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr char kNul = '\0';

constexpr bool IsWhitespace(char ch) {
    return ch == '\t' || ch == '\n' || ch == '\r' || ch == ' ';
}
constexpr bool IsLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}
constexpr bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}
constexpr bool IsHexDigit(char ch) {
    return IsDigit(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}
constexpr bool IsNameStart(char ch) {
    return IsLetter(ch) || ch == '_' || ch == ':';
}
constexpr bool IsNameChar(char ch) {
    return IsLetter(ch) || IsDigit(ch) || ch == '-' || ch == ':' || ch == '.' || ch == '_';
}
constexpr bool IsCDataChar(char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return ch == '\t' || ch == '\n' || ch == '\r' || (byte >= 32 && byte <= 127);
}
constexpr char AsciiLower(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}
constexpr int HexValue(char ch) {
    if (IsDigit(ch))
        return ch - '0';
    return AsciiLower(ch) - 'a' + 10;
}

// Bytes that the reading rules take one by one without any effect but moving on: the scanners below
// take runs of them in one go. A carriage return is never among them, since the reader drops it and
// takes the byte after it in its place; nor is the NUL byte, which every rule rejects.
enum PlainKind : unsigned char {
    kPlainText = 1,    // character data: not "<", "&", "]" (a possible "]]>")
    kPlainSpace = 2,   // whitespace
    kPlainValue = 4,   // attribute values, the quotes aside: not "<" or "&"
    kPlainComment = 8, // comment text: not "-" (a possible "--")
    kPlainCData = 16,  // CDATA text: CDATA characters but "]" (a possible "]]>")
};

struct PlainTable {
    unsigned char kinds[256] = {};
    constexpr PlainTable() {
        for (int byte = 1; byte < 256; ++byte) {
            const char ch = static_cast<char>(byte);
            if (ch == '\r')
                continue;
            unsigned char kind = 0;
            if (ch != '<' && ch != '&' && ch != ']')
                kind |= kPlainText;
            if (ch == ' ' || ch == '\t' || ch == '\n')
                kind |= kPlainSpace;
            if (ch != '<' && ch != '&')
                kind |= kPlainValue;
            if (ch != '-')
                kind |= kPlainComment;
            if (IsCDataChar(ch) && ch != ']')
                kind |= kPlainCData;
            kinds[byte] = kind;
        }
    }
    bool is(char ch, PlainKind kind) const { return (kinds[static_cast<unsigned char>(ch)] & kind) != 0; }
};
constexpr PlainTable kPlain;

struct Entity {
    const char* name;
    char byte;
};
constexpr Entity kEntities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};

} // namespace

SimpleXMLParser::SimpleXMLParser() = default;
SimpleXMLParser::~SimpleXMLParser() = default;

XMLElement* SimpleXMLParser::parse(const char* text, size_t length) {
    m_handler = nullptr;
    m_handedDepth = 0;
    return parseDocument(text, length);
}

XMLElement* SimpleXMLParser::parse(const char* text, size_t length, Handler& handler, int handedDepth) {
    m_handler = &handler;
    m_handedDepth = std::max(handedDepth, 2);
    return parseDocument(text, length);
}

XMLElement* SimpleXMLParser::parseDocument(const char* text, size_t length) {
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
    auto pool = std::make_unique<XMLNodePool>();
    m_pool = pool.get();
    CString name;
    if (!readName(name))
        fail();
    std::unique_ptr<XMLElement> root(new XMLElement(std::move(name), std::move(pool)));
    parseElementBody(*root, 1);
    m_pool = nullptr;
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

// Moves over the run of bytes that `plain` accepts, counting lines and columns as readChar would for
// each of them. Such bytes are never carriage returns, so the run is taken as it stands.
template <typename Plain> void SimpleXMLParser::skipPlain(Plain plain) {
    const char* at = m_pos;
    const char* lineStart = nullptr;
    while (at < m_end && plain(*at)) {
        if (*at == '\n') {
            ++m_line;
            lineStart = at + 1;
        }
        ++at;
    }
    m_column = lineStart ? 1 + static_cast<int>(at - lineStart) : m_column + static_cast<int>(at - m_pos);
    m_pos = at;
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
    if (!ignoreCase) {
        // Without a carriage return in the bytes compared the answer is plain from the bytes
        // themselves (the literals hold no line feed); a failed look-ahead moves nothing.
        if (m_pos < m_end && *m_pos != '\r' && *m_pos != *literal)
            return false;
        const size_t length = std::strlen(literal);
        const size_t available = std::min(length, static_cast<size_t>(m_end - m_pos));
        if (available == 0)
            return false;
        if (!std::memchr(m_pos, '\r', available)) {
            if (available < length || std::memcmp(m_pos, literal, length) != 0)
                return false;
            m_pos += length;
            m_column += static_cast<int>(length);
            m_lastRead = {m_pos - 1, m_line, m_column - 1};
            return true;
        }
    }
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

// True when at least one whitespace character was skipped.
bool SimpleXMLParser::skipWhitespace() {
    const char* start = m_pos;
    skipPlain([](char ch) { return kPlain.is(ch, kPlainSpace); });
    bool skipped = m_pos != start;
    if (m_pos >= m_end || *m_pos != '\r')
        return skipped;
    for (;;) {
        const char ch = readChar();
        if (!IsWhitespace(ch)) {
            stepBack();
            return skipped;
        }
        skipped = true;
    }
}

// Reads a name (a name-start character, then name characters); false, with nothing consumed, when
// the next character cannot start a name.
bool SimpleXMLParser::readName(CString& name) {
    const char* start = m_pos;
    if (start < m_end && IsNameStart(*start)) {
        const char* at = start + 1;
        while (at < m_end && IsNameChar(*at))
            ++at;
        name.str().assign(start, at);
        m_column += static_cast<int>(at - start);
        m_pos = at;
        if (at == m_end || *at != '\r')
            return true;
        // The reader drops the carriage return, so the name goes on with the byte after it.
        for (;;) {
            const char ch = readChar();
            if (!IsNameChar(ch)) {
                stepBack();
                return true;
            }
            name += ch;
        }
    }
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
    if (!skipWhitespace() || !lookAhead("version"))
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

    if (skipWhitespace() && lookAhead("encoding")) {
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

// After "<" inside `parent`: the child element, made in the pool and handed to the parent before its
// content is read, so that a syntax error anywhere releases it with the rest of the tree.
void SimpleXMLParser::parseChild(XMLElement& parent, int depth) {
    if (depth > kMaxDepth)
        fail();
    CString name;
    if (!readName(name))
        fail();
    if (m_handler && depth == m_handedDepth) {
        parseHandedElement(std::move(name), depth);
        return;
    }
    XMLElement* child = m_pool->make<XMLElement>(std::move(name), m_pool->resource());
    if (!parent.addChild(child)) {
        child->~XMLElement();
        fail();
    }
    parseElementBody(*child, depth);
}

// An element at the handed-out depth: built in a pool of its own, handed to the handler, then
// destroyed and its pool emptied for the next one, also when a syntax error ends the parse.
void SimpleXMLParser::parseHandedElement(CString name, int depth) {
    constexpr size_t kHandedPoolSize = 64 * 1024;
    if (!m_handedPool)
        m_handedPool = std::make_unique<XMLNodePool>(kHandedPoolSize);
    struct Release {
        SimpleXMLParser& parser;
        XMLNodePool* treePool;
        XMLElement* element = nullptr;
        ~Release() {
            if (element)
                element->~XMLElement();
            parser.m_handedPool->release();
            parser.m_pool = treePool;
        }
    } release{*this, m_pool};
    m_pool = m_handedPool.get();
    release.element = m_pool->make<XMLElement>(std::move(name), m_pool->resource());
    parseElementBody(*release.element, depth);
    m_handler->element(*release.element);
}

// After the element's name: its attributes and content up to its end tag.
void SimpleXMLParser::parseElementBody(XMLElement& element, int depth) {
    for (;;) {
        if (!skipWhitespace())
            break;
        CString attributeName;
        if (!readName(attributeName))
            break;
        skipWhitespace();
        expect('=');
        skipWhitespace();
        CString value = parseAttributeValue();
        element.addAttribute(m_pool->make<XMLAttribute>(std::move(attributeName), std::move(value)));
    }
    if (m_handler && depth < m_handedDepth)
        m_handler->startElement(element, depth);

    const char ch = readChar();
    if (ch == '/') {
        expect('>');
        return;
    }
    if (ch != '>')
        fail();
    parseContent(element, depth);
}

void SimpleXMLParser::parseContent(XMLElement& element, int depth) {
    const char* textStart = m_pos;
    auto flushText = [&](const char* textEnd) {
        if (textEnd > textStart)
            element.appendText(textStart, static_cast<int>(textEnd - textStart));
    };
    for (;;) {
        skipPlain([](char ch) { return kPlain.is(ch, kPlainText); });
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
            CString text = parseComment();
            XMLComment* comment = m_pool->make<XMLComment>();
            comment->appendText(text);
            if (!element.addChild(comment)) {
                comment->~XMLComment();
                fail();
            }
        } else if (lookAhead("<![CDATA[")) {
            element.appendText(parseCData());
        } else {
            readChar();
            parseChild(element, depth + 1);
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
        skipPlain([quote](char ch) { return ch != quote && kPlain.is(ch, kPlainValue); });
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
        skipPlain([](char ch) { return kPlain.is(ch, kPlainComment); });
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
        skipPlain([](char ch) { return kPlain.is(ch, kPlainCData); });
        const char* textEnd = m_pos;
        if (lookAhead("]]>"))
            return CString(textStart, static_cast<int>(textEnd - textStart));
        if (!IsCDataChar(readChar()))
            fail();
    }
}
