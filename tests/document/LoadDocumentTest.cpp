#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KvtImageBuilder.h"
#include "ororeportrecorder.h"

namespace {

using Root = std::unique_ptr<CKvtNodeTopLevelStruct>;

Root Load(const std::vector<uint8_t>& bytes, bool* pRefused = nullptr)
{
    return Root(LoadBytes(bytes, pRefused));
}

} // namespace

TEST(LoadDocument, EmptyTopLevelStructGivesAnEmptyRootWithTypeAndVersion)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image("ABC ");
    image.AddStruct(0x12345678u, 0xFFFFFFFFu, 0);
    bool bRefused = true;
    Root pRoot = Load(image.Build(), &bRefused);
    EXPECT_FALSE(bRefused);
    EXPECT_EQ(pRoot->GetChildCount(), 0);
    EXPECT_STREQ(pRoot->m_sFileType.CStr(), "ABC ");
    EXPECT_STREQ(pRoot->m_sVersion.CStr(), "V3.2");
    EXPECT_EQ(pRoot->GetStructID(), 0u);  // the file's top-level ID is not taken over
    EXPECT_EQ(pRoot->m_nIndex, -1);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(LoadDocument, SectionsInAnyOrderAndRepeatedLabelsInTheTable)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image("DATA");
    const uint32_t nLabelA = image.AddLabel("Alpha");
    const uint32_t nLabelA2 = image.AddLabel("Alpha2");
    const uint32_t nLabelName = image.AddLabel("Name");
    image.AddLabel("Alpha");  // repeated entry, never used
    const uint32_t nString = image.AddFieldData(CKvtImageBuilder::StringValue("hello"));
    image.AddField(KVT_BYTE, nLabelA, 7);
    image.AddField(KVT_STRING, nLabelName, nString);
    image.AddField(KVT_INT, nLabelA2, static_cast<uint32_t>(-5));
    const uint32_t nArray = image.AddFieldIndices({0, 1, 2});
    image.AddStruct(0xFFFFFFFFu, nArray, 3);
    using S = CKvtImageBuilder;
    Root pRoot = Load(image.Build({S::ListIndices, S::FieldIndices, S::Labels, S::FieldData, S::Fields, S::Structs}));
    EXPECT_EQ(Outline(pRoot.get()),
              "-1 [TopLevelStruct] DATA\r\nV3.2\n"
              "  Alpha [BYTE] 7\n"
              "  Name [COroString] hello\n"
              "  Alpha2 [INT] -5\n");
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(LoadDocument, DuplicateLabelsBothReadTheFirstField)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    const uint32_t nLabel = image.AddLabel("Same");
    image.AddField(KVT_BYTE, nLabel, 1);
    image.AddField(KVT_INT, nLabel, 2);
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1}), 2);
    Root pRoot = Load(image.Build());
    EXPECT_EQ(Outline(pRoot.get()),
              "-1 [TopLevelStruct] TEST\r\nV3.2\n"
              "  Same [BYTE] 1\n"
              "  Same [BYTE] 1\n");
    EXPECT_EQ(pRoot->GetChild(1)->m_nIndex, 1);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(LoadDocument, SixteenCharacterLabelsAreKeptWhole)
{
    CKvtImageBuilder image;
    image.AddField(KVT_WORD, image.AddLabel("ABCDEFGHIJKLMNOP"), 9);
    image.AddStruct(0xFFFFFFFFu, 0, 1);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 1);
    EXPECT_STREQ(pRoot->GetChild(0)->m_sLabel.CStr(), "ABCDEFGHIJKLMNOP");
    EXPECT_STREQ(pRoot->GetChild(0)->GetEditText().CStr(), "9");
}

