// Feeds arbitrary bytes to the manifest's XML parser: it must end every
// input with either a clean end or one error, never a crash or a hang.
#include "framework/resources/XMLParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Quillo::XMLParser parser;
    parser.SetKeepComments(size > 0 && data[0] & 1);
    parser.OpenText("fuzz.xml", std::string(reinterpret_cast<const char*>(data), size));
    Quillo::XMLElement element;
    size_t count = 0;
    while (parser.NextElement(element))
    {
        // Every element consumes at least one byte of input, except the end
        // tag that a self-closing tag produces.
        if (++count > 2 * size + 2)
            std::abort();
    }
    if (parser.HasFailed() && parser.GetErrorText().empty())
        std::abort();
    return 0;
}
