#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageReadFile.h"

#include <cstring>
#include <vector>

namespace Quillo::ImageLib
{
namespace
{

// Reads a GIF byte by byte; every read past the end fails the decode.
class GifReader
{
public:
    GifReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Byte(uint8_t& out)
    {
        if (m_pos >= m_size)
            return false;
        out = m_data[m_pos++];
        return true;
    }
    bool Word(uint16_t& out)
    {
        if (m_size - m_pos < 2)
            return false;
        out = uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool Bytes(uint8_t* out, size_t n)
    {
        if (m_size - m_pos < n)
            return false;
        std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
        return true;
    }
    bool Skip(size_t n)
    {
        if (m_size - m_pos < n)
            return false;
        m_pos += n;
        return true;
    }
    // Appends the data of a chain of sub-blocks (ended by a zero-size block).
    bool SubBlocks(std::vector<uint8_t>* out)
    {
        for (;;)
        {
            uint8_t n;
            if (!Byte(n))
                return false;
            if (n == 0)
                return true;
            if (m_size - m_pos < n)
                return false;
            if (out)
                out->insert(out->end(), m_data + m_pos, m_data + m_pos + n);
            m_pos += n;
        }
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

struct ColorTable
{
    uint32_t entries[256] = {};
    int count = 0;
};

bool ReadColorTable(GifReader& in, uint8_t flags, ColorTable& table)
{
    table.count = 1 << ((flags & 7) + 1);
    for (int i = 0; i < table.count; ++i)
    {
        uint8_t rgb[3];
        if (!in.Bytes(rgb, 3))
            return false;
        table.entries[i] = 0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    }
    return true;
}

// Decodes the LZW stream into exactly out.size() indices. False when the
// data are broken or end before the image is complete.
bool DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, std::vector<uint8_t>& out)
{
    constexpr int kMaxCodes = 4096;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint8_t stack[kMaxCodes];
    for (int i = 0; i < clearCode; ++i)
    {
        prefix[i] = 0;
        suffix[i] = uint8_t(i);
        first[i] = uint8_t(i);
    }
    int codeSize = minCodeSize + 1;
    int next = endCode + 1;
    int old = -1;
    uint32_t bits = 0;
    int bitCount = 0;
    size_t pos = 0;
    size_t written = 0;
    const size_t total = out.size();
    while (written < total)
    {
        while (bitCount < codeSize)
        {
            if (pos >= data.size())
                return false;
            bits |= uint32_t(data[pos++]) << bitCount;
            bitCount += 8;
        }
        const int code = int(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;
        if (code == clearCode)
        {
            codeSize = minCodeSize + 1;
            next = endCode + 1;
            old = -1;
            continue;
        }
        if (code == endCode)
            return false;
        int depth = 0;
        if (old < 0)
        {
            if (code >= clearCode)
                return false;
            stack[depth++] = uint8_t(code);
        }
        else
        {
            if (code > next || (code == next && next >= kMaxCodes))
                return false;
            int cur = code;
            if (code == next)
            {
                // The code being defined: the previous string plus its first byte.
                stack[depth++] = first[old];
                cur = old;
            }
            while (cur >= clearCode)
            {
                if (depth >= kMaxCodes)
                    return false;
                stack[depth++] = suffix[cur];
                cur = prefix[cur];
            }
            if (depth >= kMaxCodes)
                return false;
            stack[depth++] = uint8_t(cur);
            if (next < kMaxCodes)
            {
                prefix[next] = uint16_t(old);
                suffix[next] = uint8_t(cur);
                first[next] = first[old];
                ++next;
                if (next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
        }
        while (depth > 0 && written < total)
            out[written++] = stack[--depth];
        old = code;
    }
    return true;
}

std::unique_ptr<Image> Refused(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return nullptr;
}

} // namespace

std::unique_ptr<Image> DecodeGIF(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < 13 || (std::memcmp(data, "GIF87", 5) != 0 && std::memcmp(data, "GIF89", 5) != 0))
        return Refused(error, "not a GIF file");
    GifReader in(data, size);
    in.Skip(6);
    uint16_t screenWidth, screenHeight;
    uint8_t flags, background, aspect;
    if (!in.Word(screenWidth) || !in.Word(screenHeight) || !in.Byte(flags) || !in.Byte(background) ||
        !in.Byte(aspect))
        return Refused(error, "the GIF data is truncated");
    ColorTable global;
    if ((flags & 0x80) && !ReadColorTable(in, flags, global))
        return Refused(error, "the GIF data is truncated");

    int transparent = -1;
    for (;;)
    {
        uint8_t block;
        if (!in.Byte(block))
            return Refused(error, "the GIF data is truncated");
        if (block == ';')
            return Refused(error, "the file holds no image");
        if (block == '!')
        {
            uint8_t label;
            if (!in.Byte(label))
                return Refused(error, "the GIF data is truncated");
            if (label == 0xF9)
            {
                std::vector<uint8_t> control;
                if (!in.SubBlocks(&control))
                    return Refused(error, "the GIF data is truncated");
                if (control.size() >= 4 && (control[0] & 1))
                    transparent = control[3];
            }
            else if (!in.SubBlocks(nullptr))
            {
                return Refused(error, "the GIF data is truncated");
            }
            continue;
        }
        if (block != ',')
            return Refused(error, "unknown GIF block " + std::to_string(block));

        uint16_t left, top, width, height;
        uint8_t imageFlags;
        if (!in.Word(left) || !in.Word(top) || !in.Word(width) || !in.Word(height) ||
            !in.Byte(imageFlags))
            return Refused(error, "the GIF data is truncated");
        if (width == 0 || height == 0 || int64_t(width) * height > kMaxPixels)
            return Refused(error, "the image has no pixels or is too large");
        ColorTable local;
        if ((imageFlags & 0x80) && !ReadColorTable(in, imageFlags, local))
            return Refused(error, "the GIF data is truncated");
        const ColorTable& table = (imageFlags & 0x80) ? local : global;
        uint8_t minCodeSize;
        if (!in.Byte(minCodeSize) || minCodeSize < 1 || minCodeSize > 11)
            return Refused(error, "invalid LZW code size");
        std::vector<uint8_t> lzw;
        if (!in.SubBlocks(&lzw))
            return Refused(error, "the GIF data is truncated");
        std::vector<uint8_t> indices(size_t(width) * size_t(height));
        if (!DecodeLzw(lzw, minCodeSize, indices))
            return Refused(error, "the LZW data is damaged or ends early");

        auto image = std::make_unique<Image>(width, height);
        auto storeRow = [&](int srcRow, int destRow) {
            const uint8_t* idx = &indices[size_t(srcRow) * width];
            uint32_t* out = &image->bits[size_t(destRow) * width];
            for (int x = 0; x < width; ++x)
            {
                const int i = idx[x];
                // Indices past the table read as opaque black.
                out[x] = i == transparent ? 0u : (i < table.count ? table.entries[i] : 0xFF000000u);
            }
        };
        if (imageFlags & 0x40)
        {
            static constexpr int kStart[4] = {0, 4, 2, 1};
            static constexpr int kStep[4] = {8, 8, 4, 2};
            int srcRow = 0;
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < height; y += kStep[pass])
                    storeRow(srcRow++, y);
        }
        else
        {
            for (int y = 0; y < height; ++y)
                storeRow(y, y);
        }
        return image;
    }
}

std::unique_ptr<Image> ReadGIF(const std::string& fileName)
{
    const auto data = ReadImageFile(fileName);
    return data ? DecodeGIF(data->data(), data->size()) : nullptr;
}

} // namespace Quillo::ImageLib
