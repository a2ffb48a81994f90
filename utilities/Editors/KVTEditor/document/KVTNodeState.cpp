#include "KVTNodeState.h"

CKvtNodeState::CKvtNodeState(CKvtNodeBase* pNode) : m_pCopy(CreateKvtNode(pNode->GetType()))
{
    if (CKvtNodeStruct* pStruct = pNode->GetStructNode())
        m_pCopy->GetStructNode()->CopyOwnState(pStruct);
    else
        m_pCopy->CopyFrom(pNode);
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
    if (ValueMatches(pNode))
        pNode->CKvtNodeBase::CopyFrom(m_pCopy.get());
    else
        pNode->CopyFrom(m_pCopy.get());
}

bool CKvtNodeState::ValueMatches(CKvtNodeBase* pNode) const
{
    return pNode->HasSameValue(m_pCopy.get());
}

bool CKvtNodeState::Matches(CKvtNodeBase* pNode) const
{
    return pNode->m_sLabel == m_pCopy->m_sLabel && pNode->m_nIndex == m_pCopy->m_nIndex &&
           pNode->m_nStructID == m_pCopy->m_nStructID && ValueMatches(pNode);
}
