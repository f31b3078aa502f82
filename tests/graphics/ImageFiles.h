#pragma once

// Writers of small test images in each format, made independently of the
// loader (GIF and TGA by hand, PNG and JPEG straight through the libraries).
#include <cstdint>
#include <string>
#include <vector>

namespace QuilloTest
{

std::vector<uint8_t> TgaFile(int w, int h, const std::vector<uint32_t>& argb, uint8_t pixelSize = 32,
                             uint8_t descriptor = 0x28);

struct GifOptions
{
    bool interlaced = false;
    int transparentIndex = -1;
    bool localTable = false;
    bool comment = true;
    bool netscape = true;
};
// indices: one palette index per pixel; palette: RGB triples (up to 256).
std::vector<uint8_t> GifFile(int w, int h, const std::vector<uint8_t>& indices,
                             const std::vector<uint32_t>& paletteRgb, const GifOptions& options = {});

// colorType: a libpng colour type; bitDepth 8 or 16; interlaced Adam7.
std::vector<uint8_t> PngFile(int w, int h, const std::vector<uint32_t>& argb, int colorType, int bitDepth,
                             bool interlaced = false);

std::vector<uint8_t> JpegFile(int w, int h, const std::vector<uint32_t>& argb, bool grey);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace QuilloTest
