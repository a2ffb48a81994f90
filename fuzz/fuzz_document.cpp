// libFuzzer target: the editor's whole document path. Bytes are opened as the
// editor opens a file, exported as text, saved, opened again and saved twice
// more. What the editor opens it must be able to save (given a file type the
// editor can open again), what it saves must open again without a failed field, and the
// saved form must be a fixed point: the second and third saves give the same
// bytes. A deep copy of the opened document saves exactly as the document
// does. A save that fails leaves no file and no temporary file behind.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "KVTExport.h"
#include "KVTFileChecks.h"
#include "KVTTreeNodes.h"
#include "fuzzreporthandler.h"
#include "TempDir.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

using TRoot = std::unique_ptr<CKvtNodeTopLevelStruct>;

CTempDir* s_pScratch = nullptr;

[[noreturn]] void Fail(const char* pWhat)
{
    std::fprintf(stderr, "fuzz_document: %s\n", pWhat);
    std::abort();
}

void RemoveScratch()
{
    delete s_pScratch;
    s_pScratch = nullptr;
}

// Saves the document; returns the bytes written, or fails the run when a save
// that must succeed does not.
std::string SaveOrFail(CKvtNodeTopLevelStruct* pRoot, const std::string& sPath, const char* pWhat)
{
    if (!pRoot->SaveDocument(sPath.c_str()))
        Fail(pWhat);
    return ReadFileText(sPath);
}

TRoot ReopenOrFail(const std::string& sPath)
{
    TRoot pRoot(new CKvtNodeTopLevelStruct);
    bool bRefused = false;
    const bool bLoaded = pRoot->LoadDocument(sPath.c_str(), &bRefused);
    if (bRefused)
        Fail("a file the editor saved is refused when opened again");
    if (!bLoaded)
        Fail("a file the editor saved has a field that cannot be read");
    return pRoot;
}

// A document that is not saved (its file type is not four letters or digits
// padded with spaces, which the editor could not open again) must leave the
// folder exactly as it was.
void CheckRefusedSave(CKvtNodeTopLevelStruct* pRoot, const std::string& sPath)
{
    const size_t nBefore = s_pScratch->CountEntries();
    if (pRoot->SaveDocument(sPath.c_str()))
        Fail("a document whose file type could not be opened again was saved");
    if (s_pScratch->CountEntries() != nBefore)
        Fail("a failed save left a file behind");
}

void RunDocumentPath(const uint8_t* pData, size_t nSize)
{
    TRoot pOpened(new CKvtNodeTopLevelStruct);
    bool bRefused = false;
    pOpened->LoadDocumentFromMemory(pData, nSize, "fuzz input", &bRefused);
    if (bRefused) {
        // A refused file leaves the fresh root as it was.
        if (pOpened->GetChildCount() != 0 || pOpened->m_sFileType.GetLength() != 0 ||
            pOpened->m_sVersion.GetLength() != 0)
            Fail("a refused file changed the document");
        return;
    }
    if (BuildExportText(pOpened.get()).empty())
        Fail("an open document exported nothing");

    const std::string sFirst = s_pScratch->File("first.kvt");
    const std::string sSecond = s_pScratch->File("second.kvt");
    const std::string_view sFileType(pOpened->m_sFileType.CStr(), static_cast<size_t>(pOpened->m_sFileType.GetLength()));
    if (!IsOpenableFileType(sFileType)) {
        CheckRefusedSave(pOpened.get(), sFirst);
        return;
    }
    const std::string sSaved1 = SaveOrFail(pOpened.get(), sFirst, "an opened document could not be saved");
    {
        TRoot pCopy(static_cast<CKvtNodeTopLevelStruct*>(CloneKvtNode(pOpened.get())));
        if (!pCopy || SaveOrFail(pCopy.get(), sSecond, "a copy of an opened document could not be saved") != sSaved1)
            Fail("a copy of the document saves differently from the document");
    }
    pOpened.reset();

    TRoot pReopened = ReopenOrFail(sFirst);
    const std::string sSaved2 = SaveOrFail(pReopened.get(), sSecond, "a reopened document could not be saved");
    pReopened = ReopenOrFail(sSecond);
    // The third save replaces the first file, so replacing an existing file is
    // part of the path too.
    const std::string sSaved3 = SaveOrFail(pReopened.get(), sFirst, "a reopened document could not be saved again");
    if (sSaved2 != sSaved3)
        Fail("the second and third saves differ: the saved form is not a fixed point");
    if (s_pScratch->CountEntries() != 2)
        Fail("saving left a temporary file behind");
    std::remove(sFirst.c_str());
    std::remove(sSecond.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CFuzzReportHandler::Install();
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    s_pScratch = new CTempDir("fuzz_document", CTempDir::tpMemoryIfAvailable);
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    RunDocumentPath(pData, nSize);
    return 0;
}
