#include "ororeport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "orostring.h"
#include "uniquefile.h"

namespace {

COroStderrReportHandler s_StderrHandler;
IOroReportHandler* s_pHandler = &s_StderrHandler;

// Retry may only break into a debugger that is attached; without one a trap
// would end the program, so it then acts as Ignore.
bool DebuggerAttached()
{
    const CUniqueFile status("/proc/self/status", "r");
    if (!status)
        return false;
    char line[256];
    bool bAttached = false;
    while (std::fgets(line, sizeof line, status.Get())) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            bAttached = std::atoi(line + 10) != 0;
            break;
        }
    }
    return bAttached;
}

} // namespace

TOroReportAnswer COroStderrReportHandler::Report(const OroReport_st& report)
{
    std::fprintf(stderr, "%s: %s\n", report.caption, report.text);
    std::fflush(stderr);
    return TOroReportAnswer::Ignore;
}

IOroReportHandler* SetOroReportHandler(IOroReportHandler* pHandler)
{
    IOroReportHandler* pPrevious = s_pHandler;
    s_pHandler = pHandler ? pHandler : &s_StderrHandler;
    return pPrevious;
}

IOroReportHandler* GetOroReportHandler()
{
    return s_pHandler;
}

void OroRaiseWarning(const char* pModule, int32_t nLine, const char* pMessage)
{
    COroString sText;
    if (pMessage)
        sText.Format("A warning has occured:\n\n File: %s\n\nLine #: %d \n\nProgrammer says: %s\n\n"
                     "Press Abort to quit, Retry to debug, or Ignore to continue",
                     pModule, nLine, pMessage);
    else
        sText.Format("A warning has occured:\n\n File: %s\n\nLine #: %d\n\n"
                     "Press Abort to quit, Retry to debug, or Ignore to continue",
                     pModule, nLine);
    const OroReport_st report{TOroReportKind::Warning, "Oro Warning", pModule, nLine, pMessage, sText.CStr()};
    switch (s_pHandler->Report(report)) {
    case TOroReportAnswer::Abort:
        std::abort();
    case TOroReportAnswer::Retry:
        if (DebuggerAttached())
            std::raise(SIGTRAP);
        break;
    default:
        break;
    }
}

void OroRaiseAssert(const char* pModule, int32_t nLine, const char* pMessage)
{
    COroString sText;
    if (pMessage)
        sText.Format("An Assertion failed in %s\n\nLine number %d \n\nProgrammer says: %s", pModule, nLine, pMessage);
    else
        sText.Format("An Assertion failed in %s\n\nLine number %d", pModule, nLine);
    const OroReport_st report{TOroReportKind::Assert, "Oro Assert", pModule, nLine, pMessage, sText.CStr()};
    s_pHandler->Report(report);
    std::abort();
}
