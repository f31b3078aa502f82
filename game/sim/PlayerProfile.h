#pragma once

#include <array>
#include <string_view>

namespace Spindrel
{

// How one kind of person plays: how well they remember faces, how quickly
// they choose and aim, how often they slip and how keenly they use bonuses.
// The values of the three standard profiles are explained in
// PlayerProfile.cpp.
struct PlayerProfile
{
    std::string_view name;
    // Seconds to look over the chain and pick a ball, drawn uniformly from
    // this range; paid before every click or walk of the marker.
    float chooseMin = 0.3f;
    float chooseMax = 0.6f;
    // Forgetting curve: a face is recalled with the chance
    // exp(-seconds since seen / memorySeconds - faces seen since / memoryFaces).
    float memorySeconds = 15.0f;
    float memoryFaces = 8.0f;
    // A remembered ball that has since moved farther than this along the
    // track (pixels) is no longer found where it was seen.
    float moveLimit = 300.0f;
    // Chance that a click lands on the ball next to the one aimed at.
    float missClick = 0.03f;
    // Chance of noticing a bonus and playing for it when it is of use.
    float bonusUse = 0.8f;
    // Chance of trying the unknown ball nearest the gate rather than any.
    float frontBias = 0.7f;
    // Seconds between two deliberate key presses on the keyboard.
    float keyInterval = 0.12f;
    // Seconds to bring the mouse pointer onto the chosen ball and press.
    float aimSeconds = 0.3f;
};

const PlayerProfile& BeginnerProfile();
const PlayerProfile& RegularProfile();
const PlayerProfile& ExpertProfile();
// Beginner, regular, expert: the order in which the win rates must rise.
const std::array<const PlayerProfile*, 3>& StandardProfiles();

} // namespace Spindrel
