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
using QuilloTest::TgaFile;
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

std::vector<uint8_t> Png(int w, int h, const std::vector<uint32_t>& px)
{
    return QuilloTest::PngFile(w, h, px, PNG_COLOR_TYPE_RGB_ALPHA, 8);
}

// Every pixel opaque and within tolerance of (r, g, b).
void ExpectAllNear(const ImageLib::Image& img, int r, int g, int b, int tolerance)
{
    for (uint32_t p : Pixels(img))
    {
        EXPECT_EQ(p >> 24, 255u);
        EXPECT_NEAR(int((p >> 16) & 0xFF), r, tolerance);
        EXPECT_NEAR(int((p >> 8) & 0xFF), g, tolerance);
        EXPECT_NEAR(int(p & 0xFF), b, tolerance);
    }
}

} // namespace

TEST(ImageLib, TgaReadsEveryCommonLayout)
{
    const int w = 7, h = 5;
    const auto rgba = Noise(w, h, true, 1);
    auto opaque = rgba;
    for (auto& p : opaque)
        p |= 0xFF000000u;
    std::vector<uint32_t> levels, greyPx, greyAlpha, greyAlphaPx, indices, mapped;
    const std::vector<uint32_t> palette{Argb(255, 10, 20, 30), Argb(255, 200, 100, 0), Argb(255, 0, 0, 255)};
    for (int i = 0; i < w * h; ++i)
    {
        const uint32_t g = uint32_t(i * 13) & 0xFF, a = uint32_t(255 - i * 7);
        levels.push_back(g);
        greyPx.push_back(Argb(255, g, g, g));
        greyAlpha.push_back((a << 24) | g);
        greyAlphaPx.push_back(Argb(a, g, g, g));
        indices.push_back(uint32_t(i % 3) + 5);
        mapped.push_back(palette[size_t(i % 3)]);
    }
    // 5-5-5 words: the top bit is alpha when the descriptor names one alpha bit.
    const std::vector<uint32_t> words{0x7FFF, 0x001F, 0x8000 | (1 << 10), 0x0421};
    // Alpha bytes are used even when the descriptor forgets to count them,
    // unless every one is zero: then the writer never set them.
    const std::vector<uint32_t> uncounted{Argb(0x80, 1, 2, 3), Argb(0, 4, 5, 6)};
    const std::vector<uint32_t> unset{Argb(0, 1, 2, 3), Argb(0, 4, 5, 6)};
    // The old reader took the pixels to start right after the header.
    QuilloTest::TgaLayout idAndUnusedMap{2, 32, 0x28, std::string(37, 'c')};
    idAndUnusedMap.colorMap = {0xFF112233, 0xFF445566};
    struct Case
    {
        const char* name;
        QuilloTest::TgaLayout layout;
        int w, h;
        const std::vector<uint32_t>& stored;
        std::vector<uint32_t> px;
    } cases[] = {
        {"32-bit top down", {2, 32, 0x28}, w, h, rgba, rgba},
        {"32-bit bottom up", {2, 32, 0x08}, w, h, rgba, rgba},
        {"32-bit right to left", {2, 32, 0x18}, w, h, rgba, rgba},
        {"24-bit bottom up", {2, 24, 0x00}, w, h, opaque, opaque},
        {"24-bit top down", {2, 24, 0x20}, w, h, opaque, opaque},
        {"24-bit with an image ID", {2, 24, 0x00, "made by a paint program"}, w, h, opaque, opaque},
        {"ID field and unused colour map", idAndUnusedMap, w, h, rgba, rgba},
        {"32-bit run-length", {10, 32, 0x08}, w, h, rgba, rgba},
        {"24-bit run-length top down", {10, 24, 0x20}, w, h, opaque, opaque},
        {"8-bit grey", {3, 8, 0x00}, w, h, levels, greyPx},
        {"8-bit grey run-length", {11, 8, 0x20}, w, h, levels, greyPx},
        {"grey with alpha", {3, 16, 0x08}, w, h, greyAlpha, greyAlphaPx},
        {"palette", {1, 8, 0x00, "", palette, 24, 5}, w, h, indices, mapped},
        {"palette run-length", {9, 8, 0x20, "", palette, 32, 5}, w, h, indices, mapped},
        {"16-bit with an alpha bit", {2, 16, 0x21}, 2, 2, words,
         {Argb(0, 255, 255, 255), Argb(0, 0, 0, 255), Argb(255, 8, 0, 0), Argb(0, 8, 8, 8)}},
        {"15-bit", {2, 15, 0x20}, 2, 2, words,
         {Argb(255, 255, 255, 255), Argb(255, 0, 0, 255), Argb(255, 8, 0, 0), Argb(255, 8, 8, 8)}},
        {"32-bit alpha the descriptor does not count", {2, 32, 0x20}, 2, 1, uncounted, uncounted},
        {"32-bit alpha never set", {2, 32, 0x20}, 2, 1, unset, {Argb(255, 1, 2, 3), Argb(255, 4, 5, 6)}},
    };
    for (const Case& c : cases)
    {
        const auto bytes = TgaFile(c.layout, c.w, c.h, c.stored);
        std::string error;
        auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(img) << c.name << ": " << error;
        EXPECT_EQ(img->width, c.w);
        EXPECT_EQ(img->height, c.h);
        EXPECT_EQ(Pixels(*img), c.px) << c.name;
    }
}

