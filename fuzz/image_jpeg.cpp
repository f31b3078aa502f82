// Feeds arbitrary bytes to the JPEG decoder; it must never read or write
// outside its buffers, whatever the file claims.
#include "TouchPixels.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TouchPixels(Quillo::ImageLib::DecodeJPEG(data, size).get());
    return 0;
}
