#include "game/screens/HelpWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"
#include "game/screens/ImageButton.h"

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

    m_back = MakeImageButton(kBackId, this, m_app.Res().FONT_DEFAULT, m_backImage.get(),
                             m_backLitImage.get(), kBackX, kBackY);
    widgetManager->AddWidget(m_back.get());
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

void HelpWidget::OnButtonClicked(int id)
{
    if (id != kBackId || manager == nullptr)
        return;
    manager->RemoveWidget(this);
    m_app.DeleteLater(this);
}

} // namespace Spindrel
