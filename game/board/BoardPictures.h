#pragma once

#include <array>
#include <memory>
#include <string>

namespace Quillo
{
class Image;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

// The per-picture images of the balls (built once when the game's
// resources are loaded), the bonus icons, and the making of a level's gate
// strip.
class BoardPictures
{
public:
    static constexpr int kPictures = 13;
    static constexpr int kBonusKinds = 5;
    static constexpr int kGateCels = 21;
    static constexpr int kGateCelSize = 90;

    BoardPictures();
    ~BoardPictures();
    BoardPictures(BoardPictures&&) noexcept;
    BoardPictures& operator=(BoardPictures&&) noexcept;

    // Faces: "gfx//empty" with cel 0 of picBack and "gfx//pic_%02d" over it;
    // hints: the picture in grey at 40 percent alpha; icons "gfx//bonus_%s".
    // Missing files leave empty images; the result is the first missing
    // file's path (empty when every file was there). root is prepended to
    // every path.
    std::string Build(Quillo::MemoryImage* picBack, const std::string& root);

    // The level's gate strip: the 21 cels of source, each turned about its
    // centre by angleDegrees (not turned when rotate is false).
    static std::unique_ptr<Quillo::MemoryImage> MakeGateStrip(Quillo::Image* source,
                                                              float angleDegrees, bool rotate);
    // Loads an image file into a memory image; null when it is missing.
    static std::unique_ptr<Quillo::MemoryImage> LoadImage(const std::string& path);

    Quillo::MemoryImage* Face(int type) const;
    Quillo::MemoryImage* Hint(int type) const;
    Quillo::MemoryImage* BonusIcon(int kind) const;

    // Test and tool hook: installs ready-made images.
    void SetFace(int type, std::unique_ptr<Quillo::MemoryImage> image);
    void SetHint(int type, std::unique_ptr<Quillo::MemoryImage> image);
    void SetBonusIcon(int kind, std::unique_ptr<Quillo::MemoryImage> image);

    static const char* BonusName(int kind);

private:
    std::array<std::unique_ptr<Quillo::MemoryImage>, kPictures> m_faces;
    std::array<std::unique_ptr<Quillo::MemoryImage>, kPictures> m_hints;
    std::array<std::unique_ptr<Quillo::MemoryImage>, kBonusKinds> m_bonusIcons;
};

} // namespace Spindrel
