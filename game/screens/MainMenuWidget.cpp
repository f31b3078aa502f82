#include "game/screens/MainMenuWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/app/LevelTables.h"
#include "game/app/PlayerProfiles.h"
#include "game/screens/HelpWidget.h"
#include "game/screens/ImageButton.h"
#include "game/screens/HighscoresDialog.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/SelectPlayerDialog.h"

#include <algorithm>
#include <cmath>

namespace Spindrel
{

namespace
{
constexpr int kGreetingText = 19;
constexpr int kPlayerLinkText = 5;
constexpr int kGreetingBaseline = 270;
constexpr int kBallDrop = 35;
constexpr int kHoverDrop = 82;
constexpr int kHandCursor = 1;
constexpr int kArrowCursor = 0;
// The glow is redrawn when its opacity has moved this far: about twenty
// redraws a second, where every 10 ms step would be a hundred.
constexpr int kGlowAlphaStep = 4;

int GlowAlpha(float phase)
{
    return std::clamp(static_cast<int>(std::cos(phase) * 65.0f + 190.0f), 0, 255);
}
} // namespace

MainMenuWidget::MainMenuWidget(GameApp& app) : m_app(app)
{
    m_app.Levels().LoadMainMenuPoints();
}

MainMenuWidget::~MainMenuWidget()
{
    RemoveControls();
}

void MainMenuWidget::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    const GameResources& res = m_app.Res();
    Quillo::MemoryImage* const normal[kButtons] = {res.IMAGE_MB_START, res.IMAGE_MB_OPTIONS,
                                                   res.IMAGE_MB_HELP, res.IMAGE_MB_HIGHSCORES,
                                                   res.IMAGE_MB_QUIT};
    Quillo::MemoryImage* const lit[kButtons] = {res.IMAGE_MB_START_P, res.IMAGE_MB_OPTIONS_P,
                                                res.IMAGE_MB_HELP_P, res.IMAGE_MB_HIGHSCORES_P,
                                                res.IMAGE_MB_QUIT_P};
    const auto& points = m_app.Levels().MainMenuPoints();
    for (int i = 0; i < kButtons; ++i)
    {
        const auto& p = points[static_cast<size_t>(i)];
        auto button = MakeImageButton(kStartId + i, this, res.FONT_DEFAULT, normal[i], lit[i],
                                      static_cast<int>(p.x), static_cast<int>(p.y));
        button->keyMarkable = true;
        button->keyDefault = i == 0;
        widgetManager->AddWidget(button.get());
        m_hoverCentres[static_cast<size_t>(i)] = {static_cast<float>(button->x + button->width / 2),
                                                  static_cast<float>(button->y + kHoverDrop)};
        m_buttons[static_cast<size_t>(i)] = std::move(button);
    }

    m_playerLink = std::make_unique<Quillo::HyperlinkWidget>(kPlayerLinkId, this);
    m_playerLink->SetFont(res.FONT_BUTTON);
    m_playerLink->label = m_app.GetText(kPlayerLinkText);
    m_playerLink->color = Quillo::Color::White;
    m_playerLink->overColor = Quillo::Color(255, 0, 0);
    // The button colours tell the widget that hovering changes its look,
    // so that it is redrawn when the mouse comes and goes.
    m_playerLink->SetColor(0, m_playerLink->color);
    m_playerLink->SetColor(1, m_playerLink->overColor);
    m_playerLink->underlineOffset = 0;
    m_playerLink->handCursor = true;
    m_playerLink->keyMarkable = true;
    const int linkW = res.FONT_BUTTON ? res.FONT_BUTTON->TextWidth(m_playerLink->label) : 0;
    const int linkH = (res.FONT_BUTTON ? res.FONT_BUTTON->Height() : 0) + 4;
    m_playerLink->Resize((800 - linkW) / 2 + 5, kGreetingBaseline, linkW, linkH);
    widgetManager->AddWidget(m_playerLink.get());
    widgetManager->SetFocus(this);
    m_shownGreeting = Greeting();

    if (m_app.Profiles().Count() == 0)
        m_app.OpenNewPlayerDialog(3);
}

void MainMenuWidget::RemoveControls()
{
    CloseHelp();
    if (m_playerLink && m_playerLink->manager != nullptr)
        m_playerLink->manager->RemoveWidget(m_playerLink.get());
    for (auto& button : m_buttons)
        RetireButton(m_app, button);
}

void MainMenuWidget::CloseHelp()
{
    if (!m_help)
        return;
    if (m_help->manager != nullptr)
        m_help->manager->RemoveWidget(m_help.get());
    m_app.DeleteLater(m_help.release());
}

