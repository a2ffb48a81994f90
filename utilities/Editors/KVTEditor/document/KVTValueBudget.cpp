#include "KVTValueBudget.h"

CKvtValueBudget::CKvtValueBudget(uint64_t nFileSize)
{
    // Saturating: a walk without a file passes UINT64_MAX as its size.
    const uint64_t nMax = UINT64_MAX;
    m_nLeft = nFileSize > (nMax - kSlackBytes) / 2 ? nMax : 2 * nFileSize + kSlackBytes;
}

bool CKvtValueBudget::Take(uint64_t nBytes)
{
    if (nBytes > m_nLeft)
        return false;
    m_nLeft -= nBytes;
    return true;
}
