#include "SavedFormCheck.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "PanelTestSupport.h"

namespace {

bool SameBinary(CKvtNodeBase* pA, CKvtNodeBase* pB)
{
    auto* pLeft = static_cast<CKvtNodeBINARY*>(pA);
    auto* pRight = static_cast<CKvtNodeBINARY*>(pB);
    if (pLeft->m_nDataSize != pRight->m_nDataSize)
        return false;
    return pLeft->m_nDataSize == 0 || std::memcmp(pLeft->m_pData, pRight->m_pData, pLeft->m_nDataSize) == 0;
}

struct CPair {
    CKvtNodeBase* pSaved;
    CKvtNodeBase* pReopened;
    bool bElement;
    std::string sPath;
};

// The first difference between the two nodes themselves, or empty.
std::string CompareNodes(const CPair& pair)
{
    CKvtNodeBase* pA = pair.pSaved;
    CKvtNodeBase* pB = pair.pReopened;
    const std::string sWhere = " at '" + pair.sPath + "'";
    if (pA->GetType() != pB->GetType())
        return "type " + std::to_string(pA->GetType()) + " came back as " + std::to_string(pB->GetType()) + sWhere;
    if (!pair.bElement && pA->m_sLabel != pB->m_sLabel)
        return std::string("label '") + pA->m_sLabel.CStr() + "' came back as '" + pB->m_sLabel.CStr() + "'" + sWhere;
    if (pA->GetType() == ftTOPLEVELSTRUCT) {
        auto* pRootA = static_cast<CKvtNodeTopLevelStruct*>(pA);
        auto* pRootB = static_cast<CKvtNodeTopLevelStruct*>(pB);
        if (pRootA->m_sFileType != pRootB->m_sFileType)
            return std::string("file type '") + pRootA->m_sFileType.CStr() + "' came back as '" +
                   pRootB->m_sFileType.CStr() + "'";
        return std::string();
    }
    if (pA->GetEditText() != pB->GetEditText())
        return std::string("value '") + pA->GetEditText().CStr() + "' came back as '" + pB->GetEditText().CStr() + "'" +
               sWhere;
    if ((pA->GetType() == ftSTRUCT) && pA->GetStructID() != pB->GetStructID())
        return "struct ID " + std::to_string(pA->GetStructID()) + " came back as " + std::to_string(pB->GetStructID()) +
               sWhere;
    if (pA->GetType() == ftLOCSTRING && LocStringEntriesText(pA) != LocStringEntriesText(pB))
        return "localized strings " + LocStringEntriesText(pA) + " came back as " + LocStringEntriesText(pB) + sWhere;
    if (pA->GetType() == ftBINARY && !SameBinary(pA, pB))
        return "binary data came back changed" + sWhere;
    return std::string();
}

} // namespace

std::string CompareSavedTree(CKvtNodeTopLevelStruct* pSaved, CKvtNodeTopLevelStruct* pReopened,
                             KvtFormatLimits_st& limits)
{
    if (pSaved->m_sVersion != pReopened->m_sVersion)
        limits.bVersionReplaced = true;
    std::vector<CPair> pending{{pSaved, pReopened, false, ""}};
    while (!pending.empty()) {
        const CPair pair = pending.back();
        pending.pop_back();
        std::string sFault = CompareNodes(pair);
        if (!sFault.empty())
            return sFault;
        CKvtNodeStruct* pA = pair.pSaved->GetStructNode();
        CKvtNodeStruct* pB = pair.pReopened->GetStructNode();
        if (!pA)
            continue;
        if (pA->GetChildCount() != pB->GetChildCount())
            return std::to_string(pA->GetChildCount()) + " children came back as " +
                   std::to_string(pB->GetChildCount()) + " at '" + pair.sPath + "'";
        const bool bList = pair.pSaved->GetType() == ftLIST;
        std::set<std::string> labels;
        for (int32_t i = 0; i < pA->GetChildCount(); ++i) {
            CKvtNodeBase* pChildA = pA->GetChild(i);
            CKvtNodeBase* pChildB = pB->GetChild(i);
            const std::string sPath = pair.sPath + "/" + (bList ? "#" + std::to_string(i) : pChildA->m_sLabel.CStr());
            if (bList && pChildA->GetType() != ftSTRUCT) {
                ++limits.nNonStructElements;
                if (pChildB->GetType() != ftSTRUCT)
                    return "a list element came back as type " + std::to_string(pChildB->GetType()) + " at '" + sPath +
                           "'";
                continue;
            }
            if (!bList && !labels.insert(pChildA->m_sLabel.CStr()).second) {
                ++limits.nNamesakeFields;
                if (pChildA->m_sLabel != pChildB->m_sLabel)
                    return "a namesake field came back with another label at '" + sPath + "'";
                continue;
            }
            pending.push_back({pChildA, pChildB, bList, sPath});
        }
    }
    return std::string();
}
