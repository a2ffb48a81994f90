#include "orodebug.h"

#include "ororeport.h"

COroDebug::COroDebug() : internal(new COroDebugInternal) {}

COroDebug::~COroDebug()
{
    // No operation opens the logs, but close them should that ever change.
    if (internal) {
        if (internal->messageLog)
            std::fclose(internal->messageLog);
        if (internal->errorLog)
            std::fclose(internal->errorLog);
    }
    delete internal;
}

void COroDebug::Assert(const char* pModule, int32_t nLine, const char* pMessage)
{
    OroRaiseAssert(pModule, nLine, pMessage);
}

void COroDebug::Warning(const char* pModule, int32_t nLine, const char* pMessage)
{
    OroRaiseWarning(pModule, nLine, pMessage);
}

void COroDebug::WriteToErrorFile(const COroString& sLine)
{
    if (internal && internal->logOpen && internal->errorLog) {
        std::fputs(sLine.CStr(), internal->errorLog);
        std::fflush(internal->errorLog);
    }
}
