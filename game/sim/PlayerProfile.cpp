#include "game/sim/PlayerProfile.h"

namespace Spindrel
{

// Why these numbers. A click here is a decision: look over the chain, pick
// a ball, move the mouse and press. Choosing alone takes a practised adult
// 0.1 to 0.35 s and someone still scanning a new screen for a picture up to
// a second; bringing the pointer onto a ball on this board and pressing
// adds about 0.2 s for a sure hand, 0.3 s for most and 0.45 s for a
// hesitant one. The keyboard pays no aim but a press per key instead.
// Short-term visual memory holds about four things and fades over tens of
// seconds when nothing new arrives; every new face seen pushes older ones
// out, so the faces seen since count at least as much as the seconds. A
// ball that the chain has carried far is looked for in the wrong place;
// experienced players follow the chain with their eyes and find it again.
// Slips (a click on the neighbouring ball, 60 pixels away) are common when
// hurrying and rare for a steady hand. Bonus icons blink when they arrive,
// but a beginner busy with pairs overlooks every second one. On the
// keyboard a practised hand taps a key about eight times a second; someone
// who looks at the keys manages five.

const PlayerProfile& BeginnerProfile()
{
    // New to the game: slow to find and reach a ball (a click every 0.75
    // to 1.4 s), holds three or four faces for a few seconds, loses balls
    // once they roll a few ball widths, slips about once in 20 clicks and
    // picks unknown balls all over the track.
    static const PlayerProfile profile{
        "beginner", 0.3f, 0.95f, 7.0f, 4.0f, 180.0f, 0.05f, 0.5f, 0.35f, 0.2f, 0.45f};
    return profile;
}

const PlayerProfile& RegularProfile()
{
    // Has played a few evenings: a click about every 0.7 s, 0.3 s of it
    // moving the mouse, keeps about six faces for some ten seconds, follows
    // the chain for five ball widths, slips once in 40 clicks, uses most
    // bonuses.
    static const PlayerProfile profile{
        "regular", 0.2f, 0.6f, 12.0f, 6.0f, 300.0f, 0.025f, 0.8f, 0.65f, 0.12f, 0.3f};
    return profile;
}

const PlayerProfile& ExpertProfile()
{
    // Knows the game well: a click every 0.3 to 0.55 s, keeps eight or
    // so faces for about twenty seconds, follows balls along the track,
    // slips once in a hundred clicks, takes every useful bonus and works
    // the chain from the gate backwards.
    static const PlayerProfile profile{
        "expert", 0.1f, 0.35f, 20.0f, 9.0f, 480.0f, 0.01f, 1.0f, 0.9f, 0.09f, 0.2f};
    return profile;
}

const std::array<const PlayerProfile*, 3>& StandardProfiles()
{
    static const std::array<const PlayerProfile*, 3> profiles = {
        &BeginnerProfile(), &RegularProfile(), &ExpertProfile()};
    return profiles;
}

} // namespace Spindrel
