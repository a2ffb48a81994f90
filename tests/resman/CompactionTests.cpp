// Abandoned bytes of the two index areas and their removal at save time.

#include "ResmanFixture.h"

namespace {

// Fields a, b, struct s (x, y), then c on the top-level
// struct, whose array is then no longer last and moves. With a leading binary
// field "d" of nBlob bytes when nBlob is not negative.
void BuildAbandonedExample(CResKVT& res, int nBlob = -1)
{
    CKvtStructHandle top, inner;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    if (nBlob >= 0) {
        std::vector<uint8_t> blob(static_cast<size_t>(nBlob), 0x42);
        ASSERT_TRUE(res.WriteBINARY(&top, blob.data(), static_cast<uint32_t>(blob.size()), "d"));
    }
    ASSERT_TRUE(res.WriteBYTE(&top, 1, "a"));
    if (nBlob < 0)
        ASSERT_TRUE(res.WriteBYTE(&top, 2, "b"));
    ASSERT_TRUE(res.AddStructField(&inner, &top, "s", 42));
    ASSERT_TRUE(res.WriteBYTE(&inner, 3, "x"));
    ASSERT_TRUE(res.WriteBYTE(&inner, 4, "y"));
    ASSERT_TRUE(res.WriteBYTE(&top, 5, "c"));
}

} // namespace

using Compaction = ResmanTest;

TEST_F(Compaction, MovedArrayAbandonsTwelveBytesAndCompactsTo272)
{
    CResKVT res;
    BuildAbandonedExample(res);
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 12u);
    EXPECT_EQ(res.GetHeader()->fieldIndicesSize, 36u);
    EXPECT_EQ(res.GetTotalSize(), 284u);
    // Before compaction: [0, 1, 2] abandoned at 0, [3, 4] at 12, [0, 1, 2, 5] at 20.
    const uint8_t* pBlock = res.GetFieldIndicesBlock();
    std::vector<uint8_t> before(pBlock, pBlock + 36);
    std::vector<uint8_t> expectedBefore;
    for (uint32_t n : {0u, 1u, 2u, 3u, 4u, 0u, 1u, 2u, 5u})
        AppendWord(expectedBefore, n);
    EXPECT_EQ(before, expectedBefore);

    const std::vector<uint8_t> file = SaveBytes(res);
    ASSERT_EQ(file.size(), 272u);
    EXPECT_EQ(HeaderWord(file, hwFieldIndicesSize), 24u);
    EXPECT_EQ(HeaderWord(file, hwListIndicesOffset), 272u);
    EXPECT_EQ(ReadWord(file, 56 + 4), 0u);       // struct 0: array at 0
    EXPECT_EQ(ReadWord(file, 56 + 12 + 4), 16u); // struct 1: array at 16
    const size_t nArrays = HeaderWord(file, hwFieldIndicesOffset);
    std::vector<uint8_t> expectedArrays;
    for (uint32_t n : {0u, 1u, 2u, 5u, 3u, 4u})
        AppendWord(expectedArrays, n);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + nArrays, file.end()), expectedArrays);
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 0u);
    EXPECT_EQ(res.GetFieldIndicesCapacity(), 24u);

    auto pLoaded = LoadBytes(file);
    ASSERT_TRUE(pLoaded);
    CKvtStructHandle top{0}, inner;
    int32_t bOk = 0;
    EXPECT_EQ(pLoaded->ReadBYTE(&top, "c", &bOk, 0), 5);
    EXPECT_EQ(bOk, 1);
    ASSERT_TRUE(pLoaded->GetStructField(&inner, &top, "s"));
    EXPECT_EQ(pLoaded->GetStructID(&inner), 42);
    EXPECT_EQ(pLoaded->ReadBYTE(&inner, "y", &bOk, 0), 4);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(Compaction, HappensAtOnePercentAndNotBelow)
{
    // S = 288 + blob: 912 gives S = 1200 and A * 100 = S exactly.
    CResKVT atOnePercent;
    BuildAbandonedExample(atOnePercent, 912);
    ASSERT_EQ(atOnePercent.GetTotalSize(), 1200u);
    ASSERT_EQ(atOnePercent.GetFieldIndicesAbandoned(), 12u);
    EXPECT_EQ(SaveBytes(atOnePercent, "at.kvt").size(), 1188u);

    CResKVT below;
    BuildAbandonedExample(below, 913);
    ASSERT_EQ(below.GetTotalSize(), 1201u);
    const std::vector<uint8_t> file = SaveBytes(below, "below.kvt");
    EXPECT_EQ(file.size(), 1201u); // the abandoned bytes stay in the file, unused
    EXPECT_EQ(below.GetFieldIndicesAbandoned(), 12u);
    auto pLoaded = LoadBytes(file);
    ASSERT_TRUE(pLoaded);
    CKvtStructHandle top{0};
    int32_t bOk = 0;
    EXPECT_EQ(pLoaded->ReadBYTE(&top, "c", &bOk, 0), 5);
    EXPECT_EQ(pLoaded->GetFieldSize(&top, "d", -1), 913u);
}

TEST_F(Compaction, MinimumsAreExclusive)
{
    CResKVT res;
    BuildAbandonedExample(res);
    res.Compact(0, 12); // A = 12 is not more than 12 bytes
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 12u);
    res.Compact(4, 0); // 1200 / 284 = 4 is not more than 4 percent
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 12u);
    res.Compact(3, 11);
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 0u);
    EXPECT_EQ(res.GetHeader()->fieldIndicesSize, 24u);
}

