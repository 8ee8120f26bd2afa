#pragma once

#include "platform/core/CString.h"

#include <memory>
#include <memory_resource>
#include <new>
#include <utility>
#include <vector>

class XMLNode;

// One name="value" pair of an element, owned by the element.
class XMLAttribute {
public:
    XMLAttribute(CString name, CString value) : m_name(std::move(name)), m_value(std::move(value)) {}

    const CString& getName() const { return m_name; }
    const CString& getValue() const { return m_value; }

private:
    friend class XMLElement;
    friend class XMLNodePool;

    CString m_name;
    CString m_value;
    // Made in a parse's node pool: its owner destroys it in place, the pool frees the memory.
    bool m_pooled = false;
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
    virtual const std::pmr::vector<XMLNode*>* children() const = 0;
    // The index-th child (counting from 0) named `name`, or the null node.
    virtual const XMLNode& findChild(const char* name, int index = 0) const = 0;
    // The attributes in document order, or nullptr when there are none.
    virtual const std::pmr::vector<XMLAttribute*>* attributes() const = 0;

    const CString& getName() const { return m_name; }
    const CString& getText() const { return m_text; }
    void appendText(const CString& text) { m_text += text; }
    void appendText(const char* text, int length) { m_text.Append(text, length); }
    void appendChar(char ch) { m_text += ch; }

private:
    friend class XMLElement;
    friend class XMLNodePool;

    CString m_name;
    CString m_text;
    // Made in a parse's node pool: its owner destroys it in place, the pool frees the memory.
    bool m_pooled = false;
};

// A node that has neither attributes nor children.
class XMLLeaf : public XMLNode {
public:
    using XMLNode::XMLNode;

    bool addChild(XMLNode*) override { return false; }
    const std::pmr::vector<XMLNode*>* children() const override { return nullptr; }
    const XMLNode& findChild(const char* name, int index = 0) const override;
    const std::pmr::vector<XMLAttribute*>* attributes() const override { return nullptr; }
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

// The memory of the nodes and attributes below one parsed root: many small blocks carved out of a
// few large ones and released together with the root, instead of one heap block per node, attribute
// and child list.
class XMLNodePool {
public:
    XMLNodePool() = default;
    // A pool that starts in `size` bytes of its own and keeps them across release().
    explicit XMLNodePool(size_t size)
        : m_first(std::make_unique<char[]>(size)), m_memory(m_first.get(), size) {}

    std::pmr::memory_resource* resource() { return &m_memory; }

    // Builds a node or attribute in the pool; its owner destroys it through XMLElement's rules.
    template <typename T, typename... Args> T* make(Args&&... args) {
        void* memory = m_memory.allocate(sizeof(T), alignof(T));
        T* made = new (memory) T(std::forward<Args>(args)...);
        made->m_pooled = true;
        return made;
    }

    // Frees every block at once; the nodes made in them must have been destroyed.
    void release() { m_memory.release(); }

private:
    std::unique_ptr<char[]> m_first;
    std::pmr::monotonic_buffer_resource m_memory;
};

class XMLElement : public XMLNode {
public:
    explicit XMLElement(CString name) : XMLNode(std::move(name)) {}
    // An element whose child and attribute lists live in a pool (made by the parser).
    XMLElement(CString name, std::pmr::memory_resource* memory)
        : XMLNode(std::move(name)), m_attributes(memory), m_children(memory) {}
    // The root of a parsed tree: it keeps the pool of its descendants and frees it last.
    XMLElement(CString name, std::unique_ptr<XMLNodePool> pool)
        : XMLNode(std::move(name)), m_pool(std::move(pool)), m_attributes(m_pool->resource()),
          m_children(m_pool->resource()) {}
    ~XMLElement() override;

    bool addChild(XMLNode* child) override;
    const std::pmr::vector<XMLNode*>* children() const override;
    const XMLNode& findChild(const char* name, int index = 0) const override;
    const std::pmr::vector<XMLAttribute*>* attributes() const override;

    // Takes ownership of the attribute.
    void addAttribute(XMLAttribute* attribute);

private:
    // Declared first so that it is destroyed after the lists that draw on it.
    std::unique_ptr<XMLNodePool> m_pool;
    std::pmr::vector<XMLAttribute*> m_attributes;
    std::pmr::vector<XMLNode*> m_children;
};
