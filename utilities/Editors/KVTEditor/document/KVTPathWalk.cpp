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

void CKvtPathWalk::GetChain(std::vector<CKvtNodeBase*>& chain) const
{
    chain.clear();
    if (!m_pVisited)
        return;
    // The open levels above the visited node are its ancestors; a visited
    // struct of its own has not been opened yet.
    for (const CLevel& level : m_Levels)
        chain.push_back(level.pStruct);
    chain.push_back(m_pVisited);
}

void CKvtPathWalk::Open(CKvtNodeBase* pNode, size_t nPathLength)
{
    CKvtNodeStruct* pStruct = pNode->GetStructNode();
    if (!pStruct || pStruct->GetChildCount() == 0)
        return;
    std::vector<uint32_t> occurrences;
    if (m_bBuildPaths && !IsPositionalParent(pStruct))
        occurrences = GetLabelOccurrences(pStruct);
    m_Levels.push_back(CLevel{pStruct, OrderChildren(pStruct), std::move(occurrences), 0, nPathLength});
}

bool CKvtPathWalk::Run(CKvtNodeBase* pRoot, const std::function<TKvtWalkStep(const KvtWalkVisit_st&)>& visit)
{
    m_Levels.clear();
    m_pVisited = nullptr;
    if (!pRoot)
        return true;
    std::string sPath = m_bBuildPaths ? "/" : "";
    m_pVisited = pRoot;
    const TKvtWalkStep nFirst = visit(KvtWalkVisit_st{pRoot, nullptr, 0, sPath});
    if (nFirst == TKvtWalkStep::Stop)
        return false;
    if (nFirst == TKvtWalkStep::Continue)
        Open(pRoot, 0);  // the root's "/" is no prefix: its children's steps start with their own "/"
    bool bFinished = true;
    while (!m_Levels.empty()) {
        CLevel& level = m_Levels.back();
        if (level.nNext >= level.order.size()) {
            m_Levels.pop_back();
            continue;
        }
        const int32_t nPosition = level.order[level.nNext++];
        CKvtNodeStruct* pParent = level.pStruct;
        CKvtNodeBase* pChild = pParent->GetChild(nPosition);
        if (m_bBuildPaths) {
            sPath.resize(level.nPathLength);
            const uint32_t nOccurrence =
                level.occurrences.empty() ? 1 : level.occurrences[static_cast<size_t>(nPosition)];
            AppendChildStep(pParent, nPosition, nOccurrence, sPath);
        }
        m_pVisited = pChild;
        const TKvtWalkStep nStep = visit(KvtWalkVisit_st{pChild, pParent, m_Levels.size(), sPath});
        if (nStep == TKvtWalkStep::Stop) {
            bFinished = false;
            break;
        }
        if (nStep == TKvtWalkStep::Continue)
            Open(pChild, sPath.size());  // may move the levels: level is not used after this
    }
    m_Levels.clear();
    m_pVisited = nullptr;
    return bFinished;
}
