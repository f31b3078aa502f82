#pragma once

#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/SliderListener.h"
#include "game/screens/GameDialog.h"

#include <array>
#include <memory>
#include <string>

namespace Quillo
{
class Checkbox;
class DialogButton;
class Slider;
} // namespace Quillo

namespace Spindrel
{

// Music and sound volumes, full screen, hardware acceleration and the drawn
// cursors. The volumes change while the sliders move; the checkboxes take
// effect together when the dialog is closed with OK. The in-game form has
// one more button, which leads to the leave-game question; the main-menu
// form one that steps through the languages by their own names, taken on
// with the checkboxes.
class OptionsDialog : public GameDialog,
                      public Quillo::SliderListener,
                      public Quillo::CheckboxListener
{
public:
    static constexpr int kDialogId = 7;
    static constexpr int kMusicSliderId = 0;
    static constexpr int kSoundSliderId = 1;
    static constexpr int kMenuButtonId = 2;
    static constexpr int kFullScreenId = 3;
    static constexpr int kAccelerationId = 4;
    static constexpr int kCursorId = 5;
    static constexpr int kLanguageId = 6;

    OptionsDialog(GameApp& app, bool inGame);
    ~OptionsDialog() override;

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    // The controls stay in front of the box.
    void OnOrderChanged() override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Quillo::Graphics* g) override;

    void OnSliderMoved(int sliderId, double value) override;
    void OnCheckboxChanged(int checkboxId, bool checked) override;
    void OnButtonClicked(int buttonId) override;

    Quillo::Slider& MusicSlider() { return *m_musicSlider; }
    Quillo::Slider& SoundSlider() { return *m_soundSlider; }
    // Null in the main-menu form.
    Quillo::DialogButton* MenuButton() { return m_menuButton.get(); }
    // Null in the in-game form.
    Quillo::DialogButton* LanguageButton() { return m_languageButton.get(); }
    // The language OK will take on.
    const std::string& ChosenLanguage() const { return m_chosenLanguage; }
    Quillo::Checkbox& AccelerationCheckbox() { return *m_acceleration; }
    Quillo::Checkbox& FullScreenCheckbox() { return *m_fullScreen; }
    Quillo::Checkbox& CursorCheckbox() { return *m_cursors; }
    // The acceleration checkbox is shown only where the display can use
    // acceleration at all.
    bool ShowsAcceleration() const { return m_showsAcceleration; }

private:
    std::unique_ptr<Quillo::Checkbox> MakeCheckbox(int checkboxId);
    // All seven, in their order in front of the box; the menu button is
    // null in the main-menu form, the language button in the in-game form.
    std::array<Quillo::Widget*, 7> Controls();
    void ShowWarning(int titleText, int bodyText);

    bool m_inGame;
    bool m_showsAcceleration = false;
    std::unique_ptr<Quillo::Slider> m_musicSlider;
    std::unique_ptr<Quillo::Slider> m_soundSlider;
    std::unique_ptr<Quillo::DialogButton> m_menuButton;
    std::unique_ptr<Quillo::DialogButton> m_languageButton;
    std::string m_chosenLanguage;
    std::unique_ptr<Quillo::Checkbox> m_acceleration;
    std::unique_ptr<Quillo::Checkbox> m_fullScreen;
    std::unique_ptr<Quillo::Checkbox> m_cursors;
};

} // namespace Spindrel
