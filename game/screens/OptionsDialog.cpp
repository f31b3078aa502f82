#include "game/screens/OptionsDialog.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/LanguageChoice.h"
#include "game/board/Board.h"
#include "game/screens/MainMenuWidget.h"

#include <string_view>

namespace Spindrel
{

namespace
{

constexpr int kHeaderInGame = 11;
constexpr int kHeaderMainMenu = 12;
constexpr int kMenuButtonText = 13;
constexpr int kAccelerationTitleText = 14;
constexpr int kAccelerationText = 15;
constexpr int kWarningButtonText = 16;
constexpr int kWindowedTitleText = 17;
constexpr int kWindowedText = 18;
constexpr int kMusicLabelText = 6;
constexpr int kSoundLabelText = 7;
constexpr int kAccelerationLabelText = 8;
constexpr int kFullScreenLabelText = 9;
constexpr int kCursorLabelText = 10;
// The framework's warning box, closed by the application when its button is pressed.
constexpr int kWarningDialogId = 6;
constexpr int kLeaveGameQuestion = 501;

constexpr int kSliderLeft = 30 + 50;
constexpr int kSliderTop = 100;
constexpr int kSliderWidth = 245;
constexpr int kSliderGap = 40;
constexpr int kLabelAboveSlider = 23;
constexpr int kCheckboxLeft = 273;
constexpr int kCheckboxOverlap = 13;
constexpr int kCheckboxLabelColumn = 190;
constexpr int kCheckboxLabelBaseline = 32;
// The language button sits left of OK, this far from it.
constexpr int kLanguageButtonGap = 10;

std::string LanguageName(const std::string& code)
{
    for (const auto& language : LanguageChoice::Languages())
    {
        if (language.code == code)
            return std::string(language.name);
    }
    return code;
}

// The display's own verdict on hardware acceleration.
bool AccelerationSupported()
{
    return std::string_view(Quillo::NativeDisplay::Get3DCapability()) != "Unsupported";
}

// Supported and without a known problem: no need to warn before using it.
bool AccelerationRecommended()
{
    return std::string_view(Quillo::NativeDisplay::Get3DCapability()) == "Recommended";
}

} // namespace

OptionsDialog::OptionsDialog(GameApp& app, bool inGame)
    : GameDialog(app, kDialogId, app.GetText(inGame ? kHeaderInGame : kHeaderMainMenu), "", "OK",
                 kButtonFooter),
      m_inGame(inGame)
{
    // OK closes the options (and resumes a game that Escape paused); the
    // menu button, which leaves the game, is never pressed by a key.
    SetEscapeButton(EscapeButton::First);
    const GameResources& res = app.Res();
    m_musicSlider = std::make_unique<Quillo::Slider>(res.IMAGE_SLIDER_TRACK, res.IMAGE_SLIDER_THUMB,
                                                     kMusicSliderId, this);
    m_soundSlider = std::make_unique<Quillo::Slider>(res.IMAGE_SLIDER_TRACK, res.IMAGE_SLIDER_THUMB,
                                                     kSoundSliderId, this);
    m_musicSlider->SetValue(app.GetMusicVolume());
    m_soundSlider->SetValue(app.GetSfxVolume());
    if (inGame)
    {
        m_menuButton =
            std::make_unique<Quillo::DialogButton>(res.IMAGE_DIALOG_BUTTON, kMenuButtonId, this);
        StyleButton(app, *m_menuButton);
        m_menuButton->label = app.GetText(kMenuButtonText);
        m_menuButton->SetFont(res.FONT_BUTTON);
        m_menuButton->SetColor(0, Quillo::Color::White);
        m_menuButton->SetColor(1, Quillo::Color(255, 0, 0));
    }
    else
    {
        m_chosenLanguage = app.Language();
        m_languageButton =
            std::make_unique<Quillo::DialogButton>(res.IMAGE_DIALOG_BUTTON, kLanguageId, this);
        StyleButton(app, *m_languageButton);
        m_languageButton->label = LanguageName(m_chosenLanguage);
        m_languageButton->SetFont(res.FONT_BUTTON);
        m_languageButton->SetColor(0, Quillo::Color::White);
        m_languageButton->SetColor(1, Quillo::Color(255, 0, 0));
    }
    m_acceleration = MakeCheckbox(kAccelerationId);
    m_fullScreen = MakeCheckbox(kFullScreenId);
    m_cursors = MakeCheckbox(kCursorId);
    for (Quillo::Widget* control : Controls())
        if (control != nullptr)
            control->keyMarkable = true;
}

OptionsDialog::~OptionsDialog() = default;

std::unique_ptr<Quillo::Checkbox> OptionsDialog::MakeCheckbox(int checkboxId)
{
    Quillo::Image* image = m_app.Res().IMAGE_CHECKBOX;
    auto box = std::make_unique<Quillo::Checkbox>(image, image, checkboxId, this);
    if (image)
    {
        // Off on the left half of the image, on on the right half.
        const int half = image->width / 2;
        box->uncheckedRect = {0, 0, half, image->height};
        box->checkedRect = {half, 0, half, image->height};
    }
    return box;
}

std::array<Quillo::Widget*, 7> OptionsDialog::Controls()
{
    return {m_musicSlider.get(),  m_soundSlider.get(), m_menuButton.get(),     m_languageButton.get(),
            m_acceleration.get(), m_fullScreen.get(),  m_cursors.get()};
}

void OptionsDialog::OnAttached(Quillo::WidgetManager* widgetManager)
{
    GameDialog::OnAttached(widgetManager);
    widgetManager->AddWidget(m_musicSlider.get());
    widgetManager->AddWidget(m_soundSlider.get());
    if (m_menuButton)
        widgetManager->AddWidget(m_menuButton.get());
    if (m_languageButton)
        widgetManager->AddWidget(m_languageButton.get());
    m_acceleration->SetChecked(m_app.is3D, false);
    m_fullScreen->SetChecked(!m_app.windowed, false);
    m_cursors->SetChecked(m_app.customCursors, false);
    m_showsAcceleration = AccelerationSupported();
    if (m_showsAcceleration)
        widgetManager->AddWidget(m_acceleration.get());
    widgetManager->AddWidget(m_fullScreen.get());
    widgetManager->AddWidget(m_cursors.get());
    widgetManager->SetFocus(this);
}

void OptionsDialog::OnDetached(Quillo::WidgetManager* widgetManager)
{
    for (Quillo::Widget* control : Controls())
    {
        if (control && control->manager == widgetManager)
            widgetManager->RemoveWidget(control);
    }
    GameDialog::OnDetached(widgetManager);
}

void OptionsDialog::OnOrderChanged()
{
    GameDialog::OnOrderChanged();
    if (!manager)
        return;
    Quillo::Widget* behind = firstButton.get();
    for (Quillo::Widget* control : Controls())
    {
        if (control && control->manager == manager)
        {
            manager->PutInFront(control, behind);
            behind = control;
        }
    }
}

void OptionsDialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    GameDialog::Resize(newX, newY, newWidth, newHeight);
    const GameResources& res = m_app.Res();
    const int sliderHeight = res.IMAGE_SLIDER_THUMB ? res.IMAGE_SLIDER_THUMB->height : 0;
    m_musicSlider->Resize(x + kSliderLeft, y + kSliderTop, kSliderWidth, sliderHeight);
    m_soundSlider->Resize(m_musicSlider->x, m_musicSlider->y + m_musicSlider->height + kSliderGap,
                          kSliderWidth, sliderHeight);
    if (m_menuButton && firstButton)
        m_menuButton->Resize(firstButton->x, firstButton->y - firstButton->height,
                             firstButton->width, firstButton->height);
    if (m_languageButton && firstButton)
        m_languageButton->Resize(firstButton->x - firstButton->width - kLanguageButtonGap, firstButton->y,
                                 firstButton->width, firstButton->height);

