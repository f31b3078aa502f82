#include "game/sim/PlayerProfile.h"

namespace Spindrel
{

// Why these numbers. A click here is a decision: look over the chain, pick
// a ball, move the mouse and press. Choice reaction with a mouse aim takes
// a practised adult 0.3 to 0.5 s; someone still scanning a new screen for
// a picture takes well over half a second and up to one and a half.
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
    // New to the game: slow to find a ball, holds three or four faces for
    // a few seconds, loses balls once they roll a few ball widths, slips
    // about once in 20 clicks and picks unknown balls all over the track.
    static const PlayerProfile profile{
        "beginner", 0.75f, 1.4f, 7.0f, 4.0f, 180.0f, 0.05f, 0.5f, 0.35f, 0.2f};
    return profile;
}

const PlayerProfile& RegularProfile()
{
    // Has played a few evenings: a decision about every 0.7 s, keeps about
    // six faces for some ten seconds, follows the chain for five ball
    // widths, slips once in 40 clicks, uses most bonuses.
    static const PlayerProfile profile{
        "regular", 0.5f, 0.9f, 12.0f, 6.0f, 300.0f, 0.025f, 0.8f, 0.65f, 0.12f};
    return profile;
}

const PlayerProfile& ExpertProfile()
{
    // Knows the game well: a decision every 0.3 to 0.55 s, keeps eight or
    // so faces for about twenty seconds, follows balls along the track,
    // slips once in a hundred clicks, takes every useful bonus and works
    // the chain from the gate backwards.
    static const PlayerProfile profile{
        "expert", 0.3f, 0.55f, 20.0f, 9.0f, 480.0f, 0.01f, 1.0f, 0.9f, 0.09f};
    return profile;
}

const std::array<const PlayerProfile*, 3>& StandardProfiles()
{
    static const std::array<const PlayerProfile*, 3> profiles = {
        &BeginnerProfile(), &RegularProfile(), &ExpertProfile()};
    return profiles;
}

} // namespace Spindrel
