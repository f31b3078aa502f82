#pragma once

#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/DrawMode.h"
#include "framework/graphics/Span.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <cstdint>
#include <memory>

namespace Quillo
{

// The abstract picture that a drawing context draws onto and draws from.
// Requests arrive in the image's own pixel coordinates; the operations that
// take no clip rectangle have already been clipped by the caller.
class Image
{
public:
    Image() = default;
    Image(const Image& other);
    Image& operator=(const Image& other);
    virtual ~Image() = default;

    virtual bool FillPolygonAccelerated(const Point* points, int count, const Rect& clipRect,
                                        const Color& color, int drawMode, int offsetX, int offsetY);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color,
                          int drawMode);
    virtual void FillSpans(const Span* spans, int count, const Color& color, int drawMode);
    virtual void PaintImage(Image* src, int x, int y, const Rect& srcRect, const Color& color,
                            int drawMode);
    virtual void PaintImageF(Image* src, float x, float y, const Rect& srcRect,
                             const Rect& clipRect, const Color& color, int drawMode);
    virtual void PaintImageRotated(Image* src, float x, float y, const Rect& srcRect,
                                   const Rect& clipRect, const Color& color, int drawMode,
                                   double angle, int centerX, int centerY);
    virtual void PaintImageStretched(Image* src, const Rect& destRect, const Rect& srcRect,
                                     const Rect& clipRect, const Color& color, int drawMode,
                                     bool quickStretch);
    virtual void PaintImageMirrored(Image* src, int x, int y, const Rect& srcRect,
                                    const Color& color, int drawMode);
    virtual void PaintImageStretchedMirrored(Image* src, const Rect& destRect,
                                             const Rect& srcRect, const Rect& clipRect,
                                             const Color& color, int drawMode, bool quickStretch);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetCelWidth() const { return numCols > 0 ? width / numCols : width; }
    int GetCelHeight() const { return numRows > 0 ? height / numRows : height; }

    int32_t width = 0;
    int32_t height = 0;
    int32_t numRows = 1;
    int32_t numCols = 1;
    std::unique_ptr<AnimInfo> animInfo;
};

} // namespace Quillo
