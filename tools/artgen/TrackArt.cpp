#include "tools/artgen/TrackArt.h"

#include "tools/artgen/Output.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Spindrel::Art
{

namespace
{

// More points than this cannot be a real track (a 6400 px lead-in and a full
// screen of spirals sampled every 10 px stay far below it).
constexpr int32_t MaxPoints = 100000;

float FloatAt(const std::vector<unsigned char>& bytes, size_t offset)
{
    const uint32_t bits = uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
                          uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

std::optional<TrackFile> ReadTrackFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < 16)
        return std::nullopt;
    TrackFile track;
    track.gateX = FloatAt(bytes, 0);
    track.gateY = FloatAt(bytes, 4);
    track.angle = FloatAt(bytes, 8);
    const uint32_t raw = uint32_t(bytes[12]) | uint32_t(bytes[13]) << 8 | uint32_t(bytes[14]) << 16 |
                         uint32_t(bytes[15]) << 24;
    const int32_t count = static_cast<int32_t>(raw);
    if (count < 0 || count > MaxPoints || static_cast<size_t>(count) > (bytes.size() - 16) / 8)
        return std::nullopt;
    for (int32_t i = 0; i < count; ++i)
        track.points.push_back({FloatAt(bytes, 16 + 8 * size_t(i)), FloatAt(bytes, 20 + 8 * size_t(i))});
    return track;
}

void PaintTrackArt(Output& output, const std::string& trackFolder)
{
    for (int level = 1; level <= 30; ++level)
    {
        char name[64];
        std::snprintf(name, sizeof name, "%s/%02d.path", trackFolder.c_str(), level);
        const std::optional<TrackFile> track = ReadTrackFile(name);
        if (track)
            output.Read(name);
        else
            std::fprintf(stderr, "spindrel-artgen: no track in %s, background %02d has no groove\n",
                         name, level);

        const int index = level - 1;
        GroundStyle style{index % 10, (index * 3) % 8, static_cast<unsigned>(level)};
        Canvas bg(800, 600);
        PaintGround(bg, style);
        if (track)
        {
            PaintGroove(bg, track->points, style.mood);
            PaintSocket(bg, track->gateX + 45, track->gateY + 45, 46, style.mood);
        }
        std::snprintf(name, sizeof name, "levels/bg%02d", level);
        output.Jpeg("backgrounds", name, bg);

        Canvas thumb(152, 114);
        cairo_t* cr = thumb.Cr();
        cairo_scale(cr, 0.19, 0.19);
        cairo_set_source_surface(cr, bg.Surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        std::snprintf(name, sizeof name, "gfx/152x114/bg%02d", level);
        output.Png("thumbnails", name, thumb);
    }
}

} // namespace Spindrel::Art
