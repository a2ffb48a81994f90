// CResKVT: construction, destruction, making the tables editable, and the
// hand-over of data with the resource manager.

#include "reskvt.h"

#include <cstring>
#include <new>

#include "kvtfieldindexarrays.h"
#include "kvtfieldlabelindex.h"
#include "kvtlabeltableindex.h"
#include "kvtlookupmemo.h"
#include "orobase.h"
#include "reskvtinternal.h"

using namespace reskvt;

namespace {

// Allocates nCapacity records and copies the nUsed present ones (when any).
template <typename T> T* CopyTable(const void* pOld, uint32_t nUsed, uint32_t nCapacity)
{
    T* pNew = new T[nCapacity];
    if (pOld != nullptr && nUsed > 0)
        std::memcpy(pNew, pOld, static_cast<size_t>(nUsed) * sizeof(T));
    return pNew;
}

// used + step, kept within 32 bits.
uint32_t CapacityAbove(uint32_t nUsed, uint32_t nStep)
{
    const uint64_t nCapacity = static_cast<uint64_t>(nUsed) + nStep;
    return nCapacity > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(nCapacity);
}

} // namespace

CResKVT::CResKVT()
    : m_nStructStep(kInitialStructs), m_nFieldStep(kInitialFields), m_nLabelStep(kInitialLabels),
      m_nFieldDataStep(kInitialFieldData), m_nFieldIndicesStep(kInitialFieldIndices),
      m_nListIndicesStep(kInitialListIndices), m_pHeader(nullptr), m_pStructs(nullptr), m_nStructCapacity(0),
      m_pFields(nullptr), m_nFieldCapacity(0), m_pLabels(nullptr), m_nLabelCapacity(0), m_pFieldData(nullptr),
      m_nFieldDataCapacity(0), m_pFieldIndices(nullptr), m_nFieldIndicesCapacity(0), m_nFieldIndicesAbandoned(0),
      m_pListIndices(nullptr), m_nListIndicesCapacity(0),
      m_nListIndicesAbandoned(0), m_labelResult{}, m_expectedFileType{}, m_bBorrowed(0), m_bDemanded(0),
      m_pFieldLabelIndex(nullptr), m_pLabelTableIndex(nullptr), m_pLookupMemo(nullptr), m_pBuiltFieldIndices(nullptr)
{}

CResKVT::~CResKVT()
{
    if (m_bBorrowed != 0)
        Detach();
    else
        FreeOwned();
    delete m_pFieldLabelIndex;
    delete m_pLabelTableIndex;
    delete m_pLookupMemo;
}

void CResKVT::SetExpectedFileType(const char* pFileType)
{
    std::memset(m_expectedFileType, 0, sizeof(m_expectedFileType));
    if (pFileType == nullptr)
        return;
    for (size_t i = 0; i < sizeof(m_expectedFileType) && pFileType[i] != '\0'; ++i)
        m_expectedFileType[i] = pFileType[i];
}

uint32_t CResKVT::GetStructCount() const
{
    return (m_pHeader != nullptr && m_pStructs != nullptr) ? m_pHeader->structCount : 0;
}

void CResKVT::ForgetLookups()
{
    if (m_pLookupMemo != nullptr)
        m_pLookupMemo->Forget();
}

void CResKVT::ForgetLabelIndexes()
{
    ForgetLookups();
    if (m_pFieldLabelIndex != nullptr)
        m_pFieldLabelIndex->Clear();
    if (m_pLabelTableIndex != nullptr)
        m_pLabelTableIndex->Clear();
}

void CResKVT::FreeOwned()
{
    delete m_pHeader;
    delete[] m_pStructs;
    delete[] m_pFields;
    delete[] m_pLabels;
    delete[] m_pFieldData;
    delete[] m_pFieldIndices;
    delete[] m_pListIndices;
    ForgetPointers();
}

