#pragma once
// File > "Export as JSON…" and File > "Import JSON…": the document to and from
// its lossless JSON form (docs/json-form.md). An import becomes a new untitled
// document, modified; a text the reader refuses shows the reader's message
// (line, column, JSON Pointer) and leaves the open document as it was.

#include <QObject>
#include <functional>
#include <memory>

#include "KVTDialogs.h"
#include "KVTTreeNodes.h"

class CKvtDocumentSession;
class CKvtFileDialog;

class CKvtJsonCommands {
public:
    // What only the main window does.
    struct Window_st {
        // Offers unsaved changes for saving; false when the user cancelled.
        std::function<bool()> AskSaveChanges;
        // Closes the open document and shows this one, untitled and modified.
        std::function<void(std::unique_ptr<CKvtNodeTopLevelStruct>)> ShowImported;
        // An error box with the program's title.
        std::function<void(const std::string&)> ShowError;
    };

    CKvtJsonCommands(QObject* pDialogParent, CKvtDocumentSession& session, IKvtDialogs& dialogs, Window_st window);

    void ExportJson();
    void ImportJson();

private:
    CKvtDocumentSession& m_Session;
    Window_st m_Window;
    CKvtFileDialog* m_pExportDialog; // owned by the dialog parent
    CKvtFileDialog* m_pImportDialog;
};
