#include "framework/app/QuilloAppBase.h"

#include "framework/graphics/ImageLib.h"

namespace Quillo
{

void QuilloAppBase::ApplyWindowIcon()
{
    if (windowIconPath.empty() || !platform)
        return;
    // A missing icon leaves the desktop's default; it is no reason to stop.
    const auto icon = ImageLib::ReadPNG(windowIconPath);
    if (icon && icon->bits)
        platform->SetWindowIcon(icon->bits.get(), icon->width, icon->height);
}

} // namespace Quillo
