#include "framework/platform/CursorImage.h"
#include "framework/platform/SdlKeyMap.h"
#include "framework/platform/SdlPlatform.h"

#include <SDL2/SDL.h>
#include <cstring>
#include <gtest/gtest.h>

using namespace Quillo;

TEST(SdlKeyMap, GivesTheFrameworkKeyCodes)
{
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_a, 65},     {SDLK_z, 90},     {SDLK_0, 48},     {SDLK_F1, 112},    {SDLK_F12, 123},
        {SDLK_LSHIFT, 16}, {SDLK_RCTRL, 17}, {SDLK_LALT, 18},  {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},
        {SDLK_LEFT, 37},  {SDLK_DOWN, 40},  {SDLK_KP_0, 96},  {SDLK_KP_9, 105},
        {SDLK_VOLUMEUP, 0}}; // unknown keys are dropped
    for (const auto& [sdl, code] : keys)
        EXPECT_EQ(VirtualKeyFromSdl(sdl, SDL_GetScancodeFromKey(sdl)), code) << SDL_GetKeyName(sdl);
}

// Shortcuts work on every layout: a letter of another script is named by
// its key's place, the digit row gives digits whatever it types, and a
// Latin layout's letters and symbols keep their own names.
TEST(SdlKeyMap, ShortcutKeysOnOtherLayouts)
{
    struct Key
    {
        SDL_Keycode sym;
        SDL_Scancode place;
        int code;
        const char* what;
    };
    const Key keys[] = {
        {0x441, SDL_SCANCODE_C, 'C', "Cyrillic es, Ctrl+C"},
        {0x3B4, SDL_SCANCODE_D, 'D', "Greek delta, Ctrl+Alt+D"},
        {SDLK_AMPERSAND, SDL_SCANCODE_1, '1', "AZERTY 1"},
        {0xE9, SDL_SCANCODE_2, '2', "AZERTY 2 (e acute)"},
        {SDLK_MINUS, SDL_SCANCODE_6, '6', "AZERTY 6"},
        {SDLK_a, SDL_SCANCODE_Q, 'A', "AZERTY A"},
        {SDLK_COMMA, SDL_SCANCODE_M, 188, "AZERTY comma"},
        {0xE9, SDL_SCANCODE_SLASH, 0, "a letter off the letter keys"},
    };
    for (const Key& k : keys)
        EXPECT_EQ(VirtualKeyFromSdl(k.sym, k.place), k.code) << k.what;
}

// Runs on SDL's dummy video driver: events pushed into SDL's queue come out
// translated, and message boxes answer without blocking.
class SdlPlatformFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        platform = SdlPlatform::Create(error);
        ASSERT_TRUE(platform) << error;
        ASSERT_TRUE(platform->CreateWindow(WindowSpec{.title = "test"})) << platform->LastError();
        Events();
    }
    // The platform's window is the newest one.
    static SDL_Window* NewestWindow()
    {
        SDL_Window* window = nullptr;
        for (Uint32 id = 1; id < 64; ++id)
            if (SDL_Window* w = SDL_GetWindowFromID(id))
                window = w;
        return window;
    }
    static void PushButton(uint8_t button, uint8_t clicks, int x = 0, int y = 0)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = button;
        e.button.clicks = clicks;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    static void PushText(const char* utf8)
    {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }
    // Everything queued, translated.
    std::vector<PlatformEvent> Events()
    {
        std::vector<PlatformEvent> got;
        for (PlatformEvent e; platform->PollEvent(e);)
            got.push_back(e);
        return got;
    }
    std::unique_ptr<SdlPlatform> platform;
};

TEST_F(SdlPlatformFixture, TranslatesKeysCharactersAndClicks)
{
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_c;
    key.key.keysym.mod = KMOD_LCTRL;
    SDL_PushEvent(&key);
    PushButton(SDL_BUTTON_LEFT, 2, 120, 45);
    PushButton(SDL_BUTTON_RIGHT, 3);
    PushText("\xC3\xA9" "a\xE2\x82\xAC"); // e-acute, a, euro sign

    const auto got = Events();
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0].type, EventType::KeyDown);
    EXPECT_EQ(got[0].code, 'C');
    EXPECT_EQ(got[1].type, EventType::Char);
    EXPECT_EQ(got[1].code, 3) << "Ctrl+C is character 3";
    EXPECT_EQ(got[2].type, EventType::MouseDown);
    EXPECT_EQ(got[2].code, 2) << "left double click";
    EXPECT_EQ(got[2].x, 120);
    EXPECT_EQ(got[2].y, 45);
    EXPECT_EQ(got[3].code, -1) << "a third click counts as a single one";
    EXPECT_EQ(got[4].code, 0xE9);
    EXPECT_EQ(got[5].code, 'a');
    EXPECT_EQ(got[6].code, 0x20AC) << "characters arrive as code points";
}