TEST(ImageLib, TgaRunLengthDataIsDecodedNotReadAsPixels)
{
    // Noise does not compress: the encoded data is longer than the raw
    // pixels, so a reader that ignores the image type finds enough bytes.
    const int w = 300, h = 3;
    const auto px = Noise(w, h, true, 3);
    const auto bytes = TgaFile({10, 32, 0x28}, w, h, px);
    ASSERT_GT(bytes.size(), size_t(18 + w * h * 4));
    auto img = ImageLib::DecodeTGA(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixels(*img), px);

    // Long runs and a packet that crosses the end of a row.
    std::vector<uint32_t> runs(size_t(w * h), Argb(255, 1, 2, 3));
    for (int x = 250; x < 300 + 40; ++x)
        runs[size_t(x)] = Argb(128, 9, 8, 7);
    const auto packed = TgaFile({10, 32, 0x08}, w, h, runs);
    EXPECT_LT(packed.size(), size_t(100));
    auto back = ImageLib::DecodeTGA(packed.data(), packed.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(Pixels(*back), runs);
}

TEST(ImageLib, TgaRefusalsSayWhy)
{
    const auto px = Noise(4, 4, true, 4);
    auto refused = [](std::vector<uint8_t> bytes) {
        std::string error;
        EXPECT_FALSE(ImageLib::DecodeTGA(bytes.data(), bytes.size(), &error));
        return error;
    };
    auto changed = [&](size_t at, uint8_t value, size_t size) {
        auto b = TgaFile({}, 4, 4, px);
        b[at] = value;
        b.resize(size);
        return b;
    };
    const size_t whole = 18 + 4 * 4 * 4;
    EXPECT_EQ(refused(changed(2, 0, whole)), "the file holds no image data");
    EXPECT_EQ(refused(changed(2, 32, whole)), "unsupported TGA image type 32");
    EXPECT_EQ(refused(TgaFile({2, 12, 0x20}, 4, 4, px)), "unsupported pixel size 12 bits");
    EXPECT_EQ(refused(TgaFile({1, 8, 0x20}, 4, 4, std::vector<uint32_t>(16, 0))),
              "a colour-mapped image without a colour map");
    EXPECT_EQ(refused(TgaFile({1, 8, 0x20, "", {Argb(255, 1, 1, 1)}}, 4, 4, std::vector<uint32_t>(16, 1))),
              "a colour index lies outside the colour map");
    auto rle = TgaFile({10, 32, 0x28}, 4, 4, px);
    rle.pop_back();
    EXPECT_EQ(refused(rle), "the pixel data is truncated");
    EXPECT_EQ(refused(changed(0, 255, 60)), "the image ID is truncated");
    EXPECT_EQ(refused({1, 2, 3}), "not a TGA file");
    // Short of the last byte, through the file reader too.
    TempDir dir;
    auto bytes = TgaFile({}, 5, 3, Gradient(5, 3, true));
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
    TempDir dir;
    for (const Case& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.type) + " depth " + std::to_string(c.depth));
        // Through the file reader, as the game loads them.
        WriteBytes(dir / "p.png", QuilloTest::PngFile(w, h, *c.px, c.type, c.depth, c.interlaced));
        auto img = ImageLib::ReadPNG(dir / "p.png");
        ASSERT_TRUE(img);
        EXPECT_EQ(Pixels(*img), *c.px);
    }
}

