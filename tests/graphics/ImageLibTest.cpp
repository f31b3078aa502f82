#include "ImageFiles.h"
#include "TestImages.h"

#include "framework/graphics/ImageLib.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <random>

using namespace Quillo;
using QuilloTest::Argb;
using QuilloTest::WriteBytes;

namespace
{

std::vector<uint32_t> Pixels(const ImageLib::Image& img)
{
    return std::vector<uint32_t>(img.bits.get(), img.bits.get() + size_t(img.width) * size_t(img.height));
}

std::vector<uint32_t> Gradient(int w, int h, bool alpha)
{
    std::vector<uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(Argb(alpha ? uint32_t(x * 40 + y) & 0xFF : 255, uint32_t(x * 20), uint32_t(y * 30),
                              uint32_t(x * y) & 0xFF));
    return px;
}

} // namespace

// A picture with no two neighbours alike, so that a shifted or mirrored
// decode cannot pass by chance.
std::vector<uint32_t> Noise(int w, int h, bool alpha, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w * h));
    for (auto& p : px)
        p = alpha ? uint32_t(rng()) : (uint32_t(rng()) | 0xFF000000u);
    return px;
}

TEST(ImageLib, TgaReadsEveryCommonLayout)
{
    const int w = 7, h = 5;
    const auto rgba = Noise(w, h, true, 1);
    auto opaque = rgba;
    for (auto& p : opaque)
        p |= 0xFF000000u;
    struct Case
    {
        const char* name;
        QuilloTest::TgaLayout layout;
        const std::vector<uint32_t>* px;
    } cases[] = {
        {"32-bit top down", {2, 32, 0x28}, &rgba},
        {"32-bit bottom up", {2, 32, 0x08}, &rgba},
        {"32-bit right to left", {2, 32, 0x18}, &rgba},
        {"24-bit bottom up", {2, 24, 0x00}, &opaque},
        {"24-bit top down", {2, 24, 0x20}, &opaque},
        {"24-bit with an image ID", {2, 24, 0x00, "made by a paint program"}, &opaque},
        {"32-bit run-length", {10, 32, 0x08}, &rgba},
        {"24-bit run-length top down", {10, 24, 0x20}, &opaque},
    };
    for (const Case& c : cases)
    {
        const auto bytes = QuilloTest::TgaFileIn(c.layout, w, h, *c.px);
        std::string error;
        auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(img) << c.name << ": " << error;
        EXPECT_EQ(img->width, w);
        EXPECT_EQ(img->height, h);
        EXPECT_EQ(Pixels(*img), *c.px) << c.name;
    }
}

TEST(ImageLib, TgaSkipsTheIdFieldAndAnUnusedColourMap)
{
    // The old reader took the pixels to start right after the header.
    const auto px = Noise(6, 4, true, 2);
    QuilloTest::TgaLayout layout{2, 32, 0x28, std::string(37, 'c')};
    layout.colorMap = {0xFF112233, 0xFF445566};
    const auto bytes = QuilloTest::TgaFileIn(layout, 6, 4, px);
    auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixels(*img), px);
}

TEST(ImageLib, TgaRunLengthDataIsDecodedNotReadAsPixels)
{
    // Noise does not compress: the encoded data is longer than the raw
    // pixels, so a reader that ignores the image type finds enough bytes.
    const int w = 300, h = 3;
    const auto px = Noise(w, h, true, 3);
    const auto bytes = QuilloTest::TgaFileIn({10, 32, 0x28}, w, h, px);
    ASSERT_GT(bytes.size(), size_t(18 + w * h * 4));
    auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixels(*img), px);

    // Long runs and a packet that crosses the end of a row.
    std::vector<uint32_t> runs(size_t(w * h), Argb(255, 1, 2, 3));
    for (int x = 250; x < 300 + 40; ++x)
        runs[size_t(x)] = Argb(128, 9, 8, 7);
    const auto packed = QuilloTest::TgaFileIn({10, 32, 0x08}, w, h, runs);
    EXPECT_LT(packed.size(), size_t(100));
    auto back = ImageLib::DecodeTGA(packed.data(), packed.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(Pixels(*back), runs);
}

