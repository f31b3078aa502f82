#include "ReferenceTools.h"

#include "framework/audio/SoundFile.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace ReferenceTools
{
namespace
{

std::string Output(const std::string& command)
{
    // Through a file in a folder of this process's own rather than a pipe.
    static TempDir scratch;
    const std::string name = scratch / "output.txt";
    std::string text;
    if (std::system((command + " > " + Quoted(name) + " 2>&1").c_str()) == 0)
        if (auto bytes = ReadBytes(name))
            text.assign(bytes->begin(), bytes->end());
    std::remove(name.c_str());
    return text;
}

int Number(const std::string& command)
{
    const std::string text = Output(command);
    return text.empty() ? 0 : std::atoi(text.c_str());
}

} // namespace

std::string Quoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool Shell(const std::string& command)
{
    return std::system((command + " > /dev/null 2>&1").c_str()) == 0;
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HaveImageMagick()
{
    return Output("convert -version").find("ImageMagick") != std::string::npos;
}

bool HaveSoundTools()
{
    return Shell("sox --version") && Shell("oggenc --version") && Shell("oggdec --version");
}

std::optional<RgbaImage> DecodeWithImageMagick(const std::string& path, const std::string& scratchDir)
{
    const std::string raw = scratchDir + "/reference.rgba";
    const std::string size = Output("identify -format '%w %h\\n' " + Quoted(path + "[0]"));
    RgbaImage image;
    std::istringstream(size) >> image.width >> image.height;
    // ImageMagick keeps a TGA's rows in file order and only notes where the
    // first one belongs; -auto-orient puts them where the header says, as
    // our reader does. (Its own TGA writer stores the top row first yet
    // marks the file bottom-up, so such files show upside down in both.)
    const bool tga = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".tga") == 0 ||
                                          path.compare(path.size() - 4, 4, ".TGA") == 0);
    if (image.width <= 0 || image.height <= 0 ||
        !Shell("convert " + Quoted(path + "[0]") + (tga ? " -auto-orient" : "") + " -depth 8 " +
               Quoted("RGBA:" + raw)))
        return std::nullopt;
    const auto bytes = ReadBytes(raw);
    std::remove(raw.c_str());
    const size_t count = size_t(image.width) * size_t(image.height);
    if (!bytes || bytes->size() != count * 4)
        return std::nullopt;
    image.argb.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        const uint8_t* p = bytes->data() + i * 4;
        image.argb[i] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    return image;
}

std::optional<Samples> DecodeWithSoundTools(const std::string& path, const std::string& extension,
                                            const std::string& scratchDir)
{
    const std::string raw = scratchDir + "/reference.raw";
    Samples s;
    s.channels = Number("soxi -c " + Quoted(path));
    s.rate = Number("soxi -r " + Quoted(path));
    // No dither: widening to 16 bits must not add noise.
    const std::string command = extension == "ogg"
                                    ? "oggdec -Q -R -b 16 -e 0 -s 1 -o " + Quoted(raw) + " " + Quoted(path)
                                    : "sox -D " + Quoted(path) + " -t raw -e signed -b 16 -L " + Quoted(raw);
    const bool decoded = Shell(command);
    const auto bytes = ReadBytes(raw);
    std::remove(raw.c_str());
    if (!decoded || !bytes || s.channels <= 0 || s.rate <= 0)
        return std::nullopt;
    s.samples.resize(bytes->size() / 2);
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] = int16_t(uint16_t((*bytes)[2 * i] | ((*bytes)[2 * i + 1] << 8)));
    return s;
}

std::unique_ptr<Quillo::ImageLib::Image> DecodeImage(const std::string& extension,
                                                     const std::vector<uint8_t>& bytes, std::string& error)
{
    using namespace Quillo::ImageLib;
    const auto decode = extension == "png"   ? DecodePNG
                        : extension == "tga" ? DecodeTGA
                        : extension == "gif" ? DecodeGIF
                                             : DecodeJPEG;
    return decode(bytes.data(), bytes.size(), &error);
}

std::optional<Quillo::PcmSound> DecodeSound(const std::string& extension, const std::vector<uint8_t>& bytes,
                                            std::string& error)
{
    using namespace Quillo::SoundFile;
    if (extension == "wav")
    {
        auto wave = DecodeWave(bytes, error);
        return wave ? std::optional<Quillo::PcmSound>(std::move(wave->sound)) : std::nullopt;
    }
    return extension == "ogg" ? DecodeOgg(bytes, error) : DecodeSnd(bytes, error);
}

int LargestDifference(int width, int height, const uint32_t* ours, const RgbaImage& reference)
{
    if (width != reference.width || height != reference.height)
        return -1;
    int largest = 0;
    for (size_t i = 0; i < reference.argb.size(); ++i)
    {
        const uint32_t a = ours[i], b = reference.argb[i];
        const bool clear = (a >> 24) == 0 || (b >> 24) == 0;
        for (int shift = clear ? 24 : 0; shift < 32; shift += 8)
        {
            const int d = std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
            largest = std::max(largest, d);
        }
    }
    return largest;
}

} // namespace ReferenceTools
