// libFuzzer target: any bytes as the JSON form. The reader must refuse or
// accept without crashing or leaking; a refusal carries its message. What it
// accepts must reach the round trip's fixed point at once: writing the
// document and reading that text back gives the same text again, and both
// documents save to the same bytes (or both fail to save).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "TempDir.h"
#include "fuzzreporthandler.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

CTempDir* s_pScratch = nullptr;

[[noreturn]] void Fail(const char* pWhat)
{
    std::fprintf(stderr, "fuzz_json: %s\n", pWhat);
    std::abort();
}

void RemoveScratch()
{
    delete s_pScratch;
    s_pScratch = nullptr;
}

// The saved bytes, or "failed" when the save failed.
std::string SavedBytes(CKvtNodeTopLevelStruct* pRoot, const char* pName)
{
    const std::string sPath = s_pScratch->File(pName);
    if (!pRoot->SaveDocument(sPath.c_str()))
        return "failed";
    std::string sBytes = ReadFileText(sPath);
    std::remove(sPath.c_str());
    return sBytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CFuzzReportHandler::Install();
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    s_pScratch = new CTempDir("fuzz_json", CTempDir::tpMemoryIfAvailable);
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // The reader takes a zero-terminated text; a zero inside it is refused.
    const std::string sInput(reinterpret_cast<const char*>(pData), nSize);
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pFirst = CKvtJsonReader::FromText(sInput.c_str(), sInput.size(), sError);
    if (!pFirst) {
        if (sError.empty())
            Fail("a refusal without a message");
        return 0;
    }
    const std::string sJson = CKvtJsonWriter::ToString(pFirst.get());
    std::unique_ptr<CKvtNodeTopLevelStruct> pSecond = CKvtJsonReader::FromText(sJson.c_str(), sJson.size(), sError);
    if (!pSecond)
        Fail("the reader refuses what the writer wrote");
    if (CKvtJsonWriter::ToString(pSecond.get()) != sJson)
        Fail("the written text is not a fixed point");
    if (SavedBytes(pFirst.get(), "first.kvt") != SavedBytes(pSecond.get(), "second.kvt"))
        Fail("the document read back from its own text saves other bytes");
    return 0;
}
