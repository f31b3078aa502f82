// Track files: any bytes either give points whose geometry the board can
// walk, or nothing.
#include "game/board/Path.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = Spindrel::Path::ParseFile(std::span(data, size));
    if (!file)
        return 0;
    if (file->points.size() > (size - 16) / 8)
        std::abort();
    Spindrel::Path path;
    path.Assign(*file);
    path.AddLeadIn();
    for (float d : {-10.0f, 0.0f, 37.5f, 1000.0f, 1.0e9f})
    {
        const auto p = path.PointAtDistance(d);
        (void)p;
    }
    for (int k = 0; k < path.Count(); ++k)
        (void)path.PositionOnSegment(k, 0.5f);
    (void)Spindrel::Path::GateFrameForProgress(path.totalLength);
    return 0;
}
