// LIST fields: finding them, counting and walking their elements, appending,
// and every check of a list entry against the list indices block.

#include <cstring>

#include "ResmanFixture.h"

namespace {

CKvtListHandle ListHandle(uint32_t nStruct, const char* pLabel)
{
    CKvtListHandle handle{nStruct, {}};
    std::strncpy(handle.label, pLabel, sizeof(handle.label));
    return handle;
}

} // namespace

class Lists : public ResmanTest {
protected:
    CKvtStructHandle m_top{0};
};

TEST_F(Lists, ElementsAreCheckedAgainstCountBlockAndStructTable)
{
    // List indices: "huge" at 0 (count 0xFFFFFFFF, one index), "good" at 8,
    // "bad" at 20 (names struct 9), "cut" at 32 (count 3, block ends after 2).
    CKvtImageBuilder image;
    image.m_Structs.push_back({0xFFFFFFFF, 0, 4});
    image.m_Structs.push_back({1, 0xFFFFFFFF, 0});
    image.m_Structs.push_back({2, 0xFFFFFFFF, 0});
    for (uint32_t n : {0xFFFFFFFFu, 1u})
        AppendWord(image.m_ListIndices, n);
    const uint32_t nGood = image.AddListEntry({1, 2});
    const uint32_t nBad = image.AddListEntry({2, 9});
    const uint32_t nCut = static_cast<uint32_t>(image.m_ListIndices.size());
    for (uint32_t n : {3u, 1u, 2u})
        AppendWord(image.m_ListIndices, n);
    image.AddField(KVT_LIST, image.AddLabel("good"), nGood);
    image.AddField(KVT_LIST, image.AddLabel("bad"), nBad);
    image.AddField(KVT_LIST, image.AddLabel("cut"), nCut);
    image.AddField(KVT_LIST, image.AddLabel("huge"), 0);
    image.m_Structs[0][1] = image.AddFieldIndices({0, 1, 2, 3});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);

    CKvtListHandle list;
    CKvtStructHandle element{77};
    ASSERT_TRUE(pRes->GetList(&list, &m_top, "good"));
    EXPECT_EQ(pRes->GetListCount(&list), 2);
    EXPECT_TRUE(pRes->GetListElement(&element, &list, 1));
    EXPECT_EQ(element.nStructIndex, 2u);
    element.nStructIndex = 77;
    EXPECT_FALSE(pRes->GetListElement(&element, &list, 2)); // index equal to the count
    EXPECT_FALSE(pRes->GetListElement(&element, &list, -1));
    EXPECT_FALSE(pRes->GetListElement(nullptr, &list, 0));
    EXPECT_EQ(element.nStructIndex, 77u);

    ASSERT_TRUE(pRes->GetList(&list, &m_top, "bad"));
    EXPECT_TRUE(pRes->GetListElement(&element, &list, 0));
    EXPECT_FALSE(pRes->GetListElement(&element, &list, 1)); // struct index 9

    ASSERT_TRUE(pRes->GetList(&list, &m_top, "cut"));
    EXPECT_EQ(pRes->GetListCount(&list), 3);
    EXPECT_EQ(pRes->GetAddressableListCount(&list), 2);
    EXPECT_TRUE(pRes->GetListElement(&element, &list, 1));
    EXPECT_FALSE(pRes->GetListElement(&element, &list, 2)); // cut short by the end of the block

    ASSERT_TRUE(pRes->GetList(&list, &m_top, "huge"));
    EXPECT_EQ(pRes->GetListCount(&list), -1); // 0xFFFFFFFF as a signed count
    EXPECT_EQ(pRes->GetAddressableListCount(&list), (44 - 4) / 4);
    EXPECT_TRUE(pRes->GetListElement(&element, &list, 0));
    EXPECT_EQ(element.nStructIndex, 1u);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(Lists, EntryNeedsFourBytesInsideTheBlock)
{
    CKvtImageBuilder image;
    image.m_Structs.push_back({0xFFFFFFFF, 0, 4});
    image.AddField(KVT_LIST, image.AddLabel("atEnd"), 8);
    image.AddField(KVT_LIST, image.AddLabel("partial"), 6);
    image.AddField(KVT_LIST, image.AddLabel("far"), 0xFFFFFFFF);
    image.AddField(KVT_STRUCT, image.AddLabel("notList"), 0);
    image.m_Structs[0][1] = image.AddFieldIndices({0, 1, 2, 3});
    image.m_ListIndices.assign(8, 0);
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtListHandle list = ListHandle(55, "untouched");
    for (const char* pLabel : {"atEnd", "partial", "far", "notList", "missing"}) {
        EXPECT_FALSE(pRes->GetList(&list, &m_top, pLabel)) << pLabel;
        const CKvtListHandle direct = ListHandle(0, pLabel);
        EXPECT_EQ(pRes->GetListCount(&direct), 0) << pLabel;
        EXPECT_EQ(pRes->GetAddressableListCount(&direct), 0) << pLabel;
        CKvtStructHandle element;
        EXPECT_FALSE(pRes->GetListElement(&element, &direct, 0)) << pLabel;
    }
    EXPECT_EQ(list.nStructIndex, 55u);
    EXPECT_FALSE(pRes->GetList(nullptr, &m_top, "atEnd"));
    EXPECT_FALSE(pRes->GetList(&list, &m_top, nullptr));
    EXPECT_EQ(m_recorder.Count(), 0u); // another type is no reason for a warning here
}

