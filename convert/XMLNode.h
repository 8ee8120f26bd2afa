#pragma once

#include "platform/core/CString.h"

#include <vector>

class XMLNode;

// One name="value" pair of an element, owned by the element.
class XMLAttribute {
public:
    XMLAttribute(CString name, CString value) : m_name(std::move(name)), m_value(std::move(value)) {}

    const CString& getName() const { return m_name; }
    const CString& getValue() const { return m_value; }

private:
    CString m_name;
    CString m_value;
};

// A node of the parsed tree. Every node is owned by its parent element; the root by the caller of
// SimpleXMLParser::parse.
class XMLNode {
public:
    XMLNode() = default;
    explicit XMLNode(CString name) : m_name(std::move(name)) {}
    virtual ~XMLNode() = default;
    XMLNode(const XMLNode&) = delete;
    XMLNode& operator=(const XMLNode&) = delete;

    virtual bool isNull() const { return false; }
    // Appends a child and takes ownership of it; false (and no ownership taken) when the node
    // cannot have children.
    virtual bool addChild(XMLNode* child) = 0;
    // The children in document order, or nullptr when there are none.
    virtual const std::vector<XMLNode*>* children() const = 0;
    // The index-th child (counting from 0) named `name`, or the null node.
    virtual const XMLNode& findChild(const char* name, int index = 0) const = 0;
    // The attributes in document order, or nullptr when there are none.
    virtual const std::vector<XMLAttribute*>* attributes() const = 0;

    const CString& getName() const { return m_name; }
    const CString& getText() const { return m_text; }
    void appendText(const CString& text) { m_text += text; }
    void appendText(const char* text, int length) { m_text.Append(text, length); }
    void appendChar(char ch) { m_text += ch; }

private:
    CString m_name;
    CString m_text;
};

// A node that has neither attributes nor children.
class XMLLeaf : public XMLNode {
public:
    using XMLNode::XMLNode;

    bool addChild(XMLNode*) override { return false; }
    const std::vector<XMLNode*>* children() const override { return nullptr; }
    const XMLNode& findChild(const char* name, int index = 0) const override;
    const std::vector<XMLAttribute*>* attributes() const override { return nullptr; }
};

// A comment inside an element: named "!", its text is what stood between the comment markers.
class XMLComment : public XMLLeaf {
public:
    XMLComment() : XMLLeaf("!") {}
};

// The one node returned where a looked-up child does not exist.
class XMLNullNode : public XMLLeaf {
public:
    bool isNull() const override { return true; }
    static const XMLNullNode& instance();
};

class XMLElement : public XMLNode {
public:
    using XMLNode::XMLNode;
    ~XMLElement() override;

    bool addChild(XMLNode* child) override;
    const std::vector<XMLNode*>* children() const override;
    const XMLNode& findChild(const char* name, int index = 0) const override;
    const std::vector<XMLAttribute*>* attributes() const override;

    // Takes ownership of the attribute.
    void addAttribute(XMLAttribute* attribute);

private:
    std::vector<XMLAttribute*> m_attributes;
    std::vector<XMLNode*> m_children;
};