    Quillo::Image* box = res.IMAGE_CHECKBOX;
    const int boxWidth = box ? box->width / 2 : 0;
    const int boxHeight = box ? box->height : 0;
    const int soundBottom = m_soundSlider->y + m_soundSlider->height;
    m_acceleration->Resize(x + kCheckboxLeft, soundBottom - 1, boxWidth, boxHeight);
    m_fullScreen->Resize(m_acceleration->x, m_acceleration->y + boxHeight - kCheckboxOverlap,
                         boxWidth, boxHeight);
    m_cursors->Resize(m_fullScreen->x, m_fullScreen->y + boxHeight - kCheckboxOverlap, boxWidth,
                      boxHeight);
}

void OptionsDialog::Draw(Quillo::Graphics* g)
{
    GameDialog::Draw(g);
    g->SetFont(m_app.Res().FONT_BUTTON);
    g->SetColor(Quillo::Color::White);
    for (const auto& [slider, text] : {std::pair{m_musicSlider.get(), kMusicLabelText},
                                       std::pair{m_soundSlider.get(), kSoundLabelText}})
    {
        g->DrawString(m_app.GetText(text), slider->x - x,
                      slider->y - y - slider->height + kLabelAboveSlider);
    }
    const int labelX = m_fullScreen->x - x - kCheckboxLabelColumn;
    if (m_showsAcceleration)
        g->DrawString(m_app.GetText(kAccelerationLabelText), labelX,
                      m_acceleration->y - y + kCheckboxLabelBaseline);
    g->DrawString(m_app.GetText(kFullScreenLabelText), labelX,
                  m_fullScreen->y - y + kCheckboxLabelBaseline);
    g->DrawString(m_app.GetText(kCursorLabelText), labelX,
                  m_cursors->y - y + kCheckboxLabelBaseline);
}

