#pragma once

#include "convert/XMLNode.h"
#include "platform/core/CString.h"

#include <cstddef>
#include <memory>

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

    // Follows a document while it is parsed, for readers that take it in element by element instead
    // of keeping the whole tree.
    class Handler {
    public:
        virtual ~Handler() = default;
        // The start tag of an element above the handed-out depth has been read: its name and
        // attributes are known, its content is not.
        virtual void startElement(const XMLElement& element, int depth) = 0;
        // An element at the handed-out depth has been read whole, with everything below it. It is
        // released after the call and is not part of the returned tree.
        virtual void element(const XMLElement& element) = 0;
    };

    SimpleXMLParser();
    virtual ~SimpleXMLParser();

    // Parses `length` bytes at `text` and returns the root element, which the caller owns with its
    // whole tree. Never reads past text + length. Throws Exception on a syntax error.
    XMLElement* parse(const char* text, size_t length);
    // The same, telling `handler` of every start tag above `handedDepth` (the root is at depth 1)
    // and handing it each element at that depth as soon as it ends; those elements are left out of
    // the tree, so their memory is used again for the next one. The syntax and the errors are
    // exactly those of the plain parse.
    XMLElement* parse(const char* text, size_t length, Handler& handler, int handedDepth);

    // The version text of the XML declaration ("1.0" when there is none).
    const CString& version() const { return m_version; }

private:
    struct Position {
        const char* at;
        int line;
        int column;
    };

    char readChar();
    template <typename Plain> void skipPlain(Plain plain);
    void stepBack();
    Position save() const { return {m_pos, m_line, m_column}; }
    void restore(const Position& position);
    bool lookAhead(const char* literal, bool ignoreCase = false);
    [[noreturn]] void fail() const;

    bool skipWhitespace();
    bool readName(CString& name);
    void expect(char ch);
    char readQuote();
    void parseDeclaration();
    void skipMisc();
    XMLElement* parseDocument(const char* text, size_t length);
    void parseChild(XMLElement& parent, int depth);
    void parseHandedElement(CString name, int depth);
    void parseElementBody(XMLElement& element, int depth);
    void parseContent(XMLElement& element, int depth);
    CString parseAttributeValue();
    char parseReference();
    CString parseComment();
    CString parseCData();

    // The pool that new nodes go to: the root's, or the one of the element being handed out.
    XMLNodePool* m_pool = nullptr;
    // Holds one handed-out element at a time; made at the first one.
    std::unique_ptr<XMLNodePool> m_handedPool;
    Handler* m_handler = nullptr;
    int m_handedDepth = 0;
    const char* m_start = nullptr;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    // Where the last readChar started, so stepBack can undo exactly one read (stepBack only ever
    // follows a readChar).
    Position m_lastRead{};
    int m_line = 1;
    int m_column = 1;
    CString m_version = "1.0";
};
