#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace Spindrel::Art
{

// A premultiplied ARGB picture with a Cairo context on it. Files are written
// as straight-alpha 8-bit RGBA PNG (or RGB JPEG for opaque pictures) with no
// time stamps, so the same drawing always gives the same bytes.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    cairo_t* Cr() const { return m_cr; }
    cairo_surface_t* Surface() const { return m_surface; }

    // Premultiplied pixels, one 32-bit ARGB word each; Flush before reading
    // after drawing, MarkDirty after writing.
    uint32_t* Row(int y);
    const uint32_t* Row(int y) const;
    void Flush();
    void MarkDirty();

    // Blurs every channel with three box passes (close to a Gaussian of
    // about the given radius); `onlyPainted` limits the work to the box
    // round the painted pixels.
    void Blur(double radius, bool onlyPainted = false);

    // Draws another canvas with its top-left at (x, y).
    void Paint(const Canvas& source, double x, double y, double alpha = 1.0);

    // Throws std::runtime_error when the file cannot be written.
    void WritePng(const std::string& path) const;
    void WriteJpeg(const std::string& path, int quality) const;

private:
    int m_width;
    int m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

} // namespace Spindrel::Art
