#pragma once

#include "framework/graphics/Font.h"

#include <memory>
#include <string>

namespace Quillo
{

// A scalable system font, rasterised with antialiasing. The face name picks
// the installed face of a generic family ("Mono"/"Courier" the monospaced
// one, "Serif"/"Times" the serif one, anything else the sans one) through
// the system's font configuration, or names a font file directly. Sizes
// are points at 96 pixels per inch.
class SysFont : public Font
{
public:
    SysFont(const std::string& faceName, int pointSize, int charSet = 0, bool bold = false,
            bool italic = false, bool underline = false);
    SysFont(const SysFont&) = delete;
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    int TextWidth(const std::string& text) override;
    // The text box's top-left is (x, y - ascent + 1) after translation; the
    // colour's alpha is ignored. Draws only onto memory images.
    void DrawText(Graphics* g, int x, int y, const std::string& text, const Color& color,
                  const Rect& clipRect) override;
    std::unique_ptr<Font> Clone() const override;

    // False when no font file could be opened; such a font measures and draws nothing.
    bool IsLoaded() const;
    const std::string& GetFontFile() const;

    // The font file a face name and style resolve to; empty when no font
    // is installed (a named file may not exist).
    static std::string FontFileFor(const std::string& faceName, bool bold, bool italic);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::string m_faceName;
    int m_pointSize;
    int m_charSet;
    bool m_bold;
    bool m_italic;
    bool m_underline;
};

} // namespace Quillo
