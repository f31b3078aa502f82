#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageReadFile.h"

#include <algorithm>
#include <vector>

namespace Quillo::ImageLib
{
namespace
{

constexpr size_t kHeaderSize = 18;

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

enum class TgaKind
{
    ColorMapped,
    TrueColor,
    Grey,
};

struct TgaHeader
{
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 0;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntrySize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t pixelSize = 0;
    uint8_t descriptor = 0;
};

TgaHeader ReadHeader(const uint8_t* data)
{
    TgaHeader h;
    h.idLength = data[0];
    h.colorMapType = data[1];
    h.imageType = data[2];
    h.mapFirst = Read16(data + 3);
    h.mapLength = Read16(data + 5);
    h.mapEntrySize = data[7];
    // Bytes 8 to 11 are the screen origin, which says nothing about the pixels.
    h.width = Read16(data + 12);
    h.height = Read16(data + 14);
    h.pixelSize = data[16];
    h.descriptor = data[17];
    return h;
}

// Five bits scaled to eight with rounding, as other decoders do.
uint32_t Scale5(uint32_t v) { return (v * 255 + 15) / 31; }

// One colour as stored for true-colour pixels and colour-map entries:
// blue first. `alphaBits` comes from the descriptor.
uint32_t ColorValue(const uint8_t* p, int bytes, int alphaBits)
{
    switch (bytes)
    {
    case 2:
    {
        const uint32_t v = Read16(p);
        const uint32_t a = alphaBits == 1 && !(v & 0x8000) ? 0 : 0xFF;
        return (a << 24) | (Scale5((v >> 10) & 31) << 16) | (Scale5((v >> 5) & 31) << 8) | Scale5(v & 31);
    }
    case 3:
        return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    default:
        return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
}

bool Refuse(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Everything needed to turn one stored pixel into ARGB.
struct PixelFormat
{
    TgaKind kind = TgaKind::TrueColor;
    int bytes = 4;
    int alphaBits = 0;
    std::vector<uint32_t> map; // colour-mapped files: the entries from index mapFirst on
    uint16_t mapFirst = 0;
};

bool CheckLayout(const TgaHeader& h, PixelFormat& format, std::string* error)
{
    if (h.imageType == 0)
        return Refuse(error, "the file holds no image data");
    // Types 1 to 3 are stored raw, 9 to 11 the same run-length encoded.
    const int type = h.imageType & ~8;
    if (type < 1 || type > 3)
        return Refuse(error, "unsupported TGA image type " + std::to_string(h.imageType));
    format.kind = type == 1 ? TgaKind::ColorMapped : type == 2 ? TgaKind::TrueColor : TgaKind::Grey;
    format.alphaBits = h.descriptor & 0x0F;
    if (h.descriptor & 0xC0)
        return Refuse(error, "interleaved TGA rows are not supported");
    if (h.width == 0 || h.height == 0)
        return Refuse(error, "the image has no pixels");
    if (h.width > kMaxSide || h.height > kMaxSide || int64_t(h.width) * h.height > kMaxPixels)
        return Refuse(error, "the image is too large");
    if (h.colorMapType > 1)
        return Refuse(error, "unknown colour map type " + std::to_string(h.colorMapType));
    switch (format.kind)
    {
    case TgaKind::ColorMapped:
        if (h.colorMapType != 1 || h.mapLength == 0)
            return Refuse(error, "a colour-mapped image without a colour map");
        if (h.pixelSize != 8 && h.pixelSize != 16)
            return Refuse(error, "unsupported colour index size " + std::to_string(h.pixelSize) + " bits");
        break;
    case TgaKind::TrueColor:
        if (h.pixelSize != 15 && h.pixelSize != 16 && h.pixelSize != 24 && h.pixelSize != 32)
            return Refuse(error, "unsupported pixel size " + std::to_string(h.pixelSize) + " bits");
        break;
    case TgaKind::Grey:
        if (h.pixelSize != 8 && h.pixelSize != 16)
            return Refuse(error, "unsupported grey pixel size " + std::to_string(h.pixelSize) + " bits");
        break;
    }
    format.bytes = (h.pixelSize + 7) / 8;
    return true;
}

bool ReadColorMap(const TgaHeader& h, const uint8_t*& p, const uint8_t* end, PixelFormat& format,
                  std::string* error)
{
    if (h.colorMapType == 0)
        return true;
    const int entryBytes = (h.mapEntrySize + 7) / 8;
    if (h.mapEntrySize != 15 && h.mapEntrySize != 16 && h.mapEntrySize != 24 && h.mapEntrySize != 32)
        return Refuse(error, "unsupported colour map entry size " + std::to_string(h.mapEntrySize) + " bits");
    const size_t mapBytes = size_t(h.mapLength) * size_t(entryBytes);
    if (size_t(end - p) < mapBytes)
        return Refuse(error, "the colour map is truncated");
    // A true-colour or grey image may carry a colour map it does not use.
    if (format.kind == TgaKind::ColorMapped)
    {
        format.map.resize(h.mapLength);
        for (size_t i = 0; i < h.mapLength; ++i)
            format.map[i] = ColorValue(p + i * size_t(entryBytes), entryBytes, format.alphaBits);
        format.mapFirst = h.mapFirst;
    }
    p += mapBytes;
    return true;
}

// Decodes one stored pixel; false for a colour index outside the map.
bool PixelValue(const PixelFormat& format, const uint8_t* p, uint32_t& out)
{
    switch (format.kind)
    {
    case TgaKind::ColorMapped:
    {
        const uint32_t index = format.bytes == 1 ? p[0] : Read16(p);
        if (index < format.mapFirst || index - format.mapFirst >= format.map.size())
            return false;
        out = format.map[index - format.mapFirst];
        return true;
    }
    case TgaKind::Grey:
    {
        const uint32_t g = p[0];
        const uint32_t a = format.bytes == 2 && format.alphaBits > 0 ? p[1] : 0xFF;
        out = (a << 24) | (g << 16) | (g << 8) | g;
        return true;
    }
    case TgaKind::TrueColor:
        out = ColorValue(p, format.bytes, format.alphaBits);
        return true;
    }
    return false;
}

// Places pixels in file order into the image, whichever corner the file
// starts in.
class PixelPlacer
{
public:
    PixelPlacer(Image& image, uint8_t descriptor)
        : m_image(image), m_rightToLeft(descriptor & 0x10), m_topDown(descriptor & 0x20)
    {
    }

    void Put(uint32_t argb)
    {
        const int32_t x = m_rightToLeft ? m_image.width - 1 - m_col : m_col;
        const int32_t y = m_topDown ? m_row : m_image.height - 1 - m_row;
        m_image.bits[size_t(y) * size_t(m_image.width) + size_t(x)] = argb;
        if (++m_col == m_image.width)
        {
            m_col = 0;
            ++m_row;
        }
    }

private:
    Image& m_image;
    bool m_rightToLeft;
    bool m_topDown;
    int32_t m_col = 0;
    int32_t m_row = 0;
};

bool ReadPixels(const TgaHeader& h, const PixelFormat& format, const uint8_t* p, const uint8_t* end,
                Image& image, std::string* error)
{
    const size_t count = size_t(h.width) * size_t(h.height);
    const size_t bytes = size_t(format.bytes);
    PixelPlacer placer(image, h.descriptor);
    uint32_t argb = 0;
    const bool rle = h.imageType & 8;
    size_t done = 0;
    while (done < count)
    {
        size_t run = count - done;
        bool repeat = false;
        if (rle)
        {
            if (p == end)
                return Refuse(error, "the pixel data is truncated");
            const uint8_t packet = *p++;
            run = std::min<size_t>(size_t(packet & 0x7F) + 1, count - done);
            repeat = packet & 0x80;
        }
        const size_t stored = repeat ? bytes : run * bytes;
        if (size_t(end - p) < stored)
            return Refuse(error, "the pixel data is truncated");
        for (size_t i = 0; i < run; ++i)
        {
            if ((!repeat || i == 0) && !PixelValue(format, p + (repeat ? 0 : i * bytes), argb))
                return Refuse(error, "a colour index lies outside the colour map");
            placer.Put(argb);
        }
        p += stored;
        done += run;
    }
    return true;
}

} // namespace

std::unique_ptr<Image> DecodeTGA(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < kHeaderSize)
    {
        Refuse(error, "not a TGA file");
        return nullptr;
    }
    const TgaHeader h = ReadHeader(data);
    PixelFormat format;
    if (!CheckLayout(h, format, error))
        return nullptr;
    const uint8_t* end = data + size;
    const uint8_t* p = data + kHeaderSize;
    // The image ID (a free-form comment) sits between the header and the map.
    if (size_t(end - p) < h.idLength)
    {
        Refuse(error, "the image ID is truncated");
        return nullptr;
    }
    p += h.idLength;
    if (!ReadColorMap(h, p, end, format, error))
        return nullptr;
    // Checked before the pixels are allocated, so that a small file cannot
    // claim a huge picture: raw data holds every pixel, and a run-length
    // packet covers at most 128 pixels with at least one stored.
    const size_t count = size_t(h.width) * size_t(h.height);
    const size_t bytes = size_t(format.bytes);
    const size_t least = h.imageType & 8 ? (count + 127) / 128 * (1 + bytes) : count * bytes;
    if (size_t(end - p) < least)
    {
        Refuse(error, "the pixel data is truncated");
        return nullptr;
    }
    auto image = std::make_unique<Image>(h.width, h.height);
    if (!ReadPixels(h, format, p, end, *image, error))
        return nullptr;
    // A 32-bit file whose descriptor claims no alpha and whose alpha bytes
    // are all zero was written by a tool that left them unset: opaque.
    if (format.kind == TgaKind::TrueColor && format.bytes == 4 && format.alphaBits == 0)
    {
        const size_t n = size_t(h.width) * size_t(h.height);
        bool anyAlpha = false;
        for (size_t i = 0; i < n && !anyAlpha; ++i)
            anyAlpha = image->bits[i] >> 24;
        if (!anyAlpha)
            for (size_t i = 0; i < n; ++i)
                image->bits[i] |= 0xFF000000u;
    }
    return image;
}

std::unique_ptr<Image> ReadTGA(const std::string& fileName)
{
    const auto data = ReadImageFile(fileName);
    return data ? DecodeTGA(data->data(), data->size()) : nullptr;
}

} // namespace Quillo::ImageLib
