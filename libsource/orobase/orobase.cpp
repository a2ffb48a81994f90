#include "orobase.h"

COroBase* g_pOroBase = nullptr;

COroBase::COroBase() : ini(nullptr), debug(nullptr), internal(nullptr)
{
    // The debug object comes first so that everything after it can report.
    debug = new COroDebug;
    ini = new COroIni;
    internal = new COroBaseInternal;
    if (!internal)
        debug->Assert("orobase", 54, nullptr);
}

COroBase::~COroBase()
{
    delete internal;
    internal = nullptr;
    delete ini;
    ini = nullptr;
    delete debug;
    debug = nullptr;
}

void OroWarning(const char* pModule, int32_t nLine, const char* pMessage)
{
    if (g_pOroBase && g_pOroBase->debug)
        g_pOroBase->debug->Warning(pModule, nLine, pMessage);
    else
        OroRaiseWarning(pModule, nLine, pMessage);
}

void OroAssert(const char* pModule, int32_t nLine, const char* pMessage)
{
    if (g_pOroBase && g_pOroBase->debug)
        g_pOroBase->debug->Assert(pModule, nLine, pMessage);
    OroRaiseAssert(pModule, nLine, pMessage);
}
