#include "KVTExport.h"

#include <vector>

#include "KVTCaption.h"
#include "KVTNodeCount.h"
#include "KVTWalkTrail.h"

std::string BuildExportText(CKvtNodeTopLevelStruct* pRoot)
{
    std::string sOut;
    if (!pRoot)
        return sOut;
    struct CPending {
        CKvtNodeBase* pNode;
        COroString sCaption;
        size_t nDepth;
    };
    // An explicit stack keeps deep documents off the call stack; children are
    // pushed in reverse so that they come off in display order.
    std::vector<CPending> stack;
    stack.push_back(CPending{pRoot, GetNodeCaption(pRoot, true), 0});
    CKvtWalkTrail trail(pRoot, CountTreeNodes(pRoot));
    while (!stack.empty() && !trail.IsCancelled()) {
        CPending item = std::move(stack.back());
        stack.pop_back();
        if (item.nDepth > 0)
            trail.MoveTo(item.nDepth, item.pNode);
        sOut.append(item.nDepth, '\t');
        sOut.append(item.sCaption.CStr());
        sOut.append("\r\n");
        if (CKvtNodeStruct* pStruct = item.pNode->GetStructNode()) {
            std::vector<KvtCaptionedNode_st> children = GetSortedChildren(pStruct, true);
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                stack.push_back(CPending{it->pNode, std::move(it->sCaption), item.nDepth + 1});
        }
    }
    return sOut;
}
