#include "game/screens/HelpWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"

namespace Spindrel
{

HelpWidget::HelpWidget(GameApp& app) : m_app(app)
{
}

HelpWidget::~HelpWidget()
{
    // The button points at the images deleted with this widget.
    if (m_back && m_back->manager != nullptr)
        m_back->manager->RemoveWidget(m_back.get());
}

void HelpWidget::OnAttached(Quillo::WidgetManager* widgetManager)
{
    Widget::OnAttached(widgetManager);
    m_picture = m_app.LoadDisplayImage("gfx/help/help");
    m_backImage = m_app.LoadDisplayImage("gfx/SelectStage/back");
    m_backLitImage = m_app.LoadDisplayImage("gfx/SelectStage/back+");

    m_back = std::make_unique<Quillo::ButtonWidget>(kBackId, this);
    m_back->SetFont(m_app.Res().FONT_DEFAULT);
    m_back->colors = {Quillo::Color::White, Quillo::Color::White};
    m_back->normalImage = m_backImage.get();
    m_back->overImage = m_backLitImage.get();
    m_back->downImage = m_backLitImage.get();
    m_back->handCursor = true;
    m_back->Resize(kBackX, kBackY, m_backImage ? m_backImage->GetWidth() : 0,
                   m_backImage ? m_backImage->GetHeight() : 0);
    widgetManager->AddWidget(m_back.get());
}

void HelpWidget::RemoveBackButton()
{
    if (!m_back)
        return;
    if (m_back->manager != nullptr)
        m_back->manager->RemoveWidget(m_back.get());
    // Deferred: the button may be the one whose click is being handled.
    m_app.DeleteLater(m_back.release());
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

void HelpWidget::OnButtonClicked(int id)
{
    if (id != kBackId || manager == nullptr)
        return;
    manager->RemoveWidget(this);
    m_app.DeleteLater(this);
}

} // namespace Spindrel
