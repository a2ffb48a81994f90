// Find over the document: the hits of the ordered walk (which opens only the
// structs that lead to hits) are exactly those of testing every node in that
// order; next and previous step through them and wrap; what each option
// searches.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KVTNodePath.h"
#include "KVTNodeSearch.h"
#include "KVTPlainTextMatch.h"
#include "KVTRegexTextMatch.h"

namespace {

void FillRandomTree(CKvtNodeStruct* pRoot, std::mt19937& random, int nNodes)
{
    const TKvtFieldType types[] = {ftBYTE, ftINT, ftFLOAT, ftSTRING, ftRESREF, ftSTRUCT, ftLIST, ftLIST};
    const char* const kLabels[] = {"Alpha", "beta", "Gamma_ray", "delta", "alphabet", ""};
    const char* const kValues[] = {"alpha", "x beta y", "42", "Gamma", "none"};
    std::vector<CKvtNodeStruct*> parents{pRoot};
    for (int i = 0; i < nNodes; ++i) {
        CKvtNodeStruct* pParent = parents[random() % parents.size()];
        CKvtNodeBase* pNode = AddNode(pParent, types[random() % std::size(types)], kLabels[random() % 6], i);
        pNode->SetFromText(kValues[random() % std::size(kValues)]);
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode())
            parents.push_back(pStruct);
    }
}

// Every node in the walk's order, and which of them are hits.
std::vector<std::pair<CKvtNodeBase*, bool>> TestEveryNode(CKvtNodeBase* pRoot, const CKvtNodeMatcher& matcher,
                                                          TKvtChildOrder nOrder)
{
    std::vector<std::pair<CKvtNodeBase*, bool>> nodes;
    CKvtPathWalk walk(nOrder, true);
    walk.Run(pRoot, [&](const KvtWalkVisit_st& visit) {
        nodes.emplace_back(visit.pNode, matcher.Matches(visit.pNode));
        return TKvtWalkStep::Continue;
    });
    return nodes;
}

bool IsFound(CKvtNodeBase* pNode, const char* pText, const KvtFindOptions_st& options)
{
    CKvtPlainTextMatch match(pText, options.bMatchCase, options.bWholeWord);
    return CKvtNodeMatcher(match, options).Matches(pNode);
}

} // namespace

TEST(NodeSearch, FindsWhatTestingEveryNodeFindsInOrderAndStepsThroughIt)
{
    std::mt19937 random(7);
    const char* const kNeedles[] = {"alpha", "BETA", "4", "gamma", "List", "nothing at all"};
    for (int nRound = 0; nRound < 24; ++nRound) {
        CKvtNodeTopLevelStruct root;
        FillRandomTree(&root, random, static_cast<int>(random() % 300));
        KvtFindOptions_st options;
        options.bWholeWord = nRound % 3 == 0;
        options.bMatchCase = nRound % 4 == 0;
        options.bTypes = nRound % 2 == 0;
        CKvtPlainTextMatch match(kNeedles[nRound % std::size(kNeedles)], options.bMatchCase, options.bWholeWord);
        CKvtNodeMatcher matcher(match, options);
        const TKvtChildOrder nOrder = nRound % 5 == 0 ? TKvtChildOrder::File : TKvtChildOrder::Caption;
        const std::vector<std::pair<CKvtNodeBase*, bool>> nodes = TestEveryNode(&root, matcher, nOrder);
        std::vector<CKvtNodeBase*> expected;
        for (const auto& [pNode, bHit] : nodes) {
            if (bHit)
                expected.push_back(pNode);
        }

        CKvtPathWalk walk(nOrder, true);
        CKvtNodeSearch search(&root, matcher, walk);
        std::vector<CKvtNodeBase*> all;
        search.FindAll([&](const KvtWalkVisit_st& visit) {
            all.push_back(visit.pNode);
            EXPECT_EQ(visit.sPath, GetNodePath(FindNodeChain(&root, visit.pNode)));
            return true;
        });
        EXPECT_EQ(all, expected) << "round " << nRound;

        // Forward from nowhere, then from each hit: every hit once, then the wrap.
        std::vector<CKvtNodeBase*> chain;
        for (size_t i = 0; i <= expected.size(); ++i) {
            const KvtFindResult_st next = search.FindNext(chain, false);
            if (expected.empty()) {
                EXPECT_EQ(next.pNode, nullptr);
                break;
            }
            EXPECT_EQ(next.pNode, expected[i % expected.size()]) << "round " << nRound << " step " << i;
            EXPECT_EQ(next.bWrapped, i == expected.size());
            EXPECT_EQ(next.chain, FindNodeChain(&root, next.pNode));
            chain = next.chain;
        }
        // From any node, hit or not, deep in a subtree without hits or not:
        // the first hit after it (before it), else the first (last) one.
        if (!expected.empty()) {
            const size_t nStart = random() % nodes.size();
            CKvtNodeBase* pAfter = nullptr;
            CKvtNodeBase* pBefore = nullptr;
            for (size_t i = nStart + 1; i < nodes.size() && !pAfter; ++i)
                pAfter = nodes[i].second ? nodes[i].first : nullptr;
            for (size_t i = nStart; i-- > 0 && !pBefore;)
                pBefore = nodes[i].second ? nodes[i].first : nullptr;
            const std::vector<CKvtNodeBase*> start = FindNodeChain(&root, nodes[nStart].first);
            EXPECT_EQ(search.FindNext(start, false).pNode, pAfter ? pAfter : expected.front()) << "round " << nRound;
            EXPECT_EQ(search.FindNext(start, true).pNode, pBefore ? pBefore : expected.back()) << "round " << nRound;
        }
        // Backward from the first hit wraps to the last, then walks back.
        if (expected.size() >= 2) {
            KvtFindResult_st previous = search.FindNext(FindNodeChain(&root, expected.front()), true);
            EXPECT_EQ(previous.pNode, expected.back());
            EXPECT_TRUE(previous.bWrapped);
            previous = search.FindNext(previous.chain, true);
            EXPECT_EQ(previous.pNode, expected[expected.size() - 2]);
            EXPECT_FALSE(previous.bWrapped);
        }
    }
}

