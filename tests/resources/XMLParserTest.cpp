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
    std::vector<XMLElement> elements;
    bool failed = false;
    std::string error;
    int line = 0;
};

Parsed ParseAll(const std::string& text, bool keepComments = false)
{
    XMLParser parser;
    parser.SetKeepComments(keepComments);
    parser.OpenText("test.xml", text);
    Parsed result;
    XMLElement element;
    while (parser.NextElement(element))
        result.elements.push_back(element);
    result.failed = parser.HasFailed();
    result.error = parser.GetErrorText();
    result.line = parser.GetLineNum();
    return result;
}

} // namespace

TEST(XMLParser, SelfClosingTagsYieldStartThenEnd)
{
    for (const char* text : {"<Image path=\"a.png\"/>", "<Image path=\"a.png\" />", "<Image/>", "<Image />"})
    {
        SCOPED_TRACE(text);
        const Parsed p = ParseAll(text);
        ASSERT_FALSE(p.failed) << p.error;
        ASSERT_EQ(p.elements.size(), 2u);
        EXPECT_EQ(p.elements[0].type, Type::Start);
        EXPECT_EQ(p.elements[0].value, "Image");
        EXPECT_EQ(p.elements[1].type, Type::End);
        EXPECT_EQ(p.elements[1].value, "Image");
        if (!p.elements[0].attributes.empty())
        {
            EXPECT_EQ(p.elements[0].attributes.at("path"), "a.png");
            EXPECT_EQ(p.elements[0].attributeOrder, std::vector<std::string>{"path"});
        }
    }
}

TEST(XMLParser, AttributesKeepQuotedContentAndOrder)
{
    const Parsed p = ParseAll("<a x=\"1 > 2\" b='c' e=\"\" z=\"q\">\n</a>");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 2u);
    const XMLElement& a = p.elements[0];
    EXPECT_EQ(a.attributes.at("x"), "1 > 2");
    EXPECT_EQ(a.attributes.at("b"), "'c'");
    EXPECT_EQ(a.attributes.at("e"), "");
    EXPECT_EQ(a.attributes.at("z"), "q");
    EXPECT_EQ(a.attributeOrder, (std::vector<std::string>{"x", "b", "e", "z"}));
}

TEST(XMLParser, RepeatedAttributeKeepsLastValue)
{
    const Parsed p = ParseAll("<a k=\"1\" k=\"2\"/>");
    ASSERT_EQ(p.elements.size(), 2u);
    EXPECT_EQ(p.elements[0].attributes.at("k"), "2");
    EXPECT_EQ(p.elements[0].attributeOrder.size(), 2u);
}

TEST(XMLParser, TextCollapsesWhitespaceAndTracksSections)
{
    const Parsed p = ParseAll("<r><s>   a \t\n  b   </s></r>");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 5u);
    EXPECT_EQ(p.elements[2].type, Type::Text);
    EXPECT_EQ(p.elements[2].value, "a b");
    EXPECT_EQ(p.elements[2].section, "r/s");
    EXPECT_EQ(p.elements[1].section, "r");
    EXPECT_EQ(p.elements[4].section, "r");
}

TEST(XMLParser, TextKeepsDoubleQuotesAsOrdinaryCharacters)
{
    const Parsed p = ParseAll("<r>say \"hi  there\"</r>");
    ASSERT_EQ(p.elements.size(), 3u);
    EXPECT_EQ(p.elements[1].value, "say \"hi there\"");
}

TEST(XMLParser, DecodesEntities)
{
    EXPECT_EQ(XMLParser::DecodeEntities("&lt;x&gt;"), "<x>");
    EXPECT_EQ(XMLParser::DecodeEntities("&amp;&quot;&apos;&nbsp;&cr;"), "&\"' \n");
    EXPECT_EQ(XMLParser::DecodeEntities("a&bogus;b"), "a&b");
    EXPECT_EQ(XMLParser::DecodeEntities("a & b"), "a & b");
    EXPECT_EQ(XMLParser::DecodeEntities("&amp;lt;"), "&lt;");

    const Parsed p = ParseAll("<a t=\"&lt;q&gt;\">&lt;x&gt;</a>");
    ASSERT_EQ(p.elements.size(), 3u);
    EXPECT_EQ(p.elements[0].attributes.at("t"), "<q>");
    EXPECT_EQ(p.elements[1].value, "<x>");
}

