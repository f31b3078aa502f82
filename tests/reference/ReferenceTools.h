#pragma once

// Runs the reference decoders the differential tests compare against
// (ImageMagick, sox, oggdec) and reads back what they wrote, and runs our
// readers on the same files.
#include "framework/audio/PcmSound.h"
#include "framework/graphics/ImageLib.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ReferenceTools
{

// Quotes a word for the shell.
std::string Quoted(const std::string& word);

// Runs a shell command with its output thrown away; true when it exits 0.
bool Shell(const std::string& command);

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path);

// True when ImageMagick's convert (not a stand-in of the same name) and the
// sound tools (sox, oggenc and oggdec) are on the PATH.
bool HaveImageMagick();
bool HaveSoundTools();

// A picture as ImageMagick decodes it: 8-bit RGBA, top row first.
struct RgbaImage
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};
std::optional<RgbaImage> DecodeWithImageMagick(const std::string& path, const std::string& scratchDir);

// A sound as oggdec (for the "ogg" extension) or sox decodes it, as signed
// 16-bit.
struct Samples
{
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;
};
std::optional<Samples> DecodeWithSoundTools(const std::string& path, const std::string& extension,
                                            const std::string& scratchDir);

// Our readers, picked by the lower-case extension: png, tga, gif or jpg;
// wav, au or ogg.
std::unique_ptr<Quillo::ImageLib::Image> DecodeImage(const std::string& extension,
                                                     const std::vector<uint8_t>& bytes, std::string& error);
std::optional<Quillo::PcmSound> DecodeSound(const std::string& extension, const std::vector<uint8_t>& bytes,
                                            std::string& error);

// The largest difference in any channel where both pictures have alpha
// above zero; where either is fully transparent only alpha must agree,
// since formats and decoders differ in the colour kept under it. -1 when the
// sizes differ.
int LargestDifference(int width, int height, const uint32_t* ours, const RgbaImage& reference);

} // namespace ReferenceTools
