#include "ororeportrecorder.h"

COroReportRecorder::COroReportRecorder() : m_pPrevious(SetOroReportHandler(this)) {}

COroReportRecorder::~COroReportRecorder()
{
    SetOroReportHandler(m_pPrevious);
}

TOroReportAnswer COroReportRecorder::Report(const OroReport_st& report)
{
    m_Reports.push_back(OroRecordedReport_st{report.kind, report.caption ? report.caption : "",
                                             report.module ? report.module : "", report.line,
                                             report.message != nullptr, report.message ? report.message : "",
                                             report.text ? report.text : ""});
    return TOroReportAnswer::Ignore;
}

size_t COroReportRecorder::CountFrom(const std::string& sModule, int32_t nLine) const
{
    size_t n = 0;
    for (const OroRecordedReport_st& report : m_Reports) {
        if (report.module == sModule && (nLine == 0 || report.line == nLine))
            ++n;
    }
    return n;
}