void OptionsDialog::OnSliderMoved(int sliderId, double value)
{
    if (sliderId == kMusicSliderId)
    {
        m_app.SetMusicVolume(value);
    }
    else if (sliderId == kSoundSliderId)
    {
        m_app.SetSfxVolume(value);
        // A sample at the new volume once the thumb is let go.
        if (!m_soundSlider->dragging)
            m_app.PlaySoundEffect(m_app.Res().SOUND_HEARTBEAT);
    }
}

void OptionsDialog::ShowWarning(int titleText, int bodyText)
{
    m_app.ShowDialog(kWarningDialogId, true, m_app.GetText(titleText), m_app.GetText(bodyText),
                     m_app.GetText(kWarningButtonText), kButtonFooter);
}

void OptionsDialog::OnCheckboxChanged(int checkboxId, bool checked)
{
    Invalidate();
    if (checkboxId == kAccelerationId && checked)
    {
        if (!AccelerationSupported())
            m_acceleration->SetChecked(false, true);
        else if (!AccelerationRecommended())
            ShowWarning(kAccelerationTitleText, kAccelerationText);
    }
    else if (checkboxId == kFullScreenId && !checked && m_app.IsWindowedImpossible())
    {
        ShowWarning(kWindowedTitleText, kWindowedText);
        m_fullScreen->SetChecked(true, false);
    }
}

void OptionsDialog::OnButtonClicked(int buttonId)
{
    GameDialog::OnButtonClicked(buttonId);
    if (buttonId == id + kFirstButtonOffset)
    {
        m_app.SetScreenMode(!m_fullScreen->IsChecked(), m_acceleration->IsChecked());
        m_app.customCursors = m_cursors->IsChecked();
        m_app.ApplyCursor();
        const std::string language = m_chosenLanguage;
        m_app.CloseDialogById(kDialogId);
        // The menu behind is made anew in the new language.
        if (m_languageButton && language != m_app.Language())
            m_app.SwitchLanguage(language);
        if (Board* board = m_app.GetBoard())
            board->SetPaused(false);
        // The keys go back to the screen the options were opened from.
        if (MainMenuWidget* menu = m_app.GetMainMenu())
            m_app.widgetManager->SetFocus(menu);
        else if (Board* board = m_app.GetBoard(); board && board->Logic().IsActive())
            m_app.widgetManager->SetFocus(board);
    }
    else if (buttonId == kLanguageId)
    {
        const auto& languages = LanguageChoice::Languages();
        size_t next = 0;
        for (size_t i = 0; i < languages.size(); ++i)
        {
            if (languages[i].code == m_chosenLanguage)
                next = (i + 1) % languages.size();
        }
        m_chosenLanguage = std::string(languages[next].code);
        m_languageButton->label = LanguageName(m_chosenLanguage);
        m_languageButton->Invalidate();
    }
    else if (buttonId == kMenuButtonId)
    {
        m_app.CloseDialogById(kDialogId);
        m_app.ShowAskDialog(kLeaveGameQuestion);
    }
}

} // namespace Spindrel
