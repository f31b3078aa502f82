#include "game/board/BoardPictures.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"

#include <cstdio>

namespace Spindrel
{

namespace
{

constexpr const char* kBonusNames[BoardPictures::kBonusKinds] = {"eye", "rollback", "pause", "type",
                                                                 "bomb"};

template <typename Array>
Quillo::MemoryImage* At(const Array& images, int index)
{
    if (index < 0 || index >= static_cast<int>(images.size()))
        return nullptr;
    return images[static_cast<size_t>(index)].get();
}

} // namespace

BoardPictures::BoardPictures() = default;
BoardPictures::~BoardPictures() = default;
BoardPictures::BoardPictures(BoardPictures&&) noexcept = default;
BoardPictures& BoardPictures::operator=(BoardPictures&&) noexcept = default;

const char* BoardPictures::BonusName(int kind)
{
    return kind >= 0 && kind < kBonusKinds ? kBonusNames[kind] : "";
}

std::unique_ptr<Quillo::MemoryImage> BoardPictures::LoadImage(const std::string& path)
{
    auto pixels = Quillo::ImageLib::GetImage(path, true);
    if (!pixels || pixels->width <= 0 || pixels->height <= 0)
        return nullptr;
    auto image = std::make_unique<Quillo::MemoryImage>();
    image->SetBits(pixels->bits.get(), pixels->width, pixels->height);
    return image;
}

std::string BoardPictures::Build(Quillo::MemoryImage* picBack, const std::string& root)
{
    std::string missing;
    const auto load = [&](const std::string& path) {
        auto image = LoadImage(path);
        if (!image && missing.empty())
            missing = path;
        return image;
    };
    auto empty = load(root + "gfx//empty");
    for (int p = 1; p <= kPictures; ++p)
    {
        char name[32];
        std::snprintf(name, sizeof name, "gfx//pic_%02d", p);
        auto picture = load(root + name);

        auto face = std::make_unique<Quillo::MemoryImage>();
        face->Create(60, 60);
        Quillo::Graphics g(face.get());
        if (empty)
            g.DrawImage(empty.get(), 0, 0);
        if (picBack != nullptr)
            g.DrawImage(picBack, 0, 0, Quillo::Rect{0, 0, 60, 60});
        if (picture)
            g.DrawImage(picture.get(), 0, 0);
        m_faces[static_cast<size_t>(p - 1)] = std::move(face);

        auto hint = std::make_unique<Quillo::MemoryImage>();
        if (picture)
        {
            const int w = picture->GetWidth();
            const int h = picture->GetHeight();
            hint->Create(w, h);
            uint32_t* out = hint->GetBits();
            const uint32_t* in = picture->GetBits();
            for (int i = 0; i < w * h; ++i)
            {
                const uint32_t px = in[i];
                const double r = (px >> 16) & 0xFF;
                const double gr = (px >> 8) & 0xFF;
                const double b = px & 0xFF;
                const uint32_t grey = static_cast<uint32_t>(0.3 * r + 0.59 * gr + 0.11 * b);
                const uint32_t alpha = static_cast<uint32_t>(((px >> 24) & 0xFF) * 0.4);
                out[i] = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
            }
            hint->MarkBitsChanged();
        }
        m_hints[static_cast<size_t>(p - 1)] = std::move(hint);
    }
    for (int k = 0; k < kBonusKinds; ++k)
    {
        auto icon = load(root + "gfx//bonus_" + kBonusNames[k]);
        m_bonusIcons[static_cast<size_t>(k)] = icon ? std::move(icon) : std::make_unique<Quillo::MemoryImage>();
    }
    return missing;
}

std::unique_ptr<Quillo::MemoryImage> BoardPictures::MakeGateStrip(Quillo::Image* source,
                                                                  float angleDegrees, bool rotate)
{
    auto strip = std::make_unique<Quillo::MemoryImage>();
    if (source == nullptr || source->GetWidth() <= 0 || source->GetHeight() <= 0)
        return strip;
    strip->Create(source->GetWidth(), source->GetHeight());
    Quillo::Graphics g(strip.get());
    g.SetColor(Quillo::Color::White);
    const double angle = static_cast<double>(angleDegrees) * 0.01745329;
    for (int c = 0; c < kGateCels; ++c)
    {
        const Quillo::Rect cel{kGateCelSize * c, 0, kGateCelSize, kGateCelSize};
        if (rotate)
            g.DrawImageRotated(source, cel.x, 0, angle, kGateCelSize / 2, kGateCelSize / 2, cel);
        else
            g.DrawImage(source, cel.x, 0, cel);
    }
    strip->numCols = kGateCels;
    return strip;
}

Quillo::MemoryImage* BoardPictures::Face(int type) const { return At(m_faces, type); }
Quillo::MemoryImage* BoardPictures::Hint(int type) const { return At(m_hints, type); }
Quillo::MemoryImage* BoardPictures::BonusIcon(int kind) const { return At(m_bonusIcons, kind); }

void BoardPictures::SetFace(int type, std::unique_ptr<Quillo::MemoryImage> image)
{
    if (type >= 0 && type < kPictures)
        m_faces[static_cast<size_t>(type)] = std::move(image);
}

void BoardPictures::SetHint(int type, std::unique_ptr<Quillo::MemoryImage> image)
{
    if (type >= 0 && type < kPictures)
        m_hints[static_cast<size_t>(type)] = std::move(image);
}

void BoardPictures::SetBonusIcon(int kind, std::unique_ptr<Quillo::MemoryImage> image)
{
    if (kind >= 0 && kind < kBonusKinds)
        m_bonusIcons[static_cast<size_t>(kind)] = std::move(image);
}

} // namespace Spindrel
