#pragma once
// Whether the tree view's model mirrors the document: one item for the root,
// and under every item whose children have been made exactly one item per
// child node (same parent, no node shown twice, captions as the node gives
// them now); an item whose children are still to be made shows none yet.

#include <string>

#include "KVTTreeModel.h"
#include "KVTTreeNodes.h"

// Empty when the model mirrors the document, else what differs first.
std::string FindTreeMirrorFault(CKvtTreeModel& model, CKvtNodeTopLevelStruct* pRoot);
