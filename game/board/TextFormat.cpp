#include "game/board/TextFormat.h"

namespace Spindrel
{

namespace
{

// Copies the format, "%%" as "%", and hands each other conversion letter to
// fill, which appends the argument and returns true when it took it.
template <typename Fill>
std::string Format(std::string_view format, Fill fill)
{
    std::string out;
    out.reserve(format.size() + 16);
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
        else if (fill(next, out))
        {
            ++i;
        }
        else
        {
            out += c;
        }
    }
    return out;
}

bool IsIntConversion(char c)
{
    return c == 'd' || c == 'i' || c == 'u';
}

} // namespace

std::string FormatInts(std::string_view format, std::initializer_list<int> values)
{
    const int* next = values.begin();
    return Format(format, [&](char conversion, std::string& out) {
        if (!IsIntConversion(conversion) || next == values.end())
            return false;
        out += std::to_string(*next++);
        return true;
    });
}

std::string FormatInt(std::string_view format, int value)
{
    return FormatInts(format, {value});
}

std::string FormatString(std::string_view format, std::string_view text)
{
    bool used = false;
    return Format(format, [&](char conversion, std::string& out) {
        if (conversion != 's' || used)
            return false;
        out += text;
        used = true;
        return true;
    });
}

bool TakesString(std::string_view format)
{
    bool takes = false;
    Format(format, [&](char conversion, std::string&) {
        takes = takes || conversion == 's';
        return false;
    });
    return takes;
}

} // namespace Spindrel
