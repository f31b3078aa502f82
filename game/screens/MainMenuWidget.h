#pragma once

#include "framework/graphics/Color.h"
#include "framework/platform/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <array>
#include <memory>
#include <string>

namespace Quillo
{
class ButtonWidget;
class HyperlinkWidget;
} // namespace Quillo

namespace Spindrel
{

class GameApp;
class HelpWidget;

// The screen between games: five image buttons sitting on painted balls
// that glow under the mouse, a greeting for the current player and a link
// to change the player. A button reacts to its round ball, not to its
// image's rectangle.
class MainMenuWidget : public Quillo::Widget, public Quillo::ButtonListener
{
public:
    static constexpr int kStartId = 3001;
    static constexpr int kOptionsId = 3002;
    static constexpr int kHelpId = 3003;
    static constexpr int kHighScoresId = 3004;
    static constexpr int kQuitId = 3005;
    static constexpr int kPlayerLinkId = 3007;
    static constexpr int kButtons = 5;
    // A press counts for a button when it lands closer than this to the
    // centre of its ball.
    static constexpr float kBallRadius = 47.0f;

    explicit MainMenuWidget(GameApp& app);
    ~MainMenuWidget() override;

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    void Update() override;
    void Draw(Quillo::Graphics* g) override;
    // Its background picture, drawn first, covers it.
    bool IsOpaque() override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    // Enter presses the marked button (Play at first) even before an arrow
    // has shown the mark; Space stays the mark's alone.
    void OnKeyDown(int key) override;
    // Left and Right follow the balls along their curve, Up goes to the
    // player link and Down back to the middle ball; Tab takes the balls in
    // their order, then the link.
    Quillo::Widget* KeyMarkNeighbour(Quillo::Widget* from, int key) override;
    void OnButtonClicked(int id) override;

    // The help screen goes, deleted after the current update step.
    void CloseHelp();
    HelpWidget* Help() const { return m_help.get(); }

    int HighlightedId() const { return m_highlightedId; }
    const Quillo::Color& GlowColour() const { return m_glowColour; }
    Quillo::ButtonWidget* Button(int index) const { return m_buttons[static_cast<size_t>(index)].get(); }

private:
    struct Centre
    {
        float x = 0.0f;
        float y = 0.0f;
    };

    void RemoveControls();
    bool MouseOnMenu() const;
    // Where the glow of the button's ball is drawn (this widget's
    // coordinates); empty without the pictures.
    Quillo::Rect GlowRect(int id) const;
    // Asks for a redraw of what looks different since the last one: the
    // glow when it has changed by a visible step, balls lit or put out,
    // buttons whose look follows the highlight, and the greeting.
    void InvalidateChanges();
    std::string Greeting() const;

    GameApp& m_app;
    std::array<std::unique_ptr<Quillo::ButtonWidget>, kButtons> m_buttons;
    std::array<Centre, kButtons> m_hoverCentres;
    std::unique_ptr<Quillo::HyperlinkWidget> m_playerLink;
    // Over the menu while it is shown; it goes with the menu.
    std::unique_ptr<HelpWidget> m_help;
    int m_highlightedId = kStartId;
    float m_glowPhase = 0.0f;
    // What is drawn: the glow's colour only moves on in visible steps.
    Quillo::Color m_glowColour = Quillo::Color::White;
    int m_shownHighlightId = kStartId;
    std::array<bool, kButtons> m_shownOver{};
    std::string m_shownGreeting;
};

} // namespace Spindrel
