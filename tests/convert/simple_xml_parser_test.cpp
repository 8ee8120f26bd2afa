#include "convert/SimpleXMLParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ParseResult {
    bool accepted = false;
    int line = 0;
    int column = 0;
    std::unique_ptr<XMLElement> root;
};

ParseResult Parse(const std::string& text) {
    ParseResult result;
    SimpleXMLParser parser;
    try {
        result.root.reset(parser.parse(text.data(), text.size()));
        result.accepted = true;
    } catch (const SimpleXMLParser::Exception& error) {
        result.line = error.line;
        result.column = error.column;
    }
    return result;
}

// Describes a tree as name[text](children...) with attributes as {name=value}, for table checks.
std::string Describe(const XMLNode& node) {
    std::string out = node.getName().str();
    if (const auto* attributes = node.attributes()) {
        for (const XMLAttribute* attribute : *attributes)
            out += "{" + attribute->getName().str() + "=" + attribute->getValue().str() + "}";
    }
    out += "[" + node.getText().str() + "]";
    if (const auto* children = node.children()) {
        out += "(";
        for (const XMLNode* child : *children)
            out += Describe(*child);
        out += ")";
    }
    return out;
}

struct Case {
    const char* label;
    std::string input;
    // Accepted inputs: the described tree; rejected ones: the empty text and the error position.
    std::string tree;
    int line = 0;
    int column = 0;
};

const std::vector<Case> kCases = {
    {"plain root", "<a/>", "a[]"},
    {"declaration lower case", "<?xml version=\"1.0\"?><a/>", "a[]"},
    {"declaration upper case", "<?XML version='1.0'?><a/>", "a[]"},
    {"declaration with encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>x</a>", "a[x]"},
    {"declaration with standalone", "<?xml version=\"1.0\" standalone=\"yes\"?><a/>", "", 1, 21},
    {"declaration without version", "<?xml?><a/>", "", 1, 6},
    {"declaration with empty version", "<?xml version=''?><a/>", "", 1, 17},
    {"declaration with bad encoding", "<?xml version='1.0' encoding='8bit'?><a/>", "", 1, 32},
    {"declaration without end", "<?xml version='1.0'<a/>", "", 1, 20},
    {"whitespace before declaration", " <?xml version='1.0'?><a/>", "", 1, 3},
    {"byte-order mark", "\xEF\xBB\xBF<a/>", "", 1, 2},
    {"no root", "  <!-- only a comment -->  ", "", 1, 28},
    {"empty input", "", "", 1, 1},
    {"empty element with attributes", "<a x='1' y=\"2\"/>", "a{x=1}{y=2}[]"},
    {"empty element with space before slash", "<a x='1' />", "a{x=1}[]"},
    {"attributes without whitespace between", "<a x='1'y='2'/>", "", 1, 10},
    {"attribute without value", "<a x/>", "", 1, 6},
    {"attribute value with other quote", "<a x=\"it's\" y='say \"hi\"'/>", "a{x=it's}{y=say \"hi\"}[]"},
    {"attribute value with less-than", "<a x='<'/>", "", 1, 8},
    {"attribute value with reference", "<a x='a&amp;b'/>", "a{x=a&b}[]"},
    {"repeated attribute kept twice", "<a x='1' x='2'/>", "a{x=1}{x=2}[]"},
    {"entity between letters", "<a>x&lt;y</a>", "a[x<y]"},
    {"all entities", "<a>&lt;&gt;&amp;&apos;&quot;</a>", "a[<>&'\"]"},
    {"decimal reference", "<a>&#65;</a>", "a[A]"},
    {"hexadecimal reference", "<a>&#x41;</a>", "a[A]"},
    {"upper-case hexadecimal marker", "<a>&#X41;</a>", "", 1, 7},
    {"reference above 255 wraps", "<a>&#321;</a>", "a[A]"},
    {"reference without digits", "<a>&#;</a>", "", 1, 7},
    {"reference without semicolon", "<a>&#65 </a>", "", 1, 9},
    {"unknown entity", "<a>&nbsp;</a>", "", 1, 10},
    {"spaces around empty child", "<a> <b/> </a>", "a[  ](b[])"},
    {"comment inside element", "<a><!--note--></a>", "a[](![note])"},
    {"comments around root dropped", "<!--x--><a/><!--y-->", "a[]"},
    {"comment with double dash inside", "<a><!-- a--b --></a>", "", 1, 13},
    {"unterminated comment", "<a><!-- open", "", 1, 13},
    {"end tag mismatch", "<a></b>", "", 1, 7},
    {"end tag with space before >", "<a></a >", "a[]"},
    {"end tag without >", "<a></a", "", 1, 7},
    {"input ends inside element", "<a><b></b>", "", 1, 11},
    {"text after root ignored", "<a/> <!--c--> trailing <junk", "a[]"},
    {"cdata appended to text", "<a>x<![CDATA[<&y>]]>z</a>", "a[x<&y>z]"},
    {"cdata with high byte", "<a><![CDATA[\xE9]]></a>", "", 1, 14},
    {"high byte in character data", "<a>\xE9</a>", "a[\xE9]"},
    {"cdata end in character data", "<a>x]]>y</a>", "", 1, 8},
    {"less-than without name", "<a>< b/></a>", "", 1, 5},
    {"nul byte in content", std::string("<a>x\0y</a>", 10), "", 1, 6},
    {"nul byte after a name", std::string("<a\0/>", 5), "", 1, 4},
    {"nul byte before an attribute", std::string("<a \0x='1'/>", 11), "", 1, 5},
    {"nul byte after an end tag name", std::string("<a></a\0>", 8), "", 1, 8},
    {"nul byte after an entity name", std::string("<a>&lt\0;</a>", 12), "", 1, 8},
    {"nested children", "<r><p id='1'><n>5</n></p></r>", "r[](p{id=1}[](n[5]))"},
    {"line count", "<a>\n\n<b></c></a>", "", 3, 7},
    {"crlf line count", "<a>\r\n\r\n<b></c></a>", "", 3, 7},
    {"crlf text keeps carriage returns", "<a>\r\nx\r\n</a>", "a[\r\nx\r\n]"},
    {"lone carriage return at end", "<a/>\r", "a[]"},
    {"second of two carriage returns is read", "<a>\r\r</b>", "", 1, 8},
    {"carriage returns keep the line count", "<a>\r\r\n<b></c></a>", "", 2, 7},
    {"newline before slash", "<a\n/>", "a[]"},
};

