#include "convert/XMLNode.h"

#include <cstring>

const XMLNode& XMLLeaf::findChild(const char*, int) const {
    return XMLNullNode::instance();
}

const XMLNullNode& XMLNullNode::instance() {
    static const XMLNullNode nullNode;
    return nullNode;
}

XMLElement::~XMLElement() {
    for (XMLAttribute* attribute : m_attributes)
        delete attribute;
    for (XMLNode* child : m_children)
        delete child;
}

bool XMLElement::addChild(XMLNode* child) {
    m_children.push_back(child);
    return true;
}

const std::vector<XMLNode*>* XMLElement::children() const {
    return m_children.empty() ? nullptr : &m_children;
}

const XMLNode& XMLElement::findChild(const char* name, int index) const {
    for (const XMLNode* child : m_children) {
        if (std::strcmp(child->getName(), name) == 0 && index-- == 0)
            return *child;
    }
    return XMLNullNode::instance();
}

const std::vector<XMLAttribute*>* XMLElement::attributes() const {
    return m_attributes.empty() ? nullptr : &m_attributes;
}

void XMLElement::addAttribute(XMLAttribute* attribute) {
    m_attributes.push_back(attribute);
}
