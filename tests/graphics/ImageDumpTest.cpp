#include "TestImages.h"

#include "../support/TempDir.h"

#include "framework/graphics/ImageDump.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/platform/FileSystem.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Quillo;
using QuilloTest::Argb;

TEST(ImageDump, WritesEveryImageWithPixelsLargestFirstAndListsTheirFlags)
{
    TempDir dir;
    ImageRegistry registry;
    MemoryImage small(registry), large(registry), empty(registry);
    const std::vector<uint32_t> px{Argb(255, 1, 2, 3), Argb(0, 0, 0, 0), Argb(128, 9, 8, 7), Argb(255, 4, 5, 6)};
    small.SetBits(px.data(), 2, 2);
    ASSERT_TRUE(small.ConvertToPalette());
    std::vector<uint32_t> big(30 * 20, Argb(255, 200, 100, 50));
    large.SetBits(big.data(), 30, 20);
    large.GetRLAlpha();

    const std::string folder = dir / "dump";
    ASSERT_EQ(WriteImageDump(registry, folder), 2);

    auto first = ImageLib::ReadPNG(folder + "/image0001.png");
    auto second = ImageLib::ReadPNG(folder + "/image0002.png");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->width, 30);
    EXPECT_EQ(first->bits[0], Argb(255, 200, 100, 50));
    ASSERT_EQ(second->width, 2);
    EXPECT_EQ(std::vector<uint32_t>(second->bits.get(), second->bits.get() + 4), px);
    EXPECT_FALSE(FileSystem::Exists(folder + "/image0003.png"));

    const auto index = FileSystem::ReadTextFile(folder + "/index.html");
    ASSERT_TRUE(index);
    EXPECT_NE(index->find("<th>mBits</th><th>Palletized</th><th>NativeAlpha</th><th>RLAlpha</th>"), std::string::npos);
    // The large image: bits and run lengths, opaque (no alpha, no transparency).
    EXPECT_NE(index->find("30x20</td><td>3000</td><td>1</td><td>0</td><td>0</td><td>1</td><td>0</td><td>0</td><td>0</td>"),
              std::string::npos)
        << *index;
    // The small one: palettized only, with partial alpha and transparency.
    EXPECT_NE(index->find("2x2</td><td>1028</td><td>0</td><td>1</td><td>0</td><td>0</td><td>0</td><td>1</td><td>1</td>"),
              std::string::npos)
        << *index;
}

TEST(ImageDump, AFolderThatCannotBeMadeGivesMinusOne)
{
    TempDir dir;
    ImageRegistry registry;
    std::ofstream(dir / "file") << "x";
    EXPECT_EQ(WriteImageDump(registry, dir / "file/dump"), -1);
}