TEST(SimpleXMLParser, EdgeCases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        ParseResult result = Parse(c.input);
        if (c.tree.empty()) {
            EXPECT_FALSE(result.accepted);
            EXPECT_EQ(result.line, c.line);
            EXPECT_EQ(result.column, c.column);
        } else {
            ASSERT_TRUE(result.accepted) << "error at " << result.line << ":" << result.column;
            EXPECT_EQ(Describe(*result.root), c.tree);
        }
    }
}

// Records every start tag it is told of and the description of every element handed to it.
class RecordingHandler : public SimpleXMLParser::Handler {
public:
    void startElement(const XMLElement& element, int depth) override {
        std::string start = std::to_string(depth) + element.getName().str();
        if (const auto* attributes = element.attributes()) {
            for (const XMLAttribute* attribute : *attributes)
                start += "{" + attribute->getName().str() + "=" + attribute->getValue().str() + "}";
        }
        starts.push_back(start);
    }
    void element(const XMLElement& element) override { handed.push_back(Describe(element)); }

    std::vector<std::string> starts;
    std::vector<std::string> handed;
};

TEST(SimpleXMLParser, HandsOutElementsAtADepthWithTheSameSyntax) {
    std::vector<Case> cases = kCases;
    cases.push_back({"records", "<r v='1'><!--c--><p id='1'><n>5</n></p>\r\n<p id='2'/><q/></r>", "x"});
    cases.push_back({"error inside a record", "<r><p><n>5</n></p><p><n></p></r>", "", 1, 28});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ParseResult whole = Parse(c.input);
        RecordingHandler handler;
        SimpleXMLParser parser;
        try {
            std::unique_ptr<XMLElement> root(parser.parse(c.input.data(), c.input.size(), handler, 2));
            ASSERT_TRUE(whole.accepted);
            // The tree keeps everything but the handed-out elements, which arrive in document order.
            std::vector<std::string> elements;
            if (const auto* children = whole.root->children()) {
                for (const XMLNode* child : *children) {
                    if (child->getName() != "!")
                        elements.push_back(Describe(*child));
                }
            }
            EXPECT_EQ(handler.handed, elements);
            ASSERT_FALSE(handler.starts.empty());
            EXPECT_EQ(handler.starts[0].substr(0, 2), "1" + whole.root->getName().str().substr(0, 1));
            if (const auto* children = root->children()) {
                for (const XMLNode* child : *children)
                    EXPECT_EQ(child->getName(), "!");
            }
            EXPECT_EQ(root->getText(), whole.root->getText());
        } catch (const SimpleXMLParser::Exception& error) {
            EXPECT_FALSE(whole.accepted);
            EXPECT_EQ(error.line, whole.line);
            EXPECT_EQ(error.column, whole.column);
        }
    }
}