TEST(ImageLib, TgaGreyAndColourMappedImages)
{
    const int w = 5, h = 4;
    std::vector<uint32_t> levels, greyPx, greyAlpha, greyAlphaPx;
    for (int i = 0; i < w * h; ++i)
    {
        const uint32_t g = uint32_t(i * 13) & 0xFF, a = uint32_t(255 - i * 7);
        levels.push_back(g);
        greyPx.push_back(Argb(255, g, g, g));
        greyAlpha.push_back((a << 24) | g);
        greyAlphaPx.push_back(Argb(a, g, g, g));
    }
    const std::vector<uint32_t> palette{Argb(255, 10, 20, 30), Argb(255, 200, 100, 0), Argb(255, 0, 0, 255)};
    std::vector<uint32_t> indices, mapped;
    for (int i = 0; i < w * h; ++i)
    {
        indices.push_back(uint32_t(i % 3) + 5);
        mapped.push_back(palette[size_t(i % 3)]);
    }
    struct Case
    {
        const char* name;
        QuilloTest::TgaLayout layout;
        const std::vector<uint32_t>& stored;
        const std::vector<uint32_t>& px;
    } cases[] = {
        {"8-bit grey", {3, 8, 0x00}, levels, greyPx},
        {"8-bit grey run-length", {11, 8, 0x20}, levels, greyPx},
        {"grey with alpha", {3, 16, 0x08}, greyAlpha, greyAlphaPx},
        {"palette", {1, 8, 0x00, "", palette, 24, 5}, indices, mapped},
        {"palette run-length", {9, 8, 0x20, "", palette, 32, 5}, indices, mapped},
    };
    for (const Case& c : cases)
    {
        const auto bytes = QuilloTest::TgaFileIn(c.layout, w, h, c.stored);
        std::string error;
        auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(img) << c.name << ": " << error;
        EXPECT_EQ(Pixels(*img), c.px) << c.name;
    }
}

TEST(ImageLib, TgaFifteenAndSixteenBitColour)
{
    // 5-5-5 words: the top bit is alpha when the descriptor names one alpha bit.
    const std::vector<uint32_t> words{0x7FFF, 0x001F, 0x8000 | (1 << 10), 0x0421};
    const auto bytes = QuilloTest::TgaFileIn({2, 16, 0x21}, 2, 2, words);
    auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixels(*img), (std::vector<uint32_t>{Argb(0, 255, 255, 255), Argb(0, 0, 0, 255),
                                                   Argb(255, 8, 0, 0), Argb(0, 8, 8, 8)}));
    const auto opaque = QuilloTest::TgaFileIn({2, 15, 0x20}, 2, 2, words);
    auto img15 = ImageLib::DecodeTGA(opaque.data(), opaque.size());
    ASSERT_TRUE(img15);
    EXPECT_EQ(img15->bits[0], Argb(255, 255, 255, 255));
    EXPECT_EQ(img15->bits[3], Argb(255, 8, 8, 8));
}

TEST(ImageLib, TgaThirtyTwoBitAlphaWithoutAlphaBits)
{
    // Alpha bytes are used even when the descriptor forgets to count them,
    // unless every one is zero: then the writer never set them.
    const std::vector<uint32_t> px{Argb(0x80, 1, 2, 3), Argb(0, 4, 5, 6)};
    const auto bytes = QuilloTest::TgaFileIn({2, 32, 0x20}, 2, 1, px);
    auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixels(*img), px);
    const auto unset = QuilloTest::TgaFileIn({2, 32, 0x20}, 2, 1, {Argb(0, 1, 2, 3), Argb(0, 4, 5, 6)});
    auto opaque = ImageLib::DecodeTGA(unset.data(), unset.size());
    ASSERT_TRUE(opaque);
    EXPECT_EQ(Pixels(*opaque), (std::vector<uint32_t>{Argb(255, 1, 2, 3), Argb(255, 4, 5, 6)}));
}

