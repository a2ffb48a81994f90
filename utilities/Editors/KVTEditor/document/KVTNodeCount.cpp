#include "KVTNodeCount.h"

#include <vector>

#include "KVTTreeNodes.h"

uint64_t CountTreeNodes(CKvtNodeBase* pRoot)
{
    uint64_t nCount = 0;
    std::vector<CKvtNodeBase*> pending;
    if (pRoot)
        pending.push_back(pRoot);
    while (!pending.empty()) {
        CKvtNodeBase* pNode = pending.back();
        pending.pop_back();
        ++nCount;
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            for (int32_t i = 0; i < pStruct->GetChildCount(); ++i)
                pending.push_back(pStruct->GetChild(i));
        }
    }
    return nCount;
}
