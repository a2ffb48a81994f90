#include "KVTNodeSearch.h"

CKvtNodeSearch::CKvtNodeSearch(CKvtNodeBase* pRoot, const CKvtNodeMatcher& matcher, CKvtPathWalk& walk)
    : m_pRoot(pRoot), m_Matcher(matcher), m_Walk(walk)
{}

bool CKvtNodeSearch::MarkHits()
{
    m_Hits.clear();
    m_Open.clear();
    m_nTested = 0;
    if (!m_pRoot)
        return true;
    // Depth first in file order with an explicit stack; a node found to be a
    // hit opens itself and every struct above it (the stack's levels).
    struct CLevel {
        CKvtNodeStruct* pStruct;
        int32_t nNext;
    };
    std::vector<CLevel> stack;
    auto test = [&](CKvtNodeBase* pNode) {
        ++m_nTested;
        if (m_Matcher.Matches(pNode)) {
            m_Hits.insert(pNode);
            m_Open.insert(pNode);
            // Levels already open were opened with everything above them.
            auto it = stack.rbegin();
            while (it != stack.rend() && m_Open.insert(it->pStruct).second)
                ++it;
        }
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode())
            stack.push_back(CLevel{pStruct, 0});
        return !(m_Progress && m_nTested % kProgressStep == 0 && !m_Progress(m_nTested));
    };
    if (!test(m_pRoot))
        return false;
    while (!stack.empty()) {
        CLevel& level = stack.back();
        if (level.nNext >= level.pStruct->GetChildCount()) {
            stack.pop_back();
            continue;
        }
        if (!test(level.pStruct->GetChild(level.nNext++)))
            return false;
    }
    return true;
}

KvtFindResult_st CKvtNodeSearch::FindNext(const std::vector<CKvtNodeBase*>& currentChain, bool bBackward)
{
    KvtFindResult_st result;
    if (!MarkHits())
        return result;
    if (m_Hits.empty())
        return result;
    for (CKvtNodeBase* pNode : currentChain)
        m_Open.insert(pNode);
    CKvtNodeBase* pCurrent = currentChain.empty() ? nullptr : currentChain.back();
    bool bPassed = pCurrent == nullptr;
    KvtFindResult_st wrap;  // forward: the first hit; backward: the last
    m_Walk.Run(m_pRoot, [&](const KvtWalkVisit_st& visit) {
        const bool bHit = m_Hits.count(visit.pNode) != 0;
        if (visit.pNode == pCurrent) {
            bPassed = true;
            if (bBackward && result.pNode)
                return TKvtWalkStep::Stop;
        } else if (bHit && !bBackward && bPassed) {
            result.pNode = visit.pNode;
            m_Walk.GetChain(result.chain);
            return TKvtWalkStep::Stop;
        } else if (bHit && bBackward && !bPassed) {
            result.pNode = visit.pNode;
            m_Walk.GetChain(result.chain);
        }
        if (bHit && (bBackward || !wrap.pNode)) {
            wrap.pNode = visit.pNode;
            m_Walk.GetChain(wrap.chain);
        }
        return m_Open.count(visit.pNode) ? TKvtWalkStep::Continue : TKvtWalkStep::SkipChildren;
    });
    if (result.pNode && (!bBackward || bPassed))
        return result;
    // Nothing beyond the starting node in this direction: go round.
    wrap.bWrapped = pCurrent != nullptr;
    return wrap;
}

bool CKvtNodeSearch::FindAll(const std::function<bool(const KvtWalkVisit_st&)>& visit)
{
    if (!MarkHits())
        return false;
    if (m_Hits.empty())
        return true;
    return m_Walk.Run(m_pRoot, [&](const KvtWalkVisit_st& node) {
        if (m_Hits.count(node.pNode) && !visit(node))
            return TKvtWalkStep::Stop;
        return m_Open.count(node.pNode) ? TKvtWalkStep::Continue : TKvtWalkStep::SkipChildren;
    });
}
