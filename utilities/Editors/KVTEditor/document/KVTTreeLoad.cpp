#include "KVTTreeLoad.h"

#include <sys/stat.h>

#include <memory>

#include "KVTWalkTrail.h"

namespace {

const char kModule[] = "KVTTreeNodes";

// Line numbers identify each report of this unit in the warning box.
enum : int32_t {
    kLineFieldFailed = 301,
    kLineStructFieldMissing = 302,
    kLineStructFailed = 303,
    kLineListFailed = 304,
    kLineStrangeType = 305,
    kLineFieldCountCut = 310,
    kLineListCountCut = 311,
    kLineBudgetSpent = 312,
    kLineStructReadTwice = 313,
    kLineTooDeep = 314,
    kLineValueBudgetSpent = 320,
    kLineListUnreadable = 315,
    kLineElementMissing = 316,
    kLineStructMissing = 317,
};

// Once a field of a struct has failed, the next check raises the warning;
// the later fields of the same struct do not raise it again.
void WarnRunningFlag(bool bOk, const char* pLabel, bool& bReported)
{
    if (!bOk && !bReported) {
        bReported = true;
        COroString sMessage;
        sMessage.Format("A field of this struct could not be read (at field '%s').", pLabel);
        OroWarning(kModule, kLineFieldFailed, sMessage.CStr());
    }
}

} // namespace

CKvtTreeLoader::CKvtTreeLoader(CResKVT* pRes, uint64_t nFileSize)
    : m_pRes(pRes), m_nBudget(nFileSize), m_nIterations(0), m_bBudgetReported(false),
      m_Claimed(pRes->GetStructCount(), false), m_ValueBudget(nFileSize), m_bValueBudgetReported(false)
{
}

bool CKvtTreeLoader::ClaimStruct(const CKvtStructHandle* pStruct, bool& bReported)
{
    const uint32_t nIndex = pStruct->nStructIndex;
    if (nIndex >= m_Claimed.size())
        return true;  // not a valid struct: every read on it fails by itself
    if (m_Claimed[nIndex]) {
        if (bReported)
            return false;
        bReported = true;
        COroString sMessage;
        sMessage.Format("Struct %u is referenced more than once; it is shown empty here.", nIndex);
        OroWarning(kModule, kLineStructReadTwice, sMessage.CStr());
        return false;
    }
    m_Claimed[nIndex] = true;
    return true;
}

bool CKvtTreeLoader::TakeIteration()
{
    const CKvtWalkTrail* pTrail = CKvtWalkTrail::Current();
    if (pTrail && pTrail->IsCancelled())
        return false;
    if (m_nIterations >= m_nBudget) {
        if (!m_bBudgetReported) {
            m_bBudgetReported = true;
            OroWarning(kModule, kLineBudgetSpent,
                       "The file describes more fields and list elements than it can hold; the rest is not read.");
        }
        return false;
    }
    ++m_nIterations;
    return true;
}

bool CKvtTreeLoader::ValueFitsBudget(TKvtFieldType nType, const CKvtStructHandle* pStruct, const char* pLabel)
{
    if (nType != ftSTRING && nType != ftRESREF && nType != ftBINARY && nType != ftLOCSTRING)
        return true;
    // The bytes the read would look at, which bound what it copies.
    if (m_ValueBudget.Take(m_pRes->GetFieldValueBytes(pStruct, pLabel)))
        return true;
    if (!m_bValueBudgetReported) {
        m_bValueBudgetReported = true;
        OroWarning(kModule, kLineValueBudgetSpent,
                   "The file's values add up to more than it can hold; the values past that are shown empty.");
    }
    return false;
}

int32_t CKvtTreeLoader::ChildrenToReserve(int32_t nCount) const
{
    // Never more than the iterations left: a damaged count cannot make the
    // walk reserve room that it would not be allowed to fill.
    const uint64_t nLeft = m_nBudget - m_nIterations;
    if (nCount <= 0)
        return 0;
    return static_cast<uint64_t>(nCount) < nLeft ? nCount : static_cast<int32_t>(nLeft);
}

bool CKvtTreeLoader::DepthAllowsChildren(int32_t nLevel, const COroString& sWhat)
{
    if (nLevel < kMaxDepth)
        return true;
    COroString sMessage;
    sMessage.Format("'%s' is nested too deeply; its contents are not read.", sWhat.CStr());
    OroWarning(kModule, kLineTooDeep, sMessage.CStr());
    return false;
}

bool CKvtTreeLoader::LoadTopLevel(CKvtNodeStruct* pRoot, const CKvtStructHandle* pStruct)
{
    bool bReported = false;
    ClaimStruct(pStruct, bReported);
    return LoadStructFields(pRoot, pStruct, 0);
}

