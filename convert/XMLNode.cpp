#include "convert/XMLNode.h"

#include <cstring>

const XMLNode& XMLLeaf::findChild(const char*, int) const {
    return XMLNullNode::instance();
}

const XMLNullNode& XMLNullNode::instance() {
    static const XMLNullNode nullNode;
    return nullNode;
}

// Pooled nodes and attributes are only destroyed here; their memory goes with the root's pool.
XMLElement::~XMLElement() {
    for (XMLAttribute* attribute : m_attributes) {
        if (attribute->m_pooled)
            attribute->~XMLAttribute();
        else
            delete attribute;
    }
    for (XMLNode* child : m_children) {
        if (child->m_pooled)
            child->~XMLNode();
        else
            delete child;
    }
}

bool XMLElement::addChild(XMLNode* child) {
    m_children.push_back(child);
    return true;
}

const std::pmr::vector<XMLNode*>* XMLElement::children() const {
    return m_children.empty() ? nullptr : &m_children;
}

const XMLNode& XMLElement::findChild(const char* name, int index) const {
    for (const XMLNode* child : m_children) {
        if (std::strcmp(child->getName(), name) == 0 && index-- == 0)
            return *child;
    }
    return XMLNullNode::instance();
}

const std::pmr::vector<XMLAttribute*>* XMLElement::attributes() const {
    return m_attributes.empty() ? nullptr : &m_attributes;
}

void XMLElement::addAttribute(XMLAttribute* attribute) {
    m_attributes.push_back(attribute);
}
