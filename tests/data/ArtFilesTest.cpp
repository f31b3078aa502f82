#include "tests/data/ArtData.h"

#include "framework/graphics/MemoryImage.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace
{

uint32_t Alpha(uint32_t argb)
{
    return argb >> 24;
}

} // namespace

TEST_F(ArtData, ManifestImagesHaveTheSizesTheCodeRelies)
{
    for (const char* group : {"TitleScreen", "Game", "MainMenu", "SelectStage"})
        LoadImagesOf(group);
    LoadImagesOf("Init");
    auto size = [&](const std::string& id) {
        const Quillo::MemoryImage* image = manager->Images().at(id)->image.get();
        return image ? std::make_pair(image->GetWidth(), image->GetHeight()) : std::make_pair(-1, -1);
    };
    using Size = std::pair<int, int>;
    const std::map<std::string, Size> fixed = {
        {"IMAGE_BUTTON_BALL", {94, 94}},       {"spr_gate_bord", {92, 92}},
        {"IMAGE_INGAME_UP", {800, 30}},        {"IMAGE_INGAME_DOWN", {800, 64}},
        {"IMAGE_BAR_UP", {306, 18}},           {"spr_light_big_bar", {316, 22}},
        {"IMAGE_BAR_DOWN", {218, 12}},         {"spr_light_small_bar", {220, 22}},
        {"IMAGE_DIALOG_BOX", {90, 90}},        {"IMAGE_DIALOG_BUTTON", {105, 88}},
        {"IMAGE_CHECKBOX", {80, 40}},          {"IMAGE_SLIDER_TRACK", {36, 10}},
        {"IMAGE_LOADING_SCREEN", {800, 600}},  {"IMAGE_LOADING_BAR", {318, 22}},
        {"IMAGE_MAIN_MENU_BG", {800, 600}},    {"IMAGE_SS_BG", {800, 600}},
        {"IMAGE_SS_OPEN", {170, 132}},         {"IMAGE_SS_CLOSE", {170, 132}},
        {"IMAGE_SS_SELECTED", {170, 132}},     {"IMAGE_SS_LIGHT", {152, 114}},
        {"IMAGE_SS_PLAY", {160, 60}},          {"spr_picGlow", {80, 80}},
        {"IMAGE_BOMB_BLAST", {256, 256}},      {"spr_picBigGlow", {120, 120}},
        {"IMAGE_CUSTOM_POINTER", {32, 32}},    {"IMAGE_CUSTOM_HAND", {32, 32}},
        {"IMAGE_CUSTOM_DRAGGING", {32, 32}},   {"IMAGE_CUSTOM_TEXT", {32, 32}},
    };
    for (const auto& [id, expected] : fixed)
        EXPECT_EQ(size(id), expected) << id;

    // Menu labels: widths that centre the balls on the default points.
    const std::map<std::string, int> widths = {
        {"START", 110}, {"OPTIONS", 140}, {"HELP", 84}, {"HIGHSCORES", 198}, {"QUIT", 84}};
    for (const auto& [name, width] : widths)
    {
        EXPECT_EQ(size("IMAGE_MB_" + name).first, width) << name;
        EXPECT_EQ(size("IMAGE_MB_" + name + "_P"), size("IMAGE_MB_" + name)) << name;
    }
    // Every state of a button is the same size.
    EXPECT_EQ(size("IMAGE_MENUBUTTON_OVER"), size("IMAGE_MENUBUTTON_NORMAL"));
    EXPECT_EQ(size("IMAGE_MENUBUTTON_DOWN"), size("IMAGE_MENUBUTTON_NORMAL"));
    EXPECT_LE(size("IMAGE_MENUBUTTON_NORMAL").first, 100);
    EXPECT_LE(size("IMAGE_MENUBUTTON_NORMAL").second, 40);
    for (const char* b : {"PLAY", "BACK", "LEFT", "RIGHT"})
        EXPECT_EQ(size(std::string("IMAGE_SS_") + b + "_P"), size(std::string("IMAGE_SS_") + b)) << b;
    EXPECT_EQ(size("IMAGE_SS_LEFT").first, 35);
    EXPECT_EQ(size("IMAGE_SS_RIGHT").first, 35);
    EXPECT_LE(size("IMAGE_SS_TITLE").first, 560);
    EXPECT_LE(size("IMAGE_SS_TITLE").second, 80);
}

