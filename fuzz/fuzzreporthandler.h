#pragma once
// The report handler of the fuzz targets. Damaged input makes the lower layers
// warn, which is expected and stays silent (answered Ignore). A report of the
// guarded allocator means that memory outside a block was overwritten: that
// ends the run as a crash, so libFuzzer keeps the input.

#include "ororeport.h"

class CFuzzReportHandler : public IOroReportHandler {
public:
    TOroReportAnswer Report(const OroReport_st& report) override;

    // Installs one handler for the whole process.
    static void Install();
};
