#include "elfsection.h"

#include "bytereader.h"

#include <cerrno>
#include <cstring>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint8_t kClass32 = 1;
constexpr uint8_t kClass64 = 2;
constexpr uint8_t kLittleEndian = 1;
constexpr uint8_t kBigEndian = 2;
constexpr uint32_t kSectionNoBits = 8;   // SHT_NOBITS: occupies no file bytes
constexpr uint32_t kIndexExtended = 0xFFFF;  // SHN_XINDEX
constexpr size_t kHeaderChunk = 64 * 1024;

// The class and byte order of one ELF file, which decide how its fields read.
struct ElfLayout_st {
    bool b64;
    TByteOrder eOrder;

    size_t HeaderSize() const { return b64 ? 64 : 52; }
    size_t SectionHeaderSize() const { return b64 ? 64 : 40; }
    CByteReader Reader(std::span<const uint8_t> bytes) const { return CByteReader(bytes, eOrder); }
};

struct SectionHeader_st {
    uint32_t nName;
    uint32_t nType;
    uint64_t nOffset;
    uint64_t nSize;
    uint32_t nLink;
};

// One section header; the caller hands at least SectionHeaderSize() bytes.
SectionHeader_st DecodeSectionHeader(const ElfLayout_st& layout, std::span<const uint8_t> bytes)
{
    CByteReader reader = layout.Reader(bytes);
    SectionHeader_st header{};
    header.nName = reader.U32();
    header.nType = reader.U32();
    reader.Seek(layout.b64 ? 24 : 16);
    header.nOffset = reader.Word(layout.b64);
    header.nSize = reader.Word(layout.b64);
    reader.Seek(layout.b64 ? 40 : 24);
    header.nLink = reader.U32();
    return header;
}

bool LiesInFile(uint64_t nOffset, uint64_t nSize, uint64_t nFileSize)
{
    return nOffset <= nFileSize && nSize <= nFileSize - nOffset;
}

bool NameMatches(int fd, const SectionHeader_st& names, uint32_t nNameOffset, const std::string& sName,
                 uint64_t nFileSize)
{
    const uint64_t nNeeded = sName.size() + 1;  // the name and its terminator
    if (nNameOffset > names.nSize || nNeeded > names.nSize - nNameOffset)
        return false;
    const uint64_t nAt = names.nOffset + nNameOffset;
    if (!LiesInFile(nAt, nNeeded, nFileSize))
        return false;
    std::vector<char> buffer(nNeeded);
    return ReadFileAt(fd, nAt, buffer.data(), buffer.size()) && std::memcmp(buffer.data(), sName.c_str(), nNeeded) == 0;
}

} // namespace

bool ReadFileAt(int fd, uint64_t nOffset, void* pBuffer, size_t nCount)
{
    auto* p = static_cast<uint8_t*>(pBuffer);
    while (nCount > 0) {
        if (nOffset > static_cast<uint64_t>(INT64_MAX))
            return false;
        const ssize_t nRead = pread(fd, p, nCount, static_cast<off_t>(nOffset));
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
            return false;
        p += nRead;
        nOffset += static_cast<uint64_t>(nRead);
        nCount -= static_cast<size_t>(nRead);
    }
    return true;
}

bool FindElfSection(int fd, const char* pName, ElfSection_st& section)
{
    struct stat info {};
    if (pName == nullptr || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
        return false;
    const uint64_t nFileSize = static_cast<uint64_t>(info.st_size);

    uint8_t header[64] = {};
    if (nFileSize < 52 || !ReadFileAt(fd, 0, header, nFileSize < 64 ? 52 : 64))
        return false;
    if (std::memcmp(header, "\x7F" "ELF", 4) != 0)
        return false;
    if ((header[4] != kClass32 && header[4] != kClass64) || (header[5] != kLittleEndian && header[5] != kBigEndian))
        return false;
    const ElfLayout_st layout{header[4] == kClass64, header[5] == kBigEndian ? TByteOrder::Big : TByteOrder::Little};
    if (nFileSize < layout.HeaderSize())
        return false;

    CByteReader fields = layout.Reader(std::span<const uint8_t>(header, layout.HeaderSize()));
    fields.Seek(layout.b64 ? 0x28 : 0x20);
    const uint64_t nTableOffset = fields.Word(layout.b64);
    fields.Seek(layout.b64 ? 0x3A : 0x2E);
    const uint64_t nEntrySize = fields.U16();
    uint64_t nCount = fields.U16();
    uint64_t nNamesIndex = fields.U16();
    if (nTableOffset == 0 || nEntrySize < layout.SectionHeaderSize() || !LiesInFile(nTableOffset, nEntrySize, nFileSize))
        return false;

    std::vector<uint8_t> entry(layout.SectionHeaderSize());
    if (!ReadFileAt(fd, nTableOffset, entry.data(), entry.size()))
        return false;
    // Files with 0xFF00 sections or more keep the real count and the
    // name-table index in the first section header.
    const SectionHeader_st first = DecodeSectionHeader(layout, entry);
    if (nCount == 0)
        nCount = first.nSize;
    if (nNamesIndex == kIndexExtended)
        nNamesIndex = first.nLink;
    if (nCount == 0 || nCount > (nFileSize - nTableOffset) / nEntrySize || nNamesIndex >= nCount)
        return false;

    if (!ReadFileAt(fd, nTableOffset + nNamesIndex * nEntrySize, entry.data(), entry.size()))
        return false;
    const SectionHeader_st names = DecodeSectionHeader(layout, entry);
    if (names.nType == kSectionNoBits || !LiesInFile(names.nOffset, names.nSize, nFileSize))
        return false;

    // The table lies inside the file (checked above), so reading it in
    // chunks costs time and memory bounded by the file's size.
    const std::string sName(pName);
    const uint64_t nPerChunk = kHeaderChunk / nEntrySize + 1;
    std::vector<uint8_t> chunk;
    for (uint64_t nFirst = 0; nFirst < nCount; nFirst += nPerChunk) {
        const uint64_t nInChunk = nCount - nFirst < nPerChunk ? nCount - nFirst : nPerChunk;
        chunk.resize(static_cast<size_t>(nInChunk * nEntrySize));
        if (!ReadFileAt(fd, nTableOffset + nFirst * nEntrySize, chunk.data(), chunk.size()))
            return false;
        for (uint64_t i = 0; i < nInChunk; ++i) {
            const SectionHeader_st candidate =
                DecodeSectionHeader(layout, std::span<const uint8_t>(chunk).subspan(i * nEntrySize, nEntrySize));
            if (candidate.nType == kSectionNoBits || !LiesInFile(candidate.nOffset, candidate.nSize, nFileSize))
                continue;
            if (NameMatches(fd, names, candidate.nName, sName, nFileSize)) {
                section.nOffset = candidate.nOffset;
                section.nSize = candidate.nSize;
                return true;
            }
        }
    }
    return false;
}
