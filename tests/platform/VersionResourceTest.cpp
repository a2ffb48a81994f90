// Version resources of program files: the block in the ".kvtversion" ELF
// section, found in either ELF class and byte order, and damaged headers
// that must give "no block" without reading outside the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ElfTestFile.h"
#include "TempDir.h"
#include "versionblockbuilder.h"
#include "versionresource.h"

namespace {

std::vector<uint8_t> SampleBlock()
{
    VersionInfo_st info{{3, 1, 4, 1}, {{"040904E4", {{"FileDescription", "Sample"}, {"FileVersion", "3.1.4.1"}}}}};
    return BuildVersionBlock(info);
}

class VersionResourceTest : public ::testing::Test {
protected:
    // An ELF file with a text section, the block's section and a trailer.
    std::vector<uint8_t> MakeFile(const std::vector<uint8_t>& sectionBytes, uint32_t nType = 1)
    {
        return MakeElfFile({{".text", std::vector<uint8_t>(40, 0x90)},
                            {".kvtversion", sectionBytes, nType},
                            {".comment", {'x', 0}}},
                           m_layout);
    }
    uint32_t SizeOf(const std::vector<uint8_t>& file)
    {
        EXPECT_TRUE(WriteFileBytes(m_sFile, file));
        return VersionResourceSize(m_sFile.c_str());
    }
    // Offsets of the fields a test damages.
    uint64_t ShOff() const { return m_layout.b64 ? 0x28 : 0x20; }
    uint64_t ShEntSize() const { return m_layout.b64 ? 0x3A : 0x2E; }
    uint64_t ShNum() const { return m_layout.b64 ? 0x3C : 0x30; }
    uint64_t ShStrNdx() const { return m_layout.b64 ? 0x3E : 0x32; }
    size_t Word() const { return m_layout.b64 ? 8 : 4; }

