#include "KVTOpenDocument.h"

#include "KVTFileChecks.h"

TKvtOpenResult CheckKvtDocumentName(const char* pFileName)
{
    if (!FileExistsAt(pFileName))
        return TKvtOpenResult::NotFound;
    if (!CheckFileHeader(pFileName))
        return TKvtOpenResult::BadHeader;
    return TKvtOpenResult::Opened;
}

TKvtOpenResult LoadKvtDocument(const char* pFileName, CKvtNodeTopLevelStruct& root)
{
    bool bRefused = false;
    try {
        root.LoadDocument(pFileName, &bRefused);
    } catch (...) {
        // Out of memory, or a report handler that ended the load by throwing:
        // whatever was read is not a document.
        bRefused = true;
    }
    return bRefused ? TKvtOpenResult::LoadFailed : TKvtOpenResult::Opened;
}

TKvtOpenResult OpenKvtDocument(const char* pFileName, std::unique_ptr<CKvtNodeTopLevelStruct>& pRoot)
{
    pRoot.reset();
    TKvtOpenResult nResult = CheckKvtDocumentName(pFileName);
    if (nResult != TKvtOpenResult::Opened)
        return nResult;
    auto pDocument = std::make_unique<CKvtNodeTopLevelStruct>();
    nResult = LoadKvtDocument(pFileName, *pDocument);
    if (nResult == TKvtOpenResult::Opened)
        pRoot = std::move(pDocument);
    return nResult;
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
