#pragma once

#include "game/board/BoardSound.h"

#include <cstdint>

namespace Quillo
{
class ImageFont;
class MemoryImage;
class ResourceManager;
} // namespace Quillo

namespace Spindrel
{

// The game-wide resource handles, one per id of the manifest, named after
// the ids. Each resource group is bound right after it is loaded; the
// resource manager owns what the handles point to, so they are valid until
// their group is unloaded. One instance is owned by the game application
// and shared (by reference) with the board and the screens.
struct GameResources
{
    // "Init"
    Quillo::ImageFont* FONT_BIG = nullptr;
    Quillo::ImageFont* FONT_BUTTON = nullptr;
    Quillo::ImageFont* FONT_DEFAULT = nullptr;
    Quillo::ImageFont* FONT_FLYTEXT = nullptr;
    Quillo::ImageFont* FONT_GAME1 = nullptr;
    Quillo::MemoryImage* IMAGE_CUSTOM_DRAGGING = nullptr;
    Quillo::MemoryImage* IMAGE_CUSTOM_HAND = nullptr;
    Quillo::MemoryImage* IMAGE_CUSTOM_POINTER = nullptr;
    Quillo::MemoryImage* IMAGE_CUSTOM_TEXT = nullptr;

    // "TitleScreen"
    Quillo::MemoryImage* IMAGE_LOADING_BAR = nullptr;
    Quillo::MemoryImage* IMAGE_LOADING_SCREEN = nullptr;

    // "Game"
    Quillo::MemoryImage* IMAGE_BAR_DOWN = nullptr;
    Quillo::MemoryImage* IMAGE_BAR_UP = nullptr;
    Quillo::MemoryImage* IMAGE_BOMB_BLAST = nullptr;
    Quillo::MemoryImage* IMAGE_CHECKBOX = nullptr;
    Quillo::MemoryImage* IMAGE_CHIPS = nullptr;
    Quillo::MemoryImage* IMAGE_DIALOG_BOX = nullptr;
    Quillo::MemoryImage* IMAGE_DIALOG_BUTTON = nullptr;
    Quillo::MemoryImage* IMAGE_INGAME_DOWN = nullptr;
    Quillo::MemoryImage* IMAGE_INGAME_UP = nullptr;
    Quillo::MemoryImage* IMAGE_MENUBUTTON_DOWN = nullptr;
    Quillo::MemoryImage* IMAGE_MENUBUTTON_NORMAL = nullptr;
    Quillo::MemoryImage* IMAGE_MENUBUTTON_OVER = nullptr;
    Quillo::MemoryImage* IMAGE_SLIDER_THUMB = nullptr;
    Quillo::MemoryImage* IMAGE_SLIDER_TRACK = nullptr;
    Quillo::MemoryImage* IMAGE_WARNING_POINT = nullptr;
    int32_t SOUND_BALLS_ROLLING = -1;
    int32_t SOUND_BONUS_ARRIVED = -1;
    int32_t SOUND_CLOSE_BALL = -1;
    int32_t SOUND_COLLECT_PAIR = -1;
    int32_t SOUND_COMBO2 = -1;
    int32_t SOUND_COMBO3 = -1;
    int32_t SOUND_COMBO4 = -1;
    int32_t SOUND_COMBO5 = -1;
    int32_t SOUND_COMBO6 = -1;
    int32_t SOUND_COMBO7 = -1;
    int32_t SOUND_COMBO8 = -1;
    int32_t SOUND_COMBO9 = -1;
    int32_t SOUND_COMBO_OPEN = -1;
    int32_t SOUND_COMPLETE_CHIP = -1;
    int32_t SOUND_EXPLODE = -1;
    int32_t SOUND_HEARTBEAT = -1;
    int32_t SOUND_LOSE_LIFE = -1;
    int32_t SOUND_OPEN_BALL = -1;
    int32_t SOUND_ROLLBACK = -1;
    int32_t SOUND_SCORE_REACHED = -1;
    int32_t SOUND_STOP = -1;
    Quillo::MemoryImage* spr_gate_bord = nullptr;
    Quillo::MemoryImage* spr_light_big_bar = nullptr;
    Quillo::MemoryImage* spr_light_small_bar = nullptr;
    Quillo::MemoryImage* spr_picBack = nullptr;
    Quillo::MemoryImage* spr_picBigGlow = nullptr;
    Quillo::MemoryImage* spr_picGlow = nullptr;
    Quillo::MemoryImage* spr_picRot = nullptr;

    // "MainMenu"
    Quillo::MemoryImage* IMAGE_BUTTON_BALL = nullptr;
    Quillo::MemoryImage* IMAGE_BUTTON_BALL_LIGHT = nullptr;
    Quillo::MemoryImage* IMAGE_MAIN_MENU_BG = nullptr;
    Quillo::MemoryImage* IMAGE_MB_HELP = nullptr;
    Quillo::MemoryImage* IMAGE_MB_HELP_P = nullptr;
    Quillo::MemoryImage* IMAGE_MB_HIGHSCORES = nullptr;
    Quillo::MemoryImage* IMAGE_MB_HIGHSCORES_P = nullptr;
    Quillo::MemoryImage* IMAGE_MB_OPTIONS = nullptr;
    Quillo::MemoryImage* IMAGE_MB_OPTIONS_P = nullptr;
    Quillo::MemoryImage* IMAGE_MB_QUIT = nullptr;
    Quillo::MemoryImage* IMAGE_MB_QUIT_P = nullptr;
    Quillo::MemoryImage* IMAGE_MB_START = nullptr;
    Quillo::MemoryImage* IMAGE_MB_START_P = nullptr;

    // "SelectStage"
    Quillo::MemoryImage* IMAGE_SS_BACK = nullptr;
    Quillo::MemoryImage* IMAGE_SS_BACK_P = nullptr;
    Quillo::MemoryImage* IMAGE_SS_BG = nullptr;
    Quillo::MemoryImage* IMAGE_SS_CLOSE = nullptr;
    Quillo::MemoryImage* IMAGE_SS_LEFT = nullptr;
    Quillo::MemoryImage* IMAGE_SS_LEFT_P = nullptr;
    Quillo::MemoryImage* IMAGE_SS_LIGHT = nullptr;
    Quillo::MemoryImage* IMAGE_SS_OPEN = nullptr;
    Quillo::MemoryImage* IMAGE_SS_PLAY = nullptr;
    Quillo::MemoryImage* IMAGE_SS_PLAY_P = nullptr;
    Quillo::MemoryImage* IMAGE_SS_RIGHT = nullptr;
    Quillo::MemoryImage* IMAGE_SS_RIGHT_P = nullptr;
    Quillo::MemoryImage* IMAGE_SS_SELECTED = nullptr;
    Quillo::MemoryImage* IMAGE_SS_TITLE = nullptr;

    // Each fetches every id of its group in order and stores it in its
    // handle; false at the first id the manager does not hold (the handles
    // bound before it keep their values, the manager keeps the error text).
    bool BindGroupInit(Quillo::ResourceManager& manager);
    bool BindGroupTitleScreen(Quillo::ResourceManager& manager);
    bool BindGroupGame(Quillo::ResourceManager& manager);
    bool BindGroupMainMenu(Quillo::ResourceManager& manager);
    bool BindGroupSelectStage(Quillo::ResourceManager& manager);
};

// The sound id bound for a board sound (-1 before the "Game" group).
int32_t SoundHandle(const GameResources& resources, BoardSound sound);

} // namespace Spindrel
