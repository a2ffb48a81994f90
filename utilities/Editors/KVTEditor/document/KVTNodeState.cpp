#include "KVTNodeState.h"

CKvtNodeState::CKvtNodeState(CKvtNodeBase* pNode, bool bWithValue)
    : m_pCopy(CreateKvtNode(pNode->GetType())), m_bValueKept(true)
{
    if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
        m_pCopy->GetStructNode()->CopyOwnState(pStruct);
    } else if (bWithValue) {
        m_pCopy->CopyFrom(pNode);
    } else {
        m_pCopy->CKvtNodeBase::CopyFrom(pNode);
        m_bValueKept = false;
    }
}

void CKvtNodeState::LeaveValue()
{
    if (!m_bValueKept || m_pCopy->GetStructNode())
        return;
    std::unique_ptr<CKvtNodeBase> pBase(CreateKvtNode(m_pCopy->GetType()));
    pBase->CKvtNodeBase::CopyFrom(m_pCopy.get());
    m_pCopy = std::move(pBase);
    m_bValueKept = false;
}

void CKvtNodeState::RestoreTo(CKvtNodeBase* pNode) const
{
    if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
        pStruct->CopyOwnState(m_pCopy->GetStructNode());
        return;
    }
    // A leaf's CopyFrom is meant for fresh nodes (a binary one refuses a
    // second buffer), so the value is copied only when it differs; the panel
    // never changes binary bytes, so a binary node only ever takes the base
    // fields.
    if (!m_bValueKept || ValueMatches(pNode))
        pNode->CKvtNodeBase::CopyFrom(m_pCopy.get());
    else
        pNode->CopyFrom(m_pCopy.get());
}

bool CKvtNodeState::ValueMatches(CKvtNodeBase* pNode) const
{
    return !m_bValueKept || pNode->HasSameValue(m_pCopy.get());
}

bool CKvtNodeState::Matches(CKvtNodeBase* pNode) const
{
    return pNode->m_sLabel == m_pCopy->m_sLabel && pNode->m_nIndex == m_pCopy->m_nIndex &&
           pNode->m_nStructID == m_pCopy->m_nStructID && ValueMatches(pNode);
}
