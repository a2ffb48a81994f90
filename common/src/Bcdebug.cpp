#include "Bcdebug.h"

#include "orobase.h"

namespace {

std::function<void()>& ShutdownRequest()
{
    static std::function<void()> s_Request;
    return s_Request;
}

COroString& Caption()
{
    static COroString s_sCaption;
    return s_sCaption;
}

} // namespace

void SetBCShutdownRequest(std::function<void()> request)
{
    ShutdownRequest() = std::move(request);
}

void SetBCAssertCaption(const char* pCaption)
{
    Caption() = pCaption;
}

void BCAssert(const char* pModule, int32_t nLine)
{
    COroString sText;
    sText.Format("Assertion Failed: %s, Line: %d", pModule, nLine);
    const OroReport_st report{TOroReportKind::BCAssert, Caption().CStr(), pModule, nLine, nullptr, sText.CStr()};
    GetOroReportHandler()->Report(report);
    if (ShutdownRequest())
        ShutdownRequest()();
}
