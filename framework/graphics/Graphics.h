#pragma once

#include "framework/graphics/Color.h"
#include "framework/platform/Point.h"
#include "framework/platform/Rect.h"

#include <memory>
#include <string>

namespace Quillo
{

class Font;
class Image;
class TextObserver;

// The drawing context handed to every Draw: a destination image plus a
// translation, a clip rectangle, the current colour, font and draw mode.
// Each operation translates, clips and calls one operation of the image.
// Contexts are cheap values: copy one, narrow its clip, translate it, and
// hand it to a child.
class Graphics
{
public:
    explicit Graphics(Image* destImage = nullptr);
    Graphics(const Graphics& other) = default;
    Graphics& operator=(const Graphics& other) = default;
    virtual ~Graphics() = default;

    // A heap copy with the same state; the caller owns it.
    std::unique_ptr<Graphics> CreateCopy() const;

    Image* GetDestImage() const { return m_destImage; }
    Font* GetFont() const { return m_font; }
    void SetFont(Font* font) { m_font = font; }
    const Color& GetColor() const { return m_color; }
    void SetColor(const Color& color) { m_color = color; }
    int GetDrawMode() const { return m_drawMode; }
    void SetDrawMode(int drawMode) { m_drawMode = drawMode; }
    bool GetTintImages() const { return m_tintImages; }
    void SetTintImages(bool tint) { m_tintImages = tint; }
    bool GetQuickStretch() const { return m_quickStretch; }
    void SetQuickStretch(bool quick) { m_quickStretch = quick; }
    // Colour codes ("^RRGGBB^") in the text operations; the widgets' text
    // helpers switch them off around a call and restore them.
    bool GetColorCodes() const { return m_colorCodes; }
    void SetColorCodes(bool on) { m_colorCodes = on; }

    float GetTransX() const { return m_transX; }
    float GetTransY() const { return m_transY; }
    void Translate(int dx, int dy);
    const Rect& GetClipRect() const { return m_clipRect; }
    void IntersectClip(int x, int y, int w, int h);
    void IntersectClip(const Rect& rect) { IntersectClip(rect.x, rect.y, rect.width, rect.height); }
    // The clip of the whole destination image again.
    void ClearClipRect();

    void FillRect(int x, int y, int w, int h);
    void FillRect(const Rect& rect) { FillRect(rect.x, rect.y, rect.width, rect.height); }
    void ClearRect(int x, int y, int w, int h);
    void DrawRect(int x, int y, int w, int h);
    void DrawRect(const Rect& rect) { DrawRect(rect.x, rect.y, rect.width, rect.height); }
    void DrawLine(int x1, int y1, int x2, int y2);
    // Fills a polygon (even-odd rule, pixel centres) in the current colour.
    void PolyFill(const Point* points, int count);

    // y is the baseline.
    void DrawString(const std::string& text, int x, int y);
    // Copies of this context tell the same observer; null for none.
    void SetTextObserver(TextObserver* observer) { m_textObserver = observer; }
    int StringWidth(const std::string& text);

    void DrawImage(Image* img, int x, int y);
    void DrawImage(Image* img, int x, int y, const Rect& srcRect);
    void DrawImage(Image* img, int x, int y, int w, int h);
    void DrawImage(Image* img, const Rect& destRect, const Rect& srcRect);
    void DrawImageF(Image* img, float x, float y);
    void DrawImageF(Image* img, float x, float y, const Rect& srcRect);
    void DrawImageRotated(Image* img, int x, int y, double angle, int centerX, int centerY);
    void DrawImageRotated(Image* img, int x, int y, double angle, int centerX, int centerY,
                          const Rect& srcRect);
    void DrawImageRotatedF(Image* img, float x, float y, double angle, int centerX, int centerY);
    void DrawImageRotatedF(Image* img, float x, float y, double angle, int centerX, int centerY,
                           const Rect& srcRect);
    void DrawImageCel(Image* img, int x, int y, int cel);
    void DrawImageCel(Image* img, int x, int y, int col, int row);
    void DrawImageFrame(const Rect& destRect, Image* img);

    // Justification: 0 centred, 1 right-aligned, anything else left-aligned.
    int WriteColoredText(const std::string& text, int x, int y, int width, int justification,
                         bool draw = true, int offset = 0, int length = -1);
    int WriteWrappedText(const Rect& rect, const std::string& text, int lineSpacing,
                         int justification, int* maxWidth = nullptr);
    int MeasureWrappedText(int width, const std::string& text, int lineSpacing,
                           int* maxWidth = nullptr);

private:
    Color ImageColor() const;
    int TranslateX(int x) const { return static_cast<int>(static_cast<float>(x) + m_transX); }
    int TranslateY(int y) const { return static_cast<int>(static_cast<float>(y) + m_transY); }

    Image* m_destImage;
    float m_transX = 0.0f;
    float m_transY = 0.0f;
    Rect m_clipRect;
    Color m_color{0, 0, 0, 255};
    Font* m_font = nullptr;
    int m_drawMode = 0;
    bool m_tintImages = false;
    bool m_quickStretch = false;
    bool m_colorCodes = true;
    TextObserver* m_textObserver = nullptr;
};

} // namespace Quillo
