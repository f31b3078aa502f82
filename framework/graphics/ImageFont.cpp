#include "framework/graphics/ImageFont.h"

#include "framework/graphics/FontData.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

namespace Quillo
{

namespace
{

std::string Upper(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
    {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// (int)(v), saturating where the value does not fit.
int32_t Truncate(double v)
{
    if (!(v > -2147483648.0))
        return std::isnan(v) ? 0 : INT32_MIN;
    if (v >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(v);
}

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The one pool of glyph commands all image fonts draw through, sorted into
// 256 order buckets, each kept first in, first out. Allocated once.
struct GlyphCommand
{
    MemoryImage* image;
    int x;
    int y;
    Rect rect;
    Color color;
    int drawMode;
    int next;
};

struct GlyphPool
{
    std::mutex lock;
    std::array<GlyphCommand, ImageFont::kMaxGlyphCommands> commands;
    std::array<int, 256> first;
    std::array<int, 256> last;
    int used = 0;
};

GlyphPool& Pool()
{
    static GlyphPool pool;
    return pool;
}

} // namespace

ImageFont::ImageFont(FontHost& host, const std::string& descriptorPath)
    : m_fontData(std::make_shared<FontData>(host))
{
    m_fontData->Load(descriptorPath);
    m_pointSize = m_fontData->defaultPointSize;
}

ImageFont::ImageFont(FontHost& host, std::shared_ptr<MemoryImage> stripImage,
                     const std::string& widthsPath)
    : m_fontData(std::make_shared<FontData>(host))
{
    m_fontData->LoadLegacy(std::move(stripImage), widthsPath);
    m_pointSize = m_fontData->defaultPointSize;
}

ImageFont::ImageFont(std::shared_ptr<FontData> fontData) : m_fontData(std::move(fontData))
{
    m_pointSize = m_fontData->defaultPointSize;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), m_fontData(other.m_fontData), m_pointSize(other.m_pointSize),
      m_tags(other.m_tags), m_scale(other.m_scale)
{
    if (other.m_activeLayersValid.load(std::memory_order_acquire))
    {
        m_activeLayers = other.m_activeLayers;
        m_activeLayersValid.store(true, std::memory_order_relaxed);
    }
}

ImageFont::~ImageFont() = default;

bool ImageFont::IsLoaded() const
{
    return m_fontData->loaded;
}

int ImageFont::Ascent() const
{
    EnsureMetrics();
    return Font::Ascent();
}

int ImageFont::AscentPadding() const
{
    EnsureMetrics();
    return Font::AscentPadding();
}

int ImageFont::Descent() const
{
    EnsureMetrics();
    return Font::Descent();
}

int ImageFont::Height() const
{
    EnsureMetrics();
    return Font::Height();
}

int ImageFont::LineSpacingOffset() const
{
    EnsureMetrics();
    return Font::LineSpacingOffset();
}

int ImageFont::LineSpacing() const
{
    EnsureMetrics();
    return Font::LineSpacing();
}

std::unique_ptr<Font> ImageFont::Clone() const
{
    return std::make_unique<ImageFont>(*this);
}

void ImageFont::EnsureActiveLayers()
{
    // Measuring and drawing may both come first, from different threads.
    if (m_activeLayersValid.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(m_activeLayersLock);
    if (!m_activeLayersValid.load(std::memory_order_relaxed))
    {
        BuildActiveLayers();
        m_activeLayersValid.store(true, std::memory_order_release);
    }
}

void ImageFont::BuildActiveLayers()
{
    if (!m_fontData->loaded)
        return;
    m_activeLayers.clear();
    ascent = 0;
    ascentPadding = 0;
    height = 0;
    lineSpacingOffset = 0;
    bool first = true;

    for (const auto& layerPtr : m_fontData->layers)
    {
        const FontLayer& layer = *layerPtr;
        if (m_pointSize < layer.minPointSize)
            continue;
        if (layer.maxPointSize != -1 && layer.maxPointSize < m_pointSize)
            continue;
        bool usable = true;
        for (const std::string& tag : layer.requiredTags)
            usable = usable && Contains(m_tags, tag);
        for (const std::string& tag : m_tags)
            usable = usable && !Contains(layer.excludedTags, tag);
        if (!usable)
            continue;

        const bool scaled =
            m_scale != 1.0 || (layer.pointSize != 0 && layer.pointSize != m_pointSize);
        double r = 1.0;
        if (scaled)
            r = layer.pointSize == 0 ? m_scale : m_pointSize * m_scale / layer.pointSize;

        ActiveFontLayer active;
        active.baseLayer = &layer;
        if (!scaled)
        {
            active.image = layer.image;
            for (size_t i = 0; i < kFontCharCount; ++i)
                active.glyphRects[i] = layer.glyphs[i].imageRect;
        }
        else
        {
            int64_t x = 0;
            int64_t maxHeight = 0;
            for (size_t i = 0; i < kFontCharCount; ++i)
            {
                const Rect& src = layer.glyphs[i].imageRect;
                const int32_t w = std::max(0, Truncate(src.width * r));
                const int32_t h = std::max(0, Truncate(src.height * r));
                active.glyphRects[i] = Rect{Clamp32(x), 0, w, h};
                x += w;
                maxHeight = std::max<int64_t>(maxHeight, h);
            }
            auto image = std::make_unique<MemoryImage>();
            // A size the image cannot hold leaves the layer without glyphs.
            if (x > 0 && maxHeight > 0 && x * maxHeight <= MemoryImage::kMaxPixels && layer.image)
            {
                image->Create(static_cast<int>(x), static_cast<int>(maxHeight));
                Graphics g(image.get());
                for (size_t i = 0; i < kFontCharCount; ++i)
                {
                    const Rect& src = layer.glyphs[i].imageRect;
                    const Rect& dst = active.glyphRects[i];
                    if (src.width > 0 && src.height > 0 && dst.width > 0 && dst.height > 0)
                        g.DrawImage(layer.image, dst, src);
                }
                image->ConvertToPalette();
            }
            else
                active.glyphRects.fill(Rect{});
            active.SetOwnedImage(std::move(image));
        }
        m_activeLayers.push_back(std::move(active));

        const int32_t layerHeight = layer.height != 0 ? layer.height : layer.measuredHeight;
        ascent = std::max(ascent, Truncate(layer.ascent * r));
        height = std::max(height, Truncate(layerHeight * r));
        const int32_t padding = Truncate(layer.ascentPadding * r);
        const int32_t spacingOffset = Truncate(layer.lineSpacingOffset * r);
        ascentPadding = first ? padding : std::min(ascentPadding, padding);
        lineSpacingOffset = first ? spacingOffset : std::max(lineSpacingOffset, spacingOffset);
        first = false;
    }
}

uint16_t ImageFont::Slot(char32_t ch) const
{
    return ch < kFontCharCount ? m_fontData->charMap[ch] : 0;
}

int ImageFont::GlyphAdvance(char32_t ch, char32_t previous)
{
    EnsureActiveLayers();
    if (!m_fontData->loaded)
        return 0;
    const uint16_t c = Slot(ch);
    const uint16_t p = previous != 0 ? Slot(previous) : 0;
    int32_t result = 0;
    for (const ActiveFontLayer& active : m_activeLayers)
    {
        const FontLayer& layer = *active.baseLayer;
        double width = layer.glyphs[c].width;
        double kern = previous != 0 ? double(layer.glyphs[p].kerning[c]) + layer.spacing : 0.0;
        const double factor =
            layer.pointSize != 0 ? m_pointSize * m_scale / layer.pointSize : m_scale;
        result = std::max<int32_t>(result, Clamp32(int64_t(Truncate(width * factor)) +
                                                    Truncate(kern * factor)));
    }
    return std::max(result, 0);
}

int ImageFont::TextWidth(const std::string& text)
{
    int64_t width = 0;
    char32_t previous = 0;
    for (size_t pos = 0; pos < text.size();)
    {
        const char32_t c = TextEncoding::Next(text, pos);
        width += GlyphAdvance(c, previous);
        previous = c;
    }
    return Clamp32(width);
}

void ImageFont::DrawText(Graphics* g, int x, int y, const std::string& text, const Color& color,
                         const Rect& clipRect)
{
    DrawTextEx(g, x, y, text, color, clipRect, nullptr, nullptr);
}

void ImageFont::DrawTextEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                           const Rect& clipRect, std::vector<Rect>* glyphRects, int* width)
{
    (void)clipRect; // the context clips
    GlyphPool& pool = Pool();
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.first.fill(-1);
    pool.last.fill(-1);
    pool.used = 0;
    if (glyphRects)
        glyphRects->clear();

    if (!m_fontData->loaded)
    {
        if (width)
            *width = 0;
        return;
    }
    EnsureActiveLayers();
    const bool savedTint = g->GetTintImages();
    g->SetTintImages(true);

    // What each layer gives every glyph of this call: its scale and its
    // colour, worked out once instead of per glyph.
    auto channel = [](int32_t mult, int32_t base, int32_t add) {
        return std::clamp<int64_t>(int64_t(mult) * base / 255 + add, 0, 255);
    };
    m_layerCache.clear();
    for (const ActiveFontLayer& active : m_activeLayers)
    {
        const FontLayer& layer = *active.baseLayer;
        LayerCall call;
        call.factor = layer.pointSize != 0 ? m_scale * m_pointSize / layer.pointSize : m_scale;
        call.color = Color(int32_t(channel(layer.colorMult.red, color.red, layer.colorAdd.red)),
                           int32_t(channel(layer.colorMult.green, color.green, layer.colorAdd.green)),
                           int32_t(channel(layer.colorMult.blue, color.blue, layer.colorAdd.blue)),
                           int32_t(channel(layer.colorMult.alpha, color.alpha, layer.colorAdd.alpha)));
        m_layerCache.push_back(call);
    }

    int64_t curX = x;
    bool poolFull = false;
    size_t pos = 0;
    bool more = !text.empty();
    char32_t following = more ? TextEncoding::Next(text, pos) : 0;
    while (more && !poolFull)
    {
        const uint16_t c = Slot(following);
        more = pos < text.size();
        following = more ? TextEncoding::Next(text, pos) : 0;
        const uint16_t n = more ? Slot(following) : 0;
        int64_t nextX = curX;
        for (size_t layerIndex = 0; layerIndex < m_activeLayers.size(); ++layerIndex)
        {
            if (pool.used >= kMaxGlyphCommands)
            {
                poolFull = true;
                break;
            }
            const ActiveFontLayer& active = m_activeLayers[layerIndex];
            const FontLayer& layer = *active.baseLayer;
            const FontGlyph& glyph = layer.glyphs[c];
            const double f = m_layerCache[layerIndex].factor;
            int64_t advance, kern, glyphX, glyphY;
            if (f == 1.0)
            {
                advance = glyph.width;
                kern = n ? int64_t(glyph.kerning[n]) + layer.spacing : 0;
                glyphX = curX + int64_t(layer.offsetX) + glyph.offsetX;
                glyphY = int64_t(y) - (int64_t(layer.ascent) - glyph.offsetY - layer.offsetY);
            }
            else
            {
                advance = Truncate(f * glyph.width);
                kern = n ? Truncate(f * (double(glyph.kerning[n]) + layer.spacing)) : 0;
                glyphX = curX + Truncate(f * (double(layer.offsetX) + glyph.offsetX));
                glyphY = int64_t(y) -
                         Truncate(f * (double(layer.ascent) - glyph.offsetY - layer.offsetY));
            }
            const Color& glyphColor = m_layerCache[layerIndex].color;

            const Rect& rect = active.glyphRects[c];
            const int bucket =
                static_cast<int>(std::clamp<int64_t>(int64_t(glyph.order) + layer.baseOrder + 128, 0, 255));
            const int index = pool.used++;
            pool.commands[index] = GlyphCommand{active.image, Clamp32(glyphX), Clamp32(glyphY),
                                                rect, glyphColor, layer.drawMode, -1};
            if (pool.last[bucket] < 0)
                pool.first[bucket] = index;
            else
                pool.commands[pool.last[bucket]].next = index;
            pool.last[bucket] = index;

            if (glyphRects)
                glyphRects->push_back(Rect{Clamp32(glyphX), Clamp32(glyphY), rect.width, rect.height});
            nextX = std::max(nextX, curX + advance + kern);
        }
        if (!poolFull)
            curX = std::clamp<int64_t>(nextX, INT32_MIN, INT32_MAX);
    }
    if (width)
        *width = Clamp32(curX - x);

    const Color savedColor = g->GetColor();
    for (int bucket = 0; bucket < 256; ++bucket)
    {
        for (int index = pool.first[bucket]; index >= 0; index = pool.commands[index].next)
        {
            const GlyphCommand& command = pool.commands[index];
            if (!command.image)
                continue;
            const int savedMode = g->GetDrawMode();
            if (command.drawMode != -1)
                g->SetDrawMode(command.drawMode);
            g->SetColor(command.color);
            g->DrawImage(command.image, command.x, command.y, command.rect);
            g->SetDrawMode(savedMode);
        }
    }
    g->SetColor(savedColor);
    g->SetTintImages(savedTint);
}

void ImageFont::SetPointSize(int size)
{
    m_pointSize = size;
    m_activeLayersValid.store(false, std::memory_order_relaxed);
}

void ImageFont::SetScale(double scale)
{
    m_scale = scale;
    m_activeLayersValid.store(false, std::memory_order_relaxed);
}

int ImageFont::GetDefaultPointSize() const
{
    return m_fontData->defaultPointSize;
}

bool ImageFont::AddTag(const std::string& tag)
{
    if (HasTag(tag))
        return false;
    m_tags.push_back(Upper(tag));
    m_activeLayersValid.store(false, std::memory_order_relaxed);
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag)
{
    auto it = std::find(m_tags.begin(), m_tags.end(), Upper(tag));
    if (it == m_tags.end())
        return false;
    m_tags.erase(it);
    m_activeLayersValid.store(false, std::memory_order_relaxed);
    return true;
}

bool ImageFont::HasTag(const std::string& tag) const
{
    return Contains(m_tags, Upper(tag));
}

std::string ImageFont::GetDefineText(const std::string& name) const
{
    return m_fontData->GetDefineText(name);
}

} // namespace Quillo
