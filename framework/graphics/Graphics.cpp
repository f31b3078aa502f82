#include "framework/graphics/Graphics.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/TextObserver.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Quillo
{
namespace
{

// The destination of contexts made without an image; being 0 x 0, it clips
// everything away.
Image& EmptyImage()
{
    static Image empty;
    return empty;
}

} // namespace

Graphics::Graphics(Image* destImage) : m_destImage(destImage ? destImage : &EmptyImage())
{
    m_clipRect = Rect{0, 0, m_destImage->width, m_destImage->height};
}

std::unique_ptr<Graphics> Graphics::CreateCopy() const { return std::make_unique<Graphics>(*this); }

Color Graphics::ImageColor() const { return m_tintImages ? m_color : Color::White; }

void Graphics::Translate(int dx, int dy)
{
    m_transX += static_cast<float>(dx);
    m_transY += static_cast<float>(dy);
}

void Graphics::IntersectClip(int x, int y, int w, int h)
{
    m_clipRect = m_clipRect.Intersection(Rect{TranslateX(x), TranslateY(y), w, h});
}

void Graphics::ClearClipRect()
{
    m_clipRect = Rect{0, 0, m_destImage->width, m_destImage->height};
}

void Graphics::FillRect(int x, int y, int w, int h)
{
    const Rect r = Rect{TranslateX(x), TranslateY(y), w, h}.Intersection(m_clipRect);
    if (r.width > 0 && r.height > 0)
        m_destImage->FillRect(r, m_color, m_drawMode);
}

void Graphics::ClearRect(int x, int y, int w, int h)
{
    const Rect r = Rect{TranslateX(x), TranslateY(y), w, h}.Intersection(m_clipRect);
    if (r.width > 0 && r.height > 0)
        m_destImage->ClearRect(r);
}

void Graphics::DrawRect(int x, int y, int w, int h)
{
    const Rect whole{TranslateX(x), TranslateY(y), w + 1, h + 1};
    if (whole.width > 0 && whole.height > 0 && whole.Intersection(m_clipRect) == whole)
    {
        m_destImage->DrawRect(Rect{whole.x, whole.y, w, h}, m_color, m_drawMode);
        return;
    }
    FillRect(x, y, w + 1, 1);
    FillRect(x, y + h, w + 1, 1);
    FillRect(x, y + 1, 1, h - 1);
    FillRect(x + w, y + 1, 1, h - 1);
}

void Graphics::DrawLine(int ix1, int iy1, int ix2, int iy2)
{
    double x1 = ix1 + double(m_transX), y1 = iy1 + double(m_transY);
    double x2 = ix2 + double(m_transX), y2 = iy2 + double(m_transY);
    // Cuts the line to [lo, hi - 1] along one axis (a), moving the other (b).
    auto clipAxis = [](double& a1, double& b1, double& a2, double& b2, double lo, double hi) {
        if (a1 > a2)
        {
            std::swap(a1, a2);
            std::swap(b1, b2);
        }
        if (a1 < lo)
        {
            if (a2 < lo)
                return false;
            b1 += (b2 - b1) * (lo - a1) / (a2 - a1);
            a1 = lo;
        }
        if (a2 >= hi)
        {
            if (hi <= a1)
                return false;
            b2 = b1 + (b2 - b1) * (hi - 1 - a1) / (a2 - a1);
            a2 = hi - 1;
        }
        return true;
    };
    const Rect& c = m_clipRect;
    if (!clipAxis(x1, y1, x2, y2, c.x, double(c.x) + c.width))
        return;
    if (!clipAxis(y1, x1, y2, x2, c.y, double(c.y) + c.height))
        return;
    m_destImage->DrawLine(x1, y1, x2, y2, m_color, m_drawMode);
}

void Graphics::PolyFill(const Point* points, int count)
{
    if (count < 3 || !points)
        return;
    const int ox = TranslateX(0), oy = TranslateY(0);
    if (m_destImage->FillPolygonAccelerated(points, count, m_clipRect, m_color, m_drawMode, ox, oy))
        return;
    int top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i)
    {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    top = std::max(top + oy, m_clipRect.y) - oy;
    bottom = std::min(bottom + oy, m_clipRect.y + m_clipRect.height) - oy;
    std::vector<Span> spans;
    std::vector<double> xs;
    for (int y = top; y < bottom; ++y)
    {
        // Crossings of the row's pixel centres with the edges.
        const double cy = y + 0.5;
        xs.clear();
        for (int i = 0; i < count; ++i)
        {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            if ((a.y <= cy) != (b.y <= cy))
                xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2)
        {
            const int x0 = int(std::ceil(xs[i] - 0.5)) + ox;
            const int x1 = int(std::ceil(xs[i + 1] - 0.5)) + ox;
            const Rect r = Rect{x0, y + oy, x1 - x0, 1}.Intersection(m_clipRect);
            if (r.width > 0)
                spans.push_back(Span{r.y, r.x, r.width});
        }
    }
    if (!spans.empty())
        m_destImage->FillSpans(spans.data(), int(spans.size()), m_color, m_drawMode);
}

void Graphics::DrawString(const std::string& text, int x, int y)
{
    if (!m_font)
        return;
    if (m_textObserver)
        m_textObserver->OnText(text,
                               Rect{TranslateX(x), TranslateY(y) - m_font->Ascent(), m_font->TextWidth(text),
                                    m_font->Height()},
                               m_clipRect);
    m_font->DrawText(this, x, y, text, m_color, m_clipRect);
}

int Graphics::StringWidth(const std::string& text) { return m_font ? m_font->TextWidth(text) : 0; }

void Graphics::DrawImage(Image* img, int x, int y)
{
    if (img)
        DrawImage(img, x, y, Rect{0, 0, img->width, img->height});
}

void Graphics::DrawImage(Image* img, int x, int y, const Rect& srcRect)
{
    if (!img || srcRect.x < 0 || srcRect.y < 0 || srcRect.x + srcRect.width > img->width ||
        srcRect.y + srcRect.height > img->height)
        return;
    const int tx = TranslateX(x), ty = TranslateY(y);
    const Rect d = Rect{tx, ty, srcRect.width, srcRect.height}.Intersection(m_clipRect);
    if (d.width < 1 || d.height < 1)
        return;
    const Rect s{srcRect.x + (d.x - tx), srcRect.y + (d.y - ty), d.width, d.height};
    m_destImage->PaintImage(img, d.x, d.y, s, ImageColor(), m_drawMode);
}

void Graphics::DrawImage(Image* img, int x, int y, int w, int h)
{
    if (img)
        DrawImage(img, Rect{x, y, w, h}, Rect{0, 0, img->width, img->height});
}

void Graphics::DrawImage(Image* img, const Rect& destRect, const Rect& srcRect)
{
    if (!img)
        return;
    const Rect d{TranslateX(destRect.x), TranslateY(destRect.y), destRect.width, destRect.height};
    m_destImage->PaintImageStretched(img, d, srcRect, m_clipRect, ImageColor(), m_drawMode,
                                     m_quickStretch);
}

void Graphics::DrawImageF(Image* img, float x, float y)
{
    if (img)
        DrawImageF(img, x, y, Rect{0, 0, img->width, img->height});
}

void Graphics::DrawImageF(Image* img, float x, float y, const Rect& srcRect)
{
    if (img)
        m_destImage->PaintImageF(img, x + m_transX, y + m_transY, srcRect, m_clipRect,
                                 ImageColor(), m_drawMode);
}

void Graphics::DrawImageRotated(Image* img, int x, int y, double angle, int centerX, int centerY)
{
    DrawImageRotatedF(img, float(x), float(y), angle, centerX, centerY);
}

void Graphics::DrawImageRotated(Image* img, int x, int y, double angle, int centerX, int centerY,
                                const Rect& srcRect)
{
    DrawImageRotatedF(img, float(x), float(y), angle, centerX, centerY, srcRect);
}

void Graphics::DrawImageRotatedF(Image* img, float x, float y, double angle, int centerX,
                                 int centerY)
{
    if (img)
        DrawImageRotatedF(img, x, y, angle, centerX, centerY, Rect{0, 0, img->width, img->height});
}

void Graphics::DrawImageRotatedF(Image* img, float x, float y, double angle, int centerX,
                                 int centerY, const Rect& srcRect)
{
    if (img)
        m_destImage->PaintImageRotated(img, x + m_transX, y + m_transY, srcRect, m_clipRect,
                                       ImageColor(), m_drawMode, angle, centerX, centerY);
}

void Graphics::DrawImageCel(Image* img, int x, int y, int cel)
{
    if (!img)
        return;
    if (img->numRows < 2)
        DrawImageCel(img, x, y, cel, 0);
    else
        DrawImageCel(img, x, y, 0, cel);
}

void Graphics::DrawImageCel(Image* img, int x, int y, int col, int row)
{
    if (!img || col < 0 || row < 0 || col >= img->numCols || row >= img->numRows)
        return;
    const int cw = img->width / img->numCols, ch = img->height / img->numRows;
    DrawImage(img, x, y, Rect{col * cw, row * ch, cw, ch});
}

void Graphics::DrawImageFrame(const Rect& destRect, Image* img)
{
    if (!img)
        return;
    const int cw = img->width / 3, ch = img->height / 3;
    const int mw = img->width - 2 * cw, mh = img->height - 2 * ch;
    const int dx = destRect.x, dy = destRect.y, dw = destRect.width, dh = destRect.height;
    const int right = dx + dw - cw, bottom = dy + dh - ch;

    DrawImage(img, dx, dy, Rect{0, 0, cw, ch});
    DrawImage(img, right, dy, Rect{cw + mw, 0, cw, ch});
    DrawImage(img, dx, bottom, Rect{0, ch + mh, cw, ch});
    DrawImage(img, right, bottom, Rect{cw + mw, ch + mh, cw, ch});

    auto tiles = [](int span, int piece) {
        return (span <= 0 || piece <= 0) ? 0 : (span + piece - 1) / piece;
    };
    const int across = tiles(dw - 2 * cw, mw), down = tiles(dh - 2 * ch, mh);

    Graphics edgesH(*this);
    edgesH.IntersectClip(dx + cw, dy, dw - 2 * cw, dh);
    for (int i = 0; i < across; ++i)
    {
        edgesH.DrawImage(img, dx + cw + i * mw, dy, Rect{cw, 0, mw, ch});
        edgesH.DrawImage(img, dx + cw + i * mw, bottom, Rect{cw, ch + mh, mw, ch});
    }
    Graphics edgesV(*this);
    edgesV.IntersectClip(dx, dy + ch, dw, dh - 2 * ch);
    for (int j = 0; j < down; ++j)
    {
        edgesV.DrawImage(img, dx, dy + ch + j * mh, Rect{0, ch, cw, mh});
        edgesV.DrawImage(img, right, dy + ch + j * mh, Rect{cw + mw, ch, cw, mh});
    }
    Graphics centre(*this);
    centre.IntersectClip(dx + cw, dy + ch, dw - 2 * cw, dh - 2 * ch);
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i)
            centre.DrawImage(img, dx + cw + i * mw, dy + ch + j * mh, Rect{cw, ch, mw, mh});
}

} // namespace Quillo
