#include "KVTFieldDataSize.h"

#include <vector>

#include "KVTTreeNodes.h"

namespace {

// As the writer lays each value out: its length prefix and its bytes.
uint64_t ValueBytes(CKvtNodeBase* pNode)
{
    switch (pNode->GetType()) {
    case ftDWORD64:
    case ftINT64:
    case ftDOUBLE: return 8;
    case ftSTRING: return 4 + static_cast<uint64_t>(static_cast<CKvtNodeSTRING*>(pNode)->m_Value.GetLength());
    case ftRESREF: return 1 + static_cast<uint64_t>(static_cast<CKvtNodeRESREF*>(pNode)->m_Value.GetLength());
    case ftBINARY: {
        const auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
        return 4 + (pBinary->m_pData != nullptr ? static_cast<uint64_t>(pBinary->m_nDataSize) : 0);
    }
    case ftLOCSTRING: {
        const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value;
        uint64_t nBytes = 12;
        const int32_t nCount = value.GetStringCount();
        for (int32_t i = 0; i < nCount; ++i)
            nBytes += 8 + static_cast<uint64_t>(value.GetStringLength(static_cast<uint32_t>(i)));
        return nBytes;
    }
    default: return 0;
    }
}

} // namespace

KvtSaveSize_st CountSaveSize(CKvtNodeStruct* pRoot)
{
    KvtSaveSize_st size;
    std::vector<CKvtNodeStruct*> pending{pRoot};
    while (!pending.empty()) {
        CKvtNodeStruct* pStruct = pending.back();
        pending.pop_back();
        // A list's children are its elements, each a struct of its own; any
        // other struct's children are its fields.
        const bool bList = pStruct->GetType() == ftLIST;
        size.nNodes += static_cast<uint64_t>(pStruct->GetChildCount());
        if (!bList) {
            const auto nChildren = static_cast<uint64_t>(pStruct->GetChildCount());
            size.nFields += nChildren;
            if (nChildren >= 2)
                size.nFieldIndices += nChildren;
        }
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i) {
            CKvtNodeBase* pChild = pStruct->GetChild(i);
            if (CKvtNodeStruct* pInner = pChild->GetStructNode()) {
                pending.push_back(pInner);
                if (bList || pChild->GetType() != ftLIST)
                    ++size.nStructs;
            } else {
                size.nFieldDataBytes += ValueBytes(pChild);
            }
        }
    }
    return size;
}
