#pragma once
// The window's form of the base library's report handler: warnings and
// assertions of every layer below the window appear as system-modal boxes,
// BCAssert as a plain box captioned with the application title.

#include "KVTDialogs.h"
#include "ororeport.h"

class CKvtQtReportHandler : public IOroReportHandler {
public:
    explicit CKvtQtReportHandler(IKvtDialogs& dialogs) : m_Dialogs(dialogs) {}

    // Warning: "Oro Warning", exclamation icon, Abort/Retry/Ignore; the answer
    // is the button chosen. Assert: "Oro Assert", stop icon, OK. BCAssert:
    // the report's caption, no icon, OK.
    TOroReportAnswer Report(const OroReport_st& report) override;

private:
    IKvtDialogs& m_Dialogs;
};