bool CKvtTreeLoader::LoadStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct, int32_t nLevel)
{
    bool bOk = true;
    // Counts are unsigned as stored: only as many fields as the struct's
    // record can address are visited.
    const int32_t nFields = m_pRes->GetAddressableFieldCount(pStruct);
    if (nFields <= 0)
        return bOk;
    const uint32_t nStored = static_cast<uint32_t>(m_pRes->GetFieldCount(pStruct));
    if (nStored > static_cast<uint32_t>(nFields)) {
        COroString sMessage;
        sMessage.Format("A struct claims %u fields but its record addresses only %d; the rest is not read.", nStored,
                        nFields);
        OroWarning(kModule, kLineFieldCountCut, sMessage.CStr());
    }

    pNode->ReserveChildren(ChildrenToReserve(nFields));
    bool bRunningReported = false;
    for (int32_t i = 0; i < nFields; ++i) {
        if (!TakeIteration())
            break;
        // One search gives the field's label and the type of the first field
        // with that label. The format layer's label buffer is passed to the
        // value read, which then finds the field without a second search; it
        // is only valid until the next query, so everything after the value
        // read uses the node's own copy.
        int32_t nFieldType = -1;
        const char* pFieldLabel = m_pRes->GetFieldLabelAndType(pStruct, i, &nFieldType);
        if (!pFieldLabel)
            pFieldLabel = "";
        const TKvtFieldType nType = static_cast<TKvtFieldType>(nFieldType);
        CKvtNodeBase* pChild = CreateKvtNode(nType);
        if (!pChild)
            continue;  // unknown type codes are dropped
        pChild->m_nIndex = i;
        pChild->m_sLabel = pFieldLabel;
        pNode->AddChild(pChild);
        const CKvtWalkStep step(pChild);
        const char* pLabel = pChild->m_sLabel.CStr();

        WarnRunningFlag(bOk, pLabel, bRunningReported);
        if (ValueFitsBudget(nType, pStruct, pFieldLabel))
            bOk = pChild->Load(pStruct, pFieldLabel) && bOk;
        WarnRunningFlag(bOk, pLabel, bRunningReported);

        if (!pChild->GetStructNode())
            continue;
        if (nType == ftSTRUCT) {
            LoadStructChild(pChild, pStruct, pLabel, nLevel + 1, bOk);
        } else if (nType == ftLIST) {
            LoadListChild(pChild->GetStructNode(), pStruct, pLabel, nLevel + 1, bOk);
        } else {
            OroWarning(kModule, kLineStrangeType,
                       "WARNING!  Strangeness happening, non list or struct type saying it is one.!");
        }
    }
    // Every struct is read once, so its label index is not needed again:
    // handing it back lets the next struct reuse the memory.
    m_pRes->ReleaseStructIndex(pStruct);
    return bOk;
}

void CKvtTreeLoader::LoadStructChild(CKvtNodeBase* pNode, const CKvtStructHandle* pStruct, const char* pLabel,
                                     int32_t nLevel, bool& bOk)
{
    CKvtStructHandle held{};
    if (!m_pRes->GetStructField(&held, pStruct, pLabel)) {
        OroWarning(kModule, kLineStructFieldMissing, "A struct field names no struct.");
        bOk = false;
        return;
    }
    pNode->SetStructID(static_cast<uint32_t>(m_pRes->GetStructID(&held)));
    if (held.nStructIndex >= m_Claimed.size()) {
        COroString sMessage;
        sMessage.Format("Struct field '%s' names struct %u, which does not exist; it is shown empty.", pLabel,
                        held.nStructIndex);
        OroWarning(kModule, kLineStructMissing, sMessage.CStr());
        bOk = false;
        return;
    }
    bool bReported = false;
    if (!DepthAllowsChildren(nLevel, pNode->m_sLabel) || !ClaimStruct(&held, bReported))
        return;
    bOk = LoadStructFields(pNode->GetStructNode(), &held, nLevel) && bOk;
    if (!bOk)
        OroWarning(kModule, kLineStructFailed, "A field inside this struct could not be read.");
}

