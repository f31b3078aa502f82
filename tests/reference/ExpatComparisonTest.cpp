// Small documents parsed by our reader and by expat, compared element by
// element. Whatever expat refuses, ours refuses too; what ours refuses and
// expat reads must be one of the constructs ours declines by name.
#include "XmlOutcome.h"

#include <gtest/gtest.h>

using namespace XmlOutcome;

namespace
{

struct Document
{
    const char* name;
    const char* text;
    // For refused documents: both report the same line.
    bool sameLine = false;
    // Expat reads it; ours declines it with a message that says so.
    bool declined = false;
};

const Document kDocuments[] = {
    // Read alike.
    {"manifest", "<?xml version=\"1.0\"?>\n<ResourceManifest>\n  <Resources id=\"Init\">\n"
                 "    <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
                 "    <Image id=\"BALL\" path=\"ball\" cols=\"13\" />\n  </Resources>\n</ResourceManifest>\n"},
    {"doctype", "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                "<fontconfig><dir>/usr/share/fonts</dir></fontconfig>\n"},
    {"public doctype", "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n<html><p>x</p></html>"},
    {"comments", "<r><!--no blank--><!-- blank --><!----><a/>text<!--x-->more</r>"},
    {"comment before root", "<!--header-->\n<r/>\n<!--trailer-->\n"},
    {"character references", "<r a=\"x&#10;y&#x41;\">one&#10;two &#233; &#x20AC; &lt;&amp;&gt;</r>"},
    {"quotes in text", "<match><test name=\"family\"><string>6\" screen</string></test>\n"
                       "<edit name=\"x\" mode=\"assign\"><bool>true</bool></edit></match>"},
    {"value ending in a slash", "<project href=\"https://www.apache.org/\"><name>n</name></project>"},
    {"group with a path", "<Resources id=\"g\" path=\"images/\"><Image path=\"a\"/></Resources>"},
    {"instructions", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?style href=\"a.css\"?>\n<r><?pi body?></r>"},
    {"entities in attributes", "<r t=\"&lt;q&gt; &amp; &quot;x&quot; &apos;\"/>"},
    {"nesting", "<a><b><c>deep</c></b><b/><b x=\"1\"></b></a>"},
    {"utf-8", "<r n=\"caf\xc3\xa9\">\xc3\xa9t\xc3\xa9 \xe2\x82\xac</r>"},
    {"greater-than in a value", "<r v=\"1 > 0\"/>"},
    // Refused by both.
    {"open root at the end", "<?xml version=\"1.0\"?>\n<r>\n<a/>\n"},
    {"open element at the end", "<r>\n<a>\n</a>\n<b>\n"},
    {"unclosed comment", "<r>\n<!--x\n</r>\n"},
    {"mismatched end", "<r>\n<a>\n</b>\n</r>", true},
    {"stray end", "<r/>\n</r>", true},
    {"unclosed quote", "<r>\n<a v=\"1/>\n</r>\n"},
    {"tag inside a tag", "<r>\n<a <b>\n</r>", true},
    {"doctype after the root", "<r>\n<!DOCTYPE r>\n</r>", true},
    {"unclosed instruction", "<r><?pi x</r>"},
    {"control character", "<r>\n\x01\n</r>", true},
    {"end inside a tag", "<r><a x=\"1\""},
    // Read by expat, declined by ours.
    {"CDATA section", "<r><![CDATA[a < b]]></r>", false, true},
    {"internal subset", "<!DOCTYPE r [ <!ENTITY e \"x\"> ]>\n<r>&e;</r>", false, true},
};

} // namespace

TEST(ExpatComparison, DocumentsReadAlikeAndRefusedAlike)
{
    for (const Document& d : kDocuments)
    {
        SCOPED_TRACE(d.name);
        const Outcome expat = ParseWithExpat(d.text);
        const Outcome ours = ParseWithOurs(d.text);
        if (d.declined)
        {
            EXPECT_TRUE(expat.ok) << expat.error;
            EXPECT_FALSE(ours.ok);
            EXPECT_NE(ours.error.find("not supported"), std::string::npos) << ours.error;
            continue;
        }
        if (!expat.ok)
        {
            EXPECT_FALSE(ours.ok) << "expat: " << expat.error << " on line " << expat.line;
            EXPECT_FALSE(ours.error.empty());
            if (d.sameLine)
            {
                EXPECT_EQ(ours.line, expat.line) << ours.error << " / " << expat.error;
            }
            continue;
        }
        ASSERT_TRUE(ours.ok) << ours.error << " on line " << ours.line;
        EXPECT_EQ(ours.events, expat.events);
    }
}