void MainMenuWidget::OnDetached(Quillo::WidgetManager* widgetManager)
{
    RemoveControls();
    Widget::OnDetached(widgetManager);
}

void MainMenuWidget::Update()
{
    m_glowPhase += 0.02f;
    // A ball is lit only while the mouse is on the menu or its buttons: the
    // player link, a dialog or the mouse leaving the window put it out.
    if (!MouseOnMenu())
    {
        for (const auto& button : m_buttons)
            if (button)
                button->isOver = false;
        m_highlightedId = -1;
    }
    // While the keyboard mark shows, it alone lights a ball: the mark may
    // have gone on to the player link.
    const bool byKeys = manager != nullptr && manager->KeyMarkShown();
    if (byKeys)
        m_highlightedId = -1;
    for (const auto& button : m_buttons)
        if (button && (byKeys ? button->keyMarked : button->isOver))
            m_highlightedId = button->id;
    Widget::Update();
    InvalidateChanges();
}

void MainMenuWidget::InvalidateChanges()
{
    const auto invalidateGlow = [this](int id) {
        if (const Quillo::Rect area = GlowRect(id); area.width > 0)
            InvalidateArea(area);
    };
    const int alpha = GlowAlpha(m_glowPhase);
    if (m_highlightedId != m_shownHighlightId)
    {
        invalidateGlow(m_shownHighlightId);
        invalidateGlow(m_highlightedId);
        m_shownHighlightId = m_highlightedId;
        m_glowColour = Quillo::Color(255, 255, 255, alpha);
    }
    else if (std::abs(alpha - m_glowColour.alpha) >= kGlowAlphaStep)
    {
        m_glowColour = Quillo::Color(255, 255, 255, alpha);
        invalidateGlow(m_highlightedId);
    }
    // The menu lights and puts out buttons itself, past the manager's
    // hover tracking that would redraw them.
    for (size_t i = 0; i < m_buttons.size(); ++i)
    {
        const auto& button = m_buttons[i];
        if (button && button->isOver != m_shownOver[i])
        {
            m_shownOver[i] = button->isOver;
            button->Invalidate();
        }
    }
    if (std::string greeting = Greeting(); greeting != m_shownGreeting)
    {
        m_shownGreeting = std::move(greeting);
        Invalidate();
    }
}

std::string MainMenuWidget::Greeting() const
{
    return m_app.GetText(kGreetingText) + " " + m_app.Profiles().CurrentName();
}

Quillo::Rect MainMenuWidget::GlowRect(int id) const
{
    const GameResources& res = m_app.Res();
    const Quillo::MemoryImage* ball = res.IMAGE_BUTTON_BALL;
    const Quillo::MemoryImage* light = res.IMAGE_BUTTON_BALL_LIGHT;
    const int index = id - kStartId;
    if (!ball || !light || index < 0 || index >= kButtons || !m_buttons[static_cast<size_t>(index)])
        return {};
    const Quillo::ButtonWidget& button = *m_buttons[static_cast<size_t>(index)];
    const int bx = button.x + button.width / 2 - ball->GetWidth() / 2;
    const int by = button.y + kBallDrop;
    return {bx - (light->GetWidth() - ball->GetWidth()) / 2 - x,
            by - (light->GetHeight() - ball->GetHeight()) / 2 - y, light->GetWidth(), light->GetHeight()};
}

bool MainMenuWidget::MouseOnMenu() const
{
    if (manager == nullptr || !manager->mouseIn || manager->overWidget == nullptr)
        return false;
    if (manager->overWidget == this)
        return true;
    return std::any_of(m_buttons.begin(), m_buttons.end(),
                       [this](const auto& button) { return button.get() == manager->overWidget; });
}

void MainMenuWidget::OnMouseMove(int localX, int localY)
{
    for (const auto& button : m_buttons)
        if (button)
            button->isOver = false;
    m_highlightedId = -1;
    const float mx = static_cast<float>(x + localX);
    const float my = static_cast<float>(y + localY);
    for (int i = 0; i < kButtons; ++i)
    {
        const auto& button = m_buttons[static_cast<size_t>(i)];
        const Centre& c = m_hoverCentres[static_cast<size_t>(i)];
        if (button && std::hypot(mx - c.x, my - c.y) < kBallRadius)
        {
            m_highlightedId = button->id;
            button->isOver = true;
            // Keys go on from the ball the mouse lit.
            if (manager != nullptr)
                manager->SetKeyMark(button.get());
            if (m_app.cursorKind != kHandCursor)
                SetCursorKind(kHandCursor);
            return;
        }
    }
    if (m_app.cursorKind != kArrowCursor)
        SetCursorKind(kArrowCursor);
}

void MainMenuWidget::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    if (m_highlightedId != -1)
        OnButtonClicked(m_highlightedId);
}

