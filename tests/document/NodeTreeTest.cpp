#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "KVTNodeState.h"
#include "KVTTreeNodes.h"
#include "ororeportrecorder.h"

namespace {

CKvtNodeBase* MakeLeaf(TKvtFieldType nType, const char* pLabel, int32_t nIndex)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pNode->m_nIndex = nIndex;
    return pNode;
}

} // namespace

TEST(KelpList, GrowsBySixteenThenDoubles)
{
    List<int> list;
    EXPECT_EQ(list.GetArraySize(), 0);
    list.Add(1);
    EXPECT_EQ(list.GetArraySize(), 16);
    for (int i = 2; i <= 16; ++i)
        list.Add(i);
    EXPECT_EQ(list.GetArraySize(), 16);
    list.Add(17);
    EXPECT_EQ(list.GetArraySize(), 32);
    EXPECT_EQ(list.GetNum(), 17);
    EXPECT_EQ(list[16], 17);
}

TEST(KelpList, RemoveKeepsTheOrderOfTheRest)
{
    List<int> list;
    for (int i = 0; i < 5; ++i)
        list.Add(i * 10);
    list.Remove(20);
    ASSERT_EQ(list.GetNum(), 4);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[1], 10);
    EXPECT_EQ(list[2], 30);
    EXPECT_EQ(list[3], 40);
    list.RemoveAt(0);
    EXPECT_EQ(list[0], 10);
}

TEST(KelpListDeathTest, BrokenPreconditionsAreFatal)
{
    List<int> list;
    list.Add(1);
    EXPECT_DEATH(list.Remove(7), "kelplist");
    EXPECT_DEATH(list[3], "i>=0 && i<num");
}

TEST(NodeTree, FactoryMakesFreshNodesOfEveryType)
{
    for (int32_t nType = -1; nType <= 15; ++nType) {
        std::unique_ptr<CKvtNodeBase> pNode(CreateKvtNode(static_cast<TKvtFieldType>(nType)));
        ASSERT_NE(pNode, nullptr) << nType;
        EXPECT_EQ(pNode->GetType(), nType);
        EXPECT_EQ(pNode->m_nIndex, -1);
        EXPECT_EQ(pNode->GetStructID(), 0u);
        EXPECT_EQ(pNode->GetStructNode() != nullptr, nType == -1 || nType >= 14) << nType;
    }
    EXPECT_EQ(CreateKvtNode(static_cast<TKvtFieldType>(16)), nullptr);
    EXPECT_EQ(CreateKvtNode(static_cast<TKvtFieldType>(-2)), nullptr);
}

TEST(NodeTree, AssignNextIndexIgnoresNegativeIndices)
{
    CKvtNodeStruct parent(ftSTRUCT);
    std::unique_ptr<CKvtNodeBase> pFirst(CreateKvtNode(ftBYTE));
    parent.AssignNextIndex(pFirst.get());
    EXPECT_EQ(pFirst->m_nIndex, 0);
    parent.AddChild(MakeLeaf(ftBYTE, "a", 0));
    parent.AddChild(MakeLeaf(ftBYTE, "b", 5));
    parent.AddChild(MakeLeaf(ftBYTE, "c", 1));
    parent.AddChild(MakeLeaf(ftBYTE, "d", -1));
    std::unique_ptr<CKvtNodeBase> pNew(CreateKvtNode(ftINT));
    parent.AssignNextIndex(pNew.get());
    EXPECT_EQ(pNew->m_nIndex, 6);
}

TEST(NodeTree, ReservingRoomForChildrenKeepsThemInOrder)
{
    CKvtNodeStruct list(ftLIST);
    for (int32_t i = 0; i < 3; ++i)
        list.AddChild(MakeLeaf(ftINT, "", i));
    list.ReserveChildren(5);
    list.ReserveChildren(0);
    list.ReserveChildren(-3);
    list.ReserveChildren(INT32_MAX);  // beyond any array: nothing is reserved
    for (int32_t i = 3; i < 40; ++i)
        list.AddChild(MakeLeaf(ftINT, "", i));
    ASSERT_EQ(list.GetChildCount(), 40);
    for (int32_t i = 0; i < 40; ++i)
        EXPECT_EQ(list.GetChild(i)->m_nIndex, i);
}

