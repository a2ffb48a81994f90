#include "KVTOpenDocument.h"

#include <memory>

#include "KVTFileChecks.h"

TKvtOpenResult OpenKvtDocument(const char* pFileName, CKvtNodeTopLevelStruct*& pRoot)
{
    pRoot = nullptr;
    if (!FileExistsAt(pFileName))
        return TKvtOpenResult::NotFound;
    if (!CheckFileHeader(pFileName))
        return TKvtOpenResult::BadHeader;
    std::unique_ptr<CKvtNodeTopLevelStruct> pDocument(new CKvtNodeTopLevelStruct);
    // A damaged field still gives a document (the user was warned); only a
    // file that could not be taken in at all gives none.
    bool bRefused = false;
    pDocument->LoadDocument(pFileName, &bRefused);
    if (bRefused)
        return TKvtOpenResult::LoadFailed;
    pRoot = pDocument.release();
    return TKvtOpenResult::Opened;
}

COroString GetOpenErrorText(TKvtOpenResult nResult, const char* pFileName)
{
    COroString sText;
    switch (nResult) {
    case TKvtOpenResult::NotFound:
        sText.Format("Could not find file '%s'.", pFileName);
        break;
    case TKvtOpenResult::BadHeader:
        sText = "Could not open file. The header is invalid.";
        break;
    case TKvtOpenResult::LoadFailed:
        sText = "Error opening file.  \n\nIs The selected file a KVT file?";
        break;
    case TKvtOpenResult::Opened:
        break;
    }
    return sText;
}

COroString GetSaveErrorText(const char* pFileName)
{
    COroString sText;
    sText.Format("Could not save file\n  '%s'.\nIt may be in use by another application, or it may be read-only.",
                 pFileName);
    return sText;
}
