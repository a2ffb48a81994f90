// GetFileData and the in-memory load: what is refused, what is reported, and
// what a loaded object holds.

#include <sys/stat.h>

#include "ResmanFixture.h"

namespace {

const std::string kDamaged = "CResKvt::GetFileData: File is damaged: ";

// A small valid image with every section non-empty.
CKvtImageBuilder EverySection()
{
    CKvtImageBuilder image;
    image.m_Structs.push_back({0xFFFFFFFF, 0, 2});
    image.AddField(KVT_STRING, image.AddLabel("s"), 0);
    image.AddField(KVT_LIST, image.AddLabel("l"), 0);
    image.m_Structs[0][1] = image.AddFieldIndices({0, 1});
    AppendWord(image.m_FieldData, 2);
    AppendText(image.m_FieldData, "ok");
    image.AddListEntry({});
    return image;
}

} // namespace

using Loading = ResmanTest;

TEST_F(Loading, EmptyFileIsRefusedWithoutMessage)
{
    const std::string sPath = m_dir.File("empty.kvt");
    ASSERT_TRUE(WriteFileBytes(sPath, {}));
    CResKVT res;
    EXPECT_FALSE(res.GetFileData(sPath.c_str()));
    EXPECT_EQ(res.GetHeader(), nullptr);
    EXPECT_EQ(m_recorder.Count(), 0u);
    EXPECT_FALSE(res.LoadFromMemory(nullptr, 0, "none"));
}

TEST_F(Loading, MissingFileIsReported)
{
    const std::string sPath = m_dir.File("absent.kvt");
    CResKVT res;
    EXPECT_FALSE(res.GetFileData(sPath.c_str()));
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].module, "reskvt");
    EXPECT_EQ(m_recorder.Reports()[0].line, 1116);
    EXPECT_EQ(m_recorder.Reports()[0].message, "CResKvt::GetFileData: File not opened: " + sPath);
    EXPECT_EQ(res.GetHeader(), nullptr);
}

