#include "ArtData.h"

#include "framework/platform/FileSystem.h"

#include <cstdint>
#include <string>

namespace
{

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256, 512};

// The desktop's icons are painted beside the data folder, in "icons".
std::string IconFile(int size)
{
    const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
    return "../icons/" + dimensions + "/apps/com.tolvane.Spindrel.png";
}

} // namespace

// Every size is a round ball on a clear square, with the heart's red at its
// centre; at 16 px the heart still fills a good part of the picture.
TEST_F(ArtData, IconsAreTheBallAtEverySize)
{
    for (int size : kSizes)
    {
        SCOPED_TRACE(size);
        const auto icon = Quillo::ImageLib::ReadPNG(IconFile(size));
        ASSERT_TRUE(icon) << IconFile(size);
        ASSERT_EQ(icon->width, size);
        ASSERT_EQ(icon->height, size);
        auto at = [&](int x, int y) { return icon->bits[size_t(y) * size + x]; };
        for (uint32_t corner : {at(0, 0), at(size - 1, 0), at(0, size - 1), at(size - 1, size - 1)})
            EXPECT_EQ(Alpha(corner), 0) << "the corners stay clear";
        const uint32_t centre = at(size / 2, size / 2);
        EXPECT_EQ(Alpha(centre), 255);
        EXPECT_GT(Red(centre), Green(centre) + 60) << std::hex << centre;
        EXPECT_GT(Red(centre), Blue(centre) + 40) << std::hex << centre;

        int heart = 0;
        int opaque = 0;
        for (int i = 0; i < size * size; ++i)
        {
            const uint32_t p = icon->bits[i];
            opaque += Alpha(p) == 255;
            heart += Alpha(p) == 255 && Red(p) > Green(p) + 60 && Red(p) > Blue(p) + 40;
        }
        // The ball covers pi/4 of the square; the heart a good part of it.
        EXPECT_GT(opaque, size * size * 6 / 10);
        EXPECT_GT(heart, size * size * (size <= 32 ? 30 : 20) / 100);
    }
}

TEST_F(ArtData, TheWindowShowsTheDesktopsIcon)
{
    const auto window = Quillo::FileSystem::ReadFile("gfx/icon.png");
    const auto desktop = Quillo::FileSystem::ReadFile(IconFile(128));
    ASSERT_TRUE(window);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(*window, *desktop);
}
