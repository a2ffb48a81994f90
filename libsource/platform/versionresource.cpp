#include "versionresource.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "elfsection.h"
#include "regularfile.h"
#include "uniquefd.h"
#include "versionblock.h"

namespace {

// A node's wLength is 16 bits, so no block is longer than this.
constexpr uint64_t kMaxBlock = 0xFFFF;

// The file's block, or an empty vector when it has none.
std::vector<uint8_t> LoadBlock(const char* pFileName)
{
    std::vector<uint8_t> block;
    if (pFileName == nullptr || *pFileName == '\0')
        return block;
    const CUniqueFd fd(OpenRegularFile(pFileName, O_RDONLY));
    if (!fd.IsOpen())
        return block;
    ElfSection_st section{};
    if (FindElfSection(fd.Get(), kVersionSectionName, section)) {
        block.resize(static_cast<size_t>(section.nSize < kMaxBlock ? section.nSize : kMaxBlock));
        if (!ReadFileAt(fd.Get(), section.nOffset, block.data(), block.size()))
            block.clear();
    }
    // The section may be padded after the block; only the block counts.
    block.resize(VersionBlockSize(block.data(), block.size()));
    return block;
}

} // namespace

uint32_t VersionResourceSize(const char* pFileName)
{
    return static_cast<uint32_t>(LoadBlock(pFileName).size());
}

bool VersionResourceRead(const char* pFileName, uint32_t nSize, void* pData)
{
    const std::vector<uint8_t> block = LoadBlock(pFileName);
    if (block.empty() || pData == nullptr)
        return false;
    std::memcpy(pData, block.data(), nSize < block.size() ? nSize : block.size());
    return true;
}

bool VersionResourceQueryString(const void* pData, uint32_t nSize, const char* pPath, std::string& sValue)
{
    return VersionBlockQueryString(static_cast<const uint8_t*>(pData), nSize, pPath, sValue);
}
