// libFuzzer target: arbitrary bytes through the KVT loader (and through the
// resource manager's hand-over), then a capped walk over everything accepted.
// Reports raised on the way are expected (damaged input) and stay silent; a
// report of the guarded allocator means memory was overwritten, which ends
// the run as a crash.

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzzreporthandler.h"
#include "kvtfuzzwalker.h"
#include "ororesman.h"
#include "reskvt.h"

namespace {

CKvtFuzzWalker* s_pWalker = nullptr;
std::string* s_pScratchFile = nullptr;

void RemoveScratchFile()
{
    unlink(s_pScratchFile->c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CFuzzReportHandler::Install();
    // Every CRes consults the manager when it is destroyed, as in the program.
    g_pOroResMan = new COroResMan;
    s_pScratchFile = new std::string("/tmp/fuzz_reskvt." + std::to_string(getpid()) + ".kvt");
    std::atexit(RemoveScratchFile);
    s_pWalker = new CKvtFuzzWalker(*s_pScratchFile);
    return 0;
}

// The same bytes handed over as a resource manager delivers data: the object
// then reads them in place (borrowed) until its first write copies them.
static void WalkDelivered(const uint8_t* pData, size_t nSize)
{
    if (nSize < 8 || nSize > 0xFFFFFFFFu)
        return;
    uint8_t* pDelivered = new uint8_t[nSize];
    std::memcpy(pDelivered, pData, nSize);
    {
        CResKVT res;
        res.m_pData = pDelivered;
        res.m_nDataSize = static_cast<uint32_t>(nSize);
        const char fileType[5] = {static_cast<char>(pData[0]), static_cast<char>(pData[1]), static_cast<char>(pData[2]),
                                  static_cast<char>(pData[3]), 0};
        res.SetExpectedFileType(fileType);
        if (res.OnResourceServiced())
            s_pWalker->Walk(res);
        res.OnResourceReleased();
        res.m_pData = nullptr; // the data stays the caller's
    }
    delete[] pDelivered;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    {
        CResKVT res;
        if (res.LoadFromMemory(pData, nSize, "fuzz input"))
            s_pWalker->Walk(res);
    }
    WalkDelivered(pData, nSize);
    return 0;
}