TEST_F(ArtData, PicturesFacesAndTheGateFitTheirCels)
{
    const auto empty = Picture("gfx/empty");
    ASSERT_TRUE(empty);
    ASSERT_EQ(empty->width, 60);
    ASSERT_EQ(empty->height, 60);
    for (int i = 0; i < 60 * 60; ++i)
        ASSERT_EQ(Alpha(empty->bits[i]), 0u) << "the face canvas must be transparent";

    std::vector<std::string> symbols;
    for (int p = 1; p <= 13; ++p)
    {
        char stem[32];
        std::snprintf(stem, sizeof stem, "gfx/pic_%02d", p);
        symbols.push_back(stem);
    }
    for (const char* b : {"eye", "rollback", "pause", "type", "bomb"})
        symbols.push_back(std::string("gfx/bonus_") + b);
    for (const std::string& stem : symbols)
    {
        const auto pic = Picture(stem);
        ASSERT_TRUE(pic) << stem;
        EXPECT_EQ(pic->width, 60) << stem;
        EXPECT_EQ(pic->height, 60) << stem;
        int opaque = 0, corner = 0;
        for (int y = 0; y < pic->height; ++y)
            for (int x = 0; x < pic->width; ++x)
            {
                const uint32_t a = Alpha(pic->bits[y * pic->width + x]);
                opaque += a > 200;
                // Outside the ball nothing may show, or it would spill off the face.
                if (std::hypot(x + 0.5 - 30, y + 0.5 - 30) > 30.5)
                    corner += a > 8;
            }
        EXPECT_GT(opaque, 400) << stem << " has no solid symbol";
        EXPECT_EQ(corner, 0) << stem << " draws outside the ball";
    }

    const auto gate = Picture("gfx/gate3");
    ASSERT_TRUE(gate);
    ASSERT_EQ(gate->width, 1890);
    ASSERT_EQ(gate->height, 90);
    // Each cel is rotated about its centre: nothing beyond radius 44.5.
    for (int cel = 0; cel < 21; ++cel)
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
            {
                if (std::hypot(x + 0.5 - 45, y + 0.5 - 45) > 44.5)
                {
                    ASSERT_EQ(Alpha(gate->bits[y * 1890 + cel * 90 + x]), 0u)
                        << "cel " << cel << " at " << x << "," << y;
                }
            }
    // Cels differ from step to step: the gate visibly opens.
    for (int cel = 1; cel < 21; ++cel)
    {
        int changed = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
                changed += gate->bits[y * 1890 + cel * 90 + x] != gate->bits[y * 1890 + (cel - 1) * 90 + x];
        EXPECT_GT(changed, 100) << "cel " << cel << " looks like the one before";
    }
}

TEST_F(ArtData, BackgroundsThumbnailsAndHelpHaveTheirSizes)
{
    for (int level = 1; level <= 30; ++level)
    {
        char bg[32], thumb[32];
        std::snprintf(bg, sizeof bg, "levels/bg%02d", level);
        std::snprintf(thumb, sizeof thumb, "gfx/152x114/bg%02d", level);
        const auto big = Picture(bg);
        const auto small = Picture(thumb);
        ASSERT_TRUE(big) << bg;
        ASSERT_TRUE(small) << thumb;
        EXPECT_EQ(std::make_pair(big->width, big->height), std::make_pair(800, 600)) << bg;
        EXPECT_EQ(std::make_pair(small->width, small->height), std::make_pair(152, 114)) << thumb;
        for (int i = 0; i < 800 * 600; i += 997)
            ASSERT_EQ(Alpha(big->bits[i]), 255u) << bg << " must be opaque";
    }
    const auto help = Picture("gfx/help/help");
    ASSERT_TRUE(help);
    EXPECT_EQ(std::make_pair(help->width, help->height), std::make_pair(800, 600));
    // The help page's back button is the stage selection's.
    EXPECT_TRUE(Picture("gfx/SelectStage/back"));
    EXPECT_TRUE(Picture("gfx/SelectStage/back+"));
}

TEST_F(ArtData, NoFileCanBeMistakenForAnAlphaCompanion)
{
    std::map<std::string, std::set<std::string>> stemsByFolder;
    for (const char* top : {"bin", "gfx", "levels", "music", "properties"})
    {
        if (!std::filesystem::exists(top))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top))
        {
            if (!entry.is_regular_file())
                continue;
            const std::string name = entry.path().filename().string();
            EXPECT_NE(name.front(), '_') << entry.path();
            EXPECT_NE(name.rfind("cached_", 0), 0u) << entry.path() << " is a sound cache";
            const std::string ext = entry.path().extension().string();
            if (ext != ".png" && ext != ".jpg" && ext != ".tga" && ext != ".gif")
                continue;
            const std::string stem = entry.path().stem().string();
            const std::string folder = entry.path().parent_path().string();
            // One picture per stem: the loader takes the first extension it finds.
            EXPECT_TRUE(stemsByFolder[folder].insert(stem).second) << entry.path() << " shares its stem";
        }
    }
    for (const auto& [folder, stems] : stemsByFolder)
        for (const std::string& stem : stems)
            EXPECT_EQ(stems.count(stem + "_"), 0u) << folder << "/" << stem << "_ would be read as alpha";
}
