#include "fuzzreporthandler.h"

#include <cstdlib>
#include <cstring>

TOroReportAnswer CFuzzReportHandler::Report(const OroReport_st& report)
{
    if (report.module != nullptr && std::strcmp(report.module, "orodebug") == 0)
        std::abort();
    return TOroReportAnswer::Ignore;
}

void CFuzzReportHandler::Install()
{
    static CFuzzReportHandler s_Handler;
    SetOroReportHandler(&s_Handler);
}
