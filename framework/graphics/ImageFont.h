#pragma once

#include "framework/graphics/ActiveFontLayer.h"
#include "framework/graphics/Font.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Quillo
{

class FontData;
class FontHost;
class MemoryImage;

// A font drawn from glyph images, possibly several stacked layers, as a
// font descriptor describes it. Clones share the parsed descriptor. A font
// whose descriptor failed to load measures 0 and draws nothing.
class ImageFont : public Font
{
public:
    // Commands drawn by one DrawTextEx call at most; the rest of a longer
    // text is neither drawn nor measured.
    static constexpr int kMaxGlyphCommands = 4096;

    ImageFont(FontHost& host, const std::string& descriptorPath);
    // The older form: one layer cut from a glyph strip by a widths file.
    ImageFont(FontHost& host, std::shared_ptr<MemoryImage> stripImage, const std::string& widthsPath);
    // A font on data that is already loaded (or failed to load).
    explicit ImageFont(std::shared_ptr<FontData> fontData);
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    int Ascent() const override;
    int AscentPadding() const override;
    int Descent() const override;
    int Height() const override;
    int LineSpacingOffset() const override;
    int LineSpacing() const override;
    int TextWidth(const std::string& text) override;
    int GlyphAdvance(char32_t ch, char32_t previous) override;
    void DrawText(Graphics* g, int x, int y, const std::string& text, const Color& color,
                  const Rect& clipRect) override;
    std::unique_ptr<Font> Clone() const override;

    virtual void BuildActiveLayers();
    // y is the baseline, x the left edge. glyphRects receives where each
    // glyph of each layer went; width the advance of the whole text.
    virtual void DrawTextEx(Graphics* g, int x, int y, const std::string& text, const Color& color,
                            const Rect& clipRect, std::vector<Rect>* glyphRects, int* width);
    virtual void SetPointSize(int size);
    virtual int GetPointSize() const { return m_pointSize; }
    virtual void SetScale(double scale);
    virtual int GetDefaultPointSize() const;
    virtual bool AddTag(const std::string& tag);
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag) const;
    virtual std::string GetDefineText(const std::string& name) const;
    virtual void EnsureActiveLayers();

    bool IsLoaded() const;
    const FontData& GetFontData() const { return *m_fontData; }
    const std::vector<ActiveFontLayer>& GetActiveLayers() const { return m_activeLayers; }

private:
    // The glyph slot of a character after the descriptor's character map.
    uint16_t Slot(char32_t ch) const;
    // The metrics are built lazily, also from the const accessors.
    void EnsureMetrics() const { const_cast<ImageFont*>(this)->EnsureActiveLayers(); }

    std::shared_ptr<FontData> m_fontData;
    int m_pointSize = 0;
    std::vector<std::string> m_tags;
    // Set once the active layers and metrics are built, under the lock.
    std::atomic<bool> m_activeLayersValid{false};
    std::mutex m_activeLayersLock;
    std::vector<ActiveFontLayer> m_activeLayers;
    double m_scale = 1.0;
    // Per active layer, for the text being drawn (under the glyph pool's lock).
    struct LayerCall
    {
        double factor = 1.0;
        Color color;
    };
    std::vector<LayerCall> m_layerCache;
};

} // namespace Quillo
