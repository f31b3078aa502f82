#include "framework/resources/XMLParser.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using Quillo::XMLElement;
using Quillo::XMLParser;
using Type = XMLElement::Type;

namespace
{

struct Parsed
{
    std::vector<std::string> elements;
    bool failed = false;
    std::string error;
    int line = 0;
};

// Every element in one line: its kind, name, attributes in order, text or
// body, and (when asked) the section it stands in after an '@'.
std::string Describe(const XMLElement& e, bool sections)
{
    std::string out;
    switch (e.type)
    {
    case Type::Start:
        out = "<" + e.value;
        for (const std::string& name : e.attributeOrder)
            out += " " + name + "=\"" + e.attributes.at(name) + "\"";
        out += ">";
        break;
    case Type::End:
        out = "</" + e.value + ">";
        break;
    case Type::Text:
        out = "text:" + e.value;
        break;
    case Type::Instruction:
        out = "<?" + e.value + " " + e.instruction + "?>";
        break;
    case Type::Comment:
        out = "<" + e.value + e.instruction + "-->";
        break;
    default:
        out = "?";
    }
    return sections && !e.section.empty() ? out + " @" + e.section : out;
}

Parsed ParseAll(const std::string& text, bool keepComments = false, bool sections = false)
{
    XMLParser parser;
    parser.SetKeepComments(keepComments);
    parser.OpenText("test.xml", text);
    Parsed result;
    XMLElement element;
    while (parser.NextElement(element))
        result.elements.push_back(Describe(element, sections));
    result.failed = parser.HasFailed();
    result.error = parser.GetErrorText();
    result.line = parser.GetLineNum();
    return result;
}

using Events = std::vector<std::string>;

} // namespace