TEST(ImageLib, TgaRefusalsSayWhy)
{
    const auto px = Noise(4, 4, true, 4);
    auto refused = [](std::vector<uint8_t> bytes) {
        std::string error;
        auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size(), &error);
        EXPECT_FALSE(img);
        return error;
    };
    auto withType = [&](uint8_t type) {
        auto b = QuilloTest::TgaFileIn({2, 32, 0x28}, 4, 4, px);
        b[2] = type;
        return b;
    };
    EXPECT_EQ(refused(withType(0)), "the file holds no image data");
    EXPECT_EQ(refused(withType(32)), "unsupported TGA image type 32");
    EXPECT_EQ(refused(QuilloTest::TgaFileIn({2, 12, 0x20}, 4, 4, px)), "unsupported pixel size 12 bits");
    EXPECT_EQ(refused(QuilloTest::TgaFileIn({1, 8, 0x20}, 4, 4, std::vector<uint32_t>(16, 0))),
              "a colour-mapped image without a colour map");
    EXPECT_EQ(refused(QuilloTest::TgaFileIn({1, 8, 0x20, "", {Argb(255, 1, 1, 1)}}, 4, 4,
                                            std::vector<uint32_t>(16, 1))),
              "a colour index lies outside the colour map");
    auto rle = QuilloTest::TgaFileIn({10, 32, 0x28}, 4, 4, px);
    rle.pop_back();
    EXPECT_EQ(refused(rle), "the pixel data is truncated");
    auto id = QuilloTest::TgaFileIn({2, 32, 0x28}, 4, 4, px);
    id[0] = 255;
    id.resize(60);
    EXPECT_EQ(refused(id), "the image ID is truncated");
    EXPECT_EQ(refused({1, 2, 3}), "not a TGA file");
}

TEST(ImageLib, TgaRefusesFilesShorterThanTheirPixels)
{
    TempDir dir;
    auto bytes = QuilloTest::TgaFile(5, 3, Gradient(5, 3, true));
    bytes.pop_back();
    WriteBytes(dir / "short.tga", bytes);
    EXPECT_FALSE(ImageLib::ReadTGA(dir / "short.tga"));
    // A header that claims 65535 x 65535 pixels with none behind it.
    std::vector<uint8_t> huge(18, 0);
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
    huge[16] = 32;
    huge[17] = 0x28;
    EXPECT_FALSE(ImageLib::DecodeTGA(huge.data(), huge.size()));
}

TEST(ImageLib, PngOfEveryColourTypeBecomesArgb)
{
    TempDir dir;
    const int w = 7, h = 5;
    const auto rgba = Gradient(w, h, true);
    std::vector<uint32_t> opaque = rgba, grey, greyAlpha;
    for (auto& p : opaque)
        p |= 0xFF000000u;
    for (uint32_t p : rgba)
    {
        const uint32_t v = p & 0xFF;
        grey.push_back(Argb(255, v, v, v));
        greyAlpha.push_back(Argb(p >> 24, v, v, v));
    }
    struct Case
    {
        int type, depth;
        bool interlaced;
        const std::vector<uint32_t>* px;
    } cases[] = {
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, false, &rgba},   {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, &rgba},
        {PNG_COLOR_TYPE_RGB, 8, true, &opaque},        {PNG_COLOR_TYPE_GRAY, 8, false, &grey},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16, true, &greyAlpha}, {PNG_COLOR_TYPE_PALETTE, 8, false, &rgba},
    };
    int n = 0;
    for (const Case& c : cases)
    {
        const std::string path = dir / ("p" + std::to_string(n++) + ".png");
        WriteBytes(path, QuilloTest::PngFile(w, h, *c.px, c.type, c.depth, c.interlaced));
        auto img = ImageLib::ReadPNG(path);
        ASSERT_TRUE(img) << path;
        EXPECT_EQ(Pixels(*img), *c.px) << "type " << c.type << " depth " << c.depth;
    }
}

TEST(ImageLib, SixteenBitPngChannelsAreRounded)
{
    // 0x10A0 is nearer 0x11 (0x1111) than 0x10, 0xF000 nearer 0xEF than
    // 0xF0: cutting to the high byte gave 0x10 and 0xF0.
    const uint16_t samples[4] = {0x10A0, 0xF000, 0xFFFF, 0x0080};
    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ASSERT_FALSE(setjmp(png_jmpbuf(png)));
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, 1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    uint8_t row[8];
    for (int i = 0; i < 4; ++i)
    {
        row[i * 2] = uint8_t(samples[i] >> 8);
        row[i * 2 + 1] = uint8_t(samples[i]);
    }
    png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);

    auto img = ImageLib::DecodePNG(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bits[0], Argb(0x00, 0x11, 0xEF, 0xFF));
}

