#include "kvtfieldlabelindex.h"

CKvtFieldLabelIndex::Entry& CKvtFieldLabelIndex::EntryFor(uint32_t nStruct)
{
    std::unique_ptr<Entry>& pEntry = m_Entries[nStruct];
    if (!pEntry)
        pEntry = std::make_unique<Entry>();
    return *pEntry;
}

void CKvtFieldLabelIndex::ForgetStopped()
{
    for (uint32_t nStruct : m_Stopped)
        m_Entries.erase(nStruct);
    m_Stopped.clear();
}

void CKvtFieldLabelIndex::Clear()
{
    m_Entries.clear();
    m_Stopped.clear();
}
