#include "FontTestHost.h"

#include "framework/graphics/FontData.h"

#include <gtest/gtest.h>

using Quillo::FontData;
using Quillo::Rect;

namespace
{

const std::string kPath = "fonts/test.txt";

struct Loaded
{
    FontTestHost host;
    std::unique_ptr<FontData> data;
    bool ok = false;
};

std::unique_ptr<Loaded> Load(const std::string& text)
{
    auto result = std::make_unique<Loaded>();
    result->host.AddImage("fonts/glyphs.png", 10, 8, {{0, 0, 3, 4}});
    result->data = std::make_unique<FontData>(result->host);
    result->ok = result->data->LoadDescriptor(kPath, text);
    return result;
}

std::string ErrorText(const std::string& message, int line, const std::string& statement)
{
    return "Font Descriptor Error in " + kPath + "\r\n" + message + " on Line " +
           std::to_string(line) + ":\r\n\r\n" + statement;
}

} // namespace

TEST(FontDescriptor, ReportsTheFailingStatementWithItsLine)
{
    auto f = Load("# a comment line\nCreateLayer Main;\n\n  CreateLayer\n  main;\nCreateLayer Other;");
    EXPECT_FALSE(f->ok);
    EXPECT_FALSE(f->data->loaded);
    EXPECT_TRUE(f->data->layers.empty());
    ASSERT_EQ(f->host.errors.size(), 1u);
    EXPECT_EQ(f->host.errors[0], ErrorText("Layer Already Exists", 5, "CreateLayer\nmain"));
    EXPECT_EQ(f->data->GetErrorText(), f->host.errors[0]);
}