void CResKVT::ForgetPointers()
{
    m_pHeader = nullptr;
    m_pStructs = nullptr;
    m_pFields = nullptr;
    m_pLabels = nullptr;
    m_pFieldData = nullptr;
    m_pFieldIndices = nullptr;
    m_pListIndices = nullptr;
    m_nStructCapacity = m_nFieldCapacity = m_nLabelCapacity = 0;
    m_nFieldDataCapacity = m_nFieldIndicesCapacity = m_nListIndicesCapacity = 0;
    m_nFieldIndicesAbandoned = m_nListIndicesAbandoned = 0;
    delete m_pBuiltFieldIndices;
    m_pBuiltFieldIndices = nullptr;
    ForgetLabelIndexes();
}

void CResKVT::Detach()
{
    if (m_bDemanded != 0) {
        if (g_pOroResMan == nullptr) {
            OroWarning("ororesman", 659); // the release cannot be attempted
        } else {
            g_pOroResMan->Release(this);
            g_pOroResMan->ReleaseResObject(this);
        }
        m_bDemanded = 0;
    }
    m_bBorrowed = 0;
    // The pointed-to data belongs to someone else: forget it, free nothing.
    ForgetPointers();
}

void CResKVT::MakeEditable()
{
    // The copy below works on the plain byte area.
    MaterializeFieldIndices();
    KvtHeader_st* pHeader = new KvtHeader_st{};
    const KvtHeader_st* pOld = m_pHeader;
    uint32_t nStructCapacity = kInitialStructs;
    uint32_t nFieldCapacity = kInitialFields;
    uint32_t nLabelCapacity = kInitialLabels;
    uint32_t nFieldDataCapacity = kInitialFieldData;
    uint32_t nFieldIndicesCapacity = kInitialFieldIndices;
    uint32_t nListIndicesCapacity = kInitialListIndices;
    if (pOld != nullptr) {
        std::memcpy(pHeader->fileType, pOld->fileType, 4);
        std::memcpy(pHeader->version, pOld->version, 4);
        pHeader->structCount = pOld->structCount;
        pHeader->fieldCount = pOld->fieldCount;
        pHeader->labelCount = pOld->labelCount;
        pHeader->fieldDataSize = pOld->fieldDataSize;
        pHeader->fieldIndicesSize = pOld->fieldIndicesSize;
        pHeader->listIndicesSize = pOld->listIndicesSize;
        nStructCapacity = CapacityAbove(pOld->structCount, m_nStructStep);
        nFieldCapacity = CapacityAbove(pOld->fieldCount, m_nFieldStep);
        nLabelCapacity = CapacityAbove(pOld->labelCount, m_nLabelStep);
        nFieldDataCapacity = CapacityAbove(pOld->fieldDataSize, m_nFieldDataStep);
        nFieldIndicesCapacity = CapacityAbove(pOld->fieldIndicesSize, m_nFieldIndicesStep);
        nListIndicesCapacity = CapacityAbove(pOld->listIndicesSize, m_nListIndicesStep);
    }
    const bool bHasOld = pOld != nullptr;
    KvtStruct_st* pStructs = CopyTable<KvtStruct_st>(m_pStructs, bHasOld ? pOld->structCount : 0, nStructCapacity);
    KvtField_st* pFields = CopyTable<KvtField_st>(m_pFields, bHasOld ? pOld->fieldCount : 0, nFieldCapacity);
    KvtLabel_st* pLabels = CopyTable<KvtLabel_st>(m_pLabels, bHasOld ? pOld->labelCount : 0, nLabelCapacity);
    uint8_t* pFieldData = CopyTable<uint8_t>(m_pFieldData, bHasOld ? pOld->fieldDataSize : 0, nFieldDataCapacity);
    uint8_t* pFieldIndices =
        CopyTable<uint8_t>(m_pFieldIndices, bHasOld ? pOld->fieldIndicesSize : 0, nFieldIndicesCapacity);
    uint8_t* pListIndices =
        CopyTable<uint8_t>(m_pListIndices, bHasOld ? pOld->listIndicesSize : 0, nListIndicesCapacity);

    if (m_bBorrowed != 0)
        Detach();
    else
        FreeOwned();

    m_pHeader = pHeader;
    m_pStructs = pStructs;
    m_nStructCapacity = nStructCapacity;
    m_pFields = pFields;
    m_nFieldCapacity = nFieldCapacity;
    m_pLabels = pLabels;
    m_nLabelCapacity = nLabelCapacity;
    m_pFieldData = pFieldData;
    m_nFieldDataCapacity = nFieldDataCapacity;
    m_pFieldIndices = pFieldIndices;
    m_nFieldIndicesCapacity = nFieldIndicesCapacity;
    m_pListIndices = pListIndices;
    m_nListIndicesCapacity = nListIndicesCapacity;
    ForgetLookups();
}

