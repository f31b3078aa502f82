// A virtual pad on SDL's dummy video driver: its controls come out of the
// platform as a keyboard's keys, held movement repeats, and pads come and go.
#include "framework/platform/GamepadKeys.h"
#include "framework/platform/SdlPlatform.h"
#include "platform/VirtualGamepad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Quillo;
using Got = std::vector<std::pair<EventType, int>>; // a repeat has a negative key

class VirtualPad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The dummy driver's window never has the keyboard focus, without
        // which SDL drops pad input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        std::string error;
        platform = SdlPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        ASSERT_TRUE(platform->CreateWindow(WindowSpec{.title = "pad"}));
        Attach();
    }
    void Attach()
    {
        device = AttachVirtualGamepad();
        ASSERT_GE(device, 0) << SDL_GetError();
        pad = SDL_JoystickOpen(device);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        EXPECT_EQ(Events(), (Got{{EventType::PadAdded, 1}}));
    }
    void TearDown() override
    {
        if (pad)
            SDL_JoystickClose(pad), SDL_JoystickDetachVirtual(device);
        platform.reset();
        SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    }
    // The pad reports its state when events are pumped.
    void Button(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(pad, button, down ? SDL_PRESSED : SDL_RELEASED);
        SDL_PumpEvents();
    }
    void Axis(SDL_GameControllerAxis axis, int value)
    {
        SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(value));
        SDL_PumpEvents();
    }
    Got Events()
    {
        Got got;
        for (PlatformEvent e; platform->PollEvent(e);)
            got.emplace_back(e.type, e.repeat ? -e.code : e.code);
        return got;
    }

    std::unique_ptr<SdlPlatform> platform;
    SDL_Joystick* pad = nullptr;
    int device = -1;
};

TEST_F(VirtualPad, ButtonsAndTheStickGiveTheKeysOfAKeyboard)
{
    // A, B and Start also type their characters, as Enter and Escape do.
    const std::pair<SDL_GameControllerButton, int> buttons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 38},      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 40},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 37},    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 39},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 33}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 34},
        {SDL_CONTROLLER_BUTTON_A, 13},            {SDL_CONTROLLER_BUTTON_B, 27},
        {SDL_CONTROLLER_BUTTON_START, 27}};
    for (const auto& [button, key] : buttons)
    {
        Button(button, true);
        Button(button, false);
        Got expected{{EventType::KeyDown, key}, {EventType::KeyUp, key}};
        if (key == 13 || key == 27)
            expected.insert(expected.begin() + 1, {EventType::Char, key});
        EXPECT_EQ(Events(), expected) << key;
    }
    // The stick presses beyond half way and lets go below a quarter; the
    // D-pad held with it keeps the key down until both let go.
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -12000);
    EXPECT_EQ(Events(), Got{});
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Axis(SDL_CONTROLLER_AXIS_LEFTX, -12000);
    EXPECT_EQ(Events(), (Got{{EventType::KeyDown, 37}}));
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    EXPECT_EQ(Events(), Got{});
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    EXPECT_EQ(Events(), (Got{{EventType::KeyUp, 37}, {EventType::KeyDown, 40}}));
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    EXPECT_EQ(Events(), (Got{{EventType::KeyUp, 40}, {EventType::KeyDown, 38}}));
}

TEST_F(VirtualPad, HeldMovementRepeatsAndButtonsDoNot)
{
    Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(Events(), (Got{{EventType::KeyDown, 39}, {EventType::KeyDown, 13}, {EventType::Char, 13}}));
    // Waiting wakes up for the repeat instead of sleeping the whole time.
    const Uint32 start = SDL_GetTicks();
    platform->WaitForEvent(5000);
    EXPECT_LT(SDL_GetTicks() - start, 4000u);
    SDL_Delay(static_cast<Uint32>(GamepadKeys::kRepeatDelayMs));
    const Got repeats = Events();
    ASSERT_FALSE(repeats.empty());
    EXPECT_EQ(repeats, Got(repeats.size(), {EventType::KeyDown, -39}));
    Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(Events(), (Got{{EventType::KeyUp, 39}, {EventType::KeyUp, 13}}));
    SDL_Delay(static_cast<Uint32>(2 * GamepadKeys::kRepeatIntervalMs));
    EXPECT_EQ(Events(), Got{});
}

TEST_F(VirtualPad, APadThatGoesAwayLetsGoOfItsKeysAndAnotherCanCome)
{
    Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    Events();
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(device);
    pad = nullptr;
    Got gone = Events();
    ASSERT_FALSE(gone.empty());
    EXPECT_EQ(gone.back(), (std::pair{EventType::PadRemoved, 0}));
    std::sort(gone.begin(), gone.end() - 1);
    EXPECT_EQ(gone, (Got{{EventType::KeyUp, 34}, {EventType::KeyUp, 40}, {EventType::PadRemoved, 0}}));
    EXPECT_EQ(platform->GamepadCount(), 0);
    Attach();
    Button(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(Events(), (Got{{EventType::KeyDown, 27}, {EventType::Char, 27}}));
}
