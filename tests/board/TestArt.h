#pragma once

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "game/board/Board.h"
#include "game/board/GameResources.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace BoardTest
{

// Pictures drawn by formula, standing in for the game's art.
class TestArt
{
public:
    using Shader = std::function<uint32_t(int x, int y)>;

    Quillo::MemoryImage* Make(int w, int h, int cels, const Shader& shade)
    {
        auto image = std::make_unique<Quillo::MemoryImage>();
        image->Create(w, h);
        uint32_t* bits = image->GetBits();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits[y * w + x] = shade(x, y);
        image->MarkBitsChanged();
        image->numCols = cels;
        m_images.push_back(std::move(image));
        return m_images.back().get();
    }

    std::unique_ptr<Quillo::MemoryImage> MakeOwned(int w, int h, const Shader& shade)
    {
        Make(w, h, 1, shade);
        auto image = std::move(m_images.back());
        m_images.pop_back();
        return image;
    }

    // A disc of colour rgb in a cell of size s at cell position (cx, cy).
    static uint32_t Disc(int x, int y, int size, uint32_t rgb, float radiusShare = 0.45f)
    {
        const float c = (static_cast<float>(size) - 1) / 2;
        const float d = std::hypot(static_cast<float>(x) - c, static_cast<float>(y) - c);
        const float r = static_cast<float>(size) * radiusShare;
        if (d > r)
            return 0;
        const uint32_t shade = static_cast<uint32_t>(255 - 90 * d / r);
        const uint32_t red = ((rgb >> 16) & 0xFF) * shade / 255;
        const uint32_t green = ((rgb >> 8) & 0xFF) * shade / 255;
        const uint32_t blue = (rgb & 0xFF) * shade / 255;
        return 0xFF000000u | (red << 16) | (green << 8) | blue;
    }

    // Fills every handle the board draws with, and the picture sets.
    void Fill(Spindrel::GameResources& res, Spindrel::BoardPictures& pictures)
    {
        res.spr_picBack = Make(240, 60, 4, [](int x, int y) {
            return Disc(x % 60, y, 60, 0x404A70 + static_cast<uint32_t>(x / 60) * 0x101008);
        });
        res.spr_picRot = Make(600, 60, 10, [](int x, int y) {
            const int cel = x / 60;
            const float share = 0.45f * std::fabs(std::cos(static_cast<float>(cel) * 0.35f)) + 0.05f;
            return Disc(x % 60, y, 60, 0xA0A0C0, share);
        });
        res.spr_picGlow = Make(80, 80, 1, [](int x, int y) {
            const float d = std::hypot(static_cast<float>(x) - 39.5f, static_cast<float>(y) - 39.5f);
            return d > 33 && d < 39 ? 0xA0FFE070u : 0u;
        });
        res.IMAGE_WARNING_POINT = Make(160, 40, 4, [](int x, int y) {
            return Disc(x % 40, y, 40, 0xFFFFFF, 0.1f + 0.08f * static_cast<float>(x / 40));
        });
        res.IMAGE_CHIPS = Make(300, 60, 5, [](int x, int y) {
            return ((x % 60) / 6 + y / 6 + x / 60) % 3 == 0 ? 0xFFFFD040u : 0u;
        });
        res.IMAGE_BOMB_BLAST = Make(100, 100, 1, [](int x, int y) {
            return Disc(x, y, 100, 0xFF8020, 0.5f);
        });
        res.IMAGE_INGAME_UP = Make(800, 24, 1, [](int x, int) { return 0xFF303848u + (x / 100 % 2) * 0x080808u; });
        res.IMAGE_INGAME_DOWN = Make(800, 70, 1, [](int, int y) { return y < 10 ? 0u : 0xFF283040u; });
        res.IMAGE_BAR_UP = Make(300, 12, 1, [](int x, int) { return 0xFFE04040u + static_cast<uint32_t>(x / 3); });
        res.IMAGE_BAR_DOWN = Make(220, 12, 1, [](int x, int) { return 0xFF40C040u + static_cast<uint32_t>(x / 3); });
        res.spr_light_small_bar = Make(224, 22, 1, [](int, int y) { return y % 4 < 2 ? 0x80FFFFFFu : 0u; });
        res.spr_light_big_bar = Make(310, 20, 1, [](int, int y) { return y % 4 < 2 ? 0x80FFFF80u : 0u; });
        res.spr_gate_bord = Make(92, 92, 1, [](int x, int y) {
            return x < 2 || y < 2 || x > 89 || y > 89 ? 0xFFC0A060u : 0u;
        });
        static const uint32_t kColors[13] = {0xE04040, 0xE040E0, 0x40E040, 0x4040E0, 0xE0E040,
                                             0x40E0E0, 0xF08020, 0x806060, 0xFFFFFF, 0x2080F0,
                                             0xF04080, 0x80F080, 0xC0C000};
        for (int t = 0; t < 13; ++t)
        {
            // A different mark per picture, dark on the face and pale as its hint.
            auto mark = [t](int x, int y) {
                return (x / 6 + y / 6) % (2 + t % 5) == 0 && std::hypot(x - 29.5f, y - 29.5f) < 16;
            };
            pictures.SetFace(t, MakeOwned(60, 60, [color = kColors[t], mark](int x, int y) {
                                 const uint32_t disc = Disc(x, y, 60, color);
                                 return mark(x, y) && disc ? 0xFF101010u : disc;
                             }));
            pictures.SetHint(t, MakeOwned(60, 60, [mark](int x, int y) { return mark(x, y) ? 0x66C0C0C0u : 0u; }));
        }
        for (int k = 0; k < 5; ++k)
            pictures.SetBonusIcon(k, MakeOwned(60, 60, [k](int x, int y) {
                                      return std::abs(x - 30) + std::abs(y - 30) < 8 + 3 * k ? 0xFFFFFF00u : 0u;
                                  }));
    }

    // The level background and the gate cels as image files beside a track.
    static void WriteTrackImages(const std::string& root)
    {
        Quillo::ImageLib::Image bg(800, 600);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                bg.bits[static_cast<size_t>(y * 800 + x)] =
                    0xFF000000u | static_cast<uint32_t>(20 + y / 10) << 16 |
                    static_cast<uint32_t>(40 + x / 20) << 8 | 60u;
        Quillo::ImageLib::WritePNG(root + "/levels/bg01.png", bg);
        Quillo::ImageLib::Image gate(1890, 90);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 1890; ++x)
            {
                const int cel = x / 90;
                const int lx = x % 90;
                const bool door = lx > 15 && lx < 75 && y > 10 && y < 80 && y < 80 - 3 * cel;
                const bool post = (lx < 15 || lx >= 75) && y < 30;
                gate.bits[static_cast<size_t>(y * 1890 + x)] =
                    door ? 0xFF806040u : post ? 0xFFD0D0D0u : 0u;
            }
        std::filesystem::create_directories(root + "/gfx");
        Quillo::ImageLib::WritePNG(root + "/gfx/gate3.png", gate);
    }

private:
    std::vector<std::unique_ptr<Quillo::MemoryImage>> m_images;
};

} // namespace BoardTest