TEST(ImageLib, SixteenBitPngChannelsAreRounded)
{
    // 0x10A0 is nearer 0x11 (0x1111) than 0x10, 0xF000 nearer 0xEF than
    // 0xF0: cutting to the high byte gave 0x10 and 0xF0.
    const auto bytes =
        QuilloTest::PngOfRows(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {{0x10, 0xA0, 0xF0, 0x00, 0xFF, 0xFF, 0x00, 0x80}});
    auto img = ImageLib::DecodePNG(bytes.data(), bytes.size());
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bits[0], Argb(0x00, 0x11, 0xEF, 0xFF));
}

TEST(ImageLib, PngWriterRoundTripsAndRefusalsSayWhy)
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

    std::string error;
    const std::vector<uint8_t> junk{1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(ImageLib::DecodePNG(junk.data(), junk.size(), &error));
    EXPECT_EQ(error, "not a PNG file");
    auto cut = Png(4, 4, Gradient(4, 4, true));
    cut.resize(cut.size() - 20);
    EXPECT_FALSE(ImageLib::DecodePNG(cut.data(), cut.size(), &error));
    EXPECT_EQ(error.rfind("PNG: ", 0), 0u) << error;
}

TEST(ImageLib, JpegColourGreyCmykAndYcck)
{
    TempDir dir;
    const int w = 16, h = 8;
    const std::vector<uint32_t> flat(size_t(w * h), Argb(255, 200, 100, 50));
    WriteBytes(dir / "c.jpg", QuilloTest::JpegFile(w, h, flat, false));
    auto img = ImageLib::ReadJPEG(dir / "c.jpg");
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, w);
    ExpectAllNear(*img, 200, 100, 50, 3);

    WriteBytes(dir / "g.jpg", QuilloTest::JpegFile(w, h, std::vector<uint32_t>(size_t(w * h), Argb(255, 0, 0, 90)), true));
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

    // Stored values as print tools write them: 255 minus the ink.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i)
        cmyk.insert(cmyk.end(), {200, 100, 50, 128});
    for (bool ycck : {false, true})
    {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        const auto bytes = QuilloTest::JpegCmykFile(w, h, cmyk, ycck);
        std::string error;
        auto printed = ImageLib::DecodeJPEG(bytes.data(), bytes.size(), &error);
        ASSERT_TRUE(printed) << error;
        ExpectAllNear(*printed, 200 * 128 / 255, 100 * 128 / 255, 50 * 128 / 255, 2);
    }
    std::string error;
    const std::vector<uint8_t> junk{0xFF, 0xD8, 0xFF, 0x00, 0x12};
    EXPECT_FALSE(ImageLib::DecodeJPEG(junk.data(), junk.size(), &error));
    EXPECT_EQ(error.rfind("JPEG: ", 0), 0u) << error;
}

TEST(ImageLib, GifPlainInterlacedTransparentAndLocalTable)
{
    const int w = 6, h = 11;
    std::vector<uint8_t> idx;
    for (int i = 0; i < w * h; ++i)
        idx.push_back(uint8_t((i % w + i / w * 3) % 5));
    const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    QuilloTest::GifOptions tricky;
    tricky.interlaced = true;
    tricky.transparentIndex = 2;
    tricky.localTable = true;
    TempDir dir;
    for (const QuilloTest::GifOptions& options : {QuilloTest::GifOptions{}, tricky})
    {
        WriteBytes(dir / "a.gif", QuilloTest::GifFile(w, h, idx, palette, options));
        auto a = ImageLib::ReadGIF(dir / "a.gif");
        ASSERT_TRUE(a);
        std::vector<uint32_t> px;
        for (uint8_t i : idx)
            px.push_back(i == options.transparentIndex ? 0u : 0xFF000000u | palette[i]);
        EXPECT_EQ(Pixels(*a), px) << options.interlaced;
    }
}

