#include "tests/data/ArtData.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// Checks on what the pictures look like that a player relies on: symbols
// that fill their faces and differ, colours that match the texts, strips
// that animate, frames that tile, backgrounds told apart.

namespace
{

using Pixels = std::unique_ptr<Quillo::ImageLib::Image>;

double Luma(uint32_t p)
{
    return 0.3 * Red(p) + 0.59 * Green(p) + 0.11 * Blue(p);
}

bool Outside(int x, int y, double centre, double radius)
{
    return std::hypot(x + 0.5 - centre, y + 0.5 - centre) > radius;
}

// The colour the game gives each picture's texts.
constexpr int TextColours[13][3] = {{255, 150, 150}, {255, 150, 255}, {150, 255, 150}, {150, 150, 255},
                                    {255, 255, 150}, {150, 255, 150}, {255, 150, 150}, {150, 127, 127},
                                    {255, 150, 150}, {150, 150, 255}, {255, 127, 150}, {255, 150, 150},
                                    {255, 255, 150}};

} // namespace

TEST_F(ArtData, SymbolsFillTheirFacesAndDifferInSilhouette)
{
    const auto empty = Picture("gfx/empty");
    ASSERT_TRUE(empty);
    ASSERT_EQ(std::make_pair(empty->width, empty->height), std::make_pair(60, 60));
    for (int i = 0; i < 60 * 60; ++i)
        ASSERT_EQ(Alpha(empty->bits[i]), 0) << "the face canvas must be transparent";

    const std::vector<std::string> stems = SymbolStems();
    std::vector<std::vector<bool>> masks;
    for (const std::string& stem : stems)
    {
        const auto pic = Picture(stem);
        ASSERT_TRUE(pic);
        ASSERT_EQ(std::make_pair(pic->width, pic->height), std::make_pair(60, 60)) << stem;
        // The solid part inside radius 24: the bonus icons share their outer
        // ring, which is the mark of a bonus and not its shape.
        std::vector<bool> mask(60 * 60);
        int opaque = 0, corner = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
            {
                const int a = Alpha(pic->bits[y * 60 + x]);
                opaque += a > 200;
                // Outside the ball nothing may show, or it would spill off the face.
                corner += a > 8 && Outside(x, y, 30, 30.5);
                mask[size_t(y) * 60 + x] = a > 128 && !Outside(x, y, 30, 24);
            }
        EXPECT_GT(opaque, 400) << stem << " has no solid symbol";
        EXPECT_EQ(corner, 0) << stem << " draws outside the ball";
        masks.push_back(mask);
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
        const auto pic = Picture(Numbered("gfx/pic_%02d", p));
        ASSERT_TRUE(pic);
        double sum[3] = {0, 0, 0}, weight = 0;
        for (int i = 0; i < pic->width * pic->height; ++i)
        {
            const uint32_t px = pic->bits[i];
            if (Alpha(px) < 200)
                continue;
            sum[0] += Red(px);
            sum[1] += Green(px);
            sum[2] += Blue(px);
            weight += 1;
        }
        ASSERT_GT(weight, 0);
        // Compare the tint (colour minus its grey) with the text colour's.
        const int* colour = TextColours[p - 1];
        const double myGrey = (sum[0] + sum[1] + sum[2]) / (3 * weight);
        const double textGrey = (colour[0] + colour[1] + colour[2]) / 3.0;
        double dot = 0, n1 = 0, n2 = 0;
        for (int c = 0; c < 3; ++c)
        {
            const double mine = sum[c] / weight - myGrey, text = colour[c] - textGrey;
            dot += mine * text;
            n1 += mine * mine;
            n2 += text * text;
        }
        EXPECT_GT(dot / std::sqrt(n1 * n2), 0.8) << "picture " << p << " is not the colour of its texts";
    }
}

