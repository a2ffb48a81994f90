// Lookups by label: the first field with the label wins, the search stops at
// the first field that does not resolve, and wide structs are not quadratic.

#include <chrono>
#include <cstring>
#include <random>

#include "ResmanFixture.h"

namespace {

// The lookup as a plain walk through the public queries: GetFieldLabel is null
// exactly where the search must stop (unresolved field or label outside the table).
int32_t LinearLookup(CResKVT& res, const CKvtStructHandle& h, const std::string& sLabel)
{
    const std::string sKey = sLabel.substr(0, 16);
    const int32_t nCount = res.GetAddressableFieldCount(&h);
    for (int32_t i = 0; i < nCount; ++i) {
        const char* pLabel = res.GetFieldLabel(&h, i);
        if (pLabel == nullptr)
            break;
        if (sKey == pLabel)
            return i;
    }
    return -1;
}

} // namespace

using LabelLookup = ResmanTest;

TEST_F(LabelLookup, WideStructIsReadByLabelInLinearTime)
{
    const int32_t nFields = 100000;
    const auto start = std::chrono::steady_clock::now();
    CResKVT writer;
    CKvtStructHandle top;
    ASSERT_TRUE(writer.CreateNew(&top, "WIDE"));
    char label[32];
    for (int32_t i = 0; i < nFields; ++i) {
        std::snprintf(label, sizeof(label), "f%d", i);
        ASSERT_TRUE(writer.WriteINT(&top, i, label));
    }
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    ASSERT_EQ(pRes->GetFieldCount(&top), nFields);
    int32_t bOk = 0;
    for (int32_t i = 0; i < nFields; ++i) {
        std::snprintf(label, sizeof(label), "f%d", i);
        ASSERT_EQ(pRes->GetFieldIndexByLabel(&top, label), i);
        ASSERT_EQ(pRes->ReadINT(&top, label, &bOk, -1), i);
    }
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "absent"), -1);
    // A linear search per read would take 5 * 10^9 label compares here.
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20);
}

