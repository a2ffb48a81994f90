#pragma once
// A report handler for tests: records every report and answers Ignore.
// Installs itself on construction and restores the previous handler after.

#include <cstdint>
#include <string>
#include <vector>

#include "ororeport.h"

struct OroRecordedReport_st {
    TOroReportKind kind;
    std::string caption;
    std::string module;
    int32_t line;
    bool hasMessage;
    std::string message;
    std::string text;
};

class COroReportRecorder : public IOroReportHandler {
public:
    COroReportRecorder();
    ~COroReportRecorder() override;
    COroReportRecorder(const COroReportRecorder&) = delete;
    COroReportRecorder& operator=(const COroReportRecorder&) = delete;

    TOroReportAnswer Report(const OroReport_st& report) override;

    const std::vector<OroRecordedReport_st>& Reports() const { return m_Reports; }
    size_t Count() const { return m_Reports.size(); }
    // Number of recorded reports from the given module (and line, when not 0).
    size_t CountFrom(const std::string& sModule, int32_t nLine = 0) const;
    void Clear() { m_Reports.clear(); }

private:
    IOroReportHandler* m_pPrevious;
    std::vector<OroRecordedReport_st> m_Reports;
};
