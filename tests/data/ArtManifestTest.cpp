#include "tests/data/ArtData.h"

#include "framework/graphics/ImageFont.h"

#include <string>
#include <vector>

namespace
{

struct GroupIds
{
    std::string group;
    std::vector<std::string> fonts, images, sounds;
};

const std::vector<GroupIds>& Expected()
{
    static const std::vector<GroupIds> groups = {
        {"Init",
         {"FONT_BIG", "FONT_BUTTON", "FONT_DEFAULT", "FONT_FLYTEXT", "FONT_GAME1"},
         {"IMAGE_CUSTOM_DRAGGING", "IMAGE_CUSTOM_HAND", "IMAGE_CUSTOM_POINTER", "IMAGE_CUSTOM_TEXT"},
         {}},
        {"TitleScreen", {}, {"IMAGE_LOADING_BAR", "IMAGE_LOADING_SCREEN"}, {}},
        {"Game",
         {},
         {"IMAGE_BAR_DOWN", "IMAGE_BAR_UP", "IMAGE_BOMB_BLAST", "IMAGE_CHECKBOX", "IMAGE_CHIPS",
          "IMAGE_DIALOG_BOX", "IMAGE_DIALOG_BUTTON", "IMAGE_INGAME_DOWN", "IMAGE_INGAME_UP",
          "IMAGE_MENUBUTTON_DOWN", "IMAGE_MENUBUTTON_NORMAL", "IMAGE_MENUBUTTON_OVER",
          "IMAGE_SLIDER_THUMB", "IMAGE_SLIDER_TRACK", "IMAGE_WARNING_POINT", "spr_gate_bord",
          "spr_light_big_bar", "spr_light_small_bar", "spr_picBack", "spr_picBigGlow", "spr_picGlow",
          "spr_picRot"},
         {"SOUND_BALLS_ROLLING", "SOUND_BONUS_ARRIVED", "SOUND_CLOSE_BALL", "SOUND_COLLECT_PAIR",
          "SOUND_COMBO2", "SOUND_COMBO3", "SOUND_COMBO4", "SOUND_COMBO5", "SOUND_COMBO6",
          "SOUND_COMBO7", "SOUND_COMBO8", "SOUND_COMBO9", "SOUND_COMBO_OPEN", "SOUND_COMPLETE_CHIP",
          "SOUND_EXPLODE", "SOUND_HEARTBEAT", "SOUND_LOSE_LIFE", "SOUND_OPEN_BALL", "SOUND_ROLLBACK",
          "SOUND_SCORE_REACHED", "SOUND_STOP"}},
        {"MainMenu",
         {},
         {"IMAGE_BUTTON_BALL", "IMAGE_BUTTON_BALL_LIGHT", "IMAGE_MAIN_MENU_BG", "IMAGE_MB_HELP",
          "IMAGE_MB_HELP_P", "IMAGE_MB_HIGHSCORES", "IMAGE_MB_HIGHSCORES_P", "IMAGE_MB_OPTIONS",
          "IMAGE_MB_OPTIONS_P", "IMAGE_MB_QUIT", "IMAGE_MB_QUIT_P", "IMAGE_MB_START",
          "IMAGE_MB_START_P"},
         {}},
        {"SelectStage",
         {},
         {"IMAGE_SS_BACK", "IMAGE_SS_BACK_P", "IMAGE_SS_BG", "IMAGE_SS_CLOSE", "IMAGE_SS_LEFT",
          "IMAGE_SS_LEFT_P", "IMAGE_SS_LIGHT", "IMAGE_SS_OPEN", "IMAGE_SS_PLAY", "IMAGE_SS_PLAY_P",
          "IMAGE_SS_RIGHT", "IMAGE_SS_RIGHT_P", "IMAGE_SS_SELECTED", "IMAGE_SS_TITLE"},
         {}},
    };
    return groups;
}

template <class Map>
void ExpectIn(const Map& map, const std::vector<std::string>& ids, const std::string& group)
{
    for (const std::string& id : ids)
    {
        const auto it = map.find(id);
        ASSERT_NE(it, map.end()) << id << " is missing";
        EXPECT_EQ(it->second->group, group) << id;
    }
}

} // namespace

TEST_F(ArtData, ManifestHasEveryIdInItsGroup)
{
    for (const GroupIds& g : Expected())
    {
        SCOPED_TRACE(g.group);
        ExpectIn(manager->Fonts(), g.fonts, g.group);
        ExpectIn(manager->Images(), g.images, g.group);
        ExpectIn(manager->Sounds(), g.sounds, g.group);
        EXPECT_EQ(manager->CountResources(g.group),
                  static_cast<int>(g.fonts.size() + g.images.size() + g.sounds.size()));
    }
    // The loading bar's total.
    EXPECT_EQ(manager->CountResources("Game"), 43);
}

TEST_F(ArtData, GroupsWithoutSoundsLoadAndBind)
{
    for (const GroupIds& g : Expected())
    {
        if (!g.sounds.empty())
            continue;
        SCOPED_TRACE(g.group);
        ASSERT_TRUE(manager->LoadResources(g.group)) << manager->GetErrorText() << host.errors;
        for (const std::string& id : g.images)
            EXPECT_NE(manager->GetImageOrFail(id), nullptr) << id;
        for (const std::string& id : g.fonts)
            EXPECT_NE(manager->GetFontOrFail(id), nullptr) << id;
    }
    EXPECT_EQ(host.errors, "");
}

TEST_F(ArtData, FontsCoverPrintableAsciiLatin1AndLatinExtendedALettersWithinTheirLineLimits)
{
    ASSERT_TRUE(manager->LoadResources("Init")) << manager->GetErrorText() << host.errors;
    for (const char* id : {"FONT_BIG", "FONT_BUTTON", "FONT_DEFAULT", "FONT_FLYTEXT", "FONT_GAME1"})
    {
        SCOPED_TRACE(id);
        Quillo::ImageFont* font = manager->GetFontOrFail(id);
        ASSERT_NE(font, nullptr);
        for (int c = 32; c <= 126; ++c)
            EXPECT_GT(font->GlyphWidth(static_cast<char32_t>(c)), 0) << "character " << c;
        // Latin-1 and Latin Extended-A letters, so that texts and players'
        // names in their own languages show.
        for (int c = 0xC0; c <= 0x17F; ++c)
            EXPECT_GT(font->GlyphWidth(static_cast<char32_t>(c)), 0) << "character " << c;
        EXPECT_GT(font->Ascent(), 0);
        EXPECT_GE(font->Height(), font->Ascent());
    }
    EXPECT_LE(manager->GetFontOrFail("FONT_DEFAULT")->LineSpacing(), 24);
    EXPECT_LE(manager->GetFontOrFail("FONT_BUTTON")->Height(), 21);
    EXPECT_GE(manager->GetFontOrFail("FONT_BIG")->Height(), 30);
    // The HUD counts without jitter: every digit advances alike.
    Quillo::ImageFont* hud = manager->GetFontOrFail("FONT_GAME1");
    for (char d = '1'; d <= '9'; ++d)
        EXPECT_EQ(hud->GlyphWidth(static_cast<char32_t>(d)), hud->GlyphWidth('0')) << d;
    EXPECT_EQ(host.errors, "");
}