TEST(LoadDocument, NestedListsKeepTheirElementsInOrder)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    const uint32_t nOuter = image.AddLabel("Outer");
    const uint32_t nInner = image.AddLabel("Inner");
    const uint32_t nValue = image.AddLabel("v");
    // struct 0: Outer (list of structs 1, 2); each holds Inner (list of one struct)
    image.AddStruct(0xFFFFFFFFu, 0, 1);                      // 0: field 0
    image.AddStruct(11, 1, 1);                                // 1: field 1
    image.AddStruct(12, 2, 1);                                // 2: field 2
    image.AddStruct(21, 3, 1);                                // 3: field 3
    image.AddStruct(22, 4, 1);                                // 4: field 4
    const uint32_t nOuterList = image.AddListIndices({2, 1, 2});
    const uint32_t nInner1 = image.AddListIndices({1, 3});
    const uint32_t nInner2 = image.AddListIndices({1, 4});
    image.AddField(KVT_LIST, nOuter, nOuterList);  // 0
    image.AddField(KVT_LIST, nInner, nInner1);     // 1
    image.AddField(KVT_LIST, nInner, nInner2);     // 2
    image.AddField(KVT_DWORD, nValue, 100);        // 3
    image.AddField(KVT_DWORD, nValue, 200);        // 4
    Root pRoot = Load(image.Build());
    EXPECT_EQ(Outline(pRoot.get()),
              "-1 [TopLevelStruct] TEST\r\nV3.2\n"
              "  Outer [List] \n"
              "    0 [User-defined Struct: 11] \n"
              "      Inner [List] \n"
              "        0 [User-defined Struct: 21] \n"
              "          v [DWORD] 100\n"
              "    1 [User-defined Struct: 12] \n"
              "      Inner [List] \n"
              "        0 [User-defined Struct: 22] \n"
              "          v [DWORD] 200\n");
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(LoadDocument, WideStructsWithRepeatedLabelsReadTheFirstFieldAtEveryLevel)
{
    // Structs of twelve fields are searched through the label index; the
    // root's lookups go on after both list elements were read, and the
    // elements share their labels with each other.
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    std::vector<uint32_t> rootLabels, elementLabels;
    for (int i = 0; i < 9; ++i) {
        rootLabels.push_back(image.AddLabel("R" + std::to_string(i)));
        elementLabels.push_back(image.AddLabel("E" + std::to_string(i)));
    }
    const uint32_t nListLabel = image.AddLabel("List");
    // Root: R0..R4, List, R0 again, R5..R8, R2 again. The repeats are of
    // another type: they read as their first namesake.
    std::vector<uint32_t> rootFields;
    for (int i = 0; i < 5; ++i)
        rootFields.push_back(image.AddField(KVT_INT, rootLabels[i], static_cast<uint32_t>(i)));
    rootFields.push_back(image.AddField(KVT_LIST, nListLabel, image.AddListIndices({2, 1, 2})));
    rootFields.push_back(image.AddField(KVT_BYTE, rootLabels[0], 66));
    for (int i = 5; i < 9; ++i)
        rootFields.push_back(image.AddField(KVT_INT, rootLabels[i], static_cast<uint32_t>(i)));
    rootFields.push_back(image.AddField(KVT_DWORD, rootLabels[2], 99));
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices(rootFields), 12);
    // Elements: E0..E8, then E0, E1, E2 again.
    std::string sExpected = "-1 [TopLevelStruct] TEST\r\nV3.2\n";
    std::string sElements;
    for (uint32_t e = 1; e <= 2; ++e) {
        std::vector<uint32_t> fields;
        sElements += "    " + std::to_string(e - 1) + " [User-defined Struct: " + std::to_string(10 + e) + "] \n";
        for (uint32_t i = 0; i < 12; ++i) {
            const uint32_t nType = i < 9 ? KVT_INT : KVT_BYTE;
            fields.push_back(image.AddField(nType, elementLabels[i % 9], e * 100 + i));
            sElements += "      E" + std::to_string(i % 9) + " [INT] " + std::to_string(e * 100 + i % 9) + "\n";
        }
        image.AddStruct(10 + e, image.AddFieldIndices(fields), 12);
    }
    for (int i = 0; i < 5; ++i)
        sExpected += "  R" + std::to_string(i) + " [INT] " + std::to_string(i) + "\n";
    sExpected += "  List [List] \n" + sElements + "  R0 [INT] 0\n";
    for (int i = 5; i < 9; ++i)
        sExpected += "  R" + std::to_string(i) + " [INT] " + std::to_string(i) + "\n";
    sExpected += "  R2 [INT] 2\n";
    Root pRoot = Load(image.Build());
    EXPECT_EQ(Outline(pRoot.get()), sExpected);
    EXPECT_EQ(recorder.Count(), 0u) << recorder.Count();
}

TEST(LoadDocument, UnknownTypesAreDroppedAndUnresolvableOnesWarn)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    image.AddField(16, image.AddLabel("future"), 0);
    image.AddField(0xFFFFFFFFu, image.AddLabel("odd"), 0);
    image.AddField(KVT_BYTE, image.AddLabel("kept"), 3);
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1, 2}), 3);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 2);
    EXPECT_EQ(pRoot->GetChild(0)->GetType(), ftTOPLEVELSTRUCT);
    EXPECT_EQ(pRoot->GetChild(0)->GetStructNode()->GetChildCount(), 0);
    EXPECT_STREQ(pRoot->GetChild(1)->m_sLabel.CStr(), "kept");
    ASSERT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    EXPECT_EQ(recorder.Reports()[0].message,
              "WARNING!  Strangeness happening, non list or struct type saying it is one.!");
}

