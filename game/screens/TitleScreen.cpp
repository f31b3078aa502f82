#include "game/screens/TitleScreen.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"

namespace Spindrel
{

namespace
{
constexpr int kSpaceKey = 32;
constexpr int kEnterKey = 13;
constexpr int kLoadingText = 61;
} // namespace

TitleScreen::TitleScreen(GameApp& app) : m_app(app)
{
}

TitleScreen::~TitleScreen()
{
    if (m_link && m_link->manager != nullptr)
        m_link->manager->RemoveWidget(m_link.get());
}

void TitleScreen::SetLink(std::unique_ptr<Quillo::HyperlinkWidget> link)
{
    m_link = std::move(link);
}

void TitleScreen::ShowLink()
{
    if (!m_link)
        return;
    m_link->SetVisible(true);
    m_link->SetDisabled(false);
    InvalidateFull();
}

void TitleScreen::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    if (!m_link)
        return;
    m_link->SetVisible(false);
    m_link->SetDisabled(true);
    Quillo::ImageFont* font = m_app.Res().FONT_DEFAULT;
    const int w = font ? font->TextWidth(m_link->label) : 0;
    const int h = (font ? font->Height() : 0) + 4;
    m_link->Resize((width - w) / 2, kLinkY, w, h);
    m_link->handCursor = true;
    widgetManager->AddWidget(m_link.get());
}

void TitleScreen::OnDetached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnDetached(widgetManager);
    if (m_link && m_link->manager == widgetManager)
        widgetManager->RemoveWidget(m_link.get());
}

void TitleScreen::Update()
{
    Widget::Update();
    // The bar follows the loading thread, which must not touch widgets.
    if (!m_link || !m_link->visible)
        Invalidate();
}

void TitleScreen::OnKeyDown(int key)
{
    if ((key == kSpaceKey || key == kEnterKey) && m_link && !m_link->disabled)
        OnButtonClicked(kLinkId);
}

void TitleScreen::OnButtonClicked(int id)
{
    if (id != kLinkId)
        return;
    // The screen goes with its link; the application takes over from here.
    m_app.LeaveTitleScreen();
}

void TitleScreen::Draw(Quillo::Graphics* g)
{
    const GameResources& res = m_app.Res();
    if (res.IMAGE_LOADING_SCREEN)
        g->DrawImage(res.IMAGE_LOADING_SCREEN, 0, 0);
    if (Quillo::MemoryImage* bar = res.IMAGE_LOADING_BAR)
    {
        const int filled = static_cast<int>(m_app.GetLoadingProgress() * bar->GetWidth());
        if (filled > 0)
            g->DrawImage(bar, kBarX, kBarY, Quillo::Rect{0, 0, filled, bar->GetHeight()});
    }
    if ((!m_link || !m_link->visible) && res.FONT_DEFAULT)
    {
        g->SetFont(res.FONT_DEFAULT);
        g->SetColor(Quillo::Color(255, 255, 220));
        DrawCenteredText(g, kLinkY, m_app.GetText(kLoadingText));
    }
}

bool TitleScreen::IsOpaque()
{
    return ImageCoversBounds(m_app.Res().IMAGE_LOADING_SCREEN, 0, 0);
}

} // namespace Spindrel
