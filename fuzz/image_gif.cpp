// Feeds arbitrary bytes to the GIF decoder; it must never read or write
// outside its buffers, whatever the file claims.
#include "framework/graphics/ImageLib.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto image = Quillo::ImageLib::DecodeGIF(data, size);
    if (image)
    {
        // Touch every pixel, so that a short pixel array shows up.
        uint32_t sum = 0;
        const size_t n = size_t(image->width) * size_t(image->height);
        for (size_t i = 0; i < n; ++i)
            sum += image->bits[i];
        (void)sum;
    }
    return 0;
}
