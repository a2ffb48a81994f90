#include "KVTQtReportHandler.h"

namespace {

const char* Text(const char* p)
{
    return p ? p : "";
}

TOroReportAnswer ToReportAnswer(TKvtBoxAnswer nAnswer)
{
    switch (nAnswer) {
    case TKvtBoxAnswer::Abort: return TOroReportAnswer::Abort;
    case TKvtBoxAnswer::Retry: return TOroReportAnswer::Retry;
    case TKvtBoxAnswer::Ignore: return TOroReportAnswer::Ignore;
    default: break;
    }
    return TOroReportAnswer::Ok;
}

} // namespace

TOroReportAnswer CKvtQtReportHandler::Report(const OroReport_st& report)
{
    KvtMessageBox_st box;
    box.sText = Text(report.text);
    switch (report.kind) {
    case TOroReportKind::Warning:
        box.sTitle = "Oro Warning";
        box.nIcon = TKvtBoxIcon::Warning;
        box.nButtons = TKvtBoxButtons::AbortRetryIgnore;
        box.bSystemModal = true;
        break;
    case TOroReportKind::Assert:
        box.sTitle = "Oro Assert";
        box.nIcon = TKvtBoxIcon::Error;
        box.nButtons = TKvtBoxButtons::Ok;
        box.bSystemModal = true;
        break;
    case TOroReportKind::BCAssert:
        box.sTitle = Text(report.caption);
        box.nIcon = TKvtBoxIcon::None;
        box.nButtons = TKvtBoxButtons::Ok;
        break;
    }
    return ToReportAnswer(m_Dialogs.MessageBox(box));
}
