#include "KVTPathWalk.h"

#include "KVTCaption.h"
#include "KVTNodePath.h"
#include "collation.h"

CKvtPathWalk::CKvtPathWalk(TKvtChildOrder nOrder, bool bPreview) : m_nOrder(nOrder), m_bPreview(bPreview) {}

std::vector<int32_t> CKvtPathWalk::GetCaptionOrder(CKvtNodeStruct* pParent, bool bPreview)
{
    const int32_t nCount = pParent->GetChildCount();
    std::vector<COroString> captions;
    captions.reserve(static_cast<size_t>(nCount));
    std::vector<const char*> texts;
    texts.reserve(static_cast<size_t>(nCount));
    for (int32_t i = 0; i < nCount; ++i) {
        captions.push_back(GetNodeCaption(pParent->GetChild(i), bPreview));
        texts.push_back(captions.back().CStr());
    }
    std::vector<int32_t> order;
    order.reserve(texts.size());
    for (uint32_t nPosition : CollationOrder(texts))
        order.push_back(static_cast<int32_t>(nPosition));
    return order;
}

std::vector<int32_t> CKvtPathWalk::OrderChildren(CKvtNodeStruct* pParent)
{
    if (m_nOrder == TKvtChildOrder::Caption)
        return GetCaptionOrder(pParent, m_bPreview);
    std::vector<int32_t> order(static_cast<size_t>(pParent->GetChildCount()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int32_t>(i);
    return order;
}

bool CKvtPathWalk::Run(CKvtNodeBase* pRoot, const std::function<TKvtWalkStep(const KvtWalkVisit_st&)>& visit)
{
    if (!pRoot)
        return true;
    // One level per open struct: its children's order, their label
    // occurrences, the next one to visit and the length of the struct's path
    // (the shared path text is cut back to it before each child's step).
    struct CLevel {
        CKvtNodeStruct* pStruct;
        std::vector<int32_t> order;
        std::vector<uint32_t> occurrences;
        size_t nNext;
        size_t nPathLength;
    };
    std::string sPath = "/";
    std::vector<CLevel> stack;
    auto open = [&](CKvtNodeBase* pNode, size_t nPathLength) {
        CKvtNodeStruct* pStruct = pNode->GetStructNode();
        if (!pStruct || pStruct->GetChildCount() == 0)
            return;
        std::vector<uint32_t> occurrences;
        if (!IsPositionalParent(pStruct))
            occurrences = GetLabelOccurrences(pStruct);
        stack.push_back(CLevel{pStruct, OrderChildren(pStruct), std::move(occurrences), 0, nPathLength});
    };
    const TKvtWalkStep nFirst = visit(KvtWalkVisit_st{pRoot, nullptr, 0, sPath});
    if (nFirst == TKvtWalkStep::Stop)
        return false;
    if (nFirst == TKvtWalkStep::Continue)
        open(pRoot, 0);  // the root's "/" is not a prefix: its children's steps start with their own "/"
    while (!stack.empty()) {
        CLevel& level = stack.back();
        if (level.nNext >= level.order.size()) {
            stack.pop_back();
            continue;
        }
        const int32_t nPosition = level.order[level.nNext++];
        sPath.resize(level.nPathLength);
        const uint32_t nOccurrence =
            level.occurrences.empty() ? 1 : level.occurrences[static_cast<size_t>(nPosition)];
        AppendChildStep(level.pStruct, nPosition, nOccurrence, sPath);
        CKvtNodeBase* pChild = level.pStruct->GetChild(nPosition);
        CKvtNodeStruct* pParent = level.pStruct;
        const size_t nDepth = stack.size();
        const TKvtWalkStep nStep = visit(KvtWalkVisit_st{pChild, pParent, nDepth, sPath});
        if (nStep == TKvtWalkStep::Stop)
            return false;
        if (nStep == TKvtWalkStep::Continue)
            open(pChild, sPath.size());  // may move the stack: level is not used after this
    }
    return true;
}