TEST_F(SdlPlatformFixture, CtrlOnAnotherScriptTypesTheControlCharacterAndRepeatsAreMarked)
{
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = 0x441; // Cyrillic es, on the C key
    key.key.keysym.scancode = SDL_SCANCODE_C;
    key.key.keysym.mod = KMOD_LCTRL;
    SDL_PushEvent(&key);
    key.key.keysym.sym = SDLK_RETURN;
    key.key.keysym.scancode = SDL_SCANCODE_RETURN;
    key.key.keysym.mod = KMOD_NONE;
    key.key.repeat = 1;
    SDL_PushEvent(&key);

    const auto got = Events();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].code, 'C');
    EXPECT_FALSE(got[0].repeat);
    EXPECT_EQ(got[1].type, EventType::Char);
    EXPECT_EQ(got[1].code, 3);
    EXPECT_EQ(got[2].code, 13);
    EXPECT_TRUE(got[2].repeat);
}

// After a message box: presses, text and moves are dropped, releases stay.
TEST_F(SdlPlatformFixture, FlushingInputKeepsTheReleases)
{
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP})
    {
        SDL_Event key{};
        key.type = type;
        key.key.keysym.sym = SDLK_RETURN;
        SDL_PushEvent(&key);
    }
    PushText("x");
    PushButton(SDL_BUTTON_LEFT, 1, 10, 10);
    SDL_Event up{};
    up.type = SDL_MOUSEBUTTONUP;
    up.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&up);
    PlatformEvent first;
    ASSERT_TRUE(platform->PollEvent(first)); // translated ones wait in the platform's own queue
    EXPECT_EQ(first.type, EventType::KeyDown);

    platform->FlushInput();
    const auto got = Events();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, EventType::KeyUp);
    EXPECT_EQ(got[1].type, EventType::MouseUp);
}

// The image cursor keeps its size against the picture: in a window twice
// the picture's size it is drawn twice as large, and back at 1:1 as it is.
TEST_F(SdlPlatformFixture, TheImageCursorIsScaledWithThePicture)
{
    ASSERT_EQ(platform->InitPresenter(false, false), 0);
    SDL_Window* window = NewestWindow();
    ASSERT_NE(window, nullptr);
    std::vector<uint32_t> frame(800 * 600, 0xFF336699u);
    const std::vector<uint32_t> arrow(32 * 32, 0xFFFFFFFFu);
    platform->SetImageCursor(arrow.data(), 32, 32, 16, 16);
    EXPECT_EQ(platform->ImageCursorSize(), (Point{32, 32}));

    SDL_SetWindowSize(window, 1600, 1200);
    ASSERT_TRUE(platform->Present(frame.data(), 800, 800, 600, Rect{0, 0, 800, 600}));
    EXPECT_EQ(platform->ImageCursorSize(), (Point{64, 64}));
    platform->SetImageCursor(arrow.data(), 32, 32, 16, 16);
    EXPECT_EQ(platform->ImageCursorSize(), (Point{64, 64})) << "a new image at the scale in force";

    SDL_SetWindowSize(window, 800, 600);
    ASSERT_TRUE(platform->Present(frame.data(), 800, 800, 600, Rect{0, 0, 800, 600}));
    EXPECT_EQ(platform->ImageCursorSize(), (Point{32, 32}));
}

TEST(CursorImage, ScalingKeepsColoursAtSoftEdgesAndMovesTheHotSpot)
{
    // An opaque white pixel beside transparent black ones.
    CursorImage image{{0x00000000u, 0xFFFFFFFFu, 0x00000000u, 0x00000000u}, 2, 2, 1, 0};
    const CursorImage big = image.Scaled(1.8);
    ASSERT_EQ(big.width, 4);
    ASSERT_EQ(big.height, 4);
    EXPECT_EQ(big.hotX, 2);
    EXPECT_EQ(big.hotY, 0);
    for (uint32_t p : big.argb)
    {
        if (p >> 24 != 0)
        {
            EXPECT_EQ(p & 0xFFFFFFu, 0xFFFFFFu)
                << std::hex << p << ": a blend with the transparent pixels' black";
        }
    }
    EXPECT_EQ(big.argb[3], 0xFFFFFFFFu) << "the white corner stays opaque";
    EXPECT_EQ(image.Scaled(1.005).width, 2) << "almost 1:1 is left as it is";
}

