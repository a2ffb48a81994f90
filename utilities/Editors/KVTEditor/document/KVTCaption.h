#pragma once
// How nodes are shown: the caption of a tree item and the order of siblings.

#include <vector>

#include "KVTTreeNodes.h"

// "name type" padded to 16 and 12 columns, with " = value" when previewing.
COroString GetNodeCaption(CKvtNodeBase* pNode, bool bPreview);

struct KvtCaptionedNode_st {
    COroString sCaption;
    CKvtNodeBase* pNode;
};

// The children of a struct node with their captions, in display order: sorted
// by caption with the tree's collation (siblings with identical captions keep
// their document order).
std::vector<KvtCaptionedNode_st> GetSortedChildren(CKvtNodeStruct* pParent, bool bPreview);