void CResKVT::MaterializeFieldIndices()
{
    if (m_pBuiltFieldIndices == nullptr)
        return;
    const uint32_t nUsed = m_pHeader != nullptr ? m_pHeader->fieldIndicesSize : 0;
    const uint32_t nCapacity = m_nFieldIndicesCapacity > nUsed ? m_nFieldIndicesCapacity : nUsed;
    uint8_t* pArea = new uint8_t[nCapacity];
    m_pBuiltFieldIndices->Materialize(pArea, nUsed, m_pStructs, m_pHeader != nullptr ? m_pHeader->structCount : 0);
    delete m_pBuiltFieldIndices;
    m_pBuiltFieldIndices = nullptr;
    m_pFieldIndices = pArea;
    m_nFieldIndicesCapacity = nCapacity;
}

const uint8_t* CResKVT::GetFieldIndicesBlock()
{
    MaterializeFieldIndices();
    return m_pFieldIndices;
}

bool CResKVT::OnResourceServiced()
{
    if (m_pData == nullptr)
        return false;
    if (m_bBorrowed == 0)
        FreeOwned();
    m_bBorrowed = 0;
    ForgetPointers();
    const KvtHeader_st* pDelivered = static_cast<const KvtHeader_st*>(m_pData);
    if (m_nDataSize < kHeaderSize)
        return false;
    if (m_expectedFileType[0] == '\0')
        OroWarning(kModule, kLineTypeNotSet, "File type not set before demanding KVT");
    if (std::memcmp(pDelivered->fileType, m_expectedFileType, 4) != 0)
        return false;
    if (std::memcmp(pDelivered->version, kVersion, 4) != 0) {
        OroWarning(kModule, kLineBadVersion, "CResKVT::OnResourceServiced()  Resource is invalid version.");
        return false;
    }
    uint8_t* pImage = static_cast<uint8_t*>(m_pData);
    if (!ImageSectionsInside(pImage, m_nDataSize))
        return false;
    PointIntoImage(pImage);
    m_bBorrowed = 1;
    return true;
}

bool CResKVT::OnResourceReleased()
{
    if (m_bBorrowed != 0) {
        ForgetPointers();
        m_bBorrowed = 0;
    }
    return true;
}

void CResKVT::PointIntoImage(uint8_t* pImage)
{
    KvtHeader_st* pHeader = reinterpret_cast<KvtHeader_st*>(pImage);
    m_pHeader = pHeader;
    m_pStructs = pHeader->structCount != 0 ? reinterpret_cast<KvtStruct_st*>(pImage + pHeader->structOffset) : nullptr;
    m_pFields = pHeader->fieldCount != 0 ? reinterpret_cast<KvtField_st*>(pImage + pHeader->fieldOffset) : nullptr;
    m_pLabels = pHeader->labelCount != 0 ? reinterpret_cast<KvtLabel_st*>(pImage + pHeader->labelOffset) : nullptr;
    m_pFieldData = pHeader->fieldDataSize != 0 ? pImage + pHeader->fieldDataOffset : nullptr;
    m_pFieldIndices = pHeader->fieldIndicesSize != 0 ? pImage + pHeader->fieldIndicesOffset : nullptr;
    m_pListIndices = pHeader->listIndicesSize != 0 ? pImage + pHeader->listIndicesOffset : nullptr;
    m_nStructCapacity = pHeader->structCount;
    m_nFieldCapacity = pHeader->fieldCount;
    m_nLabelCapacity = pHeader->labelCount;
    m_nFieldDataCapacity = pHeader->fieldDataSize;
    m_nFieldIndicesCapacity = pHeader->fieldIndicesSize;
    m_nListIndicesCapacity = pHeader->listIndicesSize;
    ForgetLabelIndexes();
}