TEST_F(LabelLookup, AgreesWithTheLinearSearchOnDamagedFiles)
{
    std::mt19937 random(12345);
    auto pick = [&](uint32_t nBelow) { return static_cast<uint32_t>(random() % nBelow); };
    for (int nRound = 0; nRound < 40; ++nRound) {
        SCOPED_TRACE(nRound);
        CKvtImageBuilder image;
        const uint32_t nLabels = 1 + pick(12);
        for (uint32_t i = 0; i < nLabels; ++i)
            image.AddLabel(std::string(1, static_cast<char>('a' + pick(6))));
        const uint32_t nFieldRecords = 1 + pick(60);
        for (uint32_t i = 0; i < nFieldRecords; ++i)
            image.AddField(KVT_INT, pick(20) == 0 ? nLabels + pick(3) : pick(nLabels), i);
        const uint32_t nStructs = 1 + pick(6);
        for (uint32_t s = 0; s < nStructs; ++s) {
            const uint32_t nCount = pick(40);
            std::vector<uint32_t> indices;
            for (uint32_t i = 0; i < nCount; ++i)
                indices.push_back(pick(25) == 0 ? nFieldRecords + pick(3) : pick(nFieldRecords));
            uint32_t nData = nCount == 1 ? indices[0] : image.AddFieldIndices(indices);
            if (nCount >= 2 && pick(5) == 0)
                nData += 4 * pick(nCount); // array running past its end
            image.m_Structs.push_back({s, nData, nCount});
        }
        auto pRes = LoadImage(image);
        ASSERT_TRUE(pRes);
        auto compareAll = [&]() {
            for (uint32_t s = 0; s < pRes->GetStructCount(); ++s) {
                const CKvtStructHandle h{s};
                for (char c = 'a'; c <= 'h'; ++c) {
                    const std::string sLabel(1, c);
                    ASSERT_EQ(pRes->GetFieldIndexByLabel(&h, sLabel.c_str()), LinearLookup(*pRes, h, sLabel))
                        << "struct " << s << " label " << sLabel;
                }
            }
        };
        compareAll();
        // Appending fields (with new labels too) must keep the lookups exact.
        for (int nWrite = 0; nWrite < 30; ++nWrite) {
            const CKvtStructHandle h{pick(nStructs)};
            const std::string sLabel(1, static_cast<char>('a' + pick(8)));
            pRes->WriteINT(&h, nWrite, sLabel.c_str());
            if (nWrite % 7 == 0)
                compareAll();
        }
        compareAll();
    }
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(LabelLookup, LabelAndTypeInOneStepAgreeWithTheSeparateQueries)
{
    // Narrow and wide structs, repeated labels, labels with bytes after a
    // zero, labels outside the table and entries naming no field.
    std::mt19937 random(4242);
    auto pick = [&](uint32_t nBelow) { return static_cast<uint32_t>(random() % nBelow); };
    for (int nRound = 0; nRound < 30; ++nRound) {
        SCOPED_TRACE(nRound);
        CKvtImageBuilder image;
        image.m_Labels.push_back(std::string("ab\0c", 4));
        image.m_Labels.push_back("ab");
        image.m_Labels.push_back(std::string(16, 'x'));
        image.m_Labels.push_back("");
        for (char c = 'a'; c <= 'f'; ++c)
            image.AddLabel(std::string(1, c));
        const uint32_t nLabels = static_cast<uint32_t>(image.m_Labels.size());
        const uint32_t nFieldRecords = 1 + pick(80);
        for (uint32_t i = 0; i < nFieldRecords; ++i)
            image.AddField(pick(17), pick(25) == 0 ? nLabels + pick(3) : pick(nLabels), i);
        const uint32_t nStructs = 1 + pick(5);
        for (uint32_t s = 0; s < nStructs; ++s) {
            const uint32_t nCount = pick(30);
            std::vector<uint32_t> indices;
            for (uint32_t i = 0; i < nCount; ++i)
                indices.push_back(pick(25) == 0 ? nFieldRecords + pick(3) : pick(nFieldRecords));
            image.m_Structs.push_back({s, nCount == 1 ? indices[0] : image.AddFieldIndices(indices), nCount});
        }
        auto pRes = LoadImage(image);
        ASSERT_TRUE(pRes);
        for (uint32_t s = 0; s < nStructs + 1; ++s) { // one struct past the end
            const CKvtStructHandle h{s};
            for (int32_t i = -1; i <= static_cast<int32_t>(pRes->GetFieldCount(&h)) + 1; ++i) {
                const char* pLabel = pRes->GetFieldLabel(&h, i);
                const std::string sLabel = pLabel != nullptr ? pLabel : "";
                const int32_t nType = pRes->GetFieldType(&h, sLabel.c_str(), i);
                int32_t nBoth = -9;
                const char* pBoth = pRes->GetFieldLabelAndType(&h, i, &nBoth);
                ASSERT_EQ(pBoth == nullptr, pLabel == nullptr) << "struct " << s << " field " << i;
                if (pBoth != nullptr)
                    EXPECT_EQ(std::string(pBoth), sLabel);
                EXPECT_EQ(nBoth, nType) << "struct " << s << " field " << i;
                // Reading the field by its label afterwards finds the same field.
                EXPECT_EQ(pRes->GetFieldSize(&h, sLabel.c_str(), -1), pRes->GetFieldSize(&h, nullptr,
                          pRes->GetFieldIndexByLabel(&h, sLabel.c_str())));
            }
        }
    }
}

TEST_F(LabelLookup, ReleasedStructsAreIndexedAgainExactly)
{
    // Wide structs (searched through the index) with repeated labels and the
    // odd damaged entry; structs are released in any order, also ones never
    // searched, and the freed tables serve the next structs.
    std::mt19937 random(777);
    auto pick = [&](uint32_t nBelow) { return static_cast<uint32_t>(random() % nBelow); };
    for (int nRound = 0; nRound < 20; ++nRound) {
        SCOPED_TRACE(nRound);
        CKvtImageBuilder image;
        for (char c = 'a'; c <= 'l'; ++c)
            image.AddLabel(std::string(1, c));
        const uint32_t nFieldRecords = 200;
        for (uint32_t i = 0; i < nFieldRecords; ++i)
            image.AddField(KVT_INT, pick(30) == 0 ? 12 + pick(3) : pick(12), i);
        const uint32_t nStructs = 2 + pick(8);
        for (uint32_t s = 0; s < nStructs; ++s) {
            const uint32_t nCount = 9 + pick(40);
            std::vector<uint32_t> indices;
            for (uint32_t i = 0; i < nCount; ++i)
                indices.push_back(pick(60) == 0 ? nFieldRecords + pick(3) : pick(nFieldRecords));
            image.m_Structs.push_back({s, image.AddFieldIndices(indices), nCount});
        }
        auto pRes = LoadImage(image);
        ASSERT_TRUE(pRes);
        for (int nStep = 0; nStep < 400; ++nStep) {
            const CKvtStructHandle h{pick(nStructs)};
            const uint32_t nAction = pick(10);
            if (nAction == 0) {
                const CKvtStructHandle released{pick(nStructs + 2)}; // past the end too
                pRes->ReleaseStructIndex(&released);
            } else if (nAction == 1 && nStep % 5 == 0) {
                // New fields let stopped searches go further; released or not.
                ASSERT_TRUE(pRes->WriteINT(&h, nStep, std::string(1, static_cast<char>('a' + pick(14))).c_str()));
            }
            const std::string sLabel(1, static_cast<char>('a' + pick(14)));
            ASSERT_EQ(pRes->GetFieldIndexByLabel(&h, sLabel.c_str()), LinearLookup(*pRes, h, sLabel))
                << "step " << nStep << " struct " << h.nStructIndex << " label " << sLabel;
        }
    }
    {
        // Nothing to release in an empty object, nor for no struct.
        CResKVT empty;
        empty.ReleaseStructIndex(nullptr);
        const CKvtStructHandle h{0};
        empty.ReleaseStructIndex(&h);
    }
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(LabelLookup, StoppedSearchGoesFurtherOnceTheTablesGrow)
{
    // Twelve fields (searched through the index). Field 5 names label 2 and
    // entry 7 names field 14; neither exists yet.
    CKvtImageBuilder image;
    image.AddLabel("a");
    image.AddLabel("z");
    std::vector<uint32_t> indices;
    for (uint32_t i = 0; i < 12; ++i)
        image.AddField(KVT_INT, 0, i);
    image.m_Fields[5][1] = 2;
    image.m_Fields[9][1] = 1; // "z"
    for (uint32_t i = 0; i < 12; ++i)
        indices.push_back(i == 7 ? 14 : i);
    image.m_Fields.push_back({KVT_INT, 1, 99}); // field 12: "z", reached by no struct
    image.m_Structs.push_back({0xFFFFFFFF, image.AddFieldIndices(indices), 12});
    image.m_Structs.push_back({1, 0xFFFFFFFF, 0});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0}, other{1};
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "z"), -1);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "a"), 0);

    // Label 2 now exists ("n", on new field 13): field 5 resolves; the search
    // stops at entry 7.
    ASSERT_TRUE(pRes->WriteINT(&other, 1, "n"));
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "n"), 5);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "z"), -1);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "z"), LinearLookup(*pRes, top, "z"));

    // Field 14 now exists (labelled "q"): the search passes entry 7 and finds field 9.
    ASSERT_TRUE(pRes->WriteINT(&other, 2, "q"));
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "q"), 7);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "z"), 9);
    // New fields of the struct itself are found after the old ones.
    ASSERT_TRUE(pRes->WriteINT(&top, 3, "late"));
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "late"), 12);
    ASSERT_TRUE(pRes->WriteINT(&top, 4, "a"));
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "a"), 0);
}

