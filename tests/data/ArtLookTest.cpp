#include "tests/data/ArtData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

// Checks on what the pictures look like that a player relies on: shapes that
// differ, colours that match the texts, strips that animate, frames that tile.

namespace
{

using Pixels = std::unique_ptr<Quillo::ImageLib::Image>;

int A(uint32_t p) { return int(p >> 24); }
int R(uint32_t p) { return int((p >> 16) & 255); }
int G(uint32_t p) { return int((p >> 8) & 255); }
int B(uint32_t p) { return int(p & 255); }

std::string PictureStem(int p)
{
    char stem[32];
    std::snprintf(stem, sizeof stem, "gfx/pic_%02d", p);
    return stem;
}

// The solid part inside radius 24: the bonus icons share their outer ring,
// which is the mark of a bonus and not its shape.
std::vector<bool> Mask(const Quillo::ImageLib::Image& image)
{
    std::vector<bool> mask(size_t(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            mask[size_t(y) * image.width + x] =
                A(image.bits[y * image.width + x]) > 128 && std::hypot(x + 0.5 - 30, y + 0.5 - 30) < 24;
    return mask;
}

// The colour the game gives each picture's texts.
constexpr int TextColours[13][3] = {{255, 150, 150}, {255, 150, 255}, {150, 255, 150}, {150, 150, 255},
                                    {255, 255, 150}, {150, 255, 150}, {255, 150, 150}, {150, 127, 127},
                                    {255, 150, 150}, {150, 150, 255}, {255, 127, 150}, {255, 150, 150},
                                    {255, 255, 150}};

} // namespace

TEST_F(ArtData, PicturesDifferInSilhouette)
{
    std::vector<std::string> stems;
    for (int p = 1; p <= 13; ++p)
        stems.push_back(PictureStem(p));
    for (const char* b : {"eye", "rollback", "pause", "type", "bomb"})
        stems.push_back(std::string("gfx/bonus_") + b);
    std::vector<std::vector<bool>> masks;
    for (const std::string& stem : stems)
    {
        const auto pic = Picture(stem);
        ASSERT_TRUE(pic) << stem;
        masks.push_back(Mask(*pic));
    }
    // Overlap over union of the solid parts: shapes known apart by outline
    // alone stay well below identical (1.0).
    for (size_t i = 0; i < masks.size(); ++i)
        for (size_t j = i + 1; j < masks.size(); ++j)
        {
            int both = 0, either = 0;
            for (size_t k = 0; k < masks[i].size(); ++k)
            {
                both += masks[i][k] && masks[j][k];
                either += masks[i][k] || masks[j][k];
            }
            EXPECT_LT(double(both) / either, 0.8) << stems[i] << " and " << stems[j] << " look alike";
        }
}

TEST_F(ArtData, PicturesCarryTheirTextColour)
{
    for (int p = 1; p <= 13; ++p)
    {
        const auto pic = Picture(PictureStem(p));
        ASSERT_TRUE(pic);
        double sum[3] = {0, 0, 0}, weight = 0;
        for (int i = 0; i < pic->width * pic->height; ++i)
        {
            const uint32_t px = pic->bits[i];
            if (A(px) < 200)
                continue;
            sum[0] += R(px);
            sum[1] += G(px);
            sum[2] += B(px);
            weight += 1;
        }
        ASSERT_GT(weight, 0);
        // Compare the tint (colour minus its grey) with the text colour's.
        double mine[3], text[3], dot = 0, n1 = 0, n2 = 0;
        const double myGrey = (sum[0] + sum[1] + sum[2]) / (3 * weight);
        const double textGrey = (TextColours[p - 1][0] + TextColours[p - 1][1] + TextColours[p - 1][2]) / 3.0;
        for (int c = 0; c < 3; ++c)
        {
            mine[c] = sum[c] / weight - myGrey;
            text[c] = TextColours[p - 1][c] - textGrey;
            dot += mine[c] * text[c];
            n1 += mine[c] * mine[c];
            n2 += text[c] * text[c];
        }
        EXPECT_GT(dot / std::sqrt(n1 * n2), 0.8) << PictureStem(p) << " is not the colour of its texts";
    }
}

TEST_F(ArtData, HintsShowOverEveryBack)
{
    const auto backs = Picture("gfx/game/pic_back");
    ASSERT_TRUE(backs);
    ASSERT_EQ(backs->width, 240);
    for (int p = 1; p <= 13; ++p)
    {
        const auto pic = Picture(PictureStem(p));
        ASSERT_TRUE(pic);
        for (int cel = 0; cel < 4; ++cel)
        {
            // The game's hint: grey at 40 % over the closed back.
            double change = 0;
            int area = 0;
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x)
                {
                    const uint32_t s = pic->bits[y * 60 + x];
                    const uint32_t d = backs->bits[y * 240 + cel * 60 + x];
                    if (A(s) < 200 || A(d) < 255)
                        continue;
                    const double grey = int(0.3 * R(s) + 0.59 * G(s) + 0.11 * B(s));
                    const double under = 0.3 * R(d) + 0.59 * G(d) + 0.11 * B(d);
                    change += std::abs(grey - under) * 0.4 * A(s) / 255.0;
                    ++area;
                }
            ASSERT_GT(area, 0);
            EXPECT_GT(change / area, 12) << PictureStem(p) << " hint fades into back " << cel;
        }
    }
}

TEST_F(ArtData, FlipStripTurnsFromBackToFace)
{
    const auto flip = Picture("gfx/game/pic_rot");
    ASSERT_TRUE(flip);
    ASSERT_EQ(flip->width % 60, 0);
    const int cels = flip->width / 60;
    ASSERT_GE(cels, 5);
    std::vector<int> widths;
    for (int cel = 0; cel < cels; ++cel)
    {
        int left = 60, right = -1;
        for (int x = 0; x < 60; ++x)
            if (A(flip->bits[30 * flip->width + cel * 60 + x]) > 128)
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        widths.push_back(right - left + 1);
    }
    EXPECT_GE(widths.front(), 54);
    EXPECT_GE(widths.back(), 54);
    // Edge-on in the middle, and narrowing and widening steadily.
    EXPECT_LE(*std::min_element(widths.begin(), widths.end()), 12);
    for (int cel = 1; cel < cels / 2; ++cel)
        EXPECT_LE(widths[cel], widths[cel - 1]) << cel;
    for (int cel = cels / 2 + 1; cel < cels; ++cel)
        EXPECT_GE(widths[cel], widths[cel - 1]) << cel;
}

TEST_F(ArtData, GateOpensOverItsCels)
{
    const auto gate = Picture("gfx/gate3");
    ASSERT_TRUE(gate);
    // The share of the middle still covered by blades (light, blue-grey
    // metal; the pit is dark or glowing red).
    auto covered = [&](int cel) {
        int blade = 0, n = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
                if (std::hypot(x + 0.5 - 45, y + 0.5 - 45) < 28)
                {
                    const uint32_t p = gate->bits[y * 1890 + cel * 90 + x];
                    blade += B(p) > R(p) && 0.3 * R(p) + 0.59 * G(p) + 0.11 * B(p) > 50;
                    ++n;
                }
        return double(blade) / n;
    };
    EXPECT_GT(covered(0), 0.9) << "closed";
    EXPECT_LT(covered(20), 0.1) << "open";
    // A quarter, half, three quarters: steadily more of the pit shows.
    for (int cel = 5; cel <= 15; cel += 5)
        EXPECT_LT(covered(cel), covered(cel - 5) - 0.05) << "cel " << cel;
    EXPECT_LE(covered(20), covered(15));
}

TEST_F(ArtData, FramePiecesTileWithoutSeams)
{
    // Along a tiled edge every pixel equals the first of its row or column.
    auto rowsConstant = [](const Quillo::ImageLib::Image& img, int x0, int x1, int y0, int y1) {
        int bad = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                bad += img.bits[y * img.width + x] != img.bits[y * img.width + x0];
        return bad;
    };
    auto columnsConstant = [](const Quillo::ImageLib::Image& img, int x0, int x1, int y0, int y1) {
        int bad = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                bad += img.bits[y * img.width + x] != img.bits[y0 * img.width + x];
        return bad;
    };
    const auto box = Picture("gfx/game/dialog_box");
    ASSERT_TRUE(box);
    EXPECT_EQ(rowsConstant(*box, 30, 60, 0, 30), 0) << "top edge";
    EXPECT_EQ(rowsConstant(*box, 30, 60, 60, 90), 0) << "bottom edge";
    EXPECT_EQ(columnsConstant(*box, 0, 30, 30, 60), 0) << "left edge";
    EXPECT_EQ(columnsConstant(*box, 60, 90, 30, 60), 0) << "right edge";
    EXPECT_EQ(rowsConstant(*box, 30, 60, 30, 60) + columnsConstant(*box, 30, 60, 30, 60), 0) << "centre";

    const auto button = Picture("gfx/game/dialog_button");
    ASSERT_TRUE(button);
    EXPECT_EQ(rowsConstant(*button, 35, 70, 0, 88), 0) << "button middles";

    const auto track = Picture("gfx/game/slider_track");
    ASSERT_TRUE(track);
    EXPECT_EQ(rowsConstant(*track, 12, 24, 0, 10), 0) << "slider middle cell";
}

TEST_F(ArtData, BackgroundsAreDistinct)
{
    std::vector<Pixels> thumbs;
    for (int level = 1; level <= 30; ++level)
    {
        char stem[32];
        std::snprintf(stem, sizeof stem, "gfx/152x114/bg%02d", level);
        thumbs.push_back(Picture(stem));
        ASSERT_TRUE(thumbs.back()) << stem;
    }
    for (size_t i = 0; i < thumbs.size(); ++i)
        for (size_t j = i + 1; j < thumbs.size(); ++j)
        {
            double diff = 0;
            const int n = 152 * 114;
            for (int k = 0; k < n; ++k)
            {
                const uint32_t a = thumbs[i]->bits[k], b = thumbs[j]->bits[k];
                diff += std::abs(R(a) - R(b)) + std::abs(G(a) - G(b)) + std::abs(B(a) - B(b));
            }
            EXPECT_GT(diff / n, 6) << "backgrounds " << i + 1 << " and " << j + 1 << " look alike";
        }
}