TEST(LoadDocument, DamagedValuesWarnAndKeepTheirInitialValue)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    // A string whose length runs past the field data block.
    const uint32_t nBad = image.AddFieldData(CKvtImageBuilder::Word(1000));
    image.AddField(KVT_STRING, image.AddLabel("bad"), nBad);
    image.AddField(KVT_BYTE, image.AddLabel("after"), 4);
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1}), 2);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 2);
    EXPECT_STREQ(pRoot->GetChild(0)->GetEditText().CStr(), "");
    EXPECT_STREQ(pRoot->GetChild(1)->GetEditText().CStr(), "4");
    // The failure is reported once for the struct, not at every later field.
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
}

TEST(LoadDocument, EachCauseWarnsOnceNotOncePerFieldOrElement)
{
    {
        // One damaged string followed by a thousand fields.
        COroReportRecorder recorder;
        CKvtImageBuilder image;
        image.AddField(KVT_STRING, image.AddLabel("bad"), image.AddFieldData(CKvtImageBuilder::Word(1000)));
        std::vector<uint32_t> indices{0};
        for (uint32_t i = 1; i <= 1000; ++i)
            indices.push_back(image.AddField(KVT_BYTE, image.AddLabel("f" + std::to_string(i)), i & 0xFF));
        image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices(indices), static_cast<uint32_t>(indices.size()));
        Root pRoot = Load(image.Build());
        EXPECT_EQ(pRoot->GetChildCount(), 1001);
        EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    }
    {
        // Two lists sharing one entry of 2,000 elements: the second list's
        // elements were all read by the first.
        COroReportRecorder recorder;
        CKvtImageBuilder image;
        std::vector<uint32_t> elements;
        for (uint32_t i = 1; i <= 2000; ++i)
            elements.push_back(i);
        const uint32_t nEntry = image.AddListEntry(elements);
        image.AddField(KVT_LIST, image.AddLabel("first"), nEntry);
        image.AddField(KVT_LIST, image.AddLabel("second"), nEntry);
        image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1}), 2);
        for (uint32_t i = 1; i <= 2000; ++i)
            image.AddStruct(i, 0xFFFFFFFFu, 0);
        Root pRoot = Load(image.Build());
        ASSERT_EQ(pRoot->GetChildCount(), 2);
        EXPECT_EQ(pRoot->GetChild(1)->GetStructNode()->GetChildCount(), 2000);
        EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
    }
}

TEST(LoadDocument, UnreadableListsAndMissingStructsWarnWhereTheyHappen)
{
    struct Case {
        const char* pName;
        std::function<void(CKvtImageBuilder&)> build;
    };
    const std::vector<Case> cases = {
        {"list outside its block",
         [](CKvtImageBuilder& image) { image.AddField(KVT_LIST, image.AddLabel("L"), 0x7FFFFFF0u); }},
        {"elements naming missing structs",
         [](CKvtImageBuilder& image) {
             image.AddField(KVT_LIST, image.AddLabel("L"), image.AddListEntry({1, 77, 78, 79}));
             image.AddStruct(4, 0xFFFFFFFFu, 0);
         }},
        {"struct field naming a missing struct",
         [](CKvtImageBuilder& image) { image.AddField(KVT_STRUCT, image.AddLabel("S"), 55); }},
    };
    for (const Case& c : cases) {
        COroReportRecorder recorder;
        CKvtImageBuilder image;
        image.AddStruct(0xFFFFFFFFu, 0, 1);
        c.build(image);
        Root pRoot = Load(image.Build());
        ASSERT_EQ(pRoot->GetChildCount(), 1) << c.pName;
        EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u) << c.pName;
    }
}

TEST(LoadDocument, AStructThatContainsItselfIsReadOnce)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    const uint32_t nLabel = image.AddLabel("loop");
    image.AddStruct(0xFFFFFFFFu, 0, 1);  // 0: field 0 -> struct 1
    image.AddStruct(5, 1, 1);             // 1: field 1 -> struct 1 again
    image.AddField(KVT_STRUCT, nLabel, 1);
    image.AddField(KVT_STRUCT, nLabel, 1);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 1);
    CKvtNodeStruct* pOuter = pRoot->GetChild(0)->GetStructNode();
    ASSERT_EQ(pOuter->GetChildCount(), 1);
    CKvtNodeStruct* pInner = pOuter->GetChild(0)->GetStructNode();
    EXPECT_EQ(pInner->GetStructID(), 5u);
    EXPECT_EQ(pInner->GetChildCount(), 0);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
}

TEST(LoadDocument, AReferenceBackToTheTopLevelStructIsACycleToo)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    image.AddStruct(0xFFFFFFFFu, 0, 1);
    image.AddField(KVT_STRUCT, image.AddLabel("up"), 0);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 1);
    EXPECT_EQ(pRoot->GetChild(0)->GetStructNode()->GetChildCount(), 0);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
}