TEST_F(LabelLookup, LabelsCompareAsAllSixteenBytes)
{
    CKvtImageBuilder image;
    image.m_Labels.push_back(std::string("ab\0c", 4)); // bytes after a zero still count
    image.m_Labels.push_back("Ab");
    image.m_Labels.push_back("ab");
    for (uint32_t i = 0; i < 3; ++i)
        image.AddField(KVT_INT, i, i);
    image.m_Structs.push_back({0xFFFFFFFF, image.AddFieldIndices({0, 1, 2}), 3});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0};
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "ab"), 2); // case-sensitive, exact
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "Ab"), 1);
    EXPECT_STREQ(pRes->GetFieldLabel(&top, 0), "ab");
}

TEST_F(LabelLookup, WriterSharesLabelsFoundByTheBackwardSearch)
{
    // A loaded table may hold a label twice; the writer reuses the later entry.
    CKvtImageBuilder image;
    image.AddLabel("dup");
    for (int i = 0; i < 40; ++i)
        image.AddLabel("l" + std::to_string(i));
    image.AddLabel("dup");
    image.m_Structs.push_back({0xFFFFFFFF, 0xFFFFFFFF, 0});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0};
    EXPECT_EQ(pRes->AddLabel("dup"), 41);
    EXPECT_EQ(pRes->AddLabel("l3"), 4);
    EXPECT_EQ(pRes->AddLabel("fresh"), 42);
    EXPECT_EQ(pRes->AddLabel("fresh"), 42);
    ASSERT_TRUE(pRes->WriteINT(&top, 1, "dup"));
    EXPECT_EQ(pRes->GetHeader()->labelCount, 43u);
}