TEST(NodeTree, RemoveChildHandsOwnershipBackAndKeepsOrder)
{
    CKvtNodeStruct parent(ftLIST);
    CKvtNodeBase* a = MakeLeaf(ftBYTE, "a", 0);
    CKvtNodeBase* b = MakeLeaf(ftBYTE, "b", 1);
    CKvtNodeBase* c = MakeLeaf(ftBYTE, "c", 2);
    parent.AddChild(a);
    parent.AddChild(b);
    parent.AddChild(c);
    parent.RemoveChild(b);
    std::unique_ptr<CKvtNodeBase> pOwned(b);
    ASSERT_EQ(parent.GetChildCount(), 2);
    EXPECT_EQ(parent.GetChild(0), a);
    EXPECT_EQ(parent.GetChild(1), c);
}

TEST(NodeTree, CloningTheRootCopiesEverythingIndependently)
{
    CKvtNodeTopLevelStruct root;
    root.m_sFileType = "ABCD";
    root.m_sVersion = "V3.2";
    auto* pStruct = static_cast<CKvtNodeStruct*>(CreateKvtNode(ftSTRUCT));
    pStruct->m_sLabel = "Inner";
    pStruct->SetStructID(77);
    auto* pText = static_cast<CKvtNodeSTRING*>(MakeLeaf(ftSTRING, "Name", 0));
    pText->m_Value = "hello";
    pStruct->AddChild(pText);
    auto* pBinary = static_cast<CKvtNodeBINARY*>(MakeLeaf(ftBINARY, "Blob", 1));
    pBinary->m_pData = new uint8_t[3]{1, 2, 3};
    pBinary->m_nDataSize = 3;
    pStruct->AddChild(pBinary);
    auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(MakeLeaf(ftLOCSTRING, "Loc", 2));
    pLoc->m_Value.StrRef = 5;
    pLoc->m_Value.AddString(1, "one", 0);
    pStruct->AddChild(pLoc);
    root.AddChild(pStruct);
    root.AddChild(MakeLeaf(ftBINARY, "Empty", 1));

    std::unique_ptr<CKvtNodeBase> pCopy(CloneKvtNode(&root));
    ASSERT_EQ(pCopy->GetType(), ftTOPLEVELSTRUCT);
    auto* pRootCopy = static_cast<CKvtNodeTopLevelStruct*>(pCopy.get());
    EXPECT_STREQ(pRootCopy->m_sFileType.CStr(), "ABCD");
    EXPECT_STREQ(pRootCopy->m_sVersion.CStr(), "V3.2");
    ASSERT_EQ(pRootCopy->GetChildCount(), 2);
    CKvtNodeStruct* pStructCopy = pRootCopy->GetChild(0)->GetStructNode();
    ASSERT_NE(pStructCopy, pStruct);
    EXPECT_EQ(pStructCopy->GetStructID(), 77u);
    EXPECT_STREQ(pStructCopy->m_sLabel.CStr(), "Inner");
    ASSERT_EQ(pStructCopy->GetChildCount(), 3);
    auto* pTextCopy = static_cast<CKvtNodeSTRING*>(pStructCopy->GetChild(0));
    auto* pBinaryCopy = static_cast<CKvtNodeBINARY*>(pStructCopy->GetChild(1));
    auto* pLocCopy = static_cast<CKvtNodeLOCSTRING*>(pStructCopy->GetChild(2));
    EXPECT_STREQ(pTextCopy->m_Value.CStr(), "hello");
    ASSERT_EQ(pBinaryCopy->m_nDataSize, 3u);
    EXPECT_NE(pBinaryCopy->m_pData, pBinary->m_pData);
    EXPECT_EQ(pBinaryCopy->m_pData[2], 3);
    EXPECT_EQ(pLocCopy->m_Value.StrRef, 5);
    EXPECT_EQ(pLocCopy->m_Value.GetStringCount(), 1);
    auto* pEmptyCopy = static_cast<CKvtNodeBINARY*>(pRootCopy->GetChild(1));
    EXPECT_EQ(pEmptyCopy->m_pData, nullptr);
    EXPECT_EQ(pEmptyCopy->m_nDataSize, 0u);

    // Changing the copy leaves the source alone.
    pTextCopy->m_Value = "changed";
    pBinaryCopy->m_pData[0] = 9;
    pRootCopy->m_sFileType = "ZZZZ";
    EXPECT_STREQ(pText->m_Value.CStr(), "hello");
    EXPECT_EQ(pBinary->m_pData[0], 1);
    EXPECT_STREQ(root.m_sFileType.CStr(), "ABCD");
}

