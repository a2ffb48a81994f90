// A file built from nothing keeps its field indices as arrays per struct.
// Whatever the order of the building calls, it must give exactly what the
// plain byte area gives: the same offsets, sizes, capacities, abandoned
// bytes, compaction, lookups and saved bytes.

#include <chrono>
#include <random>

#include "ResmanFixture.h"

namespace {

// Three objects driven by the same calls: one built as usual, one turned
// into the plain byte area right after CreateNew, and one turned at a chosen
// step; all three must agree after every call.
class CWriterTrio {
public:
    explicit CWriterTrio(int nSwitchStep) : m_nSwitchStep(nSwitchStep) {}

    CResKVT& Built() { return m_Built; }
    CResKVT* All(int i) { return i == 0 ? &m_Built : i == 1 ? &m_Plain : &m_Switched; }

    void Start(int nStep)
    {
        CKvtStructHandle top;
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(All(i)->CreateNew(&top, "TEST"));
        m_Plain.GetFieldIndicesBlock();
        Step(nStep);
    }

    void Step(int nStep)
    {
        if (nStep == m_nSwitchStep)
            m_Switched.GetFieldIndicesBlock();
    }

private:
    CResKVT m_Built, m_Plain, m_Switched;
    int m_nSwitchStep;
};

void ExpectSameState(CResKVT& a, CResKVT& b, const std::string& sWhat)
{
    const KvtHeader_st& ha = *a.GetHeader();
    const KvtHeader_st& hb = *b.GetHeader();
    ASSERT_EQ(ha.structCount, hb.structCount) << sWhat;
    ASSERT_EQ(ha.fieldCount, hb.fieldCount) << sWhat;
    ASSERT_EQ(ha.labelCount, hb.labelCount) << sWhat;
    ASSERT_EQ(ha.fieldDataSize, hb.fieldDataSize) << sWhat;
    ASSERT_EQ(ha.fieldIndicesSize, hb.fieldIndicesSize) << sWhat;
    ASSERT_EQ(ha.listIndicesSize, hb.listIndicesSize) << sWhat;
    ASSERT_EQ(a.GetFieldIndicesAbandoned(), b.GetFieldIndicesAbandoned()) << sWhat;
    ASSERT_EQ(a.GetListIndicesAbandoned(), b.GetListIndicesAbandoned()) << sWhat;
    ASSERT_EQ(a.GetFieldIndicesCapacity(), b.GetFieldIndicesCapacity()) << sWhat;
    ASSERT_EQ(a.GetTotalSize(), b.GetTotalSize()) << sWhat;
}

} // namespace

using BuiltFieldIndices = ResmanTest;

TEST_F(BuiltFieldIndices, RandomBuildSequencesGiveThePlainRulesByteForByte)
{
    std::mt19937 random(4242);
    auto pick = [&](uint32_t nBelow) { return static_cast<uint32_t>(random() % nBelow); };
    for (int nRound = 0; nRound < 80; ++nRound) {
        SCOPED_TRACE(nRound);
        const int nSteps = 1 + static_cast<int>(pick(400));
        CWriterTrio trio(static_cast<int>(pick(static_cast<uint32_t>(nSteps) + 1)));
        trio.Start(0);
        std::vector<CKvtStructHandle> structs{{0}};
        std::vector<CKvtListHandle> lists;
        // Few labels, so that structs share labels and hold duplicates.
        const char* const labels[] = {"a", "b", "c", "d", "e", "f", "sixteen_chars_xx", "seventeen_chars_x"};
        for (int nStep = 1; nStep <= nSteps; ++nStep) {
            trio.Step(nStep);
            // Recent structs are picked more often, as nested building does,
            // but any struct may get a field at any time.
            const uint32_t nStruct = pick(4) == 0
                                         ? pick(static_cast<uint32_t>(structs.size()))
                                         : static_cast<uint32_t>(structs.size()) - 1 -
                                               pick(std::min<uint32_t>(3, static_cast<uint32_t>(structs.size())));
            const CKvtStructHandle h = structs[nStruct];
            const char* pLabel = labels[pick(8)];
            const uint32_t nOperation = pick(20);
            bool results[3];
            CKvtStructHandle made[3];
            CKvtListHandle madeList[3];
            for (int i = 0; i < 3; ++i) {
                CResKVT& res = *trio.All(i);
                if (nOperation < 9)
                    results[i] = res.WriteINT(&h, nStep, pLabel);
                else if (nOperation < 11)
                    results[i] = res.WriteSTRING(&h, "text", pLabel);
                else if (nOperation < 14)
                    results[i] = res.AddStructField(&made[i], &h, pLabel, static_cast<uint32_t>(nStep));
                else if (nOperation < 16)
                    results[i] = res.AddList(&madeList[i], &h, pLabel);
                else if (nOperation < 19 && !lists.empty())
                    results[i] = res.AddListElement(&made[i], &lists[nStep % lists.size()], 7);
                else if (nOperation == 19)
                    res.Compact(static_cast<uint8_t>(nStep % 3), static_cast<uint32_t>(nStep % 50));
                else
                    results[i] = res.WriteBYTE(&h, 1, pLabel);
            }
            if (nOperation != 19) {
                ASSERT_EQ(results[0], results[1]) << "step " << nStep;
                ASSERT_EQ(results[0], results[2]) << "step " << nStep;
            }
            if (results[0] && ((nOperation >= 11 && nOperation < 14) || (nOperation >= 16 && nOperation < 19))) {
                ASSERT_EQ(made[0].nStructIndex, made[1].nStructIndex);
                structs.push_back(made[0]);
            }
            if (results[0] && nOperation >= 14 && nOperation < 16)
                lists.push_back(madeList[0]);
            const std::string sWhat = "step " + std::to_string(nStep);
            ExpectSameState(*trio.All(0), *trio.All(1), sWhat);
            ExpectSameState(*trio.All(0), *trio.All(2), sWhat);
            // Lookups and reads by label see the same fields.
            const CKvtStructHandle probe = structs[pick(static_cast<uint32_t>(structs.size()))];
            const char* pProbe = labels[pick(8)];
            for (int i = 1; i < 3; ++i) {
                ASSERT_EQ(trio.All(0)->GetFieldIndexByLabel(&probe, pProbe),
                          trio.All(i)->GetFieldIndexByLabel(&probe, pProbe));
                ASSERT_EQ(trio.All(0)->GetAddressableFieldCount(&probe), trio.All(i)->GetAddressableFieldCount(&probe));
                const int32_t nField = static_cast<int32_t>(pick(8));
                ASSERT_EQ(trio.All(0)->GetFieldType(&probe, nullptr, nField),
                          trio.All(i)->GetFieldType(&probe, nullptr, nField));
            }
            // Saving (which may compact) in the middle of building, too.
            if (pick(60) == 0) {
                const std::vector<uint8_t> built = SaveBytes(*trio.All(0), "built.kvt");
                ASSERT_EQ(built, SaveBytes(*trio.All(1), "plain.kvt")) << sWhat;
                ASSERT_EQ(built, SaveBytes(*trio.All(2), "switched.kvt")) << sWhat;
            }
        }
        const std::vector<uint8_t> built = SaveBytes(*trio.All(0), "built.kvt");
        ASSERT_EQ(built, SaveBytes(*trio.All(1), "plain.kvt"));
        ASSERT_EQ(built, SaveBytes(*trio.All(2), "switched.kvt"));
        // The area handed out at the end holds what the plain one holds,
        // abandoned copies included.
        const uint32_t nUsed = trio.All(1)->GetHeader()->fieldIndicesSize;
        const uint8_t* pBuilt = trio.All(0)->GetFieldIndicesBlock();
        const uint8_t* pPlain = trio.All(1)->GetFieldIndicesBlock();
        ASSERT_EQ(std::vector<uint8_t>(pBuilt, pBuilt + nUsed), std::vector<uint8_t>(pPlain, pPlain + nUsed));
    }
    EXPECT_EQ(m_recorder.Count(), 0u) << DescribeReports(m_recorder);
}

