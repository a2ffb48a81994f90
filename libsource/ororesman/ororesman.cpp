#include "ororesman.h"

#include <unistd.h>

#include "orobase.h"
#include "ororesmaninternal.h"

COroResMan* g_pOroResMan = nullptr;

namespace {

constexpr uint32_t kMinimumBudget = 0x1000000; // 16 MiB

// Finds the list position of an object, or null.
OroPosition FindInList(COroLinkedList<CRes>& list, CRes* pRes)
{
    OroPosition pos = list.GetHeadPos();
    while (pos != nullptr) {
        if (pos->element == pRes)
            return pos;
        pos = pos->next;
    }
    return nullptr;
}

} // namespace

COroResMan::COroResMan()
    : m_nPhysicalMemory(QueryPhysicalMemory()), m_nTotalBudget(BudgetForMemory(m_nPhysicalMemory)),
      m_nAvailableBudget(m_nTotalBudget), m_nServiceCount(0), m_nFreeCount(0)
{}

COroResMan::~COroResMan() = default;

uint32_t COroResMan::QueryPhysicalMemory()
{
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long nPageSize = sysconf(_SC_PAGESIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return 0;
    const unsigned long long nBytes =
        static_cast<unsigned long long>(nPages) * static_cast<unsigned long long>(nPageSize);
    // The 32-bit system query reports larger machines as 0xFFFFFFFF.
    return nBytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(nBytes);
}

uint32_t COroResMan::BudgetForMemory(uint32_t nPhysicalMemory)
{
    // Halving as a signed 32-bit number, as the budget has always been computed:
    // memory of 2 GiB and more gives a negative half and so the minimum budget.
    const int32_t nHalf = static_cast<int32_t>(nPhysicalMemory) / 2;
    return nHalf > static_cast<int32_t>(kMinimumBudget) ? static_cast<uint32_t>(nHalf) : kMinimumBudget;
}

int32_t COroResMan::Release(CRes* pRes)
{
    if (pRes == nullptr)
        return -1;
    if (pRes->m_nDemands > 1) {
        const int32_t nPrevious = pRes->m_nDemands;
        --pRes->m_nDemands;
        return nPrevious;
    }
    if (pRes->m_nDemands == 0)
        return -1;
    pRes->m_nDemands = 0;
    if ((pRes->m_nStatus & ORORES_STATUS_RELEASED) == 0) {
        m_Released.AddTail(pRes);
        pRes->m_nStatus |= ORORES_STATUS_RELEASED;
        return 0;
    }
    FreeIfUnused(pRes);
    pRes->m_nStatus &= ~ORORES_STATUS_RELEASED;
    return 0;
}

int32_t COroResMan::ReleaseResObject(CRes* pRes)
{
    if (pRes == nullptr) {
        OroWarning(ororesman::kModule, ororesman::kLineReleaseNullObject);
        return 0;
    }
    if (pRes->m_nRefCount > 1)
        return --pRes->m_nRefCount;
    pRes->m_nRefCount = 0;
    if (pRes->m_nDemands > 0) {
        OroWarning(ororesman::kModule, ororesman::kLineReleaseStillDemanded,
                   "COroResMan::ReleaseResObject Resource not released");
        return 0;
    }
    if (pRes->m_pKeyEntry != nullptr)
        pRes->m_pKeyEntry->pObject = nullptr;
    FreeIfUnused(pRes);
    if ((pRes->m_nStatus & ORORES_STATUS_KEYED) != 0)
        pRes->m_nStatus |= ORORES_STATUS_KEY_RELEASED;
    return 0;
}

void COroResMan::FreeIfUnused(CRes* pRes)
{
    if (pRes == nullptr)
        return;
    if (pRes->m_nDemands > 0) {
        pRes->m_nStatus |= ORORES_STATUS_RELEASED;
        return;
    }
    // Only data that the manager delivered is the manager's to free.
    if ((pRes->m_nStatus & (ORORES_STATUS_DEMANDED_DATA | ORORES_STATUS_LOCKED_DATA)) == 0)
        return;
    if (pRes->m_pData != nullptr)
        Free(pRes);
}

bool COroResMan::Free(CRes* pRes)
{
    if (pRes == nullptr || pRes->m_pData == nullptr)
        return false;
    if (pRes->m_nDemands > 0)
        OroWarning(ororesman::kModule, ororesman::kLineFreeWhileDemanded,
                   "COroResMan::Free(): An object is demanding this resource.");
    OroPosition pos = FindInList(m_Released, pRes);
    if (pos == nullptr)
        return false;
    pRes->OnResourceReleased();
    if ((pRes->m_nStatus & ORORES_STATUS_LOCKED_DATA) != 0)
        return false;
    m_Released.Remove(pos);
    m_nAvailableBudget += pRes->m_nDataSize;
    // Manager data is allocated as a byte array, 6 bytes earlier when prefixed.
    uint8_t* pBlock = static_cast<uint8_t*>(pRes->m_pData);
    if (pRes->m_bPrefixedData != 0)
        pBlock -= 6;
    delete[] pBlock;
    pRes->m_nDataSize = 0;
    pRes->m_pData = nullptr;
    pRes->m_nStatus &= ~(ORORES_STATUS_DEMANDED_DATA | ORORES_STATUS_LOCKED_DATA | ORORES_STATUS_RELEASED);
    return true;
}
