#include "convert/SimpleXMLParser.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Any byte sequence must either parse into a tree or throw the parser's exception; never crash,
// read out of bounds, leak or overflow the stack.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SimpleXMLParser parser;
    try {
        std::unique_ptr<XMLElement> root(parser.parse(reinterpret_cast<const char*>(data), size));
        root->findChild("Persons");
    } catch (const SimpleXMLParser::Exception&) {
    }
    return 0;
}
