#include "framework/graphics/FontData.h"

#include "framework/graphics/FontDescriptorReader.h"
#include "framework/graphics/FontDescriptorText.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ListDataElement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SingleDataElement.h"
#include "framework/platform/TextEncoding.h"

// Reading the values of a statement as texts, numbers and lists.

namespace Quillo
{

using namespace FontDescriptorText;

const DataElement* FontData::FindDefine(const std::string& token) const
{
    auto it = defines.find(Upper(token));
    return it == defines.end() ? nullptr : it->second.get();
}

std::string FontData::GetText(const DataElement& value) const
{
    const std::string* token = AsSingle(value);
    if (!token)
        TypeError();
    if (const DataElement* define = FindDefine(*token))
    {
        const std::string* text = AsSingle(*define);
        if (!text)
            TypeError();
        return Unquote(*text);
    }
    return Unquote(*token);
}

std::unique_ptr<ListDataElement> FontData::Dereference(const ListDataElement& list, size_t& budget,
                                                       int depth) const
{
    if (depth > FontDescriptorReader::kMaxListDepth)
        throw FontDescriptorError("List Nested Too Deeply");
    auto out = std::make_unique<ListDataElement>();
    out->elements.reserve(list.elements.size());
    for (const auto& element : list.elements)
    {
        if (budget == 0)
            throw FontDescriptorError("List Too Large");
        --budget;
        if (element->IsList())
        {
            out->elements.push_back(
                Dereference(static_cast<const ListDataElement&>(*element), budget, depth + 1));
            continue;
        }
        const std::string& token = *AsSingle(*element);
        if (StartsWithQuote(token))
            out->elements.push_back(std::make_unique<SingleDataElement>(Unquote(token)));
        else if (StartsLikeNumber(token))
            out->elements.push_back(std::make_unique<SingleDataElement>(token));
        else if (const DataElement* define = FindDefine(token))
        {
            // Stored defines are already dereferenced; only their size counts.
            const size_t count = define->Count();
            if (count > budget)
                throw FontDescriptorError("List Too Large");
            if (depth + define->Depth() > FontDescriptorReader::kMaxListDepth)
                throw FontDescriptorError("List Nested Too Deeply");
            budget -= count;
            out->elements.push_back(define->Duplicate());
        }
        else
            throw FontDescriptorError("Unable to Dereference \"" + token + "\"");
    }
    return out;
}

std::unique_ptr<ListDataElement> FontData::GetList(const DataElement& value) const
{
    size_t budget = kMaxValues;
    if (const std::string* token = AsSingle(value))
    {
        const DataElement* define = FindDefine(*token);
        if (!define)
            throw FontDescriptorError("Unable to Dereference \"" + *token + "\"");
        if (!define->IsList())
            TypeError();
        // Defines are stored dereferenced; resolving them again would take
        // their unquoted texts for names.
        auto copy = define->Duplicate();
        return std::unique_ptr<ListDataElement>(static_cast<ListDataElement*>(copy.release()));
    }
    return Dereference(static_cast<const ListDataElement&>(value), budget, 1);
}

std::vector<std::optional<std::string>> FontData::GetTexts(const DataElement& value,
                                                           Marks& marks) const
{
    std::vector<std::optional<std::string>> out;
    const auto list = GetList(value);
    for (const auto& element : list->elements)
    {
        if (const std::string* text = AsSingle(*element))
            out.emplace_back(*text);
        else
        {
            marks.typeError = true;
            out.emplace_back();
        }
    }
    return out;
}

std::vector<std::optional<int32_t>> FontData::GetInts(const DataElement& value, Marks& marks) const
{
    std::vector<std::optional<int32_t>> out;
    const auto list = GetList(value);
    for (const auto& element : list->elements)
    {
        const std::string* text = AsSingle(*element);
        std::optional<int32_t> number = text ? ParseInt(*text) : std::nullopt;
        if (!number)
            marks.typeError = true;
        out.push_back(number);
    }
    return out;
}

std::vector<std::optional<double>> FontData::GetReals(const DataElement& value, Marks& marks) const
{
    std::vector<std::optional<double>> out;
    const auto list = GetList(value);
    for (const auto& element : list->elements)
    {
        const std::string* text = AsSingle(*element);
        std::optional<double> number = text ? ParseReal(*text) : std::nullopt;
        if (!number)
            marks.typeError = true;
        out.push_back(number);
    }
    return out;
}

std::vector<std::optional<std::vector<int32_t>>> FontData::GetIntLists(const DataElement& value,
                                                                       size_t count,
                                                                       Marks& marks) const
{
    std::vector<std::optional<std::vector<int32_t>>> out;
    const auto list = GetList(value);
    for (const auto& element : list->elements)
    {
        out.emplace_back();
        if (!element->IsList())
        {
            marks.typeError = true;
            continue;
        }
        const auto& inner = static_cast<const ListDataElement&>(*element);
        if (inner.elements.size() != count)
        {
            marks.typeError = true;
            continue;
        }
        std::vector<int32_t> numbers;
        for (const auto& item : inner.elements)
        {
            const std::string* text = AsSingle(*item);
            std::optional<int32_t> number = text ? ParseInt(*text) : std::nullopt;
            if (!number)
                break;
            numbers.push_back(*number);
        }
        if (numbers.size() == count)
            out.back() = std::move(numbers);
        else
            marks.typeError = true;
    }
    return out;
}

std::optional<std::vector<uint16_t>> FontData::CharsOf(std::string_view text, size_t count)
{
    std::vector<uint16_t> chars;
    if (text.size() == count)
    {
        for (unsigned char c : text)
            chars.push_back(c);
        return chars;
    }
    if (!TextEncoding::IsUtf8(text))
        return std::nullopt;
    for (size_t pos = 0; pos < text.size();)
    {
        const char32_t c = TextEncoding::Next(text, pos);
        if (c >= kFontCharCount)
            return std::nullopt;
        chars.push_back(static_cast<uint16_t>(c));
    }
    if (chars.size() != count)
        return std::nullopt;
    return chars;
}

std::optional<std::array<uint16_t, 2>> FontData::CharPair(std::string_view text)
{
    const auto chars = CharsOf(text, 2);
    if (!chars)
        return std::nullopt;
    return std::array<uint16_t, 2>{(*chars)[0], (*chars)[1]};
}

std::vector<std::optional<uint16_t>> FontData::GetChars(const DataElement& value, Marks& marks) const
{
    std::vector<std::optional<uint16_t>> out;
    for (auto& text : GetTexts(value, marks))
    {
        const auto chars = text ? CharsOf(*text, 1) : std::nullopt;
        if (chars)
            out.emplace_back(chars->front());
        else
        {
            marks.typeError = true;
            out.emplace_back();
        }
    }
    return out;
}

int32_t FontData::GetIntParam(const DataElement& value) const
{
    const std::string* token = AsSingle(value);
    std::optional<int32_t> number = token ? ParseInt(*token) : std::nullopt;
    if (!number)
        TypeError();
    return *number;
}

FontLayer& FontData::GetLayer(const DataElement& value) const
{
    const std::string* token = AsSingle(value);
    if (!token)
        TypeError();
    auto it = layersByName.find(Upper(*token));
    if (it == layersByName.end())
        throw FontDescriptorError("Undefined Layer");
    return *it->second;
}

Color FontData::GetColorParam(const DataElement& value) const
{
    Marks marks;
    const auto reals = GetReals(value, marks);
    if (marks.typeError || reals.size() != 4)
        TypeError();
    return Color(SaturatedChannel(*reals[0]), SaturatedChannel(*reals[1]),
                 SaturatedChannel(*reals[2]), SaturatedChannel(*reals[3]));
}

} // namespace Quillo