TEST(XMLParser, InstructionsAndComments)
{
    const Parsed skipped = ParseAll("<?xml version=\"1.0\"?>\n<!-- a <b> -->\n<r/>");
    ASSERT_FALSE(skipped.failed) << skipped.error;
    ASSERT_EQ(skipped.elements.size(), 3u);
    EXPECT_EQ(skipped.elements[0].type, Type::Instruction);
    EXPECT_EQ(skipped.elements[0].value, "xml");
    EXPECT_EQ(skipped.elements[0].instruction, "version=\"1.0\"");
    EXPECT_EQ(skipped.elements[1].value, "r");

    const Parsed kept = ParseAll("<!-- a <b> -->", true);
    ASSERT_EQ(kept.elements.size(), 1u);
    EXPECT_EQ(kept.elements[0].type, Type::Comment);
    EXPECT_EQ(kept.elements[0].value, "!--");
    EXPECT_EQ(kept.elements[0].instruction, "a <b> ");
}

TEST(XMLParser, CommentsNeedNoBlankAfterTheirStart)
{
    // Read as a start tag "!--x--" before, which then closed nothing.
    const Parsed p = ParseAll("<r><!--x--><!----><!--a - b--></r>", true);
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 5u);
    EXPECT_EQ(p.elements[1].type, Type::Comment);
    EXPECT_EQ(p.elements[1].instruction, "x");
    EXPECT_EQ(p.elements[2].instruction, "");
    EXPECT_EQ(p.elements[3].instruction, "a - b");
    EXPECT_EQ(p.elements[4].type, Type::End);

    const Parsed mismatch = ParseAll("<a>\n<!--<b>-->\n</a>");
    EXPECT_FALSE(mismatch.failed) << mismatch.error;
}

TEST(XMLParser, DoctypeWithoutInternalSubsetIsSkipped)
{
    // It used to become an unclosed element "!DOCTYPE" around the document.
    const Parsed p = ParseAll("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fonts.dtd\">\n"
                              "<!DOCTYPE html PUBLIC \"-//x//a>b\" 'sys[tem]'>\n<fontconfig><dir/></fontconfig>");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 5u);
    EXPECT_EQ(p.elements[1].value, "fontconfig");
    EXPECT_EQ(p.elements[1].section, "");
    EXPECT_EQ(p.elements[2].section, "fontconfig");
}

TEST(XMLParser, UnsupportedMarkupIsRefusedByName)
{
    struct Case
    {
        const char* text;
        const char* error;
        int line;
    } cases[] = {
        {"<!DOCTYPE a [\n<!ELEMENT a ANY>\n]>\n<a/>", "DOCTYPE internal subsets are not supported", 1},
        {"<a>\n<![CDATA[x < y]]></a>", "CDATA sections are not supported", 2},
        {"<!ELEMENT a ANY>", "Unsupported declaration", 1},
        {"<a>\n<!DOCTYPE a>\n</a>", "Unexpected DOCTYPE", 2},
        {"<!DOCTYPE a\n", "Unexpected End of File", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        const Parsed p = ParseAll(c.text);
        EXPECT_TRUE(p.failed);
        EXPECT_EQ(p.error, c.error);
        EXPECT_EQ(p.line, c.line);
    }
}

TEST(XMLParser, EndOfInputWithOpenElementsIsAnError)
{
    // Accepted as a complete document before.
    for (const char* text : {"<a>", "<a><b></b>", "<a>\n<b/>\n", "<?xml version=\"1.0\"?><r><i x=\"1\">"})
    {
        SCOPED_TRACE(text);
        const Parsed p = ParseAll(text);
        EXPECT_TRUE(p.failed);
        EXPECT_EQ(p.error, "Unexpected End of File");
    }
    // Reported where the unclosed element starts.
    EXPECT_EQ(ParseAll("<a>\n<b>\n</b>\n<c>\n\n\n").line, 4);
    EXPECT_EQ(ParseAll("<a>\n<b>\n</b>\n</a>\n").failed, false);
}

TEST(XMLParser, QuotedValueEndingInSlashKeepsItAndLeavesTheTagOpen)
{
    const Parsed p = ParseAll("<Resources id=\"x\" path=\"images/\">\n<Image id=\"a\" path=\"a/\"/>\n</Resources>");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 4u);
    EXPECT_EQ(p.elements[0].attributes.at("path"), "images/");
    EXPECT_EQ(p.elements[1].type, Type::Start);
    EXPECT_EQ(p.elements[1].section, "Resources");
    EXPECT_EQ(p.elements[1].attributes.at("path"), "a/");
    EXPECT_EQ(p.elements[2].type, Type::End);
    EXPECT_EQ(p.elements[2].value, "Image");
    EXPECT_EQ(p.elements[3].value, "Resources");

    // An unquoted value and a bare name still close on "/>".
    const Parsed bare = ParseAll("<a x=1/><b c/>");
    ASSERT_FALSE(bare.failed) << bare.error;
    ASSERT_EQ(bare.elements.size(), 4u);
    EXPECT_EQ(bare.elements[0].attributes.at("x"), "1");
    EXPECT_EQ(bare.elements[2].attributes.at("c"), "");
    EXPECT_EQ(bare.elements[3].type, Type::End);
}