TEST(ImageLib, PngRefusalsSayWhy)
{
    std::string error;
    const std::vector<uint8_t> junk{1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(ImageLib::DecodePNG(junk.data(), junk.size(), &error));
    EXPECT_EQ(error, "not a PNG file");
    auto cut = QuilloTest::PngFile(4, 4, Gradient(4, 4, true), PNG_COLOR_TYPE_RGB_ALPHA, 8);
    cut.resize(cut.size() - 20);
    EXPECT_FALSE(ImageLib::DecodePNG(cut.data(), cut.size(), &error));
    EXPECT_EQ(error.rfind("PNG: ", 0), 0u) << error;
}

TEST(ImageLib, JpegInCmykAndYcckBecomesRgb)
{
    const int w = 16, h = 8;
    // Stored values as print tools write them: 255 minus the ink.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i)
        cmyk.insert(cmyk.end(), {200, 100, 50, 128});
    for (bool ycck : {false, true})
    {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        const auto bytes = QuilloTest::JpegCmykFile(w, h, cmyk, ycck);
        std::string error;
        auto img = ImageLib::DecodeJPEG(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(img) << error;
        for (uint32_t p : Pixels(*img))
        {
            EXPECT_EQ(p >> 24, 255u);
            EXPECT_NEAR(int((p >> 16) & 0xFF), 200 * 128 / 255, 2);
            EXPECT_NEAR(int((p >> 8) & 0xFF), 100 * 128 / 255, 2);
            EXPECT_NEAR(int(p & 0xFF), 50 * 128 / 255, 2);
        }
    }
    std::string error;
    const std::vector<uint8_t> junk{0xFF, 0xD8, 0xFF, 0x00, 0x12};
    EXPECT_FALSE(ImageLib::DecodeJPEG(junk.data(), junk.size(), &error));
    EXPECT_EQ(error.rfind("JPEG: ", 0), 0u) << error;
}

TEST(ImageLib, PngWriterRoundTripsThroughTheReader)
{
    TempDir dir;
    ImageLib::Image img(9, 4);
    const auto px = Gradient(9, 4, true);
    std::copy(px.begin(), px.end(), img.bits.get());
    ASSERT_TRUE(ImageLib::WritePNG(dir / "out.png", img));
    auto back = ImageLib::ReadPNG(dir / "out.png");
    ASSERT_TRUE(back);
    EXPECT_EQ(Pixels(*back), px);
    EXPECT_FALSE(ImageLib::WritePNG(dir / "missing/dir/out.png", img));
}

TEST(ImageLib, JpegColourAndGrey)
{
    TempDir dir;
    const int w = 16, h = 8;
    std::vector<uint32_t> flat(size_t(w * h), Argb(255, 200, 100, 50));
    WriteBytes(dir / "c.jpg", QuilloTest::JpegFile(w, h, flat, false));
    auto img = ImageLib::ReadJPEG(dir / "c.jpg");
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, w);
    for (uint32_t p : Pixels(*img))
    {
        EXPECT_EQ(p >> 24, 255u);
        EXPECT_NEAR(int((p >> 16) & 0xFF), 200, 3);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 100, 3);
        EXPECT_NEAR(int(p & 0xFF), 50, 3);
    }
    std::vector<uint32_t> greyPx(size_t(w * h), Argb(255, 0, 0, 90));
    WriteBytes(dir / "g.jpg", QuilloTest::JpegFile(w, h, greyPx, true));
    auto grey = ImageLib::ReadJPEG(dir / "g.jpg");
    ASSERT_TRUE(grey);
    for (uint32_t p : Pixels(*grey))
    {
        EXPECT_NEAR(int(p & 0xFF), 90, 2);
        EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);
    }

    ImageLib::Image out(w, h);
    std::copy(flat.begin(), flat.end(), out.bits.get());
    ASSERT_TRUE(ImageLib::WriteJPEG(dir / "w.jpg", out));
    auto back = ImageLib::ReadJPEG(dir / "w.jpg");
    ASSERT_TRUE(back);
    EXPECT_NEAR(int((back->bits[5] >> 16) & 0xFF), 200, 4);
}