TEST_F(BuiltFieldIndices, FieldsAlternatingWithStructsLeaveTheAbandonedCopiesInASmallFile)
{
    // Few moves in a file with a large blob: too few abandoned bytes for a
    // compaction, so the old copies are written out as they were left.
    CWriterTrio trio(-1);
    trio.Start(0);
    std::vector<uint8_t> blob(20000, 0x5A);
    for (int i = 0; i < 3; ++i) {
        CResKVT& res = *trio.All(i);
        CKvtStructHandle top{0}, inner;
        ASSERT_TRUE(res.WriteBINARY(&top, blob.data(), static_cast<uint32_t>(blob.size()), "blob"));
        for (int n = 0; n < 4; ++n) {
            ASSERT_TRUE(res.WriteINT(&top, n, "leaf"));
            ASSERT_TRUE(res.AddStructField(&inner, &top, "sub", 1));
            ASSERT_TRUE(res.WriteINT(&inner, 1, "x"));
            ASSERT_TRUE(res.WriteINT(&inner, 2, "y"));
        }
    }
    ASSERT_EQ(trio.All(0)->GetFieldIndicesAbandoned(), 60u);
    const std::vector<uint8_t> built = SaveBytes(*trio.All(0), "built.kvt");
    EXPECT_EQ(built, SaveBytes(*trio.All(1), "plain.kvt"));
    // Kept in the file: 60 bytes are below one percent of it.
    EXPECT_EQ(trio.All(0)->GetFieldIndicesAbandoned(), 60u);
    EXPECT_EQ(trio.All(1)->GetFieldIndicesAbandoned(), 60u);
}

TEST_F(BuiltFieldIndices, TwentyThousandFieldsAlternatingWithStructsSaveInLinearTime)
{
    // Stored byte for byte, the top-level array would move at every leaf:
    // 10,000 moves of up to 80 KB, 400 MB of abandoned copies in all.
    const auto start = std::chrono::steady_clock::now();
    CResKVT res;
    CKvtStructHandle top, inner;
    ASSERT_TRUE(res.CreateNew(&top, "ALT "));
    for (int n = 0; n < 10000; ++n) {
        ASSERT_TRUE(res.WriteINT(&top, n, ("leaf" + std::to_string(n)).c_str()));
        ASSERT_TRUE(res.AddStructField(&inner, &top, ("sub" + std::to_string(n)).c_str(), 1));
        ASSERT_TRUE(res.WriteINT(&inner, n, "x"));
        ASSERT_TRUE(res.WriteINT(&inner, -n, "y"));
    }
    EXPECT_GT(res.GetFieldIndicesAbandoned(), 300u * 1000 * 1000); // what the plain area would hold
    auto pLoaded = SaveAndReload(res);
    ASSERT_TRUE(pLoaded);
    EXPECT_EQ(pLoaded->GetHeader()->fieldIndicesSize, 20000u * 4 + 10000u * 8); // compacted
    int32_t bOk = 0;
    CKvtStructHandle sub;
    ASSERT_TRUE(pLoaded->GetStructField(&sub, &top, "sub9999"));
    EXPECT_EQ(pLoaded->ReadINT(&sub, "y", &bOk, 0), -9999);
    EXPECT_EQ(pLoaded->ReadINT(&top, "leaf9999", &bOk, 0), 9999);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20);
}
