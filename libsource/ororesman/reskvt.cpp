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

// Copies the used bytes of a table into its new buffer (a table without
// records may have no buffer at all).
void CopyUsed(void* pNew, const void* pOld, size_t nBytes)
{
    if (pOld != nullptr && nBytes > 0)
        std::memcpy(pNew, pOld, nBytes);
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
      m_nListIndicesAbandoned(0), m_labelResult{}, m_labelResultKey{}, m_expectedFileType{}, m_bBorrowed(0), m_bDemanded(0),
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

CResKVT::OwnedTables CResKVT::NewTables(const KvtHeader_st* pOld) const
{
    OwnedTables tables{};
    tables.pHeader = new KvtHeader_st{};
    tables.nStructCapacity = kInitialStructs;
    tables.nFieldCapacity = kInitialFields;
    tables.nLabelCapacity = kInitialLabels;
    tables.nFieldDataCapacity = kInitialFieldData;
    tables.nFieldIndicesCapacity = kInitialFieldIndices;
    tables.nListIndicesCapacity = kInitialListIndices;
    if (pOld != nullptr) {
        KvtHeader_st* pHeader = tables.pHeader;
        std::memcpy(pHeader->fileType, pOld->fileType, 4);
        std::memcpy(pHeader->version, pOld->version, 4);
        pHeader->structCount = pOld->structCount;
        pHeader->fieldCount = pOld->fieldCount;
        pHeader->labelCount = pOld->labelCount;
        pHeader->fieldDataSize = pOld->fieldDataSize;
        pHeader->fieldIndicesSize = pOld->fieldIndicesSize;
        pHeader->listIndicesSize = pOld->listIndicesSize;
        tables.nStructCapacity = CapacityAbove(pOld->structCount, m_nStructStep);
        tables.nFieldCapacity = CapacityAbove(pOld->fieldCount, m_nFieldStep);
        tables.nLabelCapacity = CapacityAbove(pOld->labelCount, m_nLabelStep);
        tables.nFieldDataCapacity = CapacityAbove(pOld->fieldDataSize, m_nFieldDataStep);
        tables.nFieldIndicesCapacity = CapacityAbove(pOld->fieldIndicesSize, m_nFieldIndicesStep);
        tables.nListIndicesCapacity = CapacityAbove(pOld->listIndicesSize, m_nListIndicesStep);
    }
    tables.pStructs = new KvtStruct_st[tables.nStructCapacity];
    tables.pFields = new KvtField_st[tables.nFieldCapacity];
    tables.pLabels = new KvtLabel_st[tables.nLabelCapacity];
    tables.pFieldData = new uint8_t[tables.nFieldDataCapacity];
    tables.pFieldIndices = new uint8_t[tables.nFieldIndicesCapacity];
    tables.pListIndices = new uint8_t[tables.nListIndicesCapacity];
    return tables;
}

void CResKVT::FreeTables(const OwnedTables& tables)
{
    delete tables.pHeader;
    delete[] tables.pStructs;
    delete[] tables.pFields;
    delete[] tables.pLabels;
    delete[] tables.pFieldData;
    delete[] tables.pFieldIndices;
    delete[] tables.pListIndices;
}

void CResKVT::AdoptTables(const OwnedTables& tables)
{
    m_pHeader = tables.pHeader;
    m_pStructs = tables.pStructs;
    m_nStructCapacity = tables.nStructCapacity;
    m_pFields = tables.pFields;
    m_nFieldCapacity = tables.nFieldCapacity;
    m_pLabels = tables.pLabels;
    m_nLabelCapacity = tables.nLabelCapacity;
    m_pFieldData = tables.pFieldData;
    m_nFieldDataCapacity = tables.nFieldDataCapacity;
    m_pFieldIndices = tables.pFieldIndices;
    m_nFieldIndicesCapacity = tables.nFieldIndicesCapacity;
    m_pListIndices = tables.pListIndices;
    m_nListIndicesCapacity = tables.nListIndicesCapacity;
    ForgetLookups();
}

void CResKVT::MakeEditable()
{
    // The copy below works on the plain byte area.
    MaterializeFieldIndices();
    const KvtHeader_st* pOld = m_pHeader;
    const OwnedTables tables = NewTables(pOld);
    if (pOld != nullptr) {
        CopyUsed(tables.pStructs, m_pStructs, static_cast<size_t>(pOld->structCount) * sizeof(KvtStruct_st));
        CopyUsed(tables.pFields, m_pFields, static_cast<size_t>(pOld->fieldCount) * sizeof(KvtField_st));
        CopyUsed(tables.pLabels, m_pLabels, static_cast<size_t>(pOld->labelCount) * sizeof(KvtLabel_st));
        CopyUsed(tables.pFieldData, m_pFieldData, pOld->fieldDataSize);
        CopyUsed(tables.pFieldIndices, m_pFieldIndices, pOld->fieldIndicesSize);
        CopyUsed(tables.pListIndices, m_pListIndices, pOld->listIndicesSize);
    }

    if (m_bBorrowed != 0)
        Detach();
    else
        FreeOwned();
    AdoptTables(tables);
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
