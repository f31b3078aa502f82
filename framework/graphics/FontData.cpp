#include "framework/graphics/FontData.h"

#include "framework/graphics/FontDescriptorReader.h"
#include "framework/graphics/FontDescriptorText.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ListDataElement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SingleDataElement.h"
#include "framework/platform/FileSystem.h"

#include <algorithm>
#include <cctype>

namespace Quillo
{

using namespace FontDescriptorText;

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
        charMap[i] = static_cast<uint16_t>(i);
    layers.clear();
    layersByName.clear();
    defines.clear();
    imageCache.clear();
    stripImage.reset();
    m_errorText.clear();
}

void FontData::Fail(const std::string& message)
{
    Report(m_errorPrefix + message + " on Line " + std::to_string(m_statementLine) + ":\r\n\r\n" +
           m_statement);
}

void FontData::FailDescriptor(const std::string& message)
{
    Report(m_errorPrefix + message);
}

void FontData::Report(const std::string& text)
{
    m_errorText = text;
    loaded = false;
    layers.clear();
    layersByName.clear();
    app.ShowFatalError(text);
}

bool FontData::DefinesGlyphs() const
{
    return std::any_of(layers.begin(), layers.end(), [](const auto& layer) {
        return std::any_of(layer->glyphs.begin(), layer->glyphs.end(),
                           [](const FontGlyph& glyph) { return glyph.width != 0; });
    });
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
    if (!LoadDescriptor(path, std::string_view(reinterpret_cast<const char*>(text->data()), text->size())))
        return false;
    // A font file that draws nothing was emptied or cut short, as surely as
    // one cut inside a statement.
    if (!DefinesGlyphs())
    {
        FailDescriptor(text->empty() ? "Empty File" : "No Glyphs Defined");
        return false;
    }
    return true;
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
            charMap[c] = static_cast<uint16_t>(lower);
        else if (layer.glyphs[lower].width == 0 && layer.glyphs[c].width != 0)
            charMap[lower] = static_cast<uint16_t>(c);
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

} // namespace Quillo
