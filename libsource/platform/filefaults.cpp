#include "filefaults.h"

namespace {

int64_t s_nWriteBudget = -1;
bool s_bRenameFails = false;

} // namespace

bool FileWriteAll(std::FILE* pFile, const void* pData, size_t nBytes)
{
    if (nBytes == 0)
        return true;
    if (s_nWriteBudget >= 0 && static_cast<uint64_t>(s_nWriteBudget) < nBytes) {
        const size_t nPart = static_cast<size_t>(s_nWriteBudget);
        if (nPart > 0)
            std::fwrite(pData, 1, nPart, pFile);
        s_nWriteBudget = 0;
        return false;
    }
    if (s_nWriteBudget >= 0)
        s_nWriteBudget -= static_cast<int64_t>(nBytes);
    return std::fwrite(pData, nBytes, 1, pFile) == 1;
}

int FileRename(const char* pFrom, const char* pTo)
{
    if (s_bRenameFails)
        return -1;
    return std::rename(pFrom, pTo);
}

void SetFileWriteFault(int64_t nBytes)
{
    s_nWriteBudget = nBytes < 0 ? -1 : nBytes;
}

void SetFileRenameFault(bool bFail)
{
    s_bRenameFails = bFail;
}