TEST(ImageLib, GifPlainInterlacedTransparentAndLocalTable)
{
    TempDir dir;
    const int w = 6, h = 11;
    std::vector<uint8_t> idx;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            idx.push_back(uint8_t((x + y * 3) % 5));
    const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    auto expected = [&](int transparent) {
        std::vector<uint32_t> px;
        for (uint8_t i : idx)
            px.push_back(i == transparent ? 0u : 0xFF000000u | palette[i]);
        return px;
    };
    QuilloTest::GifOptions plain;
    WriteBytes(dir / "a.gif", QuilloTest::GifFile(w, h, idx, palette, plain));
    auto a = ImageLib::ReadGIF(dir / "a.gif");
    ASSERT_TRUE(a);
    EXPECT_EQ(Pixels(*a), expected(-1));

    QuilloTest::GifOptions tricky;
    tricky.interlaced = true;
    tricky.transparentIndex = 2;
    tricky.localTable = true;
    WriteBytes(dir / "b.gif", QuilloTest::GifFile(w, h, idx, palette, tricky));
    auto b = ImageLib::ReadGIF(dir / "b.gif");
    ASSERT_TRUE(b);
    EXPECT_EQ(Pixels(*b), expected(2));
}

TEST(ImageLib, GifWithRealCompressionDecodes)
{
    // A 4 x 4 GIF with 2-bit codes whose LZW stream uses table entries.
    TempDir dir;
    std::vector<uint8_t> idx(64 * 3, 1);
    for (size_t i = 0; i < idx.size(); i += 7)
        idx[i] = 0;
    const std::vector<uint32_t> palette{0xFFFFFF, 0x000000};
    WriteBytes(dir / "r.gif", QuilloTest::GifFile(64, 3, idx, palette));
    auto r = ImageLib::ReadGIF(dir / "r.gif");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->bits[0], 0xFFFFFFFFu);
    EXPECT_EQ(r->bits[1], 0xFF000000u);
    // The classic 10 x 10 sample stream: codes that refer to entries being defined.
    const std::vector<uint8_t> sample{
        'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x91, 0, 0,
        0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0,
        0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0, 2, 0x16, 0x8C, 0x2D, 0x99,
        0x87, 0x2A, 0x1C, 0xDC, 0x33, 0xA0, 0x02, 0x75, 0xEC, 0x95, 0xFA, 0xA8, 0xDE, 0x60, 0x8C,
        0x04, 0x91, 0x4C, 0x01, 0, 0x3B};
    auto s = ImageLib::DecodeGIF(sample.data(), sample.size());
    ASSERT_TRUE(s);
    const char* rows[10] = {"1111122222", "1111122222", "1111122222", "1110000222", "1110000222",
                            "2220000111", "2220000111", "2222211111", "2222211111", "2222211111"};
    const uint32_t colour[3] = {0xFFFFFFFFu, 0xFFFF0000u, 0xFF0000FFu};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(s->bits[size_t(y * 10 + x)], colour[rows[y][x] - '0']) << x << "," << y;
}

