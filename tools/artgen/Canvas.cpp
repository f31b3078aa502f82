#include "tools/artgen/Canvas.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace Spindrel::Art
{

namespace
{

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenForWriting(const std::string& path)
{
    File f(std::fopen(path.c_str(), "wb"));
    if (!f)
        throw std::runtime_error("cannot write " + path);
    return f;
}

// One box pass over a line of premultiplied words, channel by channel.
// Reads every `stride`-th word of `in`, writes `out` densely.
void BoxLine(const uint32_t* in, uint32_t* out, int count, int stride, int radius)
{
    const int window = 2 * radius + 1;
    int sums[4] = {0, 0, 0, 0};
    auto channel = [](uint32_t p, int c) { return static_cast<int>((p >> (c * 8)) & 0xFF); };
    auto at = [&](int i) {
        if (i < 0 || i >= count)
            return 0u;
        return in[i * stride];
    };
    for (int i = -radius; i <= radius; ++i)
        for (int c = 0; c < 4; ++c)
            sums[c] += channel(at(i), c);
    for (int i = 0; i < count; ++i)
    {
        uint32_t p = 0;
        for (int c = 0; c < 4; ++c)
            p |= static_cast<uint32_t>((sums[c] + window / 2) / window) << (c * 8);
        out[i] = p;
        const uint32_t leaving = at(i - radius);
        const uint32_t entering = at(i + radius + 1);
        for (int c = 0; c < 4; ++c)
            sums[c] += channel(entering, c) - channel(leaving, c);
    }
}

} // namespace

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cr(cairo_create(m_surface))
{
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a canvas");
}

Canvas::Canvas(Canvas&& other) noexcept
    : m_width(other.m_width), m_height(other.m_height), m_surface(other.m_surface),
      m_cr(other.m_cr)
{
    other.m_surface = nullptr;
    other.m_cr = nullptr;
}

Canvas::~Canvas()
{
    if (m_cr)
        cairo_destroy(m_cr);
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

uint32_t* Canvas::Row(int y)
{
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                       y * cairo_image_surface_get_stride(m_surface));
}

const uint32_t* Canvas::Row(int y) const
{
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                             y * cairo_image_surface_get_stride(m_surface));
}

void Canvas::Flush()
{
    cairo_surface_flush(m_surface);
}

void Canvas::MarkDirty()
{
    cairo_surface_mark_dirty(m_surface);
}

void Canvas::Blur(double radius, bool onlyPainted)
{
    const int r = static_cast<int>(radius / 1.7 + 0.5);
    if (r < 1)
        return;
    Flush();
    const int stride = cairo_image_surface_get_stride(m_surface) / 4;
    uint32_t* base = Row(0);
    int x0 = 0, y0 = 0, x1 = m_width, y1 = m_height;
    if (onlyPainted)
    {
        x0 = m_width;
        y0 = m_height;
        x1 = y1 = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (base[y * stride + x] != 0)
                {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x + 1);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y + 1);
                }
        if (x0 >= x1)
            return;
        const int margin = 3 * r + 2;
        x0 = std::max(0, x0 - margin);
        y0 = std::max(0, y0 - margin);
        x1 = std::min(m_width, x1 + margin);
        y1 = std::min(m_height, y1 + margin);
    }
    const int w = x1 - x0, h = y1 - y0;
    std::vector<uint32_t> line(static_cast<size_t>(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int y = y0; y < y1; ++y)
        {
            BoxLine(base + y * stride + x0, line.data(), w, 1, r);
            std::copy(line.begin(), line.begin() + w, base + y * stride + x0);
        }
        for (int x = x0; x < x1; ++x)
        {
            BoxLine(base + y0 * stride + x, line.data(), h, stride, r);
            for (int y = 0; y < h; ++y)
                base[(y0 + y) * stride + x] = line[static_cast<size_t>(y)];
        }
    }
    MarkDirty();
}

void Canvas::Paint(const Canvas& source, double x, double y, double alpha)
{
    cairo_save(m_cr);
    cairo_set_source_surface(m_cr, source.m_surface, x, y);
    cairo_paint_with_alpha(m_cr, alpha);
    cairo_restore(m_cr);
}

void Canvas::WritePng(const std::string& path) const
{
    cairo_surface_flush(m_surface);
    File f = OpenForWriting(path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info)
    {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng failed for " + path);
    }
    std::vector<uint8_t> row(static_cast<size_t>(m_width) * 4);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed for " + path);
    }
    png_init_io(png, f.get());
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(m_width), static_cast<png_uint_32>(m_height),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < m_height; ++y)
    {
        const uint32_t* src = Row(y);
        for (int x = 0; x < m_width; ++x)
        {
            const uint32_t p = src[x];
            const uint32_t a = p >> 24;
            uint8_t* d = &row[static_cast<size_t>(x) * 4];
            auto straight = [a](uint32_t c) {
                return static_cast<uint8_t>(a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a));
            };
            d[0] = straight((p >> 16) & 0xFF);
            d[1] = straight((p >> 8) & 0xFF);
            d[2] = straight(p & 0xFF);
            d[3] = static_cast<uint8_t>(a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

void Canvas::WriteJpeg(const std::string& path, int quality) const
{
    cairo_surface_flush(m_surface);
    File f = OpenForWriting(path);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = static_cast<JDIMENSION>(m_width);
    cinfo.image_height = static_cast<JDIMENSION>(m_height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full-resolution colour keeps the thin groove edges and coloured text crisp.
    cinfo.comp_info[0].h_samp_factor = 1;
    cinfo.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(m_width) * 3);
    for (int y = 0; y < m_height; ++y)
    {
        const uint32_t* src = Row(y);
        for (int x = 0; x < m_width; ++x)
        {
            row[static_cast<size_t>(x) * 3 + 0] = static_cast<uint8_t>((src[x] >> 16) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>((src[x] >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(src[x] & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

} // namespace Spindrel::Art