TEST(FontDescriptor, ErrorMessages)
{
    struct Case
    {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"Define A 'abc", "Unterminated Single Quotes"},
        {"Define A \"abc", "Unterminated Double Quotes"},
        {"Define A (1 2", "Unterminated List"},
        {"Define A 1)", "Unexpected List End"},
        {"Define A b(1)", "Unexpected List Start"},
        {"(Define) A 1", "Missing Command"},
        {"Frobnicate 1", "Unknown Command"},
        {"CreateLayer", "Invalid Number of Parameters"},
        {"CreateLayer a b", "Invalid Number of Parameters"},
        {"LayerSetAscent Nope 3", "Undefined Layer"},
        {"CreateLayer L; LayerSetDrawMode L 2", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetAscent L 1.5", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetAscent L (1)", "Invalid Paramater Type"},
        {"Define 1abc 3", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetCharWidths L ('a' 'b' 'c') (1 2)", "List Size Mismatch"},
        {"CreateLayer L; LayerSetCharWidths L ('a' 'bc' 'd') (1 2)", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetCharWidths L ('a' 'b') (1 x)", "Unable to Dereference \"x\""},
        {"CreateLayer L; LayerSetCharWidths L Missing (1)", "Unable to Dereference \"Missing\""},
        {"CreateLayer L; LayerSetImageMap L ('a') ((0 0 1 1))", "Layer image not set"},
        {"CreateLayer L; LayerSetImage L 'none.png'", "Failed to Load Image"},
        {"CreateLayer L; LayerSetImage L 'glyphs.png'; LayerSetImageMap L ('a') ((8 0 3 1))",
         "Image rectangle out of bounds"},
        {"CreateLayer L; LayerSetImage L 'glyphs.png'; LayerSetImageMap L ('a') ((0 0 1 -1))",
         "Image rectangle out of bounds"},
        {"CreateLayer L; LayerSetImage L 'glyphs.png'; LayerSetImageMap L ('a' 'b') ((0 0 1 1) (0 0 1))",
         "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetOffset L (1 2 3)", "Invalid Paramater Type"},
        {"CreateLayer L; LayerSetColorMult L (1 1 1)", "Invalid Paramater Type"},
        {"SetCharMap ('a' 'b') ('c')", "List Size Mismatch"},
        {"CreateLayer L; LayerSetKerningPairs L ('abc') (1)", "Invalid Paramater Type"},
        {"SetDefaultPointSize 99999999999", "Invalid Paramater Type"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        auto f = Load(c.text);
        EXPECT_FALSE(f->ok);
        ASSERT_EQ(f->host.errors.size(), 1u);
        const std::string& error = f->host.errors[0];
        const std::string prefix = "Font Descriptor Error in " + kPath + "\r\n" + c.message + " on Line 1:";
        EXPECT_EQ(error.substr(0, prefix.size()), prefix) << error;
    }
}

TEST(FontDescriptor, ARectangleExactlyAtTheEdgeIsAccepted)
{
    auto f = Load("CreateLayer L; LayerSetImage L 'glyphs.png';\n"
                  "LayerSetImageMap L ('a' 'b') ((7 0 3 8) (0 0 3 4))");
    ASSERT_TRUE(f->ok) << (f->host.errors.empty() ? "" : f->host.errors[0]);
    const auto& layer = *f->data->layersByName.at("L");
    EXPECT_EQ(layer.glyphs['a'].imageRect, (Rect{7, 0, 3, 8}));
    EXPECT_EQ(layer.measuredHeight, 8);
}

TEST(FontDescriptor, DefinesAndDereferencing)
{
    auto f = Load("Define Chars ('a' \"b\" 'it''s');\n"
                  "Define Nested (Chars 3 -4 +5);\n"
                  "Define Alias Chars;\n"
                  "Define Word 'hello';\n"
                  "CreateHorzSpanRectList Spans (10 2 0 7) (3 4 5);\n"
                  "Define Odd ('a;b' ',' '(' '\\;' 'x\\'y');\n"
                  "define chars ('z');");
    ASSERT_TRUE(f->ok) << f->host.errors.at(0);
    EXPECT_EQ(f->data->GetDefineText("chars"), "(z)");
    EXPECT_EQ(f->data->GetDefineText("Nested"), "((a, b, it's), 3, -4, +5)");
    EXPECT_EQ(f->data->GetDefineText("alias"), "(a, b, it's)");
    EXPECT_EQ(f->data->GetDefineText("Word"), "'hello'");
    EXPECT_EQ(f->data->GetDefineText("Spans"), "((10, 2, 3, 7), (13, 2, 4, 7), (17, 2, 5, 7))");
    // Quotes protect separators and semicolons.
    EXPECT_EQ(f->data->GetDefineText("Odd"), "(a;b, ,, (, ;, xy)");
    EXPECT_EQ(f->data->GetDefineText("Unknown"), "");
}

TEST(FontDescriptor, LayerCommandsFillTheLayer)
{
    auto f = Load("SetDefaultPointSize 12;\n"
                  "SetCharMap ('x') ('a');\n"
                  "Define Img 'glyphs.png';\n"
                  "CreateLayer Main;\n"
                  "LayerSetImage Main Img;\n"
                  "LayerSetCharOffsets Main ('a') ((0 2));\n"
                  "LayerSetImageMap Main ('a' 'b') ((0 0 3 4) (3 0 2 5));\n"
                  "LayerSetCharWidths Main ('a' 'b') (4 0x3);\n"
                  "LayerSetKerningPairs Main ('ab' 'ba') (-3 200);\n"
                  "LayerSetCharOrders Main ('a') (5);\n"
                  "LayerSetColorMult Main (0.5 1 0 1);\n"
                  "LayerSetColorAdd Main (0 0 1 0);\n"
                  "LayerSetDrawMode Main 1;\n"
                  "LayerSetOffset Main (1 -2);\n"
                  "LayerSetAscent Main 9; LayerSetAscentPadding Main 2; LayerSetLineSpacingOffset Main -1;\n"
                  "LayerSetSpacing Main 1; LayerSetBaseOrder Main 7; LayerSetPointSize Main 10;\n"
                  "LayerPointRange Main 8 16;\n"
                  "LayerRequireTags Main ('bold' 'Shadow'); LayerExcludeTags Main ('small');\n"
                  "CreateLayerFrom Copy Main;");
    ASSERT_TRUE(f->ok) << f->host.errors.at(0);
    const FontData& d = *f->data;
    EXPECT_EQ(d.defaultPointSize, 12);
    EXPECT_EQ(d.charMap['x'], 'a');
    EXPECT_EQ(d.charMap['y'], 'y');
    ASSERT_EQ(d.layers.size(), 2u);
    const auto& layer = *d.layersByName.at("MAIN");
    const auto& a = layer.glyphs['a'];
    const auto& b = layer.glyphs['b'];
    // Kerning 200 wraps to a signed byte; offsets set before the map count
    // towards the measured height.
    EXPECT_EQ((std::vector<int>{a.width, b.width, a.kerning['b'], b.kerning['a'], a.order, a.offsetY, layer.measuredHeight}),
              (std::vector<int>{4, 3, -3, -56, 5, 2, 6}));
    EXPECT_EQ(layer.colorMult, (Quillo::Color{127, 255, 0, 255}));
    EXPECT_EQ(layer.colorAdd, (Quillo::Color{0, 0, 255, 0}));
    // drawMode, offset, ascent, ascent padding, line spacing, spacing, base order, point sizes.
    EXPECT_EQ((std::vector<int>{layer.drawMode, layer.offsetX, layer.offsetY, layer.ascent, layer.ascentPadding,
                                layer.lineSpacingOffset, layer.spacing, layer.baseOrder, layer.pointSize,
                                layer.minPointSize, layer.maxPointSize}),
              (std::vector<int>{1, 1, -2, 9, 2, -1, 1, 7, 10, 8, 16}));
    EXPECT_EQ(layer.requiredTags, (std::vector<std::string>{"BOLD", "SHADOW"}));
    EXPECT_EQ(layer.excludedTags, (std::vector<std::string>{"SMALL"}));
    const auto& copy = *d.layersByName.at("COPY");
    EXPECT_EQ(copy.image, layer.image);
    EXPECT_EQ(copy.glyphs['a'].kerning['b'], -3);
    EXPECT_EQ(copy.requiredTags, layer.requiredTags);
    EXPECT_EQ(f->host.loadedPaths, std::vector<std::string>{"fonts/glyphs.png"});
}

TEST(FontDescriptor, GlyphImagesAreLoadedOncePerDescriptor)
{
    auto f = Load("CreateLayer A; CreateLayer B;\n"
                  "LayerSetImage A 'glyphs.png'; LayerSetImage B \"glyphs.png\";");
    ASSERT_TRUE(f->ok);
    EXPECT_EQ(f->host.loadedPaths.size(), 1u);
    EXPECT_EQ(f->data->layers[0]->image, f->data->layers[1]->image);
    EXPECT_TRUE(f->data->layers[0]->image->IsPalettized());
}

TEST(FontDescriptor, GrowthIsBounded)
{
    // Each define twice (doubling) or once (a chain of lists) in the next.
    auto chained = [](int count, const std::string& first, bool twice) {
        std::string text = "Define D0 " + first + ";\n";
        for (int i = 1; i < count; ++i)
        {
            const std::string previous = "D" + std::to_string(i - 1);
            text += "Define D" + std::to_string(i) + " (" + previous + (twice ? " " + previous : "") + ");\n";
        }
        return text;
    };
    const std::pair<std::string, const char*> cases[] = {
        {chained(40, "(1 2)", true), "List Too Large"},
        {"Define A " + std::string(200, '(') + std::string(200, ')'), "List Nested Too Deeply"},
        {chained(100, "(1)", false), "List Nested Too Deeply"},
    };
    for (const auto& [text, message] : cases)
    {
        auto f = Load(text);
        EXPECT_FALSE(f->ok);
        ASSERT_EQ(f->host.errors.size(), 1u);
        EXPECT_NE(f->host.errors[0].find(message), std::string::npos) << f->host.errors[0];
    }
}

TEST(FontDescriptor, EmptyAndCommentOnlyDescriptorsLoad)
{
    auto f = Load("  # nothing here\n\n;;\n   # still nothing");
    EXPECT_TRUE(f->ok);
    EXPECT_TRUE(f->host.errors.empty());
}
