#include "KVTWalkTrail.h"

namespace {

CKvtWalkTrail* s_pCurrentTrail = nullptr;

} // namespace

CKvtWalkTrail::CKvtWalkTrail(CKvtNodeBase* pRoot, uint64_t nTotal)
    : m_pOuter(s_pCurrentTrail), m_nDone(0), m_nTotal(nTotal), m_bCancelled(false)
{
    m_Chain.push_back(pRoot);
    s_pCurrentTrail = this;
}

CKvtWalkTrail::~CKvtWalkTrail()
{
    s_pCurrentTrail = m_pOuter;
}

CKvtWalkTrail* CKvtWalkTrail::Current()
{
    return s_pCurrentTrail;
}

void CKvtWalkTrail::MoveTo(size_t nDepth, CKvtNodeBase* pNode)
{
    CutTo(nDepth);
    m_Chain.push_back(pNode);
    if (++m_nDone % kNodesPerReport == 0)
        Report();
}

void CKvtWalkTrail::CutTo(size_t nDepth)
{
    if (nDepth < m_Chain.size())
        m_Chain.resize(nDepth);
}

void CKvtWalkTrail::Report()
{
    IKvtWalkProgress* pProgress = GetKvtWalkProgress();
    if (!pProgress || m_bCancelled)
        return;
    // A total that was only estimated must not show more than all done.
    if (m_nDone > m_nTotal)
        m_nTotal = m_nDone;
    if (!pProgress->WalkProgress(m_nDone, m_nTotal))
        m_bCancelled = true;
}

CKvtWalkStep::CKvtWalkStep(CKvtNodeBase* pNode) : m_pTrail(CKvtWalkTrail::Current()), m_nDepth(0)
{
    if (m_pTrail) {
        m_nDepth = m_pTrail->Depth();
        m_pTrail->MoveTo(m_nDepth, pNode);
    }
}

CKvtWalkStep::~CKvtWalkStep()
{
    if (m_pTrail)
        m_pTrail->CutTo(m_nDepth);
}
