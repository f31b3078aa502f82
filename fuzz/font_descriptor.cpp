// Feeds arbitrary descriptor text to the font parser, then measures and
// draws with whatever font came out: no input may crash, hang or read
// outside the glyph image.
#include "framework/graphics/FontData.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace
{

// Every image path loads as the same small glyph sheet.
class SheetHost : public Quillo::FontHost
{
public:
    std::unique_ptr<Quillo::MemoryImage> LoadDisplayImage(const std::string& path) override
    {
        if (path.find("missing") != std::string::npos)
            return nullptr;
        std::vector<uint32_t> pixels(12 * 8);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (i * 2654435761u) | 0x80000000u;
        auto image = std::make_unique<Quillo::MemoryImage>();
        image->SetBits(pixels.data(), 12, 8);
        return image;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SheetHost host;
    auto fontData = std::make_shared<Quillo::FontData>(host);
    fontData->LoadDescriptor("fonts/fuzz.txt",
                             std::string_view(reinterpret_cast<const char*>(data), size));
    Quillo::ImageFont font(fontData);
    // Keep the scaled glyph sheets small: only modest sizes are tried.
    const int size0 = font.GetPointSize();
    font.SetPointSize(size0 >= 0 && size0 <= 48 ? size0 : 12);
    std::string text;
    for (int c = 0; c < 256; c += 7)
        text += static_cast<char>(c);
    font.TextWidth(text);
    font.AddTag("shadow");
    (void)font.Height();
    std::vector<uint32_t> pixels(40 * 20, 0xFF000000);
    Quillo::MemoryImage canvas;
    canvas.SetBits(pixels.data(), 40, 20);
    Quillo::Graphics g(&canvas);
    std::vector<Quillo::Rect> rects;
    int width = 0;
    font.DrawTextEx(&g, 2, 12, text, Quillo::Color::White, g.GetClipRect(), &rects, &width);
    std::unique_ptr<Quillo::Font> clone = font.Clone();
    clone->DrawText(&g, -5, 3, "AbC", Quillo::Color(10, 20, 30, 40), g.GetClipRect());
    if (!canvas.GuardIntact())
        __builtin_trap();
    return 0;
}