    CTempDir m_dir;
    std::string m_sFile = m_dir.File("program");
    ElfTestLayout_st m_layout;
    const std::vector<uint8_t> m_block = SampleBlock();
};

TEST_F(VersionResourceTest, BlockIsFoundInEveryElfClassAndByteOrder)
{
    for (bool b64 : {true, false}) {
        for (bool bBigEndian : {false, true}) {
            m_layout.b64 = b64;
            m_layout.bBigEndian = bBigEndian;
            std::vector<uint8_t> padded = m_block;
            padded.resize(m_block.size() + 13, 0);  // a section longer than its block
            ASSERT_EQ(SizeOf(MakeFile(padded)), m_block.size()) << b64 << bBigEndian;

            std::vector<uint8_t> copy(m_block.size() + 8, 0xAB);
            ASSERT_TRUE(VersionResourceRead(m_sFile.c_str(), static_cast<uint32_t>(m_block.size()), copy.data()));
            EXPECT_TRUE(std::equal(m_block.begin(), m_block.end(), copy.begin()));
            EXPECT_EQ(copy[m_block.size()], 0xAB);  // nothing beyond the requested size

            std::string sValue;
            ASSERT_TRUE(VersionResourceQueryString(copy.data(), static_cast<uint32_t>(m_block.size()),
                                                   "\\StringFileInfo\\040904E4\\FileVersion", sValue));
            EXPECT_EQ(sValue, "3.1.4.1");
        }
    }
}

TEST_F(VersionResourceTest, ReadCopiesOnlyTheRequestedBytes)
{
    ASSERT_EQ(SizeOf(MakeFile(m_block)), m_block.size());
    std::vector<uint8_t> copy(m_block.size(), 0xAB);
    ASSERT_TRUE(VersionResourceRead(m_sFile.c_str(), 10, copy.data()));
    EXPECT_TRUE(std::equal(m_block.begin(), m_block.begin() + 10, copy.begin()));
    EXPECT_EQ(copy[10], 0xAB);
    EXPECT_FALSE(VersionResourceRead(m_sFile.c_str(), 10, nullptr));
}

TEST_F(VersionResourceTest, FilesWithoutABlockHaveSizeZero)
{
    EXPECT_EQ(SizeOf(MakeElfFile({{".text", {1, 2, 3}}}, m_layout)), 0u);
    EXPECT_EQ(SizeOf(MakeFile(std::vector<uint8_t>(64, 0x11))), 0u);  // not a version block
    EXPECT_EQ(SizeOf(MakeFile({})), 0u);
    EXPECT_EQ(SizeOf(MakeFile(m_block, 8 /* SHT_NOBITS */)), 0u);
    const std::string sText = "not a program at all";
    EXPECT_EQ(SizeOf(std::vector<uint8_t>(sText.begin(), sText.end())), 0u);
    EXPECT_EQ(SizeOf({}), 0u);

    EXPECT_EQ(VersionResourceSize(m_dir.File("absent").c_str()), 0u);
    EXPECT_EQ(VersionResourceSize(m_dir.Path().c_str()), 0u);
    EXPECT_EQ(VersionResourceSize(""), 0u);
    EXPECT_EQ(VersionResourceSize(nullptr), 0u);
    std::vector<uint8_t> copy(4, 0xAB);
    EXPECT_FALSE(VersionResourceRead(m_dir.File("absent").c_str(), 4, copy.data()));
    EXPECT_EQ(copy[0], 0xAB);
}

TEST_F(VersionResourceTest, FilesWithManySectionsKeepTheirCountInTheFirstHeader)
{
    for (bool b64 : {true, false}) {
        m_layout.b64 = b64;
        std::vector<uint8_t> file = MakeFile(m_block);
        PutElfField(file, m_layout, ShNum(), 2, 0);
        PutElfField(file, m_layout, SectionHeaderField(m_layout, 0, 32, 20), Word(), 5);
        PutElfField(file, m_layout, ShStrNdx(), 2, 0xFFFF);
        PutElfField(file, m_layout, SectionHeaderField(m_layout, 0, 40, 24), 4, m_layout.nNamesIndex);
        EXPECT_EQ(SizeOf(file), m_block.size()) << b64;
    }
}

TEST_F(VersionResourceTest, DamagedHeadersGiveNoBlock)
{
    for (bool b64 : {true, false}) {
        m_layout.b64 = b64;
        m_layout.bBigEndian = !b64;
        const std::vector<uint8_t> good = MakeFile(m_block);
        ASSERT_EQ(SizeOf(good), m_block.size());
        const uint64_t nFileSize = good.size();
        const uint64_t nHuge = b64 ? 0xFFFFFFFFFFFFFFF0ull : 0xFFFFFFF0ull;
        const uint64_t nVersion = 2;  // index of the .kvtversion section header

        struct Damage_st {
            const char* pWhat;
            uint64_t nOffset;
            size_t nBytes;
            uint64_t nValue;
        };
        const std::vector<Damage_st> damages = {
            {"magic", 1, 1, 'e'},
            {"class", 4, 1, 3},
            {"byte order", 5, 1, 0},
            {"table offset zero", ShOff(), Word(), 0},
            {"table beyond the file", ShOff(), Word(), nFileSize},
            {"table offset wraps", ShOff(), Word(), nHuge},
            {"entry size too small", ShEntSize(), 2, b64 ? 63u : 39u},
            {"entry size huge", ShEntSize(), 2, 0xFFFF},
            {"count beyond the file", ShNum(), 2, 0xFFFE},
            {"count zero, first header empty", ShNum(), 2, 0},
            {"name table index out of range", ShStrNdx(), 2, 5},
            {"name table beyond the file", SectionHeaderField(m_layout, m_layout.nNamesIndex, 24, 16), Word(), nFileSize},
            {"name table size wraps", SectionHeaderField(m_layout, m_layout.nNamesIndex, 32, 20), Word(), nHuge},
            {"name offset beyond its table", SectionHeaderField(m_layout, nVersion, 0, 0), 4, 0xFFFFFFF0u},
            {"section beyond the file", SectionHeaderField(m_layout, nVersion, 24, 16), Word(), nFileSize},
            {"section offset wraps", SectionHeaderField(m_layout, nVersion, 24, 16), Word(), nHuge},
            {"section size wraps", SectionHeaderField(m_layout, nVersion, 32, 20), Word(), nHuge},
        };
        for (const Damage_st& damage : damages) {
            std::vector<uint8_t> file = good;
            PutElfField(file, m_layout, damage.nOffset, damage.nBytes, damage.nValue);
            EXPECT_EQ(SizeOf(file), 0u) << damage.pWhat << (b64 ? " (64-bit)" : " (32-bit)");
        }
    }
}

TEST_F(VersionResourceTest, EveryTruncationGivesNoBlock)
{
    const std::vector<uint8_t> good = MakeFile(m_block);
    for (size_t nSize = 0; nSize < good.size(); ++nSize) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(nSize));
        ASSERT_EQ(SizeOf(cut), 0u) << nSize;
    }
}

} // namespace
