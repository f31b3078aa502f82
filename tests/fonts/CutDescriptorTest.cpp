// A font descriptor file cut anywhere (down to one byte or none) or
// zero-filled: either it still makes a font that draws, or loading stops
// with an error that names the file. No cut leaves a silent empty font.
#include "FontTestHost.h"

#include "framework/graphics/FontData.h"
#include "framework/graphics/ImageFont.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using Quillo::ImageFont;

namespace
{

const std::string kDescriptor = R"(# two glyphs and a shadow
SetDefaultPointSize 8;
CreateLayer Main;
LayerSetImage Main 'glyphs.png';
LayerSetAscent Main 4;
LayerSetImageMap Main ('A' 'B') ((0 0 3 4) (3 0 2 4));
LayerSetCharWidths Main ('A' 'B') (4 3);
CreateLayerFrom Shadow Main;
LayerSetOffset Shadow (1 1);
)";

struct Outcome
{
    bool loaded = false;
    bool draws = false;
    std::vector<std::string> errors;
};

} // namespace

class CutDescriptor : public ::testing::Test
{
protected:
    Outcome LoadFile(const std::string& bytes)
    {
        FontTestHost host;
        host.AddImage(dir / "glyphs.png", 8, 4, {{0, 0, 5, 4}});
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        ImageFont font(host, path);
        return {font.IsLoaded(), font.IsLoaded() && font.TextWidth("AB") > 0, host.errors};
    }
    // Loaded and drawing, or stopped with one error naming the file.
    void ExpectDrawsOrStops(const std::string& bytes, const std::string& what)
    {
        SCOPED_TRACE(what);
        const Outcome o = LoadFile(bytes);
        if (o.loaded)
        {
            EXPECT_TRUE(o.draws) << "a font that draws nothing went on";
            EXPECT_TRUE(o.errors.empty());
            return;
        }
        ASSERT_EQ(o.errors.size(), 1u) << "stopped without a word";
        EXPECT_EQ(o.errors[0].rfind("Font Descriptor Error in " + path + "\r\n", 0), 0u) << o.errors[0];
    }

    TempDir dir;
    const std::string path = dir / "font.txt";
};

TEST_F(CutDescriptor, EveryCutDrawsOrStopsNamingTheFile)
{
    ASSERT_TRUE(LoadFile(kDescriptor).draws) << "the whole file";
    for (size_t length = 0; length < kDescriptor.size(); ++length)
        ExpectDrawsOrStops(kDescriptor.substr(0, length), "cut to " + std::to_string(length) + " bytes");
    ExpectDrawsOrStops(std::string(kDescriptor.size(), '\0'), "zero-filled");
}

TEST_F(CutDescriptor, EmptiedOrOneByteStopsAndSaysWhy)
{
    const Outcome empty = LoadFile("");
    EXPECT_FALSE(empty.loaded);
    ASSERT_EQ(empty.errors.size(), 1u);
    EXPECT_EQ(empty.errors[0], "Font Descriptor Error in " + path + "\r\nEmpty File");

    for (const std::string one : {"#", " ", "\n", ";"})
    {
        const Outcome o = LoadFile(one);
        EXPECT_FALSE(o.loaded) << int(one[0]);
        ASSERT_EQ(o.errors.size(), 1u) << int(one[0]);
        EXPECT_EQ(o.errors[0], "Font Descriptor Error in " + path + "\r\nNo Glyphs Defined");
    }
    // Layers without a glyph draw nothing either.
    const Outcome bare = LoadFile("CreateLayer Main; LayerSetAscent Main 4;");
    EXPECT_FALSE(bare.loaded);
    ASSERT_EQ(bare.errors.size(), 1u);
}