TEST_F(Compaction, ListEntriesAreCompactedInFieldOrder)
{
    CResKVT res;
    CKvtStructHandle top, element;
    CKvtListHandle first, second;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.AddList(&first, &top, "first"));
    ASSERT_TRUE(res.AddList(&second, &top, "second"));
    // Alternating appends move each entry behind the other one.
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(res.AddListElement(&element, &first, 100 + i));
        ASSERT_TRUE(res.AddListElement(&element, &second, 200 + i));
    }
    // Every append moved an entry: 2 * (4 + 8 + 12) bytes left behind.
    EXPECT_EQ(res.GetListIndicesAbandoned(), 48u);
    const std::vector<uint8_t> file = SaveBytes(res);
    EXPECT_EQ(HeaderWord(file, hwListIndicesSize), 2u * 16u);
    const size_t nLists = HeaderWord(file, hwListIndicesOffset);
    std::vector<uint8_t> expected;
    for (uint32_t n : {3u, 1u, 3u, 5u, 3u, 2u, 4u, 6u})
        AppendWord(expected, n);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + nLists, file.end()), expected);

    auto pLoaded = LoadBytes(file);
    ASSERT_TRUE(pLoaded);
    CKvtListHandle list;
    ASSERT_TRUE(pLoaded->GetList(&list, &top, "second"));
    ASSERT_EQ(pLoaded->GetListCount(&list), 3);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(pLoaded->GetListElement(&element, &list, i));
        EXPECT_EQ(pLoaded->GetStructID(&element), 200 + i);
    }
}

// The 1 % test is made in 64 bits. With more than 42.9 MB
// abandoned, A * 100 no longer fits 32 bits; a wrapped product would make the
// percentage look tiny and skip a compaction that is due.
TEST_F(Compaction, PercentageDoesNotWrapForLargeAbandonedAmounts)
{
    CResKVT res;
    CKvtStructHandle top, element;
    CKvtListHandle first, second;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.AddList(&first, &top, "first"));
    ASSERT_TRUE(res.AddList(&second, &top, "second"));
    const uint32_t nElements = 3300;
    for (uint32_t i = 0; i < nElements; ++i) {
        ASSERT_TRUE(res.AddListElement(&element, &first, i));
        ASSERT_TRUE(res.AddListElement(&element, &second, i));
    }
    const uint64_t nAbandoned = res.GetListIndicesAbandoned();
    const uint64_t nTotal = res.GetTotalSize();
    ASSERT_GT(nAbandoned * 100, 0xFFFFFFFFull);
    ASSERT_GT(nAbandoned * 100 / nTotal, 50u);
    ASSERT_LE(static_cast<uint32_t>(nAbandoned * 100) / nTotal, 50u); // what 32 bits would see
    res.Compact(50, 0);
    EXPECT_EQ(res.GetListIndicesAbandoned(), 0u);
    EXPECT_EQ(res.GetHeader()->listIndicesSize, 2u * (4u + 4u * nElements));
    CKvtListHandle list;
    ASSERT_TRUE(res.GetList(&list, &top, "second"));
    ASSERT_EQ(res.GetListCount(&list), static_cast<int32_t>(nElements));
    ASSERT_TRUE(res.GetListElement(&element, &list, static_cast<int32_t>(nElements) - 1));
    EXPECT_EQ(res.GetStructID(&element), static_cast<int32_t>(nElements) - 1);
}

// A loaded file may hold bytes that no struct refers to; compacting such an
// area copies less than used minus abandoned, which is reported.
TEST_F(Compaction, CopiedSizeMismatchIsReported)
{
    CKvtImageBuilder image;
    image.AddLabel("a");
    for (uint32_t i = 0; i < 4; ++i)
        image.AddField(0, 0, i);
    const uint32_t nTopArray = image.AddFieldIndices({0, 1});
    image.AddFieldIndices({3, 3}); // owned by no struct
    image.m_Structs.push_back({0xFFFFFFFF, nTopArray, 2});
    image.m_Structs.push_back({1, 2, 1});
    image.m_ListIndices = {0, 0, 0, 0}; // four bytes nobody uses
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtStructHandle top{0};
    CKvtListHandle list;
    // The top-level array is not last: the new field moves it and abandons 8 bytes.
    ASSERT_TRUE(pRes->WriteBYTE(&top, 9, "b"));
    EXPECT_EQ(pRes->GetFieldIndicesAbandoned(), 8u);
    ASSERT_TRUE(pRes->AddList(&list, &top, "l"));
    CKvtStructHandle element;
    ASSERT_TRUE(pRes->AddListElement(&element, &list, 5));
    ASSERT_TRUE(pRes->AddList(&list, &top, "m"));
    CKvtListHandle l{0, {'l'}};
    ASSERT_TRUE(pRes->AddListElement(&element, &l, 6)); // moves l's entry: 8 bytes abandoned
    EXPECT_EQ(pRes->GetListIndicesAbandoned(), 8u);

    pRes->Compact(0, 0);
    EXPECT_EQ(ReportsFrom("reskvt", 3335), 1u) << DescribeReports(m_recorder);
    EXPECT_EQ(ReportsFrom("reskvt", 3377), 1u) << DescribeReports(m_recorder);
    EXPECT_EQ(pRes->GetHeader()->fieldIndicesSize, 20u); // only the top-level array of 5 fields
    EXPECT_EQ(pRes->GetHeader()->listIndicesSize, 12u + 4u);
    int32_t bOk = 0;
    EXPECT_EQ(pRes->ReadBYTE(&top, "b", &bOk, 0), 9);
    ASSERT_TRUE(pRes->GetList(&list, &top, "l"));
    EXPECT_EQ(pRes->GetListCount(&list), 2);
}
