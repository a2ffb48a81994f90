// Node paths: every node of random documents has a path that leads back to
// it, in both walk orders; labels of any bytes survive the escape; only the
// one written form of a path is accepted.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KVTNodePath.h"
#include "KVTPathWalk.h"

namespace {

// Labels that need every rule: empty, repeated, escaped bytes, high bytes.
std::string RandomLabel(std::mt19937& random)
{
    static const char* const kCommon[] = {"", "", "Name", "Name", "a/b", "x[1]", "{k}", "back\\slash", "e", "\\e"};
    if (random() % 2 == 0)
        return kCommon[random() % std::size(kCommon)];
    std::string sLabel;
    const size_t nLength = random() % 5;
    for (size_t i = 0; i < nLength; ++i)
        sLabel += static_cast<char>(1 + random() % 255);
    return sLabel;
}

void FillRandomTree(CKvtNodeStruct* pRoot, std::mt19937& random, int nNodes)
{
    const TKvtFieldType types[] = {ftBYTE, ftSTRING, ftLOCSTRING, ftSTRUCT, ftLIST, ftLIST, ftSTRUCT};
    std::vector<CKvtNodeStruct*> parents{pRoot};
    for (int i = 0; i < nNodes; ++i) {
        CKvtNodeStruct* pParent = parents[random() % parents.size()];
        CKvtNodeBase* pNode = AddNode(pParent, types[random() % std::size(types)], RandomLabel(random).c_str(), i);
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode())
            parents.push_back(pStruct);
    }
}

} // namespace

TEST(NodePath, EveryNodeOfRandomDocumentsResolvesToItself)
{
    std::mt19937 random(18);
    for (int nRound = 0; nRound < 30; ++nRound) {
        CKvtNodeTopLevelStruct root;
        const int nNodes = nRound == 0 ? 0 : 1 + static_cast<int>(random() % 400);
        FillRandomTree(&root, random, nNodes);
        for (TKvtChildOrder nOrder : {TKvtChildOrder::Caption, TKvtChildOrder::File}) {
            std::set<std::string> paths;
            size_t nVisited = 0;
            CKvtPathWalk walk(nOrder, nRound % 2 == 0);
            walk.Run(&root, [&](const KvtWalkVisit_st& visit) {
                ++nVisited;
                for (char c : visit.sPath)
                    EXPECT_TRUE(c >= 0x20 && c < 0x7F) << visit.sPath;
                EXPECT_TRUE(paths.insert(visit.sPath).second) << "two nodes share " << visit.sPath;
                const KvtPathLookup_st lookup = ResolveNodePath(&root, visit.sPath);
                EXPECT_EQ(lookup.pNode, visit.pNode) << visit.sPath;
                EXPECT_EQ(GetNodePath(FindNodeChain(&root, visit.pNode)), visit.sPath);
                std::vector<KvtPathStep_st> steps;
                EXPECT_TRUE(ParseNodePath(visit.sPath, steps));
                EXPECT_EQ(FormatNodePath(steps), visit.sPath);
                return TKvtWalkStep::Continue;
            });
            EXPECT_EQ(nVisited, static_cast<size_t>(nNodes) + 1);
        }
    }
}

TEST(NodePath, WritesLabelsPositionsAndRepeats)
{
    CKvtNodeTopLevelStruct root;
    AddNode(&root, ftBYTE, "Flag");
    CKvtNodeStruct* pItems = AddNode(&root, ftLIST, "Items")->GetStructNode();
    AddNode(pItems, ftSTRUCT, "");
    CKvtNodeStruct* pSecond = AddNode(pItems, ftSTRUCT, "")->GetStructNode();
    CKvtNodeBase* pWeight = AddNode(AddNode(pSecond, ftSTRUCT, "Properties")->GetStructNode(), ftFLOAT, "Weight");
    CKvtNodeStruct* pInner = AddNode(pSecond, ftLIST, "Grid")->GetStructNode();
    CKvtNodeBase* pRow = AddNode(AddNode(pInner, ftLIST, "")->GetStructNode(), ftLIST, "");
    AddNode(&root, ftBYTE, "Flag");
    CKvtNodeBase* pThird = AddNode(&root, ftBYTE, "Flag");
    CKvtNodeBase* pOdd = AddNode(&root, ftBYTE, "a/[b]{c}\\\x01\x7F\xFF ");
    CKvtNodeBase* pEmpty = AddNode(&root, ftBYTE, "");
    CKvtNodeBase* pEmpty2 = AddNode(&root, ftBYTE, "");

    const std::pair<CKvtNodeBase*, const char*> expected[] = {
        {&root, "/"},
        {pItems, "/Items"},
        {pWeight, "/Items[1]/Properties/Weight"},
        {pRow, "/Items[1]/Grid[0][0]"},
        {pThird, "/Flag{3}"},
        {pOdd, "/a\\/\\[b\\]\\{c\\}\\\\\\x01\\x7F\\xFF "},
        {pEmpty, "/\\e"},
        {pEmpty2, "/\\e{2}"},
    };
    for (const auto& [pNode, pPath] : expected) {
        EXPECT_EQ(GetNodePath(FindNodeChain(&root, pNode)), pPath);
        EXPECT_EQ(ResolveNodePath(&root, pPath).pNode, pNode) << pPath;
    }

    // Well formed, but nothing there: the offset names the step that fails.
    const KvtPathLookup_st missing = ResolveNodePath(&root, "/Items[1]/Nothing/Weight");
    EXPECT_EQ(missing.pNode, nullptr);
    EXPECT_EQ(missing.nError, TKvtPathError::NotFound);
    EXPECT_EQ(missing.nOffset, 9u);
    for (const char* pPath : {"/Items[2]", "/Flag{4}", "/Flag[0]", "/Items/x", "/Flag/x"})
        EXPECT_EQ(ResolveNodePath(&root, pPath).nError, TKvtPathError::NotFound) << pPath;
}

TEST(NodePath, AcceptsOnlyTheWrittenForm)
{
    const char* const kRejected[] = {
        "",          "Items",      "//",       "/Items/",    "/[0]",      "/Items[01]", "/Items[]",
        "/Items[-1]", "/Items[0",  "/A{1}",    "/A{02}",     "/A{}",      "/A}",        "/A]",
        "/\\x41",    "/\\x0a",     "/\\x00",   "/\\e\\e",    "/\\ex",     "/x\\e",      "/\\q",
        "/a\\",      "/\x01",      "/\xC3\xA9", "/Items[2147483648]", "/A{99999999999}",
    };
    for (const char* pText : kRejected) {
        std::vector<KvtPathStep_st> steps;
        EXPECT_FALSE(ParseNodePath(pText, steps)) << pText;
    }
    std::vector<KvtPathStep_st> steps;
    ASSERT_TRUE(ParseNodePath("/A{2}[3][0]/\\e/\\x0A", steps));
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].nOccurrence, 2u);
    EXPECT_TRUE(steps[1].bElement);
    EXPECT_EQ(steps[1].nPosition, 3u);
    EXPECT_EQ(steps[3].sLabel, "");
    EXPECT_EQ(steps[4].sLabel, "\n");
}