TEST(ImageLib, GifWithRealCompressionDecodes)
{
    std::vector<uint8_t> idx(64 * 3, 1);
    for (size_t i = 0; i < idx.size(); i += 7)
        idx[i] = 0;
    const auto file = QuilloTest::GifFile(64, 3, idx, {0xFFFFFF, 0x000000});
    auto r = ImageLib::DecodeGIF(file.data(), file.size());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->bits[0], 0xFFFFFFFFu);
    EXPECT_EQ(r->bits[1], 0xFF000000u);
    // The classic 10 x 10 sample stream with 2-bit codes: codes that refer
    // to table entries, some to the entry being defined.
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
    const std::vector<uint32_t> blue(4, Argb(255, 0, 0, 255));
    WriteBytes(dir / "pic.jpg", QuilloTest::JpegFile(2, 2, std::vector<uint32_t>(4, Argb(255, 255, 0, 0)), false));
    WriteBytes(dir / "pic.png", Png(2, 2, blue));
    auto img = ImageLib::GetImage(dir / "pic", false);
    ASSERT_TRUE(img);
    EXPECT_GT((img->bits[0] >> 16) & 0xFF, 200u) << "JPEG comes before PNG";
    auto upper = ImageLib::GetImage(dir / "pic.PNG", false);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->bits[0], blue[0]);

    WriteBytes(dir / "Mixed.PNG", Png(2, 2, blue));
    EXPECT_TRUE(ImageLib::GetImage(dir / "mixed", false)) << "names resolve case-insensitively";
    EXPECT_FALSE(ImageLib::GetImage(dir / "pic.bmp", false));
    EXPECT_FALSE(ImageLib::GetImage(dir / "nothing", true));
    EXPECT_FALSE(ImageLib::GetImage("", true));
}

TEST(ImageLib, AlphaCompanions)
{
    TempDir dir;
    const std::vector<uint32_t> main(4, Argb(255, 10, 20, 30));
    WriteBytes(dir / "ball.png", Png(2, 2, main));
    // "_ball" as a GIF: alpha from its blue channel.
    WriteBytes(dir / "_ball.gif", QuilloTest::GifFile(2, 2, {0, 1, 1, 0}, {0x000040, 0x0000C8}));
    auto img = ImageLib::GetImage(dir / "ball", true);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bits[0], Argb(0x40, 10, 20, 30));
    EXPECT_EQ(img->bits[1], Argb(0xC8, 10, 20, 30));

    // A companion of another size leaves the alpha alone.
    WriteBytes(dir / "odd.png", Png(2, 2, main));
    WriteBytes(dir / "_odd.gif", QuilloTest::GifFile(1, 1, {0}, {0x000040}));
    auto odd = ImageLib::GetImage(dir / "odd", true);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->bits[0], main[0]);

    // Only the companion, found by the second name (name + "_"): white with its grey as alpha.
    WriteBytes(dir / "glow_.tga", TgaFile({}, 2, 1, {Argb(255, 0, 0, 7), Argb(0, 0, 0, 250)}));
    auto glow = ImageLib::GetImage(dir / "glow", true);
    ASSERT_TRUE(glow);
    EXPECT_EQ(Pixels(*glow), (std::vector<uint32_t>{0x07FFFFFFu, 0xFAFFFFFFu}));
    EXPECT_FALSE(ImageLib::GetImage(dir / "glow", false));

    // With an extension the companion keeps it: "_ring.png" for "ring.png".
    WriteBytes(dir / "ring.png", Png(2, 2, main));
    WriteBytes(dir / "_ring.png", Png(2, 2, std::vector<uint32_t>(4, Argb(255, 0, 0, 99))));
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
        {"tga", TgaFile({}, 13, 9, px), ImageLib::DecodeTGA},
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
            if (auto img = f.decode(bad.data(), bad.size(), nullptr))
            {
                EXPECT_GT(img->width, 0);
            }
        }
    }
}
