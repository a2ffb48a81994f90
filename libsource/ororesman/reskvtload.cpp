// CResKVT: loading a file image. The image is checked as a whole before any
// table is filled: every section it names must lie inside it.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"
#include "uniquefile.h"

using namespace reskvt;

namespace {

// One section: its offset and its size in bytes, computed without wrapping.
bool SectionInside(uint32_t nOffset, uint64_t nBytes, uint64_t nImageSize)
{
    if (nBytes == 0)
        return true;
    const uint64_t nEnd = static_cast<uint64_t>(nOffset) + nBytes;
    // Offsets are 32-bit: a section ending past 4 GiB cannot be addressed.
    return nEnd <= 0xFFFFFFFFull && nEnd <= nImageSize;
}

// Reads exactly nBytes from the offset; false on an error or an early end.
bool ReadAt(int nFile, void* pBuffer, uint64_t nBytes, uint64_t nOffset)
{
    uint8_t* pOut = static_cast<uint8_t*>(pBuffer);
    while (nBytes > 0) {
        // One call may deliver less than asked (and at most about 2 GiB).
        const size_t nAsk = nBytes < (1u << 30) ? static_cast<size_t>(nBytes) : (1u << 30);
        const ssize_t nGot = pread(nFile, pOut, nAsk, static_cast<off_t>(nOffset));
        if (nGot < 0 && errno == EINTR)
            continue;
        if (nGot <= 0)
            return false;
        pOut += nGot;
        nBytes -= static_cast<uint64_t>(nGot);
        nOffset += static_cast<uint64_t>(nGot);
    }
    return true;
}

void WarnDamaged(const char* pName)
{
    COroString sMessage = COroString("CResKvt::GetFileData: File is damaged: ") + COroString(pName);
    OroWarning(kModule, kLineDamaged, sMessage.CStr());
}

} // namespace

bool CResKVT::ImageSectionsInside(const uint8_t* pImage, uint64_t nSize)
{
    if (pImage == nullptr || nSize < kHeaderSize)
        return false;
    KvtHeader_st header;
    std::memcpy(&header, pImage, kHeaderSize);
    return SectionInside(header.structOffset, static_cast<uint64_t>(header.structCount) * sizeof(KvtStruct_st),
                         nSize) &&
           SectionInside(header.fieldOffset, static_cast<uint64_t>(header.fieldCount) * sizeof(KvtField_st), nSize) &&
           SectionInside(header.labelOffset, static_cast<uint64_t>(header.labelCount) * sizeof(KvtLabel_st), nSize) &&
           SectionInside(header.fieldDataOffset, header.fieldDataSize, nSize) &&
           SectionInside(header.fieldIndicesOffset, header.fieldIndicesSize, nSize) &&
           SectionInside(header.listIndicesOffset, header.listIndicesSize, nSize);
}

bool CResKVT::LoadImage(const uint8_t* pData, size_t nSize, const char* pName)
{
    if (!ImageSectionsInside(pData, nSize)) {
        WarnDamaged(pName);
        return false;
    }
    // The image is only read from: MakeEditable copies every section into
    // buffers of this object's own and then forgets the borrowed pointers.
    PointIntoImage(const_cast<uint8_t*>(pData));
    MakeEditable();
    return true;
}

bool CResKVT::LoadFromMemory(const uint8_t* pData, size_t nSize, const char* pNameForMessages)
{
    if (m_header.Data() != nullptr)
        return false;
    if (pData == nullptr || nSize == 0)
        return false; // as a file that cannot be read
    return LoadImage(pData, nSize, pNameForMessages != nullptr ? pNameForMessages : "");
}

bool CResKVT::GetFileData(const char* pFileName)
{
    if (m_header.Data() != nullptr)
        return false;
    const char* pName = pFileName != nullptr ? pFileName : "";
    const CUniqueFile file(pFileName, "rb");
    if (!file) {
        // What is there but is no regular file (a folder, a named pipe, a
        // device) is refused without a message; only a regular file has a
        // size that one read can deliver.
        if (pFileName != nullptr && (errno == EISDIR || errno == EINVAL))
            return false;
        COroString sMessage = COroString("CResKvt::GetFileData: File not opened: ") + COroString(pName);
        OroWarning(kModule, kLineNotOpened, sMessage.CStr());
        return false;
    }
    const int nFile = fileno(file.Get());
    struct stat info;
    if (fstat(nFile, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    off_t nSize = -1;
    if (fseeko(file.Get(), 0, SEEK_END) == 0)
        nSize = ftello(file.Get());
    if (nSize <= 0 || fseeko(file.Get(), 0, SEEK_SET) != 0)
        return false;
    // The header decides what else is read: each section goes straight from
    // the file into its table, with no copy of the whole file in between.
    uint8_t header[kHeaderSize] = {};
    const size_t nHeader = static_cast<uint64_t>(nSize) < kHeaderSize ? static_cast<size_t>(nSize) : kHeaderSize;
    if (!ReadAt(nFile, header, nHeader, 0))
        return false;
    if (!ImageSectionsInside(header, static_cast<uint64_t>(nSize))) {
        WarnDamaged(pName);
        return false;
    }
    KvtHeader_st sections;
    std::memcpy(&sections, header, kHeaderSize);
    return ReadSections(nFile, sections);
}

bool CResKVT::ReadSections(int nFile, const KvtHeader_st& header)
{
    OwnedTables tables = NewTables(&header);
    // Sections with nothing in them may name any offset: they are not read.
    const bool bRead =
        ReadAt(nFile, tables.structs.Data(), static_cast<uint64_t>(header.structCount) * sizeof(KvtStruct_st),
               header.structOffset) &&
        ReadAt(nFile, tables.fields.Data(), static_cast<uint64_t>(header.fieldCount) * sizeof(KvtField_st),
               header.fieldOffset) &&
        ReadAt(nFile, tables.labels.Data(), static_cast<uint64_t>(header.labelCount) * sizeof(KvtLabel_st),
               header.labelOffset) &&
        ReadAt(nFile, tables.fieldData.Data(), header.fieldDataSize, header.fieldDataOffset) &&
        ReadAt(nFile, tables.fieldIndices.Data(), header.fieldIndicesSize, header.fieldIndicesOffset) &&
        ReadAt(nFile, tables.listIndices.Data(), header.listIndicesSize, header.listIndicesOffset);
    if (!bRead)
        return false;
    AdoptTables(std::move(tables));
    ForgetLabelIndexes();
    return true;
}

void CResKVT::GetFileTypeAndVersion(COroString& sFileType, COroString& sVersion)
{
    if (m_header.Data() == nullptr)
        return;
    sFileType.Format("%.4s", m_header.Data()->fileType);
    sVersion.Format("%.4s", m_header.Data()->version);
}
