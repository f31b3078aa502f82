#pragma once

#include "framework/graphics/DrawList.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/board/BoardLogic.h"
#include "game/board/BoardPictures.h"

#include <array>
#include <memory>
#include <string>

namespace Quillo
{
class ButtonWidget;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

struct Ball;
struct GameResources;

// The widget the game is played on: 800 x 600, created once by the game
// and kept in the widget tree. It wraps the board's rules (BoardLogic),
// feeds them the update steps and the mouse, draws the board, and carries
// the in-game menu button.
class Board : public Quillo::Widget, public Quillo::ButtonListener
{
public:
    static constexpr int kMenuButtonId = 1;
    static constexpr int kMenuLabelText = 13;

    Board(BoardHost& host, const GameResources& resources);
    ~Board() override;

    // The prefix for data files ("levels", "gfx"; empty means the working
    // directory). Saved games are the application's (its save folder).
    void SetDataRoot(const std::string& root);
    // After the "Game" group is bound: builds the picture sets and hands
    // the sprite sizes and fonts to the rules.
    void BuildPictures();
    // Takes picture sets built elsewhere (the game's loading pass) instead.
    void SetPictures(BoardPictures pictures);
    // Takes the handles as they are now (BuildPictures calls it too).
    void ApplyResources();

    // Game flow, for the game application and its dialogs.
    void SetPaused(bool paused) { m_logic.SetPaused(paused); }
    void NewGame() { m_logic.NewGame(); }
    void NewGameAtStage(int stageIndex) { m_logic.NewGameAtStage(stageIndex); }
    void StartNextLevel();

    BoardLogic& Logic() { return m_logic; }
    const BoardLogic& Logic() const { return m_logic; }
    BoardPictures& Pictures() { return m_pictures; }
    Quillo::ButtonWidget* MenuButton() const { return m_menuButton.get(); }

    void OnAttached(Quillo::WidgetManager* widgetManager) override;
    void OnDetached(Quillo::WidgetManager* widgetManager) override;
    void Draw(Quillo::Graphics* g) override;
    // The track's background, drawn first, covers it while a level is on.
    bool IsOpaque() override;
    // Compares the picture with the one drawn last and invalidates only
    // where the two differ.
    void BeforeDrawPass() override;
    void Update() override;
    void UpdatePartial(double fraction) override;
    void OnKeyDown(int key) override;
    void OnMouseMove(int localX, int localY) override;
    void OnMouseDown(int localX, int localY, int clickCode) override;
    void OnMouseUp(int localX, int localY, int clickCode) override;
    void OnButtonClicked(int id) override;

    // The keyboard's marker is drawn from a key press until the mouse moves.
    bool MarkerShown() const { return m_markerShown; }

private:
    // The marker's keys; false for a key that is not one of them.
    bool MarkerKey(int key);
    void DrawMarker(Quillo::DrawList& g);
    void LoadTrackImages();
    // The state's picture; Draw draws it and BeforeDrawPass compares it.
    void BuildPicture(Quillo::DrawList& g);
    // The state moved on: the next draw pass looks at the picture again.
    void RefreshDue();
    void DrawBall(Quillo::DrawList& g, const Ball& ball, bool paused);
    void DrawGlow(Quillo::DrawList& g, int left, int top);
    void DrawBar(Quillo::DrawList& g, Quillo::Image* image, float percent, int x, int y);
    void DrawHud(Quillo::DrawList& g);
    // The HUD's score, stage and lives lines, formatted and measured again
    // only when what they show changes.
    void DrawHudText(Quillo::DrawList& g);
    void DrawEffects(Quillo::DrawList& g);
    void DrawEditor(Quillo::DrawList& g);

    BoardHost& m_host;
    const GameResources& m_res;
    BoardLogic m_logic;
    BoardPictures m_pictures;
    std::string m_dataRoot;
    std::unique_ptr<Quillo::MemoryImage> m_background;
    std::unique_ptr<Quillo::MemoryImage> m_gateStrip;
    std::unique_ptr<Quillo::ButtonWidget> m_menuButton;
    // The picture on the screen, and the next one while they are compared.
    Quillo::DrawList m_picture;
    Quillo::DrawList m_nextPicture;
    struct HudTextKey
    {
        Quillo::Font* font = nullptr;
        std::array<std::string, 3> labels;
        int score = 0;
        int stage = 0;
        int stageLevel = 0;
        int lives = 0;

        bool operator==(const HudTextKey&) const = default;
    };
    HudTextKey m_hudTextKey;
    Quillo::DrawList m_hudText;
    bool m_hudTextMade = false;
    bool m_refreshDue = false;
    // The images changed: a comparison of pictures cannot tell.
    bool m_wholeDue = true;
    // Whether the board was paused at the last draw pass.
    bool m_picturePaused = false;
    bool m_markerShown = false;
    // Where the board last saw the mouse: the widget layer also reports a
    // mouse that did not move (a dialog closing over it), which must not
    // hide the marker.
    int m_mouseX = -1;
    int m_mouseY = -1;
};

} // namespace Spindrel