TEST_F(ArtData, HintsShowOverEveryBack)
{
    const auto backs = Picture("gfx/game/pic_back");
    ASSERT_TRUE(backs);
    ASSERT_EQ(backs->width, 240);
    for (int p = 1; p <= 13; ++p)
    {
        const auto pic = Picture(Numbered("gfx/pic_%02d", p));
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
                    if (Alpha(s) < 200 || Alpha(d) < 255)
                        continue;
                    change += std::abs(int(Luma(s)) - Luma(d)) * 0.4 * Alpha(s) / 255.0;
                    ++area;
                }
            ASSERT_GT(area, 0);
            EXPECT_GT(change / area, 12) << "picture " << p << " hint fades into back " << cel;
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
            if (Alpha(flip->bits[30 * flip->width + cel * 60 + x]) > 128)
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

TEST_F(ArtData, GateStaysInsideItsCelsAndOpensOverThem)
{
    const auto gate = Picture("gfx/gate3");
    ASSERT_TRUE(gate);
    ASSERT_EQ(std::make_pair(gate->width, gate->height), std::make_pair(1890, 90));
    auto at = [&](int cel, int x, int y) { return gate->bits[y * 1890 + cel * 90 + x]; };
    for (int cel = 0; cel < 21; ++cel)
    {
        // Each cel is rotated about its centre: nothing beyond radius 44.5.
        int beyond = 0, changed = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
            {
                beyond += Outside(x, y, 45, 44.5) && Alpha(at(cel, x, y)) != 0;
                changed += cel > 0 && at(cel, x, y) != at(cel - 1, x, y);
            }
        EXPECT_EQ(beyond, 0) << "cel " << cel;
        if (cel > 0)
        {
            EXPECT_GT(changed, 100) << "cel " << cel << " looks like the one before";
        }
    }
    // The share of the middle still covered by blades (light, blue-grey
    // metal; the pit is dark or glowing red).
    auto covered = [&](int cel) {
        int blade = 0, n = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
                if (!Outside(x, y, 45, 28))
                {
                    const uint32_t p = at(cel, x, y);
                    blade += Blue(p) > Red(p) && Luma(p) > 50;
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
    // Along a tiled edge every pixel equals the first of its row (or column).
    auto seams = [](const Quillo::ImageLib::Image& img, int x0, int x1, int y0, int y1, bool rows) {
        int bad = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                bad += img.bits[y * img.width + x] != (rows ? img.bits[y * img.width + x0] : img.bits[y0 * img.width + x]);
        return bad;
    };
    const auto box = Picture("gfx/game/dialog_box");
    ASSERT_TRUE(box);
    EXPECT_EQ(seams(*box, 30, 60, 0, 30, true), 0) << "top edge";
    EXPECT_EQ(seams(*box, 30, 60, 60, 90, true), 0) << "bottom edge";
    EXPECT_EQ(seams(*box, 0, 30, 30, 60, false), 0) << "left edge";
    EXPECT_EQ(seams(*box, 60, 90, 30, 60, false), 0) << "right edge";
    EXPECT_EQ(seams(*box, 30, 60, 30, 60, true) + seams(*box, 30, 60, 30, 60, false), 0) << "centre";

    const auto button = Picture("gfx/game/dialog_button");
    ASSERT_TRUE(button);
    EXPECT_EQ(seams(*button, 35, 70, 0, 88, true), 0) << "button middles";
    const auto track = Picture("gfx/game/slider_track");
    ASSERT_TRUE(track);
    EXPECT_EQ(seams(*track, 12, 24, 0, 10, true), 0) << "slider middle cell";
}

TEST_F(ArtData, BackgroundsAreOpaqueDistinctAndHaveTheirThumbnails)
{
    std::vector<Pixels> thumbs;
    for (int level = 1; level <= 30; ++level)
    {
        SCOPED_TRACE(level);
        const auto big = Picture(Numbered("levels/bg%02d", level));
        thumbs.push_back(Picture(Numbered("gfx/152x114/bg%02d", level)));
        ASSERT_TRUE(big && thumbs.back());
        EXPECT_EQ(std::make_pair(big->width, big->height), std::make_pair(800, 600));
        ASSERT_EQ(std::make_pair(thumbs.back()->width, thumbs.back()->height), std::make_pair(152, 114));
        for (int i = 0; i < 800 * 600; i += 997)
            ASSERT_EQ(Alpha(big->bits[i]), 255) << "backgrounds must be opaque";
    }
    for (size_t i = 0; i < thumbs.size(); ++i)
        for (size_t j = i + 1; j < thumbs.size(); ++j)
        {
            double diff = 0;
            const int n = 152 * 114;
            for (int k = 0; k < n; ++k)
            {
                const uint32_t a = thumbs[i]->bits[k], b = thumbs[j]->bits[k];
                diff += std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
            }
            EXPECT_GT(diff / n, 6) << "backgrounds " << i + 1 << " and " << j + 1 << " look alike";
        }

    const auto help = Picture("gfx/help/help");
    ASSERT_TRUE(help);
    EXPECT_EQ(std::make_pair(help->width, help->height), std::make_pair(800, 600));
    // The help page's back button is the stage selection's.
    EXPECT_TRUE(Picture("gfx/SelectStage/back"));
    EXPECT_TRUE(Picture("gfx/SelectStage/back+"));
}
