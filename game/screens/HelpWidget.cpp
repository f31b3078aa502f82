#include "game/screens/HelpWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/screens/ImageButton.h"
#include "game/screens/MainMenuWidget.h"

#include <utility>

namespace Spindrel
{

namespace
{
constexpr int kEscapeKey = 27;
constexpr int kEnterKey = 13;
constexpr int kSpaceKey = 32;
} // namespace

HelpWidget::HelpWidget(GameApp& app) : m_app(app)
{
}

HelpWidget::~HelpWidget()
{
    // The button points at the images deleted with this widget.
    if (m_back && m_back->manager != nullptr)
        m_back->manager->RemoveWidget(m_back.get());
}

std::string HelpWidget::LoadImages()
{
    const std::pair<std::unique_ptr<Quillo::MemoryImage>*, const char*> images[] = {
        {&m_picture, "gfx/help/help"},
        {&m_backImage, "gfx/SelectStage/back"},
        {&m_backLitImage, "gfx/SelectStage/back+"},
    };
    for (const auto& [image, path] : images)
    {
        *image = m_app.LoadDisplayImage(m_app.LocalizedImagePath(path));
        if (!*image)
            return path;
    }
    return {};
}

void HelpWidget::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    if (!m_picture)
        LoadImages();
    m_back = MakeImageButton(kBackId, this, m_app.Res().FONT_DEFAULT, m_backImage.get(),
                             m_backLitImage.get(), kBackX, kBackY);
    m_back->keyMarkable = true;
    m_back->keyDefault = true;
    widgetManager->AddWidget(m_back.get());
    widgetManager->SetFocus(this);
}

void HelpWidget::RemoveBackButton()
{
    RetireButton(m_app, m_back);
}

void HelpWidget::OnDetached(Quillo::WidgetManager* widgetManager)
{
    RemoveBackButton();
    Widget::OnDetached(widgetManager);
}

void HelpWidget::Draw(Quillo::Graphics* g)
{
    g->DrawImage(m_picture.get(), 0, 0);
}

bool HelpWidget::IsOpaque()
{
    return ImageCoversBounds(m_picture.get(), 0, 0);
}

void HelpWidget::OnKeyDown(int key)
{
    // Back is the page's one way on, with or without the mark on it.
    if (key == kEscapeKey || ((key == kEnterKey || key == kSpaceKey) && !IsRepeat()))
    {
        Leave();
        return;
    }
    Widget::OnKeyDown(key);
}

bool HelpWidget::IsRepeat() const
{
    return manager != nullptr && manager->IsKeyRepeat();
}

void HelpWidget::OnButtonClicked(int id)
{
    if (id == kBackId)
        Leave();
}

void HelpWidget::Leave()
{
    MainMenuWidget* menu = m_app.GetMainMenu();
    if (menu == nullptr || menu->Help() != this || manager == nullptr)
        return;
    Quillo::WidgetManager* widgetManager = manager;
    menu->CloseHelp();
    widgetManager->SetFocus(menu);
}

} // namespace Spindrel
