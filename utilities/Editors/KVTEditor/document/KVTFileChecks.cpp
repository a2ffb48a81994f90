#include "KVTFileChecks.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "uniquefile.h"

namespace {

bool IsAsciiAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool IsOpenableFileType(std::string_view sType)
{
    if (sType.size() != 4)
        return false;
    // Letters or digits, padded with spaces: once a byte is neither, it and
    // every byte after it must be a space.
    size_t i = 0;
    while (i < 4 && IsAsciiAlnum(static_cast<unsigned char>(sType[i])))
        ++i;
    for (; i < 4; ++i) {
        if (sType[i] != ' ')
            return false;
    }
    return true;
}

bool CheckFileHeader(const char* pFileName)
{
    CUniqueFile file(pFileName, "rb");
    if (!file)
        return false;
    char header[8];
    const size_t nRead = std::fread(header, 1, sizeof header, file.Get());
    if (nRead < sizeof header)
        return false;
    return IsOpenableFileType(std::string_view(header, 4)) && std::memcmp(header + 4, "V3.2", 4) == 0;
}

bool IsFileReadOnly(const char* pFileName)
{
    if (!FileExistsAt(pFileName))
        return false;
    return !CUniqueFile(pFileName, "r+b");
}

bool FileExistsAt(const char* pFileName)
{
    struct stat info {};
    return pFileName && stat(pFileName, &info) == 0;
}
