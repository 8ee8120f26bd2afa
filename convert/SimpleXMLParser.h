#pragma once

#include "convert/XMLNode.h"
#include "platform/core/CString.h"

#include <cstddef>

// A small non-validating XML parser for the version-1 data files: an optional XML declaration,
// comments, elements with attributes, character data, CDATA sections, the five predefined entities
// and numeric character references. Text is taken byte for byte; encodings are not interpreted.
class SimpleXMLParser {
public:
    // Thrown on the first syntax error, with the reader's line and column (both from 1) at that moment.
    struct Exception {
        int line;
        int column;
    };

    // Elements nested deeper than this are rejected like a syntax error, so hostile input cannot
    // exhaust the stack. Version-1 files nest only a few levels.
    static constexpr int kMaxDepth = 256;

    SimpleXMLParser() = default;
    virtual ~SimpleXMLParser() = default;

    // Parses `length` bytes at `text` and returns the root element, which the caller owns with its
    // whole tree. Never reads past text + length. Throws Exception on a syntax error.
    XMLElement* parse(const char* text, size_t length);

    // The version text of the XML declaration ("1.0" when there is none).
    const CString& version() const { return m_version; }

private:
    struct Position {
        const char* at;
        int line;
        int column;
    };

    char readChar();
    void stepBack();
    Position save() const { return {m_pos, m_line, m_column}; }
    void restore(const Position& position);
    bool lookAhead(const char* literal, bool ignoreCase = false);
    [[noreturn]] void fail() const;

    int skipWhitespace();
    bool readName(CString& name);
    void expect(char ch);
    char readQuote();
    void parseDeclaration();
    void skipMisc();
    XMLElement* parseElement(int depth);
    void parseContent(XMLElement& element, int depth);
    CString parseAttributeValue();
    char parseReference();
    CString parseComment();
    CString parseCData();

    const char* m_start = nullptr;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    // Where the last readChar started, so stepBack can undo exactly one read.
    Position m_lastRead{};
    int m_line = 1;
    int m_column = 1;
    CString m_version = "1.0";
};