void MainMenuWidget::OnKeyDown(int key)
{
    if (key != Quillo::KeyCode::Enter || manager == nullptr || manager->IsKeyRepeat())
    {
        Widget::OnKeyDown(key);
        return;
    }
    if (Quillo::Widget* mark = manager->KeyMark())
    {
        manager->ShowKeyMark(true);
        mark->OnMarkedKey(key);
    }
}

Quillo::Widget* MainMenuWidget::KeyMarkNeighbour(Quillo::Widget* from, int key)
{
    namespace Key = Quillo::KeyCode;
    std::array<Quillo::Widget*, kButtons + 1> order{};
    for (int i = 0; i < kButtons; ++i)
        order[static_cast<size_t>(i)] = m_buttons[static_cast<size_t>(i)].get();
    order[kButtons] = m_playerLink.get();
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end())
        return nullptr;
    const int index = static_cast<int>(at - order.begin());
    const bool isLink = index == kButtons;
    const auto pick = [&order](int i) { return order[static_cast<size_t>(i)]; };
    switch (key)
    {
    case Key::Tab:
    {
        const int step = manager != nullptr && manager->keyDown[Key::Shift] ? kButtons : 1;
        return pick((index + step) % (kButtons + 1));
    }
    case Key::Left:
        return isLink || index == 0 ? nullptr : pick(index - 1);
    case Key::Right:
        return isLink || index == kButtons - 1 ? nullptr : pick(index + 1);
    case Key::Up:
        return isLink ? nullptr : m_playerLink.get();
    case Key::Down:
        return isLink ? pick(kButtons / 2) : nullptr;
    default:
        return nullptr;
    }
}

void MainMenuWidget::Draw(Quillo::Graphics* g)
{
    const GameResources& res = m_app.Res();
    if (res.IMAGE_MAIN_MENU_BG)
        g->DrawImage(res.IMAGE_MAIN_MENU_BG, 0, 0);
    Quillo::MemoryImage* ball = res.IMAGE_BUTTON_BALL;
    for (const auto& button : m_buttons)
    {
        if (!button || !ball)
            continue;
        g->DrawImage(ball, button->x + button->width / 2 - ball->GetWidth() / 2 - x,
                     button->y + kBallDrop - y);
        const Quillo::Rect glow = GlowRect(button->id);
        if (button->id == m_highlightedId && glow.width > 0)
        {
            Quillo::Graphics lit(*g);
            lit.SetColor(m_glowColour);
            lit.SetTintImages(true);
            lit.DrawImage(res.IMAGE_BUTTON_BALL_LIGHT, glow.x, glow.y);
        }
    }
    if (res.FONT_DEFAULT)
    {
        g->SetFont(res.FONT_DEFAULT);
        g->SetColor(Quillo::Color::White);
        DrawCenteredText(g, kGreetingBaseline, m_shownGreeting);
    }
}

bool MainMenuWidget::IsOpaque()
{
    return ImageCoversBounds(m_app.Res().IMAGE_MAIN_MENU_BG, 0, 0);
}

void MainMenuWidget::OnButtonClicked(int id)
{
    SetCursorKind(kArrowCursor);
    switch (id)
    {
    case kStartId:
        m_app.LoadHighestStageStart();
        if (m_app.HasSavedGame())
            m_app.ShowAskDialog(502);
        else
            m_app.ShowSelectStage();
        break;
    case kOptionsId:
        m_app.PauseBoardForDialog();
        m_app.AddCentredDialog(OptionsDialog::kDialogId,
                               std::make_unique<OptionsDialog>(m_app, false), 400, 410);
        break;
    case kHelpId:
    {
        auto help = std::make_unique<HelpWidget>(m_app);
        if (const std::string missing = help->LoadImages(); !missing.empty())
        {
            m_app.ShowWarning("There was an error loading the file: " + missing);
            break;
        }
        help->Resize(0, 0, 800, 600);
        CloseHelp();
        m_help = std::move(help);
        m_app.widgetManager->AddWidget(m_help.get());
        break;
    }
    case kHighScoresId:
        m_app.PauseBoardForDialog();
        m_app.AddCentredDialog(HighscoresDialog::kDialogId, std::make_unique<HighscoresDialog>(m_app),
                               400, 500);
        break;
    case kQuitId:
        m_app.CloseMainMenu();
        m_app.Shutdown();
        break;
    case kPlayerLinkId:
        m_app.PauseBoardForDialog();
        m_app.AddCentredDialog(SelectPlayerDialog::kDialogId,
                               std::make_unique<SelectPlayerDialog>(m_app), 400, 400);
        break;
    default:
        break;
    }
}

} // namespace Spindrel
