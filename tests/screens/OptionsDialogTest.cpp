#include "game/screens/OptionsDialog.h"

#include "DatalessGameApp.h"

#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/Slider.h"

#include <utility>
#include <vector>

using namespace Spindrel;

namespace
{

constexpr int kWarningDialog = 6;
constexpr int kAskDialog = 500;

// Records the screen-mode switches and cursor updates the dialog asks for.
class OptionsApp : public DatalessGameApp
{
public:
    void SetScreenMode(bool wantWindowed, bool threeD) override { modes.emplace_back(wantWindowed, threeD); }
    bool ApplyCursor() override
    {
        cursorsWhenApplied.push_back(customCursors);
        return true;
    }

    using QuilloAppBase::windowedImpossible;
    std::vector<std::pair<bool, bool>> modes;
    std::vector<bool> cursorsWhenApplied;
};

class Options : public ::testing::Test
{
protected:
    OptionsDialog& Open(bool inGame)
    {
        app.AddCentredDialog(OptionsDialog::kDialogId, std::make_unique<OptionsDialog>(app, inGame),
                             400, inGame ? 450 : 410);
        return *static_cast<OptionsDialog*>(app.FindDialog(OptionsDialog::kDialogId));
    }
    // A press on a checkbox, as the widget manager delivers it.
    static void Press(Quillo::Checkbox& box) { box.OnMouseDown(1, 1, 1); }
    void Click(const Quillo::ButtonWidget& button) { ClickButton(*app.widgetManager, button); }

    OptionsApp app;
};

TEST_F(Options, MainMenuFormHasNoMenuButtonAndStartsFromTheSettings)
{
    app.windowed = false;
    app.customCursors = true;
    app.SetMusicVolume(0.25);
    app.SetSfxVolume(0.75);
    OptionsDialog& dialog = Open(false);
    EXPECT_EQ(dialog.header, "t12");
    EXPECT_EQ(dialog.MenuButton(), nullptr);
    ASSERT_NE(dialog.FirstButton(), nullptr);
    EXPECT_EQ(dialog.FirstButton()->label, "OK");
    EXPECT_EQ(dialog.SecondButton(), nullptr);
    EXPECT_EQ(app.widgetManager->GetBaseModal(), &dialog);

    EXPECT_TRUE(dialog.FullScreenCheckbox().IsChecked());
    EXPECT_TRUE(dialog.CursorCheckbox().IsChecked());
    EXPECT_FALSE(dialog.AccelerationCheckbox().IsChecked());
    EXPECT_DOUBLE_EQ(dialog.MusicSlider().value, 0.25);
    EXPECT_DOUBLE_EQ(dialog.SoundSlider().value, 0.75);
    // The software display offers no acceleration, so its box is not shown.
    EXPECT_FALSE(dialog.ShowsAcceleration());
    EXPECT_EQ(dialog.AccelerationCheckbox().manager, nullptr);
    EXPECT_EQ(dialog.FullScreenCheckbox().manager, app.widgetManager.get());
}

TEST_F(Options, InGameFormsMenuButtonAboveOkLeadsToTheLeaveGameQuestion)
{
    OptionsDialog& dialog = Open(true);
    EXPECT_EQ(dialog.header, "t11");
    ASSERT_NE(dialog.MenuButton(), nullptr);
    const Quillo::DialogButton& ok = *dialog.FirstButton();
    EXPECT_EQ(dialog.MenuButton()->GetRect(), (Quillo::Rect{ok.x, ok.y - ok.height, ok.width, ok.height}));
    EXPECT_EQ(dialog.MenuButton()->label, "t13");

    Click(*dialog.MenuButton());
    EXPECT_EQ(app.FindDialog(OptionsDialog::kDialogId), nullptr);
    Quillo::Dialog* ask = app.FindDialog(kAskDialog);
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(ask->header, "t22");
    EXPECT_TRUE(app.modes.empty());
}

TEST_F(Options, SlidersApplyTheirVolumeAtOnce)
{
    OptionsDialog& dialog = Open(false);
    Quillo::Slider& music = dialog.MusicSlider();
    Quillo::Slider& sound = dialog.SoundSlider();
    music.listener->OnSliderMoved(music.id, 0.3);
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.3);
    sound.listener->OnSliderMoved(sound.id, 0.6);
    EXPECT_DOUBLE_EQ(app.GetSfxVolume(), 0.6);
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.3);
    EXPECT_EQ(sound.y, music.y + music.height + 40);
}

TEST_F(Options, UntickingFullScreenWhereWindowedIsImpossibleWarnsAndStaysTicked)
{
    app.windowed = false;
    app.windowedImpossible = true;
    OptionsDialog& dialog = Open(false);
    Press(dialog.FullScreenCheckbox());
    EXPECT_TRUE(dialog.FullScreenCheckbox().IsChecked());
    Quillo::Dialog* warning = app.FindDialog(kWarningDialog);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->header, "t17");
    EXPECT_EQ(warning->body, "t18");
    ASSERT_NE(warning->FirstButton(), nullptr);
    EXPECT_EQ(warning->FirstButton()->label, "t16");
    EXPECT_EQ(warning->SecondButton(), nullptr);
}

TEST_F(Options, UntickingFullScreenWhereWindowedWorksNeedsNoWarningAndAccelerationStaysOff)
{
    app.windowed = false;
    OptionsDialog& dialog = Open(false);
    Press(dialog.FullScreenCheckbox());
    EXPECT_FALSE(dialog.FullScreenCheckbox().IsChecked());
    EXPECT_TRUE(app.modes.empty());
    // Acceleration cannot be switched on without support.
    Press(dialog.AccelerationCheckbox());
    EXPECT_FALSE(dialog.AccelerationCheckbox().IsChecked());
    EXPECT_EQ(app.FindDialog(kWarningDialog), nullptr);
}

TEST_F(Options, OkAppliesAllCheckboxesAtOnceAndCloses)
{
    app.windowed = false;
    app.customCursors = false;
    OptionsDialog& dialog = Open(false);
    Press(dialog.FullScreenCheckbox());
    Press(dialog.CursorCheckbox());
    // Nothing changes before OK.
    EXPECT_TRUE(app.modes.empty());
    EXPECT_FALSE(app.customCursors);

    // The mouse on its way to OK applies the cursor too, still the old one.
    Click(*dialog.FirstButton());

    ASSERT_EQ(app.modes.size(), 1u);
    EXPECT_EQ(app.modes[0], std::make_pair(true, false));
    EXPECT_TRUE(app.customCursors);
    ASSERT_FALSE(app.cursorsWhenApplied.empty());
    EXPECT_FALSE(app.cursorsWhenApplied.front());
    EXPECT_TRUE(app.cursorsWhenApplied.back()) << "OK applies the drawn cursors";
    EXPECT_EQ(app.FindDialog(OptionsDialog::kDialogId), nullptr);
}

} // namespace
