// CResKVT: loading a file image. The image is checked as a whole before any
// table is copied: every section it names must lie inside it.

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"

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
    m_bBorrowed = 1;
    MakeEditable();
    return true;
}

bool CResKVT::LoadFromMemory(const uint8_t* pData, size_t nSize, const char* pNameForMessages)
{
    if (m_pHeader != nullptr)
        return false;
    if (pData == nullptr || nSize == 0)
        return false; // as a file that cannot be read
    return LoadImage(pData, nSize, pNameForMessages != nullptr ? pNameForMessages : "");
}

bool CResKVT::GetFileData(const char* pFileName)
{
    if (m_pHeader != nullptr)
        return false;
    const char* pName = pFileName != nullptr ? pFileName : "";
    std::FILE* pFile = pFileName != nullptr ? std::fopen(pFileName, "rb") : nullptr;
    if (pFile == nullptr) {
        COroString sMessage = COroString("CResKvt::GetFileData: File not opened: ") + COroString(pName);
        OroWarning(kModule, kLineNotOpened, sMessage.CStr());
        return false;
    }
    // Only a regular file has a size that one read can deliver (a folder opens
    // for reading but cannot be read).
    struct stat info;
    if (fstat(fileno(pFile), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(pFile);
        return false;
    }
    off_t nSize = -1;
    if (fseeko(pFile, 0, SEEK_END) == 0)
        nSize = ftello(pFile);
    if (nSize <= 0 || fseeko(pFile, 0, SEEK_SET) != 0) {
        std::fclose(pFile);
        return false;
    }
    std::unique_ptr<uint8_t[]> pImage(new uint8_t[static_cast<size_t>(nSize)]);
    const size_t nRead = std::fread(pImage.get(), static_cast<size_t>(nSize), 1, pFile);
    std::fclose(pFile);
    if (nRead != 1)
        return false;
    return LoadImage(pImage.get(), static_cast<size_t>(nSize), pName);
}

void CResKVT::GetFileTypeAndVersion(COroString& sFileType, COroString& sVersion)
{
    if (m_pHeader == nullptr)
        return;
    sFileType.Format("%.4s", m_pHeader->fileType);
    sVersion.Format("%.4s", m_pHeader->version);
}
