#include "framework/graphics/FontData.h"

#include "framework/graphics/FontDescriptorReader.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ListDataElement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SingleDataElement.h"
#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <charconv>
#include <cctype>

namespace Quillo
{

namespace
{

// Upper bound on the values one define or parameter may expand to, so that
// defines built from defines cannot grow without limit.
constexpr size_t kMaxValues = 1 << 16;

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

// Removes the quote character the text starts with; two in a row leave one.
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

} // namespace

FontData::FontData(FontHost& host) : app(host)
{
    Reset();
}

FontData::~FontData() = default;

void FontData::Reset()
{
    loaded = false;
    defaultPointSize = 0;
    for (size_t i = 0; i < charMap.size(); ++i)
        charMap[i] = static_cast<uint8_t>(i);
    layers.clear();
    layersByName.clear();
    defines.clear();
    imageCache.clear();
    stripImage.reset();
    m_errorText.clear();
}

void FontData::Fail(const std::string& message)
{
    const std::string text = m_errorPrefix + message + " on Line " +
                             std::to_string(m_statementLine) + ":\r\n\r\n" + m_statement;
    m_errorText = text;
    loaded = false;
    layers.clear();
    layersByName.clear();
    app.ShowFatalError(text);
}

bool FontData::Load(const std::string& path)
{
    auto text = FileSystem::ReadFile(FileSystem::ResolvePath(FileSystem::NormalizePath(path)));
    if (!text)
    {
        Reset();
        descriptorPath = path;
        return false;
    }
    return LoadDescriptor(path, std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
}

bool FontData::LoadDescriptor(const std::string& path, std::string_view text)
{
    Reset();
    descriptorPath = path;
    m_errorPrefix = "Font Descriptor Error in " + path + "\r\n";
    FontDescriptorReader reader(text);
    std::string statement;
    int line = 0;
    while (reader.NextStatement(statement, line))
    {
        const size_t first = statement.find_first_not_of(" \t\n");
        if (first == std::string::npos)
            continue;
        const size_t last = statement.find_last_not_of(" \t\n");
        m_statement = statement.substr(first, last - first + 1);
        m_statementLine = line;
        try
        {
            Execute(*FontDescriptorReader::Tokenize(statement));
        }
        catch (const FontDescriptorError& error)
        {
            Fail(error.what());
            return false;
        }
    }
    loaded = true;
    return true;
}

bool FontData::LoadLegacy(std::shared_ptr<MemoryImage> strip, const std::string& widthsPath)
{
    Reset();
    descriptorPath = widthsPath;
    stripImage = strip;
    auto text = FileSystem::ReadTextFile(FileSystem::ResolvePath(FileSystem::NormalizePath(widthsPath)));
    if (!text || !strip)
        return false;

    FontLayer& layer = AddLayer("");
    layer.image = strip.get();
    const int32_t stripWidth = std::max(strip->width, 0);
    const int32_t stripHeight = std::max(strip->height, 0);
    layer.ascent = stripHeight;
    layer.measuredHeight = stripHeight;

    size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text->size() && std::isspace(static_cast<unsigned char>((*text)[pos])))
            ++pos;
    };
    // One "%d": optional sign and digits; the value saturates instead of overflowing.
    auto readInt = [&](int32_t& out) {
        skipBlanks();
        size_t p = pos;
        bool negative = false;
        if (p < text->size() && ((*text)[p] == '-' || (*text)[p] == '+'))
            negative = (*text)[p++] == '-';
        const size_t digits = p;
        int64_t value = 0;
        while (p < text->size() && (*text)[p] >= '0' && (*text)[p] <= '9')
        {
            value = std::min<int64_t>(value * 10 + ((*text)[p] - '0'), INT32_MAX);
            ++p;
        }
        if (p == digits)
            return false;
        pos = p;
        out = static_cast<int32_t>(negative ? -value : value);
        return true;
    };

    int32_t value = 0;
    if (readInt(value))
    {
        layer.glyphs[' '].width = value;
        if (readInt(value))
            layer.ascent = value;
    }
    int32_t x = 0;
    for (;;)
    {
        skipBlanks();
        if (pos >= text->size())
            break;
        const auto ch = static_cast<unsigned char>((*text)[pos++]);
        int32_t width = 0;
        if (!readInt(width))
            break;
        FontGlyph& glyph = layer.glyphs[ch];
        glyph.width = width;
        // The rectangle never reaches past the strip, whatever the widths say.
        const int32_t left = std::min(x, stripWidth);
        const int32_t right = std::clamp<int64_t>(int64_t(x) + width, left, stripWidth);
        glyph.imageRect = Rect{left, 0, right - left, stripHeight};
        x = right;
    }

