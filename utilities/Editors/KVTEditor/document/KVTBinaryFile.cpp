#include "KVTBinaryFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <new>

#include "atomicfile.h"
#include "filefaults.h"
#include "uniquefile.h"

bool ReadBinaryValueFile(const std::string& sPath, std::vector<uint8_t>& bytes)
{
    CUniqueFile file(sPath.c_str(), "rb");
    struct stat info {};
    if (!file || fstat(fileno(file.Get()), &info) != 0 || info.st_size < 0 ||
        static_cast<uint64_t>(info.st_size) > UINT32_MAX)
        return false;
    std::vector<uint8_t> content;
    try {
        content.resize(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The length is the one stat gave: a file growing meanwhile is read as
    // it was, one shrinking fails.
    if (!content.empty() && std::fread(content.data(), 1, content.size(), file.Get()) != content.size())
        return false;
    bytes.swap(content);
    return true;
}

bool WriteBinaryValueFile(const std::string& sPath, const uint8_t* pData, uint32_t nSize)
{
    CAtomicFileReplacement target(sPath);
    if (!target.IsReady())
        return false;
    CUniqueFile file(target.TempPath().c_str(), "wb");
    if (!file)
        return false;
    const bool bWritten = nSize == 0 || FileWriteAll(file.Get(), pData, nSize);
    const bool bClosed = file.Close();
    return bWritten && bClosed && target.Commit();
}
