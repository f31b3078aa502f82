#pragma once

// Writers of small test images in each format, made independently of the
// loader (GIF and TGA by hand, PNG and JPEG straight through the libraries).
#include <cstdint>
#include <string>
#include <vector>

namespace QuilloTest
{

// A TGA in any of the layouts tools write. Pixels are given top row first;
// the builder stores them in the order the descriptor names.
struct TgaLayout
{
    uint8_t imageType = 2;     // 1-3 raw, 9-11 run-length encoded
    uint8_t pixelSize = 32;    // bits per stored pixel or colour index
    uint8_t descriptor = 0x28; // alpha bits, bit 4 right to left, bit 5 top down
    std::string id = {};                 // the image ID field
    std::vector<uint32_t> colorMap = {}; // ARGB entries, written with mapEntrySize bits
    uint8_t mapEntrySize = 24;
    uint16_t mapFirst = 0;
};
// argb: colours for true-colour files (the stored word for 15 and 16 bits);
// grey levels (blue) and alpha for grey files; colour indices for
// colour-mapped ones.
std::vector<uint8_t> TgaFile(const TgaLayout& layout, int w, int h, const std::vector<uint32_t>& argb);

struct GifOptions
{
    bool interlaced = false;
    int transparentIndex = -1;
    bool localTable = false;
};
// indices: one palette index per pixel; palette: RGB triples (up to 256).
// The file has a looping block and a comment before the image.
std::vector<uint8_t> GifFile(int w, int h, const std::vector<uint8_t>& indices,
                             const std::vector<uint32_t>& paletteRgb, const GifOptions& options = {});

// colorType: a libpng colour type; bitDepth 8 or 16; interlaced Adam7.
std::vector<uint8_t> PngFile(int w, int h, const std::vector<uint32_t>& argb, int colorType, int bitDepth,
                             bool interlaced = false);
// rows: the samples as the file stores them (16-bit ones high byte first).
std::vector<uint8_t> PngOfRows(int w, int h, int colorType, int bitDepth, bool interlaced,
                               std::vector<std::vector<uint8_t>> rows, const std::vector<uint32_t>& paletteArgb = {});

std::vector<uint8_t> JpegFile(int w, int h, const std::vector<uint32_t>& argb, bool grey);
// CMYK as print tools store it: four bytes a pixel, each 255 minus the ink;
// with ycck the file holds it in the YCCK colour space.
std::vector<uint8_t> JpegCmykFile(int w, int h, const std::vector<uint8_t>& storedCmyk, bool ycck);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace QuilloTest
