#pragma once
// An open or save dialog of the main window (odMain, sdMain, sdExport): it
// keeps its start folder, filter and default extension like a form component
// and is shown through the dialog seam.

#include <QObject>
#include <string>

#include "KVTDialogs.h"

class CKvtFileDialog : public QObject {
    Q_OBJECT
public:
    CKvtFileDialog(QObject* pParent, const char* pName, IKvtDialogs& dialogs, TKvtFileDialogKind nKind,
                   const char* pFilter, const char* pDefaultExtension);

    // Shows the dialog from InitialDir; true and FileName set when confirmed.
    bool Execute();

    std::string InitialDir;
    std::string FileName;

    TKvtFileDialogKind Kind() const { return m_Request.nKind; }
    const std::string& Filter() const { return m_Request.sFilter; }
    const std::string& DefaultExt() const { return m_Request.sDefaultExtension; }

private:
    IKvtDialogs& m_Dialogs;
    KvtFileDialogRequest_st m_Request;
};
