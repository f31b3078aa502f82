// A virtual pad plays the real game from the first start to a won level,
// its buttons turned into keys by the platform's pad layer. A pad that goes
// away while a level is in play leaves the game waiting in its in-game
// menu, also when it went while the window was behind others; outside a
// level it changes nothing.
#include "Journey.h"
#include "KeyPlayer.h"

#include "framework/platform/SdlGamepads.h"
#include "platform/VirtualGamepad.h"
#include "framework/widgets/KeyCode.h"

#include <SDL2/SDL.h>

using namespace Spindrel;
namespace Key = Quillo::KeyCode;

namespace
{

// A pad on SDL's virtual joystick driver; what its buttons give reaches the
// game's event queue as the platform would pass it on.
class VirtualPad
{
public:
    explicit VirtualPad(JourneyApp& app) : m_app(app)
    {
        // No window has the keyboard focus here, without which SDL drops
        // pad input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        m_pads = std::make_unique<Quillo::SdlGamepads>();
        m_device = AttachVirtualGamepad();
        if (m_device >= 0)
            m_stick = SDL_JoystickOpen(m_device);
    }
    ~VirtualPad()
    {
        if (m_stick)
            SDL_JoystickClose(m_stick);
        if (m_device >= 0)
            SDL_JoystickDetachVirtual(m_device);
        m_pads.reset();
        SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool Attached() const { return m_stick != nullptr; }

    // The button that gives a key, pressed and let go.
    void Press(int key)
    {
        const SDL_GameControllerButton button = ButtonFor(key);
        ASSERT_NE(button, SDL_CONTROLLER_BUTTON_INVALID) << "no button gives key " << key;
        SDL_JoystickSetVirtualButton(m_stick, button, SDL_PRESSED);
        SDL_PumpEvents();
        SDL_JoystickSetVirtualButton(m_stick, button, SDL_RELEASED);
        SDL_PumpEvents();
        Deliver();
    }
    void Deliver()
    {
        for (SDL_Event e; SDL_PollEvent(&e);)
            m_pads->Translate(e, m_app.player->now, m_app.player->events);
    }

private:
    static SDL_GameControllerButton ButtonFor(int key)
    {
        switch (key)
        {
        case Key::Up: return SDL_CONTROLLER_BUTTON_DPAD_UP;
        case Key::Down: return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
        case Key::Left: return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
        case Key::Right: return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
        case Key::PageUp: return SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
        case Key::PageDown: return SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
        case Key::Enter: return SDL_CONTROLLER_BUTTON_A;
        case Key::Escape: return SDL_CONTROLLER_BUTTON_B;
        default: return SDL_CONTROLLER_BUTTON_INVALID;
        }
    }

    JourneyApp& m_app;
    std::unique_ptr<Quillo::SdlGamepads> m_pads;
    int m_device = -1;
    SDL_Joystick* m_stick = nullptr;
};

} // namespace

using GamepadJourney = JourneyWorld;

TEST_F(GamepadJourney, APadLostInALevelOpensTheMenu)
{
    JourneyApp app;
    Journey journey(app);
    const auto padComesAndGoes = [](JourneyApp& a) {
        a.player->Push(Quillo::EventType::PadAdded, 0, 0, 1);
        a.player->Push(Quillo::EventType::PadRemoved, 0, 0, 0);
    };
    journey.ArriveAsNewPlayer("Pat");
    journey.Do("a pad in the main menu", padComesAndGoes);
    journey.Wait(300);
    journey.Do("nothing opened", [](JourneyApp& a) {
        EXPECT_EQ(a.DialogCount(), 0);
        EXPECT_NE(a.GetMainMenu(), nullptr);
        EXPECT_EQ(a.GamepadCount(), 0);
    });
    journey.ClickBall("start", MainMenuWidget::kStartId);
    journey.Then("stages", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    journey.Do("stage 1", [](JourneyApp& a) { ClickStageSlot(a, 0); });
    journey.Then("playing", Playing);
    journey.Wait(500);
    journey.Do("the pad goes", padComesAndGoes);
    journey.Opens("the menu opens", Journey::kOptionsDialog);
    journey.Do("the game holds still", [](JourneyApp& a) {
        EXPECT_GT(a.GetBoard()->Logic().State().pauseDepth, 0);
        a.player->Key(27);
    });
    journey.Closes("back to the game", Journey::kOptionsDialog);

    journey.Do("the pad goes while the window is behind", [&](JourneyApp& a) {
        a.player->Push(Quillo::EventType::FocusLost);
        padComesAndGoes(a);
    });
    journey.Wait(300);
    journey.Do("the window comes back", [](JourneyApp& a) {
        EXPECT_EQ(a.FindDialog(Journey::kOptionsDialog), nullptr);
        a.player->Push(Quillo::EventType::FocusGained);
    });
    journey.Opens("the menu opens then", Journey::kOptionsDialog);
    journey.Do("close", [](JourneyApp& a) { a.player->Push(Quillo::EventType::Close); });
    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
}

TEST_F(GamepadJourney, FromTheFirstStartToAWonLevelWithAPad)
{
    JourneyApp app;
    VirtualPad pad(app);
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    Journey journey(app);
    KeyPlayer player([&pad](int key) { pad.Press(key); });
    journey.Then("loaded, the pad known", [&pad](JourneyApp& a) {
        pad.Deliver();
        return a.Loaded() && a.GamepadCount() == 1;
    });
    journey.Do("A on the title", [&pad](JourneyApp&) { pad.Press(Key::Enter); });
    journey.Opens("asked for a name", Journey::kNameDialog);
    journey.Do("A takes the name offered", [&pad](JourneyApp&) { pad.Press(Key::Enter); });
    journey.Then("the main menu", [](JourneyApp& a) {
        return a.FindDialog(Journey::kNameDialog) == nullptr && a.GetMainMenu() != nullptr;
    });
    journey.Do("the D-pad marks Play, A presses it", [&pad](JourneyApp&) {
        pad.Press(Key::Down);
        pad.Press(Key::Enter);
    });
    journey.Then("the stage selection", [](JourneyApp& a) { return a.GetSelectStage() != nullptr; });
    journey.Do("A plays the first stage", [&pad](JourneyApp& a) {
        DealTheSameLevel(a);
        pad.Press(Key::Enter);
    });
    journey.Then("level 1 rolls", Playing);
    journey.Then("level 1 is won", [&player](JourneyApp& a) { return player.WinsLevel(a); });
    journey.Wait(500);
    journey.Do("A passes the statistics", [&pad](JourneyApp&) { pad.Press(Key::Enter); });
    journey.Then("level 2 rolls", LevelTwoRolls);
    journey.Do("close", [](JourneyApp& a) {
        EXPECT_FALSE(a.widgetManager->mouseIn) << "the mouse was used";
        a.player->Push(Quillo::EventType::Close);
    });
    app.Init();
    app.Start();
    EXPECT_EQ(journey.Result(), "");
    app.ExpectNoMessageBoxes();
}