void CKvtTreeLoader::LoadListChild(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct, const char* pLabel,
                                   int32_t nLevel, bool& bOk)
{
    CKvtListHandle list{};
    if (!m_pRes->GetList(&list, pStruct, pLabel)) {
        COroString sMessage;
        sMessage.Format("List '%s' could not be read; it is shown empty.", pLabel);
        OroWarning(kModule, kLineListUnreadable, sMessage.CStr());
        bOk = false;
        return;
    }
    if (!DepthAllowsChildren(nLevel, pNode->m_sLabel))
        return;
    const uint32_t nStored = static_cast<uint32_t>(m_pRes->GetListCount(&list));
    const int32_t nAddressable = m_pRes->GetAddressableListCount(&list);
    const int32_t nElements = nAddressable < 0 ? 0 : nAddressable;
    if (nStored > static_cast<uint32_t>(nElements)) {
        COroString sMessage;
        sMessage.Format("List '%s' claims %u elements but holds only %d; the rest is not read.", pLabel, nStored,
                        nElements);
        OroWarning(kModule, kLineListCountCut, sMessage.CStr());
    }
    pNode->ReserveChildren(ChildrenToReserve(nElements));
    // Each cause is reported once per list, not once per element.
    bool bMissingReported = false;
    bool bRefusalReported = false;
    bool bFailureReported = false;
    for (int32_t j = 0; j < nElements; ++j) {
        if (!TakeIteration())
            break;
        CKvtStructHandle element{};
        if (!m_pRes->GetListElement(&element, &list, j)) {
            if (!bMissingReported) {
                bMissingReported = true;
                COroString sMessage;
                sMessage.Format("List '%s' has elements that name no struct (the first is %d); they are left out.",
                                pLabel, j);
                OroWarning(kModule, kLineElementMissing, sMessage.CStr());
            }
            bOk = false;
            continue;
        }
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->m_nIndex = j;
        pNode->AddChild(pElement);
        const CKvtWalkStep step(pElement);
        pElement->SetStructID(static_cast<uint32_t>(m_pRes->GetStructID(&element)));
        // The element's name is only spelled out for the warning.
        bool bDepthAllowed = nLevel + 1 < kMaxDepth;
        if (!bDepthAllowed) {
            COroString sName;
            sName.Format("%s[%d]", pLabel, j);
            bDepthAllowed = DepthAllowsChildren(nLevel + 1, sName);
        }
        if (!bDepthAllowed || !ClaimStruct(&element, bRefusalReported))
            continue;
        bOk = LoadStructFields(pElement->GetStructNode(), &element, nLevel + 1) && bOk;
        if (!bOk && !bFailureReported) {
            bFailureReported = true;
            OroWarning(kModule, kLineListFailed, "A field inside this list element could not be read.");
        }
    }
}

bool LoadStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct)
{
    if (!s_pCurrentRes)
        return false;
    CKvtTreeLoader loader(s_pCurrentRes, UINT64_MAX);
    return loader.LoadStructFields(pNode, pStruct, 0);
}

namespace {

bool LoadFromResource(CKvtNodeTopLevelStruct* pRoot, CResKVT* pRes, uint64_t nFileSize)
{
    pRes->GetFileTypeAndVersion(pRoot->m_sFileType, pRoot->m_sVersion);
    CKvtStructHandle top{};
    const bool bTop = pRes->GetTopLevelStruct(&top);
    CKvtTreeLoader loader(pRes, nFileSize);
    const CKvtCurrentResource current(pRes);
    // Every field and every list element becomes a node.
    const KvtHeader_st* pHeader = pRes->GetHeader();
    const uint64_t nNodes = pHeader ? uint64_t{pHeader->fieldCount} + pHeader->structCount : 0;
    const CKvtWalkTrail trail(pRoot, nNodes < nFileSize ? nNodes : nFileSize);
    // The top-level struct is read first, so a reference back to it counts
    // as a second reading like any other cycle.
    const bool bFields = loader.LoadTopLevel(pRoot, &top);
    // A stopped walk has read only part of the file.
    return bTop && bFields && !trail.IsCancelled();
}

} // namespace

bool CKvtNodeTopLevelStruct::LoadDocument(const char* pFileName, bool* pRefused)
{
    std::unique_ptr<CResKVT> pRes(new CResKVT);
    const bool bLoaded = pRes->GetFileData(pFileName);
    if (pRefused)
        *pRefused = !bLoaded;
    if (!bLoaded)
        return false;
    struct stat info {};
    const uint64_t nFileSize = stat(pFileName, &info) == 0 ? static_cast<uint64_t>(info.st_size) : pRes->GetTotalSize();
    return LoadFromResource(this, pRes.get(), nFileSize);
}

bool CKvtNodeTopLevelStruct::LoadDocumentFromMemory(const uint8_t* pData, size_t nSize, const char* pName,
                                                    bool* pRefused)
{
    std::unique_ptr<CResKVT> pRes(new CResKVT);
    const bool bLoaded = pRes->LoadFromMemory(pData, nSize, pName);
    if (pRefused)
        *pRefused = !bLoaded;
    if (!bLoaded)
        return false;
    return LoadFromResource(this, pRes.get(), nSize);
}
