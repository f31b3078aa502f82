#include "game/board/TextFormat.h"

namespace Spindrel
{

std::string FormatInt(std::string_view format, int value)
{
    std::string out;
    out.reserve(format.size() + 8);
    bool used = false;
    for (size_t i = 0; i < format.size(); ++i)
    {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size())
        {
            out += c;
            continue;
        }
        const char next = format[i + 1];
        if (next == '%')
        {
            out += '%';
            ++i;
        }
        else if (!used && (next == 'd' || next == 'i' || next == 'u'))
        {
            out += std::to_string(value);
            used = true;
            ++i;
        }
        else
        {
            out += c;
        }
    }
    return out;
}

} // namespace Spindrel