TEST(ImageLib, GetImageTriesExtensionsInOrder)
{
    TempDir dir;
    const std::vector<uint32_t> red(4, Argb(255, 255, 0, 0));
    const std::vector<uint32_t> blue(4, Argb(255, 0, 0, 255));
    WriteBytes(dir / "pic.jpg", QuilloTest::JpegFile(2, 2, red, false));
    WriteBytes(dir / "pic.png", QuilloTest::PngFile(2, 2, blue, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    auto img = ImageLib::GetImage(dir / "pic", false);
    ASSERT_TRUE(img);
    EXPECT_GT((img->bits[0] >> 16) & 0xFF, 200u) << "JPEG comes before PNG";

    auto upper = ImageLib::GetImage(dir / "pic.PNG", false);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->bits[0], blue[0]);

    WriteBytes(dir / "Mixed.PNG", QuilloTest::PngFile(2, 2, blue, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    EXPECT_TRUE(ImageLib::GetImage(dir / "mixed", false)) << "names resolve case-insensitively";
    EXPECT_FALSE(ImageLib::GetImage(dir / "pic.bmp", false));
    EXPECT_FALSE(ImageLib::GetImage(dir / "nothing", true));
    EXPECT_FALSE(ImageLib::GetImage("", true));
}

TEST(ImageLib, AlphaCompanions)
{
    TempDir dir;
    const std::vector<uint32_t> main(4, Argb(255, 10, 20, 30));
    WriteBytes(dir / "ball.png", QuilloTest::PngFile(2, 2, main, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    // "_ball" as a GIF: alpha from its blue channel.
    WriteBytes(dir / "_ball.gif", QuilloTest::GifFile(2, 2, {0, 1, 1, 0}, {0x000040, 0x0000C8}));
    auto img = ImageLib::GetImage(dir / "ball", true);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bits[0], Argb(0x40, 10, 20, 30));
    EXPECT_EQ(img->bits[1], Argb(0xC8, 10, 20, 30));

    // A companion of another size leaves the alpha alone.
    WriteBytes(dir / "odd.png", QuilloTest::PngFile(2, 2, main, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    WriteBytes(dir / "_odd.gif", QuilloTest::GifFile(1, 1, {0}, {0x000040}));
    auto odd = ImageLib::GetImage(dir / "odd", true);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->bits[0], main[0]);

    // Only the companion, found by the second name (name + "_"): white with its grey as alpha.
    WriteBytes(dir / "glow_.tga", QuilloTest::TgaFile(2, 1, {Argb(255, 0, 0, 7), Argb(0, 0, 0, 250)}));
    auto glow = ImageLib::GetImage(dir / "glow", true);
    ASSERT_TRUE(glow);
    EXPECT_EQ(glow->bits[0], 0x07FFFFFFu);
    EXPECT_EQ(glow->bits[1], 0xFAFFFFFFu);
    EXPECT_FALSE(ImageLib::GetImage(dir / "glow", false));

    // With an extension the companion keeps it: "_ring.png" for "ring.png".
    WriteBytes(dir / "ring.png", QuilloTest::PngFile(2, 2, main, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    WriteBytes(dir / "_ring.png", QuilloTest::PngFile(2, 2, std::vector<uint32_t>(4, Argb(255, 0, 0, 99)),
                                                      PNG_COLOR_TYPE_RGB_ALPHA, 8));
    auto ring = ImageLib::GetImage(dir / "ring.png", true);
    ASSERT_TRUE(ring);
    EXPECT_EQ(ring->bits[3], Argb(99, 10, 20, 30));
}

// Every prefix and many corruptions of a valid file: never a crash, and a
// truncated file gives no image.
TEST(ImageLib, TruncatedAndCorruptFilesGiveNull)
{
    const auto px = Gradient(13, 9, true);
    std::vector<uint8_t> idx(13 * 9);
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = uint8_t(i % 4);
    struct Format
    {
        const char* name;
        std::vector<uint8_t> bytes;
        std::unique_ptr<ImageLib::Image> (*decode)(const uint8_t*, size_t, std::string*);
    } formats[] = {
        {"tga", QuilloTest::TgaFile(13, 9, px), ImageLib::DecodeTGA},
        {"png", QuilloTest::PngFile(13, 9, px, PNG_COLOR_TYPE_RGB_ALPHA, 8, true), ImageLib::DecodePNG},
        {"jpg", QuilloTest::JpegFile(13, 9, px, false), ImageLib::DecodeJPEG},
        {"gif", QuilloTest::GifFile(13, 9, idx, {1, 2, 3, 4}, {true, 1}), ImageLib::DecodeGIF},
    };
    std::mt19937 rng(3);
    for (const Format& f : formats)
    {
        ASSERT_TRUE(f.decode(f.bytes.data(), f.bytes.size(), nullptr)) << f.name;
        // A GIF whose first image is complete needs no trailer byte.
        const size_t complete = f.bytes.size() - (std::string(f.name) == "gif" ? 1 : 0);
        for (size_t len = 0; len < complete; ++len)
        {
            std::vector<uint8_t> cut(f.bytes.begin(), f.bytes.begin() + long(len));
            EXPECT_FALSE(f.decode(cut.data(), cut.size(), nullptr)) << f.name << " cut at " << len;
        }
        for (int round = 0; round < 300; ++round)
        {
            auto bad = f.bytes;
            for (int k = 0; k < 4; ++k)
                bad[rng() % bad.size()] = uint8_t(rng());
            auto img = f.decode(bad.data(), bad.size(), nullptr);
            if (img)
            {
                EXPECT_GT(img->width, 0);
            }
        }
    }
}
