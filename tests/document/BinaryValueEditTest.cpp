// Byte ranges of a binary value: every offset and count is checked against
// the value and the new length against the 32-bit length a field stores,
// before any byte moves; the value's file is read only when it is a regular
// file a value can hold.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "KVTBinaryFile.h"
#include "KVTBinarySplice.h"
#include "TempDir.h"

namespace {

std::string Bytes(const CKvtNodeBINARY& node)
{
    return std::string(reinterpret_cast<const char*>(node.m_pData), BinaryValueSize(node));
}

bool Splice(CKvtNodeBINARY& node, uint32_t nOffset, uint32_t nRemove, const std::string& sInsert)
{
    return SpliceBinaryValue(node, nOffset, nRemove, reinterpret_cast<const uint8_t*>(sInsert.data()),
                             static_cast<uint32_t>(sInsert.size()));
}

} // namespace

TEST(BinaryValueEdit, RangesInsideTheValueChangeItAndOthersAreRefused)
{
    CKvtNodeBINARY node;
    EXPECT_TRUE(Splice(node, 0, 0, "abcdef"));
    EXPECT_TRUE(Splice(node, 2, 2, "XY"));
    EXPECT_EQ(Bytes(node), "abXYef");
    EXPECT_TRUE(Splice(node, 6, 0, "!"));
    EXPECT_TRUE(Splice(node, 0, 1, ""));
    EXPECT_EQ(Bytes(node), "bXYef!");
    for (const auto& [nOffset, nRemove] : {std::pair<uint32_t, uint32_t>{7, 0}, {6, 1}, {3, 4}, {1, UINT32_MAX},
                                           {UINT32_MAX, 1}}) {
        EXPECT_FALSE(Splice(node, nOffset, nRemove, "zz")) << nOffset << " " << nRemove;
        EXPECT_EQ(Bytes(node), "bXYef!");
    }
    EXPECT_FALSE(SpliceBinaryValue(node, 0, 0, nullptr, 1));
    // Growing keeps room for more; the room is used in place.
    const uint8_t* pBuffer = node.m_pData;
    EXPECT_GT(node.m_nCapacity, node.m_nDataSize);
    EXPECT_TRUE(Splice(node, 3, 0, "+-"));
    EXPECT_EQ(node.m_pData, pBuffer);
    EXPECT_EQ(Bytes(node), "bXY+-ef!");
    EXPECT_TRUE(Splice(node, 3, 2, ""));
    EXPECT_TRUE(Splice(node, 0, 6, ""));
    EXPECT_EQ(node.m_pData, nullptr);
    EXPECT_EQ(node.m_nDataSize, 0u);
}

TEST(BinaryValueEdit, ALengthPastFourGibibytesIsRefusedBeforeAnyCopy)
{
    // A length near the limit, without the memory behind it: the check
    // must come before the bytes are touched.
    CKvtNodeBINARY node;
    ASSERT_TRUE(Splice(node, 0, 0, "ab"));
    const uint32_t nRealSize = node.m_nDataSize;
    node.m_nDataSize = UINT32_MAX - 1;
    EXPECT_FALSE(Splice(node, 0, 0, "xyz"));
    EXPECT_FALSE(Splice(node, UINT32_MAX - 1, 0, "xy"));
    node.m_nDataSize = nRealSize;
    EXPECT_EQ(Bytes(node), "ab");
}

TEST(BinaryValueEdit, FilesAreReadWholeAndWrittenInPlaceOfTheOld)
{
    CTempDir dir;
    const std::string sPath = dir.File("value.bin");
    const std::string sBytes("\x00\x01\xFF value", 9);
    ASSERT_TRUE(WriteBinaryValueFile(sPath, reinterpret_cast<const uint8_t*>(sBytes.data()), 9));
    std::vector<uint8_t> read;
    ASSERT_TRUE(ReadBinaryValueFile(sPath, read));
    EXPECT_EQ(std::string(read.begin(), read.end()), sBytes);
    ASSERT_TRUE(WriteBinaryValueFile(sPath, nullptr, 0));
    ASSERT_TRUE(ReadBinaryValueFile(sPath, read));
    EXPECT_TRUE(read.empty());

    // A folder, a pipe and a missing file are not read; nothing is kept.
    read.assign(3, 7);
    const std::string sPipe = dir.File("pipe");
    ASSERT_EQ(mkfifo(sPipe.c_str(), 0600), 0);
    for (const std::string& sBad : {dir.Path(), sPipe, dir.File("missing.bin")}) {
        EXPECT_FALSE(ReadBinaryValueFile(sBad, read)) << sBad;
        EXPECT_EQ(read.size(), 3u);
    }
    EXPECT_FALSE(WriteBinaryValueFile(dir.File("no-folder/value.bin"), read.data(), 3));
    EXPECT_FALSE(WriteBinaryValueFile(dir.Path(), read.data(), 3));
}
