#include "framework/platform/SdlKeyMap.h"
#include "framework/platform/SdlPlatform.h"

#include <SDL2/SDL.h>
#include <cstring>
#include <gtest/gtest.h>

using namespace Quillo;

TEST(SdlKeyMap, GivesTheFrameworkKeyCodes)
{
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 65);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 90);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), 48);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 123);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RCTRL), 17);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LALT), 18);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 96);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 105);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_VOLUMEUP), 0) << "unknown keys are dropped";
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
        WindowSpec desired;
        desired.title = "test";
        ASSERT_TRUE(platform->CreateWindow(desired)) << platform->LastError();
    }
    std::unique_ptr<SdlPlatform> platform;
};

TEST_F(SdlPlatformFixture, TranslatesKeysCharactersAndClicks)
{
    PlatformEvent e;
    while (platform->PollEvent(e))
    {
    }

    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_c;
    key.key.keysym.mod = KMOD_LCTRL;
    SDL_PushEvent(&key);

    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.button = SDL_BUTTON_LEFT;
    down.button.clicks = 2;
    down.button.x = 120;
    down.button.y = 45;
    SDL_PushEvent(&down);

    SDL_Event right{};
    right.type = SDL_MOUSEBUTTONDOWN;
    right.button.button = SDL_BUTTON_RIGHT;
    right.button.clicks = 3;
    SDL_PushEvent(&right);

    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA9" "a\xE2\x82\xAC"); // e-acute, a, euro sign
    SDL_PushEvent(&text);

    std::vector<PlatformEvent> got;
    while (platform->PollEvent(e))
        got.push_back(e);
    ASSERT_EQ(got.size(), 6u);
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
    EXPECT_EQ(got[5].code, 'a') << "characters beyond Latin-1 are dropped";
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

TEST_F(SdlPlatformFixture, TypedTextArrivesAsLatin1AndAltGrTypes)
{
    PlatformEvent e;
    while (platform->PollEvent(e))
    {
    }
    auto typed = [&](const char* utf8, SDL_Keymod held) {
        SDL_SetModState(held);
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        std::strncpy(text.text.text, utf8, sizeof text.text.text - 1);
        SDL_PushEvent(&text);
        std::string out;
        PlatformEvent event;
        while (platform->PollEvent(event))
        {
            if (event.type == EventType::Char)
                out.push_back(static_cast<char>(event.code));
        }
        SDL_SetModState(KMOD_NONE);
        return out;
    };
    EXPECT_EQ(typed("J\xC3\xBCrgen \xC3\x98""deg\xC3\xA5rd", KMOD_NONE), "J\xFCrgen \xD8""deg\xE5rd");
    // AltGr+7 on a German layout; AltGr is the right Alt.
    EXPECT_EQ(typed("{", KMOD_RALT), "{");
    EXPECT_EQ(typed("\xE2\x82\xAC", KMOD_RALT), "") << "the euro sign has no Latin-1 byte";
    EXPECT_EQ(typed("f", KMOD_LALT), "") << "left Alt with a letter is a shortcut";
}
