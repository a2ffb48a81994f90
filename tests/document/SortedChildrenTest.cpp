// The display order of siblings: sorting by collation keys must give exactly
// the order of a stable sort of the captions with CollateCompare, with and
// without values in the captions.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "KVTCaption.h"
#include "collation.h"

namespace {

std::vector<CKvtNodeBase*> OrderByComparison(CKvtNodeStruct* pParent, bool bPreview)
{
    std::vector<std::pair<std::string, CKvtNodeBase*>> captioned;
    for (int32_t i = 0; i < pParent->GetChildCount(); ++i)
        captioned.emplace_back(GetNodeCaption(pParent->GetChild(i), bPreview).CStr(), pParent->GetChild(i));
    std::stable_sort(captioned.begin(), captioned.end(),
                     [](const auto& a, const auto& b) { return CollateCompare(a.first.c_str(), b.first.c_str()) < 0; });
    std::vector<CKvtNodeBase*> order;
    for (const auto& entry : captioned)
        order.push_back(entry.second);
    return order;
}

std::vector<CKvtNodeBase*> OrderShown(CKvtNodeStruct* pParent, bool bPreview)
{
    std::vector<CKvtNodeBase*> order;
    for (const KvtCaptionedNode_st& child : GetSortedChildren(pParent, bPreview)) {
        EXPECT_STREQ(child.sCaption.CStr(), GetNodeCaption(child.pNode, bPreview).CStr());
        order.push_back(child.pNode);
    }
    return order;
}

} // namespace

TEST(SortedChildren, FollowTheCollationOfTheirCaptions)
{
    std::mt19937 random(99);
    const char kLetters[] = "aAbBzZ09_- '.";
    const TKvtFieldType types[] = {ftBYTE, ftCHAR, ftINT, ftSTRING, ftFLOAT, ftSTRUCT, ftLIST, ftLOCSTRING};
    for (int nRound = 0; nRound < 20; ++nRound) {
        CKvtNodeStruct parent(ftSTRUCT);
        const int nChildren = 1 + static_cast<int>(random() % 300);
        for (int i = 0; i < nChildren; ++i) {
            std::string sLabel;
            // List elements (no label) show their index; labelled fields
            // repeat now and then, so equal captions keep document order.
            if (random() % 4 != 0) {
                const size_t nLength = 1 + random() % 6;
                for (size_t n = 0; n < nLength; ++n)
                    sLabel += kLetters[random() % (sizeof kLetters - 1)];
            }
            CKvtNodeBase* pNode = AddNode(&parent, types[random() % std::size(types)], sLabel.c_str(),
                                          static_cast<int32_t>(random() % 30));
            if (pNode->GetType() == ftINT || pNode->GetType() == ftCHAR)
                pNode->SetFromText(std::to_string(random() % 200).c_str());
            if (pNode->GetType() == ftSTRING)
                pNode->SetFromText(random() % 2 ? "Value" : "value");
        }
        for (bool bPreview : {false, true})
            ASSERT_EQ(OrderShown(&parent, bPreview), OrderByComparison(&parent, bPreview)) << nRound;
    }
}

TEST(SortedChildren, ListElementsShowInTextOrderOfTheirIndices)
{
    CKvtNodeStruct list(ftLIST);
    for (int32_t i = 0; i < 12; ++i)
        AddNode(&list, ftSTRUCT, "", i);
    std::vector<int32_t> shown;
    for (const KvtCaptionedNode_st& child : GetSortedChildren(&list, false))
        shown.push_back(child.pNode->m_nIndex);
    EXPECT_EQ(shown, (std::vector<int32_t>{0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9}));
}
