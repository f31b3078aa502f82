#include "game/screens/ImageButton.h"

#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameApp.h"

namespace Spindrel
{

std::unique_ptr<Quillo::ButtonWidget> MakeImageButton(int id, Quillo::ButtonListener* listener,
                                                      const Quillo::Font* font, Quillo::Image* normal,
                                                      Quillo::Image* lit, int x, int y)
{
    auto button = std::make_unique<Quillo::ButtonWidget>(id, listener);
    button->SetFont(font);
    button->colors = {Quillo::Color::White, Quillo::Color::White};
    button->handCursor = true;
    button->normalImage = normal;
    button->overImage = lit;
    button->downImage = lit;
    button->Resize(x, y, normal ? normal->GetWidth() : 0, normal ? normal->GetHeight() : 0);
    return button;
}

std::unique_ptr<Quillo::MemoryImage> FadedImage(Quillo::MemoryImage* image)
{
    if (image == nullptr)
        return nullptr;
    auto faded = std::make_unique<Quillo::MemoryImage>(*image);
    uint32_t* bits = faded->GetBits();
    const int64_t count = int64_t(faded->GetWidth()) * faded->GetHeight();
    // Two fifths of its opacity: still there, plainly out of use.
    for (int64_t i = 0; bits != nullptr && i < count; ++i)
        bits[i] = ((bits[i] >> 24) * 2 / 5) << 24 | (bits[i] & 0xFFFFFFu);
    faded->MarkBitsChanged();
    return faded;
}

void RetireButton(GameApp& app, std::unique_ptr<Quillo::ButtonWidget>& button)
{
    if (!button)
        return;
    if (button->manager != nullptr)
        button->manager->RemoveWidget(button.get());
    app.DeleteLater(button.release());
}

} // namespace Spindrel
