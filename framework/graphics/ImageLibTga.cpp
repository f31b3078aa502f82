#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageReadFile.h"

namespace Quillo::ImageLib
{
namespace
{

constexpr size_t kHeaderSize = 18;

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

} // namespace

std::unique_ptr<Image> DecodeTGA(const uint8_t* data, size_t size)
{
    if (!data || size < kHeaderSize)
        return nullptr;
    // Header fields in file order: id length, colour map type, image type,
    // colour map origin and length, entry size, x and y origin, width,
    // height, pixel size, descriptor. Only the last four matter here.
    const uint16_t width = Read16(data + 12);
    const uint16_t height = Read16(data + 14);
    const uint8_t pixelSize = data[16];
    const uint8_t descriptor = data[17];
    // 32-bit pixels with 8 alpha bits, rows stored top to bottom.
    if (pixelSize != 32 || descriptor != 0x28 || width == 0 || height == 0)
        return nullptr;
    const size_t count = size_t(width) * size_t(height);
    if (int64_t(count) > kMaxPixels || size - kHeaderSize < count * 4)
        return nullptr;
    auto image = std::make_unique<Image>(width, height);
    const uint8_t* p = data + kHeaderSize;
    for (size_t i = 0; i < count; ++i, p += 4)
        image->bits[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                         (uint32_t(p[3]) << 24);
    return image;
}

std::unique_ptr<Image> ReadTGA(const std::string& fileName)
{
    const auto data = ReadImageFile(fileName);
    return data ? DecodeTGA(data->data(), data->size()) : nullptr;
}

} // namespace Quillo::ImageLib
