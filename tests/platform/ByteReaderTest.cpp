// The bounded byte reader: reads at the very end, the failure that sticks,
// and offsets and lengths that would wrap in 32-bit arithmetic.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "bytereader.h"

namespace {

constexpr std::array<uint8_t, 7> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};

TEST(ByteReader, ReadsLittleAndBigEndianUpToTheEnd)
{
    CByteReader reader(kBytes);
    EXPECT_EQ(reader.U8(), 0x01);
    EXPECT_EQ(reader.U16(), 0x0302);
    EXPECT_EQ(reader.U32(), 0x07060504u);
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_TRUE(reader.Bytes(0).empty());
    EXPECT_TRUE(reader.Ok());

    CByteReader big(std::span(kBytes).first(4), TByteOrder::Big);
    EXPECT_EQ(big.U32(), 0x01020304u);
}

TEST(ByteReader, FirstFailureSticks)
{
    CByteReader reader(kBytes);
    reader.Seek(4);
    EXPECT_EQ(reader.U64(), 0u); // 3 bytes left
    EXPECT_FALSE(reader.Ok());
    reader.Seek(0);
    EXPECT_EQ(reader.U8(), 0u);
    EXPECT_TRUE(reader.Bytes(1).empty());
    EXPECT_FALSE(reader.Ok());
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ByteReader, SixtyFourBitOffsetsDoNotWrap)
{
    CByteReader seek(kBytes);
    seek.Seek(0x100000002ull); // 2 in 32 bits
    EXPECT_FALSE(seek.Ok());

    CByteReader take(kBytes);
    take.Skip(1);
    EXPECT_TRUE(take.Bytes(0xFFFFFFFFFFFFFFFFull).empty()); // 1 + n wraps to 0
    EXPECT_FALSE(take.Ok());

    CByteReader skip(kBytes);
    skip.Skip(0x100000000ull); // 0 in 32 bits
    EXPECT_FALSE(skip.Ok());

    CByteReader end(kBytes);
    end.Seek(kBytes.size());
    const std::span<const uint8_t> none = end.Bytes(0);
    EXPECT_TRUE(end.Ok());
    EXPECT_TRUE(none.empty());
    end.Seek(1);
    EXPECT_EQ(end.Bytes(2)[1], 0x03);
}

} // namespace
