#include "ImageFiles.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace QuilloTest
{
namespace
{

void Put16(std::vector<uint8_t>& out, int v)
{
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}

// LZW data that never grows past 9-bit codes: a clear code every 200
// literal codes keeps the table small. Valid for any decoder.
std::vector<uint8_t> UncompressedLzw(const std::vector<uint8_t>& indices)
{
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](int code) {
        bits |= uint32_t(code) << count;
        count += 9;
        while (count >= 8)
        {
            out.push_back(uint8_t(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i)
    {
        if (i % 200 == 0)
            emit(256);
        emit(indices[i]);
    }
    emit(257);
    if (count > 0)
        out.push_back(uint8_t(bits & 0xFF));
    return out;
}

void PutSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data)
{
    for (size_t i = 0; i < data.size(); i += 255)
    {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out.push_back(0);
}

// Little-endian, in as many bytes as the bits need (15 and 16 take two).
void PutTgaValue(std::vector<uint8_t>& out, uint32_t v, int bits)
{
    for (int b = 0; b < (bits + 7) / 8; ++b)
        out.push_back(uint8_t(v >> (8 * b)));
}

} // namespace

std::vector<uint8_t> TgaFile(const TgaLayout& layout, int w, int h, const std::vector<uint32_t>& argb)
{
    std::vector<uint8_t> out{uint8_t(layout.id.size()), uint8_t(layout.colorMap.empty() ? 0 : 1),
                             layout.imageType};
    Put16(out, layout.mapFirst);
    Put16(out, int(layout.colorMap.size()));
    out.push_back(layout.colorMap.empty() ? 0 : layout.mapEntrySize);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, w);
    Put16(out, h);
    out.push_back(layout.pixelSize);
    out.push_back(layout.descriptor);
    out.insert(out.end(), layout.id.begin(), layout.id.end());
    for (uint32_t c : layout.colorMap)
        PutTgaValue(out, c, layout.mapEntrySize);

    std::vector<uint32_t> ordered;
    const bool topDown = layout.descriptor & 0x20, rightToLeft = layout.descriptor & 0x10;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
        {
            const int y = topDown ? row : h - 1 - row, x = rightToLeft ? w - 1 - col : col;
            const uint32_t v = argb[size_t(y * w + x)];
            // Grey files store the level and then the alpha.
            ordered.push_back((layout.imageType & ~8) == 3 ? (v & 0xFF) | ((v >> 24) << 8) : v);
        }
    auto put = [&](uint32_t v) { PutTgaValue(out, v, layout.pixelSize); };
    if (!(layout.imageType & 8))
    {
        for (uint32_t v : ordered)
            put(v);
        return out;
    }
    // Runs of equal pixels become repeat packets, everything else raw
    // packets; packets cross row ends as most writers let them.
    size_t i = 0;
    while (i < ordered.size())
    {
        size_t run = 1;
        while (i + run < ordered.size() && run < 128 && ordered[i + run] == ordered[i])
            ++run;
        if (run > 1)
        {
            out.push_back(uint8_t(0x80 | (run - 1)));
            put(ordered[i]);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < ordered.size() && raw < 128 &&
               (i + raw + 1 >= ordered.size() || ordered[i + raw + 1] != ordered[i + raw]))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        for (size_t k = 0; k < raw; ++k)
            put(ordered[i + k]);
        i += raw;
    }
    return out;
}

std::vector<uint8_t> GifFile(int w, int h, const std::vector<uint8_t>& indices,
                             const std::vector<uint32_t>& paletteRgb, const GifOptions& options)
{
    std::vector<uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, w);
    Put16(out, h);
    const uint8_t tableFlags = 0x80 | 7; // 256 entries
    std::vector<uint8_t> table;
    for (int i = 0; i < 256; ++i)
    {
        const uint32_t c = i < int(paletteRgb.size()) ? paletteRgb[size_t(i)] : 0;
        table.insert(table.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
    out.insert(out.end(), {uint8_t(options.localTable ? 0 : tableFlags), 0, 0});
    if (!options.localTable)
        out.insert(out.end(), table.begin(), table.end());
    // A looping block and a comment, which the reader must step over.
    const std::string loop = "NETSCAPE2.0", text = "made by the tests";
    out.insert(out.end(), {'!', 0xFF, 11});
    out.insert(out.end(), loop.begin(), loop.end());
    out.insert(out.end(), {3, 1, 0, 0, 0, '!', 0xFE, uint8_t(text.size())});
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    if (options.transparentIndex >= 0)
        out.insert(out.end(), {'!', 0xF9, 4, 1, 0, 0, uint8_t(options.transparentIndex), 0});
    out.push_back(',');
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, w);
    Put16(out, h);
    out.push_back(uint8_t((options.localTable ? tableFlags : 0) | (options.interlaced ? 0x40 : 0)));
    if (options.localTable)
        out.insert(out.end(), table.begin(), table.end());
    std::vector<uint8_t> ordered = indices;
    if (options.interlaced)
    {
        ordered.clear();
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < h; y += step[pass])
                ordered.insert(ordered.end(), indices.begin() + long(y) * w, indices.begin() + long(y + 1) * w);
    }
    out.push_back(8);
    PutSubBlocks(out, UncompressedLzw(ordered));
    out.push_back(';');
    return out;
}

std::vector<uint8_t> PngOfRows(int w, int h, int colorType, int bitDepth, bool interlaced,
                               std::vector<std::vector<uint8_t>> rows, const std::vector<uint32_t>& paletteArgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("png write failed");
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    std::vector<png_byte> trans;
    for (uint32_t p : paletteArgb)
    {
        palette.push_back(png_color{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        trans.push_back(uint8_t(p >> 24));
    }
    if (!palette.empty())
    {
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        png_set_tRNS(png, info, trans.data(), int(trans.size()), nullptr);
    }
    png_write_info(png, info);
    std::vector<png_bytep> ptrs;
    for (auto& r : rows)
        ptrs.push_back(r.data());
    png_write_image(png, ptrs.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> PngFile(int w, int h, const std::vector<uint32_t>& argb, int colorType, int bitDepth,
                             bool interlaced)
{
    // A palette has one entry per distinct pixel in order of appearance (tests keep it small).
    std::vector<uint32_t> palette;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        for (uint32_t p : argb)
            if (std::find(palette.begin(), palette.end(), p) == palette.end())
                palette.push_back(p);
    const int channels = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                         : colorType == PNG_COLOR_TYPE_RGB     ? 3
                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                  : 1;
    const int bytes = bitDepth / 8;
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t p = argb[size_t(y * w + x)];
            const uint8_t index = uint8_t(std::find(palette.begin(), palette.end(), p) - palette.begin());
            const uint8_t rgba[4] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)};
            const uint8_t greyAlpha[2] = {uint8_t(p), uint8_t(p >> 24)};
            const uint8_t* v = colorType == PNG_COLOR_TYPE_PALETTE ? &index : channels >= 3 ? rgba : greyAlpha;
            // A 16-bit sample repeats its byte, which keeps it exact in either byte order.
            for (int c = 0; c < channels; ++c)
                rows[size_t(y)].insert(rows[size_t(y)].end(), size_t(bytes), v[c]);
        }
    return PngOfRows(w, h, colorType, bitDepth, interlaced, std::move(rows), palette);
}

namespace
{

std::vector<uint8_t> Jpeg(int w, int h, const uint8_t* samples, int components, J_COLOR_SPACE given,
                          J_COLOR_SPACE stored, int quality)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = components;
    cinfo.in_color_space = given;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, stored);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW r[1] = {const_cast<uint8_t*>(samples + size_t(cinfo.next_scanline) * size_t(w * components))};
        jpeg_write_scanlines(&cinfo, r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace

std::vector<uint8_t> JpegFile(int w, int h, const std::vector<uint32_t>& argb, bool grey)
{
    std::vector<uint8_t> samples;
    for (uint32_t p : argb)
        if (grey)
            samples.push_back(uint8_t(p));
        else
            samples.insert(samples.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    return grey ? Jpeg(w, h, samples.data(), 1, JCS_GRAYSCALE, JCS_GRAYSCALE, 95)
                : Jpeg(w, h, samples.data(), 3, JCS_RGB, JCS_YCbCr, 95);
}

std::vector<uint8_t> JpegCmykFile(int w, int h, const std::vector<uint8_t>& storedCmyk, bool ycck)
{
    return Jpeg(w, h, storedCmyk.data(), 4, JCS_CMYK, ycck ? JCS_YCCK : JCS_CMYK, 100);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace QuilloTest
