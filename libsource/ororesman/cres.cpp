#include "ororesman.h"

#include "orobase.h"
#include "ororesmaninternal.h"

CRes::CRes()
    : m_nDemands(0), m_nResID(0xFFFFFFFFu), m_nStatus(0), m_pData(nullptr), m_pKeyEntry(nullptr), m_nDataSize(0),
      m_nRefCount(0), m_bPrefixedData(0)
{}

CRes::~CRes()
{
    if (m_nDemands > 0) {
        OroWarning(ororesman::kModule, ororesman::kLineDestroyedInDemand);
        if (g_pOroBase != nullptr && g_pOroBase->debug != nullptr) {
            COroDebug* pDebug = g_pOroBase->debug;
            pDebug->message.Format("OroResMan CRes::~CRes(): CRes destroyed while still in demand. RESID: %ld\n",
                                   static_cast<long>(static_cast<int32_t>(m_nResID)));
            pDebug->WriteToErrorFile(pDebug->message);
        }
    }
    if (g_pOroResMan == nullptr) {
        OroWarning(ororesman::kModule, ororesman::kLineNoManagerOnDestroy);
        return;
    }
    g_pOroResMan->FreeIfUnused(this);
}