TEST(NodeTree, CloningNothingWarns)
{
    COroReportRecorder recorder;
    EXPECT_EQ(CloneKvtNode(nullptr), nullptr);
    EXPECT_EQ(recorder.CountFrom("KVTTreeNodes"), 1u);
}

TEST(NodeTree, VeryDeepTreesCloneAndDeleteWithoutExhaustingTheStack)
{
    // Far deeper than any loaded file: pasting into pastes can get here.
    const int kDepth = 200000;
    auto* pRoot = new CKvtNodeTopLevelStruct;
    CKvtNodeStruct* pTip = pRoot;
    for (int i = 0; i < kDepth; ++i) {
        auto* pNext = static_cast<CKvtNodeStruct*>(CreateKvtNode(i % 2 ? ftLIST : ftSTRUCT));
        pTip->AddChild(pNext);
        pTip = pNext;
    }
    pTip->AddChild(MakeLeaf(ftINT, "leaf", 0));
    std::unique_ptr<CKvtNodeBase> pCopy(CloneKvtNode(pRoot));
    delete pRoot;
    int nDepth = 0;
    CKvtNodeStruct* pWalk = pCopy->GetStructNode();
    while (pWalk->GetChildCount() == 1 && pWalk->GetChild(0)->GetStructNode()) {
        pWalk = pWalk->GetChild(0)->GetStructNode();
        ++nDepth;
    }
    EXPECT_EQ(nDepth, kDepth);
    EXPECT_EQ(pWalk->GetChild(0)->GetType(), ftINT);
}

// An undo step keeps a node's state before and after an edit; a value the
// edit left alone is kept by neither state, not copied twice.
TEST(NodeState, AStateWithoutTheValueRestoresTheRestAndLeavesTheValue)
{
    std::unique_ptr<CKvtNodeBase> pNode(MakeLeaf(ftBINARY, "before", 3));
    auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode.get());
    pBinary->m_pData = new uint8_t[1000];
    for (uint32_t i = 0; i < 1000; ++i)
        pBinary->m_pData[i] = static_cast<uint8_t>(i * 7);
    pBinary->m_nDataSize = 1000;
    const std::unique_ptr<CKvtNodeBase> pOriginal(CloneKvtNode(pNode.get()));

    CKvtNodeState before(pNode.get());
    EXPECT_NE(static_cast<CKvtNodeBINARY*>(before.Copy())->m_pData, nullptr);
    pNode->m_sLabel = "after";
    CKvtNodeState after(pNode.get(), false);
    before.LeaveValue();
    for (const CKvtNodeState* pState : {&before, &after})
        EXPECT_EQ(static_cast<CKvtNodeBINARY*>(pState->Copy())->m_pData, nullptr);

    before.RestoreTo(pNode.get());
    EXPECT_STREQ(pNode->m_sLabel.CStr(), "before");
    EXPECT_TRUE(pNode->HasSameValue(pOriginal.get()));
    EXPECT_TRUE(before.Matches(pNode.get()));
    EXPECT_FALSE(after.Matches(pNode.get()));
    after.RestoreTo(pNode.get());
    EXPECT_STREQ(pNode->m_sLabel.CStr(), "after");
    EXPECT_TRUE(pNode->HasSameValue(pOriginal.get()));

    // A state that keeps its value restores a changed one.
    std::unique_ptr<CKvtNodeBase> pText(MakeLeaf(ftSTRING, "s", 0));
    ASSERT_TRUE(pText->SetFromText("old"));
    CKvtNodeState kept(pText.get());
    ASSERT_TRUE(pText->SetFromText("new"));
    EXPECT_FALSE(kept.Matches(pText.get()));
    kept.RestoreTo(pText.get());
    EXPECT_STREQ(pText->GetEditText().CStr(), "old");
}
