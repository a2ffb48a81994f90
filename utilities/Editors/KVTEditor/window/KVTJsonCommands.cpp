#include "KVTJsonCommands.h"

#include <cstdio>

#include "KVTDocumentSession.h"
#include "KVTFileDialog.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"

namespace {

const char* const kJsonFilter = "JSON Files (*.json)|*.json";

// The folder part of a path, "/" included; empty for a name without one.
std::string FolderOf(const char* pPath)
{
    const std::string sPath(pPath);
    const size_t nSlash = sPath.find_last_of('/');
    return nSlash == std::string::npos ? std::string() : sPath.substr(0, nSlash + 1);
}

} // namespace

CKvtJsonCommands::CKvtJsonCommands(QObject* pDialogParent, CKvtDocumentSession& session, IKvtDialogs& dialogs,
                                   Window_st window)
    : m_Session(session), m_Window(std::move(window)),
      m_pExportDialog(new CKvtFileDialog(pDialogParent, "sdExportJson", dialogs, TKvtFileDialogKind::Save, kJsonFilter,
                                         "json")),
      m_pImportDialog(new CKvtFileDialog(pDialogParent, "odImportJson", dialogs, TKvtFileDialogKind::Open, kJsonFilter,
                                         "json"))
{
}

void CKvtJsonCommands::ExportJson()
{
    CKvtNodeTopLevelStruct* pRoot = m_Session.RootNode();
    if (!pRoot)
        return;
    m_pExportDialog->InitialDir = FolderOf(m_Session.FileName().CStr());
    if (!m_pExportDialog->Execute())
        return;
    const std::string& sFileName = m_pExportDialog->FileName;
    std::FILE* pFile = std::fopen(sFileName.c_str(), "wb");
    if (!pFile) {
        m_Window.ShowError("Cannot create file " + sFileName);
        return;
    }
    const bool bWritten = CKvtJsonWriter::ToFile(pRoot, pFile);
    if (std::fclose(pFile) != 0 || !bWritten)
        m_Window.ShowError("Stream write error");
}

void CKvtJsonCommands::ImportJson()
{
    if (!m_Window.AskSaveChanges())
        return;
    m_pImportDialog->InitialDir = FolderOf(m_Session.FileName().CStr());
    if (!m_pImportDialog->Execute())
        return;
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot =
        CKvtJsonReader::FromFile(m_pImportDialog->FileName.c_str(), sError);
    if (!pRoot) {
        m_Window.ShowError(m_pImportDialog->FileName + ": " + sError);
        return;
    }
    m_Window.ShowImported(std::move(pRoot));
}
