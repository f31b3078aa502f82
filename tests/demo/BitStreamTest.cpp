#include "framework/app/BitReader.h"
#include "framework/app/BitWriter.h"

#include <gtest/gtest.h>

using namespace Quillo;

TEST(BitStream, FieldsGoLeastSignificantBitFirstAcrossBytes)
{
    BitWriter w;
    w.WriteBits(0b101, 3);
    w.WriteByte(0xFF);
    w.WriteBits(1, 1);
    EXPECT_EQ(w.BitCount(), 12u);
    ASSERT_EQ(w.Bytes().size(), 2u);
    EXPECT_EQ(w.Bytes()[0], 0b11111101);
    EXPECT_EQ(w.Bytes()[1], 0b00001111);

    BitReader r(w.Bytes().data(), w.Bytes().size());
    EXPECT_EQ(r.ReadBits(3), 0b101u);
    EXPECT_EQ(r.ReadByte(), 0xFF);
    EXPECT_EQ(r.ReadBits(1), 1u);
}

TEST(BitStream, SignedFieldsAreSignExtended)
{
    BitWriter w;
    for (int v : {-32, -1, 0, 31})
        w.WriteBits(static_cast<uint32_t>(v), 6);
    w.WriteBits(static_cast<uint32_t>(-2), 3);
    w.WriteBits(static_cast<uint32_t>(-128), 8);
    w.Write32(0x89ABCDEF);
    BitReader r(w.Bytes().data(), w.Bytes().size());
    for (int v : {-32, -1, 0, 31})
        EXPECT_EQ(r.ReadSigned(6), v);
    EXPECT_EQ(r.ReadSigned(3), -2);
    EXPECT_EQ(r.ReadSigned(8), -128);
    EXPECT_EQ(r.Read32(), 0x89ABCDEFu);
}

TEST(BitStream, ReadingPastTheEndEndsTheStreamForGood)
{
    const uint8_t data[2] = {0xFF, 0xFF};
    BitReader r(data, 2);
    EXPECT_EQ(r.ReadBits(12), 0xFFFu);
    EXPECT_EQ(r.ReadBits(5), 0u);
    EXPECT_TRUE(r.Overrun());
    EXPECT_EQ(r.ReadBits(1), 0u) << "no bits come back after an overrun";
    EXPECT_TRUE(r.AtEnd());

    BitReader r2(data, 2);
    std::vector<uint8_t> out;
    EXPECT_FALSE(r2.ReadBytes(0xFFFFFFFFu, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(r2.Overrun());
}