TEST_F(Lists, HandleLabelIsZeroPaddedToSixteenBytes)
{
    CResKVT res;
    CKvtListHandle list;
    std::memset(&list, 0xAB, sizeof(list));
    ASSERT_TRUE(res.CreateNew(&m_top, "TEST"));
    ASSERT_TRUE(res.AddList(&list, &m_top, "ab"));
    EXPECT_EQ(list.nStructIndex, 0u);
    EXPECT_EQ(std::memcmp(list.label, "ab\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
    std::memset(&list, 0xAB, sizeof(list));
    ASSERT_TRUE(res.GetList(&list, &m_top, "ab"));
    EXPECT_EQ(std::memcmp(list.label, "ab\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
    EXPECT_EQ(res.GetListCount(&list), 0);
}

TEST_F(Lists, AppendingGoesToTheFirstListOfThatLabel)
{
    CResKVT res;
    CKvtListHandle first, second;
    CKvtStructHandle element;
    ASSERT_TRUE(res.CreateNew(&m_top, "TEST"));
    ASSERT_TRUE(res.AddList(&first, &m_top, "dup"));
    ASSERT_TRUE(res.AddList(&second, &m_top, "dup"));
    ASSERT_TRUE(res.AddListElement(&element, &first, 1));
    ASSERT_TRUE(res.AddListElement(&element, &second, 2));
    ASSERT_TRUE(res.AddListElement(&element, &second, 3));
    auto pRes = SaveAndReload(res);
    ASSERT_TRUE(pRes);
    const std::vector<uint8_t> file = ReadFileBytes(m_dir.File("reload.kvt"));
    const size_t nLists = HeaderWord(file, hwListIndicesOffset);
    const size_t nFields = HeaderWord(file, hwFieldOffset);
    // The first list holds all three elements; the second is still empty.
    const size_t nFirst = nLists + ReadWord(file, nFields + 8);
    const size_t nSecond = nLists + ReadWord(file, nFields + 12 + 8);
    EXPECT_EQ(ReadWord(file, nFirst), 3u);
    EXPECT_EQ(ReadWord(file, nSecond), 0u);
    CKvtListHandle loaded;
    ASSERT_TRUE(pRes->GetList(&loaded, &m_top, "dup"));
    ASSERT_EQ(pRes->GetListCount(&loaded), 3);
    ASSERT_TRUE(pRes->GetListElement(&element, &loaded, 2));
    EXPECT_EQ(pRes->GetStructID(&element), 3);
}

TEST_F(Lists, AppendingNeedsAListWhoseEntryFits)
{
    CKvtImageBuilder image;
    image.m_Structs.push_back({0xFFFFFFFF, 0, 3});
    image.AddField(KVT_INT, image.AddLabel("number"), 0);
    image.AddField(KVT_LIST, image.AddLabel("cut"), 0);
    image.AddField(KVT_LIST, image.AddLabel("far"), 100);
    image.m_Structs[0][1] = image.AddFieldIndices({0, 1, 2});
    image.AddListEntry({0, 0});
    image.m_ListIndices.resize(8); // count 2 with room for only one index
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtStructHandle element{66};
    for (const char* pLabel : {"number", "cut", "far", "missing"}) {
        const CKvtListHandle list = ListHandle(0, pLabel);
        EXPECT_FALSE(pRes->AddListElement(&element, &list, 1)) << pLabel;
    }
    const CKvtListHandle elsewhere = ListHandle(9, "cut");
    EXPECT_FALSE(pRes->AddListElement(&element, &elsewhere, 1));
    EXPECT_EQ(element.nStructIndex, 66u);
    EXPECT_EQ(pRes->GetStructCount(), 1u);
}