    for (int c = 'A'; c <= 'Z'; ++c)
    {
        const int lower = c - 'A' + 'a';
        if (layer.glyphs[c].width == 0 && layer.glyphs[lower].width != 0)
            charMap[c] = static_cast<uint8_t>(lower);
        else if (layer.glyphs[lower].width == 0 && layer.glyphs[c].width != 0)
            charMap[lower] = static_cast<uint8_t>(c);
    }
    loaded = true;
    return true;
}

std::string FontData::GetDefineText(const std::string& name) const
{
    auto it = defines.find(Upper(name));
    return it == defines.end() ? std::string() : DefineText(*it->second);
}

FontLayer& FontData::AddLayer(const std::string& name)
{
    layers.push_back(std::make_unique<FontLayer>());
    FontLayer& layer = *layers.back();
    layer.name = name;
    layersByName[name] = &layer;
    return layer;
}

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

std::vector<std::optional<uint8_t>> FontData::GetChars(const DataElement& value, Marks& marks) const
{
    std::vector<std::optional<uint8_t>> out;
    for (auto& text : GetTexts(value, marks))
    {
        if (text && text->size() == 1)
            out.emplace_back(static_cast<uint8_t>((*text)[0]));
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

void FontData::Execute(const ListDataElement& statement)
{
    const auto& v = statement.elements;
    if (v.empty())
        return;
    const std::string* commandToken = AsSingle(*v[0]);
    if (!commandToken)
        throw FontDescriptorError("Missing Command");
    const std::string command = Upper(*commandToken);

    Marks marks;
    auto expect = [&](size_t count) {
        if (v.size() != count)
            throw FontDescriptorError("Invalid Number of Parameters");
    };
    // Runs fn on each pair of valid elements of two lists of any kinds.
    auto pairs = [&](auto& a, auto& b, auto fn) {
        if (a.size() != b.size())
            marks.sizeMismatch = true;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        {
            if (a[i] && b[i])
                fn(*a[i], *b[i]);
        }
    };
    if (command == "DEFINE")
    {
        expect(3);
        const std::string* name = AsSingle(*v[1]);
        if (!name || StartsLikeNumber(*name) || StartsWithQuote(*name))
            TypeError();
        std::unique_ptr<DataElement> value;
        if (v[2]->IsList())
        {
            size_t budget = kMaxValues;
            value = Dereference(static_cast<const ListDataElement&>(*v[2]), budget, 1);
        }
        else if (const DataElement* define = FindDefine(*AsSingle(*v[2])))
            value = define->Duplicate();
        else
            value = v[2]->Duplicate();
        defines[Upper(*name)] = std::move(value);
    }
    else if (command == "CREATEHORZSPANRECTLIST")
    {
        expect(4);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        const auto rect = GetInts(*v[2], marks);
        if (rect.size() != 4 || marks.typeError)
            TypeError();
        auto list = std::make_unique<ListDataElement>();
        int64_t x = *rect[0];
        for (const auto& width : GetInts(*v[3], marks))
        {
            if (!width)
                continue;
            auto r = std::make_unique<ListDataElement>();
            for (int64_t n : {x, int64_t(*rect[1]), int64_t(*width), int64_t(*rect[3])})
                r->elements.push_back(std::make_unique<SingleDataElement>(std::to_string(n)));
            list->elements.push_back(std::move(r));
            x = std::clamp<int64_t>(x + *width, INT32_MIN, INT32_MAX);
        }
        defines[Upper(*name)] = std::move(list);
    }
    else if (command == "SETDEFAULTPOINTSIZE")
    {
        expect(2);
        defaultPointSize = GetIntParam(*v[1]);
    }
    else if (command == "SETCHARMAP")
    {
        expect(3);
        auto from = GetChars(*v[1], marks);
        auto to = GetChars(*v[2], marks);
        pairs(from, to, [&](uint8_t a, uint8_t b) { charMap[a] = b; });
    }
    else if (command == "CREATELAYER")
    {
        expect(2);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        if (layersByName.count(Upper(*name)))
            throw FontDescriptorError("Layer Already Exists");
        AddLayer(Upper(*name));
    }
    else if (command == "CREATELAYERFROM")
    {
        expect(3);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        const FontLayer& source = GetLayer(*v[2]);
        if (layersByName.count(Upper(*name)))
            throw FontDescriptorError("Layer Already Exists");
        FontLayer copy = source;
        FontLayer& layer = AddLayer(Upper(*name));
        copy.name = layer.name;
        layer = std::move(copy);
    }
    else if (command == "LAYERREQUIRETAGS" || command == "LAYEREXCLUDETAGS")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        auto& target = command == "LAYERREQUIRETAGS" ? layer.requiredTags : layer.excludedTags;
        for (auto& tag : GetTexts(*v[2], marks))
        {
            if (tag)
                target.push_back(Upper(*tag));
        }
    }
    else if (command == "LAYERPOINTRANGE")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        layer.minPointSize = GetIntParam(*v[2]);
        layer.maxPointSize = GetIntParam(*v[3]);
    }
    else if (command == "LAYERSETPOINTSIZE")
    {
        expect(3);
        GetLayer(*v[1]).pointSize = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETIMAGE")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const std::string file = GetText(*v[2]);
        const size_t slash = descriptorPath.find_last_of("/\\");
        const std::string dir = slash == std::string::npos ? "" : descriptorPath.substr(0, slash + 1);
        const std::string path = FileSystem::NormalizePath(dir + file);
        auto it = imageCache.find(path);
        if (it == imageCache.end())
        {
            std::unique_ptr<MemoryImage> image = app.LoadDisplayImage(path);
            if (!image)
                throw FontDescriptorError("Failed to Load Image");
            image->ConvertToPalette();
            it = imageCache.emplace(path, std::move(image)).first;
        }
        layer.image = it->second.get();
    }
    else if (command == "LAYERSETDRAWMODE")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const int32_t mode = GetIntParam(*v[2]);
        if (mode != 0 && mode != 1)
            TypeError();
        layer.drawMode = mode;
    }
    else if (command == "LAYERSETCOLORMULT")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        layer.colorMult = GetColorParam(*v[2]);
    }
    else if (command == "LAYERSETCOLORADD")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        layer.colorAdd = GetColorParam(*v[2]);
    }
    else if (command == "LAYERSETASCENT")
    {
        expect(3);
        GetLayer(*v[1]).ascent = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETASCENTPADDING")
    {
        expect(3);
        GetLayer(*v[1]).ascentPadding = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETLINESPACINGOFFSET")
    {
        expect(3);
        GetLayer(*v[1]).lineSpacingOffset = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETOFFSET")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const auto offset = GetInts(*v[2], marks);
        if (offset.size() != 2 || marks.typeError)
            TypeError();
        layer.offsetX = *offset[0];
        layer.offsetY = *offset[1];
    }
    else if (command == "LAYERSETCHARWIDTHS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto widths = GetInts(*v[3], marks);
        pairs(chars, widths, [&](uint8_t c, int32_t w) { layer.glyphs[c].width = w; });
    }
    else if (command == "LAYERSETSPACING")
    {
        expect(3);
        GetLayer(*v[1]).spacing = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETIMAGEMAP")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        if (!layer.image)
            throw FontDescriptorError("Layer image not set");
        auto chars = GetChars(*v[2], marks);
        auto rects = GetIntLists(*v[3], 4, marks);
        pairs(chars, rects, [&](uint8_t c, const std::vector<int32_t>& r) {
            // Negative sizes would pass the edge test and later draw garbage.
            if (r[0] < 0 || r[1] < 0 || r[2] < 0 || r[3] < 0 ||
                int64_t(r[0]) + r[2] > layer.image->width || int64_t(r[1]) + r[3] > layer.image->height)
                throw FontDescriptorError("Image rectangle out of bounds");
            layer.glyphs[c].imageRect = Rect{r[0], r[1], r[2], r[3]};
        });
        int64_t measured = 0;
        for (const FontGlyph& glyph : layer.glyphs)
            measured = std::max(measured, int64_t(glyph.imageRect.height) + glyph.offsetY);
        layer.measuredHeight = static_cast<int32_t>(std::min<int64_t>(measured, INT32_MAX));
    }
    else if (command == "LAYERSETCHAROFFSETS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto offsets = GetIntLists(*v[3], 2, marks);
        pairs(chars, offsets, [&](uint8_t c, const std::vector<int32_t>& o) {
            layer.glyphs[c].offsetX = o[0];
            layer.glyphs[c].offsetY = o[1];
        });
    }
    else if (command == "LAYERSETKERNINGPAIRS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto texts = GetTexts(*v[2], marks);
        auto values = GetInts(*v[3], marks);
        for (auto& text : texts)
        {
            if (text && text->size() != 2)
            {
                marks.typeError = true;
                text.reset();
            }
        }
        pairs(texts, values, [&](const std::string& pair, int32_t value) {
            layer.glyphs[static_cast<uint8_t>(pair[0])].kerning[static_cast<uint8_t>(pair[1])] =
                static_cast<int8_t>(value);
        });
    }
    else if (command == "LAYERSETBASEORDER")
    {
        expect(3);
        GetLayer(*v[1]).baseOrder = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETCHARORDERS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto orders = GetInts(*v[3], marks);
        pairs(chars, orders, [&](uint8_t c, int32_t order) { layer.glyphs[c].order = order; });
    }
    else
        throw FontDescriptorError("Unknown Command");

    if (marks.typeError)
        TypeError();
    if (marks.sizeMismatch)
        throw FontDescriptorError("List Size Mismatch");
}

} // namespace Quillo