TEST_F(SdlPlatformFixture, PresentsAndAnswersBoxesWithoutBlocking)
{
    ASSERT_EQ(platform->InitPresenter(false, false), 0) << platform->LastError();
    std::vector<uint32_t> frame(800 * 600, 0xFF336699u);
    EXPECT_TRUE(platform->Present(frame.data(), 800, 800, 600, Rect{0, 0, 800, 600}));
    EXPECT_TRUE(platform->Present(frame.data(), 800, 800, 600, Rect{10, 10, 5, 5}));
    EXPECT_EQ(platform->ShowMessageBox("question?", "Test", MessageBoxKind::YesNo), 6);
    EXPECT_EQ(platform->ShowMessageBox("note", "Test", MessageBoxKind::Ok), 1);
    EXPECT_GT(platform->RefreshRate(), 0);
}

TEST_F(SdlPlatformFixture, AWindowTheSystemNoLongerShowsCountsAsMinimised)
{
    // On X11 a window on another desktop is unmapped without being minimised.
    for (const Uint8 sdl : {SDL_WINDOWEVENT_HIDDEN, SDL_WINDOWEVENT_SHOWN})
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = sdl;
        SDL_PushEvent(&e);
    }
    const auto got = Events();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, EventType::Minimized);
    EXPECT_EQ(got[1].type, EventType::Restored);
}

TEST_F(SdlPlatformFixture, TypedTextArrivesAsCodePointsAndAltGrTypes)
{
    auto typed = [&](const char* utf8, SDL_Keymod held) {
        SDL_SetModState(held);
        PushText(utf8);
        std::u32string out;
        for (const PlatformEvent& e : Events())
            if (e.type == EventType::Char)
                out.push_back(static_cast<char32_t>(e.code));
        SDL_SetModState(KMOD_NONE);
        return out;
    };
    EXPECT_EQ(typed("J\xC3\xBCrgen \xC5\x81\xC3\xB3""d\xC5\xBA", KMOD_NONE), U"J\u00FCrgen \u0141\u00F3d\u017A");
    // AltGr+7 on a German layout, AltGr+E on a Polish one; AltGr is the right Alt.
    EXPECT_EQ(typed("{", KMOD_RALT), U"{");
    EXPECT_EQ(typed("\xC4\x99", KMOD_RALT), U"\u0119");
    EXPECT_EQ(typed("f", KMOD_LALT), U"") << "left Alt with a letter is a shortcut";
}

// The mouse lands where the picture is, at every size the window is given:
// mapped through the rectangle the picture is drawn in, the bars leading
// nowhere. A new size is reported and repaints the window.
TEST_F(SdlPlatformFixture, MouseFollowsThePictureAtEverySize)
{
    ASSERT_EQ(platform->InitPresenter(false, false), 0);
    SDL_Window* window = NewestWindow();
    ASSERT_NE(window, nullptr);
    constexpr Point kBar{-1, -1};
    struct Case
    {
        int w, h;
        Point click, picture; // kBar: on a bar
    } cases[] = {
        {800, 600, {0, 0}, {0, 0}},         {800, 600, {799, 599}, {799, 599}},
        {1000, 600, {150, 20}, {50, 20}},   {1000, 600, {99, 20}, kBar},
        {1000, 600, {899, 599}, {799, 599}}, {1000, 600, {900, 10}, kBar},
        {1600, 1200, {1, 1}, {0, 0}},       {1600, 1200, {2, 3}, {1, 1}},
        {1600, 1200, {1599, 1199}, {799, 599}}, {2400, 1800, {1200, 900}, {400, 300}},
        {1000, 700, {33, 0}, {0, 0}},       {1000, 700, {32, 350}, kBar},
        {1000, 700, {499, 350}, {399, 300}}, {1000, 700, {965, 699}, {799, 599}},
        {1000, 700, {966, 0}, kBar},        {1366, 768, {170, 100}, kBar},
        {1366, 768, {683, 384}, {400, 300}}, {1366, 768, {1194, 767}, {799, 599}},
        {1366, 768, {1195, 0}, kBar},       {500, 375, {250, 187}, {400, 299}},
        {800, 700, {10, 49}, kBar},         {800, 700, {10, 50}, {10, 0}},
    };
    std::vector<uint32_t> frame(800 * 600, 0xFF336699u);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " at " + std::to_string(c.click.x) +
                     "," + std::to_string(c.click.y));
        SDL_SetWindowSize(window, c.w, c.h);
        ASSERT_TRUE(platform->Present(frame.data(), 800, 800, 600, Rect{0, 0, 800, 600}));
        Events();
        PushButton(SDL_BUTTON_LEFT, 1, c.click.x, c.click.y);
        const auto got = Events();
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].inside, !(c.picture == kBar));
        if (got[0].inside)
        {
            EXPECT_EQ((Point{got[0].x, got[0].y}), c.picture);
        }
    }

    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    e.window.data1 = 1000;
    e.window.data2 = 700;
    SDL_PushEvent(&e);
    const auto got = Events();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type, EventType::WindowResized);
    EXPECT_EQ((Point{got[0].x, got[0].y}), (Point{1000, 700}));
    EXPECT_EQ(got[1].type, EventType::Exposed);
}
