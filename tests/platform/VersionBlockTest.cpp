// Version blocks in memory: building, querying, text conversion and damaged
// bytes, which must never be read outside the block.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "versionblock.h"
#include "versionblockbuilder.h"

namespace {

VersionInfo_st SampleInfo()
{
    VersionInfo_st info{{2, 0, 1, 5}, {}};
    info.tables.push_back({"040904E4", {{"FileDescription", "KVT Editor"}, {"FileVersion", "2.0.1.5"}, {"Odd", "caf\xE9"}}});
    info.tables.push_back({"040704B0", {{"FileDescription", "German"}}});
    return info;
}

bool Query(const std::vector<uint8_t>& block, const char* pPath, std::string& sValue)
{
    return VersionBlockQueryString(block.data(), block.size(), pPath, sValue);
}

std::string QueryOr(const std::vector<uint8_t>& block, const char* pPath, const char* pMissing = "<missing>")
{
    std::string sValue = pMissing;
    Query(block, pPath, sValue);
    return sValue;
}

// Offset of the first UTF-16LE copy of an ASCII text in the block.
size_t FindUtf16(const std::vector<uint8_t>& block, const std::string& sText)
{
    std::vector<uint8_t> pattern;
    for (char c : sText) {
        pattern.push_back(static_cast<uint8_t>(c));
        pattern.push_back(0);
    }
    for (size_t i = 0; i + pattern.size() <= block.size(); ++i) {
        if (std::equal(pattern.begin(), pattern.end(), block.begin() + static_cast<std::ptrdiff_t>(i)))
            return i;
    }
    ADD_FAILURE() << "not found: " << sText;
    return 0;
}

void PutWord(std::vector<uint8_t>& block, size_t nOffset, uint16_t nValue)
{
    block[nOffset] = static_cast<uint8_t>(nValue & 0xFF);
    block[nOffset + 1] = static_cast<uint8_t>(nValue >> 8);
}

TEST(VersionBlock, BuiltBlockAnswersItsStringsUnderTheirTable)
{
    const std::vector<uint8_t> block = BuildVersionBlock(SampleInfo());
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(VersionBlockSize(block.data(), block.size()), block.size());
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileDescription"), "KVT Editor");
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileVersion"), "2.0.1.5");
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\Odd"), "caf\xE9");
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040704B0\\FileDescription"), "German");
    // Keys compare without regard to case; leading and doubled separators do not matter.
    EXPECT_EQ(QueryOr(block, "\\stringfileinfo\\040904e4\\FILEVERSION"), "2.0.1.5");
    EXPECT_EQ(QueryOr(block, "StringFileInfo\\\\040904E4\\FileVersion"), "2.0.1.5");
}

TEST(VersionBlock, MissingKeysTablesAndNonTextNodesAreNotFound)
{
    const std::vector<uint8_t> block = BuildVersionBlock(SampleInfo());
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\Comments"), "<missing>");
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904B0\\FileVersion"), "<missing>");
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileVersion\\Deeper"), "<missing>");
    EXPECT_EQ(QueryOr(block, "\\VarFileInfo\\Translation"), "<missing>");
    EXPECT_EQ(QueryOr(block, "\\"), "<missing>");
    EXPECT_EQ(QueryOr(block, ""), "<missing>");
    std::string sValue = "kept";
    EXPECT_FALSE(VersionBlockQueryString(block.data(), block.size(), nullptr, sValue));
    EXPECT_FALSE(VersionBlockQueryString(nullptr, 0, "\\StringFileInfo", sValue));
    EXPECT_EQ(sValue, "kept");
}

TEST(VersionBlock, TextIsConvertedToCodePage1252)
{
    VersionInfo_st info{{1, 0, 0, 0}, {{"040904E4", {{"Text", "ABCD"}}}}};
    std::vector<uint8_t> block = BuildVersionBlock(info);
    const size_t nAt = FindUtf16(block, "ABCD");
    PutWord(block, nAt, 0x20AC);      // euro sign: 0x80 in code page 1252
    PutWord(block, nAt + 2, 0x4E2D);  // not in the code page
    PutWord(block, nAt + 4, 0xD83D);  // a surrogate pair is one character
    PutWord(block, nAt + 6, 0xDE00);
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\Text"), "\x80??");
}

TEST(VersionBlock, SizeNeedsTheWholeRootNodeWithItsKey)
{
    const std::vector<uint8_t> block = BuildVersionBlock(SampleInfo());
    std::vector<uint8_t> padded = block;
    padded.resize(block.size() + 100, 0);
    EXPECT_EQ(VersionBlockSize(padded.data(), padded.size()), block.size());
    EXPECT_EQ(VersionBlockSize(block.data(), block.size() - 1), 0u);
    EXPECT_EQ(VersionBlockSize(nullptr, 0), 0u);

    std::vector<uint8_t> otherKey = block;
    PutWord(otherKey, FindUtf16(otherKey, "VS_VERSION_INFO"), 'X');
    EXPECT_EQ(VersionBlockSize(otherKey.data(), otherKey.size()), 0u);
}

TEST(VersionBlock, DamagedLengthsAreRejectedInsideTheirParent)
{
    const std::vector<uint8_t> good = BuildVersionBlock(SampleInfo());
    const size_t nTable = FindUtf16(good, "040904E4") - 6;  // the table node's header
    const size_t nString = FindUtf16(good, "FileDescription") - 6;

    std::vector<uint8_t> block = good;
    PutWord(block, nTable, 0xFFFF);  // longer than its parent
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileDescription"), "<missing>");

    for (uint16_t nLength : {0, 1, 5}) {  // shorter than a node header
        block = good;
        PutWord(block, nString, nLength);
        EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileVersion"), "<missing>") << nLength;
    }

    // A key without its terminator inside the node.
    block = good;
    PutWord(block, nString, 6 + 2 * 4);
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileDescription"), "<missing>");

    // A text length beyond the node is cut at the node's end.
    block = good;
    PutWord(block, nString + 2, 0xFFFF);
    EXPECT_EQ(QueryOr(block, "\\StringFileInfo\\040904E4\\FileDescription"), "KVT Editor");
}

// Every single damaged byte and every truncation must stay inside the block
// (the sanitizers check that); what is found can never exceed it.
TEST(VersionBlock, AnyDamagedByteOrTruncationIsReadSafely)
{
    const std::vector<uint8_t> good = BuildVersionBlock(SampleInfo());
    for (size_t nSize = 0; nSize < good.size(); ++nSize) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(nSize));
        EXPECT_EQ(VersionBlockSize(cut.data(), cut.size()), 0u) << nSize;
        EXPECT_EQ(QueryOr(cut, "\\StringFileInfo\\040904E4\\FileVersion"), "<missing>") << nSize;
    }
    for (size_t nAt = 0; nAt < good.size(); ++nAt) {
        for (uint8_t nByte : {0x00, 0x07, 0xFF}) {
            std::vector<uint8_t> block = good;
            block[nAt] = nByte;
            std::string sValue;
            if (Query(block, "\\StringFileInfo\\040904E4\\FileVersion", sValue)) {
                EXPECT_LE(sValue.size(), block.size() / 2);
            }
            EXPECT_LE(VersionBlockSize(block.data(), block.size()), block.size());
        }
    }
}

TEST(VersionBlock, OversizedContentGivesNoBlock)
{
    VersionInfo_st info{{1, 0, 0, 0}, {{"040904E4", {{"Huge", std::string(40000, 'x')}}}}};
    EXPECT_TRUE(BuildVersionBlock(info).empty());
}

} // namespace