TEST(NodeSearch, SearchesLabelsValuesAndTypesAsChosen)
{
    CKvtNodeTopLevelStruct root;
    CKvtNodeBase* pInt = AddNode(&root, ftINT, "Count");
    pInt->SetFromText("312");
    auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(AddNode(&root, ftLOCSTRING, "Title"));
    pLoc->m_Value.AddString(3, "Bonjour tout", 12, 1);
    auto* pBinary = static_cast<CKvtNodeBINARY*>(AddNode(&root, ftBINARY, "Blob"));
    pBinary->m_pData = new uint8_t[3]{0x0A, 0xFF, 0x10};
    pBinary->m_nDataSize = 3;
    CKvtNodeBase* pFloat = AddNode(&root, ftFLOAT, "Weight");
    pFloat->SetFromText("1.5");
    CKvtNodeBase* pStruct = AddNode(&root, ftSTRUCT, "Inner");
    pStruct->SetStructID(77);

    KvtFindOptions_st all;
    EXPECT_TRUE(IsFound(pInt, "12", all));
    EXPECT_FALSE(IsFound(pInt, "x12", all));
    EXPECT_TRUE(IsFound(pLoc, "TOUT", all));
    EXPECT_FALSE(IsFound(pLoc, "tou", KvtFindOptions_st{true, true, true, false, true, false}));
    EXPECT_TRUE(IsFound(pLoc, "-1", all));  // its StrRef
    EXPECT_TRUE(IsFound(pBinary, "ff 10", all));
    EXPECT_EQ(CKvtNodeMatcher::GetBinaryText(pBinary), "0A FF 10");
    EXPECT_TRUE(IsFound(pFloat, "1.500", all));
    EXPECT_TRUE(IsFound(pStruct, "Struct: 77", all));

    const KvtFindOptions_st labelsOnly{true, false, false, false, false, false};
    EXPECT_TRUE(IsFound(pInt, "count", labelsOnly));
    EXPECT_FALSE(IsFound(pInt, "count", KvtFindOptions_st{true, false, false, true, false, false}));
    EXPECT_FALSE(IsFound(pInt, "312", labelsOnly));
    EXPECT_FALSE(IsFound(pInt, "INT", labelsOnly));
    EXPECT_TRUE(IsFound(pInt, "INT", KvtFindOptions_st{false, false, true, true, true, false}));
    EXPECT_FALSE(IsFound(pInt, "", all));

    CKvtRegexTextMatch regex("^B.n+j", false, false);
    ASSERT_TRUE(regex.IsValid());
    EXPECT_TRUE(CKvtNodeMatcher(regex, all).Matches(pLoc));
    CKvtRegexTextMatch bad("a(b", false, false);
    EXPECT_FALSE(bad.IsValid());
    EXPECT_FALSE(bad.ErrorText().empty());
    EXPECT_FALSE(bad.Matches("a(b"));
}
