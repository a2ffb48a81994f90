#include "KVTTreeNodes.h"

CResKVT* s_pCurrentRes = nullptr;

CKvtNodeBase::CKvtNodeBase(TKvtFieldType nType) : m_nIndex(-1), m_nStructID(0), m_nType(nType) {}

CKvtNodeBase::~CKvtNodeBase() = default;

CKvtNodeStruct* CKvtNodeBase::GetStructNode()
{
    return nullptr;
}

COroString CKvtNodeBase::GetHelpText()
{
    return "No help available.";
}

void CKvtNodeBase::SetStructID(uint32_t nStructID)
{
    m_nStructID = nStructID;
}

uint32_t CKvtNodeBase::GetStructID()
{
    return m_nStructID;
}

TKvtFieldType CKvtNodeBase::GetType()
{
    return m_nType;
}

CKvtNodeBase* CKvtNodeBase::CopyFrom(CKvtNodeBase* pSource)
{
    m_nIndex = pSource->m_nIndex;
    m_sLabel = pSource->m_sLabel;
    m_nStructID = pSource->m_nStructID;
    return this;
}

bool CKvtNodeBase::HasSameValue(CKvtNodeBase*)
{
    return true; // nothing beyond the base fields
}
