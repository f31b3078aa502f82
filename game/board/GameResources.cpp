#include "game/board/GameResources.h"

#include "framework/resources/ResourceManager.h"
#include "framework/resources/ResourceManagerException.h"

#include <initializer_list>
#include <variant>

namespace Spindrel
{

namespace
{

using Handle = std::variant<Quillo::MemoryImage* GameResources::*, int32_t GameResources::*,
                            Quillo::ImageFont* GameResources::*>;

struct Entry
{
    const char* id;
    Handle handle;
};

#define RES(name) Entry{#name, &GameResources::name}

// Binds in table order; the lookups raise the manager's error for an id it
// does not hold.
bool Bind(GameResources& res, Quillo::ResourceManager& manager, std::initializer_list<Entry> entries)
{
    for (const Entry& entry : entries)
    {
        try
        {
            if (auto image = std::get_if<Quillo::MemoryImage* GameResources::*>(&entry.handle))
                res.**image = manager.GetImageOrFail(entry.id);
            else if (auto sound = std::get_if<int32_t GameResources::*>(&entry.handle))
                res.**sound = manager.GetSoundOrFail(entry.id);
            else if (auto font = std::get_if<Quillo::ImageFont* GameResources::*>(&entry.handle))
                res.**font = manager.GetFontOrFail(entry.id);
        }
        catch (const Quillo::ResourceManagerException&)
        {
            return false;
        }
    }
    return true;
}

} // namespace

bool GameResources::BindGroupInit(Quillo::ResourceManager& manager)
{
    return Bind(*this, manager,
                {RES(FONT_BIG), RES(FONT_BUTTON), RES(FONT_DEFAULT), RES(FONT_FLYTEXT),
                 RES(FONT_GAME1), RES(IMAGE_CUSTOM_DRAGGING), RES(IMAGE_CUSTOM_HAND),
                 RES(IMAGE_CUSTOM_POINTER), RES(IMAGE_CUSTOM_TEXT)});
}

bool GameResources::BindGroupTitleScreen(Quillo::ResourceManager& manager)
{
    return Bind(*this, manager, {RES(IMAGE_LOADING_BAR), RES(IMAGE_LOADING_SCREEN)});
}

bool GameResources::BindGroupGame(Quillo::ResourceManager& manager)
{
    return Bind(*this, manager,
                {RES(IMAGE_BAR_DOWN),
                 RES(IMAGE_BAR_UP),
                 RES(IMAGE_BOMB_BLAST),
                 RES(IMAGE_CHECKBOX),
                 RES(IMAGE_CHIPS),
                 RES(IMAGE_DIALOG_BOX),
                 RES(IMAGE_DIALOG_BUTTON),
                 RES(IMAGE_INGAME_DOWN),
                 RES(IMAGE_INGAME_UP),
                 RES(IMAGE_MENUBUTTON_DOWN),
                 RES(IMAGE_MENUBUTTON_NORMAL),
                 RES(IMAGE_MENUBUTTON_OVER),
                 RES(IMAGE_SLIDER_THUMB),
                 RES(IMAGE_SLIDER_TRACK),
                 RES(IMAGE_WARNING_POINT),
                 RES(SOUND_BALLS_ROLLING),
                 RES(SOUND_BONUS_ARRIVED),
                 RES(SOUND_CLOSE_BALL),
                 RES(SOUND_COLLECT_PAIR),
                 RES(SOUND_COMBO2),
                 RES(SOUND_COMBO3),
                 RES(SOUND_COMBO4),
                 RES(SOUND_COMBO5),
                 RES(SOUND_COMBO6),
                 RES(SOUND_COMBO7),
                 RES(SOUND_COMBO8),
                 RES(SOUND_COMBO9),
                 RES(SOUND_COMBO_OPEN),
                 RES(SOUND_COMPLETE_CHIP),
                 RES(SOUND_EXPLODE),
                 RES(SOUND_HEARTBEAT),
                 RES(SOUND_LOSE_LIFE),
                 RES(SOUND_OPEN_BALL),
                 RES(SOUND_ROLLBACK),
                 RES(SOUND_SCORE_REACHED),
                 RES(SOUND_STOP),
                 RES(spr_gate_bord),
                 RES(spr_light_big_bar),
                 RES(spr_light_small_bar),
                 RES(spr_picBack),
                 RES(spr_picBigGlow),
                 RES(spr_picGlow),
                 RES(spr_picRot)});
}

bool GameResources::BindGroupMainMenu(Quillo::ResourceManager& manager)
{
    return Bind(*this, manager,
                {RES(IMAGE_BUTTON_BALL), RES(IMAGE_BUTTON_BALL_LIGHT), RES(IMAGE_MAIN_MENU_BG),
                 RES(IMAGE_MB_HELP), RES(IMAGE_MB_HELP_P), RES(IMAGE_MB_HIGHSCORES),
                 RES(IMAGE_MB_HIGHSCORES_P), RES(IMAGE_MB_OPTIONS), RES(IMAGE_MB_OPTIONS_P),
                 RES(IMAGE_MB_QUIT), RES(IMAGE_MB_QUIT_P), RES(IMAGE_MB_START),
                 RES(IMAGE_MB_START_P)});
}

bool GameResources::BindGroupSelectStage(Quillo::ResourceManager& manager)
{
    return Bind(*this, manager,
                {RES(IMAGE_SS_BACK), RES(IMAGE_SS_BACK_P), RES(IMAGE_SS_BG), RES(IMAGE_SS_CLOSE),
                 RES(IMAGE_SS_LEFT), RES(IMAGE_SS_LEFT_P), RES(IMAGE_SS_LIGHT), RES(IMAGE_SS_OPEN),
                 RES(IMAGE_SS_PLAY), RES(IMAGE_SS_PLAY_P), RES(IMAGE_SS_RIGHT),
                 RES(IMAGE_SS_RIGHT_P), RES(IMAGE_SS_SELECTED), RES(IMAGE_SS_TITLE)});
}

#undef RES

int32_t SoundHandle(const GameResources& r, BoardSound sound)
{
    switch (sound)
    {
    case BoardSound::BallsRolling: return r.SOUND_BALLS_ROLLING;
    case BoardSound::BonusArrived: return r.SOUND_BONUS_ARRIVED;
    case BoardSound::CloseBall: return r.SOUND_CLOSE_BALL;
    case BoardSound::CollectPair: return r.SOUND_COLLECT_PAIR;
    case BoardSound::Combo2: return r.SOUND_COMBO2;
    case BoardSound::Combo3: return r.SOUND_COMBO3;
    case BoardSound::Combo4: return r.SOUND_COMBO4;
    case BoardSound::Combo5: return r.SOUND_COMBO5;
    case BoardSound::Combo6: return r.SOUND_COMBO6;
    case BoardSound::Combo7: return r.SOUND_COMBO7;
    case BoardSound::Combo8: return r.SOUND_COMBO8;
    case BoardSound::Combo9: return r.SOUND_COMBO9;
    case BoardSound::CompleteChip: return r.SOUND_COMPLETE_CHIP;
    case BoardSound::Explode: return r.SOUND_EXPLODE;
    case BoardSound::Heartbeat: return r.SOUND_HEARTBEAT;
    case BoardSound::LoseLife: return r.SOUND_LOSE_LIFE;
    case BoardSound::OpenBall: return r.SOUND_OPEN_BALL;
    case BoardSound::Rollback: return r.SOUND_ROLLBACK;
    case BoardSound::ScoreReached: return r.SOUND_SCORE_REACHED;
    case BoardSound::Stop: return r.SOUND_STOP;
    }
    return -1;
}

} // namespace Spindrel
