// libFuzzer target: the editor's whole document path. Bytes are opened as the
// editor opens a file, exported as text, saved, opened again and saved twice
// more. What the editor opens it must be able to save (given a file type the
// editor can open again), what it saves must open again without a failed field, and the
// saved form must be a fixed point: the second and third saves give the same
// bytes. A deep copy of the opened document saves exactly as the document
// does. A save that fails leaves no file and no temporary file behind.
// Stopped part-way through its progress reports, a load does not claim to be
// complete and a save leaves the file it would replace as it was. Every
// warning raised inside a walk names the walk's node through a chain that is
// still alive.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "KVTExport.h"
#include "KVTFileChecks.h"
#include "KVTNodePath.h"
#include "KVTTreeNodes.h"
#include "KVTWalkProgress.h"
#include "KVTWalkTrail.h"
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

// Asks the running walk to stop at its nth progress report.
class CStopAtReport : public IKvtWalkProgress {
public:
    explicit CStopAtReport(uint32_t nReport) : m_nLeft(nReport), m_pPrevious(SetKvtWalkProgress(this)) {}
    ~CStopAtReport() override { SetKvtWalkProgress(m_pPrevious); }
    CStopAtReport(const CStopAtReport&) = delete;
    CStopAtReport& operator=(const CStopAtReport&) = delete;
    bool WalkProgress(uint64_t nDone, uint64_t nTotal) override
    {
        if (nDone > nTotal)
            Fail("a walk reported more nodes done than its total");
        m_bStopped = m_bStopped || --m_nLeft == 0;
        return !m_bStopped;
    }
    bool Stopped() const { return m_bStopped; }

private:
    uint32_t m_nLeft;
    IKvtWalkProgress* m_pPrevious;
    bool m_bStopped = false;
};

// Warnings inside a walk look up the walk's node as the Problems panel does.
class CTrailCheckingHandler : public IOroReportHandler {
public:
    TOroReportAnswer Report(const OroReport_st& report) override
    {
        if (const CKvtWalkTrail* pTrail = CKvtWalkTrail::Current())
            m_nPathBytes += GetNodePath(pTrail->Chain()).size();
        return m_Fuzz.Report(report);
    }

private:
    CFuzzReportHandler m_Fuzz;
    size_t m_nPathBytes = 0;
};

// The input's last byte picks the report at which the walks are stopped.
uint32_t StopReport(const uint8_t* pData, size_t nSize)
{
    return nSize == 0 ? 1 : 1 + pData[nSize - 1] % 8;
}

void CheckStoppedWalks(const uint8_t* pData, size_t nSize, const std::string& sPath, const std::string& sSaved,
                       const std::string& sExport)
{
    {
        TRoot pRoot(new CKvtNodeTopLevelStruct);
        bool bLoaded = false;
        bool bStopped = false;
        {
            const CStopAtReport stop(StopReport(pData, nSize));
            bLoaded = pRoot->LoadDocumentFromMemory(pData, nSize, "fuzz input");
            bStopped = stop.Stopped();
        }
        if (bLoaded && bStopped)
            Fail("a stopped load claims to be complete");
        // Compared once the observer is gone: the export is a walk too.
        if (!bStopped && BuildExportText(pRoot.get()) != sExport)
            Fail("a load with a progress observer reads another tree");
    }
    TRoot pRoot = ReopenOrFail(sPath);
    const size_t nEntries = s_pScratch->CountEntries();
    const CStopAtReport stop(StopReport(pData, nSize));
    const bool bSaved = pRoot->SaveDocument(sPath.c_str());
    if (stop.Stopped() == bSaved)
        Fail(bSaved ? "a stopped save claims to be complete" : "a save that was not stopped failed");
    if (!bSaved && ReadFileText(sPath) != sSaved)
        Fail("a stopped save changed the file it would replace");
    if (s_pScratch->CountEntries() != nEntries)
        Fail("a stopped save left a file behind");
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
    const std::string sExport = BuildExportText(pOpened.get());
    if (sExport.empty())
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
    CheckStoppedWalks(pData, nSize, sFirst, sSaved3, sExport);
    std::remove(sFirst.c_str());
    std::remove(sSecond.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static CTrailCheckingHandler s_Handler;
    SetOroReportHandler(&s_Handler);
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