TEST_F(Loading, FolderIsRefusedWithoutMessage)
{
    CResKVT res;
    EXPECT_FALSE(res.GetFileData(m_dir.Path().c_str()));
    EXPECT_EQ(res.GetHeader(), nullptr);
    EXPECT_EQ(m_recorder.Count(), 0u);
    // A named pipe the same way, at once.
    const std::string sPipe = m_dir.File("pipe.kvt");
    ASSERT_EQ(mkfifo(sPipe.c_str(), 0600), 0);
    EXPECT_FALSE(res.GetFileData(sPipe.c_str()));
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(Loading, FilesShorterThanTheHeaderAreDamaged)
{
    const std::vector<uint8_t> full = EverySection().Build();
    for (size_t nSize : {size_t{1}, size_t{8}, size_t{55}}) {
        SCOPED_TRACE(nSize);
        m_recorder.Clear();
        const std::string sPath = m_dir.File("short.kvt");
        ASSERT_TRUE(WriteFileBytes(sPath, std::vector<uint8_t>(full.begin(), full.begin() + nSize)));
        CResKVT res;
        EXPECT_FALSE(res.GetFileData(sPath.c_str()));
        EXPECT_EQ(res.GetHeader(), nullptr);
        ASSERT_EQ(m_recorder.Count(), 1u);
        EXPECT_EQ(m_recorder.Reports()[0].module, "reskvt");
        EXPECT_EQ(m_recorder.Reports()[0].message, kDamaged + sPath);
    }
}

TEST_F(Loading, HeaderAloneLoads)
{
    CKvtImageBuilder image;
    const std::vector<uint8_t> bytes = image.Build();
    ASSERT_EQ(bytes.size(), 56u);
    auto pRes = LoadBytes(bytes);
    ASSERT_TRUE(pRes);
    CKvtStructHandle top{5};
    EXPECT_TRUE(pRes->GetTopLevelStruct(&top));
    EXPECT_EQ(top.nStructIndex, 0u);
    EXPECT_EQ(pRes->GetFieldCount(&top), -1);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(Loading, EverySectionMustLieInsideTheFile)
{
    const CKvtImageBuilder base = EverySection();
    const size_t nFileSize = base.Build().size();
    const int offsets[6] = {hwStructOffset,    hwFieldOffset,        hwLabelOffset,
                            hwFieldDataOffset, hwFieldIndicesOffset, hwListIndicesOffset};
    for (int nSection = 0; nSection < 6; ++nSection) {
        SCOPED_TRACE(nSection);
        const std::vector<uint8_t> bytes = base.Build();
        const uint32_t nEnd = HeaderWord(bytes, offsets[nSection]) +
                              HeaderWord(bytes, offsets[nSection] + 1) * (nSection == 0 || nSection == 1 ? 12u
                                                                          : nSection == 2                ? 16u
                                                                                                         : 1u);
        const uint32_t nStart = HeaderWord(bytes, offsets[nSection]);
        // Moved so that it ends exactly at the end of the file: accepted.
        CKvtImageBuilder atEnd = base;
        atEnd.m_Overrides[offsets[nSection]] = static_cast<uint32_t>(nFileSize - (nEnd - nStart));
        EXPECT_TRUE(LoadImage(atEnd));
        EXPECT_EQ(m_recorder.Count(), 0u);
        // One byte further: refused.
        CKvtImageBuilder past = base;
        past.m_Overrides[offsets[nSection]] = static_cast<uint32_t>(nFileSize - (nEnd - nStart) + 1);
        EXPECT_FALSE(LoadImage(past));
        ASSERT_EQ(m_recorder.Count(), 1u);
        EXPECT_EQ(m_recorder.Reports()[0].message, kDamaged + "image.kvt");
        m_recorder.Clear();
    }
}

TEST_F(Loading, OffsetPlusSizeMustNotWrapThirtyTwoBits)
{
    CKvtImageBuilder wrapsOffset = EverySection();
    wrapsOffset.m_Overrides[hwFieldDataOffset] = 0xFFFFFFF0u;
    wrapsOffset.m_Overrides[hwFieldDataSize] = 0x20u; // 32-bit end 0x10 would look inside
    EXPECT_FALSE(LoadImage(wrapsOffset));

    CKvtImageBuilder wrapsCount = EverySection();
    wrapsCount.m_Overrides[hwStructCount] = 0x15555556u; // * 12 = 0x100000008
    EXPECT_FALSE(LoadImage(wrapsCount));

    CKvtImageBuilder wrapsLabels = EverySection();
    wrapsLabels.m_Overrides[hwLabelCount] = 0x10000001u; // * 16 = 0x100000010
    EXPECT_FALSE(LoadImage(wrapsLabels));
    EXPECT_EQ(m_recorder.CountFrom("reskvt"), 3u);
}

TEST_F(Loading, EmptySectionsMayNameAnyOffset)
{
    CKvtImageBuilder image = EverySection();
    image.m_ListIndices.clear();
    image.m_Fields.pop_back();
    image.m_Structs[0] = {0xFFFFFFFF, 0, 1};
    image.m_FieldIndices.clear();
    image.m_Overrides[hwListIndicesOffset] = 0xFFFFFFFFu;
    image.m_Overrides[hwFieldIndicesOffset] = 0x7FFFFFFFu;
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtStructHandle top{0};
    int32_t bOk = 0;
    EXPECT_STREQ(pRes->ReadSTRING(&top, "s", &bOk, "").CStr(), "ok");
}

TEST_F(Loading, LoadedObjectRefusesASecondLoad)
{
    const std::string sPath = m_dir.File("good.kvt");
    ASSERT_TRUE(WriteFileBytes(sPath, EverySection().Build()));
    CResKVT res;
    ASSERT_TRUE(res.GetFileData(sPath.c_str()));
    CKvtImageBuilder other = EverySection();
    other.m_sFileType = "OTHR";
    const std::vector<uint8_t> bytes = other.Build();
    EXPECT_FALSE(res.LoadFromMemory(bytes.data(), bytes.size(), "other"));
    EXPECT_FALSE(res.GetFileData(sPath.c_str()));
    COroString sType, sVersion;
    res.GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "TEST");
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(Loading, RefusedObjectStaysEmptyAndCanLoadLater)
{
    CKvtImageBuilder bad = EverySection();
    bad.m_Overrides[hwFieldCount] = 1000;
    const std::vector<uint8_t> badBytes = bad.Build();
    CResKVT res;
    EXPECT_FALSE(res.LoadFromMemory(badBytes.data(), badBytes.size(), "bad"));
    EXPECT_EQ(res.GetHeader(), nullptr);
    const std::vector<uint8_t> good = EverySection().Build();
    EXPECT_TRUE(res.LoadFromMemory(good.data(), good.size(), "good"));
    CKvtStructHandle top{0};
    EXPECT_EQ(res.GetFieldCount(&top), 2);
}

TEST_F(Loading, FileTypeAndVersionAreTakenAsTheyStand)
{
    CKvtImageBuilder image;
    image.m_sFileType = std::string("AB\0Z", 4); // stops at the zero
    image.m_sVersion = "V9.9";                   // not checked by the loader
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    COroString sType, sVersion;
    pRes->GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "AB");
    EXPECT_STREQ(sVersion.CStr(), "V9.9");
}

TEST_F(Loading, FileAndMemoryLoadsAgree)
{
    const std::vector<uint8_t> bytes = EverySection().Build();
    const std::string sPath = m_dir.File("same.kvt");
    ASSERT_TRUE(WriteFileBytes(sPath, bytes));
    CResKVT fromFile;
    ASSERT_TRUE(fromFile.GetFileData(sPath.c_str()));
    auto pFromMemory = LoadBytes(bytes);
    ASSERT_TRUE(pFromMemory);
    EXPECT_EQ(SaveBytes(fromFile, "a.kvt"), SaveBytes(*pFromMemory, "b.kvt"));
    EXPECT_EQ(SaveBytes(fromFile, "c.kvt"), bytes); // a writer-shaped file saves unchanged
}

TEST_F(Loading, TruncatedWriterFileIsDamaged)
{
    CResKVT writer;
    CKvtStructHandle top;
    ASSERT_TRUE(writer.CreateNew(&top, "ABC "));
    ASSERT_TRUE(writer.WriteBYTE(&top, 5, "A"));
    ASSERT_TRUE(writer.WriteSTRING(&top, "x", "Name"));
    std::vector<uint8_t> bytes = SaveBytes(writer);
    ASSERT_EQ(bytes.size(), 137u);
    bytes.pop_back(); // the field indices block now ends past the file
    const std::string sPath = m_dir.File("cut.kvt");
    ASSERT_TRUE(WriteFileBytes(sPath, bytes));
    CResKVT res;
    EXPECT_FALSE(res.GetFileData(sPath.c_str()));
    EXPECT_EQ(res.GetHeader(), nullptr);
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].module, "reskvt");
    EXPECT_EQ(m_recorder.Reports()[0].message, kDamaged + sPath);
    EXPECT_FALSE(m_recorder.Reports()[0].text.empty());
}
