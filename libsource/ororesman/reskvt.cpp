// CResKVT: construction, destruction, making the tables editable, and the
// hand-over of data with the resource manager.

#include "reskvt.h"

#include <cstring>
#include <new>
#include <utility>

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
    : m_structs(kInitialStructs), m_fields(kInitialFields), m_labels(kInitialLabels), m_fieldData(kInitialFieldData),
      m_fieldIndices(kInitialFieldIndices), m_listIndices(kInitialListIndices), m_nFieldIndicesAbandoned(0),
      m_nListIndicesAbandoned(0), m_labelResult{}, m_labelResultKey{}, m_expectedFileType{}, m_bDemanded(0),
      m_pFieldLabelIndex(nullptr), m_pLabelTableIndex(nullptr), m_pLookupMemo(nullptr), m_pBuiltFieldIndices(nullptr)
{}

CResKVT::~CResKVT()
{
    if (IsBorrowed())
        Detach();
    else
        ReleaseTables();
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
    return (m_header.Data() != nullptr && m_structs.Data() != nullptr) ? m_header.Data()->structCount : 0;
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

void CResKVT::ReleaseTables()
{
    m_header.Reset();
    m_structs.Reset();
    m_fields.Reset();
    m_labels.Reset();
    m_fieldData.Reset();
    m_fieldIndices.Reset();
    m_listIndices.Reset();
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
    // The image belongs to someone else: its tables are forgotten, not freed.
    ReleaseTables();
}

CResKVT::OwnedTables CResKVT::NewTables(const KvtHeader_st* pOld) const
{
    const bool bOld = pOld != nullptr;
    OwnedTables tables{
        TKvtTable<KvtHeader_st>::NewOwned(1),
        TKvtTable<KvtStruct_st>::NewOwned(bOld ? CapacityAbove(pOld->structCount, m_structs.Step()) : kInitialStructs),
        TKvtTable<KvtField_st>::NewOwned(bOld ? CapacityAbove(pOld->fieldCount, m_fields.Step()) : kInitialFields),
        TKvtTable<KvtLabel_st>::NewOwned(bOld ? CapacityAbove(pOld->labelCount, m_labels.Step()) : kInitialLabels),
        TKvtTable<uint8_t>::NewOwned(bOld ? CapacityAbove(pOld->fieldDataSize, m_fieldData.Step()) : kInitialFieldData),
        TKvtTable<uint8_t>::NewOwned(bOld ? CapacityAbove(pOld->fieldIndicesSize, m_fieldIndices.Step())
                                          : kInitialFieldIndices),
        TKvtTable<uint8_t>::NewOwned(bOld ? CapacityAbove(pOld->listIndicesSize, m_listIndices.Step())
                                          : kInitialListIndices),
    };
    KvtHeader_st* pHeader = tables.header.Data();
    *pHeader = KvtHeader_st{};
    if (bOld) {
        std::memcpy(pHeader->fileType, pOld->fileType, 4);
        std::memcpy(pHeader->version, pOld->version, 4);
        pHeader->structCount = pOld->structCount;
        pHeader->fieldCount = pOld->fieldCount;
        pHeader->labelCount = pOld->labelCount;
        pHeader->fieldDataSize = pOld->fieldDataSize;
        pHeader->fieldIndicesSize = pOld->fieldIndicesSize;
        pHeader->listIndicesSize = pOld->listIndicesSize;
    }
    return tables;
}

void CResKVT::AdoptTables(OwnedTables&& tables)
{
    m_header.TakeRecords(std::move(tables.header));
    m_structs.TakeRecords(std::move(tables.structs));
    m_fields.TakeRecords(std::move(tables.fields));
    m_labels.TakeRecords(std::move(tables.labels));
    m_fieldData.TakeRecords(std::move(tables.fieldData));
    m_fieldIndices.TakeRecords(std::move(tables.fieldIndices));
    m_listIndices.TakeRecords(std::move(tables.listIndices));
    ForgetLookups();
}

void CResKVT::MakeEditable()
{
    // The copy below works on the plain byte area.
    MaterializeFieldIndices();
    const KvtHeader_st* pOld = m_header.Data();
    OwnedTables tables = NewTables(pOld);
    if (pOld != nullptr) {
        CopyUsed(tables.structs.Data(), m_structs.Data(), static_cast<size_t>(pOld->structCount) * sizeof(KvtStruct_st));
        CopyUsed(tables.fields.Data(), m_fields.Data(), static_cast<size_t>(pOld->fieldCount) * sizeof(KvtField_st));
        CopyUsed(tables.labels.Data(), m_labels.Data(), static_cast<size_t>(pOld->labelCount) * sizeof(KvtLabel_st));
        CopyUsed(tables.fieldData.Data(), m_fieldData.Data(), pOld->fieldDataSize);
        CopyUsed(tables.fieldIndices.Data(), m_fieldIndices.Data(), pOld->fieldIndicesSize);
        CopyUsed(tables.listIndices.Data(), m_listIndices.Data(), pOld->listIndicesSize);
    }

    if (IsBorrowed())
        Detach();
    else
        ReleaseTables();
    AdoptTables(std::move(tables));
}

void CResKVT::MaterializeFieldIndices()
{
    if (m_pBuiltFieldIndices == nullptr)
        return;
    const uint32_t nUsed = m_header.Data() != nullptr ? m_header.Data()->fieldIndicesSize : 0;
    const uint32_t nCapacity = m_fieldIndices.Capacity() > nUsed ? m_fieldIndices.Capacity() : nUsed;
    TKvtTable<uint8_t> area = TKvtTable<uint8_t>::NewOwned(nCapacity);
    m_pBuiltFieldIndices->Materialize(area.Data(), nUsed, m_structs.Data(),
                                      m_header.Data() != nullptr ? m_header.Data()->structCount : 0);
    delete m_pBuiltFieldIndices;
    m_pBuiltFieldIndices = nullptr;
    m_fieldIndices.TakeRecords(std::move(area));
}

const uint8_t* CResKVT::GetFieldIndicesBlock()
{
    MaterializeFieldIndices();
    return m_fieldIndices.Data();
}

bool CResKVT::OnResourceServiced()
{
    if (m_pData == nullptr)
        return false;
    ReleaseTables();
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
    return true;
}

bool CResKVT::OnResourceReleased()
{
    if (IsBorrowed())
        ReleaseTables();
    return true;
}

void CResKVT::PointIntoImage(uint8_t* pImage)
{
    KvtHeader_st* pHeader = reinterpret_cast<KvtHeader_st*>(pImage);
    // A section without records may name any offset: it is not pointed into.
    auto section = [pImage](uint32_t nOffset, uint32_t nCount) { return nCount != 0 ? pImage + nOffset : nullptr; };
    m_header.TakeRecords(TKvtTable<KvtHeader_st>::Borrow(pHeader, 1));
    m_structs.TakeRecords(TKvtTable<KvtStruct_st>::Borrow(
        reinterpret_cast<KvtStruct_st*>(section(pHeader->structOffset, pHeader->structCount)), pHeader->structCount));
    m_fields.TakeRecords(TKvtTable<KvtField_st>::Borrow(
        reinterpret_cast<KvtField_st*>(section(pHeader->fieldOffset, pHeader->fieldCount)), pHeader->fieldCount));
    m_labels.TakeRecords(TKvtTable<KvtLabel_st>::Borrow(
        reinterpret_cast<KvtLabel_st*>(section(pHeader->labelOffset, pHeader->labelCount)), pHeader->labelCount));
    m_fieldData.TakeRecords(TKvtTable<uint8_t>::Borrow(section(pHeader->fieldDataOffset, pHeader->fieldDataSize),
                                                       pHeader->fieldDataSize));
    m_fieldIndices.TakeRecords(TKvtTable<uint8_t>::Borrow(
        section(pHeader->fieldIndicesOffset, pHeader->fieldIndicesSize), pHeader->fieldIndicesSize));
    m_listIndices.TakeRecords(TKvtTable<uint8_t>::Borrow(
        section(pHeader->listIndicesOffset, pHeader->listIndicesSize), pHeader->listIndicesSize));
    ForgetLabelIndexes();
}
