#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Quillo::ImageLib
{

// Pixels read from or written to an image file: width x height ARGB words,
// row-major, top row first.
class Image
{
public:
    Image() = default;
    Image(int width, int height);
    virtual ~Image() = default;

    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<uint32_t[]> bits;
};

// Decoders refuse images with more pixels than this, or a side above kMaxSide.
inline constexpr int64_t kMaxPixels = int64_t(1) << 26;
inline constexpr int32_t kMaxSide = 32768;

// Loads fileName, trying ".tga", ".jpg", ".png", ".gif" in turn when it has
// no extension. With lookForAlpha an alpha companion ("_" + file name, or
// file name + "_") supplies the alpha from its blue channel, or stands in as
// a white image when there is no main image. Null when nothing was found.
std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlpha);

std::unique_ptr<Image> ReadTGA(const std::string& fileName);
std::unique_ptr<Image> ReadJPEG(const std::string& fileName);
std::unique_ptr<Image> ReadPNG(const std::string& fileName);
std::unique_ptr<Image> ReadGIF(const std::string& fileName);

// Decoders working on bytes already in memory (the file readers use them).
// A refused file gives null and, with `error` given, the reason.
std::unique_ptr<Image> DecodeTGA(const uint8_t* data, size_t size, std::string* error = nullptr);
std::unique_ptr<Image> DecodeJPEG(const uint8_t* data, size_t size, std::string* error = nullptr);
std::unique_ptr<Image> DecodePNG(const uint8_t* data, size_t size, std::string* error = nullptr);
std::unique_ptr<Image> DecodeGIF(const uint8_t* data, size_t size, std::string* error = nullptr);

// 8-bit RGBA PNG. False when the file cannot be written.
bool WritePNG(const std::string& fileName, const Image& image);
// Baseline JPEG at quality 80, alpha dropped. False when the file cannot be written.
bool WriteJPEG(const std::string& fileName, const Image& image);

} // namespace Quillo::ImageLib
