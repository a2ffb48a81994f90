#include "KVTNodeCount.h"

#include <vector>

#include "KVTTreeNodes.h"

uint64_t CountTreeNodes(CKvtNodeBase* pRoot)
{
    if (!pRoot)
        return 0;
    uint64_t nCount = 1;
    // Only structs wait on the stack: a struct of many value fields costs no
    // memory of its own here (a save counts its nodes before it starts).
    std::vector<CKvtNodeStruct*> pending;
    if (CKvtNodeStruct* pStruct = pRoot->GetStructNode())
        pending.push_back(pStruct);
    while (!pending.empty()) {
        CKvtNodeStruct* pStruct = pending.back();
        pending.pop_back();
        nCount += static_cast<uint64_t>(pStruct->GetChildCount());
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i) {
            if (CKvtNodeStruct* pInner = pStruct->GetChild(i)->GetStructNode())
                pending.push_back(pInner);
        }
    }
    return nCount;
}
