// Pictures made by ImageMagick in the layouts other programs write, decoded
// by our readers and by ImageMagick itself: exactly alike, but for 16-bit
// channels, which may round to 8 bits one level apart. JPEG is decoded by
// the same library in both, so it must agree exactly too.
#include "ReferenceTools.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace Quillo;
using namespace ReferenceTools;

namespace
{

// A photo-like picture: smooth gradients, noise and an alpha ramp with
// fully clear and fully opaque corners.
std::unique_ptr<ImageLib::Image> Photo(int w, int h)
{
    auto img = std::make_unique<ImageLib::Image>(w, h);
    std::mt19937 rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t noise = rng() % 24;
            const uint32_t r = uint32_t(x * 255 / (w - 1)), g = uint32_t(y * 255 / (h - 1));
            const uint32_t b = (uint32_t(x * y) + noise) & 0xFF;
            uint32_t a = uint32_t((x + y) * 255 / (w + h - 2));
            if (x < 4 && y < 4)
                a = 0;
            img->bits[size_t(y * w + x)] = (a << 24) | (std::min(r + noise, 255u) << 16) | (g << 8) | b;
        }
    return img;
}

// Few colours and on/off transparency: every palette format holds it
// without loss.
std::unique_ptr<ImageLib::Image> Cartoon(int w, int h)
{
    static constexpr uint32_t kColours[] = {0xFFE02020, 0xFF20A040, 0xFF2040E0, 0xFFFFFFFF,
                                            0xFF000000, 0xFFF0C000, 0x00000000};
    auto img = std::make_unique<ImageLib::Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img->bits[size_t(y * w + x)] = kColours[size_t((x / 5 + y / 3 + (x * y) % 3) % 7)];
    return img;
}

struct Variant
{
    const char* name;
    const char* source; // "photo" or "cartoon"
    const char* options;
    const char* extension;
    int tolerance;
};

// The layouts that image editors and converters commonly write.
constexpr Variant kVariants[] = {
    {"PNG RGBA", "photo", "", "png", 0},
    {"PNG RGB", "photo", "-alpha off", "png", 0},
    {"PNG 16-bit RGBA", "photo", "-depth 16", "png", 1},
    {"PNG 16-bit grey", "photo", "-colorspace Gray -alpha off -depth 16", "png", 1},
    {"PNG grey", "photo", "-colorspace Gray -alpha off", "png", 0},
    {"PNG grey with alpha", "photo", "-colorspace Gray", "png", 0},
    {"PNG interlaced", "photo", "-interlace PNG", "png", 0},
    {"PNG palette", "cartoon", "-type Palette", "png", 0},
    {"PNG 1-bit", "cartoon", "-alpha off -type Bilevel", "png", 0},
    {"PNG 4-bit grey", "cartoon", "-alpha off -colorspace Gray -depth 4", "png", 0},
    {"TGA 32-bit bottom up", "photo", "", "tga", 0},
    {"TGA 32-bit top down", "photo", "-orient TopLeft", "tga", 0},
    {"TGA 24-bit", "photo", "-alpha off", "tga", 0},
    {"TGA run-length", "photo", "-compress RLE", "tga", 0},
    {"TGA 24-bit run-length", "cartoon", "-alpha off -compress RLE", "tga", 0},
    {"TGA grey", "photo", "-alpha off -colorspace Gray", "tga", 0},
    {"TGA grey run-length", "cartoon", "-alpha off -colorspace Gray -compress RLE", "tga", 0},
    {"TGA palette", "cartoon", "-alpha off -type Palette", "tga", 0},
    {"TGA palette run-length", "cartoon", "-alpha off -type Palette -compress RLE", "tga", 0},
    {"GIF", "cartoon", "", "gif", 0},
    {"GIF interlaced", "cartoon", "-interlace GIF", "gif", 0},
    {"GIF opaque", "cartoon", "-alpha off", "gif", 0},
    {"JPEG", "photo", "-alpha off -quality 90", "jpg", 0},
    {"JPEG 4:2:0", "photo", "-alpha off -quality 60 -sampling-factor 2x2", "jpg", 0},
    {"JPEG progressive", "photo", "-alpha off -interlace JPEG", "jpg", 0},
    {"JPEG grey", "photo", "-alpha off -colorspace Gray", "jpg", 0},
    {"JPEG CMYK", "photo", "-alpha off -colorspace CMYK", "jpg", 0},
};

} // namespace

TEST(ImageDifferential, EveryCommonLayoutDecodesLikeImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed (scripts/setup installs it)";
    TempDir dir;
    ASSERT_TRUE(ImageLib::WritePNG(dir / "photo.png", *Photo(61, 37)));
    ASSERT_TRUE(ImageLib::WritePNG(dir / "cartoon.png", *Cartoon(45, 29)));
    int n = 0;
    for (const Variant& v : kVariants)
    {
        SCOPED_TRACE(v.name);
        const std::string file = dir / ("v" + std::to_string(n++) + "." + v.extension);
        ASSERT_TRUE(Shell("convert " + Quoted(dir / (std::string(v.source) + ".png")) + " " + v.options + " " +
                        Quoted(file)));
        const auto reference = DecodeWithImageMagick(file, dir.Path());
        ASSERT_TRUE(reference);
        const auto bytes = ReadBytes(file);
        ASSERT_TRUE(bytes);
        std::string error;
        const auto ours = DecodeImage(v.extension, *bytes, error);
        ASSERT_TRUE(ours) << error;
        ASSERT_EQ(ours->width, reference->width);
        ASSERT_EQ(ours->height, reference->height);
        EXPECT_LE(LargestDifference(ours->width, ours->height, ours->bits.get(), *reference), v.tolerance);
    }
}