TEST(XMLParser, QuotesInTextDoNotSwallowMarkup)
{
    // A lone quote in text used to run on to the next quote, taking the
    // markup in between with it.
    const Parsed p = ParseAll("<r><t>6\" screen</t>\n<u v=\"1\"/></r>");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 7u);
    EXPECT_EQ(p.elements[2].value, "6\" screen");
    EXPECT_EQ(p.elements[4].value, "u");
    EXPECT_EQ(p.elements[4].attributes.at("v"), "1");

    // A stray quote inside a tag is reported where it opens.
    const Parsed stray = ParseAll("<r>\n<u v=\"1/>\n\n\n</r>\n");
    EXPECT_TRUE(stray.failed);
    EXPECT_EQ(stray.error, "Unexpected End of File");
    EXPECT_EQ(stray.line, 2);
}

TEST(XMLParser, NumericCharacterReferences)
{
    EXPECT_EQ(XMLParser::DecodeEntities("a&#10;b&#x41;&#X41;"), "a\nbA&");
    EXPECT_EQ(XMLParser::DecodeEntities("&#233;&#x20AC;&#x1F600;"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    // Nothing XML allows: the quiet default of an unknown name.
    for (const char* bad : {"&#0;", "&#xD800;", "&#x110000;", "&#;", "&#x;", "&#12a;", "&#999999999999;"})
        EXPECT_EQ(XMLParser::DecodeEntities(bad), "&") << bad;

    const Parsed p = ParseAll("<a t=\"x&#10;y\">one&#10;two</a>");
    ASSERT_EQ(p.elements.size(), 3u);
    EXPECT_EQ(p.elements[0].attributes.at("t"), "x\ny");
    EXPECT_EQ(p.elements[1].value, "one\ntwo");
}

TEST(XMLParser, ManyCommentsDoNotRecurse)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "<!-- c -->";
    text += "<r/>";
    const Parsed p = ParseAll(text);
    ASSERT_FALSE(p.failed) << p.error;
    EXPECT_EQ(p.elements.size(), 2u);
}

TEST(XMLParser, ErrorsCarryExactTextAndLine)
{
    struct Case
    {
        const char* text;
        const char* error;
        int line;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        const Parsed p = ParseAll(c.text);
        EXPECT_TRUE(p.failed);
        EXPECT_EQ(p.error, c.error);
        EXPECT_EQ(p.line, c.line);
    }
}

TEST(XMLParser, EndingBetweenElementsIsNotAnError)
{
    const Parsed p = ParseAll("<a>\n</a>\n\n  ");
    EXPECT_FALSE(p.failed);
    EXPECT_EQ(p.elements.size(), 2u);
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

TEST(XMLParser, HighBytesAndWindowsLineEndsAreText)
{
    const Parsed p = ParseAll("<a n=\"caf\xe9\">\r\n\xe9t\xe9\r\n</a>\r\n");
    ASSERT_FALSE(p.failed) << p.error;
    ASSERT_EQ(p.elements.size(), 3u);
    EXPECT_EQ(p.elements[0].attributes.at("n"), "caf\xe9");
    EXPECT_EQ(p.elements[1].value, "\xe9t\xe9");
}

TEST(XMLParser, OpensFilesAndReportsMissingOnes)
{
    TempDir dir;
    {
        std::ofstream out(dir / "m.xml");
        out << "<r>\n  <i v=\"1\"/>\n</r>\n";
    }
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