TEST(LoadDocument, CountsAreCutToWhatTheFileHolds)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    image.AddField(KVT_BYTE, image.AddLabel("a"), 1);
    image.AddField(KVT_LIST, image.AddLabel("L"), image.AddListIndices({100000, 1}));
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1}), 1000000);  // claims a million fields
    image.AddStruct(3, 0xFFFFFFFFu, 0);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 2);
    ASSERT_EQ(pRoot->GetChild(1)->GetStructNode()->GetChildCount(), 1);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 2u);
}

TEST(LoadDocument, TotalWorkIsBoundedByTheFileSize)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    const uint32_t kElements = 200;
    const uint32_t kShared = 500;
    // Every element struct names the same array of 500 field indices.
    const uint32_t nField = image.AddField(KVT_BYTE, image.AddLabel("b"), 1);
    const uint32_t nArray = image.AddFieldIndices(std::vector<uint32_t>(kShared, nField));
    std::vector<uint32_t> entry{kElements};
    image.AddStruct(0xFFFFFFFFu, 1, 1);
    for (uint32_t i = 0; i < kElements; ++i) {
        entry.push_back(image.AddStruct(i, nArray, kShared));
    }
    image.AddField(KVT_LIST, image.AddLabel("many"), image.AddListIndices(entry));
    const std::vector<uint8_t> bytes = image.Build();
    Root pRoot = Load(bytes);
    size_t nNodes = 0;
    CKvtNodeStruct* pList = pRoot->GetChild(0)->GetStructNode();
    for (int32_t i = 0; i < pList->GetChildCount(); ++i)
        nNodes += 1 + static_cast<size_t>(pList->GetChild(i)->GetStructNode()->GetChildCount());
    EXPECT_LE(nNodes, bytes.size());
    EXPECT_LT(nNodes, size_t{kElements} * kShared);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes", 312), 1u);
}

TEST(LoadDocument, NestingStopsAtLevelOneThousand)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    const uint32_t nLabel = image.AddLabel("s");
    const uint32_t kStructs = 1010;
    for (uint32_t i = 0; i < kStructs; ++i) {
        image.AddStruct(i == 0 ? 0xFFFFFFFFu : i, i, 1);
        image.AddField(KVT_STRUCT, nLabel, i + 1 < kStructs ? i + 1 : 0);
    }
    Root pRoot = Load(image.Build());
    int nLevel = 0;
    CKvtNodeStruct* pNode = pRoot.get();
    while (pNode->GetChildCount() > 0) {
        pNode = pNode->GetChild(0)->GetStructNode();
        ++nLevel;
    }
    EXPECT_EQ(nLevel, 1000);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes", 314), 1u);
}

TEST(LoadDocument, RefusedFilesGiveNoDocument)
{
    COroReportRecorder recorder;
    bool bRefused = false;
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    std::vector<uint8_t> shortFile{'T', 'E', 'S', 'T', 'V', '3', '.', '2'};
    EXPECT_FALSE(pRoot->LoadDocumentFromMemory(shortFile.data(), shortFile.size(), "short.kvt", &bRefused));
    EXPECT_TRUE(bRefused);
    EXPECT_EQ(pRoot->GetChildCount(), 0);

    CKvtImageBuilder image;
    image.AddStruct(0xFFFFFFFFu, 0xFFFFFFFFu, 0);
    std::vector<uint8_t> bytes = image.Build();
    bytes[12] = 2;  // two struct records, but the file holds one
    EXPECT_FALSE(pRoot->LoadDocumentFromMemory(bytes.data(), bytes.size(), "cut.kvt", &bRefused));
    EXPECT_TRUE(bRefused);
    EXPECT_FALSE(pRoot->LoadDocument("/nonexistent/file.kvt", &bRefused));
    EXPECT_TRUE(bRefused);
}

TEST(LoadDocument, AStoredAllOnesCountIsHugeNotNone)
{
    COroReportRecorder recorder;
    CKvtImageBuilder image;
    image.AddField(KVT_BYTE, image.AddLabel("a"), 1);
    image.AddField(KVT_BYTE, image.AddLabel("b"), 2);
    image.AddField(KVT_LIST, image.AddLabel("L"), image.AddListIndices({0xFFFFFFFFu, 1}));
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1, 2}), 0xFFFFFFFFu);
    image.AddStruct(4, 0xFFFFFFFFu, 0);
    Root pRoot = Load(image.Build());
    ASSERT_EQ(pRoot->GetChildCount(), 3);
    EXPECT_EQ(pRoot->GetChild(2)->GetStructNode()->GetChildCount(), 1);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes", 310), 1u);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes", 311), 1u);
}
