#include "KVTScriptedDialogs.h"

namespace {

TKvtBoxAnswer ClosedAnswer(TKvtBoxButtons nButtons)
{
    switch (nButtons) {
    case TKvtBoxButtons::Ok: return TKvtBoxAnswer::Ok;
    case TKvtBoxButtons::AbortRetryIgnore: return TKvtBoxAnswer::Ignore;
    case TKvtBoxButtons::OkCancel:
    case TKvtBoxButtons::YesNoCancel: break;
    }
    return TKvtBoxAnswer::Cancel;
}

} // namespace

TKvtBoxAnswer CKvtScriptedDialogs::MessageBox(const KvtMessageBox_st& box)
{
    m_Boxes.push_back(box);
    if (m_Answers.empty()) {
        ++m_nUnscripted;
        return ClosedAnswer(box.nButtons);
    }
    const TKvtBoxAnswer nAnswer = m_Answers.front();
    m_Answers.pop_front();
    return nAnswer;
}

bool CKvtScriptedDialogs::AskFileName(const KvtFileDialogRequest_st& request, std::string& sFileName)
{
    m_FileDialogs.push_back(request);
    if (m_FileNames.empty()) {
        ++m_nUnscripted;
        return false;
    }
    const std::optional<std::string> name = m_FileNames.front();
    m_FileNames.pop_front();
    if (!name)
        return false;
    sFileName = *name;
    return true;
}

void CKvtScriptedDialogs::Reset()
{
    m_Answers.clear();
    m_FileNames.clear();
    m_Boxes.clear();
    m_FileDialogs.clear();
    m_nBeeps = 0;
    m_nUnscripted = 0;
}
