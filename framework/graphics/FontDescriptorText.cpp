#include "framework/graphics/FontDescriptorText.h"

#include "framework/graphics/FontDescriptorReader.h"
#include "framework/graphics/ListDataElement.h"
#include "framework/graphics/SingleDataElement.h"

#include <charconv>

namespace Quillo::FontDescriptorText
{

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
    {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool StartsWithQuote(std::string_view text)
{
    return !text.empty() && (text[0] == '\'' || text[0] == '"');
}

bool StartsLikeNumber(std::string_view text)
{
    return !text.empty() && ((text[0] >= '0' && text[0] <= '9') || text[0] == '-' || text[0] == '+');
}

std::string Unquote(std::string_view text)
{
    if (!StartsWithQuote(text))
        return std::string(text);
    const char quote = text[0];
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != quote)
            out += text[i];
        else if (i + 1 < text.size() && text[i + 1] == quote)
        {
            out += quote;
            ++i;
        }
    }
    return out;
}

std::optional<int32_t> ParseInt(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && text[0] == '-')
    {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<double> ParseReal(std::string_view text)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    // Plain decimal numbers only: no "inf", "nan" or hexadecimal forms.
    if (text.empty() || text.find_first_not_of("0123456789.-eE+") != std::string_view::npos)
        return std::nullopt;
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

const std::string* AsSingle(const DataElement& value)
{
    if (value.IsList())
        return nullptr;
    return &static_cast<const SingleDataElement&>(value).value;
}

std::string DefineText(const DataElement& value)
{
    if (const std::string* text = AsSingle(value))
        return *text;
    std::string out = "(";
    const auto& list = static_cast<const ListDataElement&>(value);
    for (size_t i = 0; i < list.elements.size(); ++i)
    {
        if (i > 0)
            out += ", ";
        out += DefineText(*list.elements[i]);
    }
    return out + ")";
}

int32_t SaturatedChannel(double v)
{
    const double scaled = v * 255.0;
    if (scaled >= INT32_MAX)
        return INT32_MAX;
    if (scaled <= INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

[[noreturn]] void TypeError()
{
    throw FontDescriptorError("Invalid Paramater Type");
}

} // namespace Quillo::FontDescriptorText