TEST(XMLParser, DocumentsGiveTheirElementsInOrder)
{
    const struct
    {
        const char* text;
        Events elements;
        bool comments = false;
        bool sections = false;
    } cases[] = {
        // Self-closing tags give a start, then an end.
        {"<Image path=\"a.png\"/>", {"<Image path=\"a.png\">", "</Image>"}},
        {"<Image path=\"a.png\" />", {"<Image path=\"a.png\">", "</Image>"}},
        {"<Image/>", {"<Image>", "</Image>"}},
        {"<Image />", {"<Image>", "</Image>"}},
        // Quoted content is kept whole; a repeated attribute keeps its last value.
        {"<a x=\"1 > 2\" b='c' e=\"\" z=\"q\">\n</a>", {"<a x=\"1 > 2\" b=\"'c'\" e=\"\" z=\"q\">", "</a>"}},
        {"<a k=\"1\" k=\"2\"/>", {"<a k=\"2\" k=\"2\">", "</a>"}},
        {"<r><s>   a \t\n  b   </s></r>",
         {"<r>", "<s> @r", "text:a b @r/s", "</s> @r/s", "</r> @r"}, false, true},
        {"<r>say \"hi  there\"</r>", {"<r>", "text:say \"hi there\"", "</r>"}},
        {"<a t=\"&lt;q&gt;\">&lt;x&gt;</a>", {"<a t=\"<q>\">", "text:<x>", "</a>"}},
        {"<a t=\"x&#10;y\">one&#10;two</a>", {"<a t=\"x\ny\">", "text:one\ntwo", "</a>"}},
        {"<?xml version=\"1.0\"?>\n<!-- a <b> -->\n<r/>", {"<?xml version=\"1.0\"?>", "<r>", "</r>"}},
        {"<!-- a <b> -->", {"<!--a <b> -->"}, true},
        // Comments need no blank after their start: read as a start tag
        // "!--x--" before, which then closed nothing.
        {"<r><!--x--><!----><!--a - b--></r>", {"<r>", "<!--x-->", "<!---->", "<!--a - b-->", "</r>"}, true},
        {"<a>\n<!--<b>-->\n</a>", {"<a>", "</a>"}},
        // A DOCTYPE without an internal subset used to become an unclosed
        // element "!DOCTYPE" around the document.
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fonts.dtd\">\n"
         "<!DOCTYPE html PUBLIC \"-//x//a>b\" 'sys[tem]'>\n<fontconfig><dir/></fontconfig>",
         {"<?xml version=\"1.0\"?>", "<fontconfig>", "<dir> @fontconfig", "</dir> @fontconfig/dir",
          "</fontconfig> @fontconfig"},
         false, true},
        // A quoted value ending in '/' keeps it and leaves the tag open; an
        // unquoted value and a bare name still close on "/>".
        {"<Resources id=\"x\" path=\"images/\">\n<Image id=\"a\" path=\"a/\"/>\n</Resources>",
         {"<Resources id=\"x\" path=\"images/\">", "<Image id=\"a\" path=\"a/\"> @Resources",
          "</Image> @Resources/Image", "</Resources> @Resources"},
         false, true},
        {"<a x=1/><b c/>", {"<a x=\"1\">", "</a>", "<b c=\"\">", "</b>"}},
        // A lone quote in text used to run on to the next quote, taking the
        // markup in between with it.
        {"<r><t>6\" screen</t>\n<u v=\"1\"/></r>",
         {"<r>", "<t>", "text:6\" screen", "</t>", "<u v=\"1\">", "</u>", "</r>"}},
        // High bytes and Windows line ends are text.
        {"<a n=\"caf\xe9\">\r\n\xe9t\xe9\r\n</a>\r\n", {"<a n=\"caf\xe9\">", "text:\xe9t\xe9", "</a>"}},
        // Ending between elements is no error.
        {"<a>\n</a>\n\n  ", {"<a>", "</a>"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const Parsed p = ParseAll(c.text, c.comments, c.sections);
        EXPECT_FALSE(p.failed) << p.error;
        EXPECT_EQ(p.elements, c.elements);
    }

    std::string many;
    for (int i = 0; i < 200000; ++i)
        many += "<!-- c -->";
    const Parsed p = ParseAll(many + "<r/>"); // without recursing once a comment
    EXPECT_FALSE(p.failed) << p.error;
    EXPECT_EQ(p.elements, (Events{"<r>", "</r>"}));
}

TEST(XMLParser, DecodesEntities)
{
    const std::pair<const char*, const char*> cases[] = {
        {"&lt;x&gt;", "<x>"},
        {"&amp;&quot;&apos;&nbsp;&cr;", "&\"' \n"},
        {"a&bogus;b", "a&b"},
        {"a & b", "a & b"},
        {"&amp;lt;", "&lt;"},
        {"a&#10;b&#x41;&#X41;", "a\nbA&"},
        {"&#233;&#x20AC;&#x1F600;", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        // Nothing XML allows: the quiet default of an unknown name.
        {"&#0;", "&"},
        {"&#xD800;", "&"},
        {"&#x110000;", "&"},
        {"&#;", "&"},
        {"&#x;", "&"},
        {"&#12a;", "&"},
        {"&#999999999999;", "&"},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(XMLParser::DecodeEntities(in), out) << in;
}

TEST(XMLParser, ErrorsCarryExactTextAndLine)
{
    const struct
    {
        const char* text;
        const char* error;
        int line;
    } cases[] = {
        {"<a>\n<b>\n</a>", "End 'a' Doesn't Match Start 'b'", 3},
        {"<a>\n</b>", "End 'b' Doesn't Match Start 'a'", 2},
        {"\n\n</a>", "Unexpected End", 3},
        {"<a>\n<b x\x01=\"1\"/>", "Illegal Character", 2},
        {"\x01", "Illegal Character", 1},
        {"<a\n<b>", "Unexpected '<'", 2},
        {"text >", "Unexpected '>'", 1},
        {">", "Unexpected '>'", 1},
        {"<a>\n<b attr=\"x", "Unexpected End of File", 2},
        {"<a", "Unexpected End of File", 1},
        {"<a>trailing", "Unexpected End of File", 1},
        {"<!-- never closed", "Unexpected End of File", 1},
        {"<?xml ", "Unexpected End of File", 1},
        // Open elements at the end were accepted as a complete document
        // before; the error names where the unclosed element starts.
        {"<a>", "Unexpected End of File", 1},
        {"<a><b></b>", "Unexpected End of File", 1},
        {"<a>\n<b/>\n", "Unexpected End of File", 1},
        {"<?xml version=\"1.0\"?><r><i x=\"1\">", "Unexpected End of File", 1},
        {"<a>\n<b>\n</b>\n<c>\n\n\n", "Unexpected End of File", 4},
        // A stray quote inside a tag is reported where it opens.
        {"<r>\n<u v=\"1/>\n\n\n</r>\n", "Unexpected End of File", 2},
        // Markup the reader does not support is refused by name.
        {"<!DOCTYPE a [\n<!ELEMENT a ANY>\n]>\n<a/>", "DOCTYPE internal subsets are not supported", 1},
        {"<a>\n<![CDATA[x < y]]></a>", "CDATA sections are not supported", 2},
        {"<!ELEMENT a ANY>", "Unsupported declaration", 1},
        {"<a>\n<!DOCTYPE a>\n</a>", "Unexpected DOCTYPE", 2},
        {"<!DOCTYPE a\n", "Unexpected End of File", 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const Parsed p = ParseAll(c.text);
        EXPECT_TRUE(p.failed);
        EXPECT_EQ(p.error, c.error);
        EXPECT_EQ(p.line, c.line);
    }
}

TEST(XMLParser, StopsAfterTheFirstError)
{
    XMLParser parser;
    parser.OpenText("t.xml", "<a></b><c/>");
    XMLElement element;
    EXPECT_TRUE(parser.NextElement(element));
    EXPECT_FALSE(parser.NextElement(element));
    EXPECT_FALSE(parser.NextElement(element));
    EXPECT_EQ(parser.GetErrorText(), "End 'b' Doesn't Match Start 'a'");
}

TEST(XMLParser, OpensFilesAndReportsMissingOnes)
{
    TempDir dir;
    std::ofstream(dir / "m.xml") << "<r>\n  <i v=\"1\"/>\n</r>\n";
    XMLParser parser;
    ASSERT_TRUE(parser.OpenFile(dir / "m.xml"));
    EXPECT_EQ(parser.GetFileName(), dir / "m.xml");
    EXPECT_EQ(parser.GetLineNum(), 1);
    XMLElement element;
    int count = 0;
    while (parser.NextElement(element))
        ++count;
    EXPECT_EQ(count, 4);
    EXPECT_FALSE(parser.HasFailed());

    XMLParser missing;
    EXPECT_FALSE(missing.OpenFile(dir / "nope.xml"));
    EXPECT_TRUE(missing.HasFailed());
    EXPECT_EQ(missing.GetErrorText(), "Unable to open file " + (dir / "nope.xml"));
    EXPECT_EQ(missing.GetLineNum(), 0);
    EXPECT_FALSE(missing.NextElement(element));
}
