#include <cstring>

#include "KVTTreeNodes.h"

CKvtNodeBINARY::CKvtNodeBINARY() : CKvtNodeBase(ftBINARY), m_pData(nullptr), m_nDataSize(0), m_nCapacity(0) {}

CKvtNodeBINARY::~CKvtNodeBINARY()
{
    delete[] m_pData;
}

bool CKvtNodeBINARY::Load(const CKvtStructHandle* pStruct, const char* pLabel)
{
    if (m_pData)
        OroAssert("KVTTreeNodes", 120, "!m_pData");
    // The size is checked against the field data block, so the buffer is
    // never larger than what the file really holds.
    const uint32_t nSize = s_pCurrentRes->GetFieldSize(pStruct, pLabel, 0);
    uint8_t* pBuffer = new uint8_t[nSize];
    int32_t nOk = 0;
    s_pCurrentRes->ReadBINARY(pStruct, pBuffer, nSize, pLabel, &nOk, nullptr);
    if (!nOk || nSize == 0) {
        // An empty value holds no buffer; a failed read keeps none either.
        delete[] pBuffer;
        m_pData = nullptr;
        m_nDataSize = 0;
        return nOk != 0;
    }
    m_pData = pBuffer;
    m_nDataSize = nSize;
    return true;
}

bool CKvtNodeBINARY::Save(const CKvtStructHandle* pStruct, const char* pLabel)
{
    return s_pCurrentRes->WriteBINARY(pStruct, m_pData, m_pData ? m_nDataSize : 0, pLabel);
}

COroString CKvtNodeBINARY::GetTypeName() { return "[Binary]"; }
COroString CKvtNodeBINARY::GetEditText() { return "..."; }
COroString CKvtNodeBINARY::GetPreviewText() { return "..."; }
bool CKvtNodeBINARY::SetFromText(COroString) { return false; }
COroString CKvtNodeBINARY::GetHelpText() { return "This format is not implemented."; }

CKvtNodeBase* CKvtNodeBINARY::CopyFrom(CKvtNodeBase* pSource)
{
    if (m_pData)
        OroAssert("KVTTreeNodes", 141, "!m_pData");
    CKvtNodeBase::CopyFrom(pSource);
    auto* pBinary = static_cast<CKvtNodeBINARY*>(pSource);
    if (pBinary->m_pData && pBinary->m_nDataSize > 0) {
        m_pData = new uint8_t[pBinary->m_nDataSize];
        std::memcpy(m_pData, pBinary->m_pData, pBinary->m_nDataSize);
        m_nDataSize = pBinary->m_nDataSize;
    }
    return this;
}

bool CKvtNodeBINARY::HasSameValue(CKvtNodeBase* pSource)
{
    auto* pBinary = static_cast<CKvtNodeBINARY*>(pSource);
    const uint32_t nSize = m_pData ? m_nDataSize : 0;
    const uint32_t nOtherSize = pBinary->m_pData ? pBinary->m_nDataSize : 0;
    return nSize == nOtherSize && (nSize == 0 || std::memcmp(m_pData, pBinary->m_pData, nSize) == 0);
}
