#include "tools/artgen/Manifest.h"

#include "tools/artgen/Output.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Spindrel::Art
{

namespace
{

struct Entry
{
    enum Kind
    {
        Defaults,
        Image,
        Sound,
        Font
    } kind;
    const char* id;     // for Defaults: the id prefix
    const char* path;   // for Defaults: the default folder
    const char* extra;  // further attributes, or ""
};

struct Group
{
    const char* id;
    std::vector<Entry> entries;
};

const std::vector<Group>& Groups()
{
    using E = Entry;
    static const std::vector<Group> groups = {
        {"Init",
         {{E::Defaults, "FONT_", "gfx/fonts", ""},
          {E::Font, "BIG", "big.txt", ""},
          {E::Font, "BUTTON", "button.txt", ""},
          {E::Font, "DEFAULT", "default.txt", ""},
          {E::Font, "FLYTEXT", "flytext.txt", ""},
          {E::Font, "GAME1", "game1.txt", ""},
          {E::Defaults, "IMAGE_", "gfx/cursors", ""},
          {E::Image, "CUSTOM_DRAGGING", "dragging", ""},
          {E::Image, "CUSTOM_HAND", "hand", ""},
          {E::Image, "CUSTOM_POINTER", "pointer", ""},
          {E::Image, "CUSTOM_TEXT", "text", ""}}},
        {"TitleScreen",
         {{E::Defaults, "IMAGE_", "gfx/title", ""},
          {E::Image, "LOADING_BAR", "loading_bar", ""},
          {E::Image, "LOADING_SCREEN", "loading_screen", ""}}},
        {"Game",
         {{E::Defaults, "IMAGE_", "gfx/game", ""},
          {E::Image, "BAR_DOWN", "bar_down", ""},
          {E::Image, "BAR_UP", "bar_up", ""},
          {E::Image, "BOMB_BLAST", "bomb_blast", ""},
          {E::Image, "CHECKBOX", "checkbox", ""},
          {E::Image, "CHIPS", "chips", " cols=\"8\""},
          {E::Image, "DIALOG_BOX", "dialog_box", ""},
          {E::Image, "DIALOG_BUTTON", "dialog_button", ""},
          {E::Image, "INGAME_DOWN", "ingame_down", ""},
          {E::Image, "INGAME_UP", "ingame_up", ""},
          {E::Image, "MENUBUTTON_DOWN", "menubutton_down", ""},
          {E::Image, "MENUBUTTON_NORMAL", "menubutton_normal", ""},
          {E::Image, "MENUBUTTON_OVER", "menubutton_over", ""},
          {E::Image, "SLIDER_THUMB", "slider_thumb", ""},
          {E::Image, "SLIDER_TRACK", "slider_track", ""},
          {E::Image, "WARNING_POINT", "warning_point", " cols=\"8\""},
          {E::Defaults, "SOUND_", "music/sfx", ""},
          {E::Sound, "BALLS_ROLLING", "balls_rolling", ""},
          {E::Sound, "BONUS_ARRIVED", "bonus_arrived", ""},
          {E::Sound, "CLOSE_BALL", "close_ball", ""},
          {E::Sound, "COLLECT_PAIR", "collect_pair", ""},
          {E::Sound, "COMBO2", "combo2", ""},
          {E::Sound, "COMBO3", "combo3", ""},
          {E::Sound, "COMBO4", "combo4", ""},
          {E::Sound, "COMBO5", "combo5", ""},
          {E::Sound, "COMBO6", "combo6", ""},
          {E::Sound, "COMBO7", "combo7", ""},
          {E::Sound, "COMBO8", "combo8", ""},
          {E::Sound, "COMBO9", "combo9", ""},
          {E::Sound, "COMBO_OPEN", "combo_open", ""},
          {E::Sound, "COMPLETE_CHIP", "complete_chip", ""},
          {E::Sound, "EXPLODE", "explode", ""},
          {E::Sound, "HEARTBEAT", "heartbeat", ""},
          {E::Sound, "LOSE_LIFE", "lose_life", ""},
          {E::Sound, "OPEN_BALL", "open_ball", ""},
          {E::Sound, "ROLLBACK", "rollback", ""},
          {E::Sound, "SCORE_REACHED", "score_reached", ""},
          {E::Sound, "STOP", "stop", ""},
          {E::Defaults, "", "gfx/game", ""},
          {E::Image, "spr_gate_bord", "gate_bord", ""},
          {E::Image, "spr_light_big_bar", "light_big_bar", ""},
          {E::Image, "spr_light_small_bar", "light_small_bar", ""},
          {E::Image, "spr_picBack", "pic_back", " cols=\"4\""},
          {E::Image, "spr_picBigGlow", "pic_big_glow", ""},
          {E::Image, "spr_picGlow", "pic_glow", ""},
          {E::Image, "spr_picRot", "pic_rot", " cols=\"10\""}}},
        {"MainMenu",
         {{E::Defaults, "IMAGE_", "gfx/MainMenu", ""},
          {E::Image, "BUTTON_BALL", "button_ball", ""},
          {E::Image, "BUTTON_BALL_LIGHT", "button_ball_light", ""},
          {E::Image, "MAIN_MENU_BG", "main_menu_bg", ""},
          {E::Image, "MB_HELP", "mb_help", ""},
          {E::Image, "MB_HELP_P", "mb_help_p", ""},
          {E::Image, "MB_HIGHSCORES", "mb_highscores", ""},
          {E::Image, "MB_HIGHSCORES_P", "mb_highscores_p", ""},
          {E::Image, "MB_OPTIONS", "mb_options", ""},
          {E::Image, "MB_OPTIONS_P", "mb_options_p", ""},
          {E::Image, "MB_QUIT", "mb_quit", ""},
          {E::Image, "MB_QUIT_P", "mb_quit_p", ""},
          {E::Image, "MB_START", "mb_start", ""},
          {E::Image, "MB_START_P", "mb_start_p", ""}}},
        {"SelectStage",
         {{E::Defaults, "IMAGE_SS_", "gfx/SelectStage", ""},
          {E::Image, "BACK", "back", ""},
          {E::Image, "BACK_P", "back+", ""},
          {E::Image, "BG", "bg", ""},
          {E::Image, "CLOSE", "close", ""},
          {E::Image, "LEFT", "left", ""},
          {E::Image, "LEFT_P", "left+", ""},
          {E::Image, "LIGHT", "light", ""},
          {E::Image, "OPEN", "open", ""},
          {E::Image, "PLAY", "play", ""},
          {E::Image, "PLAY_P", "play+", ""},
          {E::Image, "RIGHT", "right", ""},
          {E::Image, "RIGHT_P", "right+", ""},
          {E::Image, "SELECTED", "selected", ""},
          {E::Image, "TITLE", "title", ""}}},
    };
    return groups;
}

bool Painted(const Output& output, const std::string& stem)
{
    for (const char* ext : {".png", ".jpg"})
        if (std::filesystem::exists(std::filesystem::path(output.Root()) / (stem + ext)))
            return true;
    return false;
}

} // namespace

void WriteManifest(Output& output)
{
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n";
    xml << "<!-- Written by spindrel-artgen. -->\n";
    xml << "<ResourceManifest>\n";
    for (const Group& group : Groups())
    {
        xml << "  <Resources id=\"" << group.id << "\">\n";
        std::string folder;
        for (const Entry& e : group.entries)
        {
            switch (e.kind)
            {
            case Entry::Defaults:
                folder = e.path;
                xml << "    <SetDefaults path=\"" << e.path << "\" idprefix=\"" << e.id << "\"/>\n";
                break;
            case Entry::Image:
                if (!Painted(output, folder + "/" + e.path))
                    throw std::runtime_error(std::string("manifest names an unpainted picture: ") +
                                             folder + "/" + e.path);
                xml << "    <Image id=\"" << e.id << "\" path=\"" << e.path << "\"" << e.extra << "/>\n";
                break;
            case Entry::Sound:
                xml << "    <Sound id=\"" << e.id << "\" path=\"" << e.path << "\"" << e.extra << "/>\n";
                break;
            case Entry::Font:
                if (!std::filesystem::exists(std::filesystem::path(output.Root()) / folder / e.path))
                    throw std::runtime_error(std::string("manifest names a missing font: ") + e.path);
                xml << "    <Font id=\"" << e.id << "\" path=\"" << e.path << "\"" << e.extra << "/>\n";
                break;
            }
        }
        xml << "  </Resources>\n";
    }
    xml << "</ResourceManifest>\n";
    output.Text("properties/resources.xml", xml.str());
}

} // namespace Spindrel::Art
