#include "KVTFileDialog.h"

CKvtFileDialog::CKvtFileDialog(QObject* pParent, const char* pName, IKvtDialogs& dialogs, TKvtFileDialogKind nKind,
                               const char* pFilter, const char* pDefaultExtension)
    : QObject(pParent), m_Dialogs(dialogs)
{
    setObjectName(QString::fromLatin1(pName));
    m_Request.nKind = nKind;
    m_Request.sFilter = pFilter;
    m_Request.sDefaultExtension = pDefaultExtension;
}

bool CKvtFileDialog::Execute()
{
    m_Request.sStartFolder = InitialDir;
    std::string sChosen;
    if (!m_Dialogs.AskFileName(m_Request, sChosen))
        return false;
    FileName = sChosen;
    return true;
}
