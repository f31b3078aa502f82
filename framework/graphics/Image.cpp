#include "framework/graphics/Image.h"

namespace Quillo
{

Image::Image(const Image& other)
    : width(other.width), height(other.height), numRows(other.numRows), numCols(other.numCols),
      animInfo(other.animInfo ? std::make_unique<AnimInfo>(*other.animInfo) : nullptr)
{
}

Image& Image::operator=(const Image& other)
{
    if (this != &other)
    {
        width = other.width;
        height = other.height;
        numRows = other.numRows;
        numCols = other.numCols;
        animInfo = other.animInfo ? std::make_unique<AnimInfo>(*other.animInfo) : nullptr;
    }
    return *this;
}

bool Image::FillPolygonAccelerated(const Point*, int, const Rect&, const Color&, int, int, int)
{
    return false;
}

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode)
{
    const int x = rect.x, y = rect.y, w = rect.width, h = rect.height;
    FillRect(Rect{x, y, w + 1, 1}, color, drawMode);
    FillRect(Rect{x, y + h, w + 1, 1}, color, drawMode);
    FillRect(Rect{x, y + 1, 1, h - 1}, color, drawMode);
    FillRect(Rect{x + w, y + 1, 1, h - 1}, color, drawMode);
}

void Image::ClearRect(const Rect&) {}

void Image::DrawLine(double, double, double, double, const Color&, int) {}

void Image::FillSpans(const Span* spans, int count, const Color& color, int drawMode)
{
    for (int i = 0; i < count; ++i)
        FillRect(Rect{spans[i].x, spans[i].y, spans[i].width, 1}, color, drawMode);
}

void Image::PaintImage(Image*, int, int, const Rect&, const Color&, int) {}

void Image::PaintImageF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}

void Image::PaintImageRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int,
                              double, int, int)
{
}

void Image::PaintImageStretched(Image*, const Rect&, const Rect&, const Rect&, const Color&, int,
                                bool)
{
}

void Image::PaintImageMirrored(Image*, int, int, const Rect&, const Color&, int) {}

void Image::PaintImageStretchedMirrored(Image*, const Rect&, const Rect&, const Rect&,
                                        const Color&, int, bool)
{
}

} // namespace Quillo