TEST(SimpleXMLParser, TellsOfStartTagsAboveTheHandedDepth) {
    const std::string text = "<r v='1'><c n='x'><e a='1'><f/></e></c><d/></r>";
    RecordingHandler handler;
    SimpleXMLParser parser;
    std::unique_ptr<XMLElement> root(parser.parse(text.data(), text.size(), handler, 3));
    EXPECT_EQ(handler.starts, (std::vector<std::string>{"1r{v=1}", "2c{n=x}", "2d"}));
    EXPECT_EQ(handler.handed, (std::vector<std::string>{"e{a=1}[](f[])"}));
    EXPECT_EQ(Describe(*root), "r{v=1}[](c{n=x}[]d[])");
}

TEST(SimpleXMLParser, KeepsDeclaredVersion) {
    SimpleXMLParser parser;
    const std::string text = "<?xml version='2.5'?><a/>";
    std::unique_ptr<XMLElement> root(parser.parse(text.data(), text.size()));
    EXPECT_EQ(parser.version(), "2.5");

    const std::string plain = "<a/>";
    root.reset(parser.parse(plain.data(), plain.size()));
    EXPECT_EQ(parser.version(), "1.0");
}

TEST(SimpleXMLParser, NeverReadsPastTheGivenLength) {
    // The length cuts the text inside the root's end tag; the bytes after it must not complete it.
    const std::string text = "<a></a>";
    SimpleXMLParser parser;
    EXPECT_THROW(parser.parse(text.data(), text.size() - 1), SimpleXMLParser::Exception);
}

TEST(SimpleXMLParser, FindChildCountsSameNamedChildren) {
    ParseResult result = Parse("<r><x>1</x><y>2</y><x>3</x></r>");
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(result.root->findChild("x", 0).getText(), "1");
    EXPECT_EQ(result.root->findChild("x", 1).getText(), "3");
    EXPECT_EQ(result.root->findChild("y").getText(), "2");
    EXPECT_TRUE(result.root->findChild("x", 2).isNull());
    EXPECT_TRUE(result.root->findChild("X").isNull());
    const XMLNode& leaf = result.root->findChild("y");
    EXPECT_TRUE(leaf.findChild("anything").isNull());
    EXPECT_EQ(leaf.attributes(), nullptr);
}

TEST(SimpleXMLParser, NodeKindsAndOwnership) {
    XMLComment comment;
    EXPECT_EQ(comment.getName(), "!");
    EXPECT_FALSE(comment.isNull());
    XMLElement leafParent("p");
    EXPECT_EQ(leafParent.children(), nullptr);
    EXPECT_FALSE(comment.addChild(&leafParent));
    EXPECT_TRUE(XMLNullNode::instance().isNull());
    EXPECT_EQ(XMLNullNode::instance().getName(), "");
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<e>";
    for (int i = 0; i < depth; ++i)
        text += "</e>";
    return text;
}

TEST(SimpleXMLParser, DepthLimit) {
    EXPECT_TRUE(Parse(Nested(SimpleXMLParser::kMaxDepth)).accepted);
    ParseResult tooDeep = Parse(Nested(SimpleXMLParser::kMaxDepth + 1));
    EXPECT_FALSE(tooDeep.accepted);
    EXPECT_EQ(tooDeep.line, 1);
    // Hostile depth is rejected without exhausting the stack.
    EXPECT_FALSE(Parse(std::string(1000000, '<') + "e>").accepted);
    EXPECT_FALSE(Parse(Nested(100000)).accepted);
}

} // namespace
