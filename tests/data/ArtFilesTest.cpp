#include "tests/data/ArtData.h"

#include "framework/graphics/MemoryImage.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>

TEST_F(ArtData, ManifestImagesHaveTheSizesAndCelsTheCodeRelies)
{
    for (const char* group : {"Init", "TitleScreen", "Game", "MainMenu", "SelectStage"})
        LoadImagesOf(group);
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
        // Strips of cels side by side.
        {"spr_picBack", {4 * 60, 60}},         {"spr_picRot", {10 * 60, 60}},
        {"IMAGE_CHIPS", {8 * 32, 32}},         {"IMAGE_WARNING_POINT", {8 * 24, 24}},
    };
    for (const auto& [id, expected] : fixed)
        EXPECT_EQ(size(id), expected) << id;
    const std::pair<const char*, int> strips[] = {
        {"spr_picBack", 4}, {"spr_picRot", 10}, {"IMAGE_CHIPS", 8}, {"IMAGE_WARNING_POINT", 8}};
    for (const auto& [id, cols] : strips)
        EXPECT_EQ(manager->Images().at(id)->cols, cols) << id;

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
            // One picture per stem: the loader takes the first extension it finds.
            EXPECT_TRUE(stemsByFolder[entry.path().parent_path().string()].insert(entry.path().stem().string()).second)
                << entry.path() << " shares its stem";
        }
    }
    for (const auto& [folder, stems] : stemsByFolder)
        for (const std::string& stem : stems)
            EXPECT_EQ(stems.count(stem + "_"), 0u) << folder << "/" << stem << "_ would be read as alpha";
}
