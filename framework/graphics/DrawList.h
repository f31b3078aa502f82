#pragma once

#include "framework/graphics/AreaList.h"
#include "framework/graphics/Color.h"
#include "framework/platform/Rect.h"

#include <string>
#include <vector>

namespace Quillo
{

class Font;
class Graphics;
class Image;

// A widget's picture as the list of drawing calls that make it, so that the
// next picture's list tells where the two can differ: only there does the
// widget have to be drawn again. The images drawn must keep their pixels
// while a list refers to them; an owner that changes or replaces one draws
// everything again.
class DrawList
{
public:
    void Clear() { m_ops.clear(); }
    bool Empty() const { return m_ops.empty(); }
    size_t Size() const { return m_ops.size(); }

    // The state the following calls are recorded with.
    void SetDrawMode(int drawMode) { m_mode = drawMode; }
    void SetTintImages(bool tint) { m_tint = tint; }
    void SetColor(const Color& color) { m_color = color; }

    // The calls of Graphics of the same names; a null image or font records nothing.
    void DrawImage(Image* image, int x, int y);
    void DrawImage(Image* image, int x, int y, const Rect& srcRect);
    void DrawImage(Image* image, int x, int y, int width, int height);
    void DrawImageCel(Image* image, int x, int y, int cel);
    void DrawImageRotatedF(Image* image, float x, float y, double angle, int centerX, int centerY,
                           const Rect& srcRect);
    void DrawString(Font* font, const std::string& text, int x, int y);
    void FillRect(int x, int y, int width, int height);
    void DrawRect(int x, int y, int width, int height);
    void DrawLine(int x1, int y1, int x2, int y2);
    // Records the calls of other as they are, each with the state it was
    // recorded with: a part of a picture that rarely changes is made once
    // and added to each new list.
    void Append(const DrawList& other);

    // Draws the calls in order; each one sets the mode, tint, colour and font it was recorded with.
    void Replay(Graphics& g) const;

    // Adds the areas where this list's picture can differ from the picture
    // of before: the pixels each differing call covers, in either list.
    // whole stands for calls whose pixels are not known in advance (turned images).
    void AddChangedAreas(const DrawList& before, const Rect& whole, AreaList& areas) const;

private:
    enum class Kind
    {
        Image,
        ImageStretched,
        ImageRotated,
        Text,
        FillRect,
        DrawRect,
        Line,
    };
    struct Op
    {
        Kind kind = Kind::Image;
        Image* image = nullptr;
        Font* font = nullptr;
        // Image: the position and srcRect; stretched: the destination and
        // the whole image; rotated: the position, centre and srcRect; text:
        // the position and the pixels it may cover; shapes: their rectangle
        // or end points.
        Rect place;
        Rect source;
        float fx = 0.0f;
        float fy = 0.0f;
        double angle = 0.0;
        int mode = 0;
        bool tint = false;
        Color color;
        std::string text;

        bool operator==(const Op&) const = default;
    };

    // Lists longer than this (calls in one times calls in the other, past
    // their common start and end) count every call between as changed.
    static constexpr size_t kMaxMatchCells = 65536;

    Op& Add(Kind kind);
    static Rect Covered(const Op& op, const Rect& whole);

    std::vector<Op> m_ops;
    int m_mode = 0;
    bool m_tint = false;
    Color m_color{0, 0, 0, 255};
};

} // namespace Quillo
