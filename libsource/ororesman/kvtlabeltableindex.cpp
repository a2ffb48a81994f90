#include "kvtlabeltableindex.h"

int32_t CKvtLabelTableIndex::FindLast(const void* pLabels, uint32_t nCount, const KvtLabelKey& key)
{
    if (nCount < m_nIndexed)
        Clear(); // a different table: start again
    const uint8_t* pBytes = static_cast<const uint8_t*>(pLabels);
    for (; m_nIndexed < nCount; ++m_nIndexed)
        m_Last[KvtLabelKey::FromBytes(pBytes + static_cast<size_t>(m_nIndexed) * 16)] = m_nIndexed;
    auto found = m_Last.find(key);
    return found == m_Last.end() ? -1 : static_cast<int32_t>(found->second);
}

void CKvtLabelTableIndex::Clear()
{
    m_Last.clear();
    m_nIndexed = 0;
}
